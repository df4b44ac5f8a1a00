#include "platform/ReportList.h"
#include "support/Widgets.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// Three columns and three rows, shown, so that clicks land on real cells.
struct Fixture {
    ReportList list;
    Fixture() {
        list.addColumn("Name", "LocName", 120);
        list.addColumn("City", "LocCity", 100, Qt::AlignCenter);
        list.addColumn("Count", "Equipment Count", 80, Qt::AlignRight);
        list.addRow({"Alpha", "Austin", "3"}, 101);
        list.addRow({"Beta", "Boston", "0"}, 102);
        list.addRow({"Gamma", "Chicago", "12"}, 103);
        list.resize(400, 300);
        list.show();
        if (!QTest::qWaitForWindowExposed(&list))
            qFatal("list not shown");
    }
    QPoint cellCentre(int row, int col) const { return list.visualRect(list.listModel()->index(row, col)).center(); }
};

} // namespace

class tst_ReportList : public QObject {
    Q_OBJECT
private slots:
    void columns();
    void rowsAndCells_data();
    void rowsAndCells();
    void setTextPadsMissingCells();
    void selection();
    void chosenRowIsReadFromTheSelection_data();
    void chosenRowIsReadFromTheSelection();
    void headerClickReportsColumn();
    void doubleClickReportsRow();
    void keyReleaseReportsKey();
    void rightClickReportsRowAndPosition();
    void bulkAppendAddsAfterExistingRows();
    void clearing();
    void columnsFitHeadersAndShareSpareWidth();
    void wholeColumnTakesTheRoomOfEmptyColumns();
    void onlyCutCellsTellTheirTextOnHover();
    void modelKeepsItsContract();
};

void tst_ReportList::columns() {
    Fixture f;
    QCOMPARE(f.list.columnCount(), 3);
    QCOMPARE(f.list.columnHeader(1), QStringLiteral("City"));
    QCOMPARE(f.list.columnTag(2), QStringLiteral("Equipment Count"));
    QCOMPARE(f.list.columnAlignment(0), Qt::Alignment(Qt::AlignLeft));
    QCOMPARE(f.list.columnAlignment(2), Qt::Alignment(Qt::AlignRight));
    QCOMPARE(f.list.columnWidthPixels(0), 120);
    QCOMPARE(f.list.columnWidthPixels(2), 80);
    // A cell is read by its column's tag; a header is no tag, and an unknown tag reads nothing.
    QCOMPARE(f.list.columnOfTag(QStringLiteral("LocCity")), 1);
    QCOMPARE(f.list.text(2, QStringLiteral("Equipment Count")), QStringLiteral("12"));
    QCOMPARE(f.list.columnOfTag(QStringLiteral("City")), -1);
    QCOMPARE(f.list.text(0, QStringLiteral("City")), QString());

    // What the view draws comes from the same columns.
    const QAbstractItemModel* m = f.list.model();
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("City"));
    QCOMPARE(m->data(m->index(2, 2)).toString(), QStringLiteral("12"));
    const auto alignment = [&](int col) {
        return Qt::Alignment(m->data(m->index(0, col), Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(alignment(0), Qt::Alignment(Qt::AlignLeft));
    QCOMPARE(alignment(1), Qt::Alignment(Qt::AlignHCenter));
    QCOMPARE(alignment(2), Qt::Alignment(Qt::AlignRight));
}

void tst_ReportList::rowsAndCells_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("plain") << QStringList{"Alpha", "Austin", "3"};
    QTest::newRow("empty cells") << QStringList{"", "", ""};
    QTest::newRow("empty first cell") << QStringList{"", "Boston", "1"};
    QTest::newRow("empty last cell") << QStringList{"Alpha", "Austin", ""};
    QTest::newRow("separators in text") << QStringList{"a,b;c", "tab\there|pipe", "line\nbreak"};
    QTest::newRow("control characters") << QStringList{QString("unit") + QChar(0x1F) + "sep", "x", "y"};
    QTest::newRow("unicode") << QStringList{QString::fromUtf8("Zürich 東京"), QString::fromUtf8("💾"), "&nbsp;"};
}

void tst_ReportList::rowsAndCells() {
    QFETCH(QStringList, cells);
    ReportList list;
    list.addColumn("A");
    list.addColumn("B");
    list.addColumn("C");
    list.addRow({"before", "b", "c"});
    QCOMPARE(list.addRow(cells, 70000), 1);
    list.addRow({"after", "b", "c"});
    QCOMPARE(list.rowCount(), 3);
    QCOMPARE(list.cells(1), cells);
    for (int col = 0; col < cells.size(); ++col)
        QCOMPARE(list.text(1, col), cells.at(col));
    QCOMPARE(list.text(1), cells.first()); // the row's text is its first cell
    QCOMPARE(list.rowTag(1).toLongLong(), qint64(70000));
    QCOMPARE(list.text(1, 3), QString()); // beyond the cells
    QCOMPARE(list.text(2), QStringLiteral("after"));
}

void tst_ReportList::setTextPadsMissingCells() {
    ReportList list;
    for (const char* h : {"A", "B", "C", "D"})
        list.addColumn(h);
    list.addRow({"one"}, 1);
    QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);
    list.setText(0, 3, "four");
    QCOMPARE(list.cells(0), (QStringList{"one", "", "", "four"}));
    list.setText(0, 1, "two");
    QCOMPARE(list.cells(0), (QStringList{"one", "two", "", "four"}));
    QCOMPARE(changed.size(), 2);
    QCOMPARE(list.rowTag(0).toInt(), 1);
}

