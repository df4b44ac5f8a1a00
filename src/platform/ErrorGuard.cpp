#include "platform/ErrorGuard.h"

void showFailure(Dialogs& dialogs, QWidget* parent, const QString& text) {
    dialogs.message(parent, text, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

bool askToRetry(Dialogs& dialogs, QWidget* parent, const QString& what) {
    const QString text = what + QStringLiteral("\n\nChoose Retry once the other copy has finished, or Cancel to stop.");
    return dialogs.message(parent, text, Dialogs::Buttons::RetryCancel, Dialogs::Icon::Question) ==
           Dialogs::Answer::Retry;
}

bool askToReconnect(Dialogs& dialogs, QWidget* parent, const QString& what) {
    const QString text = what + QStringLiteral("\n\nChoose Retry to connect to the server again, or Cancel to stop.");
    return dialogs.message(parent, text, Dialogs::Buttons::RetryCancel, Dialogs::Icon::Critical) ==
           Dialogs::Answer::Retry;
}
