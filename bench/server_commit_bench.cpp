// The commit of the holding table on a PostgreSQL server, against the same rows written through plain libpq.

#include "bench.h"

#include "data/Database.h"
#include "equipment/store/HoldingStore.h"
#include "generator.h"

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <libpq-fe.h>

namespace bench {

namespace {

const QStringList kInventoryTables = {QStringLiteral("LocationInfo"), QStringLiteral("ContactInfo"),
                                      QStringLiteral("EquipmentInfo"), QStringLiteral("EquipLocAssign"),
                                      QStringLiteral("HoldEquipment")};
const char* const kActiveHolding =
    " FROM HoldEquipment WHERE CurrentLocation IN (SELECT LocId FROM LocationInfo WHERE LocActive = 1)";

PGresult* run(pg_conn* conn, PGresult* result, const char* what) {
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "kavrel_bench: %s: %s\n", what, PQerrorMessage(conn));
        std::abort();
    }
    return result;
}

void prepare(pg_conn* conn, const char* name, const QByteArray& sql, int values) {
    PQclear(run(conn, PQprepare(conn, name, sql.constData(), values, nullptr), name));
}

// The floor: each holding row checked and written with prepared statements in one transaction, each check seeing
// the rows written before it, so a serial number already in the inventory or repeated (in any case, as the text
// columns compare) parks the row.
CommitResult rowByRowCommit(pg_conn* conn) {
    CommitResult result;
    execRaw(conn, QStringLiteral("BEGIN"));
    PGresult* source = run(
        conn,
        PQexec(conn, QByteArray(QByteArray("SELECT ") + kHoldingColumns + kActiveHolding + " ORDER BY HoldEquipmentId")
                         .constData()),
        "holding rows");
    prepare(conn, "known", "SELECT 1 FROM EquipmentInfo WHERE SerialNumber = $1 LIMIT 1", 1);
    QByteArray values = " VALUES (";
    for (int i = 1; i <= kValueCount; ++i)
        values += "$" + QByteArray::number(i) + ", ";
    values += "1)";
    prepare(conn, "toInventory", QByteArray("INSERT INTO EquipmentInfo") + kTargetColumns + values, kValueCount);
    prepare(conn, "toDuplicates", QByteArray("INSERT INTO TempEquipmentInfo") + kTargetColumns + values, kValueCount);
    const char* cells[kValueCount];
    for (int r = 0; r < PQntuples(source); ++r) {
        for (int i = 0; i < kValueCount; ++i) {
            // A Null text becomes the empty text; the location id is copied as it is.
            const bool null = PQgetisnull(source, r, i);
            cells[i] = null ? (i == kLocationColumn ? nullptr : "") : PQgetvalue(source, r, i);
        }
        const char* serial = PQgetisnull(source, r, kSerialNumberColumn) ? nullptr : cells[kSerialNumberColumn];
        PGresult* known = run(conn, PQexecPrepared(conn, "known", 1, &serial, nullptr, nullptr, 0), "check");
        const bool found = PQntuples(known) > 0;
        PQclear(known);
        PQclear(run(
            conn, PQexecPrepared(conn, found ? "toDuplicates" : "toInventory", kValueCount, cells, nullptr, nullptr, 0),
            "insert"));
        ++(found ? result.parked : result.committed);
    }
    PQclear(source);
    execRaw(conn, QStringLiteral("DELETE") + QLatin1String(kActiveHolding));
    execRaw(conn, QStringLiteral("COMMIT"));
    return result;
}

// The floor below any commit: the set-based statements the SQLite floor runs, through libpq in one transaction.
CommitResult setBasedCommit(pg_conn* conn) {
    CommitResult result;
    execRaw(conn, QStringLiteral("BEGIN"));
    const QList<QByteArray> statements = setBasedCommitStatements();
    for (qsizetype i = 0; i < statements.size(); ++i) {
        PGresult* done = run(conn, PQexec(conn, statements.at(i).constData()), "set-based commit");
        if (i == kCommittedStatement)
            result.committed = std::atoi(PQcmdTuples(done));
        else if (i == kParkedStatement)
            result.parked = std::atoi(PQcmdTuples(done));
        PQclear(done);
    }
    execRaw(conn, QStringLiteral("COMMIT"));
    return result;
}

