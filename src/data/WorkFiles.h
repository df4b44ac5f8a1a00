#pragma once

#include <QString>
#include <memory>

class QLockFile;

// The scratch folders and partial backups of a backup or restore hold whole copies of the data, password hashes
// included. While in use each is claimed by a lock file beside it ("<name>.lock"), so that the next start or backup
// removes what a stopped copy left behind and never what a running copy still uses.

// A scratch folder "backup-<id>" in parent, removed with the object.
class ScratchFolder {
public:
    // Throws DataError when the folder cannot be made.
    explicit ScratchFolder(const QString& parent);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    QString filePath(const QString& name) const;

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// A file being written under a name of its own; unless given its real name meanwhile, it goes with the object,
// the engine's journal beside it too.
class ClaimedFile {
public:
    explicit ClaimedFile(const QString& path);
    ~ClaimedFile();
    ClaimedFile(const ClaimedFile&) = delete;
    ClaimedFile& operator=(const ClaimedFile&) = delete;
    const QString& path() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// Removes from folder the scratch folders and partial backups that no running copy claims.
void removeStaleWork(const QString& folder);
