#include "data/Database.h"
#include "data/DisplayRules.h"
#include "data/PackedReader.h"
#include "data/Schema.h"
#include "support/EngineFixtures.h"
#include "support/Fixtures.h"
#include "support/OtherConnection.h"
#include "support/TestContext.h"
#include "support/TestServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Fixtures;

namespace {

QStringList numbered(const QString& prefix, const QString& suffix = QString()) {
    QStringList names;
    for (int i = 1; i <= 20; ++i)
        names << prefix + QString::number(i) + suffix;
    return names;
}

QStringList equipmentColumns() {
    return {"AssetTagNumber",
            "EquipmentType",
            "Manufacturer",
            "DatePurchased",
            "PurchasePrice",
            "SerialNumber",
            "ModelNumber",
            "OtherIdentificationNumber",
            "OtherIdentificationType",
            "CPUSpeed",
            "Memory",
            "HarddriveCap",
            "Monitor",
            "Mouse",
            "Keyboard",
            "OperatingSystem",
            "CurrentLocation",
            "EquActive"};
}

// A server keeps the names folded to lower case, so there every name is compared in lower case.
QString asStored(const Database& db, const QString& name) {
    return db.engine() == Engine::SQLite ? name : name.toLower();
}

// The file's schema ("main" or "hold"), or on a server the schema of the same name.
QString serverSchema(const QString& schema) {
    return schema == QLatin1String("main") ? QStringLiteral("public") : schema;
}

QSet<QString> columnsOf(Database& db, const QString& schema, const QString& table) {
    const bool files = db.engine() == Engine::SQLite;
    Query q(db, files ? QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema, table)
                      : QStringLiteral("SELECT ordinal_position, column_name FROM information_schema.columns "
                                       "WHERE table_schema = ? AND table_name = ?"));
    q.exec(files ? QVariantList() : QVariantList{serverSchema(schema), asStored(db, table)});
    QSet<QString> names;
    while (q.next())
        names.insert(q.text(1));
    return names;
}

// The tables the statements name; on a server views count too, as the holding table is one there.
QStringList tablesOf(Database& db, const QString& schema) {
    const bool files = db.engine() == Engine::SQLite;
    Query q(db, files ? QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table' "
                                       "AND name NOT LIKE 'sqlite_%' ORDER BY name")
                            .arg(schema)
                      : QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = ? "
                                       "ORDER BY table_name"));
    q.exec(files ? QVariantList() : QVariantList{serverSchema(schema)});
    QStringList names;
    while (q.next())
        names << q.text(0);
    return names;
}

QStringList storedNames(const Database& db, QStringList names) {
    for (QString& name : names)
        name = asStored(db, name);
    names.sort();
    return names;
}

QString today() {
    return QDate::currentDate().toString(Qt::ISODate);
}

// What a path holds, so a test can tell whether anything touched it.
QByteArray fingerprint(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return "dir:" + QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join('|').toUtf8();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "unreadable";
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex() + ':' +
           QByteArray::number(info.size());
}

QString openFailure(const QString& dir) {
    try {
        Database db(dir);
    } catch (const DataError& e) {
        return e.text();
    }
    return QString();
}

} // namespace

class tst_Database : public QObject {
    Q_OBJECT
    // A fresh installation shared by the tests that only read its schema.
    std::unique_ptr<TestContext> m_fresh;

private slots:
    void initTestCase() { m_fresh = std::make_unique<TestContext>(); }
    void cleanupTestCase() { m_fresh.reset(); }
    void freshDirectoryHasEveryTableInItsFile();
    void tableColumns_data();
    void tableColumns();
    void statesAndAdditionalInformationRows();
    void omittedColumnsTakeTheirDefaults();
    void textComparesAndSortsWithoutCase();
    void indexes_data();
    void indexes();
    void equipmentWithHistoryCanBeDeleted();
    void reopeningKeepsData();
    void awkwardFolderNames_data();
    void awkwardFolderNames();
    void unwritablePlaceIsNamed_data();
    void unwritablePlaceIsNamed();
    void unusableFileIsReportedAndLeftAlone_data();
    void unusableFileIsReportedAndLeftAlone();
    void emptyFileIsReplacedAndTheOtherKept_data();
    void emptyFileIsReplacedAndTheOtherKept();
    void copiesStartingTogetherAllSucceed_data();
    void copiesStartingTogetherAllSucceed();
    void transactionRollsBackOnThrow();
    void nestedTransactionJoinsOuter();
    void failedInnerTransactionLeavesNothingWhenOuterGoesOn();
    void transactionAcrossBothFilesIsAtomic();
    void lockedDataAsksToRetry_data();
    void lockedDataAsksToRetry();
    void serverWritersTakeTurns();
    void nbspRules_data();
    void nbspRules();
    void hostileTextRoundTrips_data();
    void hostileTextRoundTrips();
    void nulCharactersAreLeftOut_data();
    void nulCharactersAreLeftOut();
    void engineFailuresSayPlainWordsFirst();
    void emptyTextStaysEmptyAndNullStaysNull();
    void idsBeyondSixteenBits();
    void quickRowsReadAsQuery();
};

void tst_Database::freshDirectoryHasEveryTableInItsFile() {
    TestContext t;
    QStringList main{"ContactInfo",
                     "EquipLocAssign",
                     "EquipmentAdditionalInformation",
                     "EquipmentAttachments",
                     "EquipmentInfo",
                     "EquipmentNoteInformation",
                     "EquipmentTemplate",
                     "EquipmentType",
                     "LocationAdditionalInformation",
                     "LocationAttachments",
                     "LocationInfo",
                     "LocationNoteInformation",
                     "Sec_Usr",
                     "StateInfo",
                     "Stocktake",
                     "StocktakeScan",
                     "TempEquipmentInfo"};
    QCOMPARE(tablesOf(*t.db, "main"), storedNames(*t.db, main));
    if (t.onServer()) {
        // Every workstation's holding rows in one table, each seeing its own through the view.
        QCOMPARE(tablesOf(*t.db, "hold"), storedNames(*t.db, {"HoldEquipment", Schema::kHoldingRowsTable}));
        QCOMPARE(QDir(t.dataDir()).entryList(QDir::Files), QStringList());
        return;
    }
    QCOMPARE(tablesOf(*t.db, "hold"), QStringList{"HoldEquipment"});
    // An interrupted creation leaves a partial file under another name; a finished one leaves none.
    QCOMPARE(QDir(t.dataDir()).entryList(QDir::Files), (QStringList{"Inventory.mdb", "Kavrel.mdb"}));
}

