// The PostgreSQL side of Database: the connection, the session and the schema on a server.
#include "data/Database.h"
#include "data/PostgresReader.h"
#include "data/Schema.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSysInfo>
#include <QTimeZone>
#include <QUrl>
#include <QUrlQuery>
#include <libpq-fe.h>

namespace {

QString failureText(const QSqlDatabase& db) {
    const QSqlError error = db.lastError();
    return (error.databaseText().isEmpty() ? error.text() : error.databaseText()).trimmed();
}

// A setting given in the address's query, else by libpq's environment variable.
QString addressSetting(const QUrl& url, const char* key, const char* variable) {
    const QString fromQuery = QUrlQuery(url).queryItemValue(QString::fromLatin1(key), QUrl::FullyDecoded);
    return fromQuery.isEmpty() ? qEnvironmentVariable(variable) : fromQuery;
}

// How long a server that does not answer is waited for, unless the address or the environment says.
constexpr int kConnectTimeoutSeconds = 15;

// The address as libpq's keyword=value settings, which the driver hands on as they are; what the address leaves
// out libpq takes from its password file, service file and PG* variables.
QString connectionOptions(const QString& address) {
    char* failure = nullptr;
    PQconninfoOption* options = PQconninfoParse(address.toUtf8().constData(), &failure);
    if (!options) {
        const QString text = failure ? QString::fromUtf8(failure).trimmed() : QStringLiteral("not an address");
        PQfreemem(failure);
        throw DataError(QStringLiteral("Kavrel cannot use the database address %1: %2").arg(address, text));
    }
    QStringList settings;
    bool timeoutGiven = !qEnvironmentVariableIsEmpty("PGCONNECT_TIMEOUT");
    for (const PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val)
            continue;
        QString value = QString::fromUtf8(o->val);
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
        settings << QStringLiteral("%1='%2'").arg(QString::fromUtf8(o->keyword), value);
        timeoutGiven = timeoutGiven || qstrcmp(o->keyword, "connect_timeout") == 0;
    }
    PQconninfoFree(options);
    if (!timeoutGiven)
        settings << QStringLiteral("connect_timeout=%1").arg(kConnectTimeoutSeconds);
    return settings.join(QLatin1Char(' '));
}

// "at host:port", "at /socket/folder" or "on this computer".
QString serverPlace(const QUrl& url) {
    QString host = url.host();
    if (host.isEmpty())
        host = addressSetting(url, "host", "PGHOST");
    if (host.isEmpty())
        host = QStringLiteral("on this computer");
    else if (host.startsWith(QLatin1Char('/')))
        host = QStringLiteral("at %1").arg(host); // a socket folder
    else {
        QString port = url.port() > 0 ? QString::number(url.port()) : addressSetting(url, "port", "PGPORT");
        host = QStringLiteral("at %1:%2").arg(host, port.isEmpty() ? QStringLiteral("5432") : port);
    }
    return host;
}

} // namespace

QString Database::serverWhereabouts(const QString& address) {
    const QUrl url(address);
    QString name = url.path().mid(1);
    if (name.isEmpty())
        name = addressSetting(url, "dbname", "PGDATABASE");
    if (name.isEmpty())
        name = url.userName().isEmpty() ? addressSetting(url, "user", "PGUSER") : url.userName();
    return QStringLiteral("the database \"%1\" on the PostgreSQL server %2").arg(name, serverPlace(url));
}

void Database::openServer(const QString& address, const QString& workstation) {
    m_engine = Engine::PostgreSQL;
    m_whereabouts = serverWhereabouts(address);
    m_serverPlace = serverPlace(QUrl(address));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
    if (!db.isValid())
        throw DataError(QStringLiteral("Kavrel cannot reach %1: the PostgreSQL driver for Qt is not installed on "
                                       "this computer (Debian: libqt6sql6-psql).")
                            .arg(m_whereabouts));
    db.setConnectOptions(connectionOptions(address));
    if (!db.open())
        throw DataError(QStringLiteral("Kavrel cannot connect to %1:\n%2").arg(m_whereabouts, failureText(db)));
    m_workstation = workstation.isEmpty() ? QSysInfo::machineHostName() : workstation;
    startSession();
    installServerSchema();
    verifyLayout(QStringLiteral("public"), m_whereabouts, Schema::mainFileStatements());
    verifyLayout(QStringLiteral("hold"), m_whereabouts, Schema::holdingFileStatements());
    addMissingTables();
}

