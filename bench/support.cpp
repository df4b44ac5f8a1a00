#include "bench.h"

#include "data/Database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <sqlite3.h>

namespace bench {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

double millisecondsOf(const std::function<void()>& fn) {
    QElapsedTimer t;
    t.start();
    fn();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

namespace {
double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
} // namespace

Timing timingOf(const std::function<void()>& fn) {
    const double cpu = processCpuMs();
    Timing t;
    t.wallMs = millisecondsOf(fn);
    t.cpuMs = processCpuMs() - cpu;
    return t;
}

size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

double bytesPerRow(size_t before, size_t after, int rows) {
    return static_cast<double>(static_cast<long long>(after) - static_cast<long long>(before)) / std::max(1, rows);
}

bool PaintCounter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint)
        ++paints;
    return QObject::eventFilter(watched, event);
}

sqlite3* openRawMain(const QString& dir) {
    sqlite3* db = nullptr;
    const QByteArray path = QDir(dir).filePath(QString::fromLatin1(kMainFileName)).toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        qFatal("cannot open %s", path.constData());
    sqlite3_busy_timeout(db, 10000);
    return db;
}

sqlite3_stmt* prepareRaw(sqlite3* db, const QString& sql) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        qFatal("%s: %s", text.constData(), sqlite3_errmsg(db));
    return stmt;
}

qint64 stepRaw(sqlite3* db, const QString& sql, const QStringList& textValues) {
    sqlite3_stmt* stmt = prepareRaw(db, sql);
    for (int i = 0; i < textValues.size(); ++i) {
        const QByteArray bound = textValues.at(i).toUtf8();
        sqlite3_bind_text(stmt, i + 1, bound.constData(), static_cast<int>(bound.size()), SQLITE_TRANSIENT);
    }
    qint64 sink = 0;
    const int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int c = 0; c < columns; ++c)
            sink += sqlite3_column_bytes(stmt, c) + (sqlite3_column_text(stmt, c) != nullptr);
    sqlite3_finalize(stmt);
    return sink;
}

sqlite3* openRawWithHolding(const QString& dir) {
    sqlite3* db = openRawMain(dir);
    sqlite3_stmt* attach = prepareRaw(db, QStringLiteral("ATTACH DATABASE ? AS hold"));
    const QByteArray hold = QDir(dir).filePath(QString::fromLatin1(kHoldingFileName)).toUtf8();
    sqlite3_bind_text(attach, 1, hold.constData(), static_cast<int>(hold.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(attach) != SQLITE_DONE)
        qFatal("attach %s: %s", hold.constData(), sqlite3_errmsg(db));
    sqlite3_finalize(attach);
    return db;
}

namespace {
[[noreturn]] void failRun(const char* what, const QString& text) {
    std::fprintf(stderr, "kavrel_bench: unexpected %s: %s\n", what, qPrintable(text));
    std::abort();
}
} // namespace

Dialogs::Answer FailingDialogs::message(QWidget*, const QString& text, Buttons, Icon, const QString&) {
    failRun("message", text);
}

QString FailingDialogs::input(QWidget*, const QString& prompt, const QString&, const QString&) {
    failRun("input box", prompt);
}

Dialogs::OpenFile FailingDialogs::openFile(QWidget*, const QString& title, const QString&, const QString&) {
    failRun("file dialog", title);
}

QString FailingDialogs::saveFile(QWidget*, const QString& title, const QString&, const QString&) {
    failRun("file dialog", title);
}

QString FailingDialogs::chooseFolder(QWidget*, const QString& title, const QString&) {
    failRun("folder dialog", title);
}

} // namespace bench
