#pragma once

#include "data/DataError.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <optional>

inline constexpr const char* kMainFileName = "Inventory.mdb";
inline constexpr const char* kHoldingFileName = "Kavrel.mdb";
// Copies starting together, or restoring, on one data folder take turns through this lock file in it.
inline constexpr const char* kSetupLockName = "Kavrel.lock";

struct DatabaseOptions {
    // How long a statement waits for another copy's lock before the busy handler is asked.
    int busyTimeoutMs = 10000;
    // Asked, with a plain-words text naming the data folder, when another copy keeps the data locked longer than
    // the wait. True tries the same step again; false, or no handler, fails it with a DataError carrying that text.
    std::function<bool(const QString& what)> busyHandler;
    // A postgresql:// address (libpq's conventions: password file, service file, PG* variables, sslmode): the data
    // then lives on that server and the data folder keeps only this workstation's temporary files. Empty: the two
    // files in the data folder.
    QString server;
    // Who this workstation is on a server; its holding rows are its own. Empty: the host's name.
    QString workstation;
    // Makes a new main file even where the holding file still holds units, whose locations would then mean nothing;
    // only once the user has chosen to start afresh or to restore a backup.
    bool newInventoryBesideHoldingRows = false;
};

// The main file is empty or missing while the holding file holds units: a start that makes a new inventory would
// lose what they refer to, so nothing is made until the user chooses.
class EmptyInventoryError : public DataError {
public:
    EmptyInventoryError(const QString& text, int waiting) : DataError(text), m_waiting(waiting) {}
    int waiting() const { return m_waiting; }

private:
    int m_waiting;
};

enum class Engine { SQLite, PostgreSQL };

// One connection to the main file with the holding file attached, so that an operation touching both is one
// transaction. Missing files (or files of 0 bytes, which hold nothing) are created with the full schema, one copy of
// Kavrel at a time; existing files are checked and never altered.
class PackedRows;
enum class ReadPath;

class Database {
public:
    // Opens (creating where missing) both files in dataDir; throws DataError when a file is not usable.
    explicit Database(const QString& dataDir, DatabaseOptions options = {});
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& dataDir() const { return m_dataDir; }
    Engine engine() const { return m_engine; }
    // Where the data lives, for messages: the data folder, or the server and database without any password.
    const QString& whereabouts() const { return m_whereabouts; }
    // The open connection. Once a server's connection was lost, the next call outside a transaction connects
    // again (throwing a lost-connection DataError while the server cannot be reached).
    QSqlDatabase connection() const;
    // What the user must hear of this open: a restore that was interrupted, and whether it was finished or undone.
    const QString& startNotice() const { return m_startNotice; }
    // "The connection to the PostgreSQL server at ... was lost." and what that meant for the work, if given.
    DataError lostConnection(const QString& consequence = QString()) const;
    // fn, telling a lost connection with what it meant for this work ("Nothing was saved; ...").
    template <typename Fn> auto tellingIfLost(const QString& consequence, Fn& fn) const {
        return [this, consequence, &fn]() -> decltype(auto) {
            try {
                return fn();
            } catch (const DataError& e) {
                if (!e.lost())
                    throw;
                throw lostConnection(consequence);
            }
        };
    }

