#include "equipment/ui/EquipmentFields.h"

#include "data/DateText.h"
#include "data/QuotedValue.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/store/TemplateStore.h"
#include "platform/CutTextTips.h"
#include "platform/Dialogs.h"
#include "platform/FormHelpers.h"
#include "platform/ListChoice.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QListWidget* makeList(QWidget* parent, const char* name, const QString& caption) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(caption);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    showCutTextInToolTips(list);
    return list;
}
} // namespace

EquipmentFields::EquipmentFields(QWidget* parent, Pickers pickers) {
    // "Eqipment": the system's given spelling, kept on purpose.
    frame = new QGroupBox(QStringLiteral("Eqipment"), parent);
    types = makeList(frame, "List1", QStringLiteral("Description"));
    if (pickers == Pickers::TypeLocationTemplate) {
        locations = makeList(frame, "List2", QStringLiteral("Assign Current Location"));
        templates = makeList(frame, "List3", QStringLiteral("Open/Set Template"));
    }
    manufacturer = makeTextBox(frame, "txtManufacturer", QStringLiteral("Manufacturer"));
    modelNumber = makeTextBox(frame, "txtModelNumber", QStringLiteral("Model Number"));
    serialNumber = makeTextBox(frame, "txtSerialNumber", QStringLiteral("Serial Number"));
    assetTag = makeTextBox(frame, "txtAssetTagNumber", QStringLiteral("Asset Tag Number"));
    datePurchased = makeTextBox(frame, "txtDatePurchased", QStringLiteral("Date Purchased"));
    purchasePrice = makeTextBox(frame, "txtPurchasePrice", QStringLiteral("Purchase Price"));
    cpuSpeed = makeTextBox(frame, "txtCpuSpeed", QStringLiteral("Cpu-Speed"));
    memory = makeTextBox(frame, "txtMemory", QStringLiteral("Memory"));
    hardDrive = makeTextBox(frame, "txtHardDriveCapacity", QStringLiteral("Hard Drive Capacity"));
    monitor = makeTextBox(frame, "txtMonitor", QStringLiteral("Monitor"));
    mouse = makeTextBox(frame, "txtMouse", QStringLiteral("Mouse"));
    keyboard = makeTextBox(frame, "txtKeyboard", QStringLiteral("Keyboard"));
    operatingSystem = makeTextBox(frame, "txtOperatingSystem", QStringLiteral("Operating System"));
}

QList<QLineEdit*> EquipmentFields::boxes() const {
    return {manufacturer, modelNumber, serialNumber, assetTag, datePurchased, purchasePrice,  cpuSpeed,
            memory,       hardDrive,   monitor,      mouse,    keyboard,      operatingSystem};
}

QFormLayout* EquipmentFields::column(std::initializer_list<QLineEdit*> rows) const {
    auto* form = new QFormLayout;
    form->setVerticalSpacing(2);
    for (QLineEdit* box : rows)
        form->addRow(makeBuddyLabel(frame, box->accessibleName(), box), box);
    // The boxes were made in another order than a column shows them.
    setReadingOrder(QList<QWidget*>(rows.begin(), rows.end()));
    return form;
}

QVBoxLayout* EquipmentFields::pickerColumn(QListWidget* list, QPushButton* add, QPushButton* refresh) const {
    auto* column = new QVBoxLayout;
    column->addWidget(makeBuddyLabel(frame, list->accessibleName(), list));
    column->addWidget(list, 1);
    if (add) {
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(add);
        buttons->addWidget(refresh);
        column->addLayout(buttons);
    }
    return column;
}

void EquipmentFields::addLocations(const std::vector<LocationIdName>& active) {
    for (const LocationIdName& location : active) {
        auto* item = new QListWidgetItem(location.name.toString(), locations);
        item->setData(Qt::UserRole, location.id);
    }
}

void EquipmentFields::selectFirst(QListWidget* list) {
    if (list && list->count() > 0)
        list->setCurrentRow(0);
}

