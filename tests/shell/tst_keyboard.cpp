#include "assignment/ui/FrmBatchAssign.h"
#include "equipment/ui/FrmDuplicate.h"
#include "equipment/ui/FrmSearchEquipmentScanner.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "equipment/ui/frmCreateEquipmentTypes.h"
#include "equipment/ui/frmEditEquipment.h"
#include "equipment/ui/frmSearchEquipment.h"
#include "import/ui/ImportEquipmentWindow.h"
#include "labels/ui/PrintLabelsWindow.h"
#include "locations/ui/DisplayInformation.h"
#include "locations/ui/FrmReassignLocation.h"
#include "locations/ui/frmActiveLocations.h"
#include "locations/ui/frmCreateLocation.h"
#include "platform/Dialogs.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "records/ui/FrmAddionalFieldCaptions.h"
#include "records/ui/NoteEditor.h"
#include "shell/FrmAbout.h"
#include "stocktake/ui/StocktakeWindow.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "users/ui/frmNewUser.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace Fixtures;

namespace {

// Location 1 "Alpha" holding unit 5 "S5", whose serial number is also parked as a duplicate.
constexpr qint64 kAlpha = 1;
constexpr qint64 kUnit = 5;

void addPlaces(Database& db) {
    UnitFixtures::addLocationWithId(db, kAlpha, QStringLiteral("Alpha"));
    UnitFixtures::addLocationWithId(db, 2, QStringLiteral("Bravo"));
    UnitFixtures::addUnitWithId(db, kUnit, kAlpha, QStringLiteral("S5"));
    UnitFixtures::park(db, QStringLiteral("S5"), kAlpha);
}

// Opens a window as its menu entry or button does, on the fixture above.
struct Opener {
    std::function<QWidget*(TestContext&)> open;
};

template <typename W> Opener opens(std::function<void(W&)> setup = [](W&) {}) {
    return Opener{[setup](TestContext& t) -> QWidget* { return openWindow<W>(t.ctx, nullptr, setup); }};
}

Opener unitDetail(int tab = 0) {
    return opens<frmEditEquipment>([tab](frmEditEquipment& w) {
        w.Idnum = QString::number(kUnit);
        w.ssn = QStringLiteral("S5");
        w.findChild<QTabWidget*>()->setCurrentIndex(tab);
    });
}

// Opens the window, active, with the focus where it starts.
QWidget* openActive(TestContext& t, const Opener& opener) {
    addPlaces(*t.db);
    QWidget* w = opener.open(t);
    if (!w)
        return nullptr;
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        return nullptr;
    return w;
}

QWidget* focused(QWidget* window) {
    QWidget* f = QApplication::focusWidget();
    return f && window->isAncestorOf(f) ? f : window;
}

QString shownMessages(TestContext& t) {
    QStringList texts;
    for (const auto& m : t.dialogs.messages)
        texts << m.text;
    return texts.join(QLatin1Char('/'));
}

} // namespace

Q_DECLARE_METATYPE(Opener)

class tst_Keyboard : public QObject {
    Q_OBJECT
private slots:
    void aboutClosesOnEnterAndEscape_data();
    void aboutClosesOnEnterAndEscape();
    void equipmentTypeAddedWithEnter();
    void newUserCancelledWithEscape();
    void submitReturnsFocusToFirstClearedBox_data();
    void submitReturnsFocusToFirstClearedBox();
    void enterOnAQuestionTakesItsDefault_data();
    void enterOnAQuestionTakesItsDefault();
    void escapeClosesWindowsWithCancelOrClose_data();
    void escapeClosesWindowsWithCancelOrClose();
    void escapePressesTheCancelButton();
    void escapeInAnOpenListStaysThere();
    void enterInASearchBoxSearches_data();
    void enterInASearchBoxSearches();
    void enterOnAFocusedButtonPressesIt_data();
    void enterOnAFocusedButtonPressesIt();
    void tabFollowsTheReadingOrder_data();
    void tabFollowsTheReadingOrder();
};

void tst_Keyboard::aboutClosesOnEnterAndEscape_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void tst_Keyboard::aboutClosesOnEnterAndEscape() {
    QFETCH(int, key);
    TestContext t;
    QPointer<FrmAbout> about = openWindow<FrmAbout>(t.ctx, nullptr);
    QVERIFY(about);
    about->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about));
    QTest::keyClick(about->findChild<QPushButton*>("cmdOK"), Qt::Key(key));
    QTRY_VERIFY(!about);
    QVERIFY(t.shell.started.isEmpty());
}

