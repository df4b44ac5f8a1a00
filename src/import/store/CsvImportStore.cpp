#include "import/store/CsvImportStore.h"

#include "data/CsvReader.h"
#include "data/Database.h"
#include "data/DateText.h"
#include "data/QuotedValue.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "locations/store/LocationStore.h"

#include <QHash>
#include <QSet>

namespace {
// Each column the import fills: its holding column (none for the location, which fills two), its caption, and the
// spellings of a header that name it, written as normalized() leaves them.
struct TargetInfo {
    ImportTarget target;
    const char* holding;
    const char* caption;
    std::initializer_list<const char*> spellings;
};
const TargetInfo kTargets[] = {
    {ImportTarget::AssetTagNumber,
     "AssetTagNumber",
     "Asset Tag Number",
     {"assettagnumber", "assettag", "assettagno", "assetnumber", "assetno", "asset", "tag", "tagnumber"}},
    {ImportTarget::EquipmentType,
     "EquipmentType",
     "Description",
     {"equipmenttype", "description", "type", "equipment", "category"}},
    {ImportTarget::Manufacturer, "Manufacturer", "Manufacturer", {"manufacturer", "make", "maker", "vendor", "brand"}},
    {ImportTarget::DatePurchased,
     "DatePurchased",
     "Date Purchased",
     {"datepurchased", "purchasedate", "purchased", "dateofpurchase", "date"}},
    {ImportTarget::PurchasePrice, "PurchasePrice", "Purchase Price", {"purchaseprice", "price", "cost"}},
    {ImportTarget::SerialNumber,
     "SerialNumber",
     "Serial Number",
     {"serialnumber", "serial", "serialno", "serialnum", "sn"}},
    {ImportTarget::ModelNumber, "ModelNumber", "Model Number", {"modelnumber", "model", "modelno"}},
    {ImportTarget::CpuSpeed, "CpuSpeed", "Cpu-Speed", {"cpuspeed", "cpu", "processor"}},
    {ImportTarget::Memory, "Memory", "Memory", {"memory", "ram"}},
    {ImportTarget::HardDriveCapacity,
     "HardDriveCapacity",
     "Hard Drive Capacity",
     {"harddrivecapacity", "harddrivecap", "harddrive", "hd", "hdd", "disk", "storage"}},
    {ImportTarget::Monitor, "Monitor", "Monitor", {"monitor"}},
    {ImportTarget::Mouse, "Mouse", "Mouse", {"mouse"}},
    {ImportTarget::Keyboard, "Keyboard", "Keyboard", {"keyboard"}},
    {ImportTarget::OperatingSystem, "OperatingSystem", "Operating System", {"operatingsystem", "os"}},
    {ImportTarget::Location, nullptr, "Location", {"location", "currentlocation", "locationname", "locname", "site"}},
};

// "Serial #", "serial_no" and "SERIAL NO." all come down to letters and digits, "#" read as "number".
QString normalized(const QString& header) {
    QString out;
    for (const QChar c : header) {
        if (c == QLatin1Char('#'))
            out += QLatin1String("number");
        else if (c.isLetterOrNumber())
            out += c.toCaseFolded();
    }
    return out;
}

const TargetInfo& info(ImportTarget target) {
    return kTargets[static_cast<int>(target)];
}

QString key(const QString& name) {
    return name.trimmed().toCaseFolded();
}

// Empty text, never Null, as the entry window stores a box left empty.
QString cellOf(const QStringList& row, qsizetype column) {
    // The NUL characters binding would remove go before the checks, so a row is checked as it will be stored.
    const QString text = storedValue(CsvReader::cell(row.at(column))).toString();
    return text.isNull() ? QString(QLatin1String("")) : text;
}
} // namespace

ImportRowError::ImportRowError(qsizetype row, const QString& column, const QString& reason)
    : DataError(column.isEmpty()
                    ? QStringLiteral("Row %1: %2").arg(row).arg(reason)
                    : QStringLiteral("Row %1, column \"%2\": %3").arg(row).arg(quotedValue(column), reason)),
      m_row(row), m_column(column), m_reason(reason) {}

