#include "support/EngineFixtures.h"

#include "data/Database.h"
#include "data/Schema.h"

namespace EngineFixtures {

namespace {

QString triggerName(const QString& table) {
    return QStringLiteral("refuse_") + table;
}

// The server's sequence behind a key column, as the arguments of pg_get_serial_sequence.
QVariantList sequenceOf(const QString& table, const QString& idColumn) {
    // On a server the holding table is a view of every workstation's rows, whose table hands out the ids.
    const QString holder = table == QLatin1String("HoldEquipment")
                               ? QStringLiteral("hold.") + QLatin1String(Schema::kHoldingRowsTable)
                               : table;
    // Unquoted names are folded to lower case, and pg_get_serial_sequence takes the column's name as stored.
    return {holder.toLower(), idColumn.toLower()};
}

} // namespace

void refuseWrites(Database& db, const QString& table, const QString& event, const QString& message,
                  const QString& when) {
    const QString name = triggerName(table);
    QString quoted = message;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    if (db.engine() == Engine::SQLite) {
        Query(db, QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT RAISE(ABORT, '%5'); END")
                      .arg(name, event, table, when.isEmpty() ? QString() : QStringLiteral("WHEN ") + when, quoted))
            .exec();
        return;
    }
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    Query(db, QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                             "$$ BEGIN RAISE EXCEPTION '%2'; END $$")
                  .arg(name, quoted))
        .exec();
    Query(db, QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4 EXECUTE FUNCTION %1()")
                  .arg(name, event, table, when.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(when)))
        .exec();
}

void refuseHoldingInserts(Database& db, const QString& message, const QString& when) {
    if (db.engine() != Engine::SQLite) {
        refuseWrites(db, QStringLiteral("HoldEquipmentRows"), QStringLiteral("INSERT"), message, when);
        return;
    }
    // Only a temporary trigger may watch a table of another file.
    QString quoted = message;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    Query(db, QStringLiteral("CREATE TEMP TRIGGER refuse_hold BEFORE INSERT ON hold.HoldEquipment WHEN %1 "
                             "BEGIN SELECT RAISE(ABORT, '%2'); END")
                  .arg(when, quoted))
        .exec();
}

void allowWrites(Database& db, const QString& table) {
    const QString name = triggerName(table);
    if (db.engine() == Engine::SQLite) {
        Query(db, QStringLiteral("DROP TRIGGER %1").arg(name)).exec();
        return;
    }
    Query(db, QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table)).exec();
    Query(db, QStringLiteral("DROP FUNCTION %1()").arg(name)).exec();
}

void continueIdsAfter(Database& db, const QString& table, const QString& idColumn, qint64 lastId) {
    if (db.engine() == Engine::SQLite) {
        // The holding table lives in the attached holding file, with a sequence table of its own.
        const bool held = Query(db, QStringLiteral("SELECT COUNT(*) FROM hold.sqlite_master WHERE name = ?"))
                              .scalar({table})
                              .toInt() > 0;
        const QString schema = held ? QStringLiteral("hold.") : QStringLiteral("main.");
        Query(db, QStringLiteral("DELETE FROM %1sqlite_sequence WHERE name = ?").arg(schema)).exec({table});
        Query(db, QStringLiteral("INSERT INTO %1sqlite_sequence (name, seq) VALUES (?, ?)").arg(schema))
            .exec({table, lastId});
        return;
    }
    Query(db, QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), ?)"))
        .exec(sequenceOf(table, idColumn) << lastId);
}

void keepIdsPast(Database& db, const QString& table, const QString& idColumn, qint64 id) {
    if (db.engine() == Engine::SQLite)
        return;
    Query(db, QStringLiteral("SELECT setval(seq, GREATEST(?, COALESCE(pg_sequence_last_value(seq::regclass), 0))) "
                             "FROM (SELECT pg_get_serial_sequence(?, ?) AS seq) AS s"))
        .exec(QVariantList{id} + sequenceOf(table, idColumn));
}

} // namespace EngineFixtures
