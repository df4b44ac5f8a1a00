#include "data/PostgresReader.h"

#include "data/CellText.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <libpq-fe.h>
#include <new>
#include <vector>

namespace PostgresReader {

namespace {

// Type oids of the server's built-in types (pg_type.h); an extension's types, citext among them, come as text.
enum : Oid {
    kBoolOid = 16,
    kByteaOid = 17,
    kInt8Oid = 20,
    kInt2Oid = 21,
    kInt4Oid = 23,
    kFloat4Oid = 700,
    kFloat8Oid = 701,
    kNumericOid = 1700,
};

// Which of CellText's types the server's text of a column holds.
enum class CellKind : uint8_t { AsSent, Real, Boolean, Bytes };

CellKind kindOf(Oid type) {
    switch (type) {
    case kFloat4Oid:
    case kFloat8Oid:
    case kNumericOid:
        return CellKind::Real; // a numeric is shown as the double it comes nearest to
    case kBoolOid:
        return CellKind::Boolean;
    case kByteaOid:
        return CellKind::Bytes;
    default:
        return CellKind::AsSent;
    }
}

// Booleans show as 1 and 0, and sort as those numbers.
bool isNumber(Oid type) {
    switch (type) {
    case kBoolOid:
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
    case kFloat4Oid:
    case kFloat8Oid:
    case kNumericOid:
        return true;
    default:
        return false;
    }
}

// As the driver sends a double: every digit written out, no exponent.
QByteArray realText(double value) {
    if (std::isnan(value))
        return QByteArrayLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("Infinity") : QByteArrayLiteral("-Infinity");
    return QByteArray::number(value, 'f', QLocale::FloatingPointShortest);
}

// Every value goes as text and the server reads it as the type the statement gives the placeholder.
QByteArray parameterText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar:
        return QByteArray::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return QByteArray::number(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return realText(value.toDouble());
    case QMetaType::QByteArray:
        return QByteArrayLiteral("\\x") + value.toByteArray().toHex();
    default:
        return value.toString().toUtf8();
    }
}

QSqlError connectionError(pg_conn* conn) {
    return QSqlError(QString(), QString::fromUtf8(PQerrorMessage(conn)).trimmed(), QSqlError::ConnectionError);
}

QSqlError resultError(const PGresult* result, pg_conn* conn) {
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    if (!primary)
        return connectionError(conn);
    return QSqlError(QString(), QString::fromUtf8(primary), QSqlError::StatementError,
                     state ? QString::fromLatin1(state) : QString());
}

void describe(const PGresult* result, PackedRows& rows, std::vector<CellKind>& kinds) {
    const int columns = PQnfields(result);
    rows = PackedRows(columns);
    kinds.resize(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        const Oid type = PQftype(result, c);
        kinds[static_cast<size_t>(c)] = kindOf(type);
        // Text stays unmarked: the server's collation is not the one the rows in hand would sort by.
        if (isNumber(type))
            rows.setOrder(c, ColumnOrder::Numeric);
    }
}

void appendCell(PackedRows& rows, CellKind kind, const char* text, int size) {
    switch (kind) {
    case CellKind::AsSent:
        rows.appendCell(text, size);
        return;
    case CellKind::Real: {
        // The server prints 1299.00 or 1.2345678901234568e+18; the cell shows the double.
        double value = 0;
        const auto parsed = std::from_chars(text, text + size, value);
        if (parsed.ec != std::errc()) {
            rows.appendCell(text, size);
            return;
        }
        const QByteArray shown = CellText::real(value);
        rows.appendCell(shown.constData(), shown.size());
        return;
    }
    case CellKind::Boolean:
        rows.appendCell(QString::fromLatin1(CellText::boolean(text[0] == 't')));
        return;
    case CellKind::Bytes: {
        size_t length = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
        if (!bytes)
            throw std::bad_alloc();
        rows.appendCell(CellText::bytes(
            QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(length))));
        PQfreemem(bytes);
        return;
    }
    }
}

