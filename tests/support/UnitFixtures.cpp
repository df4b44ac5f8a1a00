#include "support/UnitFixtures.h"

#include "data/Database.h"
#include "support/EngineFixtures.h"

namespace UnitFixtures {

qint64 addLocationWithId(Database& db, qint64 id, const QString& name, bool active) {
    Query(db, QStringLiteral("INSERT INTO LocationInfo (LocId, LocName, StateId, LocActive) VALUES (?, ?, 2, ?)"))
        .exec({id, name, active ? 1 : 0});
    EngineFixtures::keepIdsPast(db, QStringLiteral("LocationInfo"), QStringLiteral("LocId"), id);
    return id;
}

qint64 addUnitWithId(Database& db, qint64 id, qint64 locId, const QString& serial, const QVariant& type) {
    Query(db, QStringLiteral("INSERT INTO EquipmentInfo (EquipmentId, SerialNumber, EquipmentType, Manufacturer, "
                             "CurrentLocation, EquActive) VALUES (?, ?, ?, 'Dell', ?, 1)"))
        .exec({id, serial, type, locId});
    EngineFixtures::keepIdsPast(db, QStringLiteral("EquipmentInfo"), QStringLiteral("EquipmentId"), id);
    return id;
}

void setAssetTag(Database& db, qint64 unitId, const QVariant& tag) {
    Query(db, QStringLiteral("UPDATE EquipmentInfo SET AssetTagNumber = ? WHERE EquipmentId = ?")).exec({tag, unitId});
}

qint64 locationOf(Database& db, qint64 unitId) {
    return Query(db, QStringLiteral("SELECT CurrentLocation FROM EquipmentInfo WHERE EquipmentId = ?"))
        .scalar({unitId})
        .toLongLong();
}

qint64 park(Database& db, const QString& serial, qint64 locId, const QString& manufacturer) {
    Query q(db,
            QStringLiteral("INSERT INTO TempEquipmentInfo (SerialNumber, EquipmentType, Manufacturer, "
                           "DatePurchased, CurrentLocation, EquActive) VALUES (?, 'Laptop', ?, '2024-05-06', ?, 1)"));
    q.exec({serial, manufacturer, locId});
    return q.lastInsertId().toLongLong();
}

QStringList inventoryRows(Database& db) {
    QStringList rows;
    const char* const statements[] = {
        "SELECT 'unit', EquipmentId, SerialNumber, EquipmentType, Manufacturer, CurrentLocation FROM EquipmentInfo",
        "SELECT 'parked', EquipmentId, SerialNumber, EquipmentType, Manufacturer, CurrentLocation "
        "FROM TempEquipmentInfo",
        "SELECT 'history', EquipLocAssignId, EquipmentId, LocId, EquipLocAssignDate, '' FROM EquipLocAssign"};
    for (const char* sql : statements) {
        Query q(db, QLatin1String(sql) + QStringLiteral(" ORDER BY 2"));
        q.exec();
        while (q.next()) {
            QStringList cells;
            for (int c = 0; c < 6; ++c)
                cells << (q.isNull(c) ? QStringLiteral("<null>") : q.text(c));
            rows << cells.join(QLatin1Char('|'));
        }
    }
    return rows;
}

} // namespace UnitFixtures
