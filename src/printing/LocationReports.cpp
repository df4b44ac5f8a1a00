#include "printing/LocationReports.h"

#include "data/DisplayRules.h"
#include "platform/Printer.h"

#include <QLocale>

namespace {

constexpr double kTop = 1444;
constexpr double kLineStep = 361;
constexpr double kPageLimit = 10635;
constexpr double kListingFirstRow = 2166;
constexpr double kDetailListingTopAfterBreak = 1805;
constexpr double kColumns[] = {1444, 1900, 4776, 6664, 8664, 10664};
constexpr double kTypeX = 2500;
constexpr double kCountX = 7300;

void printAt(Printer& printer, double x, double y, const QString& text) {
    printer.setCurrentX(x);
    printer.setCurrentY(y);
    printer.print(text);
}

void printColumns(Printer& printer, double y, const QStringList& cells) {
    for (int i = 0; i < 6; ++i)
        printAt(printer, kColumns[i], y, cells.value(i));
}

void printHeaderRow(Printer& printer, double y) {
    printColumns(printer, y,
                 {QStringLiteral("ID"), QStringLiteral("Location Name"), QStringLiteral("City"), QStringLiteral("State"),
                  QStringLiteral("Phone Number"), QStringLiteral("Equipment Count")});
}

void startTwipsPage(Printer& printer) {
    printer.setScaleMode(Printer::ScaleMode::Twips);
    printer.setLandscape(true);
}

QString shortDate(const QDate& date) { return QLocale().toString(date, QLocale::ShortFormat); }

} // namespace

void printLocationListing(Printer& printer, const QList<QStringList>& rows, bool selectedOnly, const QDate& today) {
    startTwipsPage(printer);
    printAt(printer, kTop, kTop,
            (selectedOnly ? QStringLiteral("Listing of selected current locations as of ")
                          : QStringLiteral("Listing of current locations as of ")) +
                shortDate(today));
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

void printLocationDetailListing(Printer& printer, const QList<QStringList>& rows, bool selectedOnly,
                                const QDate& today,
                                const std::function<std::vector<TypeCountRow>(qint64 locId)>& typeCounts) {
    startTwipsPage(printer);
    printAt(printer, kTop, kTop,
            (selectedOnly ? QStringLiteral("Detail listing of selected current locations as of ")
                          : QStringLiteral("Detail listing of current locations as of ")) +
                shortDate(today));
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
            printAt(printer, kTypeX, y,
                    count.equipmentType.isNull() ? QString() : nbspAsBlank(count.equipmentType.toString()));
            printAt(printer, kCountX, y, QString::number(count.count));
            y += kLineStep;
            breakIfFull();
        }
        breakIfFull();
    }
    printer.endDoc();
}

void printLocationDetailReport(Printer& printer, const LocationDetailReport& r, const QDateTime& now) {
    constexpr double kRight = 7664;
    constexpr double kBlockStart = 2527;
    constexpr double kCountColumn = 1900;
    constexpr double kTypeColumn = 4776;
    constexpr double kSerialColumn = 6664;
    constexpr double kModelColumn = 9664;

    startTwipsPage(printer);
    printAt(printer, kTop, kTop,
            QStringLiteral("Detailed Location information including statictal and equipment listing as of ") +
                QLocale().toString(now, QLocale::ShortFormat));
    printAt(printer, kTop, kTop + kLineStep, QStringLiteral("For ") + r.name);

    const QStringList address = {QStringLiteral("Company Name: ") + r.name,
                                 QStringLiteral("Address One: ") + r.addressOne,
                                 QStringLiteral("Address Two: ") + r.addressTwo, QStringLiteral("City: ") + r.city,
                                 QStringLiteral("State: ") + r.state, QStringLiteral("Zip: ") + r.zip};
    for (int k = 0; k < address.size(); ++k)
        printAt(printer, kTop, kBlockStart + k * kLineStep, address.at(k));
    const LocationContact& c = r.contact;
    const QStringList contact = {QStringLiteral("First Name:") + c.firstName,
                                 QStringLiteral("Middle Name: ") + c.middleName,
                                 QStringLiteral("Last Name: ") + c.lastName,
                                 QStringLiteral("Title: ") + c.title,
                                 QStringLiteral("Phone Number: ") + c.phone,
                                 QStringLiteral("Cell Phone Number: ") + c.cellPhone,
                                 QStringLiteral("Email Address: ") + c.email};
    for (int k = 0; k < contact.size(); ++k)
        printAt(printer, kRight, kBlockStart + k * kLineStep, contact.at(k));

    double y = kBlockStart + 8 * kLineStep;
    const auto nextLine = [&] {
        y += kLineStep;
        if (y >= kPageLimit) {
            printer.newPage();
            y = kTop;
        }
    };
    for (const QStringList& count : r.typeCounts) {
        printAt(printer, kCountColumn, y, count.value(0));
        printAt(printer, kTypeColumn, y, count.value(1));
        nextLine();
    }
    y += 2 * kLineStep;
    for (const QStringList& unit : r.equipment) {
        printAt(printer, kTop, y, QStringLiteral("Equipment: ") + unit.value(0));
        printAt(printer, kSerialColumn, y, QStringLiteral("SN: ") + unit.value(5));
        printAt(printer, kModelColumn, y, QStringLiteral("Model: ") + unit.value(6));
        nextLine();
    }
    printer.endDoc();
}
