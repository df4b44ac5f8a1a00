#include "support/RecordingPrinter.h"
#include "platform/PrinterUnits.h"

#include <algorithm>

QList<PrintItem> PrintLog::textItems(int page) const {
    QList<PrintItem> found;
    for (const PrintItem& i : items)
        if (i.kind == PrintItem::Kind::Text && (page == 0 || i.page == page))
            found << i;
    return found;
}

QStringList PrintLog::texts(int page) const {
    QStringList found;
    for (const PrintItem& i : textItems(page))
        found << i.text;
    return found;
}

QList<PrintItem> PrintLog::lines(int page) const {
    QList<PrintItem> found;
    for (const PrintItem& i : items)
        if (i.kind == PrintItem::Kind::Line && (page == 0 || i.page == page))
            found << i;
    return found;
}

const PrintItem* PrintLog::findText(const QString& text) const {
    for (const PrintItem& i : items)
        if (i.kind == PrintItem::Kind::Text && i.text == text)
            return &i;
    return nullptr;
}

int PrintLog::pageCount() const {
    int pages = 0;
    for (const PrintItem& i : items)
        pages = std::max(pages, i.page);
    return pages;
}

bool PrintLog::ended() const {
    return std::any_of(items.begin(), items.end(),
                       [](const PrintItem& i) { return i.kind == PrintItem::Kind::EndDoc; });
}

double RecordingPrinter::inchesToScale(double inches, ScaleMode mode) {
    return inches * (mode == ScaleMode::Twips ? 1440.0 : 25.4);
}

double RecordingPrinter::textWidthOf(const QString& text, const PrintFont& font, ScaleMode mode) {
    qsizetype widest = 0;
    for (const QString& line : printedLines(text))
        widest = std::max(widest, line.size());
    return pointsToScale(widest * 0.6 * font.size, mode);
}

double RecordingPrinter::textHeightOf(const QString& text, const PrintFont& font, ScaleMode mode) {
    return pointsToScale(printedLines(text).size() * 1.2 * font.size, mode);
}

void RecordingPrinter::setLandscape(bool landscape) {
    m_landscape = landscape;
    m_log.orientations << landscape;
}

void RecordingPrinter::setScaleMode(ScaleMode mode) {
    m_x = inchesToScale(m_x / inchesToScale(1, m_mode), mode);
    m_y = inchesToScale(m_y / inchesToScale(1, m_mode), mode);
    m_mode = mode;
    m_log.scaleModes << mode;
}

double RecordingPrinter::scaleWidth() const {
    return inchesToScale((m_landscape ? kPageHeightInches : kPageWidthInches) - 2 * kMarginInches, m_mode);
}

double RecordingPrinter::scaleHeight() const {
    return inchesToScale((m_landscape ? kPageWidthInches : kPageHeightInches) - 2 * kMarginInches, m_mode);
}

PrintItem RecordingPrinter::item(PrintItem::Kind kind) const {
    PrintItem i;
    i.kind = kind;
    i.page = m_page;
    i.x = m_x;
    i.y = m_y;
    i.font = m_font;
    i.color = m_color;
    i.drawWidth = m_drawWidth;
    i.landscape = m_landscape;
    i.scaleMode = m_mode;
    return i;
}

void RecordingPrinter::print(const QString& text) {
    if (++m_log.printCalls == m_log.failOnTextNumber)
        throw PrintError(QStringLiteral("Printer error (test)"));
    for (const QString& line : printedLines(text)) {
        PrintItem i = item(PrintItem::Kind::Text);
        i.text = line;
        m_log.items << i;
        m_y += textHeight(line);
    }
    m_x = 0;
}

void RecordingPrinter::line(double x1, double y1, double x2, double y2) {
    PrintItem i = item(PrintItem::Kind::Line);
    i.x = x1;
    i.y = y1;
    i.x2 = x2;
    i.y2 = y2;
    m_log.items << i;
    m_x = x2;
    m_y = y2;
}

void RecordingPrinter::newPage() {
    ++m_page;
    m_x = 0;
    m_y = 0;
    m_log.items << item(PrintItem::Kind::NewPage);
}

void RecordingPrinter::endDoc() {
    m_log.items << item(PrintItem::Kind::EndDoc);
    // Whatever is drawn next belongs to a new document.
    m_page = 1;
    m_x = 0;
    m_y = 0;
}
