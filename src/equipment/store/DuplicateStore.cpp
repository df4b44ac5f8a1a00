#include "equipment/store/DuplicateStore.h"

#include "data/Database.h"
#include "equipment/store/ClsDuplicates.h"

namespace {

// Thrown inside a resolution's transaction to undo what it wrote and report why.
struct Refused {
    Resolution why;
};

bool stillParked(Database& db, const DuplicateCase& loaded) {
    return loaded.proposed && Query(db, QStringLiteral("SELECT COUNT(*) FROM TempEquipmentInfo WHERE EquipmentId = ?"))
                                      .scalar({loaded.proposed->id})
                                      .toInt() > 0;
}

void removeParked(Database& db, const DuplicateCase& loaded) {
    Query(db, QStringLiteral("DELETE FROM TempEquipmentInfo WHERE (SerialNumber = ?)")).exec({loaded.serialNumber});
}

template <typename Fn> Resolution resolve(Database& db, const DuplicateCase& loaded, Fn&& writes) {
    try {
        db.transaction([&] {
            if (!stillParked(db, loaded))
                throw Refused{Resolution::ProposedGone};
            writes();
            removeParked(db, loaded);
        });
    } catch (const Refused& refused) {
        return refused.why;
    }
    return Resolution::Done;
}

} // namespace

DuplicateCase DuplicateStore::load(const QString& serialNumber) const {
    UnitStore units(m_db);
    DuplicateCase c;
    c.serialNumber = serialNumber;
    c.existing = units.firstWithSerial(serialNumber);
    if (c.existing)
        c.history = units.history(c.existing->id);
    c.proposed = units.firstWithSerial(serialNumber, UnitSource::Parked);
    c.proposedLocationAvailable =
        c.proposed && c.proposed->currentLocation && units.locationAvailable(*c.proposed->currentLocation);
    return c;
}

Resolution DuplicateStore::replaceExisting(const DuplicateCase& loaded, const UnitValues& proposed,
                                           std::optional<qint64> location) {
    return submit(loaded, proposed, location, Keep::Nothing);
}

Resolution DuplicateStore::submitCorrected(const DuplicateCase& loaded, const UnitValues& proposed,
                                           std::optional<qint64> location) {
    return submit(loaded, proposed, location, Keep::Existing);
}

Resolution DuplicateStore::discardProposed(const DuplicateCase& loaded) {
    return resolve(m_db, loaded, [] {});
}

Resolution DuplicateStore::submit(const DuplicateCase& loaded, const UnitValues& proposed,
                                  std::optional<qint64> location, Keep keep) {
    return resolve(m_db, loaded, [&] {
        UnitStore units(m_db);
        const std::optional<qint64> locId = location ? location : loaded.proposed->currentLocation;
        // No unit may end at a location that is gone or retired.
        if (!locId || !units.locationAvailable(*locId))
            throw Refused{Resolution::LocationUnavailable};
        // By id alone: whatever its type, the replaced unit must not stay beside its replacement. Only its row
        // goes; the records kept under its id never reach the new unit, whose id is new.
        if (keep == Keep::Nothing && loaded.existing)
            Query(m_db, QStringLiteral("DELETE FROM EquipmentInfo WHERE (EquipmentId = ?)"))
                .exec({loaded.existing->id});
        if (ClsDuplicates(m_db).CheckDuplicate(proposed[UnitField::SerialNumber]))
            throw Refused{Resolution::SerialTaken};
        UnitValues values = proposed;
        const std::optional<QString>& parkedType = (*loaded.proposed)[UnitField::EquipmentType];
        if (values[UnitField::EquipmentType].isNull() && parkedType)
            values[UnitField::EquipmentType] = parkedType->isNull() ? QStringLiteral("") : *parkedType;
        units.insert(values, *locId);
    });
}
