#include "data/Database.h"
#include "equipment/ui/FrmDuplicate.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Fixtures;
using namespace UnitFixtures;

namespace {

const QString kComplete = "Operation complete\n\nBe sure to refresh the duplicate table to reflect all changes";
const QString kTaken = "The changes to the proposed were test and it has been determined that another record exist "
                       "for the new proposed serial number.\nTry another options or another serial number.";

FrmDuplicate* openCase(TestContext& t, const QString& serial) {
    return openWindow<FrmDuplicate>(t.ctx, nullptr, [&](FrmDuplicate& w) { w.Idnum = serial; });
}

// Serial number and manufacturer of every inventory unit, by id.
QStringList units(Database& db) {
    Query q(db, "SELECT SerialNumber, Manufacturer, CurrentLocation FROM EquipmentInfo ORDER BY EquipmentId");
    q.exec();
    QStringList rows;
    while (q.next())
        rows << q.text(0) + "|" + q.text(1);
    return rows;
}

struct Case {
    qint64 depot = 0;
    qint64 annex = 0;
    qint64 existing = 0;
};

// One unit "DUP" at the depot, moved there from the annex, and two parked records with its serial number.
Case addCase(Database& db) {
    Case c;
    c.annex = addLocationWithId(db, 70001, "Annex");
    c.depot = addLocationWithId(db, 70002, "Depot&nbsp;East");
    c.existing = addUnitWithId(db, 90000, c.depot, "DUP");
    for (qint64 loc : {c.annex, c.depot})
        Query(db, "INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (?, ?)").exec({c.existing, loc});
    park(db, "DUP", c.annex, "HP&nbsp;Inc");
    park(db, "DUP", c.depot, "Acer");
    return c;
}

void addTypes(Database& db) {
    for (const char* type : {"Desktop", "Laptop"})
        Query(db, "INSERT INTO EquipmentType (EquipmentType) VALUES (?)").exec({QString(type)});
}

// Typed as a user types, so a read-only box takes nothing.
void typeOver(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// The option checked as a keyboard or screen-reader user checks it, not by a mouse click.
void choose(FrmDuplicate* w, FrmDuplicate::Option which) {
    w->option(which)->setChecked(true);
}

void selectRow(QAbstractItemView* list, int row) {
    list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

} // namespace

class tst_DuplicateWindow : public QObject {
    Q_OBJECT
private slots:
    void showsBothSides();
    void sidesLineUpFieldByField();
    void optionsFollowTheirState_data();
    void optionsFollowTheirState();
    void proposedTypeFromSelection();
    void resolutions_data();
    void resolutions();
    void refusals_data();
    void refusals();
    void parkedLocationGone_data();
    void parkedLocationGone();
    void opensFromTheEntryWindow();
};

void tst_DuplicateWindow::showsBothSides() {
    TestContext t;
    addTypes(*t.db);
    addCase(*t.db);
    auto* w = openCase(t, "DUP");
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Duplicate equipment aqction form for serial number : DUP"));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QCOMPARE(box(w, "txtManufacturer")->text(), QStringLiteral("Dell"));
    QCOMPARE(box(w, "txtCurrentLocation")->text(), QStringLiteral("Depot East"));
    QCOMPARE(w->existingTypes()->currentItem()->text(), QStringLiteral("Desktop"));
    QCOMPARE(box(w, "txtProposedManufacturer")->text(), QStringLiteral("HP Inc"));
    QCOMPARE(box(w, "txtProposedSerialNumber")->text(), QStringLiteral("DUP"));
    QCOMPARE(box(w, "txtProposedCurrentLocation")->text(), QStringLiteral("Annex"));
    QCOMPARE(w->proposedTypes()->currentItem()->text(), QStringLiteral("Laptop"));
    QVERIFY(!box(w, "txtProposedBarcodeIdentification")->isEnabled());
    QCOMPARE(w->historyList()->rowCount(), 2);
    QCOMPARE(w->historyList()->text(0, 1), QStringLiteral("Depot East"));
    QCOMPARE(w->historyList()->text(1, 1), QStringLiteral("Annex"));

    QVERIFY(w->newLocationList()->isHidden()); // the parked location is there
}

void tst_DuplicateWindow::sidesLineUpFieldByField() {
    TestContext t;
    addTypes(*t.db);
    addCase(*t.db);
    auto* w = openCase(t, "DUP");
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const auto place = [w](QWidget* field) { return QRect(field->mapTo(w, QPoint()), field->size()); };
    const auto labelOf = [w](QWidget* field) {
        for (QLabel* label : w->findChildren<QLabel*>())
            if (label->buddy() == field)
                return label;
        qFatal("no label for %s", qPrintable(field->objectName()));
    };
    QList<std::pair<QWidget*, QWidget*>> twins = {{w->existingTypes(), w->proposedTypes()}};
    for (const char* name : {"AssetTagNumber", "Manufacturer", "DatePurchased", "PurchasePrice", "SerialNumber",
                             "ModelNumber", "CpuSpeed", "Memory", "HardDriveCapacity", "Monitor", "Mouse", "Keyboard",
                             "OperatingSystem", "CurrentLocation", "BarCodeNumber"})
        twins.append(std::pair<QWidget*, QWidget*>(box(w, QStringLiteral("txt") + name),
                                                   box(w, QStringLiteral("txtProposed") + name)));
    twins.append(
        std::pair<QWidget*, QWidget*>(box(w, "txtBarCodeIdentification"), box(w, "txtProposedBarcodeIdentification")));
    for (const auto& [existing, proposed] : twins) {
        const QString name = existing->objectName();
        // Level with its twin, as tall, and as far from its side's edge: the label column is as wide on both sides.
        QVERIFY2(place(proposed).top() == place(existing).top(), qPrintable(name));
        QCOMPARE(place(proposed).height(), place(existing).height());
        QCOMPARE(proposed->mapTo(proposed->parentWidget(), QPoint()).x(),
                 existing->mapTo(existing->parentWidget(), QPoint()).x());
        QCOMPARE(place(labelOf(proposed)).top(), place(labelOf(existing)).top());
    }
}

void tst_DuplicateWindow::optionsFollowTheirState_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("mouse") << "mouse";
    QTest::newRow("setChecked") << "setChecked";
    QTest::newRow("arrow keys") << "keys";
}

void tst_DuplicateWindow::optionsFollowTheirState() {
    QFETCH(QString, how);
    TestContext t;
    addCase(*t.db);
    auto* w = openCase(t, "DUP");
    const QStringList existingBoxes = {"txtManufacturer", "txtSerialNumber", "txtOperatingSystem"};
    const QStringList proposedBoxes = {"txtProposedManufacturer", "txtProposedSerialNumber",
                                       "txtProposedOperatingSystem"};
    const auto all = [&](const QStringList& names, bool readOnly) {
        for (const QString& name : names)
            if (box(w, name)->isReadOnly() != readOnly)
                return false;
        return true;
    };
    for (auto option : {FrmDuplicate::DeleteExistingSubmitProposed, FrmDuplicate::KeepExistingSubmitCorrected,
                        FrmDuplicate::KeepExistingDeleteProposed})
        QVERIFY(!w->option(option)->isChecked());
    QVERIFY(all(existingBoxes, true) && all(proposedBoxes, true));
    // Option 0, then 1, then back to 0, as each way of choosing goes.
    QRadioButton* focused = nullptr;
    if (how == "keys") {
        w->activateWindow(); // arrow keys move among the options only in the active window
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    const auto pick = [&](FrmDuplicate::Option which) {
        QRadioButton* button = w->option(which);
        if (how == "mouse")
            QTest::mouseClick(button, Qt::LeftButton);
        else if (how == "setChecked")
            button->setChecked(true);
        else if (!focused) {
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Space);
        } else {
            focused->setFocus(); // back from the box typed into
            QTest::keyClick(focused, which == FrmDuplicate::KeepExistingSubmitCorrected ? Qt::Key_Down : Qt::Key_Up);
        }
        focused = button;
        QVERIFY(button->isChecked());
    };
    pick(FrmDuplicate::DeleteExistingSubmitProposed);
    QVERIFY(all(existingBoxes, true) && all(proposedBoxes, true));
    pick(FrmDuplicate::KeepExistingSubmitCorrected);
    QVERIFY(all(existingBoxes, true) && all(proposedBoxes, false));
    QVERIFY(box(w, "txtProposedCurrentLocation")->isReadOnly());
    typeOver(box(w, "txtProposedSerialNumber"), "DUP-2");
    QCOMPARE(box(w, "txtProposedSerialNumber")->text(), QStringLiteral("DUP-2"));
    pick(FrmDuplicate::DeleteExistingSubmitProposed);
    QVERIFY(all(existingBoxes, true) && all(proposedBoxes, true));
}

// The type submitted is the one selected, however it was selected, not the list's current row.
void tst_DuplicateWindow::proposedTypeFromSelection() {
    TestContext t;
    addTypes(*t.db);
    addCase(*t.db);
    auto* w = openCase(t, "DUP");
    QListWidget* types = w->proposedTypes();
    QCOMPARE(types->currentItem()->text(), QStringLiteral("Laptop"));
    selectRow(types, types->row(types->findItems("Desktop", Qt::MatchExactly).first()));
    choose(w, FrmDuplicate::DeleteExistingSubmitProposed);
    t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "Command5");
    QCOMPARE(t.dialogs.messages.last().text, kComplete);
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'DUP' AND EquipmentType = 'Desktop'"), 1);
}

