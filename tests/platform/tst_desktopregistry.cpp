#include "platform/DesktopRegistry.h"

#include <QTemporaryDir>
#include <QTest>

class tst_DesktopRegistry : public QObject {
    Q_OBJECT
private slots:
    void userValuesLastInTheirFile();
};

void tst_DesktopRegistry::userValuesLastInTheirFile() {
    QTemporaryDir dir;
    const QString file = dir.filePath("user.ini");
    const QString key = QStringLiteral("Software\\Kavrel\\Main Window");
    {
        DesktopRegistry registry(file);
        QVERIFY(!registry.read(Registry::Root::CurrentUser, key, "Placement"));
        QVERIFY(registry.write(Registry::Root::CurrentUser, key, "Placement", {Registry::Text, "1,2,3,4,0"}));
        // The machine's part is not the user's to write.
        QVERIFY(!registry.write(Registry::Root::LocalMachine, key, "Placement", {Registry::Text, "x"}));
    }
    // Another run reads what this one wrote, type and bytes alike.
    const DesktopRegistry next(file);
    const std::optional<Registry::Value> value = next.read(Registry::Root::CurrentUser, key, "Placement");
    QVERIFY(value);
    QCOMPARE(value->type, int(Registry::Text));
    QCOMPARE(value->data, QByteArray("1,2,3,4,0"));
    QVERIFY(!next.read(Registry::Root::LocalMachine, key, "Placement"));
    QVERIFY(!next.read(Registry::Root::CurrentUser, key, "Other"));
}

QTEST_MAIN(tst_DesktopRegistry)
#include "tst_desktopregistry.moc"
