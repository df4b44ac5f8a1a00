// Restores a backup into a data folder as "Restore Data..." does, for the test that kills it part way. Arguments:
// the data folder, the backup, and the step of the restore at which it kills itself (0: none). It says "ready" once
// the backup is checked and restores only when a line arrives, and names each step it reaches, so a test can also
// time a kill of its own.
#include "data/DataBackup.h"
#include "data/Database.h"

#include <QCoreApplication>
#include <QDateTime>
#include <csignal>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const QString dataDir = QString::fromLocal8Bit(argv[1]);
    const int stopAt = QByteArray(argv[3]).toInt();
    try {
        Database db(dataDir);
        DataBackup backup(db);
        const DataBackup::Checked checked = backup.open(QString::fromLocal8Bit(argv[2]));
        DataBackup::onRestoreStep = [stopAt](int step) {
            if (step == stopAt)
                std::raise(SIGKILL);
            std::printf("step %d\n", step);
            std::fflush(stdout);
        };
        std::puts("ready");
        std::fflush(stdout);
        std::getchar();
        backup.restore(checked, DataBackup::defaultFolder(dataDir), QDateTime::currentDateTime());
        return 0;
    } catch (const DataError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
}
