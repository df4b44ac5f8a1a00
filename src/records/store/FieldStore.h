#pragma once

#include "records/store/RecordOwner.h"

#include <QString>
#include <array>
#include <optional>

class Database;

// Every location and every unit has twenty user-defined text fields, in four groups of five.
inline constexpr int kUserFieldCount = 20;
inline constexpr int kUserFieldGroups = 4;
inline constexpr int kUserFieldsPerGroup = kUserFieldCount / kUserFieldGroups;

// How the fields of one owner kind show: a caption per field (none: not configured yet), whether it shows, and
// a caption per group.
struct FieldConfiguration {
    std::array<std::optional<QString>, kUserFieldCount> captions;
    std::array<bool, kUserFieldCount> visible{}; // a flag stored as Null reads as hidden
    std::array<std::optional<QString>, kUserFieldGroups> groups;
};

// One owner's field values as stored; a Null value is none.
using FieldValues = std::array<std::optional<QString>, kUserFieldCount>;
// Field values as typed, all twenty written at once.
using TypedFieldValues = std::array<QString, kUserFieldCount>;

// The user-defined fields of one owner kind: their configuration row and each owner's values.
class FieldStore {
public:
    FieldStore(Database& db, RecordOwner owner) : m_db(db), m_owner(owner) {}

    // None when the configuration table has no row.
    std::optional<FieldConfiguration> configuration() const;
    // Overwrites the whole configuration, every caption and group as given (none stores Null), in one
    // statement. A table that has lost its row gets it back rather than dropping the captions.
    void saveConfiguration(const FieldConfiguration& configuration);

    // None when the owner has no row.
    std::optional<FieldValues> values(qint64 ownerId) const;
    // Writes all twenty values as typed. False when the owner has no row.
    bool saveValues(qint64 ownerId, const TypedFieldValues& values);

    static QString fieldColumn(int index) { return QStringLiteral("Field%1").arg(index + 1); }
    static QString visibleColumn(int index) { return QStringLiteral("Field%1Visible").arg(index + 1); }
    static QString groupColumn(int index) { return QStringLiteral("Category%1").arg(index + 1); }

private:
    Database& m_db;
    RecordOwner m_owner;
};
