#include "data/Database.h"
#include "data/DateText.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "equipment/ui/frmCreateEquipmentTypes.h"
#include "locations/ui/frmCreateLocation.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"
#include "support/EngineFixtures.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <functional>

using namespace Fixtures;

namespace {
const QStringList kListHeaders = {"Description", "Manufacturer", "Serial #", "Model #", "Current Location", "Asset #"};
const QStringList kTextBoxes = {"txtManufacturer",      "txtModelNumber",   "txtSerialNumber", "txtAssetTagNumber",
                                "txtDatePurchased",     "txtPurchasePrice", "txtCpuSpeed",     "txtMemory",
                                "txtHardDriveCapacity", "txtMonitor",       "txtMouse",        "txtKeyboard",
                                "txtOperatingSystem"};
const QDate kToday(2026, 3, 14); // FakeClock's date

// The commit's closing message.
QString complete(int entered, int parked) {
    return QStringLiteral("Operation complete\n%1 unit(s) entered the inventory.\n"
                          "%2 unit(s) were parked in the Duplicate Table.")
        .arg(entered)
        .arg(parked);
}

// Records every input box's title and runs a hook before answering, so a test can look at the database while a
// prompt is open.
class HookedDialogs : public ScriptedDialogs {
public:
    std::function<void()> beforeInput;
    QStringList titles;
    QString input(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText) override {
        titles << title;
        if (beforeInput)
            beforeInput();
        return ScriptedDialogs::input(parent, prompt, title, defaultText);
    }
};

// Two active locations ("Annex" sorts first), an inactive one and two types ("Desktop" sorts first).
struct Inventory {
    qint64 annex, depot;
    explicit Inventory(Database& db) {
        depot = addLocation(db, "Depot");
        annex = addLocation(db, "Annex");
        const qint64 closed = addLocation(db, "Aardvark Closed");
        Query(db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({closed});
        Query(db, "INSERT INTO EquipmentType (EquipmentType) VALUES ('Laptop'), ('Desktop')").exec();
    }
};

frmCreateEquipment* openEntry(TestContext& t) {
    return openWindow<frmCreateEquipment>(t.ctx, nullptr);
}

void setText(QWidget* window, const QString& name, const QString& text) {
    box(window, name)->setText(text);
}
QString text(QWidget* window, const QString& name) {
    return box(window, name)->text();
}

QCheckBox* check(QWidget* window, const char* name) {
    return window->findChild<QCheckBox*>(QLatin1String(name));
}

QStringList column(ReportList* list, int col) {
    QStringList values;
    for (int row = 0; row < list->rowCount(); ++row)
        values << list->text(row, col);
    return values;
}

// One holding column of every row, in insertion order.
QStringList holding(Database& db, const QString& column) {
    Query q(db, "SELECT " + column + " FROM HoldEquipment ORDER BY HoldEquipmentId");
    q.exec();
    QStringList values;
    while (q.next())
        values << (q.isNull(0) ? QStringLiteral("<null>") : q.text(0));
    return values;
}

qint64 hold(Database& db, const QString& serial, qint64 loc, const QString& locName = QStringLiteral("Depot")) {
    HoldingEntry e;
    e.serialNumber = serial;
    e.equipmentType = QStringLiteral("Laptop");
    e.manufacturer = QStringLiteral("Dell");
    e.modelNumber = QStringLiteral("M-") + serial;
    e.datePurchased = QDate(2025, 12, 31);
    e.currentLocation = loc;
    e.locationName = locName;
    return HoldingStore(db).insert(e);
}

void fillEntryFields(QWidget* w) {
    for (const QString& name : kTextBoxes)
        setText(w, name, name.mid(3) + "'s");
    setText(w, "txtDatePurchased", DateText::toShort(QDate(2024, 2, 29)));
    setText(w, "txtPurchasePrice", "12.50");
}
} // namespace

class tst_EntryWindow : public QObject {
    Q_OBJECT
private slots:
    void duplicatesSettledTogetherFromTheSelection();
    void openingRefused_data();
    void openingRefused();
    void openingFillsFieldsAndLists();
    void submitStoresValuesAsTyped();
    void submitReadsTypedDates_data();
    void submitReadsTypedDates();
    void submitRefusesEmptySerial();
    void submitClearsFields_data();
    void submitClearsFields();
    void unitWithoutLocationIsRefused();
    void scanCancelledAtFirstPromptStoresNothing();
    void scanStoresEachUnitBeforeNextPrompt();
    void scanAsksForAssetTags();
    void clearEmptiesFieldsAndResetsSelections();
    void templateRoundTripDropsApostrophesFromNameOnly();
    void templateLoadEmptiesNullColumnsOnly();
    void holdingRowSummary();
    void deleteSelected();
    void clearHoldingTableAsksEvenWhenEmpty();
    void commitCountMessages_data();
    void commitCountMessages();
    void commitParksKnownSerialsAndListsThem();
    void commitFailurePartWayMovesNothing();
    void commitSaysWhyUnitsStayBehind();
    void commitWarnsOfRowsWithoutAType();
    void addAndRefreshButtons();
    void printing_data();
    void printing();
};

void tst_EntryWindow::openingRefused_data() {
    QTest::addColumn<bool>("activeLocation");
    QTest::addColumn<bool>("types");
    QTest::addColumn<bool>("holdingTable");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("createLocationOpens");
    QTest::newRow("no active location") << false << true << true << false << "No Location(s) defined" << true;
    QTest::newRow("no equipment type yet") << true << false << true << true << QString() << false;
    QTest::newRow("holding table unreadable") << true << true << false << false
                                              << "Kavrel could not read or change the data in the folder %1.\n\n"
                                                 "The database engine reported: no such table: HoldEquipment"
                                              << false;
}

void tst_EntryWindow::openingRefused() {
    QFETCH(bool, activeLocation);
    QFETCH(bool, types);
    QFETCH(bool, holdingTable);
    QFETCH(bool, opens);
    QFETCH(QString, message);
    QFETCH(bool, createLocationOpens);
    TestContext t;
    if (!holdingTable && t.onServer())
        QSKIP("the holding file belongs to a data folder; a server keeps the holding rows in its own database");
    const qint64 loc = addLocation(*t.db, "Depot");
    if (!activeLocation)
        Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({loc});
    if (types)
        Query(*t.db, "INSERT INTO EquipmentType (EquipmentType) VALUES ('Laptop')").exec();
    if (!holdingTable)
        Query(*t.db, "DROP TABLE hold.HoldEquipment").exec();

    QCOMPARE(openEntry(t) != nullptr, opens);
    if (message.contains("%1"))
        message = message.arg(t.db->whereabouts());
    QCOMPARE(t.dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(t.dialogs.messages[0].title, QStringLiteral("Kavrel"));
    }
    QCOMPARE(t.windows.last<frmCreateLocation>() != nullptr, createLocationOpens);
    QCOMPARE(t.windows.last<frmCreateEquipment>() != nullptr, opens);
}

void tst_EntryWindow::openingFillsFieldsAndLists() {
    TestContext t;
    Inventory inv(*t.db);
    hold(*t.db, "H1", inv.depot);
    Query(*t.db, "INSERT INTO EquipmentTemplate (TemplateName) VALUES ('Office PC')").exec();
    // Parked rows: one at a known location (placeholders become blanks, but not in the asset tag), one at none.
    Query(*t.db, "INSERT INTO TempEquipmentInfo (EquipmentType, Manufacturer, SerialNumber, ModelNumber, "
                 "AssetTagNumber, CurrentLocation) VALUES ('Lap&nbsp;top', 'HP', 'D1', 'X', 'A&nbsp;1', ?), "
                 "('Gone', 'HP', 'D2', 'X', 'A2', 9999)")
        .exec({inv.annex});
    auto* w = openEntry(t);
    QVERIFY(w);
    QVERIFY(t.dialogs.messages.isEmpty());
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Enter Equipment"));
    QCOMPARE(text(w, "txtDatePurchased"), DateText::toShort(kToday));
    QCOMPARE(w->typeList()->count(), 2);
    QCOMPARE(w->typeList()->selectedItems().value(0)->text(), QStringLiteral("Desktop"));
    QCOMPARE(w->locationList()->count(), 2);
    QCOMPARE(w->locationList()->selectedItems().value(0)->text(), QStringLiteral("Annex"));
    QCOMPARE(w->locationList()->item(1)->data(Qt::UserRole).toLongLong(), inv.depot);
    QCOMPARE(w->templateList()->item(0)->text(), QStringLiteral("Office PC"));
    QVERIFY(!check(w, "chkSubmit")->isChecked());
    QVERIFY(!check(w, "Check1")->isChecked());
    for (ReportList* list : {w->holdingList(), w->duplicateList()}) {
        QCOMPARE(list->columnCount(), 6);
        for (int c = 0; c < 6; ++c)
            QCOMPARE(list->columnHeader(c), kListHeaders[c]);
    }
    QCOMPARE(w->holdingList()->cells(0), (QStringList{"Laptop", "Dell", "H1", "M-H1", "Depot", ""}));
    QCOMPARE(w->duplicateList()->rowCount(), 1);
    QCOMPARE(w->duplicateList()->cells(0), (QStringList{"Lap top", "HP", "D1", "X", "Annex", "A1"}));

    w->resize(w->width() + 50, w->height() + 50);
    QCOMPARE(w->size(), QSize(Twips::toPixelsX(13770, w), Twips::toPixelsY(10335, w)));
}

void tst_EntryWindow::submitStoresValuesAsTyped() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    fillEntryFields(w);
    setText(w, "txtDatePurchased", "abc");
    w->typeList()->setCurrentRow(1);
    w->locationList()->setCurrentRow(1);
    click(w, "Command1");
    QVERIFY(t.dialogs.messages.isEmpty());
    // The invalid date is replaced by today's, in the box and in the row.
    QCOMPARE(text(w, "txtDatePurchased"), DateText::toShort(kToday));
    QCOMPARE(holding(*t.db, "DatePurchased"), QStringList{"2026-03-14"});
    const QStringList expected = {
        "Laptop",        "Manufacturer's", "SerialNumber's",    "AssetTagNumber's",         "12.50",
        "ModelNumber's", "CpuSpeed's",     "Memory's",          "HardDriveCapacity's",      "Monitor's",
        "Mouse's",       "Keyboard's",     "OperatingSystem's", QString::number(inv.depot), "Depot"};
    const QStringList columns = {"EquipmentType",     "Manufacturer",    "SerialNumber", "AssetTagNumber",
                                 "PurchasePrice",     "ModelNumber",     "CpuSpeed",     "Memory",
                                 "HardDriveCapacity", "Monitor",         "Mouse",        "Keyboard",
                                 "OperatingSystem",   "CurrentLocation", "LocationName"};
    for (int i = 0; i < columns.size(); ++i)
        QCOMPARE(holding(*t.db, columns[i]), QStringList{expected[i]});
    QCOMPARE(w->holdingList()->cells(0),
             (QStringList{"Laptop", "Manufacturer's", "SerialNumber's", "ModelNumber's", "Depot", "AssetTagNumber's"}));
    // The same serial again is accepted: nothing here tests serial numbers.
    setText(w, "txtSerialNumber", "SerialNumber's");
    click(w, "Command1");
    QCOMPARE(count(*t.db, "HoldEquipment"), 2);
}

