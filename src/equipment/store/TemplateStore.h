#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>
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

// Named sets of entry values.
class TemplateStore {
public:
    explicit TemplateStore(Database& db) : m_db(db) {}

    QStringList names() const;
    // Saves the template under name with its apostrophes removed.
    void save(const QString& name, const EquipmentTemplate& values);
    // The first template with this name: columns Description, Manufacturer, ModelNumber, CPU, Memory, HD,
    // Monitor, Mouse, Keyboard, OS (Null where nothing was stored).
    std::optional<QVariantMap> find(const QString& name) const;

private:
    Database& m_db;
};
