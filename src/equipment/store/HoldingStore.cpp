#include "equipment/store/HoldingStore.h"

#include "data/DateText.h"
#include "data/Database.h"
#include "equipment/store/ClsDuplicates.h"

namespace {
const QString kHoldingColumns = QStringLiteral(
    "AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, "
    "CpuSpeed, Memory, HardDriveCapacity, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation");
const QString kInventoryColumns = QStringLiteral(
    " (AssetTagNumber, EquipmentType, Manufacturer, DatePurchased, PurchasePrice, SerialNumber, ModelNumber, "
    "CPUSpeed, Memory, HarddriveCap, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation, EquActive) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)");
constexpr int kHoldingValueCount = 15;
constexpr int kSerialNumberColumn = 5;
constexpr int kProgressStep = 500;
const QString kAtActiveLocation =
    QStringLiteral(" WHERE CurrentLocation IN (SELECT LocId FROM LocationInfo WHERE LocActive = 1)");

// A null QString would be bound as Null; the inventory keeps empty text instead.
QVariant orEmpty(const QVariant& value) { return value.isNull() ? QVariant(QStringLiteral("")) : value; }
} // namespace

qint64 HoldingStore::insert(const HoldingEntry& e) {
    if (e.currentLocation <= 0)
        throw DataError(QStringLiteral("The equipment has no location to be assigned to."));
    Query q(m_db, QStringLiteral("INSERT INTO HoldEquipment (%1, LocationName) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                      .arg(kHoldingColumns));
    q.exec({e.assetTagNumber, e.equipmentType, e.manufacturer, DateText::toStored(e.datePurchased), e.purchasePrice,
            e.serialNumber, e.modelNumber, e.cpuSpeed, e.memory, e.hardDriveCapacity, e.monitor, e.mouse, e.keyboard,
            e.operatingSystem, e.currentLocation, e.locationName});
    return q.lastInsertId().toLongLong();
}

int HoldingStore::count() const {
    return Query(m_db, QStringLiteral("SELECT COUNT(*) FROM HoldEquipment")).scalar().toInt();
}

std::vector<HoldingRow> HoldingStore::rows() const {
    Query q(m_db, QStringLiteral("SELECT HoldEquipmentId, EquipmentType, Manufacturer, SerialNumber, ModelNumber, "
                                 "LocationName, AssetTagNumber FROM HoldEquipment ORDER BY HoldEquipmentId"));
    q.exec();
    std::vector<HoldingRow> rows;
    while (q.next())
        rows.push_back({q.value(0).toLongLong(), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5),
                        q.value(6)});
    return rows;
}

std::optional<QVariantMap> HoldingStore::row(qint64 id) const {
    const QStringList names = QString(kHoldingColumns + QStringLiteral(", LocationName")).split(QStringLiteral(", "));
    Query q(m_db, QStringLiteral("SELECT %1 FROM HoldEquipment WHERE HoldEquipmentId = ?")
                      .arg(names.join(QStringLiteral(", "))));
    q.exec({id});
    if (!q.next())
        return std::nullopt;
    QVariantMap map;
    for (int i = 0; i < names.size(); ++i)
        map.insert(names.at(i), q.value(i));
    return map;
}

void HoldingStore::remove(const QList<qint64>& ids) {
    m_db.transaction([&] {
        Query q(m_db, QStringLiteral("DELETE FROM HoldEquipment WHERE (HoldEquipmentId = ?)"));
        for (qint64 id : ids)
            q.exec({id});
    });
}

void HoldingStore::clear() { Query(m_db, QStringLiteral("DELETE FROM HoldEquipment")).exec(); }

std::vector<DuplicateRow> HoldingStore::duplicates() const {
    Query q(m_db, QStringLiteral("SELECT TempEquipmentInfo.EquipmentType, TempEquipmentInfo.Manufacturer, "
                                 "TempEquipmentInfo.SerialNumber, TempEquipmentInfo.ModelNumber, LocationInfo.LocName, "
                                 "TempEquipmentInfo.AssetTagNumber FROM TempEquipmentInfo INNER JOIN LocationInfo "
                                 "ON TempEquipmentInfo.CurrentLocation = LocationInfo.LocId "
                                 "ORDER BY TempEquipmentInfo.EquipmentId"));
    q.exec();
    std::vector<DuplicateRow> rows;
    while (q.next())
        rows.push_back({q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5)});
    return rows;
}

CommitResult HoldingStore::commitToInventory(const std::function<void(int, int)>& progress) {
    return m_db.transaction([&] {
        const int all = count();
        const int total =
            Query(m_db, QStringLiteral("SELECT COUNT(*) FROM HoldEquipment") + kAtActiveLocation).scalar().toInt();
        Query source(m_db, QStringLiteral("SELECT %1 FROM HoldEquipment%2 ORDER BY HoldEquipmentId")
                               .arg(kHoldingColumns, kAtActiveLocation));
        Query toInventory(m_db, QStringLiteral("INSERT INTO EquipmentInfo") + kInventoryColumns);
        Query toDuplicates(m_db, QStringLiteral("INSERT INTO TempEquipmentInfo") + kInventoryColumns);
        ClsDuplicates duplicates(m_db);
        CommitResult result;
        QVariantList values;
        values.reserve(kHoldingValueCount);
        source.exec();
        while (source.next()) {
            values.clear();
            for (int i = 0; i < kHoldingValueCount; ++i)
                values << orEmpty(source.value(i));
            values[kHoldingValueCount - 1] = source.value(kHoldingValueCount - 1); // a location id stays a number
            // Earlier rows of this run are already inserted, so a serial number repeated in the holding table
            // enters the inventory once and is parked for every further occurrence.
            if (duplicates.CheckDuplicate(source.value(kSerialNumberColumn).toString())) {
                toDuplicates.exec(values);
                ++result.parked;
            } else {
                toInventory.exec(values);
                ++result.committed;
            }
            const int done = result.committed + result.parked;
            if (progress && (done % kProgressStep == 0 || done == total))
                progress(done, total);
        }
        source.finish();
        Query(m_db, QStringLiteral("DELETE FROM HoldEquipment") + kAtActiveLocation).exec();
        result.kept = all - total;
        return result;
    });
}
