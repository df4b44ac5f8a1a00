#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// What a list cell shows for a stored value, whichever way its rows were read (QtSql, SQLite's C API, libpq): the
// one definition the readers share. Each reader knows the type of every value it hands over and turns it into a
// cell here; Null stays apart from every text, so it has no cell text. Integers, text and dates (ISO text on the
// files, the server's ISO dates) show as the engine writes them.
namespace CellText {

// Reals, and the server's numeric: the fewest digits that read back as the same double, written out or with an
// exponent, whichever is shorter (1299, 0.1, 1234567890123456800, 1e+20, 1e-04).
QByteArray real(double value);
// The server's booleans (comparisons): 1 or 0, as yes/no columns hold them and as a comparison gives on the files.
QByteArray boolean(bool value);
// Bytes show as the UTF-8 text they hold.
QString bytes(const QByteArray& value);
// A value as QtSql hands it over, by its type.
QString of(const QVariant& value);

} // namespace CellText
