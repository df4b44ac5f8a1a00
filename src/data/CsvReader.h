#pragma once

#include <QString>
#include <QStringList>

class QByteArray;

// Reads CSV as spreadsheets and CsvWriter write it: RFC 4180 quoting (separators, quotes and line breaks inside a
// quoted field, quotes doubled), CRLF, LF or CR line ends, UTF-8 with or without a byte-order mark. The separator
// is a comma or a semicolon, whichever the first line holds more of outside quotes (a spreadsheet in a locale with
// a decimal comma writes semicolons).
class CsvReader {
public:
    // Throws DataError when the bytes are not UTF-8 text.
    explicit CsvReader(const QByteArray& bytes);

    QChar separator() const { return m_separator; }
    // The next record into fields; false at the end of the text. Throws DataError when a quoted field runs to the
    // end of the text unclosed, since it would swallow every record after it.
    bool next(QStringList& fields);
    // The number of the record next() gave last, the first being 1.
    qsizetype record() const { return m_record; }
    // How far the reading has come, 0..1000.
    int permille() const;

    // A cell as CsvWriter wrote it: the apostrophe it put before a cell a spreadsheet would run as a formula is
    // taken off again.
    static QString cell(const QString& field);

private:
    QChar detectSeparator() const;

    QString m_text;
    qsizetype m_pos = 0;
    qsizetype m_record = 0;
    QChar m_separator;
};
