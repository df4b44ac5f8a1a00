#include "stocktake/store/StocktakeStore.h"

#include "assignment/store/AssignmentStore.h"
#include "data/Database.h"
#include "data/PackedReader.h"
#include "equipment/store/HoldingStore.h"

#include <QHash>

namespace {
QString stamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool isPadding(QChar c) {
    return c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
}

// The unit columns a scan shows, read by unitOf; E is EquipmentInfo, L the unit's location.
const QString kUnitColumns = QStringLiteral("E.EquipmentId, E.EquipmentType, E.SerialNumber, E.AssetTagNumber, "
                                            "E.CurrentLocation, L.LocName, E.EquActive");

void unitOf(const Query& q, int first, ScanResult& r) {
    r.equipmentId = q.value(first).toLongLong();
    r.equipmentType = q.text(first + 1);
    r.serialNumber = q.text(first + 2);
    r.assetTagNumber = q.text(first + 3);
    r.registeredAt = q.value(first + 4).toLongLong();
    r.registeredAtName = q.text(first + 5);
    r.inactive = !q.isNull(first + 6) && q.value(first + 6).toLongLong() != 1;
}

// Whether the code names a unit of the inventory or a row waiting in the holding table.
bool inTable(Database& db, const char* table, const QString& code) {
    return Query(db, QStringLiteral("SELECT 1 FROM %1 WHERE SerialNumber = ? OR AssetTagNumber = ? LIMIT 1")
                         .arg(QLatin1String(table)))
        .scalar({code, code})
        .isValid();
}
} // namespace

QString StocktakeStore::repeatLookupStatement() {
    return QStringLiteral("SELECT S.ScanClass, %1 FROM StocktakeScan S "
                          "LEFT JOIN EquipmentInfo E ON E.EquipmentId = S.EquipmentId "
                          "LEFT JOIN LocationInfo L ON L.LocId = E.CurrentLocation "
                          "WHERE S.StocktakeId = ? AND S.ScanCode = ? AND S.ScanClass <> ? ORDER BY S.ScanId LIMIT 1")
        .arg(kUnitColumns);
}

QString StocktakeStore::unitLookupStatement() {
    // Each of the two identifiers is looked up through its own index.
    return QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM StocktakeScan S WHERE S.StocktakeId = ? AND "
                          "S.EquipmentId = E.EquipmentId) THEN 1 ELSE 0 END AS Scanned, %1 FROM EquipmentInfo E "
                          "LEFT JOIN LocationInfo L ON L.LocId = E.CurrentLocation "
                          "WHERE E.SerialNumber = ? OR E.AssetTagNumber = ? "
                          "ORDER BY Scanned, CASE WHEN E.CurrentLocation = ? THEN 0 ELSE 1 END, "
                          "CASE WHEN E.EquActive = 1 THEN 0 ELSE 1 END, "
                          "CASE WHEN E.AssetTagNumber = ? THEN 0 ELSE 1 END, E.EquipmentId LIMIT 1")
        .arg(kUnitColumns);
}

QString StocktakeStore::scanInsertStatement() {
    return QStringLiteral("INSERT INTO StocktakeScan (StocktakeId, ScanCode, ScanClass, EquipmentId, "
                          "RegisteredLocId, ScanTime) VALUES (?, ?, ?, ?, ?, ?)");
}

QString StocktakeStore::missingStatement(const SortOrder& order) {
    return QStringLiteral("SELECT ") + ListColumnsSql::selectList(missingListColumns()) +
           QStringLiteral(" FROM EquipmentInfo WHERE EquipmentInfo.CurrentLocation = ? AND EquipmentInfo.EquActive = 1 "
                          "AND NOT EXISTS (SELECT 1 FROM StocktakeScan S WHERE S.StocktakeId = ? AND "
                          "S.EquipmentId = EquipmentInfo.EquipmentId)") +
           ListColumnsSql::orderBy(order, missingListColumns(), QStringLiteral(" ORDER BY EquipmentInfo.EquipmentId"));
}

QString StocktakeStore::cleanCode(const QString& typed) {
    qsizetype begin = 0;
    qsizetype end = typed.size();
    while (begin < end && isPadding(typed.at(begin)))
        ++begin;
    while (end > begin && isPadding(typed.at(end - 1)))
        --end;
    return typed.mid(begin, end - begin);
}

std::optional<OpenStocktake> StocktakeStore::openAt(qint64 locId) const {
    Query q(m_db, QStringLiteral("SELECT StocktakeId, StocktakeStarted FROM Stocktake "
                                 "WHERE LocId = ? AND StocktakeEnded IS NULL"));
    q.exec({locId});
    if (!q.next())
        return std::nullopt;
    return OpenStocktake{q.value(0).toLongLong(), locId, q.text(1)};
}

