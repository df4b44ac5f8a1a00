#include "locations/store/LocationStore.h"

#include "data/Database.h"
#include "assignment/store/AssignmentStore.h"

namespace {

const SortColumn kActiveLocationColumns[] = {
    {"LocId", "LocationInfo.LocId"},      {"LocName", "LocationInfo.LocName"},   {"LocCity", "LocationInfo.LocCity"},
    {"StateName", "StateInfo.StateName"}, {"LocPhone", "LocationInfo.LocPhone"},
};

const SortColumn kLocationEquipmentColumns[] = {
    {"EquipmentId", "EquipmentInfo.EquipmentId"},     {"EquipmentType", "EquipmentInfo.EquipmentType"},
    {"Manufacturer", "EquipmentInfo.Manufacturer"},   {"DatePurchased", "EquipmentInfo.DatePurchased"},
    {"PurchasePrice", "EquipmentInfo.PurchasePrice"}, {"SerialNumber", "EquipmentInfo.SerialNumber"},
    {"ModelNumber", "EquipmentInfo.ModelNumber"},     {"AssetTagNumber", "EquipmentInfo.AssetTagNumber"},
};

QVariantMap rowAsMap(Query& q, int columns, const QStringList& names) {
    QVariantMap map;
    for (int i = 0; i < columns; ++i)
        map.insert(names.at(i), q.value(i));
    return map;
}

} // namespace

std::vector<ActiveLocationRow> LocationStore::activeLocations(const SortOrder& order) const {
    // The count is taken per location through the index on CurrentLocation, which keeps the list quick on a
    // large inventory; locations without a known state are left out, as the join with the states requires.
    Query q(m_db, QStringLiteral("SELECT LocationInfo.LocId, LocationInfo.LocName, LocationInfo.LocCity, "
                                 "StateInfo.StateName, LocationInfo.LocPhone, "
                                 "(SELECT COUNT(*) FROM EquipmentInfo "
                                 " WHERE EquipmentInfo.CurrentLocation = LocationInfo.LocId) "
                                 "FROM LocationInfo INNER JOIN StateInfo ON StateInfo.StateId = LocationInfo.StateId "
                                 "WHERE LocationInfo.LocActive = 1") +
                      orderByClause(order, kActiveLocationColumns, QStringLiteral(" ORDER BY LocationInfo.LocName")));
    q.exec();
    std::vector<ActiveLocationRow> rows;
    while (q.next())
        rows.push_back({q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5).toLongLong()});
    return rows;
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

qint64 LocationStore::createLocation(const NewLocation& location, const LocationContact& contact) {
    return m_db.transaction([&] {
        const LocationAddress& a = location.address;
        Query insert(m_db, QStringLiteral("INSERT INTO LocationInfo (LocName, LocAddressOne, LocAddressTwo, LocCity, "
                                          "LocZip, LocPhone, StateId) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        insert.exec({location.name, a.addressOne, a.addressTwo, a.city, a.zip, a.phone,
                     a.stateId ? QVariant(*a.stateId) : QVariant()});
        // The id of the row just inserted: never another location's with the same values.
        const qint64 id = insert.lastInsertId().toLongLong();
        Query(m_db, QStringLiteral("INSERT INTO ContactInfo (ContactFirstName, ContactMiddleName, ContactLastName, "
                                   "ContactTitle, ContactPhoneNumber, ContactCellPhone, ContactEmailAddress, LocId) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"))
            .exec({contact.firstName, contact.middleName, contact.lastName, contact.title, contact.phone,
                   contact.cellPhone, contact.email, id});
        return id;
    });
}

namespace {
// Units waiting in the holding table count as the location's own: retiring it would strand them.
const QString kHasUnits = QStringLiteral("(EXISTS (SELECT 1 FROM EquipmentInfo WHERE CurrentLocation = ?) OR "
                                         "EXISTS (SELECT 1 FROM HoldEquipment WHERE CurrentLocation = ?))");
} // namespace

bool LocationStore::hasEquipment(qint64 locId) const {
    return Query(m_db, QStringLiteral("SELECT ") + kHasUnits).scalar({locId, locId}).toBool();
}

void LocationStore::retire(qint64 locId) {
    Query(m_db, QStringLiteral("UPDATE LocationInfo SET LocActive = 0 WHERE (LocId = ?)")).exec({locId});
}

bool LocationStore::retireIfEmpty(qint64 locId) {
    Query q(m_db, QStringLiteral("UPDATE LocationInfo SET LocActive = 0 WHERE (LocId = ?) AND NOT ") + kHasUnits);
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
        Query(m_db, QStringLiteral("UPDATE HoldEquipment SET CurrentLocation = ?, LocationName = "
                                   "(SELECT LocName FROM LocationInfo WHERE LocId = ?) WHERE CurrentLocation = ?"))
            .exec({targetId, targetId, sourceId});
        retire(sourceId);
    });
}

