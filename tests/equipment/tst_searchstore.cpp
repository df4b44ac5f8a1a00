#include "data/Database.h"
#include "equipment/store/SearchStore.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"

#include <QTest>
#include <algorithm>

using namespace UnitFixtures;

namespace {
constexpr qint64 kLoc = 70001;

// Serial numbers that tell "%" (any run), "_" (one character) and the characters taken as they are apart.
void seed(Database& db) {
    addLocationWithId(db, kLoc, QStringLiteral("Here"));
    const char* serials[] = {"ABC1", "ABC2", "abc10", "50%off", "50_off", "50AXoff", "A\\B", "AxB", ""};
    qint64 id = 60001;
    for (const char* serial : serials)
        setAssetTag(db, addUnitWithId(db, id++, kLoc, QLatin1String(serial)),
                    QStringLiteral("T-%1").arg(QLatin1String(serial)));
}

QList<qint64> found(Database& db, SearchStore::Field field, const QString& text) {
    const PackedRows rows = SearchStore(db).found(field, text, SearchStore::resultColumns());
    QList<qint64> ids;
    for (int row = 0; row < rows.rowCount(); ++row)
        ids << rows.text(row, 0).toLongLong() - 60000;
    std::sort(ids.begin(), ids.end());
    return ids;
}
} // namespace

class tst_SearchStore : public QObject {
    Q_OBJECT
private slots:
    void wildcardsAsTheEnginesLikeHasThem_data();
    void wildcardsAsTheEnginesLikeHasThem();
};

void tst_SearchStore::wildcardsAsTheEnginesLikeHasThem_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("assetTag");
    QTest::addColumn<QList<qint64>>("units"); // 1 is ABC1, 2 ABC2, ... 9 the empty serial number
    QTest::newRow("equal only") << "ABC1" << false << QList<qint64>{1};
    QTest::newRow("percent alone: all") << "%" << false << QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("percent as asterisk") << "ABC%" << false << QList<qint64>{1, 2, 3};
    QTest::newRow("asterisk") << "ABC*" << false << QList<qint64>{1, 2, 3};
    QTest::newRow("underscore: one character") << "abc_" << false << QList<qint64>{1, 2};
    QTest::newRow("percent within") << "50%off" << false << QList<qint64>{4, 5, 6};
    QTest::newRow("underscore within") << "50_off" << false << QList<qint64>{4, 5};
    QTest::newRow("both") << "5%_off" << false << QList<qint64>{4, 5, 6};
    QTest::newRow("backslash is itself") << "A\\B" << false << QList<qint64>{7};
    QTest::newRow("backslash before a wildcard") << "A\\%" << false << QList<qint64>{7};
    QTest::newRow("empty text") << "" << false << QList<qint64>{9};
    QTest::newRow("asset tag") << "t-A_B" << true << QList<qint64>{7, 8};
    QTest::newRow("asset tag, percent") << "T-5%" << true << QList<qint64>{4, 5, 6};
}

void tst_SearchStore::wildcardsAsTheEnginesLikeHasThem() {
    QFETCH(QString, text);
    QFETCH(bool, assetTag);
    QFETCH(QList<qint64>, units);
    TestContext t;
    seed(*t.db);
    QCOMPARE(found(*t.db, assetTag ? SearchStore::Field::AssetTagNumber : SearchStore::Field::SerialNumber, text),
             units);
}

QTEST_MAIN(tst_SearchStore)
#include "tst_searchstore.moc"
