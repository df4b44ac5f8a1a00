#include "data/CellText.h"
#include "data/Database.h"
#include "data/PackedReader.h"
#include "support/TestContext.h"

#include <QTest>
#include <memory>

// A value of each type an engine hands over must make one cell text, whichever way the rows were read: QtSql, or
// the engine's own handle (SQLite's C API on the files, libpq on a server).
class tst_CellText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_ctx = std::make_unique<TestContext>(); }
    void cleanupTestCase() { m_ctx.reset(); }

    void oneTextOnEveryPath_data() {
        QTest::addColumn<QString>("sql");       // the value, on both engines unless serverSql says otherwise
        QTest::addColumn<QString>("serverSql"); //
        QTest::addColumn<QVariant>("text");     // invalid for Null
        QTest::addColumn<bool>("number");       // the engine path knows it sorts as a number
        const auto row = [](const char* name, const char* sql, const char* text, bool number,
                            const char* serverSql = "") {
            QTest::newRow(name) << QString::fromUtf8(sql) << QString::fromUtf8(serverSql)
                                << QVariant(QString::fromUtf8(text)) << number;
        };
        row("integer", "42", "42", true);
        row("integer largest", "9223372036854775807", "9223372036854775807", true);
        row("integer negative", "-70000", "-70000", true);
        row("real whole", "1299.0", "1299", true);
        row("real tenth", "0.1", "0.1", true);
        row("real large", "1e20", "1e+20", true);
        row("real small", "-1.5e-7", "-1.5e-07", true);
        row("real past the exact integers", "1234567890123456789.0", "1234567890123456800", true);
        row("double precision", "CAST(0.1 AS DOUBLE PRECISION)", "0.1", true);
        row("single precision", "CAST(0.1 AS REAL)", "0.1", true);
        row("numeric price", "CAST('1299.00' AS NUMERIC)", "1299", true);
        row("numeric fraction", "CAST('12.50' AS NUMERIC)", "12.5", true);
        row("numeric long", "CAST('12345678901234567890.125' AS NUMERIC)", "12345678901234567000", true);
        row("text", "'Müller & Söhne 日本電気 😀'", "Müller & Söhne 日本電気 😀", false);
        row("text apostrophes", "'O''Brien''s'", "O'Brien's", false);
        row("text empty", "''", "", false);
        row("text of digits", "'007'", "007", false);
        row("blob", "X'446f6e27'", "Don'", false, "CAST('\\x446f6e27' AS BYTEA)");
        row("blob empty", "X''", "", false, "CAST('' AS BYTEA)");
        // Dates are ISO text on the files; a server's own dates read the same.
        row("date", "'2026-03-14'", "2026-03-14", false, "DATE '2026-03-14'");
        // A comparison is an integer on the files and a boolean on a server; both show as yes/no columns do.
        row("boolean true", "1 = 1", "1", true);
        row("boolean false", "1 = 2", "0", true);
        QTest::newRow("null") << QStringLiteral("NULL") << QString() << QVariant() << false;
    }
    void oneTextOnEveryPath() {
        QFETCH(QString, sql);
        QFETCH(QString, serverSql);
        QFETCH(QVariant, text);
        QFETCH(bool, number);
        const Database& db = *m_ctx->db;
        const QString select =
            QStringLiteral("SELECT ") + (m_ctx->onServer() && !serverSql.isEmpty() ? serverSql : sql);
        const PackedRows engine = readPackedRows(db, select, {}, ReadPath::Engine);
        const PackedRows general = readPackedRows(db, select, {}, ReadPath::General);
        for (const PackedRows* rows : {&engine, &general}) {
            QCOMPARE(rows->rowCount(), 1);
            QCOMPARE(rows->isNull(0, 0), text.isNull());
            QCOMPARE(rows->text(0, 0), text.toString());
        }
        // Only the engine path knows the types: it was the one taken.
        if (!text.isNull())
            QCOMPARE(engine.order(0), number ? ColumnOrder::Numeric : ColumnOrder::Unknown);
    }

    // A value handed over as a QVariant, as a store's own query reads it, shows the same way.
    void variantsOfEachType_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << QVariant(qint64(-70000)) << "-70000";
        QTest::newRow("real whole") << QVariant(1299.0) << "1299";
        QTest::newRow("real long") << QVariant(1234567890123456789.0) << "1234567890123456800";
        QTest::newRow("real not a number") << QVariant(qQNaN()) << "nan";
        QTest::newRow("boolean") << QVariant(true) << "1";
        QTest::newRow("bytes") << QVariant(QByteArray("Dell's \xc3\xbc")) << "Dell's ü";
        QTest::newRow("date") << QVariant(QDate(2026, 3, 14)) << "2026-03-14";
        QTest::newRow("text") << QVariant(QStringLiteral("&nbsp;")) << "&nbsp;";
    }
    void variantsOfEachType() {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(CellText::of(value), text);
    }

private:
    std::unique_ptr<TestContext> m_ctx;
};

QTEST_GUILESS_MAIN(tst_CellText)
#include "tst_celltext.moc"
