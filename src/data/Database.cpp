#include "data/Database.h"

#include "data/DataBackup.h"
#include "data/RestoreJournal.h"
#include "data/Schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QUrl>
#include <QUuid>
#include <algorithm>

namespace {

QAtomicInt connectionCounter;
constexpr const char* kPartialSuffix = ".new";
constexpr int kSetupWaitMs = 60000;

QString engineText(const QSqlError& error) {
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text;
}

DataError engineFailure(const QString& plain, const QSqlError& error) {
    return DataError::fromEngine(plain, engineText(error));
}

QSqlError execute(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    return q.exec(sql) ? QSqlError() : q.lastError();
}

enum class Failure { Other, Busy, Conflict };

// SQLSTATE class 08 (connection exception) and the server ending the session (admin_shutdown, crash_shutdown,
// cannot_connect_now), which libpq may report before it has seen the connection close.
bool connectionEnded(const QSqlError& error) {
    const QString state = error.nativeErrorCode();
    return state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
           state == QLatin1String("57P02") || state == QLatin1String("57P03");
}

Failure failureOf(Engine engine, const QSqlError& error) {
    if (engine == Engine::PostgreSQL) {
        // SQLSTATE: lock_not_available (the lock wait ran out); serialization_failure and deadlock_detected.
        const QString state = error.nativeErrorCode();
        if (state == QLatin1String("55P03"))
            return Failure::Busy;
        if (state == QLatin1String("40001") || state == QLatin1String("40P01"))
            return Failure::Conflict;
        return Failure::Other;
    }
    // SQLITE_BUSY or SQLITE_LOCKED, also in their extended forms: another connection holds the lock.
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == 5 || code == 6) ? Failure::Busy : Failure::Other;
}

// The engine says only "database is locked"; the user needs to know who holds it and where.
QString busyText(Engine engine, const QString& whereabouts) {
    if (engine == Engine::PostgreSQL)
        return QStringLiteral("Another workstation is writing to %1 and has not finished.").arg(whereabouts);
    return QStringLiteral("Another copy of Kavrel is writing to the data in the folder %1 and has not finished.")
        .arg(whereabouts);
}

QString conflictText(const QString& whereabouts) {
    return QStringLiteral("Other workstations kept changing the same data in %1 at the same time, and trying again "
                          "did not help. Nothing was saved; try again in a moment.")
        .arg(whereabouts);
}

// Serializes the writers of one database on a server as the file's write lock does on SQLite, so a transaction
// sees everything committed before it began writing. Any fixed number works; this one spells "Kavr".
constexpr qint64 kWriterLock = 0x4b617672;

// Refuses a folder or file the user cannot write, before the first write fails with the engine's bare text. The
// folder must be writable also when both files exist: every write puts a journal file beside them.
void requireWritable(const QString& dataDir, const QStringList& files) {
    QDir().mkpath(dataDir);
    const QFileInfo dir(dataDir);
    if (!dir.isDir() || !dir.isWritable())
        throw DataError(QStringLiteral("Kavrel cannot write to the data folder %1. Check that it is a folder and "
                                       "that you may write to it.")
                            .arg(QDir::toNativeSeparators(dataDir)));
    for (const QString& path : files) {
        const QFileInfo file(path);
        if (file.isFile() && !file.isWritable())
            throw DataError(QStringLiteral("Kavrel cannot write to the data file %1. Check that you may write to it.")
                                .arg(QDir::toNativeSeparators(path)));
    }
}

void runAll(QSqlDatabase& db, const QStringList& statements) {
    QSqlQuery q(db);
    for (const QString& statement : statements)
        if (!q.exec(statement))
            throw engineFailure(QStringLiteral("Kavrel could not set up a new data file."), q.lastError());
}

// The name under which the engine opens a file only if it is there: a file removed meanwhile is an error rather
// than a new empty file that would then lack every table.
QString openExisting(const QString& path) {
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw");
}

// A file that is absent, or of 0 bytes as a crash during an installation can leave it, holds no data: it is made.
bool needsCreating(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && info.size() == 0);
}

