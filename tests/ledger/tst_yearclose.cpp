// Closing a fiscal year: balances carried into the next year, the profit once,
// the period moved on, the old year kept and removed, vouchers renumbered, and
// every failure leaving the database as it was.

#include <QtTest>

#include "app/common/globals.h"
#include "ledger/msum.h"
#include "ledger/yearclose.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

namespace {

const QString kCid = QStringLiteral("51");

struct ChartRow {
    const char* code;
    const char* kind;  // SYORIKBN
    const char* side;  // TAIKBN
    const char* total; // TOCODE
    qint64 opening;
};

// 004/020/030 assets, 150/152/173 liabilities, 172 capital, 180 and
// 250/255 income and expenses; 171 carries the profit brought forward.
const ChartRow kChart[] = {
    {"010", "1", "0", "113", 0},   {"113", "1", "0", "001", 0},   {"160", "1", "1", "176", 0},
    {"170", "1", "1", "176", 0},   {"171", "1", "1", "170", 0},   {"176", "1", "1", "002", 0},
    {"190", "1", "1", "003", 0},   {"260", "1", "0", "270", 0},   {"270", "1", "0", "003", 0},
    {"348", "1", "1", "003", 0},   {"353", "1", "1", "003", 0},   {"004", "0", "0", "010", 1000},
    {"020", "0", "0", "010", 0},   {"030", "0", "0", "010", 500}, {"150", "0", "1", "160", 400},
    {"152", "0", "1", "160", 0},   {"172", "0", "1", "170", 300}, {"173", "0", "1", "170", 800},
    {"180", "0", "1", "190", 0},   {"250", "0", "0", "260", 0},   {"255", "0", "0", "270", 0},
};

QVariant yen(qint64 v) { return QVariant::fromValue(Currency::fromYen(v)); }

}  // namespace

