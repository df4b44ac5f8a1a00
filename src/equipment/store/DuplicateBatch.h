#pragma once

#include <QList>

class Database;

// What a resolution of several parked records did.
struct BatchOutcome {
    int done = 0;
    int locationUnavailable = 0; // replacing: parked at a location that is gone or retired
    int serialShared = 0;        // replacing: more than one inventory unit holds the serial number
    int skipped() const { return locationUnavailable + serialShared; }
};

// Settles many parked records at once by their TempEquipmentInfo ids, by the single-record rules of DuplicateStore,
// in set-based statements inside one transaction. Ids no longer parked are ignored.
class DuplicateBatch {
public:
    explicit DuplicateBatch(Database& db) : m_db(db) {}

    // Discards each chosen record and every parked record with its serial number.
    BatchOutcome discardProposed(const QList<qint64>& parkedIds);
    // Deletes the existing unit's row (by id) and enters the chosen record as a new unit where it was parked; the
    // replaced unit's records stay under its old id. Of several chosen records with one serial number the first
    // enters. Records at an unavailable location, or whose serial number more than one unit holds, are skipped.
    BatchOutcome replaceExisting(const QList<qint64>& parkedIds);

private:
    void choose(const QList<qint64>& parkedIds);
    Database& m_db;
};
