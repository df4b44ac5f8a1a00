#pragma once

#include "platform/Registry.h"

#include <QSettings>
#include <memory>

// This desktop has no registry: the path of the system information tool is answered by looking for such a tool on
// the PATH; the current user's values live in the user's settings file (another file when one is named).
class DesktopRegistry : public Registry {
public:
    explicit DesktopRegistry(const QString& userFile = QString()) : m_userFile(userFile) {}
    std::optional<Value> read(Root root, const QString& keyName, const QString& valueName) const override;
    bool write(Root root, const QString& keyName, const QString& valueName, const Value& value) override;

private:
    std::unique_ptr<QSettings> userSettings() const;

    QString m_userFile;
};
