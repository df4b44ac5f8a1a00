#pragma once

#include "equipment/store/UnitStore.h"

#include <QString>
#include <optional>
#include <vector>

class Database;

// A parked record and the inventory unit whose serial number it repeats, as loaded for one serial number.
struct DuplicateCase {
    QString serialNumber;                   // as loaded: every parked row with it goes once the case is resolved
    std::optional<UnitRecord> existing;     // the first inventory unit with the serial number
    std::vector<AssignmentRow> history;     // the existing unit's, newest first
    std::optional<UnitRecord> proposed;     // the first parked record with the serial number
    bool proposedLocationAvailable = false; // its location exists and is active
};

enum class Resolution {
    Done,
    SerialTaken,         // another unit holds the submitted serial number: nothing written
    LocationUnavailable, // the location to enter the unit at no longer exists or was retired: nothing written
    ProposedGone,        // the parked record was resolved meanwhile, elsewhere: nothing written
};

// Settles a serial number that a commit found already in the inventory. Each resolution is one transaction and
// rechecks what it depends on, since the case may have changed since it was loaded.
class DuplicateStore {
public:
    explicit DuplicateStore(Database& db) : m_db(db) {}

    DuplicateCase load(const QString& serialNumber) const;

    // Deletes the existing unit's row (by id) and enters the proposed values as a new unit. The replaced unit's
    // history, notes and attachments stay under its old id, which no unit gets again: the new unit starts without
    // them. The unit goes to location, or, with none, where the proposed record was parked.
    Resolution replaceExisting(const DuplicateCase& loaded, const UnitValues& proposed,
                               std::optional<qint64> location = std::nullopt);
    // Enters the corrected proposed values beside the existing unit, when their serial number is free.
    Resolution submitCorrected(const DuplicateCase& loaded, const UnitValues& proposed,
                               std::optional<qint64> location = std::nullopt);
    // Discards the proposed record.
    Resolution discardProposed(const DuplicateCase& loaded);

private:
    enum class Keep { Existing, Nothing };
    Resolution submit(const DuplicateCase& loaded, const UnitValues& proposed, std::optional<qint64> location,
                      Keep keep);

    Database& m_db;
};