void tst_EntryWindow::submitReadsTypedDates_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    const QDateTime now(kToday, QTime(9, 30));
    QTest::newRow("month named") << now << "Dec 31, 2025"
                                 << "2025-12-31";
    // Two-digit years are read near the clock's year, not the machine's.
    QTest::newRow("later clock") << QDateTime(QDate(2090, 1, 1), QTime(9, 30)) << "Jan 2, 60"
                                 << "2060-01-02";
    QTest::newRow("no real day") << now << "Feb 30, 2025"
                                 << "2026-03-14";
}

void tst_EntryWindow::submitReadsTypedDates() {
    QFETCH(QDateTime, now);
    QFETCH(QString, typed);
    TestContext t;
    t.clock.current = now;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    fillEntryFields(w);
    setText(w, "txtDatePurchased", typed);
    click(w, "Command1");
    QVERIFY(t.dialogs.messages.isEmpty());
    QTEST(holding(*t.db, "DatePurchased").value(0), "stored");
}

void tst_EntryWindow::submitRefusesEmptySerial() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    fillEntryFields(w);
    setText(w, "txtSerialNumber", "");
    click(w, "Command1");
    QCOMPARE(t.dialogs.texts(), QStringList{"Invalid Serial Number"});
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::Information);
    QCOMPARE(count(*t.db, "HoldEquipment"), 0);
    QCOMPARE(text(w, "txtManufacturer"), QStringLiteral("Manufacturer's"));
    QCOMPARE(text(w, "txtAssetTagNumber"), QStringLiteral("AssetTagNumber's"));
    // A serial made of blanks is accepted.
    setText(w, "txtSerialNumber", " ");
    click(w, "Command1");
    QCOMPARE(holding(*t.db, "SerialNumber"), QStringList{" "});
}

