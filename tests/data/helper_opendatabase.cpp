// Opens the data folder given as its argument, as a starting copy of Kavrel would. It says "ready" once loaded and
// opens only when a line arrives on its input, so a test can start several copies at the same moment. On success it
// prints the number of states and of holding rows it can read.
#include "data/Database.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")); // loads the driver before the start signal
    std::puts("ready");
    std::fflush(stdout);
    std::getchar();
    try {
        Database db(QString::fromLocal8Bit(argv[1]));
        const int states = Query(db, QStringLiteral("SELECT COUNT(*) FROM StateInfo")).scalar().toInt();
        const int held = Query(db, QStringLiteral("SELECT COUNT(*) FROM HoldEquipment")).scalar().toInt();
        std::printf("%d %d\n", states, held);
        return 0;
    } catch (const DataError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
}
