#include "equipment/ui/frmCreateEquipment.h"

#include "data/DateText.h"
#include "data/DisplayRules.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/store/TemplateStore.h"
#include "equipment/ui/frmCreateEquipmentTypes.h"
#include "locations/store/LocationStore.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/Navigator.h"
#include "platform/FormHelpers.h"
#include "platform/Printer.h"
#include "platform/ProductTitle.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"
#include "printing/LVPrint.h"
#include "platform/OpenWindow.h"

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
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {
constexpr int kWidthTwips = 13770;
constexpr int kHeightTwips = 10335;

QString selectedText(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void selectFirst(QListWidget* list) {
    if (list->count() > 0)
        list->setCurrentRow(0);
}

QListWidget* makeList(QWidget* parent, const char* name, const QString& caption) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(caption);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}
} // namespace

frmCreateEquipment::frmCreateEquipment(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_holding(new ReportList(this)), m_duplicates(new ReportList(this)) {
    setObjectName(QStringLiteral("frmCreateEquipment"));
    setWindowTitle(captionFor(QStringLiteral("Enter Equipment")));

    auto* entryFrame = new QGroupBox(QStringLiteral("Eqipment"), this);
    m_types = makeList(entryFrame, "List1", QStringLiteral("Description"));
    m_locations = makeList(entryFrame, "List2", QStringLiteral("Assign Current Location"));
    m_templates = makeList(entryFrame, "List3", QStringLiteral("Open/Set Template"));
    m_manufacturer = box("txtManufacturer", QStringLiteral("Manufacturer"));
    m_modelNumber = box("txtModelNumber", QStringLiteral("Model Number"));
    m_serialNumber = box("txtSerialNumber", QStringLiteral("Serial Number"));
    m_assetTag = box("txtAssetTagNumber", QStringLiteral("Asset Tag Number"));
    m_datePurchased = box("txtDatePurchased", QStringLiteral("Date Purchased"));
    m_purchasePrice = box("txtPurchasePrice", QStringLiteral("Purchase Price"));
    m_cpuSpeed = box("txtCpuSpeed", QStringLiteral("Cpu-Speed"));
    m_memory = box("txtMemory", QStringLiteral("Memory"));
    m_hardDrive = box("txtHardDriveCapacity", QStringLiteral("Hard Drive Capacity"));
    m_monitor = box("txtMonitor", QStringLiteral("Monitor"));
    m_mouse = box("txtMouse", QStringLiteral("Mouse"));
    m_keyboard = box("txtKeyboard", QStringLiteral("Keyboard"));
    m_operatingSystem = box("txtOperatingSystem", QStringLiteral("Operating System"));
    m_clearAfterSubmit = new QCheckBox(QStringLiteral("Clear Fields After Submitting"), entryFrame);
    m_clearAfterSubmit->setObjectName(QStringLiteral("chkSubmit"));
    m_promptAssetTag = new QCheckBox(QStringLiteral("Prompt for Asset Number(Submit Scanner Only)"), entryFrame);
    m_promptAssetTag->setObjectName(QStringLiteral("Check1"));

    const auto form = [entryFrame](std::initializer_list<std::pair<QString, QLineEdit*>> rows) {
        auto* f = new QFormLayout;
        f->setVerticalSpacing(2);
        for (const auto& [caption, edit] : rows) {
            edit->setParent(entryFrame);
            f->addRow(makeBuddyLabel(entryFrame, caption, edit), edit);
        }
        return f;
    };
    const auto listWithButtons = [entryFrame](const QString& caption, QListWidget* list, QPushButton* add,
                                              QPushButton* refresh) {
        auto* column = new QVBoxLayout;
        column->addWidget(makeBuddyLabel(entryFrame, caption, list));
        column->addWidget(list, 1);
        if (add) {
            auto* buttons = new QHBoxLayout;
            buttons->addWidget(add);
            buttons->addWidget(refresh);
            column->addLayout(buttons);
        }
        return column;
    };
    auto* addType = makeButton(entryFrame, "Command7", QStringLiteral("Add"));
    auto* refreshTypesButton = makeButton(entryFrame, "Command12", QStringLiteral("Refresh"));
    auto* addLocation = makeButton(entryFrame, "Command8", QStringLiteral("Add"));
    auto* refreshLocationsButton = makeButton(entryFrame, "Command13", QStringLiteral("Refresh"));

    auto* fields = new QHBoxLayout;
    fields->addLayout(listWithButtons(QStringLiteral("Description"), m_types, addType, refreshTypesButton), 2);
    fields->addLayout(form({{QStringLiteral("Manufacturer"), m_manufacturer},
                            {QStringLiteral("Model Number"), m_modelNumber},
                            {QStringLiteral("Serial Number"), m_serialNumber},
                            {QStringLiteral("Asset Tag Number"), m_assetTag},
                            {QStringLiteral("Date Purchased"), m_datePurchased},
                            {QStringLiteral("Purchase Price"), m_purchasePrice},
                            {QStringLiteral("Cpu-Speed"), m_cpuSpeed}}),
                      3);
    fields->addLayout(form({{QStringLiteral("Memory"), m_memory},
                            {QStringLiteral("Hard Drive Capacity"), m_hardDrive},
                            {QStringLiteral("Monitor"), m_monitor},
                            {QStringLiteral("Mouse"), m_mouse},
                            {QStringLiteral("Keyboard"), m_keyboard},
                            {QStringLiteral("Operating System"), m_operatingSystem}}),
                      3);
    auto* pickers = new QVBoxLayout;
    pickers->addLayout(
        listWithButtons(QStringLiteral("Assign Current Location"), m_locations, addLocation, refreshLocationsButton));
    pickers->addLayout(listWithButtons(QStringLiteral("Open/Set Template"), m_templates, nullptr, nullptr));
    fields->addLayout(pickers, 2);

    auto* submitButton = makeButton(entryFrame, "Command1", QStringLiteral("Submit into Holding Table"));
    auto* scanButton = makeButton(entryFrame, "Command5", QStringLiteral("Scan into Holding Table"));
    auto* clearButton = makeButton(entryFrame, "Command2", QStringLiteral("Clear"));
    auto* saveTemplateButton = makeButton(entryFrame, "Command4", QStringLiteral("Save Template"));
    auto* cancelButton = makeButton(entryFrame, "Command3", QStringLiteral("Cancel"));
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_clearAfterSubmit);
    checks->addWidget(m_promptAssetTag);
    checks->addStretch();
    auto* entryButtons = new QHBoxLayout;
    entryButtons->addStretch();
    for (QPushButton* b : {submitButton, scanButton, clearButton, saveTemplateButton, cancelButton})
        entryButtons->addWidget(b);
    auto* entryLayout = new QVBoxLayout(entryFrame);
    entryLayout->addLayout(fields);
    entryLayout->addLayout(checks);
    entryLayout->addLayout(entryButtons);
    m_types->setMaximumHeight(Twips::toPixelsY(2400, this));
    m_locations->setMaximumHeight(Twips::toPixelsY(1400, this));
    m_templates->setMaximumHeight(Twips::toPixelsY(900, this));

    auto* outboundFrame = new QGroupBox(QStringLiteral("Outbound Equipment Information"), this);
    m_holding->setParent(outboundFrame);
    m_duplicates->setParent(outboundFrame);
    m_holding->setObjectName(QStringLiteral("ListView1"));
    m_holding->setAccessibleName(QStringLiteral("Temporary Holding Table"));
    m_duplicates->setObjectName(QStringLiteral("ListView2"));
    m_duplicates->setAccessibleName(QStringLiteral("Duplicate Table"));
    auto* commitButton = makeButton(outboundFrame, "Command6", QStringLiteral("Test and Enter in Inventory"));
    auto* deleteButton = makeButton(outboundFrame, "Command14", QStringLiteral("Delete Selected"));
    auto* clearHoldingButton = makeButton(outboundFrame, "Command9", QStringLiteral("Clear Holding Table"));
    auto* refreshHoldingButton = makeButton(outboundFrame, "Command10", QStringLiteral("Refresh Holding Table"));
    auto* refreshDuplicatesButton = makeButton(outboundFrame, "Command11", QStringLiteral("Refresh Duplicate Table"));
    auto* printHoldingButton = makeButton(outboundFrame, "Command15", QStringLiteral("Print Holding Table"));
    auto* printDuplicatesButton = makeButton(outboundFrame, "Command16", QStringLiteral("Print Duplicate Table"));
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
    auto* duplicateButtons = new QVBoxLayout;
    duplicateButtons->addWidget(refreshDuplicatesButton);
    duplicateButtons->addWidget(printDuplicatesButton);
    auto* duplicateRow = new QHBoxLayout;
    duplicateRow->addStretch();
    duplicateRow->addLayout(duplicateButtons);
    outbound->addLayout(holdingButtons, 2, 0);
    outbound->addLayout(duplicateRow, 2, 1);
    outbound->setColumnStretch(0, 3);
    outbound->setColumnStretch(1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(entryFrame);
    layout->addWidget(outboundFrame, 1);

    connect(submitButton, &QPushButton::clicked, this, &frmCreateEquipment::submit);
    connect(scanButton, &QPushButton::clicked, this, &frmCreateEquipment::scan);
    connect(clearButton, &QPushButton::clicked, this, &frmCreateEquipment::clearFields);
    connect(saveTemplateButton, &QPushButton::clicked, this, &frmCreateEquipment::saveTemplate);
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::close);
    connect(addType, &QPushButton::clicked, this, [this] { openWindow<frmCreateEquipmentTypes>(m_ctx, this); });
    connect(refreshTypesButton, &QPushButton::clicked, this, &frmCreateEquipment::refreshTypes);
    connect(addLocation, &QPushButton::clicked, this, [this] { m_ctx.navigator->createLocation(this); });
    connect(refreshLocationsButton, &QPushButton::clicked, this, &frmCreateEquipment::refreshLocations);
    connect(commitButton, &QPushButton::clicked, this, &frmCreateEquipment::commit);
    connect(deleteButton, &QPushButton::clicked, this, &frmCreateEquipment::deleteSelected);
    connect(clearHoldingButton, &QPushButton::clicked, this, &frmCreateEquipment::clearHoldingTable);
    connect(refreshHoldingButton, &QPushButton::clicked, this,
            [this] { guarded(*m_ctx.dialogs, this, [this] { refreshHoldingList(); }); });
    connect(refreshDuplicatesButton, &QPushButton::clicked, this, &frmCreateEquipment::refreshDuplicateList);
    connect(printHoldingButton, &QPushButton::clicked, this, &frmCreateEquipment::printHoldingTable);
    connect(printDuplicatesButton, &QPushButton::clicked, this, &frmCreateEquipment::printDuplicateTable);
    connect(m_templates, &QListWidget::itemDoubleClicked, this, &frmCreateEquipment::loadTemplate);
    connect(m_holding, &ReportList::rowDoubleClicked, this, &frmCreateEquipment::showHoldingRow);

    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

QLineEdit* frmCreateEquipment::box(const char* name, const QString& caption) {
    return makeTextBox(this, name, caption);
}

bool frmCreateEquipment::load() {
    m_datePurchased->setText(DateText::toShort(m_ctx.clock->today()));
    SetListColumns(m_holding, HoldingStore::holdingListColumns());
    SetListColumns(m_duplicates, HoldingStore::duplicateListColumns());
    PopulateTypeList();
    PopulateLocationList();
    PopulateTemplateList();
    if (m_locations->count() == 0) {
        m_ctx.dialogs->message(this, QStringLiteral("No Location(s) defined"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        m_ctx.navigator->createLocation(this);
        return false;
    }
    // A new installation has no equipment types yet; units can still be entered, and the "Add" button beside
    // the empty list says where types come from.
    selectFirst(m_types);
    selectFirst(m_locations);
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
        m_types->addItem(name);
}

void frmCreateEquipment::PopulateLocationList() {
    for (const LocationIdName& location : LocationStore(*m_ctx.db).activeLocationNames()) {
        auto* item = new QListWidgetItem(location.name.toString(), m_locations);
        item->setData(Qt::UserRole, location.id);
    }
}

void frmCreateEquipment::PopulateTemplateList() {
    for (const QString& name : TemplateStore(*m_ctx.db).names())
        m_templates->addItem(name);
}

void frmCreateEquipment::PopulateHoldList() {
    m_holding->setRows(HoldingStore(*m_ctx.db).rows());
}

void frmCreateEquipment::PopulateDupList() {
    m_duplicates->setRows(HoldingStore(*m_ctx.db).duplicates());
}

HoldingEntry frmCreateEquipment::currentEntry() {
    QDate date = DateText::parse(m_datePurchased->text(), m_ctx.clock->today());
    if (!date.isValid()) {
        date = m_ctx.clock->today();
        m_datePurchased->setText(DateText::toShort(date));
    }
    const QListWidgetItem* location = m_locations->currentItem();
    HoldingEntry e;
    e.assetTagNumber = m_assetTag->text();
    e.equipmentType = selectedText(m_types);
    e.manufacturer = m_manufacturer->text();
    e.datePurchased = date;
    e.purchasePrice = m_purchasePrice->text();
    e.serialNumber = m_serialNumber->text();
    e.modelNumber = m_modelNumber->text();
    e.cpuSpeed = m_cpuSpeed->text();
    e.memory = m_memory->text();
    e.hardDriveCapacity = m_hardDrive->text();
    e.monitor = m_monitor->text();
    e.mouse = m_mouse->text();
    e.keyboard = m_keyboard->text();
    e.operatingSystem = m_operatingSystem->text();
    if (location && location->isSelected()) {
        e.currentLocation = location->data(Qt::UserRole).toLongLong();
        e.locationName = location->text();
    }
    return e;
}

void frmCreateEquipment::submit() {
    if (m_serialNumber->text().isEmpty()) {
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
    QList<QLineEdit*> cleared = {m_serialNumber, m_assetTag};
    if (m_clearAfterSubmit->isChecked()) {
        ClearTextFields();
        cleared = findChildren<QLineEdit*>(QRegularExpression(QStringLiteral("^txt")));
    } else {
        m_serialNumber->clear();
        m_assetTag->clear();
    }
    // The next unit is typed at once, from where the form starts over.
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        if (auto* box = qobject_cast<QLineEdit*>(w); box && cleared.contains(box) && box->isEnabled()) {
            box->setFocus(Qt::OtherFocusReason);
            break;
        }
}

bool frmCreateEquipment::locationChosen() {
    const QListWidgetItem* location = m_locations->currentItem();
    if (location && location->isSelected())
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
                    ? m_ctx.dialogs->input(this, QStringLiteral("Enter Asset Tag Number for Serial Number: ") + serial,
                                           kProductTitle)
                    : m_assetTag->text();
            HoldingEntry entry = currentEntry();
            entry.serialNumber = serial;
            entry.assetTagNumber = assetTag;
            // Stored at once, outside any transaction: each scanned unit is on disk before the next prompt.
            store.insert(entry);
            serial = m_ctx.dialogs->input(
                this, QStringLiteral("Scan Serial Number\nLast Serial Number Processed was: ") + serial, title);
        }
    });
    guarded(*m_ctx.dialogs, this, [&] { refreshHoldingList(); });
    if (m_clearAfterSubmit->isChecked())
        ClearTextFields();
    else
        m_serialNumber->clear();
}

void frmCreateEquipment::ClearTextFields() {
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        if (edit->objectName().startsWith(QLatin1String("txt"), Qt::CaseSensitive))
            edit->clear();
}

void frmCreateEquipment::clearFields() {
    ClearTextFields();
    selectFirst(m_types);
    selectFirst(m_locations);
    m_clearAfterSubmit->setChecked(false);
}

void frmCreateEquipment::saveTemplate() {
    const QString name =
        m_ctx.dialogs->input(this, QStringLiteral("Enter Template Name"), captionFor(QStringLiteral("Template save")));
    if (name.isEmpty())
        return;
    const EquipmentTemplate values{selectedText(m_types),    m_manufacturer->text(), m_modelNumber->text(),
                                   m_cpuSpeed->text(),       m_memory->text(),       m_hardDrive->text(),
                                   m_monitor->text(),        m_mouse->text(),        m_keyboard->text(),
                                   m_operatingSystem->text()};
    guarded(*m_ctx.dialogs, this, [&] { TemplateStore(*m_ctx.db).save(name, values); });
}

void frmCreateEquipment::loadTemplate() {
    const QListWidgetItem* chosen = m_templates->currentItem();
    if (!chosen)
        return;
    std::optional<StoredTemplate> found;
    if (!guarded(*m_ctx.dialogs, this, [&] { found = TemplateStore(*m_ctx.db).find(chosen->text()); }) || !found)
        return;
    const StoredTemplate& t = *found;
    if (t.description) {
        const QList<QListWidgetItem*> matches = m_types->findItems(*t.description, Qt::MatchExactly);
        if (!matches.isEmpty())
            m_types->setCurrentItem(matches.first());
    }
    const std::pair<QLineEdit*, const std::optional<QString>&> fields[] = {
        {m_manufacturer, t.manufacturer}, {m_modelNumber, t.modelNumber}, {m_cpuSpeed, t.cpu},
        {m_memory, t.memory},             {m_hardDrive, t.hd},            {m_monitor, t.monitor},
        {m_mouse, t.mouse},               {m_keyboard, t.keyboard},       {m_operatingSystem, t.os}};
    for (const auto& [edit, value] : fields)
        edit->setText(value.value_or(QString())); // Null empties the box
}

void frmCreateEquipment::showHoldingRow() {
    const int row = m_holding->currentRow();
    if (row < 0)
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
    QString text =
        QStringLiteral("Description: ") + nbspRemoved(r.equipmentType.value_or(QString())) + QLatin1Char('\n');
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
        text += QLatin1String(label) + nbspRemoved(shown) + QLatin1Char('\n');
    }
    m_ctx.dialogs->message(this, text);
}

