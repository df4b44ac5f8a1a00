#pragma once

#include "platform/Printer.h"
#include "platform/PrinterUnits.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <memory>
#include <optional>
#include <vector>

class Dialogs;
class QPrinter;
class Shell;

// Paints on the desktop's default printer. On a machine without one, each document becomes a PDF file in the data
// directory's Printouts folder: when the document ends it is opened with the desktop's viewer, and a message tells
// the user where it was saved.
class PainterPrinter : public Printer {
public:
    PainterPrinter(const QString& dataDir, Shell& shell, Dialogs& dialogs);
    ~PainterPrinter() override;

    // The PDF of the document under way or last ended; empty before the first drawing and for a real printer.
    QString outputFile() const { return m_outputFile; }

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

    double textWidth(const QString& text) const override;
    double textHeight(const QString& text) const override;

    PrintFont font() const override { return m_font; }
    void setFont(const PrintFont& font) override;
    void setForeColor(const QColor& color) override;
    void setDrawWidth(int pixels) override;
    void line(double x1, double y1, double x2, double y2) override;

    void newPage() override;
    void endDoc() override;

private:
    // The document begins with the first drawing, so that the orientation may be chosen until then.
    void ensureStarted();
    void applyPen();
    // A printout measures the same few fonts and many repeated values (types, makers, dates) over and over;
    // building metrics and shaping text dominate its time, so both are kept per font.
    struct FontCache {
        PrintFont font;
        QFont qfont;
        QFontMetricsF metrics;
        QHash<QString, qreal> widths; // device pixels, single lines only
    };
    FontCache& fontCache() const;
    QSizeF pageSize() const; // device pixels
    qreal lineWidth(const QString& line) const;
    double pixelsPerUnitX() const { return m_dpiX / unitsPerInch(m_mode); }
    double pixelsPerUnitY() const { return m_dpiY / unitsPerInch(m_mode); }

    QString m_dataDir;
    Shell& m_shell;
    Dialogs& m_dialogs;
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    bool m_toPdf = false;
    QString m_outputFile;
    ScaleMode m_mode = ScaleMode::Twips;
    double m_x = 0;
    double m_y = 0;
    PrintFont m_font;
    QColor m_color = Qt::black;
    int m_drawWidth = 1;
    double m_dpiX = 0;
    double m_dpiY = 0;
    mutable std::optional<QSizeF> m_pageSize;
    mutable std::vector<std::unique_ptr<FontCache>> m_fonts;
    mutable FontCache* m_currentFont = nullptr; // of m_font; none until first needed
};