void tst_DuplicateWindow::resolutions_data() {
    QTest::addColumn<int>("option");     // -1: none
    QTest::addColumn<QString>("serial"); // typed over the proposed serial number; null: as loaded
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("message"); // the last one shown; empty: none
    QTest::addColumn<QStringList>("unitsAfter");
    QTest::addColumn<int>("parkedAfter");
    QTest::addColumn<bool>("closes");
    const QStringList untouched = {"DUP|Dell"};
    QTest::newRow("replace existing") << 0 << QString() << true << kComplete << QStringList{"DUP|HP Inc"} << 0 << true;
    QTest::newRow("replace existing, answered No") << 0 << QString() << false << "" << untouched << 2 << false;
    QTest::newRow("corrected with a free serial")
        << 1 << "DUP-2" << true << kComplete << QStringList{"DUP|Dell", "DUP-2|HP Inc"} << 0 << true;
    QTest::newRow("corrected with the unchanged serial")
        << 1 << QString() << false << kTaken << untouched << 2 << false;
    QTest::newRow("discard proposed") << 2 << QString() << true << kComplete << untouched << 0 << true;
    QTest::newRow("no option chosen") << -1 << QString() << false << "" << untouched << 2 << true;
}

void tst_DuplicateWindow::resolutions() {
    QFETCH(int, option);
    QFETCH(QString, serial);
    QFETCH(bool, yes);
    QFETCH(QString, message);
    QFETCH(QStringList, unitsAfter);
    QFETCH(int, parkedAfter);
    QFETCH(bool, closes);
    TestContext t;
    addCase(*t.db);
    auto* w = openCase(t, "DUP");
    QPointer<QWidget> watched = w;
    if (option >= 0)
        choose(w, FrmDuplicate::Option(option));
    if (!serial.isNull())
        typeOver(box(w, "txtProposedSerialNumber"), serial);
    const bool asks = option >= 0 && message != kTaken;
    if (asks)
        t.dialogs.answer(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
    click(w, "Command5");
    QVERIFY(t.dialogs.allAnswersUsed());
    QCOMPARE(t.dialogs.messages.size(), int(asks) + int(!message.isEmpty()));
    if (!message.isEmpty())
        QCOMPARE(t.dialogs.messages.last().text, message);
    QCOMPARE(units(*t.db), unitsAfter);
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), parkedAfter);
    if (closes)
        QTRY_VERIFY(!watched || !watched->isVisible());
    else
        QVERIFY(w->isVisible());
}