// Builds a new database file with its schema under a name no other copy uses, and moves it into place only when
// complete, so an interrupted installation never leaves a half-made file behind. The caller holds the setup lock.
void createFile(const QString& path, const QStringList& ddl) {
    const QString partial =
        path + QLatin1Char('.') + QUuid::createUuid().toString(QUuid::Id128) + QLatin1String(kPartialSuffix);
    const QString name = QStringLiteral("kavrel-create-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(partial);
        if (!db.open()) {
            failure = engineFailure(QStringLiteral("Kavrel could not create %1.").arg(QDir::toNativeSeparators(path)),
                                    db.lastError())
                          .text();
        } else {
            try {
                QSqlQuery(db).exec(QStringLiteral("BEGIN"));
                runAll(db, ddl);
                QSqlQuery commit(db);
                if (!commit.exec(QStringLiteral("COMMIT")))
                    throw engineFailure(QStringLiteral("Kavrel could not set up a new data file."), commit.lastError());
            } catch (const DataError& e) {
                failure = e.text();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (failure.isEmpty()) {
        // Only an empty file is ever replaced; QFile::rename never moves over an existing one.
        if (needsCreating(path))
            QFile::remove(path);
        if (!QFile::rename(partial, path) && needsCreating(path))
            failure = QStringLiteral("Could not create %1.").arg(QDir::toNativeSeparators(path));
    }
    QFile::remove(partial);
    if (!failure.isEmpty())
        throw DataError(failure);
}

// Files left by a copy that stopped while it was building them; no one else builds while the lock is held.
void removeLeftovers(const QDir& dir) {
    QStringList patterns;
    for (const char* file : {kMainFileName, kHoldingFileName})
        patterns << QStringLiteral("%1.*%2*").arg(QLatin1String(file), QLatin1String(kPartialSuffix));
    for (const QString& name : dir.entryList(patterns, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(name));
}

// Units waiting in the holding file; 0 where it cannot be read (its checks at open then say why).
int holdingRows(const QString& path) {
    const QString name = QStringLiteral("kavrel-holding-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    int rows = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(openExisting(path));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT COUNT(*) FROM HoldEquipment")) && q.next())
                rows = q.value(0).toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

void refuseNewInventoryBesideHoldingRows(const QString& dataDir, const QString& mainPath, const QString& holdPath) {
    if (!needsCreating(mainPath) || needsCreating(holdPath))
        return;
    const int waiting = holdingRows(holdPath);
    if (waiting == 0)
        return;
    throw EmptyInventoryError(
        QStringLiteral("The inventory file %1 in the folder %2 is %3, while the holding file %4 "
                       "holds %5 unit(s) waiting to be entered into it. Nothing was changed.")
            .arg(QLatin1String(kMainFileName), QDir::toNativeSeparators(dataDir),
                 QFileInfo::exists(mainPath) ? QStringLiteral("empty") : QStringLiteral("missing"),
                 QLatin1String(kHoldingFileName))
            .arg(waiting),
        waiting);
}

struct FileToMake {
    QString path;
    QStringList ddl;
};

// Makes whichever files need it. Copies starting together on one folder take turns through a lock file in it;
// the one that comes second finds the files made and opens them.
void installMissingFiles(const QString& dataDir, const QList<FileToMake>& files) {
    if (std::none_of(files.cbegin(), files.cend(), [](const FileToMake& f) { return needsCreating(f.path); }))
        return;
    const QDir dir(dataDir);
    QLockFile lock(dir.filePath(QString::fromLatin1(kSetupLockName)));
    if (!lock.tryLock(kSetupWaitMs))
        throw DataError(QStringLiteral("Another copy of Kavrel is setting up the data folder %1 and has not "
                                       "finished. Try again in a moment.")
                            .arg(QDir::toNativeSeparators(dataDir)));
    removeLeftovers(dir);
    for (const FileToMake& f : files)
        if (needsCreating(f.path))
            createFile(f.path, f.ddl);
}

} // namespace

Database::Database(const QString& dataDir, DatabaseOptions options)
    : m_dataDir(QDir(dataDir).absolutePath()),
      m_connectionName(QStringLiteral("kavrel-%1").arg(connectionCounter.fetchAndAddRelaxed(1))),
      m_options(std::move(options)) {
    try {
        if (m_options.server.isEmpty())
            openFiles();
        else
            openServer(m_options.server, m_options.workstation);
    } catch (...) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
        throw;
    }
}

void Database::openFiles() {
    m_whereabouts = QDir::toNativeSeparators(m_dataDir);
    const QString mainPath = QDir(m_dataDir).filePath(QString::fromLatin1(kMainFileName));
    const QString holdPath = QDir(m_dataDir).filePath(QString::fromLatin1(kHoldingFileName));
    requireWritable(m_dataDir, {mainPath, holdPath});
    if (!m_options.newInventoryBesideHoldingRows)
        refuseNewInventoryBesideHoldingRows(m_dataDir, mainPath, holdPath);
    installMissingFiles(m_dataDir,
                        {{mainPath, Schema::mainFileStatements()}, {holdPath, Schema::holdingFileStatements()}});

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(openExisting(mainPath));
    // Two windows or two running copies wait for each other's writes instead of failing at once.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_URI").arg(m_options.busyTimeoutMs));
    if (!db.open())
        throw engineFailure(QStringLiteral("Kavrel cannot open the data files in the folder %1.").arg(m_whereabouts),
                            db.lastError());
    verifyLayout(QStringLiteral("main"), QString::fromLatin1(kMainFileName), Schema::mainFileStatements());
    attachHoldingFile();
    verifyLayout(QStringLiteral("hold"), QString::fromLatin1(kHoldingFileName), Schema::holdingFileStatements());
    // Both files have been read, so the engine has finished or undone whatever a stopped copy left in its journals.
    m_startNotice = RestoreJournal::settle(
        m_dataDir, [this] { return Query(*this, QStringLiteral("PRAGMA main.user_version")).scalar().toInt(); });
    DataBackup::removeLeftovers(m_dataDir);
    addMissingTables();
}

QSet<QString> Database::tableColumns(const QString& schemaName, const QString& table) const {
    QSet<QString> present;
    if (m_engine == Engine::PostgreSQL) {
        // The server folds unquoted names to lower case.
        Query q(*this, QStringLiteral("SELECT column_name FROM information_schema.columns "
                                      "WHERE table_schema = ? AND table_name = ?"));
        q.exec({schemaName, table.toLower()});
        while (q.next())
            present.insert(q.text(0).toLower());
    } else {
        Query q(*this, QStringLiteral("PRAGMA %1.table_info(%2)").arg(schemaName, table));
        q.exec();
        while (q.next())
            present.insert(q.text(1).toLower());
    }
    return present;
}

void Database::verifyLayout(const QString& schemaName, const QString& holder, const QStringList& ddl) const {
    const auto layout = Schema::layout(ddl);
    for (auto it = layout.cbegin(); it != layout.cend(); ++it) {
        const QSet<QString> present = tableColumns(schemaName, it.key());
        if (present.isEmpty()) {
            QString text =
                QStringLiteral("%1 has no table '%2'.")
                    .arg(m_engine == Engine::PostgreSQL ? holder : QStringLiteral("The file ") + holder, it.key());
            text[0] = text.at(0).toUpper();
            throw DataError(text);
        }
        for (const QString& column : it.value())
            if (!present.contains(column.toLower()))
                throw DataError(
                    QStringLiteral("The table '%1' in %2 has no column '%3'.").arg(it.key(), holder, column));
    }
}

void Database::addMissingTables() {
    const bool server = m_engine == Engine::PostgreSQL;
    const QString schemaName = server ? QStringLiteral("public") : QStringLiteral("main");
    const QStringList statements = Schema::addedStatements();
    const auto layout = Schema::layout(statements);
    const bool missing = std::any_of(layout.keyBegin(), layout.keyEnd(),
                                     [&](const QString& table) { return tableColumns(schemaName, table).isEmpty(); });
    // Only a file that lacks them is written to, so opening one never waits for another copy's writes.
    if (missing)
        transaction([&] {
            for (const QString& statement : statements)
                Query(*this, ddl(statement)).exec();
        });
    verifyLayout(schemaName, server ? m_whereabouts : QString::fromLatin1(kMainFileName), statements);
}

Database::~Database() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::connection() const {
    if (m_lost && m_depth == 0)
        reconnect();
    return QSqlDatabase::database(m_connectionName, false);
}

void Database::attachHoldingFile() {
    Query(*this, QStringLiteral("ATTACH DATABASE ? AS hold"))
        .exec({openExisting(QDir(m_dataDir).filePath(QString::fromLatin1(kHoldingFileName)))});
}

void Database::runStep(const std::function<QSqlError()>& step, bool mayRepeat) const {
    for (int attempt = 1;; ++attempt) {
        const QSqlError error = step();
        if (error.type() == QSqlError::NoError)
            return;
        if (m_engine == Engine::PostgreSQL && (connectionBroken() || connectionEnded(error))) {
            m_lost = true;
            throw lostConnection();
        }
        switch (failureOf(m_engine, error)) {
        case Failure::Other:
            throw engineFailure(QStringLiteral("Kavrel could not read or change the data in %1.")
                                    .arg(m_engine == Engine::PostgreSQL
                                             ? m_whereabouts
                                             : QStringLiteral("the folder ") + m_whereabouts),
                                error);
        case Failure::Conflict:
            // Inside a transaction the server has undone the whole of it: Database::transaction runs it again.
            if (mayRepeat && attempt < kConflictAttempts)
                continue;
            throw DataError(conflictText(m_whereabouts), DataError::Kind::Conflict);
        case Failure::Busy: {
            const QString what = busyText(m_engine, m_whereabouts);
            if (!mayRepeat || !m_options.busyHandler || !m_options.busyHandler(what))
                throw DataError(what, DataError::Kind::Busy);
        }
        }
    }
}

// A nested call runs inside a savepoint: it joins the outer transaction, yet its failure undoes its own writes
// even when the caller catches the error and goes on.
static QString savepointName(int level) {
    return QStringLiteral("kavrel_nested_%1").arg(level);
}

void Database::begin() {
    if (m_depth > 0) {
        runStep([&] { return execute(connection(), QStringLiteral("SAVEPOINT ") + savepointName(m_depth)); }, false);
        ++m_depth;
        return;
    }
    if (m_engine == Engine::PostgreSQL) {
        runStep(
            [&] {
                QSqlError error = execute(connection(), QStringLiteral("BEGIN"));
                if (error.type() == QSqlError::NoError) {
                    QSqlQuery lock(connection());
                    lock.prepare(QStringLiteral("SELECT pg_advisory_xact_lock(?)"));
                    lock.addBindValue(kWriterLock);
                    if (!lock.exec()) {
                        error = lock.lastError();
                        execute(connection(), QStringLiteral("ROLLBACK"));
                    }
                }
                return error;
            },
            true);
    } else {
        // IMMEDIATE takes the write lock up front, so two copies wait on the busy timeout instead of deadlocking.
        runStep([&] { return execute(connection(), QStringLiteral("BEGIN IMMEDIATE")); }, true);
    }
    m_depth = 1;
}

void Database::commit() {
    if (m_depth > 1) {
        // On failure the depth is kept: rollback() undoes the savepoint.
        runStep([&] { return execute(connection(), QStringLiteral("RELEASE ") + savepointName(m_depth - 1)); }, false);
        --m_depth;
        return;
    }
    try {
        // A COMMIT that meets another copy's read lock leaves the transaction open, so it may run again.
        runStep([&] { return execute(connection(), QStringLiteral("COMMIT")); }, true);
    } catch (const DataError&) {
        execute(connection(), QStringLiteral("ROLLBACK"));
        m_depth = 0;
        throw;
    }
    m_depth = 0;
}

void Database::rollback() {
    if (m_depth == 0)
        return; // commit() already failed and rolled back
    if (m_depth > 1) {
        const QString name = savepointName(m_depth - 1);
        execute(connection(), QStringLiteral("ROLLBACK TO ") + name);
        execute(connection(), QStringLiteral("RELEASE ") + name);
        --m_depth;
        return;
    }
    m_depth = 0;
    // A lost connection took the transaction with it; the next operation connects again.
    if (!m_lost)
        execute(connection(), QStringLiteral("ROLLBACK"));
}

// Outside a transaction each statement commits on its own, so one that met a lock may simply run again.
Query::Query(const Database& db, const QString& sql) : m_db(db), m_query(db.connection()) {
    // The server's driver drops the unread rows of a forward-only result when the connection runs another
    // statement, so there a result is read whole.
    m_query.setForwardOnly(db.engine() == Engine::SQLite);
    // A server prepares only statements that read or change rows; the rest (table definitions) run as they are.
    static const QRegularExpression preparable(QStringLiteral("^\\s*(SELECT|INSERT|UPDATE|DELETE|WITH|VALUES)\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    if (db.engine() == Engine::PostgreSQL && !preparable.match(sql).hasMatch()) {
        m_unprepared = sql;
        return;
    }
    m_db.runStep([&] { return m_query.prepare(sql) ? QSqlError() : m_query.lastError(); }, !m_db.inTransaction());
}

Query& Query::exec(std::initializer_list<QVariant> values) {
    return exec(QVariantList(values));
}

QVariant storedValue(const QVariant& value) {
    if (value.isNull())
        return value;
    // Yes/no columns hold 1/0 on every engine; a server would refuse a boolean for them.
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    // A server's text cannot hold a NUL character; removed on the files too, both engines keep the same text.
    if (value.typeId() == QMetaType::QString && value.toString().contains(QChar(0)))
        return QString(value.toString()).remove(QChar(0));
    return value;
}

Query& Query::exec(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        m_query.bindValue(i, storedValue(values.at(i)));
    m_db.runStep(
        [&] {
            const bool ok = m_unprepared.isEmpty() ? m_query.exec() : m_query.exec(m_unprepared);
            return ok ? QSqlError() : m_query.lastError();
        },
        !m_db.inTransaction());
    return *this;
}

Query& Query::bind(const QString& column, const QVariant& value) {
    return bindPlaceholder(Columns::placeholder(column), value);
}

Query& Query::bindPlaceholder(const QString& placeholder, const QVariant& value) {
    m_query.bindValue(placeholder, storedValue(value));
    return *this;
}

QVariant Query::lastInsertId() const {
    if (m_db.engine() == Engine::SQLite)
        return m_query.lastInsertId();
    // The driver gives the row's object id, which tables no longer have; the identity's value is the session's.
    QSqlQuery q(m_db.connection());
    return q.exec(QStringLiteral("SELECT lastval()")) && q.next() ? q.value(0) : QVariant();
}

std::optional<QString> Query::optionalText(const QString& column) const {
    const QVariant value = m_query.value(column);
    if (value.isNull())
        return std::nullopt;
    return value.toString();
}

QString Columns::placeholder(const QString& column) {
    return QLatin1Char(':') + column;
}

QString Columns::list(const QStringList& columns, const QString& table) {
    if (table.isEmpty())
        return columns.join(QStringLiteral(", "));
    QStringList qualified;
    for (const QString& c : columns)
        qualified << table + QLatin1Char('.') + c;
    return qualified.join(QStringLiteral(", "));
}

QString Columns::insert(const QString& table, const QStringList& columns) {
    QStringList placeholders;
    for (const QString& c : columns)
        placeholders << placeholder(c);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, list(columns), placeholders.join(QStringLiteral(", ")));
}

QString Columns::assignments(const QStringList& columns) {
    QStringList parts;
    for (const QString& c : columns)
        parts << c + QStringLiteral(" = ") + placeholder(c);
    return parts.join(QStringLiteral(", "));
}

QVariant Query::scalar(std::initializer_list<QVariant> values) {
    exec(values);
    return next() ? value(0) : QVariant();
}
