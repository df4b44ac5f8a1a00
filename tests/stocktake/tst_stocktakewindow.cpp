#include "data/Database.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "stocktake/ui/StocktakeWindow.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>

using namespace UnitFixtures;

namespace {
constexpr qint64 kHere = 80001;
constexpr qint64 kStore = 80002;

void seed(Database& db) {
    addLocationWithId(db, kStore, QStringLiteral("Store Room"));
    addLocationWithId(db, kHere, QStringLiteral("Room 101"));
    for (int i = 1; i <= 5; ++i)
        addUnitWithId(db, 90000 + i, kHere, QStringLiteral("SN-%1").arg(i));
    addUnitWithId(db, 90009, kStore, QStringLiteral("SN-9"), QStringLiteral("Printer"));
    for (const char* type : {"Laptop", "Printer"})
        EquipmentTypeStore(db).add(QLatin1String(type));
}

template <typename W> W* control(StocktakeWindow* w, const char* name) {
    return w->findChild<W*>(QLatin1String(name));
}

StocktakeWindow* openStocktake(TestContext& t, qint64 locId = 0) {
    return openWindow<StocktakeWindow>(t.ctx, nullptr, [locId](StocktakeWindow& w) { w.LocId = locId; });
}

void scan(StocktakeWindow* w, const QString& code) {
    w->scanBox()->setFocus();
    QTest::keyClicks(w->scanBox(), code);
    QTest::keyClick(w->scanBox(), Qt::Key_Return);
}

QString label(StocktakeWindow* w, const char* name) {
    return w->findChild<QLabel*>(QLatin1String(name))->text();
}

QString countsShown(StocktakeWindow* w) {
    QStringList all;
    for (const char* name :
         {"lblHereCount", "lblElsewhereCount", "lblUnknownCount", "lblRepeatCount", "lblMissingCount"})
        all << label(w, name);
    return all.join(QStringLiteral(", "));
}

QStringList missingSerials(StocktakeWindow* w) {
    QStringList serials;
    for (int row = 0; row < w->missingList()->rowCount(); ++row)
        serials << w->missingList()->text(row, 3);
    return serials;
}
} // namespace

class tst_StocktakeWindow : public QObject {
    Q_OBJECT
private slots:
    void eachScanShowsItsClassAtOnce_data();
    void eachScanShowsItsClassAtOnce();
    void keepsCountsAndTheMissingListCurrent();
    void carriesOnAfterTheProgramWasKilled();
    void scannerKeysLandAsAScanWhereverTheFocusIs_data();
    void scannerKeysLandAsAScanWhereverTheFocusIs();
    void aScanAfterTheStocktakeEndedElsewhereSaysSo();
    void finishesWithMovesAndHoldingRows();
    void finishFollowsTheOptionsHoweverSet();
    void discardAsksFirst();
    void printsAndExportsTheMissingList();
};

void tst_StocktakeWindow::eachScanShowsItsClassAtOnce_data() {
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("headline");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QString>("detail");
    QTest::newRow("here") << QStringList{"SN-1"} << "HERE"
                          << "#1b7f3b"
                          << "SN-1: Desktop, serial number SN-1";
    QTest::newRow("elsewhere, named") << QStringList{" sn-9 "} << "ELSEWHERE: registered at Store Room"
                                      << "#f0a000"
                                      << "sn-9: Printer, serial number SN-9";
    QTest::newRow("unknown") << QStringList{"<b>NEW</b>"} << "UNKNOWN"
                             << "#c0172b"
                             << "<b>NEW</b>: <b>NEW</b> is in no inventory table.";
    QTest::newRow("already scanned") << QStringList{"SN-2", "SN-2"} << "ALREADY SCANNED"
                                     << "#2d5fa8"
                                     << "SN-2: Desktop, serial number SN-2";
}

