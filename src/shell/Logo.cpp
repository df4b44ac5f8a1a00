#include "shell/Logo.h"

#include <QPainter>

QPixmap kavrelLogo(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double u = size / 16.0;
    // A monitor on its stand, with a tag on the screen.
    p.setBrush(QColor(40, 70, 120));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1 * u, 2 * u, 14 * u, 9.5 * u), u, u);
    p.setBrush(QColor(120, 180, 230));
    p.drawRect(QRectF(2 * u, 3 * u, 12 * u, 7.5 * u));
    p.setBrush(QColor(40, 70, 120));
    p.drawRect(QRectF(7 * u, 11.5 * u, 2 * u, 2 * u));
    p.drawRoundedRect(QRectF(4 * u, 13.5 * u, 8 * u, 1.5 * u), 0.5 * u, 0.5 * u);
    p.setBrush(QColor(250, 200, 60));
    p.drawRoundedRect(QRectF(5 * u, 5 * u, 6 * u, 3.5 * u), 0.6 * u, 0.6 * u);
    return pixmap;
}
