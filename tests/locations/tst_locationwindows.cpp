#include "data/Database.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "locations/store/LocationStore.h"
#include "locations/ui/DisplayInformation.h"
#include "locations/ui/FrmReassignLocation.h"
#include "locations/ui/frmActiveLocations.h"
#include "locations/ui/frmCreateLocation.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"
#include "shell/MDIKavrel.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/Widgets.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

using namespace Fixtures;

namespace {
frmActiveLocations* openList(TestContext& t) {
    auto* w = new frmActiveLocations(t.ctx);
    w->load();
    t.windows.show(w);
    return w;
}

QStringList column(ReportList* list, int col) {
    QStringList values;
    for (int row = 0; row < list->rowCount(); ++row)
        values << list->text(row, col);
    return values;
}

void setText(QWidget* window, const char* box, const QString& text) {
    auto* b = window->findChild<QLineEdit*>(QLatin1String(box));
    QVERIFY2(b, box);
    b->setText(text);
}

QString text(QWidget* window, const char* box) {
    return window->findChild<QLineEdit*>(QLatin1String(box))->text();
}
} // namespace

class tst_LocationWindows : public QObject {
    Q_OBJECT
private slots:
    void listShowsColumnsTagsAndCounts();
    void headerClicksCycleAndRefreshReverses();
    void emptyListGuard_data();
    void emptyListGuard();
    void enterOpensOneDetailPerSelectedRow();
    void doubleClickOpensTheDetailOfTheRow();
    void selectionMessages();
    void enterStopsAtWindowLimit();
    void deleteStopsAtFirstLocationWithEquipment();
    void deleteRefusalTextDependsOnListSize();
    void deleteRefusesALocationWithUnitsWaitingInTheHoldingTable();
    void reassignMovesEquipmentAndRefreshesList();
    void reassignNeverOffersSourceAsTarget();
    void createLocationSubmitClearAndCancel();
    void createLocationRefusesEmptyName();
    void detailLoadsFieldsWithPlaceholderRules();
    void detailSortCycleAndResign();
    void detailUpdatesAddressAndContact();
    void detailNameBoxExplainsItCannotChange();
    void fixedSizes();
    void detailCarriesItsOwnMenuBar();
    void listsStretchWithTheirWindow();
    void listsOpenReadable();
};

