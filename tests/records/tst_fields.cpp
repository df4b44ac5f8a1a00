#include "data/Database.h"
#include "equipment/ui/frmEditEquipment.h"
#include "locations/ui/DisplayInformation.h"
#include "platform/OpenWindow.h"
#include "records/store/FieldStore.h"
#include "records/ui/FieldsTab.h"
#include "records/ui/FrmAddionalFieldCaptions.h"
#include "shell/MDIKavrel.h"
#include "support/RecordOwners.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

Q_DECLARE_METATYPE(RecordOwner)

using namespace UnitFixtures;

namespace {

constexpr qint64 kOwnerId = 70000; // beyond 16 bits

const char* kindName(RecordOwner kind) {
    return kind == RecordOwner::Location ? "location" : "equipment";
}

void addOwner(Database& db, RecordOwner kind, qint64 id = kOwnerId) {
    addLocationWithId(db, id, QStringLiteral("Depot"));
    if (kind == RecordOwner::Equipment)
        addUnitWithId(db, id, id, QStringLiteral("SN1"));
}

QWidget* openOwner(TestContext& t, RecordOwner kind, qint64 id = kOwnerId) {
    return openOwnerWindow(t, kind, id, QStringLiteral("SN1"));
}

FieldsTab* fieldsOf(QWidget* window) {
    auto* tab = window ? window->findChild<FieldsTab*>() : nullptr;
    if (!tab)
        qFatal("no fields tab");
    return tab;
}

// Sets columns of the kind's one configuration row; values bound.
void configure(Database& db, RecordOwner kind, const QVariantMap& columns) {
    for (auto it = columns.cbegin(); it != columns.cend(); ++it)
        Query(db, "UPDATE " + recordTables(kind).fieldCaptions + " SET " + it.key() + " = ?").exec({it.value()});
}

void setValue(Database& db, RecordOwner kind, int number, const QVariant& value, qint64 id = kOwnerId) {
    const RecordTables& t = recordTables(kind);
    Query(db, QStringLiteral("UPDATE %1 SET Field%2 = ? WHERE %3 = ?").arg(t.ownerTable).arg(number).arg(t.ownerKey))
        .exec({value, id});
}

QVariant storedValue(Database& db, RecordOwner kind, int number, qint64 id = kOwnerId) {
    const RecordTables& t = recordTables(kind);
    return Query(db,
                 QStringLiteral("SELECT Field%2 FROM %1 WHERE %3 = ?").arg(t.ownerTable).arg(number).arg(t.ownerKey))
        .scalar({id});
}

QVariant storedConfiguration(Database& db, RecordOwner kind, const QString& column) {
    return Query(db, "SELECT " + column + " FROM " + recordTables(kind).fieldCaptions).scalar();
}

bool shown(QWidget* w, QWidget* tab) {
    return w->isVisibleTo(tab) && w->isEnabled();
}

QAction* mainEntry(MDIKavrel& main, const char* name) {
    return main.findChild<QMenuBar*>("MainMenu")->findChild<QAction*>(QLatin1String(name));
}

const char* editorEntry(RecordOwner kind) {
    return kind == RecordOwner::Location ? "mnuLocationEditAdditionalInformationFields"
                                         : "MnuEquipmentAdditionalInformationFields";
}

QCheckBox* visibleBox(QWidget* editor, int number) {
    return editor->findChild<QCheckBox*>(number == 1 ? QStringLiteral("chkField1")
                                                     : QStringLiteral("ChkField%1").arg(number));
}

} // namespace

class tst_Fields : public QObject {
    Q_OBJECT
private slots:
    void captionsVisibilityAndValues_data();
    void captionsVisibilityAndValues();
    void allTwentyValuesRoundTrip_data();
    void allTwentyValuesRoundTrip();
    void captionEditorRoundTrip_data();
    void captionEditorRoundTrip();
    void reloadKeepsUnsavedTyping_data();
    void reloadKeepsUnsavedTyping();
    void missingConfigurationRow();
    void locationOfUnknownStateStillShowsItsValues();
    void ownerGoneSaysSo();
};

void tst_Fields::captionsVisibilityAndValues_data() {
    QTest::addColumn<RecordOwner>("kind");
    for (RecordOwner kind : {RecordOwner::Location, RecordOwner::Equipment})
        QTest::newRow(kindName(kind)) << kind;
}

