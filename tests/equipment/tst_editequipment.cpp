#include "data/Database.h"
#include "data/DateText.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "equipment/ui/frmEditEquipment.h"
#include "locations/ui/DisplayInformation.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace Fixtures;
using namespace UnitFixtures;

namespace {

frmEditEquipment* openDetail(TestContext& t, qint64 id, const QString& serial = QStringLiteral("S1")) {
    return openWindow<frmEditEquipment>(t.ctx, nullptr, [&](frmEditEquipment& w) {
        w.Idnum = QString::number(id);
        w.ssn = serial;
    });
}

void addTypes(Database& db, const QStringList& names) {
    for (const QString& name : names)
        Query(db, "INSERT INTO EquipmentType (EquipmentType) VALUES (?)").exec({name});
}

QVariant stored(Database& db, const QString& column, qint64 id) {
    return Query(db, "SELECT " + column + " FROM EquipmentInfo WHERE EquipmentId = ?").scalar({id});
}

void addHistory(Database& db, qint64 unit, qint64 locId) {
    Query(db, "INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (?, ?)").exec({unit, locId});
}

QList<frmEditEquipment*> details(TestContext& t) {
    QList<frmEditEquipment*> found;
    for (const auto& p : t.windows.shown)
        if (auto* d = qobject_cast<frmEditEquipment*>(p.data()))
            found << d;
    return found;
}

} // namespace

class tst_EditEquipment : public QObject {
    Q_OBJECT
private slots:
    void showsTheUnit();
    void unitWithNullsAfterAFullOne();
    void saveRoundTrip_data();
    void saveRoundTrip();
    void storedTypeNotInTheList();
    void reassignToThePresentLocation();
    void reassignMessages_data();
    void reassignMessages();
    void invalidDateWritesNothing_data();
    void invalidDateWritesNothing();
    void unitDeletedMeanwhile();
    void opensFromEveryList_data();
    void opensFromEveryList();
};

void tst_EditEquipment::showsTheUnit() {
    TestContext t;
    addTypes(*t.db, {"Desktop", "Laptop"});
    const qint64 loc = addLocationWithId(*t.db, 70000, "Depot&nbsp;East");
    const qint64 id = addUnitWithId(*t.db, 90000, loc, "SN&nbsp;9", "Laptop");
    Query(*t.db, "UPDATE EquipmentInfo SET DatePurchased = '2024-02-29', Field1 = 'x' WHERE EquipmentId = ?")
        .exec({id});
    auto* w = openDetail(t, id, "SN 9");
    QVERIFY(w);
    QCOMPARE(w->windowTitle(),
             QStringLiteral("View/Edit Detailed Equipment Information for Item Number : 90000, Serial Number : SN 9"));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    auto* tabs = w->findChild<QTabWidget*>("SSTab1");
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->tabText(3), QStringLiteral("User Defined Information"));
    QVERIFY(!box(w, "txtBarCodeNumber")->isEnabled());
    QVERIFY(!box(w, "txtBarCodeIdentification")->isEnabled());
    QCOMPARE(w->typeList()->currentItem()->text(), QStringLiteral("Laptop"));
    QCOMPARE(box(w, "txtSerialNumber")->text(), QStringLiteral("SN 9"));
    QCOMPARE(box(w, "txtManufacturer")->text(), QStringLiteral("Dell"));
    QCOMPARE(box(w, "txtDatePurchased")->text(), DateText::toShort(QDate(2024, 2, 29)));
    QCOMPARE(box(w, "txtCurrentLocation")->text(), QStringLiteral("Depot East"));
    QCOMPARE(w->locationList()->item(0)->data(Qt::UserRole).toLongLong(), loc);
    QVERIFY(w->locationList()->selectedItems().isEmpty());
    QCOMPARE(w->historyList()->columnHeader(0), QStringLiteral("Transfer Date"));
    QCOMPARE(w->historyList()->columnTag(1), QStringLiteral("Location"));
    // Its own copy of the main menu, less the caption editors.
    QMenuBar* bar = w->ownMenuBar();
    QVERIFY(bar->findChild<QAction*>("mnuActiveEquipment"));
    QVERIFY(!bar->findChild<QAction*>("mnuLocationEditAdditionalInformationFields"));
    // A second window for the same unit is independent of the first.
    auto* second = openDetail(t, id, "SN 9");
    box(second, "txtManufacturer")->setText("HP");
    click(second, "cmdSaveChanges");
    QCOMPARE(box(w, "txtManufacturer")->text(), QStringLiteral("Dell"));
    click(w, "cmdCancel");
    QTRY_VERIFY(!w->isVisible());
    QCOMPARE(stored(*t.db, "Manufacturer", id).toString(), QStringLiteral("HP"));
}

