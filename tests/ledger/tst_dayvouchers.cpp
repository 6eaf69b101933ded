// Creation of the missing day vouchers on a copy of the shipped database:
// the first voucher with the opening cash and rate, the later days carrying
// the last balance, the end of creation, the scheduled pattern lines, and
// failures that leave nothing of the run behind.

#include <QtTest>
#include <memory>

#include "app/common/globals.h"
#include "ledger/dayvouchers.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::FixedClock;
using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

const QString kCreationError =
    QStringLiteral("仕訳伝票の新規登録中にエラーが発生しました(make_new_siwake_data)。");
const QString kKisyu = QStringLiteral("2011/04/01");
const QString kSiinlday = QStringLiteral("2012/03/31");

QDate day(const QString& text) {
    return QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
}

}  // namespace

class TestDayVouchers : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;  // db_'s connection

    // Every row of a table, one text per row, in key order.
    QStringList dump(const QString& table, const QString& order) {
        QStringList out;
        const auto rows = cn_->query("SELECT * FROM " + table + " ORDER BY " + order);
        for (const platform::Row& r : rows.value_or(platform::Rows())) {
            QStringList cells;
            for (int i = 0; i < r.size(); ++i) cells << r.text(i);
            out << cells.join(u'|');
        }
        return out;
    }
    QStringList journal() {
        return dump("T_SIWAKE", "CID, DENCODE") + dump("T_SI_MEISAI", "CID, DENCODE, DENMENO");
    }
    // The company's vouchers as "DENCODE DENNO DENDAY INDAY KESSAN YDAYZAN DAYZAN RATE".
    QStringList vouchers() {
        QStringList out;
        const auto rows = cn_->query(
            "SELECT DENCODE, DENNO, DENDAY, INDAY, KESSAN, YDAYZAN, DAYZAN, RATE FROM T_SIWAKE"
            " WHERE CID = '51' ORDER BY DENCODE");
        for (const platform::Row& r : rows.value_or(platform::Rows())) {
            out << QStringList{r.text(0),
                               r.text(1),
                               r.text(2),
                               r.text(3),
                               r.text(4),
                               r.currency(5).toText(),
                               r.currency(6).toText(),
                               QString::number(r.real(7))}
                       .join(u' ');
        }
        return out;
    }
    // The company's journal lines as "DENDAY DENMENO ptcode", checking on the
    // way what every scheduled line holds.
    QStringList patternLines() {
        QStringList out;
        const auto rows = cn_->query(
            "SELECT s.DENDAY, m.DENMENO, m.ptcode, m.SIDAY, m.DATEYM, m.SISYU, m.KRKIN, m.KSKIN FROM "
            "T_SI_MEISAI m"
            " JOIN T_SIWAKE s ON s.CID = m.CID AND s.DENCODE = m.DENCODE WHERE m.CID = '51'"
            " ORDER BY m.DENCODE, m.DENMENO");
        for (const platform::Row& r : rows.value_or(platform::Rows())) {
            const QString denday = r.text(0);
            if (r.text("SIDAY") != denday || r.text("DATEYM") != denday.left(7) || r.text("SISYU") != u"0" ||
                !r.currency("KRKIN").isZero() || !r.currency("KSKIN").isZero()) {
                out << "bad line " + denday + " " + r.text(1);
            }
            out << denday + " " + r.text(1) + " " + r.text(2);
        }
        return out;
    }
    void addVoucher(const QString& cid, const QString& code, const QString& denday, qint64 balance) {
        const QVariant b = QVariant::fromValue(Currency::fromYen(balance));
        QVERIFY(cn_->exec("INSERT INTO T_SIWAKE VALUES (?, ?, ?, ?, '2011/03/01', '1', ?, ?, 0)",
                          {cid, code, code, denday, b, b}));
    }
    void addPattern(const QString& krcode, const QString& kscode, const QString& setid,
                    const QString& setpt) {
        QVERIFY(cn_->exec("INSERT INTO T_SI_PATTERN VALUES ('51', ?, ?, 'name', 'desc', ?, ?)",
                          {krcode, kscode, setid, setpt}));
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        gstrCID = QStringLiteral("51");
        for (const char* t :
             {"T_SIWAKE", "T_SI_MEISAI", "T_KISYUZAN", "T_KANJO", "T_HOJOKAMOKU", "T_SI_PATTERN"}) {
            QVERIFY(cn_->exec(QStringLiteral("DELETE FROM ") + QLatin1String(t)));
        }
        // The company's cash opens with 125,000.5 at the rate 1.25; another
        // company's vouchers and opening cash must not count.
        QVERIFY(
            cn_->exec("INSERT INTO T_KISYUZAN (CID, KOCODE, KISYUZAN, RATE) VALUES ('51', '004', ?, 1.25),"
                      " ('52', '004', ?, 3)",
                      {QVariant::fromValue(Currency::fromText("125000.5")),
                       QVariant::fromValue(Currency::fromYen(7))}));
        QVERIFY(
            cn_->exec("INSERT INTO T_KANJO (KOCODE, KMCODE) VALUES ('004', '101'), ('500', '701'),"
                      " ('510', '702'), ('520', '703')"));
        for (int d = 1; d <= 20; ++d) {
            addVoucher("52", QStringLiteral("%1").arg(d, 5, 10, QLatin1Char('0')),
                       QStringLiteral("2011/04/%1").arg(d, 2, 10, QLatin1Char('0')), 7);
        }
    }

    void cleanup() { db_.reset(); }

    void createsTheMissingDays() {
        ScriptedMsgBox boxes;
        std::optional<VoucherRange> range;
        {
            FixedClock clock(day("2011/04/03"));
            range = make_new_siwake_data(kKisyu, kSiinlday);
            QVERIFY(range);
        }
        const QStringList first = {
            "00001 00001 2011/04/01 2011/04/03 0 125000.5 125000.5 1.25",
            "00002 00002 2011/04/02 2011/04/03 0 125000.5 125000.5 0",
            "00003 00003 2011/04/03 2011/04/03 0 125000.5 125000.5 0",
        };
        QCOMPARE(vouchers(), first);
        QCOMPARE(range->minDenCode, QStringLiteral("00001"));
        QCOMPARE(range->maxDenCode, QStringLiteral("00003"));

        // Opened again the same day: nothing more.
        const QStringList before = journal();
        {
            FixedClock clock(day("2011/04/03"));
            QVERIFY(make_new_siwake_data(kKisyu, kSiinlday));
        }
        QCOMPARE(journal(), before);

        // Day 3 registered with a new closing balance; two days later the new
        // days carry it, and the earlier vouchers stay as they were.
        QVERIFY(
            cn_->exec("UPDATE T_SIWAKE SET DAYZAN = ?, KESSAN = '1' WHERE CID = '51' AND DENCODE = '00003'",
                      {QVariant::fromValue(Currency::fromText("98000.25"))}));
        {
            FixedClock clock(day("2011/04/05"));
            range = make_new_siwake_data(kKisyu, kSiinlday);
            QVERIFY(range);
        }
        QCOMPARE(vouchers(),
                 QStringList({first[0], first[1], "00003 00003 2011/04/03 2011/04/03 1 125000.5 98000.25 0",
                              "00004 00004 2011/04/04 2011/04/05 0 98000.25 98000.25 0",
                              "00005 00005 2011/04/05 2011/04/05 0 98000.25 98000.25 0"}));
        QCOMPARE(range->maxDenCode, QStringLiteral("00005"));
        QCOMPARE(boxes.count(), 0);
    }

    void endOfCreation_data() {
        QTest::addColumn<QString>("kisyu");
        QTest::addColumn<QString>("siinlday");
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("lastVoucherDay");  // a voucher the company already has, or empty
        QTest::addColumn<QString>("days");            // the company's voucher days afterwards
        QTest::newRow("capped at the end of the input range") << kKisyu << "2011/04/02"
                                                              << "2011/04/10"
                                                              << ""
                                                              << "2011/04/01 2011/04/02";
        QTest::newRow("today on the end of the input range") << kKisyu << "2011/04/03"
                                                             << "2011/04/03"
                                                             << ""
                                                             << "2011/04/01 2011/04/02 2011/04/03";
        QTest::newRow("across a month end") << "2011/04/29" << kSiinlday << "2011/05/02"
                                            << ""
                                            << "2011/04/29 2011/04/30 2011/05/01 2011/05/02";
        QTest::newRow("fiscal start after today") << "2011/04/10" << kSiinlday << "2011/04/03"
                                                  << ""
                                                  << "2011/04/10";
        QTest::newRow("last voucher after today") << kKisyu << kSiinlday << "2011/04/03"
                                                  << "2011/04/05"
                                                  << "2011/04/05";
    }
    void endOfCreation() {
        QFETCH(QString, kisyu);
        QFETCH(QString, siinlday);
        QFETCH(QString, today);
        QFETCH(QString, lastVoucherDay);
        QFETCH(QString, days);
        if (!lastVoucherDay.isEmpty()) addVoucher("51", "00001", lastVoucherDay, 10);
        FixedClock clock(day(today));
        ScriptedMsgBox boxes;
        QVERIFY(make_new_siwake_data(kisyu, siinlday));
        QCOMPARE(boxes.count(), 0);
        const auto rows = cn_->query("SELECT DENDAY FROM T_SIWAKE WHERE CID = '51' ORDER BY DENCODE");
        QStringList got;
        for (const platform::Row& r : *rows) got << r.text(0);
        QCOMPARE(got.join(u' '), days);
    }

    void scheduledPatterns() {
        addPattern("701", "101", "2", "");    // every day
        addPattern("702", "101", "4", "15");  // on the 15th
        addPattern("703", "101", "4", "01");  // on the 1st, the fiscal start day too
        addPattern("101", "701", "1", "");    // chosen by hand only
        addPattern("101", "702", "4", "xx");  // a day that is no number: never
        addPattern("101", "703", "3", "");    // no schedule this program knows
        ScriptedMsgBox boxes;
        {
            FixedClock clock(day("2011/05/01"));
            QVERIFY(make_new_siwake_data(kKisyu, kSiinlday));
        }
        QCOMPARE(boxes.count(), 0);
        QStringList expected;
        for (QDate d = day(kKisyu); d <= day("2011/05/01"); d = d.addDays(1)) {
            const QString t = d.toString(QStringLiteral("yyyy/MM/dd"));
            expected << t + " 001 701101";
            if (d.day() == 15) expected << t + " 002 702101";
            if (d.day() == 1) expected << t + " 002 703101";
        }
        QCOMPARE(patternLines(), expected);

        const QStringList before = journal();
        {
            FixedClock clock(day("2011/05/01"));
            QVERIFY(make_new_siwake_data(kKisyu, kSiinlday));
        }
        QCOMPARE(journal(), before);
    }

    void failures_data() {
        QTest::addColumn<bool>("hasVoucher");  // the company has voucher 00001 on 2011/04/01 with a line
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("siinlday");
        QTest::addColumn<QStringList>("messages");
        const QString siwake = "仕訳データ( T_SIWAKE )のアクセス中にエラーが発生しました(WriteSiwakeTable)。";
        const QString meisai =
            "仕訳明細データ( T_SI_MEISAI )のアクセス中にエラーが発生しました(WriteSiMeisaiTable)。";
        const QString refuse = " BEGIN SELECT RAISE(ABORT, 'refused'); END";
        QTest::newRow("first voucher refused")
            << false << "CREATE TRIGGER refuse BEFORE INSERT ON T_SIWAKE" + refuse << kSiinlday
            << QStringList{siwake};
        QTest::newRow("later voucher refused")
            << false << "CREATE TRIGGER refuse BEFORE INSERT ON T_SIWAKE WHEN NEW.DENCODE = '00003'" + refuse
            << kSiinlday << QStringList{siwake, kCreationError};
        QTest::newRow("later voucher refused after earlier days")
            << true << "CREATE TRIGGER refuse BEFORE INSERT ON T_SIWAKE WHEN NEW.DENCODE = '00003'" + refuse
            << kSiinlday << QStringList{siwake, kCreationError};
        QTest::newRow("pattern line refused")
            << true
            << "CREATE TRIGGER refuse BEFORE INSERT ON T_SI_MEISAI WHEN NEW.SIDAY = '2011/04/03'" + refuse
            << kSiinlday << QStringList{meisai};
        QTest::newRow("patterns unreadable")
            << false << "ALTER TABLE T_SI_PATTERN RENAME TO T_SI_PATTERN_GONE" << kSiinlday
            << QStringList{kCreationError};
        QTest::newRow("opening cash unreadable")
            << false << "ALTER TABLE T_KISYUZAN RENAME TO T_KISYUZAN_GONE" << kSiinlday
            << QStringList{"勘定科目マスタのアクセス中にエラーが発生しました(GetKisyuzan)。"};
        QTest::newRow("no end of the input range") << true << ""
                                                   << "" << QStringList{kCreationError};
    }
    // Each failure shows its messages and returns false; after the caller's
    // rollback the journal is exactly as before the run.
    void failures() {
        QFETCH(bool, hasVoucher);
        QFETCH(QString, breakage);
        QFETCH(QString, siinlday);
        QFETCH(QStringList, messages);
        addPattern("701", "101", "2", "");
        if (hasVoucher) {
            addVoucher("51", "00001", kKisyu, 10);
            QVERIFY(
                cn_->exec("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY) VALUES"
                          " ('00001', '001', '51', '2011/04/01')"));
        }
        if (!breakage.isEmpty()) QVERIFY(cn_->exec(breakage));
        const QStringList before = journal();

        FixedClock clock(day("2011/04/05"));
        ScriptedMsgBox boxes;
        QVERIFY(cn_->begin());
        QVERIFY(!make_new_siwake_data(kKisyu, siinlday));
        QStringList shown;
        for (const auto& m : boxes.shown()) {
            QCOMPARE(m.icon, MsgIcon::Warning);
            QCOMPARE(m.title, gstrSoftName);
            shown << m.text;
        }
        QCOMPARE(shown, messages);
        QCOMPARE(journal(), before);  // the run took back its own writes
        QVERIFY(cn_->rollback());
        QCOMPARE(cn_->transactionDepth(), 0);
        QCOMPARE(journal(), before);
    }
};

QTEST_GUILESS_MAIN(TestDayVouchers)
#include "tst_dayvouchers.moc"