void tst_Database::tableColumns_data() {
    QTest::addColumn<QString>("schema");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    const QStringList notes{"NoteId", "NoteTitle", "Note", "NoteDate"};
    const QStringList attachments{"AttachmentsId", "AttachmentsName", "Attachments", "AttachmentVersion",
                                  "AttachmentsDate"};
    QTest::newRow("LocationInfo") << "main"
                                  << "LocationInfo"
                                  << (QStringList{"LocId", "LocName", "LocAddressOne", "LocAddressTwo", "LocCity",
                                                  "StateId", "LocZip", "LocPhone", "LocActive"}
                                      << numbered("Field"));
    QTest::newRow("ContactInfo")
        << "main"
        << "ContactInfo"
        << QStringList{"LocId",        "ContactFirstName",   "ContactMiddleName", "ContactLastName",
                       "ContactTitle", "ContactPhoneNumber", "ContactCellPhone",  "ContactEmailAddress"};
    QTest::newRow("StateInfo") << "main"
                               << "StateInfo" << QStringList{"StateId", "StateName"};
    QTest::newRow("EquipmentInfo") << "main"
                                   << "EquipmentInfo"
                                   << (QStringList{"EquipmentId"} << equipmentColumns() << numbered("Field"));
    QTest::newRow("TempEquipmentInfo") << "main"
                                       << "TempEquipmentInfo" << (QStringList{"EquipmentId"} << equipmentColumns());
    QTest::newRow("EquipLocAssign") << "main"
                                    << "EquipLocAssign"
                                    << QStringList{"EquipLocAssignId", "EquipmentId", "LocId", "EquipLocAssignDate"};
    QTest::newRow("EquipmentType") << "main"
                                   << "EquipmentType" << QStringList{"EquipmentTypeId", "EquipmentType"};
    QTest::newRow("EquipmentTemplate") << "main"
                                       << "EquipmentTemplate"
                                       << QStringList{"TemplateName", "Description", "Manufacturer",
                                                      "ModelNumber",  "CPU",         "Memory",
                                                      "HD",           "Monitor",     "Mouse",
                                                      "Keyboard",     "OS"};
    QTest::newRow("EquipmentNoteInformation") << "main"
                                              << "EquipmentNoteInformation" << (QStringList{notes} << "EquipmentId");
    QTest::newRow("LocationNoteInformation") << "main"
                                             << "LocationNoteInformation" << (QStringList{notes} << "LocationtId");
    QTest::newRow("EquipmentAttachments") << "main"
                                          << "EquipmentAttachments" << (QStringList{attachments} << "EquipmentId");
    QTest::newRow("LocationAttachments") << "main"
                                         << "LocationAttachments" << (QStringList{attachments} << "LocationId");
    const QStringList additional = numbered("Field") + numbered("Field", "Visible") +
                                   QStringList{"Category1", "Category2", "Category3", "Category4"};
    QTest::newRow("EquipmentAdditionalInformation") << "main"
                                                    << "EquipmentAdditionalInformation" << additional;
    QTest::newRow("LocationAdditionalInformation") << "main"
                                                   << "LocationAdditionalInformation" << additional;
    QTest::newRow("Sec_Usr") << "main"
                             << "Sec_Usr" << QStringList{"UserName", "ClientServer", "FirstName", "MiddleName",
                                                         "LastName", "EmailAddress", "Active"};
    QTest::newRow("Stocktake") << "main"
                               << "Stocktake"
                               << QStringList{"StocktakeId", "LocId", "StocktakeStarted", "StocktakeEnded",
                                              "StocktakeOutcome"};
    QTest::newRow("StocktakeScan") << "main"
                                   << "StocktakeScan"
                                   << QStringList{"ScanId",      "StocktakeId",     "ScanCode", "ScanClass",
                                                  "EquipmentId", "RegisteredLocId", "ScanTime"};
    QTest::newRow("HoldEquipment") << "hold"
                                   << "HoldEquipment"
                                   << QStringList{"HoldEquipmentId", "AssetTagNumber",    "EquipmentType",
                                                  "Manufacturer",    "DatePurchased",     "PurchasePrice",
                                                  "SerialNumber",    "ModelNumber",       "CpuSpeed",
                                                  "Memory",          "HardDriveCapacity", "Monitor",
                                                  "Mouse",           "Keyboard",          "OperatingSystem",
                                                  "CurrentLocation", "LocationName"};
}

void tst_Database::tableColumns() {
    QFETCH(QString, schema);
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    const QStringList stored = storedNames(*m_fresh->db, columns);
    QCOMPARE(columnsOf(*m_fresh->db, schema, table), QSet<QString>(stored.cbegin(), stored.cend()));
}

void tst_Database::statesAndAdditionalInformationRows() {
    TestContext t;
    QCOMPARE(count(*t.db, "StateInfo"), 50);
    Query range(*t.db, "SELECT MIN(StateId), MAX(StateId), COUNT(DISTINCT StateId) FROM StateInfo");
    range.exec();
    QVERIFY(range.next());
    QCOMPARE(range.value(0).toInt(), 2);
    QCOMPARE(range.value(1).toInt(), 51);
    QCOMPARE(range.value(2).toInt(), 50);
    Query name(*t.db, "SELECT StateName FROM StateInfo WHERE StateId = ?");
    const QList<QPair<int, QString>> known{{2, "Alabama"}, {3, "Alaska"}, {33, "New York"}, {51, "Wyoming"}};
    for (const auto& [id, state] : known)
        QCOMPARE(name.scalar({id}).toString(), state);
    // Alphabetical by name is the same order as by id: the state pickers rely on it.
    Query ordered(*t.db, "SELECT StateId FROM StateInfo ORDER BY StateName");
    ordered.exec();
    for (int expectedId = 2; ordered.next(); ++expectedId)
        QCOMPARE(ordered.value(0).toInt(), expectedId);

    for (const char* table : {"EquipmentAdditionalInformation", "LocationAdditionalInformation"}) {
        QCOMPARE(count(*t.db, table), 1);
        Query row(*t.db, QStringLiteral("SELECT Field1, Field20Visible FROM %1").arg(table));
        row.exec();
        QVERIFY(row.next());
        QVERIFY(row.isNull(0));
        QCOMPARE(row.value(1).toInt(), 0);
    }
}

