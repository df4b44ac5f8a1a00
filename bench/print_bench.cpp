// Printing to PDF through the application's printer, against the same strings and rules drawn straight with
// QPainter on a PDF QPrinter.

#include "bench.h"

#include "data/Database.h"
#include "equipment/store/EquipmentStore.h"
#include "locations/store/LocationStore.h"
#include "locations/ui/LocationReports.h"
#include "platform/PainterPrinter.h"
#include "platform/PrinterUnits.h"
#include "platform/ReportList.h"
#include "platform/Shell.h"
#include "printing/LVPrint.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <cstdio>
#include <variant>

namespace bench {

namespace {

// The PDF is the printout: nothing to open, nothing to tell.
class QuietShell : public Shell {
public:
    bool openFile(const QString&) override { return true; }
    bool startProgram(const QString&, const QStringList&) override { return true; }
};

class QuietDialogs : public FailingDialogs {
public:
    Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon, const QString& title) override {
        if (text.startsWith(QLatin1String("No printer is available.")))
            return Answer::Ok;
        return FailingDialogs::message(parent, text, buttons, icon, title);
    }
};

// What a printout drew, in device pixels, for the floor to draw again.
struct TextOp {
    QPointF at; // baseline start
    QString text;
    int font; // index into Recording::fonts
};
struct LineOp {
    QLineF line;
    QColor color;
    int width;
};
struct PageOp {};
using DrawOp = std::variant<TextOp, LineOp, PageOp>;

struct Recording {
    QList<QFont> fonts;
    std::vector<DrawOp> ops;
    bool landscape = false;
    int pages = 1;
};

// The application's printer, noting each drawing as it passes it on.
class RecordingPainterPrinter : public PainterPrinter {
public:
    RecordingPainterPrinter(const QString& dir, Shell& shell, Dialogs& dialogs, Recording& rec)
        : PainterPrinter(dir, shell, dialogs), m_rec(rec), m_dpi(QPrinter(QPrinter::HighResolution).logicalDpiX()) {}

    void setLandscape(bool landscape) override {
        m_rec.landscape = landscape;
        PainterPrinter::setLandscape(landscape);
    }
    void setForeColor(const QColor& color) override {
        m_color = color;
        PainterPrinter::setForeColor(color);
    }
    void setDrawWidth(int pixels) override {
        m_width = std::max(1, pixels);
        PainterPrinter::setDrawWidth(pixels);
    }
    void print(const QString& text) override {
        const QFont qfont = toQFont(font());
        qsizetype index = m_rec.fonts.indexOf(qfont);
        if (index < 0) {
            m_rec.fonts << qfont;
            index = m_rec.fonts.size() - 1;
        }
        const double scale = m_dpi / unitsPerInch(scaleMode());
        const QFontMetricsF fm(qfont, &m_device);
        double top = currentY() * scale;
        for (const QString& line : printedLines(text)) {
            m_rec.ops.push_back(TextOp{QPointF(currentX() * scale, top + fm.ascent()), line, int(index)});
            top += fm.lineSpacing();
        }
        PainterPrinter::print(text);
    }
    void line(double x1, double y1, double x2, double y2) override {
        const double scale = m_dpi / unitsPerInch(scaleMode());
        m_rec.ops.push_back(LineOp{QLineF(x1 * scale, y1 * scale, x2 * scale, y2 * scale), m_color, m_width});
        PainterPrinter::line(x1, y1, x2, y2);
    }
    void newPage() override {
        m_rec.ops.push_back(PageOp{});
        ++m_rec.pages;
        PainterPrinter::newPage();
    }

private:
    Recording& m_rec;
    QPrinter m_device{QPrinter::HighResolution};
    double m_dpi;
    QColor m_color = Qt::black;
    int m_width = 1;
};

// The floor: the recorded drawing on a PDF QPrinter, a font set only when it changes, the pen likewise.
void drawFloor(const Recording& rec, const QString& file) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageOrientation(rec.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter(&printer);
    int font = -1;
    QColor color = Qt::black;
    int width = 1;
    painter.setPen(QPen(color, width));
    for (const DrawOp& op : rec.ops) {
        if (const auto* t = std::get_if<TextOp>(&op)) {
            if (t->font != font) {
                font = t->font;
                painter.setFont(rec.fonts.at(font));
            }
            painter.drawText(t->at, t->text);
        } else if (const auto* l = std::get_if<LineOp>(&op)) {
            if (l->color != color || l->width != width) {
                color = l->color;
                width = l->width;
                painter.setPen(QPen(color, width));
            }
            painter.drawLine(l->line);
        } else {
            printer.newPage();
        }
    }
    painter.end();
}

struct Measured {
    double floorMs = 0;
    double appMs = 0;
    int pages = 0;
};

// Records one untimed run, then times the application's printout and the floor, alternating.
Measured measure(const QString& dataDir, int repeat, const std::function<void(Printer&)>& printout) {
    QuietShell shell;
    QuietDialogs dialogs;
    const QString floorFile = QDir(dataDir).filePath(QStringLiteral("print-floor.pdf"));
    const QDir printouts(QDir(dataDir).filePath(QStringLiteral("Printouts")));
    const auto clearPrintouts = [&] {
        for (const QString& name : printouts.entryList({QStringLiteral("*.pdf")}, QDir::Files))
            QFile::remove(printouts.filePath(name));
    };
    Recording rec;
    {
        RecordingPainterPrinter recorder(dataDir, shell, dialogs, rec);
        printout(recorder);
    }
    clearPrintouts();
    drawFloor(rec, floorFile);

    std::vector<double> floorMs, appMs;
    for (int r = 0; r < repeat; ++r) {
        floorMs.push_back(millisecondsOf([&] { drawFloor(rec, floorFile); }));
        appMs.push_back(millisecondsOf([&] {
            PainterPrinter printer(dataDir, shell, dialogs);
            printout(printer);
        }));
        clearPrintouts();
    }
    QFile::remove(floorFile);
    return {median(floorMs), median(appMs), rec.pages};
}

void report(const char* title, const Measured& m, double goal) {
    std::printf("%s, %d pages\n", title, m.pages);
    std::printf("  %-52s %7.1f ms\n", "(a) floor: the same drawing, QPainter on a QPrinter", m.floorMs);
    std::printf("  %-52s %7.1f ms\n", "(b) the printout through PainterPrinter", m.appMs);
    std::printf("  %-52s %7.2f x   (goal <= %.1f)\n", "ratio b / a", m.floorMs > 0 ? m.appMs / m.floorMs : 0.0, goal);
    std::fflush(stdout);
}

} // namespace

