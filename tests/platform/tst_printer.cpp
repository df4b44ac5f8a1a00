#include "platform/PainterPrinter.h"
#include "support/PdfText.h"
#include "support/RecordingPrinter.h"
#include "support/TestContext.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>

using Mode = Printer::ScaleMode;

class tst_Printer : public QObject {
    Q_OBJECT
private slots:
    void recordingPrintMovesToNextLine();
    void recordingScale_data();
    void recordingScale();
    void recordingFailsOnChosenText();
    void painterWritesPdfAndOpensIt();
    void painterNamesPdfItCannotOpen();
    void painterReportsUnwritableFolder();
};

void tst_Printer::recordingPrintMovesToNextLine() {
    PrintLog log;
    RecordingPrinter p(log);
    const double line = 1.2 * 10 * 20; // 10 pt default font, in twips

    p.setCurrentX(1444);
    p.setCurrentY(2166);
    p.print(QStringLiteral("ID"));
    QCOMPARE(p.currentX(), 0.0);
    QCOMPARE(p.currentY(), 2166 + line);

    p.setCurrentX(100);
    p.setForeColor(Qt::blue);
    p.print(QStringLiteral("first\nsecond"));
    QCOMPARE(p.currentY(), 2166 + 3 * line);
    const QList<PrintItem> texts = log.textItems();
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts[0].x, 1444.0);
    QCOMPARE(texts[0].y, 2166.0);
    QCOMPARE(texts[0].color, QColor(Qt::black));
    QCOMPARE(texts[2].text, QStringLiteral("second"));
    QCOMPARE(texts[2].x, 100.0);
    QCOMPARE(texts[2].y, 2166 + 2 * line);
    QCOMPARE(texts[2].color, QColor(Qt::blue));

    p.setDrawWidth(9);
    p.line(10, 20, 300, 20);
    QCOMPARE(p.currentX(), 300.0);
    QCOMPARE(p.currentY(), 20.0);
    p.newPage();
    QCOMPARE(p.currentY(), 0.0);
    p.print(QStringLiteral("page two"));
    p.endDoc();

    QCOMPARE(log.pageCount(), 2);
    QCOMPARE(log.texts(2), QStringList{QStringLiteral("page two")});
    QCOMPARE(log.texts(2).first(), log.textItems(2).first().text);
    QCOMPARE(log.lines().size(), 1);
    QCOMPARE(log.lines().first().drawWidth, 9);
    QCOMPARE(log.lines().first().x2, 300.0);
    QVERIFY(log.ended());
    QCOMPARE(log.findText(QStringLiteral("ID"))->y, 2166.0);
}

void tst_Printer::recordingScale_data() {
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("oneInch");
    QTest::addColumn<double>("widthOfFive"); // "abcde" at 10 pt: 30 pt
    QTest::addColumn<double>("lineHeight");  // 12 pt

    QTest::newRow("twips portrait") << Mode::Twips << false << 11520.0 << 15120.0 << 1440.0 << 600.0 << 240.0;
    QTest::newRow("twips landscape") << Mode::Twips << true << 15120.0 << 11520.0 << 1440.0 << 600.0 << 240.0;
    QTest::newRow("mm portrait") << Mode::Millimetres << false << 203.2 << 266.7 << 25.4 << 30 * 25.4 / 72
                                 << 12 * 25.4 / 72;
    QTest::newRow("mm landscape") << Mode::Millimetres << true << 266.7 << 203.2 << 25.4 << 30 * 25.4 / 72
                                  << 12 * 25.4 / 72;
}

void tst_Printer::recordingScale() {
    QFETCH(Mode, mode);
    QFETCH(bool, landscape);
    PrintLog log;
    RecordingPrinter p(log);
    p.setCurrentX(1440); // one inch, in the initial twips
    p.setLandscape(landscape);
    p.setScaleMode(mode);

    QCOMPARE(p.scaleMode(), mode);
    QTEST(p.scaleWidth(), "width");
    QTEST(p.scaleHeight(), "height");
    QTEST(p.currentX(), "oneInch");
    QTEST(p.textWidth(QStringLiteral("abcde")), "widthOfFive");
    QTEST(p.textWidth(QStringLiteral("ab\nabcde\n")), "widthOfFive");
    QTEST(p.textHeight(QString()), "lineHeight");
    QCOMPARE(p.textHeight(QStringLiteral("a\nb\nc")), 3 * p.textHeight(QStringLiteral("a")));
    QCOMPARE(log.orientations, QList<bool>{landscape});
    QCOMPARE(log.scaleModes, QList<Mode>{mode});

    p.print(QStringLiteral("x"));
    QCOMPARE(log.items.first().landscape, landscape);
    QCOMPARE(log.items.first().scaleMode, mode);
}

