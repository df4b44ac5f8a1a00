#include "data/Database.h"
#include "equipment/ui/FrmSearchEquipmentScanner.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "equipment/ui/frmEditEquipment.h"
#include "equipment/ui/frmSearchEquipment.h"
#include "labels/ui/Code128.h"
#include "labels/ui/PrintLabelsWindow.h"
#include "locations/ui/DisplayInformation.h"
#include "platform/Printer.h"
#include "platform/ReportList.h"
#include "records/ui/FrmDocExplorer.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace UnitFixtures;

namespace {
constexpr qint64 kStore = 70001;
constexpr int kDpi = 300;
const QList<qint64> kUnits{90001, 90002, 90003, 90004, 90005, 90006};
// The labels of kUnits, in order: the fourth unit has nothing to print, the sixth a code no scanner types back.
const QStringList kCodes{"AT-000123", "O'Brien-7", "SN-42/X", "Lab (2) #5"};

void addUnits(Database& db) {
    addLocationWithId(db, kStore, QStringLiteral("Lager Süd"));
    setAssetTag(db, addUnitWithId(db, 90001, kStore, "SN-1"), "AT-000123");
    setAssetTag(db, addUnitWithId(db, 90002, kStore, "SN-2", QStringLiteral("Écran 27\"")), "O'Brien-7");
    addUnitWithId(db, 90003, kStore, "SN-42/X", QStringLiteral("Laptop"));
    addUnitWithId(db, 90004, kStore, QString());
    setAssetTag(db, addUnitWithId(db, 90005, kStore, "SN-5"), "Lab (2) #5");
    setAssetTag(db, addUnitWithId(db, 90006, kStore, "SN-6"), QStringLiteral("Ä-12"));
}

QString missingTool() {
    for (const char* tool : {"zbarimg", "pdftoppm", "pdftotext"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QLatin1String(tool);
    return QString();
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// What zbar reads in the image, one code a line; nothing where it finds no bar code.
QStringList decoded(const QString& png) {
    return run(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), png})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList decodedIn(const QImage& page, const QRectF& mm, const QString& scratch) {
    const double px = kDpi / 25.4;
    page.copy(QRectF(mm.x() * px, mm.y() * px, mm.width() * px, mm.height() * px).toRect()).save(scratch);
    return decoded(scratch);
}

// The pages of a PDF as 300 dpi images, in order.
QStringList pageImages(const QString& pdf, const QString& folder) {
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-png"), pdf,
                                     QDir(folder).filePath(QStringLiteral("page"))});
    QStringList pages;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name))
        pages << QDir(folder).filePath(name);
    return pages;
}

QString onlyPrintout(const TestContext& t) {
    const QDir folder(QDir(t.dataDir()).filePath(QStringLiteral("Printouts")));
    const QStringList pdfs = folder.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    return pdfs.size() == 1 ? folder.filePath(pdfs.first()) : QString();
}

PrintLabelsWindow* openLabels(TestContext& t, const QList<qint64>& ids) {
    return t.navigator.printLabels(nullptr, ids) ? t.windows.last<PrintLabelsWindow>() : nullptr;
}
} // namespace

class tst_Labels : public QObject {
    Q_OBJECT
private slots:
    void printedLabelsScanAsTheirCodes_data();
    void printedLabelsScanAsTheirCodes();
    void unitsWithoutALabelAreTold();
    void codesABarCodeCannotCarry_data();
    void codesABarCodeCannotCarry();
    void barsKeepTheirQuietZones();
    void previewFollowsTheSettings();
    void barsTooThinForTheLabelAreWarnedOf();
    void listsAndDetailOpenLabelsForTheirUnits();
    void everyRowOfALongListIsAskedFirst();
};

