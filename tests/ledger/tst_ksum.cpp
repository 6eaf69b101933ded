// The statement roll-up over small fixtures of T_TOTAL_MEISAI and T_TOTAL1.
//
// Fixture notation: "ME:180=100/0/1000/1100" is a row of T_TOTAL_MEISAI with
// KOCODE 180 and MAEKURI/KRTOTAL/KSTOTAL/ZAN in yen; "T1:" a row of T_TOTAL1.
// Expectations use the same notation; "T1:261=-" means the row must not exist.

#include <QtTest>

#include "app/common/globals.h"
#include "ledger/ksum.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

namespace {

struct Amounts {
    qint64 m = 0, kr = 0, ks = 0, z = 0;
};

struct Entry {
    QString table;
    QString code;
    std::optional<Amounts> amounts;  // nullopt: the row is absent
};

QString tableOf(const QString& prefix) {
    return prefix == QStringLiteral("ME") ? QStringLiteral("T_TOTAL_MEISAI") : QStringLiteral("T_TOTAL1");
}

std::vector<Entry> parse(const QString& layout) {
    std::vector<Entry> out;
    for (const QString& item : layout.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString prefix = item.section(QLatin1Char(':'), 0, 0);
        const QString code = item.section(QLatin1Char(':'), 1).section(QLatin1Char('='), 0, 0);
        const QString value = item.section(QLatin1Char('='), 1);
        Entry e{tableOf(prefix), code, std::nullopt};
        if (value != QStringLiteral("-")) {
            const QStringList v = value.split(QLatin1Char('/'));
            e.amounts = Amounts{v.value(0).toLongLong(), v.value(1).toLongLong(), v.value(2).toLongLong(),
                                v.value(3).toLongLong()};
        }
        out.push_back(e);
    }
    return out;
}

QVariant yen(qint64 v) {
    return QVariant::fromValue(Currency::fromYen(v));
}

// The chart rows that the chain may have to create, with names and layout codes.
const char* const kChartTargets[] = {"174", "175", "176", "192", "202", "204", "241", "245", "258", "260",
                                     "261", "311", "330", "346", "348", "353"};

}  // namespace

