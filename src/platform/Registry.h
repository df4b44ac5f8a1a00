#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A small stand-in for the system registry: the about window looks up the system information tool through it, and
// the main window and the list export keep what they remember under the current user's key.
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

    // A text value kept by this application, without the registry's final zero byte.
    std::optional<QString> readText(Root root, const QString& keyName, const QString& valueName) const {
        const std::optional<Value> value = read(root, keyName, valueName);
        if (!value || value->type != Text)
            return std::nullopt;
        QByteArray data = value->data;
        if (data.endsWith('\0'))
            data.chop(1);
        return QString::fromUtf8(data);
    }
    bool writeText(Root root, const QString& keyName, const QString& valueName, const QString& text) {
        return write(root, keyName, valueName, {Text, text.toUtf8()});
    }
};
