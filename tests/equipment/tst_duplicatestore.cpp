#include "assignment/store/AssignmentStore.h"
#include "data/Database.h"
#include "equipment/store/DuplicateBatch.h"
#include "equipment/store/DuplicateStore.h"
#include "support/EngineFixtures.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"

#include <QTest>

using namespace Fixtures;
using namespace UnitFixtures;

namespace {

constexpr qint64 kDepot = 70000;
constexpr qint64 kStore = 70001;
constexpr qint64 kRetired = 70002;
constexpr qint64 kExisting = 80000;
constexpr qint64 kOther = 80001;

// An existing unit "S1" with two history rows, two parked records carrying its serial number (one spelled in
// another case, as the database compares text without regard to it) and one parked record of another serial number.
struct Duplicates {
    Duplicates(Database& db, qint64 parkedAt = kStore, const QVariant& existingType = QStringLiteral("Desktop"))
        : db(db) {
        addLocationWithId(db, kDepot, "Depot");
        addLocationWithId(db, kStore, "Store");
        addUnitWithId(db, kExisting, kDepot, "S1", existingType);
        addUnitWithId(db, kOther, kDepot, "S9");
        AssignmentStore(db).assign({kExisting}, kStore);
        AssignmentStore(db).assign({kExisting}, kDepot);
        shown = park(db, "S1", parkedAt, "HP");
        park(db, "s1", parkedAt, "Lenovo");
        park(db, "S2", kStore);
    }
    int parked(const QString& serial) { return count(db, "TempEquipmentInfo", "SerialNumber = ?", {serial}); }
    Database& db;
    qint64 shown = 0;
};

// The proposed record's values as its window shows them before any edit.
UnitValues valuesOf(const UnitRecord& r) {
    UnitValues v;
    v[UnitField::AssetTagNumber] = r[UnitField::AssetTagNumber].value_or("");
    v[UnitField::Manufacturer] = r[UnitField::Manufacturer].value_or("");
    v.setDatePurchased(r.datePurchased().value_or(QDate()));
    v[UnitField::SerialNumber] = r[UnitField::SerialNumber].value_or("");
    v[UnitField::OperatingSystem] = QStringLiteral("Win'11 – ü");
    return v;
}

Resolution resolve(DuplicateStore& store, int option, const DuplicateCase& loaded, const UnitValues& values,
                   std::optional<qint64> location = std::nullopt) {
    switch (option) {
    case 0:
        return store.replaceExisting(loaded, values, location);
    case 1:
        return store.submitCorrected(loaded, values, location);
    default:
        return store.discardProposed(loaded);
    }
}

} // namespace

class tst_DuplicateStore : public QObject {
    Q_OBJECT
private slots:
    void loadsBothSidesAndHistory();
    void loadWithoutInventoryUnit();
    void resolutions_data();
    void resolutions();
    void replaceKeepsTheReplacedUnitsRecords();
    void replaceFailingPartWayChangesNothing();
    void proposedLocationUnavailable_data();
    void proposedLocationUnavailable();
    void caseResolvedElsewhereWritesNothing();
    void batchReplaceSkipsWhatOneWindowWouldRefuse();
    void batchDiscardTakesEveryRecordOfTheSerial();
};

void tst_DuplicateStore::loadsBothSidesAndHistory() {
    TestContext t;
    Duplicates d(*t.db);
    const DuplicateCase c = DuplicateStore(*t.db).load("S1");
    QCOMPARE(c.serialNumber, QString("S1"));
    QVERIFY(c.existing && c.proposed);
    QCOMPARE(c.existing->id, kExisting);
    QCOMPARE(c.existing->locationName, QString("Depot"));
    QCOMPARE(c.proposed->id, d.shown);
    QCOMPARE((*c.proposed)[UnitField::Manufacturer], QString("HP"));
    QCOMPARE(c.proposed->datePurchased(), QDate(2024, 5, 6));
    QCOMPARE(c.proposed->currentLocation, kStore);
    QCOMPARE(c.proposed->locationName, QString("Store"));
    QVERIFY(c.proposedLocationAvailable);
    QStringList history;
    for (const AssignmentRow& row : c.history)
        history << row.locationName.value_or("");
    QCOMPARE(history, (QStringList{"Depot", "Store"}));
}

