#include "labels/store/LabelStore.h"

#include "data/Database.h"
#include "data/DisplayRules.h"

#include <QHash>
#include <QStringList>

namespace {
// Ids go as bound values, a bounded number per statement: engines cap the placeholders of one statement.
constexpr qsizetype kIdsPerStatement = 500;

QString text(const QVariant& stored) {
    return nbspRemoved(stored.toString()).trimmed();
}
} // namespace

UnitLabels LabelStore::labelsFor(const QList<qint64>& ids) const {
    QHash<qint64, UnitLabel> found;
    for (qsizetype first = 0; first < ids.size(); first += kIdsPerStatement) {
        const QList<qint64> chunk = ids.mid(first, kIdsPerStatement);
        QStringList marks(chunk.size(), QStringLiteral("?"));
        QVariantList values;
        values.reserve(chunk.size());
        for (qint64 id : chunk)
            values << id;
        Query q(m_db, QStringLiteral("SELECT EquipmentInfo.EquipmentId, EquipmentInfo.AssetTagNumber, "
                                     "EquipmentInfo.SerialNumber, EquipmentInfo.EquipmentType, LocationInfo.LocName "
                                     "FROM EquipmentInfo LEFT JOIN LocationInfo ON LocationInfo.LocId = "
                                     "EquipmentInfo.CurrentLocation WHERE EquipmentInfo.EquipmentId IN (%1)")
                          .arg(marks.join(QLatin1Char(','))));
        q.exec(values);
        while (q.next()) {
            const QString tag = text(q.value(1));
            UnitLabel label{q.value(0).toLongLong(), tag.isEmpty() ? text(q.value(2)) : tag, text(q.value(3)),
                            text(q.value(4))};
            if (!label.code.isEmpty())
                found.insert(label.id, label);
        }
    }
    UnitLabels result;
    result.labels.reserve(static_cast<size_t>(ids.size()));
    for (qint64 id : ids) {
        const auto it = found.constFind(id);
        if (it == found.constEnd())
            ++result.skipped;
        else
            result.labels.push_back(*it);
    }
    return result;
}
