#pragma once

#include <QString>

class Database;

// Test-side statements that each engine words its own way.
namespace EngineFixtures {

// Makes the database refuse a write to table with message, as a full disk would, until allowWrites: event is
// "INSERT" or "UPDATE OF column", when a condition on NEW (empty: every row).
void refuseWrites(Database& db, const QString& table, const QString& event, const QString& message,
                  const QString& when = QString());
void allowWrites(Database& db, const QString& table);
// The same for inserts into the holding table, which lives in the attached holding file (on a server: under the
// workstations' view).
void refuseHoldingInserts(Database& db, const QString& message, const QString& when);
// The next id the table's key column hands out becomes lastId + 1.
void continueIdsAfter(Database& db, const QString& table, const QString& idColumn, qint64 lastId);
// After a row was written with an id of the test's choosing, later ids come after it, as SQLite's AUTOINCREMENT
// does by itself; a server's identity column does not look at ids given to it.
void keepIdsPast(Database& db, const QString& table, const QString& idColumn, qint64 id);

} // namespace EngineFixtures
