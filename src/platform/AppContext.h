#pragma once

#include <functional>
#include <memory>

class Clock;
class Database;
class Dialogs;
class Navigator;
class Printer;
class Registry;
class Shell;
class WindowHost;

// The services a window needs, handed to its constructor so that tests can build any window with fakes.
struct AppContext {
    Database* db = nullptr;
    Dialogs* dialogs = nullptr;
    Shell* shell = nullptr;
    Clock* clock = nullptr;
    Registry* registry = nullptr;
    WindowHost* windows = nullptr;
    Navigator* navigator = nullptr; // opens the windows of other subsystems
    std::function<std::unique_ptr<Printer>()> newPrinter;
    // Ends the application at once.
    std::function<void()> endApplication;
};
