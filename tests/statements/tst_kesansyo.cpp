// The tax-return statements: the blue-return special deduction, the profit
// and loss statement and the balance sheet of the sample year, and their
// reports R_PSKESAN1 and R_TSKESAN written to PDF.

#include <QTemporaryDir>
#include <QtTest>

#include "reports/reportregistry.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "reports/prepareengine.h"
#include "statementfixture.h"
#include "ledger/kesansyo.h"
#include "ledger/accountbalances.h"

using fixture::Company;

namespace {

// The year's profit of the sample year (the months' profits added up).
constexpr qint64 kYearProfit = 707300;

Currency yen(qint64 v) {
    return Currency::fromYen(v);
}

}  // namespace

class TestKesansyo : public QObject {
    Q_OBJECT

    std::unique_ptr<Company> co_;

    // Slot n of the row of P_KESANSYO, in yen (amounts) or as text (names).
    qint64 slot(int n) {
        const auto v = co_->cn().scalar(QStringLiteral("SELECT KOMOKU%1 FROM P_KESANSYO").arg(n));
        return v ? Currency::fromVariant(*v).yen() : -999999999;
    }
    QString name(int n) {
        const auto v = co_->cn().scalar(QStringLiteral("SELECT KOMOKU%1 FROM P_KESANSYO").arg(n));
        return v ? v->toString() : QStringLiteral("(failed)");
    }
    QString komoku(int n) {
        const auto v = co_->cn().scalar(QStringLiteral("SELECT KOMOKU%1 FROM T_PRINTKOMOKU").arg(n));
        return v ? v->toString() : QStringLiteral("(failed)");
    }
    // The balance of the profit of the period (348) at the closing month.
    qint64 profitOfTheYear() {
        const auto v = co_->cn().scalar(QStringLiteral(
            "SELECT KSRUI - KRRUI FROM T_TUKIKAN WHERE CID = '51' AND KANKOCODE = '348' AND DATEYM = '2011/03'"));
        return v ? Currency::fromVariant(*v).yen() : -999999999;
    }

