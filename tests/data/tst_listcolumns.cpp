#include "data/ListColumns.h"

#include <QLatin1String>
#include <QTest>
#include <stdexcept>

class tst_ListColumns : public QObject {
    Q_OBJECT
private slots:
    void builderReadsAndShowsByKey();
    void builderRefusesUnknownKey();
};

void tst_ListColumns::builderReadsAndShowsByKey() {
    const ListColumns c = ListColumnsBuilder("EquipmentInfo", CellDisplay::NbspRemoved)
                              .add("EquipmentId", "ID")
                              .add("LocName", "Current Location", "LocationInfo.LocName")
                              .add("DatePurchased", "Date Purchased")
                              .from("")
                              .add("Total", "Total")
                              .display(CellDisplay::AsStored, {"EquipmentId"})
                              .shortDate({"DatePurchased"})
                              .whole({"EquipmentId", "LocName"})
                              .unsorted({"Total"})
                              .build();
    const char* const keyAndSql[][2] = {{"EquipmentId", "EquipmentInfo.EquipmentId"},
                                        {"LocName", "LocationInfo.LocName"},
                                        {"DatePurchased", "EquipmentInfo.DatePurchased"},
                                        {"Total", "Total"}};
    QCOMPARE(c.size(), 4);
    for (int i = 0; i < c.size(); ++i) {
        QCOMPARE(c[i].key, QLatin1String(keyAndSql[i][0]));
        QCOMPARE(c[i].sql, QLatin1String(keyAndSql[i][1]));
    }
    QCOMPARE(c[1].header, QStringLiteral("Current Location"));
    // Only the columns named take a setting; the others keep the builder's.
    QCOMPARE(c[0].display, CellDisplay::AsStored);
    QCOMPARE(c[1].display, CellDisplay::NbspRemoved);
    QVERIFY(c[2].shortDate && !c[0].shortDate);
    QVERIFY(c[0].whole && c[1].whole && !c[2].whole);
    QVERIFY(c[0].sorts && !c[3].sorts);

    const ListColumns none = ListColumnsBuilder().add("A", "A").add("B", "B").unsorted().build();
    QVERIFY(!none[0].sorts && !none[1].sorts);
}

void tst_ListColumns::builderRefusesUnknownKey() {
    ListColumnsBuilder b("EquipmentInfo");
    b.add("SerialNumber", "Serial Number");
    // A header is not a key.
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, b.whole({"Serial Number"}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, b.shortDate({"serialnumber"}));
}

QTEST_GUILESS_MAIN(tst_ListColumns)
#include "tst_listcolumns.moc"
