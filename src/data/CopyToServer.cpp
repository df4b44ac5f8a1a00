#include "data/CopyToServer.h"

#include "data/Schema.h"

namespace {

// Tables a first start fills; a database holding rows in any other table is someone's data.
bool filledAtStart(const QString& table) {
    return table == QLatin1String("StateInfo") || table.endsWith(QLatin1String("AdditionalInformation"));
}

void requireNoData(Database& server, const QMap<QString, QStringList>& tables) {
    for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
        if (filledAtStart(it.key()))
            continue;
        // The holding table's view shows one workstation's rows; every workstation's count here.
        const QString table = it.key() == QLatin1String("HoldEquipment")
                                  ? QStringLiteral("hold.") + QLatin1String(Schema::kHoldingRowsTable)
                                  : it.key();
        if (Query(server, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).scalar().toLongLong() > 0) {
            QString text = QStringLiteral("%1 already holds data (the table '%2' has rows). Copy into a new, empty "
                                          "database.")
                               .arg(server.whereabouts(), it.key());
            text[0] = text.at(0).toUpper();
            throw DataError(text);
        }
    }
}

CopiedTable copyTable(Database& files, Database& server, const QString& table, const QStringList& columns) {
    Query(server, QStringLiteral("DELETE FROM %1").arg(table)).exec();
    Query read(files, QStringLiteral("SELECT %1 FROM %2").arg(Columns::list(columns), table));
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    Query write(server, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table, Columns::list(columns), marks.join(QStringLiteral(", "))));
    read.exec();
    CopiedTable copied{table, 0, 0};
    qint64& rows = copied.rows;
    QVariantList values;
    while (read.next()) {
        values.clear();
        for (int c = 0; c < columns.size(); ++c) {
            values << read.value(c);
            // Binding removes them, as from any text written now.
            if (values.last().typeId() == QMetaType::QString && values.last().toString().contains(QChar(0)))
                ++copied.valuesWithNul;
        }
        try {
            write.exec(values);
        } catch (const DataError& e) {
            throw DataError(QStringLiteral("Row %1 of the table '%2' could not be copied.\n\n%3")
                                .arg(rows + 1)
                                .arg(table, e.text()));
        }
        ++rows;
    }
    return copied;
}

} // namespace

void copyToServer(Database& files, Database& server, const std::function<void(const CopiedTable&)>& copied) {
    if (server.engine() != Engine::PostgreSQL || files.engine() != Engine::SQLite)
        throw DataError(QStringLiteral("A copy goes from the data files onto a PostgreSQL server."));
    QMap<QString, QStringList> tables = Schema::layout(Schema::mainFileStatements());
    tables.insert(Schema::layout(Schema::holdingFileStatements()));
    tables.insert(Schema::layout(Schema::addedStatements()));
    files.transaction([&] {
        server.transaction([&] {
            requireNoData(server, tables);
            for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
                const CopiedTable done = copyTable(files, server, it.key(), it.value());
                if (copied)
                    copied(done);
            }
            server.continueKeys();
        });
    });
}
