#pragma once

#include "platform/AppContext.h"
#include "records/store/RecordOwner.h"

#include <QString>
#include <QWidget>
#include <functional>

class QMenu;
class QPushButton;
class ReportList;

// The notes tab of a detail window, for the record it shows: the note list with its pop-up menu, and buttons to
// add a note and to list them again.
class NotesTab : public QWidget {
    Q_OBJECT
public:
    // Who the notes belong to, asked afresh whenever the tab needs it: the id and what the editor's caption
    // names (a location's name, a unit's serial number).
    struct Owner {
        qint64 id = 0;
        QString name;
    };

    NotesTab(AppContext& ctx, RecordOwner kind, std::function<Owner()> owner, QWidget* parent = nullptr);

    // Lists the owner's notes again, oldest first.
    void popNotes();

    ReportList* list() const { return m_list; }
    QMenu* menu() const { return m_menu; }

public slots:
    void addNote();
    void editNote();
    void viewNote();
    void deleteNote();

private:
    enum class Mode { Edit, View };
    void openEditor(Mode mode);

    AppContext& m_ctx;
    RecordOwner m_kind;
    std::function<Owner()> m_owner;
    ReportList* m_list;
    QMenu* m_menu;
};
