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
    for (const char* name : {"known", "toInventory", "toDuplicates"})
        execRaw(conn, QStringLiteral("DEALLOCATE ") + QLatin1String(name));
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
    const auto runFloor = [&] {
        ServerDatabase copy(opt.server, original.name());
        pg_conn* conn = openRawServer(copy.address());
        Run run;
        run.timing = timingOf([&] { run.result = rowByRowCommit(conn); });
        run.digest = contentDigest(conn);
        PQfinish(conn);
        return run;
    };

    std::vector<double> storeMs, floorMs, storeCpuMs, floorCpuMs;
    Run s, b;
    bool identical = true;
    for (int r = 0; r < opt.repeat; ++r) {
        if (r % 2 == 0) {
            s = runStore();
            b = runFloor();
        } else {
            b = runFloor();
            s = runStore();
        }
        storeMs.push_back(s.timing.wallMs);
        floorMs.push_back(b.timing.wallMs);
        storeCpuMs.push_back(s.timing.cpuMs);
        floorCpuMs.push_back(b.timing.cpuMs);
        identical = identical && s.digest == b.digest;
    }

    const double a = median(floorMs);
    const double w = median(storeMs);
    std::printf("\npgcommit: %d holding rows on the server (%d with a serial number already in the inventory, %d "
                "repeating an earlier one), median of %d runs\n",
                opt.holdingRows, fill.duplicates, fill.repeats, opt.repeat);
    std::printf("  %-52s %10s %10s\n", "measure", "wall", "client cpu");
    std::printf("  %-52s %7.1f ms %7.1f ms\n", "(a) libpq: prepared statements, row by row", a, median(floorCpuMs));
    std::printf("  %-52s %7.1f ms %7.1f ms\n", "(b) HoldingStore::commitToInventory", w, median(storeCpuMs));
    std::printf("  %-52s %7.2f x   (goal <= 2)\n", "ratio b / a", a > 0 ? w / a : 0.0);
    std::printf("  %-52s %d\n", "store's batches (progress reports)", batches);
    std::printf("  %-52s %d + %d / %d + %d\n", "committed + parked: store / floor", s.result.committed, s.result.parked,
                b.result.committed, b.result.parked);
    std::printf("  %-52s %s\n", "resulting tables identical: store and floor", identical ? "yes" : "NO");
    std::fflush(stdout);
    return identical;
}

} // namespace bench
