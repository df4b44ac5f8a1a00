#pragma once

#include <QString>
#include <QStringList>

// The most of a user's value a message quotes; longer values are cut and end in an ellipsis, so a message about
// a huge cell stays readable.
inline constexpr qsizetype kQuotedValueLength = 80;

// A user's value as a message quotes it: whole up to kQuotedValueLength characters, else cut to that length
// with "…" as its last character.
QString quotedValue(const QString& value);
// Each of values as a message quotes it.
QStringList quotedValues(const QStringList& values);