void tst_EntryWindow::submitClearsFields_data() {
    QTest::addColumn<bool>("clearAll");
    QTest::newRow("keep fields") << false;
    QTest::newRow("clear fields after submitting") << true;
}

void tst_EntryWindow::submitClearsFields() {
    QFETCH(bool, clearAll);
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    fillEntryFields(w);
    check(w, "chkSubmit")->setChecked(clearAll);
    click(w, "Command1");
    for (const QString& name : kTextBoxes) {
        const bool emptied = clearAll || name == "txtSerialNumber" || name == "txtAssetTagNumber";
        QCOMPARE(text(w, name).isEmpty(), emptied);
    }
    QCOMPARE(holding(*t.db, "DatePurchased"), QStringList{"2024-02-29"});
    // The next unit needs only its serial number; an emptied date becomes today's.
    setText(w, "txtSerialNumber", "S2");
    click(w, "Command1");
    QCOMPARE(holding(*t.db, "DatePurchased").value(1),
             clearAll ? QStringLiteral("2026-03-14") : QStringLiteral("2024-02-29"));
    QCOMPARE(holding(*t.db, "Manufacturer").value(1), clearAll ? QString() : QStringLiteral("Manufacturer's"));
}

void tst_EntryWindow::unitWithoutLocationIsRefused() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    fillEntryFields(w);
    w->locationList()->clearSelection(); // possible with Ctrl+click, or after a refresh finds no location
    click(w, "Command1");
    click(w, "Command5"); // the scanner loop refuses before its first prompt
    QCOMPARE(t.dialogs.texts(), QStringList(2, "Select the location to assign the equipment to"));
    QVERIFY(t.dialogs.prompts.isEmpty());
    QCOMPARE(count(*t.db, "HoldEquipment"), 0);
    QCOMPARE(text(w, "txtSerialNumber"), QStringLiteral("SerialNumber's"));
}

