#include "platform/Shell.h"

#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

namespace {
bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

// The desktop's answers come from stand-ins for xdg-mime and xdg-open placed first on the PATH, so the test opens
// nothing on the machine and sees what was asked.
class tst_Shell : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void fileOfATypeNoProgramTakesIsNotOpened();

private:
    void writeTool(const QString& name, const QByteArray& body);
    QStringList logLines(const QString& name) const;

    QTemporaryDir m_bin;
    QByteArray m_path;
};

void tst_Shell::initTestCase() {
    QVERIFY(m_bin.isValid());
    m_path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_bin.path()) + ':' + m_path);
}

void tst_Shell::cleanupTestCase() {
    qputenv("PATH", m_path);
}

void tst_Shell::writeTool(const QString& name, const QByteArray& body) {
    const QString path = m_bin.filePath(name);
    QVERIFY(writeFile(path, "#!/bin/sh\necho \"$@\" >> \"" + QFile::encodeName(path + ".log") + "\"\n" + body));
    QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner));
}

QStringList tst_Shell::logLines(const QString& name) const {
    QFile log(m_bin.filePath(name + ".log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void tst_Shell::fileOfATypeNoProgramTakesIsNotOpened() {
    writeTool("xdg-mime", "exit 0\n"); // no default program for any type
    writeTool("xdg-open", "exit 0\n"); // would start and report success
    QTemporaryDir files;
    const QString source = files.filePath("report.c");
    QVERIFY(writeFile(source, "int main(void) { return 0; }\n"));

    QVERIFY(!DesktopShell().openFile(source));
    QCOMPARE(logLines("xdg-open"), QStringList());
    // The types it derives from were asked too: a program for plain text would have opened it.
    const QStringList asked = logLines("xdg-mime");
    const QString type = QMimeDatabase().mimeTypeForFile(source).name();
    QVERIFY2(asked.value(0) == "query default " + type && asked.contains("query default text/plain"),
             qPrintable(asked.join(" | ")));
}

QTEST_MAIN(tst_Shell)
#include "tst_shell.moc"
