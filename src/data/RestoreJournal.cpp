#include "data/RestoreJournal.h"

#include "data/DataBackup.h"
#include "data/Database.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>

namespace {

constexpr const char* kNoteName = "Kavrel.restore";
constexpr int kWaitMs = 60000;

QString notePath(const QString& dataDir) {
    return QDir(dataDir).filePath(QLatin1String(kNoteName));
}

// The setup lock, held by a running copy however long its work takes, given up by one that stopped.
std::unique_ptr<QLockFile> setupLock(const QString& dataDir, int waitMs) {
    auto lock = std::make_unique<QLockFile>(QDir(dataDir).filePath(QLatin1String(kSetupLockName)));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(waitMs))
        return nullptr;
    return lock;
}

} // namespace

int RestoreJournal::newToken() {
    return static_cast<int>(QRandomGenerator::global()->bounded(1, std::numeric_limits<int>::max()));
}

RestoreJournal::RestoreJournal(const QString& dataDir, const Entry& entry)
    : m_path(notePath(dataDir)), m_lock(setupLock(dataDir, kWaitMs)) {
    if (!m_lock)
        throw DataError(QStringLiteral("Another copy of Kavrel is setting up or restoring the data in the folder %1 "
                                       "and has not finished. Try again in a moment.")
                            .arg(QDir::toNativeSeparators(dataDir)));
    QJsonObject note;
    note[QStringLiteral("token")] = entry.token;
    note[QStringLiteral("made")] = entry.made.toString(Qt::ISODate);
    note[QStringLiteral("replacedBy")] = entry.replacedBy;
    // QSaveFile writes under another name, flushes to the disk and renames: the note is there whole or not at all.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(note).toJson()) < 0 || !file.commit())
        throw DataError(
            QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(m_path), file.errorString()));
}

RestoreJournal::~RestoreJournal() {
    QFile::remove(m_path);
}

QString RestoreJournal::settle(const QString& dataDir, const std::function<int()>& userVersion) {
    const QString path = notePath(dataDir);
    if (!QFile::exists(path))
        return {};
    // A copy still restoring holds the lock and removes the note itself.
    const auto lock = setupLock(dataDir, 0);
    QFile file(path);
    if (!lock || !file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject note = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    const QString made =
        DataBackup::madeText(QDateTime::fromString(note.value(QStringLiteral("made")).toString(), Qt::ISODate));
    const bool finished = note.value(QStringLiteral("token")).toInt() == userVersion();
    QFile::remove(path);
    if (finished)
        return QStringLiteral("Kavrel was stopped while it restored the backup made on %1. The restore had gone "
                              "through: the data is the backup's. The data it replaced is in the backup %2.")
            .arg(made, QDir::toNativeSeparators(note.value(QStringLiteral("replacedBy")).toString()));
    return QStringLiteral("Kavrel was stopped while it restored the backup made on %1, before the restore was "
                          "complete. It has been undone: the data is as it was before the restore.")
        .arg(made);
}
