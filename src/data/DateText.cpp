#include "data/DateText.h"

#include <QList>
#include <QLocale>
#include <QSet>
#include <optional>

namespace DateText {

QString shortFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString toShort(const QDate& date) {
    return QLocale().toString(date, shortFormat());
}

namespace {

// A run of digits or of letters in typed text, with what stood between it and the run before.
struct Token {
    QString text;
    bool number = false;
    bool glued = false;       // nothing at all between it and the run before
    QString separators;       // the separators before it, blanks left out
    bool wordsBefore = false; // a skipped word (a weekday, the locale's "de" or "年") came before it
};

bool isSeparator(QChar c) {
    return c.isSpace() || c == u',' || c == u'.' || c == u'/' || c == u'-';
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isLetter(QChar c) {
    return c.isLetter() || c.isMark();
}

// Splits text into runs; nothing when a character is neither digit, letter nor separator.
std::optional<QList<Token>> tokenize(const QString& text, QString* trailing) {
    QList<Token> tokens;
    QString separators;
    bool glued = true;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (isSeparator(c)) {
            if (!c.isSpace())
                separators += c;
            glued = false;
            ++i;
            continue;
        }
        const bool number = isAsciiDigit(c);
        if (!number && !isLetter(c))
            return std::nullopt;
        qsizetype end = i;
        while (end < text.size() && (number ? isAsciiDigit(text.at(end)) : isLetter(text.at(end))))
            ++end;
        tokens.append({text.mid(i, end - i), number, glued && !tokens.isEmpty(), separators});
        if (tokens.size() == 1 && !glued)
            return std::nullopt; // the date starts with a separator
        separators.clear();
        glued = true;
        i = end;
    }
    *trailing = separators;
    return tokens;
}

bool isOrdinalSuffix(const QString& word) { // 14th
    static const QStringList suffixes = {QStringLiteral("st"), QStringLiteral("nd"), QStringLiteral("rd"),
                                         QStringLiteral("th")};
    return suffixes.contains(word, Qt::CaseInsensitive);
}

QString folded(QString name) {
    return name.remove(u'.').toCaseFolded();
}

QList<QLocale> nameLocales() {
    return {QLocale(), QLocale(QLocale::English)};
}

// Words the locale writes between the parts of a date ("de", "г", "年"): letters outside the d, M and y fields.
QSet<QString> formatWords(const QLocale& locale) {
    QSet<QString> words;
    for (const QString& format : {locale.dateFormat(QLocale::ShortFormat), locale.dateFormat(QLocale::LongFormat)}) {
        QString word;
        bool quoted = false;
        for (const QChar c : format + u' ') {
            if (c == u'\'')
                quoted = !quoted;
            else if (isLetter(c) && (quoted || (c != u'd' && c != u'M' && c != u'y'))) {
                word += c;
                continue;
            }
            if (!word.isEmpty())
                words.insert(folded(word));
            word.clear();
        }
    }
    return words;
}

bool isSkippedWord(const QString& word) {
    const QString key = folded(word);
    if (formatWords(QLocale()).contains(key))
        return true;
    for (const QLocale& locale : nameLocales())
        for (int day = 1; day <= 7; ++day)
            for (const auto form : {QLocale::LongFormat, QLocale::ShortFormat})
                if (folded(locale.dayName(day, form)) == key || folded(locale.standaloneDayName(day, form)) == key)
                    return true;
    return false;
}

// The month a word names, in the locale's language or in English, in full, abbreviated or as the start (three
// letters or more) of one month's name; 0 when it names none or several.
int monthOf(const QString& word) {
    const QString key = folded(word);
    QSet<int> exact;
    QSet<int> starts;
    for (const QLocale& locale : nameLocales())
        for (int month = 1; month <= 12; ++month)
            for (const auto form : {QLocale::LongFormat, QLocale::ShortFormat}) {
                for (const QString& name : {locale.monthName(month, form), locale.standaloneMonthName(month, form)}) {
                    if (folded(name) == key)
                        exact.insert(month);
                    else if (form == QLocale::LongFormat && key.size() >= 3 && folded(name).startsWith(key))
                        starts.insert(month);
                }
            }
    const QSet<int>& found = exact.isEmpty() ? starts : exact;
    return found.size() == 1 ? *found.begin() : 0;
}

// The order of day (d), month (M) and year (y) in the locale's short form. The C locale's short form names the
// month, so its numbers follow the C library's %x (month first).
QString fieldOrder() {
    if (QLocale().language() == QLocale::C)
        return QStringLiteral("Mdy");
    QString order;
    bool quoted = false;
    for (const QChar c : QLocale().dateFormat(QLocale::ShortFormat)) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && (c == u'd' || c == u'M' || c == u'y') && !order.contains(c))
            order += c;
    }
    return order.size() == 3 ? order : QStringLiteral("dMy");
}

