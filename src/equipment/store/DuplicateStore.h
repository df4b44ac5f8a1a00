#pragma once

#include "equipment/store/UnitStore.h"

#include <QString>
#include <optional>
#include <vector>

class Database;

// A parked record and the inventory unit whose serial number it repeats, as loaded for one serial number.
struct DuplicateCase {
    QString serialNumber;               // as loaded: every parked row with it goes once the case is resolved
    std::optional<UnitRecord> existing; // the first inventory unit with the serial number
    std::vector<AssignmentRow> history; // the existing unit's, newest first
    std::optional<UnitRecord> proposed; // the first parked record with the serial number
};

enum class Resolution {
    Done,
    SerialTaken,         // the proposed serial number is still in the inventory: nothing written
    LocationUnavailable, // the proposed record's location no longer exists or was retired: nothing written
    ProposedGone,        // the parked record was resolved meanwhile, elsewhere: nothing written
};

// Settles a serial number that a commit found already in the inventory. Each resolution is one transaction and
// rechecks what it depends on, since the case may have changed since it was loaded.
class DuplicateStore {
public:
    explicit DuplicateStore(Database& db) : m_db(db) {}

    DuplicateCase load(const QString& serialNumber) const;

    // Deletes the existing unit (by id, with its history) and enters the proposed values in its place.
    Resolution replaceExisting(const DuplicateCase& loaded, const UnitValues& proposed);
    // Enters the corrected proposed values beside the existing unit, when their serial number is free.
    Resolution submitCorrected(const DuplicateCase& loaded, const UnitValues& proposed);
    // Discards the proposed record.
    Resolution discardProposed(const DuplicateCase& loaded);

private:
    enum class Keep { Existing, Nothing };
    Resolution submit(const DuplicateCase& loaded, const UnitValues& proposed, Keep keep);

    Database& m_db;
};
