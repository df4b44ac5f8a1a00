#include "data/Schema.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

const QLatin1String kToday("(date('now','localtime'))");

QString additionalFieldColumns(const QString& suffix, const QString& type) {
    QStringList cols;
    for (int i = 1; i <= 20; ++i)
        cols << QStringLiteral("Field%1%2 %3").arg(i).arg(suffix, type);
    return cols.join(QStringLiteral(",\n  "));
}

QString equipmentColumns() {
    return QStringLiteral("AssetTagNumber TEXT COLLATE NOCASE,\n"
                          "  EquipmentType TEXT COLLATE NOCASE,\n"
                          "  Manufacturer TEXT COLLATE NOCASE,\n"
                          "  DatePurchased TEXT,\n"
                          "  PurchasePrice TEXT COLLATE NOCASE,\n"
                          "  SerialNumber TEXT COLLATE NOCASE,\n"
                          "  ModelNumber TEXT COLLATE NOCASE,\n"
                          "  OtherIdentificationNumber TEXT COLLATE NOCASE,\n"
                          "  OtherIdentificationType TEXT COLLATE NOCASE,\n"
                          "  CPUSpeed TEXT COLLATE NOCASE,\n"
                          "  Memory TEXT COLLATE NOCASE,\n"
                          "  HarddriveCap TEXT COLLATE NOCASE,\n"
                          "  Monitor TEXT COLLATE NOCASE,\n"
                          "  Mouse TEXT COLLATE NOCASE,\n"
                          "  Keyboard TEXT COLLATE NOCASE,\n"
                          "  OperatingSystem TEXT COLLATE NOCASE,\n"
                          "  CurrentLocation INTEGER,\n"
                          "  EquActive INTEGER");
}

QString noteTable(const QString& table, const QString& owner) {
    return QStringLiteral("CREATE TABLE %1 (\n"
                          "  NoteId INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                          "  %2 INTEGER,\n"
                          "  NoteTitle TEXT COLLATE NOCASE,\n"
                          "  Note TEXT COLLATE NOCASE,\n"
                          "  NoteDate TEXT DEFAULT %3)")
        .arg(table, owner, kToday);
}

// The file's bytes come last: SQLite then sets aside room for a large value without building it in memory, and
// the bytes are streamed into that room.
QString attachmentTable(const QString& table, const QString& owner) {
    return QStringLiteral("CREATE TABLE %1 (\n"
                          "  AttachmentsId INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                          "  %2 INTEGER,\n"
                          "  AttachmentsName TEXT COLLATE NOCASE,\n"
                          "  AttachmentVersion INTEGER,\n"
                          "  AttachmentsDate TEXT DEFAULT %3,\n"
                          "  Attachments BLOB)")
        .arg(table, owner, kToday);
}

QString additionalInformationTable(const QString& table) {
    return QStringLiteral("CREATE TABLE %1 (\n  %2,\n  %3,\n"
                          "  Category1 TEXT COLLATE NOCASE, Category2 TEXT COLLATE NOCASE,\n"
                          "  Category3 TEXT COLLATE NOCASE, Category4 TEXT COLLATE NOCASE)")
        .arg(table, additionalFieldColumns(QString(), QStringLiteral("TEXT COLLATE NOCASE")),
             additionalFieldColumns(QStringLiteral("Visible"), QStringLiteral("INTEGER NOT NULL DEFAULT 0")));
}

} // namespace

using namespace Qt::StringLiterals;

