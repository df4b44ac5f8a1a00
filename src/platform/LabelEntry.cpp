#include "platform/LabelEntry.h"

#include "platform/AppContext.h"
#include "platform/Dialogs.h"
#include "platform/Navigator.h"
#include "platform/ReportList.h"

#include <QAction>

namespace {
constexpr qsizetype kAskBeyond = 100;
} // namespace

QList<qint64> chosenUnits(const ReportList* list) {
    QList<qint64> ids;
    const QList<int> selected = list->selectedRows();
    if (selected.isEmpty()) {
        ids.reserve(list->rowCount());
        for (int row = 0; row < list->rowCount(); ++row)
            ids << list->rowTag(row).toLongLong();
    } else {
        ids.reserve(selected.size());
        for (int row : selected)
            ids << list->rowTag(row).toLongLong();
    }
    return ids;
}

QAction* offerUnitLabels(ReportList* list, AppContext& ctx) {
    auto* action = new QAction(QStringLiteral("Print Labels..."), list);
    action->setObjectName(QStringLiteral("mnuPrintLabels"));
    QObject::connect(action, &QAction::triggered, list, [list, &ctx] {
        const QList<qint64> ids = chosenUnits(list);
        if (ids.isEmpty()) {
            ctx.dialogs->message(list->window(), QStringLiteral("The list holds no units to print labels for."),
                                 Dialogs::Buttons::Ok, Dialogs::Icon::Information);
            return;
        }
        // A right click without a selection on a long list is more likely a slip than a wish for sheets of labels.
        if (list->selectedRows().isEmpty() && ids.size() > kAskBeyond &&
            ctx.dialogs->message(
                list->window(),
                QStringLiteral("No rows are selected. Print labels for all %1 units of the list?").arg(ids.size()),
                Dialogs::Buttons::YesNoDefaultNo, Dialogs::Icon::Question) != Dialogs::Answer::Yes)
            return;
        ctx.navigator->printLabels(list->window(), ids);
    });
    list->addMenuAction(action);
    return action;
}
