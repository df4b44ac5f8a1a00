#include "support/TestServer.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>

namespace TestServer {

bool onServer() {
    return !baseUri().isEmpty();
}

QString baseUri() {
    return qEnvironmentVariable("KAVREL_TEST_SERVER");
}

QString withDatabase(const QString& uri, const QString& database) {
    const qsizetype start = uri.indexOf(QLatin1String("://")) + 3;
    qsizetype query = uri.indexOf(QLatin1Char('?'), start);
    if (query < 0)
        query = uri.size();
    qsizetype path = uri.indexOf(QLatin1Char('/'), start);
    if (path < 0 || path > query)
        path = query;
    return uri.left(path) + QLatin1Char('/') + database + uri.mid(query);
}

QSqlDatabase open(const QString& uri, const QString& connectionName) {
    const QUrl url(uri);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setUserName(url.userName());
    db.setPassword(url.password());
    db.setHostName(url.host());
    if (url.port() > 0)
        db.setPort(url.port());
    db.setDatabaseName(url.path().mid(1));
    QStringList options;
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host"))
            db.setHostName(value);
        else if (key == QLatin1String("port"))
            db.setPort(value.toInt());
        else if (key == QLatin1String("user"))
            db.setUserName(value);
        else if (key == QLatin1String("dbname"))
            db.setDatabaseName(value);
        else
            options << key + QLatin1Char('=') + value;
    }
    db.setConnectOptions(options.join(QLatin1Char(';')));
    db.open();
    return db;
}

} // namespace TestServer

namespace {

// Statements on the server's maintenance database; a failure stops the test run, as a test cannot go on without
// its database.
void maintain(const QStringList& statements) {
    static const QString name = QStringLiteral("kavrel-test-maintenance");
    {
        QSqlDatabase db = TestServer::open(TestServer::baseUri(), name);
        if (!db.isOpen())
            qFatal("test server %s: %s", qPrintable(TestServer::baseUri()), qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        q.exec(QStringLiteral("SET client_min_messages TO warning")); // no notice for a database not there
        for (const QString& s : statements) {
            // DROP ... WITH (FORCE) may not end a server's own process that is busy in the database (an autovacuum
            // worker belongs to the superuser); such a worker is done within moments.
            for (int attempt = 1; !q.exec(s); ++attempt) {
                const QString code = q.lastError().nativeErrorCode();
                if (attempt == 100 || (code != QLatin1String("42501") && code != QLatin1String("55006")))
                    qFatal("test server: %s: %s", qPrintable(s), qPrintable(q.lastError().text()));
                QThread::msleep(100);
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

ServerDatabase::ServerDatabase() {
    static QAtomicInt made;
    m_name = QStringLiteral("kavrel_t_%1_%2").arg(QCoreApplication::applicationPid()).arg(made.fetchAndAddRelaxed(1));
    m_uri = TestServer::withDatabase(TestServer::baseUri(), m_name);
    // A process that died before dropping its databases may have had this process id.
    maintain({QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name),
              QStringLiteral("CREATE DATABASE %1").arg(m_name)});
}

ServerDatabase::~ServerDatabase() {
    maintain({QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name)});
}
