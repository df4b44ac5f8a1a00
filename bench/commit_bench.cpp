// The commit of the holding table into the inventory, against the same work through the bare SQLite C API.

#include "bench.h"

#include "data/Database.h"
#include "equipment/store/HoldingStore.h"
#include "generator.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace bench {

const char* const kHoldingColumns =
    "AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, "
    "CpuSpeed, Memory, HardDriveCapacity, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation";
const char* const kTargetColumns =
    " (AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, "
    "CPUSpeed, Memory, HarddriveCap, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation, EquActive)";

WorkFolder::WorkFolder(const Options& opt, const QString& name) {
    if (opt.keepData) {
        m_path = QDir(opt.dataDir).filePath(name);
    } else {
        if (!m_temporary.isValid())
            qFatal("no temporary directory");
        m_path = m_temporary.path();
    }
}

QString WorkFolder::filePath(const QString& name) const {
    return QDir(m_path).filePath(name);
}

void copyDataFiles(const QString& from, const QString& to) {
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const char* name : {kMainFileName, kHoldingFileName}) {
        const QString file = QString::fromLatin1(name);
        if (!QFile::copy(QDir(from).filePath(file), QDir(to).filePath(file)))
            qFatal("could not copy %s", name);
    }
}

namespace {

// The holding row's values as the targets take them: a Null text as empty text, the location id as it is.
const char* const kCopiedValues =
    "COALESCE(AssetTagNumber, ''), COALESCE(EquipmentType, ''), COALESCE(Manufacturer, ''), "
    "COALESCE(DatePurchased, ''), COALESCE(PurchasePrice, ''), COALESCE(SerialNumber, ''), "
    "COALESCE(ModelNumber, ''), COALESCE(CpuSpeed, ''), COALESCE(Memory, ''), COALESCE(HardDriveCapacity, ''), "
    "COALESCE(Monitor, ''), COALESCE(Mouse, ''), COALESCE(Keyboard, ''), COALESCE(OperatingSystem, ''), "
    "CurrentLocation, 1";

[[noreturn]] void fail(sqlite3* db, const char* what) {
    std::fprintf(stderr, "kavrel_bench: %s: %s\n", what, db ? sqlite3_errmsg(db) : "no connection");
    std::abort();
}

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(db, what);
}

sqlite3_stmt* prepare(sqlite3* db, const QByteArray& sql) {
    sqlite3_stmt* stmt = nullptr;
    check(sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr), db, sql.constData());
    return stmt;
}

} // namespace

void execRaw(sqlite3* db, const char* sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql);
}

// The commit as set-based SQL, in one pass over all rows: the floor for any implementation of it. Duplicates are
// marked first, in a table of the connection's own: a serial number already in the inventory, or carried by an
// earlier holding row (a Null one counting as the empty text it is written as, though never found itself); then
// one INSERT ... SELECT into each target and one DELETE. Plain SQL that SQLite and PostgreSQL both take.
QList<QByteArray> setBasedCommitStatements() {
    QList<QByteArray> statements = {
        "CREATE TEMPORARY TABLE CommitMarks (HoldEquipmentId INTEGER PRIMARY KEY, Parked INTEGER NOT NULL)",
        "INSERT INTO CommitMarks (HoldEquipmentId, Parked) "
        "SELECT HoldEquipmentId, CASE WHEN SerialNumber IS NULL THEN 0 WHEN Occurrence > 1 THEN 1 "
        "WHEN SerialNumber = '' AND FirstNull < HoldEquipmentId THEN 1 "
        "WHEN EXISTS (SELECT 1 FROM EquipmentInfo WHERE EquipmentInfo.SerialNumber = Marked.SerialNumber) "
        "THEN 1 ELSE 0 END "
        "FROM (SELECT HoldEquipmentId, SerialNumber, "
        "ROW_NUMBER() OVER (PARTITION BY SerialNumber ORDER BY HoldEquipmentId) AS Occurrence, "
        "MIN(CASE WHEN SerialNumber IS NULL THEN HoldEquipmentId END) OVER () AS FirstNull "
        "FROM HoldEquipment "
        "WHERE CurrentLocation IN (SELECT LocId FROM LocationInfo WHERE LocActive = 1)) AS Marked"};
    for (const bool parked : {false, true})
        statements << QByteArray("INSERT INTO ") + (parked ? "TempEquipmentInfo" : "EquipmentInfo") + kTargetColumns +
                          " SELECT " + kCopiedValues +
                          " FROM CommitMarks INNER JOIN HoldEquipment "
                          "ON HoldEquipment.HoldEquipmentId = CommitMarks.HoldEquipmentId WHERE CommitMarks.Parked = " +
                          (parked ? "1" : "0") + " ORDER BY CommitMarks.HoldEquipmentId";
    statements << "DELETE FROM HoldEquipment WHERE HoldEquipmentId IN (SELECT HoldEquipmentId FROM CommitMarks)"
               << "DROP TABLE CommitMarks";
    return statements;
}