ImportTarget CsvImportStore::targetOf(const QString& header) {
    const QString name = normalized(header);
    for (const TargetInfo& t : kTargets)
        for (const char* spelling : t.spellings)
            if (name == QLatin1String(spelling))
                return t.target;
    return ImportTarget::None;
}

QString CsvImportStore::caption(ImportTarget target) {
    return target == ImportTarget::None ? QString() : QLatin1String(info(target).caption);
}

ImportFile CsvImportStore::parse(const QByteArray& bytes, const std::function<void(int)>& progress) {
    CsvReader reader(bytes);
    ImportFile file;
    QStringList fields;
    if (!reader.next(fields) || (fields.size() == 1 && fields.front().trimmed().isEmpty()))
        throw DataError(QStringLiteral("The file has no header row naming its columns."));
    for (const QString& header : fields) {
        const ImportTarget target = targetOf(header);
        if (target != ImportTarget::None && file.targets.contains(target))
            throw DataError(QStringLiteral("Two columns of the header are the %1: \"%2\" and \"%3\".")
                                .arg(caption(target), quotedValue(file.headers.at(file.targets.indexOf(target))),
                                     quotedValue(header)));
        file.headers << header;
        file.targets << target;
    }
    if (!file.has(ImportTarget::SerialNumber))
        throw DataError(QStringLiteral("The header has no serial number column."));
    while (reader.next(fields)) {
        if (fields.size() == 1 && fields.front().isEmpty())
            continue; // a blank line
        file.rows.push_back(fields);
        file.rowNumbers.push_back(reader.record());
        if (progress && file.rows.size() % 4096 == 0)
            progress(reader.permille());
    }
    return file;
}

QStringList CsvImportStore::unknownTypes(const ImportFile& file) const {
    const qsizetype column = file.targets.indexOf(ImportTarget::EquipmentType);
    if (column < 0)
        return {};
    QSet<QString> seen;
    for (const QString& name : EquipmentTypeStore(m_db).names())
        seen.insert(key(name));
    QStringList unknown;
    for (const QStringList& row : file.rows) {
        if (column >= row.size())
            continue;
        const QString name = cellOf(row, column).trimmed();
        if (!name.isEmpty() && !seen.contains(key(name))) {
            seen.insert(key(name));
            unknown << name;
        }
    }
    return unknown;
}

