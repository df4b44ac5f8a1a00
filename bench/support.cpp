#include "bench.h"

#include "data/Database.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <ctime>
#include <malloc.h>

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

qint64 stepQuery(const Database& db, const QString& sql) {
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.prepare(sql) || !q.exec())
        qFatal("query failed");
    const int columns = q.record().count();
    qint64 seen = 0;
    while (q.next())
        for (int c = 0; c < columns; ++c) {
            const QVariant v = q.value(c);
            seen += v.isValid();
        }
    return seen;
}

} // namespace bench
