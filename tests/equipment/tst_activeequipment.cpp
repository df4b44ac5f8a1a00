#include "data/Database.h"
#include "data/DateText.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "locations/ui/frmCreateLocation.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QToolBar>

using namespace Fixtures;

namespace {
frmActiveEquipment* openList(TestContext& t) {
    return openWindow<frmActiveEquipment>(t.ctx, nullptr);
}

// Presses the toolbar button with this tag, or picks the entry of the print button's menu.
void press(frmActiveEquipment* w, const QString& tag) {
    for (QAction* action : w->toolbar()->actions()) {
        if (action->data().toString() == tag) {
            QTest::mouseClick(w->toolbar()->widgetForAction(action), Qt::LeftButton);
            return;
        }
        if (QMenu* menu = action->menu())
            for (QAction* entry : menu->actions())
                if (entry->text() == tag) {
                    entry->trigger();
                    return;
                }
    }
    QFAIL(qPrintable("no toolbar entry " + tag));
}

QStringList column(ReportList* list, int col) {
    QStringList values;
    for (int row = 0; row < list->rowCount(); ++row)
        values << list->text(row, col);
    return values;
}

void addUnit(Database& db, qint64 id, qint64 loc, const QString& serial) {
    Query(db, "INSERT INTO EquipmentInfo (EquipmentId, SerialNumber, CurrentLocation, EquActive) VALUES (?, ?, ?, 1)")
        .exec({id, serial, loc});
}
} // namespace

class tst_ActiveEquipment : public QObject {
    Q_OBJECT
private slots:
    void listsActiveUnitsAtExistingLocations();
    void headerClicksCycleAndRefreshKeepsColumn();
    void deleteAsksOncePerSelectedRow();
    void deleteWithNoSelectionAsksNothing();
    void emptyListGuard_data();
    void emptyListGuard();
    void createEquipment_data();
    void createEquipment();
};

void tst_ActiveEquipment::listsActiveUnitsAtExistingLocations() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Main&nbsp;Office");
    Query(*t.db, "INSERT INTO EquipmentInfo (EquipmentId, AssetTagNumber, EquipmentType, Manufacturer, "
                 "DatePurchased, PurchasePrice, SerialNumber, ModelNumber, CurrentLocation, EquActive) VALUES "
                 "(7, 'A&nbsp;7', 'Lap&nbsp;top', 'Dell''s', '2024-02-29', '12.50', 'S7', NULL, ?, 1)")
        .exec({loc});
    addEquipment(*t.db, loc, "RETIRED", "Desktop", false);
    addEquipment(*t.db, 9999, "NOWHERE");
    auto* w = openList(t);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Manage Equipment"));
    ReportList* list = w->list();
    QCOMPARE(list->objectName(), QStringLiteral("LstStudenInformation"));
    const QStringList headers = {"ID",
                                 "Current Location",
                                 "Description",
                                 "Manufacturer",
                                 "Serial Number",
                                 "Date Purchased",
                                 "Purchase Price",
                                 "Model Number",
                                 "Asset Tag Number"};
    const QStringList keys = {"EquipmentId",   "LocName",       "EquipmentType", "Manufacturer",  "SerialNumber",
                              "DatePurchased", "PurchasePrice", "ModelNumber",   "AssetTagNumber"};
    QCOMPARE(list->columnCount(), 9);
    for (int c = 0; c < 9; ++c) {
        QCOMPARE(list->columnHeader(c), headers[c]);
        QCOMPARE(list->columnTag(c), keys[c]);
    }
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(list->rowTag(0).toLongLong(), 7);
    QCOMPARE(list->cells(0), (QStringList{"7", "MainOffice", "Laptop", "Dell's", "S7",
                                          DateText::toShort(QDate(2024, 2, 29)), "12.50", "", "A7"}));
}

