#pragma once

#include <QString>

struct AppContext;
class QDate;
class ReportList;
class QWidget;

// Saves a list as the user sees it: a header row, then the rows in the order shown, each with the columns shown in
// the order shown, as CSV (data/CsvWriter). The file is written under a temporary name and takes its own name only
// when complete, so a failed export never leaves half a file in place of an earlier one.
// Returns the failure's text, empty when the file was written.
QString writeListCsv(const ReportList& list, const QString& path);

// The name an export offers: the window's caption without the product title, then the date, e.g.
// "Manage Equipment 2026-12-10.csv", with the characters a file name cannot hold replaced.
QString suggestedCsvName(const QString& caption, const QDate& date);

// Asks where to save the list, offering suggestedCsvName for today in the folder of the last export (remembered
// across runs) or else the user's documents, and saves it there; the path written is said in the status bar, a
// failure in a message.
void exportList(const ReportList& list, AppContext& ctx, QWidget* parent);