void tst_DuplicateWindow::refusals_data() {
    QTest::addColumn<QString>("change"); // what happens between opening and "Submit"
    QTest::addColumn<QString>("message");
    QTest::newRow("location retired") << "retire"
                                      << "The proposed equipment's location no longer exists or has been retired. "
                                         "Nothing was changed.\nSelect a new location for it and submit again.";
    QTest::newRow("serial number of another unit")
        << "OTHER"
        << "Another unit in the inventory already has the serial number \"OTHER\". Nothing was changed.";
    const QString longSerial = QString(100, 'x');
    QTest::newRow("long serial number of another unit")
        << longSerial
        << "Another unit in the inventory already has the serial number \"" + QString(79, 'x') + QChar(0x2026) +
               "\". Nothing was changed.";
    QTest::newRow("resolved elsewhere") << "unpark"
                                        << "This duplicate has already been resolved elsewhere. Nothing was changed.";
    QTest::newRow("no existing unit") << "no existing"
                                      << "Invalid serial number";
    QTest::newRow("proposed serial emptied") << "empty serial"
                                             << "Invalid proposed serial number";
    QTest::newRow("purchase date no date") << "bad date"
                                           << "Date Purchased: \"soon\" is not a date";
}

void tst_DuplicateWindow::refusals() {
    QFETCH(QString, change);
    QFETCH(QString, message);
    TestContext t;
    const Case c = addCase(*t.db);
    // A serial number is typed over the proposed one under option 1, then submitted under option 0.
    const bool otherSerial = change.startsWith("OTHER") || change.startsWith("xxx");
    if (change == "no existing")
        Query(*t.db, "DELETE FROM EquipmentInfo").exec();
    if (otherSerial)
        addUnitWithId(*t.db, 90001, c.depot, change);
    auto* w = openCase(t, "DUP");
    QTest::mouseClick(w->option(FrmDuplicate::DeleteExistingSubmitProposed), Qt::LeftButton);
    if (change == "retire")
        Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({c.annex});
    else if (change == "unpark")
        Query(*t.db, "DELETE FROM TempEquipmentInfo").exec();
    else if (change == "empty serial" || change == "bad date") {
        QTest::mouseClick(w->option(FrmDuplicate::KeepExistingSubmitCorrected), Qt::LeftButton);
        box(w, change == "bad date" ? "txtProposedDatePurchased" : "txtProposedSerialNumber")
            ->setText(change == "bad date" ? "soon" : "");
        QTest::mouseClick(w->option(FrmDuplicate::DeleteExistingSubmitProposed), Qt::LeftButton);
    } else if (otherSerial) {
        choose(w, FrmDuplicate::KeepExistingSubmitCorrected);
        typeOver(box(w, "txtProposedSerialNumber"), change);
        choose(w, FrmDuplicate::DeleteExistingSubmitProposed);
    }
    const QStringList before = inventoryRows(*t.db);
    const bool asks = change == "retire" || change == "unpark" || otherSerial;
    if (asks)
        t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "Command5");
    QCOMPARE(t.dialogs.messages.size(), int(asks) + 1);
    QCOMPARE(t.dialogs.messages.last().text, message);
    QCOMPARE(inventoryRows(*t.db), before);
    QVERIFY(w->isVisible());
}

