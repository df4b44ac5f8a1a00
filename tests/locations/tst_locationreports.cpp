#include "data/DateText.h"
#include "locations/ui/LocationReports.h"
#include "support/LocaleScope.h"
#include "support/RecordingPrinter.h"

#include <QLocale>
#include <QTest>
#include <algorithm>
#include <map>

namespace {
const QDate kToday(2026, 3, 14);
const QDateTime kNow(kToday, QTime(9, 30));
const double kColumns[] = {1444, 1900, 4776, 6664, 8664, 10664};
const QStringList kHeaders = {QStringLiteral("ID"),           QStringLiteral("Location Name"),
                              QStringLiteral("City"),         QStringLiteral("State"),
                              QStringLiteral("Phone Number"), QStringLiteral("Equipment Count")};

QStringList locationRow(int id) {
    return {QString::number(id),    QStringLiteral("Site %1").arg(id),  QStringLiteral("Town"),
            QStringLiteral("Ohio"), QStringLiteral("555-01%1").arg(id), QString::number(id % 3)};
}

QList<QStringList> locationRows(int count) {
    QList<QStringList> rows;
    for (int id = 1; id <= count; ++id)
        rows << locationRow(id);
    return rows;
}

// The text items of one page at column x, top to bottom.
QList<PrintItem> atX(const PrintLog& log, int page, double x) {
    QList<PrintItem> found;
    for (const PrintItem& t : log.textItems(page))
        if (t.x == x)
            found << t;
    return found;
}

// Checks that the page holds the six cells of `cells` side by side at y.
void verifyRow(const PrintLog& log, int page, double y, const QStringList& cells) {
    int matched = 0;
    for (const PrintItem& t : log.textItems(page))
        for (int i = 0; i < 6; ++i)
            if (t.y == y && t.x == kColumns[i] && t.text == cells.value(i))
                ++matched;
    QVERIFY2(matched == 6, qPrintable(QStringLiteral("%1 at page %2, y %3").arg(cells.join(u'|')).arg(page).arg(y)));
}

void verifyTitle(const PrintLog& log, const QString& text) {
    const QList<PrintItem> texts = log.textItems(1);
    QVERIFY(!texts.isEmpty());
    QCOMPARE(texts.first().text, text);
    QCOMPARE(texts.first().x, 1444.0);
    QCOMPARE(texts.first().y, 1444.0);
    QCOMPARE(texts.first().scaleMode, Printer::ScaleMode::Twips);
    QVERIFY(texts.first().landscape);
}

QString shortDate() {
    return DateText::toShort(kToday);
}

// Fails when a text runs into the text printed next to it on its line, or past the page's right edge.
void verifyNoOverrun(const PrintLog& log) {
    const double pageRight = RecordingPrinter::inchesToScale(
        RecordingPrinter::kPageHeightInches - 2 * RecordingPrinter::kMarginInches, Printer::ScaleMode::Twips);
    const QList<PrintItem> texts = log.textItems();
    for (const PrintItem& t : texts) {
        double right = pageRight;
        for (const PrintItem& other : texts)
            if (other.page == t.page && other.y == t.y && other.x > t.x)
                right = std::min(right, other.x);
        const double end = t.x + RecordingPrinter::textWidthOf(t.text, t.font, t.scaleMode);
        QVERIFY2(end <= right, qPrintable(QStringLiteral("%1 ends at %2, beyond %3").arg(t.text).arg(end).arg(right)));
    }
}

// Fails unless some printed text is a shortened, non-empty start of `full`.
void verifyCut(const PrintLog& log, const QString& full) {
    for (const PrintItem& t : log.textItems())
        if (!t.text.isEmpty() && t.text.size() < full.size() && full.startsWith(t.text))
            return;
    QFAIL(qPrintable(QStringLiteral("no cut print of %1").arg(full)));
}
} // namespace

class tst_LocationReports : public QObject {
    Q_OBJECT
private slots:
    void titles_data();
    void titles();
    void listingPages_data();
    void listingPages();
    void detailListingBreaksUnderHeader();
    void detailReport_data();
    void detailReport();
    void listingsCutLongCells_data();
    void listingsCutLongCells();
    void detailReportCutsLongTexts();
    void datesHaveFourDigitYears_data();
    void datesHaveFourDigitYears();
};

