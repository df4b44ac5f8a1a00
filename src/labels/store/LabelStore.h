#pragma once

#include <QList>
#include <QString>
#include <vector>

class Database;

// What a unit's label carries.
struct UnitLabel {
    qint64 id = 0;
    QString code; // the asset tag, or the serial number where the unit has no asset tag
    QString type;
    QString location; // the current location's name
};

struct UnitLabels {
    std::vector<UnitLabel> labels; // in the order asked
    int skipped = 0;               // units with nothing to print as a code, or no longer in the inventory
};

// The label text of units.
class LabelStore {
public:
    explicit LabelStore(Database& db) : m_db(db) {}

    // An id asked twice gives two labels.
    UnitLabels labelsFor(const QList<qint64>& ids) const;

private:
    Database& m_db;
};
