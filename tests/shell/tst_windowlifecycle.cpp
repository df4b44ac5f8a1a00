#include "equipment/ui/FrmDuplicate.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "equipment/ui/frmEditEquipment.h"
#include "locations/ui/frmActiveLocations.h"
#include "platform/ReportList.h"
#include "records/ui/NotesTab.h"
#include "shell/MDIKavrel.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <memory>

using namespace Fixtures;

// Every window the menus reach, closed by every route it offers, leaves no frame behind and the window list
// holding only live windows.
namespace {

QAction* mainEntry(MDIKavrel& main, const QString& name) {
    return main.findChild<QMenuBar*>("MainMenu")->findChild<QAction*>(name);
}

frmActiveLocations* openLocationList(MDIKavrel& main) {
    mainEntry(main, "MnuActiveLocations")->trigger();
    return qobject_cast<frmActiveLocations*>(main.activeWindow());
}

// Double clicks the first row of list.
void openFirstRow(ReportList* list) {
    list->setCurrentRow(0);
    list->setRowSelected(0, true);
    emit list->rowDoubleClicked(0);
}

// Opens the window named by how: a main menu entry, "detail" / "reassign" from the location list, "equipment
// detail" from the active equipment list, "duplicate" from the entry window's duplicate table, "import from the entry
// window" by its button, "note editor" from a location detail window's "Add Note", "labels from a list" by the
// active equipment list's "Print Labels..." or "label from the detail" by the equipment detail's "Print Label...".
QWidget* open(MDIKavrel& main, TestContext& t, const QString& how) {
    if (how == "labels from a list") {
        mainEntry(main, "mnuActiveEquipment")->trigger();
        main.activeWindow()->findChild<QAction*>("mnuPrintLabels")->trigger();
    } else if (how == "label from the detail") {
        QWidget* detail = open(main, t, "equipment detail");
        QTest::mouseClick(detail->findChild<QPushButton*>("cmdPrintLabel"), Qt::LeftButton);
    } else if (how == "equipment detail") {
        mainEntry(main, "mnuActiveEquipment")->trigger();
        openFirstRow(qobject_cast<frmActiveEquipment*>(main.activeWindow())->list());
        return qobject_cast<frmEditEquipment*>(main.activeWindow());
    } else if (how == "duplicate") {
        mainEntry(main, "mnuEnterEquipment")->trigger();
        openFirstRow(qobject_cast<frmCreateEquipment*>(main.activeWindow())->duplicateList());
        return qobject_cast<FrmDuplicate*>(main.activeWindow());
    } else if (how == "import from the entry window") {
        mainEntry(main, "mnuEnterEquipment")->trigger();
        QTest::mouseClick(main.activeWindow()->findChild<QPushButton*>("cmdImportCsv"), Qt::LeftButton);
    } else if (how == "note editor") {
        QWidget* detail = open(main, t, "detail");
        QTest::mouseClick(detail->findChild<NotesTab*>()->findChild<QPushButton*>("CmdAddNote"), Qt::LeftButton);
    } else if (how == "detail") {
        auto* list = openLocationList(main);
        list->list()->setCurrentRow(0);
        list->list()->setRowSelected(0, true);
        emit list->list()->rowDoubleClicked(0);
    } else if (how == "stocktake from the detail window") {
        QWidget* detail = open(main, t, "detail");
        detail->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Stocktake")->trigger();
    } else if (how == "reassign") {
        auto* list = openLocationList(main);
        list->list()->setCurrentRow(0);
        list->list()->setRowSelected(0, true);
        t.dialogs.answer(Dialogs::Answer::Yes);
        list->toolbarClicked("Reassign");
    } else {
        if (how == "mnuSearchEquipmentUsingScanner")
            t.dialogs.type(QString()); // the scan asked for at opening, cancelled
        mainEntry(main, how)->trigger();
    }
    return main.activeWindow();
}

QStringList windowsMenu(MDIKavrel& main) {
    auto* menu = main.findChild<QMenuBar*>("MainMenu")->findChild<QMenu*>("FrmWindows");
    emit menu->aboutToShow();
    QStringList listed;
    for (QAction* a : menu->actions())
        if (a->isCheckable()) // the open windows, not the commands after them
            listed << a->text();
    return listed;
}

} // namespace