void tst_DuplicateWindow::parkedLocationGone_data() {
    QTest::addColumn<QString>("gone");   // what befell the parked record's location: retired, deleted, retired later
    QTest::addColumn<QString>("picked"); // how "Store" is chosen: selection, keys, current only (not selected), none
    QTest::addColumn<bool>("pickedRetired"); // "Store" is retired after it was chosen
    QTest::addColumn<QString>("message");    // the last message; the completion message when it goes through
    const QString noneSelected = "No location selected";
    QTest::newRow("retired, chosen by selection") << "retired"
                                                  << "selection" << false << kComplete;
    QTest::newRow("deleted, chosen by keys") << "deleted"
                                             << "keys" << false << kComplete;
    QTest::newRow("retired after opening, chosen by selection") << "retired later"
                                                                << "selection" << false << kComplete;
    QTest::newRow("current row not selected") << "retired"
                                              << "current only" << false << noneSelected;
    QTest::newRow("nothing chosen") << "deleted"
                                    << "none" << false << noneSelected;
    QTest::newRow("chosen one retired too")
        << "retired"
        << "selection" << true << "The selected location no longer exists or has been retired";
}

// A parked record whose location went away can still enter the inventory, at a location chosen for it.
void tst_DuplicateWindow::parkedLocationGone() {
    QFETCH(QString, gone);
    QFETCH(QString, picked);
    QFETCH(bool, pickedRetired);
    QFETCH(QString, message);
    TestContext t;
    const Case c = addCase(*t.db);
    const qint64 store = addLocationWithId(*t.db, 70003, "Store");
    const auto retireAnnex = [&] {
        Query(*t.db, gone == "deleted" ? "DELETE FROM LocationInfo WHERE LocId = ?"
                                       : "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?")
            .exec({c.annex});
    };
    if (gone != "retired later")
        retireAnnex();
    auto* w = openCase(t, "DUP");
    QListWidget* list = w->newLocationList();
    choose(w, FrmDuplicate::DeleteExistingSubmitProposed);
    if (gone == "retired later") {
        QVERIFY(list->isHidden());
        retireAnnex();
        t.dialogs.answer(Dialogs::Answer::Yes);
        click(w, "Command5");
        QVERIFY(t.dialogs.messages.last().text.startsWith("The proposed equipment's location no longer exists"));
    }
    QVERIFY(!list->isHidden());
    QStringList offered;
    for (int row = 0; row < list->count(); ++row)
        offered << list->item(row)->text();
    QCOMPARE(offered, (QStringList{"Depot East", "Store"}));
    QVERIFY(list->selectedItems().isEmpty());
    if (picked == "selection") {
        selectRow(list, 1);
    } else if (picked == "keys") {
        list->setFocus();
        for (int press = 0; press < 2; ++press) // the first lands on the first row
            QTest::keyClick(list, Qt::Key_Down);
    } else if (picked == "current only") {
        list->setCurrentRow(1);
        list->selectionModel()->clearSelection();
    }
    if (pickedRetired)
        Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({store});
    const QStringList before = inventoryRows(*t.db);
    const bool asks = picked != "none" && picked != "current only";
    if (asks)
        t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "Command5");
    QVERIFY(t.dialogs.allAnswersUsed());
    QCOMPARE(t.dialogs.messages.last().text, message);
    if (message != kComplete) {
        QCOMPARE(inventoryRows(*t.db), before);
        QVERIFY(w->isVisible());
        if (pickedRetired)
            QCOMPARE(list->count(), 1); // offered afresh, without it
        return;
    }
    QCOMPARE(units(*t.db), QStringList{"DUP|HP Inc"});
    QCOMPARE(count(*t.db, "EquipmentInfo", "CurrentLocation = ?", {store}), 1);
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), 0);
}

