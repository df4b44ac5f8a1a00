#pragma once

#include "platform/AppContext.h"

class QMenuBar;
class QWidget;

// The menu bar of the main window. The detail windows carry a copy without the two entries that edit the
// additional-field captions.
enum class MenuVariant { MainWindow, DetailWindow };

void buildMainMenu(QMenuBar* bar, AppContext& ctx, QWidget* owner, MenuVariant variant);

// Opens a new active location list, as its menu entry does.
void openActiveLocations(AppContext& ctx, QWidget* owner);

class QMenuBar;

// A child window with a menu bar of its own, which the main window shows in place of its own bar while the
// child is active.
class HasOwnMenuBar {
public:
    virtual ~HasOwnMenuBar() = default;
    virtual QMenuBar* ownMenuBar() const = 0;
};