void tst_Database::omittedColumnsTakeTheirDefaults() {
    TestContext t;
    const QString before = today();
    // The inserts name only what the windows' own inserts name.
    Query(*t.db, "INSERT INTO LocationInfo (LocName, LocAddressOne, LocAddressTwo, LocCity, LocZip, LocPhone, StateId) "
                 "VALUES ('Depot', '', '', '', '', '', 2)")
        .exec();
    Query(*t.db, "INSERT INTO Sec_Usr (UserName, ClientServer, FirstName, MiddleName, LastName, EmailAddress) "
                 "VALUES ('bob', 'x', '', '', '', '')")
        .exec();
    Query(*t.db, "INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (1, 1)").exec();
    Query(*t.db, "INSERT INTO EquipmentNoteInformation (EquipmentId, NoteTitle, Note) VALUES (1, 't', 'n')").exec();
    Query(*t.db, "INSERT INTO LocationNoteInformation (LocationtId, NoteTitle, Note) VALUES (1, 't', 'n')").exec();
    Query(*t.db, "INSERT INTO EquipmentAttachments (EquipmentId, AttachmentsName, AttachmentVersion) "
                 "VALUES (1, 'a.txt', 1)")
        .exec();
    Query(*t.db, "INSERT INTO LocationAttachments (LocationId, AttachmentsName, AttachmentVersion) "
                 "VALUES (1, 'a.txt', 1)")
        .exec();
    const QString after = today();

    Query loc(*t.db, "SELECT LocActive, Field1, Field20 FROM LocationInfo");
    loc.exec();
    QVERIFY(loc.next());
    QCOMPARE(loc.value(0).toInt(), 1);
    QVERIFY(loc.isNull(1));
    QVERIFY(loc.isNull(2));
    QCOMPARE(Query(*t.db, "SELECT Active FROM Sec_Usr").scalar().toInt(), 1);

    const QStringList dated{
        "SELECT EquipLocAssignDate FROM EquipLocAssign", "SELECT NoteDate FROM EquipmentNoteInformation",
        "SELECT NoteDate FROM LocationNoteInformation", "SELECT AttachmentsDate FROM EquipmentAttachments",
        "SELECT AttachmentsDate FROM LocationAttachments"};
    for (const QString& sql : dated) {
        const QString date = Query(*t.db, sql).scalar().toString();
        QVERIFY2(date == before || date == after, qPrintable(sql + " gave " + date));
    }
}

void tst_Database::textComparesAndSortsWithoutCase() {
    TestContext t;
    Query(*t.db, "INSERT INTO Sec_Usr (UserName, ClientServer) VALUES ('bob', 'x')").exec();
    QCOMPARE(count(*t.db, "Sec_Usr", "UserName = ?", {"BOB"}), 1);
    QCOMPARE(count(*t.db, "Sec_Usr", "UserName = 'BoB'"), 1);
    QCOMPARE(count(*t.db, "Sec_Usr", "UserName LIKE ?", {"B%"}), 1);

    for (const char* name : {"banana", "Apple", "cherry", "apricot"})
        addLocation(*t.db, name);
    Query sorted(*t.db, "SELECT LocName FROM LocationInfo ORDER BY LocName");
    sorted.exec();
    QStringList names;
    while (sorted.next())
        names << sorted.text(0);
    QCOMPARE(names, (QStringList{"Apple", "apricot", "banana", "cherry"}));

    const qint64 loc = addLocation(*t.db, "Depot");
    addEquipment(*t.db, loc, "s1", "Desktop");
    addEquipment(*t.db, loc, "s2", "DESKTOP");
    Query groups(*t.db, "SELECT COUNT(*) FROM (SELECT EquipmentType FROM EquipmentInfo GROUP BY EquipmentType) AS g");
    QCOMPARE(groups.scalar().toInt(), 1);

    Query(*t.db, "INSERT INTO HoldEquipment (SerialNumber) VALUES ('abc-1')").exec();
    QCOMPARE(count(*t.db, "HoldEquipment", "SerialNumber = ?", {"ABC-1"}), 1);
}

void tst_Database::indexes_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::newRow("serial number") << "EquipmentInfo"
                                   << "SerialNumber";
    QTest::newRow("asset tag") << "EquipmentInfo"
                               << "AssetTagNumber";
    QTest::newRow("current location") << "EquipmentInfo"
                                      << "CurrentLocation";
    QTest::newRow("history by equipment") << "EquipLocAssign"
                                          << "EquipmentId";
    QTest::newRow("equipment notes by owner") << "EquipmentNoteInformation"
                                              << "EquipmentId";
    QTest::newRow("location notes by owner") << "LocationNoteInformation"
                                             << "LocationtId";
    QTest::newRow("equipment attachments by owner") << "EquipmentAttachments"
                                                    << "EquipmentId";
    QTest::newRow("location attachments by owner") << "LocationAttachments"
                                                   << "LocationId";
    QTest::newRow("equipment attachments by name") << "EquipmentAttachments"
                                                   << "AttachmentsName";
    QTest::newRow("location attachments by name") << "LocationAttachments"
                                                  << "AttachmentsName";
}

void tst_Database::indexes() {
    QFETCH(QString, table);
    QFETCH(QString, column);
    Database& db = *m_fresh->db;
    // An index serves a lookup by a column only when that column comes first in it.
    QStringList leading;
    if (db.engine() == Engine::SQLite) {
        Query list(db, QStringLiteral("PRAGMA index_list(%1)").arg(table));
        list.exec();
        while (list.next()) {
            Query info(db, QStringLiteral("PRAGMA index_info(%1)").arg(list.value("name").toString()));
            info.exec();
            while (info.next())
                if (info.value("seqno").toInt() == 0)
                    leading << info.value("name").toString();
        }
    } else {
        Query list(db, QStringLiteral("SELECT a.attname FROM pg_index i JOIN pg_attribute a "
                                      "ON a.attrelid = i.indrelid AND a.attnum = i.indkey[0] "
                                      "WHERE i.indrelid = CAST(? AS regclass)"));
        list.exec({asStored(db, table)});
        while (list.next())
            leading << list.text(0);
    }
    QVERIFY2(leading.contains(asStored(db, column)), qPrintable(leading.join(',')));
}

