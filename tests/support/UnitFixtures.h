#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class Database;

// Units and locations with ids chosen by the test (beyond 16 bits, where a narrow id would break), and parked
// duplicates.
namespace UnitFixtures {
qint64 addLocationWithId(Database& db, qint64 id, const QString& name, bool active = true);
qint64 addUnitWithId(Database& db, qint64 id, qint64 locId, const QString& serial,
                     const QVariant& type = QStringLiteral("Desktop"));
// Null clears it.
void setAssetTag(Database& db, qint64 unitId, const QVariant& tag);
// The unit's CurrentLocation.
qint64 locationOf(Database& db, qint64 unitId);
qint64 park(Database& db, const QString& serial, qint64 locId, const QString& manufacturer = QStringLiteral("HP"));
// Every row of the inventory, the parked records and the history, as text: equal before and after a step that
// must write nothing.
QStringList inventoryRows(Database& db);
} // namespace UnitFixtures
