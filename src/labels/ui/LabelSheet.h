#pragma once

#include "labels/store/LabelStore.h"
#include "labels/ui/Code128.h"

#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <vector>

class QPainter;
class QPrinter;

// Where labels go on a page, in millimetres from the paper's top left corner.
struct LabelLayout {
    QString name;
    QPageSize page;
    QSizeF label;
    QSizeF pitch;   // from one label's top left to the next one's, across and down
    QPointF origin; // the first label's top left
    int columns = 1;
    int rows = 1;

    int perPage() const { return columns * rows; }
    // The cell at position 0 .. perPage() - 1, row by row.
    QRectF cell(int position) const;

    // One label a page, the page the label's size: a label printer's roll.
    static LabelLayout single(const QSizeF& millimetres);
    // Common label stock: 3 x 8 and 3 x 10 on A4 and on Letter.
    static const std::vector<LabelLayout>& sheets();
};

// A label ready to draw: its text and its bar code.
struct PrintedLabel {
    UnitLabel text;
    Code128 barCode;
};

// Labels laid out on pages, from a given position of the first sheet on (earlier cells of a partly used sheet are
// left blank). Bars are drawn as filled rectangles, so the code scans at any size; text is shrunk to fit, then cut
// with an ellipsis.
class LabelSheet {
public:
    // startPosition: 1 .. layout.perPage().
    LabelSheet(LabelLayout layout, std::vector<PrintedLabel> labels, int startPosition = 1);

    // Encodes each unit's code; a code that cannot be a bar code leaves its unit out and adds the reason to refused.
    static std::vector<PrintedLabel> prepare(const std::vector<UnitLabel>& units, QStringList& refused);

    const LabelLayout& layout() const { return m_layout; }
    int labelCount() const { return static_cast<int>(m_labels.size()); }
    int pageCount() const;
    struct Placement {
        int page = 0; // from 0
        QRectF cell;  // millimetres
    };
    Placement placement(int label) const;

    // The codes whose narrowest bar comes out thinner than scanners read reliably at this label size.
    QStringList tooThinToScan() const;

    // Sets the printer's paper to the layout's, without margins, so that the cells land where the stock has them.
    void preparePrinter(QPrinter& printer) const;
    // Prints every page; throws PrintError when the printer refuses.
    void print(QPrinter& printer) const;

private:
    // The label's inside, in the cell's units, and the width of one module of code there.
    QRectF inside(const QRectF& cell, double unitsPerMm) const;
    double moduleWidth(const Code128& code, double innerWidth, double unitsPerMm) const;
    void paintLabel(QPainter& painter, const PrintedLabel& label, const QRectF& cell) const;

    LabelLayout m_layout;
    std::vector<PrintedLabel> m_labels;
    int m_start = 1;
};
