#include "platform/RecordTabs.h"

#include "platform/FormHelpers.h"
#include "platform/ReportList.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

QWidget* makeAttachmentsTab(const QString& listCaption) {
    auto* page = new QWidget;
    auto* attachments = new ReportList(page);
    attachments->setObjectName(QStringLiteral("LstAttachment"));
    attachments->setAccessibleName(listCaption);
    auto* currentOnly = new QCheckBox(QStringLiteral("Show current version only"), page);
    currentOnly->setObjectName(QStringLiteral("Check1"));
    auto* upload = makeButton(page, "CmdUpload", QStringLiteral("Upload Attachment"));
    currentOnly->setEnabled(false);
    upload->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(currentOnly);
    buttons->addStretch();
    buttons->addWidget(upload);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(attachments);
    layout->addLayout(buttons);
    return page;
}
