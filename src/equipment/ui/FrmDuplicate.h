#pragma once

#include "equipment/store/DuplicateStore.h"
#include "equipment/ui/EquipmentFields.h"
#include "platform/AppContext.h"

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class ReportList;

// Settles one parked serial number: the inventory unit that holds it beside the parked record, and the choice
// between replacing the unit, entering the corrected record beside it, or discarding the record.
class FrmDuplicate : public QWidget {
    Q_OBJECT
public:
    enum Option { DeleteExistingSubmitProposed, KeepExistingSubmitCorrected, KeepExistingDeleteProposed };

    explicit FrmDuplicate(AppContext& ctx, QWidget* parent = nullptr);

    QString Idnum; // the serial number to settle, set by the opener

    void load();

    QListWidget* existingTypes() const { return m_existing.types; }
    QListWidget* proposedTypes() const { return m_proposed.types; }
    ReportList* historyList() const { return m_history; }
    // Where a proposed record whose location is gone or retired can be sent instead; hidden otherwise.
    QListWidget* newLocationList() const { return m_newLocation; }
    QRadioButton* option(Option which) const { return m_options.at(which); }

public slots:
    void optionChosen();
    void submit();

private:
    QWidget* buildSide(EquipmentFields& side, QLineEdit*& location, const QString& prefix);
    void showRecord(EquipmentFields& side, QLineEdit* location, const std::optional<UnitRecord>& record);
    void offerNewLocation();
    // The location chosen for the proposed record: none while its own is kept; false when one must be chosen
    // and none is selected (the user has been told).
    bool chosenLocation(std::optional<qint64>& location);
    // True when the user answers Yes to "This action will <what>" and the usual "Do you want to continue".
    bool confirmed(const QString& what);
    void resolved(Option chosen, Resolution outcome, const QString& serial = QString());

    AppContext& m_ctx;
    EquipmentFields m_existing;
    EquipmentFields m_proposed;
    QLineEdit* m_existingLocation = nullptr;
    QLineEdit* m_proposedLocation = nullptr;
    ReportList* m_history = nullptr;
    QLabel* m_newLocationLabel = nullptr;
    QListWidget* m_newLocation = nullptr;
    QList<QRadioButton*> m_options;
    DuplicateCase m_case;
};
