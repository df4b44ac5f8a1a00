#include "data/Database.h"
#include "equipment/ui/frmEditEquipment.h"
#include "locations/ui/DisplayInformation.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "records/store/AttachmentStore.h"
#include "records/ui/AttachmentsTab.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace UnitFixtures;

namespace {

constexpr qint64 kLocation = 70000;
constexpr qint64 kUnit = 90000;

// A detail window of either side, opened as its list opens it, with its attachments tab in front.
struct Detail {
    QWidget* window = nullptr;
    AttachmentsTab* tab = nullptr;
    qint64 ownerId = 0;

    ReportList* list() const { return tab->list(); }
    QStringList column(int col) const {
        QStringList cells;
        for (int row = 0; row < list()->rowCount(); ++row)
            cells << list()->text(row, col);
        return cells;
    }
    void reload() const {
        if (auto* d = qobject_cast<DisplayInformation*>(window))
            d->PopulateListAtt();
        else
            qobject_cast<frmEditEquipment*>(window)->PopulateListAtt();
    }
    void rightClick(int row) const {
        const QPoint at = row < 0 ? list()->viewport()->rect().center()
                                  : list()->visualRect(list()->listModel()->index(row, 0)).center();
        QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, at);
    }
    void select(int row) const {
        list()->setCurrentRow(row);
        list()->setRowSelected(row, true);
    }
    // As a click on the entry: the menu closes, then the entry acts.
    void choose(const char* action) const {
        tab->popupMenu()->hide();
        tab->popupMenu()->findChild<QAction*>(action)->trigger();
    }
};

Detail openDetail(TestContext& t, RecordOwner owner) {
    addLocationWithId(*t.db, kLocation, "Depot");
    addUnitWithId(*t.db, kUnit, kLocation, "S1");
    Detail d;
    if (owner == RecordOwner::Location) {
        d.window = openWindow<DisplayInformation>(t.ctx, nullptr,
                                                  [](DisplayInformation& w) { w.LocId = QString::number(kLocation); });
        d.ownerId = kLocation;
    } else {
        d.window = openWindow<frmEditEquipment>(t.ctx, nullptr, [](frmEditEquipment& w) {
            w.Idnum = QString::number(kUnit);
            w.ssn = QStringLiteral("S1");
        });
        d.ownerId = kUnit;
    }
    if (!d.window)
        qFatal("the detail window did not open");
    d.tab = d.window->findChild<AttachmentsTab*>();
    d.window->findChild<QTabWidget*>("SSTab1")->setCurrentWidget(d.tab);
    return d;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Sends a drag of data onto the list and, when it was taken, the drop; answers whether the list took it.
bool dropOn(ReportList* list, QMimeData* data) {
    QWidget* target = list->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

void ownerRows() {
    QTest::addColumn<RecordOwner>("owner");
    QTest::newRow("location") << RecordOwner::Location;
    QTest::newRow("equipment") << RecordOwner::Equipment;
}

// Watches progress dialogs as they show; cancels them when told to.
class ProgressWatch : public QObject {
public:
    QStringList shown;
    bool cancel = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (dialog && event->type() == QEvent::Show) {
            shown << dialog->labelText();
            if (cancel)
                QTimer::singleShot(0, dialog, &QProgressDialog::cancel);
        }
        return false;
    }
};

} // namespace

class tst_AttachmentsTab : public QObject {
    Q_OBJECT
private slots:
    void uploadAndBothViews_data() { ownerRows(); }
    void uploadAndBothViews();
    void dropsFromTheDesktop_data() { ownerRows(); }
    void dropsFromTheDesktop();
    void popupViewAndDelete_data() { ownerRows(); }
    void popupViewAndDelete();
    void failuresAreSaid();
    void largeFilesShowProgressAndCancelStops();
};

