#pragma once

#include "platform/Printer.h"

#include <QList>
#include <QStringList>

// One thing a RecordingPrinter was asked to draw, with the state it was drawn in. Positions are in the scale that
// was current at the time.
struct PrintItem {
    enum class Kind { Text, Line, NewPage, EndDoc };
    Kind kind = Kind::Text;
    int page = 1; // for NewPage, the page it starts
    double x = 0;
    double y = 0;
    double x2 = 0; // lines only
    double y2 = 0;
    QString text; // one item per printed line
    PrintFont font;
    QColor color;
    int drawWidth = 1;
    bool landscape = false;
    Printer::ScaleMode scaleMode = Printer::ScaleMode::Twips;
};

// What a test's printers drew, in order. Owned by the test, so it outlives the printers.
struct PrintLog {
    QList<PrintItem> items;
    QList<bool> orientations;             // every setLandscape, in order
    QList<Printer::ScaleMode> scaleModes; // every setScaleMode, in order
    int printCalls = 0;                   // print() calls so far, failed ones included
    int failOnTextNumber = -1;            // the print() call with this number (from 1) throws PrintError

    QList<PrintItem> textItems(int page = 0) const; // page 0: every page
    QStringList texts(int page = 0) const;
    QList<PrintItem> lines(int page = 0) const;
    // The first text item that reads exactly `text`, or nullptr.
    const PrintItem* findText(const QString& text) const;
    int pageCount() const; // 0 when nothing was drawn
    bool ended() const;    // an EndDoc was recorded
    void clear() { *this = PrintLog{}; }
};

// A printer that draws nothing and records everything, on a letter page (8.5 x 11 inches) with a quarter-inch
// unprintable margin on each side, and text metrics that need no installed font:
//   width  = characters of the widest line x 0.6 x font size (points)
//   height = lines x 1.2 x font size (points)
// converted with 1 point = 20 twips = 25.4 / 72 mm. print() of a text with several lines records one item per line.
class RecordingPrinter : public Printer {
public:
    static constexpr double kPageWidthInches = 8.5;
    static constexpr double kPageHeightInches = 11.0;
    static constexpr double kMarginInches = 0.25;

    static double inchesToScale(double inches, ScaleMode mode);
    static double pointsToScale(double points, ScaleMode mode) { return inchesToScale(points / 72.0, mode); }
    static double textWidthOf(const QString& text, const PrintFont& font, ScaleMode mode);
    static double textHeightOf(const QString& text, const PrintFont& font, ScaleMode mode);

    explicit RecordingPrinter(PrintLog& log) : m_log(log) {}

    void setLandscape(bool landscape) override;
    void setScaleMode(ScaleMode mode) override;
    ScaleMode scaleMode() const override { return m_mode; }
    double scaleWidth() const override;
    double scaleHeight() const override;

    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    void setCurrentX(double x) override { m_x = x; }
    void setCurrentY(double y) override { m_y = y; }
    void print(const QString& text) override;

    double textWidth(const QString& text) const override { return textWidthOf(text, m_font, m_mode); }
    double textHeight(const QString& text) const override { return textHeightOf(text, m_font, m_mode); }

    PrintFont font() const override { return m_font; }
    void setFont(const PrintFont& font) override { m_font = font; }
    void setForeColor(const QColor& color) override { m_color = color; }
    void setDrawWidth(int pixels) override { m_drawWidth = pixels; }
    void line(double x1, double y1, double x2, double y2) override;

    void newPage() override;
    void endDoc() override;

private:
    PrintItem item(PrintItem::Kind kind) const;

    PrintLog& m_log;
    bool m_landscape = false;
    ScaleMode m_mode = ScaleMode::Twips;
    int m_page = 1;
    double m_x = 0;
    double m_y = 0;
    PrintFont m_font;
    QColor m_color = Qt::black;
    int m_drawWidth = 1;
};
