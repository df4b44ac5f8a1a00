#include "data/CsvReader.h"

#include "data/CsvWriter.h"
#include "data/DataError.h"

#include <QByteArray>
#include <QStringDecoder>

CsvReader::CsvReader(const QByteArray& bytes) {
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    m_text = decode(bytes);
    if (decode.hasError())
        throw DataError(QStringLiteral("The file is not UTF-8 text."));
    if (m_text.startsWith(QChar(0xFEFF)))
        m_pos = 1;
    m_separator = detectSeparator();
}

QChar CsvReader::detectSeparator() const {
    qsizetype commas = 0;
    qsizetype semicolons = 0;
    bool quoted = false;
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        const QChar c = m_text.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == QLatin1Char(','))
            ++commas;
        else if (c == QLatin1Char(';'))
            ++semicolons;
        else if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            break;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

bool CsvReader::next(QStringList& fields) {
    fields.clear();
    if (m_pos >= m_text.size())
        return false;
    ++m_record;
    const QChar* text = m_text.constData();
    const qsizetype size = m_text.size();
    QString field;
    for (;;) {
        // At the start of a field.
        if (m_pos < size && text[m_pos] == QLatin1Char('"')) {
            ++m_pos;
            for (;;) {
                const qsizetype quote = m_text.indexOf(QLatin1Char('"'), m_pos);
                if (quote < 0)
                    throw DataError(QStringLiteral("Row %1: a quoted field is not closed.").arg(m_record));
                field.append(text + m_pos, quote - m_pos);
                m_pos = quote + 1;
                if (m_pos < size && text[m_pos] == QLatin1Char('"')) {
                    field.append(QLatin1Char('"'));
                    ++m_pos;
                } else {
                    break;
                }
            }
        }
        // Unquoted text, or what follows a closing quote, runs to the separator or the line end.
        const qsizetype start = m_pos;
        while (m_pos < size) {
            const QChar c = text[m_pos];
            if (c == m_separator || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                break;
            ++m_pos;
        }
        field.append(text + start, m_pos - start);
        fields.append(field);
        field.clear();
        if (m_pos >= size)
            return true;
        const QChar end = text[m_pos++];
        if (end == m_separator)
            continue;
        if (end == QLatin1Char('\r') && m_pos < size && text[m_pos] == QLatin1Char('\n'))
            ++m_pos;
        return true;
    }
}

int CsvReader::permille() const {
    return m_text.isEmpty() ? 1000 : static_cast<int>(m_pos * 1000 / m_text.size());
}

QString CsvReader::cell(const QString& field) {
    if (field.startsWith(QLatin1Char('\'')) && CsvWriter::guarded(field.mid(1)))
        return field.mid(1);
    return field;
}
