#include "equipment/store/ClsDuplicates.h"

namespace {
// The inventory's column on the left: its collation decides what "the same serial number" is, and its index
// serves the test.
QString sameSerial(const QString& other) {
    return QStringLiteral("EquipmentInfo.SerialNumber = ") + other;
}
} // namespace

ClsDuplicates::ClsDuplicates(Database& db)
    : m_query(db,
              QStringLiteral("SELECT 1 FROM EquipmentInfo WHERE (%1) LIMIT 1").arg(sameSerial(QStringLiteral("?")))) {}

bool ClsDuplicates::CheckDuplicate(const QString& srn) {
    m_query.exec({srn});
    const bool found = m_query.next();
    m_query.finish();
    return found;
}

QString ClsDuplicates::inInventory(const QString& serialColumn) {
    return QStringLiteral("EXISTS (SELECT 1 FROM EquipmentInfo WHERE %1)").arg(sameSerial(serialColumn));
}
