#pragma once

class QAbstractItemView;
class QListWidget;
class QListWidgetItem;
class QTreeWidget;
class QTreeWidgetItem;

// What a list's user has chosen, read from its selection model alone, so that a choice made with the mouse, the
// keyboard or a screen reader counts alike, and a list with nothing selected has chosen nothing: the current row is
// only where the focus rests, and stays behind when its row is deselected.

// The chosen row: the current one where it is selected (the last one moved to among several), otherwise the first
// selected one; -1 when no row is selected.
int chosenRow(const QAbstractItemView* view);
QListWidgetItem* chosenItem(const QListWidget* list);
QTreeWidgetItem* chosenItem(const QTreeWidget* tree);