class tst_WindowLifecycle : public QObject {
    Q_OBJECT
private slots:
    void closesByEveryRoute_data();
    void closesByEveryRoute();
    void refusedCloseKeepsWindowAndFrame();
    void newWindowsOpenInsideTheArea_data();
    void newWindowsOpenInsideTheArea();
    void fixedSizeFrameCannotBeResized();
};

void tst_WindowLifecycle::closesByEveryRoute_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("route"); // a button's name, "closebox" or "ctrl+f4"
    const QStringList windows = {"mnuCreateLocation",
                                 "MnuActiveLocations",
                                 "mnuManageEquipmentTypes",
                                 "mnuEnterEquipment",
                                 "mnuImportEquipment",
                                 "import from the entry window",
                                 "mnuActiveEquipment",
                                 "MnuBatchAssign",
                                 "mnuStocktake",
                                 "stocktake from the detail window",
                                 "mnuSearchEquipment",
                                 "mnuSearchEquipmentUsingScanner",
                                 "FrmAbout",
                                 "detail",
                                 "reassign",
                                 "equipment detail",
                                 "duplicate",
                                 "mnuExplorer",
                                 "mnuLocationEditAdditionalInformationFields",
                                 "MnuEquipmentAdditionalInformationFields",
                                 "note editor",
                                 "labels from a list",
                                 "label from the detail"};
    for (const QString& how : windows)
        for (const char* route : {"closebox", "ctrl+f4"})
            QTest::addRow("%s by %s", qPrintable(how), route) << how << route;
    QTest::newRow("create location by Cancel") << "mnuCreateLocation"
                                               << "Command3";
    QTest::newRow("enter equipment by Cancel") << "mnuEnterEquipment"
                                               << "Command3";
    QTest::newRow("import equipment by Cancel") << "mnuImportEquipment"
                                                << "cmdCancel";
    QTest::newRow("import equipment by Esc") << "mnuImportEquipment"
                                             << "esc";
    QTest::newRow("batch assign by Cancel") << "MnuBatchAssign"
                                            << "cmdCancel";
    QTest::newRow("stocktake by Close") << "mnuStocktake"
                                        << "cmdClose";
    QTest::newRow("stocktake by Esc") << "stocktake from the detail window"
                                      << "esc";
    QTest::newRow("about by OK") << "FrmAbout"
                                 << "cmdOK";
    QTest::newRow("reassign by Cancel") << "reassign"
                                        << "Command2";
    QTest::newRow("reassign by Submit") << "reassign"
                                        << "Command1";
    QTest::newRow("equipment detail by Cancel") << "equipment detail"
                                                << "cmdCancel";
    QTest::newRow("duplicate by Cancel") << "duplicate"
                                         << "Command6";
    QTest::newRow("duplicate by Submit with no option") << "duplicate"
                                                        << "Command5";
    QTest::newRow("note editor by Cancel") << "note editor"
                                           << "Command2";
    QTest::newRow("note editor by Save/Exit") << "note editor"
                                              << "Command1";
    for (const char* how : {"labels from a list", "label from the detail"})
        for (const char* route : {"cmdCancel", "esc", "cmdPrint"})
            QTest::addRow("%s by %s", how, route) << how << route;
}