    // The year's income from the journal alone: every income and expense
    // line of the year with its sign (credits add, debits subtract), less
    // the gains and losses on selling fixed assets.
    qint64 incomeFromJournal() {
        const auto v = co_->cn().scalar(QStringLiteral(
            "SELECT COALESCE(SUM(CASE WHEN KS.KAIPAGE IN ('3', '4') AND KS.KMCODE NOT IN ('853', '862')"
            " THEN M.KSKIN ELSE 0 END), 0) - COALESCE(SUM(CASE WHEN KR.KAIPAGE IN ('3', '4')"
            " AND KR.KMCODE NOT IN ('853', '862') THEN M.KRKIN ELSE 0 END), 0)"
            " FROM T_SI_MEISAI M LEFT JOIN T_KANJO KR ON KR.KOCODE = M.KRKOCODE"
            " LEFT JOIN T_KANJO KS ON KS.KOCODE = M.KSKOCODE"
            " WHERE M.CID = '51' AND M.DATEYM BETWEEN '2010/04' AND '2011/03'"));
        return v ? Currency::fromVariant(*v).yen() : -999999999;
    }
    // The closing balance of an account, by number.
    qint64 closingOf(const QString& km) {
        const auto v = co_->cn().scalar(
            QStringLiteral("SELECT CASE WHEN K.TAIKBN = '0' THEN T.KRRUI - T.KSRUI ELSE T.KSRUI - T.KRRUI END"
                           " FROM T_TUKIKAN T JOIN T_KANJO K ON K.KOCODE = T.KANKOCODE"
                           " WHERE T.CID = '51' AND T.DATEYM = '2011/03' AND K.KMCODE = ?"),
            {km});
        return v ? Currency::fromVariant(*v).yen() : 0;
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

    void cleanup() {
        co_.reset();
        platform::Clock::reset();
    }

    // The deduction boxes: what the real-estate income takes of the limit of
    // the chosen case, the rest up to the income, negatives counted as 0; the
    // limits those of the year of the return.
    void deduction_data() {
        QTest::addColumn<int>("which");  // DeductionCase
        QTest::addColumn<int>("year");
        QTest::addColumn<qint64>("k1");
        QTest::addColumn<qint64>("income");
        QTest::addColumn<QString>("expected");  // k1 k2 k3 k4 k5 k6 k7 k8
        const int e = int(DeductionCase::Electronic), p = int(DeductionCase::Paper), o = int(DeductionCase::Other);
        QTest::newRow("65: no real estate") << e << 2019 << qint64(0) << qint64(2000000) << "0 2000000 0 650000 0 0 0 0";
        QTest::newRow("65: part to real estate") << e << 2019 << qint64(200000) << qint64(2000000) << "200000 2000000 200000 450000 0 0 0 0";
        QTest::newRow("65: real estate at the limit") << e << 2019 << qint64(650000) << qint64(2000000) << "650000 2000000 650000 0 0 0 0 0";
        QTest::newRow("65: real estate above it") << e << 2019 << qint64(900000) << qint64(2000000) << "900000 2000000 650000 0 0 0 0 0";
        QTest::newRow("65: income below the rest") << e << 2019 << qint64(100000) << qint64(300000) << "100000 300000 100000 300000 0 0 0 0";
        QTest::newRow("65: income equal to the rest") << e << 2019 << qint64(150000) << qint64(500000) << "150000 500000 150000 500000 0 0 0 0";
        QTest::newRow("65: a loss") << e << 2019 << qint64(0) << qint64(-50000) << "0 0 0 0 0 0 0 0";
        QTest::newRow("65: negative real estate") << e << 2019 << qint64(-30000) << qint64(800000) << "0 800000 0 650000 0 0 0 0";
        QTest::newRow("10: real estate at the limit") << o << 2019 << qint64(100000) << qint64(800000) << "100000 800000 0 0 100000 0 0 0";
        QTest::newRow("10: income below the limit") << o << 2019 << qint64(0) << qint64(80000) << "0 80000 0 0 0 80000 0 0";
        QTest::newRow("10: part to real estate") << o << 2019 << qint64(30000) << qint64(1000000) << "30000 1000000 0 0 30000 70000 0 0";
        QTest::newRow("65 (2023): income below the limit") << e << 2023 << qint64(0) << qint64(649999) << "0 649999 0 649999 0 0 0 0";
        QTest::newRow("65 (2023): income at the limit") << e << 2023 << qint64(0) << qint64(650000) << "0 650000 0 650000 0 0 0 0";
        QTest::newRow("65 (2023): income above the limit") << e << 2023 << qint64(0) << qint64(650001) << "0 650001 0 650000 0 0 0 0";
        QTest::newRow("55 (2023): income below the limit") << p << 2023 << qint64(0) << qint64(549999) << "0 549999 0 0 0 0 0 549999";
        QTest::newRow("55 (2023): income at the limit") << p << 2023 << qint64(0) << qint64(550000) << "0 550000 0 0 0 0 0 550000";
        QTest::newRow("55 (2023): income above the limit") << p << 2023 << qint64(0) << qint64(2000000) << "0 2000000 0 0 0 0 0 550000";
        QTest::newRow("55 (2023): part to real estate") << p << 2023 << qint64(200000) << qint64(2000000) << "200000 2000000 0 0 0 0 200000 350000";
        QTest::newRow("55 (2020): the first year") << p << 2020 << qint64(0) << qint64(2000000) << "0 2000000 0 0 0 0 0 550000";
        QTest::newRow("55 (2019): paper still 650000") << p << 2019 << qint64(0) << qint64(2000000) << "0 2000000 0 0 0 0 0 650000";
        QTest::newRow("10 (2023): income below the limit") << o << 2023 << qint64(0) << qint64(99999) << "0 99999 0 0 0 99999 0 0";
        QTest::newRow("10 (2023): income at the limit") << o << 2023 << qint64(0) << qint64(100000) << "0 100000 0 0 0 100000 0 0";
        QTest::newRow("10 (2023): income above the limit") << o << 2023 << qint64(0) << qint64(100001) << "0 100001 0 0 0 100000 0 0";
        QTest::newRow("55 (2023): a loss") << p << 2023 << qint64(0) << qint64(-1) << "0 0 0 0 0 0 0 0";
    }
    void deduction() {
        QFETCH(int, which);
        QFETCH(int, year);
        QFETCH(qint64, k1);
        QFETCH(qint64, income);
        QFETCH(QString, expected);
        const auto c = DeductionCase(which);
        const DeductionBoxes b = BlueReturnDeduction(yen(k1), yen(income), c, year);
        QStringList got;
        for (const Currency& v : {b.k1, b.k2, b.k3, b.k4, b.k5, b.k6, b.k7, b.k8}) got << QString::number(v.yen());
        QCOMPARE(got.join(QLatin1Char(' ')), expected);
        const Currency ninth = c == DeductionCase::Electronic ? b.k4 : c == DeductionCase::Paper ? b.k8 : b.k6;
        QCOMPARE(DeductionOf(b, c), ninth);
    }

    // The profit and loss statement of the sample year: line 43 is the year's
    // profit, line 44 the deduction, line 45 the rest; the free lines carry
    // their accounts' names; the header the era dates with their era names.
    void profitAndLoss() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        platform::Clock::setFixed(QDate(2020, 3, 10));
        platform::ScriptedMsgBox box;
        DeductionBoxes boxes;
        boxes.k1 = yen(-5000);
        QVERIFY(BuildKesanPS(boxes, DeductionCase::Electronic));
        QCOMPARE(box.count(), 0);
        QCOMPARE(profitOfTheYear(), kYearProfit);
        QCOMPARE(slot(43), kYearProfit);
        QCOMPARE(boxes.k1.yen(), qint64(0));
        QCOMPARE(boxes.k2.yen(), kYearProfit);
        QCOMPARE(slot(44), qint64(650000));
        QCOMPARE(slot(45), kYearProfit - 650000);
        // Sales less the allowance; opening and closing stock; rent; wages.
        QCOMPARE(slot(1), qint64(3600000 + 15000 + 20000 - 50000));
        QCOMPARE(slot(2), qint64(250000));
        QCOMPARE(slot(3), qint64(1500000 - 30000));
        QCOMPARE(slot(5), qint64(280000));
        QCOMPARE(slot(20), qint64(740000));
        QCOMPARE(slot(23), qint64(360000));
        QCOMPARE(slot(35), qint64(300));
        QCOMPARE(name(133), QStringLiteral("受取利息"));
        QCOMPARE(name(134), QString());
        QCOMPARE(slot(36), qint64(0));
        QCOMPARE(komoku(6), QStringLiteral("令和02年 3月10日"));
        QCOMPARE(komoku(7), QStringLiteral("平成22年 4月 1日"));

        // The other case, and a second run giving the same row.
        QVERIFY(BuildKesanPS(boxes, DeductionCase::Other));
        QCOMPARE(slot(44), qint64(100000));
        QCOMPARE(boxes.k6.yen(), qint64(100000));
        QCOMPARE(boxes.k4.yen(), qint64(0));
        QVERIFY(BuildKesanPS(boxes, DeductionCase::Other));
        QCOMPARE(slot(43), kYearProfit);
        QCOMPARE(slot(45), kYearProfit - 100000);
    }

