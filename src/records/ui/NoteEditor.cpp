#include "records/ui/NoteEditor.h"

#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/Twips.h"
#include "records/store/NoteStore.h"
#include "records/ui/NotesTab.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

NoteEditor::NoteEditor(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_title(makeTextBox(this, "txtNoteTitle", QStringLiteral("Note Title"))),
      m_note(new QPlainTextEdit(this)), m_save(makeButton(this, "Command1", QStringLiteral("Save/Exit"))) {
    m_note->setObjectName(QStringLiteral("txtNote"));
    m_note->setAccessibleName(QStringLiteral("Note"));
    m_note->setTabChangesFocus(true);
    auto* cancel = makeButton(this, "Command2", QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeBuddyLabel(this, m_title->accessibleName(), m_title));
    layout->addWidget(m_title);
    layout->addWidget(makeBuddyLabel(this, m_note->accessibleName(), m_note));
    layout->addWidget(m_note, 1);
    layout->addLayout(buttons);
    resize(Twips::toPixelsX(7200, this), Twips::toPixelsY(5400, this));

    connect(m_save, &QPushButton::clicked, this, &NoteEditor::save);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void NoteEditor::load() {
    const bool location = Kind == RecordOwner::Location;
    setObjectName(location ? QStringLiteral("frmAddEditLocationNotes") : QStringLiteral("frmAddEditNotes"));
    // "equiment": the system's given spelling, kept on purpose.
    setWindowTitle(
        (location ? QStringLiteral("Add/Edit location notes for ") : QStringLiteral("Add/Edit equiment notes for ")) +
        OwnerName + QStringLiteral(" having the Id number: ") + QString::number(OwnerId));
    widenToCaption(this);
    if (NoteId) {
        m_title->setText(NoteTitle);
        m_title->setCursorPosition(0);
        m_note->setPlainText(Note);
    }
    // The boxes stay editable; only saving is impossible.
    if (ViewNote)
        m_save->setEnabled(false);
}

void NoteEditor::save() {
    if (ViewNote)
        return;
    const QString title = m_title->text();
    const QString note = m_note->toPlainText();
    if (title.isEmpty() || note.isEmpty())
        return;
    bool written = false;
    guarded(*m_ctx.dialogs, this, [&] {
        NoteStore store(*m_ctx.db, Kind);
        if (!NoteId) {
            store.add(OwnerId, title, note);
            written = true;
        } else if (store.update(*NoteId, title, note)) {
            written = true;
        } else {
            // The texts stay in the editor, so nothing typed is lost.
            m_ctx.dialogs->message(this, QStringLiteral("This note no longer exists; it may have been deleted"),
                                   Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        }
    });
    if (!written)
        return;
    if (RefreshF)
        guarded(*m_ctx.dialogs, RefreshF, [&] { RefreshF->popNotes(); });
    close();
}
