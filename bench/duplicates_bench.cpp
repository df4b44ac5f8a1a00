// Settling every parked duplicate at once from the Duplicate Table, against the same set-based statements through
// the bare SQLite C API.

#include "bench.h"

#include "data/Database.h"
#include "equipment/store/DuplicateBatch.h"
#include "equipment/store/HoldingStore.h"
#include "generator.h"

#include <cstdio>
#include <iterator>
#include <sqlite3.h>

namespace bench {

namespace {

// What a user clears in one step after a large import of units already known.
constexpr int kParkedRows = 5000;

// The columns a parked record carries into the inventory, in the order of kTargetColumns.
const char* const kParkedColumns =
    "AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, "
    "CPUSpeed, Memory, HarddriveCap, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation";

// The chosen ids as literals in one INSERT: what the floor would do with ids it already holds.
QByteArray chooseStatement(const QList<qint64>& ids) {
    QByteArray sql = "CREATE TEMPORARY TABLE Chosen (EquipmentId INTEGER PRIMARY KEY); "
                     "INSERT INTO Chosen (EquipmentId) VALUES ";
    for (qsizetype i = 0; i < ids.size(); ++i)
        sql += (i ? ",(" : "(") + QByteArray::number(ids.at(i)) + ')';
    return sql;
}

// The records that enter, one per serial number (the first chosen), where the location is active and no more than
// one unit holds the serial number; then the units they replace go, they enter, and their serial numbers' parked
// records go.
void floorReplace(sqlite3* db, const QList<qint64>& ids) {
    execRaw(db, "BEGIN IMMEDIATE");
    execRaw(db, chooseStatement(ids).constData());
    execRaw(db, "CREATE TEMPORARY TABLE Entering AS SELECT MIN(T.EquipmentId) AS EquipmentId, T.SerialNumber "
                "FROM TempEquipmentInfo T INNER JOIN Chosen C ON C.EquipmentId = T.EquipmentId "
                "INNER JOIN LocationInfo L ON L.LocId = T.CurrentLocation AND L.LocActive = 1 "
                "WHERE (SELECT COUNT(*) FROM EquipmentInfo E WHERE E.SerialNumber = T.SerialNumber) <= 1 "
                "GROUP BY T.SerialNumber");
    execRaw(db, "DELETE FROM EquipmentInfo WHERE SerialNumber IN (SELECT SerialNumber FROM Entering)");
    execRaw(db, (QByteArray("INSERT INTO EquipmentInfo") + kTargetColumns + " SELECT " + kParkedColumns +
                 ", 1 FROM TempEquipmentInfo WHERE EquipmentId IN (SELECT EquipmentId FROM Entering) "
                 "ORDER BY EquipmentId")
                    .constData());
    execRaw(db, "DELETE FROM TempEquipmentInfo WHERE SerialNumber IN (SELECT SerialNumber FROM Entering)");
    execRaw(db, "DROP TABLE Entering; DROP TABLE Chosen; COMMIT");
}

// Every parked record with a chosen record's serial number goes.
void floorDiscard(sqlite3* db, const QList<qint64>& ids) {
    execRaw(db, "BEGIN IMMEDIATE");
    execRaw(db, chooseStatement(ids).constData());
    execRaw(db, "DELETE FROM TempEquipmentInfo WHERE SerialNumber IN (SELECT T.SerialNumber FROM "
                "TempEquipmentInfo T INNER JOIN Chosen C ON C.EquipmentId = T.EquipmentId)");
    execRaw(db, "DROP TABLE Chosen; COMMIT");
}

struct Side {
    std::vector<double> wallMs, cpuMs;
};

} // namespace

bool benchParkedDuplicates(const Options& opt) {
    const WorkFolder work(opt, QStringLiteral("duplicates"));
    const QString source = work.filePath(QStringLiteral("source"));
    const QString storeDir = work.filePath(QStringLiteral("store"));
    const QString floorDir = work.filePath(QStringLiteral("floor"));
    copyDataFiles(opt.dataDir, source);
    // Parked the way users park them: holding rows whose serial numbers the inventory knows, committed.
    QList<qint64> ids;
    {
        Database db(source);
        fillHoldingTable(db, kParkedRows, 1.0, 0.0, 2);
        HoldingStore(db).commitToInventory();
        Query q(db, QStringLiteral("SELECT EquipmentId FROM TempEquipmentInfo ORDER BY EquipmentId"));
        q.exec();
        while (q.next())
            ids << q.value(0).toLongLong();
    }

    struct Action {
        const char* name;
        const char* storeName;
        BatchOutcome (DuplicateBatch::*store)(const QList<qint64>&);
        void (*floor)(sqlite3*, const QList<qint64>&);
    };
    const Action actions[] = {
        {"replace", "(b) DuplicateBatch::replaceExisting", &DuplicateBatch::replaceExisting, floorReplace},
        {"discard", "(b) DuplicateBatch::discardProposed", &DuplicateBatch::discardProposed, floorDiscard}};
    struct Result {
        Side store, floor;
        BatchOutcome outcome;
        bool identical = true;
    };
    Result results[std::size(actions)];

    const auto runStore = [&](const Action& action, Result& result) {
        copyDataFiles(source, storeDir);
        Database db(storeDir); // opened outside the timing, as the application's connection is long open
        DuplicateBatch batch(db);
        const Timing t = timingOf([&] { result.outcome = (batch.*action.store)(ids); });
        result.store.wallMs.push_back(t.wallMs);
        result.store.cpuMs.push_back(t.cpuMs);
    };
    const auto runFloor = [&](const Action& action, Result& result) {
        copyDataFiles(source, floorDir);
        sqlite3* db = openRawWithHolding(floorDir);
        const Timing t = timingOf([&] { action.floor(db, ids); });
        sqlite3_close(db);
        result.floor.wallMs.push_back(t.wallMs);
        result.floor.cpuMs.push_back(t.cpuMs);
    };
    for (int r = 0; r < opt.repeat; ++r)
        for (size_t k = 0; k < std::size(actions); ++k) {
            // Alternating which goes first keeps the disk's write-back of one run from always burdening the other.
            if (r % 2 == 0) {
                runStore(actions[k], results[k]);
                runFloor(actions[k], results[k]);
            } else {
                runFloor(actions[k], results[k]);
                runStore(actions[k], results[k]);
            }
            if (r == 0)
                results[k].identical = contentDigest(storeDir) == contentDigest(floorDir);
        }

    std::printf("\nduplicates: all %lld parked duplicates chosen in the Duplicate Table, median of %d runs\n",
                static_cast<long long>(ids.size()), opt.repeat);
    std::printf("  %-52s %10s %10s\n", "measure", "wall", "processor");
    bool identical = true;
    for (size_t k = 0; k < std::size(actions); ++k) {
        const Action& action = actions[k];
        const Result& result = results[k];
        const double a = median(result.floor.wallMs);
        const double b = median(result.store.wallMs);
        const double aCpu = median(result.floor.cpuMs);
        const double bCpu = median(result.store.cpuMs);
        std::printf("  %s: %-43s %7.1f ms %7.1f ms\n", action.name, "(a) set-based SQL through the C API", a, aCpu);
        std::printf("  %s: %-43s %7.1f ms %7.1f ms   (goal: about 1 s)\n", action.name, action.storeName, b, bCpu);
        std::printf("  %s: %-43s %7.2f x  %7.2f x\n", action.name, "ratio b / a", a > 0 ? b / a : 0.0,
                    aCpu > 0 ? bCpu / aCpu : 0.0);
        std::printf("  %s: %-43s %d / %d\n", action.name, "settled / skipped by the store", result.outcome.done,
                    result.outcome.skipped());
        std::printf("  %s: %-43s %s\n", action.name, "resulting tables identical: store and floor",
                    result.identical ? "yes" : "NO");
        identical = identical && result.identical;
    }
    std::fflush(stdout);
    return identical;
}

} // namespace bench