void tst_EntryWindow::scanCancelledAtFirstPromptStoresNothing() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    hold(*t.db, "Elsewhere", inv.depot); // written by another window: shows after the reload
    fillEntryFields(w);
    t.dialogs.type(QString());
    click(w, "Command5");
    QCOMPARE(t.dialogs.prompts, QStringList{"Scan Serial Number"});
    QCOMPARE(count(*t.db, "HoldEquipment"), 1);
    QCOMPARE(column(w->holdingList(), 2), QStringList{"Elsewhere"});
    QCOMPARE(text(w, "txtSerialNumber"), QString());
    QCOMPARE(text(w, "txtAssetTagNumber"), QStringLiteral("AssetTagNumber's"));
}

void tst_EntryWindow::scanStoresEachUnitBeforeNextPrompt() {
    TestContext t;
    Inventory inv(*t.db);
    HookedDialogs dialogs;
    t.ctx.dialogs = &dialogs;
    // A second connection, like another program, sees only what is committed to disk.
    const std::unique_ptr<Database> observer = t.openAnother();
    QList<int> seen;
    dialogs.beforeInput = [&] { seen << count(*observer, "HoldEquipment"); };
    auto* w = openEntry(t);
    fillEntryFields(w);
    setText(w, "txtDatePurchased", "abc");
    for (const char* answer : {"S1", "S2", "S3", ""})
        dialogs.type(answer);
    click(w, "Command5");
    QVERIFY(dialogs.allAnswersUsed());
    QCOMPARE(dialogs.prompts,
             (QStringList{"Scan Serial Number", "Scan Serial Number\nLast Serial Number Processed was: S1",
                          "Scan Serial Number\nLast Serial Number Processed was: S2",
                          "Scan Serial Number\nLast Serial Number Processed was: S3"}));
    QCOMPARE(dialogs.titles, QStringList(4, "Kavrel scanner input"));
    QCOMPARE(seen, (QList<int>{0, 1, 2, 3}));
    QCOMPARE(holding(*t.db, "SerialNumber"), (QStringList{"S1", "S2", "S3"}));
    QCOMPARE(holding(*t.db, "AssetTagNumber"), QStringList(3, "AssetTagNumber's"));
    QCOMPARE(holding(*t.db, "DatePurchased"), QStringList(3, "2026-03-14"));
    QCOMPARE(holding(*t.db, "LocationName"), QStringList(3, "Annex"));
    QCOMPARE(column(w->holdingList(), 2), (QStringList{"S1", "S2", "S3"}));
    // Only the serial number box empties; the asset tag stays for the next loop.
    QCOMPARE(text(w, "txtSerialNumber"), QString());
    QCOMPARE(text(w, "txtAssetTagNumber"), QStringLiteral("AssetTagNumber's"));
    QCOMPARE(text(w, "txtManufacturer"), QStringLiteral("Manufacturer's"));
    QVERIFY(dialogs.messages.isEmpty());
}

void tst_EntryWindow::scanAsksForAssetTags() {
    TestContext t;
    Inventory inv(*t.db);
    HookedDialogs dialogs;
    t.ctx.dialogs = &dialogs;
    auto* w = openEntry(t);
    fillEntryFields(w);
    check(w, "Check1")->setChecked(true);
    check(w, "chkSubmit")->setChecked(true);
    // The second asset tag prompt is cancelled: the unit is stored without one and the loop goes on.
    for (const char* answer : {"S1", "A'1", "S2", "", "S3", "A3", ""})
        dialogs.type(answer);
    click(w, "Command5");
    QVERIFY(dialogs.allAnswersUsed());
    QCOMPARE(dialogs.prompts, (QStringList{"Scan Serial Number", "Enter Asset Tag Number for Serial Number: S1",
                                           "Scan Serial Number\nLast Serial Number Processed was: S1",
                                           "Enter Asset Tag Number for Serial Number: S2",
                                           "Scan Serial Number\nLast Serial Number Processed was: S2",
                                           "Enter Asset Tag Number for Serial Number: S3",
                                           "Scan Serial Number\nLast Serial Number Processed was: S3"}));
    QCOMPARE(dialogs.titles[1], QStringLiteral("Kavrel"));
    QCOMPARE(holding(*t.db, "SerialNumber"), (QStringList{"S1", "S2", "S3"}));
    QCOMPARE(holding(*t.db, "AssetTagNumber"), (QStringList{"A'1", "", "A3"}));
    for (const QString& name : kTextBoxes)
        QCOMPARE(text(w, name), QString());
}

void tst_EntryWindow::clearEmptiesFieldsAndResetsSelections() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    fillEntryFields(w);
    w->typeList()->setCurrentRow(1);
    w->locationList()->setCurrentRow(1);
    check(w, "chkSubmit")->setChecked(true);
    check(w, "Check1")->setChecked(true);
    click(w, "Command2");
    for (const QString& name : kTextBoxes)
        QCOMPARE(text(w, name), QString());
    QCOMPARE(w->typeList()->currentRow(), 0);
    QCOMPARE(w->locationList()->currentRow(), 0);
    QVERIFY(!check(w, "chkSubmit")->isChecked());
    QVERIFY(check(w, "Check1")->isChecked());
    QCOMPARE(count(*t.db, "HoldEquipment"), 0);
}