QDate EquipmentFields::validPurchaseDate(const QDate& today) {
    const QDate date = DateText::parse(datePurchased->text(), today);
    if (date.isValid())
        return date;
    datePurchased->setText(DateText::toShort(today));
    return today;
}

HoldingEntry EquipmentFields::entry(const QDate& purchased) const {
    HoldingEntry e;
    e.assetTagNumber = assetTag->text();
    if (const QListWidgetItem* type = chosenItem(types))
        e.equipmentType = type->text();
    e.manufacturer = manufacturer->text();
    e.datePurchased = purchased;
    e.purchasePrice = purchasePrice->text();
    e.serialNumber = serialNumber->text();
    e.modelNumber = modelNumber->text();
    e.cpuSpeed = cpuSpeed->text();
    e.memory = memory->text();
    e.hardDriveCapacity = hardDrive->text();
    e.monitor = monitor->text();
    e.mouse = mouse->text();
    e.keyboard = keyboard->text();
    e.operatingSystem = operatingSystem->text();
    if (const QListWidgetItem* location = chosenItem(locations)) {
        e.currentLocation = location->data(Qt::UserRole).toLongLong();
        e.locationName = location->text();
    }
    return e;
}

std::optional<UnitValues> EquipmentFields::unitValues(Dialogs& dialogs, QWidget* window, const QDate& today) const {
    UnitValues v;
    const QString dateText = datePurchased->text().trimmed();
    if (!dateText.isEmpty()) {
        const QDate date = DateText::parse(dateText, today);
        if (!date.isValid()) {
            dialogs.message(window, QStringLiteral("Date Purchased: \"%1\" is not a date").arg(quotedValue(dateText)),
                            Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
            datePurchased->setFocus();
            return std::nullopt;
        }
        v.datePurchased = date;
    }
    if (const QListWidgetItem* type = chosenItem(types))
        v.equipmentType = type->text();
    v.assetTagNumber = assetTag->text();
    v.manufacturer = manufacturer->text();
    v.purchasePrice = purchasePrice->text();
    v.serialNumber = serialNumber->text();
    v.modelNumber = modelNumber->text();
    v.cpuSpeed = cpuSpeed->text();
    v.memory = memory->text();
    v.harddriveCap = hardDrive->text();
    v.monitor = monitor->text();
    v.mouse = mouse->text();
    v.keyboard = keyboard->text();
    v.operatingSystem = operatingSystem->text();
    return v;
}

EquipmentTemplate EquipmentFields::templateValues() const {
    const QListWidgetItem* type = chosenItem(types);
    return {type ? type->text() : QString(),
            manufacturer->text(),
            modelNumber->text(),
            cpuSpeed->text(),
            memory->text(),
            hardDrive->text(),
            monitor->text(),
            mouse->text(),
            keyboard->text(),
            operatingSystem->text()};
}

void EquipmentFields::fillFromTemplate(const StoredTemplate& values) {
    if (values.description) {
        const QList<QListWidgetItem*> matches = types->findItems(*values.description, Qt::MatchExactly);
        if (!matches.isEmpty())
            types->setCurrentItem(matches.first());
    }
    const std::pair<QLineEdit*, const std::optional<QString>&> boxes[] = {{manufacturer, values.manufacturer},
                                                                          {modelNumber, values.modelNumber},
                                                                          {cpuSpeed, values.cpu},
                                                                          {memory, values.memory},
                                                                          {hardDrive, values.hd},
                                                                          {monitor, values.monitor},
                                                                          {mouse, values.mouse},
                                                                          {keyboard, values.keyboard},
                                                                          {operatingSystem, values.os}};
    for (const auto& [box, value] : boxes)
        box->setText(value.value_or(QString())); // Null empties the box
}

void EquipmentFields::pickFirst() {
    selectFirst(types);
    selectFirst(locations);
}
