#include "equipment/store/HoldingStore.h"

#include "data/Database.h"
#include "data/DateText.h"
#include "data/PackedReader.h"
#include "equipment/store/ClsDuplicates.h"

namespace {
// The columns a unit carries from the holding table into the inventory, where two of them have other names, with
// the member each fills in a holding record.
struct UnitColumn {
    const char* holding;
    const char* inventory;
    std::optional<QString> HoldingRecord::*record;
};
const UnitColumn kUnitColumns[] = {
    {"AssetTagNumber", "AssetTagNumber", &HoldingRecord::assetTagNumber},
    {"EquipmentType", "EquipmentType", &HoldingRecord::equipmentType},
    {"Manufacturer", "Manufacturer", &HoldingRecord::manufacturer},
    {"DatePurchased", "DatePurchased", &HoldingRecord::datePurchased},
    {"PurchasePrice", "PurchasePrice", &HoldingRecord::purchasePrice},
    {"SerialNumber", "SerialNumber", &HoldingRecord::serialNumber},
    {"ModelNumber", "ModelNumber", &HoldingRecord::modelNumber},
    {"CpuSpeed", "CPUSpeed", &HoldingRecord::cpuSpeed},
    {"Memory", "Memory", &HoldingRecord::memory},
    {"HardDriveCapacity", "HarddriveCap", &HoldingRecord::hardDriveCapacity},
    {"Monitor", "Monitor", &HoldingRecord::monitor},
    {"Mouse", "Mouse", &HoldingRecord::mouse},
    {"Keyboard", "Keyboard", &HoldingRecord::keyboard},
    {"OperatingSystem", "OperatingSystem", &HoldingRecord::operatingSystem},
    {"CurrentLocation", "CurrentLocation", &HoldingRecord::currentLocation},
};
const QString kLocationName = QStringLiteral("LocationName");
const QString kCurrentLocation = QStringLiteral("CurrentLocation");
const QString kSerialNumber = QStringLiteral("SerialNumber");
constexpr int kProgressStep = 500;
const QString kAtActiveLocation =
    QStringLiteral(" WHERE CurrentLocation IN (SELECT LocId FROM LocationInfo WHERE LocActive = 1)");

QStringList holdingColumns() {
    QStringList names;
    for (const UnitColumn& c : kUnitColumns)
        names << QLatin1String(c.holding);
    return names;
}

// A null QString would be bound as Null; the inventory keeps empty text instead.
QVariant orEmpty(const QVariant& value) {
    return value.isNull() ? QVariant(QStringLiteral("")) : value;
}
} // namespace

qint64 HoldingStore::insert(const HoldingEntry& e) {
    if (e.currentLocation <= 0)
        throw DataError(QStringLiteral("The equipment has no location to be assigned to."));
    const std::pair<const char*, QVariant> values[] = {
        {"AssetTagNumber", e.assetTagNumber},
        {"EquipmentType", e.equipmentType},
        {"Manufacturer", e.manufacturer},
        {"DatePurchased", DateText::toStored(e.datePurchased)},
        {"PurchasePrice", e.purchasePrice},
        {"SerialNumber", e.serialNumber},
        {"ModelNumber", e.modelNumber},
        {"CpuSpeed", e.cpuSpeed},
        {"Memory", e.memory},
        {"HardDriveCapacity", e.hardDriveCapacity},
        {"Monitor", e.monitor},
        {"Mouse", e.mouse},
        {"Keyboard", e.keyboard},
        {"OperatingSystem", e.operatingSystem},
        {"CurrentLocation", e.currentLocation},
        {"LocationName", e.locationName},
    };
    QStringList columns;
    for (const auto& [column, value] : values)
        columns << QLatin1String(column);
    Query q(m_db, Columns::insert(QStringLiteral("HoldEquipment"), columns));
    for (const auto& [column, value] : values)
        q.bind(QLatin1String(column), value);
    q.exec();
    return q.lastInsertId().toLongLong();
}

int HoldingStore::count() const {
    return Query(m_db, QStringLiteral("SELECT COUNT(*) FROM HoldEquipment")).scalar().toInt();
}

namespace {
// Both lists show the same columns; only where a value comes from and how "&nbsp;" shows differ.
ListColumns outboundColumns(const char* table, const char* locationSql, CellDisplay display) {
    const auto column = [&](const char* key, const char* header, CellDisplay rule) {
        return ListColumn{QLatin1String(key), QLatin1String(header),
                          QLatin1String(table) + QLatin1Char('.') + QLatin1String(key), rule};
    };
    ListColumns columns = {column("EquipmentType", "Description", display),
                           column("Manufacturer", "Manufacturer", display),
                           column("SerialNumber", "Serial #", display),
                           column("ModelNumber", "Model #", display),
                           column("LocationName", "Current Location", display),
                           column("AssetTagNumber", "Asset #", CellDisplay::NbspRemoved)};
    columns[4].sql = QLatin1String(locationSql);
    return columns;
}
} // namespace

