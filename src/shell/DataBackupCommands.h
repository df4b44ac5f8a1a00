#pragma once

#include "platform/AppContext.h"

#include <QDateTime>
#include <QString>

class Dialogs;
class QWidget;

// The "&File" menu's "Back Up Data..." and "Restore Data..." (engine work in data/DataBackup). On a database server
// both only say which of the server's own tools do this.

// Where backups go unless the user picks another folder, and where a restore keeps the data it replaces.
QString backupFolder(const AppContext& ctx);

void backUpData(AppContext& ctx, QWidget* parent);
void restoreData(AppContext& ctx, QWidget* parent);

// The file dialog that picks a backup to restore, opening in folder.
QString chooseBackup(Dialogs& dialogs, QWidget* parent, const QString& folder);
// Asks whether to replace all the data with the backup made on made; No is the default.
bool agreesToRestore(Dialogs& dialogs, QWidget* parent, const QDateTime& made);
