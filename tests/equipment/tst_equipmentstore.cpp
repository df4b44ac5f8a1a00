#include "data/Database.h"
#include "data/DateText.h"
#include "data/PackedRows.h"
#include "equipment/store/EquipmentStore.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QTest>

using namespace Fixtures;

namespace {

struct ListedRow {
    qint64 id;
    QStringList cells;
};

std::vector<ListedRow> activeList(Database& db, const SortOrder& order = {}) {
    std::vector<ListedRow> rows;
    EquipmentStore(db).forEachActiveEquipment(order, [&](const QVariant& id, const QStringList& cells) {
        rows.push_back({id.toLongLong(), cells});
    });
    return rows;
}

// The nine list columns from AssetTagNumber on, in the table's order; QVariant() stores Null.
qint64 addUnit(Database& db, const QVariant& locId, const QVariantList& values, int active = 1) {
    Query q(db, QStringLiteral("INSERT INTO EquipmentInfo (EquipmentType, Manufacturer, SerialNumber, DatePurchased, "
                               "PurchasePrice, ModelNumber, AssetTagNumber, CurrentLocation, EquActive) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QVariantList all = values;
    all << locId << active;
    q.exec(all);
    return q.lastInsertId().toLongLong();
}

} // namespace

class tst_EquipmentStore : public QObject {
    Q_OBJECT
private slots:
    void listsOnlyActiveUnitsAtExistingLocations();
    void cellsAreDisplayText();
    void sortsByEveryColumn_data();
    void sortsByEveryColumn();
    void statementKeepsUnknownKeysOut_data();
    void statementKeepsUnknownKeysOut();
    void deleteTakesHistoryButNotNotes();
    void activeAtListsOneLocationsActiveUnits();
};

void tst_EquipmentStore::listsOnlyActiveUnitsAtExistingLocations() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Alpha");
    const qint64 retiredLoc = addLocation(*t.db, "Retired");
    Query(*t.db, QStringLiteral("UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?")).exec({retiredLoc});
    const qint64 listed = addEquipment(*t.db, loc, "S1");
    addEquipment(*t.db, loc, "S2", "Laptop", false);
    const qint64 atRetired = addEquipment(*t.db, retiredLoc, "S3");
    addEquipment(*t.db, 9999, "S4");                                       // location missing
    addUnit(*t.db, QVariant(), {"Desktop", "Dell", "S5", "", "", "", ""}); // no location at all

    const auto rows = activeList(*t.db);
    QCOMPARE(rows.size(), size_t(2));
    // A retired location still joins: only the unit's own flag filters.
    QCOMPARE(rows[0].id, listed);
    QCOMPARE(rows[1].id, atRetired);
    QCOMPARE(rows[1].cells.value(1), QStringLiteral("Retired"));
}

void tst_EquipmentStore::cellsAreDisplayText() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "O'Brien&nbsp;s Dental");
    const qint64 full =
        addUnit(*t.db, loc, {"Laptop", "Dell's", "SN&nbsp;1", "2021-03-04", "1299.00", "&nbsp;", "AT-1&nbsp;&nbsp;"});
    const qint64 nulls =
        addUnit(*t.db, loc, {QVariant(), QVariant(), "SN2", QVariant(), QVariant(), QVariant(), QVariant()});
    const qint64 oddDate = addUnit(*t.db, loc, {"", "", "SN3", "sometime", "&amp;", "", ""});

    const auto rows = activeList(*t.db, {QStringLiteral("EquipmentId"), false});
    QCOMPARE(rows.size(), size_t(3));
    QCOMPARE(rows[0].id, full);
    QCOMPARE(rows[0].cells, (QStringList{QString::number(full), "O'Briens Dental", "Laptop", "Dell's", "SN1",
                                         DateText::toShort(QDate(2021, 3, 4)), "1299.00", "", "AT-1"}));
    QCOMPARE(rows[1].id, nulls);
    QCOMPARE(rows[1].cells, (QStringList{QString::number(nulls), "O'Briens Dental", "", "", "SN2", "", "", "", ""}));
    QCOMPARE(rows[2].cells,
             (QStringList{QString::number(oddDate), "O'Briens Dental", "", "", "SN3", "sometime", "&amp;", "", ""}));
}

void tst_EquipmentStore::sortsByEveryColumn_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QList<int>>("ascending"); // units by their insertion number

    // Text sorts without regard to case, dates as dates, prices as the text they are stored as.
    QTest::newRow("ID") << "EquipmentId" << QList<int>{1, 2, 3};
    QTest::newRow("Current Location") << "LocName" << QList<int>{2, 1, 3};
    QTest::newRow("Description") << "EquipmentType" << QList<int>{2, 3, 1};
    QTest::newRow("Manufacturer") << "Manufacturer" << QList<int>{2, 3, 1};
    QTest::newRow("Serial Number") << "SerialNumber" << QList<int>{2, 1, 3};
    QTest::newRow("Date Purchased") << "DatePurchased" << QList<int>{3, 1, 2};
    QTest::newRow("Purchase Price") << "PurchasePrice" << QList<int>{2, 3, 1};
    QTest::newRow("Model Number") << "ModelNumber" << QList<int>{3, 1, 2};
    QTest::newRow("Asset Tag Number") << "AssetTagNumber" << QList<int>{2, 3, 1};
}