void tst_EntryWindow::templateRoundTripDropsApostrophesFromNameOnly() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    fillEntryFields(w);
    w->typeList()->setCurrentRow(1); // Laptop
    t.dialogs.type(QString());       // cancelled: nothing saved
    click(w, "Command4");
    t.dialogs.type("Bob's PC");
    click(w, "Command4");
    QCOMPARE(t.dialogs.prompts, QStringList(2, "Enter Template Name"));
    QCOMPARE(t.dialogs.promptTitles, QStringList(2, "Kavrel Template save"));
    QCOMPARE(count(*t.db, "EquipmentTemplate"), 1);
    QCOMPARE(count(*t.db, "EquipmentTemplate", "TemplateName = 'Bobs PC' AND Manufacturer = ?", {"Manufacturer's"}), 1);
    // Listed and said at once; the cancelled prompt said nothing.
    QCOMPARE(w->templateList()->count(), 1);
    QCOMPARE(w->templateList()->currentItem()->text(), QStringLiteral("Bobs PC"));
    QCOMPARE(t.windows.statuses, QStringList{"Template \"Bobs PC\" saved."});

    auto* second = openEntry(t);
    QCOMPARE(second->templateList()->item(0)->text(), QStringLiteral("Bobs PC"));
    QListWidget* templates = second->templateList();
    // A double click as the mouse makes it: the view only reports one that follows a press on the same item.
    const QPoint at = templates->visualItemRect(templates->item(0)).center();
    QTest::mouseClick(templates->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(templates->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(second->typeList()->currentItem()->text(), QStringLiteral("Laptop"));
    for (const char* name : {"txtManufacturer", "txtModelNumber", "txtCpuSpeed", "txtMemory", "txtHardDriveCapacity",
                             "txtMonitor", "txtMouse", "txtKeyboard", "txtOperatingSystem"})
        QCOMPARE(text(second, name), text(w, name));
}

void tst_EntryWindow::templateLoadEmptiesNullColumnsOnly() {
    TestContext t;
    Inventory inv(*t.db);
    Query(*t.db, "INSERT INTO EquipmentTemplate (TemplateName, Description, Manufacturer, ModelNumber, CPU) "
                 "VALUES ('Sparse', 'Laptop', 'Dell''s', NULL, '3GHz')")
        .exec();
    auto* w = openEntry(t);
    fillEntryFields(w);
    w->locationList()->setCurrentRow(1);
    const QStringList kept = {"txtSerialNumber", "txtAssetTagNumber", "txtDatePurchased", "txtPurchasePrice"};
    QStringList before;
    for (const QString& name : kept)
        before << text(w, name);
    w->templateList()->setCurrentRow(0);
    emit w->templateList()->itemDoubleClicked(w->templateList()->item(0));
    QCOMPARE(w->typeList()->currentItem()->text(), QStringLiteral("Laptop"));
    QCOMPARE(text(w, "txtManufacturer"), QStringLiteral("Dell's"));
    QCOMPARE(text(w, "txtCpuSpeed"), QStringLiteral("3GHz"));
    for (const char* name : {"txtModelNumber", "txtMemory", "txtHardDriveCapacity", "txtMonitor", "txtMouse",
                             "txtKeyboard", "txtOperatingSystem"})
        QCOMPARE(text(w, name), QString());
    for (int i = 0; i < kept.size(); ++i)
        QCOMPARE(text(w, kept[i]), before[i]);
    QCOMPARE(w->locationList()->currentItem()->text(), QStringLiteral("Depot"));
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_EntryWindow::holdingRowSummary() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    setText(w, "txtSerialNumber", "S&nbsp;1");
    setText(w, "txtManufacturer", "Dell's");
    setText(w, "txtDatePurchased", DateText::toShort(QDate(2024, 2, 29)));
    click(w, "Command1");
    // A row with Null columns, as another program might leave it.
    Query(*t.db, "INSERT INTO HoldEquipment (EquipmentType, SerialNumber, CurrentLocation) VALUES ('Tab&nbsp;let', "
                 "'S2', ?)")
        .exec({inv.depot});
    click(w, "Command10");
    QCOMPARE(w->holdingList()->rowCount(), 2);

    w->holdingList()->setCurrentRow(0);
    emit w->holdingList()->rowDoubleClicked(0);
    w->holdingList()->setCurrentRow(1);
    emit w->holdingList()->rowDoubleClicked(1);
    QCOMPARE(t.dialogs.texts(),
             (QStringList{"Description: Desktop\nManufacturer: Dell's\nDate Purchased: " +
                              DateText::toShort(QDate(2024, 2, 29)) +
                              "\nPurchase Price: \nSerial Number: S1\nModel Number: \nCpu Speed: \nMemory: \n"
                              "HardDriveCapacity: \nMonitor: \nMouse: \nKeyboard: \nOperating System: \n"
                              "Location Name: Annex\nAsset Tag Number: \n",
                          "Description: Tablet\nSerial Number: S2\n"}));
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::None);
    QCOMPARE(t.dialogs.messages[0].buttons, Dialogs::Buttons::Ok);
    QCOMPARE(t.dialogs.messages[0].title, QStringLiteral("Kavrel"));

    // A row deleted behind the window's back shows nothing.
    Query(*t.db, "DELETE FROM HoldEquipment").exec();
    emit w->holdingList()->rowDoubleClicked(1);
    QCOMPARE(t.dialogs.messages.size(), 2);
}

