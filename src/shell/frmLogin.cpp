#include "shell/frmLogin.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/ProductTitle.h"
#include "platform/WindowHost.h"
#include "platform/WindowKeys.h"
#include "shell/MDIKavrel.h"
#include "shell/frmSplash.h"
#include "users/store/UserStore.h"
#include "users/ui/frmNewUser.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace {
const QString kBootstrapText = QStringLiteral("lumox");
constexpr double kSplashSeconds = 3.0;
} // namespace

frmLogin::frmLogin(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_userName(new QLineEdit(this)), m_password(new QLineEdit(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)), m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(kProductTitle + QStringLiteral(" Login"));
    m_userName->setObjectName(QStringLiteral("txtUserName"));
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_cancel->setAutoDefault(false);

    auto* userLabel = new QLabel(QStringLiteral("&User Name:"), this);
    auto* passwordLabel = new QLabel(QStringLiteral("&Password:"), this);
    userLabel->setObjectName(QStringLiteral("lblLabels_0"));
    passwordLabel->setObjectName(QStringLiteral("lblLabels_1"));
    userLabel->setBuddy(m_userName);
    passwordLabel->setBuddy(m_password);
    m_userName->setAccessibleName(QStringLiteral("User Name"));
    m_password->setAccessibleName(QStringLiteral("Password"));

    auto* form = new QFormLayout;
    form->addRow(userLabel, m_userName);
    form->addRow(passwordLabel, m_password);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &frmLogin::okClicked);
    connect(m_cancel, &QPushButton::clicked, this, &frmLogin::cancelClicked);
    // Esc closes a dialog through reject(): that is Cancel here.
    connect(this, &QDialog::rejected, this, [this] { LoginSucceeded = false; });
}

bool frmLogin::load() {
    if (UserStore(*m_ctx.db).activeAccountCount() > 0)
        return true;
    m_ctx.dialogs->message(this,
                           QStringLiteral("Currently there are no user defined\nPress enter to define a user\n"
                                          "Once the user has been defined restart the application to login"),
                           Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    openNewUserWindow();
    return false;
}

void frmLogin::okClicked() {
    const QString userName = m_userName->text();
    const QString password = m_password->text();
    if (userName == kBootstrapText && password == kBootstrapText) {
        openNewUserWindow();
        return;
    }
    bool valid = false;
    if (!guarded(*m_ctx.dialogs, this, [&] { valid = UserStore(*m_ctx.db).verifyLogin(userName, password); }))
        return;
    if (!valid) {
        m_ctx.dialogs->message(this, QStringLiteral("Invalid Password, try again!"), Dialogs::Buttons::Ok,
                               Dialogs::Icon::None, QStringLiteral("Login"));
        m_password->setFocus();
        m_password->selectAll();
        m_password->clear();
        return;
    }
    LoginSucceeded = true;
    showSplashThenMainWindow();
    close();
}

void frmLogin::cancelClicked() {
    LoginSucceeded = false;
    close();
}

void frmLogin::openNewUserWindow() {
    auto* window = new frmNewUser(m_ctx);
    answerWindowKeys(window);
    m_ctx.windows->show(window);
    close();
}

void frmLogin::showSplashThenMainWindow() {
    auto* splash = new frmSplash;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->repaint();
    hide();
    QPointer<frmSplash> alive(splash);
    const double start = m_ctx.clock->seconds();
    while (m_ctx.clock->seconds() - start < kSplashSeconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    auto* main = new MDIKavrel(m_ctx);
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->show();
    main->load();
    if (alive)
        alive->close();
}