    // A year with a gain and a loss on selling fixed assets, a retirement
    // loss, a miscellaneous loss, a foreign-exchange loss, a purchase return,
    // a tax refund and a correction of an earlier year: line 43 is the
    // year's profit less the gain plus the loss on selling, as the journal
    // gives it; the balance sheet shows the two with the proprietor's
    // accounts and balances in both columns.
    void incomeUnderPublicRules() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        const struct {
            const char* day;
            const char* debit;
            const char* credit;
            qint64 yen;
        } extra[] = {
            {"2010/07/01", "101", "853", 4000},  // gain on selling a fixed asset
            {"2010/07/02", "862", "101", 1500},  // loss on selling one
            {"2010/07/03", "864", "216", 700},   // retirement loss
            {"2010/07/04", "823", "101", 300},   // miscellaneous loss
            {"2010/07/05", "824", "101", 200},   // foreign-exchange loss
            {"2010/07/06", "101", "616", 1000},  // purchase return
            {"2010/07/07", "101", "726", 400},   // tax refund
            {"2010/07/08", "101", "855", 600},   // correction of an earlier year
        };
        for (const auto& e : extra)
            QVERIFY(c.post(QString::fromLatin1(e.day), QString::fromLatin1(e.debit), QString::fromLatin1(e.credit),
                           e.yen));
        platform::ScriptedMsgBox box;
        DeductionBoxes boxes;
        QVERIFY(BuildKesanPS(boxes, DeductionCase::Other));
        QCOMPARE(box.count(), 0);
        const qint64 profit = profitOfTheYear();
        QCOMPARE(profit, kYearProfit + 4000 - 1500 - 700 - 300 - 200 + 1000 + 400 + 600);
        QCOMPARE(slot(43), profit - 4000 + 1500);
        QCOMPARE(slot(43), incomeFromJournal());
        QCOMPARE(slot(1), qint64(3600000 + 15000 + 20000 - 50000 + 600));
        QCOMPARE(slot(3), qint64(1500000 - 30000 - 1000));
        QCOMPARE(slot(40), qint64(0));

