#pragma once

#include <QRectF>
#include <QString>
#include <vector>

// A Code 128 bar code as drawn: its bars in module units (one module is the narrowest bar), the quiet zones on
// both sides included in the width, so that scaling the whole to any width keeps the symbol readable.
struct Code128 {
    std::vector<QRectF> bars; // x from the left edge of the left quiet zone; y from 0 to height
    double width = 0;         // modules, quiet zones included
    double height = 0;

    // Encodes text through zint. Throws PrintError naming the text when it cannot be carried: empty, longer than a
    // label can hold, or holding characters a scanner does not type back (only printable ASCII does).
    static Code128 encode(const QString& text);
};
