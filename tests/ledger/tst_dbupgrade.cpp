// The start-up upgrade of a data folder's database, on a database built the
// way earlier versions shipped it: format version 1 and an empty character
// table without SEQNO. The upgrade fills the table from the shipped database
// in one transaction, leaves the other data alone, runs once, and on failure
// leaves the database as it was.

#include <QtTest>
#include <memory>

#include "ledger/dbupgrade.h"
#include "platform/connection.h"
#include "support/testenv.h"

using platform::Connection;

namespace {

// Turns a copy of the shipped database into one of format version 1.
bool makeOld(Connection& cn) {
    return cn.execScript(
        QStringLiteral("DROP TABLE T_MOJICHG;"
                       "CREATE TABLE T_MOJICHG (JAPANESE TEXT, CHINESE TEXT) STRICT;"
                       "UPDATE T_COMP_MAIN SET COMPANY = '旧形式商店' WHERE CID = '01';"
                       "PRAGMA user_version = 1;"));
}

int version(Connection& cn) {
    return cn.scalar(QStringLiteral("PRAGMA user_version"))->toInt();
}

QStringList columns(Connection& cn) {
    QStringList names;
    const auto rows = cn.query(QStringLiteral("SELECT name FROM pragma_table_info('T_MOJICHG')"));
    for (const auto& r : rows.value_or(platform::Rows())) names << r.text(0);
    return names;
}

}  // namespace

class TestDbUpgrade : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void oldDatabaseUpgraded() {
        auto copy = testenv::copyShippedDatabase();
        auto cn = Connection::open(copy->path);
        QVERIFY(cn && makeOld(*cn));

        QString why;
        QVERIFY2(UpgradeDatabase(*cn, testenv::shippedDatabase(), &why), qPrintable(why));
        QCOMPARE(version(*cn), DATABASE_VERSION);
        QCOMPARE(columns(*cn), (QStringList{"JAPANESE", "CHINESE", "SEQNO"}));

        auto shipped = Connection::open(testenv::shippedDatabase());
        QVERIFY(shipped);
        const QString all = QStringLiteral("SELECT SEQNO, JAPANESE, CHINESE FROM T_MOJICHG ORDER BY SEQNO");
        const auto want = shipped->query(all);
        const auto got = cn->query(all);
        QVERIFY(want && got);
        QVERIFY(want->size() > 6000);
        QCOMPARE(got->size(), want->size());
        for (std::size_t i = 0; i < got->size(); i += 997) {
            QCOMPARE((*got)[i].text(1), (*want)[i].text(1));
            QCOMPARE((*got)[i].text(2), (*want)[i].text(2));
        }
        QCOMPARE(cn->scalar(QStringLiteral("SELECT COMPANY FROM T_COMP_MAIN WHERE CID = '01'"))->toString(),
                 QStringLiteral("旧形式商店"));
        QVERIFY(!cn->inTransaction());
        // The shipped database is not left attached.
        QCOMPARE(cn->query(QStringLiteral("PRAGMA database_list"))->size(), std::size_t(1));

        // A second start finds it up to date and does not need the shipped file.
        QVERIFY(UpgradeDatabase(*cn, copy->dir.filePath(QStringLiteral("missing.mdb"))));
    }

    // A shipped database missing or without the table: refused with a reason,
    // the old database as it was.
    void failureKeepsOldDatabase_data() {
        QTest::addColumn<bool>("templateExists");
        QTest::newRow("no shipped file") << false;
        QTest::newRow("shipped file without the table") << true;
    }
    void failureKeepsOldDatabase() {
        QFETCH(bool, templateExists);
        auto copy = testenv::copyShippedDatabase();
        auto cn = Connection::open(copy->path);
        QVERIFY(cn && makeOld(*cn));
        const QString templateFile = copy->dir.filePath(QStringLiteral("template.mdb"));
        if (templateExists) {
            QVERIFY(QFile::copy(copy->path, templateFile));
            auto t = Connection::open(templateFile);
            QVERIFY(t && t->exec(QStringLiteral("DROP TABLE T_MOJICHG")));
        }

        QString why;
        QVERIFY(!UpgradeDatabase(*cn, templateFile, &why));
        QVERIFY(!why.isEmpty());
        QCOMPARE(version(*cn), 1);
        QCOMPARE(columns(*cn), (QStringList{"JAPANESE", "CHINESE"}));
        QVERIFY(!cn->inTransaction());
        QCOMPARE(cn->query(QStringLiteral("PRAGMA database_list"))->size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(TestDbUpgrade)
#include "tst_dbupgrade.moc"
