// Database::forEachRow: many rows read from SQLite's own handle, or through Query on any other driver.

#include "data/Database.h"

#include <QLocale>
#include <QSqlDriver>
#include <memory>
#include <sqlite3.h>

namespace {

// The driver's handle when it is SQLite's (the Qt driver links the same library as this program).
sqlite3* sqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

QSqlError engineError(sqlite3* db, int code) {
    return QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(db)), QSqlError::StatementError,
                     QString::number(code));
}

// Binds as the Qt driver does: numbers as numbers, bytes as a blob, everything else as text.
int bindValue(sqlite3_stmt* stmt, int index, const QVariant& v) {
    if (v.isNull())
        return sqlite3_bind_null(stmt, index);
    switch (v.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return sqlite3_bind_int64(stmt, index, v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return sqlite3_bind_blob(stmt, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    default: {
        const QString text = v.toString();
        return sqlite3_bind_text16(stmt, index, text.utf16(), static_cast<int>(text.size() * sizeof(char16_t)),
                                   SQLITE_TRANSIENT);
    }
    }
}

class SqliteRow : public RowValues {
public:
    explicit SqliteRow(sqlite3_stmt* stmt) : m_stmt(stmt) {}

    QVariant value(int column) const override {
        switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(m_stmt, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_stmt, column));
        case SQLITE_BLOB:
            return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, column)),
                                       sqlite3_column_bytes(m_stmt, column)));
        default:
            return QVariant(utf8(column));
        }
    }

    bool text(int column, QString& out) const override {
        switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_NULL:
            return false;
        case SQLITE_INTEGER:
            out = QString::number(sqlite3_column_int64(m_stmt, column));
            return true;
        case SQLITE_FLOAT:
            out = QString::number(sqlite3_column_double(m_stmt, column), 'g', QLocale::FloatingPointShortest);
            return true;
        default: // text, and a blob read as UTF-8 as QVariant::toString reads bytes
            out = utf8(column);
            return true;
        }
    }

private:
    QString utf8(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
    }

    sqlite3_stmt* m_stmt;
};

} // namespace

void Database::forEachRow(const QString& sql, const QVariantList& values,
                          const std::function<void(const RowValues&)>& fn) const {
    sqlite3* db = sqliteHandle(connection());
    if (!db) {
        Query q(*this, sql);
        q.exec(values);
        const QueryRow row(q);
        while (q.next())
            fn(row);
        return;
    }
    // A lock met before the first row may wait and run again, as Query's steps do; never once rows were handed on.
    const bool mayRepeat = !inTransaction();
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* prepared = nullptr;
    runStep(
        [&] {
            const int code =
                sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &prepared, nullptr);
            return code == SQLITE_OK ? QSqlError() : engineError(db, code);
        },
        mayRepeat);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(prepared, sqlite3_finalize);
    for (int i = 0; i < values.size(); ++i)
        if (const int code = bindValue(stmt.get(), i + 1, values.at(i)); code != SQLITE_OK)
            throw DataError(QString::fromUtf8(sqlite3_errstr(code)));
    const SqliteRow row(stmt.get());
    bool handedOn = false;
    for (;;) {
        int code = SQLITE_OK;
        runStep(
            [&] {
                code = sqlite3_step(stmt.get());
                if (code == SQLITE_ROW || code == SQLITE_DONE)
                    return QSqlError();
                const QSqlError error = engineError(db, code);
                sqlite3_reset(stmt.get()); // a repeat starts from the first row
                return error;
            },
            mayRepeat && !handedOn);
        if (code == SQLITE_DONE)
            return;
        handedOn = true;
        fn(row);
    }
}
