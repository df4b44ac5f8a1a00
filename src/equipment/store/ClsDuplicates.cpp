#include "equipment/store/ClsDuplicates.h"

ClsDuplicates::ClsDuplicates(Database& db)
    : m_query(db, QStringLiteral("SELECT 1 FROM EquipmentInfo WHERE (SerialNumber = ?) LIMIT 1")) {}

bool ClsDuplicates::CheckDuplicate(const QString& srn) {
    m_query.exec({srn});
    const bool found = m_query.next();
    m_query.finish();
    return found;
}
