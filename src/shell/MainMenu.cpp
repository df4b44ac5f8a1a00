#include "shell/MainMenu.h"

#include "assignment/ui/FrmBatchAssign.h"
#include "equipment/ui/FrmSearchEquipmentScanner.h"
#include "equipment/ui/frmActiveEquipment.h"
#include "equipment/ui/frmCreateEquipment.h"
#include "equipment/ui/frmCreateEquipmentTypes.h"
#include "equipment/ui/frmSearchEquipment.h"
#include "import/ui/ImportEquipmentWindow.h"
#include "locations/ui/frmActiveLocations.h"
#include "locations/ui/frmCreateLocation.h"
#include "platform/OpenWindow.h"
#include "records/ui/FrmAddionalFieldCaptions.h"
#include "records/ui/FrmDocExplorer.h"
#include "shell/DataBackupCommands.h"
#include "shell/FrmAbout.h"
#include "shell/KeyboardHelpWindow.h"
#include "stocktake/ui/StocktakeWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace {

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

// An entry whose window is not available yet stays in place, disabled.
QAction* addEntry(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {},
                  std::function<void()> open = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    if (open)
        QObject::connect(action, &QAction::triggered, menu, [open = std::move(open)] { open(); });
    else
        action->setEnabled(false);
    return action;
}

void fillWindowsMenu(QMenu* menu, AppContext& ctx) {
    menu->clear();
    const QList<QWidget*> windows = ctx.windows->openWindows();
    QWidget* active = ctx.windows->activeWindow();
    int number = 1;
    for (QWidget* window : windows) {
        // A caption's own "&" (a company named "Smith & Sons") is text, not a mnemonic.
        QString caption = window->windowTitle();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(caption));
        action->setCheckable(true);
        action->setChecked(window == active);
        QObject::connect(action, &QAction::triggered, menu, [&ctx, window] { ctx.windows->activate(window); });
    }
    if (!windows.isEmpty())
        menu->addSeparator();
    struct Arrangement {
        const char* name;
        QString caption;
        void (WindowHost::*run)();
    };
    const Arrangement arrangements[] = {{"mnuCascade", QStringLiteral("&Cascade"), &WindowHost::cascade},
                                        {"mnuTile", QStringLiteral("&Tile"), &WindowHost::tile},
                                        {"mnuCloseAll", QStringLiteral("Close &All"), &WindowHost::closeAll}};
    for (const Arrangement& arrangement : arrangements) {
        QAction* action = menu->addAction(arrangement.caption);
        action->setObjectName(QLatin1String(arrangement.name));
        action->setEnabled(!windows.isEmpty());
        QObject::connect(action, &QAction::triggered, menu, [&ctx, run = arrangement.run] { (ctx.windows->*run)(); });
    }
}

// The command of an entry that opens a new window of class W.
template <typename W> std::function<void()> opens(AppContext& ctx, QWidget* owner, OnTooManyWindows tooMany) {
    return [&ctx, owner, tooMany] { openWindow<W>(ctx, owner, tooMany); };
}

std::function<void()> opensCaptionEditor(AppContext& ctx, QWidget* owner, RecordOwner kind) {
    return [&ctx, owner, kind] {
        openWindow<FrmAddionalFieldCaptions>(ctx, owner, [kind](FrmAddionalFieldCaptions& w) { w.Kind = kind; });
    };
}

} // namespace

void openActiveLocations(AppContext& ctx, QWidget* owner) {
    openWindow<frmActiveLocations>(ctx, owner);
}

