#include "data/Database.h"
#include "equipment/store/HoldingStore.h"
#include "equipment/store/TemplateStore.h"
#include "equipment/store/UnitFields.h"
#include "equipment/store/UnitStore.h"
#include "equipment/ui/EquipmentFields.h"
#include "import/store/CsvImportStore.h"
#include "support/Fixtures.h"
#include "support/TestContext.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

using namespace Fixtures;

// Every attribute of the table through every path that carries it, so a new row is proved without a new test.
namespace {
const QString kSerial = QStringLiteral("SN-ROUND");

// A value of its own for each attribute; the date one a date can be.
QString valueOf(const UnitFieldInfo& f, const QString& tag = QStringLiteral("v")) {
    if (f.field == UnitField::DatePurchased)
        return tag == QLatin1String("v") ? QStringLiteral("2024-02-29") : QStringLiteral("2023-11-30");
    if (f.field == UnitField::SerialNumber)
        return kSerial;
    return tag + QLatin1Char(' ') + QLatin1String(f.caption) + QStringLiteral(" O'Neil");
}

UnitValues valuesFor(bool (*carries)(const UnitFieldInfo&), const QString& tag = QStringLiteral("v")) {
    UnitValues v;
    for (const UnitFieldInfo& f : kUnitFields)
        if (carries(f))
            v[f.field] = valueOf(f, tag);
    return v;
}

bool held(const UnitFieldInfo& f) {
    return f.holding;
}
bool boxed(const UnitFieldInfo& f) {
    return f.box || f.field == UnitField::EquipmentType;
}
bool stenciled(const UnitFieldInfo& f) {
    return f.stencil;
}
} // namespace

class tst_UnitFields : public QObject {
    Q_OBJECT
private slots:
    void holdingCommitUnitAndSave();
    void templateCarriesItsAttributes();
    void importHeadersFillTheirColumns_data();
    void importHeadersFillTheirColumns();
    void boxesNamedAndLabelledFromTheTable();
};

void tst_UnitFields::holdingCommitUnitAndSave() {
    TestContext t;
    const qint64 loc = addLocation(*t.db, "Depot");
    UnitValues entered = valuesFor(held);
    entered.currentLocation = loc;
    entered.locationName = QStringLiteral("Depot");
    HoldingStore holding(*t.db);
    const qint64 id = holding.insert(entered);
    const std::optional<UnitRecord> waiting = holding.row(id);
    QVERIFY(waiting);
    QCOMPARE(holding.commitToInventory().committed, 1);

    UnitStore units(*t.db);
    const std::optional<UnitRecord> unit = units.firstWithSerial(kSerial);
    QVERIFY(unit);
    for (const UnitFieldInfo& f : kUnitFields) {
        const std::optional<QString> expected = held(f) ? std::optional(valueOf(f)) : std::nullopt;
        QCOMPARE((*waiting)[f.field], expected);
        QCOMPARE((*unit)[f.field], expected);
    }
    QCOMPARE(unit->currentLocation, loc);

    // What the detail window writes comes back from every column it names.
    QVERIFY(units.save(unit->id, valuesFor(boxed, QStringLiteral("w"))));
    const std::optional<UnitRecord> saved = units.unit(unit->id);
    for (const UnitFieldInfo& f : kUnitFields)
        if (boxed(f))
            QCOMPARE((*saved)[f.field], valueOf(f, QStringLiteral("w")));
}

void tst_UnitFields::templateCarriesItsAttributes() {
    TestContext t;
    TemplateStore store(*t.db);
    store.save(QStringLiteral("All"), valuesFor(boxed));
    const std::optional<UnitRecord> found = store.find(QStringLiteral("All"));
    QVERIFY(found);
    for (const UnitFieldInfo& f : kUnitFields)
        QCOMPARE((*found)[f.field], stenciled(f) ? std::optional(valueOf(f)) : std::nullopt);
}

void tst_UnitFields::importHeadersFillTheirColumns_data() {
    QTest::addColumn<int>("spelling"); // which of each attribute's spellings heads its column; -1: its caption
    QTest::newRow("captions") << -1;
    QTest::newRow("first spellings") << 0;
    QTest::newRow("last spellings") << 99;
}

void tst_UnitFields::importHeadersFillTheirColumns() {
    QFETCH(int, spelling);
    TestContext t;
    addLocation(*t.db, "Depot");
    QStringList headers{QStringLiteral("Location")};
    QStringList cells{QStringLiteral("Depot")};
    for (const UnitFieldInfo& f : kUnitFields) {
        if (!held(f))
            continue;
        QVERIFY2(f.spellings.size() > 0, f.caption);
        const int last = static_cast<int>(f.spellings.size()) - 1;
        headers << (spelling < 0 ? QLatin1String(f.caption)
                                 : QLatin1String(f.spellings.begin()[std::min(spelling, last)]));
        cells << QLatin1Char('"') + valueOf(f) + QLatin1Char('"');
        QCOMPARE(CsvImportStore::caption(f.field), QLatin1String(f.caption));
    }
    const ImportFile file = CsvImportStore::parse(
        (headers.join(QLatin1Char(',')) + QLatin1Char('\n') + cells.join(QLatin1Char(',')) + QLatin1Char('\n'))
            .toUtf8());
    for (qsizetype i = 1; i < headers.size(); ++i)
        QVERIFY2(file.targets.at(i).field(), qPrintable(headers.at(i)));
    ImportOptions options;
    options.createTypes = {valueOf(unitField(UnitField::EquipmentType))};
    options.today = QDate(2026, 1, 1);
    QCOMPARE(CsvImportStore(*t.db).import(file, options), 1);
    HoldingStore holding(*t.db);
    const std::optional<UnitRecord> row = holding.row(holding.rows().front().tag.toLongLong());
    for (const UnitFieldInfo& f : kUnitFields)
        if (held(f))
            QCOMPARE((*row)[f.field], valueOf(f));
}

void tst_UnitFields::boxesNamedAndLabelledFromTheTable() {
    QWidget window;
    EquipmentFields fields(&window, EquipmentFields::Pickers::Type);
    for (const UnitFieldInfo& f : kUnitFields) {
        if (!f.box) {
            QVERIFY(!fields.box(f.field));
            continue;
        }
        QLineEdit* box = window.findChild<QLineEdit*>(QLatin1String(f.box));
        QCOMPARE(fields.box(f.field), box);
        QCOMPARE(box->accessibleName(), QLatin1String(f.caption));
    }
    QCOMPARE(fields.types->accessibleName(), QLatin1String(unitField(UnitField::EquipmentType).caption));
}

QTEST_MAIN(tst_UnitFields)
#include "tst_unitfields.moc"
