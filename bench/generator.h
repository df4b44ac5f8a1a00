#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

class Database;

namespace bench {

struct InventoryShape {
    int locations = 500;
    int activeUnits = 100000;
    int retiredUnits = -1; // -1: about 3% of all units
    quint32 seed = 1;
};

struct GeneratedInventory {
    std::vector<qint64> locationIds;
    int activeUnits = 0;
    int retiredUnits = 0;
};

// Fills a fresh database with active locations, one contact each, and units spread unevenly over them, each with
// one assignment history row; all in one transaction. The same shape gives the same rows.
GeneratedInventory generateInventory(Database& db, const InventoryShape& shape);

struct HoldingFill {
    int duplicates = 0; // rows with a serial number already in the inventory
    int repeats = 0;    // rows repeating the serial number of an earlier holding row, in lower case
};

// Adds rows to the holding table, assigned to active locations; duplicateShare of them carry a serial number
// already in the inventory, about repeatShare of the others repeat an earlier holding row's serial number in lower
// case, the rest carry a new one.
HoldingFill fillHoldingTable(Database& db, int rows, double duplicateShare, double repeatShare, quint32 seed = 1);

} // namespace bench
