#include "data/Database.h"
#include "data/DateText.h"
#include "equipment/ui/frmEditEquipment.h"
#include "platform/KeyStatusBar.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"
#include "records/ui/FrmDocExplorer.h"
#include "shell/MDIKavrel.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>

using namespace UnitFixtures;

namespace {

FrmDocExplorer* openExplorer(TestContext& t) {
    auto* w = openWindow<FrmDocExplorer>(t.ctx, nullptr);
    if (!w)
        qFatal("the explorer did not open");
    return w;
}

QStringList nodes(QTreeWidget* tree, int role) {
    QStringList values;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        values << (role < 0 ? tree->topLevelItem(i)->text(0) : tree->topLevelItem(i)->data(0, role).toString());
    return values;
}

// Double clicks the node with the tag, as the user would pick it.
void choose(FrmDocExplorer* w, qint64 locId) {
    QTreeWidget* tree = w->tree();
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = tree->topLevelItem(i);
        if (node->data(0, FrmDocExplorer::TagRole).toLongLong() == locId) {
            tree->setCurrentItem(node);
            emit tree->itemDoubleClicked(node, 0);
            return;
        }
    }
    qFatal("no node for %lld", locId);
}

QStringList column(ReportList* list, int col) {
    QStringList values;
    for (int row = 0; row < list->rowCount(); ++row)
        values << list->text(row, col);
    return values;
}

qint64 addUnit(Database& db, qint64 id, qint64 locId, const QString& serial, const QString& type, const QVariant& date,
               const QVariant& price, bool active = true) {
    Query(db, "INSERT INTO EquipmentInfo (EquipmentId, SerialNumber, EquipmentType, Manufacturer, DatePurchased, "
              "PurchasePrice, ModelNumber, AssetTagNumber, CurrentLocation, EquActive) "
              "VALUES (?, ?, ?, 'Dell&nbsp;Inc', ?, ?, '&nbsp;', 'AT', ?, ?)")
        .exec({id, serial, type, date, price, locId, active ? 1 : 0});
    return id;
}

constexpr int kSerial = 4;

} // namespace

class tst_Explorer : public QObject {
    Q_OBJECT
private slots:
    void treeListsActiveLocationsWithUniqueKeys();
    void listShowsActiveUnitsSortedByColumn();
    void emptyLocationShowsHeadersOnly();
    void doubleClickAndEnterOpenDetailWindows();
    void enterReportsTooManyWindowsOnce();
    void labelEditsStayOnScreen();
    void statusBarPanels();
    void layoutFollowsTheWindow();
    void opensFromEveryMenuBar();
};

void tst_Explorer::treeListsActiveLocationsWithUniqueKeys() {
    TestContext t;
    addLocationWithId(*t.db, 70002, "Zeta");
    addLocationWithId(*t.db, 70000, "O'Brien's");
    addLocationWithId(*t.db, 70001, "O'Brien's"); // the same name: a node of its own
    addLocationWithId(*t.db, 70003, "Retired", false);
    addLocationWithId(*t.db, 70004, "Stateless");
    Query(*t.db, "UPDATE LocationInfo SET StateId = 99 WHERE LocId = 70004").exec();
    FrmDocExplorer* w = openExplorer(t);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Location Explorer"));
    QCOMPARE(nodes(w->tree(), -1), (QStringList{"O'Brien's", "O'Brien's", "Zeta"}));
    QCOMPARE(nodes(w->tree(), FrmDocExplorer::KeyRole), (QStringList{"70000 0", "70001 1", "70002 2"}));
    QCOMPARE(nodes(w->tree(), FrmDocExplorer::TagRole), (QStringList{"70000", "70001", "70002"}));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(w->tree()->topLevelItem(i)->childCount(), 0);

    // Each twin lists its own equipment.
    addUnitWithId(*t.db, 90000, 70000, "FIRST");
    addUnitWithId(*t.db, 90001, 70001, "SECOND");
    choose(w, 70001);
    QCOMPARE(w->chosenLocation(), 70001);
    QCOMPARE(column(w->list(), kSerial), QStringList{"SECOND"});
    choose(w, 70000);
    QCOMPARE(column(w->list(), kSerial), QStringList{"FIRST"});
}

