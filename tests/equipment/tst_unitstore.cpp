#include "data/Database.h"
#include "equipment/store/UnitStore.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"

#include <QTest>

using namespace Fixtures;
using namespace UnitFixtures;

namespace {

constexpr qint64 kDepot = 70000;
constexpr qint64 kStore = 70001;
constexpr qint64 kUnit = 80000;

// The date as its stored text; a null one is no date.
UnitValues everyText(const QString& text, const QString& date) {
    UnitValues v;
    v[UnitField::EquipmentType] = text;
    for (QString* field : {&v[UnitField::AssetTagNumber], &v[UnitField::Manufacturer], &v[UnitField::PurchasePrice],
                           &v[UnitField::SerialNumber], &v[UnitField::ModelNumber], &v[UnitField::CpuSpeed],
                           &v[UnitField::Memory], &v[UnitField::HardDriveCapacity], &v[UnitField::Monitor],
                           &v[UnitField::Mouse], &v[UnitField::Keyboard], &v[UnitField::OperatingSystem]})
        *field = text;
    v[UnitField::DatePurchased] = date;
    return v;
}

QList<std::optional<QString>> texts(const UnitRecord& r) {
    return {r[UnitField::EquipmentType],  r[UnitField::AssetTagNumber], r[UnitField::Manufacturer],
            r[UnitField::PurchasePrice],  r[UnitField::SerialNumber],   r[UnitField::ModelNumber],
            r[UnitField::CpuSpeed],       r[UnitField::Memory],         r[UnitField::HardDriveCapacity],
            r[UnitField::Monitor],        r[UnitField::Mouse],          r[UnitField::Keyboard],
            r[UnitField::OperatingSystem]};
}

struct Inventory {
    explicit Inventory(Database& db) : db(db) {
        addLocationWithId(db, kDepot, "Depot");
        addLocationWithId(db, kStore, "Store");
        addUnitWithId(db, kUnit, kDepot, "SN-1");
    }
    int historyRows() { return count(db, "EquipLocAssign"); }
    Database& db;
};

} // namespace

class tst_UnitStore : public QObject {
    Q_OBJECT
private slots:
    void readsEveryColumnNullKeptApart();
    void saveStoresValuesAsTyped_data();
    void saveStoresValuesAsTyped();
    void saveTypeNoneKeepsStoredType_data();
    void saveTypeNoneKeepsStoredType();
    void saveRefusesInvalidDateWritingNothing();
    void unitDeletedMeanwhileChangesNothing();
    void reassignToPresentLocationAddsSecondRow();
    void historyKeepsRetiredLocations();
    void reassignRefusesUnavailableLocation_data();
    void reassignRefusesUnavailableLocation();
};

void tst_UnitStore::readsEveryColumnNullKeptApart() {
    TestContext t;
    Inventory inv(*t.db);
    Query(*t.db, "UPDATE EquipmentInfo SET Manufacturer = '', DatePurchased = '2023-11-30', OtherIdentificationNumber "
                 "= 'ON-1', OtherIdentificationType = 'Barcode', Monitor = '&nbsp;' WHERE EquipmentId = ?")
        .exec({kUnit});
    const auto unit = UnitStore(*t.db).unit(kUnit);
    QVERIFY(unit);
    QCOMPARE(unit->id, kUnit);
    QCOMPARE((*unit)[UnitField::SerialNumber], QString("SN-1"));
    QCOMPARE((*unit)[UnitField::EquipmentType], QString("Desktop"));
    QCOMPARE((*unit)[UnitField::Manufacturer], QString("")); // empty text, not Null
    QCOMPARE((*unit)[UnitField::ModelNumber], std::nullopt);
    QCOMPARE((*unit)[UnitField::Monitor], QString("&nbsp;")); // raw: the window applies its own display rule
    QCOMPARE(unit->datePurchased(), QDate(2023, 11, 30));
    QCOMPARE((*unit)[UnitField::OtherIdentificationNumber], QString("ON-1"));
    QCOMPARE((*unit)[UnitField::OtherIdentificationType], QString("Barcode"));
    QVERIFY(unit->active);
    QCOMPARE(unit->currentLocation, kDepot);
    QCOMPARE(unit->locationName, QString("Depot"));

    // A unit whose location no longer exists still loads, without a location name.
    addUnitWithId(*t.db, kUnit + 1, 99999, "SN-2", QVariant());
    const auto orphan = UnitStore(*t.db).unit(kUnit + 1);
    QVERIFY(orphan);
    QCOMPARE(orphan->currentLocation, 99999);
    QCOMPARE(orphan->locationName, std::nullopt);
    QCOMPARE((*orphan)[UnitField::EquipmentType], std::nullopt);
    QCOMPARE(orphan->datePurchased(), std::nullopt);
    QVERIFY(!UnitStore(*t.db).unit(1));
}

void tst_UnitStore::saveStoresValuesAsTyped_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: no date
    QTest::newRow("apostrophes") << "O'Brien's \"lab\"" << QDate(2024, 2, 29);
    QTest::newRow("placeholder written back") << "&nbsp;" << QDate(1999, 12, 31);
    QTest::newRow("unicode") << QString::fromUtf8("Zürich – 東京 ✓") << QDate(2030, 1, 1);
    QTest::newRow("empty, no date") << "" << QDate();
    QTest::newRow("statement text") << "x'); DROP TABLE EquipmentInfo; --" << QDate();
}

