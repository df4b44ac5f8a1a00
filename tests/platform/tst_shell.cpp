#include "platform/Shell.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

// The desktop's answers come from a stand-in for xdg-mime, the only program on the PATH, so nothing on the machine
// is asked or opened.
class tst_Shell : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void programForTheType_data();
    void programForTheType();

private:
    QByteArray m_path;
};

void tst_Shell::initTestCase() {
    m_path = qgetenv("PATH");
}

void tst_Shell::cleanupTestCase() {
    qputenv("PATH", m_path);
}

void tst_Shell::programForTheType_data() {
    QTest::addColumn<QByteArray>("xdgMime"); // the stand-in's script; empty: there is no xdg-mime
    QTest::addColumn<bool>("hasProgram");
    QTest::newRow("no program for any type") << QByteArray("exit 0") << false;
    QTest::newRow("a program for its own type")
        << QByteArray("case \"$3\" in text/plain) ;; *) echo viewer.desktop ;; esac") << true;
    // A C source opens with the plain text editor.
    QTest::newRow("a program for a type it derives from")
        << QByteArray("case \"$3\" in text/plain) echo editor.desktop ;; esac") << true;
    QTest::newRow("xdg-mime fails: left to the desktop") << QByteArray("exit 5") << true;
    QTest::newRow("no xdg-mime: left to the desktop") << QByteArray() << true;
}

void tst_Shell::programForTheType() {
    QFETCH(QByteArray, xdgMime);
    QFETCH(bool, hasProgram);
    QTemporaryDir bin;
    if (!xdgMime.isEmpty()) {
        const QString tool = bin.filePath("xdg-mime");
        QVERIFY(writeFile(tool, "#!/bin/sh\n" + xdgMime + "\n"));
        QVERIFY(QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner));
    }
    qputenv("PATH", QFile::encodeName(bin.path()));
    QTemporaryDir files;
    const QString source = files.filePath("report.c");
    QVERIFY(writeFile(source, "int main(void) { return 0; }\n"));
    QCOMPARE(desktopHasProgramFor(source), hasProgram);
}

QTEST_MAIN(tst_Shell)
#include "tst_shell.moc"