void tst_Keyboard::equipmentTypeAddedWithEnter() {
    TestContext t;
    auto* w = openWindow<frmCreateEquipmentTypes>(t.ctx, nullptr);
    auto* box = w->findChild<QLineEdit*>("TxtEquipmentType");
    QTest::keyClicks(box, "Laptop");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(count(*t.db, "EquipmentType", "EquipmentType = 'Laptop'"), 1);
    QVERIFY(box->text().isEmpty());
}

void tst_Keyboard::newUserCancelledWithEscape() {
    TestContext t;
    auto* w = openWindow<frmNewUser>(t.ctx, nullptr);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->findChild<QLineEdit*>("txtFirstName"), Qt::Key_Escape);
    QCOMPARE(t.endApplicationCalls, 1);
}

void tst_Keyboard::submitReturnsFocusToFirstClearedBox_data() {
    QTest::addColumn<bool>("clearAll");
    QTest::addColumn<QString>("focused");
    QTest::newRow("serial and tag cleared") << false << "txtSerialNumber";
    QTest::newRow("every box cleared") << true << "txtManufacturer";
}

void tst_Keyboard::submitReturnsFocusToFirstClearedBox() {
    QFETCH(bool, clearAll);
    QFETCH(QString, focused);
    TestContext t;
    addLocation(*t.db, "Depot");
    auto* w = openWindow<frmCreateEquipment>(t.ctx, nullptr);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->findChild<QCheckBox*>("chkSubmit")->setChecked(clearAll);
    w->findChild<QLineEdit*>("txtSerialNumber")->setText("S1");
    auto* submit = w->findChild<QPushButton*>("Command1");
    submit->setFocus();
    QTest::mouseClick(submit, Qt::LeftButton);
    QCOMPARE(count(*t.db, "HoldEquipment"), 1);
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
}

void tst_Keyboard::enterOnAQuestionTakesItsDefault_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("answer");
    QTest::newRow("ordinary question") << int(Dialogs::Buttons::YesNo) << int(Dialogs::Answer::Yes);
    QTest::newRow("question that destroys data") << int(Dialogs::Buttons::YesNoDefaultNo) << int(Dialogs::Answer::No);
}

void tst_Keyboard::enterOnAQuestionTakesItsDefault() {
    QFETCH(int, buttons);
    QFETCH(int, answer);
    DesktopDialogs desktop;
    Dialogs& dialogs = desktop;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_Return);
    });
    QCOMPARE(int(dialogs.message(nullptr, "Delete?", Dialogs::Buttons(buttons))), answer);
}

void tst_Keyboard::escapeClosesWindowsWithCancelOrClose_data() {
    QTest::addColumn<Opener>("opener");
    QTest::addColumn<bool>("closes");
    QTest::newRow("create location") << opens<frmCreateLocation>() << true;
    QTest::newRow("batch assign") << opens<FrmBatchAssign>() << true;
    QTest::newRow("equipment detail") << unitDetail() << true;
    QTest::newRow("equipment detail, Notes tab: its Cancel out of sight") << unitDetail(2) << true;
    QTest::newRow("location detail") << opens<DisplayInformation>([](DisplayInformation& w) {
        w.LocId = QString::number(kAlpha);
    }) << true;
    QTest::newRow("caption editor") << opens<FrmAddionalFieldCaptions>() << true;
    QTest::newRow("note editor") << opens<NoteEditor>([](NoteEditor& w) {
        w.OwnerId = kAlpha;
        w.OwnerName = QStringLiteral("Alpha");
    }) << true;
    QTest::newRow("reassign") << opens<FrmReassignLocation>([](FrmReassignLocation& w) {
        w.Tag = kAlpha;
        w.LocationName = QStringLiteral("Alpha");
    }) << true;
    QTest::newRow("print labels") << opens<PrintLabelsWindow>([](PrintLabelsWindow& w) { w.unitIds = {kUnit}; })
                                  << true;
    QTest::newRow("import") << opens<ImportEquipmentWindow>() << true;
    QTest::newRow("stocktake") << opens<StocktakeWindow>([](StocktakeWindow& w) { w.LocId = kAlpha; }) << true;
    QTest::newRow("equipment entry") << opens<frmCreateEquipment>() << true;
    QTest::newRow("duplicate") << opens<FrmDuplicate>([](FrmDuplicate& w) { w.Idnum = QStringLiteral("S5"); }) << true;
    QTest::newRow("about") << opens<FrmAbout>() << true;
    // Windows without Cancel or Close keep Esc for their lists.
    QTest::newRow("active locations") << opens<frmActiveLocations>() << false;
    QTest::newRow("search") << opens<frmSearchEquipment>() << false;
}

