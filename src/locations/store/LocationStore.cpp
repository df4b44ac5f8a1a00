#include "locations/store/LocationStore.h"

#include "assignment/store/AssignmentStore.h"
#include "data/Database.h"
#include "data/HoldingRows.h"
#include "data/PackedReader.h"

namespace {

// The text columns of a location, with the member each fills when read and the address value each is written from.
struct AddressColumn {
    const char* name;
    std::optional<QString> LocationRecord::*read;
    QString LocationAddress::*written;
};
const AddressColumn kAddressColumns[] = {
    {"LocAddressOne", &LocationRecord::addressOne, &LocationAddress::addressOne},
    {"LocAddressTwo", &LocationRecord::addressTwo, &LocationAddress::addressTwo},
    {"LocCity", &LocationRecord::city, &LocationAddress::city},
    {"LocZip", &LocationRecord::zip, &LocationAddress::zip},
    {"LocPhone", &LocationRecord::phone, &LocationAddress::phone},
};
struct ContactColumn {
    const char* name;
    std::optional<QString> ContactRecord::*read;
    QString LocationContact::*written;
};
const ContactColumn kContactColumns[] = {
    {"ContactFirstName", &ContactRecord::firstName, &LocationContact::firstName},
    {"ContactMiddleName", &ContactRecord::middleName, &LocationContact::middleName},
    {"ContactLastName", &ContactRecord::lastName, &LocationContact::lastName},
    {"ContactTitle", &ContactRecord::title, &LocationContact::title},
    {"ContactPhoneNumber", &ContactRecord::phone, &LocationContact::phone},
    {"ContactCellPhone", &ContactRecord::cellPhone, &LocationContact::cellPhone},
    {"ContactEmailAddress", &ContactRecord::email, &LocationContact::email},
};

template <typename Column, size_t N> QStringList names(const Column (&columns)[N]) {
    QStringList list;
    for (const Column& c : columns)
        list << QLatin1String(c.name);
    return list;
}

// Binds the address values and the state (none keeps Null, or with COALESCE the stored state).
void bindAddress(Query& q, const LocationAddress& a) {
    for (const AddressColumn& c : kAddressColumns)
        q.bind(QLatin1String(c.name), a.*c.written);
    q.bind(QStringLiteral("StateId"), a.stateId ? QVariant(*a.stateId) : QVariant());
}

void bindContact(Query& q, const LocationContact& contact) {
    for (const ContactColumn& c : kContactColumns)
        q.bind(QLatin1String(c.name), contact.*c.written);
}

const QString kTypeCounts =
    QStringLiteral("SELECT %1 FROM EquipmentInfo WHERE (CurrentLocation = ?) GROUP BY EquipmentType");

} // namespace

const ListColumns& LocationStore::activeListColumns() {
    // The count is taken per location through the index on CurrentLocation, which keeps the list quick on a
    // large inventory.
    static const ListColumns columns = ListColumnsBuilder("LocationInfo")
                                           .add("LocId", "Location Id")
                                           .add("LocName", "Location Name")
                                           .add("LocCity", "City")
                                           .add("StateName", "State", "StateInfo.StateName")
                                           .add("LocPhone", "Phone Number")
                                           .add("Equipment Count", "Equipment Count",
                                                "(SELECT COUNT(*) FROM EquipmentInfo "
                                                "WHERE EquipmentInfo.CurrentLocation = LocationInfo.LocId)")
                                           .unsorted({"Equipment Count"})
                                           .whole({"LocId", "LocName"})
                                           .build();
    return columns;
}

std::vector<ListRow> LocationStore::activeLocations(const SortOrder& order) const {
    // Locations without a known state are left out, as the join with the states requires.
    return displayRows(
        readPackedRows(m_db, QStringLiteral("SELECT ") + ListColumnsSql::selectList(activeListColumns()) +
                                 QStringLiteral(" FROM LocationInfo INNER JOIN StateInfo ON StateInfo.StateId = "
                                                "LocationInfo.StateId WHERE LocationInfo.LocActive = 1") +
                                 ListColumnsSql::orderBy(order, activeListColumns(),
                                                         QStringLiteral(" ORDER BY LocationInfo.LocName"))),
        activeListColumns(), 0);
}

bool LocationStore::HasActiveLocations() const {
    Query q(m_db, QStringLiteral("SELECT 1 FROM LocationInfo WHERE LocationInfo.LocActive = 1 LIMIT 1"));
    return q.scalar().isValid();
}

