#include "locations/ui/frmCreateLocation.h"

#include "data/QuotedValue.h"
#include "locations/store/LocationStore.h"
#include "locations/ui/StateList.h"
#include "locations/ui/frmActiveLocations.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"
#include "platform/Twips.h"
#include "platform/WindowHost.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kWidthTwips = 9255;
constexpr int kHeightTwips = 4755;
} // namespace

frmCreateLocation::frmCreateLocation(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_location(this), m_contact(this) {
    setObjectName(QStringLiteral("frmCreateLocation"));
    setWindowTitle(captionFor(QStringLiteral("Create Location")));

    auto* submitButton = makeButton(this, "Command1", QStringLiteral("Submit"));
    auto* clearButton = makeButton(this, "Command2", QStringLiteral("Clear"));
    auto* cancelButton = makeButton(this, "Command3", QStringLiteral("Cancel"));
    auto* frames = new QHBoxLayout;
    frames->addWidget(m_location.frame);
    frames->addWidget(m_contact.frame);
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

    selectState(m_location.states, 2);
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

void frmCreateLocation::submit() {
    if (m_location.name->text().isEmpty()) {
        m_ctx.dialogs->message(this, QStringLiteral("Invalid location name"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        return;
    }
    const NewLocation location{m_location.name->text(), m_location.address()};
    if (!location.address.stateId) {
        // A location without a state would be missing from every list of locations.
        m_ctx.dialogs->message(this, QStringLiteral("Select the location's state"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Critical);
        return;
    }
    const LocationContact contact = m_contact.contact();
    if (guarded(*m_ctx.dialogs, this, [&] { LocationStore(*m_ctx.db).createLocation(location, contact); })) {
        clear();
        m_location.name->setFocus(); // ready for the next location
        m_ctx.windows->showStatus(QStringLiteral("Location \"%1\" saved.").arg(quotedValue(location.name)));
    }
}

void frmCreateLocation::clear() {
    clearTextBoxes(this);
}

void frmCreateLocation::cancel() {
    if (RefreshF)
        guarded(*m_ctx.dialogs, this, [&] { RefreshF->populateTree(QString()); });
    close();
}
