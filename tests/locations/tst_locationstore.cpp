#include "data/Database.h"
#include "equipment/store/HoldingStore.h"
#include "locations/store/LocationStore.h"
#include "support/EngineFixtures.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QTest>

using namespace Fixtures;

namespace {
// Cells of the active location list and of a location's equipment list.
constexpr int kNameColumn = 1;
constexpr int kStateColumn = 3;
constexpr int kCountColumn = 5;
constexpr int kSerialColumn = 5;
} // namespace

class tst_LocationStore : public QObject {
    Q_OBJECT
private slots:
    void countsIncludeRetiredEquipmentAndEmptyLocations();
    void unknownStateAndRetiredLocationsAreNotListed();
    void hasActiveLocations_data();
    void hasActiveLocations();
    void sortsByEveryKey_data();
    void sortsByEveryKey();
    void createWritesLocationAndItsOwnContact();
    void createIsAtomic();
    void reassignMovesUnitsWithHistoryAndRetires();
    void reassignFailureLeavesEverythingInPlace();
    void addressUpdateKeepsStateWhenNoneChosen();
    void equipmentAndTypeCountsIncludeInactiveAndNullType();
    void hostileTextRoundTrips();
    void retireIfEmptyRefusesALocationWithEquipment();
    void unitsInTheHoldingTableBelongToTheirLocation();
};

void tst_LocationStore::countsIncludeRetiredEquipmentAndEmptyLocations() {
    TestContext t;
    const qint64 a = addLocation(*t.db, "Alpha");
    const qint64 b = addLocation(*t.db, "Beta");
    addEquipment(*t.db, a, "S1");
    addEquipment(*t.db, a, "S2", "Laptop", false);
    const auto rows = LocationStore(*t.db).activeLocations();
    QCOMPARE(rows.size(), size_t(2));
    QCOMPARE(rows[0].tag.toLongLong(), a);
    QCOMPARE(rows[0].cells.value(kCountColumn), QStringLiteral("2"));
    QCOMPARE(rows[1].tag.toLongLong(), b);
    QCOMPARE(rows[1].cells.value(kCountColumn), QStringLiteral("0"));
    QCOMPARE(rows[1].cells.value(kStateColumn), QStringLiteral("Alabama"));
}

void tst_LocationStore::unknownStateAndRetiredLocationsAreNotListed() {
    TestContext t;
    addLocation(*t.db, "No state", 1);
    addLocation(*t.db, "Null state", QVariant());
    const qint64 retired = addLocation(*t.db, "Retired", 51);
    const qint64 kept = addLocation(*t.db, "Kept", 51);
    LocationStore store(*t.db);
    store.retire(retired);
    const auto rows = store.activeLocations();
    QCOMPARE(rows.size(), size_t(1));
    QCOMPARE(rows[0].tag.toLongLong(), kept);
    QCOMPARE(rows[0].cells.value(kStateColumn), QStringLiteral("Wyoming"));
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo"), 4); // retired, never deleted
}

void tst_LocationStore::hasActiveLocations_data() {
    QTest::addColumn<QList<bool>>("locations"); // LocActive of each location
    QTest::addColumn<bool>("expected");
    QTest::newRow("none") << QList<bool>{} << false;
    QTest::newRow("one active") << QList<bool>{true} << true;
    QTest::newRow("only retired") << QList<bool>{false, false} << false;
    QTest::newRow("one retired, one active") << QList<bool>{false, true} << true;
}

void tst_LocationStore::hasActiveLocations() {
    QFETCH(QList<bool>, locations);
    QFETCH(bool, expected);
    TestContext t;
    for (bool active : locations) {
        const qint64 id = addLocation(*t.db, "L");
        if (!active)
            Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({id});
    }
    QCOMPARE(LocationStore(*t.db).HasActiveLocations(), expected);
}

void tst_LocationStore::sortsByEveryKey_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("default by name, case-blind") << QString() << false << QStringList{"apple", "Banana", "cherry"};
    QTest::newRow("city asc") << "LocCity" << false << QStringList{"cherry", "apple", "Banana"};
    QTest::newRow("city desc") << "LocCity" << true << QStringList{"Banana", "apple", "cherry"};
    QTest::newRow("state asc") << "StateName" << false << QStringList{"Banana", "cherry", "apple"};
    QTest::newRow("id desc") << "LocId" << true << QStringList{"apple", "Banana", "cherry"};
    QTest::newRow("phone asc") << "LocPhone" << false << QStringList{"Banana", "apple", "cherry"};
    QTest::newRow("unknown key falls back to name")
        << "1; DROP TABLE LocationInfo" << false << QStringList{"apple", "Banana", "cherry"};
}

