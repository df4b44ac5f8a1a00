#include "locations/frmCreateLocation.h"

#include "locations/LocationStore.h"
#include "locations/StateList.h"
#include "locations/frmActiveLocations.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"
#include "platform/Twips.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kWidthTwips = 9255;
constexpr int kHeightTwips = 4755;
} // namespace

frmCreateLocation::frmCreateLocation(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmCreateLocation"));
    setWindowTitle(captionFor(QStringLiteral("Create Location")));

    auto* locationFrame = new QGroupBox(QStringLiteral("Location Information"), this);
    auto* locationForm = new QFormLayout(locationFrame);
    const auto addBox = [](QGroupBox* frame, QFormLayout* form, const char* name, const QString& caption) {
        QLineEdit* box = makeTextBox(frame, name, caption);
        form->addRow(makeBuddyLabel(frame, caption, box), box);
        return box;
    };
    m_name = addBox(locationFrame, locationForm, "txtName", QStringLiteral("Name"));
    m_addressOne = addBox(locationFrame, locationForm, "txtAddressOne", QStringLiteral("Address One"));
    m_addressTwo = addBox(locationFrame, locationForm, "txtAddressTwo", QStringLiteral("Address Two"));
    m_city = addBox(locationFrame, locationForm, "txtCity", QStringLiteral("City"));
    m_states = new QListWidget(locationFrame);
    m_states->setObjectName(QStringLiteral("List1"));
    m_states->setAccessibleName(QStringLiteral("State"));
    m_states->setMaximumHeight(Twips::toPixelsY(700, this));
    locationForm->addRow(makeBuddyLabel(locationFrame, QStringLiteral("State"), m_states), m_states);
    m_zip = addBox(locationFrame, locationForm, "txtZip", QStringLiteral("Zip"));
    m_phone = addBox(locationFrame, locationForm, "txtPhoneNumber", QStringLiteral("Phone Number"));

    auto* contactFrame = new QGroupBox(QStringLiteral("Contact Information"), this);
    auto* contactForm = new QFormLayout(contactFrame);
    m_firstName = addBox(contactFrame, contactForm, "txtFirstName", QStringLiteral("First Name"));
    m_middleName = addBox(contactFrame, contactForm, "txtMiddleName", QStringLiteral("Middle Name"));
    m_lastName = addBox(contactFrame, contactForm, "txtLastName", QStringLiteral("Last Name"));
    m_title = addBox(contactFrame, contactForm, "txtTitle", QStringLiteral("Title"));
    m_contactPhone = addBox(contactFrame, contactForm, "txtContactPhoneNumber", QStringLiteral("Phone Number"));
    m_cellPhone = addBox(contactFrame, contactForm, "txtCellPhoneNumber", QStringLiteral("Cell Phone Number"));
    m_email = addBox(contactFrame, contactForm, "txtEmailAddress", QStringLiteral("Email Address"));
    for (QFormLayout* form : {locationForm, contactForm}) {
        form->setVerticalSpacing(2);
        form->setContentsMargins(6, 4, 6, 4);
    }

    auto* submitButton = makeButton(this, "Command1", QStringLiteral("Submit"));
    auto* clearButton = makeButton(this, "Command2", QStringLiteral("Clear"));
    auto* cancelButton = makeButton(this, "Command3", QStringLiteral("Cancel"));
    auto* frames = new QHBoxLayout;
    frames->addWidget(locationFrame);
    frames->addWidget(contactFrame);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(submitButton);
    buttons->addWidget(clearButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(frames);
    layout->addLayout(buttons);

    connect(submitButton, &QPushButton::clicked, this, &frmCreateLocation::submit);
    connect(clearButton, &QPushButton::clicked, this, &frmCreateLocation::clear);
    connect(cancelButton, &QPushButton::clicked, this, &frmCreateLocation::cancel);

    fillStateList(m_states);
    selectState(m_states, 2);
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

void frmCreateLocation::submit() {
    if (m_name->text().isEmpty()) {
        m_ctx.dialogs->message(this, QStringLiteral("Invalid location name"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        return;
    }
    if (!selectedStateId(m_states)) {
        // A location without a state would be missing from every list of locations.
        m_ctx.dialogs->message(this, QStringLiteral("Select the location's state"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        return;
    }
    const NewLocation location{m_name->text(),
                               {m_addressOne->text(), m_addressTwo->text(), m_city->text(), m_zip->text(),
                                m_phone->text(), selectedStateId(m_states)}};
    const LocationContact contact{m_firstName->text(), m_middleName->text(),   m_lastName->text(), m_title->text(),
                                  m_contactPhone->text(), m_cellPhone->text(), m_email->text()};
    if (guarded(*m_ctx.dialogs, this, [&] { LocationStore(*m_ctx.db).createLocation(location, contact); }))
        clear();
}

void frmCreateLocation::clear() { clearTextBoxes(this); }

void frmCreateLocation::cancel() {
    if (RefreshF)
        guarded(*m_ctx.dialogs, this, [&] { RefreshF->populateTree(QString()); });
    close();
}
