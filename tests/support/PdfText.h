#pragma once

#include <QHash>
#include <QRectF>
#include <QString>

// pdftotext's word boxes on one page of a PDF, in points from the page's top left, keyed by word; the page's own
// size is keyed "". Empty when poppler's pdftotext is not installed.
QHash<QString, QRectF> pdfWords(const QString& path, int page);
