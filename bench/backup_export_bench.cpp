// A long list saved as CSV, and the data files backed up and restored, each against the engine doing the same
// through its C API.

#include "bench.h"

#include "data/DataBackup.h"
#include "data/Database.h"
#include "equipment/store/EquipmentStore.h"
#include "platform/ListExport.h"
#include "platform/ReportList.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace bench {

namespace {

// The floor of an export: the list's statement stepped, each cell written with the quoting CSV needs, no more.
qint64 exportRaw(sqlite3* db, const QString& sql, const QString& path) {
    sqlite3_stmt* stmt = prepareRaw(db, sql);
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    std::fwrite("\xEF\xBB\xBF", 1, 3, out);
    const int columns = sqlite3_column_count(stmt);
    qint64 rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            const int n = sqlite3_column_bytes(stmt, c);
            if (c > 0)
                std::fputc(',', out);
            if (text && n > 0 && std::strpbrk(text, ",\"\r\n")) {
                std::fputc('"', out);
                for (int i = 0; i < n; ++i) {
                    if (text[i] == '"')
                        std::fputc('"', out);
                    std::fputc(text[i], out);
                }
                std::fputc('"', out);
            } else if (n > 0) {
                std::fwrite(text, 1, static_cast<size_t>(n), out);
            }
        }
        std::fwrite("\r\n", 1, 2, out);
        ++rows;
    }
    std::fclose(out);
    sqlite3_finalize(stmt);
    return rows;
}

// The floor of a backup: each file copied by the online backup into a file of its own.
void backUpRaw(const QString& dataDir, const QString& folder) {
    for (const char* name : {kMainFileName, kHoldingFileName}) {
        sqlite3* from = nullptr;
        sqlite3* to = nullptr;
        sqlite3_open_v2(QFile::encodeName(QDir(dataDir).filePath(QLatin1String(name))).constData(), &from,
                        SQLITE_OPEN_READONLY, nullptr);
        sqlite3_open(QFile::encodeName(QDir(folder).filePath(QLatin1String(name))).constData(), &to);
        sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main");
        sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
        sqlite3_close(to);
        sqlite3_close(from);
    }
}

double mib(const QString& path) {
    return static_cast<double>(QFileInfo(path).size()) / (1 << 20);
}

} // namespace

void benchExport(Database& db, const Options& opt) {
    EquipmentStore store(db);
    ReportList list;
    list.setColumns(EquipmentStore::activeListColumns());
    list.setRows(store.activeEquipment({}), EquipmentStore::activeListColumns());
    QTemporaryDir dir;
    const QString sql = EquipmentStore::activeListStatement();
    sqlite3* raw = openRawMain(opt.dataDir);
    exportRaw(raw, sql, dir.filePath("warm.csv"));
    std::vector<double> rawMs, listMs;
    for (int r = 0; r < opt.repeat; ++r) {
        rawMs.push_back(millisecondsOf([&] { exportRaw(raw, sql, dir.filePath("raw.csv")); }));
        listMs.push_back(millisecondsOf([&] {
            if (!writeListCsv(list, dir.filePath("list.csv")).isEmpty())
                qWarning("the export failed");
        }));
    }
    sqlite3_close(raw);
    const double a = median(rawMs);
    const double b = median(listMs);
    std::printf("\nexport: Manage Equipment's list as CSV, %d rows (%.1f MiB), median of %d runs\n", list.rowCount(),
                mib(dir.filePath("list.csv")), opt.repeat);
    std::printf("  %-52s %7.1f ms\n", "(a) C API: step, quote, write", a);
    std::printf("  %-52s %7.1f ms\n", "(b) writeListCsv from the loaded ReportList", b);
    std::printf("  %-52s %7.2f x\n", "ratio b / a", a > 0 ? b / a : 0.0);
    std::fflush(stdout);
}

void benchBackup(Database& db, const Options& opt) {
    QTemporaryDir dir;
    const QDateTime made = QDateTime::currentDateTime();
    std::vector<double> rawMs, backupMs, openMs, restoreMs;
    QString path;
    for (int r = 0; r < opt.repeat; ++r) {
        QTemporaryDir rawDir;
        rawMs.push_back(millisecondsOf([&] { backUpRaw(opt.dataDir, rawDir.path()); }));
        backupMs.push_back(millisecondsOf([&] { path = DataBackup(db).backUp(dir.path(), made.addSecs(r)); }));
        DataBackup::Checked checked;
        openMs.push_back(millisecondsOf([&] { checked = DataBackup(db).open(path); }));
        // Restores the data as it is, so every round works on the same inventory; includes the backup of the data
        // replaced.
        restoreMs.push_back(
            millisecondsOf([&] { DataBackup(db).restore(checked, dir.filePath("kept"), made.addSecs(r)); }));
    }
    const double a = median(rawMs);
    const double b = median(backupMs);
    std::printf("\nbackup: both data files (%.1f MiB) into one backup (%.1f MiB), median of %d runs\n",
                mib(QDir(opt.dataDir).filePath(kMainFileName)) + mib(QDir(opt.dataDir).filePath(kHoldingFileName)),
                mib(path), opt.repeat);
    std::printf("  %-52s %7.1f ms\n", "(a) C API: online backup of each file", a);
    std::printf("  %-52s %7.1f ms\n", "(b) DataBackup::backUp (copies, pieces, digests)", b);
    std::printf("  %-52s %7.2f x\n", "ratio b / a", a > 0 ? b / a : 0.0);
    std::printf("  %-52s %7.1f ms\n", "(c) DataBackup::open (unpack, digests, integrity)", median(openMs));
    std::printf("  %-52s %7.1f ms\n", "(d) DataBackup::restore (backup of the data, copy in)", median(restoreMs));
    std::fflush(stdout);
}

} // namespace bench
