#pragma once

#include <QStringList>

class QIODevice;

// Writes rows as CSV that spreadsheets open as they are: comma separated, CRLF line ends, UTF-8 with a byte-order
// mark (without it some spreadsheets read the text as the local code page), a field quoted when it holds a comma,
// a quote or a line break, its quotes doubled.
// A cell a spreadsheet would run as a formula (starting with "=", "+", "-", "@", a tab or a carriage return) gets a
// leading apostrophe, so a serial number typed as "=HYPERLINK(...)" stays text; so does a cell that starts with
// apostrophes before such a character, so that CsvReader::cell can take off exactly the one added.
class CsvWriter {
public:
    // Writes the byte-order mark at once.
    explicit CsvWriter(QIODevice& out);

    void writeRow(const QStringList& cells);
    // False once a write to the device failed.
    bool ok() const { return m_ok; }

    // One cell as it is written.
    static QString field(const QString& cell);
    // True when field() puts an apostrophe before the cell.
    static bool guarded(const QString& cell);

private:
    void write(const QByteArray& bytes);

    QIODevice& m_out;
    bool m_ok = true;
};
