#include "data/DataBackup.h"
#include "data/Database.h"
#include "platform/ErrorGuard.h"
#include "shell/StartUp.h"
#include "support/Fixtures.h"
#include "support/OtherConnection.h"
#include "support/ScriptedDialogs.h"

#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Not on a server: starts Kavrel on a data folder's own files, as they are at a first run, spoilt, or left by a
// stopped restore.

namespace {

// The bytes and modification time of every file in a folder, so a test can tell whether anything touched them.
QStringList snapshot(const QString& dir) {
    QStringList files;
    for (const QFileInfo& info : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile f(info.filePath());
        f.open(QIODevice::ReadOnly);
        files << info.fileName() + ' ' + QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex() +
                     ' ' + info.lastModified().toString(Qt::ISODateWithMs);
    }
    return files;
}

// A main file of 0 bytes beside a holding file with two units entered for a location it held; a backup of the data as
// it was waits in the data folder's backup folder. Returns the backup.
QString emptyInventoryBesideHoldingRows(const QString& dir) {
    QString backup;
    {
        Database db(dir);
        const qint64 depot = Fixtures::addLocation(db, "Depot");
        for (const QString& serial : {QStringLiteral("H-1"), QStringLiteral("H-2")})
            Query(db,
                  "INSERT INTO HoldEquipment (SerialNumber, EquipmentType, CurrentLocation) VALUES (?, 'Laptop', ?)")
                .exec({serial, depot});
        backup = DataBackup(db).backUp(DataBackup::defaultFolder(dir), QDateTime(QDate(2026, 3, 1), QTime(8, 0)));
    }
    QFile main(dir + "/Inventory.mdb");
    main.resize(0);
    return backup;
}

// Puts a file that is no usable database where Kavrel expects one, beside a good other file.
void spoil(const QString& dir, const QString& kind) {
    { Database installed(dir); }
    if (kind == "garbage") {
        QFile f(dir + "/Inventory.mdb");
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'x'));
    } else if (kind == "wrongTables" || kind == "wrongHoldingTables") {
        const QString path = dir + (kind == "wrongTables" ? "/Inventory.mdb" : "/Kavrel.mdb");
        QVERIFY(QFile::remove(path));
        runOnFile(path, {"CREATE TABLE Foo (Bar TEXT)"});
    } else if (kind == "emptyInventory") {
        emptyInventoryBesideHoldingRows(dir);
    }
}

struct Run {
    int exitCode = -1;
    QString errors;
};

// Starts the real application headless and waits for it to end.
Run runKavrel(const QStringList& arguments, const QString& dataDirVariable = QString()) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("KAVREL_DATA_DIR");
    env.remove("KAVREL_DATABASE");
    if (!dataDirVariable.isEmpty())
        env.insert("KAVREL_DATA_DIR", dataDirVariable);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KAVREL_EXECUTABLE), arguments);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {-1, QStringLiteral("still running: a message box waits for an answer no one can give")};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

class tst_StartUp : public QObject {
    Q_OBJECT
private slots:
    void options_data();
    void options();
    void serverAddress_data();
    void serverAddress();
    void installedProgramKeepsDataWithTheUser();
    void failureEndsTheStartAndLeavesTheFilesAlone_data();
    void failureEndsTheStartAndLeavesTheFilesAlone();
    void dataFolderFromOptionThenVariable();
    void lockedDataAtStartOffersRetry();
    void emptyInventoryOffersWhatCanBeDone_data();
    void emptyInventoryOffersWhatCanBeDone();
    void interruptedRestoreIsToldAtStart();
};

