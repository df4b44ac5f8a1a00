#include "equipment/ui/EquipmentFields.h"

#include "data/DateText.h"
#include "data/DisplayRules.h"
#include "data/QuotedValue.h"
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
    for (const UnitFieldInfo& f : kUnitFields)
        if (f.box)
            m_boxes[static_cast<std::size_t>(f.field)] = makeTextBox(frame, f.box, QLatin1String(f.caption));
}

QList<QLineEdit*> EquipmentFields::boxes() const {
    QList<QLineEdit*> all;
    for (QLineEdit* b : m_boxes)
        if (b)
            all << b;
    return all;
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
    const QDate date = DateText::parse(box(UnitField::DatePurchased)->text(), today);
    if (date.isValid())
        return date;
    box(UnitField::DatePurchased)->setText(DateText::toShort(today));
    return today;
}

UnitValues EquipmentFields::entry(const QDate& purchased) const {
    UnitValues e;
    if (const QListWidgetItem* type = chosenItem(types))
        e[UnitField::EquipmentType] = type->text();
    for (const UnitFieldInfo& f : kUnitFields)
        if (QLineEdit* b = box(f.field))
            e[f.field] = b->text();
    e.setDatePurchased(purchased);
    if (const QListWidgetItem* location = chosenItem(locations)) {
        e.currentLocation = location->data(Qt::UserRole).toLongLong();
        e.locationName = location->text();
    }
    return e;
}

std::optional<UnitValues> EquipmentFields::unitValues(Dialogs& dialogs, QWidget* window, const QDate& today) const {
    QLineEdit* dateBox = box(UnitField::DatePurchased);
    QDate date;
    const QString dateText = dateBox->text().trimmed();
    if (!dateText.isEmpty()) {
        date = DateText::parse(dateText, today);
        if (!date.isValid()) {
            dialogs.message(window, QStringLiteral("Date Purchased: \"%1\" is not a date").arg(quotedValue(dateText)),
                            Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
            dateBox->setFocus();
            return std::nullopt;
        }
    }
    return entry(date);
}

UnitValues EquipmentFields::templateValues() const {
    return entry(QDate());
}

void EquipmentFields::fillFromTemplate(const UnitRecord& values) {
    if (const std::optional<QString>& type = values[UnitField::EquipmentType]) {
        const QList<QListWidgetItem*> matches = types->findItems(*type, Qt::MatchExactly);
        if (!matches.isEmpty())
            types->setCurrentItem(matches.first());
    }
    for (const UnitFieldInfo& f : kUnitFields)
        if (f.stencil && box(f.field))
            box(f.field)->setText(values[f.field].value_or(QString())); // Null empties the box
}

void EquipmentFields::showUnit(const UnitRecord& unit) {
    const std::optional<QString>& type = unit[UnitField::EquipmentType];
    const QList<QListWidgetItem*> matches =
        type ? types->findItems(*type, Qt::MatchExactly) : QList<QListWidgetItem*>();
    if (matches.isEmpty())
        types->setCurrentRow(-1);
    else
        types->setCurrentItem(matches.first());
    for (const UnitFieldInfo& f : kUnitFields) {
        if (!box(f.field))
            continue;
        if (f.field == UnitField::DatePurchased) {
            const std::optional<QDate> date = unit.datePurchased();
            box(f.field)->setText(date ? DateText::toShort(*date) : QString());
        } else {
            showValue(box(f.field), unit[f.field]);
        }
    }
}

void EquipmentFields::showValue(QLineEdit* box, const std::optional<QString>& value) {
    box->setText(value ? nbspAsBlank(*value) : QString());
    box->setCursorPosition(0); // a long value shows from its start
}

void EquipmentFields::pickFirst() {
    selectFirst(types);
    selectFirst(locations);
}