void tst_DuplicateStore::loadWithoutInventoryUnit() {
    TestContext t;
    Duplicates d(*t.db);
    Query(*t.db, "DELETE FROM EquipmentInfo WHERE EquipmentId = ?").exec({kExisting});
    const DuplicateCase c = DuplicateStore(*t.db).load("S1");
    QVERIFY(!c.existing);
    QVERIFY(c.history.empty());
    QVERIFY(c.proposed);
    QVERIFY(!DuplicateStore(*t.db).load("nothing parked").proposed);
}

void tst_DuplicateStore::resolutions_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("serial"); // the proposed serial number as submitted
    QTest::addColumn<QVariant>("existingType");
    QTest::addColumn<Resolution>("expected");
    QTest::addColumn<bool>("existingKept");
    QTest::newRow("replace") << 0 << "S1" << QVariant("Desktop") << Resolution::Done << false;
    QTest::newRow("replace an existing unit of no type") << 0 << "S1" << QVariant() << Resolution::Done << false;
    QTest::newRow("replace under a serial number another unit has")
        << 0 << "S9" << QVariant("Desktop") << Resolution::SerialTaken << true;
    QTest::newRow("corrected serial unchanged") << 1 << "S1" << QVariant("Desktop") << Resolution::SerialTaken << true;
    QTest::newRow("corrected serial differing in case only")
        << 1 << "s1" << QVariant("Desktop") << Resolution::SerialTaken << true;
    QTest::newRow("corrected serial free") << 1 << "S1-B" << QVariant("Desktop") << Resolution::Done << true;
    QTest::newRow("discard") << 2 << "S1" << QVariant("Desktop") << Resolution::Done << true;
}

void tst_DuplicateStore::resolutions() {
    QFETCH(int, option);
    QFETCH(QString, serial);
    QFETCH(QVariant, existingType);
    QFETCH(Resolution, expected);
    QFETCH(bool, existingKept);
    TestContext t;
    Duplicates d(*t.db, kStore, existingType);
    DuplicateStore store(*t.db);
    const DuplicateCase loaded = store.load("S1");
    UnitValues values = valuesOf(*loaded.proposed);
    values[UnitField::SerialNumber] = serial;
    const QStringList before = inventoryRows(*t.db);

    QCOMPARE(resolve(store, option, loaded, values), expected);
    if (expected != Resolution::Done) {
        QCOMPARE(inventoryRows(*t.db), before);
        return;
    }
    QCOMPARE(d.parked("S1"), 0); // both spellings
    QCOMPARE(d.parked("S2"), 1);
    QCOMPARE(count(*t.db, "EquipmentInfo", "EquipmentId = ?", {kExisting}), existingKept ? 1 : 0);
    // Even a replaced unit's history stays, and the entered unit gets no history row.
    QCOMPARE(count(*t.db, "EquipLocAssign", "EquipmentId = ?", {kExisting}), 2);
    QCOMPARE(count(*t.db, "EquipLocAssign"), 2);
    const bool entered = option != 2;
    QCOMPARE(count(*t.db, "EquipmentInfo"), 2 - (existingKept ? 0 : 1) + (entered ? 1 : 0));
    if (!entered)
        return;
    Query q(*t.db, "SELECT EquipmentType, Manufacturer, DatePurchased, OperatingSystem, CurrentLocation, EquActive "
                   "FROM EquipmentInfo WHERE SerialNumber = ? AND EquipmentId > ?");
    q.exec({serial, kOther});
    QVERIFY(q.next());
    QCOMPARE(q.text(0), QString("Laptop")); // the parked type, none having been chosen
    QCOMPARE(q.text(1), QString("HP"));
    QCOMPARE(q.text(2), QString("2024-05-06"));
    QCOMPARE(q.text(3), QString("Win'11 – ü"));
    QCOMPARE(q.value(4).toLongLong(), kStore);
    QCOMPARE(q.value(5).toInt(), 1);
    QVERIFY(!q.next());
}

