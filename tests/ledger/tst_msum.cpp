// The monthly summation over a small chart of its own, a fiscal year
// 2009/04-2010/03 (opening month 2009/00) and journal lines written directly.
//
// Notation (amounts in yen):
//   journal lines  "2009/04/10 004>180 100": day, debit > credit, amount; an
//                  account may carry a sub-account: "020.01>030 100".
//   expectations   "004@2009/04=100/0/1100/0": T_TUKIKAN row of account 004,
//                  KRTOTAL/KSTOTAL/KRRUI/KSRUI; "020.01@..." a T_TUKIHOJO row;
//                  "=-" the row must not exist.
//
// The chart (opening balances balance: assets 1500 = liabilities 400 +
// capital 1100):
//   010 current assets (total, into 113)     004 cash 1000, 020 bank (subs
//   113 total assets (total)                     01 = 200, 02), 030 receivables 500
//   160 liabilities (total, into 176)        150 payables 400, 152 accrued
//   170 capital (total, into 176)            173 capital 800
//   171 retained profit (total, into 170)    172 retained profit 300
//   176 liabilities and capital (total)
//   190 sales (total)                        180 sales (opening 700, never carried)
//   260 cost of sales (total, into 270)      250 purchases
//   270 expenses (total)                     255 supplies
//   348, 353 profit rows (totals)            900 an account not in use (opening 999)

#include <QtTest>

#include "app/common/globals.h"
#include "ledger/msum.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

namespace {

const QString kCid = QStringLiteral("51");
const QString kFrom = QStringLiteral("2009/04");
const QString kOpening = QStringLiteral("2009/00");
const QDate kToday(2009, 11, 30);

struct ChartRow {
    const char* code;
    const char* kind;   // SYORIKBN
    const char* side;   // TAIKBN
    const char* total;  // TOCODE
    qint64 opening;
    const char* inUse;
};

const ChartRow kChart[] = {
    {"010", "1", "0", "113", 0, "Y"},   {"113", "1", "0", "001", 0, "Y"},
    {"160", "1", "1", "176", 0, "Y"},   {"170", "1", "1", "176", 0, "Y"},
    {"171", "1", "1", "170", 0, "Y"},   {"176", "1", "1", "002", 0, "Y"},
    {"190", "1", "1", "003", 0, "Y"},   {"260", "1", "0", "270", 0, "Y"},
    {"270", "1", "0", "003", 0, "Y"},   {"348", "1", "1", "003", 0, "Y"},
    {"353", "1", "1", "003", 0, "Y"},   {"004", "0", "0", "010", 1000, "Y"},
    {"020", "0", "0", "010", 0, "Y"},   {"030", "0", "0", "010", 500, "Y"},
    {"150", "0", "1", "160", 400, "Y"}, {"152", "0", "1", "160", 0, "Y"},
    {"172", "0", "1", "171", 300, "Y"}, {"173", "0", "1", "170", 800, "Y"},
    {"180", "0", "1", "190", 700, "Y"}, {"250", "0", "0", "260", 0, "Y"},
    {"255", "0", "0", "270", 0, "Y"},   {"900", "0", "0", "010", 999, "N"},
};

const char* const kTotalAccounts = "'010','113','160','170','171','176','190','260','270','348','353'";

// Sales, purchases and supplies paid in cash, the same every month.
const char* const kMonthlyTrade = "004>180 100; 250>004 30; 255>004 10";

QVariant yen(qint64 v) {
    return QVariant::fromValue(Currency::fromYen(v));
}

QString monthOf(const QString& day) {
    return day.left(7);
}

struct Expected {
    QString code, sub, month;
    std::optional<QStringList> amounts;  // nullopt: absent
};

std::vector<Expected> parseExpected(const QString& layout) {
    std::vector<Expected> out;
    for (const QString& item : layout.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = item.section(QLatin1Char('='), 0, 0);
        const QString value = item.section(QLatin1Char('='), 1);
        const QString account = key.section(QLatin1Char('@'), 0, 0);
        Expected e{account.section(QLatin1Char('.'), 0, 0), account.section(QLatin1Char('.'), 1),
                   key.section(QLatin1Char('@'), 1), std::nullopt};
        if (value != QStringLiteral("-")) e.amounts = value.split(QLatin1Char('/'));
        out.push_back(e);
    }
    return out;
}

}  // namespace