void tst_Explorer::listShowsActiveUnitsSortedByColumn() {
    TestContext t;
    const qint64 loc = addLocationWithId(*t.db, 70000, "Depot&nbsp;One");
    addLocationWithId(*t.db, 70001, "Other");
    addUnit(*t.db, 90003, loc, "C-3", "Printer", "2021-01-05", "99.00");
    addUnit(*t.db, 90001, loc, "A-1", "Desktop", "2023-12-31", "1299.00");
    addUnit(*t.db, 90002, loc, "B-2", "Laptop", "2022-06-15", "850.50");
    addUnit(*t.db, 90004, loc, "D-4", "Desktop", "2020-03-03", "5.00", false); // retired: not listed
    addUnit(*t.db, 90005, 70001, "E-5", "Desktop", "2020-03-03", "5.00");      // elsewhere
    FrmDocExplorer* w = openExplorer(t);
    ReportList* list = w->list();
    choose(w, loc);
    QStringList headers, tags;
    for (int c = 0; c < list->columnCount(); ++c) {
        headers << list->columnHeader(c);
        tags << list->columnTag(c);
    }
    QCOMPARE(headers, (QStringList{"ID", "Current Location", "Description", "Manufacturer", "Serial Number",
                                   "Date Purchased", "Purchase Price", "Model Number"}));
    QCOMPARE(tags, (QStringList{"EquipmentId", "LocName", "EquipmentType", "Manufacturer", "SerialNumber",
                                "DatePurchased", "PurchasePrice", "ModelNumber"}));
    // By type at first; "&nbsp;" is dropped, not made a blank.
    QCOMPARE(column(list, 2), (QStringList{"Desktop", "Laptop", "Printer"}));
    QCOMPARE(list->cells(0), (QStringList{"90001", "DepotOne", "Desktop", "DellInc", "A-1",
                                          DateText::toShort(QDate(2023, 12, 31)), "1299.00", ""}));
    QCOMPARE(list->rowTag(0).toLongLong(), 90001);

    // A header click sorts by that column, always ascending, with fresh data.
    addUnit(*t.db, 90006, loc, "0-6", "Scanner", "2019-07-07", "20.00");
    emit list->headerClicked(5);
    QCOMPARE(column(list, kSerial), (QStringList{"0-6", "C-3", "B-2", "A-1"})); // by date, not by its text
    emit list->headerClicked(6);
    QCOMPARE(column(list, 6), (QStringList{"1299.00", "20.00", "850.50", "99.00"})); // by the stored text
    emit list->headerClicked(6);
    QCOMPARE(column(list, 6), (QStringList{"1299.00", "20.00", "850.50", "99.00"}));
    emit list->headerClicked(0);
    QCOMPARE(column(list, 0), (QStringList{"90001", "90002", "90003", "90006"}));
}

