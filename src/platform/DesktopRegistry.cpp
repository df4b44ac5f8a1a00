#include "platform/DesktopRegistry.h"

#include <QStandardPaths>

namespace {

QString settingsKey(const QString& keyName, const QString& valueName) {
    return QString(keyName).replace(QLatin1Char('\\'), QLatin1Char('/')) + QLatin1Char('/') + valueName;
}

} // namespace

std::unique_ptr<QSettings> DesktopRegistry::userSettings() const {
    if (!m_userFile.isEmpty())
        return std::make_unique<QSettings>(m_userFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("Kavrel"), QStringLiteral("Kavrel"));
}

bool DesktopRegistry::write(Root root, const QString& keyName, const QString& valueName, const Value& value) {
    if (root != Root::CurrentUser)
        return false;
    const std::unique_ptr<QSettings> settings = userSettings();
    settings->setValue(settingsKey(keyName, valueName), QVariantList{value.type, value.data});
    settings->sync();
    return settings->status() == QSettings::NoError;
}

std::optional<Registry::Value> DesktopRegistry::read(Root root, const QString& keyName,
                                                     const QString& valueName) const {
    if (root == Root::CurrentUser) {
        const QVariantList stored = userSettings()->value(settingsKey(keyName, valueName)).toList();
        if (stored.size() != 2)
            return std::nullopt;
        return Value{stored.at(0).toInt(), stored.at(1).toByteArray()};
    }
    if (root != Root::LocalMachine || keyName != QLatin1String("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO") ||
        valueName != QLatin1String("PATH"))
        return std::nullopt;
    for (const char* tool : {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor", "xfce4-taskmanager"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(tool));
        if (!path.isEmpty())
            return Value{Text, path.toUtf8() + '\0'};
    }
    return std::nullopt;
}
