#pragma once

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Printer;
class QWidget;
class ReportList;
struct AppContext;

// Prints a list as a ruled table, page after page, in millimetres: a page header (date, page number, title), the
// bold column headers on every page, columns scaled from their on-screen widths to fill the page, and cells
// wrapped and aligned like the list's columns.
class LVPrint {
public:
    // today is the date in the page header; windows pass their clock's.
    explicit LVPrint(Printer& output, const QDate& today = QDate::currentDate());
    ~LVPrint();

    ReportList* LV = nullptr;
    QString ReportTitle = QStringLiteral("ListView Control Sample Printout");

    // True when every row was printed (an empty list prints nothing), false when the printer failed on a page
    // header. preview is accepted for the callers' sake and changes nothing: every list prints straight away.
    bool PrintList(bool preview);

private:
    bool printPageHeader();
    void printColumnHeaders();
    void printRows();
    void printCell(const QStringList& lines, int col);
    void drawVerticalRules();
    void rule(double x1, double y1, double x2, double y2);
    QString wrap(const QString& text, double width) const;

    Printer& m_output;
    Printer* m_out;
    QDate m_today;

    QColor m_lineColor = Qt::black;
    int m_pageNumber = 1;
    double m_topMargin = 20;
    double m_leftMargin = 15;
    double m_pageHeight = 0;
    double m_printableHeight = 0;
    double m_printableWidth = 0;
    double m_printWidth = 0;
    double m_cellIndent = 1.0;
    int m_gap = 1;
    double m_x = 0;
    double m_y = 0;
    double m_lineHeight = 0;
    double m_rowHeight = 0;
    double m_tableTop = 0;
    double m_tableBottom = 0;
    bool m_more = false;
    int m_nextRow = 0;
    QList<double> m_colWidths;
};

// Prints the list under the title on a new printer of the context's; when the printer fails, tells the user so over
// owner. The windows' "Print" buttons for their own lists.
void printListOrSayWhy(AppContext& ctx, QWidget* owner, ReportList* list, const QString& title);