void tst_Explorer::emptyLocationShowsHeadersOnly() {
    TestContext t;
    const qint64 loc = addLocationWithId(*t.db, 70000, "Empty");
    FrmDocExplorer* w = openExplorer(t);
    // No node picked: a double click on the bare tree does nothing.
    w->tree()->setCurrentItem(nullptr);
    w->chooseLocation();
    QCOMPARE(w->list()->columnCount(), 0);
    choose(w, loc);
    QCOMPARE(w->list()->columnCount(), 8);
    QCOMPARE(w->list()->rowCount(), 0);
    addUnitWithId(*t.db, 90000, loc, "LATE");
    emit w->list()->headerClicked(4); // with no rows, nothing reloads
    QCOMPARE(w->list()->rowCount(), 0);
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_Explorer::doubleClickAndEnterOpenDetailWindows() {
    TestContext t;
    const qint64 loc = addLocationWithId(*t.db, 70000, "Depot");
    addUnitWithId(*t.db, 90001, loc, "SN'1", "A");
    addUnitWithId(*t.db, 90002, loc, "SN2", "B");
    addUnitWithId(*t.db, 90003, loc, "SN3", "C");
    FrmDocExplorer* w = openExplorer(t);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    choose(w, loc);
    ReportList* list = w->list();

    list->setCurrentRow(1);
    list->setRowSelected(1, true);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    auto* detail = t.windows.last<frmEditEquipment>();
    QVERIFY(detail);
    QCOMPARE(detail->Idnum, QStringLiteral("90002"));
    QCOMPARE(detail->ssn, QStringLiteral("SN2"));
    detail->close();

    list->setFocus();
    list->clearSelection();
    list->setRowSelected(0, true);
    list->setRowSelected(2, true);
    QTest::keyClick(list, Qt::Key_Return);
    QStringList opened;
    for (const auto& window : t.windows.shown)
        if (auto* d = qobject_cast<frmEditEquipment*>(window.data()); d && d->isVisible())
            opened << d->Idnum + " " + d->ssn;
    QCOMPARE(opened, (QStringList{"90001 SN'1", "90003 SN3"}));
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_Explorer::enterReportsTooManyWindowsOnce() {
    TestContext t;
    const qint64 loc = addLocationWithId(*t.db, 70000, "Depot");
    addUnitWithId(*t.db, 90001, loc, "SN1");
    addUnitWithId(*t.db, 90002, loc, "SN2");
    FrmDocExplorer* w = openExplorer(t);
    choose(w, loc);
    t.windows.setWindowLimit(t.windows.openWindowCount());
    ReportList* list = w->list();
    list->setFocus();
    list->setRowSelected(0, true);
    list->setRowSelected(1, true);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(t.dialogs.texts(), QStringList{"Out of memory\nToo Many windows are currently open"});
    // A double click that cannot open stays silent.
    list->setCurrentRow(0);
    emit list->rowDoubleClicked(0);
    QCOMPARE(t.dialogs.messages.size(), 1);
}

void tst_Explorer::labelEditsStayOnScreen() {
    TestContext t;
    const qint64 loc = addLocationWithId(*t.db, 70000, "Depot");
    addUnitWithId(*t.db, 90001, loc, "SN1");
    FrmDocExplorer* w = openExplorer(t);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTreeWidget* tree = w->tree();
    QTreeWidgetItem* node = tree->topLevelItem(0);
    tree->setFocus();
    tree->setCurrentItem(node);
    QTest::keyClick(tree, Qt::Key_F2);
    auto* editor = tree->findChild<QLineEdit*>();
    QTRY_VERIFY(editor && editor->isVisible());
    editor->setText(QStringLiteral("Renamed"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(node->text(0), QStringLiteral("Renamed"));
    QCOMPARE(node->data(0, FrmDocExplorer::KeyRole).toString(), QStringLiteral("70000 0"));
    // Finishing the edit with Enter does not pick the location.
    QCOMPARE(w->list()->columnCount(), 0);
    choose(w, loc);
    QCOMPARE(column(w->list(), kSerial), QStringList{"SN1"});
    QCOMPARE(Query(*t.db, "SELECT LocName FROM LocationInfo").scalar().toString(), QStringLiteral("Depot"));
    // Esc shows the stored name again; a new explorer shows it anyway.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Escape);
    QCOMPARE(node->text(0), QStringLiteral("Depot"));
    // Enter in the tree picks the location too.
    w->list()->clearRows();
    QCOMPARE(w->list()->rowCount(), 0);
    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(w->list()->rowCount(), 1);
}

void tst_Explorer::statusBarPanels() {
    TestContext t;
    t.clock.current = QDateTime(QDate(2026, 3, 14), QTime(9, 30));
    FrmDocExplorer* w = openExplorer(t);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    KeyStatusBar* status = w->statusBar();
    QCOMPARE(status->objectName(), QStringLiteral("StatusBar1"));
    QCOMPARE(status->panel(KeyStatusBar::CapsLock)->text(), QStringLiteral("CAPS"));
    QCOMPARE(status->panel(KeyStatusBar::NumLock)->text(), QStringLiteral("NUM"));
    QCOMPARE(status->panel(KeyStatusBar::Insert)->text(), QStringLiteral("INS"));
    QCOMPARE(status->panel(KeyStatusBar::Time)->text(), QLocale().toString(QTime(9, 30), QLocale::ShortFormat));
    QCOMPARE(status->panel(KeyStatusBar::Date)->text(), DateText::toShort(QDate(2026, 3, 14)));
    t.clock.current = QDateTime(QDate(2026, 3, 15), QTime(0, 1));
    QTRY_COMPARE(status->panel(KeyStatusBar::Date)->text(), DateText::toShort(QDate(2026, 3, 15)));

    // The lock states follow the keys, each key counted once however far it travels.
    QWindow* window = w->windowHandle();
    QVERIFY(!status->isOn(KeyStatusBar::CapsLock));
    QTest::keyClick(window, Qt::Key_CapsLock);
    QVERIFY(status->isOn(KeyStatusBar::CapsLock));
    QTest::keyClick(window, Qt::Key_A, Qt::NoModifier); // typed in lower case: Caps Lock is off after all
    QVERIFY(!status->isOn(KeyStatusBar::CapsLock));
    QTest::keyClick(window, Qt::Key_Insert);
    QVERIFY(status->isOn(KeyStatusBar::Insert));
    QTest::keyClick(window, Qt::Key_Insert);
    QVERIFY(!status->isOn(KeyStatusBar::Insert));
    QTest::keyClick(window, Qt::Key_NumLock);
    QVERIFY(status->isOn(KeyStatusBar::NumLock));
    QTest::keyClick(window, Qt::Key_Home, Qt::KeypadModifier);
    QVERIFY(!status->isOn(KeyStatusBar::NumLock));
}

void tst_Explorer::layoutFollowsTheWindow() {
    TestContext t;
    addLocationWithId(*t.db, 70000, "Depot");
    FrmDocExplorer* w = openExplorer(t);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(w->minimumSize() != w->maximumSize()); // resizable
    w->resize(900, 500);
    QTRY_COMPARE(w->width(), 900);
    QCoreApplication::processEvents();
    KeyStatusBar* status = w->statusBar();
    for (int p = 0; p < KeyStatusBar::PanelCount; ++p)
        QVERIFY(qAbs(status->panel(KeyStatusBar::Panel(p))->width() - status->width() / 5) <= 8);
    QCOMPARE(w->splitter()->handle(1)->objectName(), QStringLiteral("Picture1"));
    QCOMPARE(w->splitter()->handle(1)->cursor().shape(), Qt::SizeHorCursor);
    // The labels sit above their views and take their widths.
    auto* treeLabel = w->findChild<QLabel*>("LblClassAndSection");
    auto* listLabel = w->findChild<QLabel*>("LblStudentInformation");
    QCOMPARE(treeLabel->text(), QStringLiteral("Locations"));
    QCOMPARE(listLabel->text(), QStringLiteral("Equipment Listing"));
    QCOMPARE(treeLabel->width(), w->tree()->width());
    QCOMPARE(listLabel->width(), w->list()->width());
    // Moving the splitter moves the boundary between tree and list.
    const int treeBefore = w->tree()->width();
    w->splitter()->setSizes({treeBefore + 120, w->splitter()->width() - treeBefore - 120});
    QCoreApplication::processEvents();
    QVERIFY(w->tree()->width() > treeBefore);
    QCOMPARE(listLabel->width(), w->list()->width());
}

void tst_Explorer::opensFromEveryMenuBar() {
    TestContext t;
    const qint64 loc = addLocationWithId(*t.db, 70000, "Depot");
    addUnitWithId(*t.db, 90000, loc, "SN1");
    MDIKavrel main(t.ctx);
    main.findChild<QMenuBar*>("MainMenu")->findChild<QAction*>("mnuExplorer")->trigger();
    auto* explorer = main.findChild<FrmDocExplorer*>();
    QVERIFY(explorer);
    QCOMPARE(explorer->tree()->topLevelItemCount(), 1);
    // The detail windows' copies of the menu open one too.
    auto* detail = openWindow<frmEditEquipment>(t.ctx, nullptr, [](frmEditEquipment& w) {
        w.Idnum = QStringLiteral("90000");
        w.ssn = QStringLiteral("SN1");
    });
    detail->ownMenuBar()->findChild<QAction*>("mnuExplorer")->trigger();
    QCOMPARE(main.findChildren<FrmDocExplorer*>().size(), 2);
}

QTEST_MAIN(tst_Explorer)
#include "tst_explorer.moc"
