#pragma once

#include "data/Database.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/WindowHost.h"
#include "shell/ShellNavigator.h"
#include "support/RecordingPrinter.h"
#include "support/ScriptedDialogs.h"
#include "support/TestServer.h"

#include <QMap>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

// A clock whose time moves only when told, or by a fixed step at every reading of seconds().
class FakeClock : public Clock {
public:
    QDateTime current = QDateTime(QDate(2026, 3, 14), QTime(9, 30));
    double secondsNow = 0;
    double stepPerReading = 0;
    mutable int readings = 0;

    QDateTime now() const override { return current; }
    double seconds() const override;
};

class FakeShell : public Shell {
public:
    QStringList opened;
    QStringList started;
    bool succeed = true;
    bool openFile(const QString& path) override;
    bool startProgram(const QString& path, const QStringList& arguments) override;
};

class FakeRegistry : public Registry {
public:
    QMap<QString, Value> values; // key: keyName + "|" + valueName
    void set(const QString& keyName, const QString& valueName, const Value& value) {
        values[keyName + QLatin1Char('|') + valueName] = value;
    }
    std::optional<Value> read(Root root, const QString& keyName, const QString& valueName) const override;
    bool write(Root, const QString& keyName, const QString& valueName, const Value& value) override {
        set(keyName, valueName, value);
        return true;
    }
};

// Shows windows top-level, like the desktop, but counts only the windows it was given.
class TestWindowHost : public WindowHost {
public:
    ~TestWindowHost() override;
    QList<QPointer<QWidget>> shown;
    int openWindowCount() const override { return static_cast<int>(openWindows().size()); }
    void show(QWidget* window) override;
    QList<QWidget*> openWindows() const override;
    QWidget* activeWindow() const override { return m_active; }
    void activate(QWidget* window) override { m_active = window; }
    QStringList statuses; // every showStatus, in order
    void showStatus(const QString& text) override { statuses << text; }

    // The most recent open window of class W, or nullptr.
    template <typename W> W* last() const {
        for (auto it = shown.crbegin(); it != shown.crend(); ++it)
            if (auto* w = qobject_cast<W*>(it->data()))
                return w;
        return nullptr;
    }

private:
    QPointer<QWidget> m_active;
};

// A fresh data directory with both database files and every service replaced by a test double. With a test server
// (KAVREL_TEST_SERVER), the data lives in a fresh database of its own there instead, and the folder keeps only this
// workstation's temporary files.
class TestContext {
public:
    TestContext();
    ~TestContext();

    QString dataDir() const { return m_dir.path(); }
    bool onServer() const { return m_server != nullptr; }
    // How db was opened.
    DatabaseOptions options() const;
    // Opens the database again, as a new run of the application would.
    void reopen();
    // Opens the same data as another running copy of Kavrel would: the same files or, on a server, the same database
    // from the workstation named (empty: this one), with a data folder of its own. Safe to call from another thread.
    std::unique_ptr<Database> openAnother(const QString& workstation = QString()) const;

    QTemporaryDir m_dir;
    std::unique_ptr<ServerDatabase> m_server;
    std::unique_ptr<Database> db;
    ScriptedDialogs dialogs;
    FakeClock clock;
    FakeShell shell;
    FakeRegistry registry;
    TestWindowHost windows;
    PrintLog printLog; // what every printer of ctx.newPrinter drew
    int endApplicationCalls = 0;
    AppContext ctx;
    ShellNavigator navigator{ctx};
};
