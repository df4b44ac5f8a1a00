#pragma once

#include "platform/AppContext.h"
#include "records/store/FieldStore.h"
#include "records/store/RecordOwner.h"

#include <QList>
#include <QWidget>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;

// The last tab of a detail window: the record's twenty user-defined fields in four groups, under the captions
// configured for its kind, and "Update", which saves them.
class FieldsTab : public QWidget {
    Q_OBJECT
public:
    FieldsTab(AppContext& ctx, RecordOwner kind, std::function<qint64()> ownerId, QWidget* parent = nullptr);

    // Applies the kind's captions, visibility and group captions. A field without a caption keeps its design
    // state: shown, editable, its label empty.
    void PopulateFieldCaptions();
    // Shows the owner's stored values; a Null value leaves its box as it is, and so does a box typed in since
    // the last save.
    void loadValues();

    QLineEdit* box(int number) const { return m_boxes.at(number - 1); }
    QLabel* label(int number) const { return m_labels.at(number - 1); }
    QGroupBox* frame(int group) const { return m_frames.at(group - 1); }

public slots:
    // Writes all twenty boxes, hidden ones too (they hold what was loaded for them).
    void save();

private:
    AppContext& m_ctx;
    RecordOwner m_kind;
    std::function<qint64()> m_ownerId;
    QList<QGroupBox*> m_frames;
    QList<QLabel*> m_labels;
    QList<QLineEdit*> m_boxes;
};
