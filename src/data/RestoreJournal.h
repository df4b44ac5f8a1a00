#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

class QLockFile;

// The note a restore keeps in the data folder while it replaces the data. The replacement itself is one transaction
// over both files, so a restore stopped at any moment is finished or undone by the engine's own journals when the
// data is next read; the note lets that start tell the user which. The transaction writes the note's token into the
// main file's user version, so the token found there afterwards says whether it was committed.
class RestoreJournal {
public:
    struct Entry {
        int token = 0;
        QDateTime made;     // when the backup being restored was made
        QString replacedBy; // where the data it replaces was saved
    };

    // Writes the note, whole or not at all, and holds the data folder's setup lock until the restore ends, so no
    // copy starting meanwhile takes a restore at work for an interrupted one. Throws DataError.
    RestoreJournal(const QString& dataDir, const Entry& entry);
    // Removes the note: the restore is over, whichever way it went.
    ~RestoreJournal();
    RestoreJournal(const RestoreJournal&) = delete;
    RestoreJournal& operator=(const RestoreJournal&) = delete;

    static int newToken();

    // At open, after the engine has brought both files to one state: when a restore was interrupted, removes its
    // note and returns what became of it, for the user; empty otherwise. userVersion reads the main file's.
    static QString settle(const QString& dataDir, const std::function<int()>& userVersion);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
