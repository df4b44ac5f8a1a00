#include "data/Database.h"
#include "data/DateText.h"
#include "equipment/ui/FrmSearchEquipmentScanner.h"
#include "equipment/ui/frmEditEquipment.h"
#include "equipment/ui/frmSearchEquipment.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/Widgets.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>

namespace {

constexpr qint64 kLoc = 1;

// Units 1 to 7; unit 5 is retired. Serial numbers and asset tags chosen so that each search case hits a known set.
void addInventory(Database& db) {
    Query(db, QStringLiteral("INSERT INTO LocationInfo (LocId, LocName, StateId, LocActive) VALUES (?, 'Here', 2, 1)"))
        .exec({kLoc});
    Query q(db, QStringLiteral("INSERT INTO EquipmentInfo (EquipmentId, EquipmentType, Manufacturer, SerialNumber, "
                               "DatePurchased, AssetTagNumber, CurrentLocation, EquActive) "
                               "VALUES (?, 'Desktop', ?, ?, '2024-05-06', ?, ?, ?)"));
    q.exec({1, "Dell&nbsp;Inc", "ABC1", "T-1", kLoc, 1});
    q.exec({2, "Dell", "ABC2", "T-2", kLoc, 1});
    q.exec({3, "Dell", "XYZ", "ABC1", kLoc, 1});
    q.exec({4, "Dell", "", QVariant(), kLoc, 1});
    q.exec({5, "Dell", "50%_off", "T-5", kLoc, 0});
    q.exec({6, "Dell", QString::fromUtf8("O'Brien-Ж"), "T-6", kLoc, 1});
    q.exec({7, "Dell", "50AXoff", "T-7", kLoc, 1});
}

QList<qint64> listedIds(ReportList* list) {
    QList<qint64> ids;
    for (int row = 0; row < list->rowCount(); ++row)
        ids << list->rowTag(row).toLongLong();
    std::sort(ids.begin(), ids.end());
    return ids;
}

QStringList headers(ReportList* list) {
    QStringList all;
    for (int c = 0; c < list->columnCount(); ++c)
        all << list->columnHeader(c);
    return all;
}

QList<frmEditEquipment*> detailWindows(TestContext& t) {
    QList<frmEditEquipment*> details;
    for (const auto& p : t.windows.shown)
        if (auto* d = qobject_cast<frmEditEquipment*>(p.data()))
            details << d;
    return details;
}

} // namespace

class tst_SearchWindows : public QObject {
    Q_OBJECT
private slots:
    void searchFinds_data();
    void searchFinds();
    void resultRowsShowAsListed();
    void scannerAsksAtOnceAndOnRequest();
    void enterOpensOneDetailPerSelectedRow();
};

void tst_SearchWindows::searchFinds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("assetTag");
    QTest::addColumn<QList<qint64>>("found");
    QTest::newRow("exact text") << "ABC1" << false << QList<qint64>{1};
    QTest::newRow("exact text without regard to case") << "abc1" << false << QList<qint64>{1};
    QTest::newRow("prefix") << "ABC*" << false << QList<qint64>{1, 2};
    QTest::newRow("asterisk alone, retired units too") << "*" << false << QList<qint64>{1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("empty text") << "" << false << QList<qint64>{4};
    QTest::newRow("asset tag") << "ABC1" << true << QList<qint64>{3};
    QTest::newRow("asset tag prefix") << "t-*" << true << QList<qint64>{1, 2, 5, 6, 7};
    QTest::newRow("percent and underscore as wildcards") << "50%_off" << false << QList<qint64>{5, 7};
    QTest::newRow("apostrophe and Unicode") << QString::fromUtf8("O'Brien-Ж") << false << QList<qint64>{6};
    QTest::newRow("no hit") << "NOPE*" << false << QList<qint64>{};
}

void tst_SearchWindows::searchFinds() {
    QFETCH(QString, text);
    QFETCH(bool, assetTag);
    QFETCH(QList<qint64>, found);
    TestContext t;
    addInventory(*t.db);
    auto* w = openWindow<frmSearchEquipment>(t.ctx, nullptr);
    QVERIFY(w);
    QVERIFY(w->findChild<QRadioButton*>("Option1_0")->isChecked());
    if (assetTag)
        QTest::mouseClick(w->assetTagOption(), Qt::LeftButton);
    w->searchBox()->setText(text);

    click(w, "Command1");

    QCOMPARE(listedIds(w->list()), found);
    QCOMPARE(w->list()->columnCount(), 8);
    QCOMPARE(t.dialogs.texts(), found.isEmpty() ? QStringList{"Eqipment not found"} : QStringList{});
}

void tst_SearchWindows::resultRowsShowAsListed() {
    TestContext t;
    addInventory(*t.db);
    auto* w = openWindow<frmSearchEquipment>(t.ctx, nullptr);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Search Equipment"));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    w->searchBox()->setText("ABC1");
    click(w, "Command1");

    QCOMPARE(headers(w->list()), (QStringList{"Id", "Equipment Type", "Manufacturer", "Date Purchased", "PurchasePrice",
                                              "Serial Number", "Model Number", "AssetTagNumber"}));
    QCOMPARE(w->list()->cells(0),
             (QStringList{"1", "Desktop", "Dell Inc", DateText::toShort(QDate(2024, 5, 6)), "", "ABC1", "", "T-1"}));
}

void tst_SearchWindows::scannerAsksAtOnceAndOnRequest() {
    TestContext t;
    addInventory(*t.db);
    t.dialogs.type("ABC*");
    auto* w = openWindow<FrmSearchEquipmentScanner>(t.ctx, nullptr);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Search Equipment Using the Scanner"));
    QCOMPARE(t.dialogs.prompts, QStringList{"Scan serial number to search"});
    QCOMPARE(t.dialogs.promptTitles, QStringList{"Kavrel"});
    QCOMPARE(w->searchBox()->text(), QStringLiteral("ABC*"));
    QCOMPARE(listedIds(w->list()), (QList<qint64>{1, 2}));
    QCOMPARE(headers(w->list()).size(), 7);

    t.dialogs.type(QString()); // cancelled
    click(w, "Command2");
    QCOMPARE(t.dialogs.prompts.size(), 2);
    QCOMPARE(w->searchBox()->text(), QString());
    QCOMPARE(listedIds(w->list()), QList<qint64>{4});

    w->searchBox()->setText("NOPE");
    click(w, "Command1");
    QCOMPARE(w->list()->rowCount(), 0);
    QVERIFY(t.dialogs.messages.isEmpty());
    QVERIFY(t.dialogs.allAnswersUsed());
}

void tst_SearchWindows::enterOpensOneDetailPerSelectedRow() {
    TestContext t;
    addInventory(*t.db);
    t.dialogs.type("*");
    auto* w = openWindow<FrmSearchEquipmentScanner>(t.ctx, nullptr);
    ReportList* list = w->list();
    QList<qint64> picked;
    for (int row : {1, 3}) {
        list->setRowSelected(row, true);
        picked << list->rowTag(row).toLongLong();
    }

    QTest::keyClick(list, Qt::Key_Return);

    const QList<frmEditEquipment*> details = detailWindows(t);
    QCOMPARE(details.size(), 2);
    QCOMPARE(details[0]->Idnum, QString::number(picked[0]));
    QCOMPARE(details[1]->Idnum, QString::number(picked[1]));
}

QTEST_MAIN(tst_SearchWindows)
#include "tst_searchwindows.moc"
