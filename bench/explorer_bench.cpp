// The location explorer's equipment list for one location that holds the whole inventory, against the same
// statement stepped through the SQLite C API in the same run.

#include "BenchContext.h"
#include "bench.h"
#include "generator.h"

#include "data/Database.h"
#include "equipment/store/EquipmentStore.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "platform/WindowHost.h"
#include "records/ui/FrmDocExplorer.h"

#include <QApplication>
#include <QDir>
#include <QTreeWidget>
#include <cstdio>
#include <memory>
#include <sqlite3.h>

namespace bench {

namespace {

const QString kSort = QStringLiteral("EquipmentType"); // the order a double click on a location lists in

// The floor: the statement stepped with every column read as text.
qint64 stepRaw(sqlite3* db, sqlite3_stmt* stmt, qint64 locId) {
    sqlite3_reset(stmt);
    sqlite3_bind_int64(stmt, 1, locId);
    qint64 sink = 0;
    const int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int c = 0; c < columns; ++c)
            sink += sqlite3_column_bytes(stmt, c) + (sqlite3_column_text(stmt, c) != nullptr);
    if (sqlite3_errcode(db) != SQLITE_OK && sqlite3_errcode(db) != SQLITE_DONE)
        qFatal("explorer: %s", sqlite3_errmsg(db));
    return sink;
}

// What a double click on the location does, up to the paint of the list it fills.
int chooseAndPaint(FrmDocExplorer& explorer, PaintCounter& counter) {
    counter.paints = 0;
    explorer.chooseLocation();
    while (counter.paints == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return explorer.list()->rowCount();
}

} // namespace

void benchExplorer(const Options& opt) {
    const QString dir = QDir(opt.dataDir).filePath(QStringLiteral("explorer"));
    QDir().mkpath(dir);
    Database db(dir);
    InventoryShape shape;
    shape.locations = 1;
    shape.activeUnits = opt.units;
    const GeneratedInventory inventory = generateInventory(db, shape);
    const qint64 locId = inventory.locationIds.front();

    BenchContext bench(db);
    AppContext& ctx = bench.ctx;
    std::unique_ptr<FrmDocExplorer> explorer(openWindow<FrmDocExplorer>(ctx, nullptr));
    if (!explorer || explorer->tree()->topLevelItemCount() != 1)
        qFatal("the explorer did not open on the one location");
    explorer->tree()->setCurrentItem(explorer->tree()->topLevelItem(0));
    PaintCounter counter;
    explorer->list()->viewport()->installEventFilter(&counter);
    QCoreApplication::processEvents();

    sqlite3* raw = openRawMain(dir);
    sqlite3_stmt* stmt = prepareRaw(raw, EquipmentStore::locationListStatement({kSort, false}));
    volatile qint64 sink = stepRaw(raw, stmt, locId); // warms the page cache for both sides
    int rows = chooseAndPaint(*explorer, counter);
    EquipmentStore store(db);
    std::vector<double> floorMs, storeMs, oursMs;
    for (int r = 0; r < opt.repeat; ++r) {
        floorMs.push_back(millisecondsOf([&] { sink = sink + stepRaw(raw, stmt, locId); }));
        storeMs.push_back(millisecondsOf([&] { sink = sink + store.activeAt(locId, {kSort, false}).rowCount(); }));
        oursMs.push_back(millisecondsOf([&] { rows = chooseAndPaint(*explorer, counter); }));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(raw);

    const double a = median(floorMs);
    const double b = median(oursMs);
    std::printf("\nexplorer: one location's list by type, %d rows (%d retired units left out), median of %d runs\n",
                rows, inventory.retiredUnits, opt.repeat);
    std::printf("  %-52s %7.1f ms\n", "(a) C API: step, every column as text", a);
    std::printf("  %-52s %7.1f ms\n", "(s) EquipmentStore::activeAt, no list", median(storeMs));
    std::printf("  %-52s %7.1f ms\n", "(b) double click: store into the shown list, painted", b);
    std::printf("  %-52s %7.2f x   (goal <= 2)\n", "ratio b / a", a > 0 ? b / a : 0.0);
    std::fflush(stdout);
}

} // namespace bench
