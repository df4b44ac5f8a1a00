#pragma once

#include "data/ListColumns.h"
#include "data/PackedRows.h"

#include <QString>

class Database;

// Finding units by serial number or asset tag, retired ones too.
class SearchStore {
public:
    enum class Field { SerialNumber, AssetTagNumber };

    explicit SearchStore(Database& db) : m_db(db) {}

    // The result columns, each keyed by its header: Id, Equipment Type, Manufacturer, Date Purchased,
    // PurchasePrice, Serial Number, Model Number, AssetTagNumber. None sorts.
    static const ListColumns& resultColumns();
    // The same without AssetTagNumber, as the scanner lists them.
    static const ListColumns& scannerColumns();
    // The LIKE pattern (escaped with "\") for typed text: "*" and "%" stand for any run of characters, "_" for
    // any one character, every other character (a backslash included) for itself.
    static QString likePattern(const QString& text);

    // Every unit whose field matches text, in the database's order, as stored, for a list to show under columns'
    // display rules (resultColumns() or scannerColumns()); the unit's id is cell 0.
    PackedRows found(Field field, const QString& text, const ListColumns& columns) const;

private:
    Database& m_db;
};