namespace Schema {

const QStringList& stateNames() {
    static const QStringList names = {
        u"Alabama"_s,       u"Alaska"_s,      u"Arizona"_s,        u"Arkansas"_s,      u"California"_s,
        u"Colorado"_s,      u"Connecticut"_s, u"Delaware"_s,       u"Florida"_s,       u"Georgia"_s,
        u"Hawaii"_s,        u"Idaho"_s,       u"Illinois"_s,       u"Indiana"_s,       u"Iowa"_s,
        u"Kansas"_s,        u"Kentucky"_s,    u"Louisiana"_s,      u"Maine"_s,         u"Maryland"_s,
        u"Massachusetts"_s, u"Michigan"_s,    u"Minnesota"_s,      u"Mississippi"_s,   u"Missouri"_s,
        u"Montana"_s,       u"Nebraska"_s,    u"Nevada"_s,         u"New Hampshire"_s, u"New Jersey"_s,
        u"New Mexico"_s,    u"New York"_s,    u"North Carolina"_s, u"North Dakota"_s,  u"Ohio"_s,
        u"Oklahoma"_s,      u"Oregon"_s,      u"Pennsylvania"_s,   u"Rhode Island"_s,  u"South Carolina"_s,
        u"South Dakota"_s,  u"Tennessee"_s,   u"Texas"_s,          u"Utah"_s,          u"Vermont"_s,
        u"Virginia"_s,      u"Washington"_s,  u"West Virginia"_s,  u"Wisconsin"_s,     u"Wyoming"_s};
    return names;
}

QStringList mainFileStatements() {
    QStringList s;
    s << QStringLiteral("CREATE TABLE LocationInfo (\n"
                        "  LocId INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                        "  LocName TEXT COLLATE NOCASE,\n"
                        "  LocAddressOne TEXT COLLATE NOCASE,\n"
                        "  LocAddressTwo TEXT COLLATE NOCASE,\n"
                        "  LocCity TEXT COLLATE NOCASE,\n"
                        "  StateId INTEGER,\n"
                        "  LocZip TEXT COLLATE NOCASE,\n"
                        "  LocPhone TEXT COLLATE NOCASE,\n"
                        "  LocActive INTEGER NOT NULL DEFAULT 1,\n  %1)")
             .arg(additionalFieldColumns(QString(), QStringLiteral("TEXT COLLATE NOCASE")));
    s << QStringLiteral("CREATE TABLE ContactInfo (\n"
                        "  LocId INTEGER,\n"
                        "  ContactFirstName TEXT COLLATE NOCASE,\n"
                        "  ContactMiddleName TEXT COLLATE NOCASE,\n"
                        "  ContactLastName TEXT COLLATE NOCASE,\n"
                        "  ContactTitle TEXT COLLATE NOCASE,\n"
                        "  ContactPhoneNumber TEXT COLLATE NOCASE,\n"
                        "  ContactCellPhone TEXT COLLATE NOCASE,\n"
                        "  ContactEmailAddress TEXT COLLATE NOCASE)");
    s << QStringLiteral("CREATE TABLE StateInfo (StateId INTEGER PRIMARY KEY, StateName TEXT COLLATE NOCASE)");
    s << QStringLiteral("CREATE TABLE EquipmentInfo (\n"
                        "  EquipmentId INTEGER PRIMARY KEY AUTOINCREMENT,\n  %1,\n  %2)")
             .arg(equipmentColumns(), additionalFieldColumns(QString(), QStringLiteral("TEXT COLLATE NOCASE")));
    s << QStringLiteral("CREATE TABLE TempEquipmentInfo (\n"
                        "  EquipmentId INTEGER PRIMARY KEY AUTOINCREMENT,\n  %1)")
             .arg(equipmentColumns());
    s << QStringLiteral("CREATE TABLE EquipLocAssign (\n"
                        "  EquipLocAssignId INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                        "  EquipmentId INTEGER,\n"
                        "  LocId INTEGER,\n"
                        "  EquipLocAssignDate TEXT DEFAULT %1)")
             .arg(kToday);
    s << QStringLiteral("CREATE TABLE EquipmentType (\n"
                        "  EquipmentTypeId INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                        "  EquipmentType TEXT COLLATE NOCASE)");
    s << QStringLiteral("CREATE TABLE EquipmentTemplate (\n"
                        "  TemplateName TEXT COLLATE NOCASE, Description TEXT COLLATE NOCASE,\n"
                        "  Manufacturer TEXT COLLATE NOCASE, ModelNumber TEXT COLLATE NOCASE,\n"
                        "  CPU TEXT COLLATE NOCASE, Memory TEXT COLLATE NOCASE, HD TEXT COLLATE NOCASE,\n"
                        "  Monitor TEXT COLLATE NOCASE, Mouse TEXT COLLATE NOCASE,\n"
                        "  Keyboard TEXT COLLATE NOCASE, OS TEXT COLLATE NOCASE)");
    s << noteTable(QStringLiteral("EquipmentNoteInformation"), QStringLiteral("EquipmentId"));
    // "LocationtId": the system's given spelling, kept on purpose.
    s << noteTable(QStringLiteral("LocationNoteInformation"), QStringLiteral("LocationtId"));
    s << attachmentTable(QStringLiteral("EquipmentAttachments"), QStringLiteral("EquipmentId"));
    s << attachmentTable(QStringLiteral("LocationAttachments"), QStringLiteral("LocationId"));
    s << additionalInformationTable(QStringLiteral("EquipmentAdditionalInformation"));
    s << additionalInformationTable(QStringLiteral("LocationAdditionalInformation"));
    s << QStringLiteral("CREATE TABLE Sec_Usr (\n"
                        "  UserName TEXT COLLATE NOCASE,\n"
                        "  ClientServer TEXT,\n"
                        "  FirstName TEXT COLLATE NOCASE,\n"
                        "  MiddleName TEXT COLLATE NOCASE,\n"
                        "  LastName TEXT COLLATE NOCASE,\n"
                        "  EmailAddress TEXT COLLATE NOCASE,\n"
                        "  Active INTEGER NOT NULL DEFAULT 1)");

    s << QStringLiteral("CREATE INDEX EquipmentInfoSerialNumber ON EquipmentInfo (SerialNumber)");
    s << QStringLiteral("CREATE INDEX EquipmentInfoAssetTag ON EquipmentInfo (AssetTagNumber)");
    s << QStringLiteral("CREATE INDEX EquipmentInfoLocation ON EquipmentInfo (CurrentLocation)");
    s << QStringLiteral("CREATE INDEX TempEquipmentInfoSerialNumber ON TempEquipmentInfo (SerialNumber)");
    s << QStringLiteral("CREATE INDEX EquipLocAssignEquipment ON EquipLocAssign (EquipmentId)");
    s << QStringLiteral("CREATE INDEX ContactInfoLocation ON ContactInfo (LocId)");
    s << QStringLiteral("CREATE INDEX EquipmentNoteOwner ON EquipmentNoteInformation (EquipmentId)");
    s << QStringLiteral("CREATE INDEX LocationNoteOwner ON LocationNoteInformation (LocationtId)");
    s << QStringLiteral("CREATE INDEX EquipmentAttachmentOwner ON EquipmentAttachments (EquipmentId, AttachmentsName)");
    s << QStringLiteral("CREATE INDEX EquipmentAttachmentName ON EquipmentAttachments (AttachmentsName)");
    s << QStringLiteral("CREATE INDEX LocationAttachmentOwner ON LocationAttachments (LocationId, AttachmentsName)");
    s << QStringLiteral("CREATE INDEX LocationAttachmentName ON LocationAttachments (AttachmentsName)");
    s << QStringLiteral("CREATE INDEX SecUsrUserName ON Sec_Usr (UserName)");

    for (int i = 0; i < stateNames().size(); ++i)
        s << QStringLiteral("INSERT INTO StateInfo (StateId, StateName) VALUES (%1, '%2')")
                 .arg(i + kFirstStateId)
                 .arg(stateNames().at(i));
    s << QStringLiteral("INSERT INTO EquipmentAdditionalInformation DEFAULT VALUES");
    s << QStringLiteral("INSERT INTO LocationAdditionalInformation DEFAULT VALUES");
    return s;
}

QStringList addedStatements() {
    // A stocktake is open while StocktakeEnded is Null; a location has at most one open.
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS Stocktake (\n"
                           "  StocktakeId INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                           "  LocId INTEGER NOT NULL,\n"
                           "  StocktakeStarted TEXT,\n"
                           "  StocktakeEnded TEXT,\n"
                           "  StocktakeOutcome TEXT)"),
            QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS StocktakeOpen ON Stocktake (LocId) "
                           "WHERE StocktakeEnded IS NULL"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS StocktakeScan (\n"
                           "  ScanId INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                           "  StocktakeId INTEGER NOT NULL,\n"
                           "  ScanCode TEXT COLLATE NOCASE,\n"
                           "  ScanClass INTEGER NOT NULL,\n"
                           "  EquipmentId INTEGER,\n"
                           "  RegisteredLocId INTEGER,\n"
                           "  ScanTime TEXT)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS StocktakeScanCode ON StocktakeScan (StocktakeId, ScanCode)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS StocktakeScanUnit ON StocktakeScan (StocktakeId, EquipmentId)")};
}

