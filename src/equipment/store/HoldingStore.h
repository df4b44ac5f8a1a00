#pragma once

#include "data/ListColumns.h"
#include "equipment/store/UnitFields.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

class Database;

struct CommitResult {
    int committed = 0; // new serial numbers, now in the inventory
    int parked = 0;    // serial numbers already known, parked as duplicates
    int kept = 0;      // left in the holding table: their location was retired after they were entered
};

// The holding table, where units wait between entry and the inventory, and its commit.
class HoldingStore {
public:
    explicit HoldingStore(Database& db) : m_db(db) {}

    // A unit as the entry window submits it, its location and location name included.
    qint64 insert(const UnitValues& entry);
    int count() const;
    // The rows the commit would enter that have no equipment type: they would become units with no description.
    int untypedCount() const;
    // The holding list: EquipmentType, Manufacturer, SerialNumber, ModelNumber, LocationName, AssetTagNumber, with
    // every "&nbsp;" dropped.
    static const ListColumns& holdingListColumns();
    // The duplicate list: the same keys and headers; "&nbsp;" shows as a blank, except in the asset tag.
    static const ListColumns& duplicateListColumns();
    // The inventory's columns a unit brings with it from the holding table, the same as a parked record's.
    static QStringList inventoryColumns();
    // The holding rows in entry order, tagged with their HoldEquipmentId.
    std::vector<ListRow> rows() const;
    // One holding row (id, attributes, location and its name as entered), or none when it is gone.
    std::optional<UnitRecord> row(qint64 id) const;
    void remove(const QList<qint64>& ids);
    void clear();
    // The parked duplicates whose location exists, tagged with their TempEquipmentInfo EquipmentId.
    std::vector<ListRow> duplicates() const;

    // Moves every holding row into the inventory, or parks it as a duplicate when its serial number is already
    // there (rows of the same run included), then removes those rows from the holding table: one transaction
    // across both files. Rows whose location is no longer active stay behind, since no unit may end at a
    // retired location. The rows go in entry order, batchRows at a time; progress(done, total) is called after
    // each batch.
    static constexpr int kCommitBatchRows = 10000;
    // What a connection lost during a commit means.
    static constexpr const char* kCommitLost = "Nothing was saved; the units are still in the holding table.";
    CommitResult commitToInventory(const std::function<void(int done, int total)>& progress = {},
                                   int batchRows = kCommitBatchRows);

private:
    CommitResult commitBatches(const std::function<void(int, int)>& progress, int batchRows);
    Database& m_db;
};
