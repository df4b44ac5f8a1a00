#include "labels/ui/LabelSheet.h"

#include "platform/Printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace {
constexpr double kMmPerInch = 25.4;
// Room inside a label's edge: sheet stock is cut without a gap, and printers feed a little off true.
constexpr double kPaddingX = 3;
constexpr double kPaddingY = 2;
// Wider modules do not scan any better and look odd on a wide label.
constexpr double kWidestModule = 0.6;
// Below these sizes text no longer reads; the code may go smaller than the rest, being read character by character
// where the bars do not scan.
constexpr double kSmallestCodePoints = 3;
constexpr double kSmallestPoints = 6;
// The narrowest bar common scanners read (a 0.19 mm X-dimension).
constexpr double kThinnestModule = 0.19;
// A size scaled to the exact width can come out a hair wider, and the ellipsis would then take the last characters.
constexpr double kFitMargin = 0.97;

QRectF inches(double left, double top, double width, double height) {
    return QRectF(left * kMmPerInch, top * kMmPerInch, width * kMmPerInch, height * kMmPerInch);
}

LabelLayout sheet(const QString& name, QPageSize::PageSizeId page, int rows, const QRectF& first, const QSizeF& pitch) {
    return LabelLayout{name, QPageSize(page), first.size(), pitch, first.topLeft(), 3, rows};
}

// Fits one line of text into width x height device pixels: the font as tall as the line allows, shrunk to the
// width, and no smaller than legible; what still does not fit is elided.
void drawLine(QPainter& painter, const QString& text, const QRectF& line, bool isCode, double dpi) {
    if (text.isEmpty() || line.height() <= 0)
        return;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(isCode);
    double points = line.height() * 0.72 * 72 / dpi;
    font.setPointSizeF(points);
    const double wide = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
    if (wide > line.width()) {
        points = std::max(isCode ? kSmallestCodePoints : kSmallestPoints, points * line.width() / wide * kFitMargin);
        font.setPointSizeF(points);
    }
    const QFontMetricsF metrics(font, painter.device());
    painter.setFont(font);
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(text, Qt::ElideRight, line.width()));
}
} // namespace

QRectF LabelLayout::cell(int position) const {
    const int row = position / columns;
    const int column = position % columns;
    return QRectF(origin + QPointF(column * pitch.width(), row * pitch.height()), label);
}