const ListColumns& HoldingStore::holdingListColumns() {
    static const ListColumns columns =
        outboundColumns("HoldEquipment", "HoldEquipment.LocationName", CellDisplay::NbspRemoved);
    return columns;
}

const ListColumns& HoldingStore::duplicateListColumns() {
    static const ListColumns columns =
        outboundColumns("TempEquipmentInfo", "LocationInfo.LocName", CellDisplay::NbspAsBlank);
    return columns;
}

std::vector<ListRow> HoldingStore::rows() const {
    return displayRows(readPackedRows(m_db, QStringLiteral("SELECT %1, HoldEquipmentId FROM HoldEquipment ORDER BY "
                                                           "HoldEquipmentId")
                                                .arg(ListColumnsSql::selectList(holdingListColumns()))),
                       holdingListColumns(), static_cast<int>(holdingListColumns().size()));
}

std::optional<HoldingRecord> HoldingStore::row(qint64 id) const {
    Query q(m_db, QStringLiteral("SELECT %1 FROM HoldEquipment WHERE HoldEquipmentId = :HoldEquipmentId")
                      .arg(Columns::list(holdingColumns() << kLocationName)));
    q.bind(QStringLiteral("HoldEquipmentId"), id).exec();
    if (!q.next())
        return std::nullopt;
    HoldingRecord r;
    for (const UnitColumn& c : kUnitColumns)
        r.*c.record = q.optionalText(QLatin1String(c.holding));
    r.locationName = q.optionalText(kLocationName);
    return r;
}

void HoldingStore::remove(const QList<qint64>& ids) {
    m_db.transaction([&] {
        Query q(m_db, QStringLiteral("DELETE FROM HoldEquipment WHERE (HoldEquipmentId = ?)"));
        for (qint64 id : ids)
            q.exec({id});
    });
}

void HoldingStore::clear() {
    Query(m_db, QStringLiteral("DELETE FROM HoldEquipment")).exec();
}

std::vector<ListRow> HoldingStore::duplicates() const {
    return displayRows(readPackedRows(m_db, QStringLiteral("SELECT %1 FROM TempEquipmentInfo INNER JOIN LocationInfo "
                                                           "ON TempEquipmentInfo.CurrentLocation = LocationInfo.LocId "
                                                           "ORDER BY TempEquipmentInfo.EquipmentId")
                                                .arg(ListColumnsSql::selectList(duplicateListColumns()))),
                       duplicateListColumns(), -1);
}

CommitResult HoldingStore::commitToInventory(const std::function<void(int, int)>& progress) {
    return m_db.transaction([&] {
        const int all = count();
        const int total =
            Query(m_db, QStringLiteral("SELECT COUNT(*) FROM HoldEquipment") + kAtActiveLocation).scalar().toInt();
        const QStringList source = holdingColumns();
        QStringList target;
        QStringList placeholders;
        for (const UnitColumn& c : kUnitColumns) {
            target << QLatin1String(c.inventory);
            placeholders << Columns::placeholder(target.last());
        }
        const int serialColumn = static_cast<int>(source.indexOf(kSerialNumber));
        const int locationColumn = static_cast<int>(source.indexOf(kCurrentLocation));
        Query rows(m_db, QStringLiteral("SELECT %1 FROM HoldEquipment%2 ORDER BY HoldEquipmentId")
                             .arg(Columns::list(source), kAtActiveLocation));
        const QString active = QStringLiteral("EquActive");
        Query toInventory(m_db, Columns::insert(QStringLiteral("EquipmentInfo"), target + QStringList{active}));
        Query toDuplicates(m_db, Columns::insert(QStringLiteral("TempEquipmentInfo"), target + QStringList{active}));
        // Bound once: a bound value stays for every further run.
        toInventory.bind(active, 1);
        toDuplicates.bind(active, 1);
        ClsDuplicates duplicates(m_db);
        CommitResult result;
        rows.exec();
        while (rows.next()) {
            // Earlier rows of this run are already inserted, so a serial number repeated in the holding table
            // enters the inventory once and is parked for every further occurrence.
            const bool known = duplicates.CheckDuplicate(rows.text(serialColumn));
            Query& insert = known ? toDuplicates : toInventory;
            // Bound by name, each placeholder made once; a location id stays a number.
            for (int i = 0; i < placeholders.size(); ++i)
                insert.bindPlaceholder(placeholders.at(i),
                                       i == locationColumn ? rows.value(i) : orEmpty(rows.value(i)));
            insert.exec();
            ++(known ? result.parked : result.committed);
            const int done = result.committed + result.parked;
            if (progress && (done % kProgressStep == 0 || done == total))
                progress(done, total);
        }
        rows.finish();
        Query(m_db, QStringLiteral("DELETE FROM HoldEquipment") + kAtActiveLocation).exec();
        result.kept = all - total;
        return result;
    });
}
