#include "data/DataBackup.h"
#include "data/Database.h"
#include "support/Fixtures.h"
#include "support/OtherConnection.h"
#include "support/TestContext.h"

#include <QAtomicInt>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

// Not on a server: a backup is of the data folder's two files; a server's data is backed up with pg_dump.

namespace {

const QDateTime kMade(QDate(2026, 3, 14), QTime(9, 30, 5));

// Every row of every table of one schema of a connection, as text, table by table in key order.
QStringList dumpSchema(const QSqlDatabase& connection, const QString& schema) {
    QStringList lines;
    QSqlQuery tables(connection);
    tables.exec(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table' ORDER BY name").arg(schema));
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString& table : names) {
        lines << QStringLiteral("[%1.%2]").arg(schema, table);
        QSqlQuery rows(connection);
        if (!rows.exec(QStringLiteral("SELECT * FROM %1.\"%2\" ORDER BY rowid").arg(schema, table)))
            rows.exec(QStringLiteral("SELECT * FROM %1.\"%2\"").arg(schema, table));
        while (rows.next()) {
            QStringList cells;
            for (int i = 0; i < rows.record().count(); ++i) {
                const QVariant v = rows.value(i);
                cells << (v.isNull()                            ? QStringLiteral("<null>")
                          : v.typeId() == QMetaType::QByteArray ? QString::fromLatin1(v.toByteArray().toHex())
                                                                : v.toString());
            }
            lines << cells.join(QLatin1Char('|'));
        }
    }
    return lines;
}

QStringList dumpLive(const Database& db) {
    return dumpSchema(db.connection(), QStringLiteral("main")) + dumpSchema(db.connection(), QStringLiteral("hold"));
}

// Both images of a checked backup, dumped as the live data would be.
QStringList dumpImages(const DataBackup::Checked& checked) {
    const QString name = QStringLiteral("images-") + checked.mainImage;
    QStringList lines;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(checked.mainImage);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("ATTACH DATABASE '%1' AS hold").arg(checked.holdingImage));
        lines = dumpSchema(db, QStringLiteral("main")) + dumpSchema(db, QStringLiteral("hold"));
        QSqlQuery(db).exec(QStringLiteral("DETACH DATABASE hold"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return lines;
}

int countIn(const QString& path, const QString& sql) {
    const QString name = QStringLiteral("count-") + path;
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        if (q.exec(sql) && q.next())
            n = q.value(0).toInt();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return n;
}

void addHoldingRow(Database& db, const QString& serial) {
    Query(db, QStringLiteral("INSERT INTO hold.HoldEquipment (SerialNumber, EquipmentType) VALUES (?, ?)"))
        .exec({serial, QStringLiteral("Laptop")});
}

// Some of everything: locations, units, their history, holding rows, text the engine must keep byte for byte.
void addSampleData(Database& db) {
    const qint64 depot = Fixtures::addLocation(db, "Depot, North", 2, "Zürich");
    const qint64 office = Fixtures::addLocation(db, "Office \"A\"", 3);
    Fixtures::addEquipment(db, depot, "SN-1");
    Fixtures::addEquipment(db, office, "SN-2 東京");
    addHoldingRow(db, "H-1");
    addHoldingRow(db, "H-2");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Writes one transaction after another into both files, each adding one row to each, until told to stop.
class BothFilesWriter : public QThread {
public:
    explicit BothFilesWriter(const QString& dataDir) : m_dataDir(dataDir) {}
    QAtomicInt commits;
    QAtomicInt stop;
    QString failure;

protected:
    void run() override {
        const QString name = QStringLiteral("writer-thread");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QDir(m_dataDir).filePath(QString::fromLatin1(kMainFileName)));
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=60000"));
            db.open();
            QSqlQuery q(db);
            q.exec(QStringLiteral("ATTACH DATABASE '%1' AS hold")
                       .arg(QDir(m_dataDir).filePath(QString::fromLatin1(kHoldingFileName))));
            for (int i = 0; !stop.loadRelaxed() && failure.isEmpty(); ++i) {
                const QStringList steps{
                    QStringLiteral("BEGIN IMMEDIATE"),
                    QStringLiteral("INSERT INTO EquipmentType (EquipmentType) VALUES ('w%1')").arg(i),
                    QStringLiteral("INSERT INTO hold.HoldEquipment (SerialNumber) VALUES ('w%1')").arg(i),
                    QStringLiteral("COMMIT")};
                for (const QString& step : steps)
                    if (!q.exec(step)) {
                        failure = step + QStringLiteral(": ") + q.lastError().text();
                        break;
                    }
                commits.fetchAndAddRelaxed(1);
            }
            q = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

private:
    QString m_dataDir;
};

// A data folder whose data has moved on since its backup: both states known as dumps, and big enough that a restore
// takes a moment to write.
struct RestoreTrial {
    QTemporaryDir dir;
    QString backup;
    QStringList backupData;
    QStringList before;

    RestoreTrial() {
        Database db(dir.path());
        addSampleData(db);
        backupData = dumpLive(db);
        backup = DataBackup(db).backUp(dir.filePath("Saved"), kMade);
        Fixtures::addLocation(db, "Added after the backup");
        db.transaction([&] {
            for (int i = 0; i < 3000; ++i)
                addHoldingRow(db, QStringLiteral("H-after-%1").arg(i));
        });
        before = dumpLive(db);
    }

    // Starts the restoring helper; it waits for a line before it restores.
    void start(QProcess& helper, int stopAt) {
        helper.start(QStringLiteral(KAVREL_RESTORE_DATA), {dir.path(), backup, QString::number(stopAt)});
        QVERIFY(helper.waitForStarted());
        QVERIFY(helper.waitForReadyRead(60000));
        QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));
    }

    // The next start: both files hold one state, the backup's or their own, and the start says which when the
    // restore was under way; nothing of the stopped work is left behind. Gives what the start said.
    void checkNextStart(QString& notice, bool& restored) {
        Database db(dir.path());
        const QStringList after = dumpLive(db);
        notice = db.startNotice();
        QVERIFY2(after == before || after == backupData, "the files hold data of two states");
        restored = after == backupData;
        if (notice.contains("The restore had gone through"))
            QVERIFY(restored);
        else if (notice.contains("It has been undone"))
            QVERIFY(!restored);
        else
            QVERIFY2(notice.isEmpty(), qPrintable(notice));
        QVERIFY(!QFile::exists(dir.filePath("Kavrel.restore")));
        QCOMPARE(QDir(dir.filePath("temp")).entryList({"backup-*"}, QDir::AllEntries | QDir::Hidden), QStringList());
        QCOMPARE(QDir(dir.filePath("Backups")).entryList({"*.part*"}, QDir::Files | QDir::Hidden), QStringList());
        // The data goes on working, and the next start has nothing more to say.
        addHoldingRow(db, "H-next");
        QCOMPARE(Database(dir.path()).startNotice(), QString());
    }
};

} // namespace

