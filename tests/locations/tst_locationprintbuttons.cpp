#include "data/Database.h"
#include "locations/ui/DisplayInformation.h"
#include "locations/ui/frmActiveLocations.h"
#include "platform/ReportList.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QAction>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QToolBar>

using namespace Fixtures;

namespace {
const QDateTime kNow(QDate(2025, 12, 24), QTime(16, 45));

void trigger(QToolBar* toolbar, const QString& tag) {
    for (QAction* action : toolbar->actions())
        if (action->data().toString() == tag) {
            action->trigger();
            return;
        }
    QFAIL(qPrintable(tag));
}

// The texts printed side by side at y on the first page, left to right.
QStringList lineAt(const PrintLog& log, double y) {
    QStringList texts;
    for (const PrintItem& t : log.textItems(1))
        if (t.y == y)
            texts << t.text;
    return texts;
}

struct Inventory {
    qint64 alpha = 0;
    qint64 beta = 0;
    explicit Inventory(Database& db) {
        alpha = addLocation(db, QStringLiteral("Alpha"), 2, QStringLiteral("Springfield"), QStringLiteral("555-0101"));
        beta = addLocation(db, QStringLiteral("Beta"), 2, QStringLiteral("Shelbyville"));
        addEquipment(db, alpha, QStringLiteral("SN-1"), QStringLiteral("Printer"));
        addEquipment(db, alpha, QStringLiteral("SN-2"));
        addEquipment(db, alpha, QStringLiteral("SN-3"));
    }
};
} // namespace

class tst_LocationPrintButtons : public QObject {
    Q_OBJECT
private slots:
    void listButtonsPrintTheList();
    void detailPrintsUnsavedEdit();
};

void tst_LocationPrintButtons::listButtonsPrintTheList() {
    TestContext t;
    t.clock.current = kNow;
    const Inventory inventory(*t.db);
    auto* w = new frmActiveLocations(t.ctx);
    w->load();
    t.windows.show(w);
    ReportList* list = w->list();
    QCOMPARE(list->rowCount(), 2);

    trigger(w->toolbar(), QStringLiteral("Print All"));
    const QString date = QLocale().toString(kNow.date(), QLocale::ShortFormat);
    QCOMPARE(t.printLog.texts(1).first(), QStringLiteral("Listing of current locations as of ") + date);
    QCOMPARE(lineAt(t.printLog, 2166).first(), QStringLiteral("ID"));
    QCOMPARE(lineAt(t.printLog, 2527), list->cells(0));
    QCOMPARE(lineAt(t.printLog, 2888), list->cells(1));
    QVERIFY(t.printLog.ended());

    t.printLog.clear();
    const int alphaRow = list->rowTag(0).toLongLong() == inventory.alpha ? 0 : 1;
    list->setRowSelected(alphaRow, true);
    trigger(w->toolbar(), QStringLiteral("Print Select Details"));
    QCOMPARE(t.printLog.texts(1).first(), QStringLiteral("Detail listing of selected current locations as of ") + date);
    QCOMPARE(lineAt(t.printLog, 2166), list->cells(alphaRow));
    QCOMPARE(lineAt(t.printLog, 2527), (QStringList{QStringLiteral("Desktop"), QStringLiteral("2")}));
    QCOMPARE(lineAt(t.printLog, 2888), (QStringList{QStringLiteral("Printer"), QStringLiteral("1")}));
    QCOMPARE(t.printLog.textItems().size(), 1 + 6 + 4);
    QVERIFY(t.printLog.ended());
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_LocationPrintButtons::detailPrintsUnsavedEdit() {
    TestContext t;
    t.clock.current = kNow;
    const Inventory inventory(*t.db);
    auto* w = new DisplayInformation(t.ctx);
    w->LocId = QString::number(inventory.alpha);
    w->load();
    t.windows.show(w);
    w->findChild<QLineEdit*>(QStringLiteral("txtAddressOne"))->setText(QStringLiteral("99 Unsaved Road"));

    trigger(w->toolbar(), QStringLiteral("Print"));
    QCOMPARE(t.printLog.texts(1).first(),
             QStringLiteral("Detailed Location information including statictal and equipment listing as of ") +
                 QLocale().toString(kNow, QLocale::ShortFormat));
    QCOMPARE(lineAt(t.printLog, 2888).first(), QStringLiteral("Address One: 99 Unsaved Road"));
    QCOMPARE(count(*t.db, QStringLiteral("LocationInfo"), QStringLiteral("LocAddressOne = ?"),
                   {QStringLiteral("99 Unsaved Road")}),
             0);

    // Counts from 5415, then the equipment in the list's order.
    const ReportList* statistics = w->statisticsList();
    QCOMPARE(statistics->rowCount(), 2);
    for (int row = 0; row < 2; ++row)
        QCOMPARE(lineAt(t.printLog, 5415 + row * 361.0), statistics->cells(row));
    const ReportList* equipment = w->equipmentList();
    QCOMPARE(equipment->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const QStringList cells = equipment->cells(row);
        QCOMPARE(lineAt(t.printLog, 5415 + 2 * 361.0 + 722 + row * 361.0),
                 (QStringList{QStringLiteral("Equipment: ") + cells.value(0), QStringLiteral("SN: ") + cells.value(5),
                              QStringLiteral("Model: ") + cells.value(6)}));
    }
    QVERIFY(t.printLog.ended());
    QVERIFY(t.dialogs.messages.isEmpty());
}

QTEST_MAIN(tst_LocationPrintButtons)
#include "tst_locationprintbuttons.moc"
