#include "records/store/FieldStore.h"

#include "data/Database.h"

namespace {

QStringList fieldColumns() {
    QStringList columns;
    for (int i = 0; i < kUserFieldCount; ++i)
        columns << FieldStore::fieldColumn(i);
    return columns;
}

QStringList configurationColumns() {
    QStringList columns = fieldColumns();
    for (int i = 0; i < kUserFieldCount; ++i)
        columns << FieldStore::visibleColumn(i);
    for (int i = 0; i < kUserFieldGroups; ++i)
        columns << FieldStore::groupColumn(i);
    return columns;
}

QVariant boundText(const std::optional<QString>& text) {
    if (!text)
        return QVariant(QMetaType::fromType<QString>());
    return text->isNull() ? QVariant(QStringLiteral("")) : QVariant(*text);
}

} // namespace

std::optional<FieldConfiguration> FieldStore::configuration() const {
    static const QStringList columns = configurationColumns();
    Query q(
        m_db,
        QStringLiteral("SELECT %1 FROM %2 LIMIT 1").arg(Columns::list(columns), recordTables(m_owner).fieldCaptions));
    q.exec();
    if (!q.next())
        return std::nullopt;
    FieldConfiguration c;
    for (int i = 0; i < kUserFieldCount; ++i) {
        c.captions[static_cast<size_t>(i)] = q.optionalText(fieldColumn(i));
        c.visible[static_cast<size_t>(i)] = q.value(visibleColumn(i)).toInt() != 0;
    }
    for (int i = 0; i < kUserFieldGroups; ++i)
        c.groups[static_cast<size_t>(i)] = q.optionalText(groupColumn(i));
    return c;
}

void FieldStore::saveConfiguration(const FieldConfiguration& configuration) {
    static const QStringList columns = configurationColumns();
    const QString table = recordTables(m_owner).fieldCaptions;
    const auto bindAll = [&](Query& q) {
        int column = 0;
        for (const auto& caption : configuration.captions)
            q.bind(columns.at(column++), boundText(caption));
        for (bool visible : configuration.visible)
            q.bind(columns.at(column++), visible ? 1 : 0);
        for (const auto& group : configuration.groups)
            q.bind(columns.at(column++), boundText(group));
    };
    m_db.transaction([&] {
        // The table holds one row, so no WHERE.
        Query update(m_db, QStringLiteral("UPDATE %1 SET %2").arg(table, Columns::assignments(columns)));
        bindAll(update);
        update.exec();
        if (update.numRowsAffected() > 0)
            return;
        Query insert(m_db, Columns::insert(table, columns));
        bindAll(insert);
        insert.exec();
    });
}

std::optional<FieldValues> FieldStore::values(qint64 ownerId) const {
    static const QStringList columns = fieldColumns();
    const RecordTables& t = recordTables(m_owner);
    Query q(m_db,
            QStringLiteral("SELECT %1 FROM %2 WHERE (%3 = ?)").arg(Columns::list(columns), t.ownerTable, t.ownerKey));
    q.exec({ownerId});
    if (!q.next())
        return std::nullopt;
    FieldValues values;
    for (int i = 0; i < kUserFieldCount; ++i)
        values[static_cast<size_t>(i)] = q.optionalText(columns.at(i));
    return values;
}

bool FieldStore::saveValues(qint64 ownerId, const TypedFieldValues& values) {
    static const QStringList columns = fieldColumns();
    const RecordTables& t = recordTables(m_owner);
    Query q(m_db, QStringLiteral("UPDATE %1 SET %2 WHERE (%3 = :OwnerKey)")
                      .arg(t.ownerTable, Columns::assignments(columns), t.ownerKey));
    for (int i = 0; i < kUserFieldCount; ++i)
        q.bind(columns.at(i), boundText(values[static_cast<size_t>(i)]));
    q.bind(QStringLiteral("OwnerKey"), ownerId).exec();
    return q.numRowsAffected() > 0;
}
