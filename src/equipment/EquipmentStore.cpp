#include "equipment/EquipmentStore.h"

#include "data/Database.h"
#include "data/DateText.h"
#include "data/DisplayRules.h"

#include <QHash>
#include <array>

namespace {

struct ListColumn {
    const char* key;
    const char* source;
};

// Select list and sort keys in one table, so that a key can only ever name a column of this list.
constexpr std::array<ListColumn, 9> kActiveListColumns{{
    {"EquipmentId", "EquipmentInfo.EquipmentId"},
    {"LocName", "LocationInfo.LocName"},
    {"EquipmentType", "EquipmentInfo.EquipmentType"},
    {"Manufacturer", "EquipmentInfo.Manufacturer"},
    {"SerialNumber", "EquipmentInfo.SerialNumber"},
    {"DatePurchased", "EquipmentInfo.DatePurchased"},
    {"PurchasePrice", "EquipmentInfo.PurchasePrice"},
    {"ModelNumber", "EquipmentInfo.ModelNumber"},
    {"AssetTagNumber", "EquipmentInfo.AssetTagNumber"},
}};
constexpr int kIdColumn = 0;
constexpr int kDateColumn = 5;

} // namespace

const QStringList& EquipmentStore::activeListKeys() {
    static const QStringList keys = [] {
        QStringList k;
        for (const ListColumn& c : kActiveListColumns)
            k << QLatin1String(c.key);
        return k;
    }();
    return keys;
}

QString EquipmentStore::activeListStatement(const SortOrder& order) {
    QString sql = QStringLiteral("SELECT ");
    for (size_t i = 0; i < kActiveListColumns.size(); ++i) {
        if (i > 0)
            sql += QLatin1String(", ");
        sql += QLatin1String(kActiveListColumns[i].source);
    }
    sql += QLatin1String(" FROM EquipmentInfo INNER JOIN LocationInfo ON LocationInfo.LocId = "
                         "EquipmentInfo.CurrentLocation WHERE EquipmentInfo.EquActive = 1");
    const qsizetype at = order.column.isEmpty() ? -1 : activeListKeys().indexOf(order.column);
    if (at < 0)
        return sql;
    return sql + QLatin1String(" ORDER BY ") + QLatin1String(kActiveListColumns[static_cast<size_t>(at)].source) +
           QLatin1String(order.descending ? " DESC" : " ASC");
}

void EquipmentStore::forEachActiveEquipment(const SortOrder& order, const RowReceiver& row) const {
    Query q(m_db, activeListStatement(order));
    q.exec();
    constexpr int columns = static_cast<int>(kActiveListColumns.size());
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
