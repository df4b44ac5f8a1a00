#include "platform/ReportList.h"
#include "printing/LVPrint.h"
#include "support/RecordingPrinter.h"

#include <QLocale>
#include <QTest>
#include <algorithm>

namespace {
// RecordingPrinter in millimetres, landscape: 10.5 x 8 inches of printable page; 10 pt text.
constexpr double kPoint = 25.4 / 72;
constexpr double kLine = 12 * kPoint;
constexpr double kPageWidth = 266.7;
constexpr double kPageHeight = 203.2;
constexpr double kLeft = 15;
constexpr double kTop = 20;
constexpr double kPrintable = kPageWidth - 2 * kLeft;
const QDate kToday(2026, 3, 14);

bool near(double a, double b) {
    return qAbs(a - b) < 1e-6;
}

// A list as the windows fill it, printed on a recording printer.
struct Sheet {
    ReportList list;
    PrintLog log;
    RecordingPrinter printer{log};

    Sheet() { list.setFont(QFont(QStringLiteral("DejaVu Sans"), 10)); }
    void columns(const QStringList& headers, const QList<int>& pixels, const QList<Qt::Alignment>& alignments = {}) {
        for (int i = 0; i < headers.size(); ++i)
            list.addColumn(headers.at(i), QString(), pixels.at(i), alignments.value(i, Qt::AlignLeft));
    }
    bool print(bool preview = false) {
        LVPrint lv(printer, kToday);
        lv.LV = &list;
        return lv.PrintList(preview);
    }
    QList<PrintItem> rules(int page, bool horizontal) const {
        QList<PrintItem> found;
        for (const PrintItem& l : log.lines(page))
            if (horizontal ? l.y == l.y2 : l.x == l.x2)
                found << l;
        return found;
    }
    // The header row's lower rule is the page's second; rows start one gap below it.
    double firstRowTop(int page) const { return rules(page, true).value(1).y + 1; }
    QList<PrintItem> textsReading(const QString& text) const {
        QList<PrintItem> found;
        for (const PrintItem& t : log.textItems())
            if (t.text == text)
                found << t;
        return found;
    }
};

// Stops a printout that would never end.
class BoundedPrinter : public RecordingPrinter {
public:
    using RecordingPrinter::RecordingPrinter;
    void newPage() override {
        if (++m_pages > 20)
            throw PrintError(QStringLiteral("runaway printout"));
        RecordingPrinter::newPage();
    }

private:
    int m_pages = 0;
};

QString linesText(const QString& stem, int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("%1 %2").arg(stem).arg(i);
    return lines.join(QLatin1Char('\n'));
}
} // namespace

class tst_LVPrint : public QObject {
    Q_OBJECT
private slots:
    void emptyListPrintsNothing();
    void pageLayout();
    void cellAlignment_data();
    void cellAlignment();
    void wrapsAtWords_data();
    void wrapsAtWords();
    void headerRowAsTallAsTallestHeader();
    void crossingRowRepeatsOnNextPage();
    void tooTallRowPrintsOnce_data();
    void tooTallRowPrintsOnce();
    void headerFailureReturnsFalse_data();
    void headerFailureReturnsFalse();
    void previewPrintsAsUsual();
};

void tst_LVPrint::emptyListPrintsNothing() {
    Sheet s;
    s.columns({QStringLiteral("ID"), QStringLiteral("Serial")}, {100, 100});
    QVERIFY(s.print());
    QVERIFY(s.log.items.isEmpty());
}