// Every value of both targets in id order, and the holding rows left.
QByteArray contentDigest(pg_conn* conn) {
    const QString columns = QString::fromLatin1(kTargetColumns).trimmed().mid(1).chopped(1);
    return tablesDigest(
        conn, {QStringLiteral("SELECT EquipmentId, %1 FROM EquipmentInfo ORDER BY EquipmentId").arg(columns),
               QStringLiteral("SELECT EquipmentId, %1 FROM TempEquipmentInfo ORDER BY EquipmentId").arg(columns),
               QStringLiteral("SELECT COUNT(*) FROM HoldEquipment")});
}

} // namespace

bool benchServerCommit(const Options& opt) {
    QTemporaryDir temporary;
    if (!temporary.isValid())
        qFatal("no temporary directory");
    const QString source = temporary.filePath(QStringLiteral("source"));
    copyDataFiles(opt.dataDir, source);
    HoldingFill fill;
    {
        Database db(source);
        fill = fillHoldingTable(db, opt.holdingRows, opt.duplicateShare, opt.repeatShare);
    }
    ServerDatabase original(opt.server);
    copyInventoryToServer(source, original, kInventoryTables);

    // Each run on a fresh copy of the database the server makes from the original.
    struct Run {
        Timing timing;
        CommitResult result;
        QByteArray digest;
    };
    int batches = 0;
    const auto runStore = [&] {
        ServerDatabase copy(opt.server, original.name());
        Run run;
        {
            QTemporaryDir scratch;
            Database db(scratch.path(), copy.options()); // opened outside the timing: the application's stays open
            HoldingStore store(db);
            batches = 0;
            run.timing = timingOf([&] { run.result = store.commitToInventory([&](int, int) { ++batches; }); });
        }
        pg_conn* conn = openRawServer(copy.address());
        run.digest = contentDigest(conn);
        PQfinish(conn);
        return run;
    };
    const auto runFloor = [&](CommitResult (*commit)(pg_conn*)) {
        ServerDatabase copy(opt.server, original.name());
        pg_conn* conn = openRawServer(copy.address());
        Run run;
        run.timing = timingOf([&] { run.result = commit(conn); });
        run.digest = contentDigest(conn);
        PQfinish(conn);
        return run;
    };

    std::vector<double> storeMs, floorMs, setMs, storeCpuMs, floorCpuMs, setCpuMs;
    Run s, b, c;
    bool identical = true;
    for (int r = 0; r < opt.repeat; ++r) {
        // Alternating the order keeps the server's write-back of one run from always burdening the same side.
        if (r % 2 == 0) {
            s = runStore();
            b = runFloor(rowByRowCommit);
            c = runFloor(setBasedCommit);
        } else {
            c = runFloor(setBasedCommit);
            b = runFloor(rowByRowCommit);
            s = runStore();
        }
        storeMs.push_back(s.timing.wallMs);
        floorMs.push_back(b.timing.wallMs);
        setMs.push_back(c.timing.wallMs);
        storeCpuMs.push_back(s.timing.cpuMs);
        floorCpuMs.push_back(b.timing.cpuMs);
        setCpuMs.push_back(c.timing.cpuMs);
        identical = identical && s.digest == b.digest && s.digest == c.digest;
    }

    const double a = median(floorMs);
    const double w = median(storeMs);
    const double set = median(setMs);
    std::printf("\npgcommit: %d holding rows on the server (%d with a serial number already in the inventory, %d "
                "repeating an earlier one), median of %d runs\n",
                opt.holdingRows, fill.duplicates, fill.repeats, opt.repeat);
    std::printf("  %-52s %10s %10s\n", "measure", "wall", "client cpu");
    std::printf("  %-52s %7.1f ms %7.1f ms\n", "(a) libpq: prepared statements, row by row", a, median(floorCpuMs));
    std::printf("  %-52s %7.1f ms %7.1f ms\n", "(c) libpq: set-based SQL", set, median(setCpuMs));
    std::printf("  %-52s %7.1f ms %7.1f ms\n", "(b) HoldingStore::commitToInventory", w, median(storeCpuMs));
    std::printf("  %-52s %7.2f x   (goal <= 2)\n", "ratio b / a", a > 0 ? w / a : 0.0);
    std::printf("  %-52s %7.2f x\n", "ratio b / c", set > 0 ? w / set : 0.0);
    std::printf("  %-52s %d\n", "store's batches (progress reports)", batches);
    std::printf("  %-52s %d + %d / %d + %d / %d + %d\n", "committed + parked: store / row by row / set-based",
                s.result.committed, s.result.parked, b.result.committed, b.result.parked, c.result.committed,
                c.result.parked);
    std::printf("  %-52s %s\n", "resulting tables identical: store and both floors", identical ? "yes" : "NO");
    std::fflush(stdout);
    return identical;
}

} // namespace bench
