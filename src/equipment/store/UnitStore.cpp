#include "equipment/store/UnitStore.h"

#include "assignment/store/AssignmentStore.h"
#include "data/Database.h"
#include "data/DateText.h"

namespace {

QString recordColumns() {
    QStringList columns{QStringLiteral("%1.EquipmentId")};
    for (const UnitFieldInfo& f : kUnitFields)
        columns << QStringLiteral("%1.") + QLatin1String(f.inventory);
    columns << QStringLiteral("%1.EquActive") << QStringLiteral("%1.CurrentLocation")
            << QStringLiteral("LocationInfo.LocName");
    return columns.join(QStringLiteral(", "));
}

QString recordStatement(UnitSource source, const QString& where) {
    const QString table =
        source == UnitSource::Inventory ? QStringLiteral("EquipmentInfo") : QStringLiteral("TempEquipmentInfo");
    // The outer join keeps a unit whose location no longer exists.
    return QStringLiteral("SELECT ") + recordColumns().arg(table) + QStringLiteral(" FROM ") + table +
           QStringLiteral(" LEFT OUTER JOIN LocationInfo ON LocationInfo.LocId = %1.CurrentLocation WHERE ")
               .arg(table) +
           where.arg(table);
}

UnitRecord readRecord(const Query& q) {
    UnitRecord r;
    r.id = q.value(QStringLiteral("EquipmentId")).toLongLong();
    for (const UnitFieldInfo& f : kUnitFields)
        r[f.field] = q.optionalText(QLatin1String(f.inventory));
    r.active = q.value(QStringLiteral("EquActive")).toInt() != 0;
    if (const std::optional<QString> location = q.optionalText(QStringLiteral("CurrentLocation")))
        r.currentLocation = location->toLongLong();
    r.locationName = q.optionalText(QStringLiteral("LocName"));
    return r;
}

// A null QString would be bound as Null; typed text, even none, is stored as text.
QVariant asText(const QString& s) {
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

QVariant asType(const QString& type) {
    return type.isNull() ? QVariant() : QVariant(type);
}

QVariant asDate(const QString& date) {
    if (date.isNull())
        return QVariant();
    if (!QDate::fromString(date, Qt::ISODate).isValid())
        throw DataError(QStringLiteral("The purchase date is not a valid date."));
    return date;
}

// The edited values: those with a box, one column each. The type is picked, not typed: it is bound apart,
// since none keeps the stored one; the date is checked.
bool typed(const UnitFieldInfo& f) {
    return f.box && f.field != UnitField::DatePurchased;
}

QStringList valueColumns() {
    QStringList columns{QStringLiteral("DatePurchased")};
    for (const UnitFieldInfo& f : kUnitFields)
        if (typed(f))
            columns << QLatin1String(f.inventory);
    return columns;
}

// Checks the date before anything is bound, so an invalid one writes nothing.
void bindValues(Query& q, const UnitValues& v) {
    q.bind(QStringLiteral("DatePurchased"), asDate(v[UnitField::DatePurchased]));
    q.bind(QStringLiteral("EquipmentType"), asType(v[UnitField::EquipmentType]));
    for (const UnitFieldInfo& f : kUnitFields)
        if (typed(f))
            q.bind(QLatin1String(f.inventory), asText(v[f.field]));
}

} // namespace

std::optional<UnitRecord> UnitStore::unit(qint64 id) const {
    Query q(m_db, recordStatement(UnitSource::Inventory, QStringLiteral("%1.EquipmentId = ?")));
    q.exec({id});
    if (!q.next())
        return std::nullopt;
    return readRecord(q);
}

std::optional<UnitRecord> UnitStore::firstWithSerial(const QString& serialNumber, UnitSource source) const {
    Query q(m_db, recordStatement(source, QStringLiteral("%1.SerialNumber = ? ORDER BY %1.EquipmentId")));
    q.exec({asText(serialNumber)});
    if (!q.next())
        return std::nullopt;
    return readRecord(q);
}

bool UnitStore::save(qint64 id, const UnitValues& values) {
    Query q(m_db, QStringLiteral("UPDATE EquipmentInfo SET EquipmentType = COALESCE(:EquipmentType, EquipmentType), "
                                 "%1 WHERE (EquipmentId = :EquipmentId)")
                      .arg(Columns::assignments(valueColumns())));
    bindValues(q, values);
    q.bind(QStringLiteral("EquipmentId"), id).exec();
    return q.numRowsAffected() > 0;
}

ReassignResult UnitStore::reassign(qint64 id, qint64 locId) {
    return m_db.transaction([&] {
        const int units = Query(m_db, QStringLiteral("SELECT COUNT(*) FROM EquipmentInfo WHERE EquipmentId = ?"))
                              .scalar({id})
                              .toInt();
        if (units == 0)
            return ReassignResult::UnitGone;
        try {
            AssignmentStore(m_db).assign({id}, locId);
        } catch (const LocationUnavailable&) {
            return ReassignResult::LocationUnavailable;
        }
        return ReassignResult::Done;
    });
}

std::vector<AssignmentRow> UnitStore::history(qint64 id) const {
    Query q(m_db,
            QStringLiteral("SELECT EquipLocAssign.EquipLocAssignId, EquipLocAssign.EquipLocAssignDate, "
                           "EquipLocAssign.LocId, LocationInfo.LocName FROM EquipLocAssign INNER JOIN "
                           "LocationInfo ON EquipLocAssign.LocId = LocationInfo.LocId "
                           "WHERE (EquipLocAssign.EquipmentId = ?) ORDER BY EquipLocAssign.EquipLocAssignId DESC"));
    q.exec({id});
    std::vector<AssignmentRow> rows;
    while (q.next())
        rows.push_back({q.value(QStringLiteral("EquipLocAssignId")).toLongLong(),
                        storedDate(q.optionalText(QStringLiteral("EquipLocAssignDate"))),
                        q.value(QStringLiteral("LocId")).toLongLong(), q.optionalText(QStringLiteral("LocName"))});
    return rows;
}

bool UnitStore::locationAvailable(qint64 locId) const {
    return AssignmentStore(m_db).locationActive(locId);
}

qint64 UnitStore::insert(const UnitValues& values, qint64 locId) {
    Query q(m_db, Columns::insert(QStringLiteral("EquipmentInfo"), valueColumns() << QStringLiteral("EquipmentType")
                                                                                  << QStringLiteral("CurrentLocation")
                                                                                  << QStringLiteral("EquActive")));
    bindValues(q, values);
    q.bind(QStringLiteral("CurrentLocation"), locId).bind(QStringLiteral("EquActive"), 1).exec();
    return q.lastInsertId().toLongLong();
}
