#pragma once

#include "equipment/store/UnitFields.h"

#include <QString>
#include <QStringList>
#include <optional>

class Database;

// Named sets of entry values: the attributes with a template column (no serial number, asset tag, date, price or
// location).
class TemplateStore {
public:
    explicit TemplateStore(Database& db) : m_db(db) {}

    QStringList names() const;
    // Saves the template under name with its apostrophes removed; returns the name as saved.
    QString save(const QString& name, const UnitValues& values);
    // The first template with this name; the attributes it does not carry are none.
    std::optional<UnitRecord> find(const QString& name) const;

private:
    Database& m_db;
};
