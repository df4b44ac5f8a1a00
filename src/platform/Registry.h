#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A small stand-in for the system registry: the about window looks up the system information tool through it, and
// the main window keeps its place under the current user's key.
class Registry {
public:
    enum class Root { LocalMachine, CurrentUser };
    enum ValueType { Text = 1, Number = 4 };
    struct Value {
        int type = Text;
        QByteArray data; // as the registry returns it: text may end with a zero byte, numbers are 4 bytes
    };

    virtual ~Registry() = default;
    virtual std::optional<Value> read(Root root, const QString& keyName, const QString& valueName) const = 0;
    // Answers whether the value was stored.
    virtual bool write(Root root, const QString& keyName, const QString& valueName, const Value& value) = 0;
};
