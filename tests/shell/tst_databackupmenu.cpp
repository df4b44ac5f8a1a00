#include "data/DataBackup.h"
#include "shell/DataBackupCommands.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_DataBackupMenu : public QObject {
    Q_OBJECT
private slots:
    void backUpIntoTheChosenFolder();
    void restoreAsksFirstAndKeepsTheDataItReplaces();
    void aFileThatIsNoBackupIsRefusedWithoutAQuestion();
    void onAServerBothPointToTheServersTools();
};

void tst_DataBackupMenu::backUpIntoTheChosenFolder() {
    TestContext t;
    if (t.onServer())
        QSKIP("a backup is of the data folder's files");
    // Cancelled: nothing is written, nothing said.
    t.dialogs.chooseFile(QString());
    backUpData(t.ctx, nullptr);
    QCOMPARE(t.dialogs.fileQuestions.size(), 1);
    QCOMPARE(t.dialogs.fileQuestions.first().title, QStringLiteral("Back Up Data"));
    QCOMPARE(t.dialogs.fileQuestions.first().offered, backupFolder(t.ctx));
    QCOMPARE(QDir(backupFolder(t.ctx)).entryList(QDir::Files), QStringList());
    QVERIFY(t.dialogs.messages.isEmpty());

    QTemporaryDir elsewhere;
    t.dialogs.chooseFile(elsewhere.path());
    backUpData(t.ctx, nullptr);
    const QString path = elsewhere.filePath("Kavrel-backup-2026-03-14-093000.kavbak");
    QVERIFY(QFile::exists(path));
    QCOMPARE(t.dialogs.texts(), QStringList{"The data was backed up to " + QDir::toNativeSeparators(path) + "."});
    QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::Information);
}

void tst_DataBackupMenu::restoreAsksFirstAndKeepsTheDataItReplaces() {
    TestContext t;
    if (t.onServer())
        QSKIP("a backup is of the data folder's files");
    Fixtures::addLocation(*t.db, "Depot");
    const QString path = DataBackup(*t.db).backUp(backupFolder(t.ctx), t.clock.current);
    Fixtures::addLocation(*t.db, "Added later");

    // No keeps the data; the question names when the backup was made and defaults to No.
    t.dialogs.chooseFile(path);
    t.dialogs.answer(Dialogs::Answer::No);
    restoreData(t.ctx, nullptr);
    QCOMPARE(t.dialogs.fileQuestions.first().title, QStringLiteral("Restore Data"));
    QCOMPARE(t.dialogs.fileQuestions.first().offered, backupFolder(t.ctx));
    QCOMPARE(t.dialogs.messages.size(), 1);
    QCOMPARE(t.dialogs.messages.first().buttons, Dialogs::Buttons::YesNoDefaultNo);
    QVERIFY2(t.dialogs.messages.first().text.contains("2026-03-14 09:30:00"),
             qPrintable(t.dialogs.messages.first().text));
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo"), 2);
    QCOMPARE(QDir(backupFolder(t.ctx)).entryList(QDir::Files).size(), 1);

    t.dialogs.reset();
    t.clock.current = t.clock.current.addSecs(3600);
    t.dialogs.chooseFile(path);
    t.dialogs.answer(Dialogs::Answer::Yes);
    restoreData(t.ctx, nullptr);
    QVERIFY(t.dialogs.allAnswersUsed());
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo"), 1);
    QCOMPARE(t.dialogs.messages.size(), 2);
    const QString kept = QDir(backupFolder(t.ctx)).filePath("Kavrel-backup-2026-03-14-103000.kavbak");
    QVERIFY2(t.dialogs.messages.last().text.contains(QDir::toNativeSeparators(kept)),
             qPrintable(t.dialogs.messages.last().text));
    QVERIFY(t.dialogs.messages.last().text.contains("close and open them again"));

    // The data replaced can be had back the same way.
    t.dialogs.reset();
    t.dialogs.chooseFile(kept);
    t.dialogs.answer(Dialogs::Answer::Yes);
    restoreData(t.ctx, nullptr);
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo", "LocName = ?", {"Added later"}), 1);
}

void tst_DataBackupMenu::aFileThatIsNoBackupIsRefusedWithoutAQuestion() {
    TestContext t;
    if (t.onServer())
        QSKIP("a backup is of the data folder's files");
    Fixtures::addLocation(*t.db, "Depot");
    QTemporaryDir dir;
    const QString path = dir.filePath("list.kavbak");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Location Name\r\nDepot\r\n");
    file.close();

    t.dialogs.chooseFile(path);
    restoreData(t.ctx, nullptr); // a question here would fail the test: none is scripted
    QCOMPARE(t.dialogs.texts(), QStringList{QDir::toNativeSeparators(path) + " is not a Kavrel backup."});
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo"), 1);
    QCOMPARE(QDir(backupFolder(t.ctx)).entryList(QDir::Files), QStringList());
}

// A server's data is backed up with the server's tools: both commands say so, ask nothing and write nothing.
void tst_DataBackupMenu::onAServerBothPointToTheServersTools() {
    TestContext t;
    if (!t.onServer())
        QSKIP("about data on a server");
    backUpData(t.ctx, nullptr);
    restoreData(t.ctx, nullptr);
    QVERIFY(t.dialogs.fileQuestions.isEmpty());
    QCOMPARE(t.dialogs.messages.size(), 2);
    for (const auto& message : t.dialogs.messages) {
        QVERIFY2(message.text.startsWith("The data is kept on a PostgreSQL server.") &&
                     message.text.contains("pg_dump"),
                 qPrintable(message.text));
        QCOMPARE(message.icon, Dialogs::Icon::Information);
    }
    QVERIFY(!QDir(backupFolder(t.ctx)).exists() || QDir(backupFolder(t.ctx)).isEmpty());
}

QTEST_MAIN(tst_DataBackupMenu)
#include "tst_databackupmenu.moc"
