#include "data/DataError.h"
#include "platform/OpenWindow.h"
#include "shell/FrmAbout.h"
#include "shell/MDIKavrel.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTest>
#include <memory>

namespace {

// A window whose load fails, counting its live instances to show that a failed opening leaves none behind.
class FailingWindow : public QWidget {
public:
    static inline int alive = 0;
    explicit FailingWindow(AppContext&) { ++alive; }
    ~FailingWindow() override { --alive; }
    void load() { throw DataError(QStringLiteral("database disk image is malformed")); }
};

class StubbornWindow : public QWidget {
public:
    explicit StubbornWindow(AppContext&) {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

QMenuBar* mainMenu(MDIKavrel& main) {
    return main.findChild<QMenuBar*>("MainMenu");
}

QAction* entry(MDIKavrel& main, const QString& name) {
    auto* action = mainMenu(main)->findChild<QAction*>(name);
    if (!action)
        qFatal("no entry %s", qPrintable(name));
    return action;
}

QStringList classesOf(const QList<QWidget*>& windows) {
    QStringList names;
    for (QWidget* w : windows)
        names << QString::fromLatin1(w->metaObject()->className());
    return names;
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void captionAndWindowHost();
    void opensTheLocationListAtStart();
    void menuBarInOrder();
    void menuEntries_data();
    void menuEntries();
    void shortcutsOpenTheirWindows_data();
    void shortcutsOpenTheirWindows();
    void windowLimitShowsOutOfMemoryMessage();
    void failedLoadOpensNothing();
    void windowsMenuListsAndActivatesChildren();
    void aboutAndExit();
    void keyboardHelpListsEveryShortcut();
    void closingClosesChildrenThenEnds();
};

void tst_MainWindow::captionAndWindowHost() {
    TestContext t;
    {
        MDIKavrel main(t.ctx);
        QCOMPARE(main.windowTitle(), QStringLiteral("Kavrel "));
        // Windows opened from now on go into the frame.
        QCOMPARE(t.ctx.windows, static_cast<WindowHost*>(&main));
    }
    QCOMPARE(t.ctx.windows, static_cast<WindowHost*>(&t.windows));
}

void tst_MainWindow::opensTheLocationListAtStart() {
    TestContext t;
    Fixtures::addLocation(*t.db, "Depot");
    MDIKavrel main(t.ctx);
    main.show();
    main.load();
    QCOMPARE(classesOf(main.openWindows()), QStringList{"frmActiveLocations"});
    QCOMPARE(main.activeWindow(), main.openWindows().first());
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_MainWindow::menuBarInOrder() {
    TestContext t;
    MDIKavrel main(t.ctx);
    QStringList menus;
    for (QAction* top : mainMenu(main)->actions()) {
        QStringList entries;
        for (QAction* a : top->menu()->actions())
            entries << a->objectName();
        menus << top->objectName() + " " + top->text() + ": " + entries.join(',');
    }
    QCOMPARE(menus, (QStringList{
                        "frmFile &File: mnuBackUpData,mnuRestoreData,,FrmExit",
                        "FrmLocations &Location(s): mnuCreateLocation,MnuActiveLocations,mnuExplorer,"
                        "mnuLocationEditAdditionalInformationFields",
                        "FrmEquipment &Equipment: mnuManageEquipmentTypes,mnuEnterEquipment,mnuImportEquipment,"
                        "mnuActiveEquipment,"
                        "MnuEquipmentAdditionalInformationFields",
                        "FrmAssignment &Assignment: MnuBatchAssign,mnuStocktake",
                        "mnuSearch &Search: mnuSearchEquipment,mnuSearchEquipmentUsingScanner",
                        "FrmWindows &Windows: ",
                        "FrmHelp &Help: mnuKeyboardShortcuts,FrmAbout",
                    }));
}

void tst_MainWindow::menuEntries_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("back up") << "mnuBackUpData"
                             << "&Back Up Data..."
                             << "";
    QTest::newRow("restore") << "mnuRestoreData"
                             << "&Restore Data..."
                             << "";
    QTest::newRow("exit") << "FrmExit"
                          << "&Exit"
                          << "";
    QTest::newRow("create location") << "mnuCreateLocation"
                                     << "&Create Location"
                                     << "Ctrl+C";
    QTest::newRow("active locations") << "MnuActiveLocations"
                                      << "&Active Location(s)"
                                      << "Ctrl+L";
    QTest::newRow("explorer") << "mnuExplorer"
                              << "View Equipment by Location"
                              << "";
    QTest::newRow("location fields") << "mnuLocationEditAdditionalInformationFields"
                                     << "Edit Additional Information Fields (Location)"
                                     << "";
    QTest::newRow("equipment types") << "mnuManageEquipmentTypes"
                                     << "&Manage Equipment Type(s)"
                                     << "";
    QTest::newRow("enter equipment") << "mnuEnterEquipment"
                                     << "E&nter Equipment"
                                     << "Ctrl+N";
    QTest::newRow("import equipment") << "mnuImportEquipment"
                                      << "&Import Equipment from CSV..."
                                      << "";
    QTest::newRow("active equipment") << "mnuActiveEquipment"
                                      << "M&anage Equipment"
                                      << "Ctrl+Q";
    QTest::newRow("equipment fields") << "MnuEquipmentAdditionalInformationFields"
                                      << "Edit Additional Information Fields (Equipment)"
                                      << "";
    QTest::newRow("batch assign") << "MnuBatchAssign"
                                  << "Batch Assign"
                                  << "";
    QTest::newRow("stocktake") << "mnuStocktake"
                               << "&Stocktake by Scanner..."
                               << "";
    QTest::newRow("search") << "mnuSearchEquipment"
                            << "Search Equipment"
                            << "Ctrl+E";
    QTest::newRow("scanner search") << "mnuSearchEquipmentUsingScanner"
                                    << "Search Equipment Using Scanner"
                                    << "";
    QTest::newRow("keyboard shortcuts") << "mnuKeyboardShortcuts"
                                        << "&Keyboard Shortcuts"
                                        << "";
    QTest::newRow("about") << "FrmAbout"
                           << "About"
                           << "";
}

void tst_MainWindow::menuEntries() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    TestContext t;
    MDIKavrel main(t.ctx);
    QAction* action = entry(main, name);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
}

void tst_MainWindow::shortcutsOpenTheirWindows_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("windowClass");
    QTest::newRow("Ctrl+L") << int(Qt::Key_L) << "frmActiveLocations";
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << "frmCreateLocation";
    QTest::newRow("Ctrl+N") << int(Qt::Key_N) << "frmCreateEquipment";
    QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << "frmActiveEquipment";
    QTest::newRow("Ctrl+E") << int(Qt::Key_E) << "frmSearchEquipment";
}

void tst_MainWindow::shortcutsOpenTheirWindows() {
    QFETCH(int, key);
    QFETCH(QString, windowClass);
    TestContext t;
    Fixtures::addLocation(*t.db, "Depot"); // the entry window asks for a location first
    auto main = std::make_unique<MDIKavrel>(t.ctx);
    main->show();
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main.get()));
    // Twice: each press opens a window of its own.
    QTest::keyClick(main.get(), Qt::Key(key), Qt::ControlModifier);
    QTest::keyClick(main.get(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(classesOf(main->openWindows()), (QStringList{windowClass, windowClass}));
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_MainWindow::windowLimitShowsOutOfMemoryMessage() {
    TestContext t;
    auto main = std::make_unique<MDIKavrel>(t.ctx);
    main->setWindowLimit(2);
    QVERIFY(openWindow<FrmAbout>(t.ctx, main.get()));
    QVERIFY(openWindow<FrmAbout>(t.ctx, main.get()));
    QVERIFY(t.dialogs.messages.isEmpty());

    QCOMPARE(openWindow<FrmAbout>(t.ctx, main.get()), nullptr);
    QCOMPARE(t.dialogs.texts(), QStringList{"Out of memory\nToo Many windows are currently open"});
    QCOMPARE(t.dialogs.messages.first().buttons, Dialogs::Buttons::Ok);
    QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::None);
    QCOMPARE(t.dialogs.messages.first().title, QStringLiteral("Kavrel"));
    QCOMPARE(main->openWindowCount(), 2);
    QCOMPARE(main->mdiArea()->subWindowList().size(), 2);

    // Callers that open many windows at once may ask for no message.
    QCOMPARE(openWindow<FrmAbout>(t.ctx, main.get(), OnTooManyWindows::Ignore), nullptr);
    QCOMPARE(t.dialogs.messages.size(), 1);

    // Closing a window makes room again.
    main->mdiArea()->subWindowList().first()->close();
    QTRY_COMPARE(main->openWindowCount(), 1);
    QVERIFY(openWindow<FrmAbout>(t.ctx, main.get()));
    QCOMPARE(main->openWindowCount(), 2);
}

void tst_MainWindow::failedLoadOpensNothing() {
    TestContext t;
    auto main = std::make_unique<MDIKavrel>(t.ctx);
    QCOMPARE(openWindow<FailingWindow>(t.ctx, main.get()), nullptr);
    QCOMPARE(t.dialogs.texts(), QStringList{"database disk image is malformed"});
    QCOMPARE(t.dialogs.messages.first().title, QStringLiteral("Kavrel"));
    QCOMPARE(main->openWindowCount(), 0);
    QCOMPARE(FailingWindow::alive, 0);
}

void tst_MainWindow::windowsMenuListsAndActivatesChildren() {
    TestContext t;
    auto main = std::make_unique<MDIKavrel>(t.ctx);
    main->show();
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main.get()));
    auto* one = openWindow<FrmAbout>(t.ctx, main.get(), [](FrmAbout& w) { w.setWindowTitle("One"); });
    auto* two = openWindow<FrmAbout>(t.ctx, main.get(), [](FrmAbout& w) { w.setWindowTitle("Smith & Sons"); });
    QVERIFY(one && two);
    QCOMPARE(main->activeWindow(), two);

    auto* windows = mainMenu(*main)->findChild<QMenu*>("FrmWindows");
    QVERIFY(windows);
    windows->popup(main->mapToGlobal(QPoint(10, 10)));
    QStringList listed;
    QAction* first = nullptr;
    for (QAction* a : windows->actions()) {
        listed << a->text() + (a->isChecked() ? " (active)" : "");
        if (!first)
            first = a;
    }
    // A caption's "&" shows as itself, not as a mnemonic.
    QCOMPARE(listed, (QStringList{"&1 One", "&2 Smith && Sons (active)", "", "&Cascade", "&Tile", "Close &All"}));
    first->trigger();
    windows->hide();
    QCOMPARE(main->activeWindow(), one);

    // The list follows the windows that are open when it is shown.
    main->mdiArea()->subWindowList().first()->close();
    QTRY_COMPARE(main->openWindowCount(), 1);
    windows->popup(main->mapToGlobal(QPoint(10, 10)));
    QCOMPARE(windows->actions().size(), 5);
    QCOMPARE(windows->actions().first()->text(), QStringLiteral("&1 Smith && Sons"));
    windows->hide();
}