class tst_DataBackup : public QObject {
    Q_OBJECT
private slots:
    void backupIsTheCommittedDataAndRestoresIt();
    void bothFilesAsOfOneMomentWhileAnotherConnectionWrites();
    void namesCarryTheTimeAndNeverReplaceABackup();
    void refusedWithTheDataUntouched_data();
    void refusedWithTheDataUntouched();
    void restoreFailingPartWayLeavesTheDataAsItWas();
    void restoreKilledAtEachStep_data();
    void restoreKilledAtEachStep();
    void restoreKilledAtRandomMoments();
    void leftoversOfStoppedCopiesAreRemoved();
};

void tst_DataBackup::backupIsTheCommittedDataAndRestoresIt() {
    TestContext t;
    addSampleData(*t.db);
    const QStringList atBackup = dumpLive(*t.db);
    QTemporaryDir folder;
    QString path;
    {
        // Another connection is writing and has not committed: the backup holds the data without its rows.
        LockHolder writer(QDir(t.dataDir()).filePath(kMainFileName), "write");
        QVERIFY(writer.held());
        writer.exec("INSERT INTO LocationInfo (LocName, StateId) VALUES ('Uncommitted', 2)");
        path = DataBackup(*t.db).backUp(folder.path(), kMade);
    }
    addHoldingRow(*t.db, "H-after");
    const QStringList beforeRestore = dumpLive(*t.db);
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo", "LocName = ?", {"Uncommitted"}), 1);
    QVERIFY(beforeRestore != atBackup);

    DataBackup backup(*t.db);
    const DataBackup::Checked checked = backup.open(path);
    QCOMPARE(checked.made, kMade);
    QCOMPARE(dumpImages(checked), atBackup);

    const QString kept = backup.restore(checked, t.dataDir() + "/Backups", kMade.addSecs(60));
    QCOMPARE(dumpLive(*t.db), atBackup);
    // The same connection goes on working with the data restored.
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo", "LocName = ?", {"Uncommitted"}), 0);
    addHoldingRow(*t.db, "H-3");

    // The data replaced was kept, whole, as a backup of its own.
    QCOMPARE(QFileInfo(kept).fileName(), DataBackup::fileName(kMade.addSecs(60)));
    QCOMPARE(dumpImages(backup.open(kept)), beforeRestore);

    // A new run of the application opens the restored files.
    t.reopen();
    QCOMPARE(Fixtures::count(*t.db, "HoldEquipment", "SerialNumber = ?", {"H-3"}), 1);
    QCOMPARE(Fixtures::count(*t.db, "HoldEquipment", "SerialNumber = ?", {"H-after"}), 0);
}

