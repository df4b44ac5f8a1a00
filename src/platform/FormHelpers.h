#pragma once

#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QWidget;

// Small builders for the controls every window has: named, labelled and reachable by screen readers.
QLineEdit* makeTextBox(QWidget* parent, const char* name, const QString& caption);
QLabel* makeBuddyLabel(QWidget* parent, const QString& caption, QWidget* buddy);
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);
// A toolbar button told apart by its tag.
QAction* addToolButton(QToolBar* bar, const QString& tag, const QString& description = QString());
// Empties every text box of window whose name begins with "txt".
void clearTextBoxes(QWidget* window);
