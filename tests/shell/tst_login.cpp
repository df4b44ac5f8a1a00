#include "data/Database.h"
#include "shell/MDIKavrel.h"
#include "shell/frmLogin.h"
#include "shell/frmSplash.h"
#include "support/TestContext.h"
#include "users/store/PasswordHash.h"
#include "users/store/UserStore.h"
#include "users/ui/frmNewUser.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

const QString kNoUserText = QStringLiteral("Currently there are no user defined\nPress enter to define a user\n"
                                           "Once the user has been defined restart the application to login");

template <typename W> W* openTopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<W*>(w); found && found->isVisible())
            return found;
    return nullptr;
}

// Windows the login opens on the desktop; removed before the context they refer to.
struct DesktopCleanup {
    ~DesktopCleanup() {
        QList<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<MDIKavrel*>(w) || qobject_cast<frmNewUser*>(w) || qobject_cast<frmSplash*>(w))
                windows << w;
        qDeleteAll(windows); // a deleted window's pointer reads as null
    }
};

// What the desktop looked like at each reading of the clock during the splash wait.
struct Reading {
    double seconds;
    bool splashVisible;
    bool mainWindowOpen;
};

class ProbeClock : public FakeClock {
public:
    mutable QList<Reading> readings;
    std::function<void(int)> onReading; // called with the number of the reading, from 0

    double seconds() const override {
        const double value = FakeClock::seconds();
        readings.append({value, openTopLevel<frmSplash>() != nullptr, openTopLevel<MDIKavrel>() != nullptr});
        if (onReading)
            onReading(static_cast<int>(readings.size()) - 1);
        return value;
    }
};

void addAccount(Database& db, const QString& name, const QString& hash, bool active = true) {
    Query(db, "INSERT INTO Sec_Usr (UserName, ClientServer, Active) VALUES (?, ?, ?)")
        .exec({name, hash, active ? 1 : 0});
}

void logIn(frmLogin& login, const QString& user, const QString& password) {
    login.userNameBox()->setText(user);
    login.passwordBox()->setText(password);
    QTest::mouseClick(login.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
}

} // namespace

class tst_Login : public QObject {
    Q_OBJECT
    QString m_secretHash; // of "secret", made once: hashing is slow on purpose

private slots:
    void initTestCase() { m_secretHash = PasswordHash::hash("secret"); }
    void noActiveAccountOpensNewUserWindow_data();
    void noActiveAccountOpensNewUserWindow();
    void bootstrapOpensNewUserWindow();
    void failedLogin_data();
    void failedLogin();
    void successShowsSplashForThreeSecondsThenMainWindow_data();
    void successShowsSplashForThreeSecondsThenMainWindow();
    void splashClosedEarlyStillWaitsFullTime();
    void cancelMeansNoLogin_data();
    void cancelMeansNoLogin();
};

void tst_Login::noActiveAccountOpensNewUserWindow_data() {
    QTest::addColumn<QStringList>("inactiveUsers");
    QTest::newRow("no account") << QStringList{};
    QTest::newRow("only inactive accounts") << QStringList{"old", "older"};
}

void tst_Login::noActiveAccountOpensNewUserWindow() {
    QFETCH(QStringList, inactiveUsers);
    TestContext t;
    DesktopCleanup cleanup;
    for (const QString& name : inactiveUsers)
        addAccount(*t.db, name, m_secretHash, false);
    frmLogin login(t.ctx);
    QCOMPARE(login.windowTitle(), QStringLiteral("Kavrel Login"));
    login.show();
    QVERIFY(!login.load());

    QCOMPARE(t.dialogs.texts(), QStringList{kNoUserText});
    QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::Information);
    QCOMPARE(t.dialogs.messages.first().buttons, Dialogs::Buttons::Ok);
    QCOMPARE(t.dialogs.messages.first().title, QStringLiteral("Kavrel"));
    QVERIFY(openTopLevel<frmNewUser>());
    QVERIFY(!login.isVisible());
    QVERIFY(!login.LoginSucceeded);
    QCOMPARE(t.endApplicationCalls, 0);
}

void tst_Login::bootstrapOpensNewUserWindow() {
    TestContext t;
    DesktopCleanup cleanup;
    addAccount(*t.db, "bob", m_secretHash);
    frmLogin login(t.ctx);
    login.show();
    QVERIFY(login.load());
    QVERIFY(!openTopLevel<frmNewUser>());
    logIn(login, "lumox", "lumox");
    QVERIFY(t.dialogs.messages.isEmpty());
    QVERIFY(openTopLevel<frmNewUser>());
    QVERIFY(!openTopLevel<MDIKavrel>());
    QVERIFY(!login.isVisible());
    QVERIFY(!login.LoginSucceeded);
}

void tst_Login::failedLogin_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("wrong password") << "bob"
                                    << "Secret";
    QTest::newRow("empty password") << "bob"
                                    << "";
    QTest::newRow("unknown user") << "alice"
                                  << "secret";
    QTest::newRow("bootstrap in capitals") << "LUMOX"
                                           << "lumox";
    QTest::newRow("bootstrap password in capitals") << "lumox"
                                                    << "LUMOX";
    QTest::newRow("always-true text as user") << "' OR '1'='1"
                                              << "' OR '1'='1";
    QTest::newRow("always-true text as password") << "bob"
                                                  << "' OR '1'='1";
    QTest::newRow("inactive account, right password") << "carol"
                                                      << "secret";
}