class TestYearClose : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;
    std::unique_ptr<platform::FixedClock> clock_;
    int voucher_ = 0;

    void exec(const QString& sql, const QVariantList& params = {}) {
        QVERIFY2(cn_->exec(sql, params), qPrintable(sql + QStringLiteral(": ") + cn_->lastError().text()));
    }

    void setUpCompany(const QString& kisyu, const QString& kimatu) {
        for (const char* t : {"T_SIWAKE", "T_SI_MEISAI", "T_TUKIKAN", "T_TUKIHOJO", "T_TUKISIME",
                              "T_TUKISIMECHECK", "T_HOJOKAMOKU", "T_KISYUZAN", "T_DAY_TORAN", "T_DAY_INPUT",
                              "WK_COMPANY", "T_COMP_MAIN"})
            exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(QLatin1String(t)), {kCid});
        for (const char* t : {"WK_COMPANY", "T_COMP_MAIN"})
            exec(QStringLiteral("INSERT INTO %1 (CID, COMPANY, GKBN, KANCNG, KISYU, KIMATU, KISYUM, NENDOSU)"
                                " VALUES (?, '試験商店', '1', '0', ?, ?, ?, 5)")
                     .arg(QLatin1String(t)),
                 {kCid, kisyu, kimatu, kisyu.left(7)});
        exec(QStringLiteral("DELETE FROM T_KANJO"));
        for (const ChartRow& r : kChart) {
            exec(QStringLiteral("INSERT INTO T_KANJO (KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, TOCODE, SIYOU,"
                                " KISYUZAN, HOJOSET) VALUES (?, ?, ?, ?, ?, ?, 'Y', ?, 'N')"),
                 {r.code, r.code, QStringLiteral("科目") + r.code, r.kind, r.side, r.total, yen(r.opening)});
            exec(QStringLiteral("INSERT INTO T_KISYUZAN (CID, KOCODE, KISYUZAN) VALUES (?, ?, ?)"),
                 {kCid, r.code, yen(r.opening)});
        }
        exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES (?, '020', '01', '0201', '本店口座', ?),"
                            " (?, '180', '01', '1801', '店頭', 0)"),
             {kCid, yen(200), kCid});
        // The twelve months up to the closing month.
        const QDate last = QDate::fromString(kimatu, QStringLiteral("yyyy/MM/dd"));
        exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, ?, '0', '0', ?)"),
             {kCid, kisyu.left(4) + QStringLiteral("/00"), kisyu});
        for (int i = 11; i >= 0; --i)
            exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, ?, '0', '0', ?)"),
                 {kCid, last.addMonths(-i).toString(QStringLiteral("yyyy/MM")), kisyu});
        exec(QStringLiteral("INSERT INTO T_TUKISIMECHECK VALUES (?, ?)"), {kCid, kisyu.left(4) + "/00"});
        gstrCID = kCid;
    }

    // One voucher of one line "debit.sub>credit amount" on a day.
    void post(const QString& day, const QString& debit, const QString& credit, qint64 amount) {
        ++voucher_;
        const QString code = QStringLiteral("%1").arg(voucher_, 5, 10, QLatin1Char('0'));
        exec(QStringLiteral("INSERT INTO T_SIWAKE (CID, DENCODE, DENNO, DENDAY, KESSAN) VALUES (?, ?, ?, ?, '1')"),
             {kCid, code, code, day});
        exec(QStringLiteral("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE,"
                            " KRHOKOCODE, KRKIN, KSKOCODE, KSHOKOCODE, KSKIN, TEKIYO)"
                            " VALUES (?, '001', ?, ?, ?, '1', ?, ?, ?, ?, ?, ?, '取引')"),
             {code, kCid, day, day.left(7), debit.section('.', 0, 0), debit.section('.', 1), yen(amount),
              credit.section('.', 0, 0), credit.section('.', 1), yen(amount)});
    }

    // Balance of an account at a month, on the account's own side.
    Currency balance(const QString& ko, const QString& ym) {
        const auto v = cn_->scalar(
            QStringLiteral("SELECT CASE WHEN K.TAIKBN = '0' THEN M.KRRUI - M.KSRUI ELSE M.KSRUI - M.KRRUI END"
                           " FROM T_TUKIKAN M JOIN T_KANJO K ON K.KOCODE = M.KANKOCODE"
                           " WHERE M.CID = ? AND M.DATEYM = ? AND M.KANKOCODE = ?"),
            {kCid, ym, ko});
        return v && !v->isNull() ? Currency::fromRaw(v->toLongLong()) : Currency();
    }

    QString text(const QString& sql) {
        const auto v = cn_->scalar(sql, {kCid});
        return v ? v->toString() : QStringLiteral("<failed>");
    }

    void summarize(const QString& from, const QString& to) {
        platform::ScriptedMsgBox box;
        QVERIFY(msum_main(from, to, true));
    }

    // Every row of the company's tables the update touches.
    QString dumpAll() {
        QStringList out;
        for (const char* t : {"T_KANJO", "T_KISYUZAN", "T_HOJOKAMOKU", "T_SIWAKE", "T_SI_MEISAI", "T_DAY_TORAN",
                              "T_TUKIKAN", "T_TUKIHOJO", "T_TUKISIME", "T_DAY_INPUT", "WK_COMPANY", "T_COMP_MAIN",
                              "BT_KANJO", "BT_SIWAKE", "BT_SI_MEISAI", "BT_KISYUZAN", "BT_HOJOKAMOKU"}) {
            const auto rows = cn_->query(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3").arg(QLatin1String(t)));
            if (!rows) return QStringLiteral("<failed>");
            out << QLatin1String(t);
            for (const auto& r : *rows) {
                QStringList f;
                for (int i = 0; i < r.size(); ++i) f << r.text(i);
                out << f.join('|');
            }
        }
        return out.join('\n');
    }

    void sampleYear() {
        setUpCompany(QStringLiteral("2009/04/01"), QStringLiteral("2010/03/31"));
        post(QStringLiteral("2009/04/10"), QStringLiteral("004"), QStringLiteral("180.01"), 700);
        post(QStringLiteral("2009/06/15"), QStringLiteral("250"), QStringLiteral("004"), 120);
        post(QStringLiteral("2009/09/30"), QStringLiteral("020.01"), QStringLiteral("150"), 90);
        post(QStringLiteral("2010/03/31"), QStringLiteral("255"), QStringLiteral("030"), 40);
        post(QStringLiteral("2010/04/02"), QStringLiteral("004"), QStringLiteral("180"), 11);  // next year
        post(QStringLiteral("2010/04/20"), QStringLiteral("250"), QStringLiteral("004"), 5);
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        clock_ = std::make_unique<platform::FixedClock>(QDate(2010, 5, 10));
        voucher_ = 0;
        SetYearCloseFailureForTest(QString());
    }

    void cleanup() {
        SetYearCloseFailureForTest(QString());
        clock_.reset();
        db_.reset();
    }

    // The new opening balance sheet is the old closing one, total for total;
    // income and expenses start at zero; the profit is carried once.
    void balancesCarried() {
        sampleYear();
        summarize(QStringLiteral("2009/04"), QStringLiteral("2010/03"));
        const QStringList kept = {"004", "020", "030", "150", "152", "172", "173", "010", "113",
                                  "160", "170", "176", "353"};
        QMap<QString, Currency> closing;
        for (const QString& ko : kept) closing[ko] = balance(ko, QStringLiteral("2010/03"));
        const Currency profit = closing["353"];
        QVERIFY2(profit == Currency::fromYen(700 - 120 - 40), qPrintable(profit.toText()));

        platform::ScriptedMsgBox box;
        const YearCloseResult r = CloseFiscalYear(1.5);
        QVERIFY2(r.ok, qPrintable(r.failedStep + (box.count() ? box.last().text : QString())));

        // Opening balances: balance-sheet accounts carry, 171 gets the profit,
        // 353 and the income and expense accounts start at zero.
        const auto opening = [&](const QString& ko) {
            return Currency::fromRaw(text(QStringLiteral("SELECT KISYUZAN FROM T_KISYUZAN WHERE CID = ? AND"
                                                         " KOCODE = '%1'").arg(ko)).toLongLong());
        };
        for (const char* ko : {"004", "020", "030", "150", "152", "172", "173"}) QCOMPARE(opening(ko), closing[ko]);
        QCOMPARE(opening("171"), profit);
        for (const char* ko : {"353", "180", "250", "255"}) QCOMPARE(opening(ko), Currency());
        QCOMPARE(text("SELECT MIN(RATE) || '/' || MAX(RATE) FROM T_KISYUZAN WHERE CID = ?"), QStringLiteral("1.5/1.5"));
        QCOMPARE(text("SELECT group_concat(KANKOCODE || ':' || KISYUZAN, ',') FROM"
                      " (SELECT * FROM T_HOJOKAMOKU WHERE CID = ? ORDER BY KANKOCODE)"),
                 QStringLiteral("020:%1,180:0").arg(Currency::fromYen(290).raw()));

        // The new year's opening month agrees with the closed year's last one.
        summarize(QStringLiteral("2010/04"), QStringLiteral("2010/04"));
        for (const QString& ko : {"113", "176", "353", "010", "160"})
            QVERIFY2(balance(ko, QStringLiteral("2010/00")) == closing[ko],
                     qPrintable(ko + ": " + balance(ko, "2010/00").toText() + " vs " + closing[ko].toText()));
        QCOMPARE(balance("113", "2010/00"), balance("176", "2010/00") + balance("353", "2010/00"));

        // The period, the kept year, the remaining vouchers renumbered.
        QCOMPARE(text("SELECT KISYU || '-' || KIMATU || '-' || NENDOSU || '-' || KISYUM || '-' || SIINLDAY || '-'"
                      " || PKISYU FROM T_COMP_MAIN WHERE CID = ?"),
                 QStringLiteral("2010/04/01-2011/03/31-6-2010/04-2011/06/30-2010年04月01日"));
        QCOMPARE(text("SELECT KISYU || KIMATU FROM WK_COMPANY WHERE CID = ?"), QStringLiteral("2010/04/012011/03/31"));
        QCOMPARE(text("SELECT COUNT(*) FROM BT_SIWAKE WHERE CID = ?"), QStringLiteral("6"));
        QCOMPARE(text("SELECT COUNT(*) FROM BT_KANJO WHERE CID = ?"), QString::number(std::size(kChart)));
        QCOMPARE(text("SELECT group_concat(DENCODE || DENNO || DENDAY, ',') FROM"
                      " (SELECT * FROM T_SIWAKE WHERE CID = ? ORDER BY DENCODE)"),
                 QStringLiteral("0000100001 2010/04/02,0000200002 2010/04/20").remove(' '));
        QCOMPARE(text("SELECT group_concat(DENCODE || SIDAY, ',') FROM"
                      " (SELECT * FROM T_SI_MEISAI WHERE CID = ? ORDER BY DENCODE)"),
                 QStringLiteral("000012010/04/02,000022010/04/20"));
        QCOMPARE(text("SELECT group_concat(INYM, ',') FROM (SELECT INYM FROM T_DAY_INPUT WHERE CID = ?"
                      " ORDER BY INYM LIMIT 2)"),
                 QStringLiteral("2010/04,2010/05"));
    }

    // New end = new start + 1 year - 1 day, around February of leap years.
    void nextPeriod_data() {
        QTest::addColumn<QString>("kisyu");
        QTest::addColumn<QString>("kimatu");
        QTest::addColumn<QString>("next");
        QTest::newRow("to a leap February") << "2026/03/01" << "2027/02/28" << "2027/03/01-2028/02/29";
        QTest::newRow("from a leap February") << "2027/03/01" << "2028/02/29" << "2028/03/01-2029/02/28";
        QTest::newRow("calendar year") << "2027/01/01" << "2027/12/31" << "2028/01/01-2028/12/31";
    }
    void nextPeriod() {
        QFETCH(QString, kisyu);
        QFETCH(QString, kimatu);
        QFETCH(QString, next);
        setUpCompany(kisyu, kimatu);
        platform::ScriptedMsgBox box;
        QVERIFY(CloseFiscalYear(0).ok);
        QCOMPARE(text("SELECT KISYU || '-' || KIMATU FROM T_COMP_MAIN WHERE CID = ?"), next);
    }

    // A close on the 20th zeroes days 1..20 of that month only.
    void midMonthClose() {
        setUpCompany(QStringLiteral("2009/03/21"), QStringLiteral("2010/03/20"));
        QString columns, values;
        for (int d = 1; d <= 31; ++d) {
            columns += QStringLiteral(", KIN%1").arg(d);
            values += QStringLiteral(", %1").arg(d);
        }
        for (const char* ym : {"2010/02", "2010/03", "2010/04"})
            exec(QStringLiteral("INSERT INTO T_DAY_TORAN (CID, KOCODE, DATEYM%1) VALUES (?, '004', ?%2)")
                     .arg(columns, values),
                 {kCid, ym});
        platform::ScriptedMsgBox box;
        const YearCloseResult r = CloseFiscalYear(0);
        QVERIFY2(r.ok, qPrintable(r.failedStep + (box.count() ? box.last().text : QString())));
        QCOMPARE(text("SELECT group_concat(DATEYM, ',') FROM T_DAY_TORAN WHERE CID = ?"),
                 QStringLiteral("2010/03,2010/04"));
        QCOMPARE(text("SELECT (KIN1 + KIN20) || '/' || KIN21 || '/' || KIN31 FROM T_DAY_TORAN WHERE CID = ?"
                      " AND DATEYM = '2010/03'"),
                 QStringLiteral("0/21/31"));
    }

    // A failure at any step leaves every table as it was.
    void failureRollsBack_data() {
        QTest::addColumn<QString>("step");
        for (const char* s : {"save", "summation", "opening balances", "sub-account balances", "company", "delete",
                              "month list", "renumber"})
            QTest::newRow(s) << QString::fromLatin1(s);
    }
    void failureRollsBack() {
        QFETCH(QString, step);
        sampleYear();
        const QString before = dumpAll();
        SetYearCloseFailureForTest(step);
        platform::ScriptedMsgBox box;
        const YearCloseResult r = CloseFiscalYear(1);
        QVERIFY(!r.ok);
        QCOMPARE(r.failedStep, step);
        QCOMPARE(dumpAll(), before);
    }
};

QTEST_GUILESS_MAIN(TestYearClose)
#include "tst_yearclose.moc"
