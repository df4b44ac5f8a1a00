#include "assignment/store/AssignmentStore.h"

#include "data/Database.h"

void AssignmentStore::assign(const QList<qint64>& ids, qint64 locId) {
    m_db.transaction([&] {
        Query history(m_db, QStringLiteral("INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (?, ?)"));
        Query move(m_db, QStringLiteral("UPDATE EquipmentInfo SET CurrentLocation = ? WHERE (EquipmentId = ?)"));
        for (qint64 id : ids) {
            history.exec({id, locId});
            move.exec({locId, id});
        }
    });
}