void tst_DataBackup::bothFilesAsOfOneMomentWhileAnotherConnectionWrites() {
    TestContext t;
    addSampleData(*t.db);
    BothFilesWriter writer(t.dataDir());
    writer.start();
    QTRY_VERIFY_WITH_TIMEOUT(writer.commits.loadRelaxed() >= 5 || !writer.failure.isEmpty(), 20000);
    QTemporaryDir folder;
    QStringList made;
    for (int i = 0; i < 5; ++i)
        made << DataBackup(*t.db).backUp(folder.path(), kMade.addSecs(i));
    writer.stop.storeRelaxed(1);
    QVERIFY(writer.wait(60000));
    QVERIFY2(writer.failure.isEmpty(), qPrintable(writer.failure));

    // Each transaction added one row to each file: a copy of both files of one moment has as many in each.
    int last = 0;
    for (const QString& path : made) {
        const DataBackup::Checked checked = DataBackup(*t.db).open(path);
        const int types =
            countIn(checked.mainImage, "SELECT COUNT(*) FROM EquipmentType WHERE EquipmentType LIKE 'w%'");
        const int holding =
            countIn(checked.holdingImage, "SELECT COUNT(*) FROM HoldEquipment WHERE SerialNumber LIKE 'w%'");
        QCOMPARE(types, holding);
        QVERIFY(types >= last);
        last = types;
    }
    QVERIFY(last >= 5);

    // The last backup restored gives exactly its data back, every table.
    DataBackup backup(*t.db);
    const DataBackup::Checked checked = backup.open(made.last());
    backup.restore(checked, folder.path(), kMade.addSecs(100));
    QCOMPARE(dumpLive(*t.db), dumpImages(checked));
}

void tst_DataBackup::namesCarryTheTimeAndNeverReplaceABackup() {
    TestContext t;
    QTemporaryDir folder;
    const QString target = folder.filePath("new/folder");
    const QString first = DataBackup(*t.db).backUp(target, kMade);
    const QString second = DataBackup(*t.db).backUp(target, kMade);
    QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("Kavrel-backup-2026-03-14-093005.kavbak"));
    QCOMPARE(QFileInfo(second).fileName(), QStringLiteral("Kavrel-backup-2026-03-14-093005-2.kavbak"));
    // Nothing else is left in the folder, nor in the data folder's scratch space.
    QCOMPARE(QDir(target).entryList(QDir::Files).size(), 2);
    QCOMPARE(QDir(t.dataDir() + "/temp").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void tst_DataBackup::refusedWithTheDataUntouched_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("text file") << "text"
                               << "is not a Kavrel backup.";
    QTest::newRow("empty file") << "empty"
                                << "is not a Kavrel backup.";
    QTest::newRow("a data file, not a backup") << "datafile"
                                               << "is not a Kavrel backup.";
    QTest::newRow("another program's marker") << "marker"
                                              << "is not a Kavrel backup.";
    QTest::newRow("later version") << "version"
                                   << "was made by a later version of Kavrel";
    QTest::newRow("cut short") << "truncate"
                               << "is damaged and cannot be restored";
    QTest::newRow("bytes overwritten") << "overwrite"
                                       << "is damaged and cannot be restored";
    QTest::newRow("a piece missing") << "piece"
                                     << "is damaged and cannot be restored";
    QTest::newRow("a data file missing") << "image"
                                         << "is damaged and cannot be restored";
}

