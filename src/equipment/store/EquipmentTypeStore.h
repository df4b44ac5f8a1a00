#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class Database;

struct EquipmentTypeRow {
    qint64 id = 0;
    QVariant name;
};

// The names offered as an equipment's description.
class EquipmentTypeStore {
public:
    explicit EquipmentTypeStore(Database& db) : m_db(db) {}

    std::vector<EquipmentTypeRow> types() const;
    QStringList names() const; // sorted, for pickers
    qint64 add(const QString& name);
    void remove(qint64 id);

private:
    Database& m_db;
};
