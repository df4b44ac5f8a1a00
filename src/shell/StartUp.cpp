#include "shell/StartUp.h"

#include "data/CopyToServer.h"
#include "data/DataBackup.h"
#include "equipment/store/HoldingStore.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/ProductTitle.h"
#include "shell/DataBackupCommands.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>
#include <cstdio>
#include <functional>

StartOptions readStartOptions(QCommandLineParser& parser, const QStringList& arguments,
                              const QString& environmentDataDir, const QString& applicationDir,
                              const QString& environmentServer) {
    parser.setApplicationDescription(QStringLiteral("Keeps an organisation's equipment and its locations."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Keep Inventory.mdb and Kavrel.mdb in <dir>."),
                                     QStringLiteral("dir"));
    const QCommandLineOption windowLimit(
        QStringLiteral("window-limit"), QStringLiteral("Allow at most <n> windows open at once."), QStringLiteral("n"));
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("Keep the data on a PostgreSQL server: postgresql://[user@]host[:port]/dbname. The password "
                       "comes from the password file (~/.pgpass), a service file or PGPASSWORD, never from here."),
        QStringLiteral("address"));
    const QCommandLineOption copy(QStringLiteral("copy-to-server"),
                                  QStringLiteral("Copy the data files of the data folder onto the empty PostgreSQL "
                                                 "database at <address>, keeping every id, and end."),
                                  QStringLiteral("address"));
    parser.addOption(dataDir);
    parser.addOption(windowLimit);
    parser.addOption(database);
    parser.addOption(copy);

    StartOptions options;
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
        return options;
    }
    if (parser.isSet(dataDir)) {
        options.dataDir = parser.value(dataDir);
        if (options.dataDir.isEmpty())
            options.error = QStringLiteral("--data-dir needs a folder.");
    } else {
        options.dataDir = environmentDataDir.isEmpty() ? applicationDir : environmentDataDir;
    }
    options.server = parser.isSet(database) ? parser.value(database) : environmentServer;
    if (options.error.isEmpty() && (!options.server.isEmpty() || parser.isSet(database)))
        options.error = serverAddressFault(options.server);
    if (parser.isSet(copy)) {
        options.copyToServer = parser.value(copy);
        if (options.error.isEmpty())
            options.error = serverAddressFault(options.copyToServer);
    }
    if (parser.isSet(windowLimit)) {
        bool ok = false;
        options.windowLimit = parser.value(windowLimit).toInt(&ok);
        if (!ok || options.windowLimit < 1)
            options.error = QStringLiteral("--window-limit needs a whole number of at least 1, not '%1'.")
                                .arg(parser.value(windowLimit));
    }
    return options;
}

bool commandLineOnly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--copy-to-server") == 0 || qstrncmp(argv[i], "--copy-to-server=", 17) == 0)
            return true;
    return false;
}

int copyFilesToServer(const StartOptions& options) {
    const QString mainFile = QDir(options.dataDir).filePath(QString::fromLatin1(kMainFileName));
    if (!QFileInfo(mainFile).isFile()) {
        std::fprintf(stderr, "%s: There is no %s to copy in %s.\n", qPrintable(kProductTitle), kMainFileName,
                     qPrintable(QDir::toNativeSeparators(options.dataDir)));
        return 1;
    }
    try {
        Database files(options.dataDir);
        DatabaseOptions serverOptions;
        serverOptions.server = options.copyToServer;
        Database server(options.dataDir, serverOptions);
        qint64 total = 0;
        copyToServer(files, server, [&](const CopiedTable& copied) {
            total += copied.rows;
            std::printf("%-32s %12lld rows", qPrintable(copied.table), static_cast<long long>(copied.rows));
            if (copied.valuesWithNul > 0)
                std::printf(", %lld values copied without their NUL characters",
                            static_cast<long long>(copied.valuesWithNul));
            std::printf("\n");
            std::fflush(stdout);
        });
        std::printf("Copied %lld rows onto %s.\n", static_cast<long long>(total), qPrintable(server.whereabouts()));
        return 0;
    } catch (const DataError& e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(kProductTitle), qPrintable(e.text()));
        return 1;
    }
}

QString serverAddressFault(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres")))
        return QStringLiteral("--database needs an address such as postgresql://user@host:5432/kavrel, not '%1'.")
            .arg(address);
    if (!url.password().isEmpty() || QUrlQuery(url).hasQueryItem(QStringLiteral("password")))
        return QStringLiteral("The database address must not carry a password, which anyone on this computer could "
                              "read. Put it in the password file (~/.pgpass) or a service file instead.");
    return QString();
}

QString defaultDataDir(const QString& applicationDir) {
    const QFileInfo dir(applicationDir);
    if (dir.isWritable() && dir.fileName() != QLatin1String("bin"))
        return applicationDir;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool userCanBeAsked() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void reportStartFailure(Dialogs& dialogs, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(kProductTitle), qPrintable(text));
    if (userCanBeAsked())
        showFailure(dialogs, nullptr, text);
}

