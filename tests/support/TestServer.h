#pragma once

#include <QSqlDatabase>
#include <QString>

// The PostgreSQL server that the tests labelled "engine" run against a second time: KAVREL_TEST_SERVER holds its
// postgresql:// address (scripts/test starts a throwaway cluster and sets it). Unset, every test runs on SQLite files.
namespace TestServer {

bool onServer();
// KAVREL_TEST_SERVER as given; empty when unset.
QString baseUri();
// The address with its database name replaced.
QString withDatabase(const QString& uri, const QString& database);
// Opens a QtSql connection for a postgresql:// address. QtSql quotes the database name into a libpq key/value
// string, where a URI is not expanded, so the address is taken apart into QSqlDatabase's fields here.
QSqlDatabase open(const QString& uri, const QString& connectionName);

} // namespace TestServer

// A database of its own on the test server, for one test context: created empty, dropped (with any connection
// still on it) when this goes. The name holds the process id and a counter, so parallel test processes never meet.
class ServerDatabase {
public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const QString& name() const { return m_name; }
    // The server's address naming this database, for DatabaseOptions::server.
    const QString& uri() const { return m_uri; }

private:
    QString m_name;
    QString m_uri;
};
