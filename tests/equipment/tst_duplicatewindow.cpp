#include "data/Database.h"
#include "equipment/ui/FrmDuplicate.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

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

} // namespace

class tst_DuplicateWindow : public QObject {
    Q_OBJECT
private slots:
    void showsBothSides();
    void resolutions_data();
    void resolutions();
    void refusals_data();
    void refusals();
    void opensFromTheEntryWindow();
};

void tst_DuplicateWindow::showsBothSides() {
    TestContext t;
    for (const char* type : {"Desktop", "Laptop"})
        Query(*t.db, "INSERT INTO EquipmentType (EquipmentType) VALUES (?)").exec({QString(type)});
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

    const QStringList existingBoxes = {"txtManufacturer", "txtSerialNumber", "txtOperatingSystem"};
    const QStringList proposedBoxes = {"txtProposedManufacturer", "txtProposedSerialNumber",
                                       "txtProposedOperatingSystem"};
    const auto editable = [&](const QStringList& names) {
        for (const QString& name : names)
            if (box(w, qPrintable(name))->isReadOnly())
                return false;
        return true;
    };
    const auto readOnly = [&](const QStringList& names) {
        for (const QString& name : names)
            if (!box(w, qPrintable(name))->isReadOnly())
                return false;
        return true;
    };
    for (auto option : {FrmDuplicate::DeleteExistingSubmitProposed, FrmDuplicate::KeepExistingSubmitCorrected,
                        FrmDuplicate::KeepExistingDeleteProposed})
        QVERIFY(!w->option(option)->isChecked());
    QVERIFY(readOnly(existingBoxes) && readOnly(proposedBoxes));
    QTest::mouseClick(w->option(FrmDuplicate::KeepExistingSubmitCorrected), Qt::LeftButton);
    QVERIFY(readOnly(existingBoxes) && editable(proposedBoxes));
    QVERIFY(box(w, "txtProposedCurrentLocation")->isReadOnly());
    QTest::mouseClick(w->option(FrmDuplicate::DeleteExistingSubmitProposed), Qt::LeftButton);
    QVERIFY(readOnly(existingBoxes) && readOnly(proposedBoxes));
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
        QTest::mouseClick(w->option(FrmDuplicate::Option(option)), Qt::LeftButton);
    if (!serial.isNull())
        box(w, "txtProposedSerialNumber")->setText(serial);
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
    QTest::newRow("location retired")
        << "retire"
        << "The proposed equipment's location no longer exists or has been retired. Nothing was changed.";
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
    if (change == "no existing")
        Query(*t.db, "DELETE FROM EquipmentInfo").exec();
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
    }
    const QStringList before = inventoryRows(*t.db);
    const bool asks = change == "retire" || change == "unpark";
    if (asks)
        t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "Command5");
    QCOMPARE(t.dialogs.messages.size(), int(asks) + 1);
    QCOMPARE(t.dialogs.messages.last().text, message);
    QCOMPARE(inventoryRows(*t.db), before);
    QVERIFY(w->isVisible());
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
