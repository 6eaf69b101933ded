// Voucher services on a copy of the shipped database: lookup by key column,
// the highest voucher and line numbers (a failed read told apart from "none"),
// the voucher range, the carry of a cash balance change into later days, the
// opening cash balance, and the zero-amount line of a pattern.

#include <QtTest>
#include <memory>

#include "app/common/globals.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

QVariant yen(qint64 y) {
    return QVariant::fromValue(Currency::fromYen(y));
}

}  // namespace

class TestVouchers : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testenv::ShippedDb> db_;
    std::optional<platform::Transaction> tx_;
    platform::Connection* cn_ = nullptr;  // db_'s connection

    void addVoucher(const QString& cid, const QString& code, const QString& day, qint64 before, qint64 after,
                    double rate = 0, const QString& denno = QString()) {
        QVERIFY(cn_->exec("INSERT INTO T_SIWAKE VALUES (?, ?, ?, ?, '2011/04/01', '1', ?, ?, ?)",
                          {cid, code, denno.isEmpty() ? code : denno, day, yen(before), yen(after), rate}));
    }
    void addLine(const QString& code, const QString& line) {
        QVERIFY(cn_->exec("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID) VALUES (?, ?, ?)",
                          {code, line, gstrCID}));
    }
    // The five vouchers of company 51 (days 1 to 5 of April 2011) and three of
    // company 52 on the same days, which no service of company 51 may touch.
    void addFiveDays() {
        const qint64 balances[5][2] = {{100, 150}, {150, 120}, {120, 200}, {200, 200}, {200, 260}};
        for (int i = 0; i < 5; ++i) {
            addVoucher("51", FormatDenCode(i + 1),
                       QStringLiteral("2011/04/%1").arg(i + 1, 2, 10, QLatin1Char('0')), balances[i][0],
                       balances[i][1]);
        }
        for (int i = 3; i <= 5; ++i)
            addVoucher("52", FormatDenCode(i), QStringLiteral("2011/04/0%1").arg(i), 7, 7);
    }
    // YDAYZAN and DAYZAN of every voucher of a company, in code order.
    QList<QPair<Currency, Currency>> balances(const QString& cid) {
        QList<QPair<Currency, Currency>> list;
        const auto rows =
            cn_->query("SELECT YDAYZAN, DAYZAN FROM T_SIWAKE WHERE CID = ? ORDER BY DENCODE", {cid});
        for (const platform::Row& r : rows.value_or(platform::Rows()))
            list.append({r.currency(0), r.currency(1)});
        return list;
    }
    // Makes every statement on the table fail, as a lost or damaged table does.
    void breakTable(const QString& table) {
        QVERIFY(cn_->exec("ALTER TABLE " + table + " RENAME TO " + table + "_GONE"));
    }
    void verifyWarning(const ScriptedMsgBox& boxes, const QString& text) {
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, text);
        QCOMPARE(boxes.last().title, gstrSoftName);
        QCOMPARE(boxes.last().icon, MsgIcon::Warning);
    }
    platform::Row pattern(const QString& krcode, const QString& kscode, const QString& tename) {
        if (!cn_->exec("INSERT INTO T_SI_PATTERN VALUES ('51', ?, ?, 'name', ?, '2', '')",
                       {krcode, kscode, tename})) {
            QTest::qFail("the pattern row was not stored", __FILE__, __LINE__);
            return platform::Row();
        }
        return cn_
            ->queryOne("SELECT * FROM T_SI_PATTERN WHERE CID = '51' AND KRCODE = ? AND KSCODE = ?",
                       {krcode, kscode})
            .value_or(platform::Row());
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        // Each test writes inside one transaction, as the engine's callers do.
        tx_.emplace(*cn_);
        gstrCID = QStringLiteral("51");
        gstrCallForm.clear();
        for (const char* t :
             {"T_SIWAKE", "T_SI_MEISAI", "T_KISYUZAN", "T_KANJO", "T_HOJOKAMOKU", "T_SI_PATTERN"}) {
            QVERIFY(cn_->exec(QStringLiteral("DELETE FROM ") + QLatin1String(t)));
        }
    }

    void cleanup() {
        tx_.reset();
        db_.reset();
    }

    void lookup_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("code");
        QTest::newRow("by day") << "DENDAY"
                                << "2011/04/02" << 1 << "00002";
        QTest::newRow("by number") << "DENNO"
                                   << "00102" << 1 << "00002";
        QTest::newRow("by code") << "DENCODE"
                                 << "00001" << 1 << "00001";
        QTest::newRow("column in lower case") << "denday"
                                              << "2011/04/01" << 1 << "00001";
        QTest::newRow("day of another company") << "DENDAY"
                                                << "2011/04/03" << 0 << "";
        QTest::newRow("day without voucher") << "DENDAY"
                                             << "2011/05/01" << 0 << "";
        QTest::newRow("value with a quote") << "DENDAY"
                                            << "2011/04/0'1" << 0 << "";
        QTest::newRow("not a key column") << "KESSAN"
                                          << "1" << -1 << "";
        QTest::newRow("column with SQL") << "DENDAY = DENDAY OR DENDAY"
                                         << "x" << -1 << "";
    }
    void lookup() {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(int, result);
        QFETCH(QString, code);
        addVoucher("51", "00001", "2011/04/01", 100, 150, 1.25);
        addVoucher("51", "00002", "2011/04/02", 150, -20, 0.5, "00102");
        addVoucher("52", "00003", "2011/04/03", 1, 1);
        ScriptedMsgBox boxes;
        SiwakeData data{"stale", "stale", "stale", Currency::fromYen(9), Currency::fromYen(9), 9};
        QCOMPARE(GetSiwakeData(column, value, data), result);
        QCOMPARE(boxes.count(), 0);
        if (result != 1) {
            QCOMPARE(data.denCode, QString());
            QCOMPARE(data.denDay, QString());
            QCOMPARE(data.denNo, QString());
            QCOMPARE(data.yDayZan, Currency());
            QCOMPARE(data.dayZan, Currency());
            QCOMPARE(data.rate, 0.0);
            return;
        }
        QCOMPARE(data.denCode, code);
        if (code == u"00002") {
            QCOMPARE(data.denDay, QStringLiteral("2011/04/02"));
            QCOMPARE(data.denNo, QStringLiteral("00102"));
            QCOMPARE(data.yDayZan, Currency::fromYen(150));
            QCOMPARE(data.dayZan, Currency::fromYen(-20));
            QCOMPARE(data.rate, 0.5);
        } else {
            QCOMPARE(data.rate, 1.25);
        }
    }

    void lookupFailure() {
        breakTable("T_SIWAKE");
        ScriptedMsgBox boxes;
        SiwakeData data;
        QCOMPARE(GetSiwakeData("DENDAY", "2011/04/01", data), -1);
        QCOMPARE(boxes.count(), 0);
    }

    void highestNumbers_data() {
        QTest::addColumn<QStringList>("codes");  // vouchers of company 51
        QTest::addColumn<QStringList>("lines");  // lines of its voucher 00001
        QTest::addColumn<QString>("nextCode");
        QTest::addColumn<QString>("nextLine");
        QTest::newRow("none yet") << QStringList{} << QStringList{} << "00001"
                                  << "001";
        QTest::newRow("after 00009 and 003")
            << QStringList{"00001", "00009"} << QStringList{"001", "002", "003"} << "00010"
            << "004";
        QTest::newRow("00010 above 00009 as text")
            << QStringList{"00009", "00010", "00001"} << QStringList{"009", "010"} << "00011"
            << "011";
    }
    void highestNumbers() {
        QFETCH(QStringList, codes);
        QFETCH(QStringList, lines);
        QFETCH(QString, nextCode);
        QFETCH(QString, nextLine);
        for (const QString& c : codes) addVoucher("51", c, "2011/04/" + c.right(2), 0, 0);
        for (const QString& l : lines) addLine("00001", l);
        // Higher numbers of another company and of another voucher count for nothing.
        addVoucher("52", "00050", "2011/04/01", 0, 0);
        addLine("00002", "050");
        QVERIFY(cn_->exec("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID) VALUES ('00001', '090', '52')"));
        ScriptedMsgBox boxes;
        const std::optional<int> code = GetMaxSiwakeDenpyoNo();
        const std::optional<int> line = GetMaxSiwakeMeisaiDenpyoNo("00001");
        QVERIFY(code && line);
        QCOMPARE(FormatDenCode(*code + 1), nextCode);
        QCOMPARE(FormatDenMeNo(*line + 1), nextLine);
        QCOMPARE(boxes.count(), 0);
    }

    // A failed read is a failure, never "none yet" (which would number "00001"
    // again and collide with the company's first voucher).
    void highestNumberFailures() {
        addVoucher("51", "00001", "2011/04/01", 0, 0);
        addLine("00001", "001");
        breakTable("T_SIWAKE");
        breakTable("T_SI_MEISAI");
        {
            ScriptedMsgBox boxes;
            QVERIFY(!GetMaxSiwakeDenpyoNo());
            verifyWarning(boxes, "仕訳データの検索中にエラーが発生しました(GetMaxSiwakeDenpyoNo)。");
        }
        {
            ScriptedMsgBox boxes;
            QVERIFY(!GetMaxSiwakeMeisaiDenpyoNo("00001"));
            verifyWarning(boxes,
                          "仕訳明細データの検索中にエラーが発生しました(GetMaxSiwakeMeisaiDenpyoNo)。");
        }
    }

    void voucherRange() {
        ScriptedMsgBox boxes;
        std::optional<VoucherRange> range = GetMinMaxSiwakeDenCode();
        QVERIFY(range);
        QCOMPARE(range->minDenCode, QString());
        QCOMPARE(range->maxDenCode, QString());

        addVoucher("51", "00002", "2011/04/02", 0, 0);
        addVoucher("51", "00011", "2011/04/11", 0, 0);
        addVoucher("52", "00001", "2011/04/01", 0, 0);
        addVoucher("52", "00099", "2011/07/08", 0, 0);
        range = GetMinMaxSiwakeDenCode();
        QVERIFY(range);
        QCOMPARE(range->minDenCode, QStringLiteral("00002"));
        QCOMPARE(range->maxDenCode, QStringLiteral("00011"));
        QCOMPARE(boxes.count(), 0);

        // A failed read hands back no range (no stale one).
        breakTable("T_SIWAKE");
        QVERIFY(!GetMinMaxSiwakeDenCode());
        verifyWarning(boxes, "仕訳伝票のアクセス中にエラーが発生しました(GetMinMaxSiwakeDenCode)。");
    }

    void carry_data() {
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("openingBalance");
        QTest::addColumn<QString>("callForm");
        QTest::addColumn<QString>("shifts");  // per voucher 1..5, blank-separated
        QTest::newRow("day and later") << "2011/04/03"
                                       << "1500.5" << false << ""
                                       << "0 0 1500.5 1500.5 1500.5";
        QTest::newRow("negative") << "2011/04/02"
                                  << "-30" << false << ""
                                  << "0 -30 -30 -30 -30";
        QTest::newRow("zero") << "2011/04/02"
                              << "0" << false << ""
                              << "0 0 0 0 0";
        QTest::newRow("day without voucher") << "2011/03/31"
                                             << "500" << false << ""
                                             << "0 0 0 0 0";
        QTest::newRow("new opening balance") << "2011/04/01"
                                             << "130" << true << ""
                                             << "30 30 30 30 30";
        QTest::newRow("same opening balance") << "2011/04/01"
                                              << "100" << true << ""
                                              << "0 0 0 0 0";
        QTest::newRow("lower opening balance") << "2011/04/01"
                                               << "40.25" << true << ""
                                               << "-59.75 -59.75 -59.75 -59.75 -59.75";
        // The period starts before its first voucher: the new balance is
        // measured against the first voucher there is.
        QTest::newRow("opening balance before the first voucher") << "2011/03/01"
                                                                  << "130" << true << ""
                                                                  << "30 30 30 30 30";
        QTest::newRow("opening balance after the last voucher") << "2011/04/06"
                                                                << "130" << true << ""
                                                                << "0 0 0 0 0";
        // The opening-balance screen's name left behind in the caller global
        // must not turn a change into a new balance.
        QTest::newRow("change after the opening-balance screen") << "2011/04/04"
                                                                 << "130" << false << "InpKisyuZandaka"
                                                                 << "0 0 0 130 130";
    }
    void carry() {
        QFETCH(QString, day);
        QFETCH(QString, amount);
        QFETCH(bool, openingBalance);
        QFETCH(QString, callForm);
        QFETCH(QString, shifts);
        addFiveDays();
        gstrCallForm = callForm;
        const auto before = balances("51");
        const auto other = balances("52");
        ScriptedMsgBox boxes;
        QVERIFY(UpdateSiwakeZandaka(day, Currency::fromText(amount),
                                    openingBalance ? ZandakaMode::OpeningBalance : ZandakaMode::Shift));
        QCOMPARE(boxes.count(), 0);
        const auto after = balances("51");
        const QStringList shift = shifts.split(u' ');
        QCOMPARE(after.size(), 5);
        for (int i = 0; i < 5; ++i) {
            const Currency s = Currency::fromText(shift[i]);
            QCOMPARE(after[i].first, before[i].first + s);
            QCOMPARE(after[i].second, before[i].second + s);
        }
        QCOMPARE(balances("52"), other);
    }

    // Registering day 2 with a new closing balance, as the daily entry does:
    // store the day's DAYZAN, carry the difference to the next voucher's
    // YDAYZAN into every later day. The chain holds again, each later day keeps
    // its own movement, and nothing earlier moves.
    void carryKeepsTheChain() {
        addFiveDays();
        const auto before = balances("51");
        QVERIFY(cn_->exec("UPDATE T_SIWAKE SET DAYZAN = ? WHERE CID = '51' AND DENDAY = '2011/04/02'",
                          {yen(180)}));
        SiwakeData next;
        QCOMPARE(GetSiwakeData("DENDAY", "2011/04/03", next), 1);
        QVERIFY(UpdateSiwakeZandaka("2011/04/03", Currency::fromYen(180) - next.yDayZan));
        const auto after = balances("51");
        QCOMPARE(after[0], before[0]);
        QCOMPARE(after[1].first, before[1].first);
        for (int i = 1; i < 5; ++i) QCOMPARE(after[i].first, after[i - 1].second);
        for (int i = 2; i < 5; ++i)
            QCOMPARE(after[i].second - after[i].first, before[i].second - before[i].first);
    }

    void carryFailures() {
        addFiveDays();
        const auto before = balances("51");
        const QString message = "T_SIWAKEのアクセス中にエラーが発生しました(UpdateSiwakeZandaka)。";
        {
            QVERIFY(
                cn_->exec("CREATE TRIGGER refuse BEFORE UPDATE ON T_SIWAKE WHEN NEW.DENCODE = '00005'"
                          " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
            ScriptedMsgBox boxes;
            QVERIFY(!UpdateSiwakeZandaka("2011/04/02", Currency::fromYen(10)));
            verifyWarning(boxes, message);
            QCOMPARE(balances("51"), before);
        }
        {
            breakTable("T_SIWAKE");
            ScriptedMsgBox boxes;
            QVERIFY(!UpdateSiwakeZandaka("2011/04/02", Currency::fromYen(10)));
            verifyWarning(boxes, message);
        }
    }

    void openingCash() {
        QVERIFY(
            cn_->exec("INSERT INTO T_KISYUZAN (CID, KOCODE, KISYUZAN, RATE) VALUES"
                      " ('51', '004', ?, 1.25), ('51', '005', ?, 2), ('52', '004', ?, 3)",
                      {QVariant::fromValue(Currency::fromText("125000.5")), yen(9), yen(8)}));
        ScriptedMsgBox boxes;
        double rate = 9;
        QVERIFY(GetKisyuzan(rate) == Currency::fromText("125000.5"));
        QCOMPARE(rate, 1.25);

        gstrCID = QStringLiteral("53");  // no row of the cash account
        rate = 9;
        QVERIFY(GetKisyuzan(rate) == Currency());
        QCOMPARE(rate, 0.0);
        QCOMPARE(boxes.count(), 0);

        breakTable("T_KISYUZAN");
        rate = 9;
        QVERIFY(!GetKisyuzan(rate));
        QCOMPARE(rate, 0.0);
        verifyWarning(boxes, "勘定科目マスタのアクセス中にエラーが発生しました(GetKisyuzan)。");
    }

    void patternLine_data() {
        QTest::addColumn<QString>("krcode");
        QTest::addColumn<QStringList>("existingLines");
        QTest::addColumn<QString>("expected");  // the 31 stored values, "|"-separated
        QTest::newRow("accounts with and without sub-accounts")
            << "701" << QStringList{"001", "002", "003"}
            << "00003|004|51|2011/04/15|2011/"
               "04|0|500|02|00|5|000|0|0|0|0|004|0000|004||00|5|000|0|0|0|0|500|0000||"
               "家賃 '月末'|701101";
        QTest::newRow("debit number of no account")
            << "999" << QStringList{}
            << "00003|001|51|2011/04/15|2011/04|0|||00|5|000|0|0|0|0|004|0000|004||00|5|000|0|0|0|0||0000||"
               "家賃 '月末'|999101";
    }
    void patternLine() {
        QFETCH(QString, krcode);
        QFETCH(QStringList, existingLines);
        QFETCH(QString, expected);
        // The working chart: cash (number 101) and rent (number 701), and an
        // unused slot with an empty number.
        QVERIFY(cn_->exec(
            "INSERT INTO T_KANJO (KOCODE, KMCODE) VALUES ('004', '101'), ('500', '701'), ('600', '')"));
        QVERIFY(
            cn_->exec("INSERT INTO T_HOJOKAMOKU (CID, KANKOCODE, HOKOCODE) VALUES"
                      " ('51', '500', '05'), ('51', '500', '02'), ('52', '004', '01'), ('52', '500', '01')"));
        for (const QString& l : existingLines) addLine("00003", l);
        const platform::Row p = pattern(krcode, "101", "家賃 '月末'");
        QVERIFY(p.size() > 0);
        ScriptedMsgBox boxes;
        QVERIFY(SetSiwakeMeisaiData(p, "00003", "2011/04/15", "2011/04"));
        QCOMPARE(boxes.count(), 0);
        const auto row = cn_->queryOne("SELECT * FROM T_SI_MEISAI WHERE CID = '51' AND DENMENO = ?",
                                       {FormatDenMeNo(existingLines.size() + 1)});
        QVERIFY(row && row->size() == 31);
        QStringList stored;
        for (int i = 0; i < 31; ++i) stored << row->text(i);
        QCOMPARE(stored.join(u'|'), expected);
    }

    void patternLineFailures() {
        QVERIFY(cn_->exec("INSERT INTO T_KANJO (KOCODE, KMCODE) VALUES ('004', '101'), ('500', '701')"));
        const platform::Row p = pattern("701", "101", "家賃");
        {
            QVERIFY(
                cn_->exec("CREATE TRIGGER refuse BEFORE INSERT ON T_SI_MEISAI"
                          " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
            ScriptedMsgBox boxes;
            QVERIFY(!SetSiwakeMeisaiData(p, "00001", "2011/04/01", "2011/04"));
            verifyWarning(
                boxes,
                "仕訳明細データ( T_SI_MEISAI )のアクセス中にエラーが発生しました(WriteSiMeisaiTable)。");
            QVERIFY(cn_->exec("DROP TRIGGER refuse"));
        }
        {
            breakTable("T_HOJOKAMOKU");
            ScriptedMsgBox boxes;
            QVERIFY(!SetSiwakeMeisaiData(p, "00001", "2011/04/01", "2011/04"));
            verifyWarning(boxes, "データベースのアクセス中にエラーが発生しました(SetSiwakeMeisaiData)。");
        }
        {
            breakTable("T_SI_MEISAI");
            ScriptedMsgBox boxes;
            QVERIFY(!SetSiwakeMeisaiData(p, "00001", "2011/04/01", "2011/04"));
            verifyWarning(boxes,
                          "仕訳明細データの検索中にエラーが発生しました(GetMaxSiwakeMeisaiDenpyoNo)。");
        }
        QCOMPARE(cn_->scalar("SELECT COUNT(*) FROM T_SI_MEISAI_GONE")->toInt(), 0);
    }

    void rateText_data() {
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("short decimal") << 1.23 << "1.23";
        QTest::newRow("yen rate") << 110.75 << "110.75";
        QTest::newRow("four decimals as typed") << 110.1234 << "110.1234";
        QTest::newRow("nine digits as typed") << 12345.6789 << "12345.6789";
        QTest::newRow("small, never as an exponent") << 0.0001 << "0.0001";
        // Rates stored single-precision by earlier versions read as typed then.
        QTest::newRow("stored single-precision") << double(110.1234f) << "110.1234";
    }
    void rateText() {
        QFETCH(double, rate);
        QFETCH(QString, text);
        QCOMPARE(RateText(rate), text);
        if (QByteArray(QTest::currentDataTag()) != "stored single-precision") {
            QCOMPARE(RateText(rate).toDouble(), rate);  // reads back as the very value
        }
    }
};

QTEST_GUILESS_MAIN(TestVouchers)
#include "tst_vouchers.moc"