void tst_Database::equipmentWithHistoryCanBeDeleted() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    const qint64 unit = addEquipment(*t.db, loc, "S1");
    Query(*t.db, "INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (?, ?)").exec({unit, loc});
    Query(*t.db, "DELETE FROM EquipmentInfo WHERE EquipmentId = ?").exec({unit});
    Query(*t.db, "DELETE FROM EquipLocAssign WHERE EquipmentId = ?").exec({unit});
    QCOMPARE(count(*t.db, "EquipmentInfo"), 0);
    QCOMPARE(count(*t.db, "EquipLocAssign"), 0);
}

void tst_Database::reopeningKeepsData() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    Query(*t.db, "INSERT INTO HoldEquipment (SerialNumber, CurrentLocation) VALUES ('H1', ?)").exec({loc});
    Query(*t.db, "UPDATE LocationAdditionalInformation SET Field1 = 'Cost centre'").exec();
    t.reopen();
    QCOMPARE(count(*t.db, "LocationInfo", "LocName = 'Depot' AND LocId = ?", {loc}), 1);
    QCOMPARE(count(*t.db, "HoldEquipment", "SerialNumber = 'H1'"), 1);
    QCOMPARE(count(*t.db, "StateInfo"), 50);
    QCOMPARE(count(*t.db, "LocationAdditionalInformation"), 1);
    QCOMPARE(Query(*t.db, "SELECT Field1 FROM LocationAdditionalInformation").scalar().toString(),
             QStringLiteral("Cost centre"));
}

void tst_Database::awkwardFolderNames_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("blank, hash, question mark, percent") << "my data #1?%20&x=y;";
    QTest::newRow("unicode") << QString::fromUtf8("Zürich – 東京");
    QTest::newRow("looks like an option") << "file:mode=ro";
}

// The files are opened by URI so that the engine never creates an empty one; the folder name must survive it.
void tst_Database::awkwardFolderNames() {
    if (TestServer::onServer())
        QSKIP("names the database files after the folder; a server keeps none there");
    QFETCH(QString, folder);
    QTemporaryDir parent;
    const QString dir = parent.filePath(folder);
    {
        Database db(dir);
        addLocation(db, "Depot");
        Query(db, "INSERT INTO HoldEquipment (SerialNumber) VALUES ('H1')").exec();
    }
    QCOMPARE(QDir(dir).entryList(QDir::Files), (QStringList{"Inventory.mdb", "Kavrel.mdb"}));
    Database again(dir);
    QCOMPARE(count(again, "LocationInfo"), 1);
    QCOMPARE(count(again, "HoldEquipment"), 1);
    QCOMPARE(QDir(parent.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{folder});
}

void tst_Database::unwritablePlaceIsNamed_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("named"); // the path the message names, below the temporary folder
    QTest::addColumn<QString>("what");
    QTest::newRow("folder is a file") << "folderIsFile"
                                      << "data"
                                      << "data folder";
    QTest::newRow("folder below a file") << "folderBelowFile"
                                         << "data/inner"
                                         << "data folder";
    QTest::newRow("read-only empty folder") << "readOnlyEmptyFolder"
                                            << "data"
                                            << "data folder";
    QTest::newRow("read-only folder with both files") << "readOnlyFolder"
                                                      << "data"
                                                      << "data folder";
    QTest::newRow("read-only Inventory.mdb") << "readOnlyFile"
                                             << "data/Inventory.mdb"
                                             << "data file";
    QTest::newRow("read-only Kavrel.mdb") << "readOnlyFile"
                                          << "data/Kavrel.mdb"
                                          << "data file";
}

// A place the user cannot write is named when Kavrel starts, not at the first write that fails.
void tst_Database::unwritablePlaceIsNamed() {
    if (TestServer::onServer())
        QSKIP("about making the database files");
    QFETCH(QString, kind);
    QFETCH(QString, named);
    QFETCH(QString, what);
    QTemporaryDir parent;
    const QString data = parent.filePath("data");
    if (kind.startsWith("folder")) {
        QFile f(data);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a folder");
    } else {
        if (kind == "readOnlyEmptyFolder") {
            QVERIFY(QDir().mkdir(data));
        } else {
            Database installed(data);
        }
        if (getuid() == 0)
            QSKIP("root may write whatever the permissions say");
        const QString target = parent.filePath(named);
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadUser | QFile::ExeOwner | QFile::ExeUser));
    }
    const QByteArray before = fingerprint(data);
    const QString error = openFailure(parent.filePath(named.endsWith(".mdb") ? "data" : named));
    for (const QString& name : {data, data + "/Inventory.mdb", data + "/Kavrel.mdb"})
        QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(error, QStringLiteral("Kavrel cannot write to the %1 %2. ")
                            .arg(what, QDir::toNativeSeparators(parent.filePath(named))) +
                        (what == "data folder" ? "Check that it is a folder and that you may write to it."
                                               : "Check that you may write to it."));
    QCOMPARE(fingerprint(data), before);
}

void tst_Database::unusableFileIsReportedAndLeftAlone_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("engineText");
    for (const char* file : {"Inventory.mdb", "Kavrel.mdb"}) {
        const QString f = QString::fromLatin1(file);
        QTest::addRow("%s garbage", file) << f << "garbage"
                                          << "file is not a database";
        QTest::addRow("%s wrong tables", file) << f << "wrongTables"
                                               << "has no table";
        QTest::addRow("%s missing column", file) << f << "missingColumn"
                                                 << "has no column";
        QTest::addRow("%s directory", file) << f << "directory"
                                            << "unable to open database";
    }
}

void tst_Database::unusableFileIsReportedAndLeftAlone() {
    if (TestServer::onServer())
        QSKIP("about damaged database files");
    QFETCH(QString, file);
    QFETCH(QString, kind);
    QFETCH(QString, engineText);
    QTemporaryDir dir;
    { Database installed(dir.path()); }
    const QString path = dir.filePath(file);
    const bool isMain = file == QLatin1String("Inventory.mdb");

    if (kind == "missingColumn") {
        runOnFile(path, {isMain ? "ALTER TABLE Sec_Usr DROP COLUMN Active"
                                : "ALTER TABLE HoldEquipment DROP COLUMN LocationName"});
    } else {
        QVERIFY(QFile::remove(path));
        if (kind == "garbage") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (int i = 0; i < 512; ++i)
                f.write(QByteArray::number(i * 7919 % 251).append("\xff\x00 garbage ", 11));
        } else if (kind == "wrongTables") {
            runOnFile(path, {"CREATE TABLE Foo (Bar TEXT)", "INSERT INTO Foo VALUES ('keep me')"});
        } else if (kind == "directory") {
            QVERIFY(QDir().mkdir(path));
        }
    }
    const QByteArray before = fingerprint(path);
    const QString other = dir.filePath(isMain ? "Kavrel.mdb" : "Inventory.mdb");
    const QByteArray otherBefore = fingerprint(other);

    const QString error = openFailure(dir.path());
    QVERIFY2(error.contains(engineText, Qt::CaseInsensitive), qPrintable(error));
    QCOMPARE(fingerprint(path), before);
    QCOMPARE(fingerprint(other), otherBefore);
    QVERIFY(!QFile::exists(path + ".new"));
    // A second attempt fails the same way: the first left no connection or lock behind.
    QCOMPARE(openFailure(dir.path()), error);
}

