#include "equipment/store/TemplateStore.h"

#include "data/Database.h"

namespace {
const QStringList kColumns = {QStringLiteral("Description"), QStringLiteral("Manufacturer"),
                              QStringLiteral("ModelNumber"), QStringLiteral("CPU"),
                              QStringLiteral("Memory"),      QStringLiteral("HD"),
                              QStringLiteral("Monitor"),     QStringLiteral("Mouse"),
                              QStringLiteral("Keyboard"),    QStringLiteral("OS")};
} // namespace

QStringList TemplateStore::names() const {
    Query q(m_db, QStringLiteral("SELECT TemplateName FROM EquipmentTemplate"));
    q.exec();
    QStringList names;
    while (q.next())
        names << q.text(0);
    return names;
}

void TemplateStore::save(const QString& name, const EquipmentTemplate& v) {
    QString cleaned = name;
    cleaned.remove(QLatin1Char('\''));
    Query(m_db, QStringLiteral("INSERT INTO EquipmentTemplate (%1, TemplateName) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                    .arg(kColumns.join(QStringLiteral(", "))))
        .exec({v.description, v.manufacturer, v.modelNumber, v.cpu, v.memory, v.hd, v.monitor, v.mouse, v.keyboard,
               v.os, cleaned});
}

std::optional<QVariantMap> TemplateStore::find(const QString& name) const {
    Query q(m_db, QStringLiteral("SELECT %1 FROM EquipmentTemplate WHERE TemplateName = ?")
                      .arg(kColumns.join(QStringLiteral(", "))));
    q.exec({name});
    if (!q.next())
        return std::nullopt;
    QVariantMap map;
    for (int i = 0; i < kColumns.size(); ++i)
        map.insert(kColumns.at(i), q.value(i));
    return map;
}