void tst_EntryWindow::deleteSelected() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    click(w, "Command14"); // empty list: nothing asked
    QVERIFY(t.dialogs.messages.isEmpty());

    for (const char* serial : {"S1", "S2", "S3", "S4"})
        hold(*t.db, serial, inv.depot);
    click(w, "Command10");
    const QString question =
        "You are about to delete the selected items in the holding table (2 row(s))\nDo you want to proceed";
    click(w, "Command14"); // nothing selected: told so, nothing asked or deleted
    QCOMPARE(t.dialogs.texts(), QStringList{"Select the holding table rows to delete"});
    QCOMPARE(count(*t.db, "HoldEquipment"), 4);
    t.dialogs.reset();
    w->holdingList()->setRowSelected(0, true);
    w->holdingList()->setRowSelected(2, true);
    t.dialogs.answer(Dialogs::Answer::No);
    click(w, "Command14");
    QCOMPARE(count(*t.db, "HoldEquipment"), 4);
    t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "Command14");
    QCOMPARE(t.dialogs.texts(), QStringList(2, question));
    QCOMPARE(t.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoDefaultNo);
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::None);
    QCOMPARE(holding(*t.db, "SerialNumber"), (QStringList{"S2", "S4"}));
    QCOMPARE(column(w->holdingList(), 2), (QStringList{"S2", "S4"}));
}

void tst_EntryWindow::clearHoldingTableAsksEvenWhenEmpty() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    t.dialogs.answer(Dialogs::Answer::No);
    click(w, "Command9");
    QCOMPARE(t.dialogs.texts(), QStringList{"You are about to clear the holding table\nDo you want to proceed"});
    QCOMPARE(t.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoDefaultNo);

    hold(*t.db, "S1", inv.depot);
    hold(*t.db, "S2", inv.depot);
    click(w, "Command10");
    t.dialogs.answer(Dialogs::Answer::No);
    click(w, "Command9");
    QCOMPARE(count(*t.db, "HoldEquipment"), 2);
    QCOMPARE(w->holdingList()->rowCount(), 2);
    t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "Command9");
    QCOMPARE(count(*t.db, "HoldEquipment"), 0);
    QCOMPARE(w->holdingList()->rowCount(), 0);
    QCOMPARE(count(*t.db, "EquipmentInfo"), 0);
}

void tst_EntryWindow::commitCountMessages_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("empty") << 0 << QStringList{"The holding table currently contains no records", complete(0, 0)};
    QTest::newRow("one row") << 1 << QStringList{complete(1, 0)};
    QTest::newRow("three rows") << 3
                                << QStringList{"This action will test and commit 3 record into inventory.\n"
                                               "This action might take a sometime.",
                                               complete(3, 0)};
}

void tst_EntryWindow::commitCountMessages() {
    QFETCH(int, rows);
    QFETCH(QStringList, messages);
    TestContext t;
    Inventory inv(*t.db);
    for (int i = 0; i < rows; ++i)
        hold(*t.db, QStringLiteral("S%1").arg(i), inv.depot);
    auto* w = openEntry(t);
    click(w, "Command6");
    QCOMPARE(t.dialogs.texts(), messages);
    for (const auto& m : t.dialogs.messages) {
        QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(m.icon, Dialogs::Icon::None);
        QCOMPARE(m.title, QStringLiteral("Kavrel"));
    }
    QCOMPARE(count(*t.db, "EquipmentInfo", "EquActive = 1 AND CurrentLocation = ?", {inv.depot}), rows);
    QCOMPARE(count(*t.db, "HoldEquipment"), 0);
    QCOMPARE(count(*t.db, "EquipLocAssign"), 0);
    QCOMPARE(w->holdingList()->rowCount(), 0);
}

void tst_EntryWindow::commitParksKnownSerialsAndListsThem() {
    TestContext t;
    Inventory inv(*t.db);
    addEquipment(*t.db, inv.annex, "OLD");
    auto* w = openEntry(t);
    for (const char* serial : {"NEW", "OLD", "NEW", "Dell's"}) {
        setText(w, "txtSerialNumber", serial);
        click(w, "Command1");
    }
    QCOMPARE(w->duplicateList()->rowCount(), 0);
    click(w, "Command6");
    QCOMPARE(t.dialogs.messages.last().text, complete(2, 2));
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'NEW'"), 1);
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'OLD'"), 1);
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = ?", {"Dell's"}), 1);
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), 2);
    QCOMPARE(w->holdingList()->rowCount(), 0);
    QCOMPARE(column(w->duplicateList(), 2), (QStringList{"OLD", "NEW"}));
    QCOMPARE(column(w->duplicateList(), 4), (QStringList{"Annex", "Annex"}));
}

