#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

class Database;
class ScratchFolder;

// Backs up and restores the two data files through the engine's online backup, while Kavrel runs.
//
// A backup is one file: a small SQLite database holding a marker row (format and version, when it was made), each
// data file's size and SHA-256, and each data file's image in 1 MiB pieces. One file is easy to move and keep; being
// a database itself, it is checked with the engine's own integrity check, and the digests catch damage that check
// cannot see (a changed byte inside a stored value). The pieces keep memory low and lift the engine's limit on one
// value, so the size of the attachments does not matter.
//
// SQLite only: on a server its own tools do this.
class DataBackup {
public:
    static constexpr const char* kExtension = "kavbak";

    // A backup read and checked, its images unpacked into a scratch folder of the data folder (removed with it).
    struct Checked {
        QString path;
        QDateTime made;
        QString mainImage;
        QString holdingImage;
        std::shared_ptr<ScratchFolder> scratch;
    };

    explicit DataBackup(Database& db) : m_db(db) {}

    // Where backups go unless the user picks another folder: "Backups" in the data folder.
    static QString defaultFolder(const QString& dataDir);
    // Removes what a stopped backup or restore left in the data folder's scratch space and its backup folder.
    static void removeLeftovers(const QString& dataDir);
    // Called with the number of each step a restore reaches, in order; tests stop a process there to show that no
    // moment of a restore leaves the data half replaced.
    static inline std::function<void(int step)> onRestoreStep;

    // "Kavrel-backup-2026-03-14-093000.kavbak".
    static QString fileName(const QDateTime& made);
    // "2026-03-14 09:30:00", as messages name a backup.
    static QString madeText(const QDateTime& made);

    // Writes a consistent copy of both files into folder (made when missing) under fileName(made), or that name
    // with a number when taken; returns its path. Other connections may write meanwhile: the copy is of the data
    // as it was when it began, both files at the same moment. Throws DataError.
    QString backUp(const QString& folder, const QDateTime& made);

    // Reads and checks a backup without touching the data; throws DataError saying why it cannot be restored (not
    // a Kavrel backup, made by a later version, damaged).
    Checked open(const QString& path) const;
    // The same for the data folder dataDir, with no data open (its main file empty, say).
    static Checked open(const QString& path, const QString& dataDir);

    // Saves the data as it is as a backup of its own in safetyFolder, then replaces both files' data with the
    // checked backup's, on the open connection, in one transaction over both files: however it ends, even with the
    // process killed, both files hold either the backup's data or their own. Returns the path of the backup of the
    // data replaced. Throws DataError; the data is then as it was.
    QString restore(const Checked& backup, const QString& safetyFolder, const QDateTime& now);

private:
    struct Images {
        QString main;
        QString holding;
    };
    // Copies both files, as of one moment, into images in dir.
    Images snapshot(const ScratchFolder& dir);
    void replaceData(const Checked& backup, int token);
    void requireFiles() const;

    Database& m_db;
};
