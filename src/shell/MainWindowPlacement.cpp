#include "shell/MainWindowPlacement.h"

#include "platform/Registry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace {

struct Placement {
    QRect geometry;
    bool maximised = false;
};

// "left,top,width,height,maximised"
std::optional<Placement> readPlacement(const Registry& registry) {
    const std::optional<QString> text = registry.readText(Registry::Root::CurrentUser, kPlacementKey, kPlacementValue);
    if (!text)
        return std::nullopt;
    const QStringList parts = text->split(QLatin1Char(','));
    if (parts.size() != 5)
        return std::nullopt;
    int numbers[5];
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (numbers[2] <= 0 || numbers[3] <= 0)
        return std::nullopt;
    return Placement{QRect(numbers[0], numbers[1], numbers[2], numbers[3]), numbers[4] != 0};
}

// The screen showing the middle of the window's top edge, where its title bar is: without it the user could not
// move the window back.
QScreen* screenHolding(const QRect& geometry) {
    const QPoint titleBar(geometry.center().x(), geometry.top());
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(titleBar))
            return screen;
    return nullptr;
}

} // namespace

QRect defaultMainWindowGeometry(const QRect& available) {
    QRect geometry(QPoint(0, 0), available.size() * 0.88);
    geometry.moveCenter(available.center());
    return geometry;
}

void restoreMainWindowPlacement(QWidget* main, const Registry& registry) {
    const std::optional<Placement> kept = readPlacement(registry);
    QScreen* screen = kept ? screenHolding(kept->geometry) : nullptr;
    if (!screen) {
        if (QScreen* primary = QGuiApplication::primaryScreen())
            main->setGeometry(defaultMainWindowGeometry(primary->availableGeometry()));
        return;
    }
    const QRect available = screen->availableGeometry();
    QRect geometry = kept->geometry;
    geometry.setSize(geometry.size().boundedTo(available.size()));
    main->setGeometry(geometry);
    if (kept->maximised)
        main->setWindowState(main->windowState() | Qt::WindowMaximized);
}

void saveMainWindowPlacement(const QWidget* main, Registry& registry) {
    // A maximised window keeps the place it returns to when restored.
    const QRect geometry = main->isMaximized() ? main->normalGeometry() : main->geometry();
    if (!geometry.isValid())
        return;
    const QString text = QStringLiteral("%1,%2,%3,%4,%5")
                             .arg(geometry.left())
                             .arg(geometry.top())
                             .arg(geometry.width())
                             .arg(geometry.height())
                             .arg(main->isMaximized() ? 1 : 0);
    registry.writeText(Registry::Root::CurrentUser, kPlacementKey, kPlacementValue, text);
}
