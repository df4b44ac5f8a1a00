#pragma once

#include <QString>
#include <QVariant>

class Database;

// Rows written straight into the database, for tests that need a known inventory.
namespace Fixtures {
qint64 addLocation(Database& db, const QString& name, const QVariant& stateId = 2, const QString& city = QString(),
                   const QString& phone = QString());
qint64 addEquipment(Database& db, qint64 locId, const QString& serial, const QVariant& type = QStringLiteral("Desktop"),
                    bool active = true);
int count(Database& db, const QString& table, const QString& where = QString(), const QVariantList& values = {});
} // namespace Fixtures
