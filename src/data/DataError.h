#pragma once

#include <QString>
#include <stdexcept>

// A failure of the database engine, in plain words for the user to read, any text of the engine's after them.
class DataError : public std::runtime_error {
public:
    enum class Kind {
        Other,
        // Another connection held the data locked for longer than the wait allows.
        Busy,
        // The server refused the work because another connection's work clashed with it (serialization failure,
        // deadlock); the same work may succeed when run again.
        Conflict,
        // The connection to the server broke; the next statement connects again, so the same work may be retried.
        Lost,
    };
    explicit DataError(const QString& text, Kind kind = Kind::Other)
        : std::runtime_error(text.toStdString()), m_text(text), m_kind(kind) {}
    // The engine's words mean little to the user and may quote a statement: a sentence of Kavrel's own comes first.
    static DataError fromEngine(const QString& plain, const QString& engineText) {
        return DataError(plain + QStringLiteral("\n\nThe database engine reported: ") + engineText.trimmed());
    }
    const QString& text() const { return m_text; }
    Kind kind() const { return m_kind; }
    bool busy() const { return m_kind == Kind::Busy; }
    bool conflict() const { return m_kind == Kind::Conflict; }
    bool lost() const { return m_kind == Kind::Lost; }

private:
    QString m_text;
    Kind m_kind;
};
