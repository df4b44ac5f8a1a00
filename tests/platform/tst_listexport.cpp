#include "equipment/ui/frmActiveEquipment.h"
#include "locations/ui/frmActiveLocations.h"
#include "platform/ListExport.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "shell/MDIKavrel.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

// Reads CSV as RFC 4180 has it (and as a spreadsheet does), after the byte-order mark the file must begin with.
QList<QStringList> readCsv(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return {{QStringLiteral("no byte-order mark")}};
    const QString text = QString::fromUtf8(bytes.mid(3));
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << cell;
            cell.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            row << cell;
            rows << row;
            row.clear();
            cell.clear();
            ++i;
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty())
        rows << (QStringList(row) << cell << QStringLiteral("(no line end)"));
    return rows;
}

} // namespace

class tst_ListExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cellsComeBackAsShown_data();
    void cellsComeBackAsShown();
    void shownColumnsAndRowsInTheOrderShown();
    void everyOpenedListOffersTheEntry();
    void cancelledOrFailedExportLeavesNoFile();
    void printMenuCarriesTheEntry();
    void proposedName_data();
    void proposedName();
    void proposedFolderThenSaidPath();
    void insideTheMainWindowTheChildNamesTheFile();
};

void tst_ListExport::initTestCase() {
    // The documents folder proposed is a test one, not the user's.
    QStandardPaths::setTestModeEnabled(true);
}

void tst_ListExport::cellsComeBackAsShown_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("commas") << "Austin, TX, USA"
                            << "Austin, TX, USA";
    QTest::newRow("quotes") << "\"Big\" 19\" screen"
                            << "\"Big\" 19\" screen";
    QTest::newRow("line breaks") << "line one\nline two\r\nline three"
                                 << "line one\nline two\r\nline three";
    QTest::newRow("non-ASCII") << "Ærøskøbing – Zürich 東京 😀"
                               << "Ærøskøbing – Zürich 東京 😀";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("formula") << "=HYPERLINK(\"http://x\",\"y\")"
                             << "'=HYPERLINK(\"http://x\",\"y\")";
    QTest::newRow("at sign") << "@cmd"
                             << "'@cmd";
    QTest::newRow("minus") << "-1+1"
                           << "'-1+1";
}

void tst_ListExport::cellsComeBackAsShown() {
    QFETCH(QString, cell);
    QFETCH(QString, readBack);
    QTemporaryDir dir;
    ReportList list;
    list.addColumn("Name, full");
    list.addColumn("Note");
    list.addColumn("Count");
    list.addRow({"first", cell, "1"});
    list.addRow({cell, "", "2"});
    const QString path = dir.filePath("list.csv");
    QCOMPARE(writeListCsv(list, path), QString());
    QCOMPARE(readCsv(path),
             (QList<QStringList>{{"Name, full", "Note", "Count"}, {"first", readBack, "1"}, {readBack, "", "2"}}));
}

void tst_ListExport::shownColumnsAndRowsInTheOrderShown() {
    QTemporaryDir dir;
    ReportList list;
    list.addColumn("Name");
    list.addColumn("City");
    list.addColumn("Count");
    list.addRow({"Alpha", "Austin", "3"});
    list.addRow({"Beta", "Boston", "0"});
    list.addRow({"Gamma", "Chicago", "12"});
    list.header()->moveSection(2, 0); // Count, Name, City
    list.setColumnHidden(1, true);    // City
    list.verticalHeader()->moveSection(2, 0);
    list.setRowHidden(1, true);
    const QString path = dir.filePath("list.csv");
    QCOMPARE(writeListCsv(list, path), QString());
    QCOMPARE(readCsv(path), (QList<QStringList>{{"Count", "Name"}, {"12", "Gamma"}, {"3", "Alpha"}}));

    // A list without rows still gives its header.
    list.clearRows();
    QCOMPARE(writeListCsv(list, path), QString());
    QCOMPARE(readCsv(path), (QList<QStringList>{{"Count", "Name"}}));
}

