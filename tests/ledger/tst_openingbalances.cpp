// Opening balances of the current company: the grid's accounts, the totals,
// a save into both charts, the clearing, the sub-account check and what
// leaving stores (the cash carry into the day vouchers, the month marks and
// the rate), each change whole or not at all.

#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>

#include "app/common/globals.h"
#include "ledger/msum.h"
#include "ledger/openingbalances.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/openingfixture.h"

using openingfixture::kCid;
using openingfixture::kStart;
using openingfixture::yen;
using platform::MsgIcon;
using platform::ScriptedMsgBox;

class TestOpeningBalances : public QObject {
    Q_OBJECT

    std::unique_ptr<openingfixture::Company> co_;

    bool exec(const QString& sql, const platform::Params& params = {}) { return co_->exec(sql, params); }
    qint64 stored(const QString& table, const QString& kocode) {
        const QString sql = table == "T_KANJO"
                                ? QStringLiteral("SELECT KISYUZAN FROM T_KANJO WHERE KOCODE = ?")
                                : QStringLiteral("SELECT KISYUZAN FROM T_KISYUZAN WHERE KOCODE = ? AND CID = '51'");
        return Currency::fromVariant(co_->cn->scalar(sql, {kocode}).value_or(QVariant())).yen();
    }
    void refuse(const QString& table, const QString& when = QStringLiteral("1")) {
        QVERIFY(exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE UPDATE ON %1 WHEN %2"
                                    " BEGIN SELECT RAISE(ABORT, 'refused'); END")
                         .arg(table, when)));
    }
    void verifyWarning(const ScriptedMsgBox& boxes, const QString& text) {
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, text);
        QCOMPARE(boxes.last().title, gstrSoftName);
        QCOMPARE(boxes.last().icon, MsgIcon::Warning);
    }
    void addSubAccount(const QString& cid, const QString& kocode, const QString& hokocode, qint64 amount) {
        QVERIFY(exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES (?, ?, ?, ?, '口座', ?)"),
                     {cid, kocode, hokocode, hokocode, yen(amount)}));
    }