void tst_Printer::recordingFailsOnChosenText() {
    PrintLog log;
    log.failOnTextNumber = 2;
    RecordingPrinter p(log);
    p.print(QStringLiteral("one"));
    const double y = p.currentY();
    p.setCurrentX(500);
    QVERIFY_THROWS_EXCEPTION(PrintError, p.print(QStringLiteral("two")));
    QCOMPARE(p.currentX(), 500.0);
    QCOMPARE(p.currentY(), y);
    p.print(QStringLiteral("three"));
    QCOMPARE(log.texts(), (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
}

void tst_Printer::painterWritesPdfAndOpensIt() {
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("a printer is installed: printouts would go to it");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    FakeShell shell;
    ScriptedDialogs dialogs;
    QStringList written;

    for (int document = 1; document <= 2; ++document) {
        PainterPrinter p(dir.path(), shell, dialogs);
        p.setLandscape(true);
        QVERIFY(p.scaleWidth() > p.scaleHeight());
        p.setScaleMode(Mode::Millimetres);
        const double widthMm = p.scaleWidth();
        p.setScaleMode(Mode::Twips);
        QVERIFY(qAbs(p.scaleWidth() / 1440 * 25.4 - widthMm) < 0.01);

        const QString first = QStringLiteral("Listing of current locations %1").arg(document);
        QVERIFY(p.textWidth(first) > p.textWidth(QStringLiteral("Listing")));
        QCOMPARE(p.textHeight(QStringLiteral("a\nb")), 2 * p.textHeight(QStringLiteral("a")));
        QVERIFY(p.outputFile().isEmpty());
        p.setCurrentX(1444);
        p.setCurrentY(1444);
        p.print(first);
        QCOMPARE(p.currentX(), 0.0);
        QCOMPARE(p.currentY(), 1444 + p.textHeight(first));
        p.setDrawWidth(9);
        p.line(1444, 2000, 10000, 2000);
        p.newPage();
        p.print(QStringLiteral("Second page"));
        QVERIFY(shell.opened.size() == document - 1);
        QVERIFY(dialogs.messages.size() == document - 1);
        p.endDoc();

        QVERIFY(!written.contains(p.outputFile()));
        written << p.outputFile();
        QCOMPARE(shell.opened, written);
        QCOMPARE(dialogs.messages.size(), document);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("No printer is available. The printout was saved as %1.")
                                                   .arg(QDir::toNativeSeparators(p.outputFile())));
        QCOMPARE(dialogs.messages.last().icon, Dialogs::Icon::Information);
    }

    const QDir printouts(dir.filePath(QStringLiteral("Printouts")));
    QCOMPARE(printouts.entryList(QDir::Files).size(), 2);
    for (const QString& path : written) {
        QCOMPARE(QFileInfo(path).absolutePath(), printouts.absolutePath());
        QVERIFY2(QRegularExpression(QStringLiteral("^Kavrel-\\d{8}-\\d{6}-\\d{3}(-\\d+)?\\.pdf$"))
                     .match(QFileInfo(path).fileName())
                     .hasMatch(),
                 qPrintable(path));
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(4) == "%PDF");
    }

    const QHash<QString, QRectF> first = pdfWords(written.first(), 1);
    if (first.isEmpty())
        QSKIP("pdftotext is not installed: the PDF's content is not checked");
    const QHash<QString, QRectF> second = pdfWords(written.first(), 2);
    QVERIFY(first.contains(QStringLiteral("Listing")) && first.contains(QStringLiteral("locations")));
    QVERIFY(second.contains(QStringLiteral("Second")) && !second.contains(QStringLiteral("Listing")));
    QVERIFY(first.value(QString()).width() > first.value(QString()).height());

    // "Second" has its top left at the printable area's origin, "Listing" one inch in from there (1444 twips).
    QPrinter reference(QPrinter::HighResolution);
    reference.setOutputFormat(QPrinter::PdfFormat);
    reference.setPageOrientation(QPageLayout::Landscape);
    const QPointF origin = reference.pageLayout().paintRect(QPageLayout::Point).topLeft();
    const QPointF at = second.value(QStringLiteral("Second")).topLeft();
    QVERIFY2(qAbs(at.x() - origin.x()) < 1 && qAbs(at.y() - origin.y()) < 1,
             qPrintable(QStringLiteral("%1 %2").arg(at.x()).arg(at.y())));
    const QPointF shift = first.value(QStringLiteral("Listing")).topLeft() - at;
    QVERIFY2(qAbs(shift.x() - 72.2) < 0.5 && qAbs(shift.y() - 72.2) < 0.5,
             qPrintable(QStringLiteral("%1 %2").arg(shift.x()).arg(shift.y())));
}

void tst_Printer::painterNamesPdfItCannotOpen() {
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("a printer is installed: printouts would go to it");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    FakeShell shell;
    shell.succeed = false;
    ScriptedDialogs dialogs;

    PainterPrinter p(dir.path(), shell, dialogs);
    p.endDoc(); // nothing drawn, nothing saved
    QVERIFY(dialogs.messages.isEmpty());
    p.print(QStringLiteral("kept"));
    p.endDoc();
    QVERIFY(QFileInfo::exists(p.outputFile()));
    QCOMPARE(shell.opened, QStringList{p.outputFile()});
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("No printer is available. The printout was saved as %1. It "
                                                         "could not be opened with a PDF viewer.")
                                              .arg(QDir::toNativeSeparators(p.outputFile()))});
}

void tst_Printer::painterReportsUnwritableFolder() {
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("a printer is installed: printouts would go to it");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A file where the folder should be fails even for a user who may write anywhere.
    QFile blocker(dir.filePath(QStringLiteral("Printouts")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    FakeShell shell;
    ScriptedDialogs dialogs;

    PainterPrinter p(dir.path(), shell, dialogs);
    QVERIFY_THROWS_EXCEPTION(PrintError, p.print(QStringLiteral("lost")));
    QVERIFY_THROWS_EXCEPTION(PrintError, p.line(0, 0, 100, 100));
    p.endDoc();
    QVERIFY(shell.opened.isEmpty());
    QVERIFY(dialogs.messages.isEmpty());
}

QTEST_MAIN(tst_Printer)
#include "tst_printer.moc"
