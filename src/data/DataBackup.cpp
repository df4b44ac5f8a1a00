#include "data/DataBackup.h"

#include "data/Database.h"
#include "data/RestoreJournal.h"
#include "data/Schema.h"
#include "data/SqliteHandle.h"
#include "data/WorkFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUrl>
#include <QUuid>

namespace {

constexpr const char* kFormat = "Kavrel backup";
constexpr int kVersion = 1;
constexpr qint64 kPieceBytes = 1 << 20;

QString engineText(sqlite3* h) {
    return QString::fromUtf8(sqlite3_errmsg(h));
}

DataError busyElsewhere() {
    return DataError(
        QStringLiteral("Another copy of Kavrel is using the data and has not finished. Try again in a moment."),
        DataError::Kind::Busy);
}

// The engine's words follow a sentence of ours: they may name a statement or a table, which means little to the user.
DataError engineFailure(sqlite3* h) {
    const int code = sqlite3_errcode(h) & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return busyElsewhere();
    return DataError::fromEngine(QStringLiteral("Kavrel could not copy the data for the backup or the restore."),
                                 engineText(h));
}

// A connection of its own to a file: a backup being written or read, or an image unpacked from one.
class File {
public:
    File(const QString& path, int flags) {
        const QByteArray name = QDir::toNativeSeparators(path).toUtf8();
        const int rc = sqlite3_open_v2(name.constData(), &m_h, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString text = m_h ? engineText(m_h) : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_close_v2(m_h);
            throw DataError::fromEngine(
                QStringLiteral("Kavrel could not open the file %1.").arg(QDir::toNativeSeparators(path)), text);
        }
    }
    ~File() { sqlite3_close_v2(m_h); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    sqlite3* handle() const { return m_h; }

private:
    sqlite3* m_h = nullptr;
};

// One prepared statement; the engine's result code of a failed prepare is kept, as it tells a file that is no
// database from a damaged one.
class Statement {
public:
    Statement(sqlite3* h, const char* sql) : m_h(h) { m_rc = sqlite3_prepare_v2(h, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool prepared() const { return m_rc == SQLITE_OK; }
    int prepareCode() const { return m_rc; }
    void bind(int at, const QString& text) {
        const QByteArray bytes = text.toUtf8();
        sqlite3_bind_text(m_stmt, at, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    void bind(int at, qint64 value) { sqlite3_bind_int64(m_stmt, at, value); }
    void bindBytes(int at, const QByteArray& bytes) {
        sqlite3_bind_blob64(m_stmt, at, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
    }
    // True on a row; throws at an error.
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw engineFailure(m_h);
        return false;
    }
    void run() {
        if (!prepared())
            throw engineFailure(m_h);
        step();
        sqlite3_reset(m_stmt);
    }
    QString text(int col) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col)),
                                 sqlite3_column_bytes(m_stmt, col));
    }
    qint64 integer(int col) const { return sqlite3_column_int64(m_stmt, col); }
    QByteArray bytes(int col) const {
        const void* data = sqlite3_column_blob(m_stmt, col);
        return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(m_stmt, col));
    }

private:
    sqlite3* m_h;
    sqlite3_stmt* m_stmt = nullptr;
    int m_rc;
};

void exec(sqlite3* h, const char* sql) {
    if (sqlite3_exec(h, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw engineFailure(h);
}

// The whole of one database into another through the online backup, in one step: the source is read as of one
// moment, the destination replaced in one transaction of its own (or not at all).
void copyDatabase(sqlite3* from, const char* fromName, sqlite3* to, const char* toName) {
    sqlite3_backup* backup = sqlite3_backup_init(to, toName, from, fromName);
    if (!backup)
        throw engineFailure(to);
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped == SQLITE_BUSY || stepped == SQLITE_LOCKED)
        throw busyElsewhere();
    if (stepped != SQLITE_DONE || finished != SQLITE_OK)
        throw engineFailure(to);
}

QString notABackup(const QString& path) {
    return QStringLiteral("%1 is not a Kavrel backup.").arg(QDir::toNativeSeparators(path));
}

QString damaged(const QString& path, const QString& why) {
    return QStringLiteral("The backup %1 is damaged and cannot be restored: %2")
        .arg(QDir::toNativeSeparators(path), why);
}

// "ok", or what the engine's integrity check found first.
QString integrity(sqlite3* h) {
    Statement check(h, "PRAGMA integrity_check");
    if (!check.prepared())
        return engineText(h);
    try {
        return check.step() ? check.text(0) : QStringLiteral("no answer from the integrity check");
    } catch (const DataError& e) {
        return e.text();
    }
}

// The tables and columns the data files of this version have, so that another program's database is refused.
QString missingFromLayout(sqlite3* h, const QStringList& ddl) {
    const auto layout = Schema::layout(ddl);
    for (auto it = layout.cbegin(); it != layout.cend(); ++it) {
        Statement columns(h, "SELECT name FROM pragma_table_info(?)");
        if (!columns.prepared())
            return engineText(h);
        columns.bind(1, it.key());
        QSet<QString> present;
        while (columns.step())
            present.insert(columns.text(0).toLower());
        for (const QString& column : it.value())
            if (!present.contains(column.toLower()))
                return it.key() + QLatin1Char('.') + column;
    }
    return {};
}

// The name taken, with a number added when a backup of the same second is there already.
QString freeName(const QDir& folder, const QDateTime& made) {
    const QString name = DataBackup::fileName(made);
    QString path = folder.filePath(name);
    const QString stem = QFileInfo(name).completeBaseName();
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1-%2.%3").arg(stem).arg(n).arg(QLatin1String(DataBackup::kExtension)));
    return path;
}

struct Stored {
    const char* name;
    QString image;
};

// Writes the backup under a name of its own first and gives it its real name only when complete.
void writeBackup(const QString& path, const QDateTime& made, const QList<Stored>& images) {
    const ClaimedFile partial(path + QLatin1Char('.') + QUuid::createUuid().toString(QUuid::Id128) +
                              QStringLiteral(".part"));
    {
        File out(partial.path(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite3* h = out.handle();
        exec(h, "BEGIN");
        exec(h, "CREATE TABLE KavrelBackup (Format TEXT NOT NULL, Version INTEGER NOT NULL, Made TEXT NOT NULL)");
        exec(h, "CREATE TABLE BackupFiles (Name TEXT PRIMARY KEY, Size INTEGER NOT NULL, Sha256 TEXT NOT NULL)");
        exec(h, "CREATE TABLE BackupPieces (Name TEXT NOT NULL, Piece INTEGER NOT NULL, Bytes BLOB NOT NULL, "
                "PRIMARY KEY (Name, Piece))");
        Statement marker(h, "INSERT INTO KavrelBackup (Format, Version, Made) VALUES (?, ?, ?)");
        marker.bind(1, QString::fromLatin1(kFormat));
        marker.bind(2, qint64(kVersion));
        marker.bind(3, made.toString(Qt::ISODate));
        marker.run();
        Statement piece(h, "INSERT INTO BackupPieces (Name, Piece, Bytes) VALUES (?, ?, ?)");
        Statement file(h, "INSERT INTO BackupFiles (Name, Size, Sha256) VALUES (?, ?, ?)");
        for (const Stored& stored : images) {
            QFile in(stored.image);
            if (!in.open(QIODevice::ReadOnly))
                throw DataError(in.errorString());
            QCryptographicHash digest(QCryptographicHash::Sha256);
            qint64 n = 0;
            for (;;) {
                const QByteArray bytes = in.read(kPieceBytes);
                if (bytes.isEmpty())
                    break;
                digest.addData(bytes);
                piece.bind(1, QString::fromLatin1(stored.name));
                piece.bind(2, n++);
                piece.bindBytes(3, bytes);
                piece.run();
            }
            if (in.error() != QFileDevice::NoError)
                throw DataError(in.errorString());
            file.bind(1, QString::fromLatin1(stored.name));
            file.bind(2, in.size());
            file.bind(3, QString::fromLatin1(digest.result().toHex()));
            file.run();
        }
        exec(h, "COMMIT");
    }
    if (!QFile::rename(partial.path(), path))
        throw DataError(QStringLiteral("Could not name the backup %1.").arg(QDir::toNativeSeparators(path)));
}

// Unpacks one data file's image, checking it against its size and digest. Returns what is wrong with the backup,
// empty when nothing; a failure to write the image throws.
QString unpack(sqlite3* h, const char* name, const QString& image) {
    const QString file = QLatin1String(name);
    Statement stored(h, "SELECT Size, Sha256 FROM BackupFiles WHERE Name = ?");
    Statement pieces(h, "SELECT Piece, Bytes FROM BackupPieces WHERE Name = ? ORDER BY Piece");
    if (!stored.prepared() || !pieces.prepared())
        return engineText(h);
    QFile out(image);
    if (!out.open(QIODevice::WriteOnly))
        throw DataError(out.errorString());
    QCryptographicHash digest(QCryptographicHash::Sha256);
    try {
        stored.bind(1, file);
        if (!stored.step())
            return QStringLiteral("it holds no copy of %1.").arg(file);
        pieces.bind(1, file);
        for (qint64 expected = 0; pieces.step(); ++expected) {
            if (pieces.integer(0) != expected)
                return QStringLiteral("a piece of %1 is missing.").arg(file);
            const QByteArray bytes = pieces.bytes(1);
            digest.addData(bytes);
            if (out.write(bytes) != bytes.size())
                throw DataError(out.errorString());
        }
    } catch (const DataError&) {
        if (out.error() != QFileDevice::NoError)
            throw;
        return engineText(h); // the engine could not read the backup
    }
    if (!out.flush())
        throw DataError(out.errorString());
    if (out.size() != stored.integer(0) || QString::fromLatin1(digest.result().toHex()) != stored.text(1))
        return QStringLiteral("the copy of %1 has changed.").arg(file);
    return {};
}

// Refuses an image that fails the engine's integrity check or lacks the tables of its file.
void checkImage(const QString& path, const QString& image, const char* name, const QStringList& ddl) {
    File file(image, SQLITE_OPEN_READONLY);
    const QString verdict = integrity(file.handle());
    if (verdict != QLatin1String("ok"))
        throw DataError(damaged(path, QStringLiteral("%1: %2").arg(QLatin1String(name), verdict)));
    const QString missing = missingFromLayout(file.handle(), ddl);
    if (!missing.isEmpty())
        throw DataError(notABackup(path));
}

} // namespace

QString DataBackup::fileName(const QDateTime& made) {
    return QStringLiteral("Kavrel-backup-%1.%2")
        .arg(made.toString(QStringLiteral("yyyy-MM-dd-HHmmss")), QLatin1String(kExtension));
}

void DataBackup::requireFiles() const {
    if (m_db.engine() != Engine::SQLite || !sqliteHandle(m_db))
        throw DataError(QStringLiteral("The data is on a database server; back it up and restore it with the "
                                       "server's own tools."));
    if (m_db.inTransaction())
        throw DataError(QStringLiteral("The data cannot be backed up or restored while it is being changed."));
}

namespace {

QString scratchParent(const QString& dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("temp"));
}

// A copy of a data file the live connection reads from, never writes.
QString readOnlyUri(const QString& path) {
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=ro");
}

void attach(sqlite3* h, const QString& image, const char* schema) {
    Statement statement(h, (QByteArrayLiteral("ATTACH DATABASE ? AS ") + schema).constData());
    statement.bind(1, readOnlyUri(image));
    statement.run();
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QStringList tablesOf(sqlite3* h, const QString& schema) {
    // The engine's own tables (sqlite_sequence) are not copied as such.
    Statement tables(h, QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = 'table' AND "
                                       "substr(name, 1, 7) <> 'sqlite_' ORDER BY name")
                            .arg(schema)
                            .toUtf8()
                            .constData());
    if (!tables.prepared())
        throw engineFailure(h);
    QStringList names;
    while (tables.step())
        names << tables.text(0);
    return names;
}

QStringList columnsOf(sqlite3* h, const QString& schema, const QString& table) {
    Statement columns(h, "SELECT name FROM pragma_table_info(?, ?)");
    if (!columns.prepared())
        throw engineFailure(h);
    columns.bind(1, table);
    columns.bind(2, schema);
    QStringList names;
    while (columns.step())
        names << columns.text(0);
    return names;
}

void run(sqlite3* h, const QString& sql) {
    exec(h, sql.toUtf8().constData());
}

// Every row of the image's tables into the live file's, the live file's own tables and columns kept (a table or
// column an older backup lacks stays empty), the keys' counters too.
void copyRows(sqlite3* h, const QString& from, const QString& to) {
    const QStringList present = tablesOf(h, from);
    for (const QString& table : tablesOf(h, to)) {
        run(h, QStringLiteral("DELETE FROM %1.%2").arg(to, quoted(table)));
        if (!present.contains(table))
            continue;
        const QStringList theirs = columnsOf(h, from, table);
        QStringList shared;
        for (const QString& column : columnsOf(h, to, table))
            if (theirs.contains(column, Qt::CaseInsensitive))
                shared << quoted(column);
        const QString list = shared.join(QStringLiteral(", "));
        run(h, QStringLiteral("INSERT INTO %1.%2 (%3) SELECT %3 FROM %4.%2 ORDER BY rowid")
                   .arg(to, quoted(table), list, from));
    }
    const auto hasCounters = [h](const QString& schema) {
        Statement found(h, QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE name = 'sqlite_sequence'")
                               .arg(schema)
                               .toUtf8()
                               .constData());
        return found.prepared() && found.step();
    };
    if (!hasCounters(to))
        return;
    run(h, QStringLiteral("DELETE FROM %1.sqlite_sequence").arg(to));
    if (hasCounters(from))
        run(h, QStringLiteral("INSERT INTO %1.sqlite_sequence (name, seq) SELECT name, seq FROM %2.sqlite_sequence")
                   .arg(to, from));
}

int restoreStep = 0;

void reached() {
    ++restoreStep;
    if (DataBackup::onRestoreStep)
        DataBackup::onRestoreStep(restoreStep);
}

} // namespace

QString DataBackup::madeText(const QDateTime& made) {
    return made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString DataBackup::defaultFolder(const QString& dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("Backups"));
}

void DataBackup::removeLeftovers(const QString& dataDir) {
    removeStaleWork(scratchParent(dataDir));
    removeStaleWork(defaultFolder(dataDir));
}

DataBackup::Images DataBackup::snapshot(const ScratchFolder& dir) {
    sqlite3* live = sqliteHandle(m_db);
    Images images{dir.filePath(QString::fromLatin1(kMainFileName)),
                  dir.filePath(QString::fromLatin1(kHoldingFileName))};
    // A read transaction over both files holds off every writer's commit until both are copied, so the copies
    // show the same moment; writers meanwhile wait on their busy timeout, as for any reader.
    exec(live, "BEGIN");
    try {
        exec(live, "SELECT (SELECT COUNT(*) FROM main.sqlite_master), (SELECT COUNT(*) FROM hold.sqlite_master)");
        for (const auto& [schema, image] : {std::pair{"main", images.main}, std::pair{"hold", images.holding}}) {
            File out(image, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            copyDatabase(live, schema, out.handle(), "main");
        }
    } catch (...) {
        sqlite3_exec(live, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    exec(live, "ROLLBACK");
    return images;
}

QString DataBackup::backUp(const QString& folder, const QDateTime& made) {
    requireFiles();
    if (!QDir().mkpath(folder))
        throw DataError(QStringLiteral("Could not make the folder %1.").arg(QDir::toNativeSeparators(folder)));
    removeStaleWork(folder);
    removeLeftovers(m_db.dataDir());
    const ScratchFolder dir(scratchParent(m_db.dataDir()));
    const Images images = snapshot(dir);
    QString path = freeName(QDir(folder), made);
    writeBackup(path, made, {{kMainFileName, images.main}, {kHoldingFileName, images.holding}});
    return path;
}

DataBackup::Checked DataBackup::open(const QString& path) const {
    return open(path, m_db.dataDir());
}

DataBackup::Checked DataBackup::open(const QString& path, const QString& dataDir) {
    if (!QFileInfo(path).isFile())
        throw DataError(QStringLiteral("There is no file %1.").arg(QDir::toNativeSeparators(path)));
    Checked checked;
    checked.path = path;
    {
        File file(path, SQLITE_OPEN_READONLY);
        sqlite3* h = file.handle();
        Statement marker(h, "SELECT Format, Version, Made FROM KavrelBackup");
        if (!marker.prepared()) {
            // A damaged file may hide its tables; only a sound database without the marker is someone else's.
            const int code = marker.prepareCode() & 0xff;
            if (code == SQLITE_CORRUPT)
                throw DataError(damaged(path, engineText(h)));
            throw DataError(notABackup(path));
        }
        bool found = false;
        try {
            found = marker.step();
        } catch (const DataError&) {
            throw DataError(damaged(path, engineText(h)));
        }
        if (!found || marker.text(0) != QLatin1String(kFormat))
            throw DataError(notABackup(path));
        if (marker.integer(1) > kVersion)
            throw DataError(QStringLiteral("The backup %1 was made by a later version of Kavrel, which this one cannot "
                                           "restore.")
                                .arg(QDir::toNativeSeparators(path)));
        checked.made = QDateTime::fromString(marker.text(2), Qt::ISODate);
        const QString verdict = integrity(h);
        if (verdict != QLatin1String("ok"))
            throw DataError(damaged(path, verdict));
        checked.scratch = std::make_shared<ScratchFolder>(scratchParent(dataDir));
        checked.mainImage = checked.scratch->filePath(QString::fromLatin1(kMainFileName));
        checked.holdingImage = checked.scratch->filePath(QString::fromLatin1(kHoldingFileName));
        for (const auto& [name, image] :
             {std::pair{kMainFileName, checked.mainImage}, std::pair{kHoldingFileName, checked.holdingImage}}) {
            const QString problem = unpack(h, name, image);
            if (!problem.isEmpty())
                throw DataError(damaged(path, problem));
        }
    }
    checkImage(path, checked.mainImage, kMainFileName, Schema::mainFileStatements());
    checkImage(path, checked.holdingImage, kHoldingFileName, Schema::holdingFileStatements());
    return checked;
}

QString DataBackup::restore(const Checked& backup, const QString& safetyFolder, const QDateTime& now) {
    requireFiles();
    if (!QDir().mkpath(safetyFolder))
        throw DataError(QStringLiteral("Could not make the folder %1.").arg(QDir::toNativeSeparators(safetyFolder)));
    restoreStep = 0;
    QString safety = freeName(QDir(safetyFolder), now);
    {
        const ScratchFolder dir(scratchParent(m_db.dataDir()));
        const Images before = snapshot(dir);
        writeBackup(safety, now, {{kMainFileName, before.main}, {kHoldingFileName, before.holding}});
    }
    reached();
    const int token = RestoreJournal::newToken();
    {
        const RestoreJournal journal(m_db.dataDir(), {token, backup.made, safety});
        reached();
        replaceData(backup, token);
        reached();
    }
    reached();
    return safety;
}

void DataBackup::replaceData(const Checked& backup, int token) {
    sqlite3* live = sqliteHandle(m_db);
    attach(live, backup.mainImage, "restore_main");
    try {
        attach(live, backup.holdingImage, "restore_hold");
        try {
            // One transaction over both files: the engine's journals (and the super-journal that ties them) make
            // it whole or nothing, also across a kill, for this copy and every other one on the data.
            m_db.transaction([&] {
                copyRows(live, QStringLiteral("restore_main"), QStringLiteral("main"));
                reached();
                copyRows(live, QStringLiteral("restore_hold"), QStringLiteral("hold"));
                reached();
                run(live, QStringLiteral("PRAGMA main.user_version = %1").arg(token));
            });
        } catch (...) {
            sqlite3_exec(live, "DETACH DATABASE restore_hold", nullptr, nullptr, nullptr);
            throw;
        }
        exec(live, "DETACH DATABASE restore_hold");
    } catch (...) {
        sqlite3_exec(live, "DETACH DATABASE restore_main", nullptr, nullptr, nullptr);
        throw;
    }
    exec(live, "DETACH DATABASE restore_main");
}
