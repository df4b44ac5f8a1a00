#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Database;

// The values a template carries; a template has no serial number, asset tag, date, price or location.
struct EquipmentTemplate {
    QString description;
    QString manufacturer;
    QString modelNumber;
    QString cpu;
    QString memory;
    QString hd;
    QString monitor;
    QString mouse;
    QString keyboard;
    QString os;
};

// A template as stored; a Null value is none.
struct StoredTemplate {
    std::optional<QString> description;
    std::optional<QString> manufacturer;
    std::optional<QString> modelNumber;
    std::optional<QString> cpu;
    std::optional<QString> memory;
    std::optional<QString> hd;
    std::optional<QString> monitor;
    std::optional<QString> mouse;
    std::optional<QString> keyboard;
    std::optional<QString> os;
};

// Named sets of entry values.
class TemplateStore {
public:
    explicit TemplateStore(Database& db) : m_db(db) {}

    QStringList names() const;
    // Saves the template under name with its apostrophes removed; returns the name as saved.
    QString save(const QString& name, const EquipmentTemplate& values);
    // The first template with this name.
    std::optional<StoredTemplate> find(const QString& name) const;

private:
    Database& m_db;
};
