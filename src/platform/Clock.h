#pragma once

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>

// Time as the windows see it; tests replace it to make waits instant and dates fixed.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
    // Seconds since a fixed point, for measuring waits.
    virtual double seconds() const = 0;
};

class SystemClock : public Clock {
public:
    SystemClock() { m_timer.start(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    double seconds() const override { return static_cast<double>(m_timer.nsecsElapsed()) / 1e9; }

private:
    QElapsedTimer m_timer;
};