namespace {

// Makes the new main file and runs work on the data; should the work fail, the main file goes back to how it was
// (empty or missing), so the choice stays open and nothing was changed.
std::unique_ptr<Database> withNewInventory(const QString& dataDir, DatabaseOptions options,
                                           const std::function<void(Database&)>& work) {
    const QString mainFile = QDir(dataDir).filePath(QString::fromLatin1(kMainFileName));
    const bool mainWasThere = QFileInfo::exists(mainFile);
    options.newInventoryBesideHoldingRows = true;
    std::unique_ptr<Database> db;
    try {
        db = std::make_unique<Database>(dataDir, options);
        work(*db);
    } catch (const DataError&) {
        db.reset();
        if (mainWasThere)
            QFile(mainFile).resize(0);
        else
            QFile::remove(mainFile);
        throw;
    }
    return db;
}

// The backup the user picks, checked, agreed to and restored; nullptr when none was.
std::unique_ptr<Database> restoreChosenBackup(Dialogs& dialogs, const QString& dataDir, const DatabaseOptions& options,
                                              const QDateTime& now) {
    const QString folder = DataBackup::defaultFolder(dataDir);
    const QString chosen = chooseBackup(dialogs, nullptr, folder);
    if (chosen.isEmpty())
        return nullptr;
    try {
        // Checked before the question: a file that cannot be restored is refused without one.
        const DataBackup::Checked checked = DataBackup::open(chosen, dataDir);
        if (!agreesToRestore(dialogs, nullptr, checked.made))
            return nullptr;
        QString kept;
        auto db = withNewInventory(dataDir, options,
                                   [&](Database& data) { kept = DataBackup(data).restore(checked, folder, now); });
        dialogs.message(nullptr,
                        QStringLiteral("The data was restored from the backup made on %1. The data it replaced was "
                                       "saved as %2.")
                            .arg(DataBackup::madeText(checked.made), QDir::toNativeSeparators(kept)),
                        Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return db;
    } catch (const DataError& e) {
        showFailure(dialogs, nullptr, e.text());
        return nullptr;
    }
}

// A new, empty inventory; the units waiting in the holding file are kept in a backup first, then removed, as the
// locations they were entered for are gone.
std::unique_ptr<Database> startAfresh(Dialogs& dialogs, const QString& dataDir, const DatabaseOptions& options,
                                      const QDateTime& now) {
    QString kept;
    auto db = withNewInventory(dataDir, options, [&](Database& data) {
        kept = DataBackup(data).backUp(DataBackup::defaultFolder(dataDir), now);
        HoldingStore(data).clear();
    });
    dialogs.message(nullptr,
                    QStringLiteral("Kavrel starts with an empty inventory. The units that were waiting in the holding "
                                   "table were removed; they are kept in the backup %1.")
                        .arg(QDir::toNativeSeparators(kept)),
                    Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    return db;
}

std::unique_ptr<Database> offerForEmptyInventory(Dialogs& dialogs, const QString& dataDir,
                                                 const DatabaseOptions& options, const QDateTime& now,
                                                 const EmptyInventoryError& found) {
    for (;;) {
        if (dialogs.message(nullptr, found.text() + QStringLiteral("\n\nRestore a backup of the data now?"),
                            Dialogs::Buttons::YesNo, Dialogs::Icon::Question) == Dialogs::Answer::Yes) {
            if (auto db = restoreChosenBackup(dialogs, dataDir, options, now))
                return db;
            continue;
        }
        const QString question =
            QStringLiteral("Start afresh with an empty inventory?\nThe %1 unit(s) waiting in the holding table are "
                           "saved in a backup and then removed.")
                .arg(found.waiting());
        if (dialogs.message(nullptr, question, Dialogs::Buttons::YesNoDefaultNo, Dialogs::Icon::Question) ==
            Dialogs::Answer::Yes)
            return startAfresh(dialogs, dataDir, options, now);
        return nullptr;
    }
}

} // namespace

std::unique_ptr<Database> openData(Dialogs& dialogs, const QString& dataDir, const DatabaseOptions& options,
                                   const QDateTime& now, bool canAsk) {
    std::unique_ptr<Database> db;
    try {
        try {
            db = std::make_unique<Database>(dataDir, options);
        } catch (const EmptyInventoryError& e) {
            if (!canAsk)
                throw;
            db = offerForEmptyInventory(dialogs, dataDir, options, now, e);
            if (!db)
                return nullptr;
        }
    } catch (const DataError& e) {
        reportStartFailure(dialogs, e.text());
        return nullptr;
    }
    if (!db->startNotice().isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(kProductTitle), qPrintable(db->startNotice()));
        if (canAsk)
            dialogs.message(nullptr, db->startNotice(), Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    }
    return db;
}
