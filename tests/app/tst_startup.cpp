#include "data/Database.h"
#include "platform/ErrorGuard.h"
#include "shell/StartUp.h"
#include "support/OtherConnection.h"
#include "support/ScriptedDialogs.h"

#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

QTEST_MAIN(tst_StartUp)
#include "tst_startup.moc"
