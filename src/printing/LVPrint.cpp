#include "printing/LVPrint.h"

#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "platform/ReportList.h"

#include <QLocale>
#include <algorithm>

LVPrint::LVPrint(Printer& output, const QDate& today) : m_output(output), m_out(&output), m_today(today) {
    m_output.setScaleMode(Printer::ScaleMode::Millimetres);
}

LVPrint::~LVPrint() = default;

bool LVPrint::PrintList(bool /*preview*/) {
    if (LV == nullptr || LV->columnCount() == 0)
        return true;
    Printer& out = *m_out;
    out.setLandscape(true);

    const QFont listFont = LV->font();
    PrintFont font = out.font();
    font.name = listFont.family();
    if (listFont.pointSizeF() > 0)
        font.size = listFont.pointSizeF();
    font.italic = listFont.italic();
    font.underline = listFont.underline();
    font.strikethrough = listFont.strikeOut();
    out.setFont(font);

    // The page keeps its size for the whole list; asking the printer for it on every cell costs a layout each time.
    m_pageHeight = out.scaleHeight();
    m_printableHeight = m_pageHeight - 2 * m_topMargin;
    m_printableWidth = out.scaleWidth() - 2 * m_leftMargin;
    m_lineHeight = out.textHeight(QStringLiteral("A"));
    m_tableTop = m_topMargin;

    const int columns = LV->columnCount();
    double screenWidth = 0;
    for (int col = 0; col < columns; ++col)
        screenWidth += std::max(0, LV->columnWidthPixels(col));
    m_colWidths.clear();
    m_printWidth = 0;
    for (int col = 0; col < columns; ++col) {
        // Columns all hidden on screen still need room on paper: they share it equally.
        const double width = screenWidth > 0 ? m_printableWidth * std::max(0, LV->columnWidthPixels(col)) / screenWidth
                                             : m_printableWidth / columns;
        m_colWidths << width;
        m_printWidth += width;
    }

    m_more = true;
    m_nextRow = 0;
    while (m_nextRow < LV->rowCount() && m_more) {
        m_x = m_leftMargin;
        m_y = m_topMargin;
        if (!printPageHeader())
            return false;
        printColumnHeaders();
        printRows();
    }
    return true;
}

bool LVPrint::printPageHeader() {
    Printer& out = *m_out;
    out.setForeColor(QColor(0, 0, 255));
    out.setCurrentX(m_leftMargin);
    out.setCurrentY(m_topMargin / 1.5);
    try {
        out.print(QLocale().toString(m_today, QLocale::LongFormat));
    } catch (const PrintError&) {
        return false;
    }
    out.setCurrentX(out.scaleWidth() - m_leftMargin - 10);
    out.setCurrentY(m_topMargin / 1.5);
    out.print(QStringLiteral("PAGE ") + QString::number(m_pageNumber));

    PrintFont font = out.font();
    font.size += 4;
    out.setFont(font);
    out.setCurrentX((out.scaleWidth() - out.textWidth(ReportTitle)) / 2);
    out.setCurrentY(m_topMargin / 4);
    out.print(ReportTitle);
    font.size -= 4;
    out.setFont(font);
    out.setForeColor(Qt::black);
    return true;
}

void LVPrint::printColumnHeaders() {
    Printer& out = *m_out;
    out.setDrawWidth(9);
    PrintFont font = out.font();
    font.bold = true;
    out.setFont(font);
    rule(m_leftMargin, m_y, m_leftMargin + m_printWidth, m_y);

    m_x = m_leftMargin;
    m_y = m_topMargin + m_gap;
    m_rowHeight = m_lineHeight;
    qsizetype mostLines = 1;
    for (int col = 0; col < m_colWidths.size(); ++col) {
        const QStringList lines = wrap(LV->columnHeader(col), m_colWidths.at(col)).split(QLatin1Char('\n'));
        out.setCurrentY(m_y);
        for (const QString& line : lines) {
            out.setCurrentX(m_x + m_cellIndent);
            out.print(line);
        }
        mostLines = std::max(mostLines, lines.size());
        m_x += m_colWidths.at(col);
    }
    m_rowHeight = static_cast<double>(mostLines) * m_lineHeight;

    m_y += 1.25 * m_rowHeight;
    rule(m_leftMargin, m_y, m_leftMargin + m_printWidth, m_y);
    m_y += m_gap;
    m_x = m_leftMargin;
    out.setDrawWidth(5);
    font.bold = false;
    out.setFont(font);
}

