#include "locations/ui/LocationReports.h"

#include "data/DateText.h"
#include "data/DisplayRules.h"
#include "platform/Printer.h"
#include "platform/ReportList.h"

#include <QLocale>
#include <QTextBoundaryFinder>

namespace {

constexpr double kTop = 1444;
constexpr double kLineStep = 361;
constexpr double kPageLimit = 10635;
constexpr double kListingFirstRow = 2166;
constexpr double kDetailListingTopAfterBreak = 1805;
constexpr double kColumns[] = {1444, 1900, 4776, 6664, 8664, 10664};
constexpr double kTypeX = 2500;
constexpr double kCountX = 7300;
constexpr double kColumnGap = 72; // a twentieth of an inch stays blank before the next column

// The longest start of text, cut between characters, that is at most width wide.
QString fitted(const Printer& printer, const QString& text, double width) {
    if (printer.textWidth(text) <= width)
        return text;
    QList<qsizetype> cuts;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = characters.toNextBoundary(); at > 0 && at < text.size(); at = characters.toNextBoundary())
        cuts << at;
    qsizetype fits = 0; // how many of the cuts fit, found by halving
    qsizetype tooLong = cuts.size() + 1;
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (printer.textWidth(text.left(cuts.at(middle - 1))) <= width)
            fits = middle;
        else
            tooLong = middle;
    }
    return fits == 0 ? QString() : text.left(cuts.at(fits - 1));
}

// Prints text at (x, y), cut so that it ends before right: a long name must not run into the next column.
void printAt(Printer& printer, double x, double right, double y, const QString& text) {
    printer.setCurrentX(x);
    printer.setCurrentY(y);
    printer.print(fitted(printer, text, right - x - kColumnGap));
}

// Prints text at (x, y), cut at the page's right edge.
void printToEdge(Printer& printer, double x, double y, const QString& text) {
    printAt(printer, x, printer.scaleWidth(), y, text);
}

void printColumns(Printer& printer, double y, const QStringList& cells) {
    for (int i = 0; i < 6; ++i)
        printAt(printer, kColumns[i], i + 1 < 6 ? kColumns[i + 1] : printer.scaleWidth(), y, cells.value(i));
}

void printHeaderRow(Printer& printer, double y) {
    printColumns(printer, y,
                 {QStringLiteral("ID"), QStringLiteral("Location Name"), QStringLiteral("City"),
                  QStringLiteral("State"), QStringLiteral("Phone Number"), QStringLiteral("Equipment Count")});
}

void startTwipsPage(Printer& printer) {
    printer.setScaleMode(Printer::ScaleMode::Twips);
    printer.setLandscape(true);
}

} // namespace

void printLocationListing(Printer& printer, const QList<QStringList>& rows, bool selectedOnly, const QDate& today) {
    startTwipsPage(printer);
    printToEdge(printer, kTop, kTop,
                (selectedOnly ? QStringLiteral("Listing of selected current locations as of ")
                              : QStringLiteral("Listing of current locations as of ")) +
                    DateText::toShort(today));
    double y = kListingFirstRow;
    printHeaderRow(printer, y);
    y += kLineStep;
    for (const QStringList& row : rows) {
        printColumns(printer, y, row);
        y += kLineStep;
        if (y >= kPageLimit) {
            printer.newPage();
            y = kTop;
            printHeaderRow(printer, y);
            y += kLineStep;
        }
    }
    printer.endDoc();
}

void printLocationDetailListing(Printer& printer, const QList<QStringList>& rows, bool selectedOnly, const QDate& today,
                                const std::function<std::vector<TypeCountRow>(qint64 locId)>& typeCounts) {
    startTwipsPage(printer);
    printToEdge(printer, kTop, kTop,
                (selectedOnly ? QStringLiteral("Detail listing of selected current locations as of ")
                              : QStringLiteral("Detail listing of current locations as of ")) +
                    DateText::toShort(today));
    double y = kListingFirstRow;
    const auto breakIfFull = [&] {
        if (y < kPageLimit)
            return;
        printer.newPage();
        y = kDetailListingTopAfterBreak;
        printHeaderRow(printer, y);
        y += kLineStep;
    };
    for (const QStringList& row : rows) {
        printColumns(printer, y, row);
        y += kLineStep;
        for (const TypeCountRow& count : typeCounts(row.value(0).toLongLong())) {
            printAt(printer, kTypeX, kCountX, y,
                    count.equipmentType.isNull() ? QString() : nbspAsBlank(count.equipmentType.toString()));
            printToEdge(printer, kCountX, y, QString::number(count.count));
            y += kLineStep;
            breakIfFull();
        }
        breakIfFull();
    }
    printer.endDoc();
}

