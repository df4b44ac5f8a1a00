#pragma once

#include "data/PackedRows.h"

#include <QSqlError>
#include <QString>
#include <QVariantList>

struct pg_conn;

// Rows of a statement read straight through libpq on the connection the QPSQL driver holds, as cells of the text
// CellText gives each type.
namespace PostgresReader {

// The libpq connection behind a driver handle, or none when the handle is another engine's.
pg_conn* connectionOf(const QVariant& handle);
// False while the driver is still fetching a result of its own on the connection: a statement sent now would
// discard the rest of it.
bool isIdle(pg_conn* conn);
// The statement with its ? placeholders (those outside quotes and comments) numbered $1, $2, ... as the server
// wants them.
QString numberedPlaceholders(const QString& sql);
QSqlError read(pg_conn* conn, const QString& sql, const QVariantList& values, PackedRows& rows);

} // namespace PostgresReader
