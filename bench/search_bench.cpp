// Equipment search (store, list fill, paint) and batch assign, each against the same SQL stepped through the SQLite
// C API in the same run.

#include "bench.h"

#include "assignment/store/AssignmentStore.h"
#include "data/Database.h"
#include "equipment/store/SearchStore.h"
#include "platform/ReportList.h"

#include <QCoreApplication>
#include <cstdio>
#include <sqlite3.h>

namespace bench {

namespace {

QString searchStatement(const QString& column) {
    return QStringLiteral("SELECT ") + ListColumnsSql::selectList(SearchStore::resultColumns()) +
           QStringLiteral(" FROM EquipmentInfo WHERE ") + column + QStringLiteral(" LIKE ? ESCAPE '\\'");
}

QString queryPlan(sqlite3* db, const QString& sql, const QString& pattern) {
    sqlite3_stmt* stmt = prepareRaw(db, QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    const QByteArray bound = pattern.toUtf8();
    sqlite3_bind_text(stmt, 1, bound.constData(), static_cast<int>(bound.size()), SQLITE_TRANSIENT);
    QStringList steps;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        steps << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
    sqlite3_finalize(stmt);
    return steps.join(QStringLiteral("; "));
}

// The search window's work after Search: the store's rows into a shown list; with paint, up to the paint they cause.
int searchIntoList(ReportList& list, const SearchStore& store, SearchStore::Field field, const QString& text,
                   bool paint) {
    list.setColumns(SearchStore::resultColumns());
    list.setRows(store.found(field, text, SearchStore::resultColumns()), SearchStore::resultColumns());
    if (paint)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5000);
    return list.rowCount();
}

void searchOne(Database& db, sqlite3* raw, const Options& opt, SearchStore::Field field, const QString& text) {
    const QString column =
        field == SearchStore::Field::SerialNumber ? QStringLiteral("SerialNumber") : QStringLiteral("AssetTagNumber");
    const QString sql = searchStatement(column);
    const QString pattern = SearchStore::likePattern(text);
    SearchStore store(db);
    ReportList list;
    list.resize(1200, 700);
    list.show();
    PaintCounter counter;
    list.viewport()->installEventFilter(&counter);
    QCoreApplication::processEvents();

    volatile qint64 sink = stepRaw(raw, sql, {pattern}); // warms the page cache for both sides
    int rows = searchIntoList(list, store, field, text, true);
    std::vector<double> floorMs, fillMs, oursMs;
    for (int r = 0; r < opt.repeat; ++r) {
        floorMs.push_back(millisecondsOf([&] { sink = sink + stepRaw(raw, sql, {pattern}); }));
        fillMs.push_back(millisecondsOf([&] { rows = searchIntoList(list, store, field, text, false); }));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5000);
        oursMs.push_back(millisecondsOf([&] { rows = searchIntoList(list, store, field, text, true); }));
    }
    if (counter.paints == 0)
        qWarning("the search list was not painted");
    const double a = median(floorMs);
    const double f = median(fillMs);
    const double b = median(oursMs);
    std::printf("  \"%s\" in %s: %d rows\n", qPrintable(text), qPrintable(column), rows);
    std::printf("    plan: %s\n", qPrintable(queryPlan(raw, sql, pattern)));
    std::printf("    %-50s %7.1f ms\n", "(a) C API: step, every column as text", a);
    std::printf("    %-50s %7.1f ms\n", "(f) SearchStore into a shown ReportList (search + fill)", f);
    std::printf("    %-50s %7.1f ms\n", "(b) the same up to its paint", b);
    std::printf("    %-50s %7.2f x   (goal <= 2)\n", "ratio f / a", a > 0 ? f / a : 0.0);
    std::printf("    %-50s %7.2f x\n", "ratio b / a", a > 0 ? b / a : 0.0);
}

} // namespace

void benchSearch(Database& db, const Options& opt) {
    sqlite3* raw = openRawMain(opt.dataDir);
    std::printf("\nsearch: %d units, median of %d runs\n", opt.units, opt.repeat);
    searchOne(db, raw, opt, SearchStore::Field::SerialNumber, QStringLiteral("5CG0*"));
    searchOne(db, raw, opt, SearchStore::Field::AssetTagNumber, QStringLiteral("AT-1001*"));
    sqlite3_close(raw);
    std::fflush(stdout);
}

void benchBatchAssign(Database& db, const Options& opt) {
    sqlite3* raw = openRawMain(opt.dataDir);
    const qint64 first = std::max(1, opt.units / 4);
    const qint64 last = first + std::min(opt.units / 10, 100000) - 1;
    const auto locationIds = [&] {
        std::vector<qint64> ids;
        Query q(db, QStringLiteral("SELECT LocId FROM LocationInfo WHERE LocActive = 1 ORDER BY LocId LIMIT 2"));
        q.exec();
        while (q.next())
            ids.push_back(q.value(0).toLongLong());
        return ids;
    }();
    if (locationIds.size() < 2)
        qFatal("batch assign needs two locations");
    sqlite3_stmt* history = prepareRaw(raw, QStringLiteral("INSERT INTO EquipLocAssign (EquipmentId, LocId) SELECT "
                                                           "EquipmentId, ? FROM EquipmentInfo WHERE EquipmentId "
                                                           "BETWEEN ? AND ? ORDER BY EquipmentId"));
    sqlite3_stmt* move = prepareRaw(
        raw, QStringLiteral("UPDATE EquipmentInfo SET CurrentLocation = ? WHERE EquipmentId BETWEEN ? AND ?"));
    const auto rawBatch = [&](qint64 locId) {
        sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (sqlite3_stmt* stmt : {history, move}) {
            sqlite3_bind_int64(stmt, 1, locId);
            sqlite3_bind_int64(stmt, 2, first);
            sqlite3_bind_int64(stmt, 3, last);
            if (sqlite3_step(stmt) != SQLITE_DONE)
                qFatal("batch: %s", sqlite3_errmsg(raw));
            sqlite3_reset(stmt);
        }
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    };
    AssignmentStore store(db);
    const IdRange range{first, last};
    qint64 moved = store.assignRange(range, locationIds[0]); // warms both sides' pages
    rawBatch(locationIds[1]);
    std::vector<Timing> floorT, oursT;
    for (int r = 0; r < opt.repeat; ++r) {
        floorT.push_back(timingOf([&] { rawBatch(locationIds[r % 2]); }));
        oursT.push_back(timingOf([&] { moved = store.assignRange(range, locationIds[(r + 1) % 2]); }));
    }
    sqlite3_finalize(history);
    sqlite3_finalize(move);
    sqlite3_close(raw);
    const auto medianOf = [](const std::vector<Timing>& t, double Timing::*field) {
        std::vector<double> v;
        for (const Timing& x : t)
            v.push_back(x.*field);
        return median(v);
    };
    const double a = medianOf(floorT, &Timing::wallMs);
    const double b = medianOf(oursT, &Timing::wallMs);
    std::printf("\nbatch: ids %lld to %lld (%lld units moved) of %d, median of %d runs\n", first, last, moved,
                opt.units, opt.repeat);
    std::printf("  %-52s %7.1f ms (processor %.1f)\n", "(a) C API: the two statements in one transaction", a,
                medianOf(floorT, &Timing::cpuMs));
    std::printf("  %-52s %7.1f ms (processor %.1f)\n", "(b) AssignmentStore::assignRange", b,
                medianOf(oursT, &Timing::cpuMs));
    std::printf("  %-52s %7.2f x   (goal <= 1.5)\n", "ratio b / a", a > 0 ? b / a : 0.0);
    std::fflush(stdout);
}

} // namespace bench
