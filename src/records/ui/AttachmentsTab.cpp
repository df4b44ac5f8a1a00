#include "records/ui/AttachmentsTab.h"

#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ReportList.h"
#include "platform/Shell.h"
#include "records/store/AttachmentStore.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// The local files among what is dragged; links to elsewhere are not files to upload.
QStringList localFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

} // namespace

AttachmentsTab::AttachmentsTab(AppContext& ctx, RecordOwner owner, std::function<qint64()> ownerId, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_owner(owner), m_ownerId(std::move(ownerId)), m_list(new ReportList(this)),
      m_currentOnly(new QCheckBox(QStringLiteral("Show current version only"), this)), m_menu(new QMenu(this)) {
    m_list->setObjectName(QStringLiteral("LstAttachment"));
    m_list->setAccessibleName(caption(owner));
    m_list->setColumns(AttachmentStore(*m_ctx.db, m_owner).listColumns());
    // Files dragged from the desktop or a file manager land on the list's viewport.
    m_list->setAcceptDrops(true);
    m_list->viewport()->setAcceptDrops(true);
    m_list->viewport()->installEventFilter(this);
    m_list->installEventFilter(this); // the menu key
    m_currentOnly->setObjectName(QStringLiteral("Check1"));
    auto* uploadButton = makeButton(this, "CmdUpload", QStringLiteral("Upload Attachment"));

    m_menu->setObjectName(QStringLiteral("mnuAttachments"));
    m_menu->setTitle(QStringLiteral("Attachments"));
    QAction* view = m_menu->addAction(QStringLiteral("View Attachment"));
    view->setObjectName(QStringLiteral("mnuViewAttachment"));
    QAction* remove = m_menu->addAction(QStringLiteral("Delete Attachment"));
    remove->setObjectName(QStringLiteral("mnuDeleteAttachment"));
    m_menu->addSeparator();
    m_menu->addAction(m_list->exportAction());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_currentOnly);
    buttons->addStretch();
    buttons->addWidget(uploadButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    connect(m_currentOnly, &QCheckBox::toggled, this, &AttachmentsTab::reload);
    connect(uploadButton, &QPushButton::clicked, this, &AttachmentsTab::upload);
    connect(view, &QAction::triggered, this, &AttachmentsTab::viewSelected);
    connect(remove, &QAction::triggered, this, &AttachmentsTab::deleteSelected);
    connect(m_list, &ReportList::rightClicked, this, [this](int, const QPoint& globalPos) {
        if (m_list->rowCount() > 0)
            m_menu->popup(globalPos);
    });
}

QString AttachmentsTab::caption(RecordOwner owner) {
    return owner == RecordOwner::Location ? QStringLiteral("Location Attachments")
                                          : QStringLiteral("Equipment Attachments");
}

void AttachmentsTab::PopulateListAtt() {
    AttachmentStore store(*m_ctx.db, m_owner);
    const qint64 ownerId = m_ownerId();
    m_list->setRows(m_currentOnly->isChecked() ? store.newestVersions(ownerId) : store.allVersions(ownerId));
}

void AttachmentsTab::reload() {
    guarded(*m_ctx.dialogs, this, [&] { PopulateListAtt(); });
}

bool AttachmentsTab::addFile(const QString& path) {
    TransferProgress progress(this, QStringLiteral("Uploading %1").arg(QFileInfo(path).fileName()), progressPolicy);
    return AttachmentStore(*m_ctx.db, m_owner).add(m_ownerId(), path, progress.receiver()).has_value();
}

void AttachmentsTab::upload() {
    const Dialogs::OpenFile chosen = m_ctx.dialogs->openFile(
        this, QStringLiteral("OPEN FILE"), QStringLiteral("All files (*);;DOC files (*.doc);;PDF files (*.pdf)"));
    if (chosen.path.isEmpty())
        return;
    bool added = false;
    guarded(*m_ctx.dialogs, this, [&] { added = addFile(chosen.path); });
    if (!added)
        return;
    m_ctx.dialogs->message(this, QStringLiteral("Attachment successfully uploaded"), Dialogs::Buttons::Ok,
                           Dialogs::Icon::Information);
    reload();
}

void AttachmentsTab::uploadFiles(const QStringList& paths) {
    bool added = false;
    for (const QString& path : paths) {
        bool stopped = false;
        // A file that fails is reported and the rest still go in.
        if (guarded(*m_ctx.dialogs, this, [&] { stopped = !addFile(path); }) && !stopped)
            added = true;
        if (stopped)
            break;
    }
    if (added)
        reload();
}

void AttachmentsTab::sayGone() {
    m_ctx.dialogs->message(this, QStringLiteral("This attachment no longer exists; it may have been deleted"),
                           Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

void AttachmentsTab::viewSelected() {
    const int row = m_list->chosenRow();
    if (row < 0)
        return;
    const qint64 id = m_list->rowTag(row).toLongLong();
    const QString name = m_list->text(row, QStringLiteral("AttachmentsName"));
    guarded(*m_ctx.dialogs, this, [&] {
        AttachmentStore::Copy copy;
        {
            TransferProgress progress(this, QStringLiteral("Opening %1").arg(name), progressPolicy);
            copy = AttachmentStore(*m_ctx.db, m_owner).writeCopy(id, progress.receiver());
        }
        switch (copy.outcome) {
        case AttachmentStore::Copy::Outcome::Stopped:
            return;
        case AttachmentStore::Copy::Outcome::Gone:
            sayGone();
            PopulateListAtt();
            return;
        case AttachmentStore::Copy::Outcome::Written:
            break;
        }
        if (!m_ctx.shell->openFile(copy.path))
            m_ctx.dialogs->message(this,
                                   QStringLiteral("No program on this computer is set up to open %1.\n"
                                                  "The attachment was saved as %2.")
                                       .arg(QFileInfo(copy.path).fileName(), QDir::toNativeSeparators(copy.path)),
                                   Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    });
}

void AttachmentsTab::deleteSelected() {
    const int row = m_list->chosenRow();
    if (row < 0)
        return;
    const qint64 id = m_list->rowTag(row).toLongLong();
    if (m_ctx.dialogs->message(this,
                               QStringLiteral("Warning you are about to delete the selected file\n"
                                              "Do you want to continue"),
                               Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes)
        return;
    guarded(*m_ctx.dialogs, this, [&] {
        if (AttachmentStore(*m_ctx.db, m_owner).remove(id))
            m_ctx.dialogs->message(this, QStringLiteral("Attachment deleted"), Dialogs::Buttons::Ok,
                                   Dialogs::Icon::Information);
        else
            sayGone();
        PopulateListAtt();
    });
}

bool AttachmentsTab::eventFilter(QObject* watched, QEvent* event) {
    // The menu key opens the menu as a right click does, beside the selected row.
    if (watched == m_list && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        if (m_list->rowCount() > 0) {
            const int row = m_list->chosenRow();
            const QRect at = row < 0 ? QRect() : m_list->visualRect(m_list->listModel()->index(row, 0));
            m_menu->popup(m_list->viewport()->mapToGlobal(at.center()));
        }
        return true;
    }
    if (watched != m_list->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (localFiles(drag->mimeData()).isEmpty()) {
            drag->ignore();
        } else {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = localFiles(drop->mimeData());
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The program the files came from waits until the drop returns: the upload runs after it.
        QMetaObject::invokeMethod(
            this, [this, paths] { uploadFiles(paths); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}
