#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <vector>

class Database;

// One unit as the entry window submits it to the holding table.
struct HoldingEntry {
    QString assetTagNumber;
    QString equipmentType;
    QString manufacturer;
    QDate datePurchased;
    QString purchasePrice;
    QString serialNumber;
    QString modelNumber;
    QString cpuSpeed;
    QString memory;
    QString hardDriveCapacity;
    QString monitor;
    QString mouse;
    QString keyboard;
    QString operatingSystem;
    qint64 currentLocation = 0;
    QString locationName;
};

// A holding row as the holding list shows it; Null stays Null.
struct HoldingRow {
    qint64 id = 0;
    QVariant equipmentType;
    QVariant manufacturer;
    QVariant serialNumber;
    QVariant modelNumber;
    QVariant locationName;
    QVariant assetTagNumber;
};

// A parked duplicate whose location exists, as the duplicate list shows it.
struct DuplicateRow {
    QVariant equipmentType;
    QVariant manufacturer;
    QVariant serialNumber;
    QVariant modelNumber;
    QVariant locationName;
    QVariant assetTagNumber;
};

struct CommitResult {
    int committed = 0; // new serial numbers, now in the inventory
    int parked = 0;    // serial numbers already known, parked as duplicates
    int kept = 0;      // left in the holding table: their location was retired after they were entered
};

// The holding table, where units wait between entry and the inventory, and its commit.
class HoldingStore {
public:
    explicit HoldingStore(Database& db) : m_db(db) {}

    qint64 insert(const HoldingEntry& entry);
    int count() const;
    std::vector<HoldingRow> rows() const;
    // Every column of one holding row, or none when it is gone.
    std::optional<QVariantMap> row(qint64 id) const;
    void remove(const QList<qint64>& ids);
    void clear();
    std::vector<DuplicateRow> duplicates() const;

    // Moves every holding row into the inventory, or parks it as a duplicate when its serial number is already
    // there (rows of the same run included), then removes those rows from the holding table: one transaction
    // across both files. Rows whose location is no longer active stay behind, since no unit may end at a
    // retired location. progress(done, total) is called as rows are processed.
    CommitResult commitToInventory(const std::function<void(int done, int total)>& progress = {});

private:
    Database& m_db;
};
