#include "assignment/ui/FrmBatchAssign.h"
#include "data/Database.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "locations/ui/FrmReassignLocation.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "records/ui/FrmDocExplorer.h"
#include "stocktake/ui/StocktakeWindow.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QListWidget>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

using namespace UnitFixtures;

namespace {

// Long values of the kind a list is read by: serial numbers alike up to their last characters, ids beyond nine
// digits, location names alike but for their ends.
const QStringList kSerials = {"SCANLOOP-2026-WAREHOUSE-01", "SCANLOOP-2026-WAREHOUSE-02", "SCANLOOP-2026-WAREHOUSE-03"};
const QString kNames[] = {"Branch Office Northern Annex Building A", "Branch Office Northern Annex Building B",
                          "Branch Office Northern Annex Building C"};
constexpr qint64 kFirstLocId = 4000000001;
constexpr qint64 kFirstUnitId = 9000000001;

void addInventory(Database& db) {
    for (int i = 0; i < 3; ++i)
        addLocationWithId(db, kFirstLocId + i, kNames[i]);
    for (int i = 0; i < kSerials.size(); ++i)
        addUnitWithId(db, kFirstUnitId + i, kFirstLocId, kSerials[i]);
}

void hold(Database& db, const QString& serial) {
    UnitValues e;
    e[UnitField::SerialNumber] = serial;
    e[UnitField::EquipmentType] = QStringLiteral("Laptop");
    e[UnitField::Manufacturer] = QStringLiteral("Dell");
    e.currentLocation = kFirstLocId;
    e.locationName = kNames[0];
    HoldingStore(db).insert(e);
}

// Opens the window that shows the list and fills it with the inventory above.
ReportList* openList(TestContext& t, const QString& which) {
    Database& db = *t.db;
    if (which == "holding" || which == "duplicates") {
        for (const QString& serial : kSerials) {
            hold(db, serial);
            park(db, serial, kFirstLocId);
        }
        auto* w = openWindow<frmCreateEquipment>(t.ctx, nullptr);
        return w->findChild<ReportList*>(which == "holding" ? "ListView1" : "ListView2");
    }
    if (which == "stocktake") {
        auto* w = openWindow<StocktakeWindow>(t.ctx, nullptr, [](StocktakeWindow& s) { s.LocId = kFirstLocId; });
        return w->missingList();
    }
    if (which == "explorer") {
        auto* w = openWindow<FrmDocExplorer>(t.ctx, nullptr);
        QTreeWidget* tree = w->tree();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* node = tree->topLevelItem(i);
            if (node->data(0, FrmDocExplorer::TagRole).toLongLong() == kFirstLocId) {
                tree->setCurrentItem(node);
                emit tree->itemDoubleClicked(node, 0);
            }
        }
        return w->list();
    }
    if (which == "reassign") {
        auto* w = openWindow<FrmReassignLocation>(t.ctx, nullptr, [](FrmReassignLocation& r) { r.Tag = 1; });
        return w->list();
    }
    qFatal("no list %s", qPrintable(which));
}

// What a cell needs to draw the text uncut: the text and the margin on either side.
int needed(const QWidget* list, const QString& text) {
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    return list->fontMetrics().horizontalAdvance(text) + 2 * margin;
}

} // namespace

class tst_ListWidths : public QObject {
    Q_OBJECT
private slots:
    void keyColumnsShowTheirWidestValue_data();
    void keyColumnsShowTheirWidestValue();
    void batchAssignShowsWholeNames();
};

void tst_ListWidths::keyColumnsShowTheirWidestValue_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("windowWidth"); // narrowed to this when not 0, so the columns are short of room

    QTest::newRow("holding table: serial") << "holding" << 2 << 0;
    QTest::newRow("duplicate table: serial") << "duplicates" << 2 << 0;
    QTest::newRow("stocktake missing: id") << "stocktake" << 0 << 0;
    QTest::newRow("stocktake missing: serial") << "stocktake" << 3 << 0;
    QTest::newRow("explorer: id") << "explorer" << 0 << 0;
    QTest::newRow("explorer: serial") << "explorer" << 4 << 0;
    QTest::newRow("stocktake missing: id, narrowed") << "stocktake" << 0 << 500;
    QTest::newRow("explorer: id, narrowed") << "explorer" << 0 << 420;
    QTest::newRow("reassign: id") << "reassign" << 0 << 0;
    QTest::newRow("reassign: name") << "reassign" << 1 << 0;
}

void tst_ListWidths::keyColumnsShowTheirWidestValue() {
    QFETCH(QString, list);
    QFETCH(int, column);
    QFETCH(int, windowWidth);
    TestContext t;
    addInventory(*t.db);
    ReportList* view = openList(t, list);
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    if (windowWidth > 0)
        view->window()->resize(windowWidth, view->window()->height());
    QVERIFY(view->rowCount() >= 2);
    QVERIFY(view->isColumnWhole(column));
    int widest = 0;
    for (int row = 0; row < view->rowCount(); ++row)
        widest = std::max(widest, needed(view, view->text(row, column)));
    QTRY_VERIFY2(view->columnWidth(column) >= widest,
                 qPrintable(QStringLiteral("%1 < %2").arg(view->columnWidth(column)).arg(widest)));
}

void tst_ListWidths::batchAssignShowsWholeNames() {
    TestContext t;
    addInventory(*t.db);
    auto* w = openWindow<FrmBatchAssign>(t.ctx, nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto* list = w->findChild<QListWidget*>("List2");
    QVERIFY(list);
    // The window has a fixed size, narrower than the names: hovering tells the whole name.
    QVERIFY(list->visualItemRect(list->item(0)).right() > list->viewport()->width());
    QCOMPARE(toolTipAt(list, list->model()->index(0, 0)), kNames[0]);
}

QTEST_MAIN(tst_ListWidths)
#include "tst_listwidths.moc"
