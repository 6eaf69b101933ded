// The general and subsidiary ledger builds: their balances against balances
// worked out independently from a generated year, and the columns, order and
// failure behaviour of their work tables on small fixtures.

#include <QtTest>

#include "ledger/ledgerbooks.h"
#include "ledgerfixture.h"
#include "platform/msgbox.h"

using namespace ledgerfixture;

class TestLedgerBuilds : public QObject {
    Q_OBJECT

    std::unique_ptr<Company> co_;

    platform::Connection& cn() { return co_->cn(); }
    qint64 count(const QString& sql, const platform::Params& p = {}) { return co_->count(sql, p); }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        co_ = std::make_unique<Company>();
        QVERIFY(co_->open());
    }

    void cleanup() { co_.reset(); }

    // Every account's rows start at its balance brought forward and run to
    // the balance worked out from the opening balances and the lines: for a
    // range from the first month, from a middle month, and from a month
    // without any line (December) or in which an account has no totals (725,
    // 313 move in two months and one).
    void generalLedgerOracle_data() {
        QTest::addColumn<QString>("fromYM");
        QTest::addColumn<QString>("toYM");
        QTest::newRow("whole year") << "2010/04" << "2011/03";
        QTest::newRow("from a middle month") << "2010/09" << "2011/03";
        QTest::newRow("from the empty month") << "2010/12" << "2011/02";
        QTest::newRow("one month") << "2010/06" << "2010/06";
    }
    void generalLedgerOracle() {
        QFETCH(QString, fromYM);
        QFETCH(QString, toYM);
        Year year(*co_);
        QVERIFY(year.generate());
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo(range(fromYM, toYM)));
        QCOMPARE(box.count(), 0);

        for (const char* km : {"101", "121", "166", "171", "312", "313", "511", "550", "712", "725", "747"}) {
            const QString ko = co_->ko(QString::fromLatin1(km));
            const auto e = year.expected(ko, QString(), fromYM, toYM);
            const bool listed = e.broughtForward != 0 || !e.running.isEmpty();
            QCOMPARE(zans(cn(), QStringLiteral("T_SKANMT_OUT"), QStringLiteral("KANKOCODE = ?"), {ko}),
                     listed ? expectedZans(e, true) : QString());
        }
        // Nothing else has lines; the lines are in date order per account.
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM T_SKANMT_OUT WHERE DENNO <> '0'")),
                 count(QStringLiteral("SELECT 2 * COUNT(*) FROM T_SI_MEISAI WHERE CID = '51' AND DATEYM"
                                      " BETWEEN ? AND ?"),
                       {fromYM, toYM}));
        QCOMPARE(count(QStringLiteral(
                     "SELECT COUNT(*) FROM T_SKANMT_OUT A JOIN T_SKANMT_OUT B ON B.rowid = A.rowid + 1"
                     " AND B.KANKOCODE = A.KANKOCODE AND A.DENNO <> '0' WHERE B.SIDAY < A.SIDAY")),
                 qint64(0));
    }

    // The same for every named sub-account, with the whole chart as range.
    void subsidiaryLedgerOracle_data() { generalLedgerOracle_data(); }
    void subsidiaryLedgerOracle() {
        QFETCH(QString, fromYM);
        QFETCH(QString, toYM);
        Year year(*co_);
        QVERIFY(year.generate());
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo(range(fromYM, toYM), true));
        QVERIFY(PrintMotokanjo(range(fromYM, toYM)));
        QCOMPARE(box.count(), 0);
        for (const Sub& s : kSubs) {
            const QString code = QString::fromLatin1(s.code);
            const QString actual =
                zans(cn(), QStringLiteral("T_SKANSUBMT_OUT"), QStringLiteral("HOCODE = ?"), {code});
            if (QString::fromUtf8(s.name).isEmpty()) {
                QCOMPARE(actual, QString());
                continue;
            }
            const auto e = year.expected(co_->ko(QString::fromLatin1(s.km)), QString::fromLatin1(s.hoko), fromYM,
                                         toYM);
            const bool listed = e.broughtForward != 0 || !e.running.isEmpty();
            QCOMPARE(actual, listed ? expectedZans(e, true) : QString());
        }
    }
};

QTEST_MAIN(TestLedgerBuilds)
#include "tst_ledgerbuilds.moc"
