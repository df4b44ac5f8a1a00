#pragma once

#include "platform/AppContext.h"
#include "records/store/RecordOwner.h"
#include "records/ui/TransferProgress.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QMenu;
class ReportList;

// The attachments tab of both detail windows: the record's files with their versions, uploaded through the file
// dialog or dropped from the desktop, opened with the desktop's program for their type, deleted one at a time.
class AttachmentsTab : public QWidget {
    Q_OBJECT
public:
    // ownerId answers the id of the record the window shows.
    AttachmentsTab(AppContext& ctx, RecordOwner owner, std::function<qint64()> ownerId, QWidget* parent = nullptr);

    // The tab's caption on each side.
    static QString caption(RecordOwner owner);

    // Reloads the list: every version, or with Check1 ticked the newest of each name.
    void PopulateListAtt();

    ReportList* list() const { return m_list; }
    QMenu* popupMenu() const { return m_menu; }

    TransferProgress::Policy progressPolicy;

public slots:
    void upload();
    // Adds one row per file, in order, without a message.
    void uploadFiles(const QStringList& paths);
    void viewSelected();
    void deleteSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // False when the user stopped the upload.
    bool addFile(const QString& path);
    void reload();
    void sayGone();

    AppContext& m_ctx;
    RecordOwner m_owner;
    std::function<qint64()> m_ownerId;
    ReportList* m_list;
    QCheckBox* m_currentOnly;
    QMenu* m_menu;
};
