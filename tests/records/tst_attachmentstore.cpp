#include "data/Database.h"
#include "records/store/AttachmentStore.h"
#include "support/OtherConnection.h"
#include "support/TestContext.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

namespace {

constexpr qint64 kFirst = 70000; // owner ids beyond 16 bits
constexpr qint64 kSecond = 70001;

// The user's own files, outside the data folder.
class UserFiles {
public:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

QByteArray everyByte(int repeat) {
    QByteArray bytes;
    for (int r = 0; r < repeat; ++r)
        for (int b = 0; b < 256; ++b)
            bytes.append(static_cast<char>(b ^ (r & 0xff)));
    return bytes;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

// Cells of a list as "id version name" lines, for comparing whole lists at once.
QStringList versionLines(const std::vector<ListRow>& rows) {
    QStringList lines;
    for (const ListRow& r : rows)
        lines << QStringLiteral("%1 v%2 %3").arg(r.cells.at(0), r.cells.at(3), r.cells.at(2));
    return lines;
}

QString line(const AttachmentStore::Added& a, const QString& name) {
    return QStringLiteral("%1 v%2 %3").arg(a.id).arg(a.version).arg(name);
}

// Every file under dir, relative to it.
QStringList filesUnder(const QString& dir) {
    QStringList found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(dir).relativeFilePath(it.next());
    found.sort();
    return found;
}

qint64 addRaw(Database& db, RecordOwner owner, qint64 ownerId, const QString& name, qint64 version,
              const QByteArray& bytes = QByteArray("x")) {
    const RecordTables& t = recordTables(owner);
    Query q(db, QStringLiteral("INSERT INTO %1 (%2, AttachmentsName, AttachmentVersion, Attachments) "
                               "VALUES (?, ?, ?, ?)")
                    .arg(t.attachments, t.attachmentsOwner));
    q.exec({ownerId, name, version, bytes});
    return q.lastInsertId().toLongLong();
}

void ownerRows() {
    QTest::addColumn<RecordOwner>("owner");
    QTest::newRow("location") << RecordOwner::Location;
    QTest::newRow("equipment") << RecordOwner::Equipment;
}

} // namespace

class tst_AttachmentStore : public QObject {
    Q_OBJECT
private slots:
    void versionsOfOneName_data() { ownerRows(); }
    void versionsOfOneName();
    void versionsBeyond16And32Bits_data();
    void versionsBeyond16And32Bits();
    void namesWithQuotesAndAnyScript_data();
    void namesWithQuotesAndAnyScript();
    void bytesRoundTrip_data();
    void bytesRoundTrip();
    void storedNameStaysInTheFolder_data();
    void storedNameStaysInTheFolder();
    void copyReplacesAnEarlierOneOnlyWhole();
    void failuresSayWhat();
    void stoppedUploadWritesNothing();
    void uploadWaitsForAnotherCopysLock();
    void concurrentUploadsOfOneName();
};

void tst_AttachmentStore::versionsOfOneName() {
    QFETCH(RecordOwner, owner);
    TestContext t;
    UserFiles files;
    AttachmentStore store(*t.db, owner);
    const QString plan = files.write("plan.pdf", "plan");

    // One chain per name across the table: the second owner's first upload continues the first owner's.
    const auto a1 = store.add(kFirst, plan);
    const auto b2 = store.add(kSecond, plan);
    QCOMPARE(a1->version, 1);
    QCOMPARE(b2->version, 2);
    QCOMPARE(versionLines(store.allVersions(kSecond)), QStringList{line(*b2, "plan.pdf")});

    const QString memo = files.write("memo.doc", "memo");
    const auto m1 = store.add(kSecond, memo);
    const auto m2 = store.add(kSecond, memo);
    const auto m3 = store.add(kSecond, memo);
    const auto alpha = store.add(kSecond, files.write("alpha.txt", "a"));
    QCOMPARE(m3->version, 3);
    // All versions: names ascending, newest version first within a name.
    QCOMPARE(versionLines(store.allVersions(kSecond)),
             (QStringList{line(*alpha, "alpha.txt"), line(*m3, "memo.doc"), line(*m2, "memo.doc"),
                          line(*m1, "memo.doc"), line(*b2, "plan.pdf")}));
    // Newest only: names descending, each with its newest upload's id and version.
    QCOMPARE(versionLines(store.newestVersions(kSecond)),
             (QStringList{line(*b2, "plan.pdf"), line(*m3, "memo.doc"), line(*alpha, "alpha.txt")}));

    // Deleting the newest shows the one before it as the newest, and the next upload gets the freed number.
    QVERIFY(store.remove(m3->id));
    QVERIFY(!store.remove(m3->id));
    QCOMPARE(versionLines(store.newestVersions(kSecond)).at(1), line(*m2, "memo.doc"));
    QCOMPARE(store.add(kSecond, memo)->version, 3);
    QCOMPARE(store.allVersions(kFirst).size(), size_t(1));
    QCOMPARE(store.newestVersions(kFirst).size(), size_t(1));
}

void tst_AttachmentStore::versionsBeyond16And32Bits_data() {
    QTest::addColumn<qint64>("highest");
    QTest::newRow("16-bit signed limit") << qint64(32767);
    QTest::newRow("16-bit unsigned limit") << qint64(65535);
    QTest::newRow("32-bit limit") << qint64(4294967295LL);
}

void tst_AttachmentStore::versionsBeyond16And32Bits() {
    QFETCH(qint64, highest);
    TestContext t;
    UserFiles files;
    addRaw(*t.db, RecordOwner::Equipment, kFirst, "plan.pdf", highest);
    AttachmentStore store(*t.db, RecordOwner::Equipment);
    const auto added = store.add(kFirst, files.write("plan.pdf", "p"));
    QCOMPARE(added->version, highest + 1);
    QCOMPARE(store.allVersions(kFirst).front().cells.at(3), QString::number(highest + 1));
}

void tst_AttachmentStore::namesWithQuotesAndAnyScript_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("apostrophes") << QStringLiteral("O'Brien's plan.pdf");
    QTest::newRow("statement text") << QStringLiteral("x' OR '1'='1; DROP TABLE LocationAttachments; --.txt");
    QTest::newRow("any script") << QStringLiteral("Ünïcødé – 文件 Ωμέγα 😀.txt");
}

void tst_AttachmentStore::namesWithQuotesAndAnyScript() {
    QFETCH(QString, name);
    TestContext t;
    UserFiles files;
    AttachmentStore store(*t.db, RecordOwner::Location);
    const QString path = files.write(name, name.toUtf8());
    QCOMPARE(store.add(kFirst, path)->version, 1);
    const auto second = store.add(kFirst, path);
    QCOMPARE(second->version, 2);
    QCOMPARE(store.newestVersions(kFirst).front().cells.at(2), name);
    const AttachmentStore::Copy copy = store.writeCopy(second->id);
    QCOMPARE(QFileInfo(copy.path).fileName(), name);
    QCOMPARE(readFile(copy.path), name.toUtf8());
}

void tst_AttachmentStore::bytesRoundTrip_data() {
    QTest::addColumn<RecordOwner>("owner");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("location, empty") << RecordOwner::Location << QByteArray();
    QTest::newRow("equipment, empty") << RecordOwner::Equipment << QByteArray();
    QTest::newRow("NUL and high bytes") << RecordOwner::Location << QByteArray("\0\xff\r\n\x1a\0", 6);
    QTest::newRow("every byte value, 2.5 MB") << RecordOwner::Equipment << everyByte(10000);
}

void tst_AttachmentStore::bytesRoundTrip() {
    QFETCH(RecordOwner, owner);
    QFETCH(QByteArray, bytes);
    TestContext t;
    UserFiles files;
    AttachmentStore store(*t.db, owner);
    const auto added = store.add(kFirst, files.write("scan.bin", bytes));
    QVERIFY(added);
    const QVariant stored = Query(*t.db, QStringLiteral("SELECT length(Attachments) FROM %1 WHERE AttachmentsId = ?")
                                             .arg(recordTables(owner).attachments))
                                .scalar({added->id});
    QVERIFY(!stored.isNull());
    QCOMPARE(stored.toLongLong(), bytes.size());

    // The view folder did not exist: both its levels are made.
    const AttachmentStore::Copy copy = store.writeCopy(added->id);
    QCOMPARE(copy.outcome, AttachmentStore::Copy::Outcome::Written);
    QCOMPARE(QFileInfo(copy.path).absolutePath(), QDir(store.viewFolder()).absolutePath());
    QVERIFY(store.viewFolder().startsWith(t.dataDir()));
    QCOMPARE(readFile(copy.path), bytes);
    QCOMPARE(filesUnder(store.viewFolder()), QStringList{"scan.bin"});
}

void tst_AttachmentStore::storedNameStaysInTheFolder_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("plain");
    QTest::newRow("parent") << "../escape.txt"
                            << "escape.txt";
    QTest::newRow("far up") << "../../../../../../tmp/escape.txt"
                            << "escape.txt";
    QTest::newRow("backslashes") << "..\\..\\escape.txt"
                                 << "escape.txt";
    QTest::newRow("absolute") << "/etc/passwd"
                              << "passwd";
    QTest::newRow("drive") << "C:\\Windows\\win.ini"
                           << "win.ini";
    QTest::newRow("folder only") << "sub/dir/"
                                 << "dir";
    QTest::newRow("dot dot") << ".."
                             << "attachment";
    QTest::newRow("empty") << ""
                           << "attachment";
    QTest::newRow("trailing dots") << "a. ."
                                   << "a";
    QTest::newRow("device name") << "con.txt"
                                 << "_con.txt";
    QTest::newRow("control and reserved") << "a\nb:c?.txt"
                                          << "a_b_c_.txt";
}

