#include "support/TestContext.h"

#include <QTest>

double FakeClock::seconds() const {
    ++readings;
    const double value = secondsNow;
    const_cast<FakeClock*>(this)->secondsNow += stepPerReading;
    return value;
}

bool FakeShell::openFile(const QString& path) {
    opened << path;
    return succeed;
}

bool FakeShell::startProgram(const QString& path, const QStringList&) {
    started << path;
    return succeed;
}

std::optional<Registry::Value> FakeRegistry::read(Root, const QString& keyName, const QString& valueName) const {
    const auto it = values.find(keyName + QLatin1Char('|') + valueName);
    if (it == values.end())
        return std::nullopt;
    return *it;
}

TestWindowHost::~TestWindowHost() {
    for (const QPointer<QWidget>& w : shown)
        delete w.data();
}

void TestWindowHost::show(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    shown << window;
    m_active = window;
    window->show();
}

QList<QWidget*> TestWindowHost::openWindows() const {
    QList<QWidget*> open;
    for (const QPointer<QWidget>& w : shown)
        if (w && w->isVisible())
            open << w.data();
    return open;
}

TestContext::TestContext() {
    if (!m_dir.isValid())
        qFatal("no temporary directory");
    db = std::make_unique<Database>(m_dir.path());
    ctx.db = db.get();
    ctx.dialogs = &dialogs;
    ctx.clock = &clock;
    ctx.shell = &shell;
    ctx.registry = &registry;
    ctx.windows = &windows;
    ctx.navigator = &navigator;
    ctx.newPrinter = [this]() -> std::unique_ptr<Printer> { return std::make_unique<RecordingPrinter>(printLog); };
    ctx.endApplication = [this] { ++endApplicationCalls; };
}

TestContext::~TestContext() = default;

void TestContext::reopen() {
    db.reset();
    db = std::make_unique<Database>(m_dir.path());
    ctx.db = db.get();
}