void tst_Labels::printedLabelsScanAsTheirCodes_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QSizeF>("paper"); // millimetres
    const QSizeF a4(210, 297);
    const QSizeF letter(215.9, 279.4);
    QTest::newRow("single") << "Single label (label printer)" << 1 << 4 << QSizeF(57, 32);
    QTest::newRow("3 x 8 A4") << "3 x 8 on A4" << 1 << 1 << a4;
    QTest::newRow("3 x 10 A4 from 2") << "3 x 10 on A4" << 2 << 1 << a4;
    QTest::newRow("3 x 8 Letter") << "3 x 8 on Letter" << 1 << 1 << letter;
    QTest::newRow("3 x 10 Letter from 5") << "3 x 10 on Letter" << 5 << 1 << letter;
    QTest::newRow("3 x 8 A4 from 23, onto a second sheet") << "3 x 8 on A4" << 23 << 2 << a4;
}

void tst_Labels::printedLabelsScanAsTheirCodes() {
    QFETCH(QString, layout);
    QFETCH(int, start);
    QFETCH(int, pages);
    QFETCH(QSizeF, paper);
    if (const QString tool = missingTool(); !tool.isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed (scripts/setup --test installs it)")));
    TestContext t;
    addUnits(*t.db);
    PrintLabelsWindow* w = openLabels(t, kUnits);
    QVERIFY(w);
    w->layoutPicker()->setCurrentText(layout);
    QCOMPARE(w->layoutPicker()->currentText(), layout);
    w->startPicker()->setValue(start);
    const LabelSheet sheet = w->sheet();
    QCOMPARE(sheet.labelCount(), kCodes.size());
    QCOMPARE(sheet.pageCount(), pages);
    click(w, "cmdPrint");

    // No printer here: the labels went to a PDF, which the user is told of and shown.
    const QString pdf = onlyPrintout(t);
    QVERIFY(!pdf.isEmpty());
    QVERIFY(t.dialogs.texts().last().contains(QDir::toNativeSeparators(pdf)));
    QCOMPARE(t.shell.opened, QStringList{pdf});

    QTemporaryDir scratch;
    const QStringList images = pageImages(pdf, scratch.path());
    QCOMPARE(images.size(), pages);
    QStringList everyCode;
    QList<QImage> rendered;
    for (const QString& image : images) {
        everyCode << decoded(image);
        rendered << QImage(image);
        // The paper is the layout's: the label itself, or the sheet.
        QVERIFY(qAbs(rendered.last().width() - paper.width() * kDpi / 25.4) < 3);
        QVERIFY(qAbs(rendered.last().height() - paper.height() * kDpi / 25.4) < 3);
    }
    std::sort(everyCode.begin(), everyCode.end());
    QStringList expected = kCodes;
    std::sort(expected.begin(), expected.end());
    QCOMPARE(everyCode, expected);

    // Each label scans on its own in the cell it was given, after the cells of the used part of the sheet.
    const QString crop = QDir(scratch.path()).filePath(QStringLiteral("cell.png"));
    for (int i = 0; i < sheet.labelCount(); ++i) {
        const LabelSheet::Placement at = sheet.placement(i);
        QCOMPARE(decodedIn(rendered.at(at.page), at.cell, crop), QStringList{kCodes.at(i)});
    }
    if (start > 1)
        QCOMPARE(decodedIn(rendered.first(), sheet.layout().cell(start - 2), crop), QStringList());

    // The text under the bars: the code, the type and the location, non-ASCII letters kept.
    const QString text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).simplified();
    for (const char* words : {"AT-000123", "O'Brien-7", "Écran 27\"", "Laptop", "Lager Süd"})
        QVERIFY2(text.contains(QString::fromUtf8(words)), words);
}

void tst_Labels::unitsWithoutALabelAreTold() {
    TestContext t;
    addUnits(*t.db);
    PrintLabelsWindow* w = openLabels(t, kUnits);
    QVERIFY(w);
    const QString notes = w->notes()->text();
    QVERIFY2(notes.contains("1 unit has neither an asset tag nor a serial number and gets no label."),
             qPrintable(notes));
    QVERIFY2(notes.contains(QStringLiteral("\"Ä-12\" cannot be printed as a Code 128 bar code")), qPrintable(notes));
    QCOMPARE(w->findChild<QLabel*>("lblCount")->text(), QStringLiteral("4 labels"));

    // Nothing printable: said so, and no window.
    t.dialogs.messages.clear();
    QVERIFY(!openLabels(t, {90004, 90006, 123456}));
    QCOMPARE(t.dialogs.messages.size(), 1);
    const QString told = t.dialogs.messages.first().text;
    QVERIFY(told.contains("2 units have neither an asset tag nor a serial number and get no label."));
    QVERIFY(told.contains(QStringLiteral("Ä-12")));
    QVERIFY(told.endsWith("There are no labels to print."));
}

