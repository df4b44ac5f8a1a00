#include "data/Database.h"
#include "data/ListColumns.h"
#include "data/PackedReader.h"
#include "data/PackedRows.h"
#include "data/PostgresReader.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QSqlDriver>
#include <QTest>
#include <libpq-fe.h>
#include <limits>

using namespace Fixtures;

namespace {

// Every cell of packed rows as text, Null shown as a marker, so two readings compare in one QCOMPARE.
QStringList dump(const PackedRows& rows) {
    QStringList all;
    for (int r = 0; r < rows.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rows.columnCount(); ++c)
            cells << (rows.isNull(r, c) ? QStringLiteral("<null>") : rows.text(r, c));
        all << cells.join(QLatin1Char('|'));
    }
    return all;
}

QStringList column(const PackedRows& rows, int col, const std::vector<uint32_t>& order) {
    QStringList values;
    for (uint32_t r : order)
        values << (rows.isNull(static_cast<int>(r), col) ? QStringLiteral("<null>")
                                                         : rows.text(static_cast<int>(r), col));
    return values;
}

pg_conn* libpqOf(const Database& db) {
    return PostgresReader::connectionOf(db.connection().driver()->handle());
}

} // namespace

class TestPackedRows : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_ctx = std::make_unique<TestContext>();
        m_loc = addLocation(*m_ctx->db, QStringLiteral("Depot"));
    }
    void cleanup() { m_ctx.reset(); }

    // The engine's own path and QtSql's must hand a list the same cells: Null apart from empty, "&nbsp;" as stored,
    // any Unicode, integers and reals as CellText writes them.
    void enginePathMatchesGeneralPath() {
        Database& db = *m_ctx->db;
        const QStringList makers = {QStringLiteral("&nbsp;"),         QString(),
                                    QStringLiteral("Müller & Söhne"), QStringLiteral("日本電気"),
                                    QStringLiteral("O'Brien"),        QStringLiteral("")};
        for (int i = 0; i < makers.size(); ++i) {
            const qint64 id = addEquipment(db, m_loc, QStringLiteral("S%1").arg(i));
            Query(db,
                  QStringLiteral("UPDATE EquipmentInfo SET Manufacturer = ?, PurchasePrice = ? WHERE EquipmentId = ?"))
                .exec({makers.at(i).isNull() ? QVariant() : QVariant(makers.at(i)),
                       i % 2 ? QVariant(QStringLiteral("1299.00")) : QVariant(), id});
        }
        const QString sql = QStringLiteral("SELECT EquipmentId, Manufacturer, PurchasePrice, EquipmentId * 1.5, "
                                           "EquipmentId / 4.0, 1e20, -0.1, NULL, SerialNumber FROM EquipmentInfo "
                                           "WHERE SerialNumber LIKE ? ORDER BY EquipmentId");
        const PackedRows engine = readPackedRows(db, sql, {QStringLiteral("S%")}, ReadPath::Engine);
        const PackedRows general = readPackedRows(db, sql, {QStringLiteral("S%")}, ReadPath::General);
        QCOMPARE(engine.rowCount(), makers.size());
        QCOMPARE(dump(engine), dump(general));
        QCOMPARE(engine.text(2, 1), QStringLiteral("Müller & Söhne"));
        QVERIFY(engine.isNull(1, 1));
        QVERIFY(!engine.isNull(5, 1));

        // Both give the same display rows under the columns' rules.
        const ListColumns columns = {{"Id", "Id", "EquipmentId"},
                                     {"M", "M", "Manufacturer", CellDisplay::NbspRemoved},
                                     {"P", "P", "PurchasePrice", CellDisplay::NbspAsBlank}};
        const auto a = displayRows(engine, columns, 0);
        const auto b = displayRows(general, columns, 0);
        QCOMPARE(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            QCOMPARE(a[i].cells, b[i].cells);
            QCOMPARE(a[i].tag, b[i].tag);
        }
        QCOMPARE(a[0].cells.at(1), QString());
    }

    // Re-sorting the rows in hand gives what the statement's ORDER BY gives, ties aside: NOCASE folds ASCII only,
    // Null first ascending and last descending, numbers as numbers.
    void sortMatchesStatement_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("descending");
        for (const char* key : {"SerialNumber", "EquipmentId", "Manufacturer", "ModelNumber"}) {
            QTest::addRow("%s ascending", key) << QString::fromLatin1(key) << false;
            QTest::addRow("%s descending", key) << QString::fromLatin1(key) << true;
        }
    }
    void sortMatchesStatement() {
        QFETCH(QString, key);
        QFETCH(bool, descending);
        Database& db = *m_ctx->db;
        const QStringList serials = {"b", "B2", "a", "ä", "Á", "A1", "10", "9", "Zebra", "zeta", "_x", "~"};
        for (int i = 0; i < serials.size(); ++i) {
            const qint64 id = addEquipment(db, m_loc, serials.at(i));
            Query(db,
                  QStringLiteral("UPDATE EquipmentInfo SET Manufacturer = ?, ModelNumber = ? WHERE EquipmentId = ?"))
                .exec({i % 3 ? QVariant(serials.at(serials.size() - 1 - i)) : QVariant(),
                       QVariant(QString::number((i * 37) % 11)), id});
        }
        const QString select =
            QStringLiteral("SELECT EquipmentId, SerialNumber, Manufacturer, ModelNumber FROM EquipmentInfo");
        const QStringList keys = {"EquipmentId", "SerialNumber", "Manufacturer", "ModelNumber"};
        const int col = static_cast<int>(keys.indexOf(key));
        const PackedRows rows = readPackedRows(db, select);
        const std::vector<uint32_t> sorted = rows.sorted(col, descending, {});
        if (db.engine() == Engine::PostgreSQL && key != QStringLiteral("EquipmentId")) {
            // The server's collation is not the files' case-blind order: text is left to the statement.
            QVERIFY(sorted.empty());
            return;
        }
        QCOMPARE(sorted.size(), size_t(serials.size()));
        const PackedRows expected =
            readPackedRows(db, select + QStringLiteral(" ORDER BY ") + key + (descending ? " DESC" : " ASC"));
        std::vector<uint32_t> asRead(static_cast<size_t>(expected.rowCount()));
        for (size_t i = 0; i < asRead.size(); ++i)
            asRead[i] = static_cast<uint32_t>(i);
        QStringList got = column(rows, col, sorted);
        QStringList want = column(expected, col, asRead);
        if (key != QStringLiteral("EquipmentId")) { // NOCASE ties may come in either order
            for (QString& s : got)
                s = s.toLower();
            for (QString& s : want)
                s = s.toLower();
        }
        QCOMPARE(got, want);
    }

    void expressionColumnsLeaveSortingToTheStatement() {
        addEquipment(*m_ctx->db, m_loc, QStringLiteral("a"));
        const PackedRows rows =
            readPackedRows(*m_ctx->db, QStringLiteral("SELECT UPPER(SerialNumber) FROM EquipmentInfo"));
        QCOMPARE(rows.order(0), ColumnOrder::Unknown);
        QVERIFY(rows.sorted(0, false, {}).empty());
    }

    // Cells of every size, long rows crossing the chunks they are kept in, and a cell rewritten in place.
    void cellsOfAnySizeRoundTrip() {
        PackedRows rows(3);
        const QString big(3 << 20, QLatin1Char('x'));
        for (int r = 0; r < 3000; ++r) {
            rows.beginRow();
            rows.appendCell(QString::number(r));
            rows.appendCell(r == 1500 ? big : QString(r % 700, QChar(0x4E00 + r % 50)));
            if (r % 5)
                rows.appendCell(QStringLiteral("end"));
            else
                rows.appendNull();
        }
        rows.finish();
        QCOMPARE(rows.rowCount(), 3000);
        for (int r = 0; r < 3000; ++r) {
            QCOMPARE(rows.text(r, 0), QString::number(r));
            QCOMPARE(rows.text(r, 1), r == 1500 ? big : QString(r % 700, QChar(0x4E00 + r % 50)));
            QCOMPARE(rows.isNull(r, 2), r % 5 == 0);
        }
        rows.setCell(7, 1, QStringLiteral("changed"));
        QCOMPARE(rows.text(7, 1), QStringLiteral("changed"));
        QCOMPARE(rows.text(7, 2), QStringLiteral("end"));
        QCOMPARE(rows.text(8, 0), QStringLiteral("8"));
    }

    // Outside quotes and comments every ? is the next placeholder.
    void postgresPlaceholders_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("numbered");
        QTest::newRow("plain") << "SELECT a FROM t WHERE b = ? AND c IN (?, ?)"
                               << "SELECT a FROM t WHERE b = $1 AND c IN ($2, $3)";
        QTest::newRow("quoted") << "SELECT 'it''s ?', \"?\"\"?\" FROM t WHERE x = ?"
                                << "SELECT 'it''s ?', \"?\"\"?\" FROM t WHERE x = $1";
        QTest::newRow("escape string") << "SELECT E'\\' ?', ?"
                                       << "SELECT E'\\' ?', $1";
        QTest::newRow("comments") << "SELECT ? -- why?\n, /* or ? */ ?"
                                  << "SELECT $1 -- why?\n, /* or ? */ $2";
        QTest::newRow("unclosed quote") << "SELECT ?, 'x ?"
                                        << "SELECT $1, 'x ?";
    }
    void postgresPlaceholders() {
        QFETCH(QString, sql);
        QFETCH(QString, numbered);
        QCOMPARE(PostgresReader::numberedPlaceholders(sql), numbered);
    }

    // On a server, libpq's text and QtSql's values must come out as the same cells, for each type a list holds.
    void serverCellsMatchGeneralPath_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("citext Null") << "CITEXT" << QVariant() << false;
        QTest::newRow("citext empty") << "CITEXT" << QVariant(QStringLiteral("")) << false;
        QTest::newRow("citext apostrophes") << "CITEXT" << QVariant(QStringLiteral("O'Brien's ''quoted''")) << false;
        QTest::newRow("citext non-ASCII") << "CITEXT" << QVariant(QStringLiteral("Müller & Söhne 日本電気 😀")) << false;
        QTest::newRow("text nbsp") << "TEXT" << QVariant(QStringLiteral("&nbsp;")) << false;
        QTest::newRow("int8 largest") << "BIGINT" << QVariant(std::numeric_limits<qint64>::max()) << true;
        QTest::newRow("int8 smallest") << "BIGINT" << QVariant(std::numeric_limits<qint64>::min()) << true;
        QTest::newRow("int4") << "INTEGER" << QVariant(-70000) << true;
        QTest::newRow("float8 tenth") << "DOUBLE PRECISION" << QVariant(0.1) << true;
        QTest::newRow("float8 huge") << "DOUBLE PRECISION" << QVariant(1e20) << true;
        QTest::newRow("float8 long integer") << "DOUBLE PRECISION" << QVariant(1234567890123456789.0) << true;
        QTest::newRow("float8 tiny") << "DOUBLE PRECISION" << QVariant(-1.5e-7) << true;
        QTest::newRow("numeric price") << "NUMERIC" << QVariant(QStringLiteral("1299.00")) << true;
        QTest::newRow("numeric long") << "NUMERIC" << QVariant(QStringLiteral("12345678901234567890.125")) << true;
        QTest::newRow("bytea text") << "BYTEA" << QVariant(QByteArray("Dell's \xc3\xbc")) << false;
        QTest::newRow("bytea binary") << "BYTEA" << QVariant(QByteArray("\x00\xff\x01", 3)) << false;
        // Yes/no columns hold 1/0; an expression still gives a boolean, shown as 1 all the same.
        QTest::newRow("boolean") << "BOOLEAN" << QVariant(QStringLiteral("true")) << true;
    }
    void serverCellsMatchGeneralPath() {
        if (!TestServer::onServer())
            QSKIP("KAVREL_TEST_SERVER names no server");
        QFETCH(QString, type);
        QFETCH(QVariant, value);
        QFETCH(bool, numeric);
        Database& db = *m_ctx->db;
        Query(db, QStringLiteral("CREATE TABLE Cells (Id BIGINT GENERATED ALWAYS AS IDENTITY, Value %1)").arg(type))
            .exec();
        Query(db, QStringLiteral("INSERT INTO Cells (Value) VALUES (?)")).exec({value});
        Query(db, QStringLiteral("INSERT INTO Cells (Value) VALUES (NULL)")).exec();
        // The value also travels as a parameter, and comes back the same way.
        const QString sql = QStringLiteral("SELECT Id, Value, ? AS Sent FROM Cells WHERE Id > ? ORDER BY Id");
        const QVariantList values = {value, 0};
        const PackedRows general = readPackedRows(db, sql, values, ReadPath::General);
        PackedRows direct;
        const QSqlError error = PostgresReader::read(libpqOf(db), sql, values, direct);
        QVERIFY2(!error.isValid(), qPrintable(error.text()));
        QCOMPARE(dump(direct), dump(general));
        QCOMPARE(direct.rowCount(), 2);
        QCOMPARE(direct.isNull(0, 1), value.isNull());
        QVERIFY(direct.isNull(1, 1));

        const PackedRows engine = readPackedRows(db, sql, values);
        QCOMPARE(dump(engine), dump(general));
        QCOMPARE(engine.order(0), ColumnOrder::Numeric); // only the libpq path knows the types
        QCOMPARE(engine.order(1), numeric ? ColumnOrder::Numeric : ColumnOrder::Unknown);
    }

    // The reader shares the driver's connection: it sees the open transaction's writes, gives way to a query still
    // fetching, and reports the server's error with its SQLSTATE.
    void serverReadSharesTheConnection() {
        if (!TestServer::onServer())
            QSKIP("KAVREL_TEST_SERVER names no server");
        Database& db = *m_ctx->db;
        Query(db, QStringLiteral("CREATE TABLE Numbers (N BIGINT)")).exec();
        db.transaction([&] {
            Query(db, QStringLiteral("INSERT INTO Numbers (N) SELECT generate_series(1, 1000)")).exec();
            QCOMPARE(readPackedRows(db, QStringLiteral("SELECT COUNT(*) FROM Numbers")).text(0, 0),
                     QStringLiteral("1000"));
        });

        // A forward-only query of the driver's own still fetching holds the connection; the list reads through QtSql.
        QSqlQuery fetching(db.connection());
        fetching.setForwardOnly(true);
        QVERIFY(fetching.exec(QStringLiteral("SELECT N FROM Numbers ORDER BY N")));
        QVERIFY(fetching.next());
        const PackedRows rows = readPackedRows(db, QStringLiteral("SELECT N FROM Numbers WHERE N > ?"), {998});
        QCOMPARE(dump(rows), QStringList({"999", "1000"}));
        fetching.finish();

        PackedRows none;
        const QSqlError error =
            PostgresReader::read(libpqOf(db), QStringLiteral("SELECT * FROM NoSuchTable WHERE N = ?"), {1}, none);
        QCOMPARE(error.nativeErrorCode(), QStringLiteral("42P01"));
        QCOMPARE(error.databaseText(), QStringLiteral("relation \"nosuchtable\" does not exist"));
        try {
            readPackedRows(db, QStringLiteral("SELECT 1 / (N - 5) FROM Numbers"));
            QFAIL("a division by zero read without an error");
        } catch (const DataError& e) {
            QVERIFY2(e.text().startsWith("Kavrel could not read or change the data in the database") &&
                         e.text().endsWith("\n\nThe database engine reported: division by zero"),
                     qPrintable(e.text()));
        }
        // The connection is usable after the error.
        QCOMPARE(readPackedRows(db, QStringLiteral("SELECT MAX(N) FROM Numbers")).text(0, 0), QStringLiteral("1000"));
    }

private:
    std::unique_ptr<TestContext> m_ctx;
    qint64 m_loc = 0;
};

QTEST_GUILESS_MAIN(TestPackedRows)
#include "tst_packedrows.moc"