void frmCreateEquipment::deleteSelected() {
    if (m_holding->rowCount() == 0)
        return;
    if (m_ctx.dialogs->message(this,
                               QStringLiteral("You are about to delete the selected items in the holding table\n"
                                              "Do you want to proceed"),
                               Dialogs::Buttons::YesNoDefaultNo) != Dialogs::Answer::Yes)
        return;
    QList<qint64> ids;
    for (int row : m_holding->selectedRows())
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
    int kept = 0;
    const bool committed = guarded(*m_ctx.dialogs, this, [&] {
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
        kept = store.commitToInventory([&](int done, int) {
                        progress.setValue(done);
                        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                    }).kept;
        progress.reset();
    });
    // Whatever happened, the lists show the tables as they now stand.
    guarded(*m_ctx.dialogs, this, [&] {
        m_duplicates->clearRows();
        refreshHoldingList();
        PopulateDupList();
    });
    if (committed && kept > 0)
        m_ctx.dialogs->message(this,
                               QStringLiteral("%1 record(s) were left in the holding table because their location is "
                                              "no longer active.\nSelect them, delete them and enter them again for "
                                              "an active location.")
                                   .arg(kept),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    if (committed)
        m_ctx.dialogs->message(this, QStringLiteral("Operation complete"));
}

void frmCreateEquipment::refreshTypes() {
    m_types->clear();
    guarded(*m_ctx.dialogs, this, [&] { PopulateTypeList(); });
    selectFirst(m_types);
}

void frmCreateEquipment::refreshLocations() {
    m_locations->clear();
    guarded(*m_ctx.dialogs, this, [&] { PopulateLocationList(); });
    selectFirst(m_locations);
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
    printList(m_holding, QStringLiteral("Holding Table Contents"));
}

void frmCreateEquipment::printDuplicateTable() {
    printList(m_duplicates, QStringLiteral("Duplicate Table Contents"));
}

void frmCreateEquipment::printList(ReportList* list, const QString& title) {
    bool printed = false;
    try {
        std::unique_ptr<Printer> printer = m_ctx.newPrinter();
        LVPrint lv(*printer, m_ctx.clock->today());
        lv.LV = list;
        lv.ReportTitle = title;
        printed = lv.PrintList(false);
    } catch (const PrintError&) {
        // Reported below, in the window's own words.
    }
    if (!printed)
        m_ctx.dialogs->message(this, QStringLiteral("Printing error. Please make sure your computer can access the "
                                                    "selected printer and the printer is online"));
}
