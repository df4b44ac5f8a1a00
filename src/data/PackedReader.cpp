#include "data/PackedReader.h"

#include "data/CellText.h"
#include "data/Database.h"
#include "data/PostgresReader.h"
#include "data/SqliteHandle.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

namespace {

QSqlError engineError(sqlite3* h, int code) {
    return QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(h)), QSqlError::StatementError, QString::number(code));
}

// Binds the way the Qt driver does, so both paths see the same values.
void bindValue(sqlite3_stmt* stmt, int at, const QVariant& value) {
    if (value.isNull()) {
        sqlite3_bind_null(stmt, at);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        sqlite3_bind_int64(stmt, at, value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, at, value.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob64(stmt, at, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text64(stmt, at, text.constData(), static_cast<sqlite3_uint64>(text.size()), SQLITE_TRANSIENT,
                            SQLITE_UTF8);
    }
    }
}

// What the stored column sorts with; an expression, or a column the engine cannot name, gives none.
QByteArray collationOf(sqlite3* h, sqlite3_stmt* stmt, int col) {
    const char* database = sqlite3_column_database_name(stmt, col);
    const char* table = sqlite3_column_table_name(stmt, col);
    const char* origin = sqlite3_column_origin_name(stmt, col);
    if (!database || !table || !origin)
        return {};
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(h, database, table, origin, nullptr, &collation, nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        return {};
    return collation ? QByteArray(collation) : QByteArray("BINARY");
}

struct Seen {
    bool number = false;
    bool text = false;
    bool other = false;
};

QSqlError readThroughSqlite(sqlite3* h, const QString& sql, const QVariantList& values, PackedRows& rows) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(h, text.constData(), static_cast<int>(text.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        return engineError(h, rc);
    for (int i = 0; i < values.size(); ++i)
        bindValue(stmt, i + 1, values.at(i));
    const int columns = sqlite3_column_count(stmt);
    rows = PackedRows(columns);
    std::vector<Seen> seen(static_cast<size_t>(columns));
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        rows.beginRow();
        for (int c = 0; c < columns; ++c) {
            Seen& s = seen[static_cast<size_t>(c)];
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_NULL:
                rows.appendNull();
                continue;
            case SQLITE_FLOAT: {
                // The engine's own text of a real keeps 15 digits; the cell is made from the double itself.
                s.number = true;
                const QByteArray real = CellText::real(sqlite3_column_double(stmt, c));
                rows.appendCell(real.constData(), real.size());
                continue;
            }
            case SQLITE_INTEGER:
                s.number = true;
                break;
            case SQLITE_TEXT:
                s.text = true;
                break;
            default: {
                s.other = true;
                const auto* blob = static_cast<const char*>(sqlite3_column_blob(stmt, c));
                rows.appendCell(CellText::bytes(QByteArray::fromRawData(blob, sqlite3_column_bytes(stmt, c))));
                continue;
            }
            }
            const char* cell = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            rows.appendCell(cell, sqlite3_column_bytes(stmt, c));
        }
    }
    if (rc == SQLITE_DONE) {
        for (int c = 0; c < columns; ++c) {
            const Seen& s = seen[static_cast<size_t>(c)];
            if (s.other || (s.number && s.text))
                continue;
            if (!s.text) {
                rows.setOrder(c, ColumnOrder::Numeric);
                continue;
            }
            const QByteArray collation = collationOf(h, stmt, c).toUpper();
            if (collation == "NOCASE")
                rows.setOrder(c, ColumnOrder::TextNoCase);
            else if (collation == "BINARY")
                rows.setOrder(c, ColumnOrder::Text);
        }
    }
    QSqlError error = rc == SQLITE_DONE ? QSqlError() : engineError(h, rc);
    sqlite3_finalize(stmt);
    rows.finish();
    return error;
}

QSqlError readThroughQtSql(const Database& db, const QString& sql, const QVariantList& values, PackedRows& rows) {
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return q.lastError();
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec())
        return q.lastError();
    const int columns = q.record().count();
    rows = PackedRows(columns);
    while (q.next()) {
        rows.beginRow();
        for (int c = 0; c < columns; ++c) {
            const QVariant value = q.value(c);
            if (value.isNull())
                rows.appendNull();
            else
                rows.appendCell(CellText::of(value));
        }
    }
    rows.finish();
    return q.lastError();
}

} // namespace

PackedRows readPackedRows(const Database& db, const QString& sql, const QVariantList& given, ReadPath path) {
    QVariantList values;
    values.reserve(given.size());
    for (const QVariant& v : given)
        values << storedValue(v);
    PackedRows rows;
    sqlite3* lite = nullptr;
    pg_conn* postgres = nullptr;
    if (path == ReadPath::Engine) {
        lite = sqliteHandle(db);
        postgres = lite ? nullptr : PostgresReader::connectionOf(db.connection().driver()->handle());
        // A query of the driver's own still fetching on the connection would lose its rows: QtSql takes turns.
        if (postgres && !PostgresReader::isIdle(postgres))
            postgres = nullptr;
    }
    db.runStep(
        [&] {
            if (lite)
                return readThroughSqlite(lite, sql, values, rows);
            if (postgres)
                return PostgresReader::read(postgres, sql, values, rows);
            return readThroughQtSql(db, sql, values, rows);
        },
        !db.inTransaction());
    return rows;
}
