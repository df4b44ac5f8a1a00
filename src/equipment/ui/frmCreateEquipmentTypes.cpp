#include "equipment/ui/frmCreateEquipmentTypes.h"

#include "equipment/store/EquipmentTypeStore.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

frmCreateEquipmentTypes::frmCreateEquipmentTypes(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_list(new ReportList(this)) {
    setObjectName(QStringLiteral("frmCreateEquipmentTypes"));
    setWindowTitle(captionFor(QStringLiteral("Manage Equipment Types")));

    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(addToolButton(toolbar, QStringLiteral("Delete")), &QAction::triggered, this,
            &frmCreateEquipmentTypes::deleteSelected);

    auto* entryFrame = new QGroupBox(QStringLiteral("Equipment Types"), this);
    m_name = makeTextBox(entryFrame, "TxtEquipmentType", QStringLiteral("Equipment Type"));
    auto* addButton = makeButton(entryFrame, "Command1", QStringLiteral("Add"));
    auto* entry = new QHBoxLayout(entryFrame);
    entry->addWidget(makeBuddyLabel(entryFrame, QStringLiteral("Equipment Type"), m_name));
    entry->addWidget(m_name, 1);
    entry->addWidget(addButton);

    auto* listFrame = new QGroupBox(QStringLiteral("Current Equipment Types"), this);
    m_list->setParent(listFrame);
    m_list->setObjectName(QStringLiteral("LstStudenInformation"));
    m_list->setAccessibleName(QStringLiteral("Current Equipment Types"));
    (new QVBoxLayout(listFrame))->addWidget(m_list);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(toolbar);
    layout->addWidget(entryFrame);
    layout->addWidget(listFrame, 1);

    connect(addButton, &QPushButton::clicked, this, &frmCreateEquipmentTypes::add);
    connect(m_name, &QLineEdit::returnPressed, addButton, &QPushButton::click);
    Twips::setFixedSize(this, 4800, 8085);
}

void frmCreateEquipmentTypes::load() {
    m_list->setColumns(EquipmentTypeStore::listColumns());
    m_list->setRows(EquipmentTypeStore(*m_ctx.db).types());
}

void frmCreateEquipmentTypes::add() {
    guarded(*m_ctx.dialogs, this, [&] {
        EquipmentTypeStore(*m_ctx.db).add(m_name->text());
        m_name->clear();
        load();
    });
}

void frmCreateEquipmentTypes::deleteSelected() {
    guarded(*m_ctx.dialogs, this, [&] {
        EquipmentTypeStore store(*m_ctx.db);
        for (int row : m_list->selectedRows())
            if (m_ctx.dialogs->message(this, QStringLiteral("Are you sure you want to delete the selected items"),
                                       Dialogs::Buttons::YesNoDefaultNo) == Dialogs::Answer::Yes)
                store.remove(m_list->rowTag(row).toLongLong());
        load();
    });
}
