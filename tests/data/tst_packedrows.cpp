#include "data/Database.h"
#include "data/ListColumns.h"
#include "data/PackedReader.h"
#include "data/PackedRows.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QTest>

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
    // any Unicode, integers and reals as QtSql prints them.
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

private:
    std::unique_ptr<TestContext> m_ctx;
    qint64 m_loc = 0;
};

QTEST_GUILESS_MAIN(TestPackedRows)
#include "tst_packedrows.moc"