void tst_ListExport::everyOpenedListOffersTheEntry() {
    TestContext t;
    Fixtures::addLocation(*t.db, "Depot, North", 2, "=cmd|' /C calc'!A0");
    auto* window = openWindow<frmActiveLocations>(t.ctx, nullptr);
    QVERIFY(window);
    auto* list = window->findChild<ReportList*>();
    QVERIFY(list);
    QAction* entry = list->findChild<QAction*>("mnuExportCsv");
    QVERIFY(entry);
    QCOMPARE(entry, list->exportAction());
    QVERIFY(entry->isVisible());
    QCOMPARE(entry->text(), QStringLiteral("Export to CSV..."));

    QTemporaryDir dir;
    const QString path = dir.filePath("locations.csv");
    t.dialogs.chooseFile(path);
    entry->trigger();
    QVERIFY(t.dialogs.allAnswersUsed());
    QCOMPARE(t.dialogs.fileQuestions.size(), 1);
    QCOMPARE(t.dialogs.fileQuestions.first().title, QStringLiteral("Export to CSV"));
    QVERIFY2(t.dialogs.fileQuestions.first().offered.endsWith("/Active Location(s) 2026-03-14.csv"),
             qPrintable(t.dialogs.fileQuestions.first().offered));
    QVERIFY(t.dialogs.messages.isEmpty());

    QStringList header;
    for (int col = 0; col < list->columnCount(); ++col)
        header << list->columnHeader(col);
    QList<QStringList> expected{header};
    for (int row = 0; row < list->rowCount(); ++row) {
        QStringList cells;
        for (const QString& cell : list->cells(row))
            cells << (cell.startsWith('=') ? "'" + cell : cell);
        expected << cells;
    }
    QCOMPARE(list->rowCount(), 1);
    QVERIFY(expected.at(1).contains("Depot, North"));
    QVERIFY(expected.at(1).contains("'=cmd|' /C calc'!A0"));
    QCOMPARE(readCsv(path), expected);

    // The menu key (or a right click) shows the entry in the list's own menu.
    const QPoint at(5, 5);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, at, list->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(list->viewport(), &menuKey);
    auto* menu = list->findChild<QMenu*>();
    QVERIFY(menu);
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->actions(), QList<QAction*>{entry});
    menu->hide();

    // A list built outside a window opening has no dialogs to ask with, so no entry.
    ReportList bare;
    QVERIFY(!bare.exportAction()->isVisible());
}