void tst_EquipmentStore::sortsByEveryColumn() {
    QFETCH(QString, key);
    QFETCH(QList<int>, ascending);
    TestContext t;
    const qint64 beta = addLocation(*t.db, "beta Corp");
    const qint64 alpha = addLocation(*t.db, "Alpha Inc");
    const qint64 gamma = addLocation(*t.db, "Gamma");
    const QList<qint64> ids{
        0,
        addUnit(*t.db, beta, {"Monitor", "HP", "S-200", "2020-05-01", "89.99", "m2", "T3"}),
        addUnit(*t.db, alpha, {"desktop", "apple", "s-100", "2021-01-15", "1299.00", "M3", "t1"}),
        addUnit(*t.db, gamma, {"Laptop", "Dell", "S-300", "2019-12-31", "249.00", "m1", "T2"}),
    };
    QVERIFY(sortsBy(EquipmentStore::activeListColumns(), key));

    for (const bool descending : {false, true}) {
        QList<qint64> expected;
        for (const int unit : ascending)
            expected << ids[unit];
        if (descending)
            std::reverse(expected.begin(), expected.end());
        QList<qint64> got;
        for (const ListedRow& row : activeList(*t.db, {key, descending}))
            got << row.id;
        QCOMPARE(got, expected);
    }
}

void tst_EquipmentStore::statementKeepsUnknownKeysOut_data() {
    QTest::addColumn<QString>("key");
    QTest::newRow("empty") << QString();
    QTest::newRow("column not in the list") << "EquActive";
    QTest::newRow("text that is not a key") << "EquipmentId; DROP TABLE EquipmentInfo";
    QTest::newRow("a key with other case") << "equipmentid";
}

void tst_EquipmentStore::statementKeepsUnknownKeysOut() {
    QFETCH(QString, key);
    const QString plain = EquipmentStore::activeListStatement();
    QCOMPARE(EquipmentStore::activeListStatement({key, true}), plain);
    QVERIFY(!plain.contains(QLatin1String("ORDER BY")));
    // A known key only ever adds its own column.
    QVERIFY(EquipmentStore::activeListStatement({QStringLiteral("LocName"), true})
                .endsWith(QLatin1String(" ORDER BY LocationInfo.LocName DESC")));
}

void tst_EquipmentStore::deleteTakesHistoryButNotNotes() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Alpha");
    const qint64 gone = addEquipment(*t.db, loc, "S1");
    const qint64 kept = addEquipment(*t.db, loc, "S2");
    for (const qint64 id : {gone, gone, kept})
        Query(*t.db, QStringLiteral("INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (?, ?)")).exec({id, loc});
    Query(*t.db, QStringLiteral("INSERT INTO EquipmentNoteInformation (EquipmentId, NoteTitle) VALUES (?, 'n')"))
        .exec({gone});

    EquipmentStore(*t.db).deleteEquipment(gone);
    QCOMPARE(count(*t.db, "EquipmentInfo"), 1);
    QCOMPARE(count(*t.db, "EquipLocAssign", "EquipmentId = ?", {gone}), 0);
    QCOMPARE(count(*t.db, "EquipLocAssign", "EquipmentId = ?", {kept}), 1);
    QCOMPARE(count(*t.db, "EquipmentNoteInformation", "EquipmentId = ?", {gone}), 1);
}

// The explorer's list: the chosen location's active units only, sorted case-blind as every text column is.
void tst_EquipmentStore::activeAtListsOneLocationsActiveUnits() {
    TestContext t;
    const qint64 alpha = addLocation(*t.db, "Alpha Inc");
    const qint64 beta = addLocation(*t.db, "beta Corp");
    const qint64 upper = addUnit(*t.db, alpha, {"Monitor", "HP", "B-2", "2020-05-01", "89.99", "m2", "T3"});
    const qint64 lower = addUnit(*t.db, alpha, {"Laptop", "Dell", "a-1", "", QVariant(), "m1", "T2"});
    addUnit(*t.db, alpha, {"Laptop", "Dell", "A-0", "", "", "m1", "T1"}, 0);
    addUnit(*t.db, beta, {"Laptop", "Dell", "A-00", "", "", "m1", "T0"});

    const PackedRows rows = EquipmentStore(*t.db).activeAt(alpha, {QStringLiteral("SerialNumber"), false});
    QCOMPARE(rows.columnCount(), int(EquipmentStore::locationListColumns().size()));
    QCOMPARE(rows.rowCount(), 2);
    QCOMPARE(rows.key(0, 0), QVariant(lower));
    QCOMPARE(rows.key(1, 0), QVariant(upper));
    QCOMPARE(rows.text(1, 1), QStringLiteral("Alpha Inc"));
    QCOMPARE(rows.text(1, 6), QStringLiteral("89.99"));
    QVERIFY(rows.isNull(0, 6));
    const PackedRows descending = EquipmentStore(*t.db).activeAt(alpha, {QStringLiteral("SerialNumber"), true});
    QCOMPARE(descending.key(0, 0), QVariant(upper));
    QCOMPARE(EquipmentStore(*t.db).activeAt(9999, {}).rowCount(), 0);
}

QTEST_MAIN(tst_EquipmentStore)
#include "tst_equipmentstore.moc"
