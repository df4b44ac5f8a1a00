#pragma once

#include "data/Database.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

class Dialogs;
class QCommandLineParser;

struct StartOptions {
    QString dataDir;
    QString server;       // a postgresql:// address; empty keeps the data in the files of dataDir
    QString copyToServer; // copy the files of dataDir onto this server and end, without a window
    int windowLimit = 0;  // 0 keeps the default limit
    QString error;        // why the command line cannot be used; empty when it can
};

// Sets up parser with Kavrel's options and reads arguments (the program's name first). --data-dir wins over
// environmentDataDir (KAVREL_DATA_DIR), which wins over applicationDir. --help and --version are left to the
// caller, who asks the parser.
// --database wins over environmentServer (KAVREL_DATABASE) in the same way.
StartOptions readStartOptions(QCommandLineParser& parser, const QStringList& arguments,
                              const QString& environmentDataDir, const QString& applicationDir,
                              const QString& environmentServer = QString());

// Where the data lives unless told otherwise: the application's own folder, as long as that is a build or a
// portable copy; an installed program (in a "bin" folder) or one in a folder the user cannot write keeps its
// data in the user's data location (~/.local/share/Kavrel).
QString defaultDataDir(const QString& applicationDir);

// True when the arguments ask for work done without a window (--copy-to-server), before any application object.
bool commandLineOnly(int argc, char* argv[]);

// Copies the files of options.dataDir onto the server at options.copyToServer, telling each table's rows on
// standard output; the process's exit code.
int copyFilesToServer(const StartOptions& options);

// Why a --database address cannot be used (not a postgresql:// address, or one carrying a password); empty when
// it can.
QString serverAddressFault(const QString& address);

// False on a platform without a screen (offscreen, minimal), where a modal box would wait for ever.
bool userCanBeAsked();

// A failure that ends the start: written to standard error, and shown in a message box where someone can see it.
void reportStartFailure(Dialogs& dialogs, const QString& text);

// Opens the data as a start does. Tells what became of a restore that was interrupted. Where the main file is empty
// (or missing) beside units waiting in the holding file, offers to restore a backup or to start afresh, and changes
// nothing before the user has chosen; canAsk false (no one to answer) ends the start there. Returns nullptr when the
// start ends, the reason already given.
std::unique_ptr<Database> openData(Dialogs& dialogs, const QString& dataDir, const DatabaseOptions& options,
                                   const QDateTime& now, bool canAsk);
