#pragma once

#include "data/SortCycle.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
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
