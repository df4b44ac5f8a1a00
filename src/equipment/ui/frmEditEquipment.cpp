#include "equipment/ui/frmEditEquipment.h"

#include "assignment/store/AssignmentStore.h"
#include "data/DateText.h"
#include "data/DisplayRules.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "equipment/store/UnitStore.h"
#include "equipment/ui/AssignmentHistory.h"
#include "locations/store/LocationStore.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ListChoice.h"
#include "platform/Navigator.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"
#include "records/ui/AttachmentsTab.h"
#include "records/ui/FieldsTab.h"
#include "records/ui/NotesTab.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int kWidthTwips = 12945;
constexpr int kHeightTwips = 9210;

} // namespace

frmEditEquipment::frmEditEquipment(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_menuBar(new QMenuBar(this)), m_tabs(new QTabWidget(this)),
      m_fields(this, EquipmentFields::Pickers::Type),
      m_barcodeNumber(makeTextBox(m_fields.frame, "txtBarCodeNumber", QStringLiteral("Barcode Number"))),
      m_barcodeIdentification(
          makeTextBox(m_fields.frame, "txtBarCodeIdentification", QStringLiteral("Barcode Identification"))) {
    setObjectName(QStringLiteral("frmEditEquipment"));
    m_menuBar->setObjectName(QStringLiteral("frmEditEquipmentMenu"));
    m_menuBar->hide();
    m_ctx.navigator->fillMenuBar(m_menuBar, this, Navigator::Menu::DetailWindow);

    // The note editor's caption names the unit by the serial number its opener listed.
    const auto noteOwner = [this] { return NotesTab::Owner{unitId(), ssn}; };
    m_notes = new NotesTab(ctx, RecordOwner::Equipment, noteOwner);
    m_userFields = new FieldsTab(ctx, RecordOwner::Equipment, [this] { return unitId(); });
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->addTab(buildInformationTab(), QStringLiteral("Equipment Information"));
    m_tabs->addTab(m_notes, QStringLiteral("Equipment Notes"));
    m_attachments = new AttachmentsTab(ctx, RecordOwner::Equipment, [this] { return unitId(); });
    m_tabs->addTab(m_attachments, AttachmentsTab::caption(RecordOwner::Equipment));
    m_tabs->addTab(m_userFields, QStringLiteral("User Defined Information"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_tabs);
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

frmEditEquipment::~frmEditEquipment() {
    // The main window may have taken the menu bar into its own frame.
    delete m_menuBar.data();
}

QWidget* frmEditEquipment::buildInformationTab() {
    auto* page = new QWidget;
    QGroupBox* unitFrame = m_fields.frame;
    unitFrame->setParent(page);
    m_barcodeNumber->setEnabled(false);
    m_barcodeIdentification->setEnabled(false);
    // One row high: the stored type shows, the others scroll by.
    m_fields.types->setFixedHeight(m_fields.types->fontMetrics().height() + 8);
    auto* save = makeButton(unitFrame, "cmdSaveChanges", QStringLiteral("Save Changes"));
    auto* cancel = makeButton(unitFrame, "cmdCancel", QStringLiteral("Cancel"));
    auto* printLabel = makeButton(unitFrame, "cmdPrintLabel", QStringLiteral("Print Label..."));
    using enum UnitField;
    const EquipmentFields& f = m_fields;
    QFormLayout* form = f.column({f.box(Manufacturer), f.box(DatePurchased), f.box(PurchasePrice), f.box(SerialNumber),
                                  f.box(ModelNumber), f.box(AssetTagNumber), m_barcodeNumber, m_barcodeIdentification,
                                  f.box(CpuSpeed), f.box(Memory), f.box(HardDriveCapacity), f.box(Monitor),
                                  f.box(Mouse), f.box(Keyboard), f.box(OperatingSystem)});
    form->insertRow(0, makeBuddyLabel(unitFrame, m_fields.types->accessibleName(), m_fields.types), m_fields.types);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(printLabel);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* unitLayout = new QVBoxLayout(unitFrame);
    unitLayout->addLayout(form);
    unitLayout->addStretch();
    unitLayout->addLayout(buttons);

    auto* assignmentFrame = new QGroupBox(QStringLiteral("Assignment Information"), page);
    auto* historyFrame = new QGroupBox(QStringLiteral("Assignment History"), assignmentFrame);
    m_history = makeHistoryList(historyFrame);
    auto* historyLayout = new QVBoxLayout(historyFrame);
    historyLayout->addWidget(m_history);
    auto* editFrame = new QGroupBox(QStringLiteral("Edit Assignment"), assignmentFrame);
    m_currentLocation = makeTextBox(editFrame, "txtCurrentLocation", QStringLiteral("Current Location"));
    m_locations = new QListWidget(editFrame);
    m_locations->setObjectName(QStringLiteral("List2"));
    m_locations->setAccessibleName(QStringLiteral("Select New Location"));
    auto* reassignButton = makeButton(editFrame, "cmdSaveAssignment", QStringLiteral("Reassign"));
    auto* editLayout = new QVBoxLayout(editFrame);
    editLayout->addWidget(makeBuddyLabel(editFrame, m_currentLocation->accessibleName(), m_currentLocation));
    editLayout->addWidget(m_currentLocation);
    editLayout->addWidget(makeBuddyLabel(editFrame, m_locations->accessibleName(), m_locations));
    editLayout->addWidget(m_locations, 1);
    editLayout->addWidget(reassignButton, 0, Qt::AlignRight);
    auto* assignmentLayout = new QVBoxLayout(assignmentFrame);
    assignmentLayout->addWidget(historyFrame, 1);
    assignmentLayout->addWidget(editFrame, 1);

    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(unitFrame, 1);
    layout->addWidget(assignmentFrame, 1);

    connect(save, &QPushButton::clicked, this, &frmEditEquipment::saveChanges);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(printLabel, &QPushButton::clicked, this, [this] { m_ctx.navigator->printLabels(this, {unitId()}); });
    connect(reassignButton, &QPushButton::clicked, this, &frmEditEquipment::reassign);
    return page;
}

void frmEditEquipment::load() {
    setWindowTitle(QStringLiteral("View/Edit Detailed Equipment Information for Item Number : ") + Idnum +
                   QStringLiteral(", Serial Number : ") + ssn);
    popNotes();
    PopulateListAtt();
    m_userFields->PopulateFieldCaptions();
    m_fields.types->clear();
    m_fields.types->addItems(EquipmentTypeStore(*m_ctx.db).names());
    PopulateDetail();
    PopulateLocationList();
}

void frmEditEquipment::popNotes() {
    m_notes->popNotes();
}

void frmEditEquipment::PopulateListAtt() {
    m_attachments->PopulateListAtt();
}

void frmEditEquipment::PopulateDetail() {
    UnitStore store(*m_ctx.db);
    if (const auto unit = store.unit(unitId())) {
        m_fields.showUnit(*unit);
        EquipmentFields::showValue(m_currentLocation, unit->locationName);
    }
    showHistory(m_history, store.history(unitId()));
    m_userFields->loadValues();
}

void frmEditEquipment::PopulateLocationList() {
    m_locations->clear();
    for (const LocationIdName& location : LocationStore(*m_ctx.db).activeLocationNames()) {
        auto* item = new QListWidgetItem(location.name.toString(), m_locations);
        item->setData(Qt::UserRole, location.id);
    }
}

void frmEditEquipment::saveChanges() {
    const std::optional<UnitValues> values = m_fields.unitValues(*m_ctx.dialogs, this, m_ctx.clock->today());
    if (!values)
        return;
    guarded(*m_ctx.dialogs, this, [&] {
        if (!UnitStore(*m_ctx.db).save(unitId(), *values))
            return sayUnitGone();
        m_ctx.dialogs->message(this, QStringLiteral("Changes have been saved"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Information);
    });
}

void frmEditEquipment::reassign() {
    if (m_locations->count() == 0) {
        m_ctx.dialogs->message(this,
                               QStringLiteral("Currently there are no locations defined in the database\n"
                                              "You must create a location before proceeding"),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    const QListWidgetItem* picked = chosenItem(m_locations);
    if (!picked) {
        m_ctx.dialogs->message(this, QStringLiteral("No location selected"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        return;
    }
    const qint64 locId = picked->data(Qt::UserRole).toLongLong();
    guarded(*m_ctx.dialogs, this, [&] {
        switch (UnitStore(*m_ctx.db).reassign(unitId(), locId)) {
        case ReassignResult::Done:
            PopulateDetail();
            break;
        case ReassignResult::UnitGone:
            return sayUnitGone();
        case ReassignResult::LocationUnavailable:
            showFailure(*m_ctx.dialogs, this, LocationUnavailable().text());
            break;
        }
        PopulateLocationList();
    });
}

void frmEditEquipment::sayUnitGone() {
    m_ctx.dialogs->message(this, QStringLiteral("This equipment no longer exists; it may have been deleted"),
                           Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}
