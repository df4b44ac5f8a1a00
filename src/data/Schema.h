#pragma once

#include <QMap>
#include <QStringList>

// The engine-specific DDL of both files. Text compares and sorts without regard to case, yes/no columns hold
// 1/0, dates are ISO text.
namespace Schema {
QStringList mainFileStatements();
QStringList holdingFileStatements();
// Tables of the main file that later versions added. Each statement makes what is missing and leaves what is
// there, so a file or database from an earlier version gains them without any change to what it holds.
QStringList addedStatements();
// The 50 states in alphabetical order; the n-th (from 0) carries StateId n + 2.
const QStringList& stateNames();
inline constexpr int kFirstStateId = 2;

// The tables the statements make, each with its columns in order, read from a scratch database built with them.
QMap<QString, QStringList> layout(const QStringList& ddl);

// The same DDL for a PostgreSQL server: case-blind text as CITEXT, 64-bit identity keys, BYTEA, dates as ISO text.
QString forServer(const QString& statement);
// Attachments kept uncompressed on a server, so that a slice of one is read without the rest of it.
QStringList serverStorageStatements();
// The holding table on a server: the rows of every workstation in hold.HoldEquipmentRows, each workstation seeing
// and changing only its own through the view hold.HoldEquipment, which the statements use as they use the file's
// table. The session setting names the workstation.
QStringList serverHoldingStatements();
inline constexpr const char* kHoldingRowsTable = "HoldEquipmentRows";
inline constexpr const char* kWorkstationColumn = "Workstation";
inline constexpr const char* kWorkstationSetting = "kavrel.workstation";
} // namespace Schema
