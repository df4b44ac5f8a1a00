#pragma once

#include "bench.h"

#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/DesktopRegistry.h"
#include "platform/WindowHost.h"
#include "shell/ShellNavigator.h"

namespace bench {

// What the windows need of the application, with dialogs that end the run.
struct BenchContext {
    explicit BenchContext(Database& db) {
        ctx.db = &db;
        ctx.dialogs = &dialogs;
        ctx.clock = &clock;
        ctx.windows = &windows;
        ctx.registry = &registry;
        ctx.navigator = &navigator;
    }
    FailingDialogs dialogs;
    SystemClock clock;
    DesktopWindowHost windows;
    DesktopRegistry registry;
    AppContext ctx;
    ShellNavigator navigator{ctx};
};

} // namespace bench
