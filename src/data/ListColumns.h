#pragma once

#include "data/SortCycle.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <vector>

class Database;
class PackedRows;
class Query;

// How a stored value shows in a list cell. Null is always an empty cell.
enum class CellDisplay {
    AsStored,
    NbspAsBlank, // every "&nbsp;" becomes one blank
    NbspRemoved, // every "&nbsp;" is dropped
};

// One column of a list: its key (the column's tag and sort key), header, select expression and display rule.
struct ListColumn {
    QString key;
    QString header;
    QString sql;
    CellDisplay display = CellDisplay::AsStored;
    bool shortDate = false; // an ISO date shows in the locale's short form, after the display rule
    bool sorts = true;      // false: a header click on it does nothing
    bool whole = false;     // a value the user tells rows apart by (serial, id, name): its column shows it whole
};
using ListColumns = QList<ListColumn>;

// Builds a list's columns in the order added. A column reads "table.key" (key alone without a table) unless it is
// given its own select expression, and shows by the builder's display rule; the rest is set afterwards by key.
// A key the list does not have throws std::invalid_argument: a slip in the list's definition, found at first use.
class ListColumnsBuilder {
public:
    explicit ListColumnsBuilder(const char* table = "", CellDisplay display = CellDisplay::AsStored);

    ListColumnsBuilder& add(const char* key, const char* header);
    ListColumnsBuilder& add(const char* key, const char* header, const char* sql);
    // The columns added from now on read table.
    ListColumnsBuilder& from(const char* table);

    ListColumnsBuilder& display(CellDisplay rule, std::initializer_list<const char*> keys);
    ListColumnsBuilder& shortDate(std::initializer_list<const char*> keys);
    ListColumnsBuilder& whole(std::initializer_list<const char*> keys);
    // No column sorts when keys is empty.
    ListColumnsBuilder& unsorted(std::initializer_list<const char*> keys = {});

    ListColumns build() const { return m_columns; }

private:
    ListColumn& column(const char* key);

    QString m_table;
    CellDisplay m_display;
    ListColumns m_columns;
};

// A list row as display text, with the tag the window keeps for it.
struct ListRow {
    QVariant tag;
    QStringList cells;
};
// Receives one row; the cells are reused for the next row, so a receiver that keeps them copies them.
using ListRowReceiver = std::function<void(const QVariant& tag, const QStringList& cells)>;

namespace ListColumnsSql {
// "a, b, c": the columns' select expressions in order.
QString selectList(const ListColumns& columns);
// The ORDER BY clause for order: only a key of a sorting column reaches the statement, so no text from outside
// does; an empty or unknown key gives fallback.
QString orderBy(const SortOrder& order, const ListColumns& columns, const QString& fallback);
} // namespace ListColumnsSql

// True when key names a column of columns that sorts.
bool sortsBy(const ListColumns& columns, const QString& key);

// The display text of one stored value.
QString displayText(const QVariant& value, const ListColumn& column);
QString displayText(const QString& stored, const ListColumn& column);

// The display rows of rows a store read packed, tagged with cell tagCell (none when negative).
void forEachDisplayRow(const PackedRows& rows, const ListColumns& columns, int tagCell, const ListRowReceiver& row);
std::vector<ListRow> displayRows(const PackedRows& rows, const ListColumns& columns, int tagCell);