void tst_EditEquipment::unitWithNullsAfterAFullOne() {
    TestContext t;
    addTypes(*t.db, {"Desktop", "Laptop"});
    const qint64 loc = addLocationWithId(*t.db, 70000, "Depot");
    const qint64 full = addUnitWithId(*t.db, 90000, loc, "SN-1", "Laptop");
    Query(*t.db, "UPDATE EquipmentInfo SET DatePurchased = '2024-02-29', Memory = '8 GB' WHERE EquipmentId = ?")
        .exec({full});
    const qint64 empty = addUnitWithId(*t.db, 90001, 99999, "SN-2", QVariant());
    Query(*t.db, "UPDATE EquipmentInfo SET SerialNumber = NULL, Manufacturer = NULL, AssetTagNumber = NULL, "
                 "Memory = NULL, DatePurchased = NULL WHERE EquipmentId = ?")
        .exec({empty});
    auto* w = openDetail(t, full);
    QCOMPARE(box(w, "txtMemory")->text(), QStringLiteral("8 GB"));
    w->Idnum = QString::number(empty);
    w->load();
    QCOMPARE(w->typeList()->currentRow(), -1);
    for (const char* name : {"txtSerialNumber", "txtManufacturer", "txtAssetTagNumber", "txtMemory", "txtDatePurchased",
                             "txtCurrentLocation"})
        QCOMPARE(box(w, name)->text(), QString());
}

void tst_EditEquipment::saveRoundTrip_data() {
    QTest::addColumn<QString>("storedText");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed"); // a null string leaves the box as shown
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("dateTyped");
    QTest::addColumn<QVariant>("dateWritten");
    QTest::newRow("apostrophes") << "Dell's"
                                 << "Dell's"
                                 << "O'Brien's \"lab\""
                                 << "O'Brien's \"lab\"" << DateText::toShort(QDate(2024, 2, 29))
                                 << QVariant("2024-02-29");
    QTest::newRow("placeholder shown and written as a blank") << "&nbsp;"
                                                              << " " << QString() << " "
                                                              << "2001-07-04" << QVariant("2001-07-04");
    QTest::newRow("empty date stores none") << "x"
                                            << "x"
                                            << ""
                                            << ""
                                            << "  " << QVariant();
}

void tst_EditEquipment::saveRoundTrip() {
    QFETCH(QString, storedText);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QString, dateTyped);
    QFETCH(QVariant, dateWritten);
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    const qint64 id = addEquipment(*t.db, loc, "S1");
    Query(*t.db, "UPDATE EquipmentInfo SET Manufacturer = ?, OperatingSystem = ?, DatePurchased = '2020-01-01', "
                 "Field2 = 'kept' WHERE EquipmentId = ?")
        .exec({storedText, storedText, id});
    auto* w = openDetail(t, id);
    for (const char* name : {"txtManufacturer", "txtOperatingSystem"}) {
        QCOMPARE(box(w, name)->text(), shown);
        if (!typed.isNull())
            box(w, name)->setText(typed);
    }
    box(w, "txtDatePurchased")->setText(dateTyped);
    click(w, "cmdSaveChanges");
    QCOMPARE(t.dialogs.texts(), QStringList{"Changes have been saved"});
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Information);
    QCOMPARE(stored(*t.db, "Manufacturer", id).toString(), written);
    QCOMPARE(stored(*t.db, "OperatingSystem", id).toString(), written);
    if (dateWritten.isValid())
        QCOMPARE(stored(*t.db, "DatePurchased", id).toString(), dateWritten.toString());
    else
        QVERIFY(stored(*t.db, "DatePurchased", id).isNull());
    QCOMPARE(stored(*t.db, "CurrentLocation", id).toLongLong(), loc);
    QCOMPARE(stored(*t.db, "Field2", id).toString(), QStringLiteral("kept"));
    QCOMPARE(box(w, "txtManufacturer")->text(), typed.isNull() ? shown : typed);
}