void tst_LocationReports::titles_data() {
    QTest::addColumn<bool>("detail");
    QTest::addColumn<bool>("selectedOnly");
    QTest::addColumn<QString>("title");
    QTest::newRow("Print All") << false << false << QStringLiteral("Listing of current locations as of ");
    QTest::newRow("Print Select") << false << true << QStringLiteral("Listing of selected current locations as of ");
    QTest::newRow("Print All Details") << true << false << QStringLiteral("Detail listing of current locations as of ");
    QTest::newRow("Print Select Details")
        << true << true << QStringLiteral("Detail listing of selected current locations as of ");
}

void tst_LocationReports::titles() {
    QFETCH(bool, detail);
    QFETCH(bool, selectedOnly);
    QFETCH(QString, title);
    PrintLog log;
    RecordingPrinter printer(log);
    // Nothing selected: the title and, in the plain listings, the header row.
    if (detail)
        printLocationDetailListing(printer, {}, selectedOnly, kToday,
                                   [](qint64) { return std::vector<TypeCountRow>(); });
    else
        printLocationListing(printer, {}, selectedOnly, kToday);
    verifyTitle(log, title + shortDate());
    QCOMPARE(log.pageCount(), 1);
    QVERIFY(log.ended());
    if (detail) {
        QCOMPARE(log.textItems().size(), 1);
    } else {
        QCOMPARE(log.textItems().size(), 7);
        verifyRow(log, 1, 2166, kHeaders);
    }
}

void tst_LocationReports::listingPages_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("perPage"); // location rows on each page
    QTest::newRow("one page") << 5 << QList<int>{5};
    // The 23rd row fills the page, and a page with only the header row follows.
    QTest::newRow("first page full") << 23 << QList<int>{23, 0};
    QTest::newRow("three pages") << 51 << QList<int>{23, 25, 3};
}

void tst_LocationReports::listingPages() {
    QFETCH(int, rows);
    QFETCH(QList<int>, perPage);
    PrintLog log;
    RecordingPrinter printer(log);
    const QList<QStringList> data = locationRows(rows);
    printLocationListing(printer, data, false, kToday);

    QCOMPARE(log.pageCount(), perPage.size());
    int next = 0;
    for (int page = 1; page <= perPage.size(); ++page) {
        const double headerY = page == 1 ? 2166 : 1444;
        const QList<PrintItem> ids = atX(log, page, kColumns[0]).mid(page == 1 ? 1 : 0); // past the title
        QCOMPARE(ids.size(), perPage[page - 1] + 1);
        verifyRow(log, page, headerY, kHeaders);
        for (int k = 0; k < perPage[page - 1]; ++k)
            verifyRow(log, page, headerY + (k + 1) * 361, data[next++]);
    }
    QCOMPARE(next, rows);
    QVERIFY(log.ended());
}

