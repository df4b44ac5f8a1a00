#include "equipment/ui/frmActiveEquipment.h"
#include "equipment/ui/frmEditEquipment.h"
#include "locations/ui/frmActiveLocations.h"
#include "platform/ReportList.h"
#include "shell/MDIKavrel.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
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

} // namespace

class tst_WindowManners : public QObject {
    Q_OBJECT
private slots:
    void ctrlF4ClosesTheActiveWindowOnly();
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

QTEST_MAIN(tst_WindowManners)
#include "tst_windowmanners.moc"
