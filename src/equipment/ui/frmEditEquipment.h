#pragma once

#include "equipment/ui/EquipmentFields.h"
#include "platform/AppContext.h"
#include "platform/Navigator.h"

#include <QMenuBar>
#include <QPointer>
#include <QWidget>

class FieldsTab;
class NotesTab;
class QLineEdit;
class QListWidget;
class QTabWidget;
class AttachmentsTab;
class ReportList;

// One unit of the inventory in full: its values to correct, where it is and has been, and the move elsewhere.
class frmEditEquipment : public QWidget, public HasOwnMenuBar {
    Q_OBJECT
public:
    explicit frmEditEquipment(AppContext& ctx, QWidget* parent = nullptr);
    ~frmEditEquipment() override;

    QString Idnum; // the equipment id, set by the opener
    QString ssn;   // the serial number as the opener lists it, for the caption

    void load();
    void PopulateDetail();
    void PopulateLocationList();
    void popNotes();
    void PopulateListAtt();

    QMenuBar* ownMenuBar() const override { return m_menuBar; }
    QListWidget* typeList() const { return m_fields.types; }
    QListWidget* locationList() const { return m_locations; }
    ReportList* historyList() const { return m_history; }
    NotesTab* notesTab() const { return m_notes; }
    FieldsTab* fieldsTab() const { return m_userFields; }

public slots:
    void saveChanges();
    void reassign();

private:
    QWidget* buildInformationTab();
    qint64 unitId() const { return Idnum.toLongLong(); }
    void sayUnitGone();

    AppContext& m_ctx;
    QPointer<QMenuBar> m_menuBar;
    QTabWidget* m_tabs;
    EquipmentFields m_fields;
    QLineEdit* m_barcodeNumber;
    QLineEdit* m_barcodeIdentification;
    QLineEdit* m_currentLocation = nullptr;
    QListWidget* m_locations = nullptr;
    ReportList* m_history = nullptr;
    AttachmentsTab* m_attachments = nullptr;
    NotesTab* m_notes = nullptr;
    FieldsTab* m_userFields = nullptr;
};
