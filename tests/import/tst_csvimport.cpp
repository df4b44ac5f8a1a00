#include "data/Database.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "import/store/CsvImportStore.h"
#include "import/ui/ImportEquipmentWindow.h"
#include "platform/ListExport.h"
#include "platform/OpenWindow.h"
#include "platform/ReportList.h"
#include "support/EngineFixtures.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <algorithm>

using namespace Fixtures;

namespace {
QString writeFile(const QString& dir, const QByteArray& bytes) {
    const QString path = dir + QStringLiteral("/equipment.csv");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Every holding row, every column, as "SerialNumber|...": equal before and after an import that must write nothing.
QStringList holdingRows(Database& db) {
    QStringList rows;
    HoldingStore store(db);
    for (const ListRow& row : store.rows()) {
        const std::optional<UnitRecord> r = store.row(row.tag.toLongLong());
        QStringList cells;
        for (const std::optional<QString>& v :
             {(*r)[UnitField::SerialNumber], (*r)[UnitField::AssetTagNumber], (*r)[UnitField::EquipmentType],
              (*r)[UnitField::Manufacturer], (*r)[UnitField::DatePurchased], (*r)[UnitField::PurchasePrice],
              (*r)[UnitField::ModelNumber], (*r)[UnitField::CpuSpeed], (*r)[UnitField::Memory],
              (*r)[UnitField::HardDriveCapacity], (*r)[UnitField::Monitor], (*r)[UnitField::Mouse],
              (*r)[UnitField::Keyboard], (*r)[UnitField::OperatingSystem],
              r->currentLocation ? std::optional(QString::number(*r->currentLocation)) : std::nullopt, r->locationName})
            cells << v.value_or(QStringLiteral("<null>"));
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// The Manage Equipment list's rows without their ids, in serial number order.
QList<QStringList> activeListRows(TestContext& t) {
    auto* window = openWindow<frmActiveEquipment>(t.ctx, nullptr);
    QList<QStringList> rows;
    for (int r = 0; r < window->list()->rowCount(); ++r)
        rows << window->list()->cells(r).mid(1);
    std::sort(rows.begin(), rows.end(), [](const QStringList& a, const QStringList& b) { return a.at(3) < b.at(3); });
    window->close();
    return rows;
}

int import(TestContext& t, const QByteArray& bytes, ImportOptions options = {}) {
    const ImportFile file = CsvImportStore::parse(bytes);
    options.today = t.clock.today();
    return CsvImportStore(*t.db).import(file, options);
}
} // namespace

class tst_CsvImport : public QObject {
    Q_OBJECT
private slots:
    void headerNames_data();
    void headerNames();
    void refusesFilesItCannotMap_data();
    void refusesFilesItCannotMap();
    void readsQuotedSemicolonFileWithMark();
    void badRowWritesNothing_data();
    void badRowWritesNothing();
    void failedWriteUndoesTheWholeImport();
    void nulCharactersAreLeftOutBeforeTheChecks();
    void locationChosenOnceAndTypesCreated();
    void exportedListComesBackThroughTheCommit();
    void windowPreviewsAndImports();
    void windowNamesTheBadRow();
};

void tst_CsvImport::headerNames_data() {
    QTest::addColumn<QString>("header");
    QTest::addColumn<ImportTarget>("target");
    QTest::newRow("Serial") << "Serial" << ImportTarget(UnitField::SerialNumber);
    QTest::newRow("Serial No") << "Serial No" << ImportTarget(UnitField::SerialNumber);
    QTest::newRow("SERIAL #") << "SERIAL #" << ImportTarget(UnitField::SerialNumber);
    QTest::newRow("serial_number") << "serial_number" << ImportTarget(UnitField::SerialNumber);
    QTest::newRow("Asset Tag") << "Asset Tag" << ImportTarget(UnitField::AssetTagNumber);
    QTest::newRow("Asset #") << "Asset #" << ImportTarget(UnitField::AssetTagNumber);
    QTest::newRow("Description") << "Description" << ImportTarget(UnitField::EquipmentType);
    QTest::newRow("Model #") << "Model #" << ImportTarget(UnitField::ModelNumber);
    QTest::newRow("Maker") << "Maker" << ImportTarget(UnitField::Manufacturer);
    QTest::newRow("Current Location") << "Current Location" << ImportTarget::Location;
    QTest::newRow("Date Purchased") << "Date Purchased" << ImportTarget(UnitField::DatePurchased);
    QTest::newRow("Cpu-Speed") << "Cpu-Speed" << ImportTarget(UnitField::CpuSpeed);
    QTest::newRow("padded") << "  Memory " << ImportTarget(UnitField::Memory);
    QTest::newRow("ID") << "ID" << ImportTarget::None;
    QTest::newRow("Serial Notes") << "Serial Notes" << ImportTarget::None;
}

void tst_CsvImport::headerNames() {
    QFETCH(QString, header);
    QFETCH(ImportTarget, target);
    QCOMPARE(CsvImportStore::targetOf(header), target);
}

void tst_CsvImport::refusesFilesItCannotMap_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray("") << "The file has no header row naming its columns.";
    QTest::newRow("no serial column") << QByteArray("Model,Location\nX,Depot\n")
                                      << "The header has no serial number column.";
    QTest::newRow("serial twice") << QByteArray("Serial,Serial No\nA,B\n")
                                  << "Two columns of the header are the Serial Number: \"Serial\" and \"Serial No\".";
}

void tst_CsvImport::refusesFilesItCannotMap() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    try {
        CsvImportStore::parse(bytes);
        QFAIL("parsed");
    } catch (const DataError& e) {
        QCOMPARE(e.text(), message);
    }
}

void tst_CsvImport::readsQuotedSemicolonFileWithMark() {
    TestContext t;
    const qint64 depot = addLocation(*t.db, "Depot; North, 2");
    EquipmentTypeStore(*t.db).add("Laptop");
    const QByteArray bytes = "\xEF\xBB\xBF"
                             "Serial No;Description;Location;Model;Price;Date Purchased;Notes\r\n"
                             "\"A;1\";laptop;\"depot; north, 2\";\"19\"\" \"\"wide\"\"\";1,50;2024-02-29;x\r\n"
                             "\r\n"
                             "B2;;Depot; North, 2\n"; // a short row: refused below once, so the file is fixed here
    QVERIFY_THROWS_EXCEPTION(ImportRowError, import(t, bytes));
    QCOMPARE(HoldingStore(*t.db).count(), 0);

    const QByteArray fixed = "\xEF\xBB\xBF"
                             "Serial No;Description;Location;Model;Price;Date Purchased;Notes\r\n"
                             "\"A;1\";laptop;\"depot; north, 2\";\"19\"\" \"\"wide\"\"\";1,50;2024-02-29;x\r\n"
                             "\r\n"
                             "\"B\r\n2\";;\"Depot; North, 2\";'-7;;;\n";
    QCOMPARE(import(t, fixed), 2);
    const QString at = QString::number(depot);
    QCOMPARE(holdingRows(*t.db),
             (QStringList{"A;1||Laptop||2024-02-29|1,50|19\" \"wide\"||||||||" + at + "|Depot; North, 2",
                          "B\r\n2||||<null>||-7||||||||" + at + "|Depot; North, 2"}));
}

void tst_CsvImport::badRowWritesNothing_data() {
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<int>("rowNumber");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("reason");
    // Rows 2 and 3 are good, the bad row is row 4 (after a quoted line break), row 5 is good again.
    QTest::newRow("date") << QByteArray("S4,Laptop,Depot,31/31/2024") << 4 << "Purchased"
                          << "\"31/31/2024\" is not a date.";
    QTest::newRow("location") << QByteArray("S4,Laptop,Nowhere,") << 4 << "Site"
                              << "\"Nowhere\" is no active location.";
    QTest::newRow("retired location") << QByteArray("S4,Laptop,Old Depot,") << 4 << "Site"
                                      << "\"Old Depot\" is no active location.";
    QTest::newRow("no location") << QByteArray("S4,Laptop, ,") << 4 << "Site"
                                 << "no location is given.";
    QTest::newRow("serial") << QByteArray("  ,Laptop,Depot,") << 4 << "Serial #"
                            << "the serial number is empty.";
    QTest::newRow("type") << QByteArray("S4,Tablet,Depot,") << 4 << "Type"
                          << "\"Tablet\" is not a known equipment type.";
    // A value of a megabyte is quoted by its first characters only.
    QTest::newRow("huge location") << "S4,Laptop," + QByteArray(1 << 20, 'x') + "," << 4 << "Site"
                                   << "\"" + QString(79, 'x') + QChar(0x2026) + "\" is no active location.";
    QTest::newRow("too few fields") << QByteArray("S4,Laptop") << 4 << ""
                                    << "it has 2 fields where the header has 4.";
    QTest::newRow("too many fields") << QByteArray("S4,Laptop,Depot,,x") << 4 << ""
                                     << "it has 5 fields where the header has 4.";
}

void tst_CsvImport::badRowWritesNothing() {
    QFETCH(QByteArray, row);
    QFETCH(int, rowNumber);
    QFETCH(QString, column);
    QFETCH(QString, reason);
    TestContext t;
    addLocation(*t.db, "Depot");
    const qint64 old = addLocation(*t.db, "Old Depot");
    Query(*t.db, "UPDATE LocationInfo SET LocActive = 0 WHERE LocId = ?").exec({old});
    EquipmentTypeStore(*t.db).add("Laptop");
    import(t, "Serial,Site\nEARLIER,Depot\n");
    const QStringList before = holdingRows(*t.db);

    const QByteArray bytes = "Serial #,Type,Site,Purchased\n"
                             "S2,Laptop,Depot,2024-01-02\n"
                             "\"S\n3\",Laptop,Depot,\n" +
                             row + "\nS5,Laptop,Depot,\n";
    ImportOptions options;
    options.createTypes = {"Desktop"}; // agreed, but the import fails: it must not be created either
    try {
        import(t, bytes, options);
        QFAIL("imported");
    } catch (const ImportRowError& e) {
        QCOMPARE(e.row(), rowNumber);
        QCOMPARE(e.column(), column);
        QCOMPARE(e.reason(), reason);
    }
    QCOMPARE(holdingRows(*t.db), before);
    QCOMPARE(EquipmentTypeStore(*t.db).names(), QStringList{"Laptop"});
}

void tst_CsvImport::failedWriteUndoesTheWholeImport() {
    TestContext t;
    addLocation(*t.db, "Depot");
    import(t, "Serial,Site\nEARLIER,Depot\n");
    const QStringList before = holdingRows(*t.db);
    // The third row's write fails after the new type and two rows were written.
    EngineFixtures::refuseHoldingInserts(*t.db, "disk full", "NEW.SerialNumber = 'S3'");
    ImportOptions options;
    options.createTypes = {"Kiosk"};
    QVERIFY_THROWS_EXCEPTION(DataError, import(t, "Serial,Site,Type\nS1,Depot,Kiosk\nS2,Depot,\nS3,Depot,\n", options));
    QCOMPARE(holdingRows(*t.db), before);
    QCOMPARE(EquipmentTypeStore(*t.db).names(), QStringList());
}

// The cells are checked as they will be stored: without NUL characters, which a server's text cannot hold.
void tst_CsvImport::nulCharactersAreLeftOutBeforeTheChecks() {
    TestContext t;
    const qint64 depot = addLocation(*t.db, "Depot");
    EquipmentTypeStore(*t.db).add("Laptop");
    QCOMPARE(import(t, QByteArray("Serial,Site,Type,Model\nA\0B,De\0pot,Lap\0top,X\0\0Y\n", 47)), 1);
    QCOMPARE(holdingRows(*t.db), QStringList{"AB||Laptop||||XY||||||||" + QString::number(depot) + "|Depot"});
}

void tst_CsvImport::locationChosenOnceAndTypesCreated() {
    TestContext t;
    addLocation(*t.db, "Annex");
    const qint64 depot = addLocation(*t.db, "Depot");
    EquipmentTypeStore(*t.db).add("Laptop");
    const QByteArray bytes = "Serial,Equipment Type\nA1,LAPTOP\nA2,Docking Station\nA3,docking station\nA4,\n";
    const ImportFile file = CsvImportStore::parse(bytes);
    QCOMPARE(CsvImportStore(*t.db).unknownTypes(file), QStringList{"Docking Station"});

    ImportOptions options;
    options.today = t.clock.today();
    QVERIFY_THROWS_EXCEPTION(DataError, CsvImportStore(*t.db).import(file, options)); // no location chosen
    options.locationId = depot;
    options.createTypes = CsvImportStore(*t.db).unknownTypes(file);
    QCOMPARE(CsvImportStore(*t.db).import(file, options), 4);
    QCOMPARE(EquipmentTypeStore(*t.db).names(), (QStringList{"Docking Station", "Laptop"}));
    QStringList types;
    for (const ListRow& row : HoldingStore(*t.db).rows())
        types << row.cells.at(0) + "@" + row.cells.at(4);
    // Types take their stored spelling; every row goes to the chosen location.
    QCOMPARE(types, (QStringList{"Laptop@Depot", "Docking Station@Depot", "Docking Station@Depot", "@Depot"}));
}

void tst_CsvImport::exportedListComesBackThroughTheCommit() {
    TestContext t;
    const qint64 obrien = addLocation(*t.db, "O'Brien's, Inc.");
    const qint64 depot = addLocation(*t.db, "Depot");
    HoldingStore holding(*t.db);
    const auto enter = [&](const QString& serial, qint64 loc, const QString& locName, const QString& type,
                           const QString& maker, const QString& model, const QString& tag, const QString& price,
                           const QDate& date) {
        UnitValues e;
        e[UnitField::SerialNumber] = serial;
        e.currentLocation = loc;
        e.locationName = locName;
        e[UnitField::EquipmentType] = type;
        e[UnitField::Manufacturer] = maker;
        e[UnitField::ModelNumber] = model;
        e[UnitField::AssetTagNumber] = tag;
        e[UnitField::PurchasePrice] = price;
        e.setDatePurchased(date);
        holding.insert(e);
    };
    enter("SN,1", obrien, "O'Brien's, Inc.", "Laptop", "Dell", "XPS \"13\"", "-42", "1,299.00", QDate(2024, 2, 29));
    enter("SN2", depot, "Depot", "Server Rack", "Line\r\nbreak", "=SUM(A1)", "T-2", "", QDate(1999, 12, 31));
    enter("Zürich-3", depot, "Depot", "Laptop", "Lenovo", "T14", "", "10", QDate(2025, 1, 1));
    QCOMPARE(holding.commitToInventory().committed, 3);
    const QList<QStringList> exported = activeListRows(t);
    QCOMPARE(exported.size(), 3);

    auto* list = openWindow<frmActiveEquipment>(t.ctx, nullptr);
    const QString path = t.dataDir() + "/export.csv";
    QCOMPARE(writeListCsv(*list->list(), path), QString());
    list->close();
    const QByteArray bytes = readFile(path);

    // Into other data with the same locations: the types are created, the commit brings every unit in.
    TestContext u;
    addLocation(*u.db, "Depot");
    addLocation(*u.db, "O'Brien's, Inc.");
    ImportOptions options;
    options.createTypes = CsvImportStore(*u.db).unknownTypes(CsvImportStore::parse(bytes));
    QStringList created = options.createTypes;
    created.sort();
    QCOMPARE(created, (QStringList{"Laptop", "Server Rack"}));
    QCOMPARE(import(u, bytes, options), 3);
    QCOMPARE(HoldingStore(*u.db).commitToInventory().committed, 3);
    QCOMPARE(activeListRows(u), exported);

    // Back into the first data, whose inventory has every serial number already: each is parked.
    options.createTypes = CsvImportStore(*t.db).unknownTypes(CsvImportStore::parse(bytes));
    QCOMPARE(import(t, bytes, options), 3);
    const CommitResult again = HoldingStore(*t.db).commitToInventory();
    QCOMPARE(again.committed, 0);
    QCOMPARE(again.parked, 3);
    QCOMPARE(activeListRows(t), exported);
}

void tst_CsvImport::windowPreviewsAndImports() {
    TestContext t;
    addLocation(*t.db, "Annex");
    const qint64 depot = addLocation(*t.db, "Depot");
    auto* entry = openWindow<frmCreateEquipment>(t.ctx, nullptr);
    QVERIFY(entry);
    QTest::mouseClick(entry->findChild<QPushButton*>("cmdImportCsv"), Qt::LeftButton);
    auto* window = t.windows.last<ImportEquipmentWindow>();
    QVERIFY(window);

    QByteArray bytes = "ID,Serial No,Type\n";
    for (int i = 1; i <= 25; ++i)
        bytes += QByteArray::number(i) + ",S" + QByteArray::number(i) + ",Kiosk\n";
    t.dialogs.chooseFile(writeFile(t.dataDir(), bytes));
    QTest::mouseClick(window->findChild<QPushButton*>("cmdChooseFile"), Qt::LeftButton);

    QTableWidget* preview = window->preview();
    QCOMPARE(preview->columnCount(), 3);
    QCOMPARE(preview->rowCount(), ImportEquipmentWindow::kPreviewRows + 1);
    QCOMPARE(preview->horizontalHeaderItem(1)->text(), QString("Serial No"));
    QCOMPARE(preview->item(0, 0)->text(), QString("(not imported)"));
    QCOMPARE(preview->item(0, 1)->text(), QString("Serial Number"));
    QCOMPARE(preview->item(0, 2)->text(), QString("Description"));
    QCOMPARE(preview->item(1, 1)->text(), QString("S1"));
    QCOMPARE(preview->verticalHeaderItem(1)->text(), QString("2"));
    QVERIFY(window->locationPicker()->isVisible()); // no location column
    QCOMPARE(window->newTypes()->count(), 1);
    QCOMPARE(window->newTypes()->item(0)->text(), QString("Kiosk"));
    QCOMPARE(HoldingStore(*t.db).count(), 0); // nothing written by the preview

    // Declining the new type imports nothing.
    window->locationPicker()->setCurrentIndex(window->locationPicker()->findData(depot));
    t.dialogs.answer(Dialogs::Answer::No);
    QTest::mouseClick(window->findChild<QPushButton*>("cmdImport"), Qt::LeftButton);
    QCOMPARE(HoldingStore(*t.db).count(), 0);
    QVERIFY(window->isVisible());

    t.dialogs.reset();
    t.dialogs.answer(Dialogs::Answer::Yes);
    QPointer<ImportEquipmentWindow> watched = window;
    QTest::mouseClick(window->findChild<QPushButton*>("cmdImport"), Qt::LeftButton);
    QCOMPARE(t.dialogs.texts(), (QStringList{"These equipment types are not known yet:\n\nKiosk\n\nCreate them?",
                                             "25 rows were imported into the holding table."}));
    QCOMPARE(HoldingStore(*t.db).count(), 25);
    QCOMPARE(entry->holdingList()->rowCount(), 25); // the opener shows them at once
    QCOMPARE(entry->holdingList()->text(0, 4), QString("Depot"));
    QTRY_VERIFY(!watched);
}

void tst_CsvImport::windowNamesTheBadRow() {
    TestContext t;
    addLocation(*t.db, "Depot");
    auto* window = openWindow<ImportEquipmentWindow>(t.ctx, nullptr);
    QVERIFY(window);
    t.dialogs.chooseFile(writeFile(t.dataDir(), "Serial;Location\nA;Depot\nB;Elsewhere\nC;Depot\n"));
    window->chooseFile();
    QVERIFY(!window->locationPicker()->isVisible());
    QCOMPARE(window->preview()->item(0, 1)->text(), QString("Location"));
    QTest::mouseClick(window->findChild<QPushButton*>("cmdImport"), Qt::LeftButton);
    QCOMPARE(t.dialogs.texts(),
             QStringList{"Nothing was imported.\n\nRow 3, column \"Location\": \"Elsewhere\" is no active location."});
    QCOMPARE(HoldingStore(*t.db).count(), 0);
    QVERIFY(window->isVisible());

    // A file that cannot be read leaves no file chosen.
    t.dialogs.reset();
    t.dialogs.chooseFile(writeFile(t.dataDir(), "Model\nX\n"));
    window->chooseFile();
    QCOMPARE(t.dialogs.texts(), QStringList{"The header has no serial number column."});
    QCOMPARE(window->preview()->columnCount(), 0);
    t.dialogs.reset();
    QTest::mouseClick(window->findChild<QPushButton*>("cmdImport"), Qt::LeftButton);
    QCOMPARE(t.dialogs.texts(), QStringList{"Choose the file to import first."});
    window->close();
}

QTEST_MAIN(tst_CsvImport)
#include "tst_csvimport.moc"
