#pragma once

#include "data/DataError.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"

#include <QString>
#include <exception>
#include <new>

class QWidget;

// Shows a failure's text in a message box titled with the product title; the window stays open.
void showFailure(Dialogs& dialogs, QWidget* parent, const QString& text);

// Tells that another copy keeps the data locked (what, in plain words) and asks whether to try again.
bool askToRetry(Dialogs& dialogs, QWidget* parent, const QString& what);

// Tells that the connection to the server was lost (what, in plain words) and asks whether to connect again.
bool askToReconnect(Dialogs& dialogs, QWidget* parent, const QString& what);

// Runs an event handler that touches data or the printer. A failure is shown to the user and never crosses the
// event loop; any transaction has already rolled back. After a lost connection the user may retry: the handler
// runs again from the start on a new connection. Returns false when fn failed.
template <typename Fn> bool guarded(Dialogs& dialogs, QWidget* parent, Fn&& fn) {
    for (;;) {
        try {
            fn();
            return true;
        } catch (const DataError& e) {
            if (e.lost()) {
                if (askToReconnect(dialogs, parent, e.text()))
                    continue;
            } else {
                showFailure(dialogs, parent, e.text());
            }
        } catch (const std::bad_alloc&) {
            showFailure(dialogs, parent, QStringLiteral("There was not enough memory to finish this."));
        } catch (const std::exception& e) {
            showFailure(dialogs, parent, QString::fromUtf8(e.what()));
        }
        return false;
    }
}
