#include "data/WorkFiles.h"

#include "data/DataError.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QUuid>

namespace {

constexpr const char* kScratchPrefix = "backup-";
constexpr const char* kPartialPattern = "*.kavbak.*.part";

// Claims path; a claim stays until released, however long the work takes, unless its process has ended.
std::unique_ptr<QLockFile> claim(const QString& path, int waitMs) {
    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(waitMs))
        return nullptr;
    return lock;
}

void removeWithJournal(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

ScratchFolder::ScratchFolder(const QString& parent) {
    QDir().mkpath(parent);
    m_path = QDir(parent).filePath(QLatin1String(kScratchPrefix) + QUuid::createUuid().toString(QUuid::Id128));
    // Claimed before it exists, so a cleanup elsewhere never sees it unclaimed.
    m_lock = claim(m_path, 0);
    if (!m_lock || !QDir().mkpath(m_path))
        throw DataError(QStringLiteral("Could not make a scratch folder in %1.").arg(QDir::toNativeSeparators(parent)));
}

ScratchFolder::~ScratchFolder() {
    QDir(m_path).removeRecursively();
}

QString ScratchFolder::filePath(const QString& name) const {
    return QDir(m_path).filePath(name);
}

ClaimedFile::ClaimedFile(const QString& path) : m_path(path), m_lock(claim(path, 0)) {
    if (!m_lock)
        throw DataError(QStringLiteral("Could not write %1.").arg(QDir::toNativeSeparators(path)));
}

ClaimedFile::~ClaimedFile() {
    removeWithJournal(m_path);
}

void removeStaleWork(const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists())
        return;
    const QString lockSuffix = QStringLiteral(".lock");
    const auto leftovers =
        dir.entryInfoList({QLatin1String(kScratchPrefix) + QLatin1Char('*'), QLatin1String(kPartialPattern),
                           QLatin1String(kPartialPattern) + lockSuffix},
                          QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : leftovers) {
        const bool lockFile = entry.isFile() && entry.fileName().endsWith(lockSuffix);
        const QString item = lockFile ? entry.filePath().chopped(lockSuffix.size()) : entry.filePath();
        const bool scratch = entry.fileName().startsWith(QLatin1String(kScratchPrefix));
        // A lock whose item is there is dealt with through the item; one left alone (its copy stopped as it made
        // or removed the item) goes once no running copy holds it.
        if (lockFile ? QFileInfo::exists(item) : scratch != entry.isDir())
            continue;
        const auto lock = claim(item, 0);
        if (!lock)
            continue; // a running copy is still at work on it
        if (lockFile)
            continue;
        if (scratch)
            QDir(item).removeRecursively();
        else
            removeWithJournal(item);
    }
}
