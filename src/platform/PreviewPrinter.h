#pragma once

#include "platform/Printer.h"

#include <QList>
#include <QPointF>
#include <functional>
#include <memory>

class QPrinter;

// Collects a document instead of printing it. When the document ends it is handed to a presenter, by default a
// modal print preview of the default printer, from which the user may still print it.
class PreviewPrinter : public Printer {
public:
    using Presenter = std::function<void(PreviewPrinter& document)>;
    static void showPreviewDialog(PreviewPrinter& document);

    explicit PreviewPrinter(Presenter present = showPreviewDialog);
    ~PreviewPrinter() override;

    // The printer the document is laid out for; a preview dialog prints on it.
    QPrinter& printer() const { return *m_printer; }
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    // Paints the whole document, one page of target per page. target must not be painted on already.
    void render(QPrinter* target) const;

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
    void setFont(const PrintFont& font) override { m_font = font; }
    void setForeColor(const QColor& color) override { m_color = color; }
    void setDrawWidth(int pixels) override { m_drawWidth = pixels; }
    void line(double x1, double y1, double x2, double y2) override;

    void newPage() override;
    void endDoc() override;

private:
    // Positions in inches from the printable area's top left, so that any target resolution can take them.
    struct Mark {
        bool isText = true;
        QPointF from;
        QPointF to;
        QString text;
        PrintFont font;
        QColor color;
        int drawWidth = 1;
    };
    double unitsPerInch() const;
    double deviceUnitsPerInchY() const;
    QList<Mark>& currentPage();

    Presenter m_present;
    std::unique_ptr<QPrinter> m_printer;
    QList<QList<Mark>> m_pages;
    ScaleMode m_mode = ScaleMode::Twips;
    double m_x = 0;
    double m_y = 0;
    PrintFont m_font;
    QColor m_color = Qt::black;
    int m_drawWidth = 1;
};
