#include "data/QuotedValue.h"

QString quotedValue(const QString& value) {
    if (value.size() <= kQuotedValueLength)
        return value;
    qsizetype keep = kQuotedValueLength - 1;
    // Never half a character outside the basic plane.
    if (value.at(keep - 1).isHighSurrogate())
        --keep;
    return value.left(keep) + QChar(0x2026);
}

QStringList quotedValues(const QStringList& values) {
    QStringList quoted;
    quoted.reserve(values.size());
    for (const QString& v : values)
        quoted << quotedValue(v);
    return quoted;
}
