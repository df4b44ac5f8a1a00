// Upload and view of one large attachment through AttachmentStore, against the same blob written and read through
// the SQLite C API in the same run. Every measured run is a child process of its own, so that its peak memory is
// its own and not the inventory's the parent generated.

#include "bench.h"

#include "data/Database.h"
#include "records/store/AttachmentStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace {

constexpr qint64 kMiB = 1 << 20;
constexpr qint64 kViewOwner = 1;
constexpr qint64 kUploadOwner = 2;
const QString kName = QStringLiteral("survey.bin");

struct Sample {
    double wallMs = 0;
    double cpuMs = 0;
    double peakMiB = 0; // growth of the resident set over the run
    bool ok = false;
};

// A field of /proc/self/status in KiB, or -1.
qint64 statusKiB(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    qint64 kib = -1;
    char line[256];
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0) {
            kib = std::strtoll(line + length, nullptr, 10);
            break;
        }
    std::fclose(status);
    return kib;
}

// Runs measure in a child process, which opens its own connections: SQLite connections must not cross a fork.
// The child's high-water mark is first brought down to its present size (clear_refs), so the peak is the run's.
Sample inChild(const std::function<Timing()>& measure) {
    int fds[2];
    if (pipe(fds) != 0)
        qFatal("pipe failed");
    std::fflush(stdout);
    // Every run starts with nothing left for the disk, so none pays for the writing of the one before.
    ::sync();
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(fds[0]);
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
        clear.close();
        const qint64 base = statusKiB(reset ? "VmRSS:" : "VmHWM:");
        Sample s;
        const Timing t = measure();
        s.wallMs = t.wallMs;
        s.cpuMs = t.cpuMs;
        s.peakMiB = static_cast<double>(statusKiB("VmHWM:") - base) / 1024.0;
        s.ok = true;
        const ssize_t written = ::write(fds[1], &s, sizeof s);
        _exit(written == sizeof s ? 0 : 1);
    }
    ::close(fds[1]);
    Sample s;
    if (::read(fds[0], &s, sizeof s) != sizeof s)
        s.ok = false;
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!s.ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("a measured run failed");
    return s;
}

void rawExec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("%s: %s", sql, sqlite3_errmsg(db));
}

sqlite3_stmt* rawPrepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        qFatal("%s: %s", sql, sqlite3_errmsg(db));
    return stmt;
}

