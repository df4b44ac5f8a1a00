#include "data/ListColumns.h"

#include "data/CellText.h"
#include "data/Database.h"
#include "data/DateText.h"
#include "data/DisplayRules.h"
#include "data/PackedRows.h"

namespace {
// Most values hold no '&'; the scan for it is far cheaper than the replacement's own search.
QString applyRule(QString text, CellDisplay rule) {
    if (rule == CellDisplay::AsStored || !text.contains(QLatin1Char('&')))
        return text;
    return rule == CellDisplay::NbspAsBlank ? nbspAsBlank(text) : nbspRemoved(text);
}
} // namespace

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