void tst_LocationWindows::listShowsColumnsTagsAndCounts() {
    TestContext t;
    const qint64 a = addLocation(*t.db, "Alpha", 2, "Austin", "555-1234");
    addLocation(*t.db, "Empty", 3);
    addEquipment(*t.db, a, "S1");
    addEquipment(*t.db, a, "S2", "Laptop", false);
    Query(*t.db, "UPDATE LocationInfo SET LocCity = NULL, LocPhone = '&nbsp;' WHERE LocName = 'Empty'").exec();
    auto* w = openList(t);
    ReportList* list = w->list();
    QCOMPARE(list->objectName(), QStringLiteral("LstStudenInformation"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Active Location(s)"));
    const QStringList headers = {"Location Id", "Location Name", "City", "State", "Phone Number", "Equipment Count"};
    const QStringList tags = {"LocId", "LocName", "LocCity", "StateName", "LocPhone", "Equipment Count"};
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(list->columnHeader(c), headers[c]);
        QCOMPARE(list->columnTag(c), tags[c]);
    }
    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(list->cells(0), (QStringList{QString::number(a), "Alpha", "Austin", "Alabama", "555-1234", "2"}));
    QCOMPARE(list->rowTag(0).toLongLong(), a);
    // Shown as stored: Null leaves the cell empty, the placeholder is not replaced here.
    QCOMPARE(list->text(1, 2), QString());
    QCOMPARE(list->text(1, 4), QStringLiteral("&nbsp;"));
    QCOMPARE(list->text(1, 5), QStringLiteral("0"));
    QStringList toolTags;
    for (QAction* action : w->toolbar()->actions())
        toolTags << action->data().toString();
    QCOMPARE(toolTags, (QStringList{"Create Location", "Print All", "Print Select", "Print All Details",
                                    "Print Select Details", "Refresh", "Delete", "Reassign"}));
}

void tst_LocationWindows::headerClicksCycleAndRefreshReverses() {
    TestContext t;
    addLocation(*t.db, "b", 2, "Cc");
    addLocation(*t.db, "a", 2, "Bb");
    addLocation(*t.db, "c", 2, "Aa");
    auto* w = openList(t);
    ReportList* list = w->list();
    QCOMPARE(column(list, 1), (QStringList{"a", "b", "c"}));
    emit list->headerClicked(1);
    QCOMPARE(column(list, 1), (QStringList{"a", "b", "c"}));
    emit list->headerClicked(1);
    QCOMPARE(column(list, 1), (QStringList{"c", "b", "a"}));
    emit list->headerClicked(1);
    QCOMPARE(column(list, 1), (QStringList{"a", "b", "c"}));
    emit list->headerClicked(5); // Equipment Count cannot be sorted
    QCOMPARE(column(list, 1), (QStringList{"a", "b", "c"}));
    QCOMPARE(w->rememberedSortColumn(), QStringLiteral("LocName"));

    emit list->headerClicked(2); // city ascending
    QCOMPARE(column(list, 2), (QStringList{"Aa", "Bb", "Cc"}));
    w->toolbarClicked("Refresh"); // comes back descending, and remembers city
    QCOMPARE(column(list, 2), (QStringList{"Cc", "Bb", "Aa"}));
    QCOMPARE(w->rememberedSortColumn(), QStringLiteral("LocCity"));
    emit list->headerClicked(2);
    QCOMPARE(column(list, 2), (QStringList{"Cc", "Bb", "Aa"}));
}

void tst_LocationWindows::emptyListGuard_data() {
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("guarded");
    for (const char* tag :
         {"Print All", "Print Select", "Print All Details", "Print Select Details", "Delete", "Reassign"})
        QTest::newRow(tag) << QString(tag) << true;
    QTest::newRow("Refresh") << "Refresh" << false;
    QTest::newRow("Create Location") << "Create Location" << false;
}

void tst_LocationWindows::emptyListGuard() {
    QFETCH(QString, tag);
    QFETCH(bool, guarded);
    TestContext t;
    auto* w = openList(t);
    w->toolbarClicked(tag);
    if (guarded) {
        QCOMPARE(t.dialogs.messages.size(), 1);
        QCOMPARE(t.dialogs.messages[0].text, QStringLiteral("Insufficient location(s) to carry out this operation"));
        QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(t.dialogs.messages[0].title, QStringLiteral("Kavrel"));
    } else {
        QVERIFY(t.dialogs.messages.isEmpty());
    }
    QCOMPARE(t.windows.last<frmCreateLocation>() != nullptr, tag == "Create Location");
    if (auto* create = t.windows.last<frmCreateLocation>())
        QCOMPARE(create->RefreshF.data(), w);
}

void tst_LocationWindows::enterOpensOneDetailPerSelectedRow() {
    TestContext t;
    QList<qint64> ids;
    for (const char* name : {"A", "B", "C", "D"})
        ids << addLocation(*t.db, name);
    auto* w = openList(t);
    for (int row : {0, 2, 3})
        w->list()->setRowSelected(row, true);
    QTest::keyClick(w->list(), Qt::Key_Return);
    QList<DisplayInformation*> details;
    for (const auto& p : t.windows.shown)
        if (auto* d = qobject_cast<DisplayInformation*>(p.data()))
            details << d;
    QCOMPARE(details.size(), 3);
    QCOMPARE(details[0]->LocId, QString::number(ids[0]));
    QCOMPARE(details[2]->LocId, QString::number(ids[3]));
    QCOMPARE(details[1]->windowTitle(), QStringLiteral("C Detailed Information"));
    QCOMPARE(qobject_cast<QLineEdit*>(details[1]->findChild<QLineEdit*>("txtName"))->text(), QStringLiteral("C"));
}

void tst_LocationWindows::doubleClickOpensTheDetailOfTheRow() {
    TestContext t;
    addLocation(*t.db, "A");
    const qint64 b = addLocation(*t.db, "B");
    auto* w = openList(t);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QPoint cell = w->list()->visualRect(w->list()->listModel()->index(1, 1)).center();
    QTest::mouseClick(w->list()->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(w->list()->viewport(), Qt::LeftButton, {}, cell);
    auto* detail = t.windows.last<DisplayInformation>();
    QVERIFY(detail);
    QCOMPARE(detail->LocId, QString::number(b));
    QCOMPARE(detail->windowTitle(), QStringLiteral("B Detailed Information"));
    QCOMPARE(t.windows.openWindowCount(), 2);
}

void tst_LocationWindows::selectionMessages() {
    TestContext t;
    addLocation(*t.db, "A");
    addLocation(*t.db, "B");
    // Create location with its state unselected (Ctrl+click).
    auto* create = openWindow<frmCreateLocation>(t.ctx, nullptr);
    setText(create, "txtName", "New");
    create->stateList()->clearSelection();
    click(create, "Command1");
    QCOMPARE(t.dialogs.texts(), QStringList{"Select the location's state"});
    QCOMPARE(t.dialogs.messages.last().icon, Dialogs::Icon::Critical);
    QCOMPARE(count(*t.db, "LocationInfo"), 2);

    // Reassign with no location chosen in the list.
    t.dialogs.reset();
    auto* list = openList(t);
    list->list()->clearSelection();
    t.dialogs.answer(Dialogs::Answer::Yes);
    list->toolbarClicked("Reassign");
    QCOMPARE(t.dialogs.texts().last(), QStringLiteral("Select the location whose equipment is to be reassigned"));
    QVERIFY(!t.windows.last<FrmReassignLocation>());

    // Submit in the reassign window with no target chosen.
    t.dialogs.reset();
    list->list()->setRowSelected(0, true);
    t.dialogs.answer(Dialogs::Answer::Yes);
    list->toolbarClicked("Reassign");
    auto* reassign = t.windows.last<FrmReassignLocation>();
    QVERIFY(reassign);
    click(reassign, "Command1");
    QCOMPARE(t.dialogs.texts().last(), QStringLiteral("Select the location that is to receive the equipment"));
    QVERIFY(reassign->isVisible());
    QCOMPARE(count(*t.db, "LocationInfo", "LocActive = 1"), 2);
}

void tst_LocationWindows::enterStopsAtWindowLimit() {
    TestContext t;
    for (const char* name : {"A", "B", "C"})
        addLocation(*t.db, name);
    auto* w = openList(t);
    t.windows.setWindowLimit(2); // the list and one detail window
    for (int row = 0; row < 3; ++row)
        w->list()->setRowSelected(row, true);
    QTest::keyClick(w->list(), Qt::Key_Enter);
    QCOMPARE(t.windows.openWindowCount(), 2);
    QCOMPARE(t.dialogs.texts(), QStringList{"Out of memory\nToo Many windows are currently open"});
    // A double click at the limit stays silent.
    t.dialogs.reset();
    w->list()->setCurrentRow(1);
    emit w->list()->rowDoubleClicked(1);
    QVERIFY(t.dialogs.messages.isEmpty());
    QCOMPARE(t.windows.openWindowCount(), 2);
}

void tst_LocationWindows::deleteStopsAtFirstLocationWithEquipment() {
    TestContext t;
    const qint64 first = addLocation(*t.db, "A");
    const qint64 second = addLocation(*t.db, "B");
    const qint64 third = addLocation(*t.db, "C");
    addEquipment(*t.db, second, "S1", "Desktop", false); // retired equipment still blocks
    auto* w = openList(t);
    for (int row = 0; row < 3; ++row)
        w->list()->setRowSelected(row, true);
    t.dialogs.answer(Dialogs::Answer::Yes);
    w->toolbarClicked("Delete");
    QCOMPARE(t.dialogs.messages.size(), 2);
    QCOMPARE(t.dialogs.messages[0].text, QStringLiteral("Are you sure you want to delete the selected items"));
    QCOMPARE(t.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoDefaultNo);
    QCOMPARE(t.dialogs.messages[1].icon, Dialogs::Icon::Critical);
    QCOMPARE(count(*t.db, "LocationInfo", "LocActive = 0 AND LocId = ?", {first}), 1);
    QCOMPARE(count(*t.db, "LocationInfo", "LocActive = 1 AND LocId IN (?, ?)", {second, third}), 2);
    QCOMPARE(w->list()->rowCount(), 3); // not rebuilt after a refusal
}

void tst_LocationWindows::deleteRefusalTextDependsOnListSize() {
    const QString first = "This location cannot be deleted at this time because it currently has asset(s) assigned "
                          "to it.\n";
    for (int locations : {1, 2}) {
        TestContext t;
        const qint64 id = addLocation(*t.db, "A");
        if (locations == 2)
            addLocation(*t.db, "B");
        addEquipment(*t.db, id, "S1");
        auto* w = openList(t);
        w->list()->setRowSelected(0, true);
        w->toolbarClicked("Delete");
        QCOMPARE(t.dialogs.texts(),
                 QStringList{first + (locations == 1 ? "To delete this location, first creat another location and "
                                                       "then reassign the asset to that location"
                                                     : "To delete this location reassign the asset to that location")});
    }
    // No answers to the question: nothing retired, list rebuilt.
    TestContext t;
    addLocation(*t.db, "A");
    auto* w = openList(t);
    w->list()->setRowSelected(0, true);
    t.dialogs.answer(Dialogs::Answer::No);
    w->toolbarClicked("Delete");
    QCOMPARE(count(*t.db, "LocationInfo", "LocActive = 1"), 1);
}

void tst_LocationWindows::deleteRefusesALocationWithUnitsWaitingInTheHoldingTable() {
    TestContext t;
    const qint64 id = addLocation(*t.db, "A");
    UnitValues unit;
    unit.currentLocation = id;
    unit.locationName = QStringLiteral("A");
    for (const char* serial : {"H1", "H2"}) {
        unit[UnitField::SerialNumber] = QLatin1String(serial);
        HoldingStore(*t.db).insert(unit);
    }
    auto* w = openList(t);
    QCOMPARE(w->list()->text(0, 5), QStringLiteral("0"));
    w->list()->setRowSelected(0, true);
    w->toolbarClicked("Delete");
    QCOMPARE(t.dialogs.texts(),
             QStringList{"2 unit(s) entered for this location are waiting in the holding table to be entered in the "
                         "inventory, so the location cannot be deleted at this time.\nEnter them in the inventory "
                         "and reassign them, or remove them from the holding table, first."});
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QCOMPARE(count(*t.db, "LocationInfo", "LocActive = 1"), 1);
}

void tst_LocationWindows::reassignMovesEquipmentAndRefreshesList() {
    TestContext t;
    const qint64 source = addLocation(*t.db, "Source");
    const qint64 target = addLocation(*t.db, "Target");
    for (int i = 0; i < 5; ++i)
        addEquipment(*t.db, source, QStringLiteral("S%1").arg(i));
    auto* w = openList(t);
    w->list()->setRowSelected(0, true); // "Source" sorts first
    w->list()->setCurrentRow(0);
    t.dialogs.answer(Dialogs::Answer::Yes);
    w->toolbarClicked("Reassign");
    auto* reassign = t.windows.last<FrmReassignLocation>();
    QVERIFY(reassign);
    QCOMPARE(reassign->windowTitle(), QStringLiteral("Kavrel Reassign Equipment and Delete Location Source"));
    QCOMPARE(reassign->Tag, source);
    QCOMPARE(column(reassign->list(), 1), (QStringList{"Target"})); // the source is not offered
    QCOMPARE(column(reassign->list(), 2), (QStringList{""}));
    reassign->list()->setRowSelected(0, true);
    const QString question = QStringLiteral("Continuing this action will reassign all euipment from Source "
                                            "and delete that location\n5 unit(s) will move to Target.\n"
                                            "Do you want to continue");
    t.dialogs.answer(Dialogs::Answer::No);
    click(reassign, "Command1");
    QCOMPARE(t.dialogs.messages.last().text, question);
    QCOMPARE(count(*t.db, "EquipLocAssign"), 0);
    QCOMPARE(count(*t.db, "EquipmentInfo", "CurrentLocation = ?", {source}), 5);
    QVERIFY(reassign->isVisible());

    t.dialogs.answer(Dialogs::Answer::Yes);
    click(reassign, "Command1");
    QCOMPARE(t.dialogs.messages.last().text, QStringLiteral("Changes have been saved"));
    QCOMPARE(t.dialogs.messages.last().icon, Dialogs::Icon::Information);
    QCOMPARE(t.dialogs.messages.at(t.dialogs.messages.size() - 2).text, question);
    QCOMPARE(count(*t.db, "EquipLocAssign", "LocId = ?", {target}), 5);
    QCOMPARE(w->list()->rowCount(), 1);
    QCOMPARE(w->list()->cells(0).mid(1, 1), QStringList{"Target"});
    QCOMPARE(w->list()->text(0, 5), QStringLiteral("5"));
    QVERIFY(!reassign->isVisible());
}

void tst_LocationWindows::reassignNeverOffersSourceAsTarget() {
    TestContext t;
    const qint64 source = addLocation(*t.db, "Source");
    addLocation(*t.db, "Target");
    addEquipment(*t.db, source, "S1");
    auto* w = openList(t);
    // Fewer than two locations: refused before any question.
    Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocName = 'Target'").exec();
    w->populateTree(QString());
    w->list()->setRowSelected(0, true);
    w->toolbarClicked("Reassign");
    QCOMPARE(t.dialogs.texts(), QStringList{"Insufficient location(s) to carry out this operation"});
    Query(*t.db, "UPDATE LocationInfo SET LocActive = 1").exec();
    w->populateTree(QString());
    w->list()->setRowSelected(0, true);
    t.dialogs.reset();
    t.dialogs.answer(Dialogs::Answer::No);
    w->toolbarClicked("Reassign");
    QVERIFY(!t.windows.last<FrmReassignLocation>());

    t.dialogs.answer(Dialogs::Answer::Yes);
    w->toolbarClicked("Reassign");
    auto* reassign = t.windows.last<FrmReassignLocation>();
    QVERIFY(reassign);
    // The location being deleted is no target: only the other one is offered.
    QCOMPARE(reassign->list()->rowCount(), 1);
    QCOMPARE(reassign->list()->rowOfTag(source), -1);
    QVERIFY(t.dialogs.allAnswersUsed());
}

void tst_LocationWindows::createLocationSubmitClearAndCancel() {
    TestContext t;
    auto* list = openList(t);
    list->toolbarClicked("Create Location");
    auto* w = t.windows.last<frmCreateLocation>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Create Location"));
    QCOMPARE(w->stateList()->count(), 50);
    QCOMPARE(w->stateList()->selectedItems().value(0)->text(), QStringLiteral("Alabama"));
    QCOMPARE(w->stateList()->item(49)->data(Qt::UserRole).toInt(), 51);
    w->stateList()->setCurrentRow(42); // Texas
    setText(w, "txtName", "O'Hare Depot");
    setText(w, "txtFirstName", "Zoë");
    setText(w, "txtEmailAddress", "z@example.com");
    click(w, "Command1");
    QVERIFY(t.dialogs.messages.isEmpty());
    QCOMPARE(text(w, "txtName"), QString());
    QCOMPARE(text(w, "txtFirstName"), QString());
    QCOMPARE(w->stateList()->currentRow(), 42);
    QCOMPARE(list->list()->rowCount(), 0); // not refreshed until Cancel

    setText(w, "txtCity", "Dallas");
    setText(w, "txtCellPhoneNumber", "555");
    click(w, "Command2");
    QCOMPARE(text(w, "txtCity"), QString());
    QCOMPARE(text(w, "txtCellPhoneNumber"), QString());
    QCOMPARE(w->stateList()->currentRow(), 42);

    click(w, "Command3");
    QVERIFY(!w->isVisible());
    QCOMPARE(list->list()->rowCount(), 1);
    QCOMPARE(list->list()->cells(0).mid(1), (QStringList{"O'Hare Depot", "", "Texas", "", "0"}));
    const qint64 id = list->list()->rowTag(0).toLongLong();
    QCOMPARE(LocationStore(*t.db).contact(id)->firstName.value_or(QString()), QStringLiteral("Zoë"));
}

void tst_LocationWindows::createLocationRefusesEmptyName() {
    TestContext t;
    frmCreateLocation w(t.ctx);
    setText(&w, "txtCity", "Nowhere");
    click(&w, "Command1");
    QCOMPARE(t.dialogs.texts(), QStringList{"Invalid location name"});
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QCOMPARE(text(&w, "txtCity"), QStringLiteral("Nowhere"));
    QCOMPARE(count(*t.db, "LocationInfo"), 0);
    setText(&w, "txtName", " ");
    click(&w, "Command1");
    QCOMPARE(count(*t.db, "LocationInfo"), 1);
    click(&w, "Command3"); // opened without a list: Cancel just closes
    QCOMPARE(t.dialogs.messages.size(), 1);
}

void tst_LocationWindows::detailLoadsFieldsWithPlaceholderRules() {
    TestContext t;
    const qint64 id = addLocation(*t.db, "Main&nbsp;Office", 33, "New&nbsp;York");
    Query(*t.db, "UPDATE LocationInfo SET Field1 = 'a&nbsp;b', LocZip = NULL WHERE LocId = ?").exec({id});
    Query(*t.db, "UPDATE ContactInfo SET ContactLastName = 'Smith&nbsp;Jr' WHERE LocId = ?").exec({id});
    const qint64 unit = addEquipment(*t.db, id, "SN1", "Desk&nbsp;top");
    Query(*t.db, "UPDATE EquipmentInfo SET Manufacturer = '&nbsp;', AssetTagNumber = NULL WHERE EquipmentId = ?")
        .exec({unit});
    DisplayInformation w(t.ctx);
    w.LocId = QString::number(id);
    setText(&w, "txtZip", "kept");
    w.load();
    QCOMPARE(text(&w, "txtName"), QStringLiteral("Main Office"));
    QCOMPARE(text(&w, "txtCity"), QStringLiteral("New York"));
    QCOMPARE(text(&w, "txtZip"), QStringLiteral("kept")); // Null leaves the box alone
    QCOMPARE(text(&w, "txtField1"), QStringLiteral("a&nbsp;b"));
    QCOMPARE(text(&w, "txtLastName"), QStringLiteral("Smith Jr"));
    QCOMPARE(w.stateList()->currentItem()->text(), QStringLiteral("New York"));
    ReportList* equipment = w.equipmentList();
    QCOMPARE(equipment->columnCount(), 8);
    QCOMPARE(equipment->columnTag(5), QStringLiteral("SerialNumber"));
    QCOMPARE(equipment->cells(0),
             (QStringList{QString::number(unit), "Desk&nbsp;top", " ", "", "", "SN1", "M-SN1", ""}));
    QCOMPARE(w.statisticsList()->cells(0), (QStringList{"1", "Desk top"}));
    QCOMPARE(w.statisticsList()->columnTag(0), QStringLiteral("Num"));
}

void tst_LocationWindows::detailSortCycleAndResign() {
    TestContext t;
    const qint64 id = addLocation(*t.db, "Here");
    for (const char* serial : {"b", "C", "a"})
        addEquipment(*t.db, id, serial);
    DisplayInformation w(t.ctx);
    w.LocId = QString::number(id);
    w.load();
    QCOMPARE(column(w.equipmentList(), 5), (QStringList{"a", "b", "C"}));
    for (const QStringList& expected :
         {QStringList{"a", "b", "C"}, QStringList{"C", "b", "a"}, QStringList{"a", "b", "C"}}) {
        emit w.equipmentList()->headerClicked(5);
        QCOMPARE(column(w.equipmentList(), 5), expected);
    }
    w.toolbarClicked("Resign"); // nothing selected: silent
    QVERIFY(t.dialogs.messages.isEmpty());
    w.equipmentList()->setRowSelected(0, true);
    w.equipmentList()->setRowSelected(2, true);
    w.toolbarClicked("Resign");
    QCOMPARE(t.dialogs.texts(), QStringList{"This action will resign the selected (2) equipment to a new location"});
    QCOMPARE(count(*t.db, "EquipmentInfo", "CurrentLocation = ?", {id}), 3);
}

void tst_LocationWindows::detailUpdatesAddressAndContact() {
    TestContext t;
    const qint64 id = addLocation(*t.db, "Here", 5);
    DisplayInformation w(t.ctx);
    w.LocId = QString::number(id);
    w.load();
    setText(&w, "txtAddressOne", "1 O'Neil Way");
    setText(&w, "txtZip", "");
    w.stateList()->clearSelection();
    click(&w, "cmdEditCompany");
    auto location = LocationStore(*t.db).location(id);
    QCOMPARE(location->addressOne.value_or(QString()), QStringLiteral("1 O'Neil Way"));
    QCOMPARE(location->stateId.value_or(0), 5);
    QVERIFY(location->zip.has_value());
    setText(&w, "txtTitle", "Manager");
    setText(&w, "txtEmailAddress", "m@x.org");
    click(&w, "cmdEditContact");
    auto contact = LocationStore(*t.db).contact(id);
    QCOMPARE(contact->title.value_or(QString()), QStringLiteral("Manager"));
    QCOMPARE(contact->email.value_or(QString()), QStringLiteral("m@x.org"));
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_LocationWindows::detailNameBoxExplainsItCannotChange() {
    TestContext t;
    DisplayInformation w(t.ctx);
    w.LocId = QString::number(addLocation(*t.db, "Fixed"));
    w.load();
    w.show();
    auto* name = w.findChild<QLineEdit*>("txtName");
    QVERIFY(name->isReadOnly());
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::mouseClick(name, Qt::LeftButton);
    QCOMPARE(t.dialogs.texts(), (QStringList{"Once a location has been submitted it name cannot be changed.",
                                             "Once a location has been submitted it name cannot be changed."}));
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Critical);
}

void tst_LocationWindows::fixedSizes() {
    TestContext t;
    frmCreateLocation create(t.ctx);
    create.show();
    create.resize(create.width() + 100, create.height() + 100);
    QCOMPARE(create.size(), QSize(Twips::toPixelsX(9255, &create), Twips::toPixelsY(4755, &create)));
    DisplayInformation detail(t.ctx);
    QCOMPARE(detail.size(), QSize(Twips::toPixelsX(13170, &detail), Twips::toPixelsY(9720, &detail)));
}

void tst_LocationWindows::detailCarriesItsOwnMenuBar() {
    TestContext t;
    const qint64 id = addLocation(*t.db, "Here");
    MDIKavrel main(t.ctx);
    main.show();
    auto* detail =
        openWindow<DisplayInformation>(t.ctx, &main, [&](DisplayInformation& w) { w.LocId = QString::number(id); });
    QVERIFY(detail);
    QMenuBar* own = detail->ownMenuBar();
    QVERIFY(own);
    QVERIFY(own->findChild<QAction*>("MnuActiveLocations"));
    QVERIFY(!own->findChild<QAction*>("mnuLocationEditAdditionalInformationFields"));
    QVERIFY(!own->findChild<QAction*>("MnuEquipmentAdditionalInformationFields"));
    // While the detail window is the active child, its bar stands in the main window's place.
    main.mdiArea()->setActiveSubWindow(main.mdiArea()->subWindowList().constLast());
    QVERIFY(own->isVisible());
    QVERIFY(!main.findChild<QMenuBar*>("MainMenu")->isVisible());

    // Its entries show too many windows as a plain failure.
    t.ctx.windows->setWindowLimit(t.ctx.windows->openWindowCount());
    own->findChild<QAction*>("MnuActiveLocations")->trigger();
    QCOMPARE(t.dialogs.texts(), QStringList{"Out of memory"});
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    t.dialogs.reset();
    main.findChild<QMenuBar*>("MainMenu")->findChild<QAction*>("MnuActiveLocations")->trigger();
    QCOMPARE(t.dialogs.texts(), QStringList{"Out of memory\nToo Many windows are currently open"});
}

void tst_LocationWindows::listsStretchWithTheirWindow() {
    TestContext t;
    frmActiveLocations locations(t.ctx);
    frmActiveEquipment equipment(t.ctx);
    for (QWidget* w : {static_cast<QWidget*>(&locations), static_cast<QWidget*>(&equipment)}) {
        w->show();
        auto* list = w->findChild<ReportList*>("LstStudenInformation");
        w->resize(900, 600);
        QCOMPARE(list->size(), QSize(900 - Twips::toPixelsX(255, w), 600 - Twips::toPixelsY(1080, w)));
        w->resize(1200, 700);
        QCOMPARE(list->size(), QSize(1200 - Twips::toPixelsX(255, w), 700 - Twips::toPixelsY(1080, w)));
        w->resize(10, 10); // too small, as when minimised: the list keeps its size
        QCOMPARE(list->size(), QSize(1200 - Twips::toPixelsX(255, w), 700 - Twips::toPixelsY(1080, w)));
    }
}

void tst_LocationWindows::listsOpenReadable() {
    TestContext t;
    const qint64 id = addLocation(*t.db, "Northwestern Regional Distribution Centre, Building 7");
    addEquipment(*t.db, id, "SN-1");
    MDIKavrel main(t.ctx);
    main.resize(1400, 900);
    main.show();
    auto* detail =
        openWindow<DisplayInformation>(t.ctx, &main, [&](DisplayInformation& w) { w.LocId = QString::number(id); });
    auto* locations = openWindow<frmActiveLocations>(t.ctx, &main);
    QVERIFY(detail && locations);
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    for (auto* list : {detail->findChild<ReportList*>("lstEquipmentList"), locations->list()}) {
        QTRY_VERIFY(list->isVisible());
        for (int col = 0; col < list->columnCount(); ++col)
            QVERIFY2(list->columnWidth(col) >= list->header()->sectionSizeHint(col),
                     qPrintable(list->columnHeader(col)));
    }
    // Every asset column in sight at once.
    auto* assets = detail->findChild<ReportList*>("lstEquipmentList");
    QCOMPARE(assets->horizontalScrollBar()->maximum(), 0);
    // Given room, the long name takes the spare width rather than being cut.
    locations->parentWidget()->resize(1200, 500);
    const QString longName = locations->list()->text(0, 1);
    QTRY_VERIFY(locations->list()->columnWidth(1) > locations->list()->fontMetrics().horizontalAdvance(longName));
}

QTEST_MAIN(tst_LocationWindows)
#include "tst_locationwindows.moc"