void tst_DataBackup::refusedWithTheDataUntouched() {
    QFETCH(QString, damage);
    QFETCH(QString, refusal);
    TestContext t;
    addSampleData(*t.db);
    QTemporaryDir folder;
    QString path = DataBackup(*t.db).backUp(folder.path(), kMade);
    QFile file(path);
    if (damage == "text") {
        writeFile(path, "Location Name,City\r\nDepot,Austin\r\n");
    } else if (damage == "empty") {
        writeFile(path, QByteArray());
    } else if (damage == "datafile") {
        QFile::remove(path);
        QVERIFY(QFile::copy(QDir(t.dataDir()).filePath(kMainFileName), path));
    } else if (damage == "marker") {
        runOnFile(path, {"UPDATE KavrelBackup SET Format = 'Other backup'"});
    } else if (damage == "version") {
        runOnFile(path, {"UPDATE KavrelBackup SET Version = 2"});
    } else if (damage == "truncate") {
        QVERIFY(file.resize(file.size() / 2));
    } else if (damage == "overwrite") {
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(file.size() / 2);
        file.write(QByteArray(8192, 'Z'));
        file.close();
    } else if (damage == "piece") {
        runOnFile(path, {"DELETE FROM BackupPieces WHERE Name = 'Inventory.mdb' AND Piece = 0"});
    } else if (damage == "image") {
        runOnFile(path, {"DELETE FROM BackupFiles WHERE Name = 'Kavrel.mdb'"});
    }
    addHoldingRow(*t.db, "H-after");
    const QStringList before = dumpLive(*t.db);

    DataBackup backup(*t.db);
    try {
        backup.open(path);
        QFAIL("the backup was not refused");
    } catch (const DataError& e) {
        QVERIFY2(e.text().contains(refusal), qPrintable(e.text()));
        QVERIFY2(e.text().contains(QDir::toNativeSeparators(path)), qPrintable(e.text()));
    }
    QCOMPARE(dumpLive(*t.db), before);
    QCOMPARE(QDir(t.dataDir() + "/temp").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void tst_DataBackup::restoreFailingPartWayLeavesTheDataAsItWas() {
    TestContext t;
    addSampleData(*t.db);
    DatabaseOptions quick;
    quick.busyTimeoutMs = 200;
    Database db(t.dataDir(), quick);
    QTemporaryDir folder;
    const QString path = DataBackup(db).backUp(folder.path(), kMade);
    Fixtures::addLocation(db, "Added after the backup");
    addHoldingRow(db, "H-after");
    const QStringList before = dumpLive(db);

    DataBackup backup(db);
    const DataBackup::Checked checked = backup.open(path);
    {
        // Another copy reading the holding file keeps it from being replaced, after the main file already was.
        LockHolder reader(QDir(t.dataDir()).filePath(kHoldingFileName), "read");
        QVERIFY(reader.held());
        QVERIFY_THROWS_EXCEPTION(DataError, backup.restore(checked, folder.path(), kMade.addSecs(60)));
    }
    QCOMPARE(dumpLive(db), before);
    // Nothing is stuck: the same restore succeeds once the reader has gone.
    backup.restore(checked, folder.path(), kMade.addSecs(120));
    QCOMPARE(dumpLive(db), dumpImages(checked));
}

void tst_DataBackup::restoreKilledAtEachStep_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("notice"); // what the next start says; empty: nothing
    QTest::addColumn<bool>("restored");
    QTest::newRow("data replaced was saved") << 1 << "" << false;
    QTest::newRow("restore noted") << 2 << "It has been undone" << false;
    QTest::newRow("main file rewritten") << 3 << "It has been undone" << false;
    QTest::newRow("holding file rewritten, not committed") << 4 << "It has been undone" << false;
    QTest::newRow("committed") << 5 << "The restore had gone through" << true;
    QTest::newRow("note removed") << 6 << "" << true;
    QTest::newRow("no kill") << 7 << "" << true;
}

void tst_DataBackup::restoreKilledAtEachStep() {
    QFETCH(int, step);
    QFETCH(QString, notice);
    QFETCH(bool, restored);
    RestoreTrial trial;
    QProcess helper;
    trial.start(helper, step);
    helper.write("\n");
    helper.closeWriteChannel();
    QVERIFY(helper.waitForFinished(120000));
    QCOMPARE(helper.exitStatus() == QProcess::CrashExit, step < 7);
    QString said;
    bool backupData = false;
    trial.checkNextStart(said, backupData);
    QCOMPARE(backupData, restored);
    QVERIFY2(notice.isEmpty() ? said.isEmpty() : said.contains(notice), qPrintable(said));
    if (!notice.isEmpty())
        QVERIFY(said.contains("the backup made on 2026-03-14 09:30:05"));
}

// Killed at a random moment of the whole restore, or of its part after the note is written, where the files change.
void tst_DataBackup::restoreKilledAtRandomMoments() {
    const auto waitForLine = [](QProcess& helper, const QByteArray& line) {
        while (helper.canReadLine() || helper.waitForReadyRead(60000))
            if (helper.readLine().trimmed() == line)
                return true;
        return false;
    };
    qint64 whole = 0;
    qint64 replacing = 0;
    {
        RestoreTrial trial;
        QProcess helper;
        trial.start(helper, 0);
        QElapsedTimer timer;
        timer.start();
        helper.write("\n");
        QVERIFY(waitForLine(helper, "step 2"));
        const qint64 noted = timer.elapsed();
        QVERIFY(helper.waitForFinished(120000));
        whole = timer.elapsed();
        replacing = whole - noted;
        QCOMPARE(helper.exitCode(), 0);
    }
    for (int i = 0; i < 12; ++i) {
        RestoreTrial trial;
        QProcess helper;
        trial.start(helper, 0);
        const bool late = i % 2 == 1;
        const int after = QRandomGenerator::global()->bounded(int(late ? replacing : whole) + 1);
        helper.write("\n");
        if (late)
            QVERIFY(waitForLine(helper, "step 2"));
        QThread::msleep(after);
        helper.kill();
        QVERIFY(helper.waitForFinished(60000));
        QString said;
        bool backupData = false;
        trial.checkNextStart(said, backupData);
        if (QTest::currentTestFailed()) {
            qWarning() << "killed" << after << "ms into" << (late ? "the replacement" : "a restore") << "of" << whole
                       << "ms";
            return;
        }
    }
}

void tst_DataBackup::leftoversOfStoppedCopiesAreRemoved() {
    TestContext t;
    if (t.db->engine() != Engine::SQLite)
        QSKIP("files of the data folder");
    QTemporaryDir elsewhere;
    const QDir temp(t.dataDir() + "/temp");
    const QDir backups(DataBackup::defaultFolder(t.dataDir()));
    // What a stopped copy leaves: a scratch folder with data in it, a partial backup and its journal.
    const auto leaveBehind = [](const QDir& dir, const QString& name, bool folder) {
        QVERIFY(dir.mkpath("."));
        if (folder) {
            QVERIFY(dir.mkpath(name));
            writeFile(dir.filePath(name + "/Inventory.mdb"), "copy");
        } else {
            writeFile(dir.filePath(name), "copy");
            writeFile(dir.filePath(name + "-journal"), "journal");
        }
    };
    leaveBehind(temp, "backup-stopped", true);
    leaveBehind(backups, "Kavrel-backup-2026-03-14-093000.kavbak.0123.part", false);
    leaveBehind(QDir(elsewhere.path()), "Kavrel-backup-2026-03-14-093000.kavbak.4567.part", false);
    // A copy at work holds its own: it stays.
    leaveBehind(temp, "backup-running", true);
    QLockFile running(temp.filePath("backup-running.lock"));
    QVERIFY(running.tryLock(0));
    const QStringList keep{"backup-running", "backup-running.lock"};

    t.reopen();
    QCOMPARE(temp.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), keep);
    QCOMPARE(backups.entryList(QDir::Files | QDir::Hidden), QStringList());
    // A partial backup elsewhere goes with the next backup into its folder.
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files).size(), 2);
    const QString made = DataBackup(*t.db).backUp(elsewhere.path(), kMade);
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{QFileInfo(made).fileName()});
    QCOMPARE(temp.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), keep);
}

QTEST_MAIN(tst_DataBackup)
#include "tst_databackup.moc"
