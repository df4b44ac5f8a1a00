#include "equipment/store/TemplateStore.h"

#include "data/Database.h"

namespace {
const QString kName = QStringLiteral("TemplateName");

QStringList columnNames() {
    QStringList names;
    for (const UnitFieldInfo& f : kUnitFields)
        if (f.stencil)
            names << QLatin1String(f.stencil);
    return names;
}
} // namespace

QStringList TemplateStore::names() const {
    Query q(m_db, QStringLiteral("SELECT TemplateName FROM EquipmentTemplate"));
    q.exec();
    QStringList names;
    while (q.next())
        names << q.value(kName).toString();
    return names;
}

QString TemplateStore::save(const QString& name, const UnitValues& v) {
    QString cleaned = name;
    cleaned.remove(QLatin1Char('\''));
    Query q(m_db, Columns::insert(QStringLiteral("EquipmentTemplate"), columnNames() << kName));
    for (const UnitFieldInfo& f : kUnitFields)
        if (f.stencil)
            q.bind(QLatin1String(f.stencil), v[f.field]);
    q.bind(kName, cleaned).exec();
    return cleaned;
}

std::optional<UnitRecord> TemplateStore::find(const QString& name) const {
    Query q(m_db, QStringLiteral("SELECT %1 FROM EquipmentTemplate WHERE TemplateName = :TemplateName")
                      .arg(Columns::list(columnNames())));
    q.bind(kName, name).exec();
    if (!q.next())
        return std::nullopt;
    UnitRecord t;
    for (const UnitFieldInfo& f : kUnitFields)
        if (f.stencil)
            t[f.field] = q.optionalText(QLatin1String(f.stencil));
    return t;
}
