#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

class Database;

// One unit as stored. A value the database holds as Null is none, so a window reloading it can leave its box as
// it was; text comes back raw ("&nbsp;" included) for the window's own display rule.
struct UnitRecord {
    qint64 id = 0;
    std::optional<QString> equipmentType;
    std::optional<QString> assetTagNumber;
    std::optional<QString> manufacturer;
    std::optional<QDate> datePurchased; // none for Null, and for stored text that is no date
    std::optional<QString> purchasePrice;
    std::optional<QString> serialNumber;
    std::optional<QString> modelNumber;
    std::optional<QString> otherIdentificationNumber;
    std::optional<QString> otherIdentificationType;
    std::optional<QString> cpuSpeed;
    std::optional<QString> memory;
    std::optional<QString> harddriveCap;
    std::optional<QString> monitor;
    std::optional<QString> mouse;
    std::optional<QString> keyboard;
    std::optional<QString> operatingSystem;
    bool active = false;
    std::optional<qint64> currentLocation;
    std::optional<QString> locationName; // none when the location no longer exists
};

// The values a user edits, as they are to be stored: text exactly as typed.
struct UnitValues {
    std::optional<QString> equipmentType; // none keeps the stored type, e.g. one the type list does not offer
    QString assetTagNumber;
    QString manufacturer;
    std::optional<QDate> datePurchased; // none stores no date; a date given must be valid
    QString purchasePrice;
    QString serialNumber;
    QString modelNumber;
    QString cpuSpeed;
    QString memory;
    QString harddriveCap;
    QString monitor;
    QString mouse;
    QString keyboard;
    QString operatingSystem;
};

// One row of a unit's assignment history.
struct AssignmentRow {
    qint64 id = 0;
    std::optional<QDate> date;
    qint64 locId = 0;
    std::optional<QString> locationName;
};

enum class ReassignResult {
    Done,
    UnitGone,            // the unit was deleted meanwhile: nothing written
    LocationUnavailable, // the location no longer exists or was retired: nothing written
};

enum class UnitSource { Inventory, Parked };

// One unit of the inventory, as its detail window reads, changes and moves it.
class UnitStore {
public:
    explicit UnitStore(Database& db) : m_db(db) {}

    std::optional<UnitRecord> unit(qint64 id) const;
    // The first unit (lowest id) with the serial number, in the inventory or among the parked duplicates.
    std::optional<UnitRecord> firstWithSerial(const QString& serialNumber,
                                              UnitSource source = UnitSource::Inventory) const;

    // Writes every value; location, active flag and additional fields stay. False when no unit has the id.
    // Throws DataError, writing nothing, when a purchase date is given that is no valid date.
    bool save(qint64 id, const UnitValues& values);

    // Assigns the unit to locId through the assignment rule (a history row even for its present location).
    ReassignResult reassign(qint64 id, qint64 locId);
    // Newest first; retired locations included, rows of locations that no longer exist left out.
    std::vector<AssignmentRow> history(qint64 id) const;

    // True when a unit may be assigned to the location: it exists and is active.
    bool locationAvailable(qint64 locId) const;
    // Adds an active unit at locId, as a commit does: with no history row. A type of none is stored as Null.
    qint64 insert(const UnitValues& values, qint64 locId);

private:
    Database& m_db;
};
