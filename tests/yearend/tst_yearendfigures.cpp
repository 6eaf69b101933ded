// The year-end statement figures against the tax-return profit and loss
// statement of the same sample year: the net sales agree. A sole
// proprietor's year-end closes the year into the capital, so that the
// tax-return balance sheet balances year after year.

#include <QtTest>

#include "reports/prepareengine.h"
#include "ledger/yearclose.h"
#include "platform/msgbox.h"
#include "ledger/kesansyo.h"
#include "statements/statementfixture.h"

class TestYearEndFigures : public QObject {
    Q_OBJECT

    std::unique_ptr<fixture::Company> co_;

    qint64 slot(int n) {
        return value(QStringLiteral("SELECT KOMOKU%1 FROM P_KESANSYO").arg(n)).yen();
    }
    qint64 opening(const QString& km) {
        return value(QStringLiteral("SELECT KISYUZAN FROM T_KANJO WHERE KMCODE = '%1'").arg(km)).yen();
    }
    // The tax-return balance sheet of the current year, checked to balance in
    // both columns; its opening capital.
    qint64 balancedSheet() {
        platform::ScriptedMsgBox box;
        DeductionBoxes deduction;
        if (!BuildKesanTS(deduction, DeductionCase::Paper) || box.count() != 0) return -1;
        if (slot(25) != slot(50) || slot(75) != slot(100)) return -2;
        return slot(48);
    }

    Currency value(const QString& sql) {
        const auto v = co_->cn().scalar(sql);
        return v ? Currency::fromVariant(*v) : Currency::fromYen(-999999999);
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareEngine();
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
        QVERIFY(BuildKesanPS(deduction, DeductionCase::Electronic));
        const Currency line1 = value(QStringLiteral("SELECT KOMOKU1 FROM P_KESANSYO"));
        QCOMPARE(line1, Currency::fromYen(1200000 + 2400000 + 20000 + 15000 - 50000));

        const YearCloseResult r = CloseFiscalYear(0);
        QVERIFY2(r.ok, qPrintable(r.failedStep));
        QCOMPARE(value(QStringLiteral("SELECT KOMOKU5 FROM T_KESANSYO WHERE CID = '51'")), line1);
    }

    // Two year-ends of a sole proprietor with drawings, contributions and a
    // gain on selling a fixed asset: each closes the profit, the drawings and
    // the contributions into the capital (元入金), the two proprietor's
    // accounts and the profit brought forward start at zero, and the
    // tax-return balance sheet balances in both columns every year.
    void soleProprietorYearEnds() {
        fixture::Company& c = *co_;
        for (const char* t : {"T_COMP_MAIN", "WK_COMPANY"})
            QVERIFY(c.cn().exec(QStringLiteral("UPDATE %1 SET GKBN = '0' WHERE CID = '51'").arg(QLatin1String(t))));
        QVERIFY(c.postSampleYear());
        QVERIFY(c.post(QStringLiteral("2010/08/01"), QStringLiteral("101"), QStringLiteral("853"), 4000));
        QCOMPARE(balancedSheet(), qint64(1580000 + 200000));
        // Capital, profit brought forward, the year's profit, contributions less drawings.
        const qint64 capital1 = 1580000 + 200000 + fixture::profitToDate(11) + 4000 + 50000 - 270000;

        platform::ScriptedMsgBox box;
        YearCloseResult r = CloseFiscalYear(0);
        QVERIFY2(r.ok, qPrintable(r.failedStep));
        QCOMPARE(opening(QStringLiteral("412")), capital1);
        for (const char* km : {"251", "413", "451"}) QCOMPARE(opening(QString::fromLatin1(km)), qint64(0));
        QCOMPARE(balancedSheet(), capital1);

        const struct {
            const char* day;
            const char* debit;
            const char* credit;
            qint64 yen;
        } year2[] = {
            {"2011/05/10", "101", "511", 500000}, {"2011/06/10", "251", "101", 80000},
            {"2011/07/10", "101", "413", 30000},  {"2011/08/10", "101", "853", 6000},
            {"2011/09/10", "862", "101", 2500},   {"2011/10/10", "760", "101", 1000},
        };
        for (const auto& l : year2)
            QVERIFY(c.post(QString::fromLatin1(l.day), QString::fromLatin1(l.debit), QString::fromLatin1(l.credit),
                           l.yen));
        QCOMPARE(balancedSheet(), capital1);
        QCOMPARE(slot(99), qint64(500000 - 1000));
        QCOMPARE(slot(74), qint64(80000 + 2500));
        QCOMPARE(slot(97), qint64(30000 + 6000));

        r = CloseFiscalYear(0);
        QVERIFY2(r.ok, qPrintable(r.failedStep));
        const qint64 capital2 = capital1 + 500000 + 6000 - 2500 - 1000 + 30000 - 80000;
        QCOMPARE(opening(QStringLiteral("412")), capital2);
        QCOMPARE(balancedSheet(), capital2);
        QCOMPARE(box.count(), 0);
    }
};

QTEST_MAIN(TestYearEndFigures)
#include "tst_yearendfigures.moc"
