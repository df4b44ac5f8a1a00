// Opening "Manage Equipment" as the menu does, up to its first paint, against the bare list statement.

#include "BenchContext.h"
#include "bench.h"

#include "data/Database.h"
#include "data/PackedReader.h"
#include "equipment/store/EquipmentStore.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "locations/store/LocationStore.h"
#include "locations/ui/DisplayInformation.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/DesktopRegistry.h"
#include "platform/Dialogs.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "platform/WindowHost.h"
#include "shell/ShellNavigator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>

namespace bench {

namespace {

constexpr int kSerialColumn = 4;

// Counts paints of any list view's viewport. It watches the whole application: openWindow creates and shows the
// window in one call, leaving no moment to reach the new viewport before it could paint.
class ListPaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<ReportList*>(watched->parent()))
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

template <typename W> struct Opened {
    std::unique_ptr<W> window;
    bool painted = false;
};

// Opens the window as the menus do and runs the event loop until its list has been painted.
template <typename W> Opened<W> openToFirstPaint(AppContext& ctx, const std::function<void(W&)>& setup = {}) {
    ListPaintCounter counter;
    qApp->installEventFilter(&counter);
    Opened<W> opened;
    opened.window.reset(openWindow<W>(ctx, nullptr, [&](W& w) {
        if (setup)
            setup(w);
    }));
    if (!opened.window)
        qFatal("the window did not open");
    QElapsedTimer waited;
    waited.start();
    while (counter.paints == 0 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    // The layout of the list and the paint it asks for may come in separate rounds; let them settle.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    qApp->removeEventFilter(&counter);
    opened.painted = counter.paints > 0;
    return opened;
}

} // namespace

void benchActiveEquipmentWindow(Database& db, const Options& opt) {
    BenchContext bench(db);
    AppContext& ctx = bench.ctx;

    const QString sql = EquipmentStore::activeListStatement();
    sqlite3* raw = openRawMain(opt.dataDir);
    volatile qint64 sink = 0;
    // One untimed round of each fills SQLite's page cache, the glyph cache and the allocator's free lists.
    sink = sink + stepRaw(raw, sql);
    openToFirstPaint<frmActiveEquipment>(ctx);

    std::vector<double> queryMs, windowMs, perRow, sortMs;
    int rows = 0;
    QSize size;
    for (int r = 0; r < opt.repeat; ++r) {
        queryMs.push_back(millisecondsOf([&] { sink = sink + stepRaw(raw, sql); }));
        Opened<frmActiveEquipment> opened;
        const size_t before = heapInUse();
        windowMs.push_back(millisecondsOf([&] { opened = openToFirstPaint<frmActiveEquipment>(ctx); }));
        const size_t after = heapInUse();
        rows = opened.window->list()->rowCount();
        size = opened.window->size();
        if (!opened.painted)
            qWarning("the window's list was not painted after it opened");
        perRow.push_back(bytesPerRow(before, after, rows));
        // A click on "Serial Number", as the header reports it, up to the repaint.
        sortMs.push_back(millisecondsOf([&] {
            emit opened.window->list()->headerClicked(kSerialColumn);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }));
        opened.window.reset();
        // The window's deferred deletions (its menus' timers and the like) go now, not into the next figure.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    sqlite3_close(raw);
    const double a = median(queryMs);
    const double w = median(windowMs);
    std::printf("\nwindow: opening \"Manage Equipment\", %d rows, %dx%d pixels, median of %d runs\n", rows,
                size.width(), size.height(), opt.repeat);
    std::printf("  %-52s %10s\n", "measure", "value");
    std::printf("  %-52s %7.1f ms\n", "(a) C API: step, every column as text", a);
    std::printf("  %-52s %7.1f ms\n", "(w) open window: construct, load, show, first paint", w);
    std::printf("  %-52s %7.2f x   (goal <= 1.3)\n", "ratio w / a", a > 0 ? w / a : 0.0);
    std::printf("  %-52s %7.0f B   (goal <= 150)\n", "window memory per row (mallinfo2 after - before)",
                median(perRow));
    std::printf("  %-52s %7.1f ms  (goal <= 1000)\n", "header click on \"Serial Number\" to repaint", median(sortMs));
    std::fflush(stdout);
}

void benchServerWindow(const Options& opt) {
    ServerDatabase server(opt.server);
    copyInventoryToServer(opt.dataDir, server,
                          {QStringLiteral("LocationInfo"), QStringLiteral("ContactInfo"),
                           QStringLiteral("EquipmentInfo"), QStringLiteral("EquipLocAssign")});
    QTemporaryDir scratch;
    Database db(scratch.path(), server.options());
    BenchContext bench(db);
    AppContext& ctx = bench.ctx;

    const QString sql = EquipmentStore::activeListStatement();
    pg_conn* raw = openRawServer(server.address());
    volatile qint64 sink = 0;
    // One untimed round of each fills the server's buffers, the glyph cache and the allocator's free lists.
    sink = sink + fetchRaw(raw, sql);
    openToFirstPaint<frmActiveEquipment>(ctx);

    std::vector<double> queryMs, storeMs, generalMs, windowMs;
    int rows = 0;
    for (int r = 0; r < opt.repeat; ++r) {
        queryMs.push_back(millisecondsOf([&] { sink = sink + fetchRaw(raw, sql); }));
        storeMs.push_back(millisecondsOf([&] { rows = EquipmentStore(db).activeEquipment({}).rowCount(); }));
        generalMs.push_back(
            millisecondsOf([&] { sink = sink + readPackedRows(db, sql, {}, ReadPath::General).rowCount(); }));
        Opened<frmActiveEquipment> opened;
        windowMs.push_back(millisecondsOf([&] { opened = openToFirstPaint<frmActiveEquipment>(ctx); }));
        if (!opened.painted)
            qWarning("the window's list was not painted after it opened");
        if (opened.window->list()->rowCount() != rows)
            qWarning("the window shows %d rows, the store read %d", opened.window->list()->rowCount(), rows);
        opened.window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    PQfinish(raw);
    const double a = median(queryMs);
    const double w = median(windowMs);
    std::printf("\npgwindow: opening \"Manage Equipment\" on the server, %d rows, median of %d runs\n", rows,
                opt.repeat);
    std::printf("  %-52s %10s\n", "measure", "value");
    std::printf("  %-52s %7.1f ms\n", "(a) libpq: PQexec, every cell with PQgetvalue", a);
    std::printf("  %-52s %7.1f ms\n", "(s) store alone: readPackedRows through libpq", median(storeMs));
    std::printf("  %-52s %7.1f ms\n", "(g) the same read through QtSql (ReadPath::General)", median(generalMs));
    std::printf("  %-52s %7.1f ms\n", "(w) open window: construct, load, show, first paint", w);
    std::printf("  %-52s %7.2f x   (goal <= 2)\n", "ratio w / a", a > 0 ? w / a : 0.0);
    std::fflush(stdout);
}

void benchLocationWindow(Database& db, const Options& opt) {
    BenchContext bench(db);
    AppContext& ctx = bench.ctx;
    // The location that holds the most units, as a head office would.
    const QVariant busiest = Query(db, QStringLiteral("SELECT CurrentLocation FROM EquipmentInfo GROUP BY "
                                                      "CurrentLocation ORDER BY COUNT(*) DESC LIMIT 1"))
                                 .scalar();
    const QString locId = busiest.toString();
    // The window shows two lists of the location's units: the units and their count per type.
    const QString sql = LocationStore::equipmentListStatement();
    const QString counts = LocationStore::typeCountStatement();
    sqlite3* raw = openRawMain(opt.dataDir);
    volatile qint64 sink = stepRaw(raw, sql, {locId}) + stepRaw(raw, counts, {locId});
    const auto open = [&] {
        return openToFirstPaint<DisplayInformation>(ctx, [&](DisplayInformation& w) { w.LocId = locId; });
    };
    open();
    std::vector<double> queryMs, windowMs;
    int rows = 0;
    for (int r = 0; r < opt.repeat; ++r) {
        queryMs.push_back(
            millisecondsOf([&] { sink = sink + stepRaw(raw, sql, {locId}) + stepRaw(raw, counts, {locId}); }));
        Opened<DisplayInformation> opened;
        windowMs.push_back(millisecondsOf([&] { opened = open(); }));
        rows = opened.window->equipmentList()->rowCount();
        if (!opened.painted)
            qWarning("the location window's lists were not painted after it opened");
        opened.window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    sqlite3_close(raw);
    const double a = median(queryMs);
    const double w = median(windowMs);
    std::printf("\nlocation: opening the detail window of location %s, %d units, median of %d runs\n",
                qPrintable(locId), rows, opt.repeat);
    std::printf("  %-52s %7.1f ms\n", "(a) C API: its two lists' statements, every column", a);
    std::printf("  %-52s %7.1f ms\n", "(w) open window: construct, load, show, first paint", w);
    std::printf("  %-52s %7.2f x   (goal <= 1.3)\n", "ratio w / a", a > 0 ? w / a : 0.0);
    std::fflush(stdout);
}

} // namespace bench