void tst_Keyboard::escapeClosesWindowsWithCancelOrClose() {
    QFETCH(Opener, opener);
    QFETCH(bool, closes);
    TestContext t;
    QPointer<QWidget> w = openActive(t, opener);
    QVERIFY(w);
    QTest::keyClick(focused(w), Qt::Key_Escape);
    if (closes)
        QTRY_VERIFY(!w);
    else {
        QCoreApplication::processEvents();
        QVERIFY(w && w->isVisible());
    }
    QCOMPARE(shownMessages(t), QString());
}

// Esc is the Cancel button: the list that opened Create Location is brought up to date, typing or not.
void tst_Keyboard::escapePressesTheCancelButton() {
    TestContext t;
    auto* list = openWindow<frmActiveLocations>(t.ctx, nullptr);
    QPointer<frmCreateLocation> w = static_cast<frmCreateLocation*>(
        openActive(t, opens<frmCreateLocation>([list](frmCreateLocation& c) { c.RefreshF = list; })));
    QVERIFY(w);
    QCOMPARE(list->list()->rowCount(), 0);
    QTest::keyClicks(w->findChild<QLineEdit*>("txtName"), "Delta");
    QTest::keyClick(w->findChild<QLineEdit*>("txtName"), Qt::Key_Escape);
    QTRY_VERIFY(!w);
    QCOMPARE(list->list()->rowCount(), 2);
    QCOMPARE(count(*t.db, "LocationInfo", "LocName = 'Delta'"), 0);
}

// An open list of a box takes Esc for itself; the next Esc reaches the window.
void tst_Keyboard::escapeInAnOpenListStaysThere() {
    TestContext t;
    QPointer<QWidget> w = openActive(t, opens<StocktakeWindow>([](StocktakeWindow& s) { s.LocId = kAlpha; }));
    QVERIFY(w);
    auto* box = w->findChild<QComboBox*>("cboLocation");
    QVERIFY(box);
    box->setFocus();
    box->showPopup();
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(w);
    QTest::keyClick(focused(w), Qt::Key_Escape);
    QTRY_VERIFY(!w);
}

void tst_Keyboard::enterInASearchBoxSearches_data() {
    QTest::addColumn<Opener>("opener");
    QTest::addColumn<int>("key");
    QTest::newRow("search, Return") << opens<frmSearchEquipment>() << int(Qt::Key_Return);
    QTest::newRow("search, keypad Enter") << opens<frmSearchEquipment>() << int(Qt::Key_Enter);
    QTest::newRow("scanner search") << opens<FrmSearchEquipmentScanner>() << int(Qt::Key_Return);
}