void appendRows(const PGresult* result, const std::vector<CellKind>& kinds, PackedRows& rows) {
    const int count = PQntuples(result);
    const int columns = static_cast<int>(kinds.size());
    for (int r = 0; r < count; ++r) {
        rows.beginRow();
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(result, r, c))
                rows.appendNull();
            else
                appendCell(rows, kinds[static_cast<size_t>(c)], PQgetvalue(result, r, c), PQgetlength(result, r, c));
        }
    }
}

} // namespace

pg_conn* connectionOf(const QVariant& handle) {
    // Qt names the type by its struct (pg_conn*) or by libpq's typedef (PGconn*), depending on the version.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

bool isIdle(pg_conn* conn) {
    return PQtransactionStatus(conn) != PQTRANS_ACTIVE;
}

QString numberedPlaceholders(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 16);
    int number = 0;
    const qsizetype length = sql.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar ch = sql.at(i);
        const QChar next = i + 1 < length ? sql.at(i + 1) : QChar();
        qsizetype end = i; // the last character of a quoted or commented stretch, copied as it is
        if (ch == u'\'' || ch == u'"') {
            // E'...' takes backslash escapes; in any quote a doubled quote is the quote itself.
            const bool escapes = ch == u'\'' && i > 0 && (sql.at(i - 1) == u'E' || sql.at(i - 1) == u'e') &&
                                 (i < 2 || !(sql.at(i - 2).isLetterOrNumber() || sql.at(i - 2) == u'_'));
            end = i + 1;
            while (end < length) {
                if (escapes && sql.at(end) == u'\\') {
                    end += 2;
                } else if (sql.at(end) == ch) {
                    if (end + 1 < length && sql.at(end + 1) == ch)
                        end += 2;
                    else
                        break;
                } else {
                    ++end;
                }
            }
        } else if (ch == u'-' && next == u'-') {
            end = sql.indexOf(u'\n', i);
            if (end < 0)
                end = length - 1;
        } else if (ch == u'/' && next == u'*') {
            end = sql.indexOf(QLatin1String("*/"), i + 2);
            end = end < 0 ? length - 1 : end + 1;
        } else if (ch == u'?') {
            out += QLatin1Char('$') + QString::number(++number);
            continue;
        }
        end = std::min(end, length - 1);
        out += QStringView(sql).mid(i, end - i + 1);
        i = end;
    }
    return out;
}

QSqlError read(pg_conn* conn, const QString& sql, const QVariantList& values, PackedRows& rows) {
    rows = PackedRows();
    const QByteArray statement = numberedPlaceholders(sql).toUtf8();
    std::vector<QByteArray> texts(static_cast<size_t>(values.size()));
    std::vector<const char*> pointers(static_cast<size_t>(values.size()), nullptr);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (values.at(i).isNull())
            continue;
        texts[static_cast<size_t>(i)] = parameterText(values.at(i));
        pointers[static_cast<size_t>(i)] = texts[static_cast<size_t>(i)].constData();
    }
    if (!PQsendQueryParams(conn, statement.constData(), static_cast<int>(values.size()), nullptr, pointers.data(),
                           nullptr, nullptr, 0))
        return connectionError(conn);
    // Row by row the server's work and ours overlap: faster than waiting for the whole result, and lighter.
    PQsetSingleRowMode(conn);
    QSqlError error;
    std::vector<CellKind> kinds;
    bool described = false;
    while (PGresult* result = PQgetResult(conn)) {
        const ExecStatusType status = PQresultStatus(result);
        try {
            if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK) {
                if (!described) {
                    describe(result, rows, kinds);
                    described = true;
                }
                appendRows(result, kinds, rows);
            } else if (status != PGRES_COMMAND_OK && error.type() == QSqlError::NoError) {
                error = resultError(result, conn);
            }
        } catch (...) {
            // Out of memory: the rest of the result is let go, so the connection is free for the next statement.
            PQclear(result);
            while (PGresult* rest = PQgetResult(conn))
                PQclear(rest);
            throw;
        }
        PQclear(result);
    }
    rows.finish();
    return error;
}

} // namespace PostgresReader
