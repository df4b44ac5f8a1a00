#include "platform/PainterPrinter.h"

#include "platform/Dialogs.h"
#include "platform/PrintoutFile.h"
#include "platform/ProductTitle.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

PainterPrinter::PainterPrinter(const QString& dataDir, Shell& shell, Dialogs& dialogs)
    : m_dataDir(dataDir), m_shell(shell), m_dialogs(dialogs) {
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    m_toPdf = target.isNull();
    m_printer = m_toPdf ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                        : std::make_unique<QPrinter>(target, QPrinter::HighResolution);
    if (m_toPdf)
        m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setDocName(kProductTitle);
    m_printer->setCreator(kProductTitle);
    // The resolution is fixed once the printer is made; asking the device each time costs a call into its engine.
    m_dpiX = m_printer->logicalDpiX();
    m_dpiY = m_printer->logicalDpiY();
}

PainterPrinter::~PainterPrinter() {
    // A document left open (a printout that failed half way) goes out as far as it got, but is not shown.
    if (m_painter.isActive())
        m_painter.end();
}

void PainterPrinter::setLandscape(bool landscape) {
    // Once the document has begun, Qt applies this from the next page on.
    m_printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    m_pageSize.reset();
}

void PainterPrinter::setScaleMode(ScaleMode mode) {
    const double factor = unitsPerInch(mode) / unitsPerInch(m_mode);
    m_x *= factor;
    m_y *= factor;
    m_mode = mode;
}

// Only the orientation changes the printable page; the printer works it out anew from the layout on every call.
QSizeF PainterPrinter::pageSize() const {
    if (!m_pageSize)
        m_pageSize = m_printer->pageRect(QPrinter::DevicePixel).size();
    return *m_pageSize;
}

double PainterPrinter::scaleWidth() const {
    return pageSize().width() / pixelsPerUnitX();
}

double PainterPrinter::scaleHeight() const {
    return pageSize().height() / pixelsPerUnitY();
}

PainterPrinter::FontCache& PainterPrinter::fontCache() const {
    if (m_currentFont != nullptr)
        return *m_currentFont;
    for (const std::unique_ptr<FontCache>& cache : m_fonts)
        if (cache->font == m_font)
            return *(m_currentFont = cache.get());
    const QFont qfont = toQFont(m_font);
    m_fonts.push_back(std::make_unique<FontCache>(FontCache{m_font, qfont, QFontMetricsF(qfont, m_printer.get()), {}}));
    return *(m_currentFont = m_fonts.back().get());
}

qreal PainterPrinter::lineWidth(const QString& line) const {
    // Bounded, so that a long printout of unique values (serial numbers) does not keep every one of them.
    constexpr qsizetype kMostWidths = 8192;
    FontCache& cache = fontCache();
    const auto found = cache.widths.constFind(line);
    if (found != cache.widths.constEnd())
        return *found;
    const qreal width = cache.metrics.horizontalAdvance(line);
    if (cache.widths.size() >= kMostWidths)
        cache.widths.clear();
    cache.widths.insert(line, width);
    return width;
}

double PainterPrinter::textWidth(const QString& text) const {
    if (!text.contains(QLatin1Char('\n')))
        return lineWidth(text) / pixelsPerUnitX();
    qreal widest = 0;
    for (const QString& line : printedLines(text))
        widest = std::max(widest, lineWidth(line));
    return widest / pixelsPerUnitX();
}

double PainterPrinter::textHeight(const QString& text) const {
    // As many lines as printedLines gives: one more than the line feeds.
    return static_cast<double>(text.count(QLatin1Char('\n')) + 1) * fontCache().metrics.lineSpacing() /
           pixelsPerUnitY();
}

void PainterPrinter::print(const QString& text) {
    ensureStarted();
    const QFontMetricsF& fm = fontCache().metrics;
    const double left = m_x * pixelsPerUnitX();
    double top = m_y * pixelsPerUnitY();
    qsizetype count = 1;
    if (!text.contains(QLatin1Char('\n'))) {
        m_painter.drawText(QPointF(left, top + fm.ascent()), text);
    } else {
        const QStringList lines = printedLines(text);
        count = lines.size();
        for (const QString& line : lines) {
            m_painter.drawText(QPointF(left, top + fm.ascent()), line);
            top += fm.lineSpacing();
        }
    }
    m_x = 0;
    m_y += static_cast<double>(count) * fm.lineSpacing() / pixelsPerUnitY();
}

void PainterPrinter::setFont(const PrintFont& font) {
    if (font == m_font && m_currentFont != nullptr)
        return;
    m_font = font;
    m_currentFont = nullptr;
    if (m_painter.isActive())
        m_painter.setFont(fontCache().qfont);
}

void PainterPrinter::setForeColor(const QColor& color) {
    // Lists set the rule colour before every rule; a pen set again still costs the engine a state change.
    if (color == m_color)
        return;
    m_color = color;
    applyPen();
}

void PainterPrinter::setDrawWidth(int pixels) {
    // Width 0 would be Qt's cosmetic pen; a printer line is never thinner than one dot.
    if (std::max(1, pixels) == m_drawWidth)
        return;
    m_drawWidth = std::max(1, pixels);
    applyPen();
}

void PainterPrinter::applyPen() {
    if (m_painter.isActive())
        m_painter.setPen(QPen(m_color, m_drawWidth));
}

void PainterPrinter::line(double x1, double y1, double x2, double y2) {
    ensureStarted();
    m_painter.drawLine(QPointF(x1 * pixelsPerUnitX(), y1 * pixelsPerUnitY()),
                       QPointF(x2 * pixelsPerUnitX(), y2 * pixelsPerUnitY()));
    m_x = x2;
    m_y = y2;
}

void PainterPrinter::newPage() {
    ensureStarted();
    if (!m_printer->newPage())
        throw PrintError(QStringLiteral("The printer could not start a new page."));
    m_x = 0;
    m_y = 0;
}

void PainterPrinter::endDoc() {
    m_x = 0;
    m_y = 0;
    if (!m_painter.isActive())
        return;
    if (!m_painter.end())
        throw PrintError(QStringLiteral("The printer could not finish the document."));
    if (!m_toPdf)
        return;
    announcePrintoutPdf(m_outputFile, m_shell, m_dialogs);
}

void PainterPrinter::ensureStarted() {
    if (m_painter.isActive())
        return;
    if (m_toPdf) {
        m_outputFile = reservePrintoutPdf(m_dataDir);
        m_printer->setOutputFileName(m_outputFile);
    }
    if (!m_painter.begin(m_printer.get())) {
        if (m_toPdf)
            QFile::remove(m_outputFile);
        throw PrintError(
            m_toPdf ? QStringLiteral("Cannot write %1.").arg(QDir::toNativeSeparators(m_outputFile))
                    : QStringLiteral("The printer %1 could not start the document.").arg(m_printer->printerName()));
    }
    m_painter.setFont(fontCache().qfont);
    applyPen();
}
