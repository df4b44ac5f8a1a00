#include "data/Module1.h"

#include "data/Database.h"

bool HasActiveLocations(const Database& db) {
    Query q(db, QStringLiteral("SELECT 1 FROM LocationInfo WHERE LocationInfo.LocActive = 1 LIMIT 1"));
    return q.scalar().isValid();
}