void tst_Labels::codesABarCodeCannotCarry_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("told");
    QTest::newRow("letter outside ASCII") << QStringLiteral("Ä-12") << QStringLiteral("\"Ä-12\" cannot be printed");
    QTest::newRow("control character") << QStringLiteral("A\tB") << QStringLiteral("\"A\tB\" cannot be printed");
    QTest::newRow("too long") << QString(49, QLatin1Char('7')) << QStringLiteral("longer than 48 characters");
    QTest::newRow("empty") << QString() << QStringLiteral("An empty code");
}

void tst_Labels::codesABarCodeCannotCarry() {
    QFETCH(QString, code);
    QFETCH(QString, told);
    try {
        Code128::encode(code);
        QFAIL("encoded");
    } catch (const PrintError& e) {
        QVERIFY2(QString::fromStdString(e.what()).contains(told), e.what());
    }
}

void tst_Labels::barsKeepTheirQuietZones() {
    // Letters only: runs of digits go two to a symbol.
    for (const QString& code : {QStringLiteral("A"), QStringLiteral("AT-X/Y'Z"), QString(48, QLatin1Char('x'))}) {
        const Code128 symbol = Code128::encode(code);
        // Start, one symbol a character and a check symbol (11 modules each), stop (13), two quiet zones (10).
        QCOMPARE(symbol.width, 11.0 * (code.size() + 2) + 13 + 20);
        const auto [first, last] = std::minmax_element(symbol.bars.cbegin(), symbol.bars.cend(),
                                                       [](const QRectF& a, const QRectF& b) { return a.x() < b.x(); });
        QCOMPARE(first->x(), 10.0);
        QCOMPARE(last->right(), symbol.width - 10);
        for (const QRectF& bar : symbol.bars)
            QVERIFY(bar.width() >= 1 && bar.width() <= 4);
    }
}

void tst_Labels::previewFollowsTheSettings() {
    TestContext t;
    addUnits(*t.db);
    PrintLabelsWindow* w = openLabels(t, kUnits);
    QVERIFY(w);
    QVERIFY(w->widthBox()->isEnabled());
    QVERIFY(!w->startPicker()->isEnabled());
    QTRY_COMPARE(w->preview()->pageCount(), 4);

    w->layoutPicker()->setCurrentText("3 x 8 on A4");
    QVERIFY(!w->widthBox()->isEnabled());
    QVERIFY(w->startPicker()->isEnabled());
    QCOMPARE(w->startPicker()->maximum(), 24);
    QTRY_COMPARE(w->preview()->pageCount(), 1);
    w->startPicker()->setValue(22);
    QTRY_COMPARE(w->preview()->pageCount(), 2);
    QCOMPARE(w->findChild<QLabel*>("lblCount")->text(), QStringLiteral("4 labels on 2 sheets"));
    w->layoutPicker()->setCurrentText("3 x 10 on Letter");
    QCOMPARE(w->startPicker()->maximum(), 30);
    QCOMPARE(w->startPicker()->value(), 22);
    QTRY_COMPARE(w->preview()->pageCount(), 1);
}

void tst_Labels::barsTooThinForTheLabelAreWarnedOf() {
    TestContext t;
    addUnits(*t.db);
    // 30 letters: 32 symbols of 11 modules, the stop and the quiet zones, 385 modules; at 0.19 mm, 73.15 mm of bars,
    // which a label has inside 3 mm on each side from 79.15 mm on.
    const QString longCode = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZABCD");
    setAssetTag(*t.db, 90004, longCode);
    PrintLabelsWindow* w = openLabels(t, {90001, 90004});
    QVERIFY(w);
    QVERIFY(!w->warning()->isHidden());
    w->widthBox()->setValue(79.2);
    QVERIFY(w->warning()->isHidden());
    w->widthBox()->setValue(79.1);
    QVERIFY(!w->warning()->isHidden());
    QCOMPARE(w->warning()->text(), QStringLiteral("At this label size the bars of ") + longCode +
                                       QStringLiteral(" are too thin to scan reliably; choose a wider label."));
    w->layoutPicker()->setCurrentText("3 x 8 on A4");
    QVERIFY(!w->warning()->isHidden());
}

