// Scans in the stocktake window, each from Enter to the paint of its result, against the same statements in one
// transaction through the SQLite C API; and the window's missing list, opened to its first paint, against its
// statement stepped through the C API.

#include "BenchContext.h"
#include "bench.h"

#include "data/Database.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "platform/WindowHost.h"
#include "stocktake/store/StocktakeStore.h"
#include "stocktake/ui/StocktakeWindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace bench {

namespace {

struct Code {
    QString text;
    const char* kind;
};

// Location and codes: the location whose active units come nearest 10,000, serial numbers and asset tags of its
// units and of others, codes in no table, and repeats, mixed as a walk through a room mixes them.
struct Plan {
    qint64 locId = 0;
    int unitsHere = 0;
    std::vector<Code> codes;
};

Plan makePlan(Database& db) {
    Plan plan;
    Query biggest(db, QStringLiteral("SELECT CurrentLocation, COUNT(*) AS n FROM EquipmentInfo WHERE EquActive = 1 "
                                     "GROUP BY CurrentLocation ORDER BY ABS(COUNT(*) - 10000) LIMIT 1"));
    biggest.exec();
    biggest.next();
    plan.locId = biggest.value(0).toLongLong();
    plan.unitsHere = biggest.value(1).toInt();
    const auto codes = [&](const char* sql, int limit) {
        Query q(db, QLatin1String(sql));
        q.exec({plan.locId, limit});
        QStringList found;
        while (q.next())
            found << q.text(0);
        return found;
    };
    const QStringList hereSerials = codes("SELECT SerialNumber FROM EquipmentInfo WHERE CurrentLocation = ? AND "
                                          "EquActive = 1 ORDER BY EquipmentId DESC LIMIT ?",
                                          100);
    const QStringList hereTags = codes("SELECT AssetTagNumber FROM EquipmentInfo WHERE CurrentLocation = ? AND "
                                       "EquActive = 1 AND AssetTagNumber LIKE 'AT%' ORDER BY EquipmentId LIMIT ?",
                                       50);
    const QStringList away = codes("SELECT SerialNumber FROM EquipmentInfo WHERE CurrentLocation <> ? AND "
                                   "EquipmentId % 997 = 0 LIMIT ?",
                                   100);
    for (int i = 0; i < 100; ++i) {
        if (i < hereSerials.size())
            plan.codes.push_back({hereSerials.at(i), "here, by serial number"});
        if (i < away.size())
            plan.codes.push_back({away.at(i), "elsewhere"});
        plan.codes.push_back({QStringLiteral("NEW-%1-X").arg(i * 7919), "unknown"});
        if (i % 2 == 0 && i / 2 < hereTags.size())
            plan.codes.push_back({hereTags.at(i / 2), "here, by asset tag"});
        if (i % 2 == 1 && i < hereSerials.size())
            plan.codes.push_back({hereSerials.at(i - 1), "already scanned"});
    }
    return plan;
}

// The floor: the store's statements prepared once on a connection of their own, each scan in one transaction,
// every column read as text.
class RawScanner {
public:
    RawScanner(const QString& dir, qint64 stocktakeId, qint64 locId)
        : m_db(openRawWithHolding(dir)), m_stocktake(stocktakeId), m_loc(locId) {
        sqlite3_busy_timeout(m_db, 10000);
        m_open = prepareRaw(m_db, QStringLiteral("SELECT StocktakeId, StocktakeStarted FROM Stocktake WHERE LocId = ? "
                                                 "AND StocktakeEnded IS NULL"));
        m_repeat = prepareRaw(m_db, StocktakeStore::repeatLookupStatement());
        m_unit = prepareRaw(m_db, StocktakeStore::unitLookupStatement());
        m_holding = prepareRaw(m_db, QStringLiteral("SELECT 1 FROM HoldEquipment WHERE SerialNumber = ? OR "
                                                    "AssetTagNumber = ? LIMIT 1"));
        m_insert = prepareRaw(m_db, StocktakeStore::scanInsertStatement());
    }
    ~RawScanner() {
        for (sqlite3_stmt* s : {m_open, m_repeat, m_unit, m_holding, m_insert})
            sqlite3_finalize(s);
        sqlite3_close(m_db);
    }