void benchPrint(Database& db, const Options& opt) {
    // The active equipment list as the window fills it, cut to the first rows.
    ReportList full;
    full.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    full.setColumns(EquipmentStore::activeListColumns());
    full.setRows(EquipmentStore(db).activeEquipment({}), EquipmentStore::activeListColumns());
    ReportList list;
    list.setFont(full.font());
    list.setColumns(EquipmentStore::activeListColumns());
    const int rows = std::min(opt.printRows, full.rowCount());
    for (int row = 0; row < rows; ++row)
        list.appendRow(full.cells(row));
    const QDate today(2026, 3, 14);
    const Measured listed = measure(opt.dataDir, opt.repeat, [&](Printer& printer) {
        LVPrint lv(printer, today);
        lv.LV = &list;
        lv.ReportTitle = QStringLiteral("Active Equipment");
        if (!lv.PrintList(false))
            qFatal("the list printout failed");
    });
    std::printf("\nprint: median of %d runs\n", opt.repeat);
    report(qPrintable(QStringLiteral("  list printout (LVPrint) of %1 rows of the active equipment list").arg(rows)),
           listed, 1.5);

    // The location detail report of the location with the most units, as its window hands it over.
    const qint64 locId = Query(db, QStringLiteral("SELECT CurrentLocation FROM EquipmentInfo GROUP BY "
                                                  "CurrentLocation ORDER BY COUNT(*) DESC LIMIT 1"))
                             .scalar()
                             .toLongLong();
    LocationStore store(db);
    ReportList equipment;
    equipment.setColumns(LocationStore::equipmentListColumns());
    equipment.setRows(store.equipmentRows(locId), LocationStore::equipmentListColumns());
    ReportList statistics;
    statistics.setColumns(LocationStore::typeCountColumns());
    statistics.setRows(store.typeCountRows(locId));
    LocationDetailReport detail;
    if (const std::optional<LocationRecord> location = store.location(locId)) {
        detail.name = location->name.value_or(QString());
        detail.addressOne = location->addressOne.value_or(QString());
        detail.city = location->city.value_or(QString());
        detail.zip = location->zip.value_or(QString());
    }
    addListRows(detail, statistics, equipment);
    const QDateTime now(today, QTime(9, 30));
    const Measured located =
        measure(opt.dataDir, opt.repeat, [&](Printer& printer) { printLocationDetailReport(printer, detail, now); });
    report(qPrintable(QStringLiteral("  location detail report of location %1, %2 units")
                          .arg(locId)
                          .arg(detail.equipment.size())),
           located, 1.3);
}

} // namespace bench
