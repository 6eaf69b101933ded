// Posting imported lines into the day vouchers: new days with their scheduled
// lines, the cash chain across existing and new days, and one import as one
// transaction.

#include <QtTest>
#include <memory>
#include <random>

#include "app/common/globals.h"
#include "ledger/importposting.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

class TestImportPosting : public QObject {
    Q_OBJECT
    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;

    ImportLine line(const QString& date, const QString& amount, const QString& dir, qint64 cash) {
        ImportLine l;
        l.date = date;
        l.description = QStringLiteral(" desc ");
        l.amount = amount;
        l.account = QStringLiteral("500");
        l.counter = QStringLiteral("004");
        l.direction = dir;
        l.cashChange = Currency::fromYen(cash);
        return l;
    }
    QStringList rows(const QString& sql) {
        QStringList out;
        for (const platform::Row& r : cn_->query(sql).value_or(platform::Rows())) {
            QStringList cells;
            for (int i = 0; i < r.size(); ++i) cells << r.text(i);
            out << cells.join(u'|');
        }
        return out;
    }

private slots:
    void initTestCase() { testenv::isolate(); }
    // Company 51 with existing days 04/01..04/02 (cash 100 -> 100 -> 130).
    static bool prepare(platform::Connection& cn) {
        for (const char* t : {"T_SIWAKE", "T_SI_MEISAI", "T_KISYUZAN", "T_KANJO", "T_SI_PATTERN"}) {
            if (!cn.exec(QStringLiteral("DELETE FROM ") + QLatin1String(t))) return false;
        }
        return cn.exec("INSERT INTO T_KANJO (KOCODE, KMCODE) VALUES ('004', '101'), ('500', '701')") &&
               cn.exec("INSERT INTO T_SI_PATTERN VALUES ('51', '701', '101', 'n', 'd', '4', '2')") &&
               cn.exec("INSERT INTO T_SIWAKE VALUES ('51','00001','00001','2011/04/01','2011/04/01','0',?,?,0),"
                       " ('51','00002','00002','2011/04/02','2011/04/01','0',?,?,0)",
                       {QVariant::fromValue(Currency::fromYen(100)), QVariant::fromValue(Currency::fromYen(100)),
                        QVariant::fromValue(Currency::fromYen(100)), QVariant::fromValue(Currency::fromYen(130))});
    }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        gstrCID = QStringLiteral("51");
        QVERIFY(prepare(*cn_));
    }
    void cleanup() { db_.reset(); }

    void postsAndKeepsTheCashChain() {
        platform::ScriptedMsgBox boxes;
        platform::FixedClock clock(QDate(2011, 4, 20));
        std::vector<ImportLine> lines{line("2011/05/02", "-1,000", "1", 1000),
                                      line("2011/04/01", "50", "0", -50)};
        QVERIFY(PostImportLines(lines, "2011/04/01"));
        QCOMPARE(lines[0].voucherCode, QStringLiteral("00032"));
        QCOMPARE(lines[1].voucherCode, QStringLiteral("00001"));
        // Independent chain: each day opens with the previous day's close.
        const auto v = cn_->query("SELECT DENDAY, YDAYZAN, DAYZAN FROM T_SIWAKE WHERE CID='51' ORDER BY DENDAY");
        QVERIFY(v && v->size() == 32);
        QCOMPARE(v->at(0).currency(2), Currency::fromYen(50));
        QCOMPARE(v->at(1).currency(2), Currency::fromYen(80));
        for (int i = 1; i < v->size(); ++i) QCOMPARE(v->at(i).currency(1), v->at(i - 1).currency(2));
        QCOMPARE(v->at(31).currency(2), Currency::fromYen(1080));
        // The days whose cash moved count as registered.
        QCOMPARE(rows("SELECT DENDAY FROM T_SIWAKE WHERE KESSAN = '1' ORDER BY DENDAY"),
                 QStringList({"2011/04/01", "2011/05/02"}));
        // The imported lines, and the scheduled lines of new days dated by their own month.
        QCOMPARE(rows("SELECT DENCODE, DENMENO, SIDAY, DATEYM, SISYU, KRKOCODE, KSKOCODE, KRKIN, TEKIYO"
                      " FROM T_SI_MEISAI WHERE SISYU = '1' ORDER BY DENCODE"),
                 QStringList({"00001|001|2011/04/01|2011/04|1|500|004|500000|desc",
                              "00032|002|2011/05/02|2011/05|1|004|500|10000000|desc"}));
        QCOMPARE(rows("SELECT SIDAY, DATEYM FROM T_SI_MEISAI WHERE SISYU = '0' ORDER BY SIDAY"),
                 QStringList({"2011/05/02|2011/05"}));
    }

    // The import applies the cash changes of its lines together; the
    // balances must be those of the three steps run line by line (with the
    // day's DAYZAN raised before each carry), also for lines out of date
    // order, several cash lines on one day, new days between them and a
    // break in the chain before the import (the carry closes it). Every new
    // day also takes a scheduled line. With fullNewDay a new day receives
    // more lines than one voucher holds, so that it continues in a further
    // voucher before the next new days are created after it.
    void cashTogetherEqualsLineByLine_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<bool>("fullNewDay");
        for (unsigned seed : {7u, 11u, 23u, 101u}) QTest::addRow("seed %u", seed) << seed << false;
        QTest::addRow("a new day fills its voucher") << 5u << true;
    }
    void cashTogetherEqualsLineByLine() {
        QFETCH(unsigned, seed);
        QFETCH(bool, fullNewDay);
        platform::ScriptedMsgBox boxes;
        platform::FixedClock clock(QDate(2011, 4, 20));
        const auto setUp = [](platform::Connection& cn) {
            return prepare(cn) &&
                   cn.exec("UPDATE T_SIWAKE SET YDAYZAN = ? WHERE DENCODE = '00002'",
                           {QVariant::fromValue(Currency::fromYen(90))}) &&
                   cn.exec("INSERT INTO T_SI_PATTERN VALUES ('51', '101', '701', 'n', 'e', '2', '')");
        };
        QVERIFY(setUp(*cn_));
        std::mt19937 rng(seed);
        const auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        std::vector<ImportLine> lines;
        const auto add = [&](const QString& day) {
            const int yen = pick(1, 900);
            const bool in = pick(0, 1) == 1;
            lines.push_back(line(day, QString::number(yen), in ? "1" : "0", pick(0, 2) == 0 ? 0 : (in ? -yen : yen)));
        };
        for (int i = 0; i < 60; ++i)
            add(QStringLiteral("2011/04/%1").arg(pick(1, i < 30 ? 12 : 25), 2, 10, QLatin1Char('0')));
        if (fullNewDay) {
            for (int i = 0; i < 1000; ++i) add(QStringLiteral("2011/04/26"));
            for (int i = 0; i < 5; ++i) add(QStringLiteral("2011/04/%1").arg(26 + i));
        }
        std::vector<ImportLine> stepLines = lines;
        QVERIFY(PostImportLines(lines, "2011/04/01"));
        const QStringList together = rows("SELECT * FROM T_SIWAKE ORDER BY DENCODE") +
                                     rows("SELECT * FROM T_SI_MEISAI ORDER BY DENCODE, DENMENO");
        if (fullNewDay)
            QCOMPARE(rows("SELECT COUNT(*) FROM T_SIWAKE WHERE DENDAY = '2011/04/26'"), QStringList{"2"});

        auto other = testenv::ShippedDb::open();
        QVERIFY(other);
        platform::Connection& cn = other->connection();
        QVERIFY(setUp(cn));
        QVERIFY(cn.begin());
        for (ImportLine& l : stepLines) {
            QVERIFY(make_new_siwake_data(l, "2011/04/01"));
            QVERIFY(write_Siwake_Meisai(l));
            if (l.cashChange.isZero()) continue;
            // Every voucher of the day carries the day's balances.
            QVERIFY(cn.exec("UPDATE T_SIWAKE SET KESSAN = '1', DAYZAN = DAYZAN + ? WHERE CID = '51' AND DENDAY = ?",
                            {QVariant::fromValue(l.cashChange), l.date}));
            QVERIFY(update_yokujitu_zandaka(l));
        }
        QVERIFY(cn.commit());
        cn_ = &cn;
        const QStringList byLine = rows("SELECT * FROM T_SIWAKE ORDER BY DENCODE") +
                                   rows("SELECT * FROM T_SI_MEISAI ORDER BY DENCODE, DENMENO");
        cn_ = &db_->connection();
        other.reset();
        QCOMPARE(together, byLine);
        QCOMPARE(boxes.count(), 0);
    }

    void aFailedLineLeavesNothing() {
        platform::ScriptedMsgBox boxes;
        const QStringList before = rows("SELECT * FROM T_SIWAKE ORDER BY DENCODE");
        for (const QString& bad : {QStringLiteral("2011/13/01"), QStringLiteral("2011/03/31")}) {
            std::vector<ImportLine> lines{line("2011/04/05", "10", "1", 10), line("2011/04/06", "5", "0", 0),
                                          line(bad, "1", "0", 0)};
            int failed = -1;
            bool noVoucher = false;
            QVERIFY(!PostImportLines(lines, "2011/04/01", &failed, &noVoucher));
            QCOMPARE(failed, 2);
            // Only the date without a voucher fails silently; the caller names it.
            QCOMPARE(noVoucher, bad == u"2011/03/31");
            QCOMPARE(rows("SELECT * FROM T_SIWAKE ORDER BY DENCODE"), before);
            QCOMPARE(rows("SELECT * FROM T_SI_MEISAI"), QStringList());
        }
    }

    // A voucher holds at most 999 lines (three-digit line numbers). The days
    // 2011/04/01 and 2011/04/02 with the vouchers of each row (2011/04/01
    // with one or two), lines of no cash already in some of them, and cash
    // 100 before and after every day. Three imported cash lines on `day`
    // land where the row says, or the import is refused naming the limit
    // with nothing written.
    void aFullVoucherContinuesInTheDaysNextVoucher_data() {
        QTest::addColumn<QStringList>("vouchers");  // code|day
        QTest::addColumn<QStringList>("fill");      // code|lines already in it
        QTest::addColumn<QString>("day");
        QTest::addColumn<QStringList>("landed");  // code|line number of the three lines; empty: refused
        QTest::newRow("latest day: a further voucher of the day")
            << QStringList{"00001|2011/04/01", "00002|2011/04/02"} << QStringList{"00002|998"} << "2011/04/02"
            << QStringList{"00002|999", "00003|001", "00003|002"};
        QTest::newRow("the day's next voucher has room")
            << QStringList{"00001|2011/04/01", "00002|2011/04/01", "00003|2011/04/02"}
            << QStringList{"00001|999", "00002|500"} << "2011/04/01"
            << QStringList{"00002|501", "00002|502", "00002|503"};
        QTest::newRow("the first voucher fills up, then the next")
            << QStringList{"00001|2011/04/01", "00002|2011/04/01", "00003|2011/04/02"}
            << QStringList{"00001|998", "00002|3"} << "2011/04/01"
            << QStringList{"00001|999", "00002|004", "00002|005"};
        QTest::newRow("an earlier day with every voucher full is refused")
            << QStringList{"00001|2011/04/01", "00002|2011/04/02"} << QStringList{"00001|998"} << "2011/04/01"
            << QStringList();
    }
    void aFullVoucherContinuesInTheDaysNextVoucher() {
        QFETCH(QStringList, vouchers);
        QFETCH(QStringList, fill);
        QFETCH(QString, day);
        QFETCH(QStringList, landed);
        platform::ScriptedMsgBox boxes;
        platform::FixedClock clock(QDate(2011, 4, 20));
        const QVariant hundred = QVariant::fromValue(Currency::fromYen(100));
        QVERIFY(cn_->exec("DELETE FROM T_SIWAKE"));
        for (const QString& v : vouchers) {
            const QStringList f = v.split(u'|');
            QVERIFY(cn_->exec("INSERT INTO T_SIWAKE VALUES ('51', ?1, ?1, ?2, ?2, '0', ?3, ?3, 0)",
                              {f[0], f[1], hundred}));
        }
        for (const QString& v : fill) {
            const QStringList f = v.split(u'|');
            QVERIFY(cn_->exec(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?2)"
                " INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE, KRKIN, KSKOCODE,"
                " KSKIN) SELECT ?1, printf('%03d', i), '51', S.DENDAY, substr(S.DENDAY, 1, 7), '1', '500', 1, '501',"
                " 1 FROM n, T_SIWAKE S WHERE S.CID = '51' AND S.DENCODE = ?1",
                {f[0], f[1].toInt()}));
        }
        const QStringList before = rows("SELECT * FROM T_SIWAKE ORDER BY DENCODE") +
                                   rows("SELECT * FROM T_SI_MEISAI ORDER BY DENCODE, DENMENO");
        std::vector<ImportLine> lines{line(day, "7", "1", 7), line(day, "20", "0", -20), line(day, "1", "1", 1)};
        int failed = -1;
        const bool posted = PostImportLines(lines, "2011/04/01", &failed);
        if (landed.isEmpty()) {
            QVERIFY(!posted);
            QCOMPARE(failed, 1);
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().text,
                     QStringLiteral("仕訳明細は1伝票999行までです。%1の伝票に空きがないため、"
                                    "これ以上の仕訳を登録できません。").arg(day));
            QCOMPARE(rows("SELECT * FROM T_SIWAKE ORDER BY DENCODE") +
                         rows("SELECT * FROM T_SI_MEISAI ORDER BY DENCODE, DENMENO"),
                     before);
            return;
        }
        QVERIFY(posted);
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(rows("SELECT DENCODE || '|' || DENMENO FROM T_SI_MEISAI WHERE KSKOCODE = '004' OR KRKOCODE = '004'"
                      " ORDER BY DENCODE, DENMENO"),
                 landed);
        QCOMPARE(rows("SELECT COUNT(*) FROM T_SI_MEISAI WHERE length(DENMENO) <> 3 OR DENMENO > '999'"),
                 QStringList{"0"});
        // The cash chain against plain SQL: every voucher of a day carries the
        // day's balances, each day opens with the previous day's close, and a
        // day's close is its opening plus the cash of its lines.
        QCOMPARE(rows("SELECT DENDAY FROM T_SIWAKE GROUP BY DENDAY"
                      " HAVING MIN(YDAYZAN) <> MAX(YDAYZAN) OR MIN(DAYZAN) <> MAX(DAYZAN)"),
                 QStringList());
        QCOMPARE(rows("SELECT D.DENDAY, D.Y, D.D, D.Y + COALESCE((SELECT SUM(CASE WHEN KRKOCODE = '004' THEN KRKIN"
                      " WHEN KSKOCODE = '004' THEN -KSKIN ELSE 0 END) FROM T_SI_MEISAI M WHERE M.SIDAY = D.DENDAY), 0)"
                      " FROM (SELECT DENDAY, MIN(YDAYZAN) AS Y, MIN(DAYZAN) AS D FROM T_SIWAKE GROUP BY DENDAY) D"
                      " ORDER BY D.DENDAY"),
                 (day == u"2011/04/01"
                      ? QStringList{"2011/04/01|1000000|880000|880000", "2011/04/02|880000|880000|880000"}
                      : QStringList{"2011/04/01|1000000|1000000|1000000", "2011/04/02|1000000|880000|880000"}));
        const auto kessan = cn_->query("SELECT DISTINCT KESSAN FROM T_SIWAKE WHERE DENDAY = ?", {day});
        QVERIFY(kessan && kessan->size() == 1);
        QCOMPARE(kessan->front().text(0), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestImportPosting)
#include "tst_importposting.moc"
