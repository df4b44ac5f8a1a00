#include "data/DateText.h"
#include "support/LocaleScope.h"

#include <QLocale>
#include <QTest>

namespace {
const QDate kToday(2026, 3, 14);
} // namespace

class tst_DateText : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void twoDigitYears_data();
    void twoDigitYears();
    void readsWhatItShows_data();
    void readsWhatItShows();
};

void tst_DateText::parse_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected"); // invalid: no date

    const QDate pi(2026, 3, 14);
    const QDate none;
    const auto row = [](const char* locale, const char* typed, const QDate& expected) {
        QTest::addRow("%s %s", locale, typed) << QString::fromLatin1(locale) << QString::fromUtf8(typed) << expected;
    };
    // Numbers in the locale's order, with "/", "-" or "." between them.
    row("C", "3/14/2026", pi);
    row("C", "3-14-26", pi);
    row("C", "14/3/2026", none); // no month 14
    row("en_US", "3/14/2026", pi);
    row("en_US", "03.14.2026", pi);
    row("en_US", " 3/14/26 ", pi);
    row("en_GB", "14/3/2026", pi);
    row("en_GB", "14-03-26", pi);
    row("en_GB", "3/14/2026", none);
    row("de_DE", "14.3.2026", pi);
    row("de_DE", "14.03.26", pi);
    row("nl_NL", "14-3-2026", pi);
    row("hu_HU", "2026. 03. 14.", pi);
    row("ja_JP", "26/3/14", pi);
    row("ja_JP", "2026年3月14日", pi);
    // Month names and their abbreviations, in the locale's language and in English.
    row("C", "14 Mar 2026", pi);
    row("en_US", "March 14, 2026", pi);
    row("en_US", "Mar 14 26", pi);
    row("en_US", "march 14th, 2026", pi);
    row("en_US", "Saturday, March 14, 2026", pi);
    row("en_US", "14-Sept-2026", QDate(2026, 9, 14));
    row("en_GB", "14 March 2026", pi);
    row("de_DE", "14. März 2026", pi);
    row("de_DE", "14. March 2026", pi);
    row("fr_FR", "samedi 14 mars 2026", pi);
    row("fr_FR", "14 févr. 2026", QDate(2026, 2, 14));
    row("es_ES", "14 de marzo de 2026", pi);
    row("ru_RU", "14 марта 2026 г.", pi);
    row("nl_NL", "14 mrt 2026", pi);
    row("hu_HU", "2026. március 14.", pi);
    // ISO in every locale.
    row("C", "2026-03-14", pi);
    row("en_GB", "2026-03-14", pi);
    row("de_DE", "2026-3-14", pi);
    // Days that do not exist.
    row("en_US", "2/30/2026", none);
    row("en_US", "2/29/2027", none);
    row("en_US", "2/29/2028", QDate(2028, 2, 29));
    row("en_US", "February 30, 2026", none);
    row("en_US", "2026-02-30", none);
    row("en_US", "0/14/2026", none);
    // Text that is no date.
    row("en_US", "", none);
    row("en_US", "abc", none);
    row("en_US", "3/14", none);
    row("en_US", "March 2026", none);
    row("en_US", "3/14-2026", none); // two different separators
    row("en_US", "3 14 2026", none);
    row("en_US", "3/14/202", none);
    row("en_US", "314/1/2026", none);
    row("en_US", "Ju 14 2026", none); // June or July
    row("en_US", "Marsh 14 2026", none);
    row("en_US", "March April 14 2026", none);
    row("en_US", "/3/14/2026", none);
    row("en_US", "3/14/2026 9:30", none);
    row("en_US", "3/14/2026/", none);
}

void tst_DateText::parse() {
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    LocaleScope scope(locale);
    QCOMPARE(DateText::parse(typed, kToday), expected);
}

void tst_DateText::twoDigitYears_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected");
    // Two digits mean a year from 80 before today's to 19 after.
    QTest::newRow("19 years ahead") << kToday << "1/2/45" << QDate(2045, 1, 2);
    QTest::newRow("80 years back") << kToday << "1/2/46" << QDate(1946, 1, 2);
    QTest::newRow("last century") << kToday << "1/2/99" << QDate(1999, 1, 2);
    QTest::newRow("this century") << kToday << "Jan 2, 00" << QDate(2000, 1, 2);
    QTest::newRow("later clock") << QDate(2090, 6, 1) << "1/2/09" << QDate(2109, 1, 2);
    QTest::newRow("later clock, back") << QDate(2090, 6, 1) << "1/2/10" << QDate(2010, 1, 2);
    QTest::newRow("four digits stay") << QDate(2090, 6, 1) << "1/2/1910" << QDate(1910, 1, 2);
}

void tst_DateText::twoDigitYears() {
    QFETCH(QDate, today);
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    LocaleScope scope(QStringLiteral("en_US"));
    QCOMPARE(DateText::parse(typed, today), expected);
}

void tst_DateText::readsWhatItShows_data() {
    QTest::addColumn<QString>("locale");
    for (const char* name : {"C", "en_US", "en_GB", "de_DE", "fr_FR", "es_ES", "it_IT", "nl_NL", "pl_PL", "pt_BR",
                             "ru_RU", "sv_SE", "hu_HU", "ja_JP", "ko_KR", "zh_CN"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// The short form shows four-digit years; it and the locale's long form read back as the same date.
void tst_DateText::readsWhatItShows() {
    QFETCH(QString, locale);
    LocaleScope scope(locale);
    for (const QDate& date : {QDate(2026, 3, 14), QDate(1999, 12, 31), QDate(2040, 1, 2)}) {
        const QString shown = DateText::toShort(date);
        QVERIFY2(shown.contains(QString::number(date.year())), qPrintable(shown));
        QCOMPARE(DateText::parse(shown, kToday), date);
        QCOMPARE(DateText::parse(QLocale().toString(date, QLocale::LongFormat), kToday), date);
    }
}

QTEST_MAIN(tst_DateText)
#include "tst_datetext.moc"