void tst_AttachmentStore::storedNameStaysInTheFolder() {
    QFETCH(QString, stored);
    QFETCH(QString, plain);
    QCOMPARE(AttachmentStore::plainFileName(stored), plain);

    TestContext t;
    const QStringList before = filesUnder(t.dataDir());
    const qint64 id = addRaw(*t.db, RecordOwner::Location, kFirst, stored, 1, "crafted");
    AttachmentStore store(*t.db, RecordOwner::Location);
    const AttachmentStore::Copy copy = store.writeCopy(id);
    QCOMPARE(copy.path, QDir(store.viewFolder()).filePath(plain));
    QCOMPARE(readFile(copy.path), QByteArray("crafted"));
    QStringList expected = before;
    expected << QStringLiteral("temp/Location/") + plain;
    expected.sort();
    QCOMPARE(filesUnder(t.dataDir()), expected);
    QVERIFY(!QFile::exists(QDir(t.dataDir()).filePath("../escape.txt")));
}

void tst_AttachmentStore::copyReplacesAnEarlierOneOnlyWhole() {
    TestContext t;
    AttachmentStore store(*t.db, RecordOwner::Equipment);
    const qint64 small = addRaw(*t.db, RecordOwner::Equipment, kFirst, "report.pdf", 1, "first");
    const QByteArray large = everyByte(12000); // three pieces
    const qint64 big = addRaw(*t.db, RecordOwner::Equipment, kFirst, "report.pdf", 2, large);
    const QString path = store.writeCopy(small).path;

    int calls = 0;
    const auto stopped = store.writeCopy(big, [&](qint64, qint64) { return ++calls < 2; });
    QCOMPARE(stopped.outcome, AttachmentStore::Copy::Outcome::Stopped);
    QCOMPARE(readFile(path), QByteArray("first"));
    QCOMPARE(filesUnder(store.viewFolder()), QStringList{"report.pdf"}); // no partial copy left

    QCOMPARE(store.writeCopy(big).path, path);
    QCOMPARE(readFile(path), large);
    QCOMPARE(store.writeCopy(999999).outcome, AttachmentStore::Copy::Outcome::Gone);
}

