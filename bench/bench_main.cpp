// kavrel_bench [list] [commit] [window] [location] [search] [batch] [attachments] [explorer] [print] [export]
// [backup] [import] [stocktake] [duplicates] [pgcommit] [pgwindow] [--units N] [--locations N] [--holding N]
// [--repeat N] [--attachment-mib N] [--print-rows N] [--data-dir DIR] [--server URI]
// Each benchmark times the application's path against a baseline measured in the same run, on generated data.

#include "bench.h"

#include "data/Database.h"
#include "generator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

const QStringList kBenchmarks = {QStringLiteral("list"),        QStringLiteral("commit"),    QStringLiteral("window"),
                                 QStringLiteral("location"),    QStringLiteral("search"),    QStringLiteral("batch"),
                                 QStringLiteral("attachments"), QStringLiteral("explorer"),  QStringLiteral("print"),
                                 QStringLiteral("export"),      QStringLiteral("backup"),    QStringLiteral("import"),
                                 QStringLiteral("stocktake"),   QStringLiteral("duplicates")};
// These need --server.
const QStringList kServerBenchmarks = {QStringLiteral("pgcommit"), QStringLiteral("pgwindow")};

struct Selection {
    bench::Options options;
    QStringList benchmarks;
};

Selection parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kavrel benchmarks on a generated inventory."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("benchmark"),
                                 QStringLiteral("Any of %1; all when none is named (the server's with --server).")
                                     .arg((kBenchmarks + kServerBenchmarks).join(u", ")),
                                 QStringLiteral("[benchmark...]"));
    const QCommandLineOption units(QStringLiteral("units"), QStringLiteral("Active units in the inventory."),
                                   QStringLiteral("N"), QStringLiteral("100000"));
    const QCommandLineOption locations(QStringLiteral("locations"), QStringLiteral("Locations."), QStringLiteral("N"),
                                       QStringLiteral("500"));
    const QCommandLineOption holding(
        QStringLiteral("holding"),
        QStringLiteral("Holding table rows to commit; 10% of them are duplicates, 1% repeats."), QStringLiteral("N"),
        QStringLiteral("100000"));
    const QCommandLineOption repeat(QStringLiteral("repeat"), QStringLiteral("Timed runs of each measure."),
                                    QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption attachmentMiB(QStringLiteral("attachment-mib"),
                                           QStringLiteral("Size of the attached file in MiB."), QStringLiteral("N"),
                                           QStringLiteral("100"));
    const QCommandLineOption printRows(QStringLiteral("print-rows"),
                                       QStringLiteral("Rows of the active equipment list that print prints."),
                                       QStringLiteral("N"), QStringLiteral("10000"));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Generate into DIR, which must hold no database yet, and keep it."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption server(
        QStringLiteral("server"),
        QStringLiteral("A postgresql:// address: pgcommit and pgwindow make databases of their own on that server."),
        QStringLiteral("URI"));
    parser.addOptions({units, locations, holding, repeat, attachmentMiB, printRows, dataDir, server});
    parser.process(app);
    Selection s;
    s.options.units = std::max(1, parser.value(units).toInt());
    s.options.locations = std::max(1, parser.value(locations).toInt());
    s.options.holdingRows = std::max(1, parser.value(holding).toInt());
    s.options.repeat = std::max(1, parser.value(repeat).toInt());
    s.options.attachmentMiB = std::max<qint64>(1, parser.value(attachmentMiB).toLongLong());
    s.options.printRows = std::max(1, parser.value(printRows).toInt());
    s.options.dataDir = parser.value(dataDir);
    s.options.keepData = !s.options.dataDir.isEmpty();
    s.options.server = parser.value(server);
    s.benchmarks = parser.positionalArguments();
    for (const QString& name : s.benchmarks) {
        if (!kBenchmarks.contains(name) && !kServerBenchmarks.contains(name)) {
            std::fprintf(stderr, "kavrel_bench: unknown benchmark '%s' (known: %s)\n", qPrintable(name),
                         qPrintable((kBenchmarks + kServerBenchmarks).join(u", ")));
            std::exit(2);
        }
        if (kServerBenchmarks.contains(name) && s.options.server.isEmpty()) {
            std::fprintf(stderr, "kavrel_bench: %s needs --server URI\n", qPrintable(name));
            std::exit(2);
        }
    }
    if (s.benchmarks.isEmpty())
        s.benchmarks = s.options.server.isEmpty() ? kBenchmarks : kBenchmarks + kServerBenchmarks;
    return s;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR") &&
        QDir(QStringLiteral("/usr/share/fonts/truetype/dejavu")).exists())
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype/dejavu");
    QApplication app(argc, argv);
    Selection selection = parseOptions(app);
    bench::Options& opt = selection.options;

    QTemporaryDir temporary;
    if (opt.dataDir.isEmpty()) {
        if (!temporary.isValid())
            qFatal("no temporary directory");
        opt.dataDir = temporary.path();
    }
    // An inventory generated by an earlier run with --data-dir is used as it stands, sparing the generation.
    const bool reuse = QFile::exists(QDir(opt.dataDir).filePath(QString::fromLatin1(kMainFileName)));
    try {
        Database db(opt.dataDir);
        bench::InventoryShape shape;
        shape.activeUnits = opt.units;
        shape.locations = opt.locations;
        if (reuse) {
            std::printf("Using the inventory in %s (--units and --locations as given must match it)\n",
                        qPrintable(QDir::toNativeSeparators(opt.dataDir)));
        } else {
            const double generateMs = bench::millisecondsOf([&] { bench::generateInventory(db, shape); });
            std::printf("Generated %d active units at %d locations in %.1f s (%s)\n", opt.units, opt.locations,
                        generateMs / 1000, qPrintable(QDir::toNativeSeparators(opt.dataDir)));
        }

        bool agreed = true;
        for (const QString& name : selection.benchmarks) {
            if (name == QLatin1String("list"))
                bench::benchActiveEquipmentList(db, opt);
            else if (name == QLatin1String("commit"))
                agreed = bench::benchCommitToInventory(opt) && agreed;
            else if (name == QLatin1String("window"))
                bench::benchActiveEquipmentWindow(db, opt);
            else if (name == QLatin1String("location"))
                bench::benchLocationWindow(db, opt);
            else if (name == QLatin1String("search"))
                bench::benchSearch(db, opt);
            else if (name == QLatin1String("batch"))
                bench::benchBatchAssign(db, opt);
            else if (name == QLatin1String("attachments"))
                agreed = bench::benchAttachments(opt) && agreed;
            else if (name == QLatin1String("explorer"))
                bench::benchExplorer(opt);
            else if (name == QLatin1String("print"))
                bench::benchPrint(db, opt);
            else if (name == QLatin1String("export"))
                bench::benchExport(db, opt);
            else if (name == QLatin1String("backup"))
                bench::benchBackup(db, opt);
            else if (name == QLatin1String("import"))
                bench::benchImport(opt);
            else if (name == QLatin1String("stocktake"))
                bench::benchStocktake(db, opt);
            else if (name == QLatin1String("duplicates"))
                agreed = bench::benchParkedDuplicates(opt) && agreed;
            else if (name == QLatin1String("pgcommit"))
                agreed = bench::benchServerCommit(opt) && agreed;
            else if (name == QLatin1String("pgwindow"))
                bench::benchServerWindow(opt);
        }
        if (!agreed)
            return 1;
    } catch (const DataError& e) {
        std::fprintf(stderr, "kavrel_bench: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
