#pragma once

#include "data/SortCycle.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <optional>
#include <vector>

class Database;

// One row of the active location list. Values stay Null where the database holds Null.
struct ActiveLocationRow {
    QVariant id;
    QVariant name;
    QVariant city;
    QVariant state;
    QVariant phone;
    qint64 equipmentCount = 0;
};

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

// A unit assigned to a location, as the location's own equipment list shows it.
struct LocationEquipmentRow {
    QVariant equipmentId;
    QVariant equipmentType;
    QVariant manufacturer;
    QVariant datePurchased;
    QVariant purchasePrice;
    QVariant serialNumber;
    QVariant modelNumber;
    QVariant assetTagNumber;
};

struct TypeCountRow {
    qint64 count = 0;
    QVariant equipmentType;
};

// The locations: listing, creation with the contact person, retirement, and the detail view's data.
class LocationStore {
public:
    explicit LocationStore(Database& db) : m_db(db) {}

    // Active locations whose state is known, with the count of all units assigned to each (retired units too).
    // Column keys: LocId, LocName, LocCity, StateName, LocPhone; empty sorts by name.
    std::vector<ActiveLocationRow> activeLocations(const SortOrder& order = {}) const;
    // Active locations by name, for pickers.
    std::vector<LocationIdName> activeLocationNames() const;

    // Adds a location and its contact row in one transaction; returns the new location's id.
    qint64 createLocation(const NewLocation& location, const LocationContact& contact);
    // True while a unit is assigned to the location, in the inventory or waiting in the holding table.
    bool hasEquipment(qint64 locId) const;
    void retire(qint64 locId);
    // Retires the location only while no unit is assigned to it, checked in the same statement so that another
    // window or running copy cannot assign one in between. False when it still has equipment.
    bool retireIfEmpty(qint64 locId);
    // Moves every unit of source to target with a history row each (and its units in the holding table, which
    // have no history yet), then retires source; all or nothing.
    void reassignAndRetire(qint64 sourceId, qint64 targetId);

    // The location's own columns (LocName, LocAddressOne, ..., StateId, Field1..Field20), or none when the
    // location or its state does not exist.
    std::optional<QVariantMap> location(qint64 locId) const;
    // The location's contact columns, or none when it has no contact row.
    std::optional<QVariantMap> contact(qint64 locId) const;
    void updateAddress(qint64 locId, const LocationAddress& address);
    void updateContact(qint64 locId, const LocationContact& contact);

    // Every unit whose current location is locId, active or not. Column keys: EquipmentId, EquipmentType,
    // Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, AssetTagNumber; empty sorts by
    // serial number.
    std::vector<LocationEquipmentRow> equipment(qint64 locId, const SortOrder& order = {}) const;
    // Units per type at the location; a Null type forms its own row with count 0.
    std::vector<TypeCountRow> typeCounts(qint64 locId) const;

private:
    Database& m_db;
};