namespace {

CommitResult setBasedCommit(sqlite3* db) {
    CommitResult result;
    execRaw(db, "BEGIN IMMEDIATE");
    const QList<QByteArray> statements = setBasedCommitStatements();
    for (qsizetype i = 0; i < statements.size(); ++i) {
        execRaw(db, statements.at(i).constData());
        if (i == kCommittedStatement)
            result.committed = sqlite3_changes(db);
        else if (i == kParkedStatement)
            result.parked = sqlite3_changes(db);
    }
    execRaw(db, "COMMIT");
    return result;
}

// The commit row by row, as the store once did it: a duplicate check and an insert per holding row, each seeing
// the rows inserted before it. Run once, to show the set-based floor keeps that behaviour on the generated data.
CommitResult rowByRowCommit(sqlite3* db) {
    CommitResult result;
    execRaw(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* source = prepare(db, QByteArray("SELECT ") + kHoldingColumns +
                                           " FROM HoldEquipment WHERE CurrentLocation IN "
                                           "(SELECT LocId FROM LocationInfo WHERE LocActive = 1) "
                                           "ORDER BY HoldEquipmentId");
    sqlite3_stmt* known = prepare(db, "SELECT 1 FROM EquipmentInfo WHERE (SerialNumber = ?) LIMIT 1");
    const QByteArray values = " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)";
    sqlite3_stmt* toInventory = prepare(db, QByteArray("INSERT INTO EquipmentInfo") + kTargetColumns + values);
    sqlite3_stmt* toDuplicates = prepare(db, QByteArray("INSERT INTO TempEquipmentInfo") + kTargetColumns + values);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(source)) == SQLITE_ROW) {
        sqlite3_bind_value(known, 1, sqlite3_column_value(source, kSerialNumberColumn));
        const int found = sqlite3_step(known);
        check(found, db, "duplicate check");
        sqlite3_reset(known);
        sqlite3_stmt* insert = found == SQLITE_ROW ? toDuplicates : toInventory;
        for (int i = 0; i < kValueCount; ++i) {
            sqlite3_value* value = sqlite3_column_value(source, i);
            // A Null text becomes the empty text; the location id is copied as it is.
            if (i != kLocationColumn && sqlite3_value_type(value) == SQLITE_NULL)
                sqlite3_bind_text(insert, i + 1, "", 0, SQLITE_STATIC);
            else
                sqlite3_bind_value(insert, i + 1, value);
        }
        check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
        ++(found == SQLITE_ROW ? result.parked : result.committed);
    }
    check(rc, db, "holding rows");
    for (sqlite3_stmt* stmt : {source, known, toInventory, toDuplicates})
        sqlite3_finalize(stmt);
    execRaw(db, "DELETE FROM HoldEquipment WHERE CurrentLocation IN "
                "(SELECT LocId FROM LocationInfo WHERE LocActive = 1)");
    execRaw(db, "COMMIT");
    return result;
}

} // namespace

// Every value of both target tables (Null told apart from empty text) and the holding table's row count.
QByteArray contentDigest(const QString& dir) {
    sqlite3* db = openRawWithHolding(dir);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray columns =
        "EquipmentId, quote(AssetTagNumber), quote(EquipmentType), quote(Manufacturer), quote(DatePurchased), "
        "quote(PurchasePrice), quote(SerialNumber), quote(ModelNumber), quote(CPUSpeed), quote(Memory), "
        "quote(HarddriveCap), quote(Monitor), quote(Mouse), quote(Keyboard), quote(OperatingSystem), "
        "quote(CurrentLocation), quote(EquActive)";
    for (const char* table : {"EquipmentInfo", "TempEquipmentInfo"}) {
        sqlite3_stmt* q = prepare(db, "SELECT " + columns + " FROM " + table + " ORDER BY EquipmentId");
        const int n = sqlite3_column_count(q);
        while (sqlite3_step(q) == SQLITE_ROW)
            for (int c = 0; c < n; ++c) {
                hash.addData(QByteArrayView(sqlite3_column_text(q, c), sqlite3_column_bytes(q, c)));
                hash.addData("\x1f");
            }
        sqlite3_finalize(q);
    }
    sqlite3_stmt* q = prepare(db, "SELECT COUNT(*) FROM HoldEquipment");
    check(sqlite3_step(q), db, "holding count");
    hash.addData(QByteArray::number(sqlite3_column_int64(q, 0)));
    sqlite3_finalize(q);
    sqlite3_close(db);
    return hash.result().toHex();
}

