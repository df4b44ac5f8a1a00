#include "equipment/store/EquipmentStore.h"

#include "data/Database.h"
#include "data/PackedReader.h"

const ListColumns& EquipmentStore::activeListColumns() {
    static const ListColumns columns = [] {
        const auto column = [](const char* key, const char* header, const char* table, bool shortDate = false) {
            return ListColumn{QLatin1String(key), QLatin1String(header),
                              QLatin1String(table) + QLatin1Char('.') + QLatin1String(key), CellDisplay::NbspRemoved,
                              shortDate};
        };
        ListColumns c{column("EquipmentId", "ID", "EquipmentInfo"),
                      column("LocName", "Current Location", "LocationInfo"),
                      column("EquipmentType", "Description", "EquipmentInfo"),
                      column("Manufacturer", "Manufacturer", "EquipmentInfo"),
                      column("SerialNumber", "Serial Number", "EquipmentInfo"),
                      column("DatePurchased", "Date Purchased", "EquipmentInfo", true),
                      column("PurchasePrice", "Purchase Price", "EquipmentInfo"),
                      column("ModelNumber", "Model Number", "EquipmentInfo"),
                      column("AssetTagNumber", "Asset Tag Number", "EquipmentInfo")};
        c[0].whole = c[4].whole = true;
        return c;
    }();
    return columns;
}

QString EquipmentStore::activeListStatement(const SortOrder& order) {
    // An empty or unknown key keeps the database's own order.
    return QStringLiteral("SELECT ") + ListColumnsSql::selectList(activeListColumns()) +
           QStringLiteral(" FROM EquipmentInfo INNER JOIN LocationInfo ON LocationInfo.LocId = "
                          "EquipmentInfo.CurrentLocation WHERE EquipmentInfo.EquActive = 1") +
           ListColumnsSql::orderBy(order, activeListColumns(), QString());
}

void EquipmentStore::forEachActiveEquipment(const SortOrder& order, const ListRowReceiver& row) const {
    forEachDisplayRow(activeEquipment(order), activeListColumns(), 0, row);
}

PackedRows EquipmentStore::activeEquipment(const SortOrder& order) const {
    return readPackedRows(m_db, activeListStatement(order));
}

const ListColumns& EquipmentStore::locationListColumns() {
    static const ListColumns columns = activeListColumns().mid(0, 8);
    return columns;
}

QString EquipmentStore::locationListStatement(const SortOrder& order) {
    return QStringLiteral("SELECT ") + ListColumnsSql::selectList(locationListColumns()) +
           QStringLiteral(" FROM LocationInfo INNER JOIN EquipmentInfo ON LocationInfo.LocId = "
                          "EquipmentInfo.CurrentLocation WHERE EquipmentInfo.EquActive = 1 AND "
                          "EquipmentInfo.CurrentLocation = ?") +
           ListColumnsSql::orderBy(order, locationListColumns(), QString());
}

PackedRows EquipmentStore::activeAt(qint64 locId, const SortOrder& order) const {
    return readPackedRows(m_db, locationListStatement(order), {locId});
}

void EquipmentStore::deleteEquipment(qint64 id) {
    m_db.transaction([&] {
        Query(m_db, QStringLiteral("DELETE FROM EquipmentInfo WHERE (EquipmentId = ?)")).exec({id});
        Query(m_db, QStringLiteral("DELETE FROM EquipLocAssign WHERE (EquipmentId = ?)")).exec({id});
    });
}
