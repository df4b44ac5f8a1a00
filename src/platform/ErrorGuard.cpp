#include "platform/ErrorGuard.h"

void showFailure(Dialogs& dialogs, QWidget* parent, const QString& text) {
    dialogs.message(parent, text, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}