void LVPrint::printRows() {
    Printer& out = *m_out;
    const int rows = LV->rowCount();
    const int columns = static_cast<int>(m_colWidths.size());
    const int firstOnPage = m_nextRow;
    for (int row = m_nextRow; row < rows; ++row) {
        m_rowHeight = m_lineHeight;
        const QStringList cells = LV->cells(row);
        const int filled = std::min(static_cast<int>(cells.size()), columns);
        for (int col = 0; col < filled; ++col) {
            printCell(wrap(cells.at(col), m_colWidths.at(col) - 2).split(QLatin1Char('\n')), col);
            m_x += m_colWidths.at(col);
        }
        m_y += m_rowHeight + m_gap;
        rule(m_leftMargin, m_y, m_leftMargin + m_printWidth, m_y);
        m_y += m_gap;
        m_x = m_leftMargin;

        if (m_y > m_pageHeight - m_topMargin - 2 * m_lineHeight) {
            if (row == firstOnPage) {
                // Not even a page of its own holds this row: printed again it would fill every page that follows.
                m_nextRow = row + 1;
                if (m_nextRow >= rows)
                    break;
            }
            m_tableBottom = m_y - m_gap;
            drawVerticalRules();
            ++m_pageNumber;
            out.newPage();
            return;
        }
        m_nextRow = row + 1;
    }
    m_tableBottom = m_y - m_gap;
    drawVerticalRules();
    m_more = false;
    out.endDoc();
}

void LVPrint::printCell(const QStringList& lines, int col) {
    Printer& out = *m_out;
    const double width = m_colWidths.at(col);
    const Qt::Alignment alignment = LV->columnAlignment(col);
    const double bottom = m_pageHeight - m_topMargin;
    out.setCurrentY(m_y);
    for (const QString& line : lines) {
        if (out.currentY() >= bottom) {
            const QString marker = QStringLiteral("* * *");
            out.setCurrentX(m_x + (width - out.textWidth(marker)) / 2);
            out.print(marker);
            break;
        }
        const QString text = line.trimmed();
        if (text.isEmpty())
            continue;
        const double textWidth = out.textWidth(text);
        if (alignment & Qt::AlignRight)
            out.setCurrentX(m_x + width - textWidth - 1);
        else if (alignment & Qt::AlignHCenter)
            out.setCurrentX(m_x + 1 + (width - textWidth - 2) / 2);
        else
            out.setCurrentX(m_x + m_cellIndent);
        out.print(text);
    }
    if (out.currentY() > m_y + m_rowHeight)
        m_rowHeight = out.currentY() - m_y;
}

void LVPrint::drawVerticalRules() {
    rule(m_leftMargin, m_tableTop, m_leftMargin, m_tableBottom);
    double edge = m_leftMargin;
    for (const double width : m_colWidths) {
        edge += width;
        rule(edge, m_tableTop, edge, m_tableBottom);
    }
}

void LVPrint::rule(double x1, double y1, double x2, double y2) {
    m_out->setForeColor(m_lineColor);
    m_out->line(x1, y1, x2, y2);
}

QString LVPrint::wrap(const QString& text, double width) const {
    if (m_out->textWidth(text) < width)
        return text;
    // Words keep the blanks that follow them, so that joining them gives the text back.
    QString result;
    const qsizetype size = text.size();
    for (qsizetype start = 0; start < size;) {
        qsizetype end = start;
        while (end < size && text.at(end) != QLatin1Char(' '))
            ++end;
        while (end < size && text.at(end) == QLatin1Char(' '))
            ++end;
        const QString word = text.mid(start, end - start);
        if (m_out->textWidth(result + word) < width)
            result += word;
        else
            result += QLatin1Char('\n') + word;
        start = end;
    }
    return result;
}

void printListOrSayWhy(AppContext& ctx, QWidget* owner, ReportList* list, const QString& title) {
    bool printed = false;
    try {
        std::unique_ptr<Printer> printer = ctx.newPrinter();
        LVPrint lv(*printer, ctx.clock->today());
        lv.LV = list;
        lv.ReportTitle = title;
        printed = lv.PrintList(false);
    } catch (const PrintError&) {
        // Reported below, in the windows' own words.
    }
    if (!printed)
        ctx.dialogs->message(owner, QStringLiteral("Printing error. Please make sure your computer can access the "
                                                   "selected printer and the printer is online"));
}
