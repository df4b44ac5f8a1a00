#pragma once

#include "platform/AppContext.h"
#include "records/store/RecordOwner.h"

#include <QList>
#include <QString>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLineEdit;

// Configures the user-defined fields of one owner kind: a caption and visibility per field, a caption per group.
// "Addional": the system's given spelling, kept on purpose.
class FrmAddionalFieldCaptions : public QWidget {
    Q_OBJECT
public:
    explicit FrmAddionalFieldCaptions(AppContext& ctx, QWidget* parent = nullptr);

    RecordOwner Kind = RecordOwner::Location; // set by the opener before the window loads
    // The configuration table edited, which follows from the kind.
    QString TableName() const { return recordTables(Kind).fieldCaptions; }

    void load();

public slots:
    void save();

private:
    void PopulateCaptionEditor();

    AppContext& m_ctx;
    QList<QGroupBox*> m_frames;
    QList<QLineEdit*> m_groups;
    QList<QLineEdit*> m_captions;
    QList<QCheckBox*> m_visible;
};
