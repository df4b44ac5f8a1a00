#include "data/Database.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "locations/ui/frmCreateLocation.h"
#include "platform/OpenWindow.h"
#include "records/ui/FieldsTab.h"
#include "records/ui/FrmAddionalFieldCaptions.h"
#include "shell/MDIKavrel.h"
#include "support/RecordOwners.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QAction>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <functional>

namespace {

// A save made the way a user makes it, inside the main window.
using Save = std::function<void(TestContext&, MDIKavrel&)>;

void chooseEntry(MDIKavrel& main, const char* name) {
    auto* action = main.findChild<QMenuBar*>("MainMenu")->findChild<QAction*>(QLatin1String(name));
    if (!action)
        qFatal("no entry %s", name);
    action->trigger();
}

template <typename W> W* opened(MDIKavrel& main) {
    auto* window = main.findChild<W*>();
    if (!window)
        qFatal("window not opened");
    return window;
}

Save createLocation(const QString& name) {
    return [name](TestContext&, MDIKavrel& main) {
        chooseEntry(main, "mnuCreateLocation");
        auto* w = opened<frmCreateLocation>(main);
        box(w, "txtName")->setText(name);
        click(w, "Command1");
    };
}

Save updateCaptions(const char* entry) {
    return [entry](TestContext&, MDIKavrel& main) {
        chooseEntry(main, entry);
        click(opened<FrmAddionalFieldCaptions>(main), "cmdUpdate");
    };
}

Save updateFields(RecordOwner kind) {
    return [kind](TestContext& t, MDIKavrel&) {
        UnitFixtures::addLocationWithId(*t.db, 7, "Depot");
        UnitFixtures::addUnitWithId(*t.db, 7, 7, "SN1");
        QWidget* detail = openOwnerWindow(t, kind, 7, "SN1");
        QVERIFY(detail);
        auto* tab = detail->findChild<FieldsTab*>();
        QVERIFY(tab);
        tab->findChild<QLineEdit*>()->setText("Room 4");
        click(tab, "cmdUpdate");
    };
}

} // namespace

Q_DECLARE_METATYPE(Save)

class tst_SaveMessages : public QObject {
    Q_OBJECT
private slots:
    void saveIsSaidInTheStatusBar_data();
    void saveIsSaidInTheStatusBar();
};

void tst_SaveMessages::saveIsSaidInTheStatusBar_data() {
    QTest::addColumn<Save>("save");
    QTest::addColumn<QString>("status");
    QTest::newRow("create location") << createLocation("O'Hare Depot") << "Location \"O'Hare Depot\" saved.";
    QTest::newRow("create location without a name") << createLocation("") << "";
    QTest::newRow("save template") << Save([](TestContext& t, MDIKavrel&) {
        UnitFixtures::addLocationWithId(*t.db, 7, "Depot");
        Query(*t.db, "INSERT INTO EquipmentType (EquipmentType) VALUES ('Laptop')").exec();
        auto* w = openWindow<frmCreateEquipment>(t.ctx, nullptr);
        QVERIFY(w);
        box(w, "txtManufacturer")->setText("Dell");
        t.dialogs.type("Desk set");
        click(w, "Command4");
    }) << "Template \"Desk set\" saved.";
    QTest::newRow("template name cancelled") << Save([](TestContext& t, MDIKavrel&) {
        UnitFixtures::addLocationWithId(*t.db, 7, "Depot");
        auto* w = openWindow<frmCreateEquipment>(t.ctx, nullptr);
        QVERIFY(w);
        t.dialogs.type(QString());
        click(w, "Command4");
    }) << "";
    QTest::newRow("location field captions") << updateCaptions("mnuLocationEditAdditionalInformationFields")
                                             << "Additional location information fields saved.";
    QTest::newRow("equipment field captions") << updateCaptions("MnuEquipmentAdditionalInformationFields")
                                              << "Additional equipment information fields saved.";
    QTest::newRow("location fields") << updateFields(RecordOwner::Location) << "User defined information saved.";
    QTest::newRow("equipment fields") << updateFields(RecordOwner::Equipment) << "User defined information saved.";
}

void tst_SaveMessages::saveIsSaidInTheStatusBar() {
    QFETCH(Save, save);
    QFETCH(QString, status);
    TestContext t;
    MDIKavrel main(t.ctx);
    main.show();
    save(t, main);
    QCOMPARE(main.statusBar()->currentMessage(), status);
    QVERIFY(t.dialogs.allAnswersUsed());
    // A save is said in passing, never with a box to dismiss.
    if (!status.isEmpty())
        QCOMPARE(t.dialogs.texts(), QStringList());
}

QTEST_MAIN(tst_SaveMessages)
#include "tst_savemessages.moc"
