#pragma once

#include "platform/AppContext.h"
#include "records/store/RecordOwner.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>

class NotesTab;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Writes one note of a location (frmAddEditLocationNotes) or of a unit (frmAddEditNotes). The opener sets the
// members before the window loads; the mode follows from them and stays: add (no NoteId), edit, or view
// (ViewNote), where nothing can be saved.
class NoteEditor : public QWidget {
    Q_OBJECT
public:
    explicit NoteEditor(AppContext& ctx, QWidget* parent = nullptr);

    RecordOwner Kind = RecordOwner::Location;
    std::optional<qint64> NoteId; // none: a new note
    QString NoteTitle;
    QString Note;
    bool ViewNote = false;
    qint64 OwnerId = 0; // the location or unit the note belongs to
    QString OwnerName;  // the location's name or the unit's serial number, for the caption
    // The note list to show the saved note; a list closed meanwhile is skipped.
    QPointer<NotesTab> RefreshF;

    void load();

public slots:
    void save();

private:
    AppContext& m_ctx;
    QLineEdit* m_title;
    QPlainTextEdit* m_note;
    QPushButton* m_save;
};