void tst_Login::failedLogin() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    TestContext t;
    DesktopCleanup cleanup;
    addAccount(*t.db, "bob", m_secretHash);
    addAccount(*t.db, "carol", m_secretHash, false);

    frmLogin login(t.ctx);
    login.show();
    QVERIFY(login.load());
    logIn(login, user, password);

    QCOMPARE(t.dialogs.texts(), QStringList{"Invalid Password, try again!"});
    QCOMPARE(t.dialogs.messages.first().title, QStringLiteral("Login"));
    QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::None);
    QCOMPARE(t.dialogs.messages.first().buttons, Dialogs::Buttons::Ok);
    QVERIFY(login.passwordBox()->text().isEmpty());
    QCOMPARE(login.userNameBox()->text(), user);
    QVERIFY(login.isVisible());
    QVERIFY(!login.LoginSucceeded);
    QVERIFY(!openTopLevel<frmNewUser>());
    QVERIFY(!openTopLevel<frmSplash>());
    QVERIFY(!openTopLevel<MDIKavrel>());
}

void tst_Login::successShowsSplashForThreeSecondsThenMainWindow_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("password");
    QTest::newRow("plain") << "bob"
                           << "bob"
                           << "secret";
    QTest::newRow("name in other case") << "bob"
                                        << "BOB"
                                        << "secret";
    QTest::newRow("apostrophes") << "O'Brien"
                                 << "O'Brien"
                                 << "it's mine";
}

void tst_Login::successShowsSplashForThreeSecondsThenMainWindow() {
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, password);
    TestContext t;
    ProbeClock clock;
    clock.secondsNow = 100;
    clock.stepPerReading = 0.25;
    t.ctx.clock = &clock;
    DesktopCleanup cleanup;
    QVERIFY(UserStore(*t.db).addUser({stored, password, "", "", "", ""}));

    frmLogin login(t.ctx);
    login.show();
    QVERIFY(login.load());
    logIn(login, typed, password);

    QVERIFY(t.dialogs.messages.isEmpty());
    QVERIFY(login.LoginSucceeded);
    QVERIFY(!login.isVisible());
    QVERIFY(clock.readings.size() >= 2);
    // The main window opened only once three seconds had passed, with the splash up all the while.
    for (const Reading& r : clock.readings) {
        QVERIFY(r.splashVisible);
        QVERIFY(!r.mainWindowOpen);
    }
    QVERIFY(clock.readings.last().seconds - clock.readings.first().seconds >= 3.0);
    QVERIFY(clock.readings.at(clock.readings.size() - 2).seconds - clock.readings.first().seconds < 3.0);
    MDIKavrel* main = openTopLevel<MDIKavrel>();
    QVERIFY(main);
    QVERIFY(!openTopLevel<frmSplash>());
}

void tst_Login::splashClosedEarlyStillWaitsFullTime() {
    TestContext t;
    ProbeClock clock;
    clock.stepPerReading = 0.5;
    // The user presses a key on the splash a second into the wait.
    clock.onReading = [](int n) {
        if (n == 2)
            if (frmSplash* splash = openTopLevel<frmSplash>())
                QCoreApplication::postEvent(splash,
                                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " "));
    };
    t.ctx.clock = &clock;
    DesktopCleanup cleanup;
    addAccount(*t.db, "bob", m_secretHash);
    frmLogin login(t.ctx);
    login.show();
    QVERIFY(login.load());
    logIn(login, "bob", "secret");

    int closedAt = -1;
    for (int i = 0; i < clock.readings.size(); ++i) {
        QVERIFY(!clock.readings.at(i).mainWindowOpen);
        if (closedAt < 0 && !clock.readings.at(i).splashVisible)
            closedAt = i;
    }
    QVERIFY2(closedAt > 0 && closedAt < clock.readings.size() - 1, "the splash closed early");
    QVERIFY(clock.readings.last().seconds - clock.readings.first().seconds >= 3.0);
    QVERIFY(openTopLevel<MDIKavrel>());
    QVERIFY(login.LoginSucceeded);
}

void tst_Login::cancelMeansNoLogin_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("Esc key") << true;
}

void tst_Login::cancelMeansNoLogin() {
    QFETCH(bool, escape);
    TestContext t;
    DesktopCleanup cleanup;
    addAccount(*t.db, "bob", m_secretHash);
    frmLogin login(t.ctx);
    login.show();
    QVERIFY(login.load());
    login.LoginSucceeded = true;
    if (escape)
        QTest::keyClick(login.userNameBox(), Qt::Key_Escape);
    else
        QTest::mouseClick(login.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    QVERIFY(!login.LoginSucceeded);
    QVERIFY(!login.isVisible());
    QVERIFY(t.dialogs.messages.isEmpty());
    QVERIFY(!openTopLevel<frmNewUser>());
    QVERIFY(!openTopLevel<MDIKavrel>());
}

QTEST_MAIN(tst_Login)
#include "tst_login.moc"
