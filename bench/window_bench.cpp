// Opening "Manage Equipment" as the menu does, up to its first paint, against the bare list statement.

#include "bench.h"

#include "data/Database.h"
#include "equipment/store/EquipmentStore.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "platform/WindowHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <cstdio>
#include <memory>

namespace bench {

namespace {

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

struct Opened {
    std::unique_ptr<frmActiveEquipment> window;
    bool painted = false;
};

// Opens the window as the menu does and runs the event loop until its list has been painted.
Opened openManageEquipment(AppContext& ctx) {
    ListPaintCounter counter;
    qApp->installEventFilter(&counter);
    Opened opened;
    opened.window.reset(openWindow<frmActiveEquipment>(ctx, nullptr));
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
    FailingDialogs dialogs;
    SystemClock clock;
    DesktopWindowHost windows;
    AppContext ctx;
    ctx.db = &db;
    ctx.dialogs = &dialogs;
    ctx.clock = &clock;
    ctx.windows = &windows;

    const QString sql = EquipmentStore::activeListStatement();
    volatile qint64 sink = 0;
    // One untimed round of each fills SQLite's page cache, the glyph cache and the allocator's free lists.
    sink = sink + stepQuery(db, sql);
    openManageEquipment(ctx);

    std::vector<double> queryMs, windowMs, perRow;
    int rows = 0;
    QSize size;
    for (int r = 0; r < opt.repeat; ++r) {
        queryMs.push_back(millisecondsOf([&] { sink = sink + stepQuery(db, sql); }));
        Opened opened;
        const size_t before = heapInUse();
        windowMs.push_back(millisecondsOf([&] { opened = openManageEquipment(ctx); }));
        const size_t after = heapInUse();
        rows = opened.window->list()->rowCount();
        size = opened.window->size();
        if (!opened.painted)
            qWarning("the window's list was not painted after it opened");
        perRow.push_back(bytesPerRow(before, after, rows));
        opened.window.reset();
        // The window's deferred deletions (its menus' timers and the like) go now, not into the next figure.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    const double a = median(queryMs);
    const double w = median(windowMs);
    std::printf("\nwindow: opening \"Manage Equipment\", %d rows, %dx%d pixels, median of %d runs\n", rows,
                size.width(), size.height(), opt.repeat);
    std::printf("  %-52s %10s\n", "measure", "value");
    std::printf("  %-52s %7.1f ms\n", "(a) query alone: step, QSqlQuery::value per column", a);
    std::printf("  %-52s %7.1f ms\n", "(w) open window: construct, load, show, first paint", w);
    std::printf("  %-52s %7.2f x   (goal <= 2.5)\n", "ratio w / a", a > 0 ? w / a : 0.0);
    std::printf("  %-52s %7.0f B   (goal <= 700)\n", "window memory per row (mallinfo2 after - before)",
                median(perRow));
    std::fflush(stdout);
}

} // namespace bench
