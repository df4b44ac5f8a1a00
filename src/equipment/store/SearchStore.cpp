#include "equipment/store/SearchStore.h"

#include "data/Database.h"
#include "data/PackedReader.h"

const ListColumns& SearchStore::resultColumns() {
    static const ListColumns columns = [] {
        const auto column = [](const char* header, const char* sql, CellDisplay display, bool shortDate = false) {
            return ListColumn{
                QLatin1String(header), QLatin1String(header), QLatin1String(sql), display, shortDate, false};
        };
        ListColumns c{column("Id", "EquipmentId", CellDisplay::AsStored),
                      column("Equipment Type", "EquipmentType", CellDisplay::AsStored),
                      column("Manufacturer", "Manufacturer", CellDisplay::NbspAsBlank),
                      column("Date Purchased", "DatePurchased", CellDisplay::NbspAsBlank, true),
                      column("PurchasePrice", "PurchasePrice", CellDisplay::NbspAsBlank),
                      column("Serial Number", "SerialNumber", CellDisplay::NbspAsBlank),
                      column("Model Number", "ModelNumber", CellDisplay::NbspAsBlank),
                      column("AssetTagNumber", "AssetTagNumber", CellDisplay::NbspAsBlank)};
        c[0].whole = c[5].whole = true;
        return c;
    }();
    return columns;
}

const ListColumns& SearchStore::scannerColumns() {
    static const ListColumns columns = resultColumns().first(resultColumns().size() - 1);
    return columns;
}

QString SearchStore::likePattern(const QString& text) {
    QString pattern;
    pattern.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('*')) {
            pattern += QLatin1Char('%');
            continue;
        }
        if (c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern;
}

PackedRows SearchStore::found(Field field, const QString& text, const ListColumns& columns) const {
    const QString column =
        field == Field::SerialNumber ? QStringLiteral("SerialNumber") : QStringLiteral("AssetTagNumber");
    return readPackedRows(m_db,
                          QStringLiteral("SELECT ") + ListColumnsSql::selectList(columns) +
                              QStringLiteral(" FROM EquipmentInfo WHERE ") + column +
                              QStringLiteral(" LIKE ? ESCAPE '\\'"),
                          {likePattern(text)});
}
