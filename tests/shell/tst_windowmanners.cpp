#include "equipment/ui/frmActiveEquipment.h"
#include "equipment/ui/frmEditEquipment.h"
#include "locations/ui/frmActiveLocations.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "shell/FrmAbout.h"
#include "shell/MDIKavrel.h"
#include "shell/MainWindowPlacement.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

using namespace Fixtures;

namespace {

QAction* mainEntry(MDIKavrel& main, const QString& name) {
    return main.findChild<QMenuBar*>("MainMenu")->findChild<QAction*>(name);
}

// Selects rows 0..count-1 of the active equipment list and presses Enter on it, as a keyboard user opens them.
QList<QWidget*> openDetailsByEnter(MDIKavrel& main, frmActiveEquipment* list, int count) {
    ReportList* rows = list->list();
    rows->setCurrentRow(0);
    for (int row = 0; row < count; ++row)
        rows->setRowSelected(row, true);
    const QList<QWidget*> before = main.openWindows();
    QTest::keyClick(rows, Qt::Key_Return);
    QList<QWidget*> opened;
    for (QWidget* w : main.openWindows())
        if (!before.contains(w))
            opened << w;
    return opened;
}

QStringList windowsMenu(MDIKavrel& main, QMenu** menu = nullptr) {
    auto* windows = main.findChild<QMenuBar*>("MainMenu")->findChild<QMenu*>("FrmWindows");
    emit windows->aboutToShow();
    if (menu)
        *menu = windows;
    QStringList listed;
    for (QAction* a : windows->actions())
        listed << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isEnabled() ? "" : " (off)"));
    return listed;
}

class Titled : public QWidget {
public:
    explicit Titled(AppContext&) { resize(300, 200); }
};

// Holds on to typed text: refuses to close.
class Typed : public QWidget {
public:
    explicit Typed(AppContext&) { resize(300, 200); }

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

QWidget* openTitled(MDIKavrel& main, AppContext& ctx, const QString& title) {
    return openWindow<Titled>(ctx, &main, [&title](Titled& w) { w.setWindowTitle(title); });
}

} // namespace

class tst_WindowManners : public QObject {
    Q_OBJECT
private slots:
    void ctrlF4ClosesTheActiveWindowOnly();
    void closingReturnsToTheOpener_data();
    void closingReturnsToTheOpener();
    void windowsOpenedTogetherCascade();
    void windowsMenuArrangesAndClosesAll();
    void mainWindowKeepsItsPlace_data();
    void mainWindowKeepsItsPlace();
};

void tst_WindowManners::ctrlF4ClosesTheActiveWindowOnly() {
    TestContext t;
    const qint64 alpha = addLocation(*t.db, "Alpha");
    for (int i = 1; i <= 8; ++i)
        addEquipment(*t.db, alpha, QStringLiteral("S%1").arg(i));
    MDIKavrel main(t.ctx);
    main.resize(1400, 900);
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    mainEntry(main, "MnuActiveLocations")->trigger();
    QWidget* locations = main.activeWindow();
    mainEntry(main, "mnuActiveEquipment")->trigger();
    auto* equipment = qobject_cast<frmActiveEquipment*>(main.activeWindow());
    QVERIFY(equipment);
    const QList<QWidget*> details = openDetailsByEnter(main, equipment, 8);
    QCOMPARE(details.size(), 8);
    QCOMPARE(main.activeWindow(), details.last());

    for (int i = 7; i >= 0; --i) {
        QPointer<QWidget> closing = main.activeWindow();
        QCOMPARE(closing.data(), details[i]);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : closing.data(), Qt::Key_F4,
                        Qt::ControlModifier);
        QTRY_VERIFY(!closing);
        QCOMPARE(main.openWindowCount(), 2 + i);
        QCOMPARE(main.activeWindow(), i > 0 ? details[i - 1] : static_cast<QWidget*>(equipment));
    }
    QVERIFY(main.openWindows().contains(locations));
}

