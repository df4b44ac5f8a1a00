#include "equipment/store/HoldingStore.h"

#include "data/Database.h"
#include "data/DateText.h"
#include "data/PackedReader.h"
#include "equipment/store/ClsDuplicates.h"

#include <algorithm>
#include <limits>

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
const QString kAtActiveLocation =
    QStringLiteral("CurrentLocation IN (SELECT LocId FROM LocationInfo WHERE LocActive = 1)");

QStringList holdingColumns() {
    QStringList names;
    for (const UnitColumn& c : kUnitColumns)
        names << QLatin1String(c.holding);
    return names;
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

int HoldingStore::untypedCount() const {
    return Query(m_db, QStringLiteral("SELECT COUNT(*) FROM HoldEquipment WHERE (EquipmentType IS NULL OR "
                                      "TRIM(REPLACE(EquipmentType, '&nbsp;', '')) = '') AND ") +
                           kAtActiveLocation)
        .scalar()
        .toInt();
}

namespace {
// Both lists show the same columns; only where a value comes from and how "&nbsp;" shows differ.
ListColumns outboundColumns(const char* table, const char* locationSql, CellDisplay display) {
    return ListColumnsBuilder(table, display)
        .add("EquipmentType", "Description")
        .add("Manufacturer", "Manufacturer")
        .add("SerialNumber", "Serial #")
        .add("ModelNumber", "Model #")
        .add("LocationName", "Current Location", locationSql)
        .add("AssetTagNumber", "Asset #")
        .display(CellDisplay::NbspRemoved, {"AssetTagNumber"})
        .whole({"SerialNumber"})
        .build();
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
    return displayRows(readPackedRows(m_db, QStringLiteral("SELECT %1, TempEquipmentInfo.EquipmentId FROM "
                                                           "TempEquipmentInfo INNER JOIN LocationInfo "
                                                           "ON TempEquipmentInfo.CurrentLocation = LocationInfo.LocId "
                                                           "ORDER BY TempEquipmentInfo.EquipmentId")
                                                .arg(ListColumnsSql::selectList(duplicateListColumns()))),
                       duplicateListColumns(), static_cast<int>(duplicateListColumns().size()));
}

namespace {
// The commit's marks, one per holding row of the batch at hand: whether it is parked. A table of the connection's
// own, gone with the transaction should it fail.
const QString kMarks = QStringLiteral("CommitMarks");

// Marks the next :Rows holding rows at an active location after :After, in entry order. A row is parked when
// its serial number is in the inventory (earlier batches included) or an earlier row of the batch carries it
// too, as it would be in the inventory by then. A Null serial number is never found, yet its unit enters the
// inventory with an empty one, which later empty serial numbers then find.
QString markBatchSql() {
    return QStringLiteral(
               "INSERT INTO %1 (HoldEquipmentId, Parked) "
               "SELECT HoldEquipmentId, CASE WHEN SerialNumber IS NULL THEN 0 "
               "WHEN Occurrence > 1 THEN 1 "
               "WHEN SerialNumber = '' AND FirstNull < HoldEquipmentId THEN 1 "
               "WHEN %2 THEN 1 ELSE 0 END "
               "FROM (SELECT HoldEquipmentId, SerialNumber, "
               "ROW_NUMBER() OVER (PARTITION BY SerialNumber ORDER BY HoldEquipmentId) AS Occurrence, "
               "MIN(CASE WHEN SerialNumber IS NULL THEN HoldEquipmentId END) OVER () AS FirstNull "
               "FROM (SELECT HoldEquipmentId, SerialNumber FROM HoldEquipment "
               "WHERE HoldEquipmentId > :After AND %3 ORDER BY HoldEquipmentId LIMIT :Rows) AS Batch) AS Marked")
        .arg(kMarks, ClsDuplicates::inInventory(QStringLiteral("Marked.SerialNumber")), kAtActiveLocation);
}

// Copies the marked rows with the given mark into table, in entry order; a Null text becomes empty text.
QString moveMarkedSql(const QString& table, int parked) {
    QStringList values;
    for (const UnitColumn& c : kUnitColumns) {
        const QString source = QStringLiteral("HoldEquipment.") + QLatin1String(c.holding);
        values << (c.record == &HoldingRecord::currentLocation ? source
                                                               : QStringLiteral("COALESCE(%1, '')").arg(source));
    }
    return QStringLiteral("INSERT INTO %1 (%2, EquActive) SELECT %3, 1 FROM %4 INNER JOIN HoldEquipment "
                          "ON HoldEquipment.HoldEquipmentId = %4.HoldEquipmentId WHERE %4.Parked = %5 "
                          "ORDER BY %4.HoldEquipmentId")
        .arg(table, Columns::list(HoldingStore::inventoryColumns()), values.join(QStringLiteral(", ")), kMarks)
        .arg(parked);
}
} // namespace

QStringList HoldingStore::inventoryColumns() {
    QStringList names;
    for (const UnitColumn& c : kUnitColumns)
        names << QLatin1String(c.inventory);
    return names;
}

CommitResult HoldingStore::commitToInventory(const std::function<void(int, int)>& progress, int batchRows) {
    batchRows = std::max(batchRows, 1);
    auto commit = [&] { return commitBatches(progress, batchRows); };
    return m_db.tellingIfLost(QLatin1String(kCommitLost), commit)();
}

CommitResult HoldingStore::commitBatches(const std::function<void(int, int)>& progress, int batchRows) {
    return m_db.transaction([&] {
        CommitResult result;
        const int total = Query(m_db, QStringLiteral("SELECT COUNT(*) FROM HoldEquipment WHERE ") + kAtActiveLocation)
                              .scalar()
                              .toInt();
        if (total > 0) {
            Query(m_db, m_db.ddl(QStringLiteral("CREATE TEMPORARY TABLE IF NOT EXISTS %1 "
                                                "(HoldEquipmentId INTEGER PRIMARY KEY, Parked INTEGER NOT NULL)")
                                     .arg(kMarks)))
                .exec();
            qint64 after = std::numeric_limits<qint64>::min(); // the last holding row moved
            {
                Query mark(m_db, markBatchSql());
                Query toInventory(m_db, moveMarkedSql(QStringLiteral("EquipmentInfo"), 0));
                Query toDuplicates(m_db, moveMarkedSql(QStringLiteral("TempEquipmentInfo"), 1));
                Query last(m_db, QStringLiteral("SELECT MAX(HoldEquipmentId) FROM %1").arg(kMarks));
                Query clear(m_db, QStringLiteral("DELETE FROM %1").arg(kMarks));
                int done = 0;
                while (done < total) {
                    mark.bind(QStringLiteral("After"), after).bind(QStringLiteral("Rows"), batchRows).exec();
                    const int marked = mark.numRowsAffected();
                    if (marked == 0)
                        break;
                    result.committed += toInventory.exec().numRowsAffected();
                    result.parked += toDuplicates.exec().numRowsAffected();
                    after = last.scalar().toLongLong();
                    last.finish();
                    clear.exec();
                    done += marked;
                    if (progress)
                        progress(done, total);
                }
            }
            Query(m_db, QStringLiteral("DROP TABLE %1").arg(kMarks)).exec();
            // One DELETE at the end: deleting each batch as it goes spills the page cache to disk between the
            // batches' inserts, some 15% more time.
            Query(m_db,
                  QStringLiteral("DELETE FROM HoldEquipment WHERE HoldEquipmentId <= :Last AND ") + kAtActiveLocation)
                .bind(QStringLiteral("Last"), after)
                .exec();
        }
        result.kept = count();
        return result;
    });
}
