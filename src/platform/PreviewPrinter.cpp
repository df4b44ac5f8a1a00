#include "platform/PreviewPrinter.h"
#include "platform/PrinterUnits.h"

#include "platform/ProductTitle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <algorithm>

void PreviewPrinter::showPreviewDialog(PreviewPrinter& document) {
    QPrintPreviewDialog dialog(&document.printer());
    dialog.setWindowTitle(kProductTitle);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&document](QPrinter* target) { document.render(target); });
    dialog.exec();
}

PreviewPrinter::PreviewPrinter(Presenter present) : m_present(std::move(present)) {
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    m_printer = target.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                : std::make_unique<QPrinter>(target, QPrinter::HighResolution);
    if (target.isNull())
        m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setDocName(kProductTitle);
    m_printer->setCreator(kProductTitle);
}

PreviewPrinter::~PreviewPrinter() = default;

double PreviewPrinter::unitsPerInch() const { return ::unitsPerInch(m_mode); }

double PreviewPrinter::deviceUnitsPerInchY() const {
    return m_printer->logicalDpiY() / unitsPerInch();
}

void PreviewPrinter::setLandscape(bool landscape) {
    m_printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void PreviewPrinter::setScaleMode(ScaleMode mode) {
    const double factor = ::unitsPerInch(mode) / unitsPerInch();
    m_x *= factor;
    m_y *= factor;
    m_mode = mode;
}

double PreviewPrinter::scaleWidth() const {
    return m_printer->pageRect(QPrinter::Inch).width() * unitsPerInch();
}

double PreviewPrinter::scaleHeight() const {
    return m_printer->pageRect(QPrinter::Inch).height() * unitsPerInch();
}

double PreviewPrinter::textWidth(const QString& text) const {
    const QFontMetricsF fm(toQFont(m_font), m_printer.get());
    qreal widest = 0;
    for (const QString& line : printedLines(text))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest / m_printer->logicalDpiX() * unitsPerInch();
}

double PreviewPrinter::textHeight(const QString& text) const {
    const QFontMetricsF fm(toQFont(m_font), m_printer.get());
    return printedLines(text).size() * fm.lineSpacing() / deviceUnitsPerInchY();
}

QList<PreviewPrinter::Mark>& PreviewPrinter::currentPage() {
    if (m_pages.isEmpty())
        m_pages.append(QList<Mark>());
    return m_pages.last();
}

void PreviewPrinter::print(const QString& text) {
    const double lineHeight = textHeight(QString());
    for (const QString& line : printedLines(text)) {
        currentPage().append(
            Mark{true, QPointF(m_x, m_y) / unitsPerInch(), QPointF(), line, m_font, m_color, m_drawWidth});
        m_y += lineHeight;
    }
    m_x = 0;
}

void PreviewPrinter::line(double x1, double y1, double x2, double y2) {
    currentPage().append(Mark{false, QPointF(x1, y1) / unitsPerInch(), QPointF(x2, y2) / unitsPerInch(), QString(),
                              m_font, m_color, m_drawWidth});
    m_x = x2;
    m_y = y2;
}

void PreviewPrinter::newPage() {
    currentPage();
    m_pages.append(QList<Mark>());
    m_x = 0;
    m_y = 0;
}

void PreviewPrinter::endDoc() {
    m_x = 0;
    m_y = 0;
    if (m_pages.isEmpty())
        return;
    // The next drawing starts a new document even when showing this one fails.
    const auto clear = qScopeGuard([this] { m_pages.clear(); });
    if (m_present)
        m_present(*this);
}

void PreviewPrinter::render(QPrinter* target) const {
    QPainter painter;
    if (!painter.begin(target))
        return;
    const double dpiX = target->logicalDpiX();
    const double dpiY = target->logicalDpiY();
    for (qsizetype page = 0; page < m_pages.size(); ++page) {
        if (page > 0)
            target->newPage();
        for (const Mark& mark : m_pages.at(page)) {
            // Width 0 would be Qt's cosmetic pen; a printer line is never thinner than one dot.
            painter.setPen(QPen(mark.color, std::max(1, mark.drawWidth)));
            const QPointF from(mark.from.x() * dpiX, mark.from.y() * dpiY);
            if (mark.isText) {
                painter.setFont(toQFont(mark.font));
                painter.drawText(from + QPointF(0, QFontMetricsF(painter.font(), target).ascent()), mark.text);
            } else {
                painter.drawLine(from, QPointF(mark.to.x() * dpiX, mark.to.y() * dpiY));
            }
        }
    }
    painter.end();
}
