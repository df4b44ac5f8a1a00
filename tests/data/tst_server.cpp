// What only a server adds: the schema made on an empty database and checked on others, workstations of their own,
// several workstations writing at once, conflicts tried again, and the copy of the files onto a server.
#include "assignment/store/AssignmentStore.h"
#include "data/CopyToServer.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "equipment/store/EquipmentTypeStore.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "platform/OpenWindow.h"
#include "stocktake/store/StocktakeStore.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"
#include "support/TestServer.h"
#include "support/UnitFixtures.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <latch>
#include <thread>

using Fixtures::count;

namespace {

// Statements on a server database through a connection of the test's own, as the server's administrator would.
void runOnServer(const QString& uri, const QStringList& statements) {
    if (statements.isEmpty())
        return;
    const QString name = QStringLiteral("tst-server-admin");
    {
        QSqlDatabase db = TestServer::open(uri, name);
        QVERIFY2(db.isOpen(), qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        for (const QString& s : statements)
            QVERIFY2(q.exec(s), qPrintable(s + QStringLiteral(": ") + q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

UnitValues entry(const QString& serial, qint64 locId) {
    UnitValues e;
    e[UnitField::SerialNumber] = serial;
    e[UnitField::EquipmentType] = QStringLiteral("Desktop");
    e.currentLocation = locId;
    e.locationName = QStringLiteral("Store");
    return e;
}

// Every row of a table as text, in key order where it has a key; bytes as hex.
QStringList tableRows(Database& db, const QString& table, const QStringList& columns) {
    Query q(db, QStringLiteral("SELECT %1 FROM %2").arg(Columns::list(columns), table));
    q.exec();
    QStringList rows;
    while (q.next()) {
        QStringList cells;
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant v = q.value(c);
            cells << (v.isNull()                            ? QStringLiteral("<null>")
                      : v.typeId() == QMetaType::QByteArray ? QString::fromLatin1(v.toByteArray().toHex())
                                                            : v.toString());
        }
        rows << cells.join(QLatin1Char('|'));
    }
    rows.sort();
    return rows;
}

// Ends a connection's server process, as a server restart or a dropped network does, and waits until it is gone.
void terminateBackend(const QString& uri, qint64 pid) {
    const QString name = QStringLiteral("tst-server-terminate");
    {
        QSqlDatabase db = TestServer::open(uri, name);
        QSqlQuery q(db);
        QVERIFY2(q.exec(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid)), qPrintable(q.lastError().text()));
        QTRY_VERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE pid = %1").arg(pid)) &&
                    q.next() && q.value(0).toInt() == 0);
    }
    QSqlDatabase::removeDatabase(name);
}

// Work done on two workstations at the same moment, each on a connection of its own in a thread of its own.
void atOnce(TestContext& t, const std::function<void(Database&, int)>& work, QStringList& failures) {
    std::latch ready(2);
    std::mutex guard;
    auto run = [&](int side) {
        try {
            auto db = t.openAnother(side == 0 ? QStringLiteral("ws-a") : QStringLiteral("ws-b"));
            ready.arrive_and_wait();
            work(*db, side);
        } catch (const DataError& e) {
            std::lock_guard lock(guard);
            failures << e.text();
        }
    };
    std::thread a(run, 0);
    std::thread b(run, 1);
    a.join();
    b.join();
}

} // namespace

class tst_Server : public QObject {
    Q_OBJECT

private slots:
    void init();
    void firstStartMakesTheSchemaLaterStartsChangeNothing();
    void unusableServersAreNamed_data();
    void unusableServersAreNamed();
    void holdingRowsBelongToTheirWorkstation();
    void simultaneousCommitsOfOneSerial();
    void simultaneousReassignments();
    void conflictsAreTriedAgain_data();
    void conflictsAreTriedAgain();
    void copyKeepsEveryRowAndKey();
    void copyRefusesADatabaseWithData();
    void copyLeavesOutNulCharactersAndCountsThem();
    void commitOverALostConnection_data();
    void commitOverALostConnection();
};

void tst_Server::init() {
    if (!TestServer::onServer())
        QSKIP("runs against a PostgreSQL server (KAVREL_TEST_SERVER)");
}

void tst_Server::firstStartMakesTheSchemaLaterStartsChangeNothing() {
    TestContext t;
    QCOMPARE(count(*t.db, "StateInfo"), 50);
    QCOMPARE(count(*t.db, "EquipmentAdditionalInformation"), 1);
    QCOMPARE(count(*t.db, "LocationAdditionalInformation"), 1);
    // Case-blind text, 64-bit keys, dates as ISO text filled in by the server.
    const qint64 loc = UnitFixtures::addLocationWithId(*t.db, 5000000000LL, "Store");
    UnitFixtures::addUnitWithId(*t.db, 4294967297LL, loc, "AbC-1");
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = ?", {"abc-1"}), 1);
    Query(*t.db, "INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (?, ?)").exec({4294967297LL, loc});
    const QString date = Query(*t.db, "SELECT EquipLocAssignDate FROM EquipLocAssign").scalar().toString();
    QVERIFY2(QDate::fromString(date, Qt::ISODate).isValid(), qPrintable(date));

    t.reopen(); // checked, not made again
    QCOMPARE(count(*t.db, "StateInfo"), 50);
    QCOMPARE(count(*t.db, "EquipmentInfo"), 1);
}

void tst_Server::unusableServersAreNamed_data() {
    QTest::addColumn<QString>("database"); // the test's own where empty
    QTest::addColumn<bool>("afterSchema"); // the statements change a database Kavrel has set up
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("message"); // %1: the database's name
    QTest::newRow("no such database") << "kavrel_no_such_database" << false << QStringList()
                                      << "Kavrel cannot connect to the database \"kavrel_no_such_database\" on the "
                                         "PostgreSQL server";
    QTest::newRow("another layout") << "" << false << QStringList{"CREATE TABLE LocationInfo (LocId BIGINT)"}
                                    << "The database \"%1\" on the PostgreSQL server";
    QTest::newRow("a column missing") << "" << true << QStringList{"ALTER TABLE LocationInfo DROP COLUMN LocCity"}
                                      << "The table 'LocationInfo' in the database \"%1\" on the PostgreSQL server";
}

void tst_Server::unusableServersAreNamed() {
    QFETCH(QString, database);
    QFETCH(bool, afterSchema);
    QFETCH(QStringList, statements);
    QFETCH(QString, message);
    ServerDatabase server;
    QTemporaryDir dir;
    DatabaseOptions options;
    options.server = database.isEmpty() ? server.uri() : TestServer::withDatabase(server.uri(), database);
    if (afterSchema)
        Database(dir.path(), options);
    runOnServer(server.uri(), statements);
    const auto tables = [&] {
        const QString name = QStringLiteral("tst-server-check");
        int n = -1;
        {
            QSqlDatabase db = TestServer::open(server.uri(), name);
            QSqlQuery q(db);
            if (q.exec("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema IN ('public', 'hold')") &&
                q.next())
                n = q.value(0).toInt();
        }
        QSqlDatabase::removeDatabase(name);
        return n;
    };
    const int before = tables();
    QString text;
    try {
        Database db(dir.path(), options);
    } catch (const DataError& e) {
        text = e.text();
    }
    QVERIFY2(text.startsWith(message.contains("%1") ? message.arg(server.name()) : message), qPrintable(text));
    QCOMPARE(tables(), before); // nothing made
}

void tst_Server::holdingRowsBelongToTheirWorkstation() {
    TestContext t;
    const qint64 loc = Fixtures::addLocation(*t.db, "Store");
    auto a = t.openAnother("ws-a");
    auto b = t.openAnother("ws-b");
    HoldingStore holdA(*a);
    HoldingStore holdB(*b);
    holdA.insert(entry("A-1", loc));
    holdA.insert(entry("A-2", loc));
    holdB.insert(entry("B-1", loc));
    QCOMPARE(holdA.count(), 2);
    QCOMPARE(holdB.count(), 1);
    QCOMPARE(holdB.rows().size(), size_t(1));

    holdB.clear(); // its own rows only
    QCOMPARE(holdA.count(), 2);
    holdB.insert(entry("B-2", loc));
    const CommitResult done = holdA.commitToInventory({});
    QCOMPARE(done.committed, 2);
    QCOMPARE(holdB.count(), 1);
    QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = ?", {"B-2"}), 0);
}

void tst_Server::simultaneousCommitsOfOneSerial() {
    TestContext t;
    const qint64 loc = Fixtures::addLocation(*t.db, "Store");
    QStringList failures;
    for (int round = 0; round < 5; ++round) {
        const QString serial = QStringLiteral("SAME-%1").arg(round);
        atOnce(
            t,
            [&](Database& db, int side) {
                HoldingStore hold(db);
                // Rows of each side's own first, so the two commits overlap; the shared serial in either case.
                for (int i = 0; i < 50; ++i)
                    hold.insert(entry(QStringLiteral("R%1-%2-%3").arg(round).arg(side).arg(i), loc));
                hold.insert(entry(side == 0 ? serial : serial.toLower(), loc));
                hold.commitToInventory({});
            },
            failures);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
        QCOMPARE(count(*t.db, "EquipmentInfo", "SerialNumber = ?", {serial}), 1);
        QCOMPARE(count(*t.db, "TempEquipmentInfo", "SerialNumber = ?", {serial}), 1);
    }
    QCOMPARE(count(*t.db, "EquipmentInfo"), 5 * (100 + 1));
    QCOMPARE(count(*t.db, "hold." + QString::fromLatin1(Schema::kHoldingRowsTable)), 0);
}

void tst_Server::simultaneousReassignments() {
    TestContext t;
    const qint64 first = Fixtures::addLocation(*t.db, "First");
    const qint64 second = Fixtures::addLocation(*t.db, "Second");
    const qint64 unit = Fixtures::addEquipment(*t.db, first, "MOVED-1");
    QStringList failures;
    constexpr int kRounds = 20;
    atOnce(
        t,
        [&](Database& db, int side) {
            AssignmentStore store(db);
            for (int i = 0; i < kRounds; ++i)
                store.assign({unit}, side == 0 ? second : first);
        },
        failures);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
    QCOMPARE(count(*t.db, "EquipLocAssign", "EquipmentId = ?", {unit}), 2 * kRounds);
    // The unit stands where its last history row says.
    const qint64 last = Query(*t.db, "SELECT LocId FROM EquipLocAssign WHERE EquipmentId = ? "
                                     "ORDER BY EquipLocAssignId DESC LIMIT 1")
                            .scalar({unit})
                            .toLongLong();
    QCOMPARE(
        Query(*t.db, "SELECT CurrentLocation FROM EquipmentInfo WHERE EquipmentId = ?").scalar({unit}).toLongLong(),
        last);
}

void tst_Server::conflictsAreTriedAgain_data() {
    QTest::addColumn<int>("refusals");
    QTest::addColumn<bool>("inTransaction");
    QTest::addColumn<bool>("saved");
    QTest::newRow("a transaction refused twice") << 2 << true << true;
    QTest::newRow("a transaction always refused") << 100 << true << false;
    QTest::newRow("a statement refused twice") << 2 << false << true;
    QTest::newRow("a statement always refused") << 100 << false << false;
}

// The server refuses the first writes with a serialization failure, as it does when another workstation's work
// clashed; a sequence counts the attempts, being outside every transaction.
void tst_Server::conflictsAreTriedAgain() {
    QFETCH(int, refusals);
    QFETCH(bool, inTransaction);
    QFETCH(bool, saved);
    TestContext t;
    const qint64 from = Fixtures::addLocation(*t.db, "From");
    const qint64 to = Fixtures::addLocation(*t.db, "To");
    QList<qint64> units;
    for (int i = 0; i < 3; ++i)
        units << Fixtures::addEquipment(*t.db, from, QStringLiteral("U-%1").arg(i));
    const QString table = inTransaction ? "EquipLocAssign" : "EquipmentType";
    runOnServer(t.options().server,
                {"CREATE SEQUENCE attempts",
                 QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                "IF nextval('attempts') <= %1 THEN RAISE EXCEPTION 'could not serialize access' "
                                "USING ERRCODE = '40001'; END IF; RETURN NEW; END $$")
                     .arg(refusals),
                 QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION refuse()")
                     .arg(table)});
    QString failure;
    bool conflict = false;
    try {
        if (inTransaction)
            AssignmentStore(*t.db).assign(units, to);
        else
            EquipmentTypeStore(*t.db).add("Tablet");
    } catch (const DataError& e) {
        failure = e.text();
        conflict = e.conflict();
    }
    QCOMPARE(failure.isEmpty(), saved);
    if (inTransaction) {
        QCOMPARE(count(*t.db, "EquipLocAssign"), saved ? 3 : 0); // once each, never doubled
        QCOMPARE(count(*t.db, "EquipmentInfo", "CurrentLocation = ?", {to}), saved ? 3 : 0);
    } else {
        QCOMPARE(count(*t.db, "EquipmentType", "EquipmentType = ?", {"Tablet"}), saved ? 1 : 0);
    }
    const qint64 attempts = Query(*t.db, "SELECT last_value FROM attempts").scalar().toLongLong();
    if (saved) {
        QCOMPARE(attempts, qint64(refusals + (inTransaction ? 3 : 1)));
    } else {
        QVERIFY(conflict);
        QVERIFY2(failure.contains("trying again did not help"), qPrintable(failure));
        QCOMPARE(attempts, qint64(Database::kConflictAttempts));
    }
}

void tst_Server::copyKeepsEveryRowAndKey() {
    QTemporaryDir filesDir;
    Database files(filesDir.path());
    const qint64 loc = UnitFixtures::addLocationWithId(files, 70000, "O'Brien HQ");
    UnitFixtures::addUnitWithId(files, 4294967297LL, loc, "SN-Ü1");
    UnitFixtures::park(files, "SN-Ü1", loc);
    Query(files, "INSERT INTO EquipmentAttachments (EquipmentId, AttachmentsName, AttachmentVersion, Attachments) "
                 "VALUES (?, ?, 1, ?)")
        .exec({4294967297LL, "a.bin", QByteArray("\x00\xff\x10", 3)});
    Query(files, "INSERT INTO Sec_Usr (UserName, FirstName, Active) VALUES ('ann', 'Ann', 1)").exec();
    Query(files, "UPDATE LocationAdditionalInformation SET Field1 = 'Switch port'").exec();
    HoldingStore(files).insert(entry("HELD-1", loc));
    StocktakeStore(files).scan(loc, "HELD-1", QDateTime(QDate(2026, 12, 10), QTime(9, 0)));

    ServerDatabase target;
    QTemporaryDir serverDir;
    DatabaseOptions options;
    options.server = target.uri();
    Database server(serverDir.path(), options);
    QStringList tables;
    copyToServer(files, server, [&](const CopiedTable& copied) { tables << copied.table; });

    QMap<QString, QStringList> layout = Schema::layout(Schema::mainFileStatements());
    layout.insert(Schema::layout(Schema::holdingFileStatements()));
    layout.insert(Schema::layout(Schema::addedStatements()));
    QCOMPARE(tables, layout.keys());
    for (auto it = layout.cbegin(); it != layout.cend(); ++it)
        QCOMPARE(tableRows(server, it.key(), it.value()), tableRows(files, it.key(), it.value()));
    // New rows continue after the copied keys.
    const qint64 next = UnitFixtures::park(server, "NEXT-1", loc);
    QVERIFY(next > Query(files, "SELECT MAX(EquipmentId) FROM TempEquipmentInfo").scalar().toLongLong());
    QVERIFY(Fixtures::addLocation(server, "New") > 70000);
}

void tst_Server::copyRefusesADatabaseWithData() {
    QTemporaryDir filesDir;
    Database files(filesDir.path());
    Fixtures::addLocation(files, "Files");
    TestContext t; // a server database in use
    Fixtures::addLocation(*t.db, "Server");
    const QStringList before = UnitFixtures::inventoryRows(*t.db);
    QString failure;
    try {
        copyToServer(files, *t.db);
    } catch (const DataError& e) {
        failure = e.text();
    }
    QVERIFY2(failure.contains("already holds data (the table 'ContactInfo' has rows)"), qPrintable(failure));
    QCOMPARE(count(*t.db, "LocationInfo"), 1);
    QCOMPARE(UnitFixtures::inventoryRows(*t.db), before);
}

// Text stored with NUL characters before they were left out: the copy goes through, without them, and says how
// many values of each table it changed.
void tst_Server::copyLeavesOutNulCharactersAndCountsThem() {
    QTemporaryDir filesDir;
    Database files(filesDir.path());
    const qint64 loc = Fixtures::addLocation(files, "Depot");
    Fixtures::addEquipment(files, loc, "PLAIN-1");
    QSqlQuery raw(files.connection()); // past the data layer, which leaves NUL out
    QVERIFY(raw.exec("UPDATE LocationInfo SET LocName = 'De' || char(0) || 'pot', LocCity = char(0)"));
    QVERIFY(raw.exec("UPDATE EquipmentInfo SET SerialNumber = 'PLAIN' || char(0) || '-1'"));
    QCOMPARE(Query(files, "SELECT LocName FROM LocationInfo").scalar().toString(), QString::fromUtf8("De\0pot", 6));

    ServerDatabase target;
    QTemporaryDir serverDir;
    DatabaseOptions options;
    options.server = target.uri();
    Database server(serverDir.path(), options);
    QMap<QString, qint64> withNul;
    copyToServer(files, server, [&](const CopiedTable& copied) {
        if (copied.valuesWithNul > 0)
            withNul[copied.table] = copied.valuesWithNul;
    });
    QCOMPARE(withNul, (QMap<QString, qint64>{{"LocationInfo", 2}, {"EquipmentInfo", 1}}));
    QCOMPARE(tableRows(server, "LocationInfo", {"LocName", "LocCity"}), QStringList{"Depot|"});
    QCOMPARE(tableRows(server, "EquipmentInfo", {"SerialNumber"}), QStringList{"PLAIN-1"});
}

void tst_Server::commitOverALostConnection_data() {
    QTest::addColumn<bool>("duringInsert"); // else before the commit starts
    QTest::addColumn<bool>("retry");
    QTest::newRow("lost before, retried") << false << true;
    QTest::newRow("lost inside, retried") << true << true;
    QTest::newRow("lost inside, cancelled") << true << false;
}

// The server ends this workstation's connection before or inside the commit: the user reads in plain words that
// nothing was saved, and Retry connects again and commits, without a restart. After Cancel the next action
// connects again by itself.
void tst_Server::commitOverALostConnection() {
    QFETCH(bool, duringInsert);
    QFETCH(bool, retry);
    TestContext t;
    const qint64 loc = Fixtures::addLocation(*t.db, "Store");
    HoldingStore(*t.db).insert(entry("LOST-1", loc));
    HoldingStore(*t.db).insert(entry("LOST-2", loc));
    auto* window = openWindow<frmCreateEquipment>(t.ctx, nullptr);
    QVERIFY(window);
    if (duringInsert)
        runOnServer(t.options().server,
                    {"CREATE SEQUENCE kills",
                     "CREATE FUNCTION kill_once() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                     "IF nextval('kills') = 1 THEN PERFORM pg_terminate_backend(pg_backend_pid()); "
                     "PERFORM pg_sleep(10); END IF; RETURN NEW; END $$",
                     "CREATE TRIGGER kill_once BEFORE INSERT ON EquipmentInfo FOR EACH ROW EXECUTE FUNCTION "
                     "kill_once()"});
    else
        terminateBackend(t.options().server, Query(*t.db, "SELECT pg_backend_pid()").scalar().toLongLong());
    t.dialogs.reset();
    t.dialogs.answer(retry ? Dialogs::Answer::Retry : Dialogs::Answer::Cancel);
    window->commit();
    QVERIFY(t.dialogs.allAnswersUsed());

    const auto lost =
        std::find_if(t.dialogs.messages.cbegin(), t.dialogs.messages.cend(),
                     [](const ScriptedDialogs::Message& m) { return m.buttons == Dialogs::Buttons::RetryCancel; });
    QVERIFY(lost != t.dialogs.messages.cend());
    QVERIFY2(lost->text.startsWith("The connection to the PostgreSQL server at ") &&
                 lost->text.contains(" was lost. Nothing was saved; the units are still in the holding table.\n\n"
                                     "Choose Retry to connect to the server again, or Cancel to stop.") &&
                 !lost->text.contains("terminat"),
             qPrintable(lost->text));
    const QString complete = "Operation complete\n2 unit(s) entered the inventory.\n"
                             "0 unit(s) were parked in the Duplicate Table.";
    QCOMPARE(t.dialogs.texts().last() == complete, retry);
    QCOMPARE(count(*t.db, "EquipmentInfo"), retry ? 2 : 0);
    QCOMPARE(HoldingStore(*t.db).count(), retry ? 0 : 2);
    if (!retry) {
        t.dialogs.reset();
        window->commit();
        QCOMPARE(t.dialogs.texts().last(), complete);
        QCOMPARE(count(*t.db, "EquipmentInfo"), 2);
    }
    window->close();
}

QTEST_MAIN(tst_Server)
#include "tst_server.moc"
