#pragma once

#include "platform/Dialogs.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>
#include <cstddef>
#include <functional>
#include <vector>

class Database;
struct DatabaseOptions;
struct sqlite3;
struct sqlite3_stmt;
struct pg_conn;
class QEvent;

namespace bench {

struct Options {
    int units = 100000;
    int locations = 500;
    int repeat = 5;
    int holdingRows = 100000;
    double duplicateShare = 0.1;
    qint64 attachmentMiB = 100;
    int printRows = 10000; // rows of the list printout
    double repeatShare = 0.01;
    QString dataDir;       // where the inventory was generated
    bool keepData = false; // dataDir was given: the commit's copies stay beside the inventory, to be looked at
    QString server;        // a postgresql:// address: the server benchmarks make their databases there
};

double median(std::vector<double> v);
double millisecondsOf(const std::function<void()>& fn);

// Wall time and the process's processor time: on a busy machine the second moves less, and what the wall adds
// over it is mostly waiting for the disk.
struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};
Timing timingOf(const std::function<void()>& fn);

// Heap in use: small blocks plus the mmap'ed ones, where glibc puts big arrays such as a list's row vector.
size_t heapInUse();
double bytesPerRow(size_t before, size_t after, int rows);

// Counts paints of a view, to prove that a load really reached the screen.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The floor of every list: the statement stepped through the SQLite C API on a connection of its own, every
// column of every row read as text, nothing kept. Text values are bound in order.
sqlite3* openRawMain(const QString& dataDir);
sqlite3_stmt* prepareRaw(sqlite3* db, const QString& sql);
qint64 stepRaw(sqlite3* db, const QString& sql, const QStringList& textValues = {});
// The main file open with the holding file attached: the state the application's connection is in.
sqlite3* openRawWithHolding(const QString& dataDir);
// sqlite3_exec of one or more statements; a failure ends the run.
void execRaw(sqlite3* db, const char* sql);
// Every value of the inventory and the parked duplicates (Null told apart from empty text) and the holding table's
// row count in dataDir, as one hash: two runs that left the same tables give the same.
QByteArray contentDigest(const QString& dataDir);

// A database of the benchmark's own on the server, dropped when done; templateName copies an existing one.
class ServerDatabase {
public:
    ServerDatabase(const QString& server, const QString& templateName = QString());
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;
    const QString& name() const { return m_name; }
    const QString& address() const { return m_address; }
    DatabaseOptions options() const;

private:
    QString m_server;
    QString m_name;
    QString m_address;
};
// The server's floors: plain libpq on a connection of their own. Failures end the run.
pg_conn* openRawServer(const QString& address);
void execRaw(pg_conn* conn, const QString& sql);
// PQexec, every cell of every row read with PQgetvalue; nothing kept.
qint64 fetchRaw(pg_conn* conn, const QString& sql);
// Every cell the statements give, Null told apart from empty, as one hash.
QByteArray tablesDigest(pg_conn* conn, const QStringList& statements);
// The schema made as the application makes it, then the rows of tables in the generated inventory in dataDir
// copied in with COPY, ids kept.
void copyInventoryToServer(const QString& dataDir, const ServerDatabase& target, const QStringList& tables);

// A load that runs into a message has failed: the figures would mean nothing. Every dialog ends the run.
class FailingDialogs : public Dialogs {
public:
    Answer message(QWidget*, const QString& text, Buttons, Icon, const QString&) override;
    QString input(QWidget*, const QString& prompt, const QString&, const QString&) override;
    OpenFile openFile(QWidget*, const QString& title, const QString&, const QString&) override;
    QString saveFile(QWidget*, const QString& title, const QString&, const QString&) override;
    QString chooseFolder(QWidget*, const QString& title, const QString&) override;
};

// The commit's columns as the holding table names them, and as both targets do (with EquActive after them), in
// the same order.
extern const char* const kHoldingColumns;
extern const char* const kTargetColumns;
constexpr int kValueCount = 15; // the holding columns
constexpr int kSerialNumberColumn = 5;
constexpr int kLocationColumn = 14;
// The commit as set-based SQL, the statements in order, to run in one transaction; the INSERTs into the inventory
// and into the duplicates are the statements numbered below.
QList<QByteArray> setBasedCommitStatements();
constexpr int kCommittedStatement = 2;
constexpr int kParkedStatement = 3;
// Where a benchmark keeps its copies: DIR/name under --data-dir, to be looked at afterwards, else a temporary
// folder gone with it.
class WorkFolder {
public:
    WorkFolder(const Options& opt, const QString& name);
    QString filePath(const QString& name) const;

private:
    QTemporaryDir m_temporary;
    QString m_path;
};
// The two data files of an inventory copied into a new folder.
void copyDataFiles(const QString& from, const QString& to);

// Each benchmark generates nothing itself: it works on the inventory in opt.dataDir, open as db.
void benchActiveEquipmentList(Database& db, const Options& opt);
void benchActiveEquipmentWindow(Database& db, const Options& opt);
void benchLocationWindow(Database& db, const Options& opt);
void benchSearch(Database& db, const Options& opt);
// PDF printouts of a list and of a location report, each against the same drawing done straight with QPainter.
void benchPrint(Database& db, const Options& opt);
void benchBatchAssign(Database& db, const Options& opt);
// Generates an inventory of its own beside opt.dataDir: one location holding every unit.
void benchExplorer(const Options& opt);
// Manage Equipment's list saved as CSV, against the statement stepped and written through the C API.
void benchExport(Database& db, const Options& opt);
// A CSV file of opt.holdingRows rows read and imported into the holding table of a copy of the inventory, against
// the same rows written through the C API in one transaction.
void benchImport(const Options& opt);
// DataBackup's backup, check and restore, against the online backup of each file through the C API.
void benchBackup(Database& db, const Options& opt);
// Scans in the stocktake window against the same statements through the C API, and its missing list's opening.
void benchStocktake(Database& db, const Options& opt);
// False when the store and the baseline left different tables behind, which would void the comparison.
bool benchCommitToInventory(const Options& opt);
// DuplicateBatch settling parked duplicates in bulk, replacing and discarding, against the same set-based
// statements through the C API; false when the two left different tables behind.
bool benchParkedDuplicates(const Options& opt);
// False when a copy read back differs from the uploaded file.
bool benchAttachments(const Options& opt);
// The same on a PostgreSQL server (opt.server), against plain libpq: the commit, with holding rows of its own
// beside a copy of the inventory in opt.dataDir, and Manage Equipment on a copy of that inventory.
bool benchServerCommit(const Options& opt);
void benchServerWindow(const Options& opt);

} // namespace bench