// The holding table's columns, one definition each.
static QStringList holdingColumns() {
    return {QStringLiteral("HoldEquipmentId INTEGER PRIMARY KEY AUTOINCREMENT"),
            QStringLiteral("AssetTagNumber TEXT COLLATE NOCASE"),
            QStringLiteral("EquipmentType TEXT COLLATE NOCASE"),
            QStringLiteral("Manufacturer TEXT COLLATE NOCASE"),
            QStringLiteral("DatePurchased TEXT"),
            QStringLiteral("PurchasePrice TEXT COLLATE NOCASE"),
            QStringLiteral("SerialNumber TEXT COLLATE NOCASE"),
            QStringLiteral("ModelNumber TEXT COLLATE NOCASE"),
            QStringLiteral("CpuSpeed TEXT COLLATE NOCASE"),
            QStringLiteral("Memory TEXT COLLATE NOCASE"),
            QStringLiteral("HardDriveCapacity TEXT COLLATE NOCASE"),
            QStringLiteral("Monitor TEXT COLLATE NOCASE"),
            QStringLiteral("Mouse TEXT COLLATE NOCASE"),
            QStringLiteral("Keyboard TEXT COLLATE NOCASE"),
            QStringLiteral("OperatingSystem TEXT COLLATE NOCASE"),
            QStringLiteral("CurrentLocation INTEGER"),
            QStringLiteral("LocationName TEXT COLLATE NOCASE")};
}