void tst_WindowManners::closingReturnsToTheOpener_data() {
    QTest::addColumn<QString>("route");
    // "beside a message": another top-level window (a message box, say) has the focus while the window closes.
    for (const char* route : {"close()", "frame", "ctrl+f4", "beside a message"})
        QTest::newRow(route) << route;
}

// A, B, C opened in turn; then B activated and D opened from it, E from D. Closing E returns to D; with D's opener B
// closed first, D returns to B's opener A, not to the oldest window.
void tst_WindowManners::closingReturnsToTheOpener() {
    QFETCH(QString, route);
    TestContext t;
    MDIKavrel main(t.ctx);
    main.resize(1200, 800);
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QWidget* oldest = openTitled(main, t.ctx, "Oldest");
    QWidget* a = openTitled(main, t.ctx, "A");
    QWidget* b = openTitled(main, t.ctx, "B");
    openTitled(main, t.ctx, "C");
    main.activate(b);
    QWidget* d = openTitled(main, t.ctx, "D");
    QWidget* e = openTitled(main, t.ctx, "E");
    QCOMPARE(main.activeWindow(), e);

    auto close = [&](QWidget* w) {
        QPointer<QWidget> watched = w;
        QCOMPARE(main.activeWindow(), w);
        if (route == "close()") {
            w->close();
        } else if (route == "beside a message") {
            QWidget message;
            message.show();
            message.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&message));
            w->close();
            message.close();
            main.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&main));
        } else if (route == "frame")
            w->parentWidget()->close();
        else
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_F4,
                            Qt::ControlModifier);
        QTRY_VERIFY(!watched);
    };
    close(e);
    QCOMPARE(main.activeWindow(), d);
    // B closes while not active: the active window stays.
    b->close();
    QCOMPARE(main.activeWindow(), d);
    close(d);
    QCOMPARE(main.activeWindow()->windowTitle(), a->windowTitle());
    QCOMPARE(main.activeWindow(), a);
    QVERIFY(main.openWindows().contains(oldest));
}

void tst_WindowManners::windowsOpenedTogetherCascade() {
    TestContext t;
    const qint64 alpha = addLocation(*t.db, "Alpha");
    for (int i = 1; i <= 8; ++i)
        addEquipment(*t.db, alpha, QStringLiteral("S%1").arg(i));
    MDIKavrel main(t.ctx);
    main.resize(1500, 950);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    mainEntry(main, "mnuActiveEquipment")->trigger();
    auto* equipment = qobject_cast<frmActiveEquipment*>(main.activeWindow());
    const QList<QWidget*> details = openDetailsByEnter(main, equipment, 8);
    QCOMPARE(details.size(), 8);
    const QRect viewport = main.mdiArea()->viewport()->rect();
    QSet<QPoint> corners;
    QPoint previous = equipment->parentWidget()->pos();
    int step = 0;
    for (QWidget* detail : details) {
        const QRect frame = detail->parentWidget()->geometry();
        QVERIFY(viewport.contains(frame) || frame.topLeft() == QPoint(0, 0));
        corners << frame.topLeft();
        if (frame.topLeft() != QPoint(0, 0)) {
            // One title bar down and right from the window opened before it.
            const QPoint moved = frame.topLeft() - previous;
            QCOMPARE(moved.x(), moved.y());
            QVERIFY(moved.x() > 10);
            QVERIFY(step == 0 || step == moved.x());
            step = moved.x();
        }
        previous = frame.topLeft();
    }
    QCOMPARE(corners.size(), 8);

    // In a small area the windows start again at the top left instead of leaving it.
    main.resize(700, 500);
    QTest::qWait(20);
    const QList<QWidget*> more = openDetailsByEnter(main, equipment, 3);
    for (QWidget* detail : more)
        QVERIFY(detail->parentWidget()->geometry().right() < 700 || detail->parentWidget()->pos() == QPoint(0, 0));
}