void tst_UnitStore::saveStoresValuesAsTyped() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    TestContext t;
    Inventory inv(*t.db);
    UnitStore store(*t.db);
    QVERIFY(store.save(kUnit, everyText(text, date.isValid() ? date.toString(Qt::ISODate) : QString())));

    const auto unit = store.unit(kUnit);
    QVERIFY(unit);
    for (const std::optional<QString>& value : texts(*unit))
        QCOMPARE(value, text);
    QCOMPARE(unit->datePurchased(), date.isValid() ? std::optional(date) : std::nullopt);
    QCOMPARE(count(*t.db, "EquipmentInfo", "DatePurchased IS NULL"), date.isValid() ? 0 : 1);
    // Location, active flag and the other units stay.
    QCOMPARE(unit->currentLocation, kDepot);
    QVERIFY(unit->active);
}

void tst_UnitStore::saveTypeNoneKeepsStoredType_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("given"); // invalid: none
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("type not in the list kept") << QVariant("Gizmo") << QVariant() << QVariant("Gizmo");
    QTest::newRow("Null type kept") << QVariant() << QVariant() << QVariant();
    QTest::newRow("chosen type replaces it") << QVariant("Gizmo") << QVariant("Laptop") << QVariant("Laptop");
}

void tst_UnitStore::saveTypeNoneKeepsStoredType() {
    QFETCH(QVariant, stored);
    QFETCH(QVariant, given);
    QFETCH(QVariant, expected);
    TestContext t;
    addLocationWithId(*t.db, kDepot, "Depot");
    addUnitWithId(*t.db, kUnit, kDepot, "SN-1", stored);
    Query(*t.db, "INSERT INTO EquipmentType (EquipmentType) VALUES ('Laptop')").exec();
    UnitValues values = everyText("v", QString());
    values[UnitField::EquipmentType] = given.isValid() ? given.toString() : QString();
    QVERIFY(UnitStore(*t.db).save(kUnit, values));
    const QVariant type = Query(*t.db, "SELECT EquipmentType FROM EquipmentInfo WHERE EquipmentId = ?").scalar({kUnit});
    QCOMPARE(type.isNull(), expected.isNull());
    QCOMPARE(type.toString(), expected.toString());
}

void tst_UnitStore::saveRefusesInvalidDateWritingNothing() {
    TestContext t;
    Inventory inv(*t.db);
    const QStringList before = inventoryRows(*t.db);
    QVERIFY_THROWS_EXCEPTION(DataError, UnitStore(*t.db).save(kUnit, everyText("changed", "2024-02-30")));
    QCOMPARE(inventoryRows(*t.db), before);
}

void tst_UnitStore::unitDeletedMeanwhileChangesNothing() {
    TestContext t;
    Inventory inv(*t.db);
    UnitStore store(*t.db);
    Query(*t.db, "DELETE FROM EquipmentInfo WHERE EquipmentId = ?").exec({kUnit});
    const QStringList before = inventoryRows(*t.db);
    QVERIFY(!store.save(kUnit, everyText("x", "2024-01-01")));
    QCOMPARE(store.reassign(kUnit, kStore), ReassignResult::UnitGone);
    QCOMPARE(inventoryRows(*t.db), before);
    QCOMPARE(inv.historyRows(), 0);
}

void tst_UnitStore::reassignToPresentLocationAddsSecondRow() {
    TestContext t;
    Inventory inv(*t.db);
    UnitStore store(*t.db);
    QCOMPARE(store.reassign(kUnit, kStore), ReassignResult::Done);
    QCOMPARE(store.reassign(kUnit, kStore), ReassignResult::Done);
    QCOMPARE(store.unit(kUnit)->currentLocation, kStore);
    const auto history = store.history(kUnit);
    QCOMPARE(history.size(), 2u);
    QVERIFY(history[0].id > history[1].id);
    for (const AssignmentRow& row : history) {
        QCOMPARE(row.locId, kStore);
        QCOMPARE(row.locationName, QString("Store"));
        QVERIFY(row.date && row.date->isValid()); // the database's default fills it
    }
}

void tst_UnitStore::historyKeepsRetiredLocations() {
    TestContext t;
    Inventory inv(*t.db);
    UnitStore store(*t.db);
    const qint64 gone = addLocationWithId(*t.db, 90000, "Gone");
    QCOMPARE(store.reassign(kUnit, gone), ReassignResult::Done);
    QCOMPARE(store.reassign(kUnit, kStore), ReassignResult::Done);
    QCOMPARE(store.reassign(kUnit, kDepot), ReassignResult::Done);
    Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({kStore});
    Query(*t.db, "DELETE FROM LocationInfo WHERE LocId = ?").exec({gone});
    // Another unit's history is not this one's.
    addUnitWithId(*t.db, kUnit + 1, kDepot, "SN-2");
    QCOMPARE(store.reassign(kUnit + 1, kDepot), ReassignResult::Done);

    QStringList names;
    for (const AssignmentRow& row : store.history(kUnit))
        names << row.locationName.value_or("<none>");
    QCOMPARE(names, (QStringList{"Depot", "Store"}));
}

void tst_UnitStore::reassignRefusesUnavailableLocation_data() {
    QTest::addColumn<bool>("exists");
    QTest::newRow("retired") << true;
    QTest::newRow("missing") << false;
}

void tst_UnitStore::reassignRefusesUnavailableLocation() {
    QFETCH(bool, exists);
    TestContext t;
    Inventory inv(*t.db);
    if (exists)
        addLocationWithId(*t.db, 90000, "Retired", false);
    const QStringList before = inventoryRows(*t.db);
    QCOMPARE(UnitStore(*t.db).reassign(kUnit, 90000), ReassignResult::LocationUnavailable);
    QCOMPARE(inventoryRows(*t.db), before);
}

QTEST_GUILESS_MAIN(tst_UnitStore)
#include "tst_unitstore.moc"
