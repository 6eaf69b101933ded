// Payroll import posting: the figures become lines against the clearing
// account '363' (a negative figure on the opposite sides), the net pay leaves
// the bank or the till, and one import is one transaction.

#include <QtTest>

#include "ledger/dayvouchers.h"
#include "ledger/payrollimport.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "support/openingfixture.h"

using openingfixture::kCid;

namespace {

Currency yen(qint64 y) {
    return Currency::fromYen(y);
}

// The figures of the sample's April salary (see exchange/payroll-sample).
PayrollSums aprilSalary() {
    PayrollSums s;
    s.kyuyo = yen(452500);
    s.yhosyu = yen(400000);
    s.health = yen(41000);
    s.nenkin = yen(74000);
    s.koyohoken = yen(2600);
    s.tax = yen(39500);
    s.simizei = yen(29000);
    s.tukinteate = yen(14000);
    s.skojyo = yen(5000);
    return s;
}

PayrollChoice choice(const QString& day, PayrollMethod method, PayrollKind kind = PayrollKind::Salary) {
    PayrollChoice c;
    c.payDate = day;
    c.monthLabel = QStringLiteral("2011年 4月");
    c.kind = kind;
    c.method = method;
    c.bankAccount = QStringLiteral("012");
    return c;
}

// "account|direction|amount|description" of each line.
QStringList describe(const std::vector<ImportLine>& lines) {
    QStringList out;
    for (const ImportLine& l : lines)
        out << QStringList{l.account, l.direction, l.amount, l.description, l.cashChange.toText()}.join(u'|');
    return out;
}

}  // namespace

class TestPayrollImport : public QObject {
    Q_OBJECT
    std::unique_ptr<openingfixture::Company> co_;

    QStringList rows(const QString& sql, const platform::Params& params = {}) {
        QStringList out;
        for (const platform::Row& r : co_->cn->query(sql, params).value_or(platform::Rows())) {
            QStringList cells;
            for (int i = 0; i < r.size(); ++i) cells << r.text(i);
            out << cells.join(u'|');
        }
        return out;
    }

    // Every voucher opens with the previous day's closing cash.
    void verifyCashChain() {
        const auto v = co_->balances();
        for (int i = 1; i < v.size(); ++i) QCOMPARE(v[i].first, v[i - 1].second);
    }

    // Debit minus credit of '363' over the company's lines: 0 when balanced.
    qint64 clearingBalance() {
        const auto r = co_->cn->queryOne(
            QStringLiteral("SELECT COALESCE(SUM(CASE WHEN KRKOCODE = '363' THEN KRKIN ELSE 0 END), 0) -"
                           " COALESCE(SUM(CASE WHEN KSKOCODE = '363' THEN KSKIN ELSE 0 END), 0)"
                           " FROM T_SI_MEISAI WHERE CID = ?"),
            {kCid});
        return r ? Currency::fromRaw(r->integer(0)).yen() : -1;
    }

private slots:
    void initTestCase() { testenv::isolate(); }
    void init() {
        co_ = openingfixture::open();
        QVERIFY(co_);
        SetPayrollImportFailureForTest(PayrollStep::None);
    }
    void cleanup() {
        SetPayrollImportFailureForTest(PayrollStep::None);
        co_.reset();
    }

    void linesFollowThePostingTable() {
        // Salary by bank: every non-zero figure, in order, the net pay last.
        QCOMPARE(describe(PayrollImportLines(aprilSalary(), choice("2011/04/25", PayrollMethod::Bank))),
                 QStringList({"264|0|452500|2011年 4月給与|0", "263|0|400000|2011年 4月役員報酬|0",
                              "271|0|14000|2011年 4月通勤費|0", "268|1|2600|2011年 4月雇用保険料個人負担分|0",
                              "134|1|41000|2011年 4月健康保険料個人負担分|0",
                              "134|1|74000|2011年 4月厚生年金保険料個人負担分|0", "134|1|39500|2011年 4月所得税|0",
                              "134|1|29000|2011年 4月県市民税|0", "134|1|5000|2011年 4月その他控除金額|0",
                              "012|1|675400|2011年 4月給与振込み|0"}));

        // Bonus in cash with a negative year-end adjustment: the adjustment
        // changes sides, the net pay leaves the till.
        PayrollSums bonus;
        bonus.kyuyo = yen(500000);
        bonus.tax = yen(41000);
        bonus.nentyomoney = yen(-2800);
        QCOMPARE(describe(PayrollImportLines(bonus, choice("2011/07/10", PayrollMethod::Cash, PayrollKind::Bonus))),
                 QStringList({"265|0|500000|2011年 4月賞与|0", "134|1|41000|2011年 4月所得税|0",
                              "134|1|2800|2011年 4月所得税年末調整|0", "004|1|456200|2011年 4月賞与現金支給|-456200"}));

        // Deductions larger than the pay: the negative net pay enters the till.
        PayrollSums owed;
        owed.yhosyu = yen(1000);
        owed.tax = yen(1500);
        QCOMPARE(describe(PayrollImportLines(owed, choice("2011/04/25", PayrollMethod::Cash))),
                 QStringList({"263|0|1000|2011年 4月役員報酬|0", "134|1|1500|2011年 4月所得税|0",
                              "004|0|500|2011年 4月給与現金支給|500"}));

        // Net pay zero: no net-pay line, no cash change.
        PayrollSums even;
        even.kyuyo = yen(3000);
        even.skojyo = yen(3000);
        QCOMPARE(describe(PayrollImportLines(even, choice("2011/04/25", PayrollMethod::Cash))),
                 QStringList({"264|0|3000|2011年 4月給与|0", "134|1|3000|2011年 4月その他控除金額|0"}));
        QVERIFY(PayrollSums().allZero());
    }

