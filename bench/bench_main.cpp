// kavrel_bench [--units N] [--locations N] [--repeat N] [--data-dir DIR]
// Each benchmark times the application's path against a baseline measured in the same run, on generated data.

#include "data/Database.h"
#include "equipment/EquipmentStore.h"
#include "generator.h"
#include "platform/ReportList.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <vector>

namespace {

struct Options {
    int units = 100000;
    int locations = 500;
    int repeat = 5;
    QString dataDir; // empty: a temporary directory, removed at the end
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

double millisecondsOf(const std::function<void()>& fn) {
    QElapsedTimer t;
    t.start();
    fn();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Heap in use: small blocks plus the mmap'ed ones, where glibc puts big arrays such as a list's row vector.
size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// Counts paints of a view, to prove that a load really reached the screen.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The bare cost of the statement: every column of every row read into a QVariant, nothing kept.
qint64 stepQuery(const Database& db, const QString& sql) {
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.prepare(sql) || !q.exec())
        qFatal("query failed");
    const int columns = q.record().count();
    qint64 seen = 0;
    while (q.next())
        for (int c = 0; c < columns; ++c) {
            const QVariant v = q.value(c);
            seen += v.isValid();
        }
    return seen;
}

// The active equipment window's list load.
void loadActiveEquipment(ReportList& list, const EquipmentStore& store) {
    static const QStringList headers = {"ID",
                                        "Current Location",
                                        "Description",
                                        "Manufacturer",
                                        "Serial Number",
                                        "Date Purchased",
                                        "Purchase Price",
                                        "Model Number",
                                        "Asset Tag Number"};
    list.clearColumns();
    for (int i = 0; i < headers.size(); ++i)
        list.addColumn(headers.at(i), EquipmentStore::activeListKeys().value(i));
    list.beginRows();
    store.forEachActiveEquipment({}, [&](qint64 id, const QStringList& cells) { list.appendRow(cells, id); });
    list.endRows();
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

void benchActiveEquipmentList(Database& db, const Options& opt) {
    EquipmentStore store(db);
    const QString sql = EquipmentStore::activeListStatement();

    volatile qint64 sink = 0;
    // One untimed round fills SQLite's page cache, the glyph cache and the allocator's free lists alike.
    sink = sink + stepQuery(db, sql);
    {
        ShownList warmUp;
        loadActiveEquipment(warmUp.list, store);
    }

    std::vector<double> queryMs, storeMs, listMs, bytesPerRow;
    int rows = 0;
    for (int r = 0; r < opt.repeat; ++r) {
        queryMs.push_back(millisecondsOf([&] { sink = sink + stepQuery(db, sql); }));
        storeMs.push_back(millisecondsOf([&] {
            store.forEachActiveEquipment({},
                                         [&](qint64 id, const QStringList& cells) { sink = sink + id + cells.size(); });
        }));
        // A new window each time: a reused list keeps its row capacity, which would hide it from the heap count.
        ShownList shown;
        const size_t before = heapInUse();
        listMs.push_back(millisecondsOf([&] { loadActiveEquipment(shown.list, store); }));
        const size_t after = heapInUse();
        rows = shown.list.rowCount();
        if (shown.counter.paints == 0)
            qWarning("the list was not painted after its load");
        bytesPerRow.push_back(static_cast<double>(static_cast<long long>(after) - static_cast<long long>(before)) /
                              std::max(1, rows));
    }

    const double a = median(queryMs);
    const double s = median(storeMs);
    const double b = median(listMs);
    std::printf("\nActive equipment list: %d rows, %d locations, median of %d runs\n", rows, opt.locations, opt.repeat);
    std::printf("  %-52s %10s\n", "measure", "value");
    std::printf("  %-52s %7.1f ms\n", "(a) query alone: step, QSqlQuery::value per column", a);
    std::printf("  %-52s %7.1f ms\n", "(s) EquipmentStore::forEachActiveEquipment, no list", s);
    std::printf("  %-52s %7.1f ms\n", "(b) ReportList load: store rows, reset, layout, paint", b);
    std::printf("  %-52s %7.2f x   (goal <= 2.5)\n", "ratio b / a", a > 0 ? b / a : 0.0);
    std::printf("  %-52s %7.0f B   (goal <= 700)\n", "list memory per row (mallinfo2 after - before)",
                median(bytesPerRow));
    std::fflush(stdout);
}

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kavrel benchmarks on a generated inventory."));
    parser.addHelpOption();
    const QCommandLineOption units(QStringLiteral("units"), QStringLiteral("Active units in the inventory."),
                                   QStringLiteral("N"), QStringLiteral("100000"));
    const QCommandLineOption locations(QStringLiteral("locations"), QStringLiteral("Locations."), QStringLiteral("N"),
                                       QStringLiteral("500"));
    const QCommandLineOption repeat(QStringLiteral("repeat"), QStringLiteral("Timed runs of each measure."),
                                    QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Generate into DIR, which must hold no database yet, and keep it."),
                                     QStringLiteral("DIR"));
    parser.addOptions({units, locations, repeat, dataDir});
    parser.process(app);
    Options opt;
    opt.units = std::max(1, parser.value(units).toInt());
    opt.locations = std::max(1, parser.value(locations).toInt());
    opt.repeat = std::max(1, parser.value(repeat).toInt());
    opt.dataDir = parser.value(dataDir);
    return opt;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR") &&
        QDir(QStringLiteral("/usr/share/fonts/truetype/dejavu")).exists())
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
    QApplication app(argc, argv);
    const Options opt = parseOptions(app);

    QTemporaryDir temporary;
    QString dir = opt.dataDir;
    if (dir.isEmpty()) {
        if (!temporary.isValid())
            qFatal("no temporary directory");
        dir = temporary.path();
    } else if (QFile::exists(QDir(dir).filePath(QString::fromLatin1(kMainFileName)))) {
        std::fprintf(stderr, "kavrel_bench: %s already holds a database\n", qPrintable(dir));
        return 1;
    }
    try {
        Database db(dir);
        bench::InventoryShape shape;
        shape.activeUnits = opt.units;
        shape.locations = opt.locations;
        const double generateMs = millisecondsOf([&] { bench::generateInventory(db, shape); });
        std::printf("Generated %d active units at %d locations in %.1f s (%s)\n", opt.units, opt.locations,
                    generateMs / 1000, qPrintable(QDir::toNativeSeparators(dir)));

        benchActiveEquipmentList(db, opt);
    } catch (const DataError& e) {
        std::fprintf(stderr, "kavrel_bench: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
