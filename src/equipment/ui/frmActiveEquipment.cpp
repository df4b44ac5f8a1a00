#include "equipment/ui/frmActiveEquipment.h"

#include "data/QuotedValue.h"
#include "equipment/store/EquipmentStore.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "equipment/ui/frmEditEquipment.h"
#include "locations/store/LocationStore.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/LabelEntry.h"
#include "platform/Navigator.h"
#include "platform/OpenWindow.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {
const QString kCreateEquipment = QStringLiteral("Create Equipment");
const QString kRefresh = QStringLiteral("Refresh");
const QString kDeleteSelected = QStringLiteral("Delete Selected");
constexpr int kSerialColumn = 4;
} // namespace

frmActiveEquipment::frmActiveEquipment(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_toolbar(new QToolBar(this)), m_list(new ReportList(this)) {
    setObjectName(QStringLiteral("frmActiveEquipment"));
    setWindowTitle(captionFor(QStringLiteral("Manage Equipment")));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [this](const QString& tag) {
        QAction* action = addToolButton(m_toolbar, tag);
        connect(action, &QAction::triggered, this, [this, tag] { toolbarClicked(tag); });
        return action;
    };
    add(kCreateEquipment);
    QAction* print = add(QStringLiteral("Print"));
    auto* printMenu = new QMenu(this);
    for (const char* entry : {"Print All", "Print Select", "Print All Details", "Print Select Details"}) {
        const QString tag = QLatin1String(entry);
        connect(printMenu->addAction(tag), &QAction::triggered, this, [this, tag] { toolbarClicked(tag); });
    }
    printMenu->addSeparator();
    printMenu->addAction(m_list->exportAction());
    printMenu->addAction(offerUnitLabels(m_list, m_ctx));
    print->setMenu(printMenu);
    if (auto* button = qobject_cast<QToolButton*>(m_toolbar->widgetForAction(print)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
    add(kRefresh);
    add(kDeleteSelected);

    m_list->setObjectName(QStringLiteral("LstStudenInformation"));
    m_list->setAccessibleName(QStringLiteral("Active equipment"));
    connect(m_list, &ReportList::headerClicked, this, [this](int column) {
        const QString key = m_list->columnTag(column);
        guarded(*m_ctx.dialogs, this, [&] { sortList(column, key); });
    });
    opensRowWindows(
        m_list, [this](int row, OnTooManyWindows how) { return openDetail(row, how); }, OnTooManyWindows::Ignore,
        OnTooManyWindows::Report);
    resize(Twips::toPixelsX(14000, this), Twips::toPixelsY(7000, this));
}

void frmActiveEquipment::load() {
    loadList(QString());
}

void frmActiveEquipment::loadList(const QString& key) {
    loadRows(m_sort.next(key));
}

void frmActiveEquipment::loadRows(const SortOrder& order) {
    m_list->setColumns(EquipmentStore::activeListColumns());
    m_list->setRows(EquipmentStore(*m_ctx.db).activeEquipment(order), EquipmentStore::activeListColumns());
}

// The rows in hand are re-sorted where they can be, as the statement would order them; a million rows need not
// travel again for that.
void frmActiveEquipment::sortList(int column, const QString& key) {
    const SortOrder order = m_sort.next(key);
    if (!sortsBy(EquipmentStore::activeListColumns(), key) || !m_list->sortRows(column, order.descending))
        loadRows(order);
}

bool frmActiveEquipment::openDetail(int row, OnTooManyWindows onTooMany) {
    const QString id = m_list->text(row, 0);
    const QString serial = m_list->text(row, kSerialColumn);
    return openWindow<frmEditEquipment>(
               m_ctx, this,
               [&](frmEditEquipment& w) {
                   w.Idnum = id;
                   w.ssn = serial;
               },
               onTooMany) != nullptr;
}

void frmActiveEquipment::toolbarClicked(const QString& tag) {
    if (m_list->rowCount() == 0 && tag != kCreateEquipment && tag != kRefresh) {
        m_ctx.dialogs->message(this, QStringLiteral("Insufficient equipment to carry out this operation"),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    if (tag == kCreateEquipment)
        guarded(*m_ctx.dialogs, this, [&] { createEquipment(); });
    else if (tag == kRefresh)
        guarded(*m_ctx.dialogs, this, [&] { loadList(QString()); });
    else if (tag == kDeleteSelected)
        guarded(*m_ctx.dialogs, this, [&] { deleteSelected(); });
}

void frmActiveEquipment::createEquipment() {
    if (LocationStore(*m_ctx.db).HasActiveLocations()) {
        openWindow<frmCreateEquipment>(m_ctx, this);
        return;
    }
    // "locaion(s)": the system's given spelling, kept on purpose.
    if (m_ctx.dialogs->message(this,
                               QStringLiteral("Insufficient locaion(s) to carry out this operation\n"
                                              "You must create a location before entering equipment\n"
                                              "Do you want to create a location now?"),
                               Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes)
        m_ctx.navigator->createLocation(this);
}

void frmActiveEquipment::deleteSelected() {
    EquipmentStore store(*m_ctx.db);
    const QList<int> rows = m_list->selectedRows();
    // One question a unit, each naming which of how many it is about.
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (m_ctx.dialogs->message(this,
                                   QStringLiteral("Are you sure you want to delete the selected items\n"
                                                  "Unit %1 of %2, serial number \"%3\"")
                                       .arg(i + 1)
                                       .arg(rows.size())
                                       .arg(quotedValue(m_list->text(rows[i], kSerialColumn))),
                                   Dialogs::Buttons::YesNoDefaultNo) == Dialogs::Answer::Yes)
            store.deleteEquipment(m_list->rowTag(rows[i]).toLongLong());
    loadList(QString());
}

void frmActiveEquipment::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    stretchListUnderToolbar(this, m_toolbar, m_list);
}
