#include "equipment/ui/frmCreateEquipment.h"

#include "data/Database.h"
#include "data/DateText.h"
#include "data/DisplayRules.h"
#include "data/QuotedValue.h"
#include "equipment/store/DuplicateBatch.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/store/TemplateStore.h"
#include "equipment/ui/FrmDuplicate.h"
#include "equipment/ui/frmCreateEquipmentTypes.h"
#include "locations/store/LocationStore.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ListChoice.h"
#include "platform/Navigator.h"
#include "platform/OpenWindow.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"
#include "platform/WindowHost.h"
#include "printing/LVPrint.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The tables are made first; Tab reads the entry frame, then each table with the buttons below it.
const char* const kReadingOrder[] = {"List1",
                                     "Command7",
                                     "Command12",
                                     "txtManufacturer",
                                     "txtModelNumber",
                                     "txtSerialNumber",
                                     "txtAssetTagNumber",
                                     "txtDatePurchased",
                                     "txtPurchasePrice",
                                     "txtCpuSpeed",
                                     "txtMemory",
                                     "txtHardDriveCapacity",
                                     "txtMonitor",
                                     "txtMouse",
                                     "txtKeyboard",
                                     "txtOperatingSystem",
                                     "List2",
                                     "Command8",
                                     "Command13",
                                     "List3",
                                     "chkSubmit",
                                     "Check1",
                                     "Command1",
                                     "Command5",
                                     "Command2",
                                     "Command4",
                                     "Command3",
                                     "ListView1",
                                     "Command6",
                                     "Command14",
                                     "Command9",
                                     "Command10",
                                     "Command15",
                                     "cmdImportCsv",
                                     "ListView2",
                                     "cmdDiscardDuplicates",
                                     "cmdReplaceDuplicates",
                                     "Command11",
                                     "Command16"};
constexpr int kWidthTwips = 13770;
constexpr int kHeightTwips = 10335;
} // namespace

