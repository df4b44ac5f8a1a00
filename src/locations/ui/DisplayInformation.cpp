#include "locations/ui/DisplayInformation.h"

#include "data/DisplayRules.h"
#include "locations/store/LocationStore.h"
#include "locations/ui/LocationReports.h"
#include "locations/ui/StateList.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/LabelEntry.h"
#include "platform/ListChoice.h"
#include "platform/Printer.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"
#include "platform/WindowKeys.h"
#include "records/ui/AttachmentsTab.h"
#include "records/ui/FieldsTab.h"
#include "records/ui/NotesTab.h"

#include <QAction>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
constexpr int kWidthTwips = 13170;
constexpr int kHeightTwips = 9720;

// A stored value shown in a box: Null leaves the box as it is.
void showValue(QLineEdit* box, const std::optional<QString>& value) {
    if (value)
        box->setText(nbspAsBlank(*value));
}

} // namespace

DisplayInformation::DisplayInformation(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_menuBar(new QMenuBar(this)), m_toolbar(new QToolBar(this)),
      m_tabs(new QTabWidget(this)), m_location(this), m_contact(this) {
    setObjectName(QStringLiteral("DisplayInformation"));
    setWindowTitle(captionFor(QStringLiteral("Detail Information")));
    // Without a Cancel button, Esc closes it as the close box does.
    closesOnEscape(this);
    m_menuBar->setObjectName(QStringLiteral("DisplayInformationMenu"));
    m_menuBar->hide();
    m_ctx.navigator->fillMenuBar(m_menuBar, this, Navigator::Menu::DetailWindow);

    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // "Resign" (for reassign): the system's given spelling, kept on purpose.
    for (const char* description : {"Print", "Resign", "Stocktake"}) {
        QAction* action = addToolButton(m_toolbar, QLatin1String(description));
        connect(action, &QAction::triggered, this, [this, action] { toolbarClicked(action->data().toString()); });
    }

    // The editor's caption names the location as its name box shows it.
    const auto noteOwner = [this] { return NotesTab::Owner{locationId(), m_location.name->text()}; };
    m_notes = new NotesTab(ctx, RecordOwner::Location, noteOwner);
    m_fields = new FieldsTab(ctx, RecordOwner::Location, [this] { return locationId(); });
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(buildGeneralTab(), QStringLiteral("General Location Information"));
    m_tabs->addTab(m_notes, QStringLiteral("Location Notes"));
    m_attachments = new AttachmentsTab(ctx, RecordOwner::Location, [this] { return locationId(); });
    m_tabs->addTab(m_attachments, AttachmentsTab::caption(RecordOwner::Location));
    m_tabs->addTab(m_fields, QStringLiteral("User Defined Location Information"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_tabs);
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

DisplayInformation::~DisplayInformation() {
    // The main window may have taken the menu bar into its own frame.
    delete m_menuBar.data();
}

QWidget* DisplayInformation::buildGeneralTab() {
    auto* page = new QWidget;
    m_location.frame->setParent(page);
    m_contact.frame->setParent(page);
    m_location.name->setReadOnly(true);
    m_location.name->installEventFilter(this);
    auto* editCompany = makeButton(m_location.frame, "cmdEditCompany", QStringLiteral("Update"));
    m_location.form->addRow(QString(), editCompany);
    auto* editContact = makeButton(m_contact.frame, "cmdEditContact", QStringLiteral("Update"));
    m_contact.form->addRow(QString(), editContact);

    auto* assetFrame = new QGroupBox(QStringLiteral("Current Asset List"), page);
    m_equipment = new ReportList(assetFrame);
    m_equipment->setObjectName(QStringLiteral("lstEquipmentList"));
    m_equipment->setAccessibleName(QStringLiteral("Current Asset List"));
    auto* assetLayout = new QVBoxLayout(assetFrame);
    assetLayout->setContentsMargins(2, 2, 2, 2);
    assetLayout->addWidget(m_equipment);
    offerUnitLabels(m_equipment, m_ctx);
    auto* statisticsFrame = new QGroupBox(QStringLiteral("Statistics"), page);
    m_statistics = new ReportList(statisticsFrame);
    m_statistics->setObjectName(QStringLiteral("lstStatistics"));
    m_statistics->setAccessibleName(QStringLiteral("Statistics"));
    auto* statisticsLayout = new QVBoxLayout(statisticsFrame);
    statisticsLayout->setContentsMargins(2, 2, 2, 2);
    statisticsLayout->addWidget(m_statistics);

    // The asset list takes the whole width, so that its eight columns are all in sight.
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->addWidget(m_location.frame, 0, 0);
    grid->addWidget(m_contact.frame, 0, 1);
    grid->addWidget(statisticsFrame, 0, 2);
    grid->addWidget(assetFrame, 1, 0, 1, 3);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 2);
    grid->setRowStretch(1, 1);

    connect(editCompany, &QPushButton::clicked, this, &DisplayInformation::updateAddress);
    connect(editContact, &QPushButton::clicked, this, &DisplayInformation::updateContact);
    // The window has no handling of its own for too many windows: it shows as any other failure.
    opensRowWindows(
        m_equipment,
        [this](int row, OnTooManyWindows how) {
            return m_ctx.navigator->equipmentDetail(this, m_equipment->rowTag(row).toLongLong(),
                                                    m_equipment->text(row, QStringLiteral("SerialNumber")), how);
        },
        OnTooManyWindows::AsFailure, OnTooManyWindows::AsFailure);
    connect(m_equipment, &ReportList::headerClicked, this, [this](int column) {
        const QString tag = m_equipment->columnTag(column);
        guarded(*m_ctx.dialogs, this, [&] { PopulateLocation(tag); });
    });
    return page;
}

void DisplayInformation::load() {
    popNotes();
    PopulateListAtt();
    PopulateFieldCaptions();
    PopulateLocation(QString());
}

void DisplayInformation::popNotes() {
    m_notes->popNotes();
}

void DisplayInformation::PopulateListAtt() {
    m_attachments->PopulateListAtt();
}

void DisplayInformation::PopulateFieldCaptions() {
    m_fields->PopulateFieldCaptions();
}

void DisplayInformation::PopulateLocation(const QString& sortName) {
    LocationStore store(*m_ctx.db);
    const qint64 id = locationId();
    if (const auto location = store.location(id)) {
        const LocationRecord& l = *location;
        showValue(m_location.name, l.name);
        m_location.name->setCursorPosition(0); // a long name shows from its start
        showValue(m_location.addressOne, l.addressOne);
        showValue(m_location.addressTwo, l.addressTwo);
        showValue(m_location.city, l.city);
        showValue(m_location.zip, l.zip);
        showValue(m_location.phone, l.phone);
        if (l.stateId)
            selectState(m_location.states, *l.stateId);
    }
    // Read apart from the address, so that a location whose state is unknown still shows the values "Update"
    // writes back.
    m_fields->loadValues();
    if (const auto contact = store.contact(id)) {
        const ContactRecord& c = *contact;
        showValue(m_contact.firstName, c.firstName);
        showValue(m_contact.middleName, c.middleName);
        showValue(m_contact.lastName, c.lastName);
        showValue(m_contact.title, c.title);
        showValue(m_contact.phone, c.phone);
        showValue(m_contact.cellPhone, c.cellPhone);
        showValue(m_contact.email, c.email);
    }

    m_equipment->setColumns(LocationStore::equipmentListColumns());
    m_equipment->setRows(store.equipmentRows(id, m_sort.next(sortName)), LocationStore::equipmentListColumns());
    m_statistics->setColumns(LocationStore::typeCountColumns());
    m_statistics->setRows(store.typeCountRows(id));
}

void DisplayInformation::updateAddress() {
    const LocationAddress address = m_location.address();
    guarded(*m_ctx.dialogs, this, [&] { LocationStore(*m_ctx.db).updateAddress(locationId(), address); });
}

void DisplayInformation::updateContact() {
    const LocationContact contact = m_contact.contact();
    guarded(*m_ctx.dialogs, this, [&] { LocationStore(*m_ctx.db).updateContact(locationId(), contact); });
}

void DisplayInformation::toolbarClicked(const QString& description) {
    if (description == QLatin1String("Stocktake")) {
        guarded(*m_ctx.dialogs, this,
                [&] { m_ctx.navigator->stocktake(this, locationId(), OnTooManyWindows::AsFailure); });
        return;
    }
    if (description == QLatin1String("Resign")) {
        const int count = static_cast<int>(m_equipment->selectedRows().size());
        if (count > 0)
            m_ctx.dialogs->message(this, QStringLiteral("This action will resign the selected (%1) equipment to a new "
                                                        "location")
                                             .arg(count));
        return;
    }
    guarded(*m_ctx.dialogs, this, [&] { printReport(); });
}

void DisplayInformation::printReport() {
    LocationDetailReport report;
    report.name = m_location.name->text();
    report.addressOne = m_location.addressOne->text();
    report.addressTwo = m_location.addressTwo->text();
    report.city = m_location.city->text();
    const QListWidgetItem* state = chosenItem(m_location.states);
    report.state = state ? state->text() : QString();
    report.zip = m_location.zip->text();
    report.contact = m_contact.contact();
    addListRows(report, *m_statistics, *m_equipment);
    std::unique_ptr<Printer> printer = m_ctx.newPrinter();
    printLocationDetailReport(*printer, report, m_ctx.clock->now());
}

bool DisplayInformation::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_location.name && event->type() == QEvent::MouseButtonRelease)
        m_ctx.dialogs->message(this, QStringLiteral("Once a location has been submitted it name cannot be changed."),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Critical, QStringLiteral("Kavrel"));
    return QWidget::eventFilter(watched, event);
}