void tst_AttachmentsTab::uploadAndBothViews() {
    QFETCH(RecordOwner, owner);
    TestContext t;
    QTemporaryDir files;
    const QString plan = writeFile(files, "plan.pdf", "plan");
    // An upload made elsewhere before the window opens is listed at once.
    AttachmentStore(*t.db, owner)
        .add(owner == RecordOwner::Location ? kLocation : kUnit, writeFile(files, "memo.doc", "m"));
    const Detail d = openDetail(t, owner);
    auto* tabs = d.window->findChild<QTabWidget*>("SSTab1");
    QCOMPARE(tabs->tabText(2), owner == RecordOwner::Location ? QStringLiteral("Location Attachments")
                                                              : QStringLiteral("Equipment Attachments"));
    QStringList headers;
    for (int col = 0; col < d.list()->columnCount(); ++col)
        headers << d.list()->columnHeader(col);
    QCOMPARE(headers,
             (QStringList{"Attachment Id", owner == RecordOwner::Location ? "Attachment Date" : "Attachemnt Date",
                          "Attachment Name", "Attachment Version"}));
    auto* currentOnly = d.window->findChild<QCheckBox*>("Check1");
    QVERIFY(!currentOnly->isChecked());
    QCOMPARE(d.column(2), QStringList{"memo.doc"});

    t.dialogs.chooseFile(QString()); // cancelled: nothing
    click(d.window, "CmdUpload");
    QCOMPARE(d.list()->rowCount(), 1);
    QVERIFY(t.dialogs.messages.isEmpty());

    for (int i = 0; i < 3; ++i) {
        t.dialogs.chooseFile(plan);
        click(d.window, "CmdUpload");
    }
    QCOMPARE(t.dialogs.prompts, QStringList(4, "OPEN FILE"));
    QCOMPARE(t.dialogs.texts(), QStringList(3, "Attachment successfully uploaded"));
    QCOMPARE(t.dialogs.messages.last().icon, Dialogs::Icon::Information);
    QCOMPARE(d.column(2), (QStringList{"memo.doc", "plan.pdf", "plan.pdf", "plan.pdf"}));
    QCOMPARE(d.column(3), (QStringList{"1", "3", "2", "1"}));
    QCOMPARE(d.list()->text(1, 1), d.list()->text(0, 1)); // the date as the database gave it, shown short
    const QString thirdId = d.column(0).at(1);

    QTest::mouseClick(currentOnly, Qt::LeftButton);
    QCOMPARE(d.column(2), (QStringList{"plan.pdf", "memo.doc"}));
    QCOMPARE(d.column(3), (QStringList{"3", "1"}));
    QCOMPARE(d.column(0).at(0), thirdId);
    QTest::mouseClick(currentOnly, Qt::LeftButton);
    QCOMPARE(d.list()->rowCount(), 4);
}

void tst_AttachmentsTab::dropsFromTheDesktop() {
    QFETCH(RecordOwner, owner);
    TestContext t;
    QTemporaryDir files;
    const Detail d = openDetail(t, owner);

    auto* text = new QMimeData;
    text->setText("not a file");
    QVERIFY(!dropOn(d.list(), text));
    auto* remote = new QMimeData;
    remote->setUrls({QUrl("https://example.com/a.pdf")});
    QVERIFY(!dropOn(d.list(), remote));

    auto* dropped = new QMimeData;
    // A folder among the files is reported, and the files after it still go in.
    dropped->setUrls({QUrl::fromLocalFile(writeFile(files, "b.txt", "b")), QUrl("https://example.com/c.pdf"),
                      QUrl::fromLocalFile(files.path()), QUrl::fromLocalFile(writeFile(files, "a.txt", "a"))});
    QVERIFY(dropOn(d.list(), dropped));
    QTRY_COMPARE(d.list()->rowCount(), 2);
    QCOMPARE(d.column(2), (QStringList{"a.txt", "b.txt"}));
    QVERIFY(d.column(0).at(1).toLongLong() < d.column(0).at(0).toLongLong()); // in the order dropped
    QCOMPARE(t.dialogs.messages.size(), 1);                                   // no message for the files that went in
    QVERIFY(t.dialogs.texts().first().startsWith("Kavrel could not read the file"));
    delete text;
    delete remote;
    delete dropped;
}