QStringList holdingFileStatements() {
    return {QStringLiteral("CREATE TABLE HoldEquipment (\n  %1)").arg(holdingColumns().join(QStringLiteral(",\n  ")))};
}

QMap<QString, QStringList> layout(const QStringList& ddl) {
    static QAtomicInt scratchCounter;
    const QString name = QStringLiteral("kavrel-layout-%1").arg(scratchCounter.fetchAndAddRelaxed(1));
    QMap<QString, QStringList> tables;
    {
        QSqlDatabase scratch = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        scratch.setDatabaseName(QStringLiteral(":memory:"));
        scratch.open();
        QSqlQuery q(scratch);
        for (const QString& statement : ddl)
            if (statement.startsWith(QLatin1String("CREATE TABLE")))
                q.exec(statement);
        for (const QString& table : scratch.tables()) {
            if (table.startsWith(QLatin1String("sqlite_")))
                continue; // the engine's own bookkeeping
            QSqlQuery cols(scratch);
            cols.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
            while (cols.next())
                tables[table] << cols.value(1).toString();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return tables;
}

QString forServer(const QString& statement) {
    static const QList<std::pair<QRegularExpression, QString>> rules = {
        {QRegularExpression(QStringLiteral("\\bINTEGER PRIMARY KEY AUTOINCREMENT\\b")),
         QStringLiteral("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")},
        {QRegularExpression(QStringLiteral("\\bTEXT COLLATE NOCASE\\b")), QStringLiteral("CITEXT")},
        {QRegularExpression(QStringLiteral("\\bINTEGER\\b")), QStringLiteral("BIGINT")},
        {QRegularExpression(QStringLiteral("\\bBLOB\\b")), QStringLiteral("BYTEA")},
        {QRegularExpression(QRegularExpression::escape(QString::fromLatin1(kToday))),
         QStringLiteral("(to_char(CURRENT_DATE, 'YYYY-MM-DD'))")},
    };
    QString out = statement;
    for (const auto& [pattern, replacement] : rules)
        out.replace(pattern, replacement);
    return out;
}

QStringList serverStorageStatements() {
    QStringList s;
    for (const char* table : {"EquipmentAttachments", "LocationAttachments"})
        s << QStringLiteral("ALTER TABLE %1 ALTER COLUMN Attachments SET STORAGE EXTERNAL").arg(QLatin1String(table));
    return s;
}

QStringList serverHoldingStatements() {
    QStringList names;
    for (const QString& column : holdingColumns())
        names << column.section(QLatin1Char(' '), 0, 0);
    return {QStringLiteral("CREATE SCHEMA hold"),
            forServer(QStringLiteral("CREATE TABLE hold.%1 (\n  %2,\n"
                                     "  %3 TEXT NOT NULL DEFAULT current_setting('%4'))")
                          .arg(QLatin1String(kHoldingRowsTable), holdingColumns().join(QStringLiteral(",\n  ")),
                               QLatin1String(kWorkstationColumn), QLatin1String(kWorkstationSetting))),
            QStringLiteral("CREATE INDEX HoldEquipmentRowsWorkstation ON hold.%1 (%2, HoldEquipmentId)")
                .arg(QLatin1String(kHoldingRowsTable), QLatin1String(kWorkstationColumn)),
            QStringLiteral("CREATE VIEW hold.HoldEquipment AS SELECT %1 FROM hold.%2 WHERE %3 = current_setting('%4') "
                           "WITH CASCADED CHECK OPTION")
                .arg(names.join(QStringLiteral(", ")), QLatin1String(kHoldingRowsTable),
                     QLatin1String(kWorkstationColumn), QLatin1String(kWorkstationSetting))};
}

} // namespace Schema