void tst_MainWindow::aboutAndExit() {
    TestContext t;
    auto main = std::make_unique<MDIKavrel>(t.ctx);
    main->show();
    entry(*main, "FrmAbout")->trigger();
    QCOMPARE(classesOf(main->openWindows()), QStringList{"FrmAbout"});
    QVERIFY(main->openWindows().first()->isVisible());
    QCOMPARE(t.endApplicationCalls, 0);

    entry(*main, "FrmExit")->trigger();
    QCOMPARE(t.endApplicationCalls, 1);
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_MainWindow::keyboardHelpListsEveryShortcut() {
    TestContext t;
    auto main = std::make_unique<MDIKavrel>(t.ctx);
    main->show();
    entry(*main, "mnuKeyboardShortcuts")->trigger();
    QCOMPARE(classesOf(main->openWindows()), QStringList{"KeyboardHelpWindow"});
    auto* help = main->findChild<QTableWidget*>("tblShortcuts");
    QVERIFY(help);
    QMap<QString, QString> rows;
    for (int r = 0; r < help->rowCount(); ++r)
        rows.insert(help->item(r, 0)->text(), help->item(r, 1)->text());
    // Every entry of the menu bar that has a shortcut, under its menu, without mnemonics.
    for (const char* name :
         {"mnuCreateLocation", "MnuActiveLocations", "mnuEnterEquipment", "mnuActiveEquipment", "mnuSearchEquipment"})
        QVERIFY2(rows.contains(entry(*main, name)->shortcut().toString(QKeySequence::NativeText)), name);
    QCOMPARE(rows.value("Ctrl+N"), QStringLiteral("Equipment > Enter Equipment"));
    QCOMPARE(rows.value("Ctrl+C"), QStringLiteral("Location(s) > Create Location"));
    QVERIFY(rows.value("Ctrl+C in a text box").startsWith("Copy"));
    QVERIFY(rows.contains("Ctrl+F4") && rows.contains("Esc") && rows.contains("Enter"));

    // Esc closes it, as its Close button does.
    QTest::keyClick(help, Qt::Key_Escape);
    QTRY_VERIFY(main->openWindows().isEmpty());
}

void tst_MainWindow::closingClosesChildrenThenEnds() {
    TestContext t;
    auto main = std::make_unique<MDIKavrel>(t.ctx);
    main->show();
    QVERIFY(openWindow<FrmAbout>(t.ctx, main.get()));
    auto* stubborn = openWindow<StubbornWindow>(t.ctx, main.get());
    QVERIFY(stubborn);

    // A child that refuses to close keeps the application running.
    QVERIFY(!main->close());
    QVERIFY(main->isVisible());
    QCOMPARE(t.endApplicationCalls, 0);

    delete stubborn->parentWidget(); // its frame in the area
    QCOMPARE(main->mdiArea()->subWindowList().size(), 0);
    QVERIFY(openWindow<FrmAbout>(t.ctx, main.get()));
    QVERIFY(main->close());
    QCOMPARE(main->mdiArea()->subWindowList().size(), 0);
    QCOMPARE(t.endApplicationCalls, 1);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
