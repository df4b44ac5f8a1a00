#include "equipment/store/EquipmentTypeStore.h"

#include "data/Database.h"

std::vector<EquipmentTypeRow> EquipmentTypeStore::types() const {
    Query q(m_db, QStringLiteral("SELECT EquipmentTypeId, EquipmentType FROM EquipmentType ORDER BY EquipmentTypeId"));
    q.exec();
    std::vector<EquipmentTypeRow> rows;
    while (q.next())
        rows.push_back({q.value(0).toLongLong(), q.value(1)});
    return rows;
}

QStringList EquipmentTypeStore::names() const {
    Query q(m_db, QStringLiteral("SELECT EquipmentType FROM EquipmentType ORDER BY EquipmentType"));
    q.exec();
    QStringList names;
    while (q.next())
        names << q.text(0);
    return names;
}

qint64 EquipmentTypeStore::add(const QString& name) {
    Query q(m_db, QStringLiteral("INSERT INTO EquipmentType (EquipmentType) VALUES (?)"));
    q.exec({name});
    return q.lastInsertId().toLongLong();
}

void EquipmentTypeStore::remove(qint64 id) {
    Query(m_db, QStringLiteral("DELETE FROM EquipmentType WHERE (EquipmentTypeId = ?)")).exec({id});
}
