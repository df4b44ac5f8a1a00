#include "data/CsvReader.h"
#include "data/CsvWriter.h"
#include "data/DataError.h"

#include <QBuffer>
#include <QTest>

using Records = QList<QStringList>;

namespace {
Records readAll(const QByteArray& bytes, QChar* separator = nullptr) {
    CsvReader reader(bytes);
    if (separator)
        *separator = reader.separator();
    Records records;
    QStringList fields;
    while (reader.next(fields))
        records << fields;
    return records;
}
} // namespace

class tst_CsvReader : public QObject {
    Q_OBJECT
private slots:
    void records_data();
    void records();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void readsBackWhatTheWriterWrote();
    void countsRecordsNotLines();
};

void tst_CsvReader::records_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<Records>("expected");
    QTest::newRow("plain, CRLF") << QByteArray("a,b\r\n1,2\r\n") << "," << Records{{"a", "b"}, {"1", "2"}};
    QTest::newRow("LF, no last line end") << QByteArray("a,b\n1,2") << "," << Records{{"a", "b"}, {"1", "2"}};
    QTest::newRow("lone CR") << QByteArray("a\r1\r") << "," << Records{{"a"}, {"1"}};
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFSerial,Type\r\nX1,PC\r\n") << ","
                                     << Records{{"Serial", "Type"}, {"X1", "PC"}};
    QTest::newRow("quoted comma and quote") << QByteArray("a,b\n\"Austin, TX\",\"19\"\" monitor\"\n") << ","
                                            << Records{{"a", "b"}, {"Austin, TX", "19\" monitor"}};
    QTest::newRow("line breaks inside") << QByteArray("a,b\n\"one\r\ntwo\",\"x\ny\"\nlast,row\n") << ","
                                        << Records{{"a", "b"}, {"one\r\ntwo", "x\ny"}, {"last", "row"}};
    QTest::newRow("empty fields") << QByteArray("a,b,c\n,,\n\"\",x,\n") << ","
                                  << Records{{"a", "b", "c"}, {"", "", ""}, {"", "x", ""}};
    QTest::newRow("blank line is one empty field") << QByteArray("a\n\nb\n") << "," << Records{{"a"}, {""}, {"b"}};
    QTest::newRow("semicolons") << QByteArray("Serial;Price\nX1;1,50\n") << ";"
                                << Records{{"Serial", "Price"}, {"X1", "1,50"}};
    QTest::newRow("semicolons, quoted semicolon")
        << QByteArray("\"a;b\";c;d\n\"x;y\";1,5;2\n") << ";" << Records{{"a;b", "c", "d"}, {"x;y", "1,5", "2"}};
    // A header of "Name; Notes, more" is one comma against one semicolon: the comma wins the tie.
    QTest::newRow("tie goes to the comma") << QByteArray("a;b,c\n") << "," << Records{{"a;b", "c"}};
    QTest::newRow("commas in quotes do not count")
        << QByteArray("\"a,b,c\";d;e\n") << ";" << Records{{"a,b,c", "d", "e"}};
    QTest::newRow("non-ASCII") << QByteArray("Zürich,東京\n") << "," << Records{{"Zürich", "東京"}};
    QTest::newRow("text after closing quote kept") << QByteArray("\"ab\"c,d\n") << "," << Records{{"abc", "d"}};
    QTest::newRow("stray quote inside unquoted field")
        << QByteArray("19\" monitor,x\n") << "," << Records{{"19\" monitor", "x"}};
    QTest::newRow("spaces kept") << QByteArray(" a , b \n") << "," << Records{{" a ", " b "}};
    QTest::newRow("empty file") << QByteArray() << "," << Records{};
    QTest::newRow("mark only") << QByteArray("\xEF\xBB\xBF") << "," << Records{};
}

void tst_CsvReader::records() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, separator);
    QFETCH(Records, expected);
    QChar found;
    QCOMPARE(readAll(bytes, &found), expected);
    QCOMPARE(QString(found), separator);
}

void tst_CsvReader::refusesWhatItCannotRead_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("quote never closed") << QByteArray("a,b\n1,2\n\"open,3\n4,5\n")
                                        << "Row 3: a quoted field is not closed.";
    QTest::newRow("Latin-1 bytes") << QByteArray("a\nZ\xFCrich\n") << "The file is not UTF-8 text.";
}

void tst_CsvReader::refusesWhatItCannotRead() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    try {
        readAll(bytes);
        QFAIL("read without complaint");
    } catch (const DataError& e) {
        QCOMPARE(e.text(), message);
    }
}

void tst_CsvReader::readsBackWhatTheWriterWrote() {
    // Every awkward cell, the formula guard included, comes back as it went out.
    const QStringList cells = {"plain", "a,b", "19\" monitor", "one\r\ntwo", "x\ny", "",     "=1+2", "-5",     "+1",
                               "@SUM",  "'=1", "''-2",         "'",          "it's", "\t=1", "\r=1", "Zürich", " x "};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer);
    writer.writeRow(cells);
    writer.writeRow({"second"});
    const Records read = readAll(buffer.data());
    QCOMPARE(read.size(), 2);
    QStringList back;
    for (const QString& field : read.front())
        back << CsvReader::cell(field);
    QCOMPARE(back, cells);
    QCOMPARE(read.back(), QStringList{"second"});
}

void tst_CsvReader::countsRecordsNotLines() {
    CsvReader reader("h\n\"a\nb\nc\"\nnext\n");
    QStringList fields;
    QVERIFY(reader.next(fields));
    QVERIFY(reader.next(fields));
    QVERIFY(reader.next(fields));
    QCOMPARE(fields, QStringList{"next"});
    QCOMPARE(reader.record(), 3);
    QVERIFY(!reader.next(fields));
}

QTEST_APPLESS_MAIN(tst_CsvReader)
#include "tst_csvreader.moc"