void tst_LVPrint::pageLayout() {
    Sheet s;
    QFont font(QStringLiteral("DejaVu Sans"), 10);
    font.setItalic(true);
    font.setBold(true);
    s.list.setFont(font);
    s.columns({QStringLiteral("ID"), QStringLiteral("Description"), QStringLiteral("Qty")}, {1000, 2000, 1000});
    s.list.addRow({QStringLiteral("1"), QStringLiteral("Desk"), QStringLiteral("2")});
    s.list.addRow({QStringLiteral("2"), QStringLiteral("Chair")});
    QVERIFY(s.print());

    QCOMPARE(s.log.orientations.last(), true);
    QCOMPARE(s.log.pageCount(), 1);
    QVERIFY(s.log.ended());
    QVERIFY(std::all_of(s.log.items.begin(), s.log.items.end(),
                        [](const PrintItem& i) { return i.scaleMode == Printer::ScaleMode::Millimetres; }));

    const PrintItem* date = s.log.findText(QLocale().toString(kToday, QLocale::LongFormat));
    const PrintItem* page = s.log.findText(QStringLiteral("PAGE 1"));
    const PrintItem* title = s.log.findText(QStringLiteral("ListView Control Sample Printout"));
    QVERIFY(date && page && title);
    QVERIFY(near(date->x, kLeft) && near(date->y, kTop / 1.5));
    QVERIFY(near(page->x, kPageWidth - kLeft - 10) && near(page->y, kTop / 1.5));
    QVERIFY(
        near(title->x + RecordingPrinter::textWidthOf(title->text, title->font, title->scaleMode) / 2, kPageWidth / 2));
    QVERIFY(near(title->y, kTop / 4));
    QCOMPARE(title->font.size, 14.0);
    QVERIFY(title->font.italic && !title->font.bold);
    for (const PrintItem* blue : {date, page, title})
        QCOMPARE(blue->color, QColor(0, 0, 255));

    // Columns keep their on-screen proportions and fill the printable width.
    const double edges[] = {kLeft, kLeft + kPrintable / 4, kLeft + kPrintable * 3 / 4, kLeft + kPrintable};
    const QList<PrintItem> verticals = s.rules(1, false);
    QCOMPARE(verticals.size(), 4);
    const QList<PrintItem> horizontals = s.rules(1, true);
    QCOMPARE(horizontals.size(), 4); // above and below the header row, below each row
    for (int i = 0; i < 4; ++i) {
        QVERIFY(near(verticals[i].x, edges[i]));
        QVERIFY(near(verticals[i].y, kTop));
        QVERIFY(near(verticals[i].y2, horizontals.last().y));
        QVERIFY(near(horizontals[i].x, kLeft) && near(horizontals[i].x2, kLeft + kPrintable));
        QCOMPARE(horizontals[i].drawWidth, i < 2 ? 9 : 5);
        QCOMPARE(horizontals[i].color, QColor(Qt::black));
    }
    QVERIFY(near(horizontals[0].y, kTop));
    QVERIFY(near(horizontals[1].y, kTop + 1 + 1.25 * kLine));
    QVERIFY(near(horizontals[2].y, s.firstRowTop(1) + kLine + 1));

    const QStringList headers = {QStringLiteral("ID"), QStringLiteral("Description"), QStringLiteral("Qty")};
    for (int i = 0; i < 3; ++i) {
        const PrintItem* header = s.log.findText(headers[i]);
        QVERIFY(header);
        QVERIFY(near(header->x, edges[i] + 1) && near(header->y, kTop + 1));
        QVERIFY(header->font.bold);
    }
    // Rows take the list's font, but never its boldness.
    const PrintItem* desk = s.log.findText(QStringLiteral("Desk"));
    QVERIFY(desk);
    QVERIFY(near(desk->x, edges[1] + 1) && near(desk->y, s.firstRowTop(1)));
    QVERIFY(desk->font.italic && !desk->font.bold);
    QCOMPARE(desk->font.size, 10.0);
    QCOMPARE(desk->color, QColor(Qt::black));
    QVERIFY(near(s.log.findText(QStringLiteral("Chair"))->y, s.firstRowTop(1) + kLine + 2));
}

