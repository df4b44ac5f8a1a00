#include "data/Database.h"
#include "data/LargeValue.h"
#include "support/TestContext.h"

#include <QBuffer>
#include <QTest>

namespace {

// Every byte value, repeated, with a position mark so that a piece written at the wrong offset shows.
QByteArray pattern(qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

LargeValue::Cell newCell(Database& db) {
    Query q(db, QStringLiteral("INSERT INTO LocationAttachments (LocationId, AttachmentsName) VALUES (1, 'a')"));
    q.exec();
    return {QStringLiteral("LocationAttachments"), QStringLiteral("AttachmentsId"), QStringLiteral("Attachments"),
            q.lastInsertId().toLongLong()};
}

} // namespace

class tst_LargeValue : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void nullReadsAsNothing();
    void stoppedWriteLeavesNothing();
    void sourceEndingEarlyFails();
};

void tst_LargeValue::roundTrip_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<LargeValue::Transfer>("how");
    const qint64 piece = LargeValue::kPieceBytes;
    for (const auto& [name, how] :
         {std::pair{"pieces", LargeValue::Transfer::Pieces}, std::pair{"whole", LargeValue::Transfer::Whole}}) {
        QTest::addRow("%s, empty", name) << qint64(0) << how;
        QTest::addRow("%s, one byte", name) << qint64(1) << how;
        QTest::addRow("%s, one piece", name) << piece << how;
        QTest::addRow("%s, three pieces and a bit", name) << 3 * piece + 7 << how;
    }
}

void tst_LargeValue::roundTrip() {
    QFETCH(qint64, size);
    QFETCH(LargeValue::Transfer, how);
    TestContext t;
    const QByteArray original = pattern(size);
    QBuffer source;
    source.setData(original);
    source.open(QIODevice::ReadOnly);
    QList<qint64> steps;
    const LargeValue::Cell cell = newCell(*t.db);
    const bool done = t.db->transaction([&] {
        return LargeValue::write(
            *t.db, cell, source, size,
            [&](qint64 d, qint64 total) {
                steps << d;
                return total == size;
            },
            how);
    });
    QVERIFY(done);
    QCOMPARE(steps.last(), size);

    const QVariant stored =
        Query(*t.db, "SELECT Attachments FROM LocationAttachments WHERE AttachmentsId = ?").scalar({cell.row});
    QVERIFY(!stored.isNull()); // an empty file is an empty value, not a missing one
    QCOMPARE(stored.toByteArray().size(), size);

    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    QVERIFY(LargeValue::read(*t.db, cell, sink, {}, how));
    QVERIFY(sink.data() == original);
}

void tst_LargeValue::nullReadsAsNothing() {
    TestContext t;
    const LargeValue::Cell cell = newCell(*t.db);
    for (const auto how : {LargeValue::Transfer::Pieces, LargeValue::Transfer::Whole}) {
        QBuffer sink;
        sink.open(QIODevice::WriteOnly);
        QVERIFY(LargeValue::read(*t.db, cell, sink, {}, how));
        QCOMPARE(sink.size(), 0);
    }
}

void tst_LargeValue::stoppedWriteLeavesNothing() {
    TestContext t;
    const QByteArray original = pattern(3 * LargeValue::kPieceBytes);
    QBuffer source;
    source.setData(original);
    source.open(QIODevice::ReadOnly);
    try {
        t.db->transaction([&] {
            const LargeValue::Cell cell = newCell(*t.db);
            if (!LargeValue::write(*t.db, cell, source, original.size(), [](qint64 done, qint64) {
                    return done < LargeValue::kPieceBytes; // stops after the first piece
                }))
                throw DataError(QStringLiteral("stopped"));
        });
        QFAIL("the write went on");
    } catch (const DataError& e) {
        QCOMPARE(e.text(), QStringLiteral("stopped"));
    }
    QCOMPARE(Query(*t.db, "SELECT COUNT(*) FROM LocationAttachments").scalar().toInt(), 0);
}

void tst_LargeValue::sourceEndingEarlyFails() {
    TestContext t;
    QBuffer source;
    source.setData(pattern(100));
    source.open(QIODevice::ReadOnly);
    for (const auto how : {LargeValue::Transfer::Pieces, LargeValue::Transfer::Whole}) {
        source.seek(0);
        QVERIFY_THROWS_EXCEPTION(LargeValue::DeviceError, t.db->transaction([&] {
            LargeValue::write(*t.db, newCell(*t.db), source, 101, {}, how);
        }));
    }
    QCOMPARE(Query(*t.db, "SELECT COUNT(*) FROM LocationAttachments").scalar().toInt(), 0);
}

QTEST_GUILESS_MAIN(tst_LargeValue)
#include "tst_largevalue.moc"
