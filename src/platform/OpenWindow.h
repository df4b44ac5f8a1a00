#pragma once

#include "platform/AppContext.h"
#include "platform/ErrorGuard.h"
#include "platform/WindowHost.h"
#include "platform/WindowKeys.h"

#include <concepts>
#include <functional>

class QWidget;
class ReportList;

// Report: the platform's text and "Too Many windows are currently open". AsFailure: the platform's text alone,
// as any other failure is shown. Ignore: nothing.
enum class OnTooManyWindows { Report, AsFailure, Ignore };

// The platform's description of its error 7, which it raises when no more windows can be created.
inline const QString kOutOfMemoryText = QStringLiteral("Out of memory");

// Shows the message for too many open windows.
void reportTooManyWindows(AppContext& ctx, QWidget* parent, OnTooManyWindows how = OnTooManyWindows::Report);

// A list whose rows open windows: a double click opens the current row's, Enter one for each selected row in list
// order, stopping at the first that does not open. open(row, how) answers whether a window opened.
void opensRowWindows(ReportList* list, const std::function<bool(int row, OnTooManyWindows how)>& open,
                     OnTooManyWindows onDoubleClick, OnTooManyWindows onEnter);

// Lets every list in the window save itself as CSV, asking through the context's dialogs.
void offerListExport(QWidget* window, AppContext& ctx);

// Opens a new window of class W: creates it, lets setup set its members, loads it (when W has load()) and shows
// it modeless in the window host, answering Enter and Esc as every window does. Returns nullptr when nothing opened:
// too many windows are open (reported unless told otherwise), its load failed (reported) or its load declined.
template <typename W, typename Setup>
W* openWindow(AppContext& ctx, QWidget* parent, Setup&& setup, OnTooManyWindows onTooMany = OnTooManyWindows::Report) {
    if (!ctx.windows->hasRoomForAnother()) {
        reportTooManyWindows(ctx, parent, onTooMany);
        return nullptr;
    }
    W* window = nullptr;
    bool opened = false;
    guarded(*ctx.dialogs, parent, [&] {
        window = new W(ctx);
        setup(*window);
        // A window whose load() answers false has dealt with its own failure and does not stay.
        if constexpr (requires(W & w) {
                          { w.load() } -> std::same_as<bool>;
                      })
            opened = window->load();
        else if constexpr (requires(W & w) { w.load(); }) {
            window->load();
            opened = true;
        } else {
            opened = true;
        }
    });
    if (!opened) {
        delete window;
        return nullptr;
    }
    offerListExport(window, ctx);
    answerWindowKeys(window);
    ctx.windows->show(window);
    return window;
}

template <typename W>
W* openWindow(AppContext& ctx, QWidget* parent, OnTooManyWindows onTooMany = OnTooManyWindows::Report) {
    return openWindow<W>(
        ctx, parent, [](W&) {}, onTooMany);
}
