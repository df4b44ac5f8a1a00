#include "data/Database.h"
#include "stocktake/store/StocktakeStore.h"
#include "support/EngineFixtures.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"

#include <QTest>

using namespace UnitFixtures;

namespace {
// Ids beyond 16 bits, as a large inventory has them.
constexpr qint64 kHere = 70001;
constexpr qint64 kStore = 70002;
constexpr qint64 kAnnex = 70003;
constexpr qint64 kTagged = 100001;      // serial SN-1, asset tag AT-1, here
constexpr qint64 kUntagged = 100002;    // serial SN-2, here
constexpr qint64 kAway = 100003;        // serial SN-3, asset tag AT-3, in the store room
constexpr qint64 kSerialAT9 = 100004;   // serial AT-9, in the store room
constexpr qint64 kTaggedAT9 = 100005;   // serial SN-5, asset tag AT-9, here
constexpr qint64 kSerialX7 = 100006;    // serial X-7, in the store room
constexpr qint64 kTaggedX7 = 100007;    // serial SN-7, asset tag X-7, in the annex
constexpr qint64 kRetiredHere = 100008; // serial SN-8, inactive, here

const QDateTime kNow(QDate(2026, 12, 10), QTime(14, 5, 9));
const std::optional<QString> kHeldType = QStringLiteral("Laptop"); // what unknown codes go into the holding table as

void seed(Database& db) {
    addLocationWithId(db, kHere, QStringLiteral("Room 101"));
    addLocationWithId(db, kStore, QStringLiteral("Store Room"));
    addLocationWithId(db, kAnnex, QStringLiteral("Annex"));
    addUnitWithId(db, kTagged, kHere, QStringLiteral("SN-1"));
    setAssetTag(db, kTagged, QStringLiteral("AT-1"));
    addUnitWithId(db, kUntagged, kHere, QStringLiteral("SN-2"), QStringLiteral("Monitor"));
    addUnitWithId(db, kAway, kStore, QStringLiteral("SN-3"));
    setAssetTag(db, kAway, QStringLiteral("AT-3"));
    addUnitWithId(db, kSerialAT9, kStore, QStringLiteral("AT-9"));
    addUnitWithId(db, kTaggedAT9, kHere, QStringLiteral("SN-5"));
    setAssetTag(db, kTaggedAT9, QStringLiteral("AT-9"));
    addUnitWithId(db, kSerialX7, kStore, QStringLiteral("X-7"));
    addUnitWithId(db, kTaggedX7, kAnnex, QStringLiteral("SN-7"));
    setAssetTag(db, kTaggedX7, QStringLiteral("X-7"));
    addUnitWithId(db, kRetiredHere, kHere, QStringLiteral("SN-8"));
    Query(db, QStringLiteral("UPDATE EquipmentInfo SET EquActive = 0 WHERE EquipmentId = ?")).exec({kRetiredHere});
}

QList<qint64> missingIds(StocktakeStore& store, qint64 stocktakeId) {
    PackedRows rows = store.missing(kHere, stocktakeId);
    QList<qint64> ids;
    for (int r = 0; r < rows.rowCount(); ++r)
        ids << rows.key(r, 0).toLongLong();
    return ids;
}

int historyRows(Database& db, qint64 id) {
    return Fixtures::count(db, QStringLiteral("EquipLocAssign"), QStringLiteral("EquipmentId = ?"), {id});
}

// One expected scan: "class:id" ("here:100001", "unknown:0", "repeat:100001").
QString describe(const ScanResult& r) {
    static const char* const names[] = {"", "here", "elsewhere", "unknown", "repeat"};
    return QStringLiteral("%1:%2").arg(QLatin1String(names[static_cast<int>(r.kind)])).arg(r.equipmentId);
}
} // namespace

class tst_StocktakeStore : public QObject {
    Q_OBJECT
private slots:
    void cleansCodes_data();
    void cleansCodes();
    void classifiesScans_data();
    void classifiesScans();
    void namesWhereAUnitIsRegistered();
    void countsAndMissingFollowTheScans();
    void carriesOnUntilEndedThenBeginsAnew();
    void aScanForAStocktakeEndedMeanwhileRecordsNothing();
    void unknownCodesAreHeldOnlyWithAType();
    void finishMovesElsewhereUnitsOnceAndHoldsUnknownCodes();
    void finishLeavesAloneWhatChangedMeanwhile();
    void finishWithoutOptionsOnlyEnds();
    void finishFailingMidwayChangesNothing();
    void discardMovesNothing();
    void dataFromBeforeGainsTheTablesUntouched();
};