void tst_Database::emptyFileIsReplacedAndTheOtherKept_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("holdingRows");
    QTest::newRow("Inventory.mdb") << "Inventory.mdb" << false;
    QTest::newRow("Inventory.mdb beside holding rows") << "Inventory.mdb" << true;
    QTest::newRow("Kavrel.mdb") << "Kavrel.mdb" << true;
}

// A crash while an installation was being written can leave a file of 0 bytes: it holds no data, so it is made
// again, while the other file keeps what it holds. A new inventory beside units waiting in the holding file is made
// only when asked for: until then the open is refused and nothing changes.
void tst_Database::emptyFileIsReplacedAndTheOtherKept() {
    if (TestServer::onServer())
        QSKIP("about database files of 0 bytes");
    QFETCH(QString, file);
    QFETCH(bool, holdingRows);
    TestContext t;
    addLocation(*t.db, "Depot");
    if (holdingRows)
        Query(*t.db, "INSERT INTO HoldEquipment (SerialNumber) VALUES ('H1')").exec();
    t.db.reset();
    QFile empty(t.dataDir() + '/' + file);
    QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    empty.close();

    const bool mainReplaced = file == QLatin1String("Inventory.mdb");
    if (mainReplaced && holdingRows) {
        const QFileInfo before(t.dataDir() + "/Kavrel.mdb");
        try {
            Database refused(t.dataDir());
            QFAIL("a new inventory was made beside the holding rows");
        } catch (const EmptyInventoryError& e) {
            QCOMPARE(e.waiting(), 1);
        }
        QCOMPARE(QFileInfo(t.dataDir() + "/Inventory.mdb").size(), 0);
        QCOMPARE(QFileInfo(t.dataDir() + "/Kavrel.mdb").lastModified(), before.lastModified());
        DatabaseOptions asked;
        asked.newInventoryBesideHoldingRows = true;
        t.db = std::make_unique<Database>(t.dataDir(), asked);
    } else {
        t.reopen();
    }
    QCOMPARE(count(*t.db, "StateInfo"), 50);
    QCOMPARE(count(*t.db, "LocationInfo"), mainReplaced ? 0 : 1);
    QCOMPARE(count(*t.db, "HoldEquipment"), mainReplaced && holdingRows ? 1 : 0);
    QCOMPARE(QDir(t.dataDir()).entryList(QDir::Files), (QStringList{"Inventory.mdb", "Kavrel.mdb"}));
}

void tst_Database::copiesStartingTogetherAllSucceed_data() {
    QTest::addColumn<QStringList>("emptyFiles"); // files of 0 bytes in the folder before the start
    QTest::newRow("empty folder") << QStringList{};
    QTest::newRow("0-byte Inventory.mdb") << QStringList{"Inventory.mdb"};
    QTest::newRow("0-byte Kavrel.mdb") << QStringList{"Kavrel.mdb"};
    QTest::newRow("both 0-byte") << QStringList{"Inventory.mdb", "Kavrel.mdb"};
}

// Two workstations, or a double click, start copies on one new folder at the same moment: every copy opens the
// complete installation that one of them made, and nothing else is left in the folder.
void tst_Database::copiesStartingTogetherAllSucceed() {
    if (TestServer::onServer())
        QSKIP("copies creating the database files together");
    QFETCH(QStringList, emptyFiles);
    constexpr int kRounds = 8;
    constexpr int kCopies = 4;
    for (int round = 0; round < kRounds; ++round) {
        QTemporaryDir dir;
        for (const QString& name : emptyFiles) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int i = 0; i < kCopies; ++i) {
            auto& p = copies.emplace_back(std::make_unique<QProcess>());
            p->start(QStringLiteral(KAVREL_OPEN_DATABASE), {dir.path()});
            QVERIFY(p->waitForStarted());
        }
        for (auto& p : copies)
            while (!p->canReadLine())
                QVERIFY2(p->waitForReadyRead(30000), qPrintable(p->readAllStandardError()));
        for (auto& p : copies) {
            p->write("go\n");
            p->waitForBytesWritten(); // QProcess writes only from the event loop otherwise
        }
        for (auto& p : copies)
            QVERIFY(p->waitForFinished(60000));
        for (auto& p : copies) {
            const QString errors = QString::fromLocal8Bit(p->readAllStandardError());
            QVERIFY2(p->exitCode() == 0, qPrintable(QStringLiteral("round %1: %2").arg(round).arg(errors)));
            QCOMPARE(p->readAllStandardOutput(), QByteArray("ready\n50 0\n"));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"Inventory.mdb", "Kavrel.mdb"}));
    }
}

void tst_Database::transactionRollsBackOnThrow() {
    TestContext t;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, t.db->transaction([&] {
        addLocation(*t.db, "A");
        addLocation(*t.db, "B");
        throw std::runtime_error("stop");
    }));
    QVERIFY(!t.db->inTransaction());
    QCOMPARE(count(*t.db, "LocationInfo"), 0);
    QCOMPARE(count(*t.db, "ContactInfo"), 0);

    // A statement the engine refuses rolls back the statements before it and carries the engine's text.
    try {
        t.db->transaction([&] {
            addLocation(*t.db, "C");
            Query(*t.db, "INSERT INTO LocationInfo (NoSuchColumn) VALUES (1)").exec();
        });
        QFAIL("no DataError");
    } catch (const DataError& e) {
        QVERIFY2(e.text().contains("NoSuchColumn", Qt::CaseInsensitive), qPrintable(e.text()));
    }
    QCOMPARE(count(*t.db, "LocationInfo"), 0);

    // The helper is usable again and commits.
    const int id = t.db->transaction([&] { return int(addLocation(*t.db, "D")); });
    QVERIFY(id > 0);
    t.reopen();
    QCOMPARE(count(*t.db, "LocationInfo", "LocName = 'D'"), 1);
}

