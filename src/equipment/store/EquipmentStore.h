#pragma once

#include "data/SortCycle.h"

#include <QString>
#include <QStringList>
#include <functional>

class Database;

// The inventory's units as the equipment windows list and change them.
class EquipmentStore {
public:
    // Receives one list row: the unit's id and its cells in column order. The cells are reused for the next row,
    // so a receiver that keeps them copies them.
    using RowReceiver = std::function<void(qint64 id, const QStringList& cells)>;

    explicit EquipmentStore(Database& db) : m_db(db) {}

    // Sort keys of the active equipment list, one per column in column order: EquipmentId, LocName,
    // EquipmentType, Manufacturer, SerialNumber, DatePurchased, PurchasePrice, ModelNumber, AssetTagNumber.
    static const QStringList& activeListKeys();
    // The active list's statement. An empty key, or one outside activeListKeys(), keeps the database's own order.
    static QString activeListStatement(const SortOrder& order = {});

    // Every active unit whose current location exists, in the statement's order. Cells are display text: Null
    // is empty, every "&nbsp;" is dropped, dates show in the short form of DateText.
    void forEachActiveEquipment(const SortOrder& order, const RowReceiver& row) const;

    // Deletes the unit and its assignment history in one transaction; its notes, attachments and additional
    // fields stay.
    void deleteEquipment(qint64 id);

private:
    Database& m_db;
};
