#include "assignment/store/AssignmentStore.h"

#include "data/Database.h"

#include <algorithm>
#include <cmath>

namespace {
// Far beyond any id, and still exact in a double and a qint64, so a huge typed bound clamps rather than overflows.
constexpr double kIdLimit = 4.0e18;

qint64 toId(double value) {
    return static_cast<qint64>(std::clamp(value, -kIdLimit, kIdLimit));
}
} // namespace

IdRange IdRange::fromBounds(double start, std::optional<double> end) {
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const qint64 first = toId(std::nearbyint(start));
    return {first, end ? toId(std::floor(*end)) : first};
}

LocationUnavailable::LocationUnavailable()
    : DataError(QStringLiteral("The selected location no longer exists or has been retired")) {}

bool AssignmentStore::locationActive(qint64 locId) const {
    return Query(m_db, QStringLiteral("SELECT COUNT(*) FROM LocationInfo WHERE LocId = ? AND LocActive = 1"))
               .scalar({locId})
               .toInt() > 0;
}

void AssignmentStore::requireActive(qint64 locId) const {
    if (!locationActive(locId))
        throw LocationUnavailable();
}

void AssignmentStore::assign(const QList<qint64>& ids, qint64 locId) {
    m_db.transaction([&] {
        requireActive(locId);
        Query history(m_db, QStringLiteral("INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (?, ?)"));
        Query move(m_db, QStringLiteral("UPDATE EquipmentInfo SET CurrentLocation = ? WHERE (EquipmentId = ?)"));
        for (qint64 id : ids) {
            history.exec({id, locId});
            move.exec({locId, id});
        }
    });
}

qint64 AssignmentStore::assignRange(const IdRange& range, qint64 locId) {
    if (range.last < range.first)
        return 0;
    // Set-based, so a wide range with few units costs what the units cost, not what the range spans.
    return m_db.transaction([&] {
        requireActive(locId);
        Query(m_db, QStringLiteral("INSERT INTO EquipLocAssign (EquipmentId, LocId) SELECT EquipmentId, ? "
                                   "FROM EquipmentInfo WHERE EquipmentId BETWEEN ? AND ? ORDER BY EquipmentId"))
            .exec({locId, range.first, range.last});
        Query move(m_db,
                   QStringLiteral("UPDATE EquipmentInfo SET CurrentLocation = ? WHERE EquipmentId BETWEEN ? AND ?"));
        move.exec({locId, range.first, range.last});
        return static_cast<qint64>(move.numRowsAffected());
    });
}
