#include "data/CellText.h"

#include <QLocale>
#include <cmath>

namespace CellText {

QByteArray real(double value) {
    if (std::isnan(value))
        return QByteArrayLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("inf") : QByteArrayLiteral("-inf");
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray boolean(bool value) {
    return value ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
}

QString bytes(const QByteArray& value) {
    return QString::fromUtf8(value);
}

QString of(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::fromLatin1(real(value.toDouble()));
    case QMetaType::Bool:
        return QString::fromLatin1(boolean(value.toBool()));
    case QMetaType::QByteArray:
        return bytes(value.toByteArray());
    default:
        return value.toString();
    }
}

} // namespace CellText
