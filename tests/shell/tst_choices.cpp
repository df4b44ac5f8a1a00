#include "assignment/ui/FrmBatchAssign.h"
#include "data/Database.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "equipment/ui/frmCreateEquipmentTypes.h"
#include "equipment/ui/frmEditEquipment.h"
#include "equipment/ui/frmSearchEquipment.h"
#include "import/ui/ImportEquipmentWindow.h"
#include "labels/ui/PrintLabelsWindow.h"
#include "locations/ui/DisplayInformation.h"
#include "locations/ui/FrmReassignLocation.h"
#include "locations/ui/frmActiveLocations.h"
#include "locations/ui/frmCreateLocation.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "records/store/AttachmentStore.h"
#include "records/store/NoteStore.h"
#include "records/ui/AttachmentsTab.h"
#include "records/ui/FrmAddionalFieldCaptions.h"
#include "records/ui/FrmDocExplorer.h"
#include "records/ui/NotesTab.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>

using namespace UnitFixtures;

namespace {

// Three active locations, listed by name in id order, and unit 5 standing at the first.
constexpr qint64 kAlpha = 1;
constexpr qint64 kBravo = 2;
constexpr qint64 kCharlie = 3;
constexpr qint64 kUnit = 5;

void addPlaces(Database& db) {
    addLocationWithId(db, kAlpha, QStringLiteral("Alpha"));
    addLocationWithId(db, kBravo, QStringLiteral("Bravo"));
    addLocationWithId(db, kCharlie, QStringLiteral("Charlie"));
    addUnitWithId(db, kUnit, kAlpha, QStringLiteral("S5"));
    EquipmentTypeStore types(db);
    types.add(QStringLiteral("Desktop"));
    types.add(QStringLiteral("Laptop"));
}

// A choice made as a keyboard or screen-reader user makes it: through the selection model only, the current row
// staying where it was.
void choose(QAbstractItemView* view, int row) {
    view->selectionModel()->select(view->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void chooseNothing(QAbstractItemView* view) {
    view->selectionModel()->clearSelection();
}

QString lastMessage(TestContext& t) {
    return t.dialogs.messages.isEmpty() ? QString() : t.dialogs.messages.last().text;
}

QString where(TestContext& t) {
    return QStringLiteral("unit at %1").arg(locationOf(*t.db, kUnit));
}

// What a step led to: the last message shown (if any), then the state of the data the step changes.
QString outcome(TestContext& t, const QString& state) {
    const QString said = lastMessage(t);
    return said.isEmpty() ? state : said + QStringLiteral(" | ") + state;
}

QString column(TestContext& t, const QString& statement) {
    Query q(*t.db, statement);
    q.exec({});
    QStringList values;
    while (q.next())
        values << q.value(0).toString();
    return values.join(QLatin1Char(','));
}

QAction* action(QWidget* window, const char* name) {
    auto* found = window->findChild<QAction*>(QLatin1String(name));
    if (!found)
        qFatal("no action %s", name);
    return found;
}

QAction* toolButton(QWidget* window, const QString& text) {
    for (QAction* a : window->findChildren<QAction*>())
        if (a->text() == text)
            return a;
    qFatal("no tool button %s", qPrintable(text));
}

frmEditEquipment* openDetail(TestContext& t) {
    return openWindow<frmEditEquipment>(t.ctx, nullptr, [](frmEditEquipment& w) {
        w.Idnum = QString::number(kUnit);
        w.ssn = QStringLiteral("S5");
    });
}

QString batchAssign(TestContext& t, const std::function<void(QListWidget*)>& pick) {
    auto* w = openWindow<FrmBatchAssign>(t.ctx, nullptr);
    pick(w->locations());
    w->startBox()->setText(QString::number(kUnit));
    click(w, "CmdSubmit");
    return outcome(t, where(t));
}

QString reassign(TestContext& t, const std::function<void(QListWidget*)>& pick) {
    frmEditEquipment* w = openDetail(t);
    pick(w->locationList());
    click(w, "cmdSaveAssignment");
    return outcome(t, where(t));
}

// Submits one unit into the holding table of a fresh entry window after the given choices.
QString enter(TestContext& t, const std::function<void(frmCreateEquipment*)>& pick) {
    auto* w = openWindow<frmCreateEquipment>(t.ctx, nullptr);
    box(w, "txtSerialNumber")->setText(QStringLiteral("NEW1"));
    box(w, "txtManufacturer")->setText(QStringLiteral("HP"));
    pick(w);
    click(w, "Command1");
    return outcome(t, column(t, "SELECT EquipmentType || '@' || CurrentLocation FROM HoldEquipment") +
                          QStringLiteral(" manufacturer '%1'").arg(box(w, "txtManufacturer")->text()));
}

int rowOfName(const QListWidget* list, const QString& name) {
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? -1 : list->row(found.first());
}

struct Case {
    std::function<QString(TestContext&)> run;
};

} // namespace

Q_DECLARE_METATYPE(Case)

class tst_Choices : public QObject {
    Q_OBJECT
private slots:
    void choiceIsWhatIsSelected_data();
    void choiceIsWhatIsSelected();
};

void tst_Choices::choiceIsWhatIsSelected_data() {
    QTest::addColumn<Case>("step");
    QTest::addColumn<QString>("expected");

    // Batch Assign opens with its first location selected.
    QTest::newRow("batch assign: another location selected")
        << Case{[](TestContext& t) { return batchAssign(t, [](QListWidget* l) { choose(l, 1); }); }}
        << "Operation complete\n1 item(s) transferred | unit at 2";
    QTest::newRow("batch assign: the first location deselected")
        << Case{[](TestContext& t) { return batchAssign(t, [](QListWidget* l) { chooseNothing(l); }); }}
        << "No location selected | unit at 1";

    QTest::newRow("reassign: a location selected")
        << Case{[](TestContext& t) { return reassign(t, [](QListWidget* l) { choose(l, 2); }); }} << "unit at 3";
    QTest::newRow("reassign: nothing selected") << Case{[](TestContext& t) {
        return reassign(t, [](QListWidget* l) {
            choose(l, 2);
            chooseNothing(l);
        });
    }} << "No location selected | unit at 1";

    // The entry window opens with its first type and location selected.
    QTest::newRow("entry: type and location selected") << Case{[](TestContext& t) {
        return enter(t, [](frmCreateEquipment* w) {
            choose(w->typeList(), rowOfName(w->typeList(), "Laptop"));
            choose(w->locationList(), 2);
        });
    }} << "Laptop@3 manufacturer 'HP'";
    QTest::newRow("entry: location deselected") << Case{[](TestContext& t) {
        return enter(t, [](frmCreateEquipment* w) { chooseNothing(w->locationList()); });
    }} << "Select the location to assign the equipment to |  manufacturer 'HP'";
    QTest::newRow("entry: clear fields after submitting checked") << Case{[](TestContext& t) {
        return enter(t, [](frmCreateEquipment* w) { w->findChild<QCheckBox*>("chkSubmit")->setChecked(true); });
    }} << "Desktop@1 manufacturer ''";
    QTest::newRow("entry: prompt for asset number checked") << Case{[](TestContext& t) {
        auto* w = openWindow<frmCreateEquipment>(t.ctx, nullptr);
        w->findChild<QCheckBox*>("Check1")->setChecked(true);
        t.dialogs.type("SCAN1");
        t.dialogs.type("TAG1");
        t.dialogs.type(QString());
        click(w, "Command5");
        return column(t, "SELECT SerialNumber || '/' || AssetTagNumber FROM HoldEquipment");
    }} << "SCAN1/TAG1";
    QTest::newRow("entry: holding row selected for deletion") << Case{[](TestContext& t) {
        auto* w = openWindow<frmCreateEquipment>(t.ctx, nullptr);
        for (const char* serial : {"H1", "H2", "H3"}) {
            box(w, "txtSerialNumber")->setText(QLatin1String(serial));
            click(w, "Command1");
        }
        choose(w->holdingList(), 1);
        t.dialogs.answer(Dialogs::Answer::Yes);
        click(w, "Command14");
        return column(t, "SELECT SerialNumber FROM HoldEquipment ORDER BY SerialNumber");
    }} << "H1,H3";

    QTest::newRow("active locations: reassign the selected") << Case{[](TestContext& t) {
        auto* w = openWindow<frmActiveLocations>(t.ctx, nullptr);
        choose(w->list(), w->list()->rowOfTag(kCharlie));
        t.dialogs.answer(Dialogs::Answer::Yes);
        w->toolbarClicked(QStringLiteral("Reassign"));
        return QString::number(t.windows.last<FrmReassignLocation>()->Tag);
    }} << "3";
    QTest::newRow("active locations: reassign with nothing selected") << Case{[](TestContext& t) {
        auto* w = openWindow<frmActiveLocations>(t.ctx, nullptr);
        w->list()->setCurrentRow(0);
        t.dialogs.answer(Dialogs::Answer::Yes);
        w->toolbarClicked(QStringLiteral("Reassign"));
        return outcome(t, t.windows.last<FrmReassignLocation>() ? "opened" : "none opened");
    }} << "Select the location whose equipment is to be reassigned | none opened";

    QTest::newRow("reassign and delete: target selected") << Case{[](TestContext& t) {
        auto* w = openWindow<FrmReassignLocation>(t.ctx, nullptr, [](FrmReassignLocation& r) {
            r.Tag = kAlpha;
            r.LocationName = QStringLiteral("Alpha");
        });
        choose(w->list(), w->list()->rowOfTag(kBravo));
        t.dialogs.answer(Dialogs::Answer::Yes);
        click(w, "Command1");
        return where(t);
    }} << "unit at 2";
    QTest::newRow("reassign and delete: nothing selected") << Case{[](TestContext& t) {
        auto* w = openWindow<FrmReassignLocation>(t.ctx, nullptr, [](FrmReassignLocation& r) {
            r.Tag = kAlpha;
            r.LocationName = QStringLiteral("Alpha");
        });
        w->list()->setCurrentRow(w->list()->rowOfTag(kBravo));
        click(w, "Command1");
        return outcome(t, where(t));
    }} << "Select the location that is to receive the equipment | unit at 1";

    QTest::newRow("create location: state selected") << Case{[](TestContext& t) {
        auto* w = openWindow<frmCreateLocation>(t.ctx, nullptr);
        box(w, "txtName")->setText(QStringLiteral("Delta"));
        choose(w->stateList(), 8);
        click(w, "Command1");
        return column(t, "SELECT StateId FROM LocationInfo WHERE LocName = 'Delta'");
    }} << "10";
    QTest::newRow("location detail: state selected") << Case{[](TestContext& t) {
        auto* w = openWindow<DisplayInformation>(t.ctx, nullptr,
                                                 [](DisplayInformation& d) { d.LocId = QString::number(kBravo); });
        choose(w->stateList(), 8);
        click(w, "cmdEditCompany");
        return column(t, "SELECT StateId FROM LocationInfo WHERE LocId = 2");
    }} << "10";

    QTest::newRow("equipment types: the selected deleted") << Case{[](TestContext& t) {
        auto* w = openWindow<frmCreateEquipmentTypes>(t.ctx, nullptr);
        choose(w->list(), 1);
        t.dialogs.answer(Dialogs::Answer::Yes);
        toolButton(w, "Delete")->trigger();
        return column(t, "SELECT EquipmentType FROM EquipmentType ORDER BY EquipmentType");
    }} << "Desktop";
    QTest::newRow("manage equipment: the selected deleted") << Case{[](TestContext& t) {
        addUnitWithId(*t.db, 6, kAlpha, QStringLiteral("S6"));
        auto* w = openWindow<frmActiveEquipment>(t.ctx, nullptr);
        choose(w->list(), w->list()->rowOfTag(6));
        t.dialogs.answer(Dialogs::Answer::Yes);
        w->toolbarClicked(QStringLiteral("Delete Selected"));
        return column(t, "SELECT EquipmentId FROM EquipmentInfo ORDER BY EquipmentId");
    }} << "5";
    QTest::newRow("print labels: the selected units") << Case{[](TestContext& t) {
        addUnitWithId(*t.db, 6, kAlpha, QStringLiteral("S6"));
        auto* w = openWindow<frmActiveEquipment>(t.ctx, nullptr);
        choose(w->list(), w->list()->rowOfTag(6));
        action(w, "mnuPrintLabels")->trigger();
        QStringList ids;
        for (qint64 id : t.windows.last<PrintLabelsWindow>()->unitIds)
            ids << QString::number(id);
        return ids.join(QLatin1Char(','));
    }} << "6";

    QTest::newRow("explorer: location selected, Enter") << Case{[](TestContext& t) {
        auto* w = openWindow<FrmDocExplorer>(t.ctx, nullptr);
        choose(w->tree(), 1);
        QTest::keyClick(w->tree(), Qt::Key_Return);
        return QString::number(w->chosenLocation());
    }} << "2";
    QTest::newRow("explorer: nothing selected, Enter") << Case{[](TestContext& t) {
        auto* w = openWindow<FrmDocExplorer>(t.ctx, nullptr);
        w->tree()->setCurrentItem(w->tree()->topLevelItem(1), 0, QItemSelectionModel::NoUpdate);
        QTest::keyClick(w->tree(), Qt::Key_Return);
        return QString::number(w->chosenLocation());
    }} << "0";

    QTest::newRow("search: asset tag option checked") << Case{[](TestContext& t) {
        setAssetTag(*t.db, kUnit, QStringLiteral("TAG5"));
        auto* w = openWindow<frmSearchEquipment>(t.ctx, nullptr);
        w->assetTagOption()->setChecked(true);
        w->searchBox()->setText(QStringLiteral("TAG5"));
        click(w, "Command1");
        return outcome(t, QString::number(w->list()->rowCount()));
    }} << "1";

    QTest::newRow("notes: the selected deleted") << Case{[](TestContext& t) {
        NoteStore notes(*t.db, RecordOwner::Equipment);
        notes.add(kUnit, QStringLiteral("First"), QStringLiteral("one"));
        notes.add(kUnit, QStringLiteral("Second"), QStringLiteral("two"));
        auto* tab = openDetail(t)->findChild<NotesTab*>();
        const int second = tab->list()->text(0) == QLatin1String("Second") ? 0 : 1;
        choose(tab->list(), second);
        t.dialogs.answer(Dialogs::Answer::Yes);
        action(tab, "mnuDeleteNote")->trigger();
        return column(t, "SELECT NoteTitle FROM EquipmentNoteInformation ORDER BY NoteTitle");
    }} << "First";
    QTest::newRow("attachments: the selected deleted, current versions only") << Case{[](TestContext& t) {
        QFile file(t.dataDir() + QStringLiteral("/manual.txt"));
        if (!file.open(QIODevice::WriteOnly) || file.write("text") != 4)
            qFatal("cannot write the attachment");
        file.close();
        AttachmentStore store(*t.db, RecordOwner::Equipment);
        store.add(kUnit, file.fileName());
        store.add(kUnit, file.fileName());
        auto* tab = openDetail(t)->findChild<AttachmentsTab*>();
        tab->findChild<QCheckBox*>("Check1")->setChecked(true);
        const int shown = tab->list()->rowCount();
        choose(tab->list(), 0);
        t.dialogs.answer(Dialogs::Answer::Yes);
        action(tab, "mnuDeleteAttachment")->trigger();
        return QStringLiteral("%1 shown, %2 left").arg(shown).arg(tab->list()->rowCount());
    }} << "1 shown, 1 left";

    QTest::newRow("field captions: a field made visible") << Case{[](TestContext& t) {
        auto* w = openWindow<FrmAddionalFieldCaptions>(
            t.ctx, nullptr, [](FrmAddionalFieldCaptions& c) { c.Kind = RecordOwner::Equipment; });
        box(w, "txtField3")->setText(QStringLiteral("Room"));
        w->findChild<QCheckBox*>("ChkField3")->setChecked(true);
        click(w, "cmdUpdate");
        return column(t, "SELECT Field3 || ' ' || Field3Visible FROM EquipmentAdditionalInformation");
    }} << "Room 1";

    QTest::newRow("import: location of every row chosen") << Case{[](TestContext& t) {
        const QString path = t.dataDir() + QStringLiteral("/units.csv");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("Serial Number\r\nIMP1\r\n") < 0)
            qFatal("cannot write the file");
        file.close();
        auto* w = openWindow<ImportEquipmentWindow>(t.ctx, nullptr);
        w->openFile(path);
        w->locationPicker()->setCurrentIndex(2);
        click(w, "cmdImport");
        return column(t, "SELECT CurrentLocation FROM HoldEquipment");
    }} << "3";
}

void tst_Choices::choiceIsWhatIsSelected() {
    QFETCH(Case, step);
    QFETCH(QString, expected);
    TestContext t;
    addPlaces(*t.db);
    QCOMPARE(step.run(t), expected);
}

QTEST_MAIN(tst_Choices)
#include "tst_choices.moc"
