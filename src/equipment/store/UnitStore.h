#pragma once

#include "equipment/store/UnitFields.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

class Database;

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

    // Writes every value with a box; location, active flag and additional fields stay. False when no unit has
    // the id. Throws DataError, writing nothing, when a purchase date is given that is no valid date.
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
