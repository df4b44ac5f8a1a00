#include "equipment/store/UnitStore.h"

#include "assignment/store/AssignmentStore.h"
#include "data/Database.h"
#include "data/DateText.h"

namespace {

// The record's columns, in the order readRecord() reads them.
const QString kRecordColumns = QStringLiteral(
    "%1.EquipmentId, %1.EquipmentType, %1.AssetTagNumber, %1.Manufacturer, %1.DatePurchased, %1.PurchasePrice, "
    "%1.SerialNumber, %1.ModelNumber, %1.OtherIdentificationNumber, %1.OtherIdentificationType, %1.CPUSpeed, "
    "%1.Memory, %1.HarddriveCap, %1.Monitor, %1.Mouse, %1.Keyboard, %1.OperatingSystem, %1.EquActive, "
    "%1.CurrentLocation, LocationInfo.LocName");

QString recordStatement(UnitSource source, const QString& where) {
    const QString table =
        source == UnitSource::Inventory ? QStringLiteral("EquipmentInfo") : QStringLiteral("TempEquipmentInfo");
    // The outer join keeps a unit whose location no longer exists.
    return QStringLiteral("SELECT ") + kRecordColumns.arg(table) + QStringLiteral(" FROM ") + table +
           QStringLiteral(" LEFT OUTER JOIN LocationInfo ON LocationInfo.LocId = %1.CurrentLocation WHERE ")
               .arg(table) +
           where.arg(table);
}

std::optional<QString> optionalText(const QVariant& v) {
    if (v.isNull())
        return std::nullopt;
    return v.toString();
}

std::optional<QDate> optionalDate(const QVariant& v) {
    const QDate date = QDate::fromString(v.toString(), Qt::ISODate);
    if (v.isNull() || !date.isValid())
        return std::nullopt;
    return date;
}

UnitRecord readRecord(const Query& q) {
    UnitRecord r;
    int c = 0;
    r.id = q.value(c++).toLongLong();
    for (std::optional<QString>* text : {&r.equipmentType, &r.assetTagNumber, &r.manufacturer})
        *text = optionalText(q.value(c++));
    r.datePurchased = optionalDate(q.value(c++));
    for (std::optional<QString>* text :
         {&r.purchasePrice, &r.serialNumber, &r.modelNumber, &r.otherIdentificationNumber, &r.otherIdentificationType,
          &r.cpuSpeed, &r.memory, &r.harddriveCap, &r.monitor, &r.mouse, &r.keyboard, &r.operatingSystem})
        *text = optionalText(q.value(c++));
    r.active = q.value(c++).toInt() != 0;
    const QVariant location = q.value(c++);
    if (!location.isNull())
        r.currentLocation = location.toLongLong();
    r.locationName = optionalText(q.value(c++));
    return r;
}

// A null QString would be bound as Null; typed text, even none, is stored as text.
QVariant asText(const QString& s) {
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

QVariant asType(const std::optional<QString>& type) {
    return type ? asText(*type) : QVariant();
}

QVariant asDate(const std::optional<QDate>& date) {
    if (!date)
        return QVariant();
    if (!date->isValid())
        throw DataError(QStringLiteral("The purchase date is not a valid date."));
    return DateText::toStored(*date);
}

// The edited values, one column each; the type is bound apart, since none keeps the stored one.
const std::pair<const char*, QString UnitValues::*> kTextColumns[] = {
    {"AssetTagNumber", &UnitValues::assetTagNumber},
    {"Manufacturer", &UnitValues::manufacturer},
    {"PurchasePrice", &UnitValues::purchasePrice},
    {"SerialNumber", &UnitValues::serialNumber},
    {"ModelNumber", &UnitValues::modelNumber},
    {"CPUSpeed", &UnitValues::cpuSpeed},
    {"Memory", &UnitValues::memory},
    {"HarddriveCap", &UnitValues::harddriveCap},
    {"Monitor", &UnitValues::monitor},
    {"Mouse", &UnitValues::mouse},
    {"Keyboard", &UnitValues::keyboard},
    {"OperatingSystem", &UnitValues::operatingSystem}};

QStringList valueColumns() {
    QStringList columns{QStringLiteral("DatePurchased")};
    for (const auto& [column, member] : kTextColumns)
        columns << QLatin1String(column);
    return columns;
}

// Checks the date before anything is bound, so an invalid one writes nothing.
void bindValues(Query& q, const UnitValues& v) {
    q.bind(QStringLiteral("DatePurchased"), asDate(v.datePurchased));
    q.bind(QStringLiteral("EquipmentType"), asType(v.equipmentType));
    for (const auto& [column, member] : kTextColumns)
        q.bind(QLatin1String(column), asText(v.*member));
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
        rows.push_back(
            {q.value(0).toLongLong(), optionalDate(q.value(1)), q.value(2).toLongLong(), optionalText(q.value(3))});
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
