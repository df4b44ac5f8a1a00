#include "assignment/store/AssignmentStore.h"
#include "data/Database.h"
#include "support/EngineFixtures.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"

#include <QTest>

using namespace UnitFixtures;

namespace {

constexpr qint64 kFrom = 1;
constexpr qint64 kTarget = 2;

void addPlaces(Database& db) {
    addLocationWithId(db, kFrom, QStringLiteral("From"));
    addLocationWithId(db, kTarget, QStringLiteral("Target"));
}

QList<qint64> idsAt(Database& db, qint64 locId) {
    Query q(db, QStringLiteral("SELECT EquipmentId FROM EquipmentInfo WHERE CurrentLocation = ? ORDER BY EquipmentId"));
    q.exec({locId});
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    return ids;
}

QList<qint64> historyIds(Database& db, qint64 locId) {
    Query q(db, QStringLiteral("SELECT EquipmentId FROM EquipLocAssign WHERE LocId = ? AND EquipLocAssignDate "
                               "IS NOT NULL ORDER BY EquipmentId"));
    q.exec({locId});
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    return ids;
}

} // namespace

class tst_BatchAssign : public QObject {
    Q_OBJECT
private slots:
    void movesTheUnitsOfTheRange_data();
    void movesTheUnitsOfTheRange();
    void movesUnitsWhateverTheirStateOrPlace();
    void countsBeyondSixteenBits();
    void failureMidRangeMovesNothing();
    void refusesALocationRetiredMeanwhile_data();
    void refusesALocationRetiredMeanwhile();
};

void tst_BatchAssign::movesTheUnitsOfTheRange_data() {
    QTest::addColumn<double>("start");
    QTest::addColumn<QVariant>("end"); // invalid: no end typed
    QTest::addColumn<QList<qint64>>("units");
    QTest::addColumn<QList<qint64>>("moved");

    QTest::newRow("start alone") << 5.0 << QVariant() << QList<qint64>{4, 5, 6} << QList<qint64>{5};
    QTest::newRow("missing id skipped") << 10.0 << QVariant(12.0) << QList<qint64>{9, 10, 12, 13}
                                        << QList<qint64>{10, 12};
    QTest::newRow("end below start") << 7.0 << QVariant(3.0) << QList<qint64>{3, 4, 5, 6, 7} << QList<qint64>{};
    QTest::newRow("start rounded, end floored")
        << 2.5 << QVariant(4.9) << QList<qint64>{1, 2, 3, 4, 5} << QList<qint64>{2, 3, 4};
    QTest::newRow("half rounds to even") << 3.5 << QVariant(5.0) << QList<qint64>{3, 4, 5} << QList<qint64>{4, 5};
    QTest::newRow("ids beyond 16 bits") << 32766.0 << QVariant(70001.0)
                                        << QList<qint64>{32766, 32767, 32768, 70001, 70002}
                                        << QList<qint64>{32766, 32767, 32768, 70001};
    QTest::newRow("huge bounds clamp") << -1e30 << QVariant(1e30) << QList<qint64>{1, 5000000000LL}
                                       << QList<qint64>{1, 5000000000LL};
}

void tst_BatchAssign::movesTheUnitsOfTheRange() {
    QFETCH(double, start);
    QFETCH(QVariant, end);
    QFETCH(QList<qint64>, units);
    QFETCH(QList<qint64>, moved);
    TestContext t;
    addPlaces(*t.db);
    for (qint64 id : units)
        addUnitWithId(*t.db, id, kFrom, QStringLiteral("S%1").arg(id));

    const std::optional<double> endValue = end.isValid() ? std::optional<double>(end.toDouble()) : std::nullopt;
    const qint64 count = AssignmentStore(*t.db).assignRange(IdRange::fromBounds(start, endValue), kTarget);

    QCOMPARE(count, qint64(moved.size()));
    QCOMPARE(idsAt(*t.db, kTarget), moved);
    QCOMPARE(historyIds(*t.db, kTarget), moved);
    QCOMPARE(idsAt(*t.db, kFrom).size(), units.size() - moved.size());
}

