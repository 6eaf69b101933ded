// The monthly balance sheet: its build over fixtures of monthly totals and
// over a sample year posted through the services (where it must balance every
// month and agree with the profit and loss statement), and its report R_TS
// written to PDF.

#include <QTemporaryDir>
#include <QtTest>

#include "reports/reportregistry.h"
#include "platform/msgbox.h"
#include "reports/prepareengine.h"
#include "statementfixture.h"

using fixture::amounts;
using fixture::Company;

namespace {
const QString kMe = QStringLiteral("T_TOTAL_MEISAI");
const QString kT1 = QStringLiteral("T_TOTAL1");
}  // namespace

class TestMonthlyBs : public QObject {
    Q_OBJECT

    std::unique_ptr<Company> co_;

    // The rows of one small month: cash with an opening balance, an unused
    // petty cash row of zeros, capital, and the rows of the summation.
    void smallMonth(const QString& ym, bool withProfitRows) {
        Company& c = *co_;
        QVERIFY(c.markSummedThrough(ym));
        QVERIFY(c.monthRow(c.ko("101"), ym, 40, 10, 1040, 10));
        QVERIFY(c.monthRow(c.ko("102"), ym, 0, 0, 0, 0));
        QVERIFY(c.monthRow(QStringLiteral("028"), ym, 40, 10, 1040, 10));
        QVERIFY(c.monthRow(QStringLiteral("067"), ym, 40, 10, 1040, 10));
        QVERIFY(c.monthRow(QStringLiteral("113"), ym, 40, 10, 1040, 10));
        QVERIFY(c.monthRow(c.ko("412"), ym, 0, 0, 0, 1000));
        QVERIFY(c.monthRow(QStringLiteral("175"), ym, 0, 0, 0, 1000));
        QVERIFY(c.monthRow(QStringLiteral("176"), ym, 0, 0, 0, 1000));
        QVERIFY(c.monthRow(QStringLiteral("171"), ym, 0, 0, 0, 0));
        if (withProfitRows) {
            QVERIFY(c.monthRow(QStringLiteral("348"), ym, 0, 30, 0, 30));
            QVERIFY(c.monthRow(QStringLiteral("353"), ym, 0, 30, 0, 30));
        }
    }

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

    // The profit lines take the place of the profit brought forward, the
    // totals that receive the profit grow by it, and no line is dropped for
    // being zero.
    void buildFromMonthlyTotals() {
        smallMonth(QStringLiteral("2010/05"), true);
        Company& c = *co_;
        platform::ScriptedMsgBox box;
        QVERIFY(BuildTaisyakuTaisyo(fixture::monthOf(QStringLiteral("2010/05"))));
        QCOMPARE(box.count(), 0);

        const auto cash = c.row(kMe, c.ko("101"));
        QCOMPARE(amounts(cash), QStringLiteral("1000/40/10/1030"));
        QCOMPARE(cash.name, QStringLiteral("現金"));
        QCOMPARE(amounts(c.row(kMe, c.ko("102"))), QStringLiteral("0/0/0/0"));

        const auto profit = c.row(kMe, QStringLiteral("348"));
        QCOMPARE(profit.name, QStringLiteral("(うち当期純利益)"));
        QCOMPARE(amounts(profit), QStringLiteral("0/0/30/30"));
        QCOMPARE(profit.kaipage + QLatin1Char('/') + profit.pcode1 + QLatin1Char('/') + profit.pcode2,
                 QStringLiteral("2/1480/2172"));
        const auto unappropriated = c.row(kMe, QStringLiteral("353"));
        QCOMPARE(unappropriated.name, QStringLiteral("当期未処分利益"));
        QCOMPARE(unappropriated.kaipage + QLatin1Char('/') + unappropriated.pcode1 + QLatin1Char('/') +
                     unappropriated.pcode2,
                 QStringLiteral("2/1480/2171"));
        QVERIFY(!c.row(kMe, QStringLiteral("171")).found);

        // Totals are bracketed; 175 and 176 grow by the profit row, and 174,
        // without a row of its own this month, is the profit alone.
        QCOMPARE(c.row(kT1, QStringLiteral("113")).name, QStringLiteral("【資産合計】"));
        QCOMPARE(amounts(c.row(kT1, QStringLiteral("113"))), QStringLiteral("1000/40/10/1030"));
        QCOMPARE(amounts(c.row(kT1, QStringLiteral("176"))), QStringLiteral("1000/0/30/1030"));
        QCOMPARE(amounts(c.row(kT1, QStringLiteral("175"))), QStringLiteral("1000/0/30/1030"));
        QCOMPARE(amounts(c.row(kT1, QStringLiteral("174"))), QStringLiteral("0/0/30/30"));
        QCOMPARE(c.row(kT1, QStringLiteral("174")).name, QStringLiteral("【剰余金合計】"));
        // Layout lines: the heading 068 and the place of the total 113.
        QVERIFY(c.row(kMe, QStringLiteral("068")).found);
        QCOMPARE(amounts(c.row(kMe, QStringLiteral("113"))), QStringLiteral("0/0/0/0"));
        QCOMPARE(c.count(QStringLiteral("SELECT KOMOKU6 = '2010年 5月度' FROM T_PRINTKOMOKU")), qint64(1));
    }