void tst_StocktakeStore::cleansCodes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("clean");
    QTest::newRow("plain") << "AT-1"
                           << "AT-1";
    QTest::newRow("blanks around") << "  AT-1 \t"
                                   << "AT-1";
    QTest::newRow("scanner's line end") << "AT-1\r\n"
                                        << "AT-1";
    QTest::newRow("no-break space and zero-width") << QString::fromUtf8("\u00a0AT-1\u200b") << "AT-1";
    QTest::newRow("control prefix") << QString::fromUtf8("\x1d"
                                                         "AT-1")
                                    << "AT-1";
    QTest::newRow("inner blank kept") << " AT 1 "
                                      << "AT 1";
    QTest::newRow("only blanks") << " \t "
                                 << "";
}

void tst_StocktakeStore::cleansCodes() {
    QFETCH(QString, typed);
    QFETCH(QString, clean);
    QCOMPARE(StocktakeStore::cleanCode(typed), clean);
}

void tst_StocktakeStore::classifiesScans_data() {
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("expected");
    const auto id = [](qint64 v) { return QString::number(v); };
    QTest::newRow("here by serial") << QStringList{"SN-1"} << QStringList{"here:" + id(kTagged)};
    QTest::newRow("here by asset tag, other case, blanks around")
        << QStringList{"  at-1\t"} << QStringList{"here:" + id(kTagged)};
    QTest::newRow("elsewhere") << QStringList{"SN-3"} << QStringList{"elsewhere:" + id(kAway)};
    QTest::newRow("unknown") << QStringList{"NOPE-1"} << QStringList{"unknown:0"};
    QTest::newRow("the same code twice") << QStringList{"SN-1", " SN-1 "}
                                         << QStringList{"here:" + id(kTagged), "repeat:" + id(kTagged)};
    QTest::newRow("one unit by both its codes")
        << QStringList{"SN-1", "AT-1"} << QStringList{"here:" + id(kTagged), "repeat:" + id(kTagged)};
    QTest::newRow("an unknown code twice, other case")
        << QStringList{"nope-2", "NOPE-2"} << QStringList{"unknown:0", "repeat:0"};
    QTest::newRow("an elsewhere unit twice")
        << QStringList{"AT-3", "SN-3"} << QStringList{"elsewhere:" + id(kAway), "repeat:" + id(kAway)};
    // AT-9 is a serial number in the store room and an asset tag here: the unit registered here is the one in
    // front of the scanner.
    QTest::newRow("a serial that is another unit's asset tag, one here")
        << QStringList{"AT-9", "AT-9"} << QStringList{"here:" + id(kTaggedAT9), "repeat:" + id(kTaggedAT9)};
    // X-7 is a serial number in the store room and an asset tag in the annex: the asset tag decides.
    QTest::newRow("a serial that is another unit's asset tag, both elsewhere")
        << QStringList{"X-7"} << QStringList{"elsewhere:" + id(kTaggedX7)};
    // Once the unit here was scanned by its serial, the same code can only still be the other unit.
    QTest::newRow("the other unit of a shared code after the first was scanned")
        << QStringList{"SN-5", "AT-9"} << QStringList{"here:" + id(kTaggedAT9), "elsewhere:" + id(kSerialAT9)};
    QTest::newRow("an inactive unit here") << QStringList{"SN-8"} << QStringList{"here:" + id(kRetiredHere)};
}

void tst_StocktakeStore::classifiesScans() {
    QFETCH(QStringList, codes);
    QFETCH(QStringList, expected);
    TestContext t;
    seed(*t.db);
    StocktakeStore store(*t.db);
    QStringList got;
    for (const QString& code : codes)
        got << describe(store.scan(kHere, code, kNow));
    QCOMPARE(got, expected);
    // What the window shows on reopening is what the scans showed.
    const std::optional<OpenStocktake> open = store.openAt(kHere);
    QVERIFY(open);
    QStringList again;
    for (const ScanResult& r : store.scans(open->id))
        again << describe(r);
    QCOMPARE(again, expected);
}

