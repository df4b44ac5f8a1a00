#pragma once

#include "data/ListColumns.h"
#include "data/PackedRows.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

class Database;

struct LocationIdName {
    qint64 id = 0;
    QVariant name;
};

struct LocationAddress {
    QString addressOne;
    QString addressTwo;
    QString city;
    QString zip;
    QString phone;
    std::optional<int> stateId; // none keeps the stored state
};

struct NewLocation {
    QString name;
    LocationAddress address;
};

struct LocationContact {
    QString firstName;
    QString middleName;
    QString lastName;
    QString title;
    QString phone;
    QString cellPhone;
    QString email;
};

// A location as stored. A Null value is none, so that a window can leave a box as it is.
struct LocationRecord {
    std::optional<QString> name;
    std::optional<QString> addressOne;
    std::optional<QString> addressTwo;
    std::optional<QString> city;
    std::optional<QString> zip;
    std::optional<QString> phone;
    std::optional<int> stateId;
};

// A location's contact as stored; a Null value is none.
struct ContactRecord {
    std::optional<QString> firstName;
    std::optional<QString> middleName;
    std::optional<QString> lastName;
    std::optional<QString> title;
    std::optional<QString> phone;
    std::optional<QString> cellPhone;
    std::optional<QString> email;
};

// What keeps a location from being retired.
struct LocationUse {
    qint64 units = 0;            // in the inventory, retired units too
    qint64 waiting = 0;          // entered for it and waiting in the holding table, every workstation's
    qint64 waitingElsewhere = 0; // of those, the ones in other workstations' holding tables (on a server)
    bool inUse() const { return units > 0 || waiting > 0; }
};

struct TypeCountRow {
    qint64 count = 0;
    QVariant equipmentType;
};

// The locations: listing, creation with the contact person, retirement, and the detail view's data.
class LocationStore {
public:
    explicit LocationStore(Database& db) : m_db(db) {}

    // The active location list's columns, shared by the windows that list locations: LocId, LocName, LocCity,
    // StateName, LocPhone and "Equipment Count", which does not sort. Every value shows as stored.
    static const ListColumns& activeListColumns();
    // Active locations whose state is known, with the count of all units assigned to each (retired units too),
    // tagged with their id. Sorts by a key of activeListColumns(); empty sorts by name.
    std::vector<ListRow> activeLocations(const SortOrder& order = {}) const;
    // True when at least one location is active: equipment may be entered only then.
    bool HasActiveLocations() const;
    // Active locations by name, for pickers.
    std::vector<LocationIdName> activeLocationNames() const;
    // The same, as rows of activeListColumns() holding only the id and the name.
    std::vector<ListRow> activeLocationNameRows() const;

    // Adds a location and its contact row in one transaction; returns the new location's id.
    qint64 createLocation(const NewLocation& location, const LocationContact& contact);
    // The units assigned to the location, in the inventory and waiting in the holding table of any workstation.
    LocationUse use(qint64 locId) const;
    void retire(qint64 locId);
    // Retires the location only while no unit is assigned to it, checked in the same statement so that another
    // window or running copy cannot assign one in between. False when it still has equipment.
    bool retireIfEmpty(qint64 locId);
    // Moves every unit of source to target with a history row each (and its units in every workstation's holding
    // table, which have no history yet), then retires source; all or nothing.
    void reassignAndRetire(qint64 sourceId, qint64 targetId);

    // The location, or none when it or its state does not exist.
    std::optional<LocationRecord> location(qint64 locId) const;
    // The location's contact, or none when it has no contact row.
    std::optional<ContactRecord> contact(qint64 locId) const;
    void updateAddress(qint64 locId, const LocationAddress& address);
    void updateContact(qint64 locId, const LocationContact& contact);

    // The location's equipment list: EquipmentId, EquipmentType, Manufacturer, DatePurchased (short date),
    // PurchasePrice, SerialNumber, ModelNumber, AssetTagNumber; from Manufacturer on "&nbsp;" shows as a blank.
    static const ListColumns& equipmentListColumns();
    // Every unit whose current location is locId, active or not, tagged with its id; empty sorts by serial number.
    std::vector<ListRow> equipment(qint64 locId, const SortOrder& order = {}) const;
    // The same rows as stored, for a list to show under equipmentListColumns(); the id is cell 0.
    PackedRows equipmentRows(qint64 locId, const SortOrder& order = {}) const;
    // Their statement; the location id is its one placeholder.
    static QString equipmentListStatement(const SortOrder& order = {});
    // Units per type at the location; a Null type forms its own row with count 0.
    std::vector<TypeCountRow> typeCounts(qint64 locId) const;
    // The same as the statistics list shows it: Num (the count, also the row's tag) and EquipmentType.
    static const ListColumns& typeCountColumns();
    static QString typeCountStatement(); // the location id is its one placeholder
    std::vector<ListRow> typeCountRows(qint64 locId) const;

private:
    Database& m_db;
};