void tst_Labels::listsAndDetailOpenLabelsForTheirUnits() {
    TestContext t;
    addUnits(*t.db);
    auto* list = openWindow<frmActiveEquipment>(t.ctx, nullptr);
    QVERIFY(list);
    QList<qint64> all;
    for (int row = 0; row < list->list()->rowCount(); ++row)
        all << list->list()->rowTag(row).toLongLong();
    QCOMPARE(all.size(), kUnits.size());

    QAction* entry = list->findChild<QAction*>("mnuPrintLabels");
    QVERIFY(entry);
    entry->trigger();
    QCOMPARE(t.windows.last<PrintLabelsWindow>()->unitIds, all);
    list->list()->setRowSelected(4, true);
    list->list()->setRowSelected(1, true);
    entry->trigger();
    QCOMPARE(t.windows.last<PrintLabelsWindow>()->unitIds, (QList<qint64>{all.at(1), all.at(4)}));

    auto* detail = openWindow<frmEditEquipment>(t.ctx, nullptr, [](frmEditEquipment& w) { w.Idnum = "90002"; });
    QVERIFY(detail);
    click(detail, "cmdPrintLabel");
    QCOMPARE(t.windows.last<PrintLabelsWindow>()->unitIds, QList<qint64>{90002});

    // Every other list of units carries the entry in its own menu.
    const std::vector<std::unique_ptr<QWidget>> others = [&] {
        std::vector<std::unique_ptr<QWidget>> w;
        w.push_back(std::make_unique<DisplayInformation>(t.ctx));
        w.push_back(std::make_unique<frmSearchEquipment>(t.ctx));
        w.push_back(std::make_unique<FrmSearchEquipmentScanner>(t.ctx));
        w.push_back(std::make_unique<FrmDocExplorer>(t.ctx));
        return w;
    }();
    for (const auto& window : others) {
        auto* action = window->findChild<QAction*>("mnuPrintLabels");
        QVERIFY2(action && qobject_cast<ReportList*>(action->parent()), window->metaObject()->className());
    }
}

void tst_Labels::everyRowOfALongListIsAskedFirst() {
    TestContext t;
    addLocationWithId(*t.db, kStore, QStringLiteral("Store"));
    t.db->transaction([&] {
        for (int i = 0; i < 101; ++i)
            addUnitWithId(*t.db, 100000 + i, kStore, QStringLiteral("S%1").arg(i));
    });
    auto* list = openWindow<frmActiveEquipment>(t.ctx, nullptr);
    QVERIFY(list);
    QAction* entry = list->findChild<QAction*>("mnuPrintLabels");
    t.dialogs.answer(Dialogs::Answer::No);
    entry->trigger();
    QVERIFY(!t.windows.last<PrintLabelsWindow>());
    QCOMPARE(t.dialogs.messages.last().text,
             QStringLiteral("No rows are selected. Print labels for all 101 units of the list?"));
    QCOMPARE(t.dialogs.messages.last().buttons, Dialogs::Buttons::YesNoDefaultNo);
    t.dialogs.answer(Dialogs::Answer::Yes);
    entry->trigger();
    QVERIFY(t.windows.last<PrintLabelsWindow>());
    QCOMPARE(t.windows.last<PrintLabelsWindow>()->sheet().labelCount(), 101);
    // A selection, however long, is what the user asked for.
    for (int row = 0; row < 101; ++row)
        list->list()->setRowSelected(row, true);
    entry->trigger();
    QVERIFY(t.dialogs.allAnswersUsed());
    QCOMPARE(t.dialogs.messages.size(), 2);
}

QTEST_MAIN(tst_Labels)
#include "tst_labels.moc"
