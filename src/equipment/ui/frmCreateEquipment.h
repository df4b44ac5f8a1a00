#pragma once

#include "data/ListColumns.h"
#include "platform/AppContext.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QListWidget;
struct HoldingEntry;
class ReportList;

// Where new equipment enters: units are keyed, taken from templates or scanned into the holding table, then
// committed into the inventory, with serial numbers already known parked as duplicates.
class frmCreateEquipment : public QWidget {
    Q_OBJECT
public:
    explicit frmCreateEquipment(AppContext& ctx, QWidget* parent = nullptr);

    // False when there is no active location to enter equipment for: the window has then said so and opened
    // the create-location window instead. A table it cannot read throws.
    bool load();

    ReportList* holdingList() const { return m_holding; }
    ReportList* duplicateList() const { return m_duplicates; }
    QListWidget* typeList() const { return m_types; }
    QListWidget* locationList() const { return m_locations; }
    QListWidget* templateList() const { return m_templates; }

public slots:
    void submit();
    void scan();
    void clearFields();
    void saveTemplate();
    void loadTemplate();
    void showHoldingRow();
    void deleteSelected();
    void clearHoldingTable();
    void commit();
    void refreshTypes();
    void refreshLocations();
    void refreshHoldingList();
    void refreshDuplicateList();
    void printHoldingTable();
    void printDuplicateTable();

private:
    QLineEdit* box(const char* name, const QString& caption);
    void SetListColumns(ReportList* list, const ListColumns& columns);
    void PopulateTypeList();
    void PopulateLocationList();
    void PopulateTemplateList();
    void PopulateHoldList();
    void PopulateDupList();
    // The entry as the fields and lists hold it now, with the date made valid first.
    HoldingEntry currentEntry();
    void ClearTextFields();
    // True when a location is selected; otherwise says so.
    bool locationChosen();
    void printList(ReportList* list, const QString& title);

    AppContext& m_ctx;
    QListWidget* m_types;
    QListWidget* m_locations;
    QListWidget* m_templates;
    QLineEdit* m_manufacturer;
    QLineEdit* m_modelNumber;
    QLineEdit* m_serialNumber;
    QLineEdit* m_assetTag;
    QLineEdit* m_datePurchased;
    QLineEdit* m_purchasePrice;
    QLineEdit* m_cpuSpeed;
    QLineEdit* m_memory;
    QLineEdit* m_hardDrive;
    QLineEdit* m_monitor;
    QLineEdit* m_mouse;
    QLineEdit* m_keyboard;
    QLineEdit* m_operatingSystem;
    QCheckBox* m_clearAfterSubmit;
    QCheckBox* m_promptAssetTag;
    ReportList* m_holding;
    ReportList* m_duplicates;
};
