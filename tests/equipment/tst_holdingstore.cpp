#include "data/Database.h"
#include "equipment/store/ClsDuplicates.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/store/TemplateStore.h"
#include "support/EngineFixtures.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QTest>

using namespace Fixtures;

namespace {
UnitValues unit(const QString& serial, qint64 locId, const QString& model = QStringLiteral("Dell's XPS")) {
    UnitValues e;
    e[UnitField::SerialNumber] = serial;
    e[UnitField::ModelNumber] = model;
    e[UnitField::EquipmentType] = QStringLiteral("Laptop");
    e.setDatePurchased(QDate(2025, 12, 31));
    e.currentLocation = locId;
    e.locationName = QStringLiteral("Depot");
    return e;
}
} // namespace

class tst_HoldingStore : public QObject {
    Q_OBJECT
private slots:
    void holdingRowsOutliveTheConnection();
    void workstationsKeepTheirOwnHoldingRows();
    void commitSortsNewAndKnownSerials_data();
    void commitSortsNewAndKnownSerials();
    void commitCopiesEveryColumn();
    void failedCommitMovesNothing();
    void commitLeavesUnitsOfRetiredLocationsWaiting();
    void countsTheRowsWithoutAType();
    void secondRunAfterFailureParksNothingTwice();
    void largeIdsWork();
    void duplicatesListOnlyKnownLocations();
    void templatesDropApostrophesFromTheNameOnly();
    void typesAddAndRemove();
};

void tst_HoldingStore::holdingRowsOutliveTheConnection() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    const qint64 id = HoldingStore(*t.db).insert(unit("SN-1", loc));
    t.reopen();
    const auto rows = HoldingStore(*t.db).rows();
    QCOMPARE(rows.size(), size_t(1));
    QCOMPARE(rows[0].tag.toLongLong(), id);
    QCOMPARE(rows[0].cells.value(3), QStringLiteral("Dell's XPS")); // Model #
    QCOMPARE((*HoldingStore(*t.db).row(id))[UnitField::DatePurchased].value_or(QString()),
             QStringLiteral("2025-12-31"));
    HoldingStore(*t.db).remove({id});
    QCOMPARE(HoldingStore(*t.db).count(), 0);
}

// On a server every workstation enters units into one table: each lists, removes, clears and commits its own rows
// only.
void tst_HoldingStore::workstationsKeepTheirOwnHoldingRows() {
    TestContext t;
    if (!t.onServer())
        QSKIP("the holding file belongs to one data folder; only a server is shared by workstations");
    const qint64 loc = addLocation(*t.db, "Depot");
    const auto other = t.openAnother(QStringLiteral("bench-2"));
    HoldingStore mine(*t.db);
    HoldingStore theirs(*other);
    const qint64 a = mine.insert(unit("A", loc));
    const qint64 b = theirs.insert(unit("B", loc));
    theirs.insert(unit("C", loc));
    QCOMPARE(mine.count(), 1);
    QCOMPARE(theirs.count(), 2);
    const auto rows = mine.rows();
    QCOMPARE(rows.size(), size_t(1));
    QCOMPARE(rows[0].tag.toLongLong(), a);
    QVERIFY(!mine.row(b));

    mine.remove({b});
    QCOMPARE(theirs.count(), 2);
    const CommitResult committed = mine.commitToInventory();
    QCOMPARE(committed.committed, 1);
    QCOMPARE(count(*t.db, "EquipmentInfo"), 1);
    QCOMPARE(theirs.count(), 2);
    theirs.insert(unit("D", loc));
    mine.insert(unit("E", loc));
    mine.clear();
    QCOMPARE(theirs.count(), 3);
    QCOMPARE(theirs.commitToInventory().committed, 3);
    QCOMPARE(count(*t.db, "EquipmentInfo"), 4);
}

void tst_HoldingStore::commitSortsNewAndKnownSerials_data() {
    QTest::addColumn<QStringList>("inventory");
    QTest::addColumn<QStringList>("holding");
    QTest::addColumn<int>("committed");
    QTest::addColumn<int>("parked");
    QTest::newRow("empty") << QStringList{} << QStringList{} << 0 << 0;
    QTest::newRow("one new") << QStringList{} << QStringList{"A"} << 1 << 0;
    QTest::newRow("known serial parked") << QStringList{"A"} << QStringList{"A", "B"} << 1 << 1;
    QTest::newRow("same new serial twice") << QStringList{} << QStringList{"N", "N"} << 1 << 1;
    QTest::newRow("case-blind like the database") << QStringList{"abc"} << QStringList{"ABC"} << 0 << 1;
    QTest::newRow("blanks are part of the serial") << QStringList{"A"} << QStringList{"A "} << 1 << 0;
    QTest::newRow("apostrophes") << QStringList{"O'1"} << QStringList{"O'1", "O'2"} << 1 << 1;
}

