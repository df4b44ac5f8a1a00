#pragma once

#include "platform/AppContext.h"

class QMenuBar;
class QWidget;

// The menu bar of the main window. The detail windows carry a copy without the two entries that edit the
// additional-field captions.
enum class MenuVariant { MainWindow, DetailWindow };

void buildMainMenu(QMenuBar* bar, AppContext& ctx, QWidget* owner, MenuVariant variant);