void tst_Database::nestedTransactionJoinsOuter() {
    TestContext t;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, t.db->transaction([&] {
        addLocation(*t.db, "Outer");
        t.db->transaction([&] { addLocation(*t.db, "Inner"); });
        QVERIFY(t.db->inTransaction());
        // The inner commit is not yet visible to anyone else.
        const auto other = t.openAnother();
        QCOMPARE(count(*other, "LocationInfo"), 0);
        throw std::runtime_error("outer fails after inner finished");
    }));
    QCOMPARE(count(*t.db, "LocationInfo"), 0);

    t.db->transaction([&] {
        addLocation(*t.db, "Outer");
        t.db->transaction([&] { addLocation(*t.db, "Inner"); });
    });
    QVERIFY(!t.db->inTransaction());
    t.reopen();
    QCOMPARE(count(*t.db, "LocationInfo"), 2);
}

void tst_Database::failedInnerTransactionLeavesNothingWhenOuterGoesOn() {
    TestContext t;
    t.db->transaction([&] {
        addLocation(*t.db, "Before");
        try {
            t.db->transaction([&] {
                addLocation(*t.db, "Half done");
                throw std::runtime_error("inner fails");
            });
        } catch (const std::runtime_error&) {
        }
        addLocation(*t.db, "After");
    });
    QStringList names;
    Query q(*t.db, "SELECT LocName FROM LocationInfo ORDER BY LocId");
    q.exec();
    while (q.next())
        names << q.text(0);
    QCOMPARE(names, (QStringList{"Before", "After"}));
    QCOMPARE(count(*t.db, "ContactInfo"), 2);
}

void tst_Database::transactionAcrossBothFilesIsAtomic() {
    TestContext t;
    if (!t.onServer()) {
        // A write-ahead log would make each file commit on its own.
        QCOMPARE(Query(*t.db, "PRAGMA main.journal_mode").scalar().toString().toLower(), QStringLiteral("delete"));
        QCOMPARE(Query(*t.db, "PRAGMA hold.journal_mode").scalar().toString().toLower(), QStringLiteral("delete"));
    }

    const qint64 loc = addLocation(*t.db, "Depot");
    Query(*t.db, "INSERT INTO HoldEquipment (SerialNumber, CurrentLocation) VALUES ('H1', ?)").exec({loc});
    const auto commitHolding = [&](bool failAtEnd) {
        t.db->transaction([&] {
            Query(*t.db, "INSERT INTO EquipmentInfo (SerialNumber, CurrentLocation, EquActive) "
                         "SELECT SerialNumber, CurrentLocation, 1 FROM HoldEquipment")
                .exec();
            Query(*t.db, "DELETE FROM HoldEquipment").exec();
            if (failAtEnd)
                throw DataError("disk I/O error");
        });
    };
    QVERIFY_THROWS_EXCEPTION(DataError, commitHolding(true));
    QCOMPARE(count(*t.db, "EquipmentInfo"), 0);
    QCOMPARE(count(*t.db, "HoldEquipment"), 1);

    commitHolding(false);
    t.reopen();
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = 'H1'"), 1);
    QCOMPARE(count(*t.db, "HoldEquipment"), 0);
}

void tst_Database::lockedDataAsksToRetry_data() {
    QTest::addColumn<QString>("file");      // the file another copy locks
    QTest::addColumn<QString>("lock");      // how it locks it
    QTest::addColumn<QString>("operation"); // what this copy does meanwhile
    QTest::addColumn<bool>("retry");        // the answer once the other copy has finished
    const struct {
        const char* name;
        const char* file;
        const char* lock;
        const char* operation;
    } cases[] = {
        {"transaction begins against a writer", "Inventory.mdb", "write", "transaction"},
        {"transaction begins against a writer of the holding file", "Kavrel.mdb", "write", "transaction"},
        {"transaction commits against a reader", "Inventory.mdb", "read", "transaction"},
        {"single statement against a writer", "Inventory.mdb", "write", "statement"},
        {"read against a committing writer", "Kavrel.mdb", "exclusive", "read"},
        {"quick rows against a committing writer", "Kavrel.mdb", "exclusive", "rows"},
        {"start-up against a committing writer", "Inventory.mdb", "exclusive", "open"},
    };
    for (const auto& c : cases)
        for (bool retry : {true, false})
            QTest::addRow("%s, %s", c.name, retry ? "retry" : "cancel") << c.file << c.lock << c.operation << retry;
}

// Another copy keeps a file locked for longer than the wait: the handler is asked in plain words naming the
// folder; retrying once the other copy has finished does the work, giving up leaves nothing half written.
void tst_Database::lockedDataAsksToRetry() {
    if (TestServer::onServer())
        QSKIP("holds the locks of the database files");
    QFETCH(QString, file);
    QFETCH(QString, lock);
    QFETCH(QString, operation);
    QFETCH(bool, retry);
    QTemporaryDir dir;
    {
        Database installed(dir.path());
        Query(installed, "INSERT INTO HoldEquipment (SerialNumber) VALUES ('H0')").exec();
    }
    std::optional<LockHolder> holder;
    QStringList asked;
    DatabaseOptions options;
    options.busyTimeoutMs = 50;
    options.busyHandler = [&](const QString& what) {
        asked << what;
        if (retry)
            holder->release();
        return retry;
    };
    std::optional<Database> db;
    if (operation != "open")
        db.emplace(dir.path(), options);
    holder.emplace(dir.filePath(file), lock);
    QVERIFY(holder->held());

    int read = -1;
    const auto run = [&] {
        if (operation == "open") {
            db.emplace(dir.path(), options);
        } else if (operation == "transaction") {
            db->transaction([&] {
                addLocation(*db, "Depot");
                Query(*db, "INSERT INTO HoldEquipment (SerialNumber) VALUES ('H1')").exec();
            });
        } else if (operation == "statement") {
            Query(*db, "INSERT INTO LocationInfo (LocName, StateId) VALUES ('Depot', 2)").exec();
        } else if (operation == "rows") {
            read = readPackedRows(*db, "SELECT SerialNumber FROM HoldEquipment").rowCount();
        } else {
            read = count(*db, "HoldEquipment");
        }
    };
    QString failure;
    try {
        run();
    } catch (const DataError& e) {
        QVERIFY(e.busy());
        failure = e.text();
    }
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].contains("Another copy of Kavrel") && asked[0].contains(QDir::toNativeSeparators(dir.path())),
             qPrintable(asked[0]));
    QCOMPARE(failure, retry ? QString() : asked[0]);
    holder.reset();

    if (!db)
        db.emplace(dir.path());
    QVERIFY(!db->inTransaction());
    const int written = retry ? 1 : 0;
    if (operation == "read" || operation == "rows")
        QCOMPARE(read, retry ? 1 : -1);
    else if (operation != "open")
        QCOMPARE(count(*db, "LocationInfo"), written);
    QCOMPARE(count(*db, "ContactInfo"), operation == "transaction" ? written : 0);
    QCOMPARE(count(*db, "HoldEquipment"), 1 + (operation == "transaction" ? written : 0));
    // Once the other copy has finished the same work succeeds without asking.
    if (!retry) {
        asked.clear();
        run();
        QVERIFY(asked.isEmpty());
    }
}