void tst_AttachmentsTab::popupViewAndDelete() {
    QFETCH(RecordOwner, owner);
    TestContext t;
    QTemporaryDir files;
    const Detail d = openDetail(t, owner);
    QMenu* menu = d.tab->popupMenu();

    d.rightClick(-1); // an empty list shows no menu
    QVERIFY(!menu->isVisible());
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QCoreApplication::sendEvent(d.list(), &menuKey);
    QVERIFY(!menu->isVisible());

    const QByteArray bytes("\0\x01\xfe\xff binary", 11);
    AttachmentStore(*t.db, owner).add(d.ownerId, writeFile(files, "scan.bin", bytes));
    d.reload();
    d.rightClick(0);
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->title(), QStringLiteral("Attachments"));
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("View Attachment"));
    QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("Delete Attachment"));
    menu->hide();
    QCoreApplication::sendEvent(d.list(), &menuKey);
    QVERIFY(menu->isVisible());
    d.choose("mnuViewAttachment");
    QCOMPARE(t.shell.opened.size(), 1);
    QVERIFY(t.shell.opened.first().startsWith(t.dataDir()));
    QCOMPARE(QFileInfo(t.shell.opened.first()).fileName(), QStringLiteral("scan.bin"));
    QCOMPARE(readFile(t.shell.opened.first()), bytes);

    t.dialogs.answer(Dialogs::Answer::No);
    d.choose("mnuDeleteAttachment");
    QCOMPARE(t.dialogs.messages.last().text,
             QStringLiteral("Warning you are about to delete the selected file\nDo you want to continue"));
    QCOMPARE(t.dialogs.messages.last().buttons, Dialogs::Buttons::YesNoDefaultNo);
    QCOMPARE(t.dialogs.messages.last().icon, Dialogs::Icon::None);
    QCOMPARE(d.list()->rowCount(), 1);
    t.dialogs.answer(Dialogs::Answer::Yes);
    d.choose("mnuDeleteAttachment");
    QCOMPARE(t.dialogs.texts().last(), QStringLiteral("Attachment deleted"));
    QCOMPARE(d.list()->rowCount(), 0);
    QVERIFY(t.dialogs.allAnswersUsed());
}

void tst_AttachmentsTab::failuresAreSaid() {
    TestContext t;
    QTemporaryDir files;
    const Detail d = openDetail(t, RecordOwner::Equipment);
    const QString missing = files.filePath("moved away.pdf");
    t.dialogs.chooseFile(missing);
    click(d.window, "CmdUpload");
    QCOMPARE(t.dialogs.messages.size(), 1);
    QVERIFY(t.dialogs.texts().first().contains("moved away.pdf"));
    QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::Critical);
    QCOMPARE(d.list()->rowCount(), 0);

    const auto added = AttachmentStore(*t.db, RecordOwner::Equipment).add(kUnit, writeFile(files, "a.xyz", "a"));
    d.reload();
    d.select(0);
    t.shell.succeed = false;
    d.choose("mnuViewAttachment");
    // The message names the copy it wrote, so the user can open it another way.
    const QStringList said = t.dialogs.texts().last().split('\n');
    QCOMPARE(said.value(0), QStringLiteral("No program on this computer is set up to open a.xyz."));
    QCOMPARE(t.shell.opened.size(), 1);
    QCOMPARE(said.value(1), "The attachment was saved as " + QDir::toNativeSeparators(t.shell.opened.first()) + ".");
    QFile copy(t.shell.opened.first());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("a"));

    // Deleted in another window meanwhile.
    AttachmentStore(*t.db, RecordOwner::Equipment).remove(added->id);
    d.choose("mnuViewAttachment");
    QCOMPARE(t.dialogs.texts().last(), QStringLiteral("This attachment no longer exists; it may have been deleted"));
    QCOMPARE(d.list()->rowCount(), 0);
}

void tst_AttachmentsTab::largeFilesShowProgressAndCancelStops() {
    TestContext t;
    QTemporaryDir files;
    const Detail d = openDetail(t, RecordOwner::Location);
    d.tab->progressPolicy = {1, 0};
    ProgressWatch watch;
    qApp->installEventFilter(&watch);
    const QString big = writeFile(files, "big.iso", QByteArray(3 * LargeValue::kPieceBytes + 5, 'b'));

    t.dialogs.chooseFile(big);
    click(d.window, "CmdUpload");
    QCOMPARE(watch.shown, QStringList{"Uploading big.iso"});
    QCOMPARE(d.list()->rowCount(), 1);

    watch.cancel = true;
    t.dialogs.chooseFile(big);
    click(d.window, "CmdUpload");
    QCOMPARE(watch.shown.size(), 2);
    QCOMPARE(t.dialogs.texts(), QStringList{"Attachment successfully uploaded"}); // the second said nothing
    QCOMPARE(Query(*t.db, "SELECT COUNT(*) FROM LocationAttachments").scalar().toInt(), 1);

    // A stopped view leaves no copy to open.
    d.select(0);
    d.choose("mnuViewAttachment");
    QCOMPARE(watch.shown.last(), QStringLiteral("Opening big.iso"));
    QVERIFY(t.shell.opened.isEmpty());
    watch.cancel = false;
    d.choose("mnuViewAttachment");
    QCOMPARE(t.shell.opened.size(), 1);
    QCOMPARE(QFileInfo(t.shell.opened.first()).size(), 3 * LargeValue::kPieceBytes + 5);
    qApp->removeEventFilter(&watch);
}

QTEST_MAIN(tst_AttachmentsTab)
#include "tst_attachmentstab.moc"