void tst_WindowManners::windowsMenuArrangesAndClosesAll() {
    TestContext t;
    MDIKavrel main(t.ctx);
    main.resize(1200, 800);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QCOMPARE(windowsMenu(main), (QStringList{"&Cascade (off)", "&Tile (off)", "Close &All (off)"}));

    openTitled(main, t.ctx, "One");
    QPointer<QWidget> typed = openWindow<Typed>(t.ctx, &main, [](Typed& w) { w.setWindowTitle("Typed"); });
    QPointer<QWidget> two = openTitled(main, t.ctx, "Two");
    QMenu* menu = nullptr;
    QCOMPARE(windowsMenu(main, &menu),
             (QStringList{"&1 One", "&2 Typed", "&3 Two", "-", "&Cascade", "&Tile", "Close &All"}));

    menu->findChild<QAction*>("mnuTile")->trigger();
    const QRect viewport = main.mdiArea()->viewport()->rect();
    QSet<QPoint> corners;
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList()) {
        QVERIFY(viewport.contains(sub->geometry()));
        corners << sub->pos();
    }
    QCOMPARE(corners.size(), 3);
    windowsMenu(main, &menu);
    menu->findChild<QAction*>("mnuCascade")->trigger();
    QList<QPoint> cascaded;
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList())
        cascaded << sub->pos();
    QVERIFY(cascaded[0].x() < cascaded[1].x() && cascaded[1].x() < cascaded[2].x());
    QVERIFY(cascaded[0].y() < cascaded[1].y() && cascaded[1].y() < cascaded[2].y());

    // Each window is asked as its own close would: the one holding typing stays.
    windowsMenu(main, &menu);
    menu->findChild<QAction*>("mnuCloseAll")->trigger();
    QTRY_VERIFY(!two);
    QVERIFY(typed);
    QCOMPARE(main.openWindows(), QList<QWidget*>{typed.data()});
    delete typed->parentWidget();
}

void tst_WindowManners::mainWindowKeepsItsPlace_data() {
    QTest::addColumn<QString>("kept");
    QTest::addColumn<bool>("restored");
    QTest::newRow("nothing kept") << QString() << false;
    QTest::newRow("on the screen") << "40,30,500,400,0" << true;
    QTest::newRow("maximised") << "40,30,500,400,1" << true;
    QTest::newRow("off every screen") << "5000,4000,500,400,0" << false;
    QTest::newRow("above the screen") << "40,-600,500,400,0" << false;
    QTest::newRow("garbled") << "40,30,wide" << false;
}

void tst_WindowManners::mainWindowKeepsItsPlace() {
    QFETCH(QString, kept);
    QFETCH(bool, restored);
    TestContext t;
    if (!kept.isEmpty())
        t.registry.set(kPlacementKey, kPlacementValue, {Registry::Text, kept.toUtf8()});
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QRect expected = defaultMainWindowGeometry(available);
    QVERIFY(available.contains(expected));
    QVERIFY(expected.width() >= available.width() * 8 / 10 && expected.height() >= available.height() * 8 / 10);
    QCOMPARE(expected.center(), available.center());
    if (restored) {
        const QStringList parts = kept.split(',');
        expected = QRect(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
    }
    {
        MDIKavrel main(t.ctx);
        QCOMPARE(main.geometry(), expected);
        QCOMPARE(main.isMaximized(), kept.endsWith(",1"));
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        if (main.isMaximized())
            main.showNormal();
        main.setGeometry(QRect(available.topLeft() + QPoint(20, 10), QSize(450, 350)));
        if (kept.endsWith(",1"))
            main.showMaximized();
        QVERIFY(main.close());
    }
    // The next run finds the window where this one left it.
    MDIKavrel next(t.ctx);
    QCOMPARE(next.geometry(), QRect(available.topLeft() + QPoint(20, 10), QSize(450, 350)));
    QCOMPARE(next.isMaximized(), kept.endsWith(",1"));
}

QTEST_MAIN(tst_WindowManners)
#include "tst_windowmanners.moc"
