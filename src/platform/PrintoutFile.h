#pragma once

#include <QString>

class Dialogs;
class QWidget;
class Shell;

// Where a printout goes on a machine without a printer: a PDF file of its own in the data folder's Printouts folder.

// Creates the file, so that two printouts started in the same millisecond never share a name, and returns its path.
// Throws PrintError when the folder or the file cannot be made.
QString reservePrintoutPdf(const QString& dataDir);

// Opens the finished PDF with the desktop's viewer and tells the user where it was saved: they expected paper.
void announcePrintoutPdf(const QString& path, Shell& shell, Dialogs& dialogs, QWidget* parent = nullptr);