void tst_AttachmentStore::failuresSayWhat() {
    TestContext t;
    UserFiles files;
    AttachmentStore store(*t.db, RecordOwner::Location);
    const auto failure = [](const std::function<void()>& fn) -> QString {
        try {
            fn();
        } catch (const std::runtime_error& e) {
            return QString::fromUtf8(e.what());
        }
        return QStringLiteral("<no failure>");
    };
    QVERIFY(failure([&] { store.add(kFirst, files.folder()); }).startsWith("Kavrel could not read the file"));
    QVERIFY(failure([&] { store.add(kFirst, files.path("gone.pdf")); }).contains("gone.pdf"));
    QCOMPARE(Query(*t.db, "SELECT COUNT(*) FROM LocationAttachments").scalar().toInt(), 0);

    // The copy's name is taken by a folder that holds something: the copy fails, and no partial file stays.
    const qint64 id = addRaw(*t.db, RecordOwner::Location, kFirst, "taken", 1);
    QVERIFY(QDir().mkpath(QDir(store.viewFolder()).filePath("taken/inside")));
    QVERIFY(failure([&] { store.writeCopy(id); }).startsWith("Kavrel could not write the copy"));
    QCOMPARE(filesUnder(store.viewFolder()), QStringList());

    // The view folder cannot be made: a file stands where it would go.
    TestContext other;
    AttachmentStore blocked(*other.db, RecordOwner::Equipment);
    QFile block(blocked.viewFolder());
    QVERIFY(block.open(QIODevice::WriteOnly));
    block.close();
    const qint64 otherId = addRaw(*other.db, RecordOwner::Equipment, kFirst, "a.txt", 1);
    QVERIFY(failure([&] { blocked.writeCopy(otherId); }).contains("could not create the folder"));
}

