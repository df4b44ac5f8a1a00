#include "import/store/CsvImportStore.h"

#include "import/store/ImportRowChecker.h"

#include "data/CsvReader.h"
#include "data/Database.h"
#include "data/QuotedValue.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "locations/store/LocationStore.h"

#include <QSet>

namespace {
// Headers naming the location, which is no attribute: it fills two columns.
const char* const kLocationSpellings[] = {"location", "currentlocation", "locationname", "locname", "site"};

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
} // namespace

ImportRowError::ImportRowError(qsizetype row, const QString& column, const QString& reason)
    : DataError(column.isEmpty()
                    ? QStringLiteral("Row %1: %2").arg(row).arg(reason)
                    : QStringLiteral("Row %1, column \"%2\": %3").arg(row).arg(quotedValue(column), reason)),
      m_row(row), m_column(column), m_reason(reason) {}

ImportTarget CsvImportStore::targetOf(const QString& header) {
    const QString name = normalized(header);
    for (const char* spelling : kLocationSpellings)
        if (name == QLatin1String(spelling))
            return ImportTarget::Location;
    for (const UnitFieldInfo& f : kUnitFields)
        for (const char* spelling : f.spellings)
            if (f.holding && name == QLatin1String(spelling))
                return f.field;
    return ImportTarget::None;
}

QString CsvImportStore::caption(ImportTarget target) {
    if (target == ImportTarget::Location)
        return QStringLiteral("Location");
    const std::optional<UnitField> field = target.field();
    return field ? QLatin1String(unitField(*field).caption) : QString();
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
    if (!file.has(UnitField::SerialNumber))
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
    const qsizetype column = file.targets.indexOf(UnitField::EquipmentType);
    if (column < 0)
        return {};
    QSet<QString> seen;
    for (const QString& name : EquipmentTypeStore(m_db).names())
        seen.insert(ImportRowChecker::key(name));
    QStringList unknown;
    for (const QStringList& row : file.rows) {
        if (column >= row.size())
            continue;
        const QString name = ImportRowChecker::cell(row, column).trimmed();
        if (!name.isEmpty() && !seen.contains(ImportRowChecker::key(name))) {
            seen.insert(ImportRowChecker::key(name));
            unknown << name;
        }
    }
    return unknown;
}

int CsvImportStore::import(const ImportFile& file, const ImportOptions& options,
                           const std::function<void(qsizetype, qsizetype)>& progress) {
    const qsizetype total = static_cast<qsizetype>(file.rows.size());
    const QStringList columns = ImportRowChecker::columns();
    // On a server the whole transaction may run again after a conflict: it reads what it checks against afresh
    // and keeps nothing of an earlier run.
    return m_db.transaction([&] {
        EquipmentTypeStore typeStore(m_db);
        const ImportRowChecker checker(file, options, LocationStore(m_db).activeLocationNames(), typeStore.names());
        // Every row is checked before the first write, so a bad row costs no writes to undo; the values are made
        // again for the writes rather than kept, which would hold a second copy of a large file.
        for (qsizetype r = 0; r < total; ++r)
            checker.values(r);
        for (const QString& name : checker.typesToCreate())
            typeStore.add(name);
        // Positional placeholders: QtSql binds a named one by building its name for every value of every row.
        QStringList marks;
        marks.fill(QStringLiteral("?"), columns.size());
        Query insert(m_db, QStringLiteral("INSERT INTO HoldEquipment (%1) VALUES (%2)")
                               .arg(Columns::list(columns), marks.join(QStringLiteral(", "))));
        for (qsizetype r = 0; r < total; ++r) {
            insert.exec(checker.values(r));
            if (progress && (r + 1) % 1000 == 0)
                progress(r + 1, total);
        }
        if (progress)
            progress(total, total);
        return static_cast<int>(total);
    });
}