void tst_HoldingStore::commitSortsNewAndKnownSerials() {
    QFETCH(QStringList, inventory);
    QFETCH(QStringList, holding);
    QFETCH(int, committed);
    QFETCH(int, parked);
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    for (const QString& serial : inventory)
        addEquipment(*t.db, loc, serial);
    HoldingStore store(*t.db);
    for (const QString& serial : holding)
        store.insert(unit(serial, loc));
    int lastProgress = 0;
    const CommitResult result = store.commitToInventory([&](int done, int total) {
        QCOMPARE(total, holding.size());
        lastProgress = done;
    });
    QCOMPARE(result.committed, committed);
    QCOMPARE(result.parked, parked);
    QCOMPARE(lastProgress, holding.size());
    QCOMPARE(count(*t.db, "EquipmentInfo"), inventory.size() + committed);
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), parked);
    QCOMPARE(count(*t.db, "HoldEquipment"), 0);
    QCOMPARE(count(*t.db, "EquipLocAssign"), 0); // a commit writes no history
}

void tst_HoldingStore::commitCopiesEveryColumn() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    UnitValues e = unit("SN-9", loc);
    e[UnitField::AssetTagNumber] = "AT-1";
    e[UnitField::Manufacturer] = "Dell";
    e[UnitField::PurchasePrice] = "1,299.00";
    e[UnitField::CpuSpeed] = "3 GHz";
    e[UnitField::Memory] = "16 GB";
    e[UnitField::HardDriveCapacity] = "1 TB";
    e[UnitField::Monitor] = "24\"";
    e[UnitField::Mouse] = "Optical";
    e[UnitField::Keyboard] = "US";
    e[UnitField::OperatingSystem] = "Linux";
    HoldingStore(*t.db).insert(e);
    HoldingStore(*t.db).commitToInventory();
    Query q(*t.db, "SELECT AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, "
                   "ModelNumber, CPUSpeed, Memory, HarddriveCap, Monitor, Mouse, Keyboard, OperatingSystem, "
                   "CurrentLocation, EquActive FROM EquipmentInfo");
    q.exec();
    QVERIFY(q.next());
    const QVariantList expected = {"AT-1",  "Laptop", "Dell", "2025-12-31", "1,299.00", "SN-9",  "Dell's XPS", "3 GHz",
                                   "16 GB", "1 TB",   "24\"", "Optical",    "US",       "Linux", loc,          1};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(q.value(i).toString(), expected.at(i).toString());
}

void tst_HoldingStore::commitLeavesUnitsOfRetiredLocationsWaiting() {
    TestContext t;
    const qint64 open = addLocation(*t.db, "Open");
    const qint64 closed = addLocation(*t.db, "Closed");
    HoldingStore store(*t.db);
    store.insert(unit("A1", open));
    const qint64 waiting = store.insert(unit("C1", closed));
    store.insert(unit("A2", open));
    // Retired behind the entry window's back, as another window or copy may do.
    Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({closed});
    const CommitResult result = store.commitToInventory();
    QCOMPARE(result.committed, 2);
    QCOMPARE(result.parked, 0);
    QCOMPARE(result.kept, 1);
    QCOMPARE(count(*t.db, "EquipmentInfo", "CurrentLocation = ?", {closed}), 0);
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), 0);
    const auto rows = store.rows();
    QCOMPARE(rows.size(), size_t(1));
    QCOMPARE(rows[0].tag.toLongLong(), waiting);
}

void tst_HoldingStore::countsTheRowsWithoutAType() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    const qint64 retired = addLocation(*t.db, "Gone");
    HoldingStore store(*t.db);
    store.insert(unit("TYPED", loc));
    for (const QVariant& type : {QVariant(), QVariant(QString()), QVariant(QStringLiteral(" &nbsp; "))}) {
        UnitValues e = unit("UNTYPED", loc);
        e[UnitField::EquipmentType] = type.toString();
        const qint64 id = store.insert(e);
        Query(*t.db, QStringLiteral("UPDATE HoldEquipment SET EquipmentType = ? WHERE HoldEquipmentId = ?"))
            .exec({type, id});
    }
    UnitValues away = unit("AWAY", retired);
    away[UnitField::EquipmentType].clear();
    store.insert(away);
    Query(*t.db, QStringLiteral("UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?")).exec({retired});
    QCOMPARE(store.untypedCount(), 3); // the row kept back by its retired location is not entered
}

