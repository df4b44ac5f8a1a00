#include "platform/WindowHost.h"

#include <QApplication>
#include <QWidget>

void WindowHost::closeAll() {
    for (QWidget* window : openWindows())
        window->close();
}

QList<QWidget*> DesktopWindowHost::openWindows() const {
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            windows << w;
    return windows;
}

QWidget* DesktopWindowHost::activeWindow() const {
    return QApplication::activeWindow();
}

void DesktopWindowHost::activate(QWidget* window) {
    window->raise();
    window->activateWindow();
}

void DesktopWindowHost::show(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}