void tst_StartUp::options_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("variable"); // KAVREL_DATA_DIR
    QTest::addColumn<QString>("dataDir");
    QTest::addColumn<int>("windowLimit");
    QTest::addColumn<QString>("error");
    QTest::newRow("nothing given") << QStringList{} << ""
                                   << "/app" << 0 << "";
    QTest::newRow("variable") << QStringList{} << "/env"
                              << "/env" << 0 << "";
    QTest::newRow("option wins over variable") << QStringList{"--data-dir", "/opt"} << "/env"
                                               << "/opt" << 0 << "";
    QTest::newRow("option with equals sign") << QStringList{"--data-dir=/my data"} << ""
                                             << "/my data" << 0 << "";
    QTest::newRow("window limit") << QStringList{"--window-limit", "3"} << ""
                                  << "/app" << 3 << "";
    QTest::newRow("both options") << QStringList{"--window-limit=1", "--data-dir", "rel"} << "/env"
                                  << "rel" << 1 << "";
    QTest::newRow("window limit 0") << QStringList{"--window-limit", "0"} << ""
                                    << "/app" << 0 << "--window-limit needs a whole number of at least 1, not '0'.";
    QTest::newRow("window limit negative")
        << QStringList{"--window-limit=-2"} << ""
        << "/app" << -2 << "--window-limit needs a whole number of at least 1, not '-2'.";
    QTest::newRow("window limit not a number")
        << QStringList{"--window-limit", "many"} << ""
        << "/app" << 0 << "--window-limit needs a whole number of at least 1, not 'many'.";
    QTest::newRow("window limit without value") << QStringList{"--window-limit"} << ""
                                                << "" << 0 << "Missing value after '--window-limit'.";
    QTest::newRow("empty data folder") << QStringList{"--data-dir", ""} << "/env"
                                       << "" << 0 << "--data-dir needs a folder.";
    QTest::newRow("unknown option") << QStringList{"--datadir", "/x"} << ""
                                    << "" << 0 << "Unknown option 'datadir'.";
    QTest::newRow("stray argument") << QStringList{"Inventory.mdb"} << ""
                                    << "" << 0 << "Unexpected argument 'Inventory.mdb'.";
}

void tst_StartUp::options() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, variable);
    QFETCH(QString, dataDir);
    QFETCH(int, windowLimit);
    QFETCH(QString, error);
    QCommandLineParser parser;
    const StartOptions options = readStartOptions(parser, QStringList{"kavrel"} + arguments, variable, "/app");
    QCOMPARE(options.error, error);
    if (error.isEmpty() || !dataDir.isEmpty())
        QCOMPARE(options.dataDir, dataDir);
    if (error.isEmpty() || windowLimit != 0)
        QCOMPARE(options.windowLimit, windowLimit);
}

void tst_StartUp::serverAddress_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("variable"); // KAVREL_DATABASE
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("error");
    const QString badAddress = "--database needs an address such as postgresql://user@host:5432/kavrel, not '%1'.";
    const QString password = "The database address must not carry a password, which anyone on this computer could "
                             "read. Put it in the password file (~/.pgpass) or a service file instead.";
    QTest::newRow("none: the files") << QStringList{} << ""
                                     << ""
                                     << "";
    QTest::newRow("option") << QStringList{"--database", "postgresql://ann@db.example.org:5433/kavrel?sslmode=require"}
                            << ""
                            << "postgresql://ann@db.example.org:5433/kavrel?sslmode=require"
                            << "";
    QTest::newRow("variable") << QStringList{} << "postgres:///kavrel?service=inventory"
                              << "postgres:///kavrel?service=inventory"
                              << "";
    QTest::newRow("option wins over variable") << QStringList{"--database=postgresql://db/a"} << "postgresql://db/b"
                                               << "postgresql://db/a"
                                               << "";
    QTest::newRow("another scheme") << QStringList{"--database", "mysql://db/kavrel"} << ""
                                    << "" << badAddress.arg("mysql://db/kavrel");
    QTest::newRow("empty") << QStringList{"--database", ""} << ""
                           << "" << badAddress.arg("");
    QTest::newRow("password in the address") << QStringList{"--database", "postgresql://ann:secret@db/kavrel"} << ""
                                             << "" << password;
    QTest::newRow("password as a setting") << QStringList{} << "postgresql://db/kavrel?password=secret"
                                           << "" << password;
    QTest::newRow("copy with a password") << QStringList{"--copy-to-server", "postgresql://ann:secret@db/kavrel"} << ""
                                          << "" << password;
}

void tst_StartUp::serverAddress() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, variable);
    QFETCH(QString, server);
    QFETCH(QString, error);
    QCommandLineParser parser;
    const StartOptions options = readStartOptions(parser, QStringList{"kavrel"} + arguments, "", "/app", variable);
    QCOMPARE(options.error, error);
    if (error.isEmpty())
        QCOMPARE(options.server, server);
}

