#pragma once

#include "data/Database.h"

#include <QString>

// Tells whether a serial number is already in the inventory. Serial numbers compare as the database compares
// text (without regard to case), exactly as stored: nothing is trimmed.
class ClsDuplicates {
public:
    explicit ClsDuplicates(Database& db);
    bool CheckDuplicate(const QString& srn);

private:
    Query m_query;
};
