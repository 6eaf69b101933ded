// Helpers of the report work tables: the header row and the figures of the
// statement and ledger rows.

#include <QtTest>

#include "app/common/globals.h"
#include "ledger/printwork.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

namespace {
Currency yen(qint64 v) {
    return Currency::fromYen(v);
}
}  // namespace

class TestPrintWork : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    // The header row replaces the previous one; items 1 to 5 are empty texts.
    void headerRow() {
        const auto db = testenv::ShippedDb::open();
        QVERIFY(db);
        platform::ScriptedMsgBox box;
        QVERIFY(WritePrintHeader(QStringLiteral("2010年 4月"), QStringLiteral("2011年 3月")));
        QVERIFY(WritePrintHeader(QStringLiteral("  2010年 5月度  "), QString(), QStringLiteral("12"),
                                 QStringLiteral("O'Neil")));
        QCOMPARE(box.count(), 0);
        const auto rows = db->connection().query(QStringLiteral("SELECT * FROM T_PRINTKOMOKU"));
        QVERIFY(rows);
        QCOMPARE(int(rows->size()), 1);
        const platform::Row& r = rows->front();
        for (int i = 0; i < 5; ++i) {
            QVERIFY(!r.isNull(i));
            QCOMPARE(r.text(i), QString());
        }
        QCOMPARE(r.text("KOMOKU6"), QStringLiteral("2010年 5月度"));
        QCOMPARE(r.text("KOMOKU7"), QString());
        QCOMPARE(r.text("KOMOKU8"), QStringLiteral("12"));
        QCOMPARE(r.text("KOMOKU9"), QStringLiteral("O'Neil"));
    }

    void statementAmounts_data() {
        QTest::addColumn<QString>("side");
        QTest::addColumn<qint64>("maekuri");
        QTest::addColumn<qint64>("zan");
        QTest::newRow("debit-normal") << "0" << qint64(330) << qint64(380);
        QTest::newRow("credit-normal") << "1" << qint64(-330) << qint64(-380);
        QTest::newRow("any other side is credit-normal") << "" << qint64(-330) << qint64(-380);
    }
    void statementAmounts() {
        QFETCH(QString, side);
        QFETCH(qint64, maekuri);
        QFETCH(qint64, zan);
        // Running totals 500 debit, 120 credit; the month 80 debit, 30 credit.
        const StatementAmounts a = StatementRowAmounts(side, yen(500), yen(120), yen(80), yen(30));
        QCOMPARE(a.maekuri, yen(maekuri));
        QCOMPARE(a.krtotal, yen(80));
        QCOMPARE(a.kstotal, yen(30));
        QCOMPARE(a.zan, yen(zan));
    }

    void ledgerBalances() {
        // A debit row of 100 with 5 tax on a running balance of 200.
        QCOMPARE(LedgerRunningBalance(QStringLiteral("0"), yen(200), yen(105), yen(0)), yen(305));
        QCOMPARE(LedgerRunningBalance(QStringLiteral("1"), yen(200), yen(105), yen(0)), yen(95));
        // Brought forward: the opening pseudo-month takes the running totals whole.
        QCOMPARE(LedgerBroughtForward(QStringLiteral("0"), true, yen(500), yen(120), yen(80), yen(30)),
                 yen(380));
        QCOMPARE(LedgerBroughtForward(QStringLiteral("0"), false, yen(500), yen(120), yen(80), yen(30)),
                 yen(330));
        QCOMPARE(LedgerBroughtForward(QStringLiteral("1"), false, yen(500), yen(120), yen(80), yen(30)),
                 yen(-330));
        QCOMPARE(SideAmount(QStringLiteral("0"), yen(10), yen(25)), yen(-15));
        QCOMPARE(SideAmount(QStringLiteral("1"), yen(10), yen(25)), yen(15));
    }

    void printTexts() {
        QCOMPARE(PrintDate(QStringLiteral("2010/04/05")), QStringLiteral("10.04.05"));
        QCOMPARE(PrintDate(QStringLiteral("2010/4/5")), QString());
        QCOMPARE(PrintDate(QString()), QString());
        QCOMPARE(PrintVoucherNo(QStringLiteral("00012")), QStringLiteral("12"));
        QCOMPARE(PrintVoucherNo(QStringLiteral("00000")), QStringLiteral("0"));
        QCOMPARE(PrintVoucherNo(QStringLiteral("10000")), QStringLiteral("10000"));
        QCOMPARE(TukisyusiMonthLabel(4), QStringLiteral("4 月"));
        QCOMPARE(TukisyusiMonthLabel(12), QStringLiteral("12 月"));
    }
};

QTEST_GUILESS_MAIN(TestPrintWork)
#include "tst_printwork.moc"