void Database::startSession() const {
    const QString& name = m_workstation;
    Query(*this, QStringLiteral("SELECT set_config('search_path', 'public, hold', false), "
                                "set_config('%1', ?, false), set_config('lock_timeout', ?, false), "
                                "set_config('application_name', 'Kavrel', false)")
                     .arg(QLatin1String(Schema::kWorkstationSetting)))
        .exec({name.isEmpty() ? QStringLiteral("workstation") : name, QString::number(m_options.busyTimeoutMs)});
    // Dates the server fills in are this workstation's dates; a zone the server does not know keeps its own.
    QSqlQuery zone(connection());
    zone.prepare(QStringLiteral("SELECT set_config('TimeZone', ?, false)"));
    zone.addBindValue(QString::fromUtf8(QTimeZone::systemTimeZoneId()));
    zone.exec();
}

bool Database::connectionBroken() const {
    pg_conn* conn = PostgresReader::connectionOf(QSqlDatabase::database(m_connectionName, false).driver()->handle());
    return conn && PQstatus(conn) == CONNECTION_BAD;
}

DataError Database::lostConnection(const QString& consequence) const {
    QString text = QStringLiteral("The connection to the PostgreSQL server %1 was lost.").arg(m_serverPlace);
    if (!consequence.isEmpty())
        text += QLatin1Char(' ') + consequence;
    return DataError(text, DataError::Kind::Lost);
}

// The server went away (a restart, the network): the next operation connects afresh, with the same session.
void Database::reconnect() const {
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    db.close();
    if (!db.open())
        throw lostConnection(QStringLiteral("Kavrel cannot connect to it again yet:\n%1").arg(failureText(db)));
    m_lost = false;
    startSession();
}

// An empty database gets the whole schema; one that holds anything is left as it is, to be checked. The writer
// lock makes two workstations starting together take turns, and the DDL is one transaction.
void Database::installServerSchema() {
    transaction([&] {
        const qint64 tables = Query(*this, QStringLiteral("SELECT COUNT(*) FROM information_schema.tables "
                                                          "WHERE table_schema IN ('public', 'hold')"))
                                  .scalar()
                                  .toLongLong();
        if (tables > 0)
            return;
        try {
            Query(*this, QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext")).exec();
        } catch (const DataError& e) {
            throw DataError(QStringLiteral("Kavrel cannot set up %1: it needs the citext extension, which the "
                                           "server refused:\n%2\nA server administrator can run CREATE EXTENSION "
                                           "citext in the database.")
                                .arg(m_whereabouts, e.text()));
        }
        for (const QString& statement : Schema::mainFileStatements())
            Query(*this, Schema::forServer(statement)).exec();
        for (const QString& statement : Schema::serverStorageStatements())
            Query(*this, statement).exec();
        for (const QString& statement : Schema::serverHoldingStatements())
            Query(*this, statement).exec();
    });
}

QString Database::ddl(const QString& statement) const {
    return m_engine == Engine::PostgreSQL ? Schema::forServer(statement) : statement;
}

void Database::continueKeys() {
    if (m_engine != Engine::PostgreSQL)
        return; // AUTOINCREMENT already goes on after the largest key ever used
    Query identities(*this,
                     QStringLiteral("SELECT table_schema, table_name, column_name FROM information_schema.columns "
                                    "WHERE is_identity = 'YES' AND table_schema IN ('public', 'hold')"));
    identities.exec();
    QList<QStringList> keys;
    while (identities.next())
        keys << QStringList{identities.text(0), identities.text(1), identities.text(2)};
    for (const QStringList& key : keys) {
        const QString table = key.at(0) + QLatin1Char('.') + key.at(1);
        // Names from the server's own catalogue, not from anyone's input.
        Query(*this, QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), COALESCE(MAX(%2), 1), "
                                    "MAX(%2) IS NOT NULL) FROM %1")
                         .arg(table, key.at(2)))
            .exec({table, key.at(2)});
    }
}