void buildMainMenu(QMenuBar* bar, AppContext& ctx, QWidget* owner, Navigator::Menu variant) {
    const bool main = variant == Navigator::Menu::MainWindow;
    // The detail windows' copies show too many windows as any other failure.
    const OnTooManyWindows tooMany = main ? OnTooManyWindows::Report : OnTooManyWindows::AsFailure;

    QMenu* file = addMenu(bar, "frmFile", QStringLiteral("&File"));
    addEntry(file, "mnuBackUpData", QStringLiteral("&Back Up Data..."), {}, [&ctx, owner] { backUpData(ctx, owner); });
    addEntry(file, "mnuRestoreData", QStringLiteral("&Restore Data..."), {},
             [&ctx, owner] { restoreData(ctx, owner); });
    file->addSeparator();
    addEntry(file, "FrmExit", QStringLiteral("&Exit"), {}, [&ctx] { ctx.endApplication(); });

    QMenu* locations = addMenu(bar, "FrmLocations", QStringLiteral("&Location(s)"));
    addEntry(locations, "mnuCreateLocation", QStringLiteral("&Create Location"), QKeySequence(QStringLiteral("Ctrl+C")),
             opens<frmCreateLocation>(ctx, owner, tooMany));
    addEntry(locations, "MnuActiveLocations", QStringLiteral("&Active Location(s)"),
             QKeySequence(QStringLiteral("Ctrl+L")), opens<frmActiveLocations>(ctx, owner, tooMany));
    addEntry(locations, "mnuExplorer", QStringLiteral("View Equipment by Location"), {},
             opens<FrmDocExplorer>(ctx, owner, tooMany));
    if (main)
        addEntry(locations, "mnuLocationEditAdditionalInformationFields",
                 QStringLiteral("Edit Additional Information Fields (Location)"), {},
                 opensCaptionEditor(ctx, owner, RecordOwner::Location));

    QMenu* equipment = addMenu(bar, "FrmEquipment", QStringLiteral("&Equipment"));
    addEntry(equipment, "mnuManageEquipmentTypes", QStringLiteral("&Manage Equipment Type(s)"), {},
             opens<frmCreateEquipmentTypes>(ctx, owner, tooMany));
    addEntry(equipment, "mnuEnterEquipment", QStringLiteral("E&nter Equipment"), QKeySequence(QStringLiteral("Ctrl+N")),
             opens<frmCreateEquipment>(ctx, owner, tooMany));
    addEntry(equipment, "mnuImportEquipment", QStringLiteral("&Import Equipment from CSV..."), {},
             opens<ImportEquipmentWindow>(ctx, owner, tooMany));
    addEntry(equipment, "mnuActiveEquipment", QStringLiteral("M&anage Equipment"),
             QKeySequence(QStringLiteral("Ctrl+Q")), opens<frmActiveEquipment>(ctx, owner, tooMany));
    if (main)
        addEntry(equipment, "MnuEquipmentAdditionalInformationFields",
                 QStringLiteral("Edit Additional Information Fields (Equipment)"), {},
                 opensCaptionEditor(ctx, owner, RecordOwner::Equipment));

    QMenu* assignment = addMenu(bar, "FrmAssignment", QStringLiteral("&Assignment"));
    addEntry(assignment, "MnuBatchAssign", QStringLiteral("Batch Assign"), {},
             opens<FrmBatchAssign>(ctx, owner, tooMany));
    addEntry(assignment, "mnuStocktake", QStringLiteral("&Stocktake by Scanner..."), {},
             opens<StocktakeWindow>(ctx, owner, tooMany));

    QMenu* search = addMenu(bar, "mnuSearch", QStringLiteral("&Search"));
    addEntry(search, "mnuSearchEquipment", QStringLiteral("Search Equipment"), QKeySequence(QStringLiteral("Ctrl+E")),
             opens<frmSearchEquipment>(ctx, owner, tooMany));
    addEntry(search, "mnuSearchEquipmentUsingScanner", QStringLiteral("Search Equipment Using Scanner"), {},
             opens<FrmSearchEquipmentScanner>(ctx, owner, tooMany));

    QMenu* windows = addMenu(bar, "FrmWindows", QStringLiteral("&Windows"));
    QObject::connect(windows, &QMenu::aboutToShow, windows, [windows, &ctx] { fillWindowsMenu(windows, ctx); });

    QMenu* help = addMenu(bar, "FrmHelp", QStringLiteral("&Help"));
    addEntry(help, "mnuKeyboardShortcuts", QStringLiteral("&Keyboard Shortcuts"), {}, [&ctx, owner, bar, tooMany] {
        openWindow<KeyboardHelpWindow>(
            ctx, owner,
            [bar](KeyboardHelpWindow& w) {
                w.setShortcuts(KeyboardHelpWindow::menuShortcuts(bar) + KeyboardHelpWindow::everyWindowKeys());
            },
            tooMany);
    });
    addEntry(help, "FrmAbout", QStringLiteral("About"), {}, opens<FrmAbout>(ctx, owner, tooMany));
}