void tst_EditEquipment::storedTypeNotInTheList() {
    TestContext t;
    addTypes(*t.db, {"Desktop", "Laptop"});
    const qint64 id = addEquipment(*t.db, addLocation(*t.db, "Depot"), "S1", "Plotter");
    auto* w = openDetail(t, id);
    QVERIFY(w->typeList()->selectedItems().isEmpty());
    QCOMPARE(w->typeList()->count(), 2);
    // Saving without a type picked keeps the stored one rather than wiping it.
    click(w, "cmdSaveChanges");
    QCOMPARE(stored(*t.db, "EquipmentType", id).toString(), QStringLiteral("Plotter"));
    w->typeList()->setCurrentRow(1);
    click(w, "cmdSaveChanges");
    QCOMPARE(stored(*t.db, "EquipmentType", id).toString(), QStringLiteral("Laptop"));
}

void tst_EditEquipment::reassignToThePresentLocation() {
    TestContext t;
    const qint64 retired = addLocation(*t.db, "Old Depot");
    Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({retired});
    const qint64 depot = addLocation(*t.db, "Depot");
    addLocation(*t.db, "Annex");
    const qint64 id = addEquipment(*t.db, depot, "S1");
    addHistory(*t.db, id, retired);
    addHistory(*t.db, id, depot);
    auto* w = openDetail(t, id);
    QCOMPARE(w->historyList()->rowCount(), 2);
    QCOMPARE(w->historyList()->text(0, 1), QStringLiteral("Depot"));
    QCOMPARE(w->historyList()->text(1, 1), QStringLiteral("Old Depot"));
    QCOMPARE(w->locationList()->count(), 2); // the retired location is not offered
    box(w, "txtManufacturer")->setText("unsaved");
    w->locationList()->setCurrentRow(1); // "Depot", after "Annex"
    QCOMPARE(w->locationList()->currentItem()->text(), QStringLiteral("Depot"));
    click(w, "cmdSaveAssignment");
    QVERIFY(t.dialogs.messages.isEmpty());
    QCOMPARE(count(*t.db, "EquipLocAssign", "EquipmentId = ? AND LocId = ?", {id, depot}), 2);
    QCOMPARE(w->historyList()->rowCount(), 3);
    for (int row : {0, 1})
        QCOMPARE(w->historyList()->text(row, 1), QStringLiteral("Depot"));
    QCOMPARE(w->historyList()->text(0, 0), DateText::toShort(w->historyList()->rowTag(0).toDate()));
    QCOMPARE(w->historyList()->text(2, 1), QStringLiteral("Old Depot"));
    QCOMPARE(box(w, "txtCurrentLocation")->text(), QStringLiteral("Depot"));
    QCOMPARE(box(w, "txtManufacturer")->text(), QStringLiteral("Dell"));
    QVERIFY(w->locationList()->selectedItems().isEmpty());
}

void tst_EditEquipment::reassignMessages_data() {
    QTest::addColumn<bool>("anyActive");
    QTest::addColumn<QString>("message");
    QTest::newRow("no active location") << false
                                        << "Currently there are no locations defined in the database\n"
                                           "You must create a location before proceeding";
    QTest::newRow("none selected") << true << "No location selected";
}

void tst_EditEquipment::reassignMessages() {
    QFETCH(bool, anyActive);
    QFETCH(QString, message);
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    if (!anyActive)
        Query(*t.db, "UPDATE LocationInfo SET LocActive = 0").exec();
    const qint64 id = addEquipment(*t.db, loc, "S1");
    const QStringList before = inventoryRows(*t.db);
    auto* w = openDetail(t, id);
    click(w, "cmdSaveAssignment");
    QCOMPARE(t.dialogs.texts(), QStringList{message});
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QCOMPARE(t.dialogs.messages[0].title, QStringLiteral("Kavrel"));
    QCOMPARE(inventoryRows(*t.db), before);
}

void tst_EditEquipment::invalidDateWritesNothing_data() {
    QTest::addColumn<QString>("date");
    QTest::newRow("text") << "soon";
    QTest::newRow("no such day") << "2024-02-30";
}

