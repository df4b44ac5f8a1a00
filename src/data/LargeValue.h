#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

class Database;
class QIODevice;
class QSqlError;

// Large binary values moved between a device and one column of one row in pieces, so that a file of hundreds of
// megabytes never sits in memory whole. On SQLite the pieces go through the engine's incremental blob I/O; on a
// PostgreSQL server they are slices of the value read and pieces joined by the server; any other engine gets the
// whole value in one piece.
class LargeValue {
public:
    // Told the bytes moved so far and the total after each piece; answers false to stop.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    // Whole moves the value in one piece, as every engine can; tests use it to check that way too.
    enum class Transfer { Pieces, Whole };

    // One column of one row: the key must be the table's integer key (the row id on SQLite).
    struct Cell {
        QString table;
        QString key;
        QString column;
        qint64 row = 0;
    };

    // The device failed; what() holds its own words.
    class DeviceError : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // The largest value the engine keeps in one column.
    static qint64 maxSize(const Database& db);

    // Fills the cell of a row written in the open transaction with size bytes read from source. Returns false
    // when progress stopped it; the transaction must then roll back, as after a throw.
    static bool write(const Database& db, const Cell& cell, QIODevice& source, qint64 size,
                      const Progress& progress = {}, Transfer how = Transfer::Pieces);

    // Writes the cell's value to sink; a Null value writes nothing. Returns false when progress stopped it.
    static bool read(const Database& db, const Cell& cell, QIODevice& sink, const Progress& progress = {},
                     Transfer how = Transfer::Pieces);

    // The size of one piece.
    static constexpr qint64 kPieceBytes = 1 << 20;

private:
    class Blob;
    // One step of the engine under the database's rule for another copy's lock.
    static void engineStep(const Database& db, const std::function<QSqlError()>& step);
};
