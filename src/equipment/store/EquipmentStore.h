#pragma once

#include "data/ListColumns.h"
#include "data/PackedRows.h"

#include <QString>

class Database;

// The inventory's units as the equipment windows list and change them.
class EquipmentStore {
public:
    explicit EquipmentStore(Database& db) : m_db(db) {}

    // The active equipment list's columns; every one sorts. Keys: EquipmentId, LocName, EquipmentType,
    // Manufacturer, SerialNumber, DatePurchased, PurchasePrice, ModelNumber, AssetTagNumber.
    static const ListColumns& activeListColumns();
    // The active list's statement. An empty key, or one of no column, keeps the database's own order.
    static QString activeListStatement(const SortOrder& order = {});

    // Every active unit whose current location exists, in the statement's order, tagged with its id. Cells are
    // display text: Null is empty, every "&nbsp;" is dropped, dates show in the short form of DateText.
    void forEachActiveEquipment(const SortOrder& order, const ListRowReceiver& row) const;
    // The same rows as stored, for a list to show: its cells follow activeListColumns(), the id is cell 0.
    PackedRows activeEquipment(const SortOrder& order) const;

    // The list of one location's active units: the active list's columns up to "Model Number", displayed alike.
    static const ListColumns& locationListColumns();
    // Its statement, with the location id as the one value to bind. An empty or unknown key keeps the database's
    // own order.
    static QString locationListStatement(const SortOrder& order = {});
    PackedRows activeAt(qint64 locId, const SortOrder& order) const;

    // Deletes the unit and its assignment history in one transaction; its notes, attachments and additional
    // fields stay.
    void deleteEquipment(qint64 id);

private:
    Database& m_db;
};
