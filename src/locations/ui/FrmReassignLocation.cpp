#include "locations/ui/FrmReassignLocation.h"

#include "data/QuotedValue.h"
#include "locations/store/LocationStore.h"
#include "locations/ui/frmActiveLocations.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

FrmReassignLocation::FrmReassignLocation(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_list(new ReportList(this)) {
    setObjectName(QStringLiteral("FrmReassignLocation"));
    setWindowTitle(captionFor(QStringLiteral("Reassign Equipment and Delete Location")));
    m_list->setObjectName(QStringLiteral("LstStudenInformation"));
    m_list->setAccessibleName(QStringLiteral("Location to receive the equipment"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* submitButton = makeButton(this, "Command1", QStringLiteral("Submit"));
    auto* cancelButton = makeButton(this, "Command2", QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(submitButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    connect(submitButton, &QPushButton::clicked, this, &FrmReassignLocation::submit);
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_list, &ReportList::rowDoubleClicked, this, &FrmReassignLocation::submit);
    resize(Twips::toPixelsX(9000, this), Twips::toPixelsY(5000, this));
}

void FrmReassignLocation::load() {
    m_list->setColumns(LocationStore::activeListColumns());
    // Retiring a location onto itself would leave its equipment at a location no list shows: it is not offered.
    std::vector<ListRow> rows = LocationStore(*m_ctx.db).activeLocationNameRows();
    std::erase_if(rows, [this](const ListRow& row) { return row.tag.toLongLong() == Tag; });
    m_list->setRows(rows);
}

void FrmReassignLocation::submit() {
    const int row = m_list->chosenRow();
    if (row < 0) {
        m_ctx.dialogs->message(this, QStringLiteral("Select the location that is to receive the equipment"));
        return;
    }
    const qint64 targetId = m_list->rowTag(row).toLongLong();
    qint64 units = 0;
    if (!guarded(*m_ctx.dialogs, this, [&] { units = LocationStore(*m_ctx.db).use(Tag).units; }))
        return;
    // The list's name is the one the user just chose; the count tells them what the Yes will do.
    // "euipment": the system's given spelling, kept on purpose.
    if (m_ctx.dialogs->message(
            this,
            QStringLiteral("Continuing this action will reassign all euipment from ") + quotedValue(LocationName) +
                QStringLiteral(" and delete that location\n") +
                QStringLiteral("%1 unit(s) will move to %2.\n").arg(units).arg(quotedValue(m_list->text(row, 1))) +
                QStringLiteral("Do you want to continue"),
            Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes)
        return;
    if (!guarded(*m_ctx.dialogs, this, [&] { LocationStore(*m_ctx.db).reassignAndRetire(Tag, targetId); }))
        return;
    if (RefreshF)
        guarded(*m_ctx.dialogs, this, [&] { RefreshF->populateTree(QString()); });
    m_ctx.dialogs->message(this, QStringLiteral("Changes have been saved"), Dialogs::Buttons::Ok,
                           Dialogs::Icon::Information);
    close();
}
