#include "platform/PrinterUnits.h"

QStringList printedLines(const QString& text) {
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return normalised.split(QLatin1Char('\n'));
}

double unitsPerInch(Printer::ScaleMode mode) {
    return mode == Printer::ScaleMode::Twips ? 1440.0 : 25.4;
}

QFont toQFont(const PrintFont& f) {
    QFont font(f.name);
    font.setPointSizeF(f.size > 0 ? f.size : 1);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikethrough);
    return font;
}