void tst_LVPrint::cellAlignment_data() {
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::addColumn<double>("gapBefore"); // from the column's left rule to the text
    QTest::addColumn<double>("gapAfter");  // from the text's end to the column's right rule
    // Column width kPrintable / 2 = 118.35; "abc" is 6.35 wide.
    QTest::newRow("left") << Qt::Alignment(Qt::AlignLeft) << 1.0 << 111.0;
    QTest::newRow("right") << Qt::Alignment(Qt::AlignRight) << 111.0 << 1.0;
    QTest::newRow("centre") << Qt::Alignment(Qt::AlignHCenter) << 56.0 << 56.0;
}

void tst_LVPrint::cellAlignment() {
    QFETCH(Qt::Alignment, alignment);
    QFETCH(double, gapBefore);
    QFETCH(double, gapAfter);
    Sheet s;
    s.columns({QStringLiteral("Name"), QStringLiteral("Amount")}, {500, 500}, {Qt::AlignLeft, alignment});
    // Blanks around the text do not shift it.
    s.list.addRow({QStringLiteral("x"), QStringLiteral("  abc ")});
    QVERIFY(s.print());

    const double left = kLeft + kPrintable / 2;
    const double right = kLeft + kPrintable;
    QVERIFY(near(s.rules(1, false).last().x, right));
    const PrintItem* cell = s.log.findText(QStringLiteral("abc"));
    QVERIFY(cell);
    const double end = cell->x + RecordingPrinter::textWidthOf(cell->text, cell->font, cell->scaleMode);
    QVERIFY2(near(cell->x - left, gapBefore), qPrintable(QString::number(cell->x - left)));
    QVERIFY2(near(right - end, gapAfter), qPrintable(QString::number(right - end)));
    // Headers are left-aligned whatever the column.
    QVERIFY(near(s.log.findText(QStringLiteral("Amount"))->x, left + 1));
}

void tst_LVPrint::wrapsAtWords_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    // The first column is 36.925 wide: a line holds up to 16 characters, its trailing blank included.
    QTest::newRow("fits") << QStringLiteral("a short one") << QStringList{QStringLiteral("a short one")};
    QTest::newRow("three lines") << QStringLiteral("the quick brown fox jumps over the lazy dog")
                                 << QStringList{QStringLiteral("the quick brown"), QStringLiteral("fox jumps over"),
                                                QStringLiteral("the lazy dog")};
    // A word too wide for the column stays whole on its own line; the empty line before it takes no room.
    QTest::newRow("word wider than the column")
        << QStringLiteral("Supercalifragilistic is long")
        << QStringList{QStringLiteral("Supercalifragilistic"), QStringLiteral("is"), QStringLiteral("long")};
}

void tst_LVPrint::wrapsAtWords() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    Sheet s;
    s.columns({QStringLiteral("Notes"), QStringLiteral("ID")}, {156, 844});
    s.list.addRow({text, QStringLiteral("one")});
    s.list.addRow({QStringLiteral("next"), QStringLiteral("two")});
    QVERIFY(s.print());

    const double top = s.firstRowTop(1);
    for (int k = 0; k < lines.size(); ++k) {
        const PrintItem* line = s.log.findText(lines[k]);
        QVERIFY2(line, qPrintable(lines[k]));
        QVERIFY(near(line->x, kLeft + 1));
        QVERIFY2(near(line->y, top + k * kLine), qPrintable(lines[k]));
    }
    QVERIFY(near(s.log.findText(QStringLiteral("one"))->y, top));
    // The row is as tall as its tallest cell.
    QVERIFY(near(s.log.findText(QStringLiteral("next"))->y, top + lines.size() * kLine + 2));
    QVERIFY(near(s.rules(1, true).at(2).y, top + lines.size() * kLine + 1));
}