void tst_WindowLifecycle::closesByEveryRoute() {
    QFETCH(QString, how);
    QFETCH(QString, route);
    TestContext t;
    const qint64 alpha = addLocation(*t.db, "Alpha");
    addLocation(*t.db, "Beta");
    addEquipment(*t.db, alpha, "S1");
    UnitFixtures::park(*t.db, "S1", alpha);
    MDIKavrel main(t.ctx);
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    QWidget* window = open(main, t, how);
    QVERIFY(window);
    const QStringList before = windowsMenu(main);
    QCOMPARE(before.size(), main.openWindowCount());
    QPointer<QMdiSubWindow> frame = main.mdiArea()->activeSubWindow();
    QPointer<QWidget> watched = window;

    if (route == "closebox") {
        frame->close();
    } else if (route == "ctrl+f4") {
        QTest::keyClick(window, Qt::Key_F4, Qt::ControlModifier);
    } else if (route == "esc") {
        QTest::keyClick(window, Qt::Key_Escape);
    } else {
        if (how == "reassign" && route == "Command1") {
            window->findChild<ReportList*>()->setRowSelected(0, true); // the one location not being deleted
            t.dialogs.answer(Dialogs::Answer::Yes);
        }
        if (how == "note editor" && route == "Command1") {
            window->findChild<QLineEdit*>("txtNoteTitle")->setText("Title");
            window->findChild<QPlainTextEdit*>("txtNote")->setPlainText("Text");
        }
        auto* button = window->findChild<QPushButton*>(route);
        QVERIFY2(button, qPrintable(route));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // The frame goes at once; the window list never shows a window that has closed.
    QVERIFY(!frame || !frame->isVisible());
    QCOMPARE(windowsMenu(main).size(), before.size() - 1);
    QTRY_VERIFY(!frame);
    QTRY_VERIFY(!watched);
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList())
        QVERIFY(sub->widget());
    QCOMPARE(windowsMenu(main).size(), main.openWindowCount());
    QVERIFY(t.dialogs.allAnswersUsed());
}

void tst_WindowLifecycle::refusedCloseKeepsWindowAndFrame() {
    class Stubborn : public QWidget {
    protected:
        void closeEvent(QCloseEvent* event) override { event->ignore(); }
    };
    TestContext t;
    MDIKavrel main(t.ctx);
    main.show();
    auto* stubborn = new Stubborn;
    static_cast<WindowHost&>(main).show(stubborn);
    QMdiSubWindow* frame = main.mdiArea()->subWindowList().value(0);
    QVERIFY(frame);
    QVERIFY(!stubborn->close());
    QVERIFY(!frame->close());
    QTest::qWait(10);
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
    QVERIFY(frame->isVisible() && stubborn->isVisible());
    delete frame;
}

void tst_WindowLifecycle::newWindowsOpenInsideTheArea_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"mnuActiveEquipment", "reassign", "mnuEnterEquipment", "detail", "mnuCreateLocation",
                            "mnuExplorer", "note editor"})
        QTest::newRow(how) << how;
}

void tst_WindowLifecycle::newWindowsOpenInsideTheArea() {
    QFETCH(QString, how);
    TestContext t;
    addLocation(*t.db, "Alpha");
    addLocation(*t.db, "Beta");
    MDIKavrel main(t.ctx);
    main.resize(1100, 760);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    // Several windows first, so that the area's own placement would push the next one further out.
    for (int i = 0; i < 4; ++i)
        mainEntry(main, "FrmAbout")->trigger();
    QVERIFY(open(main, t, how));
    const QRect viewport = main.mdiArea()->viewport()->rect();
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList()) {
        const QRect frame = sub->geometry();
        if (frame.width() <= viewport.width() && frame.height() <= viewport.height())
            QVERIFY2(viewport.contains(frame), qPrintable(sub->windowTitle()));
        else
            QCOMPARE(frame.topLeft(), QPoint(0, 0));
    }
}

void tst_WindowLifecycle::fixedSizeFrameCannotBeResized() {
    TestContext t;
    MDIKavrel main(t.ctx);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    mainEntry(main, "mnuCreateLocation")->trigger();
    QMdiSubWindow* frame = main.mdiArea()->activeSubWindow();
    const QSize size = frame->size();
    // Drag the bottom right corner outwards.
    const QPoint corner(frame->width() - 2, frame->height() - 2);
    QTest::mousePress(frame, Qt::LeftButton, {}, corner);
    QTest::mouseMove(frame, corner + QPoint(60, 60));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, corner + QPoint(60, 60));
    QCOMPARE(frame->size(), size);
    frame->resize(size + QSize(60, 60));
    QCOMPARE(frame->size(), size);
    // Minimising and restoring still work.
    frame->showMinimized();
    QVERIFY(frame->isMinimized());
    frame->showNormal();
    QCOMPARE(frame->size(), size);
}

QTEST_MAIN(tst_WindowLifecycle)
#include "tst_windowlifecycle.moc"
