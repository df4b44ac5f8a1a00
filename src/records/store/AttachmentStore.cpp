#include "records/store/AttachmentStore.h"

#include "data/Database.h"
#include "data/PackedReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace {

ListColumns columnsWithDateHeader(const char* dateHeader) {
    return ListColumnsBuilder()
        .add("AttachmentsId", "Attachment Id")
        .add("AttachmentsDate", dateHeader)
        .add("AttachmentsName", "Attachment Name")
        .add("AttachmentVersion", "Attachment Version")
        .shortDate({"AttachmentsDate"})
        .unsorted()
        .build();
}

[[noreturn]] void fail(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void failToRead(const QString& path, const QString& reason) {
    fail(QStringLiteral("Kavrel could not read the file %1, so nothing was attached.\n%2").arg(native(path), reason));
}

[[noreturn]] void failToWrite(const QString& path, const QString& reason) {
    fail(QStringLiteral("Kavrel could not write the copy %1 to open it.\n%2").arg(native(path), reason));
}

// Names the Windows file system reserves for devices, with or without an extension.
bool isDeviceName(const QString& name) {
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[0-9]|LPT[0-9])$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name.section(QLatin1Char('.'), 0, 0).trimmed()).hasMatch();
}

} // namespace

AttachmentStore::AttachmentStore(Database& db, RecordOwner owner)
    : m_db(db), m_owner(owner), m_tables(recordTables(owner)) {}

const ListColumns& AttachmentStore::listColumns() const {
    static const ListColumns location = columnsWithDateHeader("Attachment Date");
    // "Attachemnt": the system's given spelling, kept on purpose.
    static const ListColumns equipment = columnsWithDateHeader("Attachemnt Date");
    return m_owner == RecordOwner::Location ? location : equipment;
}

std::vector<ListRow> AttachmentStore::allVersions(qint64 ownerId) const {
    return displayRows(
        readPackedRows(
            m_db,
            QStringLiteral("SELECT AttachmentsId, AttachmentsDate, AttachmentsName, AttachmentVersion FROM %1 "
                           "WHERE %2 = ? ORDER BY AttachmentsName, AttachmentVersion DESC, AttachmentsId DESC")
                .arg(m_tables.attachments, m_tables.attachmentsOwner),
            {ownerId}),
        listColumns(), 0);
}

std::vector<ListRow> AttachmentStore::newestVersions(qint64 ownerId) const {
    return displayRows(
        readPackedRows(m_db,
                       QStringLiteral("SELECT MAX(AttachmentsId), MAX(AttachmentsDate), AttachmentsName, "
                                      "MAX(AttachmentVersion) FROM %1 WHERE %2 = ? GROUP BY AttachmentsName "
                                      "ORDER BY AttachmentsName DESC")
                           .arg(m_tables.attachments, m_tables.attachmentsOwner),
                       {ownerId}),
        listColumns(), 0);
}

LargeValue::Cell AttachmentStore::cell(qint64 id) const {
    return {m_tables.attachments, QStringLiteral("AttachmentsId"), QStringLiteral("Attachments"), id};
}

// Runs inside the upload's transaction, which holds the write lock from its start: no other connection can add
// a version of the name between this read and the insert.
qint64 AttachmentStore::nextVersion(const QString& name) const {
    const QVariant highest =
        Query(
            m_db,
            QStringLiteral("SELECT MAX(AttachmentVersion) FROM %1 WHERE AttachmentsName = ?").arg(m_tables.attachments))
            .scalar({name});
    if (highest.isNull())
        return 1;
    const qint64 version = highest.toLongLong();
    if (version == std::numeric_limits<qint64>::max())
        throw DataError(QStringLiteral("The file name %1 has no version numbers left.").arg(name));
    return version + 1;
}

