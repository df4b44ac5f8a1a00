#include "equipment/store/DuplicateBatch.h"

#include "data/Database.h"
#include "equipment/store/HoldingStore.h"

#include <algorithm>

namespace {

// The chosen parked records, one row each, and why a record is skipped (0: it is not). A table of the
// connection's own, gone with the transaction should it fail.
const QString kChosen = QStringLiteral("ChosenDuplicates");
constexpr int kSkipLocation = 1;
constexpr int kSkipShared = 2;
constexpr int kIdsPerInsert = 500;

// The serial numbers of the chosen records that are not skipped.
QString chosenSerials() {
    return QStringLiteral("SELECT T.SerialNumber FROM TempEquipmentInfo T INNER JOIN %1 C "
                          "ON C.EquipmentId = T.EquipmentId WHERE C.Reason = 0")
        .arg(kChosen);
}

int scalar(Database& db, const QString& sql) {
    return Query(db, sql).scalar().toInt();
}

} // namespace

void DuplicateBatch::choose(const QList<qint64>& parkedIds) {
    Query(m_db, m_db.ddl(QStringLiteral("CREATE TEMPORARY TABLE IF NOT EXISTS %1 "
                                        "(EquipmentId INTEGER PRIMARY KEY, Reason INTEGER NOT NULL DEFAULT 0)")
                             .arg(kChosen)))
        .exec();
    Query(m_db, QStringLiteral("DELETE FROM %1").arg(kChosen)).exec();
    QList<qint64> ids = parkedIds;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    for (qsizetype from = 0; from < ids.size(); from += kIdsPerInsert) {
        const qsizetype n = std::min<qsizetype>(kIdsPerInsert, ids.size() - from);
        QStringList marks(n, QStringLiteral("(?)"));
        QVariantList values;
        for (qsizetype i = from; i < from + n; ++i)
            values << ids[i];
        Query(m_db, QStringLiteral("INSERT INTO %1 (EquipmentId) VALUES %2").arg(kChosen, marks.join(QLatin1Char(','))))
            .exec(values);
    }
    // Records resolved meanwhile, elsewhere, are not this batch's.
    Query(m_db, QStringLiteral("DELETE FROM %1 WHERE EquipmentId NOT IN (SELECT EquipmentId FROM TempEquipmentInfo)")
                    .arg(kChosen))
        .exec();
}

BatchOutcome DuplicateBatch::discardProposed(const QList<qint64>& parkedIds) {
    return m_db.transaction([&] {
        choose(parkedIds);
        BatchOutcome outcome;
        outcome.done = scalar(m_db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(kChosen));
        Query(m_db, QStringLiteral("DELETE FROM TempEquipmentInfo WHERE SerialNumber IN (%1)").arg(chosenSerials()))
            .exec();
        Query(m_db, QStringLiteral("DROP TABLE %1").arg(kChosen)).exec();
        return outcome;
    });
}

BatchOutcome DuplicateBatch::replaceExisting(const QList<qint64>& parkedIds) {
    return m_db.transaction([&] {
        choose(parkedIds);
        // No unit may end at a location that is gone or retired.
        Query(m_db, QStringLiteral("UPDATE %1 SET Reason = %2 WHERE EquipmentId IN (SELECT T.EquipmentId FROM "
                                   "TempEquipmentInfo T WHERE NOT EXISTS (SELECT 1 FROM LocationInfo L "
                                   "WHERE L.LocId = T.CurrentLocation AND L.LocActive = 1))")
                        .arg(kChosen)
                        .arg(kSkipLocation))
            .exec();
        // Which of several units the record replaces is the user's to say, in the single record's window.
        Query(m_db,
              QStringLiteral("UPDATE %1 SET Reason = %2 WHERE Reason = 0 AND EquipmentId IN (SELECT T.EquipmentId "
                             "FROM TempEquipmentInfo T WHERE (SELECT COUNT(*) FROM EquipmentInfo E "
                             "WHERE E.SerialNumber = T.SerialNumber) > 1)")
                  .arg(kChosen)
                  .arg(kSkipShared))
            .exec();
        BatchOutcome outcome;
        const QString counted = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE Reason = %2").arg(kChosen);
        outcome.done = scalar(m_db, counted.arg(0));
        outcome.locationUnavailable = scalar(m_db, counted.arg(kSkipLocation));
        outcome.serialShared = scalar(m_db, counted.arg(kSkipShared));
        // By id alone: the replaced unit's history, notes and attachments stay under its old id, which no unit
        // gets again.
        Query(m_db, QStringLiteral("DELETE FROM EquipmentInfo WHERE EquipmentId IN (SELECT E.EquipmentId FROM "
                                   "EquipmentInfo E WHERE E.SerialNumber IN (%1))")
                        .arg(chosenSerials()))
            .exec();
        const QString columns = Columns::list(HoldingStore::inventoryColumns());
        Query(m_db, QStringLiteral("INSERT INTO EquipmentInfo (%1, EquActive) SELECT %1, 1 FROM TempEquipmentInfo "
                                   "WHERE EquipmentId IN (SELECT MIN(T.EquipmentId) FROM TempEquipmentInfo T "
                                   "INNER JOIN %2 C ON C.EquipmentId = T.EquipmentId WHERE C.Reason = 0 "
                                   "GROUP BY T.SerialNumber) ORDER BY EquipmentId")
                        .arg(columns, kChosen))
            .exec();
        Query(m_db, QStringLiteral("DELETE FROM TempEquipmentInfo WHERE SerialNumber IN (%1)").arg(chosenSerials()))
            .exec();
        Query(m_db, QStringLiteral("DROP TABLE %1").arg(kChosen)).exec();
        return outcome;
    });
}