void tst_DuplicateWindow::opensFromTheEntryWindow() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    for (const char* serial : {"A1", "B2", "C3"}) {
        addEquipment(*t.db, loc, serial);
        park(*t.db, serial, loc);
    }
    auto* entry = openWindow<frmCreateEquipment>(t.ctx, nullptr);
    ReportList* rows = entry->duplicateList();
    QCOMPARE(rows->rowCount(), 3);
    const auto opened = [&] {
        QStringList serials;
        for (const auto& p : t.windows.shown)
            if (auto* d = qobject_cast<FrmDuplicate*>(p.data()))
                serials << d->Idnum;
        return serials;
    };
    rows->setCurrentRow(1);
    emit rows->rowDoubleClicked(1);
    QCOMPARE(opened(), QStringList{"B2"});
    rows->clearSelection();
    for (int row : {0, 2})
        rows->setRowSelected(row, true);
    QTest::keyClick(rows, Qt::Key_Return);
    QCOMPARE(opened(), (QStringList{"B2", "A1", "C3"}));
    QCOMPARE(box(t.windows.last<FrmDuplicate>(), "txtProposedSerialNumber")->text(), QStringLiteral("C3"));
    QVERIFY(t.dialogs.messages.isEmpty());
    // At the window limit both ways say so.
    t.windows.setWindowLimit(t.windows.openWindowCount());
    emit rows->rowDoubleClicked(1);
    QTest::keyClick(rows, Qt::Key_Enter);
    QCOMPARE(t.dialogs.texts(), QStringList(2, "Out of memory\nToo Many windows are currently open"));
    QCOMPARE(opened().size(), 3);
}

QTEST_MAIN(tst_DuplicateWindow)
#include "tst_duplicatewindow.moc"
