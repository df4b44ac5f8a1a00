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

namespace {

const char* const kHoldingColumns =
    "AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, "
    "CpuSpeed, Memory, HardDriveCapacity, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation";
const char* const kInventoryColumns =
    " (AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, "
    "CPUSpeed, Memory, HarddriveCap, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation, EquActive) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)";
constexpr int kValueCount = 15;
constexpr int kSerialNumberColumn = 5;
constexpr int kLocationColumn = 14;

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

void execute(sqlite3* db, const char* sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql);
}

// The main file open, the holding file attached: the state the application's connection is in.
sqlite3* openRaw(const QString& dir) {
    sqlite3* db = nullptr;
    const QByteArray main = QDir(dir).filePath(QString::fromLatin1(kMainFileName)).toUtf8();
    if (sqlite3_open_v2(main.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        fail(db, "open");
    sqlite3_stmt* attach = prepare(db, "ATTACH DATABASE ? AS hold");
    const QByteArray hold = QDir(dir).filePath(QString::fromLatin1(kHoldingFileName)).toUtf8();
    sqlite3_bind_text(attach, 1, hold.constData(), static_cast<int>(hold.size()), SQLITE_TRANSIENT);
    check(sqlite3_step(attach), db, "attach");
    sqlite3_finalize(attach);
    return db;
}

// The commit written directly against SQLite: the floor for any implementation of it.
CommitResult rawCommit(sqlite3* db) {
    CommitResult result;
    execute(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* source =
        prepare(db, QByteArray("SELECT ") + kHoldingColumns + " FROM HoldEquipment ORDER BY HoldEquipmentId");
    sqlite3_stmt* known = prepare(db, "SELECT 1 FROM EquipmentInfo WHERE (SerialNumber = ?) LIMIT 1");
    sqlite3_stmt* toInventory = prepare(db, QByteArray("INSERT INTO EquipmentInfo") + kInventoryColumns);
    sqlite3_stmt* toDuplicates = prepare(db, QByteArray("INSERT INTO TempEquipmentInfo") + kInventoryColumns);
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
    execute(db, "DELETE FROM HoldEquipment");
    execute(db, "COMMIT");
    return result;
}

// Every value of both target tables (Null told apart from empty text) and the holding table's row count.
QByteArray contentDigest(const QString& dir) {
    sqlite3* db = openRaw(dir);
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

void copyDataFiles(const QString& from, const QString& to) {
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const char* name : {kMainFileName, kHoldingFileName}) {
        const QString file = QString::fromLatin1(name);
        if (!QFile::copy(QDir(from).filePath(file), QDir(to).filePath(file)))
            qFatal("could not copy %s", name);
    }
}

} // namespace

bool benchCommitToInventory(const Options& opt) {
    QTemporaryDir temporary;
    if (!opt.keepData && !temporary.isValid())
        qFatal("no temporary directory");
    const QDir work(opt.keepData ? QDir(opt.dataDir).filePath(QStringLiteral("commit")) : temporary.path());
    const QString source = work.filePath(QStringLiteral("source"));
    const QString storeDir = work.filePath(QStringLiteral("store"));
    const QString rawDir = work.filePath(QStringLiteral("raw"));
    copyDataFiles(opt.dataDir, source);
    int duplicates = 0;
    {
        Database db(source);
        duplicates = fillHoldingTable(db, opt.holdingRows, opt.duplicateShare);
    }

    const auto runStore = [&] {
        copyDataFiles(source, storeDir);
        Database db(storeDir); // opened outside the timing, as the application's connection is long open
        HoldingStore store(db);
        CommitResult result;
        const Timing t = timingOf([&] { result = store.commitToInventory(); });
        return std::make_pair(t, result);
    };
    const auto runRaw = [&] {
        copyDataFiles(source, rawDir);
        sqlite3* db = openRaw(rawDir);
        CommitResult result;
        const Timing t = timingOf([&] { result = rawCommit(db); });
        sqlite3_close(db);
        return std::make_pair(t, result);
    };

    std::vector<double> storeMs, rawMs, storeCpuMs, rawCpuMs;
    CommitResult storeResult, rawResult;
    bool identical = true;
    for (int r = 0; r < opt.repeat; ++r) {
        // Alternating which goes first keeps the disk's write-back of one run from always burdening the other.
        std::pair<Timing, CommitResult> s, b;
        if (r % 2 == 0) {
            s = runStore();
            b = runRaw();
        } else {
            b = runRaw();
            s = runStore();
        }
        storeMs.push_back(s.first.wallMs);
        rawMs.push_back(b.first.wallMs);
        storeCpuMs.push_back(s.first.cpuMs);
        rawCpuMs.push_back(b.first.cpuMs);
        storeResult = s.second;
        rawResult = b.second;
        if (r == 0)
            identical = contentDigest(storeDir) == contentDigest(rawDir);
    }

    const double a = median(rawMs);
    const double b = median(storeMs);
    const double aCpu = median(rawCpuMs);
    const double bCpu = median(storeCpuMs);
    std::printf("\ncommit: %d holding rows (%d with a serial number already in the inventory), median of %d runs\n",
                opt.holdingRows, duplicates, opt.repeat);
    std::printf("  %-52s %10s %10s\n", "measure", "wall", "processor");
    std::printf("  %-52s %7.1f ms %7.1f ms\n", "(a) raw SQLite C API: prepare, bind, step", a, aCpu);
    std::printf("  %-52s %7.1f ms %7.1f ms\n", "(b) HoldingStore::commitToInventory", b, bCpu);
    std::printf("  %-52s %7.2f x  %7.2f x   (goal <= 2)\n", "ratio b / a", a > 0 ? b / a : 0.0,
                aCpu > 0 ? bCpu / aCpu : 0.0);
    std::printf("  %-52s %d + %d / %d + %d\n", "committed + parked: store / raw", storeResult.committed,
                storeResult.parked, rawResult.committed, rawResult.parked);
    std::printf("  %-52s %s\n", "resulting tables identical", identical ? "yes" : "NO");
    std::fflush(stdout);
    return identical;
}

} // namespace bench