void tst_LVPrint::headerRowAsTallAsTallestHeader() {
    Sheet s;
    // Headers wrap to the full column width, 36.925: 17 characters a line.
    s.columns({QStringLiteral("Purchase order number of the unit"), QStringLiteral("Serial number as printed"),
               QStringLiteral("Model")},
              {156, 156, 688});
    s.list.addRow({QStringLiteral("1"), QStringLiteral("SN1"), QStringLiteral("M1")});
    QVERIFY(s.print());

    const QList<PrintItem> headers = s.log.textItems().mid(3, 6); // after the page header
    const QStringList expected = {QStringLiteral("Purchase order"), QStringLiteral("number of the"),
                                  QStringLiteral("unit"),           QStringLiteral("Serial number as"),
                                  QStringLiteral("printed"),        QStringLiteral("Model")};
    const double lineY[] = {0, 1, 2, 0, 1, 0};
    const double columnX[] = {0, 0, 0, 1, 1, 2};
    for (int i = 0; i < headers.size(); ++i) {
        QCOMPARE(headers[i].text.trimmed(), expected[i]);
        QVERIFY(near(headers[i].y, kTop + 1 + lineY[i] * kLine));
        QVERIFY(near(headers[i].x, kLeft + 1 + columnX[i] * kPrintable * 0.156));
    }
    QVERIFY(near(s.rules(1, true).at(1).y, kTop + 1 + 1.25 * 3 * kLine));
    QVERIFY(near(s.log.findText(QStringLiteral("SN1"))->y, kTop + 1 + 1.25 * 3 * kLine + 1));
}

void tst_LVPrint::crossingRowRepeatsOnNextPage() {
    Sheet s;
    s.columns({QStringLiteral("ID"), QStringLiteral("Notes")}, {300, 700});
    for (int i = 1; i <= 21; ++i)
        s.list.addRow({QStringLiteral("r%1").arg(i), QStringLiteral("note")});
    // Row 22 starts above the page-full limit but its eight lines run past the bottom margin.
    s.list.addRow({QStringLiteral("r22"), linesText(QStringLiteral("line"), 8)});
    for (int i = 23; i <= 30; ++i)
        s.list.addRow({QStringLiteral("r%1").arg(i), QStringLiteral("note")});
    QVERIFY(s.print());
    QCOMPARE(s.log.pageCount(), 2);

    // Row 22's top is 27.29 + 21 x 6.23 = 158.19: six lines start above the bottom margin at 183.2.
    const QStringList page1 = s.log.texts(1);
    const double rowTop = s.log.findText(QStringLiteral("r22"))->y;
    for (int i = 1; i <= 8; ++i)
        QCOMPARE(page1.contains(QStringLiteral("line %1").arg(i)), i <= 6);
    QVERIFY(near(s.log.findText(QStringLiteral("line 6"))->y, rowTop + 5 * kLine));
    const QList<PrintItem> markers = s.textsReading(QStringLiteral("* * *"));
    QCOMPARE(markers.size(), 1);
    QCOMPARE(markers[0].page, 1);
    QVERIFY(near(markers[0].y, rowTop + 6 * kLine));
    QVERIFY(markers[0].y >= kPageHeight - kTop);
    const double markerWidth = RecordingPrinter::textWidthOf(markers[0].text, markers[0].font, markers[0].scaleMode);
    QVERIFY(near(markers[0].x + markerWidth / 2, kLeft + kPrintable * 0.3 + kPrintable * 0.35));
    QVERIFY(page1.contains(QStringLiteral("r22")) && !page1.contains(QStringLiteral("r23")));
    // The vertical rules end at the crossing row's rule.
    QVERIFY(near(s.rules(1, false).first().y2, s.rules(1, true).last().y));

    const QStringList page2 = s.log.texts(2);
    QVERIFY(page2.contains(QStringLiteral("PAGE 2")) && page2.contains(QStringLiteral("Notes")));
    QVERIFY(!page2.contains(QStringLiteral("r21")));
    const PrintItem again = s.log.textItems(2).at(page2.indexOf(QStringLiteral("r22")));
    QVERIFY(near(again.y, s.firstRowTop(2)));
    QCOMPARE(s.textsReading(QStringLiteral("line 8")).size(), 1);
    QCOMPARE(s.textsReading(QStringLiteral("line 8")).first().page, 2);
    QVERIFY(page2.contains(QStringLiteral("r30")));
    QVERIFY(s.log.ended());
}