std::optional<qint64> StocktakeStore::latestOpenLocation() const {
    const QVariant loc = Query(m_db, QStringLiteral("SELECT S.LocId FROM Stocktake S INNER JOIN LocationInfo L ON "
                                                    "L.LocId = S.LocId WHERE S.StocktakeEnded IS NULL AND "
                                                    "L.LocActive = 1 ORDER BY S.StocktakeId DESC LIMIT 1"))
                             .scalar();
    if (!loc.isValid())
        return std::nullopt;
    return loc.toLongLong();
}

ScanResult StocktakeStore::scan(qint64 locId, const QString& typed, const QDateTime& now, qint64 shown) {
    ScanResult r;
    r.code = cleanCode(typed);
    if (r.code.isEmpty())
        throw DataError(QStringLiteral("The scan holds no code."));
    return m_db.transaction([&] {
        ScanResult result = r; // from the start on every attempt
        const std::optional<OpenStocktake> open = openAt(locId);
        if (shown > 0 && (!open || open->id != shown)) {
            result.stocktakeId = shown;
            result.shownEnded = true;
            return result;
        }
        if (open) {
            result.stocktakeId = open->id;
        } else {
            Query begin(m_db, QStringLiteral("INSERT INTO Stocktake (LocId, StocktakeStarted) VALUES (?, ?)"));
            begin.exec({locId, stamp(now)});
            result.stocktakeId = begin.lastInsertId().toLongLong();
        }

        Query before(m_db, repeatLookupStatement());
        before.exec({result.stocktakeId, result.code, static_cast<int>(ScanClass::Repeat)});
        if (before.next()) {
            result.kind = ScanClass::Repeat;
            result.first = static_cast<ScanClass>(before.value(0).toInt());
            if (!before.isNull(1))
                unitOf(before, 1, result);
        } else {
            Query units(m_db, unitLookupStatement());
            units.exec({result.stocktakeId, result.code, result.code, locId, result.code});
            if (!units.next()) {
                result.kind = ScanClass::Unknown;
                result.waitingInHolding = inTable(m_db, "HoldEquipment", result.code);
            } else {
                unitOf(units, 1, result);
                if (units.value(0).toInt() == 1) {
                    result.kind = ScanClass::Repeat;
                    result.first = static_cast<ScanClass>(
                        Query(m_db, QStringLiteral("SELECT ScanClass FROM StocktakeScan WHERE StocktakeId = ? AND "
                                                   "EquipmentId = ? AND ScanClass <> ? ORDER BY ScanId LIMIT 1"))
                            .scalar({result.stocktakeId, result.equipmentId, static_cast<int>(ScanClass::Repeat)})
                            .toInt());
                } else {
                    result.kind =
                        result.registeredAt == locId && !units.isNull(5) ? ScanClass::Here : ScanClass::Elsewhere;
                }
            }
        }

        Query(m_db, scanInsertStatement())
            .exec({result.stocktakeId, result.code, static_cast<int>(result.kind),
                   result.equipmentId > 0 ? QVariant(result.equipmentId) : QVariant(),
                   result.equipmentId > 0 ? QVariant(result.registeredAt) : QVariant(), stamp(now)});
        return result;
    });
}

StocktakeCounts StocktakeStore::counts(qint64 stocktakeId) const {
    StocktakeCounts c;
    Query q(m_db, QStringLiteral("SELECT ScanClass, COUNT(*) FROM StocktakeScan WHERE StocktakeId = ? "
                                 "GROUP BY ScanClass"));
    q.exec({stocktakeId});
    while (q.next())
        c.of(static_cast<ScanClass>(q.value(0).toInt())) = q.value(1).toInt();
    return c;
}

std::vector<ScanResult> StocktakeStore::scans(qint64 stocktakeId) const {
    // The unit as it is now; where it stood is the location the scan recorded.
    Query q(m_db, QStringLiteral("SELECT S.ScanCode, S.ScanClass, E.EquipmentId, E.EquipmentType, E.SerialNumber, "
                                 "E.AssetTagNumber, S.RegisteredLocId, L.LocName, E.EquActive FROM StocktakeScan S "
                                 "LEFT JOIN EquipmentInfo E ON E.EquipmentId = S.EquipmentId "
                                 "LEFT JOIN LocationInfo L ON L.LocId = S.RegisteredLocId "
                                 "WHERE S.StocktakeId = ? ORDER BY S.ScanId"));
    q.exec({stocktakeId});
    std::vector<ScanResult> all;
    QHash<QString, ScanClass> firstByCode;
    QHash<qint64, ScanClass> firstByUnit;
    while (q.next()) {
        ScanResult r;
        r.code = q.text(0);
        r.kind = static_cast<ScanClass>(q.value(1).toInt());
        r.stocktakeId = stocktakeId;
        if (!q.isNull(2))
            unitOf(q, 2, r);
        const QString codeKey = r.code.toCaseFolded();
        if (r.kind == ScanClass::Repeat) {
            const auto byCode = firstByCode.constFind(codeKey);
            if (byCode != firstByCode.cend())
                r.first = *byCode;
            else if (r.equipmentId > 0)
                r.first = firstByUnit.value(r.equipmentId, ScanClass::Here);
        } else {
            firstByCode.insert(codeKey, r.kind);
            if (r.equipmentId > 0)
                firstByUnit.insert(r.equipmentId, r.kind);
        }
        all.push_back(std::move(r));
    }
    return all;
}

