#pragma once

#include "data/SortCycle.h"
#include "locations/ui/LocationFields.h"
#include "platform/AppContext.h"
#include "platform/Navigator.h"

#include <QMenuBar>
#include <QPointer>
#include <QWidget>

class FieldsTab;
class NotesTab;
class QListWidget;
class QTabWidget;
class QToolBar;
class AttachmentsTab;
class ReportList;

// One location in full: address, contact, its equipment with counts per type, notes, attachments and the
// user-defined fields.
class DisplayInformation : public QWidget, public HasOwnMenuBar {
    Q_OBJECT
public:
    explicit DisplayInformation(AppContext& ctx, QWidget* parent = nullptr);
    ~DisplayInformation() override;

    QString LocId; // set by the opener before the window loads

    void load();
    void PopulateLocation(const QString& sortName);
    void popNotes();
    void PopulateListAtt();
    void PopulateFieldCaptions();

    QMenuBar* ownMenuBar() const override { return m_menuBar; }
    ReportList* equipmentList() const { return m_equipment; }
    ReportList* statisticsList() const { return m_statistics; }
    QListWidget* stateList() const { return m_location.states; }
    QToolBar* toolbar() const { return m_toolbar; }
    NotesTab* notesTab() const { return m_notes; }
    FieldsTab* fieldsTab() const { return m_fields; }

public slots:
    void updateAddress();
    void updateContact();
    void toolbarClicked(const QString& description);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGeneralTab();
    qint64 locationId() const { return LocId.toLongLong(); }
    void printReport();

    AppContext& m_ctx;
    QPointer<QMenuBar> m_menuBar;
    QToolBar* m_toolbar;
    QTabWidget* m_tabs;
    LocationFields m_location;
    ContactFields m_contact;
    ReportList* m_equipment = nullptr;
    ReportList* m_statistics = nullptr;
    AttachmentsTab* m_attachments = nullptr;
    NotesTab* m_notes = nullptr;
    FieldsTab* m_fields = nullptr;
    SortCycle m_sort;
};
