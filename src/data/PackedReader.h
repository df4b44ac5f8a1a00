#pragma once

#include "data/PackedRows.h"

#include <QString>
#include <QVariantList>

class Database;

// Which way rows travel from the engine. Engine reads through the open connection's own engine handle (SQLite's,
// or libpq's on a PostgreSQL server) and falls back to General (QtSql, a QVariant per value) elsewhere; all three
// make their cells through CellText.
enum class ReadPath { Engine, General };

// Every row of a statement, every result column as its cell text (data/CellText.h), Null kept apart from empty.
// Columns whose order the reader can vouch for (the engine path knows each value's type and the stored column's
// collation) are marked, so the rows can be re-sorted without the statement.
PackedRows readPackedRows(const Database& db, const QString& sql, const QVariantList& values = {},
                          ReadPath path = ReadPath::Engine);