class TestMsum : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;  // db_'s connection
    std::unique_ptr<platform::FixedClock> clock_;
    int lineNo_ = 0;

    void exec(const QString& sql, const QVariantList& params = {}) {
        QVERIFY2(cn_->exec(sql, params), qPrintable(sql + QStringLiteral(": ") + cn_->lastError().text()));
    }

    void setUpChart() {
        exec(QStringLiteral("DELETE FROM T_KANJO"));
        for (const ChartRow& r : kChart) {
            exec(QStringLiteral(
                     "INSERT INTO T_KANJO (KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, TOCODE, SIYOU,"
                     " KISYUZAN, HOJOSET) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 'N')"),
                 {QString::fromLatin1(r.code), QString::fromLatin1(r.code), QStringLiteral("科目") + r.code,
                  QString::fromLatin1(r.kind), QString::fromLatin1(r.side), QString::fromLatin1(r.total),
                  QString::fromLatin1(r.inUse), yen(r.opening)});
        }
        exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES (?, '020', '01', '0201', '本店口座', ?),"
                            " (?, '020', '02', '0202', '支店口座', 0)"),
             {kCid, yen(200), kCid});
    }

    // The month status as the company switch leaves it: every month marked,
    // the opening month recorded as the last target.
    void setUpMonthStatus() {
        exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, ?, '0', '0', '2009/04/01')"),
             {kCid, kOpening});
        QDate month(2009, 4, 1);
        for (int i = 0; i < 12; ++i, month = month.addMonths(1))
            exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, ?, '0', '0', '2009/04/01')"),
                 {kCid, month.toString(QStringLiteral("yyyy/MM"))});
        exec(QStringLiteral("INSERT INTO T_TUKISIMECHECK VALUES (?, ?)"), {kCid, kOpening});
    }

    // Marks the months of a change, as every screen that changes journal or
    // balance data does.
    void mark(const QString& fromYM, const QString& toYM) {
        exec(QStringLiteral("UPDATE T_TUKISIME SET SYORIFLG = '0', SYORIFLGH = '0' WHERE CID = ?"
                            " AND DATEYM BETWEEN ? AND ?"),
             {kCid, fromYM, toYM});
    }

    void addLine(const QString& day, const QString& debit, const QString& credit, qint64 amount) {
        ++lineNo_;
        exec(QStringLiteral("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE,"
                            " KRHOKOCODE, KRKIN, KSKOCODE, KSHOKOCODE, KSKIN, TEKIYO)"
                            " VALUES (?, ?, ?, ?, ?, '1', ?, ?, ?, ?, ?, ?, '取引')"),
             {QStringLiteral("%1").arg(lineNo_, 5, 10, QLatin1Char('0')), QStringLiteral("001"), kCid, day,
              monthOf(day), debit.section(QLatin1Char('.'), 0, 0), debit.section(QLatin1Char('.'), 1),
              yen(amount), credit.section(QLatin1Char('.'), 0, 0), credit.section(QLatin1Char('.'), 1),
              yen(amount)});
    }

    // "2009/04/10 004>180 100; ..." or, with a day given, "004>180 100; ...".
    void addLines(const QString& layout, const QString& day = QString()) {
        for (const QString& item : layout.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            QStringList parts = item.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            const QString d = day.isEmpty() ? parts.takeFirst() : day;
            addLine(d, parts[0].section(QLatin1Char('>'), 0, 0), parts[0].section(QLatin1Char('>'), 1),
                    parts[1].toLongLong());
        }
    }

    void addMonthlyTrade(int firstMonth, int lastMonth) {
        for (int m = firstMonth; m <= lastMonth; ++m)
            addLines(QString::fromLatin1(kMonthlyTrade),
                     QStringLiteral("2009/%1/15").arg(m, 2, 10, QLatin1Char('0')));
    }

    void check(const QString& layout) {
        for (const Expected& e : parseExpected(layout)) {
            const bool sub = !e.sub.isEmpty();
            const QString sql =
                sub ? QStringLiteral(
                          "SELECT KRTOTAL, KSTOTAL, KRRUI, KSRUI FROM T_TUKIHOJO WHERE CID = ? AND"
                          " KANKOCODE = ? AND DATEYM = ? AND HOCODE = ?")
                    : QStringLiteral(
                          "SELECT KRTOTAL, KSTOTAL, KRRUI, KSRUI FROM T_TUKIKAN WHERE CID = ? AND"
                          " KANKOCODE = ? AND DATEYM = ?");
            QVariantList params{kCid, e.code, e.month};
            if (sub) params << e.sub;
            const auto rows = cn_->query(sql, params);
            QVERIFY(rows);
            const QString where =
                e.code + (sub ? QLatin1Char('.') + e.sub : QString()) + QLatin1Char('@') + e.month;
            if (!e.amounts) {
                QVERIFY2(rows->empty(), qPrintable(where + QStringLiteral(" should not exist")));
                continue;
            }
            QVERIFY2(rows->size() == 1, qPrintable(where + QStringLiteral(" is missing")));
            QStringList got;
            for (int i = 0; i < 4; ++i) got << rows->front().currency(i).toText();
            QVERIFY2(got == *e.amounts,
                     qPrintable(where + QStringLiteral(": got ") + got.join(QLatin1Char('/')) +
                                QStringLiteral(", want ") + e.amounts->join(QLatin1Char('/'))));
        }
    }

    // Every row of both total tables, for before/after comparisons.
    QString dump(const QString& table) {
        const auto rows = cn_->query(
            QStringLiteral("SELECT * FROM %1 WHERE CID = ? ORDER BY 1, 2, 3, 4").arg(table), {kCid});
        if (!rows) return QStringLiteral("<query failed>");
        QStringList out;
        for (const auto& r : *rows) {
            QStringList fields;
            for (int i = 0; i < r.size(); ++i) fields << r.text(i);
            out << fields.join(QLatin1Char('|'));
        }
        return out.join(QLatin1Char('\n'));
    }

    QStringList monthsOf(const QString& codes) {
        const auto rows = cn_->query(
            QStringLiteral(
                "SELECT DISTINCT DATEYM FROM T_TUKIKAN WHERE CID = ? AND KANKOCODE IN (%1) ORDER BY 1")
                .arg(codes),
            {kCid});
        QStringList out;
        if (rows)
            for (const auto& r : *rows) out << r.text(0);
        return out;
    }

    // "SYORIFLG SYORIFLGH SYORIDAY" of one month.
    QString status(const QString& month) {
        const auto row = cn_->queryOne(
            QStringLiteral(
                "SELECT SYORIFLG, SYORIFLGH, SYORIDAY FROM T_TUKISIME WHERE CID = ? AND DATEYM = ?"),
            {kCid, month});
        return row && row->size() ? QStringLiteral("%1 %2 %3").arg(row->text(0), row->text(1), row->text(2))
                                  : QString();
    }

    QString lastTarget() {
        const auto v =
            cn_->scalar(QStringLiteral("SELECT DATEYM FROM T_TUKISIMECHECK WHERE CID = ?"), {kCid});
        return v ? v->toString() : QString();
    }

    void summarize(const QString& toYM, bool withSub = false) {
        platform::ScriptedMsgBox box;
        const bool ok = msum_main(kFrom, toYM, withSub);
        QVERIFY2(ok, qPrintable(box.count() ? box.last().text : QStringLiteral("false without a message")));
        QCOMPARE(box.count(), 0);
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        gstrCID = kCid;
        gstrCallForm.clear();
        clock_ = std::make_unique<platform::FixedClock>(kToday);
        lineNo_ = 0;
        for (const char* table :
             {"T_SI_MEISAI", "T_TUKIKAN", "T_TUKIHOJO", "T_TUKISIME", "T_TUKISIMECHECK", "T_HOJOKAMOKU"})
            exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(QString::fromLatin1(table)), {kCid});
        setUpChart();
        setUpMonthStatus();
    }

    void cleanup() {
        clock_.reset();
        db_.reset();
    }

    // Opening rows: balances below 177 on their side, 353 with 171, the total
    // accounts rolled up, sub-accounts with their own balances.
    void openingRows() {
        addLines(QStringLiteral("2009/04/10 004>180 100"));
        summarize(kFrom);
        check(QStringLiteral(
            "004@2009/00=1000/0/1000/0 030@2009/00=500/0/500/0 150@2009/00=0/400/0/400 "
            "172@2009/00=0/300/0/300"
            " 173@2009/00=0/800/0/800 180@2009/00=0/0/0/0 900@2009/00=- 020@2009/00=- 152@2009/00=-"
            " 010@2009/00=1500/0/1500/0 113@2009/00=1500/0/1500/0 160@2009/00=0/400/0/400"
            " 170@2009/00=0/1100/0/1100 176@2009/00=0/1500/0/1500 171@2009/00=0/300/0/300"
            " 353@2009/00=0/300/0/300 348@2009/00=-"
            " 020.01@2009/00=200/0/200/0 020.02@2009/00=0/0/0/0"));
        // The target month: every account with a row up to it, running totals
        // from the opening month; the month's profit in 353 and 348.
        check(QStringLiteral(
            "004@2009/04=100/0/1100/0 180@2009/04=0/100/0/100 030@2009/04=0/0/500/0 172@2009/04=0/0/0/300"
            " 010@2009/04=100/0/1600/0 113@2009/04=100/0/1600/0 176@2009/04=0/0/0/1500 "
            "190@2009/04=0/100/0/100"
            " 353@2009/04=0/100/0/400 348@2009/04=0/100/0/100 900@2009/04=-"));
    }

    void profitCarry_data() {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("m 150, v 100: a credit of 50") << "113@2009/05=150/0/0/0 176@2009/05=0/100/0/0"
                                                      << "353@2009/05=0/50/0/50 348@2009/05=0/50/0/0";
        QTest::newRow("m 100, v 150: a debit of 50") << "113@2009/05=100/0/0/0 176@2009/05=0/150/0/0"
                                                     << "353@2009/05=50/0/50/0 348@2009/05=50/0/0/0";
        QTest::newRow("m equal to v: zero rows") << "113@2009/05=80/0/0/0 176@2009/05=0/80/0/0"
                                                 << "353@2009/05=0/0/0/0 348@2009/05=0/0/0/0";
        QTest::newRow("no row of 176: v is 0") << "113@2009/05=100/40/0/0"
                                               << "353@2009/05=0/60/0/60 348@2009/05=0/60/0/0";
        QTest::newRow("a month without 113 gets no profit rows") << "176@2009/05=0/100/0/0"
                                                                 << "353@2009/05=- 348@2009/05=-";
        QTest::newRow("opening month adds 171's running totals and rewrites 171")
            << "113@2009/00=1500/0/1500/0 176@2009/00=0/1500/0/1500 171@2009/00=0/0/0/300"
            << "353@2009/00=0/300/0/300 171@2009/00=0/300/0/300 348@2009/00=-";
        QTest::newRow("an existing 348 row keeps its running totals")
            << "113@2009/05=150/0/0/0 176@2009/05=0/100/0/0 348@2009/05=9/9/77/88 353@2009/05=9/9/9/9"
            << "348@2009/05=0/50/77/88 353@2009/05=0/50/0/50";
        QTest::newRow("every month of 113 up to the target, none after it")
            << "113@2009/00=10/0/10/0 113@2009/06=150/0/0/0 113@2009/07=0/70/0/0 113@2009/08=5/0/0/0"
            << "353@2009/00=0/10/0/10 353@2009/06=0/150/0/150 348@2009/06=0/150/0/0 348@2009/07=70/0/0/0"
               " 353@2009/08=- 348@2009/08=-";
    }

    void profitCarry() {
        QFETCH(QString, rows);
        QFETCH(QString, expected);
        for (const Expected& e : parseExpected(rows)) {
            const QStringList& a = *e.amounts;
            exec(QStringLiteral("INSERT INTO T_TUKIKAN VALUES (?, ?, ?, ?, ?, ?, ?)"),
                 {kCid, e.code, e.month, yen(a[0].toLongLong()), yen(a[1].toLongLong()),
                  yen(a[2].toLongLong()), yen(a[3].toLongLong())});
        }
        platform::ScriptedMsgBox box;
        QVERIFY(msum_misyobunrieki(kOpening, QStringLiteral("2009/07")));
        QCOMPARE(box.count(), 0);
        check(expected);
    }

    // Total accounts and the profit rows exist only at the opening month, the
    // month before the target and the target; no month before the target
    // when the target is the first month.
    void totalAccountMonths_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("totalMonths");
        QTest::addColumn<QStringList>("months348");
        QTest::newRow("target is the first month")
            << "2009/04" << QStringList{"2009/00", "2009/04"} << QStringList{"2009/04"};
        QTest::newRow("target after four months")
            << "2009/07" << QStringList{"2009/00", "2009/06", "2009/07"} << QStringList{"2009/06", "2009/07"};
    }

    void totalAccountMonths() {
        QFETCH(QString, target);
        QFETCH(QStringList, totalMonths);
        QFETCH(QStringList, months348);
        addMonthlyTrade(4, 8);
        summarize(target);
        QCOMPARE(monthsOf(QString::fromLatin1(kTotalAccounts)), totalMonths);
        QCOMPARE(monthsOf(QStringLiteral("'353'")), totalMonths);
        QCOMPARE(monthsOf(QStringLiteral("'348'")), months348);
    }

    // The month before the target holds the sums of the months from the first
    // month to it, with running totals 0; the target's running totals add the
    // opening, that row and the target month. 270 gets 255 directly and 250
    // through 260 (second level).
    void totalAccountsBeforeTarget() {
        addMonthlyTrade(4, 7);
        summarize(QStringLiteral("2009/07"));
        check(QStringLiteral(
            "010@2009/06=300/120/0/0 113@2009/06=300/120/0/0 190@2009/06=0/300/0/0 260@2009/06=90/0/0/0"
            " 270@2009/06=120/0/0/0 176@2009/06=- 353@2009/06=0/180/0/180 348@2009/06=0/180/0/0"
            " 010@2009/07=100/40/1900/160 113@2009/07=100/40/1900/160 190@2009/07=0/100/0/400"
            " 270@2009/07=40/0/160/0 353@2009/07=0/60/0/540 348@2009/07=0/60/0/240"
            " 004@2009/05=100/40/1200/80 004@2009/06=100/40/1300/120 004@2009/07=100/40/1400/160"
            " 010@2009/05=- 113@2009/05=- 353@2009/05=- 348@2009/05=-"));
    }

    // A side without a sub-account counts for its account only. Sub-account
    // rows at the target get their running totals; with the subsidiary
    // ledger's option every sub-account gets a row there. The option is the
    // parameter alone: the screen last named in gstrCallForm (the subsidiary
    // ledger's or none) changes nothing.
    void subAccountTotals_data() {
        QTest::addColumn<bool>("withSub");
        QTest::addColumn<QString>("callForm");
        QTest::addColumn<QString>("expected");
        const QString without =
            QStringLiteral("020.01@2009/05=100/0/300/0 020.02@2009/05=- 020.01@2009/06=-");
        const QString with =
            QStringLiteral("020.01@2009/05=100/0/300/0 020.02@2009/05=0/0/0/0 020.01@2009/06=-");
        QTest::newRow("without the option") << false << QString() << without;
        QTest::newRow("with the option") << true << QString() << with;
        QTest::newRow("without the option, the subsidiary ledger named")
            << false << QStringLiteral("prtSoukanjoHojoMotocho") << without;
        QTest::newRow("with the option, the main menu named") << true << QStringLiteral("MainMenu") << with;
    }

    void subAccountTotals() {
        QFETCH(bool, withSub);
        QFETCH(QString, callForm);
        QFETCH(QString, expected);
        gstrCallForm = callForm;
        addLines(QStringLiteral("2009/05/10 020.01>030 100"));
        summarize(QStringLiteral("2009/05"), withSub);
        check(expected);
        check(QStringLiteral("020@2009/05=100/0/100/0 030@2009/05=0/100/500/100"));
        const auto n = cn_->scalar(
            QStringLiteral("SELECT COUNT(*) FROM T_TUKIHOJO WHERE CID = ? AND KANKOCODE = '030'"), {kCid});
        QVERIFY(n);
        QCOMPARE(n->toInt(), 0);
    }

    // Rows above the opening month go only when all four amounts are zero
    // (not when they merely add up to zero); 152, 348 and 353 always stay.
    void zeroRows() {
        exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = ? WHERE KOCODE = '030'"), {yen(-1000)});
        addLines(QStringLiteral("2009/04/10 030>180 500; 2009/04/11 250>004 0; 2009/04/12 152>004 0"));
        summarize(QStringLiteral("2009/05"));
        check(
            QStringLiteral("030@2009/04=500/0/-500/0 030@2009/05=0/0/-500/0 250@2009/04=- 250@2009/05=-"
                           " 152@2009/04=0/0/0/0 152@2009/05=0/0/0/0 004@2009/04=0/0/1000/0"));
    }

    void monthStatus_data() {
        QTest::addColumn<bool>("withSub");
        QTest::newRow("other screens") << false;
        QTest::newRow("subsidiary ledger") << true;
    }

    void monthStatus() {
        QFETCH(bool, withSub);
        exec(
            QStringLiteral(
                "UPDATE T_TUKISIME SET SYORIFLG = '1', SYORIFLGH = '1' WHERE CID = ? AND DATEYM = '2009/09'"),
            {kCid});
        addMonthlyTrade(4, 6);
        summarize(QStringLiteral("2009/06"), withSub);
        const QString done = withSub ? QStringLiteral("1 1 2009/11/30") : QStringLiteral("1 0 2009/11/30");
        for (const char* m : {"2009/00", "2009/04", "2009/05", "2009/06"})
            QCOMPARE(status(QString::fromLatin1(m)), done);
        QCOMPARE(status(QStringLiteral("2009/07")), QStringLiteral("0 0 2009/04/01"));
        QCOMPARE(status(QStringLiteral("2009/09")), QStringLiteral("1 1 2009/04/01"));
        QCOMPARE(lastTarget(), QStringLiteral("2009/06"));
    }

    // Nothing marked and the same target: nothing changes, except that the
    // subsidiary ledger's option brings the sub-account rows at the target up
    // to date once.
    void nothingToDo() {
        addMonthlyTrade(4, 6);
        addLines(QStringLiteral("2009/05/03 020.01>020.02 20"));
        summarize(QStringLiteral("2009/06"));
        const QString accounts = dump(QStringLiteral("T_TUKIKAN"));
        const QString subs = dump(QStringLiteral("T_TUKIHOJO"));
        summarize(QStringLiteral("2009/06"));
        QCOMPARE(dump(QStringLiteral("T_TUKIKAN")), accounts);
        QCOMPARE(dump(QStringLiteral("T_TUKIHOJO")), subs);

        summarize(QStringLiteral("2009/06"), true);
        QCOMPARE(dump(QStringLiteral("T_TUKIKAN")), accounts);
        check(QStringLiteral("020.01@2009/06=0/0/220/0 020.02@2009/06=0/0/0/20"));
        QCOMPARE(status(QStringLiteral("2009/05")), QStringLiteral("1 1 2009/11/30"));
        const QString subsAfter = dump(QStringLiteral("T_TUKIHOJO"));
        summarize(QStringLiteral("2009/06"), true);
        QCOMPARE(dump(QStringLiteral("T_TUKIHOJO")), subsAfter);
    }

    // A new target with nothing marked rebuilds every month up to it.
    void newTargetRebuildsEveryMonth() {
        addMonthlyTrade(4, 6);
        summarize(QStringLiteral("2009/06"));
        exec(QStringLiteral("UPDATE T_SI_MEISAI SET KRKIN = ?, KSKIN = ? WHERE CID = ? AND DATEYM = '2009/04'"
                            " AND KRKOCODE = '004'"),
             {yen(130), yen(130), kCid});
        summarize(QStringLiteral("2009/05"));
        check(
            QStringLiteral("004@2009/04=130/40/1130/40 004@2009/05=100/40/1230/80 180@2009/04=0/130/0/130"));
        QCOMPARE(lastTarget(), QStringLiteral("2009/05"));
    }

    // A marked month without lines loses its rows; the target's running
    // totals follow.
    void markedMonthWithoutLines() {
        addMonthlyTrade(4, 6);
        summarize(QStringLiteral("2009/06"));
        exec(QStringLiteral("DELETE FROM T_SI_MEISAI WHERE CID = ? AND DATEYM = '2009/05'"), {kCid});
        mark(QStringLiteral("2009/05"), QStringLiteral("2009/05"));
        summarize(QStringLiteral("2009/06"));
        check(
            QStringLiteral("004@2009/05=- 180@2009/05=- 250@2009/05=- 004@2009/06=100/40/1200/80"
                           " 010@2009/05=100/40/0/0 010@2009/06=100/40/1700/80 353@2009/06=0/60/0/420"));
    }

    // A change in an earlier month (one day, an opening balance, a
    // sub-account) brings the running totals of every month from it to the
    // target up to date, also of months that were not marked.
    void earlierChange_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("expected");
        const QString later = QStringLiteral(
            "004@2009/05=100/40/1250/80 004@2009/06=100/40/1350/120 004@2009/07=100/40/1450/160"
            " 113@2009/07=120/60/2030/240");
        const QString oneDay = QStringLiteral(
            "UPDATE T_SI_MEISAI SET KRKIN = 1500000, KSKIN = 1500000 WHERE CID = '51' AND DATEYM = '2009/04'"
            " AND KRKOCODE = '004'");
        QTest::newRow("one day") << oneDay << "2009/04"
                                 << later + " 004@2009/04=150/40/1150/40 353@2009/07=0/60/0/590";
        QTest::newRow("an opening balance")
            << "UPDATE T_KANJO SET KISYUZAN = 10500000 WHERE KOCODE = '004'"
            << "2009/00"
            << later + " 004@2009/04=100/40/1150/40 004@2009/00=1050/0/1050/0 353@2009/00=0/350/0/350";
        QTest::newRow("a sub-account day")
            << "UPDATE T_SI_MEISAI SET KRKIN = 700000, KSKIN = 700000 WHERE CID = '51' AND DATEYM = '2009/04'"
               " AND KRKOCODE = '020'"
            << "2009/04"
            << "020.01@2009/05=20/0/290/0 020.01@2009/06=20/0/310/0 020.01@2009/07=20/0/330/0"
               " 020.02@2009/06=0/20/0/110 020@2009/06=20/20/110/110";
    }

    void earlierChange() {
        QFETCH(QString, change);
        QFETCH(QString, marked);
        QFETCH(QString, expected);
        addMonthlyTrade(4, 7);
        for (int m = 4; m <= 7; ++m) addLines(QStringLiteral("2009/0%1/20 020.01>020.02 20").arg(m));
        summarize(QStringLiteral("2009/07"));
        exec(change);
        mark(marked, marked);
        summarize(QStringLiteral("2009/07"));
        check(expected);
    }

    // A summation for a lower target leaves the rows of the months above it
    // behind a change, while those months stay marked as summed; the next
    // summation for a higher target brings them up to date as well.
    void lowerTargetInBetween() {
        addMonthlyTrade(4, 7);
        summarize(QStringLiteral("2009/05"));
        check(QStringLiteral("030@2009/05=0/0/500/0"));
        addLines(QStringLiteral("2009/04/20 030>180 70"));
        mark(QStringLiteral("2009/04"), QStringLiteral("2009/04"));
        summarize(QStringLiteral("2009/04"));
        summarize(QStringLiteral("2009/07"));
        check(QStringLiteral("030@2009/05=0/0/570/0 030@2009/07=0/0/570/0 004@2009/05=100/40/1200/80"));
    }

    // A failing step shows its message and leaves every table as it was, the
    // months still marked.
    void failureChangesNothing() {
        addMonthlyTrade(4, 6);
        summarize(QStringLiteral("2009/06"));
        exec(QStringLiteral("UPDATE T_KANJO SET TOCODE = NULL WHERE KOCODE = '250'"));
        exec(QStringLiteral(
                 "UPDATE T_SI_MEISAI SET KRKIN = 0, KSKIN = 0 WHERE CID = ? AND DATEYM = '2009/05'"),
             {kCid});
        mark(QStringLiteral("2009/05"), QStringLiteral("2009/05"));
        const QString accounts = dump(QStringLiteral("T_TUKIKAN"));
        const QString subs = dump(QStringLiteral("T_TUKIHOJO"));
        const QString months = dump(QStringLiteral("T_TUKISIME"));

        platform::ScriptedMsgBox box;
        QVERIFY(!msum_main(kFrom, QStringLiteral("2009/06"), false));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("T_TUKIKANテーブルのアクセス中にエラーが発生しました(msum_syukei)。"));
        QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
        QCOMPARE(dump(QStringLiteral("T_TUKIKAN")), accounts);
        QCOMPARE(dump(QStringLiteral("T_TUKIHOJO")), subs);
        QCOMPARE(dump(QStringLiteral("T_TUKISIME")), months);
        QCOMPARE(lastTarget(), QStringLiteral("2009/06"));
        QCOMPARE(cn_->transactionDepth(), 0);
        QVERIFY(cn_->exec(QStringLiteral("SELECT 1")));  // no transaction left open
        QVERIFY(cn_->begin());
        QVERIFY(cn_->commit());
    }

    void badMonthArguments_data() {
        QTest::addColumn<QStringList>("months");  // first month, target
        QTest::newRow("empty first month") << QStringList{"", "2009/05"};
        QTest::newRow("target without a month") << QStringList{"2009/04", "2009"};
        QTest::newRow("month 13") << QStringList{"2009/04", "2009/13"};
        QTest::newRow("the opening month as target") << QStringList{"2009/04", "2009/00"};
    }

    void badMonthArguments() {
        QFETCH(QStringList, months);
        const QString from = months[0], to = months[1];
        platform::ScriptedMsgBox box;
        QVERIFY(!msum_main(from, to, false));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("月次集計異常終了"));
        QCOMPARE(box.last().icon, platform::MsgIcon::None);
        QCOMPARE(box.last().title, gstrSoftName);
    }

    // The lines of the summed months count however they are read: the whole
    // year in one run, leaving out lines outside the company's months (after
    // the last one, in the opening month); some months one by one; and inside
    // a caller's transaction, where a line it added and has not committed
    // counts as well.
    void linesOfTheSummedMonths_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("insideTransaction");
        QTest::addColumn<QString>("expected");
        const QString year = QStringLiteral(
            "004@2010/03=50/0/1950/360 030@2009/11=60/0/560/0 180@2009/11=0/160/0/860 "
            "030@2009/00=500/0/500/0 020.01@2010/01=20/0/220/0"
            " 020.02@2010/01=0/20/0/20 020@2010/01=20/20/20/20 004@2010/04=- 030@2010/04=- 180@2010/04=-");
        const QString toDecember = QStringLiteral(
            "004@2009/12=100/40/1900/360 030@2009/11=60/0/560/0 180@2009/11=0/160/0/860"
            " 004@2010/03=- 020.01@2010/01=-");
        QTest::newRow("the year") << "2010/03" << false << year;
        QTest::newRow("the year, caller's transaction") << "2010/03" << true << year;
        QTest::newRow("to December") << "2009/12" << false << toDecember;
        QTest::newRow("to December, caller's transaction") << "2009/12" << true << toDecember;
    }

    void linesOfTheSummedMonths() {
        QFETCH(QString, target);
        QFETCH(bool, insideTransaction);
        QFETCH(QString, expected);
        addMonthlyTrade(4, 12);
        addLines(
            QStringLiteral("2010/01/20 020.01>020.02 20; 2010/03/10 004>180 50; 2010/04/01 004>030 7777;"
                           " 2009/00/01 030>180 9999"));
        if (insideTransaction) QVERIFY(cn_->begin());
        addLines(QStringLiteral("2009/11/05 030>180 60"));
        summarize(target);
        if (insideTransaction) QVERIFY(cn_->commit());
        check(expected);
    }

    // Inside a caller's transaction the summation nests and goes with it.
    void insideCallersTransaction() {
        addMonthlyTrade(4, 4);
        QVERIFY(cn_->begin());
        summarize(kFrom);
        check(QStringLiteral("004@2009/04=100/40/1100/40"));
        QVERIFY(cn_->rollback());
        check(QStringLiteral("004@2009/04=- 004@2009/00=-"));
        QCOMPARE(status(kFrom), QStringLiteral("0 0 2009/04/01"));
    }

    // The shipped chart: every first-level total account at the target holds
    // the running totals of the posting accounts in use that roll up into it.
    void shippedChart() {
        const auto seeded = cn_->scalar(QStringLiteral("SELECT COUNT(*) FROM MT_KANJO WHERE SYORIKBN = '0'"));
        QVERIFY(seeded);
        if (seeded->toInt() == 0) QSKIP("the shipped database has no chart template");
        exec(QStringLiteral("DELETE FROM T_KANJO"));
        exec(QStringLiteral(
            "INSERT INTO T_KANJO (KOCODE, KMCODE, KNBUN, KANNAME, SYORIKBN, TAIKBN, TOCODE, BUNCODE,"
            " NOCNG, BUMONSET, HOJOSET, HOSETNO, SIYOU, PCODE1, PCODE2, PCODE3, KAIPAGE, KISYUZAN,"
            " AICODE, DAIBUN, TYUBUN, SYOBUN, JUN, KISYUMKBN) SELECT KOCODE, KMCODE, KNBUN, KANNAME,"
            " SYORIKBN, TAIKBN, TOCODE, BUNCODE, NOCNG, BUMONSET, HOJOSET, HOSETNO, SIYOU, PCODE1,"
            " PCODE2, PCODE3, KAIPAGE, KISYUZAN, AICODE, DAIBUN, TYUBUN, SYOBUN, JUN, KISYUMKBN"
            " FROM MT_KANJO"));
        exec(QStringLiteral("DELETE FROM T_HOJOKAMOKU WHERE CID = ?"), {kCid});
        // Every posting account in use against cash, month by month.
        const auto accounts =
            cn_->query(QStringLiteral("SELECT KOCODE FROM T_KANJO WHERE SYORIKBN = '0' AND SIYOU = 'Y' AND "
                                      "KOCODE <> '004' ORDER BY KOCODE"));
        QVERIFY(accounts);
        int i = 0;
        for (const auto& a : *accounts) {
            const QString day = QStringLiteral("2009/%1/10").arg(4 + i % 6, 2, 10, QLatin1Char('0'));
            if (i % 2)
                addLine(day, a.text(0), QStringLiteral("004"), 10 + i);
            else
                addLine(day, QStringLiteral("004"), a.text(0), 10 + i);
            ++i;
        }
        summarize(QStringLiteral("2009/09"));
        const auto mismatches = cn_->query(
            QStringLiteral(
                "SELECT X.KANKOCODE FROM T_TUKIKAN X JOIN (SELECT K.TOCODE AS CODE, SUM(T.KRRUI) AS KR, "
                "SUM(T.KSRUI) AS KS"
                " FROM T_KANJO K JOIN T_TUKIKAN T ON T.KANKOCODE = K.KOCODE AND T.CID = ?1 AND T.DATEYM = "
                "'2009/09'"
                " WHERE K.SYORIKBN = '0' AND K.SIYOU = 'Y' GROUP BY K.TOCODE) S ON S.CODE = X.KANKOCODE"
                " WHERE X.CID = ?1 AND X.DATEYM = '2009/09' AND X.KANKOCODE NOT IN"
                " (SELECT TOCODE FROM T_KANJO WHERE SYORIKBN = '1' AND SIYOU = 'Y' AND TOCODE > '003')"
                " AND X.KANKOCODE NOT IN ('171', '348', '353') AND (X.KRRUI <> S.KR OR X.KSRUI <> S.KS)"),
            {kCid});
        QVERIFY(mismatches);
        QVERIFY2(mismatches->empty(),
                 qPrintable(mismatches->empty() ? QString() : mismatches->front().text(0)));
        // Balanced journal: debits equal credits over the posting accounts in every month.
        const auto unbalanced = cn_->query(
            QStringLiteral(
                "SELECT T.DATEYM FROM T_TUKIKAN T JOIN T_KANJO K ON K.KOCODE = T.KANKOCODE WHERE T.CID = ?1"
                " AND K.SYORIKBN = '0' AND T.DATEYM > '2009/00' GROUP BY T.DATEYM HAVING SUM(T.KRTOTAL) <> "
                "SUM(T.KSTOTAL)"),
            {kCid});
        QVERIFY(unbalanced);
        QVERIFY(unbalanced->empty());
    }
};

QTEST_GUILESS_MAIN(TestMsum)
#include "tst_msum.moc"
