#include "support/OtherConnection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QTest>

void runOnFile(const QString& path, const QStringList& statements) {
    const QString name = QStringLiteral("raw-") + path;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        raw.setDatabaseName(path);
        QVERIFY(raw.open());
        QSqlQuery q(raw);
        for (const QString& s : statements)
            QVERIFY2(q.exec(s), qPrintable(q.lastError().text()));
        raw.close();
    }
    QSqlDatabase::removeDatabase(name);
}

LockHolder::LockHolder(const QString& path, const QString& kind) : m_name(QStringLiteral("holder-") + path) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    db.open();
    m_query = QSqlQuery(db);
    if (kind == QLatin1String("read")) {
        // A reader inside a transaction keeps its lock after the rows are read.
        m_query.exec(QStringLiteral("BEGIN"));
        m_query.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
        m_query.next();
    } else {
        m_query.exec(kind == QLatin1String("write") ? QStringLiteral("BEGIN IMMEDIATE")
                                                    : QStringLiteral("BEGIN EXCLUSIVE"));
    }
    m_held = m_query.lastError().type() == QSqlError::NoError;
}

LockHolder::~LockHolder() {
    release();
    m_query = QSqlQuery();
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

void LockHolder::exec(const QString& statement) {
    QVERIFY(m_held);
    QVERIFY2(m_query.exec(statement), qPrintable(m_query.lastError().text()));
}

void LockHolder::release() {
    if (!m_held)
        return;
    m_query.finish();
    m_query.exec(QStringLiteral("COMMIT"));
    m_held = false;
}