std::vector<LocationIdName> LocationStore::activeLocationNames() const {
    Query q(m_db, QStringLiteral("SELECT LocationInfo.LocId, LocationInfo.LocName FROM LocationInfo "
                                 "WHERE LocationInfo.LocActive = 1 ORDER BY LocationInfo.LocName"));
    q.exec();
    std::vector<LocationIdName> rows;
    while (q.next())
        rows.push_back({q.value(0).toLongLong(), q.value(1)});
    return rows;
}

std::vector<ListRow> LocationStore::activeLocationNameRows() const {
    std::vector<ListRow> rows;
    const ListColumns& columns = activeListColumns();
    for (const LocationIdName& l : activeLocationNames())
        rows.push_back({l.id, {QString::number(l.id), displayText(l.name, columns.at(1))}});
    return rows;
}

qint64 LocationStore::createLocation(const NewLocation& location, const LocationContact& contact) {
    return m_db.transaction([&] {
        Query insert(m_db, Columns::insert(QStringLiteral("LocationInfo"), QStringList{QStringLiteral("LocName")} +
                                                                               names(kAddressColumns) +
                                                                               QStringList{QStringLiteral("StateId")}));
        insert.bind(QStringLiteral("LocName"), location.name);
        bindAddress(insert, location.address);
        insert.exec();
        // The id of the row just inserted: never another location's with the same values.
        const qint64 id = insert.lastInsertId().toLongLong();
        Query contactInsert(
            m_db, Columns::insert(QStringLiteral("ContactInfo"), names(kContactColumns) << QStringLiteral("LocId")));
        bindContact(contactInsert, contact);
        contactInsert.bind(QStringLiteral("LocId"), id).exec();
        return id;
    });
}

namespace {
// Units waiting in the holding table count as the location's own, whichever workstation entered them: retiring it
// would strand them.
QString hasUnits(const Database& db) {
    return QStringLiteral("(EXISTS (SELECT 1 FROM EquipmentInfo WHERE CurrentLocation = ?) OR "
                          "EXISTS (SELECT 1 FROM %1 WHERE CurrentLocation = ?))")
        .arg(everyWorkstationsHolding(db));
}
} // namespace

LocationUse LocationStore::use(qint64 locId) const {
    Query q(m_db, QStringLiteral("SELECT (SELECT COUNT(*) FROM EquipmentInfo WHERE CurrentLocation = ?), "
                                 "(SELECT COUNT(*) FROM %1 WHERE CurrentLocation = ?), "
                                 "(SELECT COUNT(*) FROM HoldEquipment WHERE CurrentLocation = ?)")
                      .arg(everyWorkstationsHolding(m_db)));
    q.exec({locId, locId, locId});
    q.next();
    return {q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(1).toLongLong() - q.value(2).toLongLong()};
}

void LocationStore::retire(qint64 locId) {
    Query(m_db, QStringLiteral("UPDATE LocationInfo SET LocActive = 0 WHERE (LocId = ?)")).exec({locId});
}

bool LocationStore::retireIfEmpty(qint64 locId) {
    Query q(m_db, QStringLiteral("UPDATE LocationInfo SET LocActive = 0 WHERE (LocId = ?) AND NOT ") + hasUnits(m_db));
    q.exec({locId, locId, locId});
    return q.numRowsAffected() > 0;
}

void LocationStore::reassignAndRetire(qint64 sourceId, qint64 targetId) {
    m_db.transaction([&] {
        Query units(m_db, QStringLiteral("SELECT EquipmentId FROM EquipmentInfo WHERE (CurrentLocation = ?) "
                                         "ORDER BY EquipmentId"));
        units.exec({sourceId});
        QList<qint64> ids;
        while (units.next())
            ids << units.value(0).toLongLong();
        AssignmentStore(m_db).assign(ids, targetId);
        // Units still waiting to be committed follow the rest.
        Query(m_db, QStringLiteral("UPDATE %1 SET CurrentLocation = ?, LocationName = "
                                   "(SELECT LocName FROM LocationInfo WHERE LocId = ?) WHERE CurrentLocation = ?")
                        .arg(everyWorkstationsHolding(m_db)))
            .exec({targetId, targetId, sourceId});
        retire(sourceId);
    });
}

std::optional<LocationRecord> LocationStore::location(qint64 locId) const {
    QStringList columns = QStringList{QStringLiteral("LocName")} + names(kAddressColumns);
    columns << QStringLiteral("StateId");
    Query q(m_db, QStringLiteral("SELECT %1 FROM LocationInfo INNER JOIN StateInfo "
                                 "ON LocationInfo.StateId = StateInfo.StateId WHERE (LocationInfo.LocId = :LocId)")
                      .arg(Columns::list(columns, QStringLiteral("LocationInfo"))));
    q.bind(QStringLiteral("LocId"), locId).exec();
    if (!q.next())
        return std::nullopt;
    LocationRecord r;
    r.name = q.optionalText(QStringLiteral("LocName"));
    for (const AddressColumn& c : kAddressColumns)
        r.*c.read = q.optionalText(QLatin1String(c.name));
    if (const auto stateId = q.optionalText(QStringLiteral("StateId")))
        r.stateId = stateId->toInt();
    return r;
}

