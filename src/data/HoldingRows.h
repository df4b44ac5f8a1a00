#pragma once

#include "data/Database.h"
#include "data/Schema.h"

// The holding rows of every workstation, for the few statements that must see them all; HoldEquipment shows only
// this workstation's on a server, and is the one table of them all on the files.
inline QString everyWorkstationsHolding(const Database& db) {
    return db.engine() == Engine::PostgreSQL ? QStringLiteral("hold.") + QLatin1String(Schema::kHoldingRowsTable)
                                             : QStringLiteral("HoldEquipment");
}
