#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>

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
// Widens window, unless its size is fixed, so that its title bar shows its caption whole, within its screen's width.
void widenToCaption(QWidget* window);
// The width a title bar needs to show window's caption whole, with its icon and buttons.
int captionWidth(const QWidget* window);
// Tab visits the widgets in the order given, where the order they were made in reads otherwise.
void setReadingOrder(const QList<QWidget*>& widgets);
// Empties every text box of window whose name begins with "txt".
void clearTextBoxes(QWidget* window);
// Lays out a list window: the toolbar across the top, the list filling the window less 255 twips across and
// 1080 twips down. Nothing moves while the window is too small (minimised).
void stretchListUnderToolbar(QWidget* window, QToolBar* toolbar, QWidget* list);