void tst_LocationStore::sortsByEveryKey() {
    QFETCH(QString, key);
    QFETCH(bool, descending);
    QFETCH(QStringList, names);
    TestContext t;
    addLocation(*t.db, "cherry", 10, "Atlanta", "555-2");
    addLocation(*t.db, "Banana", 3, "Zion", "555-0");
    addLocation(*t.db, "apple", 51, "Boston", "555-1");
    QStringList got;
    for (const auto& row : LocationStore(*t.db).activeLocations({key, descending}))
        got << row.cells.value(kNameColumn);
    QCOMPARE(got, names);
}

void tst_LocationStore::createWritesLocationAndItsOwnContact() {
    TestContext t;
    LocationStore store(*t.db);
    const NewLocation same{"Twin", {"1 Main St", "", "Springfield", "12345", "555", 7}};
    const qint64 first = store.createLocation(same, {"Ann", "", "Older", "", "", "", ""});
    const qint64 second = store.createLocation(same, {"Bob", "", "Newer", "", "", "", ""});
    QVERIFY(second != first);
    QCOMPARE(store.contact(first)->firstName.value_or(QString()), QStringLiteral("Ann"));
    QCOMPARE(store.contact(second)->firstName.value_or(QString()), QStringLiteral("Bob"));
    const auto location = store.location(second);
    QVERIFY(location);
    QCOMPARE(location->stateId.value_or(0), 7);
    QCOMPARE(location->zip.value_or(QString()), QStringLiteral("12345"));
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo", "LocActive = 1"), 2);
}

void tst_LocationStore::createIsAtomic() {
    TestContext t;
    // Make the contact insert fail after the location insert succeeded.
    EngineFixtures::refuseWrites(*t.db, "ContactInfo", "INSERT", "no contacts");
    QVERIFY_THROWS_EXCEPTION(DataError, LocationStore(*t.db).createLocation({"Lost", {}}, {}));
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo"), 0);
}

void tst_LocationStore::reassignMovesUnitsWithHistoryAndRetires() {
    TestContext t;
    const qint64 source = addLocation(*t.db, "Source");
    const qint64 target = addLocation(*t.db, "Target");
    addEquipment(*t.db, target, "T1");
    for (int i = 0; i < 5; ++i)
        addEquipment(*t.db, source, QStringLiteral("S%1").arg(i), "Desktop", i != 2);
    LocationStore store(*t.db);
    store.reassignAndRetire(source, target);
    QCOMPARE(Fixtures::count(*t.db, "EquipLocAssign"), 5);
    QCOMPARE(Fixtures::count(*t.db, "EquipLocAssign", "LocId = ?", {target}), 5);
    QCOMPARE(Fixtures::count(*t.db, "EquipmentInfo", "CurrentLocation = ?", {target}), 6);
    const auto rows = store.activeLocations();
    QCOMPARE(rows.size(), size_t(1));
    QCOMPARE(rows[0].cells.value(kCountColumn), QStringLiteral("6"));
    QCOMPARE(Fixtures::count(*t.db, "EquipLocAssign", "EquipLocAssignDate IS NOT NULL"), 5);
}

void tst_LocationStore::reassignFailureLeavesEverythingInPlace() {
    TestContext t;
    const qint64 source = addLocation(*t.db, "Source");
    const qint64 target = addLocation(*t.db, "Target");
    for (int i = 0; i < 3; ++i)
        addEquipment(*t.db, source, QStringLiteral("S%1").arg(i));
    EngineFixtures::refuseWrites(*t.db, "LocationInfo", "UPDATE OF LocActive", "disk full");
    QVERIFY_THROWS_EXCEPTION(DataError, LocationStore(*t.db).reassignAndRetire(source, target));
    QCOMPARE(Fixtures::count(*t.db, "EquipLocAssign"), 0);
    QCOMPARE(Fixtures::count(*t.db, "EquipmentInfo", "CurrentLocation = ?", {source}), 3);
    QCOMPARE(Fixtures::count(*t.db, "LocationInfo", "LocActive = 1"), 2);
}

void tst_LocationStore::addressUpdateKeepsStateWhenNoneChosen() {
    TestContext t;
    const qint64 id = addLocation(*t.db, "Here", 44);
    LocationStore store(*t.db);
    store.updateAddress(id, {"a1", "a2", "c", "", "p", std::nullopt});
    auto location = store.location(id);
    QCOMPARE(location->stateId.value_or(0), 44);
    QCOMPARE(location->zip.value_or(QString()), QString(""));
    QVERIFY(location->zip.has_value());
    store.updateAddress(id, {"a1", "a2", "c", "z", "p", 45});
    QCOMPARE(store.location(id)->stateId.value_or(0), 45);
}