// A year typed with two digits is the one in the hundred years from 80 before today's to 19 after: purchases lie
// mostly in the past.
int fullYear(const QString& digits, const QDate& today) {
    const int year = digits.toInt();
    if (digits.size() == 4)
        return year;
    const int first = today.year() - 80;
    return first + ((year - first) % 100 + 100) % 100;
}

QDate makeDate(const QString& day, int month, const QString& year, const QDate& today) {
    if (day.size() > 2 || (year.size() != 2 && year.size() != 4))
        return {};
    return QDate(fullYear(year, today), month, day.toInt());
}

QDate parseParts(const QString& text, const QDate& today) {
    QString trailing;
    const std::optional<QList<Token>> tokens = tokenize(text, &trailing);
    if (!tokens || (!trailing.isEmpty() && trailing != QLatin1String(".")))
        return {};
    QList<Token> numbers;
    int month = 0;
    bool wordsBefore = false;
    for (qsizetype i = 0; i < tokens->size(); ++i) {
        const Token& t = tokens->at(i);
        if (t.number) {
            numbers.append(t);
            numbers.last().wordsBefore = wordsBefore;
            wordsBefore = false;
        } else if (t.glued && tokens->at(i - 1).number && isOrdinalSuffix(t.text)) {
            continue;
        } else if (isSkippedWord(t.text)) {
            wordsBefore = true;
        } else if (month != 0 || (month = monthOf(t.text)) == 0) {
            return {};
        }
    }

    if (month != 0) {
        if (numbers.size() != 2)
            return {};
        const QString& a = numbers[0].text;
        const QString& b = numbers[1].text;
        const QString order = fieldOrder();
        const bool dayFirst = a.size() == 4 ? false : b.size() == 4 || order.indexOf(u'd') < order.indexOf(u'y');
        return dayFirst ? makeDate(a, month, b, today) : makeDate(b, month, a, today);
    }

    if (numbers.size() != 3)
        return {};
    const QString between = numbers[1].separators;
    const bool sameSeparator =
        between == numbers[2].separators &&
        (between == QLatin1String("/") || between == QLatin1String("-") || between == QLatin1String("."));
    if (!sameSeparator && !(numbers[1].wordsBefore && numbers[2].wordsBefore))
        return {};
    // A four-digit first number is a year, as in ISO's yyyy-mm-dd.
    const QString order = numbers[0].text.size() == 4 ? QStringLiteral("yMd") : fieldOrder();
    const QString& day = numbers[order.indexOf(u'd')].text;
    const QString& monthDigits = numbers[order.indexOf(u'M')].text;
    if (monthDigits.size() > 2)
        return {};
    return makeDate(day, monthDigits.toInt(), numbers[order.indexOf(u'y')].text, today);
}

} // namespace

QDate parse(const QString& text, const QDate& today) {
    const QString trimmed = text.trimmed();
    const QDate date = parseParts(trimmed, today);
    // The locale's long form as it shows it, for scripts that glue words to numbers (2026年3月14日土曜日).
    return date.isValid() ? date : QLocale().toDate(trimmed, QLocale::LongFormat);
}

QString toStored(const QDate& date) {
    return date.toString(Qt::ISODate);
}

QString display(const QVariant& stored) {
    if (stored.isNull())
        return {};
    const QString text = stored.toString();
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() ? toShort(date) : text;
}

} // namespace DateText
