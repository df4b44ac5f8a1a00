#include "platform/OpenWindow.h"

void reportTooManyWindows(AppContext& ctx, QWidget* parent, OnTooManyWindows how) {
    if (how == OnTooManyWindows::Report)
        ctx.dialogs->message(parent, kOutOfMemoryText + QLatin1Char('\n') +
                                         QStringLiteral("Too Many windows are currently open"));
    else if (how == OnTooManyWindows::AsFailure)
        showFailure(*ctx.dialogs, parent, kOutOfMemoryText);
}
