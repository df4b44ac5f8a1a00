#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>

// Connections of their own to one database file, outside Database, as another program or another copy of Kavrel
// would have.

// Runs statements on the file, failing the running test when one fails.
void runOnFile(const QString& path, const QStringList& statements);

// Holds a lock on the file until released: "write" as a writer holds it while it works, "exclusive" as a writer
// holds it while committing, "read" as a reader does.
class LockHolder {
public:
    LockHolder(const QString& path, const QString& kind);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool held() const { return m_held; }
    // Runs a statement inside the held transaction, failing the running test when it fails.
    void exec(const QString& statement);
    void release();

private:
    QString m_name;
    QSqlQuery m_query;
    bool m_held = false;
};
