#pragma once

#include "platform/Printer.h"

#include <QFont>
#include <QStringList>

// What every printer shares: how text splits into printed lines, the scales, and the font it names.
QStringList printedLines(const QString& text);
double unitsPerInch(Printer::ScaleMode mode);
QFont toQFont(const PrintFont& font);
