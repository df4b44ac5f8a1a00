#include "equipment/ui/AssignmentHistory.h"

#include "data/DateText.h"
#include "data/DisplayRules.h"
#include "platform/ReportList.h"

ReportList* makeHistoryList(QWidget* parent) {
    auto* list = new ReportList(parent);
    list->setObjectName(QStringLiteral("ListView1"));
    list->setAccessibleName(QStringLiteral("Assignment History"));
    return list;
}

void showHistory(ReportList* list, const std::vector<AssignmentRow>& rows) {
    list->clearColumns();
    for (const QString& header : {QStringLiteral("Transfer Date"), QStringLiteral("Location")})
        list->addColumn(header, header);
    list->beginRows();
    for (const AssignmentRow& row : rows)
        list->appendRow({row.date ? DateText::toShort(*row.date) : QString(),
                         row.locationName ? nbspAsBlank(*row.locationName) : QString()},
                        row.date ? QVariant(*row.date) : QVariant());
    list->endRows();
}
