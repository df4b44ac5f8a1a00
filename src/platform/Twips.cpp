#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace {
constexpr double kTwipsPerInch = 1440.0;

QScreen* screenOf(const QWidget* widget) {
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

double dpiX(const QWidget* widget) {
    QScreen* s = screenOf(widget);
    return s ? s->logicalDotsPerInchX() : 96.0;
}

double dpiY(const QWidget* widget) {
    QScreen* s = screenOf(widget);
    return s ? s->logicalDotsPerInchY() : 96.0;
}
} // namespace

namespace Twips {

int toPixelsX(double twips, const QWidget* widget) {
    return static_cast<int>(std::lround(twips * dpiX(widget) / kTwipsPerInch));
}

int toPixelsY(double twips, const QWidget* widget) {
    return static_cast<int>(std::lround(twips * dpiY(widget) / kTwipsPerInch));
}

void setFixedSize(QWidget* window, int widthTwips, int heightTwips) {
    window->setFixedSize(toPixelsX(widthTwips, window), toPixelsY(heightTwips, window));
}

} // namespace Twips
