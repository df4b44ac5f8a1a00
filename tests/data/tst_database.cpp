#include "data/Database.h"
#include "data/DisplayRules.h"
#include "data/Module1.h"
#include "support/TestContext.h"

#include <QFile>
#include <QTest>

class tst_Database : public QObject {
    Q_OBJECT
private slots:
    void freshDirectoryGetsSchema();
};

void tst_Database::freshDirectoryGetsSchema() {
    TestContext t;
    QVERIFY(QFile::exists(t.dataDir() + "/Inventory.mdb"));
    QVERIFY(QFile::exists(t.dataDir() + "/Kavrel.mdb"));
}

QTEST_MAIN(tst_Database)
#include "tst_database.moc"
