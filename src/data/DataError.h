#pragma once

#include <QString>
#include <stdexcept>

// A failure of the database engine, carrying the engine's own text for the user to read.
class DataError : public std::runtime_error {
public:
    explicit DataError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};