void tst_Fields::captionsVisibilityAndValues() {
    QFETCH(RecordOwner, kind);
    TestContext t;
    addOwner(*t.db, kind);
    configure(*t.db, kind,
              {{"Field1", "Owner's name"},
               {"Field1Visible", 1},
               {"Field2", "Secret"},
               {"Field2Visible", 0},
               {"Field3Visible", 1},
               {"Category1", "Général"},
               {"Category3", "Third's"},
               // The fourth frame's five fields all hidden.
               {"Field16", "a"},
               {"Field17", "b"},
               {"Field18", "c"},
               {"Field19", "d"},
               {"Field20", "e"}});
    setValue(*t.db, kind, 1, "a&nbsp;b");
    setValue(*t.db, kind, 2, "hidden's value");
    QWidget* window = openOwner(t, kind);
    QVERIFY(window);
    FieldsTab* tab = fieldsOf(window);

    QCOMPARE(tab->label(1)->text(), QStringLiteral("Owner's name"));
    QVERIFY(shown(tab->label(1), tab) && shown(tab->box(1), tab));
    QCOMPARE(tab->label(2)->text(), QStringLiteral("Secret"));
    QVERIFY(!tab->label(2)->isVisibleTo(tab) && !tab->label(2)->isEnabled());
    QVERIFY(!tab->box(2)->isVisibleTo(tab) && !tab->box(2)->isEnabled());
    // No caption yet: shown and editable, whatever its flag, with an empty label.
    QVERIFY(tab->label(3)->text().isEmpty());
    QVERIFY(shown(tab->label(3), tab) && shown(tab->box(3), tab));
    QVERIFY(shown(tab->box(4), tab));
    QCOMPARE(tab->frame(1)->title(), QStringLiteral("Général"));
    QCOMPARE(tab->frame(2)->title(), QString());
    QCOMPARE(tab->frame(3)->title(), QStringLiteral("Third's"));
    QCOMPARE(tab->frame(1)->objectName(), QStringLiteral("Frame5"));
    QVERIFY(shown(tab->frame(1), tab) && shown(tab->frame(3), tab));
    QVERIFY(!tab->frame(4)->isVisibleTo(tab)); // no empty grey frame
    QVERIFY(window->findChild<QLabel*>(kind == RecordOwner::Equipment ? "lblfield6" : "lblField6"));

    // Values as stored, no placeholder rule; a hidden field holds its value.
    QCOMPARE(tab->box(1)->text(), QStringLiteral("a&nbsp;b"));
    QCOMPARE(tab->box(2)->text(), QStringLiteral("hidden's value"));
    QVERIFY(tab->box(3)->text().isEmpty());

    tab->box(1)->setText(QStringLiteral("It's ✓ 東京"));
    tab->box(3)->setText(QStringLiteral("typed"));
    click(tab, "cmdUpdate");
    QVERIFY(t.dialogs.messages.isEmpty());
    QCOMPARE(storedValue(*t.db, kind, 1).toString(), QStringLiteral("It's ✓ 東京"));
    QCOMPARE(storedValue(*t.db, kind, 2).toString(), QStringLiteral("hidden's value"));
    QCOMPARE(storedValue(*t.db, kind, 3).toString(), QStringLiteral("typed"));
    // An empty box stores an empty text, not Null.
    QVERIFY(!storedValue(*t.db, kind, 20).isNull());
    QCOMPARE(storedValue(*t.db, kind, 20).toString(), QString());

    QCOMPARE(fieldsOf(openOwner(t, kind))->box(1)->text(), QStringLiteral("It's ✓ 東京"));
}

void tst_Fields::allTwentyValuesRoundTrip_data() {
    captionsVisibilityAndValues_data();
}

void tst_Fields::allTwentyValuesRoundTrip() {
    QFETCH(RecordOwner, kind);
    TestContext t;
    addOwner(*t.db, kind);
    addOwner(*t.db, kind, kOwnerId + 1); // a neighbour, which must keep its values
    setValue(*t.db, kind, 10, "neighbour's", kOwnerId + 1);
    FieldsTab* tab = fieldsOf(openOwner(t, kind));
    for (int n = 1; n <= kUserFieldCount; ++n)
        tab->box(n)->setText(QStringLiteral("value %1'").arg(n));
    click(tab, "cmdUpdate");
    for (int n = 1; n <= kUserFieldCount; ++n)
        QCOMPARE(storedValue(*t.db, kind, n).toString(), QStringLiteral("value %1'").arg(n));
    QCOMPARE(storedValue(*t.db, kind, 10, kOwnerId + 1).toString(), QStringLiteral("neighbour's"));
    FieldsTab* again = fieldsOf(openOwner(t, kind));
    for (int n = 1; n <= kUserFieldCount; ++n)
        QCOMPARE(again->box(n)->text(), QStringLiteral("value %1'").arg(n));
}