void tst_ListExport::cancelledOrFailedExportLeavesNoFile() {
    TestContext t;
    QTemporaryDir dir;
    ReportList list;
    list.addColumn("Name");
    list.addRow({"Alpha"});
    list.setExportContext(&t.ctx);

    t.dialogs.chooseFile(QString());
    list.exportAction()->trigger();
    QVERIFY(t.dialogs.messages.isEmpty());

    // A folder that is not there: the failure is told, nothing is left behind.
    const QString path = dir.filePath("missing/list.csv");
    t.dialogs.chooseFile(path);
    list.exportAction()->trigger();
    QCOMPARE(t.dialogs.messages.size(), 1);
    QVERIFY(t.dialogs.messages.first().text.startsWith("The list could not be saved as "));
    QCOMPARE(t.dialogs.messages.first().icon, Dialogs::Icon::Critical);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(t.windows.statuses, QStringList()); // nothing claimed as saved

    // Replacing a file leaves no temporary file beside it.
    const QString existing = dir.filePath("old.csv");
    QFile old(existing);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QCOMPARE(writeListCsv(list, existing), QString());
    QCOMPARE(readCsv(existing), (QList<QStringList>{{"Name"}, {"Alpha"}}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.csv"});
}

void tst_ListExport::printMenuCarriesTheEntry() {
    TestContext t;
    const qint64 depot = Fixtures::addLocation(*t.db, "Depot");
    Fixtures::addEquipment(*t.db, depot, "+SN-1,\"7\"");
    auto* window = openWindow<frmActiveEquipment>(t.ctx, nullptr);
    QVERIFY(window);
    QAction* entry = nullptr;
    for (QAction* action : window->toolbar()->actions())
        if (action->menu())
            for (QAction* inMenu : action->menu()->actions())
                if (inMenu->objectName() == QLatin1String("mnuExportCsv"))
                    entry = inMenu;
    QVERIFY(entry);
    QCOMPARE(entry, window->list()->exportAction());
    QVERIFY(entry->isVisible());

    QTemporaryDir dir;
    t.dialogs.chooseFile(dir.filePath("units.csv"));
    entry->trigger();
    const QList<QStringList> rows = readCsv(dir.filePath("units.csv"));
    QCOMPARE(rows.size(), 2);
    QVERIFY2(rows.at(1).contains("'+SN-1,\"7\""), qPrintable(rows.at(1).join('|')));
    QVERIFY2(t.dialogs.fileQuestions.first().offered.endsWith("/Manage Equipment 2026-03-14.csv"),
             qPrintable(t.dialogs.fileQuestions.first().offered));
}

void tst_ListExport::proposedName_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::newRow("product title dropped") << "Kavrel Manage Equipment"
                                           << "Manage Equipment 2026-12-10.csv";
    QTest::newRow("unfit characters") << "Kavrel Reassign: A/B \\ \"C\" <D>|E?*"
                                      << "Reassign A B C D E 2026-12-10.csv";
    QTest::newRow("line break and tab") << "Notes\nfor\tDepot"
                                        << "Notes for Depot 2026-12-10.csv";
    QTest::newRow("no caption") << ""
                                << "List 2026-12-10.csv";
    QTest::newRow("caption of unfit characters only") << "Kavrel ::"
                                                      << "List 2026-12-10.csv";
}

void tst_ListExport::proposedName() {
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QCOMPARE(suggestedCsvName(caption, QDate(2026, 12, 10)), name);
}

void tst_ListExport::proposedFolderThenSaidPath() {
    TestContext t;
    t.clock.current = QDateTime(QDate(2026, 12, 10), QTime(16, 5));
    auto* window = openWindow<frmActiveEquipment>(t.ctx, nullptr);
    QVERIFY(window);
    QAction* entry = window->list()->exportAction();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString name = "Manage Equipment 2026-12-10.csv";

    // First the documents folder; a cancelled dialog remembers nothing.
    t.dialogs.chooseFile(QString());
    entry->trigger();
    QCOMPARE(t.dialogs.fileQuestions.last().offered, QDir(documents).filePath(name));

    QTemporaryDir dir;
    const QString folder = dir.filePath("exports");
    QVERIFY(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath("units.csv");
    t.dialogs.chooseFile(path);
    entry->trigger();
    QVERIFY(QFile::exists(path));
    QCOMPARE(t.windows.statuses, QStringList{"The list was saved as " + QDir::toNativeSeparators(path) + "."});

    // Then the folder last written to, also in a window opened later.
    auto* another = openWindow<frmActiveLocations>(t.ctx, nullptr);
    QVERIFY(another);
    t.dialogs.chooseFile(QString());
    another->findChild<ReportList*>()->exportAction()->trigger();
    QCOMPARE(t.dialogs.fileQuestions.last().offered, QDir(folder).filePath("Active Location(s) 2026-12-10.csv"));

    // A remembered folder removed since: the documents again.
    QVERIFY(QDir(folder).removeRecursively());
    t.dialogs.chooseFile(QString());
    entry->trigger();
    QCOMPARE(t.dialogs.fileQuestions.last().offered, QDir(documents).filePath(name));
    QVERIFY(t.dialogs.messages.isEmpty());
}

// In the main window's frame the list's top-level window is the main window; the name comes from the child.
void tst_ListExport::insideTheMainWindowTheChildNamesTheFile() {
    TestContext t;
    MDIKavrel main(t.ctx);
    main.show();
    auto* window = openWindow<frmActiveEquipment>(t.ctx, nullptr);
    QVERIFY(window);
    QCOMPARE(main.openWindows(), QList<QWidget*>{window});
    QTemporaryDir dir;
    const QString path = dir.filePath("units.csv");
    t.dialogs.chooseFile(path);
    window->list()->exportAction()->trigger();
    QVERIFY2(t.dialogs.fileQuestions.first().offered.endsWith("/Manage Equipment 2026-03-14.csv"),
             qPrintable(t.dialogs.fileQuestions.first().offered));
    QCOMPARE(main.statusBar()->currentMessage(), "The list was saved as " + QDir::toNativeSeparators(path) + ".");
}

QTEST_MAIN(tst_ListExport)
#include "tst_listexport.moc"