void tst_StocktakeStore::namesWhereAUnitIsRegistered() {
    TestContext t;
    seed(*t.db);
    Query(*t.db, QStringLiteral("INSERT INTO HoldEquipment (SerialNumber, CurrentLocation) VALUES ('WAIT-1', ?)"))
        .exec({kHere});
    StocktakeStore store(*t.db);

    const ScanResult away = store.scan(kHere, QStringLiteral("at-3 "), kNow);
    QCOMPARE(away.code, QStringLiteral("at-3"));
    QCOMPARE(away.registeredAt, kStore);
    QCOMPARE(away.registeredAtName, QStringLiteral("Store Room"));
    QCOMPARE(away.serialNumber, QStringLiteral("SN-3"));
    QCOMPARE(away.assetTagNumber, QStringLiteral("AT-3"));

    const ScanResult retired = store.scan(kHere, QStringLiteral("SN-8"), kNow);
    QVERIFY(retired.inactive);
    const ScanResult waiting = store.scan(kHere, QStringLiteral("WAIT-1"), kNow);
    QCOMPARE(waiting.kind, ScanClass::Unknown);
    QVERIFY(waiting.waitingInHolding);
    const ScanResult repeat = store.scan(kHere, QStringLiteral("SN-3"), kNow);
    QCOMPARE(repeat.first, std::optional<ScanClass>(ScanClass::Elsewhere));
    QCOMPARE(repeat.registeredAtName, QStringLiteral("Store Room"));

    QVERIFY_THROWS_EXCEPTION(DataError, store.scan(kHere, QStringLiteral(" \r\n"), kNow));
}

void tst_StocktakeStore::countsAndMissingFollowTheScans() {
    TestContext t;
    seed(*t.db);
    StocktakeStore store(*t.db);
    // Before any scan: every active unit registered here, the inactive one left out.
    QCOMPARE(missingIds(store, 0), (QList<qint64>{kTagged, kUntagged, kTaggedAT9}));

    for (const char* code : {"SN-1", "AT-1", "SN-3", "NOPE", "at-9", "nope"})
        store.scan(kHere, QLatin1String(code), kNow);
    const qint64 id = store.openAt(kHere)->id;
    const StocktakeCounts c = store.counts(id);
    QCOMPARE(c.here, 2);
    QCOMPARE(c.elsewhere, 1);
    QCOMPARE(c.unknown, 1);
    QCOMPARE(c.repeats, 2);
    QCOMPARE(missingIds(store, id), QList<qint64>{kUntagged});
}

void tst_StocktakeStore::carriesOnUntilEndedThenBeginsAnew() {
    TestContext t;
    seed(*t.db);
    qint64 first = 0;
    {
        StocktakeStore store(*t.db);
        QVERIFY(!store.openAt(kHere));
        QVERIFY(!store.latestOpenLocation());
        first = store.scan(kHere, QStringLiteral("SN-1"), kNow).stocktakeId;
        store.scan(kStore, QStringLiteral("SN-3"), kNow.addSecs(60));
    }
    t.reopen(); // as the next run of the program
    StocktakeStore store(*t.db);
    QCOMPARE(store.latestOpenLocation(), std::optional<qint64>(kStore));
    QCOMPARE(store.openAt(kHere)->id, first);
    QCOMPARE(store.openAt(kHere)->started, QStringLiteral("2026-12-10 14:05:09"));
    QCOMPARE(store.scan(kHere, QStringLiteral("SN-1"), kNow).kind, ScanClass::Repeat);
    QCOMPARE(store.scan(kHere, QStringLiteral("SN-2"), kNow).stocktakeId, first);

    store.finish(first, false, std::nullopt, kNow);
    QVERIFY(!store.openAt(kHere));
    const ScanResult fresh = store.scan(kHere, QStringLiteral("SN-1"), kNow);
    QVERIFY(fresh.stocktakeId != first);
    QCOMPARE(fresh.kind, ScanClass::Here);
    QCOMPARE(store.counts(fresh.stocktakeId).here, 1);
}

