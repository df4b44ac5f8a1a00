#include "support/TestContext.h"

#include <QDir>
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
    if (TestServer::onServer())
        m_server = std::make_unique<ServerDatabase>();
    db = std::make_unique<Database>(m_dir.path(), options());
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

DatabaseOptions TestContext::options() const {
    DatabaseOptions options;
    if (m_server)
        options.server = m_server->uri();
    return options;
}

void TestContext::reopen() {
    db.reset();
    db = std::make_unique<Database>(m_dir.path(), options());
    ctx.db = db.get();
}

std::unique_ptr<Database> TestContext::openAnother(const QString& workstation) const {
    if (!m_server || workstation.isEmpty())
        return std::make_unique<Database>(m_dir.path(), options());
    DatabaseOptions other = options();
    other.workstation = workstation;
    const QString folder = QDir(m_dir.path()).filePath(QStringLiteral("workstation-") + workstation);
    QDir().mkpath(folder);
    return std::make_unique<Database>(folder, other);
}