void tst_EditEquipment::invalidDateWritesNothing() {
    QFETCH(QString, date);
    TestContext t;
    const qint64 id = addEquipment(*t.db, addLocation(*t.db, "Depot"), "S1");
    const QStringList before = inventoryRows(*t.db);
    auto* w = openDetail(t, id);
    box(w, "txtManufacturer")->setText("Changed");
    box(w, "txtDatePurchased")->setText(date);
    click(w, "cmdSaveChanges");
    QCOMPARE(t.dialogs.messages.size(), 1);
    QVERIFY(t.dialogs.messages[0].text.contains("Date Purchased"));
    QVERIFY(t.dialogs.messages[0].text.contains(date));
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QCOMPARE(inventoryRows(*t.db), before);
}

void tst_EditEquipment::unitDeletedMeanwhile() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    const qint64 id = addEquipment(*t.db, loc, "S1");
    auto* w = openDetail(t, id);
    Query(*t.db, "DELETE FROM EquipmentInfo").exec();
    click(w, "cmdSaveChanges");
    w->locationList()->setCurrentRow(0);
    click(w, "cmdSaveAssignment");
    const QString gone = "This equipment no longer exists; it may have been deleted";
    QCOMPARE(t.dialogs.texts(), (QStringList{gone, gone}));
    QCOMPARE(count(*t.db, "EquipmentInfo"), 0);
    QCOMPARE(count(*t.db, "EquipLocAssign"), 0);
}

void tst_EditEquipment::opensFromEveryList_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("atLimitByEnter");
    QTest::addColumn<QString>("atLimitByDoubleClick"); // empty: silent
    QTest::newRow("active equipment list") << "active"
                                           << "Out of memory\nToo Many windows are currently open"
                                           << "";
    // The location detail window shows it as any other failure.
    QTest::newRow("location detail asset list") << "location"
                                                << "Out of memory"
                                                << "Out of memory";
}

void tst_EditEquipment::opensFromEveryList() {
    QFETCH(QString, source);
    QFETCH(QString, atLimitByEnter);
    QFETCH(QString, atLimitByDoubleClick);
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    QList<qint64> ids;
    for (const char* serial : {"A1", "B2", "C3"})
        ids << addEquipment(*t.db, loc, serial);
    ReportList* rows = nullptr;
    if (source == "active")
        rows = openWindow<frmActiveEquipment>(t.ctx, nullptr)->list();
    else
        rows = openWindow<DisplayInformation>(t.ctx, nullptr, [&](DisplayInformation& w) {
                   w.LocId = QString::number(loc);
               })->equipmentList();
    QCOMPARE(rows->rowCount(), 3);
    rows->setCurrentRow(1);
    emit rows->rowDoubleClicked(1);
    QCOMPARE(details(t).size(), 1);
    QCOMPARE(details(t)[0]->Idnum, QString::number(ids[1]));
    QCOMPARE(details(t)[0]->ssn, QStringLiteral("B2"));

    rows->clearSelection();
    for (int row : {0, 2})
        rows->setRowSelected(row, true);
    QTest::keyClick(rows, Qt::Key_Return);
    QCOMPARE(details(t).size(), 3);
    QCOMPARE(details(t)[1]->ssn, QStringLiteral("A1"));
    QCOMPARE(details(t)[2]->Idnum, QString::number(ids[2]));
    QCOMPARE(box(details(t)[2], "txtSerialNumber")->text(), QStringLiteral("C3"));
    QVERIFY(t.dialogs.messages.isEmpty());

    // At the window limit Enter opens what fits, then says so once.
    t.windows.setWindowLimit(t.windows.openWindowCount() + 1);
    QTest::keyClick(rows, Qt::Key_Enter);
    QCOMPARE(details(t).size(), 4);
    QCOMPARE(t.dialogs.texts(), QStringList{atLimitByEnter});
    t.dialogs.reset();
    emit rows->rowDoubleClicked(1);
    QCOMPARE(t.dialogs.texts(), atLimitByDoubleClick.isEmpty() ? QStringList() : QStringList{atLimitByDoubleClick});
    QCOMPARE(details(t).size(), 4);
}

QTEST_MAIN(tst_EditEquipment)
#include "tst_editequipment.moc"
