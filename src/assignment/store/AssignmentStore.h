#pragma once

#include "data/DataError.h"

#include <QList>
#include <optional>

class Database;

// Equipment ids from a typed range: the start rounded (halves to the even neighbour), the end floored, the start
// alone when there is no end. An end below the start holds no id.
struct IdRange {
    qint64 first = 0;
    qint64 last = -1;

    static IdRange fromBounds(double start, std::optional<double> end);
};

// A move refused because its location no longer exists or was retired, perhaps by another window or workstation
// after the user chose it. Nothing was moved; the text is what the user reads.
class LocationUnavailable : public DataError {
public:
    LocationUnavailable();
};

// The assignment rule: a unit moved to a location gets that location as its current one and one history row
// naming it, and only an active location takes units. Every window that moves equipment goes through here.
class AssignmentStore {
public:
    explicit AssignmentStore(Database& db) : m_db(db) {}

    // Assigns every unit in ids to locId in one transaction: all move with their history rows, or none does.
    // Throws LocationUnavailable when locId is not an active location.
    void assign(const QList<qint64>& ids, qint64 locId);
    // Assigns every unit whose id lies in range, whatever its state or present location, in one transaction;
    // ids with no unit are passed over. Returns how many units moved. Throws LocationUnavailable as assign does.
    qint64 assignRange(const IdRange& range, qint64 locId);

    // Whether locId names an active location, the only kind that takes units.
    bool locationActive(qint64 locId) const;

private:
    // Inside the move's transaction, so a location retired meanwhile is seen before anything is written.
    void requireActive(qint64 locId) const;

    Database& m_db;
};
