// The monthly profit and loss statement: its build over fixtures of monthly
// totals and over a sample year posted through the services, and its report
// R_PS written to PDF.

#include <QTemporaryDir>
#include <QtTest>

#include "reports/reportregistry.h"
#include "ledger/rowwriters.h"
#include "platform/msgbox.h"
#include "reports/prepareengine.h"
#include "statementfixture.h"

using fixture::amounts;
using fixture::Company;

class TestMonthlyPl : public QObject {
    Q_OBJECT

    std::unique_ptr<Company> co_;

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareEngine();
    }

    void init() {
        co_ = std::make_unique<Company>();
        QVERIFY(co_->open());
    }

    void cleanup() { co_.reset(); }

    // The month's figure of a result line is its balance less the amount
    // brought forward, on the line's own side (debit for the costs 245 and
    // 260), a negative figure on the other; lines that are not result lines
    // stay as they are.
    void nettedTotals_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<qint64>("maekuri");
        QTest::addColumn<qint64>("kr");
        QTest::addColumn<qint64>("ks");
        QTest::addColumn<qint64>("zan");
        QTest::addColumn<QString>("expected");
        QTest::newRow("sales grow") << "192" << qint64(100) << qint64(-300) << qint64(100) << qint64(300)
                                    << "100/0/200/300";
        QTest::newRow("gross profit falls") << "261" << qint64(300) << qint64(100) << qint64(-300) << qint64(100)
                                            << "300/200/0/100";
        QTest::newRow("cost grows") << "260" << qint64(100) << qint64(-50) << qint64(20) << qint64(250)
                                    << "100/150/0/250";
        QTest::newRow("unchanged") << "348" << qint64(150) << qint64(150) << qint64(150) << qint64(150)
                                   << "150/0/0/150";
        QTest::newRow("a loss") << "353" << qint64(0) << qint64(40) << qint64(100) << qint64(-60) << "0/60/0/-60";
        QTest::newRow("not a result line") << "310" << qint64(0) << qint64(-300) << qint64(100) << qint64(0)
                                           << "0/-300/100/0";
    }
    void nettedTotals() {
        QFETCH(QString, code);
        QFETCH(qint64, maekuri);
        QFETCH(qint64, kr);
        QFETCH(qint64, ks);
        QFETCH(qint64, zan);
        QFETCH(QString, expected);
        QVERIFY(co_->cn().exec(QStringLiteral("INSERT INTO T_TOTAL1 (CID, KOCODE, KMNAME, MAEKURI, KRTOTAL,"
                                              " KSTOTAL, ZAN) VALUES ('51', ?, 'x', ?, ?, ?, ?)"),
                               {code, fixture::yen(maekuri), fixture::yen(kr), fixture::yen(ks), fixture::yen(zan)}));
        QVERIFY(sonekikeisan::update_data());
        QCOMPARE(amounts(co_->row(QStringLiteral("T_TOTAL1"), code)), expected);
    }

    // Months with a purchase return (a negative cost): the month column of
    // the gross profit and of the profit of the period is the month's figure
    // from the journal, as their balance is the year's.
    void monthColumnWithPurchaseReturn() {
        Company& c = *co_;
        QVERIFY(c.post(QStringLiteral("2010/04/05"), QStringLiteral("101"), QStringLiteral("511"), 10000));
        QVERIFY(c.post(QStringLiteral("2010/04/06"), QStringLiteral("101"), QStringLiteral("616"), 1000));
        QVERIFY(c.post(QStringLiteral("2010/05/05"), QStringLiteral("101"), QStringLiteral("511"), 5000));
        QVERIFY(c.post(QStringLiteral("2010/05/06"), QStringLiteral("101"), QStringLiteral("616"), 500));
        QVERIFY(c.post(QStringLiteral("2010/05/07"), QStringLiteral("760"), QStringLiteral("101"), 2000));
        // The month's signed figure of the accounts in a number range, from the journal.
        const auto fromJournal = [&](const QString& ym, const QString& from, const QString& to) {
            return c.count(QStringLiteral(
                "SELECT (COALESCE(SUM(CASE WHEN KS.KMCODE BETWEEN '%2' AND '%3' THEN M.KSKIN ELSE 0 END), 0)"
                " - COALESCE(SUM(CASE WHEN KR.KMCODE BETWEEN '%2' AND '%3' THEN M.KRKIN ELSE 0 END), 0)) / 10000"
                " FROM T_SI_MEISAI M LEFT JOIN T_KANJO KR ON KR.KOCODE = M.KRKOCODE"
                " LEFT JOIN T_KANJO KS ON KS.KOCODE = M.KSKOCODE WHERE M.CID = '51' AND M.DATEYM = '%1'")
                               .arg(ym, from, to));
        };
        platform::ScriptedMsgBox box;
        for (const QString ym : {QStringLiteral("2010/04"), QStringLiteral("2010/05")}) {
            QVERIFY(BuildSonekiKeisan(fixture::monthOf(ym)));
            QCOMPARE(box.count(), 0);
            const qint64 gross = fromJournal(ym, QStringLiteral("500"), QStringLiteral("699"));
            const qint64 profit = fromJournal(ym, QStringLiteral("500"), QStringLiteral("899"));
            QCOMPARE(gross, ym.endsWith(QStringLiteral("04")) ? qint64(11000) : qint64(5500));
            const auto grossRow = c.row(QStringLiteral("T_TOTAL1"), QStringLiteral("261"));
            QCOMPARE(QStringLiteral("%1/%2").arg(grossRow.krtotal).arg(grossRow.kstotal),
                     QStringLiteral("0/%1").arg(gross));
            QCOMPARE(grossRow.zan - grossRow.maekuri, gross);
            const auto profitRow = c.row(QStringLiteral("T_TOTAL1"), QStringLiteral("348"));
            QCOMPARE(QStringLiteral("%1/%2").arg(profitRow.krtotal).arg(profitRow.kstotal),
                     QStringLiteral("0/%1").arg(profit));
        }
    }

    // A month built from given totals: the result lines, the pruning of the
    // manufacturing lines, the subtotals 202 and 258 and the empty account
    // lines, and the placing of the profit brought forward.
    void buildFromMonthlyTotals() {
        const QString ym = QStringLiteral("2010/05");
        Company& c = *co_;
        QVERIFY(c.markSummedThrough(ym));
        // Sales with a negative debit (a reversed entry) and a credit.
        QVERIFY(c.monthRow(c.ko("511"), ym, -300, 100, -300, 100));
        // Manufacturing: materials purchased and wages, rolled into 204 and 214.
        QVERIFY(c.monthRow(c.ko("622"), ym, 50, 0, 80, 0));
        QVERIFY(c.monthRow(c.ko("631"), ym, 70, 0, 70, 0));
        QVERIFY(c.monthRow(QStringLiteral("204"), ym, 50, 0, 80, 0));
        QVERIFY(c.monthRow(QStringLiteral("214"), ym, 70, 0, 70, 0));
        // Opening stock and purchases: the subtotal 258.
        QVERIFY(c.monthRow(c.ko("611"), ym, 0, 0, 400, 0));
        QVERIFY(c.monthRow(c.ko("550"), ym, 90, 0, 90, 0));
        // An expense with a row but nothing in it, and one brought forward only.
        QVERIFY(c.monthRow(c.ko("760"), ym, 0, 0, 0, 0));
        QVERIFY(c.monthRow(c.ko("747"), ym, 0, 0, 30, 0));
        QVERIFY(c.monthRow(QStringLiteral("310"), ym, 0, 0, 30, 0));
        // Profit brought forward (credit-normal) and the rows of the summation.
        QVERIFY(c.monthRow(QStringLiteral("171"), ym, 0, 0, 0, 500));
        QVERIFY(c.monthRow(QStringLiteral("348"), ym, 0, 0, 0, 0));
        QVERIFY(c.monthRow(QStringLiteral("353"), ym, 0, 0, 0, 500));

        platform::ScriptedMsgBox box;
        QVERIFY(BuildSonekiKeisan(fixture::monthOf(ym)));
        QCOMPARE(box.count(), 0);

        const QString me = QStringLiteral("T_TOTAL_MEISAI"), t1 = QStringLiteral("T_TOTAL1");
        // Net sales: debit -300 and credit 100 are a credit of 400 in the
        // month, as the balance is.
        QCOMPARE(amounts(c.row(t1, QStringLiteral("192"))), QStringLiteral("0/0/400/400"));
        QCOMPARE(c.row(t1, QStringLiteral("192")).name, QStringLiteral("純売上高"));
        QCOMPARE(amounts(c.row(me, c.ko("511"))), QStringLiteral("0/-300/100/400"));
        // Nothing of the manufacturing section nor the two subtotals is left.
        QCOMPARE(
            c.count(QStringLiteral("SELECT COUNT(*) FROM T_TOTAL_MEISAI WHERE KOCODE BETWEEN '195' AND '244'"
                                   " OR KOCODE IN ('202', '258')")),
            qint64(0));
        QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM T_TOTAL1 WHERE KOCODE BETWEEN '195' AND '244'"
                                        " OR KOCODE IN ('202', '258')")),
                 qint64(0));
        // ... but the manufactured cost reached the cost of sales through 245.
        QCOMPARE(amounts(c.row(t1, QStringLiteral("245"))), QStringLiteral("30/120/0/150"));
        QCOMPARE(amounts(c.row(t1, QStringLiteral("260"))), QStringLiteral("430/210/0/640"));
        // An account line without any amount goes; one brought forward stays.
        QVERIFY(!c.row(me, c.ko("760")).found);
        QCOMPARE(amounts(c.row(me, c.ko("747"))), QStringLiteral("30/0/0/30"));
        // Layout lines stay with empty number and name.
        const auto heading = c.row(me, QStringLiteral("178"));
        QVERIFY(heading.found);
        QVERIFY(heading.name.isEmpty() && heading.kmcode.isEmpty());
        // The profit brought forward prints on page 3 at 1975.
        const auto carried = c.row(me, QStringLiteral("171"));
        QCOMPARE(amounts(carried), QStringLiteral("500/0/0/500"));
        QCOMPARE(carried.kaipage, QStringLiteral("3"));
        QCOMPARE(carried.pcode1, QStringLiteral("1975"));
        // Header: item 6 is the label and "度", the others empty.
        const auto header = c.cn().queryOne(QStringLiteral("SELECT * FROM T_PRINTKOMOKU"));
        QVERIFY(header && header->size() == 9);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(header->text(i), i == 5 ? QStringLiteral("2010年 5月度") : QString());
    }

    // A company whose month has no profit brought forward still gets its
    // statement; a month without any account line gets none.
    void monthsWithoutRows() {
        Company& c = *co_;
        QVERIFY(c.markSummedThrough(QStringLiteral("2010/05")));
        QVERIFY(c.monthRow(c.ko("511"), QStringLiteral("2010/05"), 0, 100, 0, 100));
        QVERIFY(c.monthRow(QStringLiteral("192"), QStringLiteral("2010/05"), 0, 100, 0, 100));
        platform::ScriptedMsgBox box;
        QVERIFY(BuildSonekiKeisan(fixture::monthOf(QStringLiteral("2010/05"))));
        QCOMPARE(box.count(), 0);
        QVERIFY(!c.row(QStringLiteral("T_TOTAL_MEISAI"), QStringLiteral("171")).found);

        QVERIFY(c.markSummedThrough(QStringLiteral("2010/06")));
        QVERIFY(!BuildSonekiKeisan(fixture::monthOf(QStringLiteral("2010/06"))));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("該当データがありません。"));
        QCOMPARE(box.last().title, QStringLiteral("Ralvek"));
        QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
        // The stopped build left the previous month's rows as they were.
        QCOMPARE(amounts(c.row(QStringLiteral("T_TOTAL_MEISAI"), c.ko("511"))),
                 QStringLiteral("0/0/100/100"));
    }

    // Over the sample year, month by month: the profit to date, the first
    // month's zero brought forward, the unappropriated profit moving by the
    // month's profit on the side it moved to, and an account name holding a
    // quote.
    void sampleYear() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        QVERIFY(c.cn().exec(QStringLiteral("UPDATE T_KANJO SET KANNAME = ? WHERE KMCODE = '728'"),
                            {QStringLiteral("消耗品費'備品")}));
        platform::ScriptedMsgBox box;
        const QStringList months = fixture::fiscalMonths();
        for (int i = 0; i < months.size(); ++i) {
            const QString ym = months[i];
            QVERIFY2(BuildSonekiKeisan(fixture::monthOf(ym)), qPrintable(ym));
            QCOMPARE(box.count(), 0);
            const qint64 toDate = fixture::profitToDate(i);
            const qint64 before = toDate - fixture::kMonthProfit[i];
            const auto profit = c.row(QStringLiteral("T_TOTAL1"), QStringLiteral("348"));
            QCOMPARE(profit.zan, toDate);
            QCOMPARE(profit.maekuri, before);
            const auto unappropriated = c.row(QStringLiteral("T_TOTAL1"), QStringLiteral("353"));
            QCOMPARE(unappropriated.zan, toDate + fixture::kProfitBroughtForward);
            QCOMPARE(unappropriated.maekuri, before + fixture::kProfitBroughtForward);
            const qint64 month = fixture::kMonthProfit[i];
            const QString sides =
                QStringLiteral("%1/%2").arg(month < 0 ? -month : 0).arg(month > 0 ? month : 0);
            QVERIFY2(QStringLiteral("%1/%2").arg(unappropriated.krtotal).arg(unappropriated.kstotal) == sides,
                     qPrintable(ym + QStringLiteral(" 353 sides ") + amounts(unappropriated)));
            if (i == 0) {
                QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM T_TOTAL_MEISAI WHERE MAEKURI <> 0 AND"
                                                " KOCODE <> '171'")),
                         qint64(0));
            }
        }
        // The year's expenses include the account whose name holds a quote.
        const auto supplies = c.row(QStringLiteral("T_TOTAL_MEISAI"), c.ko("728"));
        QCOMPARE(supplies.name, QStringLiteral("消耗品費'備品"));
        QCOMPARE(supplies.zan, qint64(55000));
    }

    // Two builds in a row leave only the second month's rows.
    void secondBuildReplacesTheFirst() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        platform::ScriptedMsgBox box;
        QVERIFY(BuildSonekiKeisan(fixture::monthOf(QStringLiteral("2011/03"))));
        QVERIFY(BuildSonekiKeisan(fixture::monthOf(QStringLiteral("2010/05"))));
        QCOMPARE(
            c.count(QStringLiteral("SELECT COUNT(*) FROM T_TOTAL_MEISAI WHERE KOCODE = ?"), {c.ko("611")}),
            qint64(0));
        QCOMPARE(amounts(c.row(QStringLiteral("T_TOTAL_MEISAI"), c.ko("511"))),
                 QStringLiteral("1200000/0/2400000/3600000"));
        QCOMPARE(c.count(QStringLiteral("SELECT COUNT(*) FROM T_TOTAL1 WHERE KOCODE = '348'")), qint64(1));
    }

    // R_PS written to PDF shows the month, the company, the period and the
    // figures of its lines.
    void reportPdf() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        platform::ScriptedMsgBox box;
        QVERIFY(BuildSonekiKeisan(fixture::monthOf(QStringLiteral("2010/07"))));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("r_ps.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_PS"), pdf));
        QCOMPARE(box.count(), 0);
        const QString text = fixture::pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("損益計算書")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("2010年 7月度")));
        QVERIFY(text.contains(fixture::kCompanyName));
        QVERIFY(text.simplified().contains(QStringLiteral("自 2010年04月01日 至 2011年03月31日")));
        // Sales: brought forward 3,600,000, no movement, balance 3,600,000.
        const QStringList sales = fixture::linesWith(text, {QStringLiteral("511"), QStringLiteral("売上高")});
        QCOMPARE(sales.size(), 1);
        QCOMPARE(sales.first().simplified(), QStringLiteral("511 売上高 3,600,000 0 0 3,600,000"));
        // The allowance on a sale in July, then net sales netted to one side.
        QVERIFY(
            !fixture::linesWith(text, {QStringLiteral("売上値引高"), QStringLiteral("50,000")}).isEmpty());
        const QStringList net = fixture::linesWith(text, {QStringLiteral("【純売上高】")});
        QCOMPARE(net.size(), 1);
        QVERIFY2(net.first().simplified().endsWith(QStringLiteral("3,600,000 50,000 0 3,550,000")),
                 qPrintable(net.first()));
        // Headings of the layout lines, and the result lines.
        QVERIFY(text.contains(QStringLiteral("経常損益の部")));
        QVERIFY(text.contains(QStringLiteral("売上原価の部")));
        const QStringList profit = fixture::linesWith(text, {QStringLiteral("【当期純利益】")});
        QCOMPARE(profit.size(), 1);
        QVERIFY2(profit.first().simplified().endsWith(QStringLiteral("1,460,000 410,000 0 1,050,000")),
                 qPrintable(profit.first()));
        QVERIFY(!text.contains(QStringLiteral("材料費")));
    }
};

QTEST_MAIN(TestMonthlyPl)
#include "tst_monthly_pl.moc"
