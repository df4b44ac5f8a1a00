#pragma once

class QWidget;

// Window geometry given in twips (1440 per inch) converts at the screen's logical DPI.
namespace Twips {
int toPixelsX(double twips, const QWidget* widget = nullptr);
int toPixelsY(double twips, const QWidget* widget = nullptr);
// Fixes a window's size so that the user cannot change it.
void setFixedSize(QWidget* window, int widthTwips, int heightTwips);
} // namespace Twips