void tst_StocktakeStore::finishMovesElsewhereUnitsOnceAndHoldsUnknownCodes() {
    TestContext t;
    seed(*t.db);
    StocktakeStore store(*t.db);
    for (const char* code : {"SN-3", "AT-3", "X-7", "SN-1", "NEW-1", "O'Brien 2", "new-1"})
        store.scan(kHere, QLatin1String(code), kNow);
    const qint64 id = store.openAt(kHere)->id;
    const int awayHistory = historyRows(*t.db, kAway);

    const StocktakeOutcome outcome = store.finish(id, true, kHeldType, kNow);
    QCOMPARE(outcome.moved, 2);
    QCOMPARE(outcome.held, 2);
    QCOMPARE(outcome.skipped, 0);
    QCOMPARE(locationOf(*t.db, kAway), kHere);
    QCOMPARE(locationOf(*t.db, kTaggedX7), kHere);
    QCOMPARE(locationOf(*t.db, kSerialX7), kStore); // the code went to the other unit
    QCOMPARE(historyRows(*t.db, kAway), awayHistory + 1);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("EquipLocAssign"), QStringLiteral("EquipmentId = ? AND LocId = ?"),
                             {kTaggedX7, kHere}),
             1);
    QCOMPARE(historyRows(*t.db, kTagged), 0);
    Query held(*t.db, QStringLiteral("SELECT SerialNumber, CurrentLocation, LocationName, EquipmentType FROM "
                                     "HoldEquipment ORDER BY HoldEquipmentId"));
    held.exec();
    QStringList rows;
    while (held.next())
        rows << QStringLiteral("%1|%2|%3|%4").arg(held.text(0), held.text(1), held.text(2), held.text(3));
    QCOMPARE(rows, (QStringList{"NEW-1|70001|Room 101|Laptop", "O'Brien 2|70001|Room 101|Laptop"}));

    // Finishing again, here or from another workstation, does nothing a second time.
    const QStringList before = inventoryRows(*t.db);
    QVERIFY_THROWS_EXCEPTION(DataError, store.finish(id, true, kHeldType, kNow));
    QCOMPARE(inventoryRows(*t.db), before);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("HoldEquipment")), 2);
}

void tst_StocktakeStore::finishLeavesAloneWhatChangedMeanwhile() {
    TestContext t;
    seed(*t.db);
    StocktakeStore store(*t.db);
    for (const char* code : {"SN-3", "LATE-1", "LATE-2"})
        store.scan(kHere, QLatin1String(code), kNow);
    // Meanwhile someone moved the unit here, entered one code and committed the other.
    Query(*t.db, QStringLiteral("UPDATE EquipmentInfo SET CurrentLocation = ? WHERE EquipmentId = ?"))
        .exec({kHere, kAway});
    Query(*t.db, QStringLiteral("INSERT INTO HoldEquipment (SerialNumber, CurrentLocation) VALUES ('late-1', ?)"))
        .exec({kStore});
    addUnitWithId(*t.db, 200001, kAnnex, QStringLiteral("LATE-2"));

    const StocktakeOutcome outcome = store.finish(store.openAt(kHere)->id, true, kHeldType, kNow);
    QCOMPARE(outcome.moved, 0);
    QCOMPARE(outcome.held, 0);
    QCOMPARE(outcome.skipped, 2);
    QCOMPARE(historyRows(*t.db, kAway), 0);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("HoldEquipment")), 1);
}

void tst_StocktakeStore::finishWithoutOptionsOnlyEnds() {
    TestContext t;
    seed(*t.db);
    StocktakeStore store(*t.db);
    for (const char* code : {"SN-3", "NEW-9"})
        store.scan(kHere, QLatin1String(code), kNow);
    const QStringList before = inventoryRows(*t.db);
    const StocktakeOutcome outcome = store.finish(store.openAt(kHere)->id, false, std::nullopt, kNow);
    QCOMPARE(outcome.moved + outcome.held + outcome.skipped, 0);
    QCOMPARE(inventoryRows(*t.db), before);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("HoldEquipment")), 0);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("Stocktake"),
                             QStringLiteral("StocktakeOutcome = 'Finished' AND StocktakeEnded IS NOT NULL")),
             1);
}

void tst_StocktakeStore::aScanForAStocktakeEndedMeanwhileRecordsNothing() {
    TestContext t;
    seed(*t.db);
    StocktakeStore store(*t.db);
    const qint64 shown = store.scan(kHere, QStringLiteral("SN-1"), kNow).stocktakeId;
    QCOMPARE(store.scan(kHere, QStringLiteral("SN-2"), kNow, shown).stocktakeId, shown);
    // Ended elsewhere, and even begun again there: a scan meant for the one shown goes to neither.
    store.discard(shown, kNow);
    for (bool begunAgain : {false, true}) {
        if (begunAgain)
            store.scan(kHere, QStringLiteral("SN-5"), kNow);
        const int scans = Fixtures::count(*t.db, QStringLiteral("StocktakeScan"));
        const int stocktakes = Fixtures::count(*t.db, QStringLiteral("Stocktake"));
        const ScanResult late = store.scan(kHere, QStringLiteral(" SN-3 "), kNow, shown);
        QVERIFY(late.shownEnded);
        QCOMPARE(late.code, QStringLiteral("SN-3"));
        QCOMPARE(late.stocktakeId, shown);
        QCOMPARE(Fixtures::count(*t.db, QStringLiteral("StocktakeScan")), scans);
        QCOMPARE(Fixtures::count(*t.db, QStringLiteral("Stocktake")), stocktakes);
    }
    // Without a stocktake shown the scan joins the open one.
    const ScanResult joined = store.scan(kHere, QStringLiteral("SN-3"), kNow);
    QVERIFY(!joined.shownEnded);
    QCOMPARE(joined.stocktakeId, store.openAt(kHere)->id);
}