private slots:
    void initTestCase() { testenv::isolate(); }
    void init() {
        co_ = openingfixture::open();
        QVERIFY(co_);
    }
    void cleanup() { co_.reset(); }

    // The grid lists the balance-sheet posting accounts in use, numbered or
    // not; the totals count every numbered posting account in use on its side,
    // also from "177" up, and never the three subtotal accounts.
    void accountsAndTotals() {
        QVERIFY(co_->setBalance("044", 900));  // becomes unnumbered: listed, not counted
        QVERIFY(exec("UPDATE T_KANJO SET KMCODE = '' WHERE KOCODE = '044'"));
        QVERIFY(co_->setBalance("180", 7000));  // sales: counted, not listed
        QVERIFY(co_->setBalance("202", 9999));  // subtotal: never counted
        QVERIFY(co_->setBalance("005", 400));   // not in use: neither
        QVERIFY(exec("UPDATE T_KANJO SET SIYOU = 'N' WHERE KOCODE = '005'"));

        const auto accounts = KisyuzanAccounts();
        QVERIFY(accounts);
        QStringList codes;
        for (const KisyuzanAccount& a : *accounts) codes << a.kocode;
        QVERIFY(std::is_sorted(codes.begin(), codes.end()));
        QVERIFY(codes.contains("044"));
        QVERIFY(!codes.contains("005") && !codes.contains("180"));
        for (const QString& c : codes) QVERIFY2(c < "177", qPrintable(c));
        const KisyuzanAccount& cash = accounts->front();
        QCOMPARE(cash.kocode, "004");
        QCOMPARE(cash.kmcode, "101");
        QCOMPARE(cash.kanName, "現金");
        QCOMPARE(cash.taikbn, "0");
        QCOMPARE(cash.kisyuzan, Currency::fromYen(100000));

        const auto totals = ReadKisyuzanTotals();
        QVERIFY(totals);
        QCOMPARE(totals->karikei, Currency::fromYen(150000));
        QCOMPARE(totals->kasikei, Currency::fromYen(157000));
        QCOMPARE(totals->sai(), Currency::fromYen(-7000));

        const auto setting = ReadKisyuzanSetting();
        QVERIFY(setting);
        QCOMPARE(setting->kisyu, kStart);
        QVERIFY(!setting->kancng);

        QVERIFY(exec("ALTER TABLE T_KANJO RENAME TO T_KANJO_GONE"));
        ScriptedMsgBox boxes;
        QVERIFY(!ReadKisyuzanTotals());
        verifyWarning(boxes, "勘定科目マスタのアクセス中にエラーが発生しました(total_Kisyuzan)。");
    }

    void save_data() {
        QTest::addColumn<QString>("kocode");
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<QString>("fault");  // SQL that makes the save fail
        QTest::addColumn<qint64>("debit");   // debit total afterwards
        QTest::newRow("debit account") << "012" << qint64(80000) << "" << qint64(180000);
        QTest::newRow("negative") << "012" << qint64(-5000) << "" << qint64(95000);
        QTest::newRow("working chart refuses") << "012" << qint64(80000)
                                               << "CREATE TRIGGER r BEFORE UPDATE ON T_KANJO"
                                                  " BEGIN SELECT RAISE(ABORT, 'refused'); END"
                                               << qint64(150000);
        QTest::newRow("no saved row") << "012" << qint64(80000)
                                      << "DELETE FROM T_KISYUZAN WHERE CID = '51' AND KOCODE = '012'"
                                      << qint64(150000);
        QTest::newRow("unknown account") << "ZZZ" << qint64(80000) << "" << qint64(150000);
    }
    void save() {
        QFETCH(QString, kocode);
        QFETCH(qint64, amount);
        QFETCH(QString, fault);
        QFETCH(qint64, debit);
        if (!fault.isEmpty()) QVERIFY(exec(fault));
        const bool fails = !fault.isEmpty() || kocode == "ZZZ";
        const QString before = co_->snapshot();
        ScriptedMsgBox boxes;
        QCOMPARE(SaveKisyuzan(kocode, Currency::fromYen(amount)), !fails);
        if (fails) {
            verifyWarning(boxes, "勘定科目テーブルのアクセス中にエラーが発生しました(spdSS_Change)。");
            QCOMPARE(co_->snapshot(), before);
        } else {
            QCOMPARE(boxes.count(), 0);
            QCOMPARE(stored("T_KANJO", kocode), amount);
            QCOMPARE(stored("T_KISYUZAN", kocode), amount);
            QCOMPARE(StoredKisyuzan(kocode), Currency::fromYen(amount));
        }
        QCOMPARE(ReadKisyuzanTotals()->karikei, Currency::fromYen(debit));
        QVERIFY(!co_->cn->inTransaction());
    }

    // Any sub-account of the company under an account in use with
    // sub-accounts on blocks the clearing, whatever its balance.
    void clearBlocked_data() {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("blocker");
        QTest::newRow("none") << "" << "";
        QTest::newRow("zero balances") << "012 Y Y 51" << "普通預金";
        QTest::newRow("sub-accounts off") << "012 N Y 51" << "";
        QTest::newRow("account not in use") << "012 Y N 51" << "";
        QTest::newRow("another company's") << "012 Y Y 52" << "";
    }
    void clearBlocked() {
        QFETCH(QString, setUp);
        QFETCH(QString, blocker);
        if (!setUp.isEmpty()) {
            const QStringList p = setUp.split(' ');
            QVERIFY(exec("UPDATE T_KANJO SET HOJOSET = ?, SIYOU = ? WHERE KOCODE = ?", {p[1], p[2], p[0]}));
            addSubAccount(p[3], p[0], "01", 0);
            addSubAccount(p[3], p[0], "02", 0);
        }
        QString name;
        ScriptedMsgBox boxes;
        QCOMPARE(ClearBlockingAccount(name), std::optional<bool>(!blocker.isEmpty()));
        QCOMPARE(name, blocker);
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(ClearRefusalText("普通預金"), "普通預金の補助科目に期首残高が設定されていますのでクリアできません");
    }

    void clear() {
        addSubAccount(kCid, "012", "01", 500);
        QVERIFY(exec("UPDATE T_KISYUZAN SET KISYUZAN = ? WHERE CID = '04' AND KOCODE = '004'", {yen(77)}));
        QVERIFY(ClearKisyuzan());
        QCOMPARE(co_->cn->scalar("SELECT COUNT(*) FROM T_KANJO WHERE KISYUZAN <> 0")->toInt(), 0);
        QCOMPARE(co_->cn->scalar("SELECT COUNT(*) FROM T_KISYUZAN WHERE CID = '51' AND KISYUZAN <> 0")->toInt(), 0);
        QCOMPARE(co_->cn->scalar("SELECT KISYUZAN FROM T_KISYUZAN WHERE CID = '04' AND KOCODE = '004'")
                     ->toLongLong(),
                 Currency::fromYen(77).raw());
        QCOMPARE(co_->cn->scalar("SELECT KISYUZAN FROM T_HOJOKAMOKU WHERE CID = '51'")->toLongLong(),
                 Currency::fromYen(500).raw());
    }

    // A failure of either statement leaves both charts as they were.
    void clearFails_data() {
        QTest::addColumn<QString>("table");
        QTest::newRow("working chart") << "T_KANJO";
        QTest::newRow("saved chart") << "T_KISYUZAN";
    }
    void clearFails() {
        QFETCH(QString, table);
        refuse(table);
        const QString before = co_->snapshot();
        ScriptedMsgBox boxes;
        QVERIFY(!ClearKisyuzan());
        verifyWarning(boxes, "データベースのアクセス中にエラーが発生しました(cmdClear_Click)。");
        QCOMPARE(co_->snapshot(), before);
        QVERIFY(!co_->cn->inTransaction());
    }

    void subAccountCheck_data() {
        QTest::addColumn<QString>("hojoset");
        QTest::addColumn<qint64>("sub1");
        QTest::addColumn<qint64>("sub2");
        QTest::addColumn<QString>("message");
        QTest::newRow("agrees") << "Y" << qint64(30000) << qint64(20000) << "";
        QTest::newRow("sub-accounts add up to 0") << "Y" << qint64(100) << qint64(-100) << "";
        QTest::newRow("differs")
            << "Y" << qint64(30000) << qint64(25000)
            << "普通預金 の期首残高が補助科目の期首残高と一致しません\r\n\r\n補助科目の期首残高の合計は 55000 です。";
        // Sub-accounts switched off are kept by the account editor, which the
        // user cannot reach while the opening balances refuse to close.
        QTest::newRow("sub-accounts off, not compared") << "N" << qint64(1) << qint64(0) << "";
    }
    void subAccountCheck() {
        QFETCH(QString, hojoset);
        QFETCH(qint64, sub1);
        QFETCH(qint64, sub2);
        QFETCH(QString, message);
        QVERIFY(exec("UPDATE T_KANJO SET HOJOSET = ? WHERE KOCODE = '012'", {hojoset}));
        addSubAccount(kCid, "012", "01", sub1);
        addSubAccount(kCid, "012", "02", sub2);
        addSubAccount("52", "004", "01", 1);  // another company's never counts
        const auto found = FindSubAccountMismatch();
        QVERIFY(found);
        QCOMPARE(found->has_value(), !message.isEmpty());
        if (found->has_value()) QCOMPARE(SubAccountMismatchText(**found), message);
    }

    void subAccountHalfYen() {
        QVERIFY(exec("UPDATE T_KANJO SET HOJOSET = 'Y' WHERE KOCODE = '012'"));
        addSubAccount(kCid, "012", "01", 0);
        QVERIFY(exec("UPDATE T_HOJOKAMOKU SET KISYUZAN = ? WHERE CID = '51'",
                     {QVariant::fromValue(Currency::fromText("49999.5"))}));
        const auto found = FindSubAccountMismatch();
        QVERIFY(found && found->has_value());
        QVERIFY(SubAccountMismatchText(**found).contains("合計は 49999.5 です。"));
    }

    // The cash opening balance 100,000 -> 150,000 moves the balances before
    // and after every day from the fiscal start on by 50,000, whether or not
    // a voucher lies on the fiscal start; the opening month is marked for the
    // summation and the rate goes to every row of the company.
    void carry_data() {
        QTest::addColumn<bool>("voucherOnStart");
        QTest::newRow("voucher on the fiscal start") << true;
        QTest::newRow("first voucher later") << false;
    }
    void carry() {
        QFETCH(bool, voucherOnStart);
        co_ = openingfixture::open(voucherOnStart);
        QVERIFY(co_);
        QVERIFY(exec("UPDATE T_TUKISIME SET SYORIFLG = '1', SYORIFLGH = '1' WHERE CID = '51'"));
        QVERIFY(co_->addVoucher(kCid, 90, "2011/03/31", 5, 5));  // before the period: stays
        const auto before = co_->balances();
        const auto other = co_->balances("52");
        QVERIFY(SaveKisyuzan("004", Currency::fromYen(150000)));
        QVERIFY(SaveKisyuzanOnLeaving(kStart, true, 1.25));
        const auto after = co_->balances();
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after[0], before[0]);
        QCOMPARE(after[1].first, 150000);
        for (int i = 1; i < after.size(); ++i) {
            QCOMPARE(after[i].first, before[i].first + 50000);
            QCOMPARE(after[i].second, before[i].second + 50000);
        }
        QCOMPARE(co_->balances("52"), other);
        const auto marked = co_->cn->query(
            "SELECT DATEYM FROM T_TUKISIME WHERE CID = '51' AND (SYORIFLG = '0' OR SYORIFLGH = '0')");
        QCOMPARE(marked->size(), size_t(1));
        QCOMPARE(marked->front().text(0), "2011/00");
        QCOMPARE(co_->cn->scalar("SELECT COUNT(*) FROM T_KISYUZAN WHERE CID = '51' AND RATE <> 1.25")->toInt(), 0);
        QVERIFY(co_->cn->scalar("SELECT COUNT(*) FROM T_KISYUZAN WHERE CID = '51'")->toInt() > 100);

        // Leaving again carries nothing more.
        QVERIFY(SaveKisyuzanOnLeaving(kStart, true, 1.25));
        QCOMPARE(co_->balances(), after);
    }

    // The program killed while the screen is open, after a cash cell was
    // saved (or before it, or once the screen was left): after the restart
    // the day vouchers' chain starts from the stored opening cash, the old
    // one or the new one, and both charts agree.
    void killedWhileOpen_data() {
        QTest::addColumn<int>("steps");  // what the child finishes before it is killed
        QTest::newRow("before the save") << 0;
        QTest::newRow("after the cash cell's save") << 1;
        QTest::newRow("after a second cell's save") << 2;
        QTest::newRow("after leaving") << 3;
    }
    void killedWhileOpen() {
        QFETCH(int, steps);
        const pid_t child = ::fork();
        if (child == 0) {
            ScriptedMsgBox boxes;
            if (steps > 0 && !SaveKisyuzan("004", Currency::fromYen(150000))) ::_exit(3);
            if (steps > 1 && !SaveKisyuzan("012", Currency::fromYen(0))) ::_exit(3);
            if (steps > 2 && !SaveKisyuzanOnLeaving(kStart, true, 0)) ::_exit(3);
            ::_exit(0);
        }
        int wstatus = 0;
        QCOMPARE(::waitpid(child, &wstatus, 0), child);
        QVERIFY(WIFEXITED(wstatus));
        QCOMPARE(WEXITSTATUS(wstatus), 0);

        // The restart: a connection of its own on the file.
        auto cn = platform::Connection::open(co_->db->path());
        QVERIFY(cn);
        const qint64 opening =
            Currency::fromVariant(*cn->scalar("SELECT KISYUZAN FROM T_KISYUZAN WHERE CID = '51' AND KOCODE = '004'"))
                .yen();
        QCOMPARE(opening, steps > 0 ? 150000 : 100000);
        QCOMPARE(Currency::fromVariant(*cn->scalar("SELECT KISYUZAN FROM T_KANJO WHERE KOCODE = '004'")).yen(),
                 opening);
        const auto first = cn->queryOne("SELECT YDAYZAN FROM T_SIWAKE WHERE CID = '51' AND DENDAY >= ?"
                                        " ORDER BY DENDAY, DENCODE LIMIT 1",
                                        {kStart});
        QVERIFY(first && first->size() == 1);
        QCOMPARE(first->currency(0).yen(), opening);
        // Each voucher starts where the one before it ended.
        const auto days = cn->query("SELECT YDAYZAN, DAYZAN FROM T_SIWAKE WHERE CID = '51' AND DENDAY >= ?"
                                    " ORDER BY DENDAY, DENCODE",
                                    {kStart});
        QVERIFY(days && days->size() == 5);
        for (size_t i = 1; i < days->size(); ++i)
            QCOMPARE((*days)[i].currency(0).yen(), (*days)[i - 1].currency(1).yen());
    }

    // Clearing the balances carries the cleared cash into the day vouchers
    // with it.
    void clearCarriesTheCash() {
        QVERIFY(ClearKisyuzan());
        QCOMPARE(co_->balances().front().first, 0);
    }

    // Leaving without a change writes the rate only.
    void leaveUnchanged() {
        QVERIFY(exec("UPDATE T_TUKISIME SET SYORIFLG = '1', SYORIFLGH = '1' WHERE CID = '51'"));
        QVERIFY(exec("UPDATE T_KISYUZAN SET KISYUZAN = ? WHERE CID = '51' AND KOCODE = '004'", {yen(150000)}));
        const auto before = co_->balances();
        QVERIFY(SaveKisyuzanOnLeaving(kStart, false, 0));
        QCOMPARE(co_->balances(), before);
        QCOMPARE(co_->cn->scalar("SELECT COUNT(*) FROM T_TUKISIME WHERE SYORIFLG = '0' AND CID = '51'")->toInt(), 0);
    }

    // A failure anywhere in leaving leaves every table as it was.
    void leaveFails_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("message");
        QTest::newRow("the carry") << "T_SIWAKE" << "NEW.DENDAY = '2011/08/31'"
                                   << "T_SIWAKEのアクセス中にエラーが発生しました(UpdateSiwakeZandaka)。";
        QTest::newRow("the month marks") << "T_TUKISIME" << "NEW.SYORIFLGH = '0'"
                                         << "T_TUKISIMEテーブルのアクセス中にエラーが発生しました(UpdateTukiSimebi)。";
        QTest::newRow("the rate") << "T_KISYUZAN" << "NEW.RATE <> OLD.RATE"
                                  << "勘定科目マスタのアクセス中にエラーが発生しました(unload_form)。";
    }
    void leaveFails() {
        QFETCH(QString, table);
        QFETCH(QString, when);
        QFETCH(QString, message);
        QVERIFY(exec("UPDATE T_TUKISIME SET SYORIFLG = '1', SYORIFLGH = '1' WHERE CID = '51'"));
        QVERIFY(SaveKisyuzan("004", Currency::fromYen(150000)));
        refuse(table, when);
        const QString before = co_->snapshot();
        ScriptedMsgBox boxes;
        QVERIFY(!SaveKisyuzanOnLeaving(kStart, true, 2));
        verifyWarning(boxes, message);
        QCOMPARE(co_->snapshot(), before);
        QVERIFY(!co_->cn->inTransaction());
    }

    void cashBalanceUnreadable() {
        QVERIFY(exec("ALTER TABLE T_KISYUZAN RENAME TO T_KISYUZAN_GONE"));
        ScriptedMsgBox boxes;
        QVERIFY(!SaveKisyuzanOnLeaving(kStart, true, 0));
        verifyWarning(boxes, "T_SIWAKEのアクセス中にエラーが発生しました(update_siwake)。");
    }

    // The summation after a change shows the new opening balances in the
    // opening month's totals.
    void summationSeesTheChange() {
        QVERIFY(msum_main("2011/04", "2011/05", false));
        const QString sql = "SELECT KRRUI FROM T_TUKIKAN WHERE CID = '51' AND KANKOCODE = ? AND DATEYM = ?";
        QCOMPARE(co_->cn->scalar(sql, {"004", "2011/00"})->toLongLong(), Currency::fromYen(100000).raw());
        QVERIFY(SaveKisyuzan("004", Currency::fromYen(150000)));
        QVERIFY(SaveKisyuzanOnLeaving(kStart, true, 0));
        QVERIFY(msum_main("2011/04", "2011/05", false));
        QCOMPARE(co_->cn->scalar(sql, {"004", "2011/00"})->toLongLong(), Currency::fromYen(150000).raw());
    }
};

QTEST_GUILESS_MAIN(TestOpeningBalances)
#include "tst_openingbalances.moc"