void tst_LVPrint::tooTallRowPrintsOnce_data() {
    QTest::addColumn<int>("before"); // short rows before the tall one
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("tallPrinted"); // pages the tall row appears on

    QTest::newRow("alone") << 0 << 0 << 1 << 1;
    QTest::newRow("first, then more") << 0 << 2 << 2 << 1;
    // Crossing the first page's bottom it goes there and, once more, alone on the next page.
    QTest::newRow("last, after others") << 3 << 0 << 2 << 2;
    QTest::newRow("in the middle") << 3 << 2 << 3 << 2;
}

void tst_LVPrint::tooTallRowPrintsOnce() {
    QFETCH(int, before);
    QFETCH(int, after);
    Sheet s;
    BoundedPrinter printer(s.log);
    s.columns({QStringLiteral("ID"), QStringLiteral("Notes")}, {300, 700});
    for (int i = 0; i < before; ++i)
        s.list.addRow({QStringLiteral("before %1").arg(i), QString()});
    s.list.addRow({QStringLiteral("tall"), linesText(QStringLiteral("line"), 60)});
    for (int i = 0; i < after; ++i)
        s.list.addRow({QStringLiteral("after %1").arg(i), QString()});

    LVPrint lv(printer, kToday);
    lv.LV = &s.list;
    QVERIFY(lv.PrintList(false));

    QTEST(s.log.pageCount(), "pages");
    QTEST(static_cast<int>(s.textsReading(QStringLiteral("tall")).size()), "tallPrinted");
    QVERIFY(s.textsReading(QStringLiteral("line 60")).isEmpty());
    for (int i = 0; i < after; ++i)
        QCOMPARE(s.textsReading(QStringLiteral("after %1").arg(i)).size(), 1);
    if (after > 0)
        QVERIFY(near(s.textsReading(QStringLiteral("after 0")).first().y, s.firstRowTop(s.log.pageCount())));
    QCOMPARE(s.log.items.last().kind, PrintItem::Kind::EndDoc);
}

void tst_LVPrint::headerFailureReturnsFalse_data() {
    QTest::addColumn<int>("failingPage");
    QTest::newRow("first page") << 1;
    QTest::newRow("second page") << 2;
}

void tst_LVPrint::headerFailureReturnsFalse() {
    QFETCH(int, failingPage);
    Sheet s;
    s.columns({QStringLiteral("ID")}, {100});
    for (int i = 1; i <= 30; ++i)
        s.list.addRow({QStringLiteral("r%1").arg(i)});
    // Every print call of this list draws one text: the date line of a page is found by its place.
    QVERIFY(s.print());
    const QString date = QLocale().toString(kToday, QLocale::LongFormat);
    const QList<PrintItem> texts = s.log.textItems();
    int call = 0;
    for (int i = 0, seen = 0; i < texts.size() && call == 0; ++i)
        if (texts[i].text == date && ++seen == failingPage)
            call = i + 1;
    QVERIFY(call > 0);

    s.log.clear();
    s.log.failOnTextNumber = call;
    QVERIFY(!s.print());
    QVERIFY(!s.log.ended());
    QCOMPARE(s.log.pageCount(), failingPage == 1 ? 0 : failingPage);
    QVERIFY(!s.log.texts(failingPage).contains(QStringLiteral("PAGE %1").arg(failingPage)));
}

void tst_LVPrint::previewPrintsAsUsual() {
    Sheet s;
    s.columns({QStringLiteral("ID")}, {100});
    s.list.addRow({QStringLiteral("r1")});
    QVERIFY(s.print(true));
    QVERIFY(s.log.findText(QStringLiteral("r1")));
    QVERIFY(s.log.ended());
}

QTEST_MAIN(tst_LVPrint)
#include "tst_lvprint.moc"
