#pragma once

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

// The assignment rule: a unit moved to a location gets that location as its current one and one history row
// naming it. Every window that moves equipment goes through here.
class AssignmentStore {
public:
    explicit AssignmentStore(Database& db) : m_db(db) {}

    // Assigns every unit in ids to locId in one transaction: all move with their history rows, or none does.
    void assign(const QList<qint64>& ids, qint64 locId);
    // Assigns every unit whose id lies in range, whatever its state or present location, in one transaction;
    // ids with no unit are passed over. Returns how many units moved.
    qint64 assignRange(const IdRange& range, qint64 locId);

private:
    Database& m_db;
};