void tst_LocationReports::detailListingBreaksUnderHeader() {
    // Location 1 has no equipment; the others two types each, so the 24th line, which fills the first page, is the
    // first type line of location 9.
    std::map<qint64, std::vector<TypeCountRow>> counts;
    counts[2] = {{2, QStringLiteral("Desk&nbsp;top")}, {0, QVariant()}};
    for (qint64 id = 3; id <= 12; ++id)
        counts[id] = {{3, QStringLiteral("Desktop")}, {1, QStringLiteral("Printer&nbsp;Laser")}};
    QList<qint64> asked;
    PrintLog log;
    RecordingPrinter printer(log);
    const QList<QStringList> data = locationRows(12);
    printLocationDetailListing(printer, data, false, kToday, [&](qint64 id) {
        asked << id;
        return counts[id];
    });

    QCOMPARE(asked, (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    QCOMPARE(log.pageCount(), 2);
    QVERIFY(!log.texts(1).contains(QStringLiteral("Equipment Count")));
    verifyRow(log, 1, 2166, data[0]);
    verifyRow(log, 1, 2527, data[1]);
    const QList<PrintItem> types = atX(log, 1, 2500);
    const QList<PrintItem> numbers = atX(log, 1, 7300);
    QCOMPARE(types.size(), numbers.size());
    QCOMPARE(types[0].text, QStringLiteral("Desk top"));
    QCOMPARE(types[0].y, 2888.0);
    QCOMPARE(numbers[0].text, QStringLiteral("2"));
    QCOMPARE(numbers[0].y, 2888.0);
    QCOMPARE(types[1].text, QString());
    QCOMPARE(numbers[1].text, QStringLiteral("0"));
    QCOMPARE(numbers[1].y, 3249.0);
    verifyRow(log, 1, 3610, data[2]);
    QCOMPARE(types.last().y, 2166 + 23 * 361.0);
    QCOMPARE(types.last().text, QStringLiteral("Desktop"));

    // The second page opens with the header row at 1805 and goes on where the first stopped.
    const QList<PrintItem> page2 = log.textItems(2);
    QCOMPARE(page2.first().text, QStringLiteral("ID"));
    verifyRow(log, 2, 1805, kHeaders);
    QCOMPARE(page2.at(6).text, QStringLiteral("Printer Laser"));
    QCOMPARE(page2.at(6).x, 2500.0);
    QCOMPARE(page2.at(6).y, 2166.0);
    verifyRow(log, 2, 2527, data[9]);
    QVERIFY(log.ended());
}

void tst_LocationReports::detailReport_data() {
    QTest::addColumn<int>("counts");
    QTest::addColumn<int>("equipment");
    QTest::addColumn<int>("pages");
    QTest::addColumn<double>("firstEquipmentY");
    QTest::addColumn<int>("equipmentOnFirstPage");

    QTest::newRow("nothing below the blocks") << 0 << 0 << 1 << 0.0 << 0;
    // Equipment starts at 5415 + 2 x 361 + 722; the 11th line brings y to 10830.
    QTest::newRow("two counts") << 2 << 13 << 2 << 6859.0 << 11;
    // 15 counts fill the first page; the 16th goes to 1444 on the next.
    QTest::newRow("counts across pages") << 16 << 1 << 2 << 1444.0 + 361 + 722 << 0;
}

void tst_LocationReports::detailReport() {
    QFETCH(int, counts);
    QFETCH(int, equipment);
    QFETCH(int, equipmentOnFirstPage);
    LocationDetailReport r;
    r.name = QStringLiteral("Main Office");
    r.addressOne = QStringLiteral("1 High St");
    r.addressTwo = QStringLiteral("Floor 2");
    r.city = QStringLiteral("Columbus");
    r.state = QStringLiteral("Ohio");
    r.zip = QStringLiteral("43004");
    r.contact = {QStringLiteral("Ann"),
                 QStringLiteral("B"),
                 QStringLiteral("Cole"),
                 QStringLiteral("Manager"),
                 QStringLiteral("555-0100"),
                 QStringLiteral("555-0199"),
                 QStringLiteral("ann@example.com")};
    for (int i = 1; i <= counts; ++i)
        r.typeCounts.append({QString::number(i), QStringLiteral("Type %1").arg(i)});
    for (int i = 1; i <= equipment; ++i)
        r.equipment.append({QString::number(100 + i), QStringLiteral("SN%1").arg(i), QStringLiteral("M%1").arg(i)});
    PrintLog log;
    RecordingPrinter printer(log);
    printLocationDetailReport(printer, r, kNow);

    QTEST(log.pageCount(), "pages");
    QVERIFY(log.ended());
    const QList<PrintItem> page1 = log.textItems(1);
    verifyTitle(log, QStringLiteral("Detailed Location information including statictal and equipment listing as of ") +
                         shortDate() + u' ' + QLocale().toString(kNow.time(), QLocale::ShortFormat));
    const QStringList left = {QStringLiteral("For Main Office"),
                              QStringLiteral("Company Name: Main Office"),
                              QStringLiteral("Address One: 1 High St"),
                              QStringLiteral("Address Two: Floor 2"),
                              QStringLiteral("City: Columbus"),
                              QStringLiteral("State: Ohio"),
                              QStringLiteral("Zip: 43004")};
    const QStringList right = {QStringLiteral("First Name:Ann"),
                               QStringLiteral("Middle Name: B"),
                               QStringLiteral("Last Name: Cole"),
                               QStringLiteral("Title: Manager"),
                               QStringLiteral("Phone Number: 555-0100"),
                               QStringLiteral("Cell Phone Number: 555-0199"),
                               QStringLiteral("Email Address: ann@example.com")};
    for (int k = 0; k < left.size(); ++k) {
        const PrintItem* t = log.findText(left[k]);
        QVERIFY2(t && t->page == 1 && t->x == 1444 && t->y == (k == 0 ? 1805 : 2527 + (k - 1) * 361.0),
                 qPrintable(left[k]));
    }
    for (int k = 0; k < right.size(); ++k) {
        const PrintItem* t = log.findText(right[k]);
        QVERIFY2(t && t->page == 1 && t->x == 7664 && t->y == 2527 + k * 361.0, qPrintable(right[k]));
    }
    QCOMPARE(page1.size(), 1 + left.size() + right.size() + 2 * std::min(counts, 15) + 3 * equipmentOnFirstPage);

    // Counts run down from 5415, a new page starting once y reaches 10635.
    for (int i = 1; i <= counts; ++i) {
        const PrintItem* count = log.findText(QString::number(i));
        const PrintItem* type = log.findText(QStringLiteral("Type %1").arg(i));
        QVERIFY(count && type);
        QCOMPARE(count->x, 1900.0);
        QCOMPARE(type->x, 4776.0);
        QCOMPARE(type->y, count->y);
        QCOMPARE(count->page, i <= 15 ? 1 : 2);
        QCOMPARE(count->y, i <= 15 ? 5415 + (i - 1) * 361.0 : 1444 + (i - 16) * 361.0);
    }
    for (int i = 1; i <= equipment; ++i) {
        const PrintItem* unit = log.findText(QStringLiteral("Equipment: %1").arg(100 + i));
        const PrintItem* serial = log.findText(QStringLiteral("SN: SN%1").arg(i));
        const PrintItem* model = log.findText(QStringLiteral("Model: M%1").arg(i));
        QVERIFY(unit && serial && model);
        QCOMPARE(unit->x, 1444.0);
        QCOMPARE(serial->x, 6664.0);
        QCOMPARE(model->x, 9664.0);
        QVERIFY(serial->y == unit->y && model->y == unit->y && serial->page == unit->page);
        if (i == 1)
            QTEST(unit->y, "firstEquipmentY");
        if (i > equipmentOnFirstPage) {
            QCOMPARE(unit->page, 2);
            if (equipmentOnFirstPage > 0)
                QCOMPARE(unit->y, 1444 + (i - equipmentOnFirstPage - 1) * 361.0);
        } else {
            QCOMPARE(unit->page, 1);
            QCOMPARE(unit->y, 6859 + (i - 1) * 361.0);
        }
    }
}

void tst_LocationReports::listingsCutLongCells_data() {
    QTest::addColumn<bool>("detail");
    QTest::newRow("listing") << false;
    QTest::newRow("detail listing") << true;
}

void tst_LocationReports::listingsCutLongCells() {
    QFETCH(bool, detail);
    const QStringList longRow = {QStringLiteral("123456"),
                                 QStringLiteral("Northwest Regional Distribution Center Annex"),
                                 QStringLiteral("Saint Petersburg Beach Heights"),
                                 QStringLiteral("North Carolina and beyond"),
                                 QStringLiteral("555-0100 extension 4455 after hours"),
                                 QStringLiteral("1234567890123456789012345678901234567890")};
    // An accented letter written as a letter and a combining mark is one character: it is never cut in two.
    const QString accented = QStringLiteral("e\u0301").repeated(30);
    const QList<QStringList> rows = {
        longRow, {QStringLiteral("7"), accented, QStringLiteral("Town"), QString(), QString(), QStringLiteral("1")}};
    const QString longType = QStringLiteral("Workstation with docking station, two monitors");
    PrintLog log;
    RecordingPrinter printer(log);
    if (detail)
        printLocationDetailListing(printer, rows, false, kToday, [&](qint64) {
            return std::vector<TypeCountRow>{{1234567, longType}};
        });
    else
        printLocationListing(printer, rows, false, kToday);

    verifyNoOverrun(log);
    for (const QString& cell : longRow)
        verifyCut(log, cell);
    // 2876 twips between the name and city columns hold 23 characters of 120 twips.
    QVERIFY(log.findText(longRow[1].left(23)));
    const PrintItem* cutAccents = log.findText(accented.left(22));
    QVERIFY(cutAccents);
    QCOMPARE(cutAccents->x, 1900.0);
    if (detail) {
        verifyCut(log, longType);
        QVERIFY(log.findText(QStringLiteral("1234567")));
    }
}

void tst_LocationReports::detailReportCutsLongTexts() {
    LocationDetailReport r;
    r.name = QStringLiteral("Northwest Regional Distribution Center Annex of the Eastern Division");
    r.addressOne = QStringLiteral("12345 North Industrial Park Boulevard, Building C");
    r.city = QStringLiteral("Saint Petersburg Beach Heights");
    r.contact.email = QStringLiteral("facilities.coordinator.northwest.region@example.com");
    r.typeCounts.append({QStringLiteral("123456789012345678901234567890"),
                         QStringLiteral("Workstation with docking station, two monitors, a keyboard, a mouse "
                                        "and a headset for the front desk")});
    r.equipment.append({QStringLiteral("1234567890").repeated(4), QStringLiteral("SERIAL-0000-1111-2222-3333-4444"),
                        QStringLiteral("Model with a very long name indeed, too long for the page")});
    PrintLog log;
    RecordingPrinter printer(log);
    printLocationDetailReport(printer, r, kNow);

    verifyNoOverrun(log);
    for (const QString& full :
         {QStringLiteral("Company Name: ") + r.name, QStringLiteral("Address One: ") + r.addressOne,
          QStringLiteral("Email Address: ") + r.contact.email, r.typeCounts[0].count, r.typeCounts[0].type,
          QStringLiteral("Equipment: ") + r.equipment[0].id, QStringLiteral("SN: ") + r.equipment[0].serialNumber,
          QStringLiteral("Model: ") + r.equipment[0].modelNumber})
        verifyCut(log, full);
    QVERIFY(log.findText(QStringLiteral("City: ") + r.city));
    QVERIFY(log.findText(QStringLiteral("For ") + r.name));
}

void tst_LocationReports::datesHaveFourDigitYears_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("date");
    QTest::newRow("en_US") << "en_US"
                           << "3/14/2026";
    QTest::newRow("de_DE") << "de_DE"
                           << "14.03.2026";
    QTest::newRow("it_IT") << "it_IT"
                           << "14/03/2026";
}

void tst_LocationReports::datesHaveFourDigitYears() {
    QFETCH(QString, locale);
    QFETCH(QString, date);
    LocaleScope scope(locale);
    PrintLog log;
    RecordingPrinter printer(log);
    printLocationListing(printer, {}, false, kToday);
    printLocationDetailListing(printer, {}, true, kToday, [](qint64) { return std::vector<TypeCountRow>(); });
    printLocationDetailReport(printer, LocationDetailReport(), kNow);
    const QStringList texts = log.texts();
    QCOMPARE(texts.value(0), QStringLiteral("Listing of current locations as of ") + date);
    QVERIFY(texts.contains(QStringLiteral("Detail listing of selected current locations as of ") + date));
    const QString prefix =
        QStringLiteral("Detailed Location information including statictal and equipment listing as of ");
    const auto report =
        std::find_if(texts.begin(), texts.end(), [&](const QString& t) { return t.startsWith(prefix); });
    QVERIFY(report != texts.end());
    QVERIFY2(report->startsWith(prefix + date + u' '), qPrintable(*report));
}

QTEST_MAIN(tst_LocationReports)
#include "tst_locationreports.moc"
