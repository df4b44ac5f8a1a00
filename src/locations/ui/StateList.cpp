#include "locations/ui/StateList.h"

#include "data/Schema.h"
#include "platform/ListChoice.h"

#include <QListWidget>

void fillStateList(QListWidget* list) {
    list->clear();
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    const QStringList& names = Schema::stateNames();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(names.at(i), list);
        item->setData(Qt::UserRole, i + Schema::kFirstStateId);
    }
}

std::optional<int> selectedStateId(const QListWidget* list) {
    const QListWidgetItem* chosen = chosenItem(list);
    if (!chosen)
        return std::nullopt;
    return chosen->data(Qt::UserRole).toInt();
}

void selectState(QListWidget* list, int stateId) {
    const int row = stateId - Schema::kFirstStateId;
    list->clearSelection();
    if (row < 0 || row >= list->count())
        return;
    list->setCurrentRow(row);
    list->scrollToItem(list->item(row));
}