void tst_Fields::captionEditorRoundTrip_data() {
    captionsVisibilityAndValues_data();
}

void tst_Fields::captionEditorRoundTrip() {
    QFETCH(RecordOwner, kind);
    TestContext t;
    addOwner(*t.db, kind);
    configure(*t.db, kind,
              {{"Field1", "Owner's name"},
               {"Field1Visible", 1},
               {"Field7", "Seventh"},
               {"Field7Visible", 0},
               {"Field8Visible", 1},
               {"Category1", "One"},
               {"Category2", "Two's"},
               {"Category3", "Drei"},
               {"Category4", "四"}});
    MDIKavrel main(t.ctx);
    mainEntry(main, editorEntry(kind))->trigger();
    auto* editor = main.findChild<FrmAddionalFieldCaptions*>();
    QVERIFY(editor);
    QCOMPARE(editor->TableName(), recordTables(kind).fieldCaptions);
    QCOMPARE(editor->windowTitle(), kind == RecordOwner::Location
                                        ? QStringLiteral("Kavrel Edit Additional Location Information Fields")
                                        : QStringLiteral("Kavrel Edit Additional Equipment Information Fields"));
    QCOMPARE(box(editor, "txtField1")->text(), QStringLiteral("Owner's name"));
    QVERIFY(visibleBox(editor, 1)->isChecked());
    QCOMPARE(box(editor, "txtField7")->text(), QStringLiteral("Seventh"));
    QVERIFY(!visibleBox(editor, 7)->isChecked());
    // No caption: an empty box and a clear check box, whatever the flag.
    QVERIFY(box(editor, "txtField8")->text().isEmpty());
    QVERIFY(!visibleBox(editor, 8)->isChecked());
    const QStringList groups = {"One", "Two's", "Drei", "四"};
    for (int g = 1; g <= 4; ++g) {
        QCOMPARE(box(editor, QStringLiteral("txtCategory%1").arg(g))->text(), groups.at(g - 1));
        QCOMPARE(editor->findChild<QGroupBox*>(QStringLiteral("FrmCategory%1").arg(g))->title(), groups.at(g - 1));
    }
    QVERIFY(editor->findChild<QLabel*>("lblfield6"));

    // Saved unchanged, the groups come back as they were; a caption never configured is now an empty text.
    click(editor, "cmdUpdate");
    for (int g = 1; g <= 4; ++g)
        QCOMPARE(storedConfiguration(*t.db, kind, QStringLiteral("Category%1").arg(g)).toString(), groups.at(g - 1));
    QCOMPARE(storedConfiguration(*t.db, kind, "Field1").toString(), QStringLiteral("Owner's name"));
    QCOMPARE(storedConfiguration(*t.db, kind, "Field1Visible").toInt(), 1);
    QCOMPARE(storedConfiguration(*t.db, kind, "Field8Visible").toInt(), 0);
    QVERIFY(!storedConfiguration(*t.db, kind, "Field8").isNull());

    // A new caption and a cleared check box: the next detail window follows.
    box(editor, "txtField2")->setText(QStringLiteral("Room – №"));
    visibleBox(editor, 2)->setChecked(true);
    visibleBox(editor, 1)->setChecked(false);
    click(editor, "cmdUpdate");
    QCOMPARE(storedConfiguration(*t.db, kind, "Field1Visible").toInt(), 0);
    QVERIFY(t.dialogs.messages.isEmpty());
    QVERIFY(!editor->isHidden()); // it stays open
    FieldsTab* tab = fieldsOf(openOwner(t, kind));
    QVERIFY(!tab->box(1)->isVisibleTo(tab));
    QCOMPARE(tab->label(2)->text(), QStringLiteral("Room – №"));
    QVERIFY(shown(tab->box(2), tab));
    // Every field now has a caption; those left unticked are hidden.
    QVERIFY(!tab->box(3)->isVisibleTo(tab));
}

