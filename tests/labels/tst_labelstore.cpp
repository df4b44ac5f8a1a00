#include "data/Database.h"
#include "labels/store/LabelStore.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"

#include <QTest>

using namespace UnitFixtures;

namespace {
constexpr qint64 kStore = 70001;
constexpr qint64 kGone = 70009; // a location id no row has

QStringList described(const UnitLabels& found) {
    QStringList out;
    for (const UnitLabel& l : found.labels)
        out << QStringLiteral("%1|%2|%3|%4").arg(l.id).arg(l.code, l.type, l.location);
    return out;
}
} // namespace

class tst_LabelStore : public QObject {
    Q_OBJECT
private slots:
    void codesComeFromAssetTagElseSerial();
    void manyUnitsKeepTheOrderAsked();
};

void tst_LabelStore::codesComeFromAssetTagElseSerial() {
    TestContext t;
    Database& db = *t.db;
    addLocationWithId(db, kStore, QStringLiteral("Lager Süd"));
    setAssetTag(db, addUnitWithId(db, 90001, kStore, "SN-1"), "  AT-000123 ");
    setAssetTag(db, addUnitWithId(db, 90002, kStore, " SN-2 ", QStringLiteral("Écran&nbsp;27\"")), "   ");
    addUnitWithId(db, 90003, kGone, "SN-3", QVariant());
    setAssetTag(db, addUnitWithId(db, 90004, kStore, "  "), QVariant());
    setAssetTag(db, addUnitWithId(db, 90005, kStore, "SN-5"), "O'Brien-7");

    const UnitLabels found = LabelStore(db).labelsFor({90005, 90004, 90002, 12345, 90001, 90003, 90005});
    QCOMPARE(described(found), QStringList({
                                   "90005|O'Brien-7|Desktop|Lager Süd",
                                   "90002|SN-2|Écran27\"|Lager Süd",
                                   "90001|AT-000123|Desktop|Lager Süd",
                                   "90003|SN-3||",
                                   "90005|O'Brien-7|Desktop|Lager Süd",
                               }));
    // Neither asset tag nor serial number, and an id of no unit.
    QCOMPARE(found.skipped, 2);
    QCOMPARE(LabelStore(db).labelsFor({}).labels.size(), size_t(0));
}

void tst_LabelStore::manyUnitsKeepTheOrderAsked() {
    TestContext t;
    Database& db = *t.db;
    addLocationWithId(db, kStore, QStringLiteral("Store"));
    QList<qint64> ids;
    db.transaction([&] {
        for (int i = 0; i < 1234; ++i)
            ids.prepend(addUnitWithId(db, 100000 + i, kStore, QStringLiteral("S%1").arg(i)));
    });
    const UnitLabels found = LabelStore(db).labelsFor(ids);
    QCOMPARE(found.skipped, 0);
    QCOMPARE(found.labels.size(), size_t(ids.size()));
    for (qsizetype i = 0; i < ids.size(); ++i)
        QCOMPARE(found.labels[size_t(i)].id, ids[i]);
    QCOMPARE(found.labels.back().code, QStringLiteral("S0"));
}

QTEST_GUILESS_MAIN(tst_LabelStore)
#include "tst_labelstore.moc"
