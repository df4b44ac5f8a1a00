#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// Dates are stored as ISO text (so they sort as dates) and shown in the locale's short form with a four-digit
// year (a two-digit year would not read back as the same date).
namespace DateText {
QString shortFormat();
QString toShort(const QDate& date);
// Reads a typed date: the short form, the locale's own short form or ISO; invalid when none fits.
QDate parse(const QString& text);
QString toStored(const QDate& date);
// A stored date for display; a value that is not an ISO date shows as it is.
QString display(const QVariant& stored);
} // namespace DateText
