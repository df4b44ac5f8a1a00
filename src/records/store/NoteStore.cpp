#include "records/store/NoteStore.h"

#include "data/Database.h"
#include "data/PackedReader.h"

namespace {
// A null QString would be bound as Null; a typed text, even none, is stored as text.
QVariant asText(const QString& s) {
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}
} // namespace

const ListColumns& NoteStore::listColumns() {
    static const ListColumns columns = ListColumnsBuilder("", CellDisplay::NbspAsBlank)
                                           .add("NoteId", "Note Id")
                                           .add("NoteDate", "Note Date")
                                           .add("NoteTitle", "Note Title")
                                           .add("Note", "Note")
                                           .display(CellDisplay::AsStored, {"NoteId"})
                                           .shortDate({"NoteDate"})
                                           .unsorted()
                                           .build();
    return columns;
}

std::vector<ListRow> NoteStore::notes(qint64 ownerId) const {
    const RecordTables& t = recordTables(m_owner);
    return displayRows(readPackedRows(m_db,
                                      QStringLiteral("SELECT %1 FROM %2 WHERE (%3 = ?) ORDER BY NoteId ASC")
                                          .arg(ListColumnsSql::selectList(listColumns()), t.notes, t.notesOwner),
                                      {ownerId}),
                       listColumns(), 0);
}

qint64 NoteStore::add(qint64 ownerId, const QString& title, const QString& note) {
    const RecordTables& t = recordTables(m_owner);
    Query q(m_db, QStringLiteral("INSERT INTO %1 (%2, NoteTitle, Note) VALUES (?, ?, ?)").arg(t.notes, t.notesOwner));
    q.exec({ownerId, asText(title), asText(note)});
    return q.lastInsertId().toLongLong();
}

bool NoteStore::update(qint64 noteId, const QString& title, const QString& note) {
    Query q(
        m_db,
        QStringLiteral("UPDATE %1 SET NoteTitle = ?, Note = ? WHERE (NoteId = ?)").arg(recordTables(m_owner).notes));
    q.exec({asText(title), asText(note), noteId});
    return q.numRowsAffected() > 0;
}

void NoteStore::remove(qint64 noteId) {
    Query(m_db, QStringLiteral("DELETE FROM %1 WHERE (NoteId = ?)").arg(recordTables(m_owner).notes)).exec({noteId});
}