void tst_EntryWindow::commitSaysWhyUnitsStayBehind() {
    TestContext t;
    Inventory inv(*t.db);
    hold(*t.db, "A1", inv.depot);
    hold(*t.db, "B1", inv.annex);
    hold(*t.db, "B2", inv.annex);
    Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({inv.annex});
    auto* w = openEntry(t);
    click(w, "Command6");
    QCOMPARE(t.dialogs.texts().mid(1),
             (QStringList{"2 record(s) were left in the holding table because their location is no longer active.\n"
                          "Select them, delete them and enter them again for an active location.",
                          complete(1, 0)}));
    QCOMPARE(count(*t.db, "EquipmentInfo", "CurrentLocation = ?", {inv.annex}), 0);
    QCOMPARE(column(w->holdingList(), 2), (QStringList{"B1", "B2"}));
}

void tst_EntryWindow::commitWarnsOfRowsWithoutAType() {
    TestContext t;
    Inventory inv(*t.db);
    hold(*t.db, "TYPED", inv.depot);
    Query untyped(*t.db, "INSERT INTO HoldEquipment (SerialNumber, EquipmentType, CurrentLocation) VALUES (?, ?, ?)");
    untyped.exec({"NULL", QVariant(), inv.depot});
    untyped.exec({"EMPTY", "", inv.depot});
    untyped.exec({"NBSP", " &nbsp;", inv.depot});
    untyped.exec({"AWAY", "", inv.annex}); // stays behind: its location is retired
    Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({inv.annex});
    auto* w = openEntry(t);

    t.dialogs.answer(Dialogs::Answer::No);
    click(w, "Command6");
    QCOMPARE(t.dialogs.texts(),
             QStringList{"3 record(s) in the holding table have no equipment type: they would enter the inventory as "
                         "units with no description.\nEnter them in the inventory all the same?"});
    QCOMPARE(t.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoDefaultNo);
    QCOMPARE(count(*t.db, "EquipmentInfo"), 0);
    QCOMPARE(count(*t.db, "HoldEquipment"), 5);

    t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "Command6");
    QCOMPARE(count(*t.db, "EquipmentInfo"), 4);
    QCOMPARE(t.dialogs.messages.last().text, complete(4, 0));
}

void tst_EntryWindow::commitFailurePartWayMovesNothing() {
    TestContext t;
    Inventory inv(*t.db);
    addEquipment(*t.db, inv.depot, "S1");
    for (const char* serial : {"S1", "S2", "S3"})
        hold(*t.db, serial, inv.depot);
    // The third row fails after one row was parked and one committed.
    EngineFixtures::refuseWrites(*t.db, "EquipmentInfo", "INSERT", "disk is full", "NEW.SerialNumber = 'S3'");
    auto* w = openEntry(t);
    click(w, "Command6");
    QCOMPARE(t.dialogs.messages.size(), 2);
    QVERIFY(t.dialogs.messages[0].text.startsWith("This action will test and commit 3 record"));
    QVERIFY2(t.dialogs.messages[1].text.contains("disk is full"), qPrintable(t.dialogs.messages[1].text));
    QCOMPARE(t.dialogs.messages[1].icon, Dialogs::Icon::Critical);
    QCOMPARE(count(*t.db, "EquipmentInfo"), 1);
    QCOMPARE(count(*t.db, "TempEquipmentInfo"), 0);
    QCOMPARE(count(*t.db, "HoldEquipment"), 3);
    QCOMPARE(column(w->holdingList(), 2), (QStringList{"S1", "S2", "S3"}));
    QCOMPARE(w->duplicateList()->rowCount(), 0);
}

void tst_EntryWindow::addAndRefreshButtons() {
    TestContext t;
    Inventory inv(*t.db);
    auto* w = openEntry(t);
    click(w, "Command7");
    QVERIFY(t.windows.last<frmCreateEquipmentTypes>());
    click(w, "Command8");
    QVERIFY(t.windows.last<frmCreateLocation>());

    // Changes made elsewhere show only after the matching refresh.
    Query(*t.db, "INSERT INTO EquipmentType (EquipmentType) VALUES ('Anvil')").exec();
    addLocation(*t.db, "AAA First");
    hold(*t.db, "H1", inv.depot);
    Query(*t.db, "INSERT INTO TempEquipmentInfo (SerialNumber, CurrentLocation) VALUES ('D1', ?)").exec({inv.depot});
    QCOMPARE(w->typeList()->count(), 2);
    QCOMPARE(w->locationList()->count(), 2);
    QCOMPARE(w->holdingList()->rowCount(), 0);
    QCOMPARE(w->duplicateList()->rowCount(), 0);
    w->typeList()->setCurrentRow(1);
    w->locationList()->setCurrentRow(1);
    click(w, "Command12");
    QCOMPARE(w->typeList()->count(), 3);
    QCOMPARE(w->typeList()->selectedItems().value(0)->text(), QStringLiteral("Anvil"));
    click(w, "Command13");
    QCOMPARE(w->locationList()->count(), 3);
    QCOMPARE(w->locationList()->selectedItems().value(0)->text(), QStringLiteral("AAA First"));
    click(w, "Command10");
    QCOMPARE(w->holdingList()->rowCount(), 1);
    click(w, "Command11");
    QCOMPARE(column(w->duplicateList(), 2), QStringList{"D1"});
    QVERIFY(t.dialogs.messages.isEmpty());

    QPointer<frmCreateEquipment> closing(w);
    click(w, "Command3"); // Cancel: closes, the holding row stays
    QVERIFY(!closing || !closing->isVisible());
    QCOMPARE(count(*t.db, "HoldEquipment"), 1);
}

