#include "equipment/store/EquipmentStore.h"

#include "data/Database.h"
#include "data/PackedReader.h"

const ListColumns& EquipmentStore::activeListColumns() {
    static const ListColumns columns = ListColumnsBuilder("EquipmentInfo", CellDisplay::NbspRemoved)
                                           .add("EquipmentId", "ID")
                                           .add("LocName", "Current Location", "LocationInfo.LocName")
                                           .add("EquipmentType", "Description")
                                           .add("Manufacturer", "Manufacturer")
                                           .add("SerialNumber", "Serial Number")
                                           .add("DatePurchased", "Date Purchased")
                                           .add("PurchasePrice", "Purchase Price")
                                           .add("ModelNumber", "Model Number")
                                           .add("AssetTagNumber", "Asset Tag Number")
                                           .shortDate({"DatePurchased"})
                                           .whole({"EquipmentId", "SerialNumber"})
                                           .build();
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