void tst_ReportList::selection() {
    Fixture f;
    QCOMPARE(f.list.selectedRows(), QList<int>{});
    f.list.setRowSelected(2, true);
    f.list.setRowSelected(0, true);
    QCOMPARE(f.list.selectedRows(), (QList<int>{0, 2}));
    QVERIFY(f.list.isRowSelected(2));
    QVERIFY(!f.list.isRowSelected(1));
    f.list.setRowSelected(2, false);
    QCOMPARE(f.list.selectedRows(), QList<int>{0});

    // The user's ctrl-clicks select whole rows, whatever column they land on.
    QTest::mouseClick(f.list.viewport(), Qt::LeftButton, Qt::ControlModifier, f.cellCentre(1, 2));
    QCOMPARE(f.list.selectedRows(), (QList<int>{0, 1}));
    QCOMPARE(f.list.currentRow(), 1);
    QTest::mouseClick(f.list.viewport(), Qt::LeftButton, Qt::NoModifier, f.cellCentre(2, 1));
    QCOMPARE(f.list.selectedRows(), QList<int>{2});

    // Setting the current row leaves the selection alone.
    f.list.setCurrentRow(0);
    QCOMPARE(f.list.currentRow(), 0);
    QCOMPARE(f.list.selectedRows(), QList<int>{2});
}

void tst_ReportList::chosenRowIsReadFromTheSelection_data() {
    QTest::addColumn<int>("current"); // -1: none
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("cellsOnly"); // the selection names single cells, not whole rows
    QTest::addColumn<int>("chosen");
    QTest::newRow("nothing selected, current row left behind") << 1 << QList<int>{} << false << -1;
    QTest::newRow("selected without moving the current row") << 0 << QList<int>{2} << false << 2;
    QTest::newRow("current row among several selected") << 2 << QList<int>{0, 2} << false << 2;
    QTest::newRow("current row not among those selected") << 1 << QList<int>{2, 0} << false << 0;
    QTest::newRow("a cell selected, not its row") << -1 << QList<int>{2} << true << 2;
}

