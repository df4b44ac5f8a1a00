#include "data/Database.h"
#include "data/DateText.h"
#include "equipment/ui/frmEditEquipment.h"
#include "locations/ui/DisplayInformation.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "records/ui/NoteEditor.h"
#include "records/ui/NotesTab.h"
#include "support/RecordOwners.h"
#include "support/TestContext.h"
#include "support/UnitFixtures.h"
#include "support/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTest>

Q_DECLARE_METATYPE(RecordOwner)

using namespace UnitFixtures;

namespace {

// Ids beyond 16 bits; the location and the unit share one, so that a note filed under the wrong kind would show.
constexpr qint64 kOwnerId = 70000;

struct Owners {
    explicit Owners(Database& db) {
        addLocationWithId(db, kOwnerId, QStringLiteral("O'Brien's Depot"));
        addUnitWithId(db, kOwnerId, kOwnerId, QStringLiteral("SN'70000"));
    }
};

// The detail window of the kind for the shared owner id, opened as its lists open it.
QWidget* openOwner(TestContext& t, RecordOwner kind, qint64 id = kOwnerId) {
    return openOwnerWindow(t, kind, id, QStringLiteral("SN'70000"));
}

NotesTab* notesOf(QWidget* window) {
    auto* tab = window->findChild<NotesTab*>();
    if (!tab)
        qFatal("no notes tab");
    return tab;
}

QString tableOf(RecordOwner kind) {
    return recordTables(kind).notes;
}

QVariantList storedNote(Database& db, RecordOwner kind, qint64 noteId) {
    Query q(db, "SELECT NoteTitle, Note, NoteDate, " + recordTables(kind).notesOwner + " FROM " + tableOf(kind) +
                    " WHERE NoteId = ?");
    q.exec({noteId});
    if (!q.next())
        return {};
    return {q.value(0), q.value(1), q.value(2), q.value(3)};
}

int noteCount(Database& db, RecordOwner kind) {
    return Query(db, "SELECT COUNT(*) FROM " + tableOf(kind)).scalar().toInt();
}

void selectRow(ReportList* list, int row) {
    list->setCurrentRow(row);
    list->setRowSelected(row, true);
}

QAction* menuItem(NotesTab* tab, const char* name) {
    auto* action = tab->menu()->findChild<QAction*>(QLatin1String(name));
    if (!action)
        qFatal("no menu item %s", name);
    return action;
}

void type(NoteEditor* editor, const QString& title, const QString& note) {
    box(editor, "txtNoteTitle")->setText(title);
    editor->findChild<QPlainTextEdit*>("txtNote")->setPlainText(note);
}

QString noteText(NoteEditor* editor) {
    return editor->findChild<QPlainTextEdit*>("txtNote")->toPlainText();
}

QPushButton* button(QWidget* window, const char* name) {
    return window->findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

class tst_Notes : public QObject {
    Q_OBJECT
private slots:
    void addEditViewDelete_data();
    void addEditViewDelete();
    void emptyTitleOrTextSavesNothing_data();
    void emptyTitleOrTextSavesNothing();
    void placeholderShowsAsBlankAndIsWrittenAsOne();
    void notesStayWithTheirOwnerAndKind();
    void rightClickMenuOnlyOverNotes();
    void saveAfterTheOpenerClosed();
    void noteDeletedMeanwhileKeepsTheEditorOpen();
};

void tst_Notes::addEditViewDelete_data() {
    QTest::addColumn<RecordOwner>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("note");
    const struct {
        const char* name;
        QString title;
        QString note;
    } samples[] = {
        {"apostrophes", QStringLiteral("O'Brien's 'quoted' title"), QStringLiteral("It's '; DROP TABLE x; --")},
        {"unicode", QStringLiteral("Zoë – 東京 ✓"), QStringLiteral("Ünïcødé 🖥 text")},
        {"lines", QStringLiteral("Two lines"), QStringLiteral("first line\nsecond line with a ' too")},
    };
    for (RecordOwner kind : {RecordOwner::Location, RecordOwner::Equipment})
        for (const auto& s : samples)
            QTest::addRow("%s %s", kind == RecordOwner::Location ? "location" : "equipment", s.name)
                << kind << s.title << s.note;
}

void tst_Notes::addEditViewDelete() {
    QFETCH(RecordOwner, kind);
    QFETCH(QString, title);
    QFETCH(QString, note);
    TestContext t;
    Owners owners(*t.db);
    QWidget* window = openOwner(t, kind);
    QVERIFY(window);
    NotesTab* tab = notesOf(window);
    ReportList* list = tab->list();
    QCOMPARE(list->objectName(), QStringLiteral("LstNotes"));
    QCOMPARE(list->rowCount(), 0);
    QStringList headers;
    for (int c = 0; c < list->columnCount(); ++c)
        headers << list->columnHeader(c);
    QCOMPARE(headers, (QStringList{"Note Id", "Note Date", "Note Title", "Note"}));

    // Add.
    click(tab, "CmdAddNote");
    QPointer<NoteEditor> editor = t.windows.last<NoteEditor>();
    QVERIFY(editor);
    if (kind == RecordOwner::Location) {
        QCOMPARE(editor->objectName(), QStringLiteral("frmAddEditLocationNotes"));
        QCOMPARE(editor->windowTitle(),
                 QStringLiteral("Add/Edit location notes for O'Brien's Depot having the Id number: 70000"));
    } else {
        QCOMPARE(editor->objectName(), QStringLiteral("frmAddEditNotes"));
        QCOMPARE(editor->windowTitle(),
                 QStringLiteral("Add/Edit equiment notes for SN'70000 having the Id number: 70000"));
    }
    // The caption reads whole in the title bar, beside its three buttons.
    const int buttons = 3 * editor->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, editor);
    QVERIFY(editor->width() >
            QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(editor->windowTitle()) +
                buttons);
    QVERIFY(box(editor, "txtNoteTitle")->text().isEmpty());
    type(editor, title, note);
    click(editor, "Command1");
    QTRY_VERIFY(!editor);
    QCOMPARE(list->rowCount(), 1);
    const qint64 noteId = list->rowTag(0).toLongLong();
    QCOMPARE(list->text(0, 0), QString::number(noteId));
    QCOMPARE(list->text(0, 1), DateText::toShort(QDate::currentDate()));
    QCOMPARE(list->text(0, 2), title);
    QCOMPARE(list->text(0, 3), note);
    const QVariantList added = storedNote(*t.db, kind, noteId);
    QCOMPARE(added.value(0).toString(), title);
    QCOMPARE(added.value(1).toString(), note);
    QCOMPARE(added.value(3).toLongLong(), kOwnerId);

    // Edit, opened by a double click: the texts come from the list; the date stays.
    selectRow(list, 0);
    emit list->rowDoubleClicked(0);
    editor = t.windows.last<NoteEditor>();
    QVERIFY(editor);
    QCOMPARE(box(editor, "txtNoteTitle")->text(), title);
    QCOMPARE(noteText(editor), note);
    type(editor, title + QStringLiteral(" (it's edited)"), QStringLiteral("new ") + note);
    click(editor, "Command1");
    QTRY_VERIFY(!editor);
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(list->text(0, 2), title + QStringLiteral(" (it's edited)"));
    const QVariantList edited = storedNote(*t.db, kind, noteId);
    QCOMPARE(edited.value(1).toString(), QStringLiteral("new ") + note);
    QCOMPARE(edited.value(2), added.value(2));
    QCOMPARE(noteCount(*t.db, kind), 1);

    // View: nothing can be saved; Cancel closes.
    selectRow(list, 0);
    menuItem(tab, "mnuViewNote")->trigger();
    editor = t.windows.last<NoteEditor>();
    QVERIFY(editor);
    QCOMPARE(box(editor, "txtNoteTitle")->text(), title + QStringLiteral(" (it's edited)"));
    QVERIFY(!button(editor, "Command1")->isEnabled());
    QVERIFY(box(editor, "txtNoteTitle")->isEnabled());
    box(editor, "txtNoteTitle")->setText("changed in view");
    click(editor, "Command2");
    QTRY_VERIFY(!editor);
    QCOMPARE(storedNote(*t.db, kind, noteId), edited);

    // Delete: asked first; No keeps it.
    selectRow(list, 0);
    t.dialogs.answer(Dialogs::Answer::No);
    menuItem(tab, "mnuDeleteNote")->trigger();
    QCOMPARE(t.dialogs.messages.last().text,
             QStringLiteral("You are about to delete the selected note\nDo you want to continue"));
    QCOMPARE(t.dialogs.messages.last().icon, Dialogs::Icon::None);
    QCOMPARE(t.dialogs.messages.last().title, QStringLiteral("Kavrel"));
    QCOMPARE(list->rowCount(), 1);
    t.dialogs.answer(Dialogs::Answer::Yes);
    menuItem(tab, "mnuDeleteNote")->trigger();
    QCOMPARE(list->rowCount(), 0);
    QCOMPARE(noteCount(*t.db, kind), 0);
    QCOMPARE(t.dialogs.messages.size(), 2);
    QVERIFY(t.dialogs.allAnswersUsed());
}

void tst_Notes::emptyTitleOrTextSavesNothing_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("note");
    QTest::newRow("no title") << ""
                              << "text";
    QTest::newRow("no text") << "title"
                             << "";
}