// On a server the writers of one database take turns as they do on the files: a writer waits for another
// workstation's unfinished work only as long as the busy wait, then asks whether to try again; trying again once
// the other has finished succeeds.
void tst_Database::serverWritersTakeTurns() {
    TestContext t;
    if (!t.onServer())
        QSKIP("another workstation on a server; the files' locks are tested in lockedDataAsksToRetry");
    QStringList asked;
    bool answer = false;
    std::promise<void> held, release;
    std::once_flag released;
    DatabaseOptions options = t.options();
    options.busyTimeoutMs = 200;
    options.busyHandler = [&](const QString& what) {
        asked << what;
        if (answer)
            std::call_once(released, [&] { release.set_value(); });
        return answer;
    };
    Database mine(t.dataDir(), options); // opened first: opening takes the writers' turn too

    QString otherFailure;
    std::thread other([&] {
        try {
            const auto db = t.openAnother(QStringLiteral("bench-2"));
            db->transaction([&] {
                addLocation(*db, "Theirs");
                held.set_value();
                release.get_future().wait();
            });
        } catch (const std::exception& e) {
            otherFailure = QString::fromUtf8(e.what());
        }
    });
    held.get_future().wait();
    // A failing check still lets the other workstation finish.
    const auto joinOther = qScopeGuard([&] {
        if (other.joinable())
            other.join();
    });
    const auto releaseOther = qScopeGuard([&] { std::call_once(released, [&] { release.set_value(); }); });
    try {
        mine.transaction([&] { addLocation(mine, "Mine"); });
        QFAIL("the write went on while another workstation was writing");
    } catch (const DataError& e) {
        QVERIFY(e.busy());
        QCOMPARE(e.text(), asked.value(0));
    }
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].startsWith("Another workstation is writing to") && asked[0].contains(t.m_server->name()),
             qPrintable(asked[0]));

    answer = true;
    mine.transaction([&] { addLocation(mine, "Mine"); });
    other.join();
    QCOMPARE(otherFailure, QString());
    QVERIFY(asked.size() >= 2);
    QCOMPARE(count(mine, "LocationInfo"), 2);
}

void tst_Database::nbspRules_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("asBlank");
    QTest::addColumn<QString>("removed");
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("placeholder alone") << "&nbsp;"
                                       << " "
                                       << "";
    QTest::newRow("inside text") << "Dell&nbsp;Inc"
                                 << "Dell Inc"
                                 << "DellInc";
    QTest::newRow("repeated") << "&nbsp;&nbsp;x&nbsp;"
                              << "  x "
                              << "x";
    QTest::newRow("without semicolon") << "&nbsp"
                                       << "&nbsp"
                                       << "&nbsp";
    QTest::newRow("other case") << "&NBSP;"
                                << "&NBSP;"
                                << "&NBSP;";
    QTest::newRow("escaped ampersand") << "&amp;nbsp;"
                                       << "&amp;nbsp;"
                                       << "&amp;nbsp;";
    QTest::newRow("made by removal is kept") << "&&nbsp;nbsp;"
                                             << "& nbsp;"
                                             << "&nbsp;";
    QTest::newRow("plain text") << "O'Brien"
                                << "O'Brien"
                                << "O'Brien";
}

void tst_Database::nbspRules() {
    QFETCH(QString, stored);
    QFETCH(QString, asBlank);
    QFETCH(QString, removed);
    QCOMPARE(nbspAsBlank(stored), asBlank);
    QCOMPARE(nbspRemoved(stored), removed);
}

void tst_Database::hostileTextRoundTrips_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("apostrophe") << "O'Brien's";
    QTest::newRow("double quotes") << "\"quoted\" text";
    QTest::newRow("always true") << "' OR '1'='1";
    QTest::newRow("statement end") << "x'); DROP TABLE LocationInfo; --";
    QTest::newRow("brackets") << "[LocName]";
    QTest::newRow("wildcards") << "100%_*";
    QTest::newRow("backslash") << "C:\\Temp\\new";
    QTest::newRow("unicode") << QString::fromUtf8("Zürich – Ωμέγα 東京 Łódź");
    QTest::newRow("emoji") << QString::fromUtf8("🖥️ desk 💾");
    QTest::newRow("placeholder") << "&nbsp;";
    QTest::newRow("line breaks") << "one\r\ntwo\tthree";
}

void tst_Database::hostileTextRoundTrips() {
    QFETCH(QString, text);
    TestContext t;
    const qint64 id = addLocation(*t.db, text, 2, text);
    Query(*t.db, "INSERT INTO HoldEquipment (SerialNumber) VALUES (?)").exec({text});

    Query read(*t.db, "SELECT LocName, LocCity FROM LocationInfo WHERE LocId = ?");
    read.exec({id});
    QVERIFY(read.next());
    QCOMPARE(read.text(0), text);
    QCOMPARE(read.text(1), text);
    QCOMPARE(count(*t.db, "LocationInfo", "LocName = ?", {text}), 1);
    QCOMPARE(Query(*t.db, "SELECT SerialNumber FROM HoldEquipment").scalar().toString(), text);
    QCOMPARE(count(*t.db, "StateInfo"), 50);
    QCOMPARE(count(*t.db, "LocationInfo"), 1);
}

void tst_Database::nulCharactersAreLeftOut_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("inside") << QString::fromUtf8("A\0B", 3) << "AB";
    QTest::newRow("several") << QString::fromUtf8("\0x\0\0y\0", 6) << "xy";
    QTest::newRow("nothing else") << QString::fromUtf8("\0", 1) << "";
}