void tst_LocationStore::equipmentAndTypeCountsIncludeInactiveAndNullType() {
    TestContext t;
    const qint64 id = addLocation(*t.db, "Here");
    addEquipment(*t.db, id, "B", "Laptop");
    addEquipment(*t.db, id, "a", "Laptop", false);
    addEquipment(*t.db, id, "C", QVariant());
    LocationStore store(*t.db);
    QStringList serials;
    for (const auto& r : store.equipment(id))
        serials << r.cells.value(kSerialColumn);
    QCOMPARE(serials, (QStringList{"a", "B", "C"}));
    serials.clear();
    for (const auto& r : store.equipment(id, {"SerialNumber", true}))
        serials << r.cells.value(kSerialColumn);
    QCOMPARE(serials, (QStringList{"C", "B", "a"}));

    QMap<QString, qint64> counts;
    for (const auto& r : store.typeCounts(id))
        counts.insert(r.equipmentType.isNull() ? QStringLiteral("<null>") : r.equipmentType.toString(), r.count);
    QCOMPARE(counts.value("Laptop"), 2);
    QVERIFY(counts.contains("<null>"));
    QCOMPARE(counts.value("<null>"), 0);
}

void tst_LocationStore::hostileTextRoundTrips() {
    TestContext t;
    LocationStore store(*t.db);
    const QString name = QStringLiteral("O'Brien's \"Depot\" '; DROP TABLE LocationInfo; -- Zürich 東京 🚚");
    const qint64 id = store.createLocation({name, {"1 O'Connell St", "", "Saint-Étienne", "", "", 2}},
                                           {"D'Arcy", "", "", "", "", "", ""});
    QCOMPARE(store.location(id)->name.value_or(QString()), name);
    QCOMPARE(store.location(id)->city.value_or(QString()), QStringLiteral("Saint-Étienne"));
    QCOMPARE(store.contact(id)->firstName.value_or(QString()), QStringLiteral("D'Arcy"));
    QCOMPARE(store.activeLocations().size(), size_t(1));
}

void tst_LocationStore::retireIfEmptyRefusesALocationWithEquipment() {
    TestContext t;
    const qint64 busy = addLocation(*t.db, "Busy");
    const qint64 empty = addLocation(*t.db, "Empty");
    addEquipment(*t.db, busy, "S1", "Desktop", false);
    LocationStore store(*t.db);
    QVERIFY(!store.retireIfEmpty(busy));
    QVERIFY(store.retireIfEmpty(empty));
    QCOMPARE(count(*t.db, "LocationInfo", "LocActive = 1"), 1);
    QCOMPARE(count(*t.db, "LocationInfo", "LocActive = 1 AND LocId = ?", {busy}), 1);
}

void tst_LocationStore::unitsInTheHoldingTableBelongToTheirLocation() {
    TestContext t;
    const qint64 waiting = addLocation(*t.db, "Waiting");
    const qint64 target = addLocation(*t.db, "Target");
    HoldingEntry unit;
    unit.serialNumber = QStringLiteral("H1");
    unit.currentLocation = waiting;
    unit.locationName = QStringLiteral("Waiting");
    // Entered on another workstation (on a server; on the files the holding table is one for all).
    const std::unique_ptr<Database> other = t.openAnother(QStringLiteral("other-desk"));
    HoldingStore(*other).insert(unit);
    LocationStore store(*t.db);
    const LocationUse use = store.use(waiting);
    QCOMPARE(use.units, qint64(0));
    QCOMPARE(use.waiting, qint64(1));
    QCOMPARE(use.waitingElsewhere, qint64(t.onServer() ? 1 : 0));
    QVERIFY(use.inUse());
    QVERIFY(!store.use(target).inUse());
    QVERIFY(!store.retireIfEmpty(waiting));
    QCOMPARE(count(*t.db, "LocationInfo", "LocActive = 1"), 2);

    // Reassigning takes the waiting units along, every workstation's, so they can still be committed.
    unit.serialNumber = QStringLiteral("H2");
    HoldingStore(*t.db).insert(unit);
    store.reassignAndRetire(waiting, target);
    const int seenByEach = t.onServer() ? 1 : 2;
    QCOMPARE(count(*t.db, "HoldEquipment", "CurrentLocation = ? AND LocationName = 'Target'", {target}), seenByEach);
    QCOMPARE(count(*other, "HoldEquipment", "CurrentLocation = ? AND LocationName = 'Target'", {target}), seenByEach);
    QCOMPARE(count(*t.db, "EquipLocAssign"), 0);
    QCOMPARE(HoldingStore(*t.db).commitToInventory().committed, seenByEach);
    QCOMPARE(count(*t.db, "EquipmentInfo", "CurrentLocation = ?", {target}), seenByEach);
}

QTEST_MAIN(tst_LocationStore)
#include "tst_locationstore.moc"
