#pragma once

#include "platform/Registry.h"

// This desktop has no registry: the one value the application asks for, the path of the system information
// tool, is answered by looking for such a tool on the PATH.
class DesktopRegistry : public Registry {
public:
    std::optional<Value> read(Root root, const QString& keyName, const QString& valueName) const override;
};
