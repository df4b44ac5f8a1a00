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
