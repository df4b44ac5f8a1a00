#include "data/LargeValue.h"

#include "data/Database.h"
#include "data/SqliteHandle.h"

#include <QIODevice>
#include <QSqlDriver>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace {

QString engineText(sqlite3* handle, int rc) {
    const int current = sqlite3_errcode(handle);
    return QString::fromUtf8(current == rc ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
}

// The engine's failure in the form Database's busy rule reads.
QSqlError engineError(sqlite3* handle, int rc) {
    return QSqlError(QString(), engineText(handle, rc), QSqlError::StatementError, QString::number(rc));
}

void check(sqlite3* handle, int rc) {
    if (rc != SQLITE_OK)
        throw DataError::fromEngine(QStringLiteral("Kavrel could not move a file's bytes into or out of the data."),
                                    engineText(handle, rc));
}

QString deviceText(const QIODevice& device, const char* fallback) {
    const QString text = device.errorString();
    return text.isEmpty() || text == QLatin1String("Unknown error") ? QString::fromLatin1(fallback) : text;
}

// Reads exactly want bytes, or throws: a file that shrank since its size was taken ends early.
void readExactly(QIODevice& source, char* into, qint64 want) {
    qint64 got = 0;
    while (got < want) {
        const qint64 n = source.read(into + got, want - got);
        if (n <= 0)
            throw LargeValue::DeviceError(
                deviceText(source, n == 0 ? "the file ended before all of it was read" : "it could not be read")
                    .toStdString());
        got += n;
    }
}

void writeAll(QIODevice& sink, const char* from, qint64 size) {
    if (size > 0 && sink.write(from, size) != size)
        throw LargeValue::DeviceError(deviceText(sink, "it could not be written").toStdString());
}

bool report(const LargeValue::Progress& progress, qint64 done, qint64 total) {
    return !progress || progress(done, total);
}

QString cellStatement(const char* pattern, const LargeValue::Cell& cell) {
    return QString::fromLatin1(pattern).arg(cell.table, cell.column, cell.key);
}

[[noreturn]] void throwGone() {
    throw DataError(QStringLiteral("The row to read or fill is no longer in the database."));
}

// A server has no incremental blob I/O: the pieces wait in a table of the connection's own and are joined into
// the cell by the server in one statement, so neither side ever holds the value whole in the client.
const char* const kServerPieces = "LargeValuePieces";

bool writeOnServer(const Database& db, const LargeValue::Cell& cell, QIODevice& source, qint64 size,
                   const LargeValue::Progress& progress) {
    Query(db, QStringLiteral("CREATE TEMPORARY TABLE IF NOT EXISTS %1 (Piece BIGINT PRIMARY KEY, Bytes BYTEA)")
                  .arg(QLatin1String(kServerPieces)))
        .exec();
    Query(db, QStringLiteral("DELETE FROM %1").arg(QLatin1String(kServerPieces))).exec();
    Query insert(db, QStringLiteral("INSERT INTO %1 (Piece, Bytes) VALUES (?, ?)").arg(QLatin1String(kServerPieces)));
    QByteArray piece;
    qint64 n = 0;
    for (qint64 done = 0; done < size; ++n) {
        const qint64 bytes = std::min(LargeValue::kPieceBytes, size - done);
        piece.resize(bytes);
        readExactly(source, piece.data(), bytes);
        insert.exec({n, piece});
        done += bytes;
        if (!report(progress, done, size))
            return false;
    }
    Query join(db, QStringLiteral("UPDATE %1 SET %2 = (SELECT COALESCE(string_agg(Bytes, CAST('' AS BYTEA) ORDER BY "
                                  "Piece), CAST('' AS BYTEA)) FROM %4) WHERE %3 = ?")
                       .arg(cell.table, cell.column, cell.key, QLatin1String(kServerPieces)));
    join.exec({cell.row});
    if (join.numRowsAffected() != 1)
        throwGone();
    Query(db, QStringLiteral("DELETE FROM %1").arg(QLatin1String(kServerPieces))).exec();
    return size > 0 || report(progress, 0, 0);
}

// Stored uncompressed (see the schema), a slice of the value costs only its own pages.
bool readOnServer(const Database& db, const LargeValue::Cell& cell, QIODevice& sink,
                  const LargeValue::Progress& progress) {
    Query length(db, cellStatement("SELECT octet_length(%2) FROM %1 WHERE %3 = ?", cell));
    length.exec({cell.row});
    if (!length.next())
        throwGone();
    if (length.isNull(0))
        return report(progress, 0, 0);
    const qint64 size = length.value(0).toLongLong();
    Query slice(db, cellStatement("SELECT substring(%2 FROM ? FOR ?) FROM %1 WHERE %3 = ?", cell));
    for (qint64 done = 0; done < size;) {
        const qint64 bytes = std::min(LargeValue::kPieceBytes, size - done);
        slice.exec({done + 1, bytes, cell.row});
        if (!slice.next())
            throwGone();
        const QByteArray piece = slice.value(0).toByteArray();
        writeAll(sink, piece.constData(), piece.size());
        done += bytes;
        if (!report(progress, done, size))
            return false;
    }
    return size > 0 || report(progress, 0, 0);
}

} // namespace

