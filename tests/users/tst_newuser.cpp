#include "data/Database.h"
#include "platform/Twips.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "users/store/PasswordHash.h"
#include "users/store/UserStore.h"
#include "users/ui/frmNewUser.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using Fixtures::count;

namespace {

const QStringList kBoxes{"txtFirstName", "txtMiddleName", "txtLastName",       "txtEMailAddress",
                         "txtUserName",  "txtPassword",   "txtPasswordRetypes"};

QLineEdit* box(QWidget& w, const char* name) {
    auto* b = w.findChild<QLineEdit*>(QLatin1String(name));
    if (!b)
        qFatal("no box %s", name);
    return b;
}

void click(QWidget& w, const char* button) {
    auto* b = w.findChild<QPushButton*>(QLatin1String(button));
    if (!b)
        qFatal("no button %s", button);
    QTest::mouseClick(b, Qt::LeftButton);
}

void type(QWidget& w, const char* name, const QString& text) {
    QLineEdit* b = box(w, name);
    b->clear();
    for (const QChar c : text) {
        // QTest's key table knows ASCII only; other characters arrive as key events carrying their text.
        if (c.unicode() < 0x80)
            QTest::keyClick(b, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, b, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QString generatedLabel(QWidget& w) {
    return w.findChild<QLabel*>("lblGeneratedPassword")->text();
}

// Answers the generator's draws from a fixed list and counts them.
struct ScriptedRandom {
    QList<double> draws;
    int used = 0;
    double operator()() {
        if (used >= draws.size())
            qFatal("more draws than scripted");
        return draws.at(used++);
    }
};

} // namespace

class tst_NewUser : public QObject {
    Q_OBJECT
private slots:
    void windowLayout();
    void checksRunInOrder_data();
    void checksRunInOrder();
    void saveStoresSaltedHashAndEndsApplication();
    void activeNameIsRefusedInAnyCase();
    void generatePassword_data();
    void generatePassword();
    void generatedPasswordsStayInBounds();
    void generateUserName_data();
    void generateUserName();
    void generatePasswordButtonFillsBothBoxesSoSavePasses();
    void clearEmptiesEverything();
    void cancelAndCloseEndTheApplicationOnce();
};

void tst_NewUser::windowLayout() {
    TestContext t;
    frmNewUser w(t.ctx);
    QCOMPARE(w.windowTitle(), QStringLiteral("Kavrel Add New User"));
    const QSize size(Twips::toPixelsX(8670, &w), Twips::toPixelsY(4935, &w));
    QCOMPARE(w.minimumSize(), size);
    QCOMPARE(w.maximumSize(), size);
    for (const QString& name : kBoxes)
        QVERIFY2(w.findChild<QLineEdit*>(name), qPrintable(name));
    QCOMPARE(box(w, "txtPassword")->echoMode(), QLineEdit::Password);
    QCOMPARE(box(w, "txtPasswordRetypes")->echoMode(), QLineEdit::Password);
    QCOMPARE(w.findChild<QPushButton*>("cmdOk")->text(), QStringLiteral("Save"));
    QCOMPARE(w.findChild<QPushButton*>("CmdUserName")->text(), QStringLiteral("Generate User Name"));
    QCOMPARE(w.findChild<QPushButton*>("CmdPassword")->text(), QStringLiteral("Generate Password"));
}

void tst_NewUser::checksRunInOrder_data() {
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("retyped");
    QTest::addColumn<QString>("message");
    QTest::newRow("all empty") << ""
                               << ""
                               << ""
                               << "Invalid Password";
    QTest::newRow("only password empty") << "bob"
                                         << ""
                                         << "secret"
                                         << "Invalid Password";
    QTest::newRow("retyped empty") << ""
                                   << "secret"
                                   << ""
                                   << "Invalid password confirmation";
    QTest::newRow("user name empty") << ""
                                     << "secret"
                                     << "other"
                                     << "User Name can not be null";
    QTest::newRow("differ in case") << "bob"
                                    << "Secret"
                                    << "secret"
                                    << "The passwords do not match";
    QTest::newRow("differ by a blank") << "bob"
                                       << "secret"
                                       << "secret "
                                       << "The passwords do not match";
}

void tst_NewUser::checksRunInOrder() {
    QFETCH(QString, userName);
    QFETCH(QString, password);
    QFETCH(QString, retyped);
    QFETCH(QString, message);
    TestContext t;
    frmNewUser w(t.ctx);
    w.show();
    type(w, "txtFirstName", "Ann");
    type(w, "txtUserName", userName);
    type(w, "txtPassword", password);
    type(w, "txtPasswordRetypes", retyped);
    click(w, "cmdOk");

    QCOMPARE(t.dialogs.texts(), QStringList{message});
    const auto& shown = t.dialogs.messages.first();
    QCOMPARE(shown.title, QStringLiteral("Kavrel"));
    QCOMPARE(shown.icon, Dialogs::Icon::None);
    QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(count(*t.db, "Sec_Usr"), 0);
    QCOMPARE(t.endApplicationCalls, 0);
    QVERIFY(w.isVisible());
    // A failed check leaves every box as it was.
    QCOMPARE(box(w, "txtFirstName")->text(), QStringLiteral("Ann"));
    QCOMPARE(box(w, "txtUserName")->text(), userName);
    QCOMPARE(box(w, "txtPassword")->text(), password);
    QCOMPARE(box(w, "txtPasswordRetypes")->text(), retyped);
}

void tst_NewUser::saveStoresSaltedHashAndEndsApplication() {
    TestContext t;
    frmNewUser w(t.ctx);
    w.show();
    type(w, "txtFirstName", QString::fromUtf8("Seán"));
    type(w, "txtLastName", "O'Brien");
    type(w, "txtEMailAddress", "o'brien@example.ie");
    type(w, "txtUserName", "O'Brien");
    type(w, "txtPassword", "it's a secret");
    type(w, "txtPasswordRetypes", "it's a secret");
    click(w, "cmdOk");

    QCOMPARE(t.dialogs.texts(),
             QStringList{"New user has been added\nRestart the application the login as the new user"});
    QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::None);
    QCOMPARE(t.dialogs.messages.first().title, QStringLiteral("Kavrel"));
    QCOMPARE(t.endApplicationCalls, 1);

    Query row(*t.db, "SELECT UserName, ClientServer, FirstName, MiddleName, LastName, EmailAddress, Active "
                     "FROM Sec_Usr");
    row.exec();
    QVERIFY(row.next());
    QCOMPARE(row.text(0), QStringLiteral("O'Brien"));
    const QString stored = row.text(1);
    QVERIFY2(stored.startsWith("$argon2id$"), qPrintable(stored));
    QVERIFY(!stored.contains("secret"));
    QVERIFY(PasswordHash::verify(stored, "it's a secret"));
    QVERIFY(!PasswordHash::verify(stored, "It's a secret"));
    QCOMPARE(row.text(2), QString::fromUtf8("Seán"));
    QVERIFY(!row.isNull(3)); // an empty box gives the empty text, not Null
    QCOMPARE(row.text(3), QString());
    QCOMPARE(row.text(4), QStringLiteral("O'Brien"));
    QCOMPARE(row.text(5), QStringLiteral("o'brien@example.ie"));
    QCOMPARE(row.value(6).toInt(), 1);
    QVERIFY(!row.next());

    // The same password gives another hash: each is salted.
    QVERIFY(UserStore(*t.db).addUser({"ann", "it's a secret", "", "", "", ""}));
    const QString other = Query(*t.db, "SELECT ClientServer FROM Sec_Usr WHERE UserName = 'ann'").scalar().toString();
    QVERIFY(other != stored);
    QVERIFY(PasswordHash::verify(other, "it's a secret"));
}

void tst_NewUser::activeNameIsRefusedInAnyCase() {
    TestContext t;
    QVERIFY(UserStore(*t.db).addUser({"bob", "first", "", "", "", ""}));
    frmNewUser w(t.ctx);
    w.show();
    type(w, "txtUserName", "BOB");
    type(w, "txtPassword", "second");
    type(w, "txtPasswordRetypes", "second");
    click(w, "cmdOk");
    QCOMPARE(t.dialogs.messages.size(), 1);
    QVERIFY2(t.dialogs.texts().first().contains("BOB"), qPrintable(t.dialogs.texts().first()));
    QCOMPARE(count(*t.db, "Sec_Usr"), 1);
    QCOMPARE(t.endApplicationCalls, 0);
    QVERIFY(!UserStore(*t.db).verifyLogin("bob", "second"));

    // A retired account does not hold its name.
    Query(*t.db, "UPDATE Sec_Usr SET Active = 0").exec();
    t.dialogs.reset();
    click(w, "cmdOk");
    QCOMPARE(t.dialogs.texts().first().left(23), QStringLiteral("New user has been added"));
    QCOMPARE(count(*t.db, "Sec_Usr"), 2);
    QVERIFY(UserStore(*t.db).verifyLogin("bob", "second"));
}

void tst_NewUser::generatePassword_data() {
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<QList<double>>("draws"); // the number, k, then i and j for each insertion
    QTest::addColumn<QString>("expected");
    QTest::newRow("no last name, lowest") << "" << QList<double>{0.0} << "1";
    QTest::newRow("no last name, highest") << "" << QList<double>{0.99999} << "9000";
    QTest::newRow("no last name, middle") << "" << QList<double>{0.0045} << "41";
    QTest::newRow("one insertion after the first digit") << "Smith" << QList<double>{0.5, 0.0, 0.0, 0.0} << "4S501";
    QTest::newRow("shortest") << "Smith" << QList<double>{0.0, 0.9, 0.99, 0.5} << "1h";
    QTest::newRow("insertion at the end") << "Smith" << QList<double>{0.5, 0.0, 0.3, 0.99} << "4501m";
    // k = 4; each j is drawn against the password as it has grown.
    QTest::newRow("longest, four insertions")
        << "Smith" << QList<double>{0.99999, 0.75, 0.25, 0.0, 0.45, 0.99, 0.65, 0.5, 0.85, 0.3} << "9m0h0t0i";
    QTest::newRow("repeats possible") << "Lee" << QList<double>{0.001, 0.99, 0.5, 0.0, 0.9, 0.9} << "1e0e";
    QTest::newRow("taken as typed") << "d'Arcy" << QList<double>{0.0, 0.0, 0.2, 0.0} << "1'";
}

void tst_NewUser::generatePassword() {
    QFETCH(QString, lastName);
    QFETCH(QList<double>, draws);
    QFETCH(QString, expected);
    ScriptedRandom random{draws};
    QCOMPARE(frmNewUser::GeneratePassword(lastName, std::ref(random)), expected);
    QCOMPARE(random.used, draws.size());
}

void tst_NewUser::generatedPasswordsStayInBounds() {
    QRandomGenerator rng(20260314);
    for (const QString& lastName : {QString(), QStringLiteral("Smith"), QStringLiteral("X")}) {
        for (int n = 0; n < 2000; ++n) {
            const QString p = frmNewUser::GeneratePassword(lastName, [&] { return rng.generateDouble(); });
            QString digits = p;
            digits.remove(QRegularExpression("[^0-9]"));
            const int number = digits.toInt();
            QVERIFY2(number >= 1 && number <= 9000 && !digits.startsWith('0'), qPrintable(p));
            QVERIFY2(p.at(0).isDigit(), qPrintable(p)); // never inserted in front of the first character
            const qsizetype inserted = p.size() - digits.size();
            if (lastName.isEmpty())
                QCOMPARE(inserted, 0);
            else
                QVERIFY2(inserted >= 1 && inserted <= digits.size(), qPrintable(p));
            QVERIFY(p.size() >= (lastName.isEmpty() ? 1 : 2) && p.size() <= (lastName.isEmpty() ? 4 : 8));
        }
    }
}

void tst_NewUser::generateUserName_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("middle");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all three") << "John"
                               << "Quincy"
                               << "Adams"
                               << "JQAdams";
    QTest::newRow("no middle name") << "John"
                                    << ""
                                    << "Adams"
                                    << "JAdams";
    QTest::newRow("last name alone") << ""
                                     << ""
                                     << "Adams"
                                     << "Adams";
    QTest::newRow("case and blanks kept") << " jOHN"
                                          << "q"
                                          << "mcDonald "
                                          << " qmcDonald ";
    QTest::newRow("apostrophe and accents") << QString::fromUtf8("Émile") << ""
                                            << "O'Neil" << QString::fromUtf8("ÉO'Neil");
    QTest::newRow("all empty") << ""
                               << ""
                               << ""
                               << "";
}

void tst_NewUser::generateUserName() {
    QFETCH(QString, first);
    QFETCH(QString, middle);
    QFETCH(QString, last);
    QFETCH(QString, expected);
    TestContext t;
    frmNewUser w(t.ctx);
    w.show();
    type(w, "txtFirstName", first);
    type(w, "txtMiddleName", middle);
    type(w, "txtLastName", last);
    type(w, "txtUserName", "typed before");
    click(w, "CmdUserName");
    QCOMPARE(box(w, "txtUserName")->text(), expected);

    if (expected.isEmpty()) {
        type(w, "txtPassword", "secret");
        type(w, "txtPasswordRetypes", "secret");
        click(w, "cmdOk");
        QCOMPARE(t.dialogs.texts(), QStringList{"User Name can not be null"});
    }
}

void tst_NewUser::generatePasswordButtonFillsBothBoxesSoSavePasses() {
    TestContext t;
    frmNewUser w(t.ctx);
    w.show();
    type(w, "txtLastName", "Smith");
    click(w, "CmdPassword");
    const QString first = box(w, "txtPassword")->text();
    QVERIFY(first.size() >= 2 && first.size() <= 8);
    QCOMPARE(box(w, "txtPasswordRetypes")->text(), first);
    QCOMPARE(generatedLabel(w), first);

    // The generator is seeded from the clock: the same moment gives the same password, another moment another.
    click(w, "CmdPassword");
    QCOMPARE(box(w, "txtPassword")->text(), first);
    QStringList later;
    for (int ms = 1; ms <= 5; ++ms) {
        t.clock.current = t.clock.current.addMSecs(1);
        click(w, "CmdPassword");
        later << box(w, "txtPassword")->text();
    }
    QVERIFY2(later.count(first) < later.size(), qPrintable(later.join(',')));

    const QString password = box(w, "txtPassword")->text();
    click(w, "CmdUserName");
    click(w, "cmdOk");
    QCOMPARE(t.dialogs.texts().size(), 1);
    QVERIFY2(t.dialogs.texts().first().startsWith("New user has been added"), qPrintable(t.dialogs.texts().first()));
    QVERIFY(UserStore(*t.db).verifyLogin("Smith", password));
}

void tst_NewUser::clearEmptiesEverything() {
    TestContext t;
    frmNewUser w(t.ctx);
    w.show();
    for (const QString& name : kBoxes)
        type(w, qPrintable(name), "x" + name);
    click(w, "CmdPassword");
    QVERIFY(!generatedLabel(w).isEmpty());
    click(w, "cmdClear");
    for (const QString& name : kBoxes)
        QVERIFY2(box(w, qPrintable(name))->text().isEmpty(), qPrintable(name));
    QVERIFY(generatedLabel(w).isEmpty());
    QVERIFY(t.dialogs.messages.isEmpty());
    QCOMPARE(t.endApplicationCalls, 0);
}

void tst_NewUser::cancelAndCloseEndTheApplicationOnce() {
    TestContext t;
    {
        frmNewUser w(t.ctx);
        w.show();
        type(w, "txtUserName", "bob");
        click(w, "cmdCancel");
        QCOMPARE(t.endApplicationCalls, 1);
        QVERIFY(t.dialogs.messages.isEmpty());
        w.close();
        QCOMPARE(t.endApplicationCalls, 1);
    }
    {
        frmNewUser w(t.ctx);
        w.show();
        w.close(); // the close box
        QCOMPARE(t.endApplicationCalls, 2);
    }
    QCOMPARE(count(*t.db, "Sec_Usr"), 0);
}

QTEST_MAIN(tst_NewUser)
#include "tst_newuser.moc"