// The floor of an upload: the whole file read into memory, the next version read and the row inserted with the
// blob bound in place, in one write transaction.
void rawUpload(sqlite3* db, const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    FILE* in = std::fopen(file.constData(), "rb");
    if (!in)
        qFatal("cannot read %s", file.constData());
    std::fseek(in, 0, SEEK_END);
    const long size = std::ftell(in);
    std::fseek(in, 0, SEEK_SET);
    std::vector<char> bytes(static_cast<size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), in) != bytes.size())
        qFatal("short read");
    std::fclose(in);

    const QByteArray name = kName.toUtf8();
    rawExec(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* highest =
        rawPrepare(db, "SELECT MAX(AttachmentVersion) FROM LocationAttachments WHERE AttachmentsName = ?");
    sqlite3_bind_text(highest, 1, name.constData(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_step(highest);
    const sqlite3_int64 version = sqlite3_column_int64(highest, 0) + 1;
    sqlite3_finalize(highest);
    sqlite3_stmt* insert = rawPrepare(db, "INSERT INTO LocationAttachments (LocationId, AttachmentsName, "
                                          "AttachmentVersion, Attachments) VALUES (?, ?, ?, ?)");
    sqlite3_bind_int64(insert, 1, kUploadOwner);
    sqlite3_bind_text(insert, 2, name.constData(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_bind_int64(insert, 3, version);
    sqlite3_bind_blob64(insert, 4, bytes.data(), bytes.size(), SQLITE_STATIC);
    if (sqlite3_step(insert) != SQLITE_DONE)
        qFatal("insert: %s", sqlite3_errmsg(db));
    sqlite3_finalize(insert);
    rawExec(db, "COMMIT");
}

// The floor of a view: the value selected whole and written to a file in one piece.
void rawView(sqlite3* db, qint64 id, const QString& out) {
    sqlite3_stmt* select = rawPrepare(db, "SELECT Attachments FROM LocationAttachments WHERE AttachmentsId = ?");
    sqlite3_bind_int64(select, 1, id);
    if (sqlite3_step(select) != SQLITE_ROW)
        qFatal("no attachment %lld", id);
    const void* bytes = sqlite3_column_blob(select, 0);
    const size_t size = static_cast<size_t>(sqlite3_column_bytes(select, 0));
    const QByteArray file = QFile::encodeName(out);
    FILE* f = std::fopen(file.constData(), "wb");
    if (!f || std::fwrite(bytes, 1, size, f) != size || std::fclose(f) != 0)
        qFatal("cannot write %s", file.constData());
    sqlite3_finalize(select);
}

void removeUploads(const QString& dir) {
    sqlite3* db = openRawMain(dir);
    rawExec(db, "DELETE FROM LocationAttachments WHERE LocationId = 2");
    sqlite3_close(db);
}

QString writeSource(const QString& dir, qint64 size) {
    const QString path = QDir(dir).filePath(QStringLiteral("bench-source.bin"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    std::mt19937_64 random(20260314);
    QByteArray piece(kMiB, Qt::Uninitialized);
    for (qint64 done = 0; done < size; done += piece.size()) {
        auto* words = reinterpret_cast<quint64*>(piece.data());
        for (qint64 i = 0; i < kMiB / 8; ++i)
            words[i] = random();
        f.write(piece.constData(), std::min<qint64>(piece.size(), size - done));
    }
    return path;
}

QByteArray sha1Of(const QString& path) {
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!f.open(QIODevice::ReadOnly) || !hash.addData(&f))
        return QByteArray("<unreadable>");
    return hash.result();
}

double medianOf(const std::vector<Sample>& samples, double Sample::*field) {
    std::vector<double> v;
    for (const Sample& s : samples)
        v.push_back(s.*field);
    return median(v);
}

void printRow(const char* what, const std::vector<Sample>& samples) {
    std::printf("  %-58s %7.1f ms (processor %6.1f)  peak +%6.1f MiB\n", what, medianOf(samples, &Sample::wallMs),
                medianOf(samples, &Sample::cpuMs), medianOf(samples, &Sample::peakMiB));
}

} // namespace

bool benchAttachments(const Options& opt) {
    const QString dir = opt.dataDir;
    const qint64 size = opt.attachmentMiB * kMiB;
    const QString source = writeSource(dir, size);
    const QString floorCopy = QDir(dir).filePath(QStringLiteral("bench-floor-copy.bin"));
    qint64 viewId = 0;
    QString ourCopy;
    {
        Database db(dir);
        viewId = AttachmentStore(db, RecordOwner::Location).add(kViewOwner, source)->id;
    }

    const auto rawUploadRun = [&] {
        sqlite3* db = openRawMain(dir);
        const Timing t = timingOf([&] { rawUpload(db, source); });
        sqlite3_close(db);
        removeUploads(dir);
        return t;
    };
    const auto ourUploadRun = [&] {
        Database db(dir);
        AttachmentStore store(db, RecordOwner::Location);
        const Timing t = timingOf([&] { store.add(kUploadOwner, source, [](qint64, qint64) { return true; }); });
        removeUploads(dir);
        return t;
    };
    const auto rawViewRun = [&] {
        sqlite3* db = openRawMain(dir);
        const Timing t = timingOf([&] { rawView(db, viewId, floorCopy); });
        sqlite3_close(db);
        return t;
    };
    const auto ourViewRun = [&] {
        Database db(dir);
        AttachmentStore store(db, RecordOwner::Location);
        return timingOf([&] { store.writeCopy(viewId, [](qint64, qint64) { return true; }); });
    };

    // One untimed round brings the file and the database into the page cache for both sides.
    for (const auto& run : {std::function<Timing()>(rawUploadRun), std::function<Timing()>(ourUploadRun),
                            std::function<Timing()>(rawViewRun), std::function<Timing()>(ourViewRun)})
        inChild(run);
    std::vector<Sample> rawUp, ourUp, rawDown, ourDown;
    for (int r = 0; r < opt.repeat; ++r) {
        // The order alternates, so that neither side always runs on a cache the other has just warmed.
        if (r % 2 == 0) {
            rawUp.push_back(inChild(rawUploadRun));
            ourUp.push_back(inChild(ourUploadRun));
            rawDown.push_back(inChild(rawViewRun));
            ourDown.push_back(inChild(ourViewRun));
        } else {
            ourUp.push_back(inChild(ourUploadRun));
            rawUp.push_back(inChild(rawUploadRun));
            ourDown.push_back(inChild(ourViewRun));
            rawDown.push_back(inChild(rawViewRun));
        }
    }
    {
        Database db(dir);
        ourCopy = AttachmentStore(db, RecordOwner::Location).writeCopy(viewId).path;
    }
    const QByteArray expected = sha1Of(source);
    const bool identical = sha1Of(ourCopy) == expected && sha1Of(floorCopy) == expected;

    std::printf("\nattachments: one file of %lld MiB, median of %d runs, each in a child process\n",
                static_cast<long long>(opt.attachmentMiB), opt.repeat);
    printRow("(a) C API upload: file read whole, blob bound, one insert", rawUp);
    printRow("(b) AttachmentStore::add: 1 MiB pieces through blob I/O", ourUp);
    const double a = medianOf(rawUp, &Sample::wallMs);
    const double b = medianOf(ourUp, &Sample::wallMs);
    std::printf("  %-58s %7.2f x   (goal <= 1.3)\n", "ratio b / a", a > 0 ? b / a : 0.0);
    printRow("(c) C API view: value selected whole, one fwrite", rawDown);
    printRow("(d) AttachmentStore::writeCopy: pieces, then rename", ourDown);
    const double c = medianOf(rawDown, &Sample::wallMs);
    const double d = medianOf(ourDown, &Sample::wallMs);
    std::printf("  %-58s %7.2f x   (goal <= 1.3)\n", "ratio d / c", c > 0 ? d / c : 0.0);
    std::printf("  copies identical to the file: %s\n", identical ? "yes" : "NO");
    std::fflush(stdout);
    QFile::remove(source);
    QFile::remove(floorCopy);
    return identical;
}

} // namespace bench
