#pragma once

#include "data/ListColumns.h"
#include "data/PackedRows.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

class Database;

// What one scanned code turned out to be. The numbers are stored with each scan.
enum class ScanClass {
    Here = 1,      // a unit registered at the location being counted
    Elsewhere = 2, // a unit registered at another location
    Unknown = 3,   // in no inventory table
    Repeat = 4,    // this unit or code was scanned before in the same stocktake
};

struct ScanResult {
    ScanClass kind = ScanClass::Unknown;
    QString code; // as stored: without surrounding blanks and control characters
    qint64 stocktakeId = 0;
    qint64 equipmentId = 0; // 0: no unit
    QString equipmentType;
    QString serialNumber;
    QString assetTagNumber;
    qint64 registeredAt = 0; // the unit's location when scanned
    QString registeredAtName;
    bool inactive = false;          // the unit is marked inactive
    bool waitingInHolding = false;  // an unknown code already waiting in the holding table
    std::optional<ScanClass> first; // for a repeat: what the first scan was
    // The stocktake the scan was meant for was finished or discarded meanwhile: nothing was recorded.
    bool shownEnded = false;
};

struct StocktakeCounts {
    int here = 0;
    int elsewhere = 0;
    int unknown = 0;
    int repeats = 0;

    int& of(ScanClass kind) {
        switch (kind) {
        case ScanClass::Here:
            return here;
        case ScanClass::Elsewhere:
            return elsewhere;
        case ScanClass::Unknown:
            return unknown;
        case ScanClass::Repeat:
            break;
        }
        return repeats;
    }
    int scans() const { return here + elsewhere + unknown + repeats; }
};

struct OpenStocktake {
    qint64 id = 0;
    qint64 locId = 0;
    QString started; // ISO date and time
};

struct StocktakeOutcome {
    int moved = 0;   // units moved here from elsewhere
    int held = 0;    // unknown codes put into the holding table
    int skipped = 0; // unknown codes meanwhile in the inventory or the holding table
};

// Counting what stands at a location with a scanner. Every scan is stored as it is made, so a stocktake carries on
// after the program was closed or killed, until it is finished or discarded. A location has at most one stocktake
// open, shared by every workstation.
class StocktakeStore {
public:
    explicit StocktakeStore(Database& db) : m_db(db) {}

    // A code as a scanner or a hand types it, without what surrounds it; empty when nothing is left.
    static QString cleanCode(const QString& typed);

    std::optional<OpenStocktake> openAt(qint64 locId) const;
    // The location of the stocktake most recently begun that is still open, or none.
    std::optional<qint64> latestOpenLocation() const;

    // Classifies and records one scan in one transaction, beginning a stocktake of the location when none is open.
    // A code matching several units takes one not yet scanned, preferring one registered here, then one active,
    // then one whose asset tag it is. The result names the stocktake the scan went to. shown: the stocktake the
    // scanning window shows (0: none); when that one has ended meanwhile, nothing is recorded and shownEnded says
    // so, rather than the scan quietly beginning another.
    ScanResult scan(qint64 locId, const QString& typed, const QDateTime& now, qint64 shown = 0);

    StocktakeCounts counts(qint64 stocktakeId) const;
    // The stocktake's scans in the order made, each as scan() reported it.
    std::vector<ScanResult> scans(qint64 stocktakeId) const;

    // The list of scans as made: a scan's code, the word for its class, its unit's type, serial number and asset tag,
    // and where that unit is registered. Its rows come from scans(), not from a statement of their own.
    static const ListColumns& scannedListColumns();

    // The units active and registered at the location that the stocktake has not scanned (stocktakeId 0: all of
    // them); the id is cell 0.
    static const ListColumns& missingListColumns();
    PackedRows missing(qint64 locId, qint64 stocktakeId, const SortOrder& order = {}) const;

    // Ends the stocktake in one transaction: with moveElsewhere, every unit scanned here but registered elsewhere
    // moves here by the assignment rule (one history row each; a unit meanwhile here is left alone); with
    // holdUnknownAs, every unknown code goes into the holding table for this location as a unit of that type (none:
    // they are left out). Throws DataError when the stocktake is no longer open (finished or discarded
    // elsewhere), or when the type given is blank, with nothing done.
    StocktakeOutcome finish(qint64 stocktakeId, bool moveElsewhere, const std::optional<QString>& holdUnknownAs,
                            const QDateTime& now);
    // Ends the stocktake without changing anything else.
    void discard(qint64 stocktakeId, const QDateTime& now);

    // The statements of a scan and of the missing list, for measuring them against the engine alone. A scan runs,
    // in its transaction: repeatLookup (stocktake, code, Repeat), unitLookup (stocktake, code, code, location, code)
    // and scanInsert (stocktake, code, class, unit, its location, time).
    static QString repeatLookupStatement();
    static QString unitLookupStatement();
    static QString scanInsertStatement();
    // Binds the location, then the stocktake.
    static QString missingStatement(const SortOrder& order = {});

private:
    void close(qint64 stocktakeId, const QString& outcome, const QDateTime& now);

    Database& m_db;
};
