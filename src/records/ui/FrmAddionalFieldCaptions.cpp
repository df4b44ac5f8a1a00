#include "records/ui/FrmAddionalFieldCaptions.h"

#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"
#include "platform/WindowHost.h"
#include "platform/WindowKeys.h"
#include "records/store/FieldStore.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
QString fieldLabelName(int number) {
    // The sixth label is spelled so.
    return number == 6 ? QStringLiteral("lblfield6") : QStringLiteral("lblField%1").arg(number);
}
QString checkBoxName(int number) {
    return number == 1 ? QStringLiteral("chkField1") : QStringLiteral("ChkField%1").arg(number);
}
} // namespace

FrmAddionalFieldCaptions::FrmAddionalFieldCaptions(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("FrmAddionalFieldCaptions"));
    // Without a Cancel button, Esc closes it as the close box does.
    closesOnEscape(this);
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    for (int group = 0; group < kUserFieldGroups; ++group) {
        auto* frame = new QGroupBox(page);
        frame->setObjectName(QStringLiteral("FrmCategory%1").arg(group + 1));
        auto* rows = new QGridLayout(frame);
        auto* groupCaption = new QLineEdit(frame);
        groupCaption->setObjectName(QStringLiteral("txtCategory%1").arg(group + 1));
        groupCaption->setAccessibleName(QStringLiteral("Group %1 Frame Caption").arg(group + 1));
        auto* groupLabel = makeBuddyLabel(frame, QStringLiteral("Frame Caption"), groupCaption);
        groupLabel->setObjectName(QStringLiteral("lblCategory%1").arg(group + 1));
        rows->addWidget(groupLabel, 0, 0);
        rows->addWidget(groupCaption, 0, 1, 1, 2);
        for (int i = 0; i < kUserFieldsPerGroup; ++i) {
            const int number = group * kUserFieldsPerGroup + i + 1;
            const QString caption = QStringLiteral("Field %1 Caption").arg(number);
            auto* box = new QLineEdit(frame);
            box->setObjectName(QStringLiteral("txtField%1").arg(number));
            box->setAccessibleName(caption);
            auto* label = makeBuddyLabel(frame, caption, box);
            label->setObjectName(fieldLabelName(number));
            auto* visible = new QCheckBox(QStringLiteral("Visible"), frame);
            visible->setObjectName(checkBoxName(number));
            visible->setAccessibleName(QStringLiteral("Field %1 Visible").arg(number));
            rows->addWidget(label, i + 1, 0);
            rows->addWidget(box, i + 1, 1);
            rows->addWidget(visible, i + 1, 2);
            m_captions << box;
            m_visible << visible;
        }
        m_frames << frame;
        m_groups << groupCaption;
        grid->addWidget(frame, group / 2, group % 2);
    }
    auto* update = makeButton(page, "cmdUpdate", QStringLiteral("Update"));
    grid->addWidget(update, 2, 1, Qt::AlignRight);
    grid->setRowStretch(3, 1);

    // The window may be smaller than its boxes; they scroll rather than squeeze.
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    resize(page->sizeHint() + QSize(24, 8));

    connect(update, &QPushButton::clicked, this, &FrmAddionalFieldCaptions::save);
}

void FrmAddionalFieldCaptions::load() {
    setWindowTitle(captionFor(Kind == RecordOwner::Location
                                  ? QStringLiteral("Edit Additional Location Information Fields")
                                  : QStringLiteral("Edit Additional Equipment Information Fields")));
    PopulateCaptionEditor();
}

void FrmAddionalFieldCaptions::PopulateCaptionEditor() {
    const std::optional<FieldConfiguration> configuration = FieldStore(*m_ctx.db, Kind).configuration();
    if (!configuration)
        return;
    for (int i = 0; i < kUserFieldCount; ++i) {
        const auto& caption = configuration->captions[static_cast<size_t>(i)];
        if (!caption)
            continue;
        m_captions.at(i)->setText(*caption);
        m_captions.at(i)->setCursorPosition(0);
        m_visible.at(i)->setChecked(configuration->visible[static_cast<size_t>(i)]);
    }
    for (int group = 0; group < kUserFieldGroups; ++group) {
        const QString caption = configuration->groups[static_cast<size_t>(group)].value_or(QString());
        m_frames.at(group)->setTitle(caption);
        m_groups.at(group)->setText(caption);
        m_groups.at(group)->setCursorPosition(0);
    }
}

void FrmAddionalFieldCaptions::save() {
    FieldConfiguration configuration;
    for (int i = 0; i < kUserFieldCount; ++i) {
        configuration.captions[static_cast<size_t>(i)] = m_captions.at(i)->text();
        configuration.visible[static_cast<size_t>(i)] = m_visible.at(i)->isChecked();
    }
    for (int group = 0; group < kUserFieldGroups; ++group)
        configuration.groups[static_cast<size_t>(group)] = m_groups.at(group)->text();
    if (guarded(*m_ctx.dialogs, this, [&] { FieldStore(*m_ctx.db, Kind).saveConfiguration(configuration); }))
        m_ctx.windows->showStatus(Kind == RecordOwner::Location
                                      ? QStringLiteral("Additional location information fields saved.")
                                      : QStringLiteral("Additional equipment information fields saved."));
}