void tst_AttachmentStore::stoppedUploadWritesNothing() {
    TestContext t;
    UserFiles files;
    AttachmentStore store(*t.db, RecordOwner::Equipment);
    const QString path = files.write("big.bin", everyByte(12000));
    QList<qint64> seen;
    const auto added = store.add(kFirst, path, [&](qint64 done, qint64 total) {
        seen << done;
        return done < total / 2;
    });
    QVERIFY(!added);
    QCOMPARE(seen.first(), LargeValue::kPieceBytes);
    QCOMPARE(Query(*t.db, "SELECT COUNT(*) FROM EquipmentAttachments").scalar().toInt(), 0);
    QCOMPARE(store.add(kFirst, path)->version, 1);
}

// Two connections, as two running copies have: one holds the file's write lock and adds a version of the name,
// while the other's upload of that name waits. The waiting upload must read the highest version only after the lock
// is its own, or both rows carry version 1.
void tst_AttachmentStore::uploadWaitsForAnotherCopysLock() {
    TestContext t;
    if (t.onServer())
        QSKIP("holds the lock of the main file; a server has none");
    UserFiles files;
    const QString plan = files.write("plan.pdf", "plan");
    const QString mainFile = QDir(t.dataDir()).filePath(kMainFileName);
    QString workerFailure;
    {
        LockHolder other(mainFile, QStringLiteral("write"));
        QVERIFY(other.held());
        other.exec("INSERT INTO LocationAttachments (LocationId, AttachmentsName, AttachmentVersion, Attachments) "
                   "VALUES (1, 'plan.pdf', 1, x'00')");
        std::thread worker([&] {
            try {
                const auto db = t.openAnother();
                AttachmentStore(*db, RecordOwner::Location).add(kSecond, plan);
            } catch (const std::exception& e) {
                workerFailure = QString::fromUtf8(e.what());
            }
        });
        QTest::qWait(500);
        other.release();
        worker.join();
    }
    QCOMPARE(workerFailure, QString());
    AttachmentStore store(*t.db, RecordOwner::Location);
    QCOMPARE(versionLines(store.allVersions(kSecond)).size(), 1);
    QCOMPARE(store.allVersions(kSecond).front().cells.at(3), QStringLiteral("2"));
}

// Two workstations uploading the same name over and over at once: every version is given once.
void tst_AttachmentStore::concurrentUploadsOfOneName() {
    TestContext t;
    UserFiles files;
    const QString plan = files.write("plan.pdf", "plan");
    AttachmentStore store(*t.db, RecordOwner::Location);
    QString workerFailure;
    constexpr int kEach = 15;
    std::thread worker([&] {
        try {
            const auto db = t.openAnother(QStringLiteral("other"));
            AttachmentStore s(*db, RecordOwner::Location);
            for (int i = 0; i < kEach; ++i)
                s.add(kSecond, plan);
        } catch (const std::exception& e) {
            workerFailure = QString::fromUtf8(e.what());
        }
    });
    for (int i = 0; i < kEach; ++i)
        store.add(kFirst, plan);
    worker.join();
    QCOMPARE(workerFailure, QString());
    Query versions(*t.db, "SELECT AttachmentVersion FROM LocationAttachments ORDER BY AttachmentVersion");
    versions.exec();
    QList<qint64> seen;
    while (versions.next())
        seen << versions.value(0).toLongLong();
    QList<qint64> expected;
    for (int v = 1; v <= 2 * kEach; ++v)
        expected << v;
    QCOMPARE(seen, expected);
}

QTEST_GUILESS_MAIN(tst_AttachmentStore)
#include "tst_attachmentstore.moc"