std::optional<AttachmentStore::Added> AttachmentStore::add(qint64 ownerId, const QString& path,
                                                           const Progress& progress) {
    const QFileInfo info(path);
    if (!info.exists())
        failToRead(path, QStringLiteral("It is no longer there; it may have been moved or deleted."));
    if (!info.isFile())
        failToRead(path, QStringLiteral("It is a folder or a device, not a file."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failToRead(path, file.errorString());
    const qint64 size = file.size();
    const qint64 largest = LargeValue::maxSize(m_db);
    if (size > largest)
        fail(QStringLiteral("The file %1 is too large to attach: it holds %2 bytes, and the database takes at most "
                            "%3 bytes in one attachment.")
                 .arg(native(path))
                 .arg(size)
                 .arg(largest));
    const QString name = info.fileName();
    struct Stopped {};
    try {
        return m_db.transaction([&] {
            const qint64 version = nextVersion(name);
            Query insert(m_db, QStringLiteral("INSERT INTO %1 (%2, AttachmentsName, AttachmentVersion) "
                                              "VALUES (?, ?, ?)")
                                   .arg(m_tables.attachments, m_tables.attachmentsOwner));
            insert.exec({ownerId, name, version});
            const qint64 id = insert.lastInsertId().toLongLong();
            if (!LargeValue::write(m_db, cell(id), file, size, progress))
                throw Stopped{};
            return std::optional<Added>(Added{id, version});
        });
    } catch (const Stopped&) {
        return std::nullopt;
    } catch (const LargeValue::DeviceError& e) {
        failToRead(path, QString::fromStdString(e.what()));
    }
}

bool AttachmentStore::remove(qint64 id) {
    Query q(m_db, QStringLiteral("DELETE FROM %1 WHERE AttachmentsId = ?").arg(m_tables.attachments));
    q.exec({id});
    return q.numRowsAffected() > 0;
}

QString AttachmentStore::viewFolder() const {
    return QDir(m_db.dataDir())
        .filePath(m_owner == RecordOwner::Location ? QStringLiteral("temp/Location") : QStringLiteral("temp"));
}

AttachmentStore::Copy AttachmentStore::writeCopy(qint64 id, const Progress& progress) const {
    QString name;
    {
        Query q(m_db,
                QStringLiteral("SELECT AttachmentsName FROM %1 WHERE AttachmentsId = ?").arg(m_tables.attachments));
        q.exec({id});
        if (!q.next())
            return {Copy::Outcome::Gone, QString()};
        name = q.text(0);
    }
    const QString folder = viewFolder();
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("Kavrel could not create the folder %1 for the copies of attachments it opens.")
                 .arg(native(folder)));
    const QString path = QDir(folder).filePath(plainFileName(name));

    // The copy is written under a name of its own and takes the attachment's name only when complete, so an
    // earlier copy is never left half overwritten.
    QTemporaryFile partial(QDir(folder).filePath(QStringLiteral(".kavrel-XXXXXX.part")));
    if (!partial.open())
        failToWrite(path, partial.errorString());
    try {
        if (!LargeValue::read(m_db, cell(id), partial, progress))
            return {Copy::Outcome::Stopped, QString()};
    } catch (const LargeValue::DeviceError& e) {
        failToWrite(path, QString::fromStdString(e.what()));
    }
    if (!partial.flush())
        failToWrite(path, partial.errorString());
    partial.close();
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(partial.fileName().toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), error);
    if (error)
        failToWrite(path, QString::fromStdString(error.message()));
    partial.setAutoRemove(false);
    return {Copy::Outcome::Written, path};
}

QString AttachmentStore::plainFileName(const QString& stored) {
    // Both separators count on every platform: the database may have been written on another.
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList parts = stored.split(separators, Qt::SkipEmptyParts);
    QString name = parts.isEmpty() ? QString() : parts.last();
    static const QString unsafe = QStringLiteral("<>:\"|?*");
    for (QChar& c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || unsafe.contains(c))
            c = QLatin1Char('_');
    // Windows drops trailing dots and blanks, which would make ".." of ". ." and another name of "a.".
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    if (name.isEmpty())
        return QStringLiteral("attachment");
    if (isDeviceName(name))
        name.prepend(QLatin1Char('_'));
    return name;
}