// A server's text cannot hold NUL: on every engine it is left out of whatever text is bound, and a search for
// the same text finds the row.
void tst_Database::nulCharactersAreLeftOut() {
    QFETCH(QString, text);
    QFETCH(QString, stored);
    TestContext t;
    const qint64 id = addLocation(*t.db, text, 2, text);
    Query(*t.db, Columns::insert("HoldEquipment", {"SerialNumber"})).bind("SerialNumber", text).exec();

    Query read(*t.db, "SELECT LocName, LocCity FROM LocationInfo WHERE LocId = ?");
    read.exec({id});
    QVERIFY(read.next());
    QCOMPARE(read.text(0), stored);
    QVERIFY(!read.isNull(0));
    QCOMPARE(read.text(1), stored);
    QCOMPARE(Query(*t.db, "SELECT SerialNumber FROM HoldEquipment").scalar().toString(), stored);
    const PackedRows found = readPackedRows(*t.db, "SELECT LocId FROM LocationInfo WHERE LocName = ?", {text});
    QCOMPARE(found.rowCount(), 1);
}

void tst_Database::engineFailuresSayPlainWordsFirst() {
    TestContext t;
    QString text;
    try {
        Query(*t.db, "SELECT NoSuchColumn FROM LocationInfo").exec();
    } catch (const DataError& e) {
        text = e.text();
    }
    const QString plain = "Kavrel could not read or change the data in ";
    QVERIFY2(text.startsWith(plain) && text.contains(t.db->whereabouts()), qPrintable(text));
    const qsizetype engine = text.indexOf("\n\nThe database engine reported: ");
    QVERIFY2(engine > 0 && text.indexOf("nosuchcolumn", 0, Qt::CaseInsensitive) > engine, qPrintable(text));
}

void tst_Database::emptyTextStaysEmptyAndNullStaysNull() {
    TestContext t;
    // A null QString is bound as Null, like an invalid QVariant: text meant to be '' must be an empty, non-null
    // string (as a line edit's text is).
    Query(*t.db, "INSERT INTO ContactInfo (LocId, ContactFirstName, ContactLastName, ContactTitle) VALUES (1, ?, ?, ?)")
        .exec({QStringLiteral(""), QVariant(), QString()});
    QCOMPARE(count(*t.db, "ContactInfo", "ContactFirstName = ''"), 1);
    QCOMPARE(count(*t.db, "ContactInfo", "ContactLastName IS NULL AND ContactTitle IS NULL"), 1);
}

void tst_Database::idsBeyondSixteenBits() {
    TestContext t;
    Query(*t.db, "INSERT INTO LocationInfo (LocId, LocName, StateId) VALUES (?, 'Far', 2)").exec({70000});
    EngineFixtures::keepIdsPast(*t.db, "LocationInfo", "LocId", 70000);
    const qint64 next = addLocation(*t.db, "Next");
    QCOMPARE(next, qint64(70001));
    const qint64 unit = addEquipment(*t.db, 70000, "S-70000");
    Query read(*t.db, "SELECT LocationInfo.LocId, EquipmentInfo.CurrentLocation FROM LocationInfo "
                      "INNER JOIN EquipmentInfo ON EquipmentInfo.CurrentLocation = LocationInfo.LocId "
                      "WHERE EquipmentInfo.EquipmentId = ?");
    read.exec({unit});
    QVERIFY(read.next());
    QCOMPARE(read.value(0).toLongLong(), qint64(70000));
    QCOMPARE(read.value(1).toLongLong(), qint64(70000));
}

// The quick read of many rows gives every value as Query does: types, Null apart from empty text, bound values
// of every kind, any text.
void tst_Database::quickRowsReadAsQuery() {
    TestContext t;
    Query(*t.db, t.db->ddl("CREATE TABLE Mixed (Id INTEGER PRIMARY KEY, Name TEXT, Price TEXT, Amount REAL, "
                           "Raw BLOB, Flag INTEGER)"))
        .exec();
    const QVariantList rows[] = {
        {qlonglong(70000), "O'Brien's \"Depot\"", "1299.00", 12.5, QByteArray("bytes"), 1},
        {qlonglong(5000000000), "Zoë 東京 🖥", QString(""), 0.1, QVariant(), 0},
        {qlonglong(3), QVariant(), QVariant(), QVariant(), QByteArray(), QVariant()},
    };
    for (const QVariantList& row : rows)
        Query(*t.db, "INSERT INTO Mixed VALUES (?, ?, ?, ?, ?, ?)").exec(row);
    const QString sql = "SELECT Id, Name, Price, Amount, Raw, Flag, Id * 2, Amount / 4 FROM Mixed "
                        "WHERE Id >= ? AND Name IS DISTINCT FROM ? AND Amount <> ? OR Id = ? ORDER BY Id";
    const QVariantList bound = {qlonglong(3), QStringLiteral("x'y"), 1.5, 3};
    // Null, or the type and text of the value.
    const auto describe = [](const QVariant& v) {
        return v.isNull() ? QStringLiteral("null") : QStringLiteral("%1:%2").arg(v.typeName(), v.toString());
    };
    QStringList expected;
    Query q(*t.db, sql);
    q.exec(bound);
    while (q.next())
        for (int c = 0; c < 8; ++c)
            expected << describe(q.value(c));
    // The engine's read gives each value as the text QtSql would, Null kept apart.
    QStringList quick;
    const PackedRows packed = readPackedRows(*t.db, sql, bound);
    for (int r = 0; r < packed.rowCount(); ++r)
        for (int c = 0; c < 8; ++c) {
            const QString& want = expected.at(r * 8 + c);
            quick << (packed.isNull(r, c) ? QStringLiteral("null")
                                          : want.section(QLatin1Char(':'), 0, 0) + ":" + packed.text(r, c));
        }
    QCOMPARE(quick.size(), 24);
    QCOMPARE(quick, expected);

    // A failing statement throws with the engine's text; inside a transaction the read sees its own writes.
    QVERIFY_THROWS_EXCEPTION(DataError, readPackedRows(*t.db, "SELECT Nothing FROM Mixed"));
    t.db->transaction([&] {
        Query(*t.db, "DELETE FROM Mixed WHERE Id = 3").exec();
        QCOMPARE(readPackedRows(*t.db, "SELECT Id FROM Mixed").rowCount(), 2);
    });
}

QTEST_MAIN(tst_Database)
#include "tst_database.moc"
