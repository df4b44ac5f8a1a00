#pragma once

#include "equipment/store/TemplateStore.h"
#include "equipment/store/UnitStore.h"
#include "locations/store/LocationStore.h"

#include <QDate>
#include <QList>
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
struct EquipmentTemplate;
struct HoldingEntry;

// The "Eqipment" frame of the equipment windows: a box per value and the lists a type, a location and a template
// are picked from, named and labelled alike in every window. The window lays them out, since each arranges them
// its own way.
struct EquipmentFields {
    enum class Pickers { Type, TypeLocationTemplate };

    QGroupBox* frame = nullptr;
    QListWidget* types = nullptr;
    QListWidget* locations = nullptr; // with Pickers::TypeLocationTemplate only
    QListWidget* templates = nullptr; // with Pickers::TypeLocationTemplate only
    QLineEdit* manufacturer = nullptr;
    QLineEdit* modelNumber = nullptr;
    QLineEdit* serialNumber = nullptr;
    QLineEdit* assetTag = nullptr;
    QLineEdit* datePurchased = nullptr;
    QLineEdit* purchasePrice = nullptr;
    QLineEdit* cpuSpeed = nullptr;
    QLineEdit* memory = nullptr;
    QLineEdit* hardDrive = nullptr;
    QLineEdit* monitor = nullptr;
    QLineEdit* mouse = nullptr;
    QLineEdit* keyboard = nullptr;
    QLineEdit* operatingSystem = nullptr;

    // The controls are made in tab order: the pickers, then the boxes in the order of the members above.
    EquipmentFields(QWidget* parent, Pickers pickers);

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
    HoldingEntry entry(const QDate& purchased) const;
    EquipmentTemplate templateValues() const;
    // The values as typed, for a unit of the inventory: an empty date box stores no date, and with no type picked
    // the stored type stays. None, once the user has been told, when the date box holds no date.
    std::optional<UnitValues> unitValues(Dialogs& dialogs, QWidget* window, const QDate& today) const;
    // The template's values into their boxes, a Null emptying its box, and its type picked when it is listed.
    // Serial number, asset tag, date, price and location keep theirs: a template carries none.
    void fillFromTemplate(const StoredTemplate& values);
    // The first type and location picked, as when the window opened.
    void pickFirst();
};
