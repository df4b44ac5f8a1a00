#include "data/Database.h"
#include "equipment/ui/frmCreateEquipmentTypes.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "platform/Twips.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

using namespace Fixtures;

namespace {
frmCreateEquipmentTypes* openTypes(TestContext& t) {
    return openWindow<frmCreateEquipmentTypes>(t.ctx, nullptr);
}

QStringList column(ReportList* list, int col) {
    QStringList values;
    for (int row = 0; row < list->rowCount(); ++row)
        values << list->text(row, col);
    return values;
}

void pressDelete(QWidget* w) {
    auto* action = w->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Delete");
    QVERIFY(action);
    QCOMPARE(action->data().toString(), QStringLiteral("Delete"));
    action->trigger();
}

void addType(QWidget* w, const QString& name) {
    w->findChild<QLineEdit*>("TxtEquipmentType")->setText(name);
    QTest::mouseClick(w->findChild<QPushButton*>("Command1"), Qt::LeftButton);
}
} // namespace

class tst_EquipmentTypes : public QObject {
    Q_OBJECT
private slots:
    void listShowsIdsAndNames();
    void addTakesAnyName();
    void deleteAsksOncePerSelectedRow();
    void keepsFixedSize();
};

void tst_EquipmentTypes::listShowsIdsAndNames() {
    TestContext t;
    Query(*t.db, "INSERT INTO EquipmentType (EquipmentTypeId, EquipmentType) VALUES (5, 'Lap&nbsp;top'), (3, NULL), "
                 "(70000, 'Server')")
        .exec();
    auto* w = openTypes(t);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Manage Equipment Types"));
    ReportList* list = w->list();
    QCOMPARE(list->objectName(), QStringLiteral("LstStudenInformation"));
    QCOMPARE(list->columnCount(), 2);
    QCOMPARE(list->columnHeader(0), QStringLiteral("Id"));
    QCOMPARE(list->columnHeader(1), QStringLiteral("Equipment Type"));
    QCOMPARE(list->columnTag(0), QStringLiteral("EquipmentTypeId"));
    QCOMPARE(list->columnTag(1), QStringLiteral("EquipmentType"));
    QCOMPARE(column(list, 0), (QStringList{"3", "5", "70000"}));
    QCOMPARE(column(list, 1), (QStringList{"", "Laptop", "Server"}));
    QCOMPARE(list->rowTag(2).toLongLong(), 70000);
}

void tst_EquipmentTypes::addTakesAnyName() {
    TestContext t;
    auto* w = openTypes(t);
    // Nothing is trimmed or checked: empty names and repeats are stored, apostrophes as typed.
    for (const char* name : {"Dell's Dock", "", "Dell's Dock", " padded "})
        addType(w, name);
    QCOMPARE(w->findChild<QLineEdit*>("TxtEquipmentType")->text(), QString());
    QCOMPARE(column(w->list(), 1), (QStringList{"Dell's Dock", "", "Dell's Dock", " padded "}));
    QCOMPARE(count(*t.db, "EquipmentType", "EquipmentType = ''"), 1);
    QCOMPARE(count(*t.db, "EquipmentType", "EquipmentType = ?", {"Dell's Dock"}), 2);
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_EquipmentTypes::deleteAsksOncePerSelectedRow() {
    TestContext t;
    Query(*t.db, "INSERT INTO EquipmentType (EquipmentType) VALUES ('A'), ('B'), ('C'), ('D')").exec();
    addEquipment(*t.db, addLocation(*t.db, "Depot"), "S1", "A");
    auto* w = openTypes(t);
    pressDelete(w); // nothing selected: nothing asked
    QVERIFY(t.dialogs.messages.isEmpty());

    for (int row : {0, 1, 3})
        w->list()->setRowSelected(row, true);
    for (auto a : {Dialogs::Answer::Yes, Dialogs::Answer::No, Dialogs::Answer::Yes})
        t.dialogs.answer(a);
    pressDelete(w);
    QVERIFY(t.dialogs.allAnswersUsed());
    QCOMPARE(t.dialogs.texts(), QStringList(3, "Are you sure you want to delete the selected items"));
    QCOMPARE(t.dialogs.messages[0].buttons, Dialogs::Buttons::YesNoDefaultNo);
    QCOMPARE(t.dialogs.messages[0].icon, Dialogs::Icon::None);
    QCOMPARE(column(w->list(), 1), (QStringList{"B", "C"}));
    QCOMPARE(count(*t.db, "EquipmentType"), 2);
    // Equipment keeps the type's name as text.
    QCOMPARE(count(*t.db, "EquipmentInfo", "EquipmentType = 'A'"), 1);
}

void tst_EquipmentTypes::keepsFixedSize() {
    TestContext t;
    auto* w = openTypes(t);
    const QSize fixed(Twips::toPixelsX(4800, w), Twips::toPixelsY(8085, w));
    QCOMPARE(w->size(), fixed);
    w->resize(fixed * 2);
    QCOMPARE(w->size(), fixed);
}

QTEST_MAIN(tst_EquipmentTypes)
#include "tst_equipmenttypes.moc"
