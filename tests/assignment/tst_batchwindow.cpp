#include "assignment/ui/FrmBatchAssign.h"
#include "data/Database.h"
#include "equipment/ui/frmEditEquipment.h"
#include "platform/OpenWindow.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace UnitFixtures;

namespace {
FrmBatchAssign* openBatch(TestContext& t) {
    return openWindow<FrmBatchAssign>(t.ctx, nullptr);
}

void submit(FrmBatchAssign* w, const QString& start, const QString& end) {
    w->startBox()->setText(start);
    w->endBox()->setText(end);
    QTest::mouseClick(w->findChild<QPushButton*>("CmdSubmit"), Qt::LeftButton);
}
} // namespace

class tst_BatchWindow : public QObject {
    Q_OBJECT
private slots:
    void listsActiveLocationsWithTheFirstSelected();
    void refusesInvalidIds_data();
    void refusesInvalidIds();
    void movesTheRangeAndStaysOpenForTheNext();
    void withoutLocationsAsksForOneFirst();
    void refusesALocationRetiredMeanwhileAsReassignDoes();
};

void tst_BatchWindow::listsActiveLocationsWithTheFirstSelected() {
    TestContext t;
    addLocationWithId(*t.db, 1, "Zulu");
    addLocationWithId(*t.db, 2, "Alpha");
    addLocationWithId(*t.db, 3, "Retired", false);
    FrmBatchAssign* w = openBatch(t);
    QVERIFY(w);

    QCOMPARE(w->windowTitle(), QStringLiteral("Kavrel Batch Assign"));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QListWidget* list = w->locations();
    QCOMPARE(list->objectName(), QStringLiteral("List2"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Alpha"));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->currentItem()->data(Qt::UserRole).toLongLong(), qint64(2));
}

void tst_BatchWindow::refusesInvalidIds_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty start") << ""
                                 << "3"
                                 << "Invalid starting ID number";
    QTest::newRow("text start") << "abc"
                                << ""
                                << "Invalid starting ID number";
    QTest::newRow("text end") << "1"
                              << "x9"
                              << "Invalid ending ID number";
}

void tst_BatchWindow::refusesInvalidIds() {
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, message);
    TestContext t;
    addLocationWithId(*t.db, 1, "From");
    addLocationWithId(*t.db, 2, "A target");
    addUnitWithId(*t.db, 1, 1, "S1");
    FrmBatchAssign* w = openBatch(t);

    submit(w, start, end);

    QCOMPARE(t.dialogs.texts(), QStringList{message});
    QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::Critical);
    QCOMPARE(locationOf(*t.db, 1), qint64(1));
    QCOMPARE(w->startBox()->text(), start); // kept for correcting
}

void tst_BatchWindow::movesTheRangeAndStaysOpenForTheNext() {
    TestContext t;
    addLocationWithId(*t.db, 1, "From");
    addLocationWithId(*t.db, 2, "A target");
    for (qint64 id : {10, 12, 70000})
        addUnitWithId(*t.db, id, 1, QStringLiteral("S%1").arg(id));
    FrmBatchAssign* w = openBatch(t);

    submit(w, "10", "12");
    QCOMPARE(t.dialogs.texts(), QStringList{"Operation complete\n2 item(s) transferred"});
    QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::Information);
    QCOMPARE(w->startBox()->text(), QString());
    QCOMPARE(w->endBox()->text(), QString());
    QCOMPARE(locationOf(*t.db, 12), qint64(2));

    t.dialogs.reset();
    submit(w, "70000", "");
    QCOMPARE(t.dialogs.texts(), QStringList{"Operation complete\n1 item(s) transferred"});
    QCOMPARE(locationOf(*t.db, 70000), qint64(2));
    QVERIFY(w->isVisible());
}

void tst_BatchWindow::withoutLocationsAsksForOneFirst() {
    TestContext t;
    addLocationWithId(*t.db, 1, "Retired", false);
    addUnitWithId(*t.db, 5, 1, "S5");
    FrmBatchAssign* w = openBatch(t);
    QVERIFY(w);
    QCOMPARE(w->locations()->count(), 0);

    submit(w, "5", "");

    QCOMPARE(t.dialogs.texts().size(), 1);
    QVERIFY(t.dialogs.texts().first().contains(QStringLiteral("location must be created first")));
    QCOMPARE(locationOf(*t.db, 5), qint64(1));
}

void tst_BatchWindow::refusesALocationRetiredMeanwhileAsReassignDoes() {
    TestContext t;
    addLocationWithId(*t.db, 1, "From");
    addLocationWithId(*t.db, 2, "Target");
    addUnitWithId(*t.db, 5, 1, "S5");
    FrmBatchAssign* w = openBatch(t);
    auto* detail = openWindow<frmEditEquipment>(t.ctx, nullptr, [](frmEditEquipment& d) {
        d.Idnum = QStringLiteral("5");
        d.ssn = QStringLiteral("S5");
    });
    w->locations()->setCurrentRow(1);
    detail->locationList()->setCurrentRow(1);
    QCOMPARE(w->locations()->currentItem()->text(), QStringLiteral("Target"));
    // Another workstation retires the chosen location while both windows are open.
    {
        std::unique_ptr<Database> other = t.openAnother(QStringLiteral("other"));
        Query(*other, QStringLiteral("UPDATE LocationInfo SET LocActive = 0 WHERE LocId = 2")).exec();
    }
    const QStringList before = inventoryRows(*t.db);

    QTest::mouseClick(detail->findChild<QPushButton*>("cmdSaveAssignment"), Qt::LeftButton);
    submit(w, "5", "");

    QCOMPARE(t.dialogs.messages.size(), 2);
    const ScriptedDialogs::Message& reassign = t.dialogs.messages.at(0);
    const ScriptedDialogs::Message& batch = t.dialogs.messages.at(1);
    QCOMPARE(reassign.text, QStringLiteral("The selected location no longer exists or has been retired"));
    QCOMPARE(batch.text, reassign.text);
    QCOMPARE(batch.icon, reassign.icon);
    QCOMPARE(batch.title, reassign.title);
    QCOMPARE(inventoryRows(*t.db), before);
    // The retired location can no longer be chosen, and nothing stands chosen in its place.
    QCOMPARE(w->locations()->count(), 1);
    QCOMPARE(w->locations()->selectedItems().size(), 0);
}

QTEST_MAIN(tst_BatchWindow)
#include "tst_batchwindow.moc"