void tst_Keyboard::enterInASearchBoxSearches() {
    QFETCH(Opener, opener);
    QFETCH(int, key);
    TestContext t;
    t.dialogs.type(QString()); // the scanner window asks for a scan as it opens
    QWidget* w = openActive(t, opener);
    QVERIFY(w);
    auto* box = w->findChild<QLineEdit*>("txtSearchSerialNumber");
    box->setFocus();
    box->setText(QStringLiteral("S5"));
    QTest::keyClick(box, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(w->findChild<ReportList*>("lstEquipmentList")->rowCount(), 1);
}

void tst_Keyboard::enterOnAFocusedButtonPressesIt_data() {
    QTest::addColumn<Opener>("opener");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("create location: Clear, Return")
        << opens<frmCreateLocation>() << "Command2" << int(Qt::Key_Return) << "open, name ''";
    QTest::newRow("create location: Submit, keypad Enter")
        << opens<frmCreateLocation>() << "Command1" << int(Qt::Key_Enter) << "open, name '', Delta stored";
    QTest::newRow("create location: Cancel, Return")
        << opens<frmCreateLocation>() << "Command3" << int(Qt::Key_Return) << "closed";
    // Not the window's default button: the one with the focus.
    QTest::newRow("about: System Info") << opens<FrmAbout>() << "cmdSysInfo" << int(Qt::Key_Return)
                                        << "open | System Information Is Unavailable At This Time";
}

void tst_Keyboard::enterOnAFocusedButtonPressesIt() {
    QFETCH(Opener, opener);
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QString, expected);
    TestContext t;
    QPointer<QWidget> w = openActive(t, opener);
    QVERIFY(w);
    if (auto* name = w->findChild<QLineEdit*>("txtName"))
        name->setText(QStringLiteral("Delta"));
    auto* b = w->findChild<QPushButton*>(button);
    b->setFocus();
    QTest::keyClick(b, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCoreApplication::processEvents();
    QString outcome = w ? QStringLiteral("open") : QStringLiteral("closed");
    if (w && w->findChild<QLineEdit*>("txtName"))
        outcome += QStringLiteral(", name '%1'").arg(w->findChild<QLineEdit*>("txtName")->text());
    if (count(*t.db, "LocationInfo", "LocName = 'Delta'") > 0)
        outcome += QStringLiteral(", Delta stored");
    if (!t.dialogs.messages.isEmpty())
        outcome += QStringLiteral(" | ") + shownMessages(t);
    QCOMPARE(outcome, expected);
}

void tst_Keyboard::tabFollowsTheReadingOrder_data() {
    QTest::addColumn<Opener>("opener");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("search") << opens<frmSearchEquipment>()
                            << QStringList{"txtSearchSerialNumber", "Option1_0", "Command1", "lstEquipmentList"};
    QTest::newRow("equipment detail: the boxes top to bottom")
        << unitDetail() << QStringList{"List1",           "txtManufacturer", "txtDatePurchased", "txtPurchasePrice",
                                       "txtSerialNumber", "txtModelNumber",  "txtAssetTagNumber"};
    QTest::newRow("equipment entry: the pickers and fields, then the tables") << opens<frmCreateEquipment>()
                                                                              << QStringList{"List1",
                                                                                             "Command7",
                                                                                             "Command12",
                                                                                             "txtManufacturer",
                                                                                             "txtModelNumber",
                                                                                             "txtSerialNumber",
                                                                                             "txtAssetTagNumber",
                                                                                             "txtDatePurchased",
                                                                                             "txtPurchasePrice",
                                                                                             "txtCpuSpeed",
                                                                                             "txtMemory",
                                                                                             "txtHardDriveCapacity",
                                                                                             "txtMonitor",
                                                                                             "txtMouse",
                                                                                             "txtKeyboard",
                                                                                             "txtOperatingSystem",
                                                                                             "List2",
                                                                                             "Command8",
                                                                                             "Command13",
                                                                                             "List3",
                                                                                             "chkSubmit",
                                                                                             "Check1",
                                                                                             "Command1",
                                                                                             "Command5",
                                                                                             "Command2",
                                                                                             "Command4",
                                                                                             "Command3",
                                                                                             "ListView1",
                                                                                             "Command6"};
    // No file chosen yet: the location for every row is not asked.
    QTest::newRow("import: Choose File first")
        << opens<ImportEquipmentWindow>()
        << QStringList{"cmdChooseFile", "tblPreview", "lstNewTypes", "cmdImport", "cmdCancel"};
    QTest::newRow("new user: each generate button after its box")
        << opens<frmNewUser>() << QStringList{"txtEMailAddress", "txtUserName", "CmdUserName",
                                              "txtPassword",     "CmdPassword", "txtPasswordRetypes"};
}

void tst_Keyboard::tabFollowsTheReadingOrder() {
    QFETCH(Opener, opener);
    QFETCH(QStringList, order);
    TestContext t;
    t.dialogs.type(QString());
    QWidget* w = openActive(t, opener);
    QVERIFY(w);
    w->findChild<QWidget*>(order.first())->setFocus();
    QStringList visited{focused(w)->objectName()};
    for (int i = 1; i < order.size(); ++i) {
        QTest::keyClick(focused(w), Qt::Key_Tab);
        visited << focused(w)->objectName();
    }
    QCOMPARE(visited, order);
}

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
