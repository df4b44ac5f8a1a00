#include "platform/ListCellDelegate.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <cmath>

namespace {
constexpr char16_t kCached = 0x3000;

// Characters whose width does not depend on their neighbours, bar kerning: Latin, Greek, Cyrillic and the like, and
// the CJK blocks. Anything else (joining or reordering scripts, surrogates) is measured as a whole.
bool simpleWidth(char16_t c) {
    return c < 0x0590 || (c >= 0x1E00 && c < 0x2DE0) || (c >= 0x3000 && c < 0xA000) || (c >= 0xAC00 && c < 0xD7B0) ||
           (c >= 0xFF00 && c < 0xFFF0);
}
} // namespace

const QFontMetricsF& ListCellDelegate::metrics(const QFont& font) const {
    if (!m_metrics || font != m_font) {
        m_font = font;
        m_metrics.emplace(font);
        m_advances.assign(kCached, -1);
        m_rowHeight = -1;
        m_laidOut.clear();
    }
    return *m_metrics;
}

qreal ListCellDelegate::textWidth(const QFont& font, const QString& text) const {
    const QFontMetricsF& metrics = this->metrics(font);
    qreal width = 0;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (!simpleWidth(c))
            return metrics.horizontalAdvance(text);
        if (c >= kCached) {
            width += metrics.horizontalAdvance(qc);
            continue;
        }
        qreal& advance = m_advances[c];
        if (advance < 0)
            advance = metrics.horizontalAdvance(qc);
        width += advance;
    }
    return width;
}

const QStaticText* ListCellDelegate::laidOut(const QString& text) const {
    // Below Hebrew nothing joins, reorders or falls back to another font, so the line's ascent is the font's.
    for (const QChar c : text)
        if (c.unicode() >= 0x0590)
            return nullptr;
    auto found = m_laidOut.find(text);
    if (found == m_laidOut.end()) {
        if (m_laidOut.size() >= 8192) // a few screens of a wide list; older screens are not coming back soon
            m_laidOut.clear();
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), m_font);
        found = m_laidOut.insert(text, laid);
    }
    return &found.value();
}

int ListCellDelegate::textMargin(const QWidget* widget) const {
    const QStyle* style = widget ? widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

void ListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem opt = option;
    opt.index = index;
    opt.features |= QStyleOptionViewItem::HasDisplay;
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        const int margin = textMargin(widget);
        const QRect box = opt.rect.adjusted(margin, 0, -margin, 0);
        QString shown = text;
        qreal width = textWidth(opt.font, text);
        const QFontMetricsF& metrics = this->metrics(opt.font);
        if (width > box.width()) {
            shown = metrics.elidedText(text, opt.textElideMode, box.width());
            width = metrics.horizontalAdvance(shown);
        }
        const QVariant align = index.data(Qt::TextAlignmentRole);
        const Qt::Alignment alignment = QStyle::visualAlignment(
            opt.direction, align.isValid() ? align.value<Qt::Alignment>() : opt.displayAlignment);
        qreal x = box.left();
        if (alignment & Qt::AlignRight)
            x = box.right() + 1 - width;
        else if (alignment & Qt::AlignHCenter)
            x = box.left() + (box.width() - width) / 2;
        const qreal baseline = box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent();
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                                : QPalette::Inactive;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                      : QPalette::Text));
        painter->setClipRect(box);
        if (const QStaticText* laid = laidOut(shown))
            painter->drawStaticText(QPointF(x, baseline - metrics.ascent()), *laid);
        else
            painter->drawText(QPointF(x, baseline), shown);
        painter->restore();
    }
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor =
            opt.palette.color((opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled,
                              (opt.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

QSize ListCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    const qreal width = textWidth(option.font, text);
    const int height = option.widget ? rowHeight(option.widget) : QStyledItemDelegate::sizeHint(option, index).height();
    return QSize(static_cast<int>(std::ceil(width)) + 2 * textMargin(option.widget), height);
}

int ListCellDelegate::cellWidth(const QWidget* view, const QString& text) const {
    return static_cast<int>(std::ceil(textWidth(view->font(), text))) + 2 * textMargin(view);
}

int ListCellDelegate::rowHeight(const QWidget* view) const {
    if (m_rowHeight >= 0)
        return m_rowHeight;
    QStyleOptionViewItem opt;
    opt.initFrom(view);
    opt.font = view->font();
    opt.fontMetrics = view->fontMetrics();
    opt.features = QStyleOptionViewItem::HasDisplay;
    opt.text = QStringLiteral("Xg");
    opt.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    m_rowHeight = view->style()->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), view).height();
    return m_rowHeight;
}