void tst_StocktakeWindow::eachScanShowsItsClassAtOnce() {
    QFETCH(QStringList, codes);
    QFETCH(QString, headline);
    QFETCH(QString, colour);
    QFETCH(QString, detail);
    TestContext t;
    seed(*t.db);
    StocktakeWindow* w = openStocktake(t, kHere);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Stocktake: Room 101"));
    QCOMPARE(w->locationBox()->currentText(), QStringLiteral("Room 101"));
    QCOMPARE(w->focusWidget(), w->scanBox());
    for (const QString& code : codes)
        scan(w, code);
    QCOMPARE(w->resultLabel()->text(), headline);
    QCOMPARE(w->resultLabel()->palette().color(QPalette::Window).name(), colour);
    QCOMPARE(label(w, "lblDetail"), detail);
    QCOMPARE(w->resultLabel()->textFormat(), Qt::PlainText);
    QVERIFY(w->scanBox()->text().isEmpty());
    QCOMPARE(w->scannedList()->rowCount(), codes.size());
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_StocktakeWindow::keepsCountsAndTheMissingListCurrent() {
    TestContext t;
    seed(*t.db);
    StocktakeWindow* w = openStocktake(t, kHere);
    QCOMPARE(countsShown(w), QStringLiteral("Here: 0, Elsewhere: 0, Unknown: 0, Already scanned: 0, Missing: 5"));
    QCOMPARE(label(w, "lblStatus"), QStringLiteral("No stocktake under way here: the first scan begins one."));
    QVERIFY(!w->findChild<QPushButton*>("cmdFinish")->isEnabled());
    // Two clicks on a header sort descending; taking rows out keeps that order.
    for (int click = 0; click < 2; ++click)
        emit w->missingList()->headerClicked(3);
    for (const char* code : {"SN-2", "SN-9", "NEW-1", "SN-2", "  ", "SN-4"})
        scan(w, QLatin1String(code));
    QCOMPARE(countsShown(w), QStringLiteral("Here: 2, Elsewhere: 1, Unknown: 1, Already scanned: 1, Missing: 3"));
    QCOMPARE(missingSerials(w), (QStringList{"SN-5", "SN-3", "SN-1"}));
    QCOMPARE(w->scannedList()->cells(1), (QStringList{"SN-9", "Elsewhere", "Printer", "SN-9", "", "Store Room"}));
    QVERIFY(w->findChild<QPushButton*>("cmdFinish")->isEnabled());
    QVERIFY(label(w, "lblStatus").startsWith(QStringLiteral("Stocktake begun 2026-03-14 09:30:00")));

    // Another location, chosen by keyboard: its own stocktake, none yet; coming back shows this one again.
    QTest::keyClick(w->locationBox(), Qt::Key_Down);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Stocktake: Store Room"));
    QCOMPARE(countsShown(w), QStringLiteral("Here: 0, Elsewhere: 0, Unknown: 0, Already scanned: 0, Missing: 1"));
    QCOMPARE(w->scannedList()->rowCount(), 0);
    w->locationBox()->setCurrentIndex(w->locationBox()->findData(kHere));
    QCOMPARE(countsShown(w), QStringLiteral("Here: 2, Elsewhere: 1, Unknown: 1, Already scanned: 1, Missing: 3"));
    QCOMPARE(w->scannedList()->rowCount(), 5);
}

void tst_StocktakeWindow::carriesOnAfterTheProgramWasKilled() {
    TestContext t;
    if (t.onServer())
        QSKIP("the helper opens the data folder's files");
    seed(*t.db);
    QProcess helper;
    helper.start(QStringLiteral(KAVREL_STOCKTAKE_SCAN),
                 {t.dataDir(), QString::number(kHere), QStringLiteral("SN-1"), QStringLiteral("SN-9"),
                  QStringLiteral("NEW-7"), QStringLiteral("sn-1")});
    QVERIFY(helper.waitForReadyRead(20000));
    QCOMPARE(helper.readLine().trimmed(), QByteArray("scanned"));
    helper.kill();
    QVERIFY(helper.waitForFinished(10000));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);

    // Opened from the menu, without a location: the stocktake left open comes back.
    t.reopen();
    StocktakeWindow* w = openStocktake(t);
    QCOMPARE(w->locationBox()->currentText(), QStringLiteral("Room 101"));
    QCOMPARE(countsShown(w), QStringLiteral("Here: 1, Elsewhere: 1, Unknown: 1, Already scanned: 1, Missing: 4"));
    QCOMPARE(w->scannedList()->rowCount(), 4);
    QCOMPARE(w->scannedList()->cells(3).mid(0, 2), (QStringList{"sn-1", "Already scanned"}));
    const qint64 id = w->stocktakeId();
    QVERIFY(id > 0);
    scan(w, QStringLiteral("NEW-7"));
    QCOMPARE(w->resultLabel()->text(), QStringLiteral("ALREADY SCANNED"));
    scan(w, QStringLiteral("SN-3"));
    QCOMPARE(w->stocktakeId(), id);
    QCOMPARE(countsShown(w), QStringLiteral("Here: 2, Elsewhere: 1, Unknown: 1, Already scanned: 2, Missing: 3"));
}

