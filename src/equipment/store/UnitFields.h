#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>

// A unit's attributes, described once: every record, statement, box and import header is built on this table.
// Adding one is a row here plus its schema column (docs/adding-an-attribute.md).
enum class UnitField {
    AssetTagNumber,
    EquipmentType,
    Manufacturer,
    DatePurchased,
    PurchasePrice,
    SerialNumber,
    ModelNumber,
    OtherIdentificationNumber,
    OtherIdentificationType,
    CpuSpeed,
    Memory,
    HardDriveCapacity,
    Monitor,
    Mouse,
    Keyboard,
    OperatingSystem,
};
inline constexpr std::size_t kUnitFieldCount = 16;

struct UnitFieldInfo {
    UnitField field;
    const char* holding;   // its HoldEquipment column; none when units never wait there with it
    const char* inventory; // its EquipmentInfo (and TempEquipmentInfo) column
    const char* stencil;   // its EquipmentTemplate column; none when a template does not carry it
    const char* caption;   // its label in the equipment windows and in the import's messages
    const char* box;       // the objectName of its box; none when it has no box (the type is picked from a list)
    const char* summary;   // its label in the holding row's summary (older spellings kept, "Cpu Speed")
    std::initializer_list<const char*> spellings; // import headers naming it, as letters and digits in lower case
};

// Table order is the holding table's column order and the order of the holding row's summary.
// clang-format off
inline constexpr std::array<UnitFieldInfo, kUnitFieldCount> kUnitFields = {{
//   field                                  holding              inventory                    template
//   caption                                box                         summary
    {UnitField::AssetTagNumber,             "AssetTagNumber",    "AssetTagNumber",            nullptr,
     "Asset Tag Number",                    "txtAssetTagNumber",        "Asset Tag Number",
     {"assettagnumber", "assettag", "assettagno", "assetnumber", "assetno", "asset", "tag", "tagnumber"}},
    {UnitField::EquipmentType,              "EquipmentType",     "EquipmentType",             "Description",
     "Description",                         nullptr,                    "Description",
     {"equipmenttype", "description", "type", "equipment", "category"}},
    {UnitField::Manufacturer,               "Manufacturer",      "Manufacturer",              "Manufacturer",
     "Manufacturer",                        "txtManufacturer",          "Manufacturer",
     {"manufacturer", "make", "maker", "vendor", "brand"}},
    {UnitField::DatePurchased,              "DatePurchased",     "DatePurchased",             nullptr,
     "Date Purchased",                      "txtDatePurchased",         "Date Purchased",
     {"datepurchased", "purchasedate", "purchased", "dateofpurchase", "date"}},
    {UnitField::PurchasePrice,              "PurchasePrice",     "PurchasePrice",             nullptr,
     "Purchase Price",                      "txtPurchasePrice",         "Purchase Price",
     {"purchaseprice", "price", "cost"}},
    {UnitField::SerialNumber,               "SerialNumber",      "SerialNumber",              nullptr,
     "Serial Number",                       "txtSerialNumber",          "Serial Number",
     {"serialnumber", "serial", "serialno", "serialnum", "sn"}},
    {UnitField::ModelNumber,                "ModelNumber",       "ModelNumber",               "ModelNumber",
     "Model Number",                        "txtModelNumber",           "Model Number",
     {"modelnumber", "model", "modelno"}},
    {UnitField::OtherIdentificationNumber,  nullptr,             "OtherIdentificationNumber", nullptr,
     "Other Identification Number",         nullptr,                    nullptr,
     {}},
    {UnitField::OtherIdentificationType,    nullptr,             "OtherIdentificationType",   nullptr,
     "Other Identification Type",           nullptr,                    nullptr,
     {}},
    {UnitField::CpuSpeed,                   "CpuSpeed",          "CPUSpeed",                  "CPU",
     "Cpu-Speed",                           "txtCpuSpeed",              "Cpu Speed",
     {"cpuspeed", "cpu", "processor"}},
    {UnitField::Memory,                     "Memory",            "Memory",                    "Memory",
     "Memory",                              "txtMemory",                "Memory",
     {"memory", "ram"}},
    {UnitField::HardDriveCapacity,          "HardDriveCapacity", "HarddriveCap",              "HD",
     "Hard Drive Capacity",                 "txtHardDriveCapacity",     "HardDriveCapacity",
     {"harddrivecapacity", "harddrivecap", "harddrive", "hd", "hdd", "disk", "storage"}},
    {UnitField::Monitor,                    "Monitor",           "Monitor",                   "Monitor",
     "Monitor",                             "txtMonitor",               "Monitor",
     {"monitor"}},
    {UnitField::Mouse,                      "Mouse",             "Mouse",                     "Mouse",
     "Mouse",                               "txtMouse",                 "Mouse",
     {"mouse"}},
    {UnitField::Keyboard,                   "Keyboard",          "Keyboard",                  "Keyboard",
     "Keyboard",                            "txtKeyboard",              "Keyboard",
     {"keyboard"}},
    {UnitField::OperatingSystem,            "OperatingSystem",   "OperatingSystem",           "OS",
     "Operating System",                    "txtOperatingSystem",       "Operating System",
     {"operatingsystem", "os"}},
}};
// clang-format on

constexpr bool unitFieldsInEnumOrder() {
    for (std::size_t i = 0; i < kUnitFields.size(); ++i)
        if (static_cast<std::size_t>(kUnitFields[i].field) != i)
            return false;
    return true;
}
static_assert(static_cast<std::size_t>(UnitField::OperatingSystem) + 1 == kUnitFieldCount,
              "kUnitFieldCount counts every UnitField");
static_assert(unitFieldsInEnumOrder(), "kUnitFields holds one row per UnitField, in enum order");

constexpr const UnitFieldInfo& unitField(UnitField field) {
    return kUnitFields[static_cast<std::size_t>(field)];
}

// A stored date's value: none for Null, and for stored text that is no date.
std::optional<QDate> storedDate(const std::optional<QString>& stored);

// One value per attribute, indexed by its field.
template <typename T> struct UnitAttributes {
    std::array<T, kUnitFieldCount> values{};

    T& operator[](UnitField field) { return values[static_cast<std::size_t>(field)]; }
    const T& operator[](UnitField field) const { return values[static_cast<std::size_t>(field)]; }
};

// A unit's values as a user enters them, to be stored: text exactly as typed. The purchase date is its stored
// (ISO) text; a null date stores no date. A null type keeps a stored unit's type and stores Null for a new one.
struct UnitValues : UnitAttributes<QString> {
    qint64 currentLocation = 0; // where a unit entered into the holding table goes
    QString locationName;

    void setDatePurchased(const QDate& date);
};

// A unit (or a holding row, or a template) as stored: a Null value is none; text comes back raw ("&nbsp;"
// included) for the window's own display rule, the purchase date as its stored text.
struct UnitRecord : UnitAttributes<std::optional<QString>> {
    qint64 id = 0;
    bool active = false;
    std::optional<qint64> currentLocation;
    std::optional<QString> locationName; // none when the location no longer exists

    // None for Null, and for stored text that is no date.
    std::optional<QDate> datePurchased() const;
};
