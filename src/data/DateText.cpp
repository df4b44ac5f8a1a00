#include "data/DateText.h"

#include <QLocale>

namespace DateText {

QString shortFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString toShort(const QDate& date) { return QLocale().toString(date, shortFormat()); }

QDate parse(const QString& text) {
    const QString trimmed = text.trimmed();
    QDate date = QLocale().toDate(trimmed, shortFormat());
    if (!date.isValid()) {
        date = QLocale().toDate(trimmed, QLocale::ShortFormat);
        if (date.isValid() && date.year() < 1950) // two typed digits mean this century or the last
            date = date.addYears(100);
    }
    if (!date.isValid())
        date = QDate::fromString(trimmed, Qt::ISODate);
    return date;
}

QString toStored(const QDate& date) { return date.toString(Qt::ISODate); }

QString display(const QVariant& stored) {
    if (stored.isNull())
        return {};
    const QString text = stored.toString();
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() ? toShort(date) : text;
}

} // namespace DateText
