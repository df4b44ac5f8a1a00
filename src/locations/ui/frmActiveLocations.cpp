#include "locations/ui/frmActiveLocations.h"

#include "locations/store/LocationStore.h"
#include "locations/ui/DisplayInformation.h"
#include "locations/ui/FrmReassignLocation.h"
#include "locations/ui/LocationReports.h"
#include "locations/ui/frmCreateLocation.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FormHelpers.h"
#include "platform/Printer.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"

#include <QAction>
#include <QKeyEvent>
#include <QToolBar>

namespace {
const QString kCreateLocation = QStringLiteral("Create Location");
const QString kRefresh = QStringLiteral("Refresh");
const QString kName = QStringLiteral("LocName");
} // namespace

frmActiveLocations::frmActiveLocations(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_toolbar(new QToolBar(this)), m_list(new ReportList(this)) {
    setObjectName(QStringLiteral("frmActiveLocations"));
    setWindowTitle(captionFor(QStringLiteral("Active Location(s)")));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const char* tag : {"Create Location", "Print All", "Print Select", "Print All Details", "Print Select Details",
                            "Refresh", "Delete", "Reassign"}) {
        QAction* action = addToolButton(m_toolbar, QLatin1String(tag));
        connect(action, &QAction::triggered, this, [this, action] { toolbarClicked(action->data().toString()); });
    }
    m_list->setObjectName(QStringLiteral("LstStudenInformation"));
    m_list->setAccessibleName(QStringLiteral("Active locations"));
    connect(m_list, &ReportList::headerClicked, this, &frmActiveLocations::headerClicked);
    opensRowWindows(
        m_list, [this](int row, OnTooManyWindows how) { return openDetail(row, how); }, OnTooManyWindows::Ignore,
        OnTooManyWindows::Report);
    resize(Twips::toPixelsX(11000, this), Twips::toPixelsY(6000, this));
}

void frmActiveLocations::load() {
    populateTree(QString());
}

void frmActiveLocations::populateTree(const QString& Order) {
    m_list->setColumns(LocationStore::activeListColumns());
    m_list->setRows(LocationStore(*m_ctx.db).activeLocations(m_sort.next(Order)));
}

void frmActiveLocations::headerClicked(int column) {
    const QString tag = m_list->columnTag(column);
    if (!sortsBy(LocationStore::activeListColumns(), tag))
        return;
    guarded(*m_ctx.dialogs, this, [&] { populateTree(tag); });
}

bool frmActiveLocations::openDetail(int row, OnTooManyWindows onTooMany) {
    const QString locId = m_list->rowTag(row).toString();
    const QString caption = m_list->text(row, kName) + QStringLiteral(" Detailed Information");
    return openWindow<DisplayInformation>(
               m_ctx, this,
               [&](DisplayInformation& w) {
                   w.LocId = locId;
                   w.setWindowTitle(caption);
               },
               onTooMany) != nullptr;
}

void frmActiveLocations::toolbarClicked(const QString& tag) {
    if (m_list->rowCount() == 0 && tag != kCreateLocation && tag != kRefresh) {
        m_ctx.dialogs->message(this, QStringLiteral("Insufficient location(s) to carry out this operation"),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    if (tag == kCreateLocation) {
        openWindow<frmCreateLocation>(m_ctx, this, [this](frmCreateLocation& w) { w.RefreshF = this; });
    } else if (tag == kRefresh) {
        // The remembered column survives a refresh, so the list comes back sorted the other way round.
        const QString remembered = m_sort.remembered();
        guarded(*m_ctx.dialogs, this, [&] { populateTree(remembered); });
        m_sort.setRemembered(remembered);
    } else if (tag == QLatin1String("Delete")) {
        guarded(*m_ctx.dialogs, this, [&] { deleteSelected(); });
    } else if (tag == QLatin1String("Reassign")) {
        reassignSelected();
    } else {
        guarded(*m_ctx.dialogs, this, [&] { print(tag); });
    }
}

void frmActiveLocations::deleteSelected() {
    const int n = m_list->rowCount();
    const auto refuse = [&](const LocationUse& use) {
        QString text;
        if (use.units > 0) {
            // "creat": the system's given spelling, kept on purpose.
            text = QStringLiteral("This location cannot be deleted at this time because it currently has asset(s) "
                                  "assigned to it.\n") +
                   (n == 1 ? QStringLiteral("To delete this location, first creat another location and then reassign "
                                            "the asset to that location")
                           : QStringLiteral("To delete this location reassign the asset to that location"));
        } else {
            text = QStringLiteral("%1 unit(s) entered for this location are waiting in the holding table to be entered "
                                  "in the inventory, so the location cannot be deleted at this time.\n"
                                  "Enter them in the inventory and reassign them, or remove them from the holding "
                                  "table, first.")
                       .arg(use.waiting);
            if (use.waitingElsewhere > 0)
                text += QStringLiteral("\n%1 of them are in the holding table of another workstation.")
                            .arg(use.waitingElsewhere);
        }
        m_ctx.dialogs->message(this, text, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    };
    LocationStore store(*m_ctx.db);
    for (int row : m_list->selectedRows()) {
        const qint64 locId = m_list->rowTag(row).toLongLong();
        if (const LocationUse use = store.use(locId); use.inUse())
            return refuse(use);
        if (m_ctx.dialogs->message(this, QStringLiteral("Are you sure you want to delete the selected items"),
                                   Dialogs::Buttons::YesNoDefaultNo) == Dialogs::Answer::Yes &&
            !store.retireIfEmpty(locId))
            return refuse(store.use(locId)); // equipment arrived while the question was open
    }
    populateTree(QString());
}

void frmActiveLocations::reassignSelected() {
    if (m_list->rowCount() < 2) {
        m_ctx.dialogs->message(this, QStringLiteral("Insufficient location(s) to carry out this operation"),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    // "reasign": the system's given spelling, kept on purpose.
    if (m_ctx.dialogs->message(this,
                               QStringLiteral("Warning this action will reasign all equipment to another location and "
                                              "then delete the selected location\nDo you want to continue"),
                               Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes)
        return;
    const int row = m_list->chosenRow();
    if (row < 0) {
        m_ctx.dialogs->message(this, QStringLiteral("Select the location whose equipment is to be reassigned"));
        return;
    }
    const QString name = m_list->text(row, kName);
    const qint64 sourceId = m_list->rowTag(row).toLongLong();
    openWindow<FrmReassignLocation>(m_ctx, this, [&](FrmReassignLocation& w) {
        w.setWindowTitle(captionFor(QStringLiteral("Reassign Equipment and Delete Location ")) + name);
        w.Tag = sourceId;
        w.LocationName = name;
        w.RefreshF = this;
    });
}

void frmActiveLocations::print(const QString& tag) {
    const bool selectedOnly = tag.startsWith(QLatin1String("Print Select"));
    QList<QStringList> rows;
    for (int row = 0; row < m_list->rowCount(); ++row)
        if (!selectedOnly || m_list->isRowSelected(row))
            rows << m_list->cells(row);
    std::unique_ptr<Printer> printer = m_ctx.newPrinter();
    if (tag.endsWith(QLatin1String("Details"))) {
        LocationStore store(*m_ctx.db);
        printLocationDetailListing(*printer, rows, selectedOnly, m_ctx.clock->today(),
                                   [&](qint64 locId) { return store.typeCounts(locId); });
    } else {
        printLocationListing(*printer, rows, selectedOnly, m_ctx.clock->today());
    }
}

void frmActiveLocations::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    stretchListUnderToolbar(this, m_toolbar, m_list);
}