        QVERIFY(BuildKesanTS(boxes, DeductionCase::Other));
        QCOMPARE(box.count(), 0);
        QCOMPARE(slot(99), profit - 4000 + 1500);
        QCOMPARE(slot(74), qint64(270000 + 1500));
        QCOMPARE(slot(97), qint64(50000 + 4000));
        QCOMPARE(slot(25), slot(50));
        QCOMPARE(slot(75), slot(100));
    }

    // Every income and expense account of the template and of the shipped
    // presets lands on a line of the form, but for the two accounts of
    // selling fixed assets; and with every account of the chart used at
    // once, line 43 is what the journal gives and the balance sheet balances.
    void everyAccountHasALine() {
        Company& c = *co_;
        const auto rows = c.cn().query(QStringLiteral(
            "SELECT DISTINCT P.KMCODE, P.KOCODE, M.TOCODE, P.CID FROM T_KISYUZAN P JOIN MT_KANJO M"
            " ON M.KOCODE = P.KOCODE WHERE M.KAIPAGE IN ('3', '4') AND M.SYORIKBN = '0' AND P.KMCODE <> ''"
            " UNION SELECT KMCODE, KOCODE, TOCODE, 'template' FROM MT_KANJO WHERE KAIPAGE IN ('3', '4')"
            " AND SYORIKBN = '0' AND KMCODE <> ''"));
        QVERIFY(rows);
        QVERIFY(rows->size() > 100);
        for (const auto& r : *rows) {
            const QString km = r.text(0), ko = r.text(1), to = r.text(2);
            const bool placed = TaxReturnLineOf(km, ko) != 0 || TaxReturnLineOf(QString(), to) != 0;
            QVERIFY2(placed != IsFixedAssetSaleAccount(km),
                     qPrintable(QStringLiteral("%1 (%2) of %3").arg(km, ko, r.text(3))));
        }

        QVERIFY(c.postSampleYear());
        const auto chart = c.cn().query(QStringLiteral(
            "SELECT KMCODE, TAIKBN FROM T_KANJO WHERE KAIPAGE IN ('3', '4') AND SYORIKBN = '0' AND KMCODE <> ''"
            " ORDER BY KMCODE"));
        QVERIFY(chart);
        qint64 amount = 1000;
        for (const auto& r : *chart) {
            amount += 37;
            const QString km = r.text(0);
            const bool debit = r.text(1) == QStringLiteral("0");
            QVERIFY(c.post(QStringLiteral("2010/09/15"), debit ? km : QStringLiteral("101"),
                           debit ? QStringLiteral("101") : km, amount));
        }
        platform::ScriptedMsgBox box;
        DeductionBoxes boxes;
        QVERIFY(BuildKesanPS(boxes, DeductionCase::Electronic));
        QCOMPARE(box.count(), 0);
        QCOMPARE(slot(43), incomeFromJournal());
        QVERIFY(BuildKesanTS(boxes, DeductionCase::Electronic));
        QCOMPARE(slot(99), incomeFromJournal());
        QCOMPARE(slot(75), slot(100));
    }

    // The balance sheet of the sample year: the opening column shows the
    // opening balances, both columns balance, the capital is counted once
    // though the owner's account carries an opening balance, the closing
    // income is line 43.
    void balanceSheet() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        platform::ScriptedMsgBox box;
        DeductionBoxes boxes;
        QVERIFY(BuildKesanTS(boxes, DeductionCase::Electronic));
        QCOMPARE(box.count(), 0);
        const QList<QPair<int, qint64>> opening = {{1, 300000},  {4, 1500000}, {6, 400000},
                                                   {8, 250000},  {15, 180000}, {27, 330000},
                                                   {28, 500000}, {39, 20000},  {24, 0},
                                                   {47, 0},      {49, 0}};
        for (const auto& [n, v] : opening) QCOMPARE(slot(n), v);
        // Opening capital: the proprietor's capital and the profit brought forward.
        QCOMPARE(slot(48), qint64(1580000 + 200000));
        QCOMPARE(slot(25), slot(50));
        QCOMPARE(slot(25), qint64(2630000));
        // Closing: drawings, contributions, the capital unchanged, the income.
        QCOMPARE(slot(74), qint64(270000));
        QCOMPARE(slot(97), qint64(50000));
        QCOMPARE(slot(98), qint64(1780000));
        QCOMPARE(slot(99), kYearProfit);
        QCOMPARE(slot(75), slot(100));
        QCOMPARE(boxes.k2.yen(), kYearProfit);
        QCOMPARE(boxes.k3.yen() + boxes.k4.yen(), qint64(650000));
        QCOMPARE(komoku(6), QStringLiteral("平成23年 3月31日"));
    }

    // A loss, borrowings on the two accounts the form could show twice, and a
    // manufacturing year: the columns still balance, the borrowings count
    // once, the loss lowers the closing total while the boxes show 0, and
    // the manufacturing part ends at the cost of manufactured goods.
    void balanceSheetWithLossAndBorrowings() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        QVERIFY(c.postMaking());
        QVERIFY(c.post(QStringLiteral("2010/06/01"), QStringLiteral("101"), QStringLiteral("317"), 100000));
        QVERIFY(c.post(QStringLiteral("2010/06/02"), QStringLiteral("101"), QStringLiteral("320"), 50000));
        platform::ScriptedMsgBox box;
        DeductionBoxes boxes;
        QVERIFY(BuildKesanPS(boxes, DeductionCase::Electronic));
        const qint64 income = slot(43);
        QCOMPARE(income, profitOfTheYear());
        QVERIFY(income < 0);
        QCOMPARE(slot(44), qint64(0));
        QCOMPARE(slot(45), income);
        QCOMPARE(boxes.k2.yen(), qint64(0));
        QVERIFY(BuildKesanTS(boxes, DeductionCase::Electronic));
        QCOMPARE(box.count(), 0);
        QCOMPARE(slot(99), income);
        QCOMPARE(slot(76), qint64(0));
        QCOMPARE(slot(78), qint64(500000 - 200000 + 100000 + 50000));
        QCOMPARE(slot(25), slot(50));
        QCOMPARE(slot(75), slot(100));
        QCOMPARE(boxes.k2.yen(), qint64(0));
        QCOMPARE(boxes.k4.yen(), qint64(0));
        QCOMPARE(slot(102), qint64(620000 - 20000));
        QCOMPARE(slot(105), qint64(620000));
        QCOMPARE(slot(122), qint64(1030000));
        QCOMPARE(slot(126), qint64(1020000));
    }

    // The two reports in PDF: landscape, in Japanese, the sampled figures,
    // nothing cut.
    void reportPdfs() {
        Company& c = *co_;
        QVERIFY(c.postSampleYear());
        platform::ScriptedMsgBox box;
        QTemporaryDir dir;
        DeductionBoxes boxes;
        QVERIFY(BuildKesanPS(boxes, DeductionCase::Electronic));
        const QString ps = dir.filePath(QStringLiteral("ps.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_PSKESAN1"), ps));
        const QString psText = fixture::pdfText(ps);
        QVERIFY2(psText.contains(QStringLiteral("損益計算書")), qPrintable(psText));
        QVERIFY(psText.contains(fixture::kCompanyName));
        QVERIFY(psText.simplified().contains(QStringLiteral("自 平成22年 4月 1日 至 平成23年 3月31日")));
        const auto lineWith = [](const QString& text, const QString& caption, const QString& amount) {
            return fixture::linesWith(text, {caption, amount}).size();
        };
        QVERIFY(lineWith(psText, QStringLiteral("売上(収入)金額(雑収入を含む)"), QStringLiteral("3,585,000")) >= 1);
        QVERIFY(lineWith(psText, QStringLiteral("特別控除前の所得"), QStringLiteral("707,300")) >= 1);
        QVERIFY(lineWith(psText, QStringLiteral("特別控除額"), QStringLiteral("650,000")) >= 1);
        QVERIFY(lineWith(psText, QStringLiteral("受取利息"), QStringLiteral("300")) >= 1);
        // "青" reads back as a radical that NFKC keeps; the lines are found without it.
        QVERIFY(!psText.contains(QStringLiteral("…")));

        QVERIFY(BuildKesanTS(boxes, DeductionCase::Electronic));
        const QString ts = dir.filePath(QStringLiteral("ts.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_TSKESAN"), ts));
        QCOMPARE(box.count(), 0);
        const QString tsText = fixture::pdfText(ts);
        QVERIFY2(tsText.contains(QStringLiteral("貸借対照表")), qPrintable(tsText));
        QVERIFY(tsText.contains(QStringLiteral("平成23年 3月31日現在")));
        QVERIFY(tsText.contains(QStringLiteral("製品製造原価")));
        QCOMPARE(lineWith(tsText, QStringLiteral("元入金"), QStringLiteral("1,780,000")), 1);
        QVERIFY(lineWith(tsText, QStringLiteral("その他の預金"), QStringLiteral("1,500,000")) >= 1);
        QVERIFY(!tsText.contains(QStringLiteral("…")));
        // Landscape pages.
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {ts});
        QVERIFY(info.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(QStringLiteral("842 x 595")));
    }
};

QTEST_MAIN(TestKesansyo)
#include "tst_kesansyo.moc"