void tst_Notes::emptyTitleOrTextSavesNothing() {
    QFETCH(QString, title);
    QFETCH(QString, note);
    TestContext t;
    Owners owners(*t.db);
    NotesTab* tab = notesOf(openOwner(t, RecordOwner::Equipment));
    click(tab, "CmdAddNote");
    QPointer<NoteEditor> editor = t.windows.last<NoteEditor>();
    type(editor, title, note);
    click(editor, "Command1");
    QTest::qWait(10);
    QVERIFY(editor && editor->isVisible());
    QCOMPARE(noteCount(*t.db, RecordOwner::Equipment), 0);
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_Notes::placeholderShowsAsBlankAndIsWrittenAsOne() {
    TestContext t;
    Owners owners(*t.db);
    Query(*t.db, "INSERT INTO LocationNoteInformation (LocationtId, NoteTitle, Note, NoteDate) "
                 "VALUES (?, 'a&nbsp;b', 'c&nbsp;d', '2024-02-29')")
        .exec({kOwnerId});
    NotesTab* tab = notesOf(openOwner(t, RecordOwner::Location));
    ReportList* list = tab->list();
    QCOMPARE(list->cells(0).mid(1), (QStringList{DateText::toShort(QDate(2024, 2, 29)), "a b", "c d"}));
    selectRow(list, 0);
    menuItem(tab, "mnuEditNote")->trigger();
    auto* editor = t.windows.last<NoteEditor>();
    QCOMPARE(box(editor, "txtNoteTitle")->text(), QStringLiteral("a b"));
    click(editor, "Command1");
    const QVariantList stored = storedNote(*t.db, RecordOwner::Location, list->rowTag(0).toLongLong());
    QCOMPARE(stored.value(0).toString(), QStringLiteral("a b"));
    QCOMPARE(stored.value(1).toString(), QStringLiteral("c d"));
    QCOMPARE(stored.value(2).toString(), QStringLiteral("2024-02-29"));
}

void tst_Notes::notesStayWithTheirOwnerAndKind() {
    TestContext t;
    Owners owners(*t.db);
    addLocationWithId(*t.db, 70001, QStringLiteral("Elsewhere"));
    Query(*t.db, "INSERT INTO LocationNoteInformation (LocationtId, NoteTitle, Note) VALUES (?, 'loc', 'x')")
        .exec({kOwnerId});
    Query(*t.db, "INSERT INTO EquipmentNoteInformation (EquipmentId, NoteTitle, Note) VALUES (?, 'unit', 'y')")
        .exec({kOwnerId});
    QWidget* location = openOwner(t, RecordOwner::Location);
    QWidget* unit = openOwner(t, RecordOwner::Equipment);
    QCOMPARE(notesOf(location)->list()->rowCount(), 1);
    QCOMPARE(notesOf(location)->list()->text(0, 2), QStringLiteral("loc"));
    QCOMPARE(notesOf(unit)->list()->rowCount(), 1);
    QCOMPARE(notesOf(unit)->list()->text(0, 2), QStringLiteral("unit"));
    QCOMPARE(notesOf(openOwner(t, RecordOwner::Location, 70001))->list()->rowCount(), 0);

    // A note added in another window shows after "Refresh Note Listing".
    Query(*t.db, "INSERT INTO EquipmentNoteInformation (EquipmentId, NoteTitle, Note) VALUES (?, 'later', 'z')")
        .exec({kOwnerId});
    QCOMPARE(notesOf(unit)->list()->rowCount(), 1);
    click(notesOf(unit), "CmdRefreshNote");
    QCOMPARE(notesOf(unit)->list()->rowCount(), 2);
    QCOMPARE(notesOf(unit)->list()->text(1, 2), QStringLiteral("later")); // oldest first
}

void tst_Notes::rightClickMenuOnlyOverNotes() {
    TestContext t;
    Owners owners(*t.db);
    QWidget* window = openOwner(t, RecordOwner::Location);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    NotesTab* tab = notesOf(window);
    window->findChild<QTabWidget*>("SSTab1")->setCurrentWidget(tab);
    ReportList* list = tab->list();
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(!tab->menu()->isVisible());
    // The menu items need a selected note; without one they do nothing.
    menuItem(tab, "mnuEditNote")->trigger();
    menuItem(tab, "mnuDeleteNote")->trigger();
    QVERIFY(!t.windows.last<NoteEditor>());
    QVERIFY(t.dialogs.messages.isEmpty());

    Query(*t.db, "INSERT INTO LocationNoteInformation (LocationtId, NoteTitle, Note) VALUES (?, 't', 'n')")
        .exec({kOwnerId});
    click(tab, "CmdRefreshNote");
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    QTRY_VERIFY(tab->menu()->isVisible());
    QCOMPARE(list->selectedRows(), QList<int>{0});
    tab->menu()->hide();
}

void tst_Notes::saveAfterTheOpenerClosed() {
    TestContext t;
    Owners owners(*t.db);
    QPointer<QWidget> window = openOwner(t, RecordOwner::Equipment);
    click(notesOf(window), "CmdAddNote");
    QPointer<NoteEditor> editor = t.windows.last<NoteEditor>();
    window->close();
    QTRY_VERIFY(!window);
    type(editor, "title", "text");
    click(editor, "Command1");
    QTRY_VERIFY(!editor);
    QCOMPARE(noteCount(*t.db, RecordOwner::Equipment), 1);
    QVERIFY(t.dialogs.messages.isEmpty());
}

void tst_Notes::noteDeletedMeanwhileKeepsTheEditorOpen() {
    TestContext t;
    Owners owners(*t.db);
    Query(*t.db, "INSERT INTO LocationNoteInformation (LocationtId, NoteTitle, Note) VALUES (?, 't', 'n')")
        .exec({kOwnerId});
    NotesTab* tab = notesOf(openOwner(t, RecordOwner::Location));
    selectRow(tab->list(), 0);
    menuItem(tab, "mnuEditNote")->trigger();
    QPointer<NoteEditor> editor = t.windows.last<NoteEditor>();
    Query(*t.db, "DELETE FROM LocationNoteInformation").exec();
    type(editor, "typed title", "typed text");
    click(editor, "Command1");
    QCOMPARE(t.dialogs.texts(), QStringList{"This note no longer exists; it may have been deleted"});
    QVERIFY(editor && editor->isVisible());
    QCOMPARE(noteText(editor), QStringLiteral("typed text"));
    QCOMPARE(noteCount(*t.db, RecordOwner::Location), 0);
}

QTEST_MAIN(tst_Notes)
#include "tst_notes.moc"