    // Runs fn inside one transaction: committed when fn returns, rolled back when it throws.
    // Nested calls join the outer transaction; one that throws undoes its own writes only.
    // On a server, a whole transaction that another workstation's work made the server refuse (a serialization
    // failure or a deadlock) runs again from the start, a few times, before the failure reaches the user; fn must
    // therefore be safe to run again.
    template <typename Fn> decltype(auto) transaction(Fn&& fn) {
        for (int attempt = 1;; ++attempt) {
            const bool outermost = m_depth == 0;
            begin();
            try {
                if constexpr (std::is_void_v<decltype(fn())>) {
                    fn();
                    commit();
                    return;
                } else {
                    decltype(auto) result = fn();
                    commit();
                    return result;
                }
            } catch (const DataError& e) {
                rollback();
                if (outermost && e.lost())
                    throw lostConnection(QStringLiteral("Nothing was saved."));
                if (!outermost || !e.conflict() || attempt >= kConflictAttempts)
                    throw;
            } catch (...) {
                rollback();
                throw;
            }
        }
    }
    static constexpr int kConflictAttempts = 4;
    bool inTransaction() const { return m_depth > 0; }
    // Makes the tables later versions added where the data lacks them (after a restore of an older backup, say),
    // then checks them; the tables already there are left as they are.
    void addMissingTables();
    // After rows arrived with keys of their own (a copy), new rows get keys past the largest on every table.
    void continueKeys();
    // A table definition written for SQLite, in this engine's types.
    QString ddl(const QString& statement) const;
    // "the database "x" on the PostgreSQL server host:port", from a postgresql:// address, without any password.
    static QString serverWhereabouts(const QString& address);

private:
    friend class Query;
    friend PackedRows readPackedRows(const Database&, const QString&, const QVariantList&, ReadPath);
    friend class LargeValue;
    // Runs one step of SQL, returning its error (invalid when it succeeded). When another copy's lock outlasts the
    // wait, the busy handler decides whether the step runs again; a step inside a transaction is never repeated,
    // the transaction as a whole fails instead.
    void runStep(const std::function<QSqlError()>& step, bool mayRepeat) const;
    void begin();
    void commit();
    void rollback();
    void attachHoldingFile();
    void openFiles();
    void openServer(const QString& address, const QString& workstation);
    void installServerSchema();
    // The session's settings on a server: search path, workstation, lock wait, time zone.
    void startSession() const;
    bool connectionBroken() const;
    void reconnect() const;
    // Throws DataError unless every table and column the schema makes is there, naming what is missing.
    void verifyLayout(const QString& schemaName, const QString& holder, const QStringList& ddl) const;
    // The table's columns in lower case; empty when there is no such table.
    QSet<QString> tableColumns(const QString& schemaName, const QString& table) const;

    QString m_dataDir;
    QString m_connectionName;
    Engine m_engine = Engine::SQLite;
    QString m_whereabouts;
    QString m_startNotice;
    QString m_serverPlace; // "at host:port", for the words on a lost connection
    QString m_workstation;
    mutable bool m_lost = false;
    DatabaseOptions m_options;
    int m_depth = 0;
};

// Statements of many columns, written from one list of column names with one named placeholder (:Name) each, so
// that a value is bound and read by its column's name, never by counting positions.
namespace Columns {
QString placeholder(const QString& column);
// "a, b" or, with a table, "T.a, T.b".
QString list(const QStringList& columns, const QString& table = QString());
// "INSERT INTO table (a, b) VALUES (:a, :b)".
QString insert(const QString& table, const QStringList& columns);
// "a = :a, b = :b", for an UPDATE's SET clause.
QString assignments(const QStringList& columns);
} // namespace Columns

// A value as it is bound to a statement on either engine: yes/no as 1/0, text without NUL characters.
QVariant storedValue(const QVariant& value);

// A prepared statement whose failures throw DataError. Values are always bound, never spliced into the text.
class Query {
public:
    Query(const Database& db, const QString& sql);

    // Binds the values in order to the statement's placeholders and runs it.
    Query& exec(std::initializer_list<QVariant> values = {});
    Query& exec(const QVariantList& values);
    // Binds value to the statement's placeholder for column (":column"); exec() then runs it. Bound values stay
    // for the next run, so a statement prepared once binds per row only what changes.
    Query& bind(const QString& column, const QVariant& value);
    // The same with the placeholder made beforehand (Columns::placeholder), for statements run many times.
    Query& bindPlaceholder(const QString& placeholder, const QVariant& value);
    bool next() { return m_query.next(); }
    QVariant value(int column) const { return m_query.value(column); }
    QVariant value(const QString& name) const { return m_query.value(name); }
    QString text(int column) const { return m_query.value(column).toString(); }
    bool isNull(int column) const { return m_query.isNull(column); }
    // The current row's value of a result column by name, as text; none when it is Null.
    std::optional<QString> optionalText(const QString& column) const;
    // The key the last INSERT on this connection gave its row.
    QVariant lastInsertId() const;
    // Releases the result so the statement can run again without holding a read lock.
    void finish() { m_query.finish(); }
    int numRowsAffected() const { return m_query.numRowsAffected(); }
    // First column of the first row, or an invalid QVariant when there is no row.
    QVariant scalar(std::initializer_list<QVariant> values = {});

private:
    const Database& m_db;
    QSqlQuery m_query;
    QString m_unprepared; // a statement run as it is, on an engine that cannot prepare it
};