void tst_ActiveEquipment::headerClicksCycleAndRefreshKeepsColumn() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    // Ids that sort differently as text and as numbers.
    for (qint64 id : {10, 9, 100})
        addUnit(*t.db, id, loc, QStringLiteral("S%1").arg(id));
    auto* w = openList(t);
    ReportList* list = w->list();
    const QStringList ascending = {"9", "10", "100"};
    const QStringList descending = {"100", "10", "9"};
    for (const QStringList& expected : {ascending, descending, ascending}) {
        emit list->headerClicked(0);
        QCOMPARE(column(list, 0), expected);
    }
    press(w, "Refresh");
    QCOMPARE(list->rowCount(), 3);
    emit list->headerClicked(0); // remembered through the refresh: now descending
    QCOMPARE(column(list, 0), descending);
    emit list->headerClicked(4); // another column always starts ascending
    QCOMPARE(column(list, 4), (QStringList{"S10", "S100", "S9"}));
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_ActiveEquipment::deleteAsksOncePerSelectedRow() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    QList<qint64> ids;
    for (const char* serial : {"S1", "S2", "S3", "S4"}) {
        ids << addEquipment(*t.db, loc, serial);
        Query(*t.db, "INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (?, ?)").exec({ids.last(), loc});
        Query(*t.db, "INSERT INTO EquipmentNoteInformation (EquipmentId, NoteTitle) VALUES (?, 'n')")
            .exec({ids.last()});
    }
    auto* w = openList(t);
    emit w->list()->headerClicked(0);
    for (int row : {0, 1, 2})
        w->list()->setRowSelected(row, true);
    for (auto a : {Dialogs::Answer::Yes, Dialogs::Answer::No, Dialogs::Answer::Yes})
        t.dialogs.answer(a);
    press(w, "Delete Selected");
    QVERIFY(t.dialogs.allAnswersUsed());
    QStringList asked;
    for (const char* which :
         {"1 of 3, serial number \"S1\"", "2 of 3, serial number \"S2\"", "3 of 3, serial number \"S3\""})
        asked << QStringLiteral("Are you sure you want to delete the selected items\nUnit %1").arg(which);
    QCOMPARE(t.dialogs.texts(), asked);
    for (const auto& m : t.dialogs.messages) {
        QCOMPARE(m.buttons, Dialogs::Buttons::YesNoDefaultNo);
        QCOMPARE(m.icon, Dialogs::Icon::None);
        QCOMPARE(m.title, QStringLiteral("Kavrel"));
    }
    QCOMPARE(column(w->list(), 4), (QStringList{"S2", "S4"}));
    for (int i = 0; i < 4; ++i) {
        const bool kept = i == 1 || i == 3;
        QCOMPARE(count(*t.db, "EquipmentInfo", "EquipmentId = ?", {ids[i]}), kept ? 1 : 0);
        QCOMPARE(count(*t.db, "EquipLocAssign", "EquipmentId = ?", {ids[i]}), kept ? 1 : 0);
        QCOMPARE(count(*t.db, "EquipmentNoteInformation", "EquipmentId = ?", {ids[i]}), 1);
    }
}

void tst_ActiveEquipment::deleteWithNoSelectionAsksNothing() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    addEquipment(*t.db, loc, "S1");
    auto* w = openList(t);
    addEquipment(*t.db, loc, "S2"); // added elsewhere: shows after the reload
    press(w, "Delete Selected");
    QVERIFY(t.dialogs.messages.isEmpty());
    QCOMPARE(count(*t.db, "EquipmentInfo"), 2);
    QCOMPARE(w->list()->rowCount(), 2);
}

void tst_ActiveEquipment::emptyListGuard_data() {
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("guarded");
    for (const char* tag :
         {"Delete Selected", "Print", "Print All", "Print Select", "Print All Details", "Print Select Details"})
        QTest::newRow(tag) << QString(tag) << true;
    QTest::newRow("Refresh") << "Refresh" << false;
    QTest::newRow("Create Equipment") << "Create Equipment" << false;
}

void tst_ActiveEquipment::emptyListGuard() {
    QFETCH(QString, tag);
    QFETCH(bool, guarded);
    TestContext t;
    addEquipment(*t.db, 9999, "NOWHERE"); // in the table, not in the list
    auto* w = openList(t);
    QCOMPARE(w->list()->rowCount(), 0);
    if (tag == "Create Equipment")
        t.dialogs.answer(Dialogs::Answer::No); // no location yet: it asks instead
    press(w, tag);
    const QString guard = "Insufficient equipment to carry out this operation";
    QCOMPARE(t.dialogs.texts().contains(guard), guarded);
    if (guarded) {
        QCOMPARE(t.dialogs.messages.size(), 1);
        QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(t.dialogs.messages[0].title, QStringLiteral("Kavrel"));
    }
    QCOMPARE(count(*t.db, "EquipmentInfo"), 1);
}

void tst_ActiveEquipment::createEquipment_data() {
    QTest::addColumn<bool>("location");
    QTest::addColumn<int>("answer"); // -1: not asked
    QTest::newRow("location exists") << true << -1;
    QTest::newRow("no location, yes") << false << int(Dialogs::Answer::Yes);
    QTest::newRow("no location, no") << false << int(Dialogs::Answer::No);
}

void tst_ActiveEquipment::createEquipment() {
    QFETCH(bool, location);
    QFETCH(int, answer);
    TestContext t;
    Query(*t.db, "INSERT INTO EquipmentType (EquipmentType) VALUES ('Laptop')").exec();
    const qint64 loc = addLocation(*t.db, "Depot");
    if (!location) // an inactive location does not count
        Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({loc});
    auto* w = openList(t);
    if (answer >= 0)
        t.dialogs.answer(Dialogs::Answer(answer));
    press(w, "Create Equipment");
    if (answer < 0) {
        QVERIFY(t.dialogs.messages.isEmpty());
        QVERIFY(t.windows.last<frmCreateEquipment>());
        QVERIFY(!t.windows.last<frmCreateLocation>());
        return;
    }
    QCOMPARE(t.dialogs.texts(), QStringList{"Insufficient locaion(s) to carry out this operation\n"
                                            "You must create a location before entering equipment\n"
                                            "Do you want to create a location now?"});
    QCOMPARE(t.dialogs.messages[0].buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::None);
    QCOMPARE(t.dialogs.messages[0].title, QStringLiteral("Kavrel"));
    QCOMPARE(t.windows.last<frmCreateLocation>() != nullptr, Dialogs::Answer(answer) == Dialogs::Answer::Yes);
    QVERIFY(!t.windows.last<frmCreateEquipment>());
}

QTEST_MAIN(tst_ActiveEquipment)
#include "tst_activeequipment.moc"
