#include "import/store/ImportRowChecker.h"

#include "data/CsvReader.h"
#include "data/Database.h"
#include "data/DateText.h"
#include "data/QuotedValue.h"

namespace {
// The attributes a row fills: those with a holding column.
bool imported(const UnitFieldInfo& f) {
    return f.holding != nullptr;
}
} // namespace

ImportRowChecker::ImportRowChecker(const ImportFile& file, const ImportOptions& options,
                                   const std::vector<LocationIdName>& active, const QStringList& knownTypes)
    : m_file(file), m_today(options.today), m_locationColumn(file.targets.indexOf(ImportTarget::Location)),
      m_typeColumn(file.targets.indexOf(UnitField::EquipmentType)),
      m_dateColumn(file.targets.indexOf(UnitField::DatePurchased)),
      m_serialColumn(file.targets.indexOf(UnitField::SerialNumber)) {
    for (const UnitFieldInfo& f : kUnitFields) {
        if (!imported(f))
            continue;
        if (f.field == UnitField::EquipmentType)
            m_typeSlot = static_cast<int>(m_sourceOf.size());
        if (f.field == UnitField::DatePurchased)
            m_dateSlot = static_cast<int>(m_sourceOf.size());
        m_sourceOf << file.targets.indexOf(f.field);
    }
    for (const LocationIdName& l : active) {
        const QString name = l.name.toString();
        auto it = m_locations.find(key(name));
        if (it != m_locations.end())
            it->ambiguous = true;
        else
            m_locations.insert(key(name), Place{l.id, name});
    }
    if (m_locationColumn < 0) {
        for (const Place& p : std::as_const(m_locations))
            if (p.id == options.locationId)
                m_fixed = p;
        if (m_fixed.id == 0)
            throw DataError(QStringLiteral("Choose the active location the equipment goes to."));
    }
    for (const QString& name : knownTypes)
        m_types.insert(key(name), name);
    for (const QString& name : options.createTypes)
        if (!key(name).isEmpty() && !m_types.contains(key(name))) {
            m_types.insert(key(name), name.trimmed());
            m_toCreate << name.trimmed();
        }
}

QStringList ImportRowChecker::columns() {
    QStringList names;
    for (const UnitFieldInfo& f : kUnitFields)
        if (imported(f))
            names << QLatin1String(f.holding);
    return names << QStringLiteral("CurrentLocation") << QStringLiteral("LocationName");
}

QString ImportRowChecker::cell(const QStringList& row, qsizetype column) {
    // The NUL characters binding would remove go before the checks, so a row is checked as it will be stored.
    const QString text = storedValue(CsvReader::cell(row.at(column))).toString();
    return text.isNull() ? QString(QLatin1String("")) : text;
}

QString ImportRowChecker::key(const QString& name) {
    return name.trimmed().toCaseFolded();
}

void ImportRowChecker::fail(qsizetype number, qsizetype column, const QString& reason) const {
    throw ImportRowError(number, m_file.headers.at(column), reason);
}

QVariantList ImportRowChecker::values(qsizetype r) const {
    const QStringList& row = m_file.rows[r];
    const qsizetype number = m_file.rowNumbers[r];
    if (row.size() != m_file.headers.size())
        throw ImportRowError(
            number, QString(),
            QStringLiteral("it has %1 fields where the header has %2.").arg(row.size()).arg(m_file.headers.size()));
    QVariantList values;
    values.reserve(m_sourceOf.size() + 2);
    for (qsizetype source : m_sourceOf)
        values << (source < 0 ? QString(QLatin1String("")) : cell(row, source));
    if (cell(row, m_serialColumn).trimmed().isEmpty())
        fail(number, m_serialColumn, QStringLiteral("the serial number is empty."));
    if (m_typeColumn >= 0) {
        const QString name = cell(row, m_typeColumn);
        if (!name.trimmed().isEmpty())
            values[m_typeSlot] = typeOf(number, name);
    }
    if (m_dateColumn >= 0)
        values[m_dateSlot] = dateOf(number, cell(row, m_dateColumn).trimmed());
    const Place place = m_locationColumn >= 0 ? placeOf(number, cell(row, m_locationColumn)) : m_fixed;
    values << place.id << place.name;
    return values;
}

QString ImportRowChecker::typeOf(qsizetype number, const QString& name) const {
    const auto known = m_types.constFind(key(name));
    if (known == m_types.cend())
        fail(number, m_typeColumn, QStringLiteral("\"%1\" is not a known equipment type.").arg(quotedValue(name)));
    return *known;
}

QVariant ImportRowChecker::dateOf(qsizetype number, const QString& text) const {
    if (text.isEmpty())
        return {}; // no date: Null
    const QDate date = DateText::parse(text, m_today);
    if (!date.isValid())
        fail(number, m_dateColumn, QStringLiteral("\"%1\" is not a date.").arg(quotedValue(text)));
    return DateText::toStored(date);
}

ImportRowChecker::Place ImportRowChecker::placeOf(qsizetype number, const QString& name) const {
    if (name.trimmed().isEmpty())
        fail(number, m_locationColumn, QStringLiteral("no location is given."));
    const auto found = m_locations.constFind(key(name));
    if (found == m_locations.cend())
        fail(number, m_locationColumn, QStringLiteral("\"%1\" is no active location.").arg(quotedValue(name)));
    if (found->ambiguous)
        fail(number, m_locationColumn,
             QStringLiteral("more than one active location is named \"%1\".").arg(quotedValue(name)));
    return *found;
}
