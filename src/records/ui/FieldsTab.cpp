#include "records/ui/FieldsTab.h"

#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/WindowHost.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

FieldsTab::FieldsTab(AppContext& ctx, RecordOwner kind, std::function<qint64()> ownerId, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_kind(kind), m_ownerId(std::move(ownerId)) {
    auto* grid = new QGridLayout(this);
    for (int group = 0; group < kUserFieldGroups; ++group) {
        auto* frame = new QGroupBox(this);
        frame->setObjectName(QStringLiteral("Frame%1").arg(group + 5));
        auto* form = new QFormLayout(frame);
        for (int i = 0; i < kUserFieldsPerGroup; ++i) {
            const int number = group * kUserFieldsPerGroup + i + 1;
            auto* box = new QLineEdit(frame);
            box->setObjectName(QStringLiteral("txtField%1").arg(number));
            box->setAccessibleName(QStringLiteral("Field %1").arg(number));
            auto* label = new QLabel(frame);
            // The unit window's sixth label is spelled so.
            label->setObjectName(number == 6 && kind == RecordOwner::Equipment
                                     ? QStringLiteral("lblfield6")
                                     : QStringLiteral("lblField%1").arg(number));
            label->setBuddy(box);
            form->addRow(label, box);
            m_labels << label;
            m_boxes << box;
        }
        m_frames << frame;
        grid->addWidget(frame, group / 2, group % 2);
    }
    auto* update = makeButton(this, "cmdUpdate", QStringLiteral("Update"));
    grid->addWidget(update, 2, 1, Qt::AlignRight);
    grid->setRowStretch(3, 1);
    connect(update, &QPushButton::clicked, this, &FieldsTab::save);
}

void FieldsTab::PopulateFieldCaptions() {
    const std::optional<FieldConfiguration> configuration = FieldStore(*m_ctx.db, m_kind).configuration();
    if (!configuration)
        return;
    for (int i = 0; i < kUserFieldCount; ++i) {
        const auto& caption = configuration->captions[static_cast<size_t>(i)];
        if (!caption)
            continue;
        const bool shown = configuration->visible[static_cast<size_t>(i)];
        QLabel* label = m_labels.at(i);
        QLineEdit* box = m_boxes.at(i);
        label->setText(*caption);
        label->setEnabled(shown);
        label->setVisible(shown);
        box->setVisible(shown);
        box->setEnabled(shown);
        if (!caption->isEmpty())
            box->setAccessibleName(*caption);
    }
    for (int group = 0; group < kUserFieldGroups; ++group) {
        QGroupBox* frame = m_frames.at(group);
        frame->setTitle(configuration->groups[static_cast<size_t>(group)].value_or(QString()));
        // A frame whose fields are all hidden would be an empty grey box.
        const auto first = m_boxes.cbegin() + group * kUserFieldsPerGroup;
        frame->setVisible(std::any_of(first, first + kUserFieldsPerGroup, [](QLineEdit* b) { return !b->isHidden(); }));
    }
}

void FieldsTab::loadValues() {
    const std::optional<FieldValues> values = FieldStore(*m_ctx.db, m_kind).values(m_ownerId());
    if (!values)
        return;
    for (int i = 0; i < kUserFieldCount; ++i) {
        QLineEdit* box = m_boxes.at(i);
        // A reload (the location's header click, the unit's reassignment) keeps what was typed and not yet saved.
        if (const auto& value = (*values)[static_cast<size_t>(i)]; value && !box->isModified()) {
            box->setText(*value);
            box->setCursorPosition(0);
        }
    }
}

void FieldsTab::save() {
    TypedFieldValues values;
    for (int i = 0; i < kUserFieldCount; ++i)
        values[static_cast<size_t>(i)] = m_boxes.at(i)->text();
    guarded(*m_ctx.dialogs, this, [&] {
        if (FieldStore(*m_ctx.db, m_kind).saveValues(m_ownerId(), values)) {
            for (QLineEdit* box : m_boxes)
                box->setModified(false);
            m_ctx.windows->showStatus(QStringLiteral("User defined information saved."));
            return;
        }
        m_ctx.dialogs->message(this,
                               m_kind == RecordOwner::Location
                                   ? QStringLiteral("This location no longer exists; nothing was saved")
                                   : QStringLiteral("This equipment no longer exists; it may have been deleted"),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    });
}