void tst_StocktakeWindow::finishesWithMovesAndHoldingRows() {
    TestContext t;
    seed(*t.db);
    StocktakeWindow* w = openStocktake(t, kHere);
    for (const char* code : {"SN-1", "SN-9", "NEW-1"})
        scan(w, QLatin1String(code));

    // Unknown codes are not held without the type they get.
    QVERIFY(w->unknownTypeBox()->isEnabled());
    QCOMPARE(w->unknownTypeBox()->currentIndex(), -1);
    click(w, "cmdFinish");
    QCOMPARE(t.dialogs.texts(),
             QStringList{"Choose the equipment type the unknown codes get in the holding table, or clear \"Put the "
                         "unknown codes into the holding table\" to leave them out."});
    QVERIFY(w->stocktakeId() > 0);
    t.dialogs.reset();
    w->unknownTypeBox()->setCurrentIndex(w->unknownTypeBox()->findText(QStringLiteral("Laptop")));

    t.dialogs.answer(Dialogs::Answer::No);
    click(w, "cmdFinish");
    QCOMPARE(t.dialogs.messages.at(0).text, QStringLiteral("Finish the stocktake of Room 101?\n\n"
                                                           "1 unit(s) registered elsewhere will be moved to Room 101.\n"
                                                           "1 unknown code(s) will be put into the holding table as "
                                                           "Laptop.\n"
                                                           "4 unit(s) registered here were not scanned."));
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("EquipmentInfo"), QStringLiteral("CurrentLocation = ?"), {kHere}),
             5);

    t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "cmdFinish");
    QCOMPARE(t.dialogs.messages.last().text,
             QStringLiteral("Stocktake finished.\n1 unit(s) moved to Room 101.\n1 code(s) put into the holding "
                            "table.\nThe missing list stays in this window to print or export."));
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("EquipmentInfo"), QStringLiteral("CurrentLocation = ?"), {kHere}),
             6);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("EquipLocAssign"), QStringLiteral("EquipmentId = 90009")), 1);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("HoldEquipment"),
                             QStringLiteral("SerialNumber = 'NEW-1' AND EquipmentType = 'Laptop'")),
             1);
    QCOMPARE(label(w, "lblStatus"), QStringLiteral("Stocktake ended. The next scan begins a new one."));
    QVERIFY(!w->findChild<QPushButton*>("cmdFinish")->isEnabled());
    QCOMPARE(w->missingList()->rowCount(), 4);

    // The next scan begins afresh: the moved unit is now here, and counts start over.
    scan(w, QStringLiteral("SN-9"));
    QCOMPARE(w->resultLabel()->text(), QStringLiteral("HERE"));
    QCOMPARE(countsShown(w), QStringLiteral("Here: 1, Elsewhere: 0, Unknown: 0, Already scanned: 0, Missing: 5"));
}

void tst_StocktakeWindow::finishFollowsTheOptionsHoweverSet() {
    TestContext t;
    seed(*t.db);
    StocktakeWindow* w = openStocktake(t, kHere);
    for (const char* code : {"SN-9", "NEW-1"})
        scan(w, QLatin1String(code));
    // Cleared by keyboard and by setChecked, as a screen reader does: the type box follows, Finish leaves both out.
    auto* move = control<QCheckBox>(w, "chkMoveElsewhere");
    auto* hold = control<QCheckBox>(w, "chkHoldUnknown");
    move->setFocus();
    QTest::keyClick(move, Qt::Key_Space);
    QVERIFY(!move->isChecked());
    hold->setChecked(false);
    QVERIFY(!w->unknownTypeBox()->isEnabled());
    t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "cmdFinish");
    QCOMPARE(t.dialogs.messages.at(0).text,
             QStringLiteral("Finish the stocktake of Room 101?\n\n5 unit(s) registered here were not scanned."));
    QCOMPARE(w->stocktakeId(), qint64(0));
    QCOMPARE(UnitFixtures::locationOf(*t.db, 90009), kStore);
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("HoldEquipment")), 0);
    hold->setChecked(true);
    QVERIFY(w->unknownTypeBox()->isEnabled());
}