// What is kept under the replaced unit's id is neither deleted nor handed to its replacement.
void tst_DuplicateStore::replaceKeepsTheReplacedUnitsRecords() {
    TestContext t;
    Duplicates d(*t.db);
    Query(*t.db, "UPDATE EquipmentInfo SET Field1 = 'rack 4' WHERE EquipmentId = ?").exec({kExisting});
    Query(*t.db, "INSERT INTO EquipmentNoteInformation (EquipmentId, NoteTitle, Note) VALUES (?, 'Repair', 'fan')")
        .exec({kExisting});
    Query(*t.db, "INSERT INTO EquipmentAttachments (EquipmentId, AttachmentsName, AttachmentVersion) "
                 "VALUES (?, 'invoice.pdf', 1)")
        .exec({kExisting});
    DuplicateStore store(*t.db);
    const DuplicateCase loaded = store.load("S1");
    QCOMPARE(store.replaceExisting(loaded, valuesOf(*loaded.proposed)), Resolution::Done);

    QCOMPARE(count(*t.db, "EquipmentInfo", "EquipmentId = ?", {kExisting}), 0);
    Query q(*t.db, "SELECT EquipmentId, Field1 FROM EquipmentInfo WHERE SerialNumber = 'S1'");
    q.exec();
    QVERIFY(q.next());
    const qint64 entered = q.value(0).toLongLong();
    QVERIFY(entered > kOther);
    QVERIFY(q.value(1).isNull());
    for (const char* table : {"EquipLocAssign", "EquipmentNoteInformation", "EquipmentAttachments"}) {
        QCOMPARE(count(*t.db, table, "EquipmentId = ?", {entered}), 0);
        QVERIFY2(count(*t.db, table, "EquipmentId = ?", {kExisting}) > 0, table);
    }
}

void tst_DuplicateStore::replaceFailingPartWayChangesNothing() {
    TestContext t;
    Duplicates d(*t.db);
    DuplicateStore store(*t.db);
    const DuplicateCase loaded = store.load("S1");
    const QStringList before = inventoryRows(*t.db);
    // The existing unit is deleted before the insert fails.
    EngineFixtures::refuseWrites(*t.db, "EquipmentInfo", "INSERT", "disk is full");
    try {
        store.replaceExisting(loaded, valuesOf(*loaded.proposed));
        QFAIL("the failing insert was not reported");
    } catch (const DataError& e) {
        QVERIFY2(e.text().contains("disk is full"), qPrintable(e.text()));
    }
    QCOMPARE(inventoryRows(*t.db), before);
}

void tst_DuplicateStore::proposedLocationUnavailable_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("retired");    // else missing
    QTest::addColumn<QVariant>("chosen"); // the location chosen instead; null: none
    QTest::addColumn<Resolution>("expected");
    const QVariant none;
    for (int option : {0, 1}) {
        QTest::addRow("option %d, location retired", option)
            << option << true << none << Resolution::LocationUnavailable;
        QTest::addRow("option %d, location missing", option)
            << option << false << none << Resolution::LocationUnavailable;
        QTest::addRow("option %d, another chosen", option) << option << true << QVariant(kDepot) << Resolution::Done;
        QTest::addRow("option %d, a retired one chosen", option)
            << option << false << QVariant(kRetired) << Resolution::LocationUnavailable;
        QTest::addRow("option %d, a missing one chosen", option)
            << option << true << QVariant(qint64(95000)) << Resolution::LocationUnavailable;
    }
}

void tst_DuplicateStore::proposedLocationUnavailable() {
    QFETCH(int, option);
    QFETCH(bool, retired);
    QFETCH(QVariant, chosen);
    QFETCH(Resolution, expected);
    TestContext t;
    const qint64 where = 90000;
    Duplicates d(*t.db, where);
    if (retired)
        addLocationWithId(*t.db, where, "Closed", false);
    addLocationWithId(*t.db, kRetired, "Shut", false);
    DuplicateStore store(*t.db);
    const DuplicateCase loaded = store.load("S1");
    QVERIFY(!loaded.proposedLocationAvailable);
    UnitValues values = valuesOf(*loaded.proposed);
    values[UnitField::SerialNumber] = "S1-B";
    const QStringList before = inventoryRows(*t.db);
    const std::optional<qint64> location = chosen.isNull() ? std::nullopt : std::optional<qint64>(chosen.toLongLong());
    QCOMPARE(resolve(store, option, loaded, values, location), expected);
    if (expected != Resolution::Done) {
        QCOMPARE(inventoryRows(*t.db), before);
        return;
    }
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'S1-B' AND CurrentLocation = ?", {kDepot}), 1);
    QCOMPARE(d.parked("S1"), 0);
}

