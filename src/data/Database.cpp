#include "data/Database.h"

#include "data/Schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QSqlError>
#include <QUrl>
#include <QUuid>
#include <algorithm>

namespace {

QAtomicInt connectionCounter;
constexpr const char* kPartialSuffix = ".new";
constexpr const char* kSetupLockName = "Kavrel.lock";
constexpr int kSetupWaitMs = 60000;

QString engineText(const QSqlError& error) {
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text;
}

// The tables and columns a file must have, read from a scratch database built with the same DDL.
QMap<QString, QSet<QString>> expectedLayout(const QStringList& ddl) {
    const QString name = QStringLiteral("kavrel-layout-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    QMap<QString, QSet<QString>> layout;
    {
        QSqlDatabase scratch = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        scratch.setDatabaseName(QStringLiteral(":memory:"));
        scratch.open();
        QSqlQuery q(scratch);
        for (const QString& statement : ddl)
            if (statement.startsWith(QLatin1String("CREATE TABLE")))
                q.exec(statement);
        for (const QString& table : scratch.tables()) {
            QSqlQuery cols(scratch);
            cols.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
            while (cols.next())
                layout[table].insert(cols.value(1).toString());
        }
    }
    QSqlDatabase::removeDatabase(name);
    return layout;
}

// Checks that the open file at schemaName holds every table and column; throws DataError otherwise.
void verifyLayout(QSqlDatabase& db, const QString& schemaName, const QString& fileName, const QStringList& ddl) {
    QSqlQuery q(db);
    const auto layout = expectedLayout(ddl);
    for (auto it = layout.cbegin(); it != layout.cend(); ++it) {
        if (!q.exec(QStringLiteral("PRAGMA %1.table_info(%2)").arg(schemaName, it.key())))
            throw DataError(engineText(q.lastError()));
        QSet<QString> present;
        while (q.next())
            present.insert(q.value(1).toString());
        if (present.isEmpty())
            throw DataError(QStringLiteral("The file %1 has no table '%2'.").arg(fileName, it.key()));
        for (const QString& column : it.value())
            if (!present.contains(column))
                throw DataError(
                    QStringLiteral("The table '%1' in %2 has no column '%3'.").arg(it.key(), fileName, column));
    }
}

void runAll(QSqlDatabase& db, const QStringList& statements) {
    QSqlQuery q(db);
    for (const QString& statement : statements)
        if (!q.exec(statement))
            throw DataError(engineText(q.lastError()));
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
            failure = engineText(db.lastError());
        } else {
            try {
                QSqlQuery(db).exec(QStringLiteral("BEGIN"));
                runAll(db, ddl);
                QSqlQuery commit(db);
                if (!commit.exec(QStringLiteral("COMMIT")))
                    throw DataError(engineText(commit.lastError()));
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

struct FileToMake {
    QString path;
    QStringList ddl;
};

// Makes whichever files need it. Copies starting together on one folder take turns through a lock file in it;
// the one that comes second finds the files made and opens them.
void installMissingFiles(const QString& dataDir, const QList<FileToMake>& files) {
    const auto missing = [&] {
        return std::any_of(files.cbegin(), files.cend(), [](const FileToMake& f) { return needsCreating(f.path); });
    };
    if (!missing())
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

Database::Database(const QString& dataDir)
    : m_dataDir(QDir(dataDir).absolutePath()),
      m_connectionName(QStringLiteral("kavrel-%1").arg(connectionCounter.fetchAndAddRelaxed(1))) {
    QDir().mkpath(m_dataDir);
    const QString mainPath = QDir(m_dataDir).filePath(QString::fromLatin1(kMainFileName));
    const QString holdPath = QDir(m_dataDir).filePath(QString::fromLatin1(kHoldingFileName));
    installMissingFiles(m_dataDir,
                        {{mainPath, Schema::mainFileStatements()}, {holdPath, Schema::holdingFileStatements()}});

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(openExisting(mainPath));
    // Two windows or two running copies wait for each other's writes instead of failing at once.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000;QSQLITE_OPEN_URI"));
    try {
        if (!db.open())
            throw DataError(engineText(db.lastError()));
        verifyLayout(db, QStringLiteral("main"), QString::fromLatin1(kMainFileName), Schema::mainFileStatements());
        attachHoldingFile();
        verifyLayout(db, QStringLiteral("hold"), QString::fromLatin1(kHoldingFileName),
                     Schema::holdingFileStatements());
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw;
    }
}

Database::~Database() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::connection() const {
    return QSqlDatabase::database(m_connectionName, false);
}

void Database::attachHoldingFile() {
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS hold"));
    q.addBindValue(openExisting(QDir(m_dataDir).filePath(QString::fromLatin1(kHoldingFileName))));
    if (!q.exec())
        throw DataError(engineText(q.lastError()));
}

// A nested call runs inside a savepoint: it joins the outer transaction, yet its failure undoes its own writes
// even when the caller catches the error and goes on.
static QString savepointName(int level) {
    return QStringLiteral("kavrel_nested_%1").arg(level);
}

void Database::begin() {
    if (m_depth > 0) {
        QSqlQuery q(connection());
        if (!q.exec(QStringLiteral("SAVEPOINT ") + savepointName(m_depth)))
            throw DataError(engineText(q.lastError()));
        ++m_depth;
        return;
    }
    QSqlQuery q(connection());
    // IMMEDIATE takes the write lock up front, so two copies wait on the busy timeout instead of deadlocking.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        throw DataError(engineText(q.lastError()));
    m_depth = 1;
}

void Database::commit() {
    if (m_depth > 1) {
        QSqlQuery q(connection());
        if (!q.exec(QStringLiteral("RELEASE ") + savepointName(m_depth - 1)))
            throw DataError(engineText(q.lastError())); // depth kept: rollback() undoes the savepoint
        --m_depth;
        return;
    }
    m_depth = 0;
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("COMMIT"))) {
        const QString text = engineText(q.lastError());
        QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
        throw DataError(text);
    }
}

void Database::rollback() {
    if (m_depth == 0)
        return; // commit() already failed and rolled back
    if (m_depth > 1) {
        const QString name = savepointName(m_depth - 1);
        QSqlQuery q(connection());
        q.exec(QStringLiteral("ROLLBACK TO ") + name);
        q.exec(QStringLiteral("RELEASE ") + name);
        --m_depth;
        return;
    }
    m_depth = 0;
    QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
}

Query::Query(const Database& db, const QString& sql) : m_query(db.connection()), m_sql(sql) {
    m_query.setForwardOnly(true);
    if (!m_query.prepare(sql))
        throw DataError(engineText(m_query.lastError()));
}

Query& Query::exec(std::initializer_list<QVariant> values) {
    int i = 0;
    for (const QVariant& v : values)
        m_query.bindValue(i++, v);
    if (!m_query.exec())
        throw DataError(engineText(m_query.lastError()));
    return *this;
}

Query& Query::exec(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        m_query.bindValue(i, values.at(i));
    if (!m_query.exec())
        throw DataError(engineText(m_query.lastError()));
    return *this;
}

QVariant Query::scalar(std::initializer_list<QVariant> values) {
    exec(values);
    return next() ? value(0) : QVariant();
}