void LargeValue::engineStep(const Database& db, const std::function<QSqlError()>& step) {
    db.runStep(step, !db.inTransaction());
}

// Holds an open blob and closes it on every way out.
class LargeValue::Blob {
public:
    Blob(const Database& db, sqlite3* handle, const Cell& cell, bool writable) : m_handle(handle) {
        const QByteArray table = cell.table.toUtf8();
        const QByteArray column = cell.column.toUtf8();
        // Outside a transaction the read lock may meet another copy's commit, which Database's busy rule answers.
        engineStep(db, [&] {
            const int rc = sqlite3_blob_open(handle, "main", table.constData(), column.constData(), cell.row,
                                             writable ? 1 : 0, &m_blob);
            return rc == SQLITE_OK ? QSqlError() : engineError(handle, rc);
        });
    }
    ~Blob() {
        if (m_blob)
            sqlite3_blob_close(m_blob);
    }
    Blob(const Blob&) = delete;
    Blob& operator=(const Blob&) = delete;

    int size() const { return sqlite3_blob_bytes(m_blob); }
    void write(const char* from, int bytes, int offset) {
        check(m_handle, sqlite3_blob_write(m_blob, from, bytes, offset));
    }
    void read(char* into, int bytes, int offset) { check(m_handle, sqlite3_blob_read(m_blob, into, bytes, offset)); }
    void close() {
        sqlite3_blob* blob = m_blob;
        m_blob = nullptr;
        check(m_handle, sqlite3_blob_close(blob));
    }

private:
    sqlite3* m_handle;
    sqlite3_blob* m_blob = nullptr;
};

qint64 LargeValue::maxSize(const Database& db) {
    if (sqlite3* handle = sqliteHandle(db))
        return sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, -1);
    if (db.engine() == Engine::PostgreSQL)
        return (qint64(1) << 30) - 1; // the server's limit for one value
    return std::numeric_limits<qsizetype>::max();
}

bool LargeValue::write(const Database& db, const Cell& cell, QIODevice& source, qint64 size, const Progress& progress,
                       Transfer how) {
    if (how == Transfer::Pieces && db.engine() == Engine::PostgreSQL)
        return writeOnServer(db, cell, source, size, progress);
    sqlite3* handle = how == Transfer::Pieces ? sqliteHandle(db) : nullptr;
    if (!handle) {
        QByteArray bytes(size, Qt::Uninitialized);
        readExactly(source, bytes.data(), size);
        Query q(db, cellStatement("UPDATE %1 SET %2 = ? WHERE %3 = ?", cell));
        q.exec({bytes, cell.row});
        if (q.numRowsAffected() != 1)
            throwGone();
        return report(progress, size, size);
    }

    // The engine sets aside the value's room at once; the pieces then overwrite it in place.
    Query reserve(db, cellStatement("UPDATE %1 SET %2 = zeroblob(?) WHERE %3 = ?", cell));
    reserve.exec({size, cell.row});
    if (reserve.numRowsAffected() != 1)
        throwGone();
    if (size == 0)
        return report(progress, 0, 0);
    Blob blob(db, handle, cell, true);
    QByteArray piece(std::min(size, kPieceBytes), Qt::Uninitialized);
    for (qint64 done = 0; done < size;) {
        const qint64 bytes = std::min(kPieceBytes, size - done);
        readExactly(source, piece.data(), bytes);
        blob.write(piece.constData(), static_cast<int>(bytes), static_cast<int>(done));
        done += bytes;
        if (!report(progress, done, size))
            return false;
    }
    blob.close();
    return true;
}

bool LargeValue::read(const Database& db, const Cell& cell, QIODevice& sink, const Progress& progress, Transfer how) {
    if (how == Transfer::Pieces && db.engine() == Engine::PostgreSQL)
        return readOnServer(db, cell, sink, progress);
    sqlite3* handle = how == Transfer::Pieces ? sqliteHandle(db) : nullptr;
    if (!handle) {
        Query q(db, cellStatement("SELECT %2 FROM %1 WHERE %3 = ?", cell));
        q.exec({cell.row});
        if (!q.next())
            throwGone();
        const QByteArray bytes = q.value(0).toByteArray();
        writeAll(sink, bytes.constData(), bytes.size());
        return report(progress, bytes.size(), bytes.size());
    }

    {
        // typeof() looks at the value's type alone; "IS NULL" would read the whole value into memory.
        Query q(db, cellStatement("SELECT typeof(%2) = 'null' FROM %1 WHERE %3 = ?", cell));
        q.exec({cell.row});
        if (!q.next())
            throwGone();
        if (q.value(0).toBool())
            return report(progress, 0, 0);
    }
    Blob blob(db, handle, cell, false);
    const qint64 size = blob.size();
    QByteArray piece(std::min(size, kPieceBytes), Qt::Uninitialized);
    for (qint64 done = 0; done < size;) {
        const qint64 bytes = std::min(kPieceBytes, size - done);
        blob.read(piece.data(), static_cast<int>(bytes), static_cast<int>(done));
        writeAll(sink, piece.constData(), bytes);
        done += bytes;
        if (!report(progress, done, size))
            return false;
    }
    return true;
}
