#pragma once

#include "import/store/CsvImportStore.h"
#include "locations/store/LocationStore.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

// Checks one row of an import file and turns it into the holding row it makes, against the active locations and
// equipment types read at the start of the import.
class ImportRowChecker {
public:
    // Throws DataError when the file has no location column and options name no active location.
    ImportRowChecker(const ImportFile& file, const ImportOptions& options, const std::vector<LocationIdName>& active,
                     const QStringList& knownTypes);

    // The holding columns a row fills, in the order values() gives them.
    static QStringList columns();
    // The agreed types not known yet, trimmed, each once.
    const QStringList& typesToCreate() const { return m_toCreate; }
    // Row r's values as written, or ImportRowError naming its row, column and reason.
    QVariantList values(qsizetype r) const;

    // A cell as it will be stored: empty text, never Null, as the entry window stores a box left empty.
    static QString cell(const QStringList& row, qsizetype column);
    // A name as compared with the known ones: case-blind, ends trimmed.
    static QString key(const QString& name);

private:
    struct Place {
        qint64 id = 0;
        QString name;
        bool ambiguous = false;
    };
    QString typeOf(qsizetype number, const QString& name) const;
    QVariant dateOf(qsizetype number, const QString& text) const;
    Place placeOf(qsizetype number, const QString& name) const;
    [[noreturn]] void fail(qsizetype number, qsizetype column, const QString& reason) const;

    const ImportFile& m_file;
    QDate m_today;
    QList<qsizetype> m_sourceOf; // per holding column but the location's two: the file's column, or -1
    int m_typeSlot = -1;         // the type's and the date's places among those columns
    int m_dateSlot = -1;
    qsizetype m_locationColumn;
    qsizetype m_typeColumn;
    qsizetype m_dateColumn;
    qsizetype m_serialColumn;
    QHash<QString, Place> m_locations;
    Place m_fixed;
    QHash<QString, QString> m_types;
    QStringList m_toCreate;
};
