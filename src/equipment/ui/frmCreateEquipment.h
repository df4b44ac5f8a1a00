#pragma once

#include "data/ListColumns.h"
#include "equipment/ui/EquipmentFields.h"
#include "platform/AppContext.h"
#include "platform/OpenWindow.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLayout;
class QListWidget;
class QPushButton;
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
    QListWidget* typeList() const { return m_fields.types; }
    QListWidget* locationList() const { return m_fields.locations; }
    QListWidget* templateList() const { return m_fields.templates; }

public slots:
    void submit();
    void scan();
    void clearFields();
    void saveTemplate();
    void loadTemplate();
    // The summary of the holding row double-clicked.
    void showHoldingRow(int row);
    void deleteSelected();
    void clearHoldingTable();
    void commit();
    void refreshTypes();
    void refreshLocations();
    void refreshHoldingList();
    void refreshDuplicateList();
    void printHoldingTable();
    void printDuplicateTable();
    // Settles every selected duplicate at once, after one question.
    void discardSelectedDuplicates();
    void replaceSelectedDuplicates();

private:
    QGroupBox* buildEntryFrame();
    QLayout* buildEntryButtons();
    QGroupBox* buildOutboundFrame();
    // A button of frame that runs slot when clicked.
    template <typename Slot> QPushButton* button(QWidget* frame, const char* name, const QString& caption, Slot slot);
    void SetListColumns(ReportList* list, const ListColumns& columns);
    void PopulateTypeList();
    void PopulateLocationList();
    void PopulateTemplateList();
    void PopulateHoldList();
    void PopulateDupList();
    // The entry as the fields and lists hold it now, with the date made valid first.
    UnitValues currentEntry();
    void ClearTextFields();
    // True when a location is selected; otherwise says so.
    bool locationChosen();
    bool openDuplicate(int row, OnTooManyWindows onTooMany);
    enum class Settle { Discard, Replace };
    void settleSelectedDuplicates(Settle how);

    AppContext& m_ctx;
    ReportList* m_holding;
    ReportList* m_duplicates;
    // Made after the two lists, which come first in the tab order.
    EquipmentFields m_fields;
    QCheckBox* m_clearAfterSubmit;
    QCheckBox* m_promptAssetTag;
};