void tst_ReportList::chosenRowIsReadFromTheSelection() {
    QFETCH(int, current);
    QFETCH(QList<int>, selected);
    QFETCH(bool, cellsOnly);
    QFETCH(int, chosen);
    Fixture f;
    QItemSelectionModel* model = f.list.selectionModel();
    if (current >= 0)
        f.list.setCurrentRow(current);
    model->clearSelection();
    for (int row : selected)
        model->select(f.list.listModel()->index(row, 1), cellsOnly
                                                             ? QItemSelectionModel::Select
                                                             : QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(f.list.chosenRow(), chosen);
}

void tst_ReportList::headerClickReportsColumn() {
    Fixture f;
    QSignalSpy spy(&f.list, &ReportList::headerClicked);
    QHeaderView* header = f.list.header();
    for (int col : {2, 0, 2}) {
        const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    QCOMPARE(spy.size(), 3);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 0);
    QCOMPARE(spy.at(2).at(0).toInt(), 2);
    // The list itself never reorders: sorting is its owner's business.
    QCOMPARE(f.list.text(0), QStringLiteral("Alpha"));
    QCOMPARE(f.list.text(2), QStringLiteral("Gamma"));
}

void tst_ReportList::doubleClickReportsRow() {
    Fixture f;
    QSignalSpy spy(&f.list, &ReportList::rowDoubleClicked);
    QTest::mouseDClick(f.list.viewport(), Qt::LeftButton, Qt::NoModifier, f.cellCentre(1, 2));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toInt(), 1);
    // Below the last row there is no row to report.
    QTest::mouseDClick(f.list.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, f.list.viewport()->height() - 5));
    QCOMPARE(spy.size(), 1);
}

void tst_ReportList::keyReleaseReportsKey() {
    Fixture f;
    f.list.setFocus();
    QSignalSpy spy(&f.list, &ReportList::keyReleased);
    QTest::keyPress(&f.list, Qt::Key_Return);
    QCOMPARE(spy.size(), 0); // the press alone reports nothing
    QTest::keyRelease(&f.list, Qt::Key_Return);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toInt(), int(Qt::Key_Return));

    // A held key repeats presses and releases; only the final release counts.
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&f.list, &repeated);
    QCOMPARE(spy.size(), 1);
    QTest::keyClick(&f.list, Qt::Key_Delete);
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.last().first().toInt(), int(Qt::Key_Delete));

    // Enter pressed on a question that closed before the key came up is not the list's key.
    QTest::keyRelease(&f.list, Qt::Key_Return);
    QCOMPARE(spy.size(), 2);
}

void tst_ReportList::rightClickReportsRowAndPosition() {
    Fixture f;
    QSignalSpy spy(&f.list, &ReportList::rightClicked);
    const QPoint onRow = f.cellCentre(2, 1);
    QTest::mouseClick(f.list.viewport(), Qt::RightButton, Qt::NoModifier, onRow);
    QTest::mouseClick(f.list.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(10, f.list.viewport()->height() - 5));
    QTest::mouseClick(f.list.viewport(), Qt::LeftButton, Qt::NoModifier, onRow);
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    QCOMPARE(spy.at(0).at(1).toPoint(), f.list.viewport()->mapToGlobal(onRow));
    QCOMPARE(spy.at(1).at(0).toInt(), -1);
}

