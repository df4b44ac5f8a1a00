#include "equipment/store/EquipmentStore.h"

#include "data/Database.h"
#include "data/DateText.h"
#include "data/DisplayRules.h"

#include <QHash>

namespace {

// Select list and sort keys in one table, so that a key can only ever name a column of this list.
const SortColumn kActiveListColumns[] = {
    {"EquipmentId", "EquipmentInfo.EquipmentId"},       {"LocName", "LocationInfo.LocName"},
    {"EquipmentType", "EquipmentInfo.EquipmentType"},   {"Manufacturer", "EquipmentInfo.Manufacturer"},
    {"SerialNumber", "EquipmentInfo.SerialNumber"},     {"DatePurchased", "EquipmentInfo.DatePurchased"},
    {"PurchasePrice", "EquipmentInfo.PurchasePrice"},   {"ModelNumber", "EquipmentInfo.ModelNumber"},
    {"AssetTagNumber", "EquipmentInfo.AssetTagNumber"},
};
constexpr int kIdColumn = 0;
constexpr int kDateColumn = 5;

} // namespace

const QStringList& EquipmentStore::activeListKeys() {
    static const QStringList keys = [] {
        QStringList k;
        for (const SortColumn& c : kActiveListColumns)
            k << QLatin1String(c.key);
        return k;
    }();
    return keys;
}

QString EquipmentStore::activeListStatement(const SortOrder& order) {
    QStringList columns;
    for (const SortColumn& c : kActiveListColumns)
        columns << QLatin1String(c.expression);
    // An empty or unknown key keeps the database's own order.
    return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(" FROM EquipmentInfo INNER JOIN LocationInfo ON LocationInfo.LocId = "
                          "EquipmentInfo.CurrentLocation WHERE EquipmentInfo.EquActive = 1") +
           orderByClause(order, kActiveListColumns, QString());
}

void EquipmentStore::forEachActiveEquipment(const SortOrder& order, const RowReceiver& row) const {
    Query q(m_db, activeListStatement(order));
    q.exec();
    constexpr int columns = static_cast<int>(std::size(kActiveListColumns));
    QStringList cells(columns);
    // Purchase dates repeat across many units; each distinct one is formatted once per load.
    QHash<QString, QString> dates;
    while (q.next()) {
        qint64 id = 0;
        for (int c = 0; c < columns; ++c) {
            const QVariant value = q.value(c);
            QString& cell = cells[c];
            if (value.isNull()) {
                cell.clear();
                continue;
            }
            if (c == kIdColumn)
                id = value.toLongLong();
            cell = value.toString();
            // Most values hold no '&'; the scan for it is far cheaper than the replacement's own search.
            if (cell.contains(QLatin1Char('&')))
                cell = nbspRemoved(cell);
            if (c == kDateColumn && !cell.isEmpty()) {
                auto it = dates.constFind(cell);
                if (it == dates.cend())
                    it = dates.insert(cell, DateText::display(cell));
                cell = *it;
            }
        }
        row(id, cells);
    }
}

void EquipmentStore::deleteEquipment(qint64 id) {
    m_db.transaction([&] {
        Query(m_db, QStringLiteral("DELETE FROM EquipmentInfo WHERE (EquipmentId = ?)")).exec({id});
        Query(m_db, QStringLiteral("DELETE FROM EquipLocAssign WHERE (EquipmentId = ?)")).exec({id});
    });
}
