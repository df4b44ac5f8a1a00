#include "generator.h"

#include "data/Database.h"

#include <QDate>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <random>

namespace bench {

namespace {

// std distributions differ between standard libraries; plain modulo over mt19937 keeps runs comparable anywhere.
class Rng {
public:
    explicit Rng(quint32 seed) : m_engine(seed) {}
    int below(int n) { return static_cast<int>(m_engine() % static_cast<quint32>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    double unit() { return m_engine() / 4294967296.0; }
    bool chance(double p) { return unit() < p; }
    template <size_t N> QString pick(const char* const (&items)[N]) {
        return QString::fromUtf8(items[below(static_cast<int>(N))]);
    }

private:
    std::mt19937 m_engine;
};

const char* const kSurnames[] = {
    "Harper", "Miller", "Chen",     "Okafor",  "Lindqvist", "Garcia",    "Novak",   "Patel",     "Brennan", "Whitaker",
    "Sato",   "Moreau", "Kowalski", "Delgado", "Fischer",   "Abernathy", "Nguyen",  "Romano",    "Haddad",  "Larsen",
    "Bishop", "Vance",  "Quinn",    "Mercer",  "Caldwell",  "Donovan",   "Ellison", "Fairchild", "Grant",   "Holloway"};
const char* const kApostropheNames[] = {"O'Brien", "O'Neil", "D'Angelo", "McDonald", "Kelly", "Murphy"};
const char* const kAdjectives[] = {"Summit",   "Pinnacle",  "Riverside", "Northgate",  "Bluewater", "Cedar",
                                   "Keystone", "Lakeshore", "Redwood",   "Silverline", "Granite",   "Meridian"};
const char* const kIndustries[] = {"Logistics", "Health",        "Engineering", "Dental",   "Insurance",
                                   "Realty",    "Manufacturing", "Consulting",  "Software", "Foods",
                                   "Legal",     "Architecture",  "Pharmacy",    "Supply",   "Energy"};
const char* const kProfessions[] = {"Accounting", "Law Offices", "Associates", "Surveyors", "Advisors"};
const char* const kTrades[] = {"Hardware", "Bakery", "Garage", "Pharmacy", "Dental", "Books", "Furniture"};
const char* const kSuffixes[] = {"Inc.", "LLC", "Corp.", "Group", "Partners", "Co.", "Ltd."};
const char* const kStreets[] = {"Main",  "Oak",      "Maple",   "Cedar",    "Washington", "Lake",      "Hill",
                                "Park",  "Pine",     "Elm",     "Sunset",   "Jefferson",  "Market",    "Church",
                                "River", "Highland", "Madison", "Franklin", "Lincoln",    "Industrial"};
const char* const kStreetKinds[] = {"St", "Ave", "Blvd", "Rd", "Dr", "Ln", "Way", "Pkwy"};
const char* const kCities[] = {"Springfield", "Riverside",   "Franklin", "Greenville", "Bristol",    "Clinton",
                               "Fairview",    "Salem",       "Madison",  "Georgetown", "Arlington",  "Ashland",
                               "Dover",       "Oxford",      "Jackson",  "Burlington", "Manchester", "Milton",
                               "Newport",     "Centerville", "Kingston", "Lexington",  "Auburn",     "Dayton"};
const char* const kFirstNames[] = {"James", "Maria", "Robert", "Linda",  "Michael", "Aisha", "David",  "Sofia",
                                   "Wei",   "Emma",  "Daniel", "Olivia", "Kwame",   "Elena", "Thomas", "Priya",
                                   "Noah",  "Grace", "Lucas",  "Hannah", "Mateo",   "Chloe", "Samuel", "Nora"};
const char* const kTitles[] = {"Office Manager", "IT Coordinator", "Facilities Director", "Operations Manager",
                               "Branch Manager", "Administrator",  "Practice Manager"};

struct Product {
    const char* type;
    const char* manufacturer;
    const char* model;
    int minPrice;
    int maxPrice;
    bool computer;
};

// Repeated entries weight the mix towards the kinds an office owns most of.
const Product kProducts[] = {
    {"Desktop", "Dell", "OptiPlex 7090", 749, 1299, true},
    {"Desktop", "Dell", "OptiPlex 5000", 699, 1099, true},
    {"Desktop", "HP", "EliteDesk 800 G6", 799, 1349, true},
    {"Desktop", "HP", "ProDesk 400 G7", 599, 949, true},
    {"Desktop", "Lenovo", "ThinkCentre M70q", 649, 999, true},
    {"Desktop", "Apple", "iMac 24", 1299, 1899, true},
    {"Desktop", "Acer", "Veriton X2690G", 549, 849, true},
    {"Laptop", "Dell", "Latitude 5420", 899, 1499, true},
    {"Laptop", "Dell", "Latitude 7430", 1199, 1899, true},
    {"Laptop", "HP", "EliteBook 840 G8", 1099, 1799, true},
    {"Laptop", "HP", "ProBook 450 G9", 749, 1149, true},
    {"Laptop", "Lenovo", "ThinkPad T14 Gen 3", 999, 1599, true},
    {"Laptop", "Lenovo", "ThinkPad X1 Carbon Gen 10", 1499, 2299, true},
    {"Laptop", "Apple", "MacBook Pro 14", 1999, 2999, true},
    {"Laptop", "Apple", "MacBook Air M2", 1099, 1499, true},
    {"Laptop", "Microsoft", "Surface Laptop 5", 999, 1699, true},
    {"Monitor", "Dell", "P2422H", 189, 289, false},
    {"Monitor", "Dell", "U2723QE", 479, 679, false},
    {"Monitor", "HP", "E24 G5", 169, 259, false},
    {"Monitor", "Lenovo", "ThinkVision T24i-30", 179, 269, false},
    {"Monitor", "LG", "27UK850-W", 349, 449, false},
    {"Monitor", "Samsung", "S24R350", 119, 179, false},
    {"Monitor", "Dell", "P2422H", 189, 289, false},
    {"Monitor", "HP", "E24 G5", 169, 259, false},
    {"Printer", "HP", "LaserJet Pro M404n", 279, 399, false},
    {"Printer", "HP", "OfficeJet Pro 9015e", 199, 299, false},
    {"Printer", "Brother", "HL-L2350DW", 119, 179, false},
    {"Printer", "Canon", "imageCLASS MF445dw", 349, 499, false},
    {"Printer", "Epson", "WorkForce WF-7840", 229, 329, false},
    {"Server", "Dell", "PowerEdge R740", 4999, 11999, true},
    {"Server", "HP", "ProLiant DL380 Gen10", 5499, 12999, true},
    {"Server", "Lenovo", "ThinkSystem SR650", 4799, 10999, true},
    {"Switch", "Cisco", "Catalyst 2960-X", 1199, 2999, false},
    {"Switch", "HP", "Aruba 2930F", 999, 2499, false},
    {"Router", "Cisco", "ISR 4331", 1499, 2999, false},
    {"Tablet", "Apple", "iPad Air", 599, 899, true},
    {"Tablet", "Samsung", "Galaxy Tab S8", 549, 849, true},
    {"Tablet", "Microsoft", "Surface Pro 9", 999, 1599, true},
    {"Projector", "Epson", "PowerLite 2250U", 899, 1299, false},
    {"Projector", "BenQ", "MH560", 449, 649, false},
    {"Scanner", "Fujitsu", "ScanSnap iX1600", 399, 499, false},
    {"UPS", "APC", "Smart-UPS 1500", 499, 799, false},
    {"Docking Station", "Dell", "WD19S", 189, 289, false},
    {"Docking Station", "Lenovo", "ThinkPad USB-C Dock Gen 2", 199, 279, false},
};

const char* const kIntelCpus[] = {"Intel Core i5-1135G7 2.4GHz", "Intel Core i7-1165G7 2.8GHz",
                                  "Intel Core i5-10500 3.1GHz",  "Intel Core i7-12700 2.1GHz",
                                  "Intel Core i5-1245U 1.6GHz",  "Intel Xeon Silver 4214 2.2GHz"};
const char* const kAppleCpus[] = {"Apple M1 3.2GHz", "Apple M2 3.5GHz", "Apple M1 Pro 3.2GHz"};
const char* const kMemory[] = {"8 GB", "16 GB", "16 GB", "32 GB", "64 GB"};
const char* const kDisks[] = {"256 GB SSD", "512 GB SSD", "512 GB SSD", "1 TB SSD", "1 TB HDD", "2 TB HDD"};
const char* const kMonitors[] = {"Dell 24\" P2422H", "HP 24\" E24", "LG 27\" 27UK850", "Built-in", "None"};
const char* const kMice[] = {"Logitech M185", "Dell MS116", "HP X500", "Microsoft Basic Optical", "Trackpad"};
const char* const kKeyboards[] = {"Dell KB216", "Logitech K120", "HP 125", "Microsoft Wired 600", "Built-in"};
const char* const kWindows[] = {"Windows 10 Pro", "Windows 11 Pro", "Windows 11 Pro", "Windows Server 2019"};
const char* const kMacOs[] = {"macOS 13 Ventura", "macOS 14 Sonoma"};

QString serialPrefix(const QString& manufacturer) {
    if (manufacturer == QLatin1String("HP"))
        return QStringLiteral("5CG");
    if (manufacturer == QLatin1String("Lenovo"))
        return QStringLiteral("PF");
    if (manufacturer == QLatin1String("Apple"))
        return QStringLiteral("C02");
    return QString();
}

// A multiplier prime to 36 makes index -> code a bijection on 36^7 values, so every index has its own serial.
QString serialNumber(const QString& manufacturer, qint64 index) {
    constexpr quint64 modulus = 78364164096ULL; // 36^7
    quint64 code = (static_cast<quint64>(index) * 2654435761ULL) % modulus;
    QString digits(7, QLatin1Char('0'));
    for (int i = 6; i >= 0; --i) {
        digits[i] = QLatin1Char("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[code % 36]);
        code /= 36;
    }
    return serialPrefix(manufacturer) + digits;
}

QString phoneNumber(Rng& rng) {
    return QStringLiteral("(%1) %2-%3")
        .arg(rng.between(201, 989))
        .arg(rng.between(200, 999))
        .arg(rng.between(0, 9999), 4, 10, QLatin1Char('0'));
}

QString companyName(Rng& rng) {
    switch (rng.below(5)) {
    case 0:
        return rng.pick(kSurnames) + QLatin1Char(' ') + rng.pick(kIndustries) + QLatin1Char(' ') + rng.pick(kSuffixes);
    case 1:
        return rng.pick(kSurnames) + QLatin1String(" & ") + rng.pick(kSurnames) + QLatin1Char(' ') +
               rng.pick(kProfessions);
    case 2:
        return rng.pick(kApostropheNames) + QLatin1String("'s ") + rng.pick(kTrades);
    default:
        return rng.pick(kAdjectives) + QLatin1Char(' ') + rng.pick(kIndustries) + QLatin1Char(' ') +
               rng.pick(kSuffixes);
    }
}

// Empty but not null: a null QString binds as Null.
QString emptyText() {
    return QStringLiteral("");
}

// The values a unit shares between the inventory and the holding table. Text left out stays Null.
struct Unit {
    QVariant assetTag;
    QString type;
    QString manufacturer;
    QString datePurchased;
    QVariant price;
    QString serial;
    QString model;
    // Entry windows write '' for an empty field, never Null.
    QString cpu = emptyText(), memory = emptyText(), disk = emptyText(), monitor = emptyText(), mouse = emptyText(),
            keyboard = emptyText(), os = emptyText();
};

Unit makeUnit(Rng& rng, qint64 serialIndex, qint64 assetTag) {
    const Product& p = kProducts[rng.below(static_cast<int>(std::size(kProducts)))];
    Unit u;
    u.type = QString::fromLatin1(p.type);
    u.manufacturer = QString::fromLatin1(p.manufacturer);
    u.serial = serialNumber(u.manufacturer, serialIndex + 1);
    if (rng.chance(0.005))
        u.manufacturer += QLatin1String("'s Outlet"); // refurbished stock, typed with an apostrophe
    u.model = rng.chance(0.01) ? QStringLiteral("&nbsp;") : QString::fromLatin1(p.model);
    const double tagRoll = rng.unit();
    if (tagRoll < 0.02)
        u.assetTag = QStringLiteral("&nbsp;");
    else if (tagRoll >= 0.03) // the rest in between: units imported without a tag (Null)
        u.assetTag = QStringLiteral("AT-%1").arg(assetTag, 6, 10, QLatin1Char('0'));
    static const QDate firstPurchase(2012, 1, 1);
    u.datePurchased = firstPurchase.addDays(rng.below(4930)).toString(Qt::ISODate);
    if (!rng.chance(0.01)) {
        static const int cents[] = {0, 0, 0, 99, 49, 95};
        u.price = QStringLiteral("%1.%2")
                      .arg(rng.between(p.minPrice, p.maxPrice))
                      .arg(cents[rng.below(6)], 2, 10, QLatin1Char('0'));
    }
    if (p.computer) {
        const bool apple = u.manufacturer.startsWith(QLatin1String("Apple"));
        u.cpu = apple ? rng.pick(kAppleCpus) : rng.pick(kIntelCpus);
        u.memory = rng.pick(kMemory);
        u.disk = rng.pick(kDisks);
        u.monitor = rng.pick(kMonitors);
        u.mouse = rng.pick(kMice);
        u.keyboard = rng.pick(kKeyboards);
        u.os = apple ? rng.pick(kMacOs) : rng.pick(kWindows);
    }
    return u;
}

// Skewed towards the first locations, as head offices hold more than branches.
size_t pickLocation(Rng& rng, size_t count) {
    const double u = rng.unit();
    return std::min(count - 1, static_cast<size_t>(u * u * static_cast<double>(count)));
}

std::vector<qint64> insertLocations(Database& db, Rng& rng, int count) {
    Query location(db, QStringLiteral("INSERT INTO LocationInfo (LocName, LocAddressOne, LocAddressTwo, LocCity, "
                                      "LocZip, LocPhone, StateId) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    Query contact(db, QStringLiteral("INSERT INTO ContactInfo (LocId, ContactFirstName, ContactMiddleName, "
                                     "ContactLastName, ContactTitle, ContactPhoneNumber, ContactCellPhone, "
                                     "ContactEmailAddress) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    std::vector<qint64> ids;
    ids.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QString street =
            QStringLiteral("%1 %2 %3").arg(rng.between(1, 9899)).arg(rng.pick(kStreets), rng.pick(kStreetKinds));
        const double roll = rng.unit();
        const QString addressTwo = roll < 0.05   ? QStringLiteral("&nbsp;")
                                   : roll < 0.35 ? QStringLiteral("Suite %1").arg(rng.between(100, 950))
                                                 : emptyText();
        location.exec({companyName(rng), street, addressTwo, rng.pick(kCities),
                       QStringLiteral("%1").arg(rng.between(1001, 99950), 5, 10, QLatin1Char('0')), phoneNumber(rng),
                       rng.between(2, 51)});
        const qint64 id = location.lastInsertId().toLongLong();
        ids.push_back(id);
        const QString first = rng.pick(kFirstNames);
        const QString last = rng.chance(0.1) ? rng.pick(kApostropheNames) : rng.pick(kSurnames);
        const QString middle = rng.chance(0.6) ? QString(QChar(u'A' + rng.below(26))) : emptyText();
        const QString email =
            QStringLiteral("%1.%2@example.com").arg(first.toLower(), last.toLower().remove(QLatin1Char('\'')));
        contact.exec({id, first, middle, last, rng.pick(kTitles), phoneNumber(rng), phoneNumber(rng), email});
    }
    return ids;
}

} // namespace

GeneratedInventory generateInventory(Database& db, const InventoryShape& shape) {
    Rng rng(shape.seed);
    GeneratedInventory out;
    out.activeUnits = shape.activeUnits;
    out.retiredUnits = shape.retiredUnits >= 0 ? shape.retiredUnits : shape.activeUnits * 3 / 97;
    db.transaction([&] {
        out.locationIds = insertLocations(db, rng, std::max(1, shape.locations));
        Query unit(db, QStringLiteral("INSERT INTO EquipmentInfo (AssetTagNumber, EquipmentType, Manufacturer, "
                                      "DatePurchased, PurchasePrice, SerialNumber, ModelNumber, CPUSpeed, Memory, "
                                      "HarddriveCap, Monitor, Mouse, Keyboard, OperatingSystem, CurrentLocation, "
                                      "EquActive) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        Query history(db, QStringLiteral("INSERT INTO EquipLocAssign (EquipmentId, LocId) VALUES (?, ?)"));
        const int total = out.activeUnits + out.retiredUnits;
        int retiredLeft = out.retiredUnits;
        for (int i = 0; i < total; ++i) {
            // Selection sampling: exactly retiredUnits of them retired, spread through the whole range.
            const bool retired = rng.below(total - i) < retiredLeft;
            if (retired)
                --retiredLeft;
            const Unit u = makeUnit(rng, i, 100001 + i);
            const qint64 locId = out.locationIds[pickLocation(rng, out.locationIds.size())];
            unit.exec({u.assetTag, u.type, u.manufacturer, u.datePurchased, u.price, u.serial, u.model, u.cpu, u.memory,
                       u.disk, u.monitor, u.mouse, u.keyboard, u.os, locId, retired ? 0 : 1});
            history.exec({unit.lastInsertId(), locId});
        }
    });
    return out;
}

HoldingFill fillHoldingTable(Database& db, int rows, double duplicateShare, double repeatShare, quint32 seed) {
    Rng rng(seed);
    std::vector<QString> serials;
    {
        Query q(db, QStringLiteral("SELECT SerialNumber FROM EquipmentInfo ORDER BY EquipmentId"));
        q.exec();
        while (q.next())
            serials.push_back(q.text(0));
    }
    std::vector<std::pair<qint64, QString>> locations;
    {
        Query q(db, QStringLiteral("SELECT LocId, LocName FROM LocationInfo WHERE LocActive = 1 ORDER BY LocId"));
        q.exec();
        while (q.next())
            locations.emplace_back(q.value(0).toLongLong(), q.text(1));
    }
    HoldingFill fill;
    if (locations.empty() || rows <= 0)
        return fill;
    int duplicatesLeft =
        std::min(static_cast<int>(serials.size()), static_cast<int>(rows * std::clamp(duplicateShare, 0.0, 1.0)));
    const int duplicates = duplicatesLeft;
    // A partial shuffle gives distinct inventory serials, so each duplicate collides with one unit only.
    for (int i = 0; i < duplicates; ++i)
        std::swap(serials[static_cast<size_t>(i)],
                  serials[static_cast<size_t>(i + rng.below(static_cast<int>(serials.size()) - i))]);
    db.transaction([&] {
        Query hold(db, QStringLiteral("INSERT INTO HoldEquipment (AssetTagNumber, EquipmentType, Manufacturer, "
                                      "DatePurchased, PurchasePrice, SerialNumber, ModelNumber, CpuSpeed, Memory, "
                                      "HardDriveCapacity, Monitor, Mouse, Keyboard, OperatingSystem, "
                                      "CurrentLocation, LocationName) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        int nextDuplicate = 0;
        std::vector<QString> entered;
        entered.reserve(static_cast<size_t>(rows));
        for (int i = 0; i < rows; ++i) {
            const bool duplicate = rng.below(rows - i) < duplicatesLeft;
            // Serial indexes far above any inventory index, so new serials never collide by chance.
            Unit u = makeUnit(rng, 1000000000LL + i, 2000001 + i);
            if (duplicate) {
                --duplicatesLeft;
                u.serial = serials[static_cast<size_t>(nextDuplicate++)];
            } else if (!entered.empty() && rng.chance(repeatShare)) {
                // A unit entered twice, the second time typed by hand in lower case.
                u.serial = entered[static_cast<size_t>(rng.below(static_cast<int>(entered.size())))].toLower();
                ++fill.repeats;
            }
            entered.push_back(u.serial);
            const auto& loc = locations[pickLocation(rng, locations.size())];
            hold.exec({u.assetTag, u.type, u.manufacturer, u.datePurchased, u.price, u.serial, u.model, u.cpu, u.memory,
                       u.disk, u.monitor, u.mouse, u.keyboard, u.os, loc.first, loc.second});
        }
    });
    fill.duplicates = duplicates;
    return fill;
}

} // namespace bench
