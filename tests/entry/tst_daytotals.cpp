// The day totals of the daily entry, computed from the grids' amounts and
// free lines with the shipped household chart's revenue and expense accounts.

#include <QtTest>

#include "ledger/daytotals.h"
#include "entrybook.h"

using entrytest::Book;

namespace {

const QString kCash = QStringLiteral("004");    // 現金 101
const QString kSalary = QStringLiteral("180");  // 給料 511, revenue, credit-normal
const QString kFood = QStringLiteral("263");    // 食費 714, expense, debit-normal
const QString kBank = QStringLiteral("012");    // 普通預金 121
const QString kSundry = QStringLiteral("999");  // 諸口 999, counted as revenue

Currency y(qint64 v) {
    return Currency::fromYen(v);
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<Currency>)
Q_DECLARE_METATYPE(std::vector<TotalsLine>)

class TestDayTotals : public QObject {
    Q_OBJECT

private:
    ProfitChart chart_;

private slots:
    void initTestCase() {
        testenv::isolate();
        Book book;
        QVERIFY(book.open());
        const auto chart = LoadProfitChart();
        QVERIFY(chart);
        chart_ = *chart;
    }

    void classifiesAccountNumbers() {
        QCOMPARE(ProfitKindOf("500"), ProfitKind::Revenue);
        QCOMPARE(ProfitKindOf("549"), ProfitKind::Revenue);
        QCOMPARE(ProfitKindOf("550"), ProfitKind::Expense);
        QCOMPARE(ProfitKindOf("799"), ProfitKind::Expense);
        QCOMPARE(ProfitKindOf("999"), ProfitKind::Revenue);
        QCOMPARE(ProfitKindOf("821"), ProfitKind::Expense);
        QCOMPARE(ProfitKindOf("800"), ProfitKind::None);
        QCOMPARE(ProfitKindOf("101"), ProfitKind::None);
        QCOMPARE(ProfitKindOf(""), ProfitKind::None);
        // The shipped chart as the screen reads it.
        QCOMPARE(chart_.at(kSalary).kind, ProfitKind::Revenue);
        QVERIFY(!chart_.at(kSalary).debitNormal);
        QCOMPARE(chart_.at(kFood).kind, ProfitKind::Expense);
        QVERIFY(chart_.at(kFood).debitNormal);
        QCOMPARE(chart_.at(kBank).kind, ProfitKind::None);
    }

    void totals_data() {
        QTest::addColumn<std::vector<Currency>>("income");
        QTest::addColumn<std::vector<Currency>>("expense");
        QTest::addColumn<std::vector<TotalsLine>>("lines");
        QTest::addColumn<bool>("salaryDebitNormal");
        QTest::addColumn<qint64>("receipts");
        QTest::addColumn<qint64>("payments");
        QTest::addColumn<qint64>("profit");
        QTest::addColumn<qint64>("balance");

        const std::vector<Currency> none;
        const std::vector<TotalsLine> noLines;
        QTest::newRow("empty") << none << none << noLines << false << 0LL << 0LL << 0LL << 50000LL;
        QTest::newRow("income 10,000, expenses 3,000")
            << std::vector<Currency>{y(10000), y(0)} << std::vector<Currency>{y(3000)} << noLines << false
            << 10000LL << 3000LL << 7000LL << 57000LL;
        QTest::newRow("cash / revenue") << none << none << std::vector<TotalsLine>{{kCash, kSalary, y(5000)}}
                                        << false << 5000LL << 0LL << 5000LL << 55000LL;
        QTest::newRow("expense / cash") << none << none << std::vector<TotalsLine>{{kFood, kCash, y(2000)}}
                                        << false << 0LL << 2000LL << -2000LL << 48000LL;
        QTest::newRow("cash / bank") << none << none << std::vector<TotalsLine>{{kCash, kBank, y(1000)}}
                                     << false << 1000LL << 0LL << 0LL << 51000LL;
        QTest::newRow("cash / cash") << none << none << std::vector<TotalsLine>{{kCash, kCash, y(700)}}
                                     << false << 700LL << 700LL << 0LL << 50000LL;
        QTest::newRow("bank / sundry counts as revenue")
            << none << none << std::vector<TotalsLine>{{kBank, kSundry, y(800)}} << false << 0LL << 0LL
            << 800LL << 50000LL;
        QTest::newRow("revenue debited lowers the profit")
            << none << none << std::vector<TotalsLine>{{kSalary, kBank, y(300)}} << false << 0LL << 0LL
            << -300LL << 50000LL;
        QTest::newRow("empty codes count nowhere") << std::vector<Currency>{y(100)} << none
                                                   << std::vector<TotalsLine>{{QString(), QString(), y(900)}}
                                                   << false << 100LL << 0LL << 100LL << 50100LL;
        // A revenue account kept on the debit side: the cash received still
        // raises the balance; only the profit follows the account's side.
        QTest::newRow("cash / revenue kept debit-normal")
            << none << none << std::vector<TotalsLine>{{kCash, kSalary, y(5000)}} << true << 5000LL << 0LL
            << -5000LL << 55000LL;
        QTest::newRow("grids and free lines together")
            << std::vector<Currency>{y(20000)} << std::vector<Currency>{y(1500), y(500)}
            << std::vector<TotalsLine>{{kCash, kSalary, y(5000)},
                                       {kFood, kCash, y(2000)},
                                       {kBank, kCash, y(10000)}}
            << false << 25000LL << 14000LL << 21000LL << 61000LL;
    }

    void totals() {
        QFETCH(std::vector<Currency>, income);
        QFETCH(std::vector<Currency>, expense);
        QFETCH(std::vector<TotalsLine>, lines);
        QFETCH(bool, salaryDebitNormal);
        ProfitChart chart = chart_;
        chart[kSalary].debitNormal = salaryDebitNormal;
        const DayTotals t = ComputeDayTotals(income, expense, lines, y(50000), kCash, chart);
        Currency incomeSum;
        for (Currency c : income) incomeSum += c;
        Currency expenseSum;
        for (Currency c : expense) expenseSum += c;
        QCOMPARE(t.income, incomeSum);
        QCOMPARE(t.purchases, expenseSum);
        QTEST(qint64(t.receipts.yen()), "receipts");
        QTEST(qint64(t.payments.yen()), "payments");
        QTEST(qint64(t.profit.yen()), "profit");
        QTEST(qint64(t.balance.yen()), "balance");
    }
};

QTEST_MAIN(TestDayTotals)
#include "tst_daytotals.moc"
