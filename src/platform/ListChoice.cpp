#include "platform/ListChoice.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QTreeWidget>

int chosenRow(const QAbstractItemView* view) {
    const QItemSelectionModel* selection = view ? view->selectionModel() : nullptr;
    if (!selection)
        return -1;
    // Read by ranges, so a whole long list selected costs no index per cell; a cell selected alone, not its whole
    // row, still chooses its row.
    const QModelIndex current = selection->currentIndex();
    int first = -1;
    for (const QItemSelectionRange& range : selection->selection()) {
        if (range.isEmpty())
            continue;
        if (current.isValid() && range.parent() == current.parent() && range.top() <= current.row() &&
            current.row() <= range.bottom())
            return current.row();
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first;
}

QListWidgetItem* chosenItem(const QListWidget* list) {
    const int row = chosenRow(list);
    return row < 0 ? nullptr : list->item(row);
}

QTreeWidgetItem* chosenItem(const QTreeWidget* tree) {
    if (!tree)
        return nullptr;
    QTreeWidgetItem* current = tree->currentItem();
    if (current && current->isSelected())
        return current;
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}