const ListColumns& StocktakeStore::scannedListColumns() {
    static const ListColumns columns = ListColumnsBuilder()
                                           .add("Code", "Code")
                                           .add("Result", "Result")
                                           .add("EquipmentType", "Description")
                                           .add("SerialNumber", "Serial Number")
                                           .add("AssetTagNumber", "Asset Tag Number")
                                           .add("RegisteredAt", "Registered At")
                                           .whole({"Code", "SerialNumber"})
                                           .unsorted()
                                           .build();
    return columns;
}

const ListColumns& StocktakeStore::missingListColumns() {
    static const ListColumns columns = ListColumnsBuilder("EquipmentInfo", CellDisplay::NbspRemoved)
                                           .add("EquipmentId", "ID")
                                           .add("EquipmentType", "Description")
                                           .add("Manufacturer", "Manufacturer")
                                           .add("SerialNumber", "Serial Number")
                                           .add("ModelNumber", "Model Number")
                                           .add("AssetTagNumber", "Asset Tag Number")
                                           .whole({"EquipmentId", "SerialNumber"})
                                           .build();
    return columns;
}

PackedRows StocktakeStore::missing(qint64 locId, qint64 stocktakeId, const SortOrder& order) const {
    return readPackedRows(m_db, missingStatement(order), {locId, stocktakeId});
}

void StocktakeStore::close(qint64 stocktakeId, const QString& outcome, const QDateTime& now) {
    Query end(m_db, QStringLiteral("UPDATE Stocktake SET StocktakeEnded = ?, StocktakeOutcome = ? "
                                   "WHERE StocktakeId = ? AND StocktakeEnded IS NULL"));
    end.exec({stamp(now), outcome, stocktakeId});
    if (end.numRowsAffected() != 1)
        throw DataError(QStringLiteral("This stocktake has already been finished or discarded, perhaps on another "
                                       "workstation. Nothing was changed."));
}

StocktakeOutcome StocktakeStore::finish(qint64 stocktakeId, bool moveElsewhere,
                                        const std::optional<QString>& holdUnknownAs, const QDateTime& now) {
    // A unit without a type would enter the inventory with no description.
    if (holdUnknownAs && holdUnknownAs->trimmed().isEmpty())
        throw DataError(QStringLiteral("The unknown codes need an equipment type to go into the holding table. "
                                       "Nothing was changed."));
    return m_db.transaction([&] {
        StocktakeOutcome outcome;
        // Closed first: a second finish, here or on another workstation, stops before it changes anything.
        close(stocktakeId, QStringLiteral("Finished"), now);
        Query where(m_db, QStringLiteral("SELECT S.LocId, L.LocName FROM Stocktake S "
                                         "LEFT JOIN LocationInfo L ON L.LocId = S.LocId WHERE S.StocktakeId = ?"));
        where.exec({stocktakeId});
        where.next();
        const qint64 locId = where.value(0).toLongLong();
        const QString locName = where.text(1);
        where.finish();

        if (moveElsewhere) {
            Query found(m_db, QStringLiteral("SELECT DISTINCT S.EquipmentId FROM StocktakeScan S "
                                             "INNER JOIN EquipmentInfo E ON E.EquipmentId = S.EquipmentId "
                                             "WHERE S.StocktakeId = ? AND S.ScanClass = ? AND "
                                             "(E.CurrentLocation IS NULL OR E.CurrentLocation <> ?) "
                                             "ORDER BY S.EquipmentId"));
            found.exec({stocktakeId, static_cast<int>(ScanClass::Elsewhere), locId});
            QList<qint64> ids;
            while (found.next())
                ids << found.value(0).toLongLong();
            AssignmentStore(m_db).assign(ids, locId);
            outcome.moved = static_cast<int>(ids.size());
        }

        if (holdUnknownAs) {
            Query unknown(m_db, QStringLiteral("SELECT ScanCode FROM StocktakeScan WHERE StocktakeId = ? AND "
                                               "ScanClass = ? ORDER BY ScanId"));
            unknown.exec({stocktakeId, static_cast<int>(ScanClass::Unknown)});
            QStringList codes;
            while (unknown.next())
                codes << unknown.text(0);
            HoldingStore holding(m_db);
            for (const QString& code : codes) {
                if (inTable(m_db, "EquipmentInfo", code) || inTable(m_db, "HoldEquipment", code)) {
                    ++outcome.skipped;
                    continue;
                }
                HoldingEntry entry;
                entry.serialNumber = code;
                entry.equipmentType = *holdUnknownAs;
                entry.currentLocation = locId;
                entry.locationName = locName;
                holding.insert(entry);
                ++outcome.held;
            }
        }
        return outcome;
    });
}

void StocktakeStore::discard(qint64 stocktakeId, const QDateTime& now) {
    m_db.transaction([&] { close(stocktakeId, QStringLiteral("Discarded"), now); });
}