int CsvImportStore::import(const ImportFile& file, const ImportOptions& options,
                           const std::function<void(qsizetype, qsizetype)>& progress) {
    const qsizetype total = static_cast<qsizetype>(file.rows.size());
    const qsizetype locationColumn = file.targets.indexOf(ImportTarget::Location);
    const qsizetype typeColumn = file.targets.indexOf(ImportTarget::EquipmentType);
    const qsizetype dateColumn = file.targets.indexOf(ImportTarget::DatePurchased);
    const qsizetype serialColumn = file.targets.indexOf(ImportTarget::SerialNumber);
    QStringList columns;
    QList<qsizetype> sourceOf; // per holding column but the location's two: the file's column, or -1
    for (const TargetInfo& t : kTargets) {
        if (!t.holding)
            continue;
        columns << QLatin1String(t.holding);
        sourceOf << file.targets.indexOf(t.target);
    }
    columns << QStringLiteral("CurrentLocation") << QStringLiteral("LocationName");

    // On a server the whole transaction may run again after a conflict: it reads what it checks against afresh
    // and keeps nothing of an earlier run.
    return m_db.transaction([&] {
        struct Place {
            qint64 id = 0;
            QString name;
            bool ambiguous = false;
        };
        QHash<QString, Place> locations;
        for (const LocationIdName& l : LocationStore(m_db).activeLocationNames()) {
            const QString name = l.name.toString();
            auto it = locations.find(key(name));
            if (it != locations.end())
                it->ambiguous = true;
            else
                locations.insert(key(name), Place{l.id, name});
        }
        Place fixed;
        if (locationColumn < 0) {
            for (const Place& p : std::as_const(locations))
                if (p.id == options.locationId)
                    fixed = p;
            if (fixed.id == 0)
                throw DataError(QStringLiteral("Choose the active location the equipment goes to."));
        }
        EquipmentTypeStore typeStore(m_db);
        QHash<QString, QString> types;
        for (const QString& name : typeStore.names())
            types.insert(key(name), name);
        QStringList toCreate;
        for (const QString& name : options.createTypes)
            if (!key(name).isEmpty() && !types.contains(key(name))) {
                types.insert(key(name), name.trimmed());
                toCreate << name.trimmed();
            }

        // A row's values as written, or ImportRowError.
        const auto rowValues = [&](qsizetype r) {
            const QStringList& row = file.rows[r];
            const qsizetype number = file.rowNumbers[r];
            if (row.size() != file.headers.size())
                throw ImportRowError(number, QString(),
                                     QStringLiteral("it has %1 fields where the header has %2.")
                                         .arg(row.size())
                                         .arg(file.headers.size()));
            const auto fail = [&](qsizetype column, const QString& reason) {
                throw ImportRowError(number, file.headers.at(column), reason);
            };
            QVariantList values;
            values.reserve(columns.size());
            for (qsizetype source : std::as_const(sourceOf))
                values << (source < 0 ? QString(QLatin1String("")) : cellOf(row, source));
            if (cellOf(row, serialColumn).trimmed().isEmpty())
                fail(serialColumn, QStringLiteral("the serial number is empty."));
            if (typeColumn >= 0) {
                const QString name = cellOf(row, typeColumn);
                if (!name.trimmed().isEmpty()) {
                    const auto known = types.constFind(key(name));
                    if (known == types.cend())
                        fail(typeColumn,
                             QStringLiteral("\"%1\" is not a known equipment type.").arg(quotedValue(name)));
                    values[static_cast<int>(ImportTarget::EquipmentType)] = *known;
                }
            }
            if (dateColumn >= 0) {
                const QString text = cellOf(row, dateColumn).trimmed();
                QVariant stored; // no date: Null
                if (!text.isEmpty()) {
                    const QDate date = DateText::parse(text, options.today);
                    if (!date.isValid())
                        fail(dateColumn, QStringLiteral("\"%1\" is not a date.").arg(quotedValue(text)));
                    stored = DateText::toStored(date);
                }
                values[static_cast<int>(ImportTarget::DatePurchased)] = stored;
            }
            Place place = fixed;
            if (locationColumn >= 0) {
                const QString name = cellOf(row, locationColumn);
                if (name.trimmed().isEmpty())
                    fail(locationColumn, QStringLiteral("no location is given."));
                const auto found = locations.constFind(key(name));
                if (found == locations.cend())
                    fail(locationColumn, QStringLiteral("\"%1\" is no active location.").arg(quotedValue(name)));
                if (found->ambiguous)
                    fail(locationColumn,
                         QStringLiteral("more than one active location is named \"%1\".").arg(quotedValue(name)));
                place = *found;
            }
            values << place.id << place.name;
            return values;
        };
        // Every row is checked before the first write, so a bad row costs no writes to undo; the values are made
        // again for the writes rather than kept, which would hold a second copy of a large file.
        for (qsizetype r = 0; r < total; ++r)
            rowValues(r);
        for (const QString& name : std::as_const(toCreate))
            typeStore.add(name);
        // Positional placeholders: QtSql binds a named one by building its name for every value of every row.
        QStringList marks;
        marks.fill(QStringLiteral("?"), columns.size());
        Query insert(m_db, QStringLiteral("INSERT INTO HoldEquipment (%1) VALUES (%2)")
                               .arg(Columns::list(columns), marks.join(QStringLiteral(", "))));
        for (qsizetype r = 0; r < total; ++r) {
            insert.exec(rowValues(r));
            if (progress && (r + 1) % 1000 == 0)
                progress(r + 1, total);
        }
        if (progress)
            progress(total, total);
        return static_cast<int>(total);
    });
}
