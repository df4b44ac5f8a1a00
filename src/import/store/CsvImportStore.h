#pragma once

#include "data/DataError.h"
#include "equipment/store/UnitFields.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class Database;

// What a column of an import file fills: one of the unit's attributes with a holding column, the location by
// name, or nothing.
class ImportTarget {
public:
    constexpr ImportTarget() = default;
    constexpr ImportTarget(UnitField field) : m_code(static_cast<int>(field)) {}
    static const ImportTarget Location;
    static const ImportTarget None; // a column the import leaves out

    // The attribute it fills; none for the location and for a column left out.
    constexpr std::optional<UnitField> field() const {
        if (m_code >= static_cast<int>(kUnitFieldCount))
            return std::nullopt;
        return static_cast<UnitField>(m_code);
    }
    friend constexpr bool operator==(ImportTarget, ImportTarget) = default;

private:
    constexpr explicit ImportTarget(int code) : m_code(code) {}
    int m_code = static_cast<int>(kUnitFieldCount) + 1;
};
inline constexpr ImportTarget ImportTarget::Location{static_cast<int>(kUnitFieldCount)};
inline constexpr ImportTarget ImportTarget::None{static_cast<int>(kUnitFieldCount) + 1};

// An equipment file as read: its header, what each column fills, and its rows (blank lines left out), each with
// its number in the file as a spreadsheet counts it (the header is row 1).
struct ImportFile {
    QStringList headers;
    QList<ImportTarget> targets; // one per header
    std::vector<QStringList> rows;
    std::vector<qsizetype> rowNumbers;

    bool has(ImportTarget target) const { return targets.contains(target); }
};

// A row the import refused: nothing was written.
class ImportRowError : public DataError {
public:
    ImportRowError(qsizetype row, const QString& column, const QString& reason);
    qsizetype row() const { return m_row; }
    const QString& column() const { return m_column; }
    const QString& reason() const { return m_reason; }

private:
    qsizetype m_row;
    QString m_column;
    QString m_reason;
};

struct ImportOptions {
    qint64 locationId = 0;   // the location of every row when the file has no location column
    QStringList createTypes; // equipment types the user agreed to create
    QDate today;             // two-digit years are read near it
};

// Equipment brought in from a CSV file: the header mapped to the holding columns by name, every row checked, and
// all of them written into the holding table in one transaction, from where the ordinary commit takes them.
class CsvImportStore {
public:
    explicit CsvImportStore(Database& db) : m_db(db) {}

    // The column a header names, case-blind, in any of its common spellings; None when it names none.
    static ImportTarget targetOf(const QString& header);
    // The column's name as the entry window labels it ("Serial Number", "Location").
    static QString caption(ImportTarget target);
    // Reads the file's text. Throws DataError when it is not UTF-8 text, has no header, names a column twice, has
    // no serial number column or a quoted field left open; progress(permille) hears how far the reading came.
    static ImportFile parse(const QByteArray& bytes, const std::function<void(int permille)>& progress = {});

    // The equipment types the rows name that are not known yet (case-blind), in the order they first appear.
    QStringList unknownTypes(const ImportFile& file) const;

    // Checks every row, then creates the agreed types and writes every row into the holding table: one
    // transaction, so a bad row (ImportRowError, naming its row, column and reason) leaves everything as it was.
    // Returns the rows written; progress(done, total) is called as rows are written.
    int import(const ImportFile& file, const ImportOptions& options,
               const std::function<void(qsizetype done, qsizetype total)>& progress = {});

private:
    Database& m_db;
};