bool benchCommitToInventory(const Options& opt) {
    const WorkFolder work(opt, QStringLiteral("commit"));
    const QString source = work.filePath(QStringLiteral("source"));
    const QString storeDir = work.filePath(QStringLiteral("store"));
    const QString floorDir = work.filePath(QStringLiteral("floor"));
    const QString rowsDir = work.filePath(QStringLiteral("rows"));
    copyDataFiles(opt.dataDir, source);
    HoldingFill fill;
    {
        Database db(source);
        fill = fillHoldingTable(db, opt.holdingRows, opt.duplicateShare, opt.repeatShare);
    }

    int batches = 0;
    const auto runStore = [&] {
        copyDataFiles(source, storeDir);
        Database db(storeDir); // opened outside the timing, as the application's connection is long open
        HoldingStore store(db);
        CommitResult result;
        batches = 0;
        const Timing t = timingOf([&] { result = store.commitToInventory([&](int, int) { ++batches; }); });
        return std::make_pair(t, result);
    };
    const auto runRaw = [&](const QString& dir, CommitResult (*commit)(sqlite3*)) {
        copyDataFiles(source, dir);
        sqlite3* db = openRawWithHolding(dir);
        CommitResult result;
        const Timing t = timingOf([&] { result = commit(db); });
        sqlite3_close(db);
        return std::make_pair(t, result);
    };

    std::vector<double> storeMs, floorMs, storeCpuMs, floorCpuMs;
    CommitResult storeResult, floorResult;
    bool identical = true;
    for (int r = 0; r < opt.repeat; ++r) {
        // Alternating which goes first keeps the disk's write-back of one run from always burdening the other.
        std::pair<Timing, CommitResult> s, b;
        if (r % 2 == 0) {
            s = runStore();
            b = runRaw(floorDir, setBasedCommit);
        } else {
            b = runRaw(floorDir, setBasedCommit);
            s = runStore();
        }
        storeMs.push_back(s.first.wallMs);
        floorMs.push_back(b.first.wallMs);
        storeCpuMs.push_back(s.first.cpuMs);
        floorCpuMs.push_back(b.first.cpuMs);
        storeResult = s.second;
        floorResult = b.second;
        if (r == 0)
            identical = contentDigest(storeDir) == contentDigest(floorDir);
    }
    // Once: the row-by-row commit leaves the same tables as the floor.
    const auto rows = runRaw(rowsDir, rowByRowCommit);
    const bool sameAsRows = contentDigest(rowsDir) == contentDigest(floorDir);

    const double a = median(floorMs);
    const double b = median(storeMs);
    const double aCpu = median(floorCpuMs);
    const double bCpu = median(storeCpuMs);
    std::printf("\ncommit: %d holding rows (%d with a serial number already in the inventory, %d repeating an earlier "
                "one), median of %d runs\n",
                opt.holdingRows, fill.duplicates, fill.repeats, opt.repeat);
    std::printf("  %-52s %10s %10s\n", "measure", "wall", "processor");
    std::printf("  %-52s %7.1f ms %7.1f ms\n", "(a) set-based SQL through the C API", a, aCpu);
    std::printf("  %-52s %7.1f ms %7.1f ms\n", "(b) HoldingStore::commitToInventory", b, bCpu);
    std::printf("  %-52s %7.2f x  %7.2f x   (goal <= 1.2)\n", "ratio b / a", a > 0 ? b / a : 0.0,
                aCpu > 0 ? bCpu / aCpu : 0.0);
    std::printf("  %-52s %7.1f ms %7.1f ms   (one run)\n", "(r) row by row through the C API", rows.first.wallMs,
                rows.first.cpuMs);
    std::printf("  %-52s %d\n", "store's batches (progress reports)", batches);
    std::printf("  %-52s %d + %d / %d + %d / %d + %d\n", "committed + parked: store / floor / row by row",
                storeResult.committed, storeResult.parked, floorResult.committed, floorResult.parked,
                rows.second.committed, rows.second.parked);
    std::printf("  %-52s %s\n", "resulting tables identical: store and floor", identical ? "yes" : "NO");
    std::printf("  %-52s %s\n", "resulting tables identical: row by row and floor", sameAsRows ? "yes" : "NO");
    std::fflush(stdout);
    return identical && sameAsRows;
}

} // namespace bench
