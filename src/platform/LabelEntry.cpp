#include "platform/LabelEntry.h"

#include "platform/AppContext.h"
#include "platform/Dialogs.h"
#include "platform/Navigator.h"
#include "platform/ReportList.h"

#include <QAction>

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
        ctx.navigator->printLabels(list->window(), ids);
    });
    list->addMenuAction(action);
    return action;
}