void tst_StartUp::installedProgramKeepsDataWithTheUser() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("build/src") && QDir(dir.path()).mkpath("prefix/bin"));
    const QString build = dir.filePath("build/src");
    QCOMPARE(defaultDataDir(build), build);
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(!userData.isEmpty());
    QCOMPARE(defaultDataDir(dir.filePath("prefix/bin")), userData);
}

void tst_StartUp::failureEndsTheStartAndLeavesTheFilesAlone_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("arguments"); // after --data-dir <folder>
    QTest::addColumn<QString>("message");
    QTest::newRow("not a database") << "garbage" << QStringList{} << "file is not a database";
    QTest::newRow("main file lacks its tables")
        << "wrongTables" << QStringList{} << "The file Inventory.mdb has no table 'ContactInfo'.";
    QTest::newRow("holding file lacks its table")
        << "wrongHoldingTables" << QStringList{} << "The file Kavrel.mdb has no table 'HoldEquipment'.";
    QTest::newRow("empty inventory beside holding rows")
        << "emptyInventory" << QStringList{}
        << "The inventory file Inventory.mdb in the folder %1 is empty, while the holding file Kavrel.mdb holds 2 "
           "unit(s) waiting to be entered into it. Nothing was changed.";
    QTest::newRow("data folder is a file")
        << "folderIsFile" << QStringList{} << "Kavrel cannot write to the data folder";
    QTest::newRow("bad window limit") << "good" << QStringList{"--window-limit", "none"}
                                      << "--window-limit needs a whole number of at least 1, not 'none'.";
    // No server listens on a socket in a folder that does not exist; the files in the data folder stay untouched.
    const QString nowhere = "postgresql://kavrel@/inventory?host=/nonexistent-kavrel-server";
    const QString unreachable =
        "Kavrel cannot connect to the database \"inventory\" on the PostgreSQL server at /nonexistent-kavrel-server:";
    QTest::newRow("server unreachable") << "good" << QStringList{"--database", nowhere} << unreachable;
    QTest::newRow("copy to an unreachable server") << "good" << QStringList{"--copy-to-server", nowhere} << unreachable;
    QTest::newRow("copy without files") << "none" << QStringList{"--copy-to-server", nowhere}
                                        << "There is no Inventory.mdb to copy in";
}

// A start that cannot go on says why and ends with exit code 1, also where no one could answer a message box,
// and leaves the files as they were.
void tst_StartUp::failureEndsTheStartAndLeavesTheFilesAlone() {
    QFETCH(QString, kind);
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir parent;
    QString dir = parent.filePath("data");
    if (kind == "folderIsFile") {
        QFile f(dir);
        QVERIFY(f.open(QIODevice::WriteOnly));
        dir = parent.path();
    } else if (kind == "none") {
        QVERIFY(QDir().mkpath(dir));
    } else {
        spoil(dir, kind);
    }
    const QStringList before = snapshot(dir);
    QTest::qWait(20); // a write would show in the modification time

    const Run run = runKavrel(QStringList{"--data-dir", kind == "folderIsFile" ? dir + "/data" : dir} + arguments);
    if (message.contains("%1"))
        message = message.arg(QDir::toNativeSeparators(dir));
    QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(snapshot(dir), before);
}

void tst_StartUp::dataFolderFromOptionThenVariable() {
    QTemporaryDir fromVariable;
    QTemporaryDir fromOption;
    spoil(fromVariable.path(), "garbage");
    spoil(fromOption.path(), "wrongTables");
    QVERIFY(runKavrel({}, fromVariable.path()).errors.contains("file is not a database"));
    QVERIFY(runKavrel({"--data-dir", fromOption.path()}, fromVariable.path()).errors.contains("has no table"));
}