    // A month for which the summation left no profit rows, or no rows at all,
    // gets the message and no statement.
    void monthsWithoutRows_data() {
        QTest::addColumn<bool>("withAccounts");
        QTest::newRow("no 348 or 353 row") << true;
        QTest::newRow("no row at all") << false;
    }
    void monthsWithoutRows() {
        QFETCH(bool, withAccounts);
        if (withAccounts) {
            smallMonth(QStringLiteral("2010/05"), false);
        } else {
            QVERIFY(co_->markSummedThrough(QStringLiteral("2010/05")));
        }
        platform::ScriptedMsgBox box;
        QVERIFY(!BuildTaisyakuTaisyo(fixture::monthOf(QStringLiteral("2010/05"))));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("該当データがありません。"));
        QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
        QCOMPARE(co_->count(QStringLiteral("SELECT COUNT(*) FROM T_PRINTKOMOKU")), qint64(0));
    }

    // When the summation fails, the balance sheet adds its own box after the
    // summation's; the profit and loss statement adds none.
    void failedSummation_data() {
        QTest::addColumn<bool>("balanceSheet");
        QTest::addColumn<int>("boxes");
        QTest::newRow("balance sheet") << true << 2;
        QTest::newRow("profit and loss") << false << 1;
    }
    void failedSummation() {
        QFETCH(bool, balanceSheet);
        QFETCH(int, boxes);
        QVERIFY(co_->post(QStringLiteral("2010/04/10"), QStringLiteral("101"), QStringLiteral("511"), 100));
        QVERIFY(co_->cn().exec(QStringLiteral("DROP TABLE T_TUKIHOJO")));
        platform::ScriptedMsgBox box;
        const StatementMonth month = fixture::monthOf(QStringLiteral("2010/04"));
        QVERIFY(!(balanceSheet ? BuildTaisyakuTaisyo(month) : BuildSonekiKeisan(month)));
        QCOMPARE(box.count(), boxes);
        if (balanceSheet) {
            QCOMPARE(box.last().text, QStringLiteral("月次集計異常終了"));
            QCOMPARE(box.last().icon, platform::MsgIcon::None);
            QCOMPARE(box.last().title, QStringLiteral("Ralvek"));
        }
    }

    // The sample year, month by month: assets equal liabilities and capital,
    // the profit of the period is the profit and loss statement's, and the
    // unappropriated profit adds the profit brought forward to it.
    void sampleYearBalances() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        platform::ScriptedMsgBox box;
        const QStringList months = fixture::fiscalMonths();
        for (int i = 0; i < months.size(); ++i) {
            const QString ym = months[i];
            QVERIFY2(BuildTaisyakuTaisyo(fixture::monthOf(ym)), qPrintable(ym));
            const auto assets = c.row(kT1, QStringLiteral("113"));
            const auto claims = c.row(kT1, QStringLiteral("176"));
            QVERIFY2(assets.found && assets.zan == claims.zan && assets.maekuri == claims.maekuri,
                     qPrintable(ym + QStringLiteral(": 113 ") + amounts(assets) + QStringLiteral(", 176 ") +
                                amounts(claims)));
            const auto profit = c.row(kMe, QStringLiteral("348"));
            QCOMPARE(profit.zan, fixture::profitToDate(i));
            QCOMPARE(c.row(kMe, QStringLiteral("353")).zan, fixture::kProfitBroughtForward + profit.zan);
            // The surplus total holds the profit brought forward and the profit.
            QCOMPARE(c.row(kT1, QStringLiteral("174")).zan, fixture::kProfitBroughtForward + profit.zan);
            if (i == 0) {
                // The first month brings the opening balances forward.
                QCOMPARE(amounts(c.row(kMe, c.ko("101"))), QStringLiteral("300000/1200000/0/1500000"));
                QCOMPARE(c.row(kMe, c.ko("199")).maekuri, qint64(20000));
                QCOMPARE(assets.maekuri, qint64(2610000));  // net of the allowance
            }
            if (i == 11) QCOMPARE(assets.zan, qint64(3237300));

            QVERIFY2(BuildSonekiKeisan(fixture::monthOf(ym)), qPrintable(ym));
            QCOMPARE(c.row(kT1, QStringLiteral("348")).zan, profit.zan);
            QCOMPARE(box.count(), 0);
        }
    }

    // Small companies without liabilities or capital, with groups that the
    // roll-up subtracts carrying a credit balance: the balance sheet balances,
    // and both statements show the profit that the journal lines give when
    // summed by hand.
    void profitAgreesWithTheJournal_data() {
        QTest::addColumn<QStringList>("lines");  // "day debit credit yen"
        QTest::addColumn<qint64>("costOfSales");
        QTest::newRow("sales only") << QStringList{"2010/04/10 101 511 10000"} << qint64(0);
        QTest::newRow("purchase return without purchases")
            << QStringList{"2010/04/10 101 511 10000", "2010/04/20 101 550 1000"} << qint64(-1000);
        QTest::newRow("tax refund") << QStringList{"2010/04/10 101 511 10000", "2010/04/20 101 871 5000"}
                                    << qint64(0);
        QTest::newRow("purchases and a return")
            << QStringList{"2010/04/10 101 511 10000", "2010/04/12 550 101 4000", "2010/04/20 101 550 1000"}
            << qint64(3000);
    }
    void profitAgreesWithTheJournal() {
        QFETCH(QStringList, lines);
        QFETCH(qint64, costOfSales);
        Company& c = *co_;
        qint64 profit = 0;
        auto isProfitAndLoss = [&](const QString& km) {
            const QString ko = c.ko(km);
            return ko >= QStringLiteral("177") && ko <= QStringLiteral("356");
        };
        for (const QString& line : lines) {
            const QStringList f = line.split(QLatin1Char(' '));
            const qint64 yen = f[3].toLongLong();
            QVERIFY(c.post(f[0], f[1], f[2], yen));
            if (isProfitAndLoss(f[1])) profit -= yen;
            if (isProfitAndLoss(f[2])) profit += yen;
        }
        platform::ScriptedMsgBox box;
        const StatementMonth month = fixture::monthOf(QStringLiteral("2010/04"));
        QVERIFY(BuildTaisyakuTaisyo(month));
        QCOMPARE(c.row(kMe, QStringLiteral("348")).zan, profit);
        // The first month of the year: its month column is the whole profit,
        // signed, on the credit side.
        const auto month348 = c.row(kMe, QStringLiteral("348"));
        QCOMPARE(month348.kstotal - month348.krtotal, profit);
        const qint64 assets = c.row(kT1, QStringLiteral("113")).zan;
        for (const char* total : {"174", "175", "176"}) {
            QVERIFY2(c.row(kT1, QString::fromLatin1(total)).found, total);
            QCOMPARE(c.row(kT1, QString::fromLatin1(total)).zan, profit);
        }
        QCOMPARE(c.row(kT1, QStringLiteral("176")).zan, assets);

        QVERIFY(BuildSonekiKeisan(month));
        QCOMPARE(c.row(kT1, QStringLiteral("348")).zan, profit);
        QCOMPARE(c.row(kT1, QStringLiteral("260")).zan, costOfSales);
        QCOMPARE(box.count(), 0);
    }

    // R_TS written to PDF: both sides with their totals, the profit lines in
    // the capital section, the month, the company and the period.
    void reportPdf() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        platform::ScriptedMsgBox box;
        QVERIFY(BuildTaisyakuTaisyo(fixture::monthOf(QStringLiteral("2011/03"))));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("r_ts.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_TS"), pdf));
        QCOMPARE(box.count(), 0);
        const QString text = fixture::pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("貸借対照表")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("2011年 3月度")));
        QVERIFY(text.contains(fixture::kCompanyName));
        QVERIFY(text.simplified().contains(QStringLiteral("自 2010年04月01日 至 2011年03月31日")));
        QVERIFY(text.contains(QStringLiteral("資産の部")));
        QVERIFY(text.contains(QStringLiteral("負債・資本の部")));
        QVERIFY(text.contains(QStringLiteral("固定資産")));

        auto line = [&](const QString& piece) {
            const QStringList found = fixture::linesWith(text, {piece});
            return found.size() == 1 ? found.first().simplified()
                                     : QStringLiteral("%1 lines").arg(found.size());
        };
        // Cash: 300,000 opening; the year's receipts and payments.
        QCOMPARE(line(QStringLiteral("現金 ")), QStringLiteral("101 現金 886,000 0 0 886,000"));
        QCOMPARE(line(QStringLiteral("【資産合計】")),
                 QStringLiteral("【資産合計】 3,207,300 280,000 250,000 3,237,300"));
        QCOMPARE(line(QStringLiteral("【負債・資本合計】")),
                 QStringLiteral("【負債・資本合計】 3,207,300 0 30,000 3,237,300"));
        QCOMPARE(line(QStringLiteral("当期未処分利益")),
                 QStringLiteral("当期未処分利益 877,300 0 30,000 907,300"));
        QCOMPARE(line(QStringLiteral("(うち当期純利益)")),
                 QStringLiteral("(うち当期純利益) 677,300 0 30,000 707,300"));
        QVERIFY(!text.contains(QStringLiteral("前期繰越利益")));
    }
};

QTEST_MAIN(TestMonthlyBs)
#include "tst_monthly_bs.moc"
