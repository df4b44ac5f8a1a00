#include "equipment/ui/FrmDuplicate.h"

#include "data/DateText.h"
#include "data/DisplayRules.h"
#include "data/QuotedValue.h"
#include "equipment/store/ClsDuplicates.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "equipment/ui/AssignmentHistory.h"
#include "locations/store/LocationStore.h"
#include "platform/Clock.h"
#include "platform/CutTextTips.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ListChoice.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kWidthTwips = 15720;
constexpr int kHeightTwips = 9615;

const QString kSerialTaken =
    QStringLiteral("The changes to the proposed were test and it has been determined that another record exist for "
                   "the new proposed serial number.\nTry another options or another serial number.");

void showValue(QLineEdit* box, const std::optional<QString>& value) {
    box->setText(value ? nbspAsBlank(*value) : QString());
    box->setCursorPosition(0); // a long value shows from its start
}
} // namespace

FrmDuplicate::FrmDuplicate(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_existing(this, EquipmentFields::Pickers::Type),
      m_proposed(this, EquipmentFields::Pickers::Type) {
    setObjectName(QStringLiteral("FrmDuplicate"));
    auto* existingFrame = new QGroupBox(QStringLiteral("Existing Equipment"), this);
    auto* existingLayout = new QVBoxLayout(existingFrame);
    existingLayout->addWidget(buildSide(m_existing, m_existingLocation, QString()));
    auto* historyFrame = new QGroupBox(QStringLiteral("Assignment History"), existingFrame);
    m_history = makeHistoryList(historyFrame);
    // Takes the height the existing fields leave, however little, rather than push them out of line.
    m_history->setSizePolicy(m_history->sizePolicy().horizontalPolicy(), QSizePolicy::Ignored);
    auto* historyLayout = new QVBoxLayout(historyFrame);
    historyLayout->addWidget(m_history);
    existingLayout->addWidget(historyFrame);
    auto* proposedFrame = new QGroupBox(QStringLiteral("Proposed Equipment"), this);
    auto* proposedLayout = new QVBoxLayout(proposedFrame);
    proposedLayout->addWidget(buildSide(m_proposed, m_proposedLocation, QStringLiteral("Proposed")));
    m_newLocation = new QListWidget(proposedFrame);
    m_newLocation->setObjectName(QStringLiteral("List1"));
    m_newLocation->setAccessibleName(QStringLiteral("Select New Location"));
    m_newLocation->setSelectionMode(QAbstractItemView::SingleSelection);
    showCutTextInToolTips(m_newLocation);
    m_newLocationLabel = makeBuddyLabel(proposedFrame, m_newLocation->accessibleName(), m_newLocation);
    proposedLayout->addWidget(m_newLocationLabel);
    proposedLayout->addWidget(m_newLocation, 1);
    // The proposed fields keep their natural spacing, level with their existing twins; the room below them is the
    // new location list's when it shows, otherwise left empty.
    proposedLayout->addStretch();
    m_newLocationLabel->hide();
    m_newLocation->hide();

    auto* actionFrame = new QGroupBox(QStringLiteral("Action"), this);
    auto* actionLayout = new QVBoxLayout(actionFrame);
    const char* const captions[] = {"Delete Existing, Submit Proposed",
                                    "Keep Existing, Test/Submit Changes to the Proposed",
                                    "Keep Existing, Delete Proposed"};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QLatin1String(captions[i]), actionFrame);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        // However it gets checked (mouse, keys, a screen reader), the boxes follow.
        connect(option, &QRadioButton::toggled, this, &FrmDuplicate::optionChosen);
        actionLayout->addWidget(option);
        m_options << option;
    }
    auto* submitButton = makeButton(actionFrame, "Command5", QStringLiteral("Submit"));
    auto* cancel = makeButton(actionFrame, "Command6", QStringLiteral("Cancel"));
    auto* print = makeButton(actionFrame, "Command4", QStringLiteral("Print"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(submitButton);
    buttons->addWidget(cancel);
    buttons->addWidget(print);
    actionLayout->addLayout(buttons);
    actionLayout->addStretch();
    connect(submitButton, &QPushButton::clicked, this, &FrmDuplicate::submit);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(existingFrame, 3);
    layout->addWidget(proposedFrame, 3);
    layout->addWidget(actionFrame, 2);
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

QWidget* FrmDuplicate::buildSide(EquipmentFields& side, QLineEdit*& location, const QString& prefix) {
    QGroupBox* frame = side.frame;
    side.types->setObjectName(prefix.isEmpty() ? QStringLiteral("TxtDescription")
                                               : QStringLiteral("txtProposedDescription"));
    location = makeTextBox(frame, "txtCurrentLocation", QStringLiteral("Current Location"));
    QLineEdit* barcodeNumber = makeTextBox(frame, "txtBarCodeNumber", QStringLiteral("Barcode Number"));
    QLineEdit* barcodeIdentification =
        makeTextBox(frame, "txtBarCodeIdentification", QStringLiteral("Barcode Identification"));
    const QList<QLineEdit*> boxes = side.boxes() << location;
    if (!prefix.isEmpty()) {
        for (QLineEdit* box : boxes + QList<QLineEdit*>{barcodeNumber})
            box->setObjectName(QStringLiteral("txt") + prefix + box->objectName().mid(3));
        barcodeIdentification->setObjectName(QStringLiteral("txtProposedBarcodeIdentification"));
    }
    for (QLineEdit* box : boxes)
        box->setReadOnly(true);
    barcodeNumber->setEnabled(false);
    barcodeIdentification->setEnabled(false);
    side.types->setFixedHeight(side.types->fontMetrics().height() * 4);
    QFormLayout* form =
        side.column({side.assetTag, side.manufacturer, side.datePurchased, side.purchasePrice, side.serialNumber,
                     side.modelNumber, side.cpuSpeed, side.memory, side.hardDrive, side.monitor, side.mouse,
                     side.keyboard, side.operatingSystem, location, barcodeNumber, barcodeIdentification});
    form->insertRow(0, makeBuddyLabel(frame, side.types->accessibleName(), side.types), side.types);
    frame->setLayout(form);
    // Never squeezed below its rows' natural height (the history list below gives way instead), so each row stays
    // level with its twin on the other side.
    frame->setSizePolicy(frame->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    return frame;
}

void FrmDuplicate::load() {
    // "aqction": the system's given spelling, kept on purpose.
    setWindowTitle(QStringLiteral("Duplicate equipment aqction form for serial number : ") + Idnum);
    const QStringList types = EquipmentTypeStore(*m_ctx.db).names();
    m_existing.types->addItems(types);
    m_proposed.types->addItems(types);
    m_case = DuplicateStore(*m_ctx.db).load(Idnum);
    showRecord(m_existing, m_existingLocation, m_case.existing);
    showRecord(m_proposed, m_proposedLocation, m_case.proposed);
    showHistory(m_history, m_case.history);
    if (m_case.proposed && !m_case.proposedLocationAvailable)
        offerNewLocation();
}

void FrmDuplicate::offerNewLocation() {
    m_newLocation->clear();
    for (const LocationIdName& location : LocationStore(*m_ctx.db).activeLocationNames()) {
        auto* item = new QListWidgetItem(nbspAsBlank(location.name.toString()), m_newLocation);
        item->setData(Qt::UserRole, location.id);
    }
    m_newLocationLabel->show();
    m_newLocation->show();
}

bool FrmDuplicate::chosenLocation(std::optional<qint64>& location) {
    location.reset();
    if (m_newLocation->isHidden())
        return true;
    const QListWidgetItem* picked = chosenItem(m_newLocation);
    if (!picked) {
        m_ctx.dialogs->message(this, QStringLiteral("No location selected"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        m_newLocation->setFocus();
        return false;
    }
    location = picked->data(Qt::UserRole).toLongLong();
    return true;
}

void FrmDuplicate::showRecord(EquipmentFields& side, QLineEdit* location, const std::optional<UnitRecord>& record) {
    if (!record)
        return;
    const UnitRecord& r = *record;
    if (r.equipmentType) {
        const QList<QListWidgetItem*> matches = side.types->findItems(*r.equipmentType, Qt::MatchExactly);
        if (!matches.isEmpty())
            side.types->setCurrentItem(matches.first());
    }
    showValue(side.assetTag, r.assetTagNumber);
    showValue(side.manufacturer, r.manufacturer);
    side.datePurchased->setText(r.datePurchased ? DateText::toShort(*r.datePurchased) : QString());
    showValue(side.purchasePrice, r.purchasePrice);
    showValue(side.serialNumber, r.serialNumber);
    showValue(side.modelNumber, r.modelNumber);
    showValue(side.cpuSpeed, r.cpuSpeed);
    showValue(side.memory, r.memory);
    showValue(side.hardDrive, r.harddriveCap);
    showValue(side.monitor, r.monitor);
    showValue(side.mouse, r.mouse);
    showValue(side.keyboard, r.keyboard);
    showValue(side.operatingSystem, r.operatingSystem);
    showValue(location, r.locationName);
}

void FrmDuplicate::optionChosen() {
    // Only a corrected record is typed into; a location is never typed, only picked when its own went away.
    const bool editable = m_options.at(KeepExistingSubmitCorrected)->isChecked();
    for (QLineEdit* box : m_proposed.boxes())
        box->setReadOnly(!editable);
}

bool FrmDuplicate::confirmed(const QString& what) {
    return m_ctx.dialogs->message(
               this, QStringLiteral("This action will ") + what + QStringLiteral("\nDo you want to continue"),
               Dialogs::Buttons::YesNoDefaultNo) == Dialogs::Answer::Yes;
}

void FrmDuplicate::submit() {
    const auto refuse = [this](const char* text) {
        m_ctx.dialogs->message(this, QLatin1String(text), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    };
    if (m_proposed.serialNumber->text().isEmpty())
        return refuse("Invalid proposed serial number");
    if (m_existing.serialNumber->text().isEmpty())
        return refuse("Invalid serial number");
    const auto chosen = [this](Option which) { return m_options.at(which)->isChecked(); };
    if (!chosen(DeleteExistingSubmitProposed) && !chosen(KeepExistingSubmitCorrected) &&
        !chosen(KeepExistingDeleteProposed)) {
        close();
        return;
    }
    guarded(*m_ctx.dialogs, this, [&] {
        DuplicateStore store(*m_ctx.db);
        if (chosen(KeepExistingDeleteProposed)) {
            if (confirmed(QStringLiteral("keep existing and delete proposed")))
                resolved(KeepExistingDeleteProposed, store.discardProposed(m_case));
            return;
        }
        const std::optional<UnitValues> values = m_proposed.unitValues(*m_ctx.dialogs, this, m_ctx.clock->today());
        if (!values)
            return;
        std::optional<qint64> location;
        if (!chosenLocation(location))
            return;
        const QString& serial = values->serialNumber;
        if (chosen(DeleteExistingSubmitProposed)) {
            if (confirmed(QStringLiteral("delete the existing and submit proposed")))
                resolved(DeleteExistingSubmitProposed, store.replaceExisting(m_case, *values, location), serial);
            return;
        }
        if (ClsDuplicates(*m_ctx.db).CheckDuplicate(serial))
            return resolved(KeepExistingSubmitCorrected, Resolution::SerialTaken, serial);
        if (confirmed(QStringLiteral("keep existing, test/submit changes to the proposed")))
            resolved(KeepExistingSubmitCorrected, store.submitCorrected(m_case, *values, location), serial);
    });
}

void FrmDuplicate::resolved(Option chosen, Resolution outcome, const QString& serial) {
    const auto refuse = [this](const QString& text, Dialogs::Icon icon = Dialogs::Icon::Critical) {
        m_ctx.dialogs->message(this, text, Dialogs::Buttons::Ok, icon);
    };
    switch (outcome) {
    case Resolution::Done:
        m_ctx.dialogs->message(
            this,
            QStringLiteral("Operation complete\n\nBe sure to refresh the duplicate table to reflect all changes"));
        close();
        return;
    case Resolution::SerialTaken:
        if (chosen == KeepExistingSubmitCorrected)
            return refuse(kSerialTaken, Dialogs::Icon::Information);
        return refuse(QStringLiteral("Another unit in the inventory already has the serial number \"%1\". Nothing "
                                     "was changed.")
                          .arg(quotedValue(serial)));
    case Resolution::LocationUnavailable:
        if (!m_newLocation->isHidden())
            refuse(QStringLiteral("The selected location no longer exists or has been retired"));
        else
            refuse(QStringLiteral("The proposed equipment's location no longer exists or has been retired. Nothing "
                                  "was changed.\nSelect a new location for it and submit again."));
        offerNewLocation();
        return;
    case Resolution::ProposedGone:
        return refuse(QStringLiteral("This duplicate has already been resolved elsewhere. Nothing was changed."));
    }
}
