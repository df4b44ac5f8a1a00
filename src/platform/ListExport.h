#pragma once

#include <QString>

class Dialogs;
class ReportList;
class QWidget;

// Saves a list as the user sees it: a header row, then the rows in the order shown, each with the columns shown in
// the order shown, as CSV (data/CsvWriter). The file is written under a temporary name and takes its own name only
// when complete, so a failed export never leaves half a file in place of an earlier one.
// Returns the failure's text, empty when the file was written.
QString writeListCsv(const ReportList& list, const QString& path);

// Asks where to save the list (offering the window's caption as the name) and saves it there; a failure is shown.
void exportList(const ReportList& list, Dialogs& dialogs, QWidget* parent);