    void cashPaymentPostsAndLowersTheTill() {
        platform::ScriptedMsgBox boxes;
        platform::FixedClock clock(QDate(2012, 5, 1));
        // Every day of April 2012 has its voucher; pay on the 10th.
        QVERIFY(CreateDayVouchersThrough(openingfixture::kStart, QStringLiteral("2012/04/30")));
        QVERIFY(co_->exec(QStringLiteral("UPDATE T_TUKISIME SET SYORIFLG = '1', SYORIFLGH = '1' WHERE CID = ?"), {kCid}));
        const auto before = co_->balances();
        const PayrollChoice c = choice("2012/04/10", PayrollMethod::Cash);
        QCOMPARE(PayrollAlreadyImported(c), std::optional<bool>(false));
        std::vector<ImportLine> lines = PayrollImportLines(aprilSalary(), c);
        QCOMPARE(PostPayrollImport(lines, c, openingfixture::kStart), PayrollStep::None);

        // The pay day's voucher is registered and its closing cash, and every
        // later day's, is 675,400 lower.
        QCOMPARE(rows("SELECT KESSAN FROM T_SIWAKE WHERE CID = ? AND DENDAY = '2012/04/10'", {kCid}),
                 QStringList({"1"}));
        const auto after = co_->balances();
        QCOMPARE(after.size(), before.size());
        const int payDay = 4 + 10;  // five vouchers up to 2012/03/31, then one per April day
        for (int i = 0; i < after.size(); ++i)
            QCOMPARE(after[i].second, before[i].second - (i >= payDay ? 675400 : 0));
        verifyCashChain();
        QCOMPARE(clearingBalance(), 0);
        QCOMPARE(rows("SELECT COUNT(*), MIN(SIDAY), MAX(SIDAY) FROM T_SI_MEISAI WHERE CID = ? AND SISYU = '1'", {kCid}),
                 QStringList({"10|2012/04/10|2012/04/10"}));
        // Only the pay date's month is marked for summation, in both flags
        // (2012/04 lies outside the period and has no row: nothing is marked).
        QCOMPARE(rows("SELECT DATEYM FROM T_TUKISIME WHERE CID = ? AND (SYORIFLG = '0' OR SYORIFLGH = '0')", {kCid}),
                 QStringList());

        // The same month and kind is recognised; the other kind is not.
        QCOMPARE(PayrollAlreadyImported(c), std::optional<bool>(true));
        QCOMPARE(PayrollAlreadyImported(choice("2012/04/10", PayrollMethod::Cash, PayrollKind::Bonus)),
                 std::optional<bool>(false));
        QCOMPARE(boxes.count(), 0);
    }

    void bankPaymentLeavesTheTillAndMarksThePayMonth() {
        platform::ScriptedMsgBox boxes;
        platform::FixedClock clock(QDate(2011, 9, 1));
        QVERIFY(co_->exec(QStringLiteral("UPDATE T_TUKISIME SET SYORIFLG = '1', SYORIFLGH = '1' WHERE CID = ?"), {kCid}));
        const auto before = co_->balances();
        const PayrollChoice c = choice("2011/05/10", PayrollMethod::Bank);
        std::vector<ImportLine> lines = PayrollImportLines(aprilSalary(), c);
        QCOMPARE(PostPayrollImport(lines, c, openingfixture::kStart), PayrollStep::None);
        QCOMPARE(co_->balances(), before);  // no cash moved
        QCOMPARE(rows("SELECT KESSAN FROM T_SIWAKE WHERE CID = ? AND DENDAY = '2011/05/10'", {kCid}),
                 QStringList({""}));
        QCOMPARE(rows("SELECT KSKOCODE, KSKIN / 10000 FROM T_SI_MEISAI WHERE CID = ? AND KRKOCODE = '363'"
                      " AND TEKIYO = '2011年 4月給与振込み'", {kCid}),
                 QStringList({"012|675400"}));
        QCOMPARE(clearingBalance(), 0);
        // Only the pay date's month is marked for summation, in both flags.
        QCOMPARE(rows("SELECT DATEYM, SYORIFLG || SYORIFLGH FROM T_TUKISIME WHERE CID = ?"
                      " AND (SYORIFLG = '0' OR SYORIFLGH = '0')", {kCid}),
                 QStringList({"2011/05|00"}));
    }

    void aFailedStepLeavesEverythingAsItWas_data() {
        QTest::addColumn<int>("step");
        QTest::newRow("posting") << int(PayrollStep::Posting);
        QTest::newRow("cash voucher") << int(PayrollStep::CashVoucher);
        QTest::newRow("month marks") << int(PayrollStep::MonthMarks);
        QTest::newRow("commit") << int(PayrollStep::Commit);
    }
    void aFailedStepLeavesEverythingAsItWas() {
        QFETCH(int, step);
        platform::ScriptedMsgBox boxes;
        platform::FixedClock clock(QDate(2012, 5, 1));
        QVERIFY(CreateDayVouchersThrough(openingfixture::kStart, QStringLiteral("2012/04/30")));
        const QString before = co_->snapshot() + rows("SELECT * FROM T_SI_MEISAI").join(u'\n');
        SetPayrollImportFailureForTest(PayrollStep(step));
        const PayrollChoice c = choice("2012/04/10", PayrollMethod::Cash);
        std::vector<ImportLine> lines = PayrollImportLines(aprilSalary(), c);
        QCOMPARE(PostPayrollImport(lines, c, openingfixture::kStart), PayrollStep(step));
        QCOMPARE(co_->snapshot() + rows("SELECT * FROM T_SI_MEISAI").join(u'\n'), before);
    }
};

QTEST_GUILESS_MAIN(TestPayrollImport)
#include "tst_payrollimport.moc"
