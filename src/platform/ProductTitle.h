#pragma once

#include <QString>

// Begins every window caption and titles message boxes that name no title of their own.
inline const QString kProductTitle = QStringLiteral("Kavrel");

// A window's caption: the product title, one blank, the window's own text.
inline QString captionFor(const QString& text) {
    return kProductTitle + QLatin1Char(' ') + text;
}
