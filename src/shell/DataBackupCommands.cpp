#include "shell/DataBackupCommands.h"

#include "data/DataBackup.h"
#include "data/Database.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"

#include <QDir>

namespace {

const QString kServerText =
    QStringLiteral("The data is kept on a PostgreSQL server. Back it up with the server's own tools: pg_dump makes a "
                   "backup and pg_restore restores one (the README says how).");

bool onServer(AppContext& ctx, QWidget* parent) {
    if (ctx.db->engine() == Engine::SQLite)
        return false;
    ctx.dialogs->message(parent, kServerText, Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    return true;
}

} // namespace

QString chooseBackup(Dialogs& dialogs, QWidget* parent, const QString& folder) {
    return dialogs
        .openFile(parent, QStringLiteral("Restore Data"),
                  QStringLiteral("Kavrel backups (*.%1);;All files (*)").arg(QLatin1String(DataBackup::kExtension)),
                  folder)
        .path;
}

bool agreesToRestore(Dialogs& dialogs, QWidget* parent, const QDateTime& made) {
    const QString question =
        QStringLiteral("Replace all the data with the backup made on %1?\nThe data as it is now is first saved as "
                       "a backup of its own.")
            .arg(DataBackup::madeText(made));
    return dialogs.message(parent, question, Dialogs::Buttons::YesNoDefaultNo, Dialogs::Icon::Question) ==
           Dialogs::Answer::Yes;
}

QString backupFolder(const AppContext& ctx) {
    return DataBackup::defaultFolder(ctx.db->dataDir());
}

void backUpData(AppContext& ctx, QWidget* parent) {
    if (onServer(ctx, parent))
        return;
    // Made first, so the folder dialog can open in it.
    QDir().mkpath(backupFolder(ctx));
    const QString folder = ctx.dialogs->chooseFolder(parent, QStringLiteral("Back Up Data"), backupFolder(ctx));
    if (folder.isEmpty())
        return;
    guarded(*ctx.dialogs, parent, [&] {
        const QString path = DataBackup(*ctx.db).backUp(folder, ctx.clock->now());
        ctx.dialogs->message(parent,
                             QStringLiteral("The data was backed up to %1.").arg(QDir::toNativeSeparators(path)),
                             Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    });
}

void restoreData(AppContext& ctx, QWidget* parent) {
    if (onServer(ctx, parent))
        return;
    QDir().mkpath(backupFolder(ctx));
    const QString chosen = chooseBackup(*ctx.dialogs, parent, backupFolder(ctx));
    if (chosen.isEmpty())
        return;
    guarded(*ctx.dialogs, parent, [&] {
        DataBackup backup(*ctx.db);
        // Checked before the question: a file that cannot be restored is refused without one.
        const DataBackup::Checked checked = backup.open(chosen);
        if (!agreesToRestore(*ctx.dialogs, parent, checked.made))
            return;
        const QString kept = backup.restore(checked, backupFolder(ctx), ctx.clock->now());
        ctx.dialogs->message(parent,
                             QStringLiteral("The data was restored from the backup made on %1. The data it replaced "
                                            "was saved as %2.\nWindows that are open still show the data as it was: "
                                            "close and open them again to see the restored data.")
                                 .arg(DataBackup::madeText(checked.made), QDir::toNativeSeparators(kept)),
                             Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    });
}
