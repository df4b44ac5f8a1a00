#pragma once

#include "equipment/store/UnitFields.h"
#include "locations/store/LocationStore.h"

#include <QDate>
#include <QList>
#include <array>
#include <initializer_list>
#include <vector>

class Dialogs;
class QFormLayout;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;
class QWidget;

// The "Eqipment" frame of the equipment windows: a box per value and the lists a type, a location and a template
// are picked from, named and labelled alike in every window. The window lays them out, since each arranges them
// its own way.
struct EquipmentFields {
    enum class Pickers { Type, TypeLocationTemplate };

    QGroupBox* frame = nullptr;
    QListWidget* types = nullptr;
    QListWidget* locations = nullptr; // with Pickers::TypeLocationTemplate only
    QListWidget* templates = nullptr; // with Pickers::TypeLocationTemplate only
    // The pickers, then a box for every attribute that has one, in the attributes' order.
    EquipmentFields(QWidget* parent, Pickers pickers);

    // The attribute's box; null for one without a box (the type is picked).
    QLineEdit* box(UnitField field) const { return m_boxes[static_cast<std::size_t>(field)]; }
    QList<QLineEdit*> boxes() const;
    // The boxes as a column, each beside its label.
    QFormLayout* column(std::initializer_list<QLineEdit*> rows) const;
    // A picker below its label, with its add and refresh buttons underneath when it has them.
    QVBoxLayout* pickerColumn(QListWidget* list, QPushButton* add = nullptr, QPushButton* refresh = nullptr) const;

    // One entry per location, carrying its id.
    void addLocations(const std::vector<LocationIdName>& active);
    static void selectFirst(QListWidget* list);

    // The typed purchase date; when the box holds no date, today's, which the box then shows too.
    QDate validPurchaseDate(const QDate& today);
    // The values as they stand, the type and location as picked (empty when none is).
    UnitValues entry(const QDate& purchased) const;
    UnitValues templateValues() const;
    // The values as typed, for a unit of the inventory: an empty date box stores no date, and with no type picked
    // the stored type stays. None, once the user has been told, when the date box holds no date.
    std::optional<UnitValues> unitValues(Dialogs& dialogs, QWidget* window, const QDate& today) const;
    // The template's values into their boxes, a Null emptying its box, and its type picked when it is listed.
    // Serial number, asset tag, date, price and location keep theirs: a template carries none.
    void fillFromTemplate(const UnitRecord& values);
    // A stored unit in the boxes, a Null emptying its box (a box left as it was would show the previous unit's
    // value), and its type picked; none picked when it is Null or not listed.
    void showUnit(const UnitRecord& unit);
    // A stored value in a box, Null as an empty box, "&nbsp;" as a blank, from the start of a long value.
    static void showValue(QLineEdit* box, const std::optional<QString>& value);
    // The first type and location picked, as when the window opened.
    void pickFirst();

private:
    std::array<QLineEdit*, kUnitFieldCount> m_boxes{};
};
