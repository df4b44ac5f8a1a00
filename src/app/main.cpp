#include "data/Database.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/DesktopRegistry.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/PainterPrinter.h"
#include "platform/ProductTitle.h"
#include "platform/Shell.h"
#include "platform/WindowHost.h"
#include "shell/Logo.h"
#include "shell/ShellNavigator.h"
#include "shell/StartUp.h"
#include "shell/frmLogin.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>
#include <memory>

// The command line with the environment's defaults.
static StartOptions startOptions(QCommandLineParser& parser) {
    return readStartOptions(parser, QCoreApplication::arguments(), qEnvironmentVariable("KAVREL_DATA_DIR"),
                            defaultDataDir(QCoreApplication::applicationDirPath()),
                            qEnvironmentVariable("KAVREL_DATABASE"));
}

// The copy onto a server runs where there is no screen, so it needs no window system.
static int runCommandLineOnly(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kProductTitle);
    QCommandLineParser parser;
    const StartOptions options = startOptions(parser);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(kProductTitle), qPrintable(options.error));
        return 1;
    }
    return copyFilesToServer(options);
}

int main(int argc, char* argv[]) {
    if (commandLineOnly(argc, argv))
        return runCommandLineOnly(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(kProductTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("kavrel")); // ties the windows to kavrel.desktop
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addPixmap(kavrelLogo(size));
    QApplication::setWindowIcon(icon);
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(KAVREL_VERSION_MAJOR).arg(KAVREL_VERSION_MINOR).arg(KAVREL_VERSION_PATCH));
    DesktopDialogs dialogs;

    QCommandLineParser parser;
    const StartOptions options = startOptions(parser);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!options.error.isEmpty()) {
        reportStartFailure(dialogs, options.error);
        return 1;
    }
    const QString& dir = options.dataDir;

    DatabaseOptions databaseOptions;
    databaseOptions.server = options.server;
    // With no one to answer, a lock held by another copy ends the start like any other failure.
    databaseOptions.busyHandler = [&dialogs](const QString& what) {
        return userCanBeAsked() && askToRetry(dialogs, nullptr, what);
    };
    SystemClock clock;
    const std::unique_ptr<Database> db = openData(dialogs, dir, databaseOptions, clock.now(), userCanBeAsked());
    if (!db)
        return 1;

    DesktopShell shell;
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
    ShellNavigator navigator(ctx);
    ctx.navigator = &navigator;
    ctx.newPrinter = [&dir, &shell, &dialogs]() -> std::unique_ptr<Printer> {
        return std::make_unique<PainterPrinter>(dir, shell, dialogs);
    };
    ctx.endApplication = [] { QCoreApplication::exit(0); };

    frmLogin login(ctx);
    try {
        if (login.load())
            login.show();
    } catch (const DataError& e) {
        reportStartFailure(dialogs, e.text());
        return 1;
    }
    return app.exec();
}