void tst_DuplicateStore::caseResolvedElsewhereWritesNothing() {
    TestContext t;
    Duplicates d(*t.db);
    DuplicateStore store(*t.db);
    const DuplicateCase first = store.load("S1");
    const DuplicateCase second = store.load("S1");
    QCOMPARE(store.discardProposed(first), Resolution::Done);
    park(*t.db, "S1", kStore, "parked after both windows loaded");
    const QStringList before = inventoryRows(*t.db);
    UnitValues values = valuesOf(*second.proposed);
    values[UnitField::SerialNumber] = "S1-B";
    for (int option : {0, 1, 2})
        QCOMPARE(resolve(store, option, second, values), Resolution::ProposedGone);
    QCOMPARE(inventoryRows(*t.db), before);
}

void tst_DuplicateStore::batchReplaceSkipsWhatOneWindowWouldRefuse() {
    TestContext t;
    Duplicates d(*t.db);
    addLocationWithId(*t.db, kRetired, "Old", false);
    addUnitWithId(*t.db, 80002, kDepot, "S3");
    addUnitWithId(*t.db, 80003, kDepot, "S3");
    const qint64 shared = park(*t.db, "S3", kStore);
    const qint64 retired = park(*t.db, "S9", kRetired);
    const qint64 fresh = park(*t.db, "S5", kStore, "Dell");
    const qint64 s2 =
        Query(*t.db, "SELECT EquipmentId FROM TempEquipmentInfo WHERE SerialNumber = 'S2'").scalar().toLongLong();
    const BatchOutcome outcome = DuplicateBatch(*t.db).replaceExisting({d.shown, shared, retired, fresh, 999999});
    QCOMPARE(outcome.done, 2);
    QCOMPARE(outcome.serialShared, 1);
    QCOMPARE(outcome.locationUnavailable, 1);
    // The replaced unit's row is gone by id, its history stays under the old id; the chosen values enter anew.
    QCOMPARE(count(*t.db, "EquipmentInfo", "EquipmentId = ?", {kExisting}), 0);
    QCOMPARE(count(*t.db, "EquipLocAssign", "EquipmentId = ?", {kExisting}), 2);
    QCOMPARE(count(*t.db, "EquipmentInfo",
                   "SerialNumber = 'S1' AND Manufacturer = 'HP' AND CurrentLocation = ? "
                   "AND EquActive = 1 AND EquipmentId > ?",
                   {kStore, kExisting}),
             1);
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'S5' AND Manufacturer = 'Dell'"), 1);
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'S3'"), 2);
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'S9'"), 1);
    QCOMPARE(d.parked("S1"), 0); // "s1" too, as the single window leaves none of the serial number
    QCOMPARE(count(*t.db, "TempEquipmentInfo", "EquipmentId IN (?, ?, ?)", {shared, retired, s2}), 3);
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), 3);
}

void tst_DuplicateStore::batchDiscardTakesEveryRecordOfTheSerial() {
    TestContext t;
    Duplicates d(*t.db);
    // More ids than one statement binds.
    QList<qint64> chosen{d.shown};
    t.db->transaction([&] {
        for (int i = 0; i < 1200; ++i)
            chosen << park(*t.db, QStringLiteral("B%1").arg(i), kStore);
    });
    const qint64 kept = park(*t.db, "S7", kStore);
    const int inventory = count(*t.db, "EquipmentInfo");
    const BatchOutcome outcome = DuplicateBatch(*t.db).discardProposed(chosen);
    QCOMPARE(outcome.done, 1201);
    QCOMPARE(outcome.skipped(), 0);
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), 2); // "S2" and "S7"
    QCOMPARE(count(*t.db, "TempEquipmentInfo", "EquipmentId = ?", {kept}), 1);
    QCOMPARE(count(*t.db, "EquipmentInfo"), inventory);
}

QTEST_GUILESS_MAIN(tst_DuplicateStore)
#include "tst_duplicatestore.moc"
