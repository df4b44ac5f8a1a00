#pragma once

#include "data/ListColumns.h"

#include <QString>
#include <QStringList>
#include <vector>

class Database;

// The names offered as an equipment's description.
class EquipmentTypeStore {
public:
    explicit EquipmentTypeStore(Database& db) : m_db(db) {}

    // The type list: EquipmentTypeId and EquipmentType, with every "&nbsp;" dropped.
    static const ListColumns& listColumns();
    // Every type in id order, tagged with its id.
    std::vector<ListRow> types() const;
    QStringList names() const; // sorted, for pickers
    qint64 add(const QString& name);
    void remove(qint64 id);

private:
    Database& m_db;
};
