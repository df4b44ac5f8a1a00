#pragma once

#include <QString>
#include <stdexcept>

// A failure of the database engine, carrying the engine's own text for the user to read.
class DataError : public std::runtime_error {
public:
    explicit DataError(const QString& text, bool busy = false)
        : std::runtime_error(text.toStdString()), m_text(text), m_busy(busy) {}
    const QString& text() const { return m_text; }
    // Another connection held the data locked for longer than the wait allows.
    bool busy() const { return m_busy; }

private:
    QString m_text;
    bool m_busy;
};
