#pragma once

#include "locations/store/LocationStore.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <functional>
#include <vector>

class Printer;
class ReportList;

// Printouts of the active location list, placed at fixed positions in twips. Each row is a list row's six
// cells: id, name, city, state, phone number, equipment count.
void printLocationListing(Printer& printer, const QList<QStringList>& rows, bool selectedOnly, const QDate& today);
void printLocationDetailListing(Printer& printer, const QList<QStringList>& rows, bool selectedOnly, const QDate& today,
                                const std::function<std::vector<TypeCountRow>(qint64 locId)>& typeCounts);

// What the location detail window holds when its report is printed.
struct LocationDetailReport {
    QString name;
    QString addressOne;
    QString addressTwo;
    QString city;
    QString state;
    QString zip;
    LocationContact contact;
    struct TypeCount {
        QString count;
        QString type;
    };
    struct Unit {
        QString id;
        QString serialNumber;
        QString modelNumber;
    };
    // As the window's lists show them.
    QList<TypeCount> typeCounts;
    QList<Unit> equipment;
};

// Fills the report's counts and units from the detail window's lists, each cell read by its column's key.
void addListRows(LocationDetailReport& report, const ReportList& typeCounts, const ReportList& equipment);

void printLocationDetailReport(Printer& printer, const LocationDetailReport& report, const QDateTime& now);