void tst_Fields::reloadKeepsUnsavedTyping_data() {
    captionsVisibilityAndValues_data();
}

void tst_Fields::reloadKeepsUnsavedTyping() {
    QFETCH(RecordOwner, kind);
    TestContext t;
    addOwner(*t.db, kind);
    setValue(*t.db, kind, 1, "stored one");
    setValue(*t.db, kind, 2, "stored two");
    QWidget* window = openOwner(t, kind);
    FieldsTab* tab = fieldsOf(window);
    tab->box(1)->clear();
    QTest::keyClicks(tab->box(1), "typed");
    tab->box(2)->setText("set, not typed");
    // What reloads the values: a header click on the location's asset list, a reassignment of the unit.
    const auto reload = [&] {
        if (auto* location = qobject_cast<DisplayInformation*>(window))
            location->PopulateLocation(QStringLiteral("SerialNumber"));
        else
            qobject_cast<frmEditEquipment*>(window)->PopulateDetail();
    };
    reload();
    QCOMPARE(tab->box(1)->text(), QStringLiteral("typed"));
    QCOMPARE(tab->box(2)->text(), QStringLiteral("stored two"));
    // Once saved, the box follows the stored value again.
    click(tab, "cmdUpdate");
    setValue(*t.db, kind, 1, "changed elsewhere");
    reload();
    QCOMPARE(tab->box(1)->text(), QStringLiteral("changed elsewhere"));
}

void tst_Fields::missingConfigurationRow() {
    TestContext t;
    addOwner(*t.db, RecordOwner::Location);
    Query(*t.db, "DELETE FROM LocationAdditionalInformation").exec();
    FieldsTab* tab = fieldsOf(openOwner(t, RecordOwner::Location));
    for (int n = 1; n <= kUserFieldCount; ++n)
        QVERIFY(shown(tab->box(n), tab) && tab->label(n)->text().isEmpty());
    auto* editor = openWindow<FrmAddionalFieldCaptions>(t.ctx, nullptr, [](FrmAddionalFieldCaptions&) {});
    QVERIFY(box(editor, "txtField1")->text().isEmpty());
    box(editor, "txtField1")->setText(QStringLiteral("Kept"));
    visibleBox(editor, 1)->setChecked(true);
    click(editor, "cmdUpdate");
    // The row comes back rather than the typed captions being lost.
    QCOMPARE(Query(*t.db, "SELECT COUNT(*) FROM LocationAdditionalInformation").scalar().toInt(), 1);
    QCOMPARE(storedConfiguration(*t.db, RecordOwner::Location, "Field1").toString(), QStringLiteral("Kept"));
    click(editor, "cmdUpdate");
    QCOMPARE(Query(*t.db, "SELECT COUNT(*) FROM LocationAdditionalInformation").scalar().toInt(), 1);
}

void tst_Fields::locationOfUnknownStateStillShowsItsValues() {
    TestContext t;
    addOwner(*t.db, RecordOwner::Location);
    Query(*t.db, "UPDATE LocationInfo SET StateId = 99").exec();
    setValue(*t.db, RecordOwner::Location, 5, "kept");
    FieldsTab* tab = fieldsOf(openOwner(t, RecordOwner::Location));
    // "Update" writes every box; had the value not shown, it would be wiped.
    QCOMPARE(tab->box(5)->text(), QStringLiteral("kept"));
    click(tab, "cmdUpdate");
    QCOMPARE(storedValue(*t.db, RecordOwner::Location, 5).toString(), QStringLiteral("kept"));
}

void tst_Fields::ownerGoneSaysSo() {
    TestContext t;
    addOwner(*t.db, RecordOwner::Equipment);
    FieldsTab* tab = fieldsOf(openOwner(t, RecordOwner::Equipment));
    Query(*t.db, "DELETE FROM EquipmentInfo").exec();
    tab->box(1)->setText("typed");
    click(tab, "cmdUpdate");
    QCOMPARE(t.dialogs.texts(), QStringList{"This equipment no longer exists; it may have been deleted"});
    QCOMPARE(tab->box(1)->text(), QStringLiteral("typed"));
}

QTEST_MAIN(tst_Fields)
#include "tst_fields.moc"
