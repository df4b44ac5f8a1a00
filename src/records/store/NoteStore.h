#pragma once

#include "data/ListColumns.h"
#include "records/store/RecordOwner.h"

#include <QString>
#include <vector>

class Database;

// The free-text notes of one owner kind: listed oldest first, added, rewritten and deleted one at a time.
class NoteStore {
public:
    NoteStore(Database& db, RecordOwner owner) : m_db(db), m_owner(owner) {}

    // Keys NoteId, NoteDate (short date), NoteTitle and Note; "&nbsp;" shows as a blank; none sorts.
    static const ListColumns& listColumns();
    // The owner's notes by id, each tagged with its id.
    std::vector<ListRow> notes(qint64 ownerId) const;

    // Returns the new note's id; its date is the database's default, today.
    qint64 add(qint64 ownerId, const QString& title, const QString& note);
    // Rewrites title and text, keeping the date. False when no note has the id (deleted meanwhile).
    bool update(qint64 noteId, const QString& title, const QString& note);
    void remove(qint64 noteId);

private:
    Database& m_db;
    RecordOwner m_owner;
};
