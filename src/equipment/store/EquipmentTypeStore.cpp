#include "equipment/store/EquipmentTypeStore.h"

#include "data/Database.h"
#include "data/PackedReader.h"

const ListColumns& EquipmentTypeStore::listColumns() {
    static const ListColumns columns = ListColumnsBuilder()
                                           .add("EquipmentTypeId", "Id")
                                           .add("EquipmentType", "Equipment Type")
                                           .display(CellDisplay::NbspRemoved, {"EquipmentType"})
                                           .build();
    return columns;
}

std::vector<ListRow> EquipmentTypeStore::types() const {
    return displayRows(readPackedRows(m_db, QStringLiteral("SELECT %1 FROM EquipmentType ORDER BY EquipmentTypeId")
                                                .arg(ListColumnsSql::selectList(listColumns()))),
                       listColumns(), 0);
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
