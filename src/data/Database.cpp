#include "data/Database.h"

#include "data/Schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>

namespace {

QAtomicInt connectionCounter;

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

// Creates a new database file with its schema. The file is built under a temporary name and renamed into
// place only when complete, so an interrupted installation never leaves a half-made file behind.
void createFile(const QString& path, const QStringList& ddl) {
    const QString partial = path + QStringLiteral(".new");
    QFile::remove(partial);
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
    if (failure.isEmpty() && !QFile::rename(partial, path))
        failure = QStringLiteral("Could not create %1.").arg(QDir::toNativeSeparators(path));
    if (!failure.isEmpty()) {
        QFile::remove(partial);
        throw DataError(failure);
    }
}

} // namespace

Database::Database(const QString& dataDir)
    : m_dataDir(QDir(dataDir).absolutePath()),
      m_connectionName(QStringLiteral("kavrel-%1").arg(connectionCounter.fetchAndAddRelaxed(1))) {
    QDir().mkpath(m_dataDir);
    const QString mainPath = QDir(m_dataDir).filePath(QString::fromLatin1(kMainFileName));
    const QString holdPath = QDir(m_dataDir).filePath(QString::fromLatin1(kHoldingFileName));
    if (!QFileInfo::exists(mainPath))
        createFile(mainPath, Schema::mainFileStatements());
    if (!QFileInfo::exists(holdPath))
        createFile(holdPath, Schema::holdingFileStatements());

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(mainPath);
    // Two windows or two running copies wait for each other's writes instead of failing at once.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
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

QSqlDatabase Database::connection() const { return QSqlDatabase::database(m_connectionName, false); }

void Database::attachHoldingFile() {
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS hold"));
    q.addBindValue(QDir(m_dataDir).filePath(QString::fromLatin1(kHoldingFileName)));
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
