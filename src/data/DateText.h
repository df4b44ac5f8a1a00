#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// Dates are stored as ISO text (so they sort as dates) and shown in the locale's short form with a four-digit
// year (a two-digit year would not read back as the same date).
namespace DateText {
QString shortFormat();
QString toShort(const QDate& date);
// Reads a date as people type it: day, month and year as numbers in the locale's order, separated by "/", "-"
// or "."; or with the month named (in the locale's language or in English, in full or abbreviated); or
// yyyy-mm-dd. Two-digit years are read near today's. Invalid when the text is no date, or no real day.
QDate parse(const QString& text, const QDate& today);
QString toStored(const QDate& date);
// A stored date for display; a value that is not an ISO date shows as it is.
QString display(const QVariant& stored);
} // namespace DateText