void tst_StocktakeWindow::scannerKeysLandAsAScanWhereverTheFocusIs_data() {
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"txtScan", "cboLocation", "lvwScanned", "lvwMissing", "chkMoveElsewhere", "chkHoldUnknown", "cboUnknownType",
          "cmdPrintMissing", "cmdExportMissing", "cmdFinish", "cmdDiscard", "cmdClose"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_StocktakeWindow::scannerKeysLandAsAScanWhereverTheFocusIs() {
    QFETCH(QString, name);
    TestContext t;
    seed(*t.db);
    StocktakeWindow* w = openStocktake(t, kHere);
    scan(w, QStringLiteral("SN-1"));
    auto* target = w->findChild<QWidget*>(name);
    QVERIFY(target);
    QVERIFY(target->isEnabled());
    target->setFocus();
    // The lists hold rows a type-ahead would jump to; the boxes items it would choose.
    QVERIFY(w->missingList()->rowCount() > 0);
    QTest::keyClicks(target, QStringLiteral("SN-2"));
    QTest::keyClick(target, Qt::Key_Return);

    QCOMPARE(w->resultLabel()->text(), QStringLiteral("HERE"));
    QCOMPARE(countsShown(w), QStringLiteral("Here: 2, Elsewhere: 0, Unknown: 0, Already scanned: 0, Missing: 3"));
    QCOMPARE(w->scannedList()->cells(1).first(), QStringLiteral("SN-2"));
    QCOMPARE(w->focusWidget(), w->scanBox());
    QVERIFY(w->scanBox()->text().isEmpty());
    // Nothing else took the keys.
    QCOMPARE(w->locationBox()->currentData().toLongLong(), kHere);
    QCOMPARE(w->unknownTypeBox()->currentIndex(), -1);
    QVERIFY(control<QCheckBox>(w, "chkMoveElsewhere")->isChecked());
    QVERIFY(control<QCheckBox>(w, "chkHoldUnknown")->isChecked());
    QVERIFY(w->isVisible());
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_StocktakeWindow::aScanAfterTheStocktakeEndedElsewhereSaysSo() {
    TestContext t;
    seed(*t.db);
    StocktakeWindow* w = openStocktake(t, kHere);
    for (const char* code : {"SN-1", "SN-2"})
        scan(w, QLatin1String(code));
    const qint64 shown = w->stocktakeId();
    const std::unique_ptr<Database> other = t.openAnother(QStringLiteral("other-desk"));
    StocktakeStore(*other).discard(shown, QDateTime::currentDateTime());

    scan(w, QStringLiteral("SN-3"));
    QCOMPARE(t.dialogs.texts(),
             QStringList{"The stocktake of Room 101 was finished or discarded meanwhile, in another window or on "
                         "another workstation.\nSN-3 was not recorded. Scan it again to begin a new stocktake; the "
                         "scans shown here stay until then."});
    QCOMPARE(w->resultLabel()->text(), QStringLiteral("NOT RECORDED"));
    QCOMPARE(w->scannedList()->rowCount(), 2);
    QCOMPARE(label(w, "lblStatus"), QStringLiteral("Stocktake ended. The next scan begins a new one."));
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("StocktakeScan"), QStringLiteral("ScanCode = 'SN-3'")), 0);
    QVERIFY(!control<QPushButton>(w, "cmdFinish")->isEnabled());

    scan(w, QStringLiteral("SN-3"));
    QCOMPARE(t.dialogs.messages.size(), 1);
    QVERIFY(w->stocktakeId() > shown);
    QCOMPARE(countsShown(w), QStringLiteral("Here: 1, Elsewhere: 0, Unknown: 0, Already scanned: 0, Missing: 4"));
    QCOMPARE(w->scannedList()->rowCount(), 1);
}

void tst_StocktakeWindow::discardAsksFirst() {
    TestContext t;
    seed(*t.db);
    StocktakeWindow* w = openStocktake(t, kHere);
    for (const char* code : {"SN-9", "SN-1"})
        scan(w, QLatin1String(code));
    t.dialogs.answer(Dialogs::Answer::No);
    click(w, "cmdDiscard");
    QCOMPARE(t.dialogs.messages.last().buttons, Dialogs::Buttons::YesNoDefaultNo);
    QVERIFY(w->stocktakeId() > 0);
    t.dialogs.answer(Dialogs::Answer::Yes);
    click(w, "cmdDiscard");
    QCOMPARE(w->stocktakeId(), qint64(0));
    QCOMPARE(countsShown(w), QStringLiteral("Here: 0, Elsewhere: 0, Unknown: 0, Already scanned: 0, Missing: 5"));
    QCOMPARE(Fixtures::count(*t.db, QStringLiteral("EquipLocAssign")), 0);
}

void tst_StocktakeWindow::printsAndExportsTheMissingList() {
    TestContext t;
    seed(*t.db);
    StocktakeWindow* w = openStocktake(t, kHere);
    for (const char* code : {"SN-1", "SN-2", "SN-3"})
        scan(w, QLatin1String(code));
    click(w, "cmdPrintMissing");
    QVERIFY(t.printLog.findText(QStringLiteral("Missing at Room 101")));
    QVERIFY(t.printLog.findText(QStringLiteral("SN-4")));
    QVERIFY(!t.printLog.findText(QStringLiteral("SN-1")));

    const QString path = t.dataDir() + QStringLiteral("/missing.csv");
    t.dialogs.chooseFile(path);
    click(w, "cmdExportMissing");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).remove(QChar(0xFEFF)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QStringLiteral("ID,Description,Manufacturer,Serial Number,Model Number,Asset Tag Number"));
    QCOMPARE(lines.at(1), QStringLiteral("90004,Desktop,Dell,SN-4,,"));
    QVERIFY(t.dialogs.allAnswersUsed());
}

QTEST_MAIN(tst_StocktakeWindow)
#include "tst_stocktakewindow.moc"
