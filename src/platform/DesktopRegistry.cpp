#include "platform/DesktopRegistry.h"

#include <QStandardPaths>

std::optional<Registry::Value> DesktopRegistry::read(Root root, const QString& keyName,
                                                     const QString& valueName) const {
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