// Another copy holds the main file while this one checks its tables: the user is asked in plain words, and may
// try again as often as needed or give up.
void tst_StartUp::lockedDataAtStartOffersRetry() {
    QTemporaryDir dir;
    { Database installed(dir.path()); }
    LockHolder holder(dir.filePath("Inventory.mdb"), "exclusive");
    QVERIFY(holder.held());

    ScriptedDialogs dialogs;
    dialogs.answer(Dialogs::Answer::Retry);
    dialogs.answer(Dialogs::Answer::Cancel);
    DatabaseOptions options;
    options.busyTimeoutMs = 50;
    options.busyHandler = [&](const QString& what) { return askToRetry(dialogs, nullptr, what); };
    QString failure;
    try {
        Database db(dir.path(), options);
    } catch (const DataError& e) {
        failure = e.text();
    }
    const QString busy =
        QStringLiteral("Another copy of Kavrel is writing to the data in the folder %1 and has not finished.")
            .arg(QDir::toNativeSeparators(dir.path()));
    QCOMPARE(failure, busy);
    QCOMPARE(dialogs.messages.size(), 2);
    for (const ScriptedDialogs::Message& m : dialogs.messages) {
        QCOMPARE(m.text, busy + "\n\nChoose Retry once the other copy has finished, or Cancel to stop.");
        QCOMPARE(m.buttons, Dialogs::Buttons::RetryCancel);
        QCOMPARE(m.title, QStringLiteral("Kavrel"));
    }
}

void tst_StartUp::emptyInventoryOffersWhatCanBeDone_data() {
    // The answers in order; "file:backup", "file:none", "file:text" choose a file; "lock": another copy reads.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("outcome"); // "unchanged", "restored", "afresh"
    QTest::addColumn<QString>("last");    // the last message shown, in part
    QTest::newRow("neither") << "No No"
                             << "unchanged"
                             << "Start afresh with an empty inventory?\nThe 2 unit(s) waiting in the holding table";
    QTest::newRow("restore cancelled in the file dialog, then neither") << "Yes file:none No No"
                                                                        << "unchanged"
                                                                        << "Start afresh";
    QTest::newRow("restore of a file that is no backup, then neither") << "Yes file:text No No"
                                                                       << "unchanged"
                                                                       << "Start afresh";
    QTest::newRow("restore not agreed, then neither") << "Yes file:backup No No No"
                                                      << "unchanged"
                                                      << "Start afresh";
    // Another copy reading the holding file keeps the restore from finishing: the main file made for it goes.
    QTest::newRow("restore failing, then neither") << "lock Yes file:backup Yes No No"
                                                   << "unchanged"
                                                   << "Start afresh";
    QTest::newRow("restore a backup") << "Yes file:backup Yes"
                                      << "restored"
                                      << "The data was restored from the backup made on 2026-03-01 08:00:00.";
    QTest::newRow("start afresh") << "No Yes"
                                  << "afresh"
                                  << "Kavrel starts with an empty inventory.";
}