LabelLayout LabelLayout::single(const QSizeF& millimetres) {
    return LabelLayout{QStringLiteral("Single label (label printer)"),
                       QPageSize(millimetres, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       millimetres,
                       millimetres,
                       QPointF(0, 0),
                       1,
                       1};
}

const std::vector<LabelLayout>& LabelLayout::sheets() {
    // A4 stock of 70 mm wide labels fills the width; Letter stock is laid out as Avery's 5160 family:
    // 2 5/8" labels at 2 3/4" pitch, 3/16" side and 1/2" top margins.
    static const std::vector<LabelLayout> layouts{
        sheet(QStringLiteral("3 x 8 on A4"), QPageSize::A4, 8, QRectF(0, 0.5, 70, 37), QSizeF(70, 37)),
        sheet(QStringLiteral("3 x 10 on A4"), QPageSize::A4, 10, QRectF(0, 0, 70, 29.7), QSizeF(70, 29.7)),
        sheet(QStringLiteral("3 x 8 on Letter"), QPageSize::Letter, 8, inches(0.1875, 0.5, 2.625, 1.25),
              QSizeF(2.75 * kMmPerInch, 1.25 * kMmPerInch)),
        sheet(QStringLiteral("3 x 10 on Letter"), QPageSize::Letter, 10, inches(0.1875, 0.5, 2.625, 1),
              QSizeF(2.75 * kMmPerInch, 1 * kMmPerInch)),
    };
    return layouts;
}

LabelSheet::LabelSheet(LabelLayout layout, std::vector<PrintedLabel> labels, int startPosition)
    : m_layout(std::move(layout)), m_labels(std::move(labels)),
      m_start(std::clamp(startPosition, 1, m_layout.perPage())) {}

std::vector<PrintedLabel> LabelSheet::prepare(const std::vector<UnitLabel>& units, QStringList& refused) {
    std::vector<PrintedLabel> labels;
    labels.reserve(units.size());
    for (const UnitLabel& unit : units) {
        try {
            labels.push_back(PrintedLabel{unit, Code128::encode(unit.code)});
        } catch (const PrintError& e) {
            refused << QString::fromStdString(e.what());
        }
    }
    return labels;
}

int LabelSheet::pageCount() const {
    if (m_labels.empty())
        return 0;
    const int cells = m_start - 1 + labelCount();
    return (cells + m_layout.perPage() - 1) / m_layout.perPage();
}

LabelSheet::Placement LabelSheet::placement(int label) const {
    const int cell = m_start - 1 + label;
    return Placement{cell / m_layout.perPage(), m_layout.cell(cell % m_layout.perPage())};
}

void LabelSheet::preparePrinter(QPrinter& printer) const {
    printer.setFullPage(true);
    // Portrait keeps the size as given: a label wider than high is not turned round.
    printer.setPageLayout(QPageLayout(m_layout.page, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
}

void LabelSheet::print(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer))
        throw PrintError(QStringLiteral("The printer could not start the document."));
    painter.setRenderHint(QPainter::Antialiasing, false);
    const double dpiX = printer.logicalDpiX() / kMmPerInch;
    const double dpiY = printer.logicalDpiY() / kMmPerInch;
    int page = 0;
    for (int i = 0; i < labelCount(); ++i) {
        const Placement at = placement(i);
        for (; page < at.page; ++page)
            if (!printer.newPage())
                throw PrintError(QStringLiteral("The printer could not start a new page."));
        const QRectF cell(at.cell.x() * dpiX, at.cell.y() * dpiY, at.cell.width() * dpiX, at.cell.height() * dpiY);
        paintLabel(painter, m_labels[static_cast<size_t>(i)], cell);
    }
    if (!painter.end())
        throw PrintError(QStringLiteral("The printer could not finish the document."));
}

QRectF LabelSheet::inside(const QRectF& cell, double unitsPerMm) const {
    const double padX = std::min(kPaddingX * unitsPerMm, cell.width() * 0.06);
    const double padY = std::min(kPaddingY * unitsPerMm, cell.height() * 0.06);
    return cell.adjusted(padX, padY, -padX, -padY);
}

double LabelSheet::moduleWidth(const Code128& code, double innerWidth, double unitsPerMm) const {
    return std::min(innerWidth / code.width, kWidestModule * unitsPerMm);
}

QStringList LabelSheet::tooThinToScan() const {
    const double innerWidth = inside(QRectF(QPointF(), m_layout.label), 1).width();
    QStringList codes;
    for (const PrintedLabel& label : m_labels)
        if (moduleWidth(label.barCode, innerWidth, 1) < kThinnestModule && !codes.contains(label.text.code))
            codes << label.text.code;
    return codes;
}

void LabelSheet::paintLabel(QPainter& painter, const PrintedLabel& label, const QRectF& cell) const {
    const double dpi = painter.device()->logicalDpiX();
    const double mm = dpi / kMmPerInch;
    const QRectF inner = inside(cell, mm);

    // Bars take the top half; the code, the type and the location share the rest, the code the largest line.
    const double barHeight = inner.height() * 0.5;
    const Code128& code = label.barCode;
    const double module = moduleWidth(code, inner.width(), mm);
    const double left = inner.left() + (inner.width() - module * code.width) / 2;
    const double yScale = barHeight / code.height;
    for (const QRectF& bar : code.bars)
        painter.fillRect(QRectF(left + bar.x() * module, inner.top() + bar.y() * yScale, bar.width() * module,
                                bar.height() * yScale),
                         Qt::black);

    painter.setPen(Qt::black);
    const double textTop = inner.top() + barHeight;
    const double rest = inner.bottom() - textTop;
    const QRectF codeLine(inner.left(), textTop, inner.width(), rest * 0.38);
    const QRectF typeLine(inner.left(), codeLine.bottom(), inner.width(), rest * 0.31);
    const QRectF placeLine(inner.left(), typeLine.bottom(), inner.width(), rest * 0.31);
    drawLine(painter, label.text.code, codeLine, true, dpi);
    drawLine(painter, label.text.type, typeLine, false, dpi);
    drawLine(painter, label.text.location, placeLine, false, dpi);
}