std::optional<ContactRecord> LocationStore::contact(qint64 locId) const {
    Query q(
        m_db,
        QStringLiteral("SELECT %1 FROM ContactInfo WHERE (LocId = :LocId)").arg(Columns::list(names(kContactColumns))));
    q.bind(QStringLiteral("LocId"), locId).exec();
    if (!q.next())
        return std::nullopt;
    ContactRecord r;
    for (const ContactColumn& c : kContactColumns)
        r.*c.read = q.optionalText(QLatin1String(c.name));
    return r;
}

void LocationStore::updateAddress(qint64 locId, const LocationAddress& a) {
    // Without a chosen state the stored one stays.
    Query q(m_db, QStringLiteral("UPDATE LocationInfo SET %1, StateId = COALESCE(:StateId, StateId) "
                                 "WHERE (LocId = :LocId)")
                      .arg(Columns::assignments(names(kAddressColumns))));
    bindAddress(q, a);
    q.bind(QStringLiteral("LocId"), locId).exec();
}

void LocationStore::updateContact(qint64 locId, const LocationContact& c) {
    Query q(m_db, QStringLiteral("UPDATE ContactInfo SET %1 WHERE (LocId = :LocId)")
                      .arg(Columns::assignments(names(kContactColumns))));
    bindContact(q, c);
    q.bind(QStringLiteral("LocId"), locId).exec();
}

const ListColumns& LocationStore::equipmentListColumns() {
    static const ListColumns columns = ListColumnsBuilder("EquipmentInfo", CellDisplay::NbspAsBlank)
                                           .add("EquipmentId", "Equipment Id")
                                           .add("EquipmentType", "Equipment Type")
                                           .add("Manufacturer", "Manufacturer")
                                           .add("DatePurchased", "Date Purchased")
                                           .add("PurchasePrice", "Purchase Price")
                                           .add("SerialNumber", "Serial Number")
                                           .add("ModelNumber", "Model Number")
                                           .add("AssetTagNumber", "Asset Tag Number")
                                           .display(CellDisplay::AsStored, {"EquipmentId", "EquipmentType"})
                                           .shortDate({"DatePurchased"})
                                           .whole({"EquipmentId", "SerialNumber"})
                                           .build();
    return columns;
}

std::vector<ListRow> LocationStore::equipment(qint64 locId, const SortOrder& order) const {
    return displayRows(equipmentRows(locId, order), equipmentListColumns(), 0);
}

PackedRows LocationStore::equipmentRows(qint64 locId, const SortOrder& order) const {
    return readPackedRows(m_db, equipmentListStatement(order), {locId});
}

QString LocationStore::equipmentListStatement(const SortOrder& order) {
    return QStringLiteral("SELECT ") + ListColumnsSql::selectList(equipmentListColumns()) +
           QStringLiteral(" FROM LocationInfo INNER JOIN EquipmentInfo "
                          "ON LocationInfo.LocId = EquipmentInfo.CurrentLocation "
                          "WHERE (LocationInfo.LocId = ?)") +
           ListColumnsSql::orderBy(order, equipmentListColumns(),
                                   QStringLiteral(" ORDER BY EquipmentInfo.SerialNumber"));
}

const ListColumns& LocationStore::typeCountColumns() {
    static const ListColumns columns = ListColumnsBuilder()
                                           .add("Num", "Count", "COUNT(EquipmentType)")
                                           .add("EquipmentType", "Equipment Type")
                                           .display(CellDisplay::NbspAsBlank, {"EquipmentType"})
                                           .build();
    return columns;
}

std::vector<TypeCountRow> LocationStore::typeCounts(qint64 locId) const {
    Query q(m_db, kTypeCounts.arg(ListColumnsSql::selectList(typeCountColumns())));
    q.exec({locId});
    std::vector<TypeCountRow> rows;
    while (q.next())
        rows.push_back({q.value(0).toLongLong(), q.value(1)});
    return rows;
}

std::vector<ListRow> LocationStore::typeCountRows(qint64 locId) const {
    return displayRows(readPackedRows(m_db, typeCountStatement(), {locId}), typeCountColumns(), 0);
}

QString LocationStore::typeCountStatement() {
    return kTypeCounts.arg(ListColumnsSql::selectList(typeCountColumns()));
}
