// The list load of the active equipment window, on its own: ReportList and store, no window around them.

#include "bench.h"

#include "data/Database.h"
#include "equipment/store/EquipmentStore.h"
#include "platform/ReportList.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <sqlite3.h>

namespace bench {

namespace {

// The active equipment window's list load.
void loadActiveEquipment(ReportList& list, const EquipmentStore& store) {
    list.setColumns(EquipmentStore::activeListColumns());
    list.setRows(store.activeEquipment({}), EquipmentStore::activeListColumns());
    // Runs the view's delayed layout and the paint it asks for, as the event loop would after a load.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5000);
}

// A list as the window shows it: a realistic size, on screen (offscreen), idle.
struct ShownList {
    ShownList() {
        list.resize(1200, 700);
        list.show();
        list.viewport()->installEventFilter(&counter);
        QCoreApplication::processEvents();
    }
    PaintCounter counter; // outlives the list it watches
    ReportList list;
};

} // namespace

void benchActiveEquipmentList(Database& db, const Options& opt) {
    EquipmentStore store(db);
    const QString sql = EquipmentStore::activeListStatement();

    sqlite3* raw = openRawMain(opt.dataDir);
    volatile qint64 sink = 0;
    // One untimed round fills SQLite's page cache, the glyph cache and the allocator's free lists alike.
    sink = sink + stepRaw(raw, sql);
    {
        ShownList warmUp;
        loadActiveEquipment(warmUp.list, store);
    }

    std::vector<double> queryMs, storeMs, listMs, perRow;
    int rows = 0;
    for (int r = 0; r < opt.repeat; ++r) {
        queryMs.push_back(millisecondsOf([&] { sink = sink + stepRaw(raw, sql); }));
        storeMs.push_back(millisecondsOf([&] { sink = sink + store.activeEquipment({}).rowCount(); }));
        // A new window each time: a reused list keeps its row capacity, which would hide it from the heap count.
        ShownList shown;
        const size_t before = heapInUse();
        listMs.push_back(millisecondsOf([&] { loadActiveEquipment(shown.list, store); }));
        const size_t after = heapInUse();
        rows = shown.list.rowCount();
        if (shown.counter.paints == 0)
            qWarning("the list was not painted after its load");
        perRow.push_back(bytesPerRow(before, after, rows));
    }

    sqlite3_close(raw);
    const double a = median(queryMs);
    const double s = median(storeMs);
    const double b = median(listMs);
    std::printf("\nlist: active equipment list, %d rows, %d locations, median of %d runs\n", rows, opt.locations,
                opt.repeat);
    std::printf("  %-52s %10s\n", "measure", "value");
    std::printf("  %-52s %7.1f ms\n", "(a) C API: step, every column as text", a);
    std::printf("  %-52s %7.1f ms\n", "(s) EquipmentStore::activeEquipment, no list", s);
    std::printf("  %-52s %7.1f ms\n", "(b) ReportList load: store rows, reset, layout, paint", b);
    std::printf("  %-52s %7.2f x   (goal <= 1.3)\n", "ratio b / a", a > 0 ? b / a : 0.0);
    std::printf("  %-52s %7.0f B   (goal <= 150)\n", "list memory per row (mallinfo2 after - before)", median(perRow));
    std::fflush(stdout);
}

} // namespace bench
