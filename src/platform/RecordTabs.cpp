#include "platform/RecordTabs.h"

#include "platform/FormHelpers.h"
#include "platform/ReportList.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QWidget* makeNotesTab(const QString& listCaption) {
    auto* page = new QWidget;
    auto* notes = new ReportList(page);
    notes->setObjectName(QStringLiteral("LstNotes"));
    notes->setAccessibleName(listCaption);
    auto* add = makeButton(page, "CmdAddNote", QStringLiteral("Add Note"));
    auto* refresh = makeButton(page, "CmdRefreshNote", QStringLiteral("Refresh Note Listing"));
    add->setEnabled(false);
    refresh->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(refresh);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(notes);
    layout->addLayout(buttons);
    return page;
}

QWidget* makeFieldsTab(QList<QLabel*>& labels, QList<QLineEdit*>& boxes) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    for (int frameIndex = 0; frameIndex < 4; ++frameIndex) {
        auto* frame = new QGroupBox(page);
        frame->setObjectName(QStringLiteral("Frame%1").arg(frameIndex + 5));
        auto* form = new QFormLayout(frame);
        for (int i = 0; i < 5; ++i) {
            const int number = frameIndex * 5 + i + 1;
            auto* box = new QLineEdit(frame);
            box->setObjectName(QStringLiteral("txtField%1").arg(number));
            box->setAccessibleName(QStringLiteral("Field %1").arg(number));
            auto* label = new QLabel(frame);
            label->setObjectName(QStringLiteral("lblField%1").arg(number));
            label->setBuddy(box);
            form->addRow(label, box);
            labels << label;
            boxes << box;
        }
        grid->addWidget(frame, frameIndex / 2, frameIndex % 2);
    }
    auto* update = makeButton(page, "cmdUpdate", QStringLiteral("Update"));
    update->setEnabled(false);
    grid->addWidget(update, 2, 1, Qt::AlignRight);
    return page;
}
