// The PostgreSQL benchmarks' side of the server: databases of their own, the generated inventory copied in, and
// the floors' plain libpq reads.

#include "bench.h"

#include "data/Database.h"
#include "data/Schema.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>
#include <cstdio>
#include <cstdlib>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace bench {

namespace {

const char* const kWorkstation = "bench";

[[noreturn]] void failServer(pg_conn* conn, const QByteArray& what) {
    std::fprintf(stderr, "kavrel_bench: %s: %s\n", what.constData(), conn ? PQerrorMessage(conn) : "no connection");
    std::abort();
}

// A COPY text cell: backslash, tab and line breaks escaped.
void appendCopyText(QByteArray& line, const char* text, int size) {
    for (int i = 0; i < size; ++i) {
        switch (text[i]) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += text[i];
        }
    }
}

// One table's rows from the SQLite inventory into the server's table of that name, ids kept: COPY into a staging
// table of the same columns, then one INSERT ... SELECT, which also passes through a view.
void copyTable(sqlite3* from, pg_conn* to, const QString& table) {
    sqlite3_stmt* rows = prepareRaw(from, QStringLiteral("SELECT * FROM %1").arg(table));
    QStringList columns;
    for (int c = 0; c < sqlite3_column_count(rows); ++c)
        columns << QString::fromUtf8(sqlite3_column_name(rows, c));
    const QString list = columns.join(u", ");
    execRaw(to, QStringLiteral("CREATE TEMPORARY TABLE Staged AS SELECT %1 FROM %2 WITH NO DATA").arg(list, table));
    const QByteArray copy = QStringLiteral("COPY Staged (%1) FROM STDIN").arg(list).toUtf8();
    PGresult* started = PQexec(to, copy.constData());
    if (PQresultStatus(started) != PGRES_COPY_IN)
        failServer(to, copy);
    PQclear(started);
    QByteArray line;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        line.clear();
        for (int c = 0; c < columns.size(); ++c) {
            if (c)
                line += '\t';
            if (sqlite3_column_type(rows, c) == SQLITE_NULL)
                line += "\\N";
            else
                appendCopyText(line, reinterpret_cast<const char*>(sqlite3_column_text(rows, c)),
                               sqlite3_column_bytes(rows, c));
        }
        line += '\n';
        if (PQputCopyData(to, line.constData(), static_cast<int>(line.size())) != 1)
            failServer(to, copy);
    }
    sqlite3_finalize(rows);
    if (PQputCopyEnd(to, nullptr) != 1)
        failServer(to, copy);
    PGresult* ended = PQgetResult(to);
    if (PQresultStatus(ended) != PGRES_COMMAND_OK)
        failServer(to, copy);
    PQclear(ended);
    while (PGresult* rest = PQgetResult(to))
        PQclear(rest);
    execRaw(to, QStringLiteral("INSERT INTO %1 (%2) OVERRIDING SYSTEM VALUE SELECT %2 FROM Staged ORDER BY %3")
                    .arg(table, list, columns.first()));
    execRaw(to, QStringLiteral("DROP TABLE Staged"));
}

} // namespace

pg_conn* openRawServer(const QString& address) {
    pg_conn* conn = PQconnectdb(address.toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK)
        failServer(conn, "connect");
    // The session the application sets up: the holding view on the search path, showing the bench's rows.
    execRaw(conn,
            QStringLiteral("SELECT set_config('search_path', 'public, hold', false), set_config('%1', '%2', false)")
                .arg(QLatin1String(Schema::kWorkstationSetting), QLatin1String(kWorkstation)));
    return conn;
}

void execRaw(pg_conn* conn, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    PGresult* result = PQexec(conn, text.constData());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        failServer(conn, text);
    PQclear(result);
}

qint64 fetchRaw(pg_conn* conn, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    PGresult* result = PQexec(conn, text.constData());
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        failServer(conn, text);
    qint64 sink = 0;
    const int rows = PQntuples(result);
    const int columns = PQnfields(result);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            sink += PQgetlength(result, r, c) + (*PQgetvalue(result, r, c) != 0);
    PQclear(result);
    return sink;
}

QByteArray tablesDigest(pg_conn* conn, const QStringList& statements) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& sql : statements) {
        PGresult* result = PQexec(conn, sql.toUtf8().constData());
        if (PQresultStatus(result) != PGRES_TUPLES_OK)
            failServer(conn, sql.toUtf8());
        for (int r = 0; r < PQntuples(result); ++r)
            for (int c = 0; c < PQnfields(result); ++c) {
                if (PQgetisnull(result, r, c))
                    hash.addData("\x1e");
                else
                    hash.addData(QByteArrayView(PQgetvalue(result, r, c), PQgetlength(result, r, c)));
                hash.addData("\x1f");
            }
        PQclear(result);
    }
    return hash.result().toHex();
}

ServerDatabase::ServerDatabase(const QString& server, const QString& templateName)
    : m_server(server), m_name(QStringLiteral("kavrel_bench_%1").arg(QUuid::createUuid().toString(QUuid::Id128))) {
    pg_conn* admin = openRawServer(m_server);
    execRaw(admin, QStringLiteral("CREATE DATABASE %1%2")
                       .arg(m_name, templateName.isEmpty() ? QString() : QStringLiteral(" TEMPLATE ") + templateName));
    PQfinish(admin);
    QUrl url(m_server);
    url.setPath(QLatin1Char('/') + m_name);
    m_address = url.toString();
}

ServerDatabase::~ServerDatabase() {
    pg_conn* admin = openRawServer(m_server);
    execRaw(admin, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    PQfinish(admin);
}

DatabaseOptions ServerDatabase::options() const {
    DatabaseOptions options;
    options.server = m_address;
    options.workstation = QLatin1String(kWorkstation);
    return options;
}

void copyInventoryToServer(const QString& dataDir, const ServerDatabase& target, const QStringList& tables) {
    QTemporaryDir scratch;
    // The schema, as the application makes it on first use.
    Database made(scratch.path(), target.options());
    sqlite3* from = openRawWithHolding(dataDir);
    pg_conn* to = openRawServer(target.address());
    execRaw(to, QStringLiteral("BEGIN"));
    for (const QString& table : tables)
        copyTable(from, to, table);
    execRaw(to, QStringLiteral("COMMIT"));
    execRaw(to, QStringLiteral("ANALYZE"));
    PQfinish(to);
    sqlite3_close(from);
    made.continueKeys();
}

} // namespace bench
