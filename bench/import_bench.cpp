// Equipment imported from a CSV file into the holding table, against the same rows written through the C API.

#include "bench.h"

#include "data/Database.h"
#include "equipment/store/HoldingStore.h"
#include "import/store/CsvImportStore.h"
#include "locations/store/LocationStore.h"

#include <QDate>
#include <QDir>
#include <QHash>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <sqlite3.h>

namespace bench {

namespace {

constexpr int kHoldingValues = 16; // the holding columns with the location's id and name

const char* const kTypes[] = {"Desktop", "Laptop", "Monitor", "Printer", "Docking Station", "Server"};
const char* const kMakers[] = {"Dell", "HP", "Lenovo", "O'Neil & Sons", "Apple"};

// A file as a spreadsheet writes it: every column named, some fields quoted, a byte-order mark; beside it, each
// row's values as the holding table stores them, for the floor.
struct ImportRows {
    QByteArray csv;
    std::vector<std::array<QByteArray, kHoldingValues>> values;
};

QByteArray quoted(const QByteArray& field) {
    if (!field.contains(',') && !field.contains('"'))
        return field;
    QByteArray out = field;
    out.replace("\"", "\"\"");
    return '"' + out + '"';
}

ImportRows makeRows(int count, const std::vector<LocationIdName>& locations) {
    ImportRows rows;
    rows.csv = "\xEF\xBB\xBFSerial Number,Asset Tag,Description,Manufacturer,Model Number,Date Purchased,Purchase "
               "Price,Memory,Operating System,Current Location\r\n";
    rows.values.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QByteArray serial = "IMP" + QByteArray::number(i).rightJustified(8, '0');
        const QByteArray tag = "T-" + QByteArray::number(i);
        const QByteArray type = kTypes[i % 6];
        const QByteArray maker = kMakers[i % 5];
        const QByteArray model = i % 10 == 0 ? QByteArray("Latitude 5440, 14\" screen") : QByteArray("EliteDesk 800");
        const QByteArray date = QDate(2015, 1, 1).addDays(i % 3650).toString(Qt::ISODate).toUtf8();
        const QByteArray price = QByteArray::number(199 + i % 1800) + ".00";
        const QByteArray memory = "16 GB";
        const QByteArray os = "Windows 11";
        const LocationIdName& place = locations[static_cast<size_t>(i) % locations.size()];
        const QByteArray locName = place.name.toString().toUtf8();
        rows.csv += serial + ',' + tag + ',' + quoted(type) + ',' + quoted(maker) + ',' + quoted(model) + ',' + date +
                    ',' + price + ',' + memory + ',' + os + ',' + quoted(locName) + "\r\n";
        rows.values.push_back({tag, type, maker, date, price, serial, model, "", memory, "", "", "", "", os,
                               QByteArray::number(place.id), locName});
    }
    return rows;
}

// The floor: one prepared INSERT bound per row, in one transaction, through the C API.
void insertRaw(sqlite3* db, const ImportRows& rows) {
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt =
        prepareRaw(db, QStringLiteral("INSERT INTO hold.HoldEquipment (AssetTagNumber, EquipmentType, Manufacturer, "
                                      "DatePurchased, PurchasePrice, SerialNumber, ModelNumber, CpuSpeed, Memory, "
                                      "HardDriveCapacity, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation, "
                                      "LocationName) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const auto& row : rows.values) {
        for (int c = 0; c < kHoldingValues; ++c) {
            if (c == 14)
                sqlite3_bind_int64(stmt, c + 1, row[c].toLongLong());
            else
                sqlite3_bind_text(stmt, c + 1, row[c].constData(), static_cast<int>(row[c].size()), SQLITE_STATIC);
        }
        if (sqlite3_step(stmt) != SQLITE_DONE)
            qFatal("insert: %s", sqlite3_errmsg(db));
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

} // namespace

void benchImport(const Options& opt) {
    QTemporaryDir temporary;
    const QString dir = opt.keepData ? QDir(opt.dataDir).filePath(QStringLiteral("import")) : temporary.path();
    copyDataFiles(opt.dataDir, dir);
    Database db(dir); // opened outside the timing, as the application's connection is long open
    HoldingStore(db).clear();
    // A name two locations share cannot say which one is meant: the file names only the others.
    const std::vector<LocationIdName> all = LocationStore(db).activeLocationNames();
    QHash<QString, int> uses;
    for (const LocationIdName& l : all)
        ++uses[l.name.toString().toCaseFolded()];
    std::vector<LocationIdName> named;
    for (const LocationIdName& l : all)
        if (uses.value(l.name.toString().toCaseFolded()) == 1)
            named.push_back(l);
    const ImportRows rows = makeRows(opt.holdingRows, named);
    sqlite3* raw = openRawWithHolding(dir);

    std::vector<double> rawMs, parseMs, importMs, totalMs;
    int imported = 0;
    for (int r = 0; r < opt.repeat; ++r) {
        rawMs.push_back(millisecondsOf([&] { insertRaw(raw, rows); }));
        sqlite3_exec(raw, "DELETE FROM hold.HoldEquipment", nullptr, nullptr, nullptr);

        ImportFile file;
        ImportOptions options;
        options.today = QDate(2026, 1, 1);
        const double parse = millisecondsOf([&] { file = CsvImportStore::parse(rows.csv); });
        const double write = millisecondsOf([&] {
            CsvImportStore store(db);
            options.createTypes = store.unknownTypes(file);
            imported = store.import(file, options);
        });
        parseMs.push_back(parse);
        importMs.push_back(write);
        totalMs.push_back(parse + write);
        HoldingStore(db).clear();
    }
    sqlite3_close(raw);
    const double a = median(rawMs);
    const double b = median(totalMs);
    std::printf("\nimport: %d rows from CSV (%.1f MiB) into the holding table, median of %d runs\n", imported,
                static_cast<double>(rows.csv.size()) / (1 << 20), opt.repeat);
    std::printf("  %-52s %7.1f ms\n", "(a) C API: the rows' values, one INSERT bound per row", a);
    std::printf("  %-52s %7.1f ms\n", "(p) CsvImportStore::parse (read, map the header)", median(parseMs));
    std::printf("  %-52s %7.1f ms\n", "(i) CsvImportStore::import (check, write)", median(importMs));
    std::printf("  %-52s %7.1f ms\n", "(b) the import from the file's bytes: p + i", b);
    std::printf("  %-52s %7.2f x\n", "ratio b / a", a > 0 ? b / a : 0.0);
    std::fflush(stdout);
}

} // namespace bench
