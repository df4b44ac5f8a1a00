#include "platform/PreviewPrinter.h"
#include "support/PdfText.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_PreviewPrinter : public QObject {
    Q_OBJECT
private slots:
    void showsEachDocumentOnce();
    void rendersWhatWasDrawn();
    void dialogShowsThePages();
};

void tst_PreviewPrinter::showsEachDocumentOnce() {
    QList<int> shownPages;
    PreviewPrinter p([&](PreviewPrinter& document) { shownPages << document.pageCount(); });
    p.endDoc();
    QVERIFY(shownPages.isEmpty());

    p.setScaleMode(Printer::ScaleMode::Millimetres);
    QCOMPARE(p.textHeight(QStringLiteral("a\nb")), 2 * p.textHeight(QStringLiteral("a")));
    p.print(QStringLiteral("one"));
    QCOMPARE(p.currentY(), p.textHeight(QStringLiteral("one")));
    p.newPage();
    p.line(0, 0, 10, 10);
    p.endDoc();
    p.print(QStringLiteral("next document"));
    p.endDoc();
    QCOMPARE(shownPages, (QList<int>{2, 1}));
}

void tst_PreviewPrinter::rendersWhatWasDrawn() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("preview.pdf"));
    PreviewPrinter p([&](PreviewPrinter& document) {
        // What a preview dialog does when it paints.
        QPrinter target(QPrinter::HighResolution);
        target.setOutputFormat(QPrinter::PdfFormat);
        target.setOutputFileName(pdf);
        target.setPageLayout(document.printer().pageLayout());
        document.render(&target);
    });
    p.setLandscape(true);
    QVERIFY(p.scaleWidth() > p.scaleHeight());
    p.setCurrentX(1440);
    p.setCurrentY(1440);
    p.print(QStringLiteral("Inset"));
    p.setDrawWidth(9);
    p.line(0, 2000, 5000, 2000);
    p.newPage();
    p.print(QStringLiteral("Second"));
    p.endDoc();

    QVERIFY(QFileInfo(pdf).size() > 0);
    const QHash<QString, QRectF> first = pdfWords(pdf, 1);
    if (first.isEmpty())
        QSKIP("pdftotext is not installed: the PDF's content is not checked");
    const QHash<QString, QRectF> second = pdfWords(pdf, 2);
    QVERIFY(first.contains(QStringLiteral("Inset")) && !first.contains(QStringLiteral("Second")));
    QVERIFY(second.contains(QStringLiteral("Second")));
    // One inch (72 points) in from where the second page's text starts.
    const QPointF shift =
        first.value(QStringLiteral("Inset")).topLeft() - second.value(QStringLiteral("Second")).topLeft();
    QVERIFY2(qAbs(shift.x() - 72) < 1 && qAbs(shift.y() - 72) < 1,
             qPrintable(QStringLiteral("%1 %2").arg(shift.x()).arg(shift.y())));
}

void tst_PreviewPrinter::dialogShowsThePages() {
    int previewPages = -1;
    // The dialog is modal: it is read and closed from inside its own event loop.
    QTimer::singleShot(0, this, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (auto* preview = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr) {
            previewPages = preview->pageCount();
            QCOMPARE(preview->orientation(), QPageLayout::Landscape);
        }
        if (dialog)
            dialog->close();
    });
    PreviewPrinter p;
    p.setLandscape(true);
    p.print(QStringLiteral("first"));
    p.newPage();
    p.print(QStringLiteral("second"));
    p.endDoc();
    QCOMPARE(previewPages, 2);
}

QTEST_MAIN(tst_PreviewPrinter)
#include "tst_previewprinter.moc"
