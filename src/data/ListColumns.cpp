#include "data/ListColumns.h"

#include "data/CellText.h"
#include "data/Database.h"
#include "data/DateText.h"
#include "data/DisplayRules.h"
#include "data/PackedRows.h"

#include <stdexcept>
#include <string>

namespace {
// Most values hold no '&'; the scan for it is far cheaper than the replacement's own search.
QString applyRule(QString text, CellDisplay rule) {
    if (rule == CellDisplay::AsStored || !text.contains(QLatin1Char('&')))
        return text;
    return rule == CellDisplay::NbspAsBlank ? nbspAsBlank(text) : nbspRemoved(text);
}
} // namespace

ListColumnsBuilder::ListColumnsBuilder(const char* table, CellDisplay display)
    : m_table(QLatin1String(table)), m_display(display) {}

ListColumnsBuilder& ListColumnsBuilder::add(const char* key, const char* header) {
    const QString sql = m_table.isEmpty() ? QLatin1String(key) : m_table + QLatin1Char('.') + QLatin1String(key);
    m_columns.append({QLatin1String(key), QLatin1String(header), sql, m_display});
    return *this;
}

ListColumnsBuilder& ListColumnsBuilder::add(const char* key, const char* header, const char* sql) {
    m_columns.append({QLatin1String(key), QLatin1String(header), QLatin1String(sql), m_display});
    return *this;
}

ListColumnsBuilder& ListColumnsBuilder::from(const char* table) {
    m_table = QLatin1String(table);
    return *this;
}

ListColumnsBuilder& ListColumnsBuilder::display(CellDisplay rule, std::initializer_list<const char*> keys) {
    for (const char* key : keys)
        column(key).display = rule;
    return *this;
}

ListColumnsBuilder& ListColumnsBuilder::shortDate(std::initializer_list<const char*> keys) {
    for (const char* key : keys)
        column(key).shortDate = true;
    return *this;
}

ListColumnsBuilder& ListColumnsBuilder::whole(std::initializer_list<const char*> keys) {
    for (const char* key : keys)
        column(key).whole = true;
    return *this;
}

ListColumnsBuilder& ListColumnsBuilder::unsorted(std::initializer_list<const char*> keys) {
    if (keys.size() == 0)
        for (ListColumn& c : m_columns)
            c.sorts = false;
    for (const char* key : keys)
        column(key).sorts = false;
    return *this;
}

ListColumn& ListColumnsBuilder::column(const char* key) {
    for (ListColumn& c : m_columns)
        if (c.key == QLatin1String(key))
            return c;
    throw std::invalid_argument(std::string("no list column ") + key);
}

QString ListColumnsSql::selectList(const ListColumns& columns) {
    QStringList expressions;
    for (const ListColumn& c : columns)
        expressions << c.sql;
    return expressions.join(QStringLiteral(", "));
}

QString ListColumnsSql::orderBy(const SortOrder& order, const ListColumns& columns, const QString& fallback) {
    for (const ListColumn& c : columns)
        if (c.sorts && order.column == c.key)
            return QStringLiteral(" ORDER BY %1 %2")
                .arg(c.sql, order.descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
    return fallback;
}

bool sortsBy(const ListColumns& columns, const QString& key) {
    for (const ListColumn& c : columns)
        if (c.key == key)
            return c.sorts;
    return false;
}

QString displayText(const QVariant& value, const ListColumn& column) {
    if (value.isNull())
        return {};
    return displayText(CellText::of(value), column);
}

QString displayText(const QString& stored, const ListColumn& column) {
    const QString text = applyRule(stored, column.display);
    return column.shortDate && !text.isEmpty() ? DateText::display(text) : text;
}

void forEachDisplayRow(const PackedRows& rows, const ListColumns& columns, int tagCell, const ListRowReceiver& row) {
    QStringList cells(columns.size());
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < columns.size(); ++c)
            cells[c] = rows.isNull(r, c) ? QString() : displayText(rows.text(r, c), columns.at(c));
        row(tagCell < 0 ? QVariant() : rows.key(r, tagCell), cells);
    }
}

std::vector<ListRow> displayRows(const PackedRows& rows, const ListColumns& columns, int tagCell) {
    std::vector<ListRow> all;
    all.reserve(static_cast<size_t>(rows.rowCount()));
    forEachDisplayRow(rows, columns, tagCell, [&](const QVariant& tag, const QStringList& cells) {
        all.push_back({tag, cells});
    });
    return all;
}
