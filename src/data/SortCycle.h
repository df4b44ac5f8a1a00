#pragma once

#include <QString>

// A requested list order: a column key from the list's own fixed set, or empty for the list's default order.
struct SortOrder {
    QString column;
    bool descending = false;
};

// The sort rule of the lists: a first click on a column sorts it ascending, a second click on the same column
// descending, a third ascending again; another column always starts ascending. An empty key asks for the
// default order and leaves the remembered column alone.
class SortCycle {
public:
    SortOrder next(const QString& column) {
        if (column.isEmpty())
            return {};
        if (column == m_remembered) {
            m_remembered.clear();
            return {column, true};
        }
        m_remembered = column;
        return {column, false};
    }
    const QString& remembered() const { return m_remembered; }
    void setRemembered(const QString& column) { m_remembered = column; }

private:
    QString m_remembered;
};
