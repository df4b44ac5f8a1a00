#include "equipment/store/TemplateStore.h"

#include "data/Database.h"

namespace {
// Each column with the member it is saved from and the one it is read into.
struct TemplateColumn {
    const char* name;
    QString EquipmentTemplate::*saved;
    std::optional<QString> StoredTemplate::*read;
};
const TemplateColumn kColumns[] = {
    {"Description", &EquipmentTemplate::description, &StoredTemplate::description},
    {"Manufacturer", &EquipmentTemplate::manufacturer, &StoredTemplate::manufacturer},
    {"ModelNumber", &EquipmentTemplate::modelNumber, &StoredTemplate::modelNumber},
    {"CPU", &EquipmentTemplate::cpu, &StoredTemplate::cpu},
    {"Memory", &EquipmentTemplate::memory, &StoredTemplate::memory},
    {"HD", &EquipmentTemplate::hd, &StoredTemplate::hd},
    {"Monitor", &EquipmentTemplate::monitor, &StoredTemplate::monitor},
    {"Mouse", &EquipmentTemplate::mouse, &StoredTemplate::mouse},
    {"Keyboard", &EquipmentTemplate::keyboard, &StoredTemplate::keyboard},
    {"OS", &EquipmentTemplate::os, &StoredTemplate::os},
};
const QString kName = QStringLiteral("TemplateName");

QStringList columnNames() {
    QStringList names;
    for (const TemplateColumn& c : kColumns)
        names << QLatin1String(c.name);
    return names;
}
} // namespace

QStringList TemplateStore::names() const {
    Query q(m_db, QStringLiteral("SELECT TemplateName FROM EquipmentTemplate"));
    q.exec();
    QStringList names;
    while (q.next())
        names << q.text(0);
    return names;
}

QString TemplateStore::save(const QString& name, const EquipmentTemplate& v) {
    QString cleaned = name;
    cleaned.remove(QLatin1Char('\''));
    Query q(m_db, Columns::insert(QStringLiteral("EquipmentTemplate"), columnNames() << kName));
    for (const TemplateColumn& c : kColumns)
        q.bind(QLatin1String(c.name), v.*c.saved);
    q.bind(kName, cleaned).exec();
    return cleaned;
}

std::optional<StoredTemplate> TemplateStore::find(const QString& name) const {
    Query q(m_db, QStringLiteral("SELECT %1 FROM EquipmentTemplate WHERE TemplateName = :TemplateName")
                      .arg(Columns::list(columnNames())));
    q.bind(kName, name).exec();
    if (!q.next())
        return std::nullopt;
    StoredTemplate t;
    for (const TemplateColumn& c : kColumns)
        t.*c.read = q.optionalText(QLatin1String(c.name));
    return t;
}
