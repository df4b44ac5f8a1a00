#pragma once

#include "data/LargeValue.h"
#include "data/ListColumns.h"
#include "records/store/RecordOwner.h"

#include <QString>
#include <optional>
#include <vector>

class Database;

// The files attached to the locations or the units: one row per upload, each upload of a file name the next version
// of that name across the side's whole table, whichever owner holds the earlier ones.
class AttachmentStore {
public:
    using Progress = LargeValue::Progress;
    struct Added {
        qint64 id = 0;
        qint64 version = 0;
    };
    struct Copy {
        enum class Outcome { Written, Gone, Stopped };
        Outcome outcome = Outcome::Written;
        QString path; // the copy, when written
    };

    AttachmentStore(Database& db, RecordOwner owner);

    // Id, date, name and version; the date's header as each side spells it.
    const ListColumns& listColumns() const;
    // Every upload of the owner: names ascending, within a name the newest version first.
    std::vector<ListRow> allVersions(qint64 ownerId) const;
    // One row per name of the owner, names descending: its highest id, latest date and highest version.
    std::vector<ListRow> newestVersions(qint64 ownerId) const;

    // Stores the file at path as the next version of its name. None when progress stopped it, which writes
    // nothing. A file that cannot be read or is too large throws std::runtime_error with a sentence for the user.
    std::optional<Added> add(qint64 ownerId, const QString& path, const Progress& progress = {});
    // False when the row was already gone.
    bool remove(qint64 id);

    // Writes the attachment to viewFolder() under its plain file name, for the desktop to open. An earlier copy
    // of that name is replaced only by a complete new one. A failed write throws std::runtime_error.
    Copy writeCopy(qint64 id, const Progress& progress = {}) const;
    QString viewFolder() const;

    // The stored name made a plain file name that stays inside the folder it is put in, whatever the name holds:
    // a stored name comes from a database that anyone may have written.
    static QString plainFileName(const QString& stored);

private:
    qint64 nextVersion(const QString& name) const;
    LargeValue::Cell cell(qint64 id) const;

    Database& m_db;
    RecordOwner m_owner;
    const RecordTables& m_tables;
};
