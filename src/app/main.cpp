#include "data/Database.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/DesktopRegistry.h"
#include "platform/Dialogs.h"
#include "platform/PainterPrinter.h"
#include "platform/ProductTitle.h"
#include "platform/Shell.h"
#include "platform/WindowHost.h"
#include "shell/Logo.h"
#include "shell/frmLogin.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QStandardPaths>
#include <memory>

namespace {
struct Options {
    QString dataDir;
    int windowLimit = 0; // 0 keeps the default
};

// The application's own directory, unless the program is installed where it may not write (/usr/local/bin): then
// the user's data location (~/.local/share/Kavrel).
QString defaultDataDir() {
    const QString appDir = QCoreApplication::applicationDirPath();
    return QFileInfo(appDir).isWritable() ? appDir : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

// --data-dir wins over KAVREL_DATA_DIR, which wins over the default.
Options parseOptions(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Keeps an organisation's equipment and its locations."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption dataDir(QStringLiteral("data-dir"),
                               QStringLiteral("Keep Inventory.mdb and Kavrel.mdb in <dir>."), QStringLiteral("dir"));
    QCommandLineOption windowLimit(QStringLiteral("window-limit"),
                                   QStringLiteral("Allow at most <n> windows open at once."), QStringLiteral("n"));
    parser.addOption(dataDir);
    parser.addOption(windowLimit);
    parser.process(app);
    Options options;
    const QString fromEnvironment = qEnvironmentVariable("KAVREL_DATA_DIR");
    if (parser.isSet(dataDir))
        options.dataDir = parser.value(dataDir);
    else
        options.dataDir = fromEnvironment.isEmpty() ? defaultDataDir() : fromEnvironment;
    options.windowLimit = parser.value(windowLimit).toInt();
    return options;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kProductTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("kavrel")); // ties the windows to kavrel.desktop
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addPixmap(kavrelLogo(size));
    QApplication::setWindowIcon(icon);
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(KAVREL_VERSION_MAJOR).arg(KAVREL_VERSION_MINOR).arg(KAVREL_VERSION_PATCH));
    const Options options = parseOptions(app);
    const QString& dir = options.dataDir;

    std::unique_ptr<Database> db;
    try {
        db = std::make_unique<Database>(dir);
    } catch (const DataError& e) {
        QMessageBox::critical(nullptr, kProductTitle, e.text());
        return 1;
    }

    DesktopDialogs dialogs;
    DesktopShell shell;
    SystemClock clock;
    DesktopRegistry registry;
    DesktopWindowHost desktop;
    if (options.windowLimit > 0)
        desktop.setWindowLimit(options.windowLimit);
    AppContext ctx;
    ctx.db = db.get();
    ctx.dialogs = &dialogs;
    ctx.shell = &shell;
    ctx.clock = &clock;
    ctx.registry = &registry;
    ctx.windows = &desktop;
    ctx.newPrinter = [&dir, &shell, &dialogs]() -> std::unique_ptr<Printer> {
        return std::make_unique<PainterPrinter>(dir, shell, dialogs);
    };
    ctx.endApplication = [] { QCoreApplication::exit(0); };

    frmLogin login(ctx);
    try {
        if (login.load())
            login.show();
    } catch (const DataError& e) {
        QMessageBox::critical(nullptr, kProductTitle, e.text());
        return 1;
    }
    return app.exec();
}
