#pragma once

#include <QList>

class Database;

// The assignment rule: a unit moved to a location gets that location as its current one and one history row
// naming it. Every window that moves equipment goes through here.
class AssignmentStore {
public:
    explicit AssignmentStore(Database& db) : m_db(db) {}

    // Assigns every unit in ids to locId in one transaction: all move with their history rows, or none does.
    void assign(const QList<qint64>& ids, qint64 locId);

private:
    Database& m_db;
};
