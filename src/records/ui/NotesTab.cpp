#include "records/ui/NotesTab.h"

#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "records/store/NoteStore.h"
#include "records/ui/NoteEditor.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString listCaption(RecordOwner kind) {
    return kind == RecordOwner::Location ? QStringLiteral("Location Notes") : QStringLiteral("Equipment Notes");
}
} // namespace

NotesTab::NotesTab(AppContext& ctx, RecordOwner kind, std::function<Owner()> owner, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_kind(kind), m_owner(std::move(owner)), m_list(new ReportList(this)),
      m_menu(new QMenu(QStringLiteral("Notes"), this)) {
    m_list->setObjectName(QStringLiteral("LstNotes"));
    m_list->setAccessibleName(listCaption(kind));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setColumns(NoteStore::listColumns());
    auto* add = makeButton(this, "CmdAddNote", QStringLiteral("Add Note"));
    auto* refresh = makeButton(this, "CmdRefreshNote", QStringLiteral("Refresh Note Listing"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(refresh);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    m_menu->setObjectName(QStringLiteral("MnuNotes"));
    const auto item = [this](const char* name, const QString& caption, void (NotesTab::*slot)()) {
        QAction* action = m_menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    item("mnuViewNote", QStringLiteral("View Note"), &NotesTab::viewNote);
    item("mnuEditNote", QStringLiteral("Edit Note"), &NotesTab::editNote);
    item("mnuDeleteNote", QStringLiteral("Delete Note"), &NotesTab::deleteNote);
    m_menu->addSeparator();
    m_menu->addAction(m_list->exportAction());

    connect(add, &QPushButton::clicked, this, &NotesTab::addNote);
    connect(refresh, &QPushButton::clicked, this, [this] { guarded(*m_ctx.dialogs, this, [&] { popNotes(); }); });
    connect(m_list, &ReportList::rowDoubleClicked, this, &NotesTab::editNote);
    connect(m_list, &ReportList::rightClicked, this, [this](int, const QPoint& at) {
        if (m_list->rowCount() > 0)
            m_menu->popup(at);
    });
}

void NotesTab::popNotes() {
    m_list->setRows(NoteStore(*m_ctx.db, m_kind).notes(m_owner().id));
}

void NotesTab::addNote() {
    const Owner owner = m_owner();
    openWindow<NoteEditor>(m_ctx, this, [&](NoteEditor& editor) {
        editor.Kind = m_kind;
        editor.RefreshF = this;
        editor.OwnerId = owner.id;
        editor.OwnerName = owner.name;
    });
}

void NotesTab::editNote() {
    openEditor(Mode::Edit);
}

void NotesTab::viewNote() {
    openEditor(Mode::View);
}

void NotesTab::openEditor(Mode mode) {
    const int row = m_list->chosenRow();
    if (row < 0)
        return;
    const Owner owner = m_owner();
    // The editor starts from the texts the list shows, not from a fresh reading.
    openWindow<NoteEditor>(m_ctx, this, [&](NoteEditor& editor) {
        editor.Kind = m_kind;
        if (mode == Mode::View)
            editor.ViewNote = true;
        else
            editor.RefreshF = this;
        editor.OwnerId = owner.id;
        editor.OwnerName = owner.name;
        editor.NoteId = m_list->rowTag(row).toLongLong();
        editor.NoteTitle = m_list->text(row, QStringLiteral("NoteTitle"));
        editor.Note = m_list->text(row, QStringLiteral("Note"));
    });
}

void NotesTab::deleteNote() {
    const int row = m_list->chosenRow();
    if (row < 0)
        return;
    if (m_ctx.dialogs->message(this,
                               QStringLiteral("You are about to delete the selected note\n"
                                              "Do you want to continue"),
                               Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes)
        return;
    const qint64 noteId = m_list->rowTag(row).toLongLong();
    guarded(*m_ctx.dialogs, this, [&] {
        NoteStore(*m_ctx.db, m_kind).remove(noteId);
        popNotes();
    });
}