frmCreateEquipment::frmCreateEquipment(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_holding(new ReportList(this)), m_duplicates(new ReportList(this)),
      m_fields(this, EquipmentFields::Pickers::TypeLocationTemplate) {
    setObjectName(QStringLiteral("frmCreateEquipment"));
    setWindowTitle(captionFor(QStringLiteral("Enter Equipment")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(buildEntryFrame());
    layout->addWidget(buildOutboundFrame(), 1);
    QList<QWidget*> order;
    for (const char* name : kReadingOrder)
        order << findChild<QWidget*>(QLatin1String(name));
    setReadingOrder(order);
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

template <typename Slot>
QPushButton* frmCreateEquipment::button(QWidget* frame, const char* name, const QString& caption, Slot slot) {
    QPushButton* b = makeButton(frame, name, caption);
    connect(b, &QPushButton::clicked, this, slot);
    return b;
}

QGroupBox* frmCreateEquipment::buildEntryFrame() {
    const EquipmentFields& f = m_fields;
    QGroupBox* frame = f.frame;
    m_clearAfterSubmit = new QCheckBox(QStringLiteral("Clear Fields After Submitting"), frame);
    m_clearAfterSubmit->setObjectName(QStringLiteral("chkSubmit"));
    m_promptAssetTag = new QCheckBox(QStringLiteral("Prompt for Asset Number(Submit Scanner Only)"), frame);
    m_promptAssetTag->setObjectName(QStringLiteral("Check1"));
    auto* addType =
        button(frame, "Command7", QStringLiteral("Add"), [this] { openWindow<frmCreateEquipmentTypes>(m_ctx, this); });
    auto* refreshTypesButton = button(frame, "Command12", QStringLiteral("Refresh"), &frmCreateEquipment::refreshTypes);
    auto* addLocation =
        button(frame, "Command8", QStringLiteral("Add"), [this] { m_ctx.navigator->createLocation(this); });
    auto* refreshLocationsButton =
        button(frame, "Command13", QStringLiteral("Refresh"), &frmCreateEquipment::refreshLocations);
    connect(f.templates, &QListWidget::itemDoubleClicked, this, &frmCreateEquipment::loadTemplate);

    auto* fields = new QHBoxLayout;
    fields->addLayout(f.pickerColumn(f.types, addType, refreshTypesButton), 2);
    fields->addLayout(f.column({f.manufacturer, f.modelNumber, f.serialNumber, f.assetTag, f.datePurchased,
                                f.purchasePrice, f.cpuSpeed}),
                      3);
    fields->addLayout(f.column({f.memory, f.hardDrive, f.monitor, f.mouse, f.keyboard, f.operatingSystem}), 3);
    auto* pickers = new QVBoxLayout;
    pickers->addLayout(f.pickerColumn(f.locations, addLocation, refreshLocationsButton));
    pickers->addLayout(f.pickerColumn(f.templates));
    fields->addLayout(pickers, 2);
    f.types->setMaximumHeight(Twips::toPixelsY(2400, this));
    f.locations->setMaximumHeight(Twips::toPixelsY(1400, this));
    f.templates->setMaximumHeight(Twips::toPixelsY(900, this));

    auto* checks = new QHBoxLayout;
    checks->addWidget(m_clearAfterSubmit);
    checks->addWidget(m_promptAssetTag);
    checks->addStretch();
    auto* entryLayout = new QVBoxLayout(frame);
    entryLayout->addLayout(fields);
    entryLayout->addLayout(checks);
    entryLayout->addLayout(buildEntryButtons());
    return frame;
}

QLayout* frmCreateEquipment::buildEntryButtons() {
    QWidget* frame = m_fields.frame;
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(button(frame, "Command1", QStringLiteral("Submit into Holding Table"), &frmCreateEquipment::submit));
    row->addWidget(button(frame, "Command5", QStringLiteral("Scan into Holding Table"), &frmCreateEquipment::scan));
    row->addWidget(button(frame, "Command2", QStringLiteral("Clear"), &frmCreateEquipment::clearFields));
    row->addWidget(button(frame, "Command4", QStringLiteral("Save Template"), &frmCreateEquipment::saveTemplate));
    row->addWidget(button(frame, "Command3", QStringLiteral("Cancel"), &QWidget::close));
    return row;
}

QGroupBox* frmCreateEquipment::buildOutboundFrame() {
    auto* outboundFrame = new QGroupBox(QStringLiteral("Outbound Equipment Information"), this);
    m_holding->setParent(outboundFrame);
    m_duplicates->setParent(outboundFrame);
    m_holding->setObjectName(QStringLiteral("ListView1"));
    m_holding->setAccessibleName(QStringLiteral("Temporary Holding Table"));
    m_duplicates->setObjectName(QStringLiteral("ListView2"));
    m_duplicates->setAccessibleName(QStringLiteral("Duplicate Table"));
    connect(m_holding, &ReportList::rowDoubleClicked, this, &frmCreateEquipment::showHoldingRow);
    opensRowWindows(
        m_duplicates, [this](int row, OnTooManyWindows how) { return openDuplicate(row, how); },
        OnTooManyWindows::Report, OnTooManyWindows::Report);
    auto* commitButton =
        button(outboundFrame, "Command6", QStringLiteral("Test and Enter in Inventory"), &frmCreateEquipment::commit);
    auto* deleteButton =
        button(outboundFrame, "Command14", QStringLiteral("Delete Selected"), &frmCreateEquipment::deleteSelected);
    auto* clearHoldingButton = button(outboundFrame, "Command9", QStringLiteral("Clear Holding Table"),
                                      &frmCreateEquipment::clearHoldingTable);
    auto* refreshHoldingButton = button(outboundFrame, "Command10", QStringLiteral("Refresh Holding Table"),
                                        [this] { guarded(*m_ctx.dialogs, this, [this] { refreshHoldingList(); }); });
    auto* refreshDuplicatesButton = button(outboundFrame, "Command11", QStringLiteral("Refresh Duplicate Table"),
                                           &frmCreateEquipment::refreshDuplicateList);
    auto* printHoldingButton = button(outboundFrame, "Command15", QStringLiteral("Print Holding Table"),
                                      &frmCreateEquipment::printHoldingTable);
    auto* printDuplicatesButton = button(outboundFrame, "Command16", QStringLiteral("Print Duplicate Table"),
                                         &frmCreateEquipment::printDuplicateTable);
    auto* discardDuplicatesButton =
        button(outboundFrame, "cmdDiscardDuplicates", QStringLiteral("Discard Proposed (Keep Existing)"),
               &frmCreateEquipment::discardSelectedDuplicates);
    auto* replaceDuplicatesButton =
        button(outboundFrame, "cmdReplaceDuplicates", QStringLiteral("Replace Existing with Proposed"),
               &frmCreateEquipment::replaceSelectedDuplicates);
    // The same two settlements on the list's own menu, where a right click or the menu key on a selection looks.
    for (QPushButton* settle : {discardDuplicatesButton, replaceDuplicatesButton}) {
        auto* entry = new QAction(settle->text(), m_duplicates);
        entry->setObjectName(settle->objectName() + QStringLiteral("Entry"));
        connect(entry, &QAction::triggered, settle, &QPushButton::click);
        m_duplicates->addMenuAction(entry);
    }
    auto* importButton = button(outboundFrame, "cmdImportCsv", QStringLiteral("Import from CSV..."), [this] {
        m_ctx.navigator->importEquipment(this, [self = QPointer<frmCreateEquipment>(this)] {
            if (self)
                guarded(*self->m_ctx.dialogs, self, [&] { self->refreshHoldingList(); });
        });
    });
    auto* outbound = new QGridLayout(outboundFrame);
    outbound->addWidget(makeBuddyLabel(outboundFrame, QStringLiteral("Temporary Holding Table"), m_holding), 0, 0);
    outbound->addWidget(makeBuddyLabel(outboundFrame, QStringLiteral("Duplicate Table"), m_duplicates), 0, 1);
    outbound->addWidget(m_holding, 1, 0);
    outbound->addWidget(m_duplicates, 1, 1);
    auto* holdingButtons = new QGridLayout;
    holdingButtons->addWidget(commitButton, 0, 0);
    holdingButtons->addWidget(deleteButton, 0, 1);
    holdingButtons->addWidget(clearHoldingButton, 0, 2);
    holdingButtons->addWidget(refreshHoldingButton, 1, 0);
    holdingButtons->addWidget(printHoldingButton, 1, 1);
    holdingButtons->addWidget(importButton, 1, 2);
    auto* duplicateButtons = new QGridLayout;
    duplicateButtons->addWidget(discardDuplicatesButton, 0, 0);
    duplicateButtons->addWidget(replaceDuplicatesButton, 1, 0);
    duplicateButtons->addWidget(refreshDuplicatesButton, 0, 1);
    duplicateButtons->addWidget(printDuplicatesButton, 1, 1);
    auto* duplicateRow = new QHBoxLayout;
    duplicateRow->addStretch();
    duplicateRow->addLayout(duplicateButtons);
    outbound->addLayout(holdingButtons, 2, 0);
    outbound->addLayout(duplicateRow, 2, 1);
    outbound->setColumnStretch(0, 3);
    outbound->setColumnStretch(1, 2);
    return outboundFrame;
}

bool frmCreateEquipment::load() {
    m_fields.datePurchased->setText(DateText::toShort(m_ctx.clock->today()));
    SetListColumns(m_holding, HoldingStore::holdingListColumns());
    SetListColumns(m_duplicates, HoldingStore::duplicateListColumns());
    PopulateTypeList();
    PopulateLocationList();
    PopulateTemplateList();
    if (m_fields.locations->count() == 0) {
        m_ctx.dialogs->message(this, QStringLiteral("No Location(s) defined"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        m_ctx.navigator->createLocation(this);
        return false;
    }
    // A new installation has no equipment types yet; units can still be entered, and the "Add" button beside
    // the empty list says where types come from.
    m_fields.pickFirst();
    PopulateHoldList();
    PopulateDupList();
    return true;
}

void frmCreateEquipment::SetListColumns(ReportList* list, const ListColumns& columns) {
    list->setColumns(columns);
    list->header()->setSectionsClickable(false);
}

void frmCreateEquipment::PopulateTypeList() {
    for (const QString& name : EquipmentTypeStore(*m_ctx.db).names())
        m_fields.types->addItem(name);
}

void frmCreateEquipment::PopulateLocationList() {
    m_fields.addLocations(LocationStore(*m_ctx.db).activeLocationNames());
}

void frmCreateEquipment::PopulateTemplateList() {
    for (const QString& name : TemplateStore(*m_ctx.db).names())
        m_fields.templates->addItem(name);
}

void frmCreateEquipment::PopulateHoldList() {
    m_holding->setRows(HoldingStore(*m_ctx.db).rows());
}

void frmCreateEquipment::PopulateDupList() {
    m_duplicates->setRows(HoldingStore(*m_ctx.db).duplicates());
}

HoldingEntry frmCreateEquipment::currentEntry() {
    return m_fields.entry(m_fields.validPurchaseDate(m_ctx.clock->today()));
}

void frmCreateEquipment::submit() {
    if (m_fields.serialNumber->text().isEmpty()) {
        m_ctx.dialogs->message(this, QStringLiteral("Invalid Serial Number"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Information);
        return;
    }
    if (!locationChosen())
        return;
    const bool stored = guarded(*m_ctx.dialogs, this, [&] {
        HoldingStore(*m_ctx.db).insert(currentEntry());
        m_holding->clearRows();
        PopulateHoldList();
    });
    if (!stored)
        return;
    QList<QLineEdit*> cleared = {m_fields.serialNumber, m_fields.assetTag};
    if (m_clearAfterSubmit->isChecked()) {
        ClearTextFields();
        cleared = m_fields.boxes();
    } else {
        m_fields.serialNumber->clear();
        m_fields.assetTag->clear();
    }
    // The next unit is typed at once, from where the form starts over.
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        if (auto* box = qobject_cast<QLineEdit*>(w); box && cleared.contains(box) && box->isEnabled()) {
            box->setFocus(Qt::OtherFocusReason);
            break;
        }
}

bool frmCreateEquipment::locationChosen() {
    if (chosenItem(m_fields.locations))
        return true;
    // A unit without a location would enter the inventory and then show in no list.
    m_ctx.dialogs->message(this, QStringLiteral("Select the location to assign the equipment to"), Dialogs::Buttons::Ok,
                           Dialogs::Icon::Information);
    return false;
}

void frmCreateEquipment::scan() {
    if (!locationChosen())
        return;
    const QString title = captionFor(QStringLiteral("scanner input"));
    QString serial = m_ctx.dialogs->input(this, QStringLiteral("Scan Serial Number"), title);
    currentEntry(); // makes the date valid once, before the loop
    guarded(*m_ctx.dialogs, this, [&] {
        HoldingStore store(*m_ctx.db);
        while (!serial.isEmpty()) {
            const QString assetTag =
                m_promptAssetTag->isChecked()
                    ? m_ctx.dialogs->input(
                          this, QStringLiteral("Enter Asset Tag Number for Serial Number: ") + quotedValue(serial),
                          kProductTitle)
                    : m_fields.assetTag->text();
            HoldingEntry entry = currentEntry();
            entry.serialNumber = serial;
            entry.assetTagNumber = assetTag;
            // Stored at once, outside any transaction: each scanned unit is on disk before the next prompt.
            store.insert(entry);
            serial = m_ctx.dialogs->input(
                this, QStringLiteral("Scan Serial Number\nLast Serial Number Processed was: ") + quotedValue(serial),
                title);
        }
    });
    guarded(*m_ctx.dialogs, this, [&] { refreshHoldingList(); });
    if (m_clearAfterSubmit->isChecked())
        ClearTextFields();
    else
        m_fields.serialNumber->clear();
}

void frmCreateEquipment::ClearTextFields() {
    clearTextBoxes(this);
}

void frmCreateEquipment::clearFields() {
    ClearTextFields();
    m_fields.pickFirst();
    m_clearAfterSubmit->setChecked(false);
}

void frmCreateEquipment::saveTemplate() {
    const QString name =
        m_ctx.dialogs->input(this, QStringLiteral("Enter Template Name"), captionFor(QStringLiteral("Template save")));
    if (name.isEmpty())
        return;
    const EquipmentTemplate values = m_fields.templateValues();
    QString saved;
    if (!guarded(*m_ctx.dialogs, this, [&] { saved = TemplateStore(*m_ctx.db).save(name, values); }))
        return;
    m_fields.templates->clear();
    guarded(*m_ctx.dialogs, this, [&] { PopulateTemplateList(); });
    const QList<QListWidgetItem*> named = m_fields.templates->findItems(saved, Qt::MatchExactly);
    if (!named.isEmpty())
        m_fields.templates->setCurrentItem(named.first());
    m_ctx.windows->showStatus(QStringLiteral("Template \"%1\" saved.").arg(quotedValue(saved)));
}

void frmCreateEquipment::loadTemplate() {
    const QListWidgetItem* chosen = chosenItem(m_fields.templates);
    if (!chosen)
        return;
    std::optional<StoredTemplate> found;
    if (guarded(*m_ctx.dialogs, this, [&] { found = TemplateStore(*m_ctx.db).find(chosen->text()); }) && found)
        m_fields.fillFromTemplate(*found);
}

void frmCreateEquipment::showHoldingRow(int row) {
    if (row < 0 || row >= m_holding->rowCount())
        return;
    std::optional<HoldingRecord> found;
    try {
        found = HoldingStore(*m_ctx.db).row(m_holding->rowTag(row).toLongLong());
    } catch (const DataError&) {
        return; // the summary is a convenience: a row that cannot be read shows nothing
    }
    if (!found)
        return;
    const HoldingRecord& r = *found;
    QString text = QStringLiteral("Description: ") + quotedValue(nbspRemoved(r.equipmentType.value_or(QString()))) +
                   QLatin1Char('\n');
    using Field = std::optional<QString> HoldingRecord::*;
    const std::pair<Field, const char*> lines[] = {{&HoldingRecord::manufacturer, "Manufacturer: "},
                                                   {&HoldingRecord::datePurchased, "Date Purchased: "},
                                                   {&HoldingRecord::purchasePrice, "Purchase Price: "},
                                                   {&HoldingRecord::serialNumber, "Serial Number: "},
                                                   {&HoldingRecord::modelNumber, "Model Number: "},
                                                   {&HoldingRecord::cpuSpeed, "Cpu Speed: "},
                                                   {&HoldingRecord::memory, "Memory: "},
                                                   {&HoldingRecord::hardDriveCapacity, "HardDriveCapacity: "},
                                                   {&HoldingRecord::monitor, "Monitor: "},
                                                   {&HoldingRecord::mouse, "Mouse: "},
                                                   {&HoldingRecord::keyboard, "Keyboard: "},
                                                   {&HoldingRecord::operatingSystem, "Operating System: "},
                                                   {&HoldingRecord::locationName, "Location Name: "},
                                                   {&HoldingRecord::assetTagNumber, "Asset Tag Number: "}};
    for (const auto& [field, label] : lines) {
        const std::optional<QString>& value = r.*field;
        if (!value)
            continue;
        const QString shown = field == &HoldingRecord::datePurchased ? DateText::display(*value) : *value;
        text += QLatin1String(label) + quotedValue(nbspRemoved(shown)) + QLatin1Char('\n');
    }
    m_ctx.dialogs->message(this, text);
}

void frmCreateEquipment::deleteSelected() {
    if (m_holding->rowCount() == 0)
        return;
    const QList<int> rows = m_holding->selectedRows();
    if (rows.isEmpty()) {
        m_ctx.dialogs->message(this, QStringLiteral("Select the holding table rows to delete"));
        return;
    }
    if (m_ctx.dialogs->message(this,
                               QStringLiteral("You are about to delete the selected items in the holding table "
                                              "(%1 row(s))\nDo you want to proceed")
                                   .arg(rows.size()),
                               Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes)
        return;
    QList<qint64> ids;
    for (int row : rows)
        ids << m_holding->rowTag(row).toLongLong();
    guarded(*m_ctx.dialogs, this, [&] {
        HoldingStore(*m_ctx.db).remove(ids);
        refreshHoldingList();
    });
}

void frmCreateEquipment::clearHoldingTable() {
    if (m_ctx.dialogs->message(this, QStringLiteral("You are about to clear the holding table\nDo you want to proceed"),
                               Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes)
        return;
    m_holding->clearRows();
    guarded(*m_ctx.dialogs, this, [&] { HoldingStore(*m_ctx.db).clear(); });
}

void frmCreateEquipment::commit() {
    int untyped = 0;
    const auto countUntyped = [&] { untyped = HoldingStore(*m_ctx.db).untypedCount(); };
    if (!guarded(*m_ctx.dialogs, this, m_ctx.db->tellingIfLost(QLatin1String(HoldingStore::kCommitLost), countUntyped)))
        return;
    if (untyped > 0 &&
        m_ctx.dialogs->message(this,
                               QStringLiteral("%1 record(s) in the holding table have no equipment type: they would "
                                              "enter the inventory as units with no description.\nEnter them in the "
                                              "inventory all the same?")
                                   .arg(untyped),
                               Dialogs::Buttons::YesNoDefaultNo, Dialogs::Icon::Question) != Dialogs::Answer::Yes)
        return;
    CommitResult result;
    const auto work = [&] {
        HoldingStore store(*m_ctx.db);
        const int n = store.count();
        if (n == 0)
            m_ctx.dialogs->message(this, QStringLiteral("The holding table currently contains no records"));
        else if (n > 1)
            m_ctx.dialogs->message(this, QStringLiteral("This action will test and commit %1 record into inventory.\n"
                                                        "This action might take a sometime.")
                                             .arg(n));
        QProgressDialog progress(QStringLiteral("Testing and entering equipment in inventory..."), QString(), 0,
                                 std::max(n, 1), this);
        progress.setWindowTitle(kProductTitle);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        result = store.commitToInventory([&](int done, int) {
            progress.setValue(done);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        progress.reset();
    };
    const bool committed =
        guarded(*m_ctx.dialogs, this, m_ctx.db->tellingIfLost(QLatin1String(HoldingStore::kCommitLost), work));
    // Whatever happened, the lists show the tables as they now stand.
    guarded(*m_ctx.dialogs, this, [&] {
        m_duplicates->clearRows();
        refreshHoldingList();
        PopulateDupList();
    });
    if (!committed)
        return;
    if (result.kept > 0)
        m_ctx.dialogs->message(this,
                               QStringLiteral("%1 record(s) were left in the holding table because their location is "
                                              "no longer active.\nSelect them, delete them and enter them again for "
                                              "an active location.")
                                   .arg(result.kept),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    m_ctx.dialogs->message(this, QStringLiteral("Operation complete\n%1 unit(s) entered the inventory.\n"
                                                "%2 unit(s) were parked in the Duplicate Table.")
                                     .arg(result.committed)
                                     .arg(result.parked));
}

void frmCreateEquipment::refreshTypes() {
    m_fields.types->clear();
    guarded(*m_ctx.dialogs, this, [&] { PopulateTypeList(); });
    EquipmentFields::selectFirst(m_fields.types);
}

void frmCreateEquipment::refreshLocations() {
    m_fields.locations->clear();
    guarded(*m_ctx.dialogs, this, [&] { PopulateLocationList(); });
    EquipmentFields::selectFirst(m_fields.locations);
}

void frmCreateEquipment::refreshHoldingList() {
    m_holding->clearRows();
    PopulateHoldList();
}

void frmCreateEquipment::refreshDuplicateList() {
    m_duplicates->clearRows();
    guarded(*m_ctx.dialogs, this, [&] { PopulateDupList(); });
}

void frmCreateEquipment::printHoldingTable() {
    printListOrSayWhy(m_ctx, this, m_holding, QStringLiteral("Holding Table Contents"));
}

void frmCreateEquipment::printDuplicateTable() {
    printListOrSayWhy(m_ctx, this, m_duplicates, QStringLiteral("Duplicate Table Contents"));
}

bool frmCreateEquipment::openDuplicate(int row, OnTooManyWindows onTooMany) {
    const QString serial = m_duplicates->text(row, QStringLiteral("SerialNumber"));
    return openWindow<FrmDuplicate>(
               m_ctx, this, [&](FrmDuplicate& w) { w.Idnum = serial; }, onTooMany) != nullptr;
}

void frmCreateEquipment::discardSelectedDuplicates() {
    settleSelectedDuplicates(Settle::Discard);
}

void frmCreateEquipment::replaceSelectedDuplicates() {
    settleSelectedDuplicates(Settle::Replace);
}

void frmCreateEquipment::settleSelectedDuplicates(Settle how) {
    QList<qint64> ids;
    for (int row : m_duplicates->selectedRows())
        ids << m_duplicates->rowTag(row).toLongLong();
    if (ids.isEmpty()) {
        m_ctx.dialogs->message(this, QStringLiteral("Select the duplicate(s) to settle"));
        return;
    }
    const QString question =
        how == Settle::Discard
            ? QStringLiteral("You are about to discard %1 proposed record(s) and keep the existing units")
            : QStringLiteral("You are about to replace the existing units with %1 proposed record(s)");
    if (m_ctx.dialogs->message(this, question.arg(ids.size()) + QStringLiteral("\nDo you want to proceed"),
                               Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes)
        return;
    BatchOutcome outcome;
    const bool done = guarded(*m_ctx.dialogs, this, [&] {
        DuplicateBatch batch(*m_ctx.db);
        outcome = how == Settle::Discard ? batch.discardProposed(ids) : batch.replaceExisting(ids);
    });
    refreshDuplicateList();
    if (!done)
        return;
    QString text = QStringLiteral("%1 duplicate(s) settled.").arg(outcome.done);
    if (outcome.skipped() > 0) {
        text += QStringLiteral("\n%1 skipped, to be settled one at a time:").arg(outcome.skipped());
        if (outcome.locationUnavailable > 0)
            text += QStringLiteral("\n%1 parked at a location that was deleted").arg(outcome.locationUnavailable);
        if (outcome.serialShared > 0)
            text += QStringLiteral("\n%1 whose serial number more than one unit holds").arg(outcome.serialShared);
    }
    m_ctx.dialogs->message(this, text, Dialogs::Buttons::Ok, Dialogs::Icon::Information);
}
