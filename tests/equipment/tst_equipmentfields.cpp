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
    void showUnitEmptiesWhatIsNull_data();
    void showUnitEmptiesWhatIsNull();
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
    UnitValues e = f.entry(purchased);
    using enum UnitField;
    QCOMPARE(e[EquipmentType], QStringLiteral("Desktop"));
    QCOMPARE(e[DatePurchased], QStringLiteral("2024-02-29"));
    QCOMPARE(
        (QStringList{e[Manufacturer], e[ModelNumber], e[SerialNumber], e[AssetTagNumber], e[PurchasePrice], e[CpuSpeed],
                     e[Memory], e[HardDriveCapacity], e[Monitor], e[Mouse], e[Keyboard], e[OperatingSystem]}),
        (QStringList{"Manufacturer", "ModelNumber", "SerialNumber", "AssetTagNumber", "PurchasePrice", "CpuSpeed",
                     "Memory", "HardDriveCapacity", "Monitor", "Mouse", "Keyboard", "OperatingSystem"}));
    QCOMPARE(e.currentLocation, 0);
    QVERIFY(e.locationName.isEmpty());
    // The current row without a selection is no type picked.
    f.types->clearSelection();
    QVERIFY(f.entry(purchased)[EquipmentType].isEmpty());
    QVERIFY(f.templateValues()[EquipmentType].isEmpty());
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
    UnitRecord stored;
    if (!description.isNull())
        stored[UnitField::EquipmentType] = description.toString();
    stored[UnitField::Manufacturer] = QStringLiteral("Dell");
    f.fillFromTemplate(stored); // cpu left Null
    QTEST(f.types->currentItem()->text(), "picked");
    QCOMPARE(f.box(UnitField::Manufacturer)->text(), QStringLiteral("Dell"));
    QCOMPARE(f.box(UnitField::CpuSpeed)->text(), QString());
    QCOMPARE(f.box(UnitField::SerialNumber)->text(), QStringLiteral("typed"));
}

// A unit shown after one with every value: a box its value left as it was would show what the unit does not have.
void tst_EquipmentFields::showUnitEmptiesWhatIsNull_data() {
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QVariant>("text"); // every other value
    QTest::addColumn<QString>("shown"); // in every box
    QTest::newRow("every value Null") << QVariant() << QVariant() << "";
    QTest::newRow("empty text") << QVariant("") << QVariant("") << "";
    QTest::newRow("type not listed") << QVariant("Tablet") << QVariant() << "";
    QTest::newRow("placeholder as a blank") << QVariant() << QVariant("&nbsp;") << " ";
}

void tst_EquipmentFields::showUnitEmptiesWhatIsNull() {
    QFETCH(QVariant, type);
    QFETCH(QVariant, text);
    QFETCH(QString, shown);
    QWidget window;
    EquipmentFields f(&window, EquipmentFields::Pickers::Type);
    f.types->addItems({"Desktop", "Laptop"});
    UnitRecord full;
    for (const UnitFieldInfo& field : kUnitFields)
        full[field.field] = QStringLiteral("was here");
    full[UnitField::EquipmentType] = QStringLiteral("Laptop");
    full[UnitField::DatePurchased] = QStringLiteral("2024-02-29");
    f.showUnit(full);
    QCOMPARE(f.types->currentItem()->text(), QStringLiteral("Laptop"));
    QVERIFY(!f.box(UnitField::DatePurchased)->text().isEmpty());

    UnitRecord next;
    for (const UnitFieldInfo& field : kUnitFields)
        if (!text.isNull())
            next[field.field] = text.toString();
    next[UnitField::EquipmentType] = type.isNull() ? std::nullopt : std::optional(type.toString());
    next[UnitField::DatePurchased] = text.isNull() ? std::nullopt : std::optional(QStringLiteral("not a date"));
    f.showUnit(next);
    QCOMPARE(f.types->currentRow(), -1);
    QCOMPARE(f.box(UnitField::DatePurchased)->text(), QString());
    for (const UnitFieldInfo& field : kUnitFields)
        if (field.box && field.field != UnitField::DatePurchased)
            QCOMPARE(f.box(field.field)->text(), shown);
}

QTEST_MAIN(tst_EquipmentFields)
#include "tst_equipmentfields.moc"
