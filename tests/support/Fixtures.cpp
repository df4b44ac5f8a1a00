#include "support/Fixtures.h"

#include "data/Database.h"

namespace Fixtures {

qint64 addLocation(Database& db, const QString& name, const QVariant& stateId, const QString& city,
                   const QString& phone) {
    Query q(db, QStringLiteral("INSERT INTO LocationInfo (LocName, LocAddressOne, LocAddressTwo, LocCity, LocZip, "
                               "LocPhone, StateId) VALUES (?, '', '', ?, '', ?, ?)"));
    q.exec({name, city, phone, stateId});
    const qint64 id = q.lastInsertId().toLongLong();
    Query(db, QStringLiteral("INSERT INTO ContactInfo (LocId, ContactFirstName) VALUES (?, '')")).exec({id});
    return id;
}

qint64 addEquipment(Database& db, qint64 locId, const QString& serial, const QVariant& type, bool active) {
    Query q(db, QStringLiteral("INSERT INTO EquipmentInfo (SerialNumber, EquipmentType, Manufacturer, ModelNumber, "
                               "CurrentLocation, EquActive) VALUES (?, ?, 'Dell', 'M-' || ?, ?, ?)"));
    q.exec({serial, type, serial, locId, active ? 1 : 0});
    return q.lastInsertId().toLongLong();
}

int count(Database& db, const QString& table, const QString& where, const QVariantList& values) {
    Query q(db, QStringLiteral("SELECT COUNT(*) FROM ") + table +
                    (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where));
    q.exec(values);
    return q.next() ? q.value(0).toInt() : -1;
}

} // namespace Fixtures