    void scan(const QString& code) {
        const QByteArray text = code.toUtf8();
        exec("BEGIN IMMEDIATE");
        sqlite3_bind_int64(m_open, 1, m_loc);
        rows(m_open);
        sqlite3_bind_int64(m_repeat, 1, m_stocktake);
        bindText(m_repeat, 2, text);
        sqlite3_bind_int(m_repeat, 3, 4);
        int kind = 4;
        qint64 unit = 0;
        if (rows(m_repeat) == 0) {
            sqlite3_bind_int64(m_unit, 1, m_stocktake);
            bindText(m_unit, 2, text);
            bindText(m_unit, 3, text);
            sqlite3_bind_int64(m_unit, 4, m_loc);
            bindText(m_unit, 5, text);
            if (rows(m_unit, &unit) == 0) {
                kind = 3;
                bindText(m_holding, 1, text);
                bindText(m_holding, 2, text);
                rows(m_holding);
            } else {
                kind = 1;
            }
        }
        sqlite3_bind_int64(m_insert, 1, m_stocktake);
        bindText(m_insert, 2, text);
        sqlite3_bind_int(m_insert, 3, kind);
        unit > 0 ? sqlite3_bind_int64(m_insert, 4, unit) : sqlite3_bind_null(m_insert, 4);
        sqlite3_bind_int64(m_insert, 5, m_loc);
        bindText(m_insert, 6, QByteArrayLiteral("2026-12-10 12:00:00"));
        rows(m_insert);
        exec("COMMIT");
    }

private:
    static void bindText(sqlite3_stmt* s, int i, const QByteArray& text) {
        sqlite3_bind_text(s, i, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void exec(const char* sql) {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            qFatal("stocktake floor: %s", sqlite3_errmsg(m_db));
    }
    // Steps the statement, reading every column as text; the first row's second column is the unit's id.
    int rows(sqlite3_stmt* s, qint64* unit = nullptr) {
        int n = 0;
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                m_sink += sqlite3_column_bytes(s, c) + (sqlite3_column_text(s, c) != nullptr);
            if (unit && n == 0)
                *unit = sqlite3_column_int64(s, 1);
            ++n;
        }
        if (rc != SQLITE_DONE)
            qFatal("stocktake floor: %s", sqlite3_errmsg(m_db));
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        return n;
    }

    sqlite3* m_db;
    qint64 m_stocktake;
    qint64 m_loc;
    sqlite3_stmt* m_open;
    sqlite3_stmt* m_repeat;
    sqlite3_stmt* m_unit;
    sqlite3_stmt* m_holding;
    sqlite3_stmt* m_insert;
    qint64 m_sink = 0;
};

QString queryPlan(sqlite3* db, const QString& sql) {
    sqlite3_stmt* stmt = prepareRaw(db, QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    QStringList steps;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        steps << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
    sqlite3_finalize(stmt);
    return steps.join(QStringLiteral("; "));
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

} // namespace

void benchStocktake(Database& db, const Options& opt) {
    const Plan plan = makePlan(db);
    BenchContext bench(db);
    AppContext& ctx = bench.ctx;

    // The window's missing list, from opening to its first paint, against the statement stepped alone.
    sqlite3* raw = openRawWithHolding(opt.dataDir);
    const QString missingSql = StocktakeStore::missingStatement();
    const QStringList missingValues = {QString::number(plan.locId), QStringLiteral("0")};
    volatile qint64 sink = stepRaw(raw, missingSql, missingValues);
    std::vector<double> floorOpen, oursOpen;
    std::unique_ptr<StocktakeWindow> window;
    for (int r = 0; r < opt.repeat; ++r) {
        floorOpen.push_back(millisecondsOf([&] { sink = sink + stepRaw(raw, missingSql, missingValues); }));
        window.reset();
        PaintCounter counter;
        oursOpen.push_back(millisecondsOf([&] {
            window.reset(openWindow<StocktakeWindow>(ctx, nullptr, [&](StocktakeWindow& w) {
                w.LocId = plan.locId;
                w.missingList()->viewport()->installEventFilter(&counter);
            }));
            while (counter.paints == 0)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }));
        window->missingList()->viewport()->removeEventFilter(&counter);
    }
    const int missingRows = window->missingList()->rowCount();

    // The first scan begins the stocktake and reads the window afresh; it is not one of the timed ones.
    window->scanBox()->setText(QStringLiteral("WARM-UP"));
    window->submitScan();
    const qint64 stocktakeId = window->stocktakeId();
    Query floorStocktake(db, QStringLiteral("INSERT INTO Stocktake (LocId, StocktakeStarted, StocktakeEnded) "
                                            "VALUES (?, '2026-12-10', '2026-12-10')"));
    floorStocktake.exec({plan.locId});
    const qint64 floorId = floorStocktake.lastInsertId().toLongLong();

    std::map<std::string, std::vector<double>> ours, floor;
    std::vector<double> allOurs, allFloor;
    {
        RawScanner rawScanner(opt.dataDir, floorId, plan.locId);
        // The detail names the code, so it changes, and is painted, on every scan; the headline may stay as it was.
        QLabel* detail = window->findChild<QLabel*>(QStringLiteral("lblDetail"));
        PaintCounter counter;
        detail->installEventFilter(&counter);
        for (const Code& code : plan.codes) {
            counter.paints = 0;
            const double ms = millisecondsOf([&] {
                window->scanBox()->setText(code.text);
                window->submitScan();
                while (counter.paints == 0)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            });
            QCoreApplication::processEvents(); // whatever the scan left to draw, before the next
            ours[code.kind].push_back(ms);
            allOurs.push_back(ms);
            const double f = millisecondsOf([&] { rawScanner.scan(code.text); });
            floor[code.kind].push_back(f);
            allFloor.push_back(f);
        }
        detail->removeEventFilter(&counter);
    }
    const StocktakeCounts counts = window->counts();
    const int missingAfter = window->missingList()->rowCount();
    const QString unitPlan = queryPlan(raw, StocktakeStore::unitLookupStatement());
    const QString repeatPlan = queryPlan(raw, StocktakeStore::repeatLookupStatement());
    sqlite3_close(raw);
    window.reset();
    Query(db, QStringLiteral("DELETE FROM StocktakeScan WHERE StocktakeId IN (?, ?)")).exec({stocktakeId, floorId});
    Query(db, QStringLiteral("DELETE FROM Stocktake WHERE StocktakeId IN (?, ?)")).exec({stocktakeId, floorId});

    std::printf("\nstocktake: location %lld with %d active units, %zu scans (here %d, elsewhere %d, unknown %d, "
                "repeats %d); missing %d -> %d\n",
                static_cast<long long>(plan.locId), plan.unitsHere, plan.codes.size(), counts.here, counts.elsewhere,
                counts.unknown, counts.repeats, missingRows, missingAfter);
    std::printf("  plan of the unit lookup: %s\n", qPrintable(unitPlan));
    std::printf("  plan of the repeat lookup: %s\n", qPrintable(repeatPlan));
    std::printf("  %-44s %9s %9s %9s %9s %9s\n", "scan, Enter to the result's paint", "floor p50", "ours p50",
                "ours p95", "ours max", "ratio p50");
    const auto row = [](const std::string& name, const std::vector<double>& f, const std::vector<double>& o) {
        const double a = median(f);
        const double b = median(o);
        std::printf("  %-44s %6.2f ms %6.2f ms %6.2f ms %6.2f ms %8.2f x\n", name.c_str(), a, b, percentile(o, 0.95),
                    percentile(o, 1.0), a > 0 ? b / a : 0.0);
    };
    for (const auto& [kind, times] : ours)
        row(kind, floor[kind], times);
    row("all scans (goal: each within 5 ms)", allFloor, allOurs);
    const double a = median(floorOpen);
    const double b = median(oursOpen);
    std::printf("  %-44s %6.1f ms (floor: the statement stepped, %6.1f ms; ratio %.2f)\n",
                "missing list: window opened to first paint", b, a, a > 0 ? b / a : 0.0);
    std::fflush(stdout);
}

} // namespace bench
