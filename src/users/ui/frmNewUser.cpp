#include "users/ui/frmNewUser.h"

#include "data/QuotedValue.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/FormHelpers.h"
#include "platform/ProductTitle.h"
#include "platform/Twips.h"
#include "users/store/UserStore.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <random>

namespace {
constexpr int kWidthTwips = 8670;
constexpr int kHeightTwips = 4935;

} // namespace

frmNewUser::frmNewUser(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmNewUser"));
    setWindowTitle(kProductTitle + QStringLiteral(" Add New User"));

    QGroupBox* frame = buildUserFrame();
    QLayout* buttons = buildButtons();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    Twips::setFixedSize(this, kWidthTwips, kHeightTwips);
}

QGroupBox* frmNewUser::buildUserFrame() {
    auto* frame = new QGroupBox(QStringLiteral("User Information"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_firstName = addBox("txtFirstName", QStringLiteral("First Name"));
    m_middleName = addBox("txtMiddleName", QStringLiteral("Middle Name"));
    m_lastName = addBox("txtLastName", QStringLiteral("Last Name"));
    m_email = addBox("txtEMailAddress", QStringLiteral("E-Mail Address"));
    m_userName = addBox("txtUserName", QStringLiteral("User Name"));
    m_password = addBox("txtPassword", QStringLiteral("Password"));
    // "txtPasswordRetypes": the system's given spelling, kept on purpose.
    m_passwordRetyped = addBox("txtPasswordRetypes", QStringLiteral("Password Retyped"));
    m_password->setEchoMode(QLineEdit::Password);
    m_passwordRetyped->setEchoMode(QLineEdit::Password);
    m_generatedPassword = new QLabel(this);
    m_generatedPassword->setObjectName(QStringLiteral("lblGeneratedPassword"));
    m_generatedPassword->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_generatedPassword->setAccessibleName(QStringLiteral("Generated Password"));

    auto* userNameButton = makeButton(frame, "CmdUserName", QStringLiteral("Generate User Name"));
    auto* passwordButton = makeButton(frame, "CmdPassword", QStringLiteral("Generate Password"));

    auto* grid = new QGridLayout(frame);
    const auto addRow = [&](int row, int col, const QString& caption, QLineEdit* box) {
        auto* label = new QLabel(caption, frame);
        label->setBuddy(box);
        grid->addWidget(label, row, col);
        grid->addWidget(box, row, col + 1);
    };
    addRow(0, 0, QStringLiteral("First Name"), m_firstName);
    addRow(1, 0, QStringLiteral("Middle Name"), m_middleName);
    addRow(2, 0, QStringLiteral("Last Name"), m_lastName);
    addRow(3, 0, QStringLiteral("E-Mail Address"), m_email);
    addRow(0, 2, QStringLiteral("User Name"), m_userName);
    grid->addWidget(userNameButton, 1, 3);
    addRow(2, 2, QStringLiteral("Password"), m_password);
    grid->addWidget(passwordButton, 3, 3);
    addRow(4, 2, QStringLiteral("Password Retyped"), m_passwordRetyped);
    grid->addWidget(m_generatedPassword, 5, 3);

    connect(userNameButton, &QPushButton::clicked, this, &frmNewUser::generateUserName);
    connect(passwordButton, &QPushButton::clicked, this, &frmNewUser::generatePassword);
    // The window's buttons, made after this, follow in the focus chain.
    setReadingOrder({m_userName, userNameButton, m_password, passwordButton, m_passwordRetyped});
    return frame;
}

QLayout* frmNewUser::buildButtons() {
    auto* saveButton = makeButton(this, "cmdOk", QStringLiteral("Save"));
    auto* clearButton = makeButton(this, "cmdClear", QStringLiteral("Clear"));
    auto* cancelButton = makeButton(this, "cmdCancel", QStringLiteral("Cancel"));
    connect(saveButton, &QPushButton::clicked, this, &frmNewUser::save);
    connect(clearButton, &QPushButton::clicked, this, &frmNewUser::clear);
    connect(cancelButton, &QPushButton::clicked, this, &frmNewUser::cancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(clearButton);
    buttons->addWidget(cancelButton);
    return buttons;
}

QLineEdit* frmNewUser::addBox(const char* name, const QString& accessibleName) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    return box;
}

QString frmNewUser::GeneratePassword(const QString& lastName, const std::function<double()>& random) {
    const auto draw = [&](qsizetype scale) {
        return static_cast<int>(std::floor(random() * static_cast<double>(scale) + 1));
    };
    QString p = QString::number(draw(9000));
    if (!lastName.isEmpty()) {
        const int k = draw(p.size());
        for (int n = 0; n < k; ++n) {
            const int i = draw(lastName.size());
            const int j = draw(p.size());
            p = p.left(j) + lastName.at(i - 1) + p.mid(j);
        }
    }
    return p;
}

void frmNewUser::generateUserName() {
    m_userName->setText(m_firstName->text().left(1) + m_middleName->text().left(1) + m_lastName->text());
}

void frmNewUser::generatePassword() {
    std::mt19937_64 engine(static_cast<std::uint64_t>(m_ctx.clock->now().toMSecsSinceEpoch()));
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const QString password = GeneratePassword(m_lastName->text(), [&] { return uniform(engine); });
    m_password->setText(password);
    m_passwordRetyped->setText(password);
    m_generatedPassword->setText(password);
}

void frmNewUser::save() {
    const auto refuse = [this](const QString& text) { m_ctx.dialogs->message(this, text); };
    if (m_password->text().isEmpty())
        return refuse(QStringLiteral("Invalid Password"));
    if (m_passwordRetyped->text().isEmpty())
        return refuse(QStringLiteral("Invalid password confirmation"));
    if (m_userName->text().isEmpty())
        return refuse(QStringLiteral("User Name can not be null"));
    if (m_password->text() != m_passwordRetyped->text())
        return refuse(QStringLiteral("The passwords do not match"));

    const NewUser user{m_userName->text(),   m_password->text(), m_firstName->text(),
                       m_middleName->text(), m_lastName->text(), m_email->text()};
    bool added = false;
    if (!guarded(*m_ctx.dialogs, this, [&] { added = UserStore(*m_ctx.db).addUser(user); }))
        return;
    if (!added)
        return refuse(QStringLiteral("An active user named \"%1\" already exists\nChoose another User Name")
                          .arg(quotedValue(user.userName)));
    m_ctx.dialogs->message(
        this, QStringLiteral("New user has been added\nRestart the application the login as the new user"));
    cancel();
}

void frmNewUser::clear() {
    for (QLineEdit* box : {m_firstName, m_middleName, m_lastName, m_email, m_userName, m_password, m_passwordRetyped})
        box->clear();
    m_generatedPassword->clear();
}

void frmNewUser::cancel() {
    if (m_ending)
        return;
    m_ending = true;
    m_ctx.endApplication();
}

void frmNewUser::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    cancel();
}
