// Scans the codes given after the data folder and the location id, as a stocktake under way would, says "scanned"
// and then waits for input that never comes: the test kills it there, as a crash or a power cut ends a program.
#include "data/Database.h"
#include "stocktake/store/StocktakeStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    try {
        Database db(QString::fromLocal8Bit(argv[1]));
        StocktakeStore store(db);
        const qint64 locId = QByteArray(argv[2]).toLongLong();
        for (int i = 3; i < argc; ++i)
            store.scan(locId, QString::fromLocal8Bit(argv[i]), QDateTime::currentDateTime());
        std::puts("scanned");
        std::fflush(stdout);
        std::getchar();
        return 0;
    } catch (const DataError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
}
