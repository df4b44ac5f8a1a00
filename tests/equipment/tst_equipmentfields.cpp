#include "equipment/store/HoldingStore.h"
#include "equipment/store/TemplateStore.h"
#include "equipment/ui/EquipmentFields.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

// The entry window covers the fields with every picker; these cover what it cannot reach: the fields with the type
// picker alone, as the detail window has them, and template types the list does not hold.
class tst_EquipmentFields : public QObject {
    Q_OBJECT
private slots:
    void typePickerAlone();
    void fillFromTemplate_data();
    void fillFromTemplate();
};

void tst_EquipmentFields::typePickerAlone() {
    QWidget window;
    EquipmentFields f(&window, EquipmentFields::Pickers::Type);
    QVERIFY(!window.findChild<QListWidget*>("List2"));
    QVERIFY(!window.findChild<QListWidget*>("List3"));
    f.types->addItems({"Desktop", "Laptop"});
    f.pickFirst();
    for (QLineEdit* box : f.boxes())
        box->setText(box->objectName().mid(3));
    const QDate purchased(2024, 2, 29);
    HoldingEntry e = f.entry(purchased);
    QCOMPARE(e.equipmentType, QStringLiteral("Desktop"));
    QCOMPARE(e.datePurchased, purchased);
    QCOMPARE((QStringList{e.manufacturer, e.modelNumber, e.serialNumber, e.assetTagNumber, e.purchasePrice, e.cpuSpeed,
                          e.memory, e.hardDriveCapacity, e.monitor, e.mouse, e.keyboard, e.operatingSystem}),
             (QStringList{"Manufacturer", "ModelNumber", "SerialNumber", "AssetTagNumber", "PurchasePrice", "CpuSpeed",
                          "Memory", "HardDriveCapacity", "Monitor", "Mouse", "Keyboard", "OperatingSystem"}));
    QCOMPARE(e.currentLocation, 0);
    QVERIFY(e.locationName.isEmpty());
    // The current row without a selection is no type picked.
    f.types->clearSelection();
    QVERIFY(f.entry(purchased).equipmentType.isEmpty());
    QVERIFY(f.templateValues().description.isEmpty());
}

void tst_EquipmentFields::fillFromTemplate_data() {
    QTest::addColumn<QVariant>("description");
    QTest::addColumn<QString>("picked");
    QTest::newRow("listed type") << QVariant("Laptop") << "Laptop";
    QTest::newRow("type not listed keeps the pick") << QVariant("Tablet") << "Desktop";
    QTest::newRow("no type keeps the pick") << QVariant() << "Desktop";
}

void tst_EquipmentFields::fillFromTemplate() {
    QFETCH(QVariant, description);
    QWidget window;
    EquipmentFields f(&window, EquipmentFields::Pickers::TypeLocationTemplate);
    f.types->addItems({"Desktop", "Laptop"});
    f.pickFirst();
    for (QLineEdit* box : f.boxes())
        box->setText("typed");
    StoredTemplate stored;
    if (!description.isNull())
        stored.description = description.toString();
    stored.manufacturer = QStringLiteral("Dell");
    f.fillFromTemplate(stored); // cpu left Null
    QTEST(f.types->currentItem()->text(), "picked");
    QCOMPARE(f.manufacturer->text(), QStringLiteral("Dell"));
    QCOMPARE(f.cpuSpeed->text(), QString());
    QCOMPARE(f.serialNumber->text(), QStringLiteral("typed"));
}

QTEST_MAIN(tst_EquipmentFields)
#include "tst_equipmentfields.moc"
