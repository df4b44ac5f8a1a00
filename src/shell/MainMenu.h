#pragma once

#include "platform/AppContext.h"
#include "platform/Navigator.h"

class QMenuBar;
class QWidget;

// The menu bar of the main window, or the copy a detail window carries.
void buildMainMenu(QMenuBar* bar, AppContext& ctx, QWidget* owner, Navigator::Menu variant);

// Opens a new active location list, as its menu entry does.
void openActiveLocations(AppContext& ctx, QWidget* owner);