void tst_BatchAssign::movesUnitsWhateverTheirStateOrPlace() {
    TestContext t;
    addPlaces(*t.db);
    addUnitWithId(*t.db, 1, kFrom, QStringLiteral("Retired"));
    Query(*t.db, QStringLiteral("UPDATE EquipmentInfo SET EquActive = 0 WHERE EquipmentId = 1")).exec();
    addUnitWithId(*t.db, 2, kTarget, QStringLiteral("Already there"));

    QCOMPARE(AssignmentStore(*t.db).assignRange({1, 2}, kTarget), qint64(2));

    QCOMPARE(idsAt(*t.db, kTarget), (QList<qint64>{1, 2}));
    QCOMPARE(historyIds(*t.db, kTarget), (QList<qint64>{1, 2}));
}

void tst_BatchAssign::countsBeyondSixteenBits() {
    TestContext t;
    addPlaces(*t.db);
    Query(*t.db, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 66000) "
                                "INSERT INTO EquipmentInfo (EquipmentId, CurrentLocation, EquActive) "
                                "SELECT i, ?, 1 FROM n"))
        .exec({kFrom});

    QCOMPARE(AssignmentStore(*t.db).assignRange({1, 66000}, kTarget), qint64(66000));
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("EquipLocAssign"), QStringLiteral("LocId = ?"), {kTarget}), 66000);
}

void tst_BatchAssign::failureMidRangeMovesNothing() {
    TestContext t;
    addPlaces(*t.db);
    for (qint64 id : {10, 11, 12})
        addUnitWithId(*t.db, id, kFrom, QStringLiteral("S%1").arg(id));
    EngineFixtures::refuseWrites(*t.db, "EquipLocAssign", "INSERT", "refused", "NEW.EquipmentId = 11");
    const QStringList before = inventoryRows(*t.db);

    QVERIFY_THROWS_EXCEPTION(DataError, AssignmentStore(*t.db).assignRange({10, 12}, kTarget));

    QCOMPARE(inventoryRows(*t.db), before);
}

void tst_BatchAssign::refusesALocationRetiredMeanwhile_data() {
    QTest::addColumn<bool>("range");
    QTest::addColumn<bool>("deleted"); // gone altogether rather than retired
    QTest::newRow("range, retired") << true << false;
    QTest::newRow("range, deleted") << true << true;
    QTest::newRow("units, retired") << false << false;
}

void tst_BatchAssign::refusesALocationRetiredMeanwhile() {
    QFETCH(bool, range);
    QFETCH(bool, deleted);
    TestContext t;
    addPlaces(*t.db);
    for (qint64 id : {10, 11})
        addUnitWithId(*t.db, id, kFrom, QStringLiteral("S%1").arg(id));
    {
        // Another workstation takes the target out of use after this one chose it.
        std::unique_ptr<Database> other = t.openAnother(QStringLiteral("other"));
        Query(*other, deleted ? QStringLiteral("DELETE FROM LocationInfo WHERE LocId = ?")
                              : QStringLiteral("UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?"))
            .exec({kTarget});
    }
    const QStringList before = inventoryRows(*t.db);

    AssignmentStore store(*t.db);
    try {
        if (range)
            store.assignRange({10, 11}, kTarget);
        else
            store.assign({10, 11}, kTarget);
        QFAIL("the move was not refused");
    } catch (const LocationUnavailable& e) {
        QCOMPARE(e.text(), QStringLiteral("The selected location no longer exists or has been retired"));
    }

    QCOMPARE(inventoryRows(*t.db), before);
    QVERIFY(!store.locationActive(kTarget));
    QVERIFY(store.locationActive(kFrom));
}

QTEST_GUILESS_MAIN(tst_BatchAssign)
#include "tst_batchassign.moc"