void tst_ReportList::bulkAppendAddsAfterExistingRows() {
    Fixture f;
    QSignalSpy inserted(f.list.model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(f.list.model(), &QAbstractItemModel::modelReset);
    f.list.beginRows();
    for (int i = 0; i < 1000; ++i)
        f.list.appendRow({QStringLiteral("Unit %1").arg(i), "", QString::number(i)}, 70000 + i);
    f.list.endRows();
    QCOMPARE(f.list.rowCount(), 1003);
    QCOMPARE(f.list.text(0), QStringLiteral("Alpha"));
    QCOMPARE(f.list.cells(3), (QStringList{"Unit 0", "", "0"}));
    QCOMPARE(f.list.text(1002, 2), QStringLiteral("999"));
    QCOMPARE(f.list.rowTag(1002).toInt(), 70999);
    // Views hear of the whole batch once, not once per row.
    QCOMPARE(inserted.size() + reset.size(), 1);

    // An empty batch tells nobody anything.
    f.list.beginRows();
    f.list.endRows();
    QCOMPARE(inserted.size() + reset.size(), 1);
    QCOMPARE(f.list.rowCount(), 1003);
}

void tst_ReportList::clearing() {
    Fixture f;
    f.list.setRowSelected(1, true);
    f.list.clearRows();
    QCOMPARE(f.list.rowCount(), 0);
    QCOMPARE(f.list.selectedRows(), QList<int>{});
    QCOMPARE(f.list.currentRow(), -1);
    QCOMPARE(f.list.columnCount(), 3);
    QCOMPARE(f.list.text(0), QString());
    f.list.addRow({"New"});
    QCOMPARE(f.list.text(0), QStringLiteral("New"));

    f.list.clearColumns();
    QCOMPARE(f.list.columnCount(), 0);
    QCOMPARE(f.list.rowCount(), 0);
}

void tst_ReportList::columnsFitHeadersAndShareSpareWidth() {
    ReportList list;
    list.addColumn("Id");
    list.addColumn("A header much wider than the default width");
    list.addColumn("Name");
    list.addColumn("Count");
    list.addRow({"1", "x", "A name that is longer than its column by far", "3"});
    list.resize(300, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const QFontMetrics fm = list.fontMetrics();
    // Short of room, columns keep their headers readable and give up only the padding beyond them.
    for (int col = 0; col < list.columnCount(); ++col)
        QVERIFY(list.columnWidth(col) > fm.horizontalAdvance(list.columnHeader(col)));
    QVERIFY(list.columnWidth(0) < list.header()->defaultSectionSize());

    // Widened, the one cut column takes the spare width, up to what its text needs.
    list.resize(1200, 200);
    QTRY_VERIFY(list.columnWidth(2) > fm.horizontalAdvance(list.text(0, 2)));
    QCOMPARE(list.columnWidth(0), list.header()->defaultSectionSize());
    QCOMPARE(list.columnWidth(3), list.header()->defaultSectionSize());

    // A column sized by hand keeps its width.
    list.setColumnWidth(2, 150);
    list.resize(1000, 200);
    QCOMPARE(list.columnWidth(2), 150);
    // Rebuilt columns start afresh.
    list.clearColumns();
    list.addColumn("Name");
    list.addRow({"A name that is longer than its column by far"});
    QTRY_VERIFY(list.columnWidth(0) > fm.horizontalAdvance(list.text(0, 0)));
}

void tst_ReportList::wholeColumnTakesTheRoomOfEmptyColumns() {
    ReportList list;
    ListColumns columns;
    for (const char* header : {"Id", "Name", "City", "State", "Phone"})
        columns << ListColumn{header, header, header};
    columns[1].whole = true;
    list.setColumns(columns);
    const QString name = "Branch Office Northern Annex";
    for (const char* end : {" A", " B", " C"})
        list.addRow({"7", name + end});
    const int width = list.header()->defaultSectionSize() * 5;
    list.resize(width + 2 * list.frameWidth(), 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const int needed = list.fontMetrics().horizontalAdvance(name + " A");
    QVERIFY(needed > list.header()->defaultSectionSize());
    // The name reads whole inside the list's own width: the empty columns gave up the room beyond their headers.
    QTRY_VERIFY(list.columnWidth(1) > needed);
    QCOMPARE(list.horizontalScrollBar()->maximum(), 0);
    for (int col : {2, 3, 4})
        QVERIFY(list.columnWidth(col) < list.header()->defaultSectionSize());

    // The same rows read again keep the name whole; a longer one widens the column again.
    list.setColumns(columns);
    list.addRow({"7", name + " and its Western Extension"});
    QTRY_VERIFY(list.columnWidth(1) > list.fontMetrics().horizontalAdvance(list.text(0, 1)));
}

void tst_ReportList::onlyCutCellsTellTheirTextOnHover() {
    ReportList list;
    list.addColumn("Name", QString(), 60);
    list.addColumn("City", QString(), 200);
    list.addRow({"A name much longer than sixty pixels", "Austin"});
    list.resize(300, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(toolTipAt(&list, list.listModel()->index(0, 0)), list.text(0, 0));
    QCOMPARE(toolTipAt(&list, list.listModel()->index(0, 1)), QString());
}

void tst_ReportList::modelKeepsItsContract() {
    ReportList list;
    QAbstractItemModelTester tester(list.listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    list.addColumn("Name", "LocName");
    list.addColumn("City", "LocCity");
    list.addRow({"Alpha", "Austin"}, 1);
    list.beginRows();
    for (int i = 0; i < 50; ++i)
        list.appendRow({QString::number(i), QStringLiteral("cell\x1F with the separator")}, i);
    list.endRows();
    list.setText(3, 1, "changed");
    list.setText(4, 3, "beyond the last cell");
    list.clearRows();
    list.addRow({"Beta"});
    list.clearColumns();
    QCOMPARE(list.rowCount(), 0);
}

QTEST_MAIN(tst_ReportList)
#include "tst_reportlist.moc"
