#pragma once

#include <QString>
#include <stdexcept>

// A failure of the database engine, carrying the engine's own text for the user to read.
class DataError : public std::runtime_error {
public:
    explicit DataError(const QString& text, bool busy = false, bool conflict = false)
        : std::runtime_error(text.toStdString()), m_text(text), m_busy(busy), m_conflict(conflict) {}
    const QString& text() const { return m_text; }
    // Another connection held the data locked for longer than the wait allows.
    bool busy() const { return m_busy; }
    // The server refused the work because another connection's work clashed with it (serialization failure,
    // deadlock); the same work may succeed when run again.
    bool conflict() const { return m_conflict; }

private:
    QString m_text;
    bool m_busy;
    bool m_conflict;
};