void addListRows(LocationDetailReport& report, const ReportList& typeCounts, const ReportList& equipment) {
    for (int row = 0; row < typeCounts.rowCount(); ++row)
        report.typeCounts.append(
            {typeCounts.text(row, QStringLiteral("Num")), typeCounts.text(row, QStringLiteral("EquipmentType"))});
    for (int row = 0; row < equipment.rowCount(); ++row)
        report.equipment.append({equipment.text(row, QStringLiteral("EquipmentId")),
                                 equipment.text(row, QStringLiteral("SerialNumber")),
                                 equipment.text(row, QStringLiteral("ModelNumber"))});
}

void printLocationDetailReport(Printer& printer, const LocationDetailReport& r, const QDateTime& now) {
    constexpr double kRight = 7664;
    constexpr double kBlockStart = 2527;
    constexpr double kCountColumn = 1900;
    constexpr double kTypeColumn = 4776;
    constexpr double kSerialColumn = 6664;
    constexpr double kModelColumn = 9664;

    startTwipsPage(printer);
    // "statictal": the system's given spelling, kept on purpose.
    printToEdge(printer, kTop, kTop,
                QStringLiteral("Detailed Location information including statictal and equipment listing as of ") +
                    DateText::toShort(now.date()) + u' ' + QLocale().toString(now.time(), QLocale::ShortFormat));
    printToEdge(printer, kTop, kTop + kLineStep, QStringLiteral("For ") + r.name);

    const QStringList address = {QStringLiteral("Company Name: ") + r.name,
                                 QStringLiteral("Address One: ") + r.addressOne,
                                 QStringLiteral("Address Two: ") + r.addressTwo,
                                 QStringLiteral("City: ") + r.city,
                                 QStringLiteral("State: ") + r.state,
                                 QStringLiteral("Zip: ") + r.zip};
    for (int k = 0; k < address.size(); ++k)
        printAt(printer, kTop, kRight, kBlockStart + k * kLineStep, address.at(k));
    const LocationContact& c = r.contact;
    const QStringList contact = {
        QStringLiteral("First Name:") + c.firstName, QStringLiteral("Middle Name: ") + c.middleName,
        QStringLiteral("Last Name: ") + c.lastName,  QStringLiteral("Title: ") + c.title,
        QStringLiteral("Phone Number: ") + c.phone,  QStringLiteral("Cell Phone Number: ") + c.cellPhone,
        QStringLiteral("Email Address: ") + c.email};
    for (int k = 0; k < contact.size(); ++k)
        printToEdge(printer, kRight, kBlockStart + k * kLineStep, contact.at(k));

    double y = kBlockStart + 8 * kLineStep;
    const auto nextLine = [&] {
        y += kLineStep;
        if (y >= kPageLimit) {
            printer.newPage();
            y = kTop;
        }
    };
    for (const LocationDetailReport::TypeCount& count : r.typeCounts) {
        printAt(printer, kCountColumn, kTypeColumn, y, count.count);
        printToEdge(printer, kTypeColumn, y, count.type);
        nextLine();
    }
    y += 2 * kLineStep;
    for (const LocationDetailReport::Unit& unit : r.equipment) {
        printAt(printer, kTop, kSerialColumn, y, QStringLiteral("Equipment: ") + unit.id);
        printAt(printer, kSerialColumn, kModelColumn, y, QStringLiteral("SN: ") + unit.serialNumber);
        printToEdge(printer, kModelColumn, y, QStringLiteral("Model: ") + unit.modelNumber);
        nextLine();
    }
    printer.endDoc();
}
