#include "shell/ShellNavigator.h"

#include "locations/ui/frmCreateLocation.h"
#include "platform/OpenWindow.h"
#include "shell/MainMenu.h"

void ShellNavigator::fillMenuBar(QMenuBar* bar, QWidget* owner, Menu variant) {
    buildMainMenu(bar, m_ctx, owner, variant);
}

bool ShellNavigator::createLocation(QWidget* owner) {
    return openWindow<frmCreateLocation>(m_ctx, owner) != nullptr;
}
