#include "shell/FrmAbout.h"
#include "support/TestContext.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>

namespace {
const QString kMsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

Registry::Value text(const QByteArray& bytes) {
    return {Registry::Text, bytes};
}

Registry::Value number(qint32 n) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(n, bytes.data());
    return {Registry::Number, bytes};
}
} // namespace

class tst_About : public QObject {
    Q_OBJECT
private slots:
    void captionVersionAndSize();
    void okCloses();
    void systemInfo_data();
    void systemInfo();
    void getKeyValue_data();
    void getKeyValue();
};

void tst_About::captionVersionAndSize() {
    TestContext t;
    FrmAbout w(t.ctx);
    QCOMPARE(w.windowTitle(), QStringLiteral("About Kavrel"));
    QCOMPARE(w.versionLabel()->text(), QStringLiteral("Version %1.%2.%3")
                                           .arg(KAVREL_VERSION_MAJOR)
                                           .arg(KAVREL_VERSION_MINOR)
                                           .arg(KAVREL_VERSION_PATCH));
    QCOMPARE(w.versionLabel()->objectName(), QStringLiteral("lblVersion"));
    QCOMPARE(w.findChild<QLabel*>("lblDescription")->text(),
             QStringLiteral("This application allows employees to enter and maintain inventory information"));
    QCOMPARE(w.findChild<QPushButton*>("cmdSysInfo")->text(), QStringLiteral("&System Info..."));

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size(int(std::lround(5820 * screen->logicalDotsPerInchX() / 1440)),
                     int(std::lround(4035 * screen->logicalDotsPerInchY() / 1440)));
    QCOMPARE(w.minimumSize(), size);
    QCOMPARE(w.maximumSize(), size);
    w.show();
    QCOMPARE(w.size(), size);
}

void tst_About::okCloses() {
    TestContext t;
    FrmAbout w(t.ctx);
    w.show();
    QTest::mouseClick(w.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_About::systemInfo_data() {
    QTest::addColumn<QString>("pathValue"); // the MSINFO PATH value; empty: missing
    QTest::addColumn<bool>("folderValue");  // the Shared Tools Location value names a folder
    QTest::addColumn<bool>("toolInFolder"); // that folder holds MSINFO32.EXE
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<QString>("started"); // "folder" stands for the folder's tool
    QTest::newRow("no values") << "" << false << false << true << "";
    QTest::newRow("path value") << "/usr/bin/hardinfo" << false << false << true << "/usr/bin/hardinfo";
    QTest::newRow("path value wins over folder") << "/usr/bin/hardinfo" << true << true << true << "/usr/bin/hardinfo";
    QTest::newRow("folder with the tool") << "" << true << true << true << "folder";
    QTest::newRow("folder without the tool") << "" << true << false << true << "";
    QTest::newRow("program fails to start") << "/usr/bin/hardinfo" << false << false << false << "/usr/bin/hardinfo";
}

void tst_About::systemInfo() {
    QFETCH(QString, pathValue);
    QFETCH(bool, folderValue);
    QFETCH(bool, toolInFolder);
    QFETCH(bool, startSucceeds);
    QFETCH(QString, started);
    TestContext t;
    QTemporaryDir folder;
    const QString tool = folder.filePath("MSINFO32.EXE");
    if (!pathValue.isEmpty())
        t.registry.set(kMsInfoKey, "PATH", text(pathValue.toUtf8() + '\0'));
    if (folderValue)
        t.registry.set(kLocationKey, "MSINFO", text(folder.path().toUtf8() + '\0'));
    if (toolInFolder) {
        QFile f(tool);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    t.shell.succeed = startSucceeds;

    FrmAbout w(t.ctx);
    w.show();
    QTest::mouseClick(w.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);

    const QStringList expectedStarted =
        started.isEmpty() ? QStringList{} : QStringList{started == "folder" ? tool : started};
    QCOMPARE(t.shell.started, expectedStarted);
    const bool unavailable = started.isEmpty() || !startSucceeds;
    QCOMPARE(t.dialogs.texts(), unavailable ? QStringList{kUnavailable} : QStringList{});
    if (unavailable) {
        QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::None);
        QCOMPARE(t.dialogs.messages.first().buttons, Dialogs::Buttons::Ok);
        QCOMPARE(t.dialogs.messages.first().title, QStringLiteral("Kavrel"));
    }
    QVERIFY(w.isVisible());
}

void tst_About::getKeyValue_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value"); // KeyVal afterwards; it held "stale" before
    QTest::newRow("number 26") << true << int(Registry::Number) << number(26).data << true << "26";
    QTest::newRow("number 0") << true << int(Registry::Number) << number(0).data << true << "0";
    QTest::newRow("number beyond 16 bits") << true << int(Registry::Number) << number(70000).data << true << "70000";
    QTest::newRow("text with final zero") << true << int(Registry::Text) << QByteArray("C:\\Tools\\msinfo32.exe", 22)
                                          << true << "C:\\Tools\\msinfo32.exe";
    QTest::newRow("text without zero") << true << int(Registry::Text) << QByteArray("plain") << true << "plain";
    QTest::newRow("empty text") << true << int(Registry::Text) << QByteArray("\0", 1) << true << "";
    QTest::newRow("unicode text") << true << int(Registry::Text) << QByteArray("Zürich").append('\0') << true
                                  << QString::fromUtf8("Zürich");
    QTest::newRow("other type leaves it unchanged") << true << 3 << QByteArray("\x01\x02", 2) << true << "stale";
    QTest::newRow("missing") << false << 0 << QByteArray() << false << "";
}

void tst_About::getKeyValue() {
    QFETCH(bool, present);
    QFETCH(int, type);
    QFETCH(QByteArray, data);
    QFETCH(bool, found);
    QFETCH(QString, value);
    TestContext t;
    if (present)
        t.registry.set("SOFTWARE\\Kavrel", "Value", {type, data});
    FrmAbout w(t.ctx);
    QString keyVal = QStringLiteral("stale");
    QCOMPARE(w.GetKeyValue(Registry::Root::LocalMachine, "SOFTWARE\\Kavrel", "Value", keyVal), found);
    QCOMPARE(keyVal, value);
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
