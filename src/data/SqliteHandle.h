#pragma once

#include "data/Database.h"

#include <QSqlDriver>
#include <sqlite3.h>

// The connection's own SQLite handle, or nullptr when the engine is another or hides it. For the few places that
// need what QtSql does not offer (incremental blob I/O, stepping rows in place, the online backup); kavrel_core
// sources only, as only it links the engine.
inline sqlite3* sqliteHandle(const Database& db) {
    const QSqlDatabase connection = db.connection();
    if (connection.driverName() != QLatin1String("QSQLITE") || !connection.driver())
        return nullptr;
    const QVariant handle = connection.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}
