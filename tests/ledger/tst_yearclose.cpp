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
                              "BT_KANJO", "BT_SIWAKE", "BT_SI_MEISAI", "BT_KISYUZAN", "BT_HOJOKAMOKU",
                              "T_KESANSYO", "BT_KESANSYO"}) {
            const auto rows = cn_->query(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3").arg(QLatin1String(t)));
            if (!rows) return QStringLiteral("<failed>");
            out << QLatin1String(t);
            for (const auto& r : *rows) {
                QStringList f;
                for (int i = 0; i < r.size(); ++i) f << r.text(i);
                out << f.join('|');
            }
        }
        // The journal's indexes, which the update drops and builds again.
        out << journalIndexes();
        return out.join('\n');
    }

    // The journal's index definitions, in name order.
    QString journalIndexes() {
        const auto rows = cn_->query(QStringLiteral(
            "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'T_SI_MEISAI' ORDER BY name"));
        if (!rows) return QStringLiteral("<failed>");
        QStringList out;
        for (const auto& r : *rows) out << r.text(0) + QLatin1Char('|') + r.text(1);
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
        // The figures of the year before, and another company's.
        exec(QStringLiteral("INSERT INTO T_KESANSYO (CID, KOMOKU1, KESANDAY) VALUES (?, ?, '2009/03/31'),"
                            " ('52', ?, '2009/12/31')"),
             {kCid, yen(9), yen(8)});
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

        const QString indexesBefore = journalIndexes();
        QVERIFY(indexesBefore.count(QLatin1Char('\n')) >= 3);
        platform::ScriptedMsgBox box;
        const YearCloseResult r = CloseFiscalYear(1.5);
        QVERIFY2(r.ok, qPrintable(r.failedStep + (box.count() ? box.last().text : QString())));
        // The journal's indexes are all there again, as defined, and agree
        // with the rows left.
        QCOMPARE(journalIndexes(), indexesBefore);
        const auto check = cn_->scalar(QStringLiteral("PRAGMA integrity_check"));
        QVERIFY(check);
        QCOMPARE(check->toString(), QStringLiteral("ok"));

        // Opening balances: balance-sheet accounts carry, 171 gets the profit,
        // 353 and the income and expense accounts start at zero.
        const auto opening = [&](const QString& ko) {
            return Currency::fromRaw(text(QStringLiteral("SELECT KISYUZAN FROM T_KISYUZAN WHERE CID = ? AND"
                                                         " KOCODE = '%1'").arg(ko)).toLongLong());
        };
        for (const char* ko : {"004", "020", "030", "150", "152", "172", "173"}) QCOMPARE(opening(ko), closing[ko]);
        QCOMPARE(opening("171"), profit);
        for (const char* ko : {"353", "180", "250", "255"}) QCOMPARE(opening(ko), Currency());

        // The closed year's figures replace the company's row, whose old one
        // is kept. Totals count with their accounts: sales are 180 and its
        // total 190; the expenses 250 and 255 come off once themselves and
        // once more through their total 270.
        QCOMPARE(text("SELECT KOMOKU1 || '/' || KOMOKU63 || '/' || KOMOKU64 || '/' || KESANDAY FROM T_KESANSYO"
                      " WHERE CID = ?"),
                 QStringLiteral("%1/%2/0/2010/03/31")
                     .arg(Currency::fromYen(1400).raw())
                     .arg(Currency::fromYen(1400 - 160 - 160).raw()));
        QCOMPARE(text("SELECT KOMOKU1 || '/' || KESANDAY FROM BT_KESANSYO WHERE CID = ?"),
                 QStringLiteral("%1/2009/03/31").arg(Currency::fromYen(9).raw()));
        QCOMPARE(text("SELECT COUNT(*) || '/' || KOMOKU1 FROM T_KESANSYO WHERE CID <> ?"),
                 QStringLiteral("1/%1").arg(Currency::fromYen(8).raw()));
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

    // The 64 figures against a plain computation from the balances put in:
    // every account of the shipped chart (and the codes it lacks) has a total
    // in the month, on both sides; other months and companies don't count.
    void figures_data() {
        QTest::addColumn<QString>("result");
        QTest::newRow("profit") << "profit";
        QTest::newRow("loss") << "loss";
        QTest::newRow("no totals in the month") << "none";
    }
    void figures() {
        QFETCH(QString, result);
        gstrCID = kCid;
        const QString month = QStringLiteral("2010/03");
        for (const char* ko : {"301", "327", "328", "334", "340", "344"})
            exec(QStringLiteral("INSERT INTO T_KANJO (KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, TOCODE, SIYOU)"
                                " VALUES (?, ?, '科目', '0', ?, '000', 'N')"),
                 {ko, ko, QString::number(QString(ko).toInt() % 2)});
        const auto chart = cn_->query(QStringLiteral("SELECT KOCODE, TAIKBN FROM T_KANJO"));
        QVERIFY(chart && chart->size() > 200);
        QMap<int, Currency> bal;
        for (const auto& r : *chart) {
            const int code = r.text(0).toInt();
            qint64 debit = code * 37 % 500, credit = code * 53 % 700;
            if (result == "profit" && code == 180) credit += 1'000'000;
            if (result == "loss" && code == 283) debit += 1'000'000;
            exec(QStringLiteral("INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRRUI, KSRUI) VALUES"
                                " ('52', ?1, ?2, 7, 0), (?3, ?1, '2010/02', 0, 9)"),
                 {r.text(0), month, kCid});
            if (result == "none") continue;
            exec(QStringLiteral("INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRRUI, KSRUI) VALUES (?, ?, ?, ?, ?)"),
                 {kCid, r.text(0), month, yen(debit), yen(credit)});
            bal[code] = Currency::fromYen(r.text(1) == "0" ? debit - credit : credit - debit);
        }
        auto b = [&](int code) { return bal.value(code); };
        auto sum = [&](int lo, int hi) {
            Currency t;
            for (int c = lo; c <= hi; ++c) t += b(c);
            return t;
        };
        std::array<Currency, 65> e{};
        e[1] = sum(180, 185) + b(190) + b(191) + b(320);
        e[4] = sum(186, 187);
        e[5] = e[1] - e[4];
        e[8] = b(347);
        e[14] = e[5] - e[8];
        e[16] = b(195) + b(196) + b(199) + b(239) + b(242) + b(244) + b(259) + sum(203, 213) + sum(215, 226) +
                sum(229, 237) + sum(246, 255);
        e[17] = sum(263, 282) + sum(284, 300) + sum(302, 309);
        e[18] = b(283) - b(314);
        e[20] = e[14] - e[16] - e[17] - e[18];
        e[26] = b(333), e[27] = b(315), e[28] = b(316), e[29] = b(317);
        e[25] = e[26] + e[27] + e[28] + e[29];
        e[30] = b(334) + b(340);
        e[33] = b(343), e[34] = b(344), e[35] = b(324), e[36] = b(327);
        e[32] = e[33] + e[34] + e[35] + e[36];
        e[37] = b(223) + b(328);
        e[39] = e[20] + e[25] + e[30] - e[32] - e[37];
        e[40] = b(301);
        e[43] = e[39] - e[40];
        e[44] = b(171);
        e[47] = e[43] + e[44];
        e[48] = b(355), e[49] = b(356), e[56] = b(349);
        e[57] = e[47] - e[48] - e[49] - e[56];
        e[58] = b(351), e[59] = b(352);
        e[63] = e[57] - e[58] - e[59];
        e[64] = e[63] < Currency() ? -e[63] : Currency();
        QVERIFY(result == "profit" ? e[63] > Currency() : result == "loss" ? e[63] < Currency() : e[63].isZero());

        YearEndFigures got{};
        platform::ScriptedMsgBox box;
        QVERIFY(set_hyouji_table(got, month));
        for (int n = 1; n <= 64; ++n)
            QVERIFY2(got[n - 1] == e[n], qPrintable(QStringLiteral("figure %1: %2, expected %3")
                                                       .arg(n).arg(got[n - 1].toText(), e[n].toText())));
    }

    // A failure at any step leaves every table as it was.
    void failureRollsBack_data() {
        QTest::addColumn<QString>("step");
        for (const char* s : {"save", "summation", "figures", "opening balances", "sub-account balances", "company", "delete",
                              "rebuild indexes", "month list", "renumber"})
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
