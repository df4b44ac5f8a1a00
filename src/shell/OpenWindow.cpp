#include "shell/OpenWindow.h"

void reportTooManyWindows(AppContext& ctx, QWidget* parent) {
    ctx.dialogs->message(parent, kOutOfMemoryText + QLatin1Char('\n') + QStringLiteral("Too Many windows are currently open"));
}
