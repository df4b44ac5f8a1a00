#include "equipment/store/SearchStore.h"

#include "data/Database.h"
#include "data/PackedReader.h"

const ListColumns& SearchStore::resultColumns() {
    // The results' columns carry their headers as keys.
    static const ListColumns columns = ListColumnsBuilder("", CellDisplay::NbspAsBlank)
                                           .add("Id", "Id", "EquipmentId")
                                           .add("Equipment Type", "Equipment Type", "EquipmentType")
                                           .add("Manufacturer", "Manufacturer")
                                           .add("Date Purchased", "Date Purchased", "DatePurchased")
                                           .add("PurchasePrice", "PurchasePrice")
                                           .add("Serial Number", "Serial Number", "SerialNumber")
                                           .add("Model Number", "Model Number", "ModelNumber")
                                           .add("AssetTagNumber", "AssetTagNumber")
                                           .display(CellDisplay::AsStored, {"Id", "Equipment Type"})
                                           .shortDate({"Date Purchased"})
                                           .whole({"Id", "Serial Number"})
                                           .unsorted()
                                           .build();
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
