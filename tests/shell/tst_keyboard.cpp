#include "equipment/ui/frmCreateEquipment.h"
#include "equipment/ui/frmCreateEquipmentTypes.h"
#include "platform/Dialogs.h"
#include "platform/OpenWindow.h"
#include "shell/FrmAbout.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "users/ui/frmNewUser.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Fixtures;

class tst_Keyboard : public QObject {
    Q_OBJECT
private slots:
    void aboutClosesOnEnterAndEscape_data();
    void aboutClosesOnEnterAndEscape();
    void equipmentTypeAddedWithEnter();
    void newUserCancelledWithEscape();
    void submitReturnsFocusToFirstClearedBox_data();
    void submitReturnsFocusToFirstClearedBox();
    void enterOnAQuestionTakesItsDefault_data();
    void enterOnAQuestionTakesItsDefault();
};

void tst_Keyboard::aboutClosesOnEnterAndEscape_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void tst_Keyboard::aboutClosesOnEnterAndEscape() {
    QFETCH(int, key);
    TestContext t;
    QPointer<FrmAbout> about = openWindow<FrmAbout>(t.ctx, nullptr);
    QVERIFY(about);
    about->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about));
    QTest::keyClick(about->findChild<QPushButton*>("cmdSysInfo"), Qt::Key(key));
    QTRY_VERIFY(!about);
    QVERIFY(t.shell.started.isEmpty());
}

void tst_Keyboard::equipmentTypeAddedWithEnter() {
    TestContext t;
    auto* w = openWindow<frmCreateEquipmentTypes>(t.ctx, nullptr);
    auto* box = w->findChild<QLineEdit*>("TxtEquipmentType");
    QTest::keyClicks(box, "Laptop");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(count(*t.db, "EquipmentType", "EquipmentType = 'Laptop'"), 1);
    QVERIFY(box->text().isEmpty());
}

void tst_Keyboard::newUserCancelledWithEscape() {
    TestContext t;
    frmNewUser w(t.ctx);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.findChild<QLineEdit*>("txtFirstName"), Qt::Key_Escape);
    QCOMPARE(t.endApplicationCalls, 1);
}

void tst_Keyboard::submitReturnsFocusToFirstClearedBox_data() {
    QTest::addColumn<bool>("clearAll");
    QTest::addColumn<QString>("focused");
    QTest::newRow("serial and tag cleared") << false << "txtSerialNumber";
    QTest::newRow("every box cleared") << true << "txtManufacturer";
}

void tst_Keyboard::submitReturnsFocusToFirstClearedBox() {
    QFETCH(bool, clearAll);
    QFETCH(QString, focused);
    TestContext t;
    addLocation(*t.db, "Depot");
    auto* w = openWindow<frmCreateEquipment>(t.ctx, nullptr);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->findChild<QCheckBox*>("chkSubmit")->setChecked(clearAll);
    w->findChild<QLineEdit*>("txtSerialNumber")->setText("S1");
    auto* submit = w->findChild<QPushButton*>("Command1");
    submit->setFocus();
    QTest::mouseClick(submit, Qt::LeftButton);
    QCOMPARE(count(*t.db, "HoldEquipment"), 1);
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
}

void tst_Keyboard::enterOnAQuestionTakesItsDefault_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("answer");
    QTest::newRow("ordinary question") << int(Dialogs::Buttons::YesNo) << int(Dialogs::Answer::Yes);
    QTest::newRow("question that destroys data") << int(Dialogs::Buttons::YesNoDefaultNo) << int(Dialogs::Answer::No);
}

void tst_Keyboard::enterOnAQuestionTakesItsDefault() {
    QFETCH(int, buttons);
    QFETCH(int, answer);
    DesktopDialogs desktop;
    Dialogs& dialogs = desktop;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_Return);
    });
    QCOMPARE(int(dialogs.message(nullptr, "Delete?", Dialogs::Buttons(buttons))), answer);
}

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