void tst_HoldingStore::failedCommitMovesNothing() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    HoldingStore store(*t.db);
    for (const char* serial : {"A", "B", "C", "D"})
        store.insert(unit(serial, loc));
    addEquipment(*t.db, loc, "B");
    // The third row's insert fails after two rows were already written.
    EngineFixtures::refuseWrites(*t.db, "EquipmentInfo", "INSERT", "disk I/O error", "NEW.SerialNumber = 'C'");
    QVERIFY_THROWS_EXCEPTION(DataError, store.commitToInventory());
    QCOMPARE(count(*t.db, "HoldEquipment"), 4);
    QCOMPARE(count(*t.db, "EquipmentInfo"), 1);
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), 0);
    // The holding file too is left untouched: a fresh connection sees every row still waiting.
    t.reopen();
    QCOMPARE(HoldingStore(*t.db).count(), 4);
}

void tst_HoldingStore::secondRunAfterFailureParksNothingTwice() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    HoldingStore store(*t.db);
    for (const char* serial : {"A", "B", "C"})
        store.insert(unit(serial, loc));
    EngineFixtures::refuseWrites(*t.db, "EquipmentInfo", "INSERT", "full", "NEW.SerialNumber = 'C'");
    QVERIFY_THROWS_EXCEPTION(DataError, store.commitToInventory());
    EngineFixtures::allowWrites(*t.db, "EquipmentInfo");
    const CommitResult second = store.commitToInventory();
    QCOMPARE(second.committed, 3);
    QCOMPARE(second.parked, 0);
}

void tst_HoldingStore::largeIdsWork() {
    TestContext t;
    Query(*t.db, "INSERT INTO LocationInfo (LocId, LocName, StateId) VALUES (70000, 'Far', 2)").exec();
    EngineFixtures::continueIdsAfter(*t.db, "HoldEquipment", "HoldEquipmentId", 99999);
    HoldingStore store(*t.db);
    const qint64 id = store.insert(unit("BIG", 70000));
    QCOMPARE(id, 100000);
    store.commitToInventory();
    QCOMPARE(count(*t.db, "EquipmentInfo", "CurrentLocation = 70000"), 1);
}

void tst_HoldingStore::duplicatesListOnlyKnownLocations() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    addEquipment(*t.db, loc, "A");
    HoldingStore store(*t.db);
    store.insert(unit("A", loc));
    store.commitToInventory();
    // A parked row whose location has since vanished, as files from earlier versions may hold.
    Query(*t.db, "INSERT INTO TempEquipmentInfo (SerialNumber, CurrentLocation) VALUES ('A', 424242)").exec();
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), 2);
    const auto rows = store.duplicates();
    QCOMPARE(rows.size(), size_t(1));
    QCOMPARE(rows[0].cells.value(4), QStringLiteral("Depot")); // Current Location
    QVERIFY(ClsDuplicates(*t.db).CheckDuplicate("a"));
    QVERIFY(!ClsDuplicates(*t.db).CheckDuplicate("A "));
}

void tst_HoldingStore::templatesDropApostrophesFromTheNameOnly() {
    TestContext t;
    TemplateStore store(*t.db);
    UnitValues values;
    values[UnitField::EquipmentType] = "Desktop";
    values[UnitField::Manufacturer] = "Dell's";
    values[UnitField::ModelNumber] = "M1";
    store.save("Bob's PC", values);
    QCOMPARE(store.names(), QStringList{"Bobs PC"});
    const auto found = store.find("Bobs PC");
    QVERIFY(found);
    QCOMPARE((*found)[UnitField::Manufacturer].value_or(QString()), QStringLiteral("Dell's"));
    QVERIFY(!store.find("Bob's PC"));
    Query(*t.db, "INSERT INTO EquipmentTemplate (TemplateName, Description) VALUES ('Nulls', NULL)").exec();
    QVERIFY(!(*store.find("Nulls"))[UnitField::Memory]);
}

void tst_HoldingStore::typesAddAndRemove() {
    TestContext t;
    EquipmentTypeStore store(*t.db);
    const qint64 laptop = store.add("laptop");
    store.add("Desktop");
    store.add("Desktop");
    store.add("");
    QCOMPARE(store.names(), (QStringList{"", "Desktop", "Desktop", "laptop"}));
    const qint64 unitId = addEquipment(*t.db, addLocation(*t.db, "L"), "S", "laptop");
    store.remove(laptop);
    QCOMPARE(store.types().size(), size_t(3));
    QCOMPARE(count(*t.db, "EquipmentInfo", "EquipmentId = ? AND EquipmentType = 'laptop'", {unitId}), 1);
}

QTEST_MAIN(tst_HoldingStore)
#include "tst_holdingstore.moc"
