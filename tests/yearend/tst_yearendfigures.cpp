// The year-end statement figures against the tax-return profit and loss
// statement of the same sample year: the net sales agree.

#include <QtTest>

#include "app/startup.h"
#include "ledger/yearclose.h"
#include "platform/msgbox.h"
#include "statements/kesansyo.h"
#include "statements/statementfixture.h"

class TestYearEndFigures : public QObject {
    Q_OBJECT

    std::unique_ptr<fixture::Company> co_;

    Currency value(const QString& sql) {
        const auto v = co_->cn().scalar(sql);
        return v ? Currency::fromVariant(*v) : Currency::fromYen(-999999999);
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
    }
    void init() {
        co_ = std::make_unique<fixture::Company>();
        QVERIFY(co_->open());
    }
    void cleanup() { co_.reset(); }

    // Sales (511, 514 taken for the household, 813 sundry income) less the
    // allowance (521): line 1 of the statement, figure 5 of the closed year.
    void netSalesAgree() {
        platform::ScriptedMsgBox boxes;
        QVERIFY(co_->postSampleYear());
        DeductionBoxes deduction;
        QVERIFY(BuildKesanPS(deduction, true));
        const Currency line1 = value(QStringLiteral("SELECT KOMOKU1 FROM P_KESANSYO"));
        QCOMPARE(line1, Currency::fromYen(1200000 + 2400000 + 20000 + 15000 - 50000));

        const YearCloseResult r = CloseFiscalYear(0);
        QVERIFY2(r.ok, qPrintable(r.failedStep));
        QCOMPARE(value(QStringLiteral("SELECT KOMOKU5 FROM T_KESANSYO WHERE CID = '51'")), line1);
    }
};

QTEST_MAIN(TestYearEndFigures)
#include "tst_yearendfigures.moc"