std::optional<QVariantMap> LocationStore::location(qint64 locId) const {
    QStringList names = {QStringLiteral("LocName"), QStringLiteral("LocAddressOne"), QStringLiteral("LocAddressTwo"),
                         QStringLiteral("LocCity"), QStringLiteral("LocZip"),        QStringLiteral("LocPhone"),
                         QStringLiteral("StateId")};
    for (int i = 1; i <= 20; ++i)
        names << QStringLiteral("Field%1").arg(i);
    QStringList columns;
    for (const QString& n : names)
        columns << QStringLiteral("LocationInfo.") + n;
    Query q(m_db, QStringLiteral("SELECT %1 FROM LocationInfo INNER JOIN StateInfo "
                                 "ON LocationInfo.StateId = StateInfo.StateId WHERE (LocationInfo.LocId = ?)")
                      .arg(columns.join(QStringLiteral(", "))));
    q.exec({locId});
    if (!q.next())
        return std::nullopt;
    return rowAsMap(q, static_cast<int>(names.size()), names);
}

std::optional<QVariantMap> LocationStore::contact(qint64 locId) const {
    const QStringList names = {QStringLiteral("ContactFirstName"),   QStringLiteral("ContactMiddleName"),
                               QStringLiteral("ContactLastName"),    QStringLiteral("ContactTitle"),
                               QStringLiteral("ContactPhoneNumber"), QStringLiteral("ContactCellPhone"),
                               QStringLiteral("ContactEmailAddress")};
    Query q(m_db, QStringLiteral("SELECT %1 FROM ContactInfo WHERE (LocId = ?)").arg(names.join(QStringLiteral(", "))));
    q.exec({locId});
    if (!q.next())
        return std::nullopt;
    return rowAsMap(q, static_cast<int>(names.size()), names);
}

void LocationStore::updateAddress(qint64 locId, const LocationAddress& a) {
    // Without a chosen state the stored one stays.
    Query(m_db, QStringLiteral("UPDATE LocationInfo SET LocAddressOne = ?, LocAddressTwo = ?, LocCity = ?, LocZip = ?, "
                               "LocPhone = ?, StateId = COALESCE(?, StateId) WHERE (LocId = ?)"))
        .exec(
            {a.addressOne, a.addressTwo, a.city, a.zip, a.phone, a.stateId ? QVariant(*a.stateId) : QVariant(), locId});
}

void LocationStore::updateContact(qint64 locId, const LocationContact& c) {
    Query(m_db,
          QStringLiteral("UPDATE ContactInfo SET ContactFirstName = ?, ContactMiddleName = ?, ContactLastName = ?, "
                         "ContactTitle = ?, ContactPhoneNumber = ?, ContactCellPhone = ?, "
                         "ContactEmailAddress = ? WHERE (LocId = ?)"))
        .exec({c.firstName, c.middleName, c.lastName, c.title, c.phone, c.cellPhone, c.email, locId});
}

std::vector<LocationEquipmentRow> LocationStore::equipment(qint64 locId, const SortOrder& order) const {
    Query q(
        m_db,
        QStringLiteral("SELECT EquipmentInfo.EquipmentId, EquipmentInfo.EquipmentType, "
                       "EquipmentInfo.Manufacturer, EquipmentInfo.DatePurchased, EquipmentInfo.PurchasePrice, "
                       "EquipmentInfo.SerialNumber, EquipmentInfo.ModelNumber, EquipmentInfo.AssetTagNumber "
                       "FROM LocationInfo INNER JOIN EquipmentInfo "
                       "ON LocationInfo.LocId = EquipmentInfo.CurrentLocation "
                       "WHERE (LocationInfo.LocId = ?)") +
            orderByClause(order, kLocationEquipmentColumns, QStringLiteral(" ORDER BY EquipmentInfo.SerialNumber")));
    q.exec({locId});
    std::vector<LocationEquipmentRow> rows;
    while (q.next())
        rows.push_back(
            {q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5), q.value(6), q.value(7)});
    return rows;
}

std::vector<TypeCountRow> LocationStore::typeCounts(qint64 locId) const {
    Query q(m_db, QStringLiteral("SELECT COUNT(EquipmentType), EquipmentType FROM EquipmentInfo "
                                 "WHERE (CurrentLocation = ?) GROUP BY EquipmentType"));
    q.exec({locId});
    std::vector<TypeCountRow> rows;
    while (q.next())
        rows.push_back({q.value(0).toLongLong(), q.value(1)});
    return rows;
}
