// The commit of the holding table on a table made to trip it: serial numbers repeated in other case and with
// blanks, known ones, Null values, retired and missing locations, ids past 32 bits, more rows than one batch.

#include "data/Database.h"
#include "equipment/store/ClsDuplicates.h"
#include "equipment/store/HoldingStore.h"
#include "support/EngineFixtures.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QTest>

using namespace Fixtures;

namespace {

const char* const kHoldingColumns =
    "AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, "
    "CpuSpeed, Memory, HardDriveCapacity, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation";
const char* const kTargetColumns =
    "AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, "
    "CPUSpeed, Memory, HarddriveCap, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation, EquActive";
constexpr int kSerialColumn = 5;
constexpr int kLocationColumn = 14;
const char* const kAtActiveLocation = " WHERE CurrentLocation IN (SELECT LocId FROM LocationInfo WHERE LocActive = 1)";

// The commit as it used to run, row by row: each holding row tested with ClsDuplicates against an inventory that
// already holds the rows before it, then inserted with its Null texts bound as empty text. The set-based commit
// must leave exactly the tables this leaves.
CommitResult rowByRowCommit(Database& db) {
    return db.transaction([&] {
        CommitResult result;
        const QString insert = QStringLiteral(" (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)")
                                   .arg(QLatin1String(kTargetColumns));
        Query toInventory(db, QStringLiteral("INSERT INTO EquipmentInfo") + insert);
        Query toDuplicates(db, QStringLiteral("INSERT INTO TempEquipmentInfo") + insert);
        Query rows(db, QStringLiteral("SELECT %1 FROM HoldEquipment%2 ORDER BY HoldEquipmentId")
                           .arg(QLatin1String(kHoldingColumns), QLatin1String(kAtActiveLocation)));
        ClsDuplicates duplicates(db);
        rows.exec();
        while (rows.next()) {
            const bool known = duplicates.CheckDuplicate(rows.text(kSerialColumn));
            QVariantList values;
            for (int i = 0; i <= kLocationColumn; ++i) {
                const QVariant value = rows.value(i);
                values << (i != kLocationColumn && value.isNull() ? QVariant(QStringLiteral("")) : value);
            }
            (known ? toDuplicates : toInventory).exec(values);
            ++(known ? result.parked : result.committed);
        }
        rows.finish();
        Query(db, QStringLiteral("DELETE FROM HoldEquipment") + QLatin1String(kAtActiveLocation)).exec();
        result.kept = count(db, "HoldEquipment");
        return result;
    });
}

constexpr qint64 kFirstLocation = 3000000001;  // past 31 bits
constexpr qint64 kFirstHolding = 4294967297;   // past 32 bits
constexpr qint64 kFirstEquipment = 5000000001; // past 32 bits
constexpr qint64 kFirstParked = 6000000001;    // past 32 bits
const QVariant kNull = QVariant(QMetaType::fromType<QString>());
const QVariant kEmpty = QVariant(QStringLiteral(""));

struct Tricky {
    qint64 depot = 0, annex = 0, closed = 0;
    int active = 0; // holding rows at an active location
};

void holdingRow(Database& db, const QVariant& serial, const QVariant& location, const QVariant& text = "x") {
    Query(db, QStringLiteral("INSERT INTO HoldEquipment (%1, LocationName) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                  .arg(QLatin1String(kHoldingColumns)))
        .exec({text, text, text, text.isNull() ? text : QVariant("2024-02-29"), text, serial, text, text, text, text,
               text, text, text, text, location, text});
}

// Serial numbers and where each one ends, in entry order (p: parked, i: inventory, k: kept). With emptyFirst an
// empty serial number comes before any Null one, so it enters the inventory; otherwise the first empty one meets
// the empty serial number a Null one was written with.
Tricky fillTrickyRows(Database& db, bool emptyFirst) {
    using EngineFixtures::continueIdsAfter;
    continueIdsAfter(db, "LocationInfo", "LocId", kFirstLocation - 1);
    continueIdsAfter(db, "EquipmentInfo", "EquipmentId", kFirstEquipment - 1);
    continueIdsAfter(db, "TempEquipmentInfo", "EquipmentId", kFirstParked - 1);
    continueIdsAfter(db, "HoldEquipment", "HoldEquipmentId", kFirstHolding - 1);
    Tricky t;
    t.depot = addLocation(db, "Depot");
    t.annex = addLocation(db, "Annex");
    t.closed = addLocation(db, "Closed");
    addEquipment(db, t.depot, "INV-1");
    addEquipment(db, t.depot, QString()); // a Null serial number in the inventory matches nothing
    const qint64 nowhere = t.closed + 100;
    if (emptyFirst)
        holdingRow(db, kEmpty, t.depot);   // i
    holdingRow(db, "abc", t.depot);        // i
    holdingRow(db, "ABC", t.annex);        // p: the same, case aside
    holdingRow(db, "abc ", t.depot);       // i: a trailing blank counts
    holdingRow(db, kNull, t.depot, kNull); // i, every text written empty
    holdingRow(db, kEmpty, t.depot);       // p
    holdingRow(db, "inv-1", t.depot);      // p: in the inventory already
    holdingRow(db, "X9", t.closed);        // k
    holdingRow(db, kNull, t.annex);        // i: a Null one is never found
    holdingRow(db, "x9", t.depot);         // i: the kept one does not count
    holdingRow(db, "X9", t.annex);         // p
    holdingRow(db, "\u00c4b", t.depot);    // i
    holdingRow(db, "\u00e4B", t.depot);    // i: the files fold case for ASCII letters only (p on a server)
    holdingRow(db, kEmpty, t.depot);       // p
    holdingRow(db, "O'Brien-1", t.annex);  // i
    holdingRow(db, "o'brien-1", nowhere);  // k: a location that is not there
    holdingRow(db, " abc", t.depot);       // i: a leading blank counts
    holdingRow(db, "ABC", t.depot);        // p
    Query(db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({t.closed});
    t.active = emptyFirst ? 16 : 15;
    return t;
}

Tricky fillTricky(Database& db, bool emptyFirst) {
    return db.transaction([&] { return fillTrickyRows(db, emptyFirst); });
}

// A value as an SQL literal, Null told apart from empty text.
QString quoted(const Database& db, const QString& column) {
    return QStringLiteral("%1(%2)").arg(db.engine() == Engine::SQLite ? "quote" : "quote_nullable", column);
}

// Every column of a table's rows, Null told apart from empty text, in id order.
QStringList tableRows(Database& db, const QString& table, const QString& columns) {
    QStringList quoted;
    for (const QString& c : columns.split(QStringLiteral(", ")))
        quoted << ::quoted(db, c);
    Query q(db, QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(quoted.join(QStringLiteral(" || '|' || ")), table));
    q.exec();
    QStringList rows;
    while (q.next())
        rows << q.text(0);
    return rows;
}

QStringList allTables(Database& db) {
    const QString target = QStringLiteral("EquipmentId, ") + QLatin1String(kTargetColumns);
    return tableRows(db, "EquipmentInfo", target) + QStringList{"--"} + tableRows(db, "TempEquipmentInfo", target) +
           QStringList{"--"} +
           tableRows(db, "HoldEquipment", QStringLiteral("HoldEquipmentId, ") + QLatin1String(kHoldingColumns));
}

// Id, serial number and location of every unit of a table, in id order.
QStringList units(Database& db, const QString& table) {
    Query q(db,
            QStringLiteral("SELECT EquipmentId || ' ' || %1 || ' @' || CurrentLocation FROM %2 ORDER BY EquipmentId")
                .arg(quoted(db, QStringLiteral("SerialNumber")), table));
    q.exec();
    QStringList values;
    while (q.next())
        values << q.text(0);
    return values;
}

QStringList numbered(qint64 firstId, const QList<std::pair<const char*, qint64>>& units) {
    QStringList values;
    for (const auto& [serial, location] : units)
        values << QStringLiteral("%1 %2 @%3").arg(firstId++).arg(QString::fromUtf8(serial)).arg(location);
    return values;
}

} // namespace

class tst_HoldingCommit : public QObject {
    Q_OBJECT
private slots:
    void trickyHoldingTable_data();
    void trickyHoldingTable();
};

void tst_HoldingCommit::trickyHoldingTable_data() {
    QTest::addColumn<bool>("emptyFirst");
    QTest::addColumn<int>("batchRows");
    for (const bool emptyFirst : {false, true})
        for (const int batchRows : {1, 2, 3, 4, HoldingStore::kCommitBatchRows})
            QTest::addRow("%s, batches of %d", emptyFirst ? "empty serial first" : "Null serial first", batchRows)
                << emptyFirst << batchRows;
}

void tst_HoldingCommit::trickyHoldingTable() {
    QFETCH(bool, emptyFirst);
    QFETCH(int, batchRows);
    TestContext t;
    const Tricky tricky = fillTricky(*t.db, emptyFirst);
    QList<std::pair<int, int>> reports;
    const CommitResult result = HoldingStore(*t.db).commitToInventory(
        [&](int done, int total) {
            reports.append({done, total});
        },
        batchRows);

    // The files' case-blind text folds ASCII letters only; the server's folds every letter, so "\u00e4B" meets
    // "\u00c4b" there.
    const bool foldsEveryLetter = t.db->engine() == Engine::PostgreSQL;
    const int parkedRows = foldsEveryLetter ? 7 : 6;
    const int inventoryRows = (emptyFirst ? 10 : 9) - (foldsEveryLetter ? 1 : 0);
    QCOMPARE(result.committed, inventoryRows);
    QCOMPARE(result.parked, parkedRows);
    QCOMPARE(result.kept, 2);
    const qint64 depot = tricky.depot, annex = tricky.annex;
    QList<std::pair<const char*, qint64>> inventory = {
        {"'INV-1'", depot},   {"NULL", depot},         {"'abc'", depot}, {"'abc '", depot},
        {"''", depot},        {"''", annex},           {"'x9'", depot},  {"'\u00c4b'", depot},
        {"'\u00e4B'", depot}, {"'O''Brien-1'", annex}, {"' abc'", depot}};
    QList<std::pair<const char*, qint64>> parked = {{"'ABC'", annex}, {"''", depot}, {"'inv-1'", depot},
                                                    {"'X9'", annex},  {"''", depot}, {"'ABC'", depot}};
    if (foldsEveryLetter) {
        inventory.removeAt(8);
        parked.insert(4, {"'\u00e4B'", depot});
    }
    if (emptyFirst)
        inventory.insert(2, {"''", depot});
    QCOMPARE(units(*t.db, "EquipmentInfo"), numbered(kFirstEquipment, inventory));
    QCOMPARE(units(*t.db, "TempEquipmentInfo"), numbered(kFirstParked, parked));
    // The unit entered with nothing but its location: every text empty, active.
    QCOMPARE(count(*t.db, "EquipmentInfo",
                   "AssetTagNumber = '' AND EquipmentType = '' AND Manufacturer = '' AND DatePurchased = '' AND "
                   "PurchasePrice = '' AND SerialNumber = '' AND ModelNumber = '' AND CPUSpeed = '' AND Memory = '' "
                   "AND HarddriveCap = '' AND Monitor = '' AND Mouse = '' AND Keyboard = '' AND OperatingSystem = '' "
                   "AND CurrentLocation = ? AND EquActive = 1",
                   {tricky.depot}),
             1);
    QCOMPARE(count(*t.db, "EquipmentInfo", "EquActive = 1 AND EquipmentId >= ?", {kFirstEquipment + 2}), inventoryRows);
    QCOMPARE(count(*t.db, "TempEquipmentInfo", "EquActive = 1"), parkedRows);
    QCOMPARE(count(*t.db, "HoldEquipment", "SerialNumber IN ('X9', 'o''brien-1')"), 2);

    // A report after every batch, the last one at the end.
    const int batches = (tricky.active + batchRows - 1) / batchRows;
    QCOMPARE(reports.size(), batches);
    for (int i = 0; i < batches; ++i)
        QCOMPARE(reports.at(i), std::make_pair(std::min((i + 1) * batchRows, tricky.active), tricky.active));

    // Row by row on the same table: the very same rows, every column and id.
    TestContext reference;
    fillTricky(*reference.db, emptyFirst);
    const CommitResult expected = rowByRowCommit(*reference.db);
    QCOMPARE(allTables(*t.db), allTables(*reference.db));
    QCOMPARE(result.committed, expected.committed);
    QCOMPARE(result.parked, expected.parked);
    QCOMPARE(result.kept, expected.kept);
}

QTEST_MAIN(tst_HoldingCommit)
#include "tst_holdingcommit.moc"
