#pragma once

#include <QString>
#include <QVariant>

// Stored text may hold the placeholder "&nbsp;" for an empty value. Lists show it one of two ways.

// Every placeholder becomes one blank.
inline QString nbspAsBlank(const QString& stored) {
    QString s = stored;
    return s.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
}

// Every placeholder is dropped.
inline QString nbspRemoved(const QString& stored) {
    QString s = stored;
    return s.replace(QLatin1String("&nbsp;"), QString());
}

// A value quoted in a message: past about 80 characters it is cut (never inside a character) and an ellipsis
// says so, so a long cell cannot flood the message.
inline QString cutForMessage(const QString& value, qsizetype limit = 80) {
    if (value.size() <= limit)
        return value;
    qsizetype keep = limit - 1;
    if (value.at(keep - 1).isHighSurrogate())
        --keep;
    return value.left(keep) + QChar(0x2026);
}
