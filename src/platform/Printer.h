#pragma once

#include <QColor>
#include <QString>
#include <stdexcept>

// A font as the printouts set it.
struct PrintFont {
    QString name = QStringLiteral("DejaVu Sans");
    double size = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    bool operator==(const PrintFont&) const = default;
};

// Raised by a printer operation that fails; callers that can recover catch it.
class PrintError : public std::runtime_error {
public:
    explicit PrintError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// The page the printouts draw on. Positions and sizes are in the current scale (twips or millimetres) from the
// top left of the printable area; line widths are in device pixels. A failing operation throws PrintError.
class Printer {
public:
    enum class ScaleMode { Twips, Millimetres };

    virtual ~Printer() = default;

    virtual void setLandscape(bool landscape) = 0;
    // The current position stays at the same place on the page, expressed in the new scale.
    virtual void setScaleMode(ScaleMode mode) = 0;
    virtual ScaleMode scaleMode() const = 0;
    // The printable page in the current scale.
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;

    virtual double currentX() const = 0;
    virtual double currentY() const = 0;
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    // Prints text with its top left at the current position, then moves to the start of the next line
    // (x back to the left edge, y down by the text's height).
    virtual void print(const QString& text) = 0;

    // Text may hold several lines ('\n'): its width is that of the widest, its height one line height per line.
    virtual double textWidth(const QString& text) const = 0;
    virtual double textHeight(const QString& text) const = 0;

    virtual PrintFont font() const = 0;
    virtual void setFont(const PrintFont& font) = 0;
    virtual void setForeColor(const QColor& color) = 0;
    virtual void setDrawWidth(int pixels) = 0;
    // Draws in the fore colour and leaves the current position at the line's end.
    virtual void line(double x1, double y1, double x2, double y2) = 0;

    // Starts a new page with the current position at its top left.
    virtual void newPage() = 0;
    // Ends the document and sends the job; the next drawing starts a new document.
    virtual void endDoc() = 0;
};
