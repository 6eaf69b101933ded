// The shipped character table of the edition conversion, checked on the built
// database: one character in each column, no Japanese character twice, the
// transfer codes numbered 1..N without a gap, within four digits, every
// Japanese character one that CP932 holds, and a sample of forms.

#include <QtTest>
#include <memory>
#include <set>

#include "platform/connection.h"
#include "platform/cp932.h"
#include "support/testenv.h"

using platform::Connection;

class TestMojichg : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::DbCopy> db_;
    std::unique_ptr<Connection> cn_;

private slots:
    void initTestCase() {
        testenv::isolate();
        db_ = testenv::copyShippedDatabase();
        cn_ = Connection::open(db_->path);
        QVERIFY(cn_);
    }

    void rows() {
        const auto found = cn_->query(QStringLiteral("SELECT SEQNO, JAPANESE, CHINESE FROM T_MOJICHG ORDER BY SEQNO"));
        QVERIFY(found);
        const auto& rows = *found;
        QVERIFY(rows.size() > 6000);
        QVERIFY(rows.size() <= 9999);
        std::set<QString> seen;
        QStringList bad;
        qint64 expected = 1;
        for (const auto& r : rows) {
            const qint64 seq = r.value(0).toLongLong();
            const QString ja = r.value(1).toString();
            const QString zh = r.value(2).toString();
            if (seq != expected) bad << QStringLiteral("SEQNO %1 where %2 expected").arg(seq).arg(expected);
            expected = seq + 1;
            if (ja.toUcs4().size() != 1 || zh.toUcs4().size() != 1) bad << QStringLiteral("row %1 not one character").arg(seq);
            if (!platform::cp932::canEncode(ja)) bad << QStringLiteral("row %1 outside CP932").arg(seq);
            if (!seen.insert(ja).second) bad << QStringLiteral("row %1 repeats %2").arg(seq).arg(ja);
        }
        QVERIFY2(bad.isEmpty(), qPrintable(bad.mid(0, 20).join("; ")));
    }

    void sample_data() {
        QTest::addColumn<QString>("japanese");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("same") << QStringLiteral("会") << QStringLiteral("会");
        QTest::newRow("計") << QStringLiteral("計") << QStringLiteral("计");
        QTest::newRow("東") << QStringLiteral("東") << QStringLiteral("东");
        QTest::newRow("銀") << QStringLiteral("銀") << QStringLiteral("银");
        QTest::newRow("売") << QStringLiteral("売") << QStringLiteral("卖");
        QTest::newRow("髙 kept") << QStringLiteral("髙") << QStringLiteral("髙");
        QTest::newRow("kana") << QStringLiteral("カ") << QStringLiteral("カ");
        QTest::newRow("half-width kana") << QStringLiteral("ｶ") << QStringLiteral("ｶ");
        QTest::newRow("digit") << QStringLiteral("７") << QStringLiteral("７");
        QTest::newRow("Latin") << QStringLiteral("A") << QStringLiteral("A");
        QTest::newRow("quote") << QStringLiteral("'") << QStringLiteral("'");
        QTest::newRow("bracket") << QStringLiteral("「") << QStringLiteral("“");
    }
    void sample() {
        QFETCH(QString, japanese);
        QFETCH(QString, chinese);
        const auto row = cn_->queryOne(QStringLiteral("SELECT CHINESE FROM T_MOJICHG WHERE JAPANESE = ?"), {japanese});
        QVERIFY2(row, qPrintable(japanese + " missing"));
        QCOMPARE(row->value(0).toString(), chinese);
    }
};

QTEST_GUILESS_MAIN(TestMojichg)
#include "tst_mojichg.moc"