void tst_EntryWindow::printing_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("printerFails");
    QTest::newRow("holding") << "Command15"
                             << "Holding Table Contents" << false;
    QTest::newRow("duplicates") << "Command16"
                                << "Duplicate Table Contents" << false;
    QTest::newRow("holding, printer offline") << "Command15"
                                              << "Holding Table Contents" << true;
}

void tst_EntryWindow::printing() {
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(bool, printerFails);
    TestContext t;
    Inventory inv(*t.db);
    hold(*t.db, "H1", inv.depot);
    Query(*t.db, "INSERT INTO TempEquipmentInfo (SerialNumber, CurrentLocation) VALUES ('D1', ?)").exec({inv.depot});
    auto* w = openEntry(t);
    if (printerFails)
        t.printLog.failOnTextNumber = 1; // the page header's date
    click(w, qPrintable(button));
    if (printerFails) {
        QCOMPARE(t.dialogs.texts(), QStringList{"Printing error. Please make sure your computer can access the "
                                                "selected printer and the printer is online"});
        QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::None);
        return;
    }
    QVERIFY(t.dialogs.messages.isEmpty());
    QVERIFY(t.printLog.findText(title));
    QVERIFY(t.printLog.findText(button == "Command15" ? "H1" : "D1"));
    QVERIFY(!t.printLog.findText(button == "Command15" ? "D1" : "H1"));
    QVERIFY(t.printLog.ended());
}

void tst_EntryWindow::duplicatesSettledTogetherFromTheSelection() {
    TestContext t;
    Inventory inv(*t.db);
    const qint64 old = addEquipment(*t.db, inv.annex, "OLD");
    addEquipment(*t.db, inv.annex, "TWO");
    addEquipment(*t.db, inv.annex, "TWO");
    UnitFixtures::park(*t.db, "OLD", inv.depot, "Dell");
    UnitFixtures::park(*t.db, "TWO", inv.depot);
    UnitFixtures::park(*t.db, "KEEP", inv.depot);
    auto* w = openEntry(t);
    ReportList* list = w->duplicateList();
    QCOMPARE(column(list, 2), (QStringList{"OLD", "TWO", "KEEP"}));
    const QStringList before = UnitFixtures::inventoryRows(*t.db);

    click(w, "cmdReplaceDuplicates");
    QCOMPARE(t.dialogs.texts(), QStringList{"Select the duplicate(s) to settle"});
    list->setRowSelected(0, true);
    list->setRowSelected(1, true);
    t.dialogs.reset();
    t.dialogs.answer(Dialogs::Answer::No);
    click(w, "cmdReplaceDuplicates");
    QCOMPARE(t.dialogs.texts(), QStringList{"You are about to replace the existing units with 2 proposed record(s)\n"
                                            "Do you want to proceed"});
    QCOMPARE(UnitFixtures::inventoryRows(*t.db), before);

    t.dialogs.reset();
    t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "cmdReplaceDuplicates");
    QCOMPARE(t.dialogs.messages.last().text, QStringLiteral("1 duplicate(s) settled.\n1 skipped, to be settled one "
                                                            "at a time:\n1 whose serial number more than one unit "
                                                            "holds"));
    QCOMPARE(count(*t.db, "EquipmentInfo", "EquipmentId = ?", {old}), 0);
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'OLD' AND Manufacturer = 'Dell' AND CurrentLocation = ?",
                   {inv.depot}),
             1);
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'TWO'"), 2);
    QCOMPARE(column(list, 2), (QStringList{"TWO", "KEEP"}));

    list->setRowSelected(1, true);
    t.dialogs.reset();
    t.dialogs.answer(Dialogs::Answer::Yes);
    const int units = count(*t.db, "EquipmentInfo");
    // This time from the list's own menu, as a right click or the menu key offers it.
    auto* discardEntry = list->findChild<QAction*>(QStringLiteral("cmdDiscardDuplicatesEntry"));
    QVERIFY(discardEntry);
    QCOMPARE(discardEntry->text(), QStringLiteral("Discard Proposed (Keep Existing)"));
    discardEntry->trigger();
    QCOMPARE(t.dialogs.texts(), (QStringList{"You are about to discard 1 proposed record(s) and keep the existing "
                                             "units\nDo you want to proceed",
                                             "1 duplicate(s) settled."}));
    QCOMPARE(column(list, 2), QStringList{"TWO"});
    QCOMPARE(count(*t.db, "EquipmentInfo"), units);
    QVERIFY(t.dialogs.allAnswersUsed());
}

QTEST_MAIN(tst_EntryWindow)
#include "tst_entrywindow.moc"
