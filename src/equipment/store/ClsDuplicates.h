#pragma once

#include "data/Database.h"

#include <QString>

// Tells whether a serial number is already in the inventory. Serial numbers compare as the database compares
// text (without regard to case), exactly as stored: nothing is trimmed.
class ClsDuplicates {
public:
    explicit ClsDuplicates(Database& db);
    bool CheckDuplicate(const QString& srn);
    // The same test as a condition on a serial number column of another table, for statements that test many rows
    // at once: true when the inventory holds that serial number; a Null serial number is never there.
    static QString inInventory(const QString& serialColumn);

private:
    Query m_query;
};
