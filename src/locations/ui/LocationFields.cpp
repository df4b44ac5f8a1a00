#include "locations/ui/LocationFields.h"

#include "locations/ui/StateList.h"
#include "platform/FormHelpers.h"
#include "platform/Twips.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace {
QGroupBox* formFrame(QWidget* parent, const QString& caption, QFormLayout*& form) {
    auto* frame = new QGroupBox(caption, parent);
    form = new QFormLayout(frame);
    form->setVerticalSpacing(2);
    form->setContentsMargins(6, 4, 6, 4);
    return frame;
}

QLineEdit* addBox(QFormLayout* form, QWidget* frame, const char* name, const QString& caption) {
    QLineEdit* box = makeTextBox(frame, name, caption);
    form->addRow(makeBuddyLabel(frame, caption, box), box);
    return box;
}
} // namespace

LocationFields::LocationFields(QWidget* parent) {
    frame = formFrame(parent, QStringLiteral("Location Information"), form);
    name = addBox(form, frame, "txtName", QStringLiteral("Name"));
    addressOne = addBox(form, frame, "txtAddressOne", QStringLiteral("Address One"));
    addressTwo = addBox(form, frame, "txtAddressTwo", QStringLiteral("Address Two"));
    city = addBox(form, frame, "txtCity", QStringLiteral("City"));
    states = new QListWidget(frame);
    states->setObjectName(QStringLiteral("List1"));
    states->setAccessibleName(QStringLiteral("State"));
    states->setMaximumHeight(Twips::toPixelsY(700, parent));
    fillStateList(states);
    form->addRow(makeBuddyLabel(frame, QStringLiteral("State"), states), states);
    zip = addBox(form, frame, "txtZip", QStringLiteral("Zip"));
    phone = addBox(form, frame, "txtPhoneNumber", QStringLiteral("Phone Number"));
}

LocationAddress LocationFields::address() const {
    return {addressOne->text(), addressTwo->text(), city->text(), zip->text(), phone->text(), selectedStateId(states)};
}

ContactFields::ContactFields(QWidget* parent) {
    frame = formFrame(parent, QStringLiteral("Contact Information"), form);
    firstName = addBox(form, frame, "txtFirstName", QStringLiteral("First Name"));
    middleName = addBox(form, frame, "txtMiddleName", QStringLiteral("Middle Name"));
    lastName = addBox(form, frame, "txtLastName", QStringLiteral("Last Name"));
    title = addBox(form, frame, "txtTitle", QStringLiteral("Title"));
    phone = addBox(form, frame, "txtContactPhoneNumber", QStringLiteral("Phone Number"));
    cellPhone = addBox(form, frame, "txtCellPhoneNumber", QStringLiteral("Cell Phone Number"));
    email = addBox(form, frame, "txtEmailAddress", QStringLiteral("Email Address"));
}

LocationContact ContactFields::contact() const {
    return {firstName->text(), middleName->text(), lastName->text(), title->text(),
            phone->text(),     cellPhone->text(),  email->text()};
}
