#include "data/CsvWriter.h"

#include <QIODevice>

CsvWriter::CsvWriter(QIODevice& out) : m_out(out) {
    write(QByteArrayLiteral("\xEF\xBB\xBF"));
}

bool CsvWriter::guarded(const QString& cell) {
    // Apostrophes already in front are stepped over, so that a reader can tell the added one from the cell's own.
    qsizetype i = 0;
    while (i < cell.size() && cell.at(i) == QLatin1Char('\''))
        ++i;
    if (i == cell.size())
        return false;
    const QChar first = cell.at(i);
    return first == QLatin1Char('=') || first == QLatin1Char('+') || first == QLatin1Char('-') ||
           first == QLatin1Char('@') || first == QLatin1Char('\t') || first == QLatin1Char('\r');
}

QString CsvWriter::field(const QString& cell) {
    QString text = cell;
    if (guarded(text))
        text.prepend(QLatin1Char('\''));
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!quoted)
        return text;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

void CsvWriter::writeRow(const QStringList& cells) {
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += field(cells.at(i));
    }
    line += QLatin1String("\r\n");
    write(line.toUtf8());
}

void CsvWriter::write(const QByteArray& bytes) {
    if (m_ok && m_out.write(bytes) != bytes.size())
        m_ok = false;
}
