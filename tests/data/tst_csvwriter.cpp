#include "data/CsvWriter.h"

#include <QBuffer>
#include <QTest>

class tst_CsvWriter : public QObject {
    Q_OBJECT
private slots:
    void field_data();
    void field();
    void rowsWithMarkAndLineEnds();
    void reportsAFailedWrite();
};

void tst_CsvWriter::field_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << "Depot 7"
                           << "Depot 7";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("comma") << "Austin, TX"
                           << "\"Austin, TX\"";
    QTest::newRow("quote") << "19\" monitor"
                           << "\"19\"\" monitor\"";
    QTest::newRow("only quotes") << "\"\""
                                 << "\"\"\"\"\"\"";
    QTest::newRow("line feed") << "first\nsecond"
                               << "\"first\nsecond\"";
    QTest::newRow("carriage return inside") << "a\r\nb"
                                            << "\"a\r\nb\"";
    QTest::newRow("non-ASCII") << "Zürich ☃ 東京"
                               << "Zürich ☃ 東京";
    QTest::newRow("spaces kept") << "  padded  "
                                 << "  padded  ";
    QTest::newRow("formula =") << "=1+2"
                               << "'=1+2";
    QTest::newRow("formula +") << "+1"
                               << "'+1";
    QTest::newRow("formula -") << "-2+3"
                               << "'-2+3";
    QTest::newRow("formula @") << "@SUM(A1)"
                               << "'@SUM(A1)";
    QTest::newRow("apostrophe before a formula") << "'=1"
                                                 << "''=1";
    QTest::newRow("apostrophe alone") << "'x"
                                      << "'x";
    QTest::newRow("leading tab") << "\t=1"
                                 << "'\t=1";
    QTest::newRow("leading carriage return") << "\r=1"
                                             << "\"'\r=1\"";
    QTest::newRow("formula with comma and quote") << "=HYPERLINK(\"x\",\"y\")"
                                                  << "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\"";
    QTest::newRow("sign later in the cell") << "a=b-c"
                                            << "a=b-c";
}

void tst_CsvWriter::field() {
    QFETCH(QString, cell);
    QFETCH(QString, written);
    QCOMPARE(CsvWriter::field(cell), written);
}

void tst_CsvWriter::rowsWithMarkAndLineEnds() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CsvWriter csv(buffer);
    csv.writeRow({"Name", "City"});
    csv.writeRow({"Café", ""});
    csv.writeRow({});
    QVERIFY(csv.ok());
    QCOMPARE(bytes, QByteArray("\xEF\xBB\xBFName,City\r\nCaf\xC3\xA9,\r\n\r\n"));
}

void tst_CsvWriter::reportsAFailedWrite() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly); // every write fails
    CsvWriter csv(buffer);
    csv.writeRow({"a"});
    QVERIFY(!csv.ok());
}

QTEST_APPLESS_MAIN(tst_CsvWriter)
#include "tst_csvwriter.moc"