class TestKsum : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;  // db_'s connection

    void insertRow(const QString& table, const QString& code, const Amounts& a) {
        QVERIFY(cn_->exec(
            QStringLiteral(
                "INSERT INTO %1 (CID, KOCODE, KMCODE, PCODE1, PCODE2, PCODE3, KAIPAGE, KMNAME,"
                " MAEKURI, KRTOTAL, KSTOTAL, ZAN) VALUES (?, ?, '', '', '', '', '', ?, ?, ?, ?, ?)")
                .arg(table),
            {gstrCID, code, QStringLiteral("科目") + code, yen(a.m), yen(a.kr), yen(a.ks), yen(a.z)}));
    }

    void fill(const QString& layout) {
        QVERIFY(cn_->exec(QStringLiteral("DELETE FROM T_TOTAL_MEISAI")));
        QVERIFY(cn_->exec(QStringLiteral("DELETE FROM T_TOTAL1")));
        for (const Entry& e : parse(layout)) insertRow(e.table, e.code, *e.amounts);
    }

    void check(const QString& layout) {
        for (const Entry& e : parse(layout)) {
            const auto rows = cn_->query(
                QStringLiteral("SELECT MAEKURI, KRTOTAL, KSTOTAL, ZAN FROM %1 WHERE KOCODE = ?").arg(e.table),
                {e.code});
            QVERIFY(rows);
            const QString where = e.table + QLatin1Char(' ') + e.code;
            if (!e.amounts) {
                QVERIFY2(rows->empty(), qPrintable(where + QStringLiteral(" should not exist")));
                continue;
            }
            QVERIFY2(rows->size() == 1, qPrintable(where + QStringLiteral(": %1 rows").arg(rows->size())));
            const platform::Row& r = rows->front();
            const QString got = QStringLiteral("%1/%2/%3/%4")
                                    .arg(r.currency(0).toText(), r.currency(1).toText(),
                                         r.currency(2).toText(), r.currency(3).toText());
            const QString want = QStringLiteral("%1/%2/%3/%4")
                                     .arg(e.amounts->m)
                                     .arg(e.amounts->kr)
                                     .arg(e.amounts->ks)
                                     .arg(e.amounts->z);
            QVERIFY2(got == want,
                     qPrintable(where + QStringLiteral(": got ") + got + QStringLiteral(", want ") + want));
        }
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        gstrCID = QStringLiteral("51");
        // A small chart holding the targets of the chain.
        QVERIFY(cn_->exec(QStringLiteral("DELETE FROM T_KANJO")));
        for (const char* code : kChartTargets) {
            QVERIFY(cn_->exec(
                QStringLiteral("INSERT INTO T_KANJO (KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, PCODE1,"
                               " PCODE2, PCODE3, KAIPAGE, SIYOU) VALUES (?, '', ?, '1', '1', ?, 'P2', 'P3',"
                               " '1', 'Y')"),
                {QString::fromLatin1(code), QStringLiteral("集計") + QString::fromLatin1(code),
                 QStringLiteral("P") + QString::fromLatin1(code)}));
        }
    }

    void cleanup() { db_.reset(); }

    void chain_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("expected");

        QTest::newRow("sales without deductions: 192 is the plus set")
            << "売上"
            << "ME:180=100/0/1000/1100 ME:185=0/0/500/500 ME:191=5/0/0/5 ME:193=7/7/7/7"
            << "T1:192=105/0/1500/1605";
        QTest::newRow("deductions: every amount subtracted with its sign, a negative balance raises it")
            << "売上"
            << "ME:180=0/0/1000/1000 ME:186=10/300/-20/-500"
            << "T1:192=-10/-300/1020/1500";
        QTest::newRow("positive minus balances lower the target")
            << "売上"
            << "ME:180=0/0/1000/1000 ME:186=0/0/0/200 ME:189=0/0/0/300"
            << "T1:192=0/0/1000/500";
        QTest::newRow("existing target row is replaced in set mode") << "売上"
                                                                     << "T1:192=9/9/9/9 ME:181=1/2/3/4"
                                                                     << "T1:192=1/2/3/4";
        QTest::newRow("manufacturing subtotal 202 then 204 reads it")
            << "売上"
            << "ME:195=10/100/0/110 ME:198=0/50/0/50 ME:199=0/0/30/-30 ME:203=0/20/0/20"
            << "ME:202=10/150/-30/190 T1:204=10/130/-30/170";
        QTest::newRow("add mode: 245 from 241 plus 242-243 less 244")
            << "売上"
            << "T1:214=1/2/3/4 ME:242=10/10/10/10 ME:244=1/1/1/-5"
            << "T1:241=1/2/3/4 T1:245=10/11/12/19";
        QTest::newRow("add mode: 258 from its rows plus total 245")
            << "売上"
            << "T1:238=100/0/0/100 ME:246=5/5/5/5 ME:254=1/1/1/1"
            << "T1:245=100/0/0/100 ME:258=104/4/4/104 T1:260=104/4/4/104";
        QTest::newRow("other statements stop after step 9")
            << "製造原価報告書"
            << "ME:180=0/0/1000/1000"
            << "T1:192=0/0/1000/1000 T1:261=- T1:348=- T1:353=-";
        QTest::newRow("profit chain: 192 less 260 down to 348 less 347")
            << "損益計算書"
            << "ME:180=0/0/1000/1000 ME:246=0/400/0/400 T1:310=0/100/0/100 T1:321=0/0/50/50 T1:329=0/20/0/20"
               " T1:341=0/0/0/0 T1:345=0/10/0/10 ME:347=0/30/0/30"
            << "T1:260=0/400/0/400 T1:261=0/-400/1000/600 T1:311=0/-500/1000/500 T1:330=0/-520/1050/530"
               " T1:346=0/-530/1050/520 T1:348=0/-560/1050/490";
        QTest::newRow("353: a fall from 100 to -300 is a debit of 400") << "損益計算書"
                                                                        << "ME:171=100/0/0/-300"
                                                                        << "T1:353=100/400/0/-300";
        QTest::newRow("353: a growth from 100 to 300 is a credit of 200") << "損益計算書"
                                                                          << "ME:171=100/0/0/300"
                                                                          << "T1:353=100/0/200/300";
        QTest::newRow("353: a fall from 300 to 100 is a debit of 200") << "損益計算書"
                                                                       << "ME:171=300/0/0/100"
                                                                       << "T1:353=300/200/0/100";
        QTest::newRow("353: a loss growing from -100 to -300 is a debit of 200")
            << "損益計算書"
            << "ME:171=-100/0/0/-300"
            << "T1:353=-100/200/0/-300";
        QTest::newRow("353 adds 171, 349, 350 and takes off 351, 352, 355, 356")
            << "損益計算書"
            << "ME:180=0/0/0/1000 ME:349=0/0/0/40 ME:351=0/0/0/-10 ME:356=0/0/0/5"
            << "T1:348=0/0/0/1000 T1:353=0/0/1045/1045";
        QTest::newRow("balance sheet adds rows 348 and 999 to 174, 175 and 176")
            << "貸借対照表"
            << "ME:348=1/2/3/4 ME:999=10/20/30/40 T1:174=100/100/100/100 T1:175=0/0/0/0 T1:176=5/5/5/5"
               " T1:173=7/7/7/7"
            << "T1:174=111/122/133/144 T1:175=11/22/33/44 T1:176=16/27/38/49 T1:173=7/7/7/7";
        QTest::newRow("balance sheet: missing totals are made and receive the profit")
            << "貸借対照表"
            << "ME:348=0/0/0/-70 T1:176=0/0/0/500"
            << "T1:176=0/0/0/430 T1:174=0/0/0/-70 T1:175=0/0/0/-70 T1:192=-";
    }

    void chain() {
        QFETCH(QString, statement);
        QFETCH(QString, rows);
        QFETCH(QString, expected);
        platform::ScriptedMsgBox box;
        fill(rows);
        QVERIFY(ksum_syukei(statement));
        QCOMPARE(box.count(), 0);
        check(expected);
    }

    // A missing target row takes its codes and name from the chart.
    void missingTargetIsCreatedFromTheChart() {
        platform::ScriptedMsgBox box;
        fill(QStringLiteral("ME:180=0/0/10/10"));
        QVERIFY(ksum_syukei(QStringLiteral("売上")));
        const auto row = cn_->queryOne(QStringLiteral("SELECT * FROM T_TOTAL1 WHERE KOCODE = '192'"));
        QVERIFY(row && row->size() > 0);
        QCOMPARE(row->text("CID"), QStringLiteral("51"));
        QCOMPARE(row->text("KMNAME"), QStringLiteral("集計192"));
        QCOMPARE(row->text("PCODE1"), QStringLiteral("P192"));
        QCOMPARE(row->text("PCODE2"), QStringLiteral("P2"));
        QCOMPARE(row->text("KAIPAGE"), QStringLiteral("1"));
        QCOMPARE(row->currency("ZAN"), Currency::fromYen(10));
    }

    // A target the chart lacks fails with the writer's message, and the steps
    // before it are undone with the whole roll-up.
    void targetMissingFromChartFailsAndUndoes() {
        platform::ScriptedMsgBox box;
        QVERIFY(cn_->exec(QStringLiteral("DELETE FROM T_KANJO WHERE KOCODE = '241'")));
        fill(QStringLiteral("ME:180=0/0/10/10"));
        QVERIFY(!ksum_syukei(QStringLiteral("損益計算書")));
        QCOMPARE(box.count(), 1);
        QCOMPARE(
            box.last().text,
            QStringLiteral(
                "集計明細データ( T_TOTAL1 )のアクセス中にエラーが発生しました(WriteTotalMeisaiTable)。"));
        QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
        check(QStringLiteral("T1:192=- T1:204=- T1:241=- ME:202=- ME:180=0/0/10/10"));
    }

    void balanceSheetWithoutProfitRowsFails() {
        platform::ScriptedMsgBox box;
        fill(QStringLiteral("T1:174=1/1/1/1"));
        QVERIFY(!ksum_syukei(QStringLiteral("貸借対照表")));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("マスタのアクセス中にエラーが発生した(ksum_taisyakutaisyohyo)。"));
        QCOMPARE(box.last().title, gstrSoftName);
        check(QStringLiteral("T1:174=1/1/1/1"));
    }

    // One step on its own: an unused plus list ("Dummy") with a minus list in
    // add mode subtracts the minus rows from the target.
    void singleStepWithoutPlusList() {
        platform::ScriptedMsgBox box;
        fill(QStringLiteral("T1:348=100/50/60/110 ME:347=10/20/30/-40"));
        const QStringList none{QStringLiteral("Dummy"), QStringLiteral("Dummy")};
        QVERIFY(ksum_sonekikesansyo(QStringLiteral("T_TOTAL1"), QStringLiteral("T_TOTAL_MEISAI"),
                                    QStringLiteral("348"), false, none, true,
                                    {QStringLiteral("347"), QStringLiteral("347")}, true));
        check(QStringLiteral("T1:348=90/30/30/150"));
        // A table that is not a statement work table is refused.
        QVERIFY(!ksum_sonekikesansyo(QStringLiteral("T_KANJO"), QStringLiteral("T_TOTAL1"),
                                     QStringLiteral("348"), true, {QStringLiteral("1"), QStringLiteral("2")},
                                     false, none, false));
        QCOMPARE(box.last().text,
                 QStringLiteral("マスタのアクセス中にエラーが発生した(ksum_sonekikesansyo)。"));
    }
};

QTEST_GUILESS_MAIN(TestKsum)
#include "tst_ksum.moc"
