#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <optional>
#include <vector>

// Draws the plain text cells of a report list. The stock delegate lays each cell's text out two or three times per
// paint (size, layout, draw); a list shows hundreds of cells, so that alone outweighed reading a search's rows. Here
// widths come from per-character advances kept per font, and the text is laid out once, when it is first drawn, and
// kept: a scroll or a changed row repaints the whole viewport, mostly with texts drawn a moment before.
class ListCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The width a cell of view needs to show text whole.
    int cellWidth(const QWidget* view, const QString& text) const;
    // The height of one line of text in view's font, as the stock delegate would make a row; kept until the cells'
    // font changes.
    int rowHeight(const QWidget* view) const;

private:
    // The metrics of font, kept while the font stays the same.
    const QFontMetricsF& metrics(const QFont& font) const;
    // The width text needs in font, never less than the laid-out width by more than a rounding.
    qreal textWidth(const QFont& font, const QString& text) const;
    int textMargin(const QWidget* widget) const;
    // text laid out in the painter's font, when it is all in scripts the list's font draws on its own; else null,
    // and the text is laid out as it is drawn.
    const QStaticText* laidOut(const QString& text) const;

    mutable QFont m_font;
    mutable std::optional<QFontMetricsF> m_metrics;
    mutable std::vector<qreal> m_advances; // by UTF-16 code unit below kCached; negative: not yet measured
    mutable int m_rowHeight = -1;
    mutable QHash<QString, QStaticText> m_laidOut; // in m_font
};