// The main file is empty while the holding file has units: the user hears so, and chooses; until then nothing
// changes, and each choice does what it says.
void tst_StartUp::emptyInventoryOffersWhatCanBeDone() {
    QFETCH(QString, script);
    QFETCH(QString, outcome);
    QFETCH(QString, last);
    QTemporaryDir dir;
    const QString backup = emptyInventoryBesideHoldingRows(dir.path());
    const QString text = dir.filePath("list.kavbak");
    QFile f(text);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Location Name\r\nDepot\r\n");
    f.close();
    const QStringList before = snapshot(dir.path());
    const QStringList backupsBefore = QDir(DataBackup::defaultFolder(dir.path())).entryList(QDir::Files);

    ScriptedDialogs dialogs;
    std::unique_ptr<LockHolder> reader;
    for (const QString& step : script.split(' ')) {
        if (step == "lock")
            reader = std::make_unique<LockHolder>(dir.filePath("Kavrel.mdb"), "read");
        else if (step == "Yes")
            dialogs.answer(Dialogs::Answer::Yes);
        else if (step == "No")
            dialogs.answer(Dialogs::Answer::No);
        else
            dialogs.chooseFile(step == "file:backup" ? backup : step == "file:text" ? text : QString());
    }
    const QDateTime now(QDate(2026, 3, 14), QTime(9, 30));
    DatabaseOptions quick;
    quick.busyTimeoutMs = 100;
    const std::unique_ptr<Database> db = openData(dialogs, dir.path(), quick, now, true);
    const bool locked = reader != nullptr;
    reader.reset();
    QVERIFY(dialogs.allAnswersUsed());
    QVERIFY(dialogs.messages.size() >= 2);
    QCOMPARE(dialogs.messages.first().text,
             QStringLiteral("The inventory file Inventory.mdb in the folder %1 is empty, while the holding file "
                            "Kavrel.mdb holds 2 unit(s) waiting to be entered into it. Nothing was changed.\n\n"
                            "Restore a backup of the data now?")
                 .arg(QDir::toNativeSeparators(dir.path())));
    QVERIFY2(dialogs.messages.last().text.startsWith(last), qPrintable(dialogs.messages.last().text));
    if (outcome == "unchanged") {
        QVERIFY(!db);
        if (locked) {
            // The bytes are as they were; the restore saved the data it was to replace before it failed.
            const auto bytes = [](const QStringList& files) {
                QStringList names;
                for (const QString& file : files)
                    names << file.section(' ', 0, 1);
                return names;
            };
            QCOMPARE(bytes(snapshot(dir.path())), bytes(before));
            return;
        }
        QCOMPARE(snapshot(dir.path()), before);
        QCOMPARE(QDir(DataBackup::defaultFolder(dir.path())).entryList(QDir::Files), backupsBefore);
        if (script.contains("file:text"))
            QVERIFY(dialogs.texts().contains(QDir::toNativeSeparators(text) + " is not a Kavrel backup."));
        return;
    }
    QVERIFY(db);
    const int backups = QDir(DataBackup::defaultFolder(dir.path())).entryList(QDir::Files).size();
    if (outcome == "restored") {
        QCOMPARE(Fixtures::count(*db, "LocationInfo", "LocName = ?", {"Depot"}), 1);
        QCOMPARE(Fixtures::count(*db, "HoldEquipment"), 2);
    } else {
        QCOMPARE(Fixtures::count(*db, "LocationInfo"), 0);
        QCOMPARE(Fixtures::count(*db, "HoldEquipment"), 0);
    }
    // Either way the holding rows as they were are kept in a backup of their own.
    QCOMPARE(backups, 2);
    const QString kept = QDir(DataBackup::defaultFolder(dir.path())).filePath(DataBackup::fileName(now));
    const DataBackup::Checked checked = DataBackup(*db).open(kept);
    const auto keptRows = [&] {
        QSqlDatabase image = QSqlDatabase::addDatabase("QSQLITE", "kept");
        image.setDatabaseName(checked.holdingImage);
        image.open();
        QSqlQuery rows(image);
        return rows.exec("SELECT COUNT(*) FROM HoldEquipment") && rows.next() ? rows.value(0).toInt() : -1;
    };
    QCOMPARE(keptRows(), 2);
    QSqlDatabase::removeDatabase("kept");
}

// A restore stopped part way (the restoring copy killed inside its transaction) is undone by the next start, which
// says so.
void tst_StartUp::interruptedRestoreIsToldAtStart() {
    QTemporaryDir dir;
    const QString backup = emptyInventoryBesideHoldingRows(dir.path());
    QFile::remove(dir.filePath("Inventory.mdb"));
    {
        DatabaseOptions asked;
        asked.newInventoryBesideHoldingRows = true;
        Database db(dir.path(), asked);
    }
    QProcess helper;
    helper.start(QStringLiteral(KAVREL_RESTORE_DATA), {dir.path(), backup, "4"});
    QVERIFY(helper.waitForStarted());
    helper.write("\n");
    helper.closeWriteChannel();
    QVERIFY(helper.waitForFinished(60000));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);

    ScriptedDialogs dialogs;
    const std::unique_ptr<Database> db = openData(dialogs, dir.path(), {}, QDateTime::currentDateTime(), true);
    QVERIFY(db);
    QCOMPARE(dialogs.texts(), QStringList{"Kavrel was stopped while it restored the backup made on 2026-03-01 "
                                          "08:00:00, before the restore was complete. It has been undone: the data is "
                                          "as it was before the restore."});
    QCOMPARE(dialogs.messages.first().icon, Dialogs::Icon::Information);
    QCOMPARE(Fixtures::count(*db, "LocationInfo"), 0);
}

QTEST_MAIN(tst_StartUp)
#include "tst_startup.moc"