void tst_StocktakeStore::unknownCodesAreHeldOnlyWithAType() {
    TestContext t;
    seed(*t.db);
    StocktakeStore store(*t.db);
    for (const char* code : {"SN-3", "NEW-1"})
        store.scan(kHere, QLatin1String(code), kNow);
    const qint64 id = store.openAt(kHere)->id;
    const QStringList before = inventoryRows(*t.db);
    for (const QString& blank : {QString(), QStringLiteral("  ")})
        QVERIFY_THROWS_EXCEPTION(DataError, store.finish(id, true, blank, kNow));
    QCOMPARE(inventoryRows(*t.db), before);
    QCOMPARE(store.openAt(kHere)->id, id);

    const StocktakeOutcome outcome = store.finish(id, true, std::nullopt, kNow);
    QCOMPARE(outcome.moved, 1);
    QCOMPARE(outcome.held, 0);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("HoldEquipment")), 0);
}

void tst_StocktakeStore::finishFailingMidwayChangesNothing() {
    TestContext t;
    seed(*t.db);
    StocktakeStore store(*t.db);
    for (const char* code : {"SN-3", "GOOD-1", "BAD-2"})
        store.scan(kHere, QLatin1String(code), kNow);
    const qint64 id = store.openAt(kHere)->id;
    // The second holding row fails, after the move and the first row were written.
    EngineFixtures::refuseHoldingInserts(*t.db, QStringLiteral("disk full"),
                                         QStringLiteral("NEW.SerialNumber = 'BAD-2'"));
    const QStringList before = inventoryRows(*t.db);
    QVERIFY_THROWS_EXCEPTION(DataError, store.finish(id, true, kHeldType, kNow));
    QCOMPARE(inventoryRows(*t.db), before);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("HoldEquipment")), 0);
    QCOMPARE(store.openAt(kHere)->id, id);
    QCOMPARE(store.counts(id).elsewhere, 1);
}

void tst_StocktakeStore::discardMovesNothing() {
    TestContext t;
    seed(*t.db);
    StocktakeStore store(*t.db);
    for (const char* code : {"SN-3", "NEW-9", "SN-1"})
        store.scan(kHere, QLatin1String(code), kNow);
    const qint64 id = store.openAt(kHere)->id;
    const QStringList before = inventoryRows(*t.db);
    store.discard(id, kNow);
    QCOMPARE(inventoryRows(*t.db), before);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("HoldEquipment")), 0);
    QVERIFY(!store.openAt(kHere));
    QVERIFY_THROWS_EXCEPTION(DataError, store.finish(id, true, kHeldType, kNow));
    QCOMPARE(missingIds(store, 0).size(), 3);
}

void tst_StocktakeStore::dataFromBeforeGainsTheTablesUntouched() {
    TestContext t;
    seed(*t.db);
    // The data as an earlier version left it: no stocktake tables.
    for (const char* table : {"StocktakeScan", "Stocktake"})
        Query(*t.db, QStringLiteral("DROP TABLE %1").arg(QLatin1String(table))).exec();
    const QStringList before = inventoryRows(*t.db);
    t.reopen();
    QCOMPARE(inventoryRows(*t.db), before);
    StocktakeStore store(*t.db);
    QCOMPARE(store.scan(kHere, QStringLiteral("SN-1"), kNow).kind, ScanClass::Here);
    // Once made, the tables are found as they are: a second opening keeps the scans.
    t.reopen();
    QCOMPARE(StocktakeStore(*t.db).counts(StocktakeStore(*t.db).openAt(kHere)->id).here, 1);
}

QTEST_GUILESS_MAIN(tst_StocktakeStore)
#include "tst_stocktakestore.moc"
