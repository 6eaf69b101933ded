// The chart of accounts as its screen browses it and its editor changes it:
// the class cascade, the text order of account numbers, retiring, the
// editor's slots, checks and its save, whole or not at all.

#include <QtTest>

#include "app/common/globals.h"
#include "ledger/chartofaccounts.h"
#include "platform/msgbox.h"
#include "support/openingfixture.h"

using openingfixture::kCid;
using openingfixture::yen;
using platform::ScriptedMsgBox;

class TestChartOfAccounts : public QObject {
    Q_OBJECT

    std::unique_ptr<openingfixture::Company> co_;

    bool exec(const QString& sql, const platform::Params& params = {}) { return co_->exec(sql, params); }
    // A chart row (class "2" or posting account "0") in both tables.
    bool add(const QString& kocode, const QString& kmcode, const QString& name, const QString& kind,
             const QString& bun, const QString& siyou = QStringLiteral("Y")) {
        return exec(QStringLiteral("INSERT INTO T_KANJO (KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, TOCODE, BUNCODE,"
                                   " JUN, SIYOU, HOJOSET, KISYUZAN) VALUES (?, ?, ?, ?, '1', '', ?, 7, ?, 'N', 0)"),
                    {kocode, kmcode, name, kind, bun, siyou}) &&
               exec(QStringLiteral("INSERT INTO T_KISYUZAN (CID, KOCODE, KMCODE, KANNAME, KISYUZAN, JUN, SIYOU,"
                                   " HOJOSET) VALUES (?, ?, ?, ?, 0, 7, ?, 'N')"),
                    {kCid, kocode, kmcode, name, siyou});
    }
    QString row(const QString& table, const QString& kocode) {
        const QString where = table == "T_KANJO" ? QStringLiteral(" WHERE KOCODE = ?")
                                                 : QStringLiteral(" WHERE KOCODE = ? AND CID = '51'");
        const auto r = co_->cn->queryOne(
            QStringLiteral("SELECT KMCODE, KANNAME, JUN, HOJOSET, SIYOU, KISYUZAN FROM ") + table + where, {kocode});
        QStringList t;
        for (int i = 0; r && i < r->size(); ++i) t << r->text(i);
        return t.join('|');
    }
    QString subs(const QString& kocode) {
        QStringList t;
        for (const platform::Row& r :
             co_->cn
                 ->query(QStringLiteral("SELECT HOKOCODE, HOCODE, HONAME, KISYUZAN FROM T_HOJOKAMOKU"
                                        " WHERE CID = ? AND KANKOCODE = ? ORDER BY HOKOCODE"),
                         {kCid, kocode})
                 .value_or(platform::Rows()))
            t << r.text(0) + ':' + r.text(1) + ':' + r.text(2) + ':' + QString::number(r.currency(3).yen());
        return t.join(' ');
    }
    QString snapshot() {
        QString text;
        for (const char* sql : {"SELECT * FROM T_KANJO ORDER BY KOCODE", "SELECT * FROM T_KISYUZAN ORDER BY CID, KOCODE",
                                "SELECT * FROM T_HOJOKAMOKU ORDER BY CID, KANKOCODE, HOKOCODE",
                                "SELECT * FROM T_TUKISIME ORDER BY CID, DATEYM"}) {
            for (const platform::Row& r : co_->cn->query(QString::fromLatin1(sql)).value_or(platform::Rows())) {
                for (int i = 0; i < r.size(); ++i) text += r.text(i) + QLatin1Char('|');
                text += QLatin1Char('\n');
            }
        }
        return text;
    }

private slots:
    void initTestCase() { testenv::isolate(); }
    void init() {
        co_ = openingfixture::open();
        QVERIFY(co_);
        // The template's cash account carries 101; the fixture's own 101 is
        // to be the only one.
        QVERIFY(exec("UPDATE T_KANJO SET KMCODE = '1010' WHERE KMCODE = '101'"));
        // A class tree of its own: 971 without middle classes, 972 with a
        // middle class 973 without small classes, 974 > 975 > 976, 977.
        QVERIFY(add("971", "", "その他", "2", "000"));
        QVERIFY(add("972", "", "特別損益", "2", "000"));
        QVERIFY(add("973", "", "特別利益", "2", "972"));
        QVERIFY(add("974", "", "経常損益", "2", "000"));
        QVERIFY(add("975", "", "営業損益", "2", "974"));
        QVERIFY(add("976", "", "営業収益", "2", "975"));
        QVERIFY(add("977", "", "営業費用", "2", "975"));
        QVERIFY(add("978", "", "未使用分類", "2", "975", "N"));
        QVERIFY(add("A01", "11", "十一", "0", "971"));
        QVERIFY(add("A02", "101", "百一", "0", "971"));
        QVERIFY(add("A03", "2", "二", "0", "971"));
        QVERIFY(add("A04", "", "空き", "0", "971"));
        QVERIFY(add("A05", "5", "退役", "0", "971", "N"));
        QVERIFY(add("A06", "901", "雑益", "0", "973"));
        QVERIFY(add("A07", "902", "売上", "0", "976"));
    }
    void cleanup() { co_.reset(); }

    void cascade_data() {
        QTest::addColumn<QString>("dai");
        QTest::addColumn<QString>("chu");
        QTest::addColumn<QString>("syo");
        QTest::addColumn<QString>("chosen");    // the three chosen codes
        QTest::addColumn<QString>("listed");    // the class whose accounts show
        QTest::addColumn<QString>("accounts");  // their numbers in order
        QTest::newRow("large class only") << "971" << "" << "" << "971 0 0" << "971" << "101 11 2";
        QTest::newRow("middle without small") << "972" << "" << "" << "972 973 0" << "973" << "901";
        QTest::newRow("first small") << "974" << "" << "" << "974 975 976" << "976" << "902";
        QTest::newRow("second small") << "974" << "975" << "977" << "974 975 977" << "977" << "";
    }
    void cascade() {
        QFETCH(QString, dai);
        QFETCH(QString, chu);
        QFETCH(QString, syo);
        QFETCH(QString, chosen);
        QFETCH(QString, listed);
        QFETCH(QString, accounts);
        const auto c = ReadChartCascade(dai, chu, syo);
        QVERIFY(c);
        QCOMPARE(QStringList({c->daiCode, c->chuCode, c->syoCode}).join(' '), chosen);
        QCOMPARE(c->accountsClass, listed);
        QStringList numbers;
        for (const ChartAccount& a : c->accounts) numbers << a.kmcode;
        QCOMPARE(numbers.join(' '), accounts);
        QStringList syos;
        for (const ChartClass& s : c->syo) syos << s.kocode;
        QCOMPARE(syos.join(' '), dai == "974" ? "976 977" : "");  // 978 is not in use
        QCOMPARE(c->dai.front().kocode, QString("901"));
    }

    void gridRowsAndSide() {
        QCOMPARE(ChartGridRows(0), 13);
        QCOMPARE(ChartGridRows(13), 13);
        QCOMPARE(ChartGridRows(14), 14);
        const auto accounts = ClassAccounts("971");
        QVERIFY(accounts);
        QCOMPARE(accounts->front().sideText(), QString("貸方"));
        QCOMPARE(accounts->front().jun, 7);
        ChartAccount debit;
        debit.taikbn = "0";
        QCOMPARE(debit.sideText(), QString("借方"));
    }

    void readFailure() {
        QVERIFY(exec("ALTER TABLE T_KANJO RENAME TO T_KANJO_GONE"));
        ScriptedMsgBox boxes;
        QVERIFY(!ReadChartCascade());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("勘定科目マスタのアクセス中にエラーが発生しました(Form_Load)。"));
    }

    // Retiring empties number and name and marks the row not in use in both
    // tables; order, flag, balance and sub-accounts stay.
    void retire() {
        QVERIFY(exec("UPDATE T_KANJO SET KISYUZAN = ?, HOJOSET = 'Y' WHERE KOCODE = 'A02'", {yen(500)}));
        QVERIFY(exec("UPDATE T_KISYUZAN SET KISYUZAN = ?, HOJOSET = 'Y' WHERE KOCODE = 'A02'", {yen(500)}));
        QVERIFY(exec("INSERT INTO T_HOJOKAMOKU VALUES ('51', 'A02', '01', '1011', '口座', ?)", {yen(500)}));
        ScriptedMsgBox boxes;
        QVERIFY(RetireAccount({"A02", "101", "百一", 7, "Y"}));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(row("T_KANJO", "A02"), QString("||7|Y|N|5000000"));
        QCOMPARE(row("T_KISYUZAN", "A02"), QString("||7|Y|N|5000000"));
        QCOMPARE(subs("A02"), QString("01:1011:口座:500"));
        const auto left = ClassAccounts("971");
        QVERIFY(left);
        QStringList numbers;
        for (const ChartAccount& a : *left) numbers << a.kmcode;
        QCOMPARE(numbers.join(' '), QString("11 2"));

        QVERIFY(exec("CREATE TRIGGER r BEFORE UPDATE ON T_KISYUZAN BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        const QString before = snapshot();
        QVERIFY(!RetireAccount({"A01", "11", "十一", 7, "N"}));
        QCOMPARE(boxes.last().text, QString("勘定科目マスタのアクセス中にエラーが発生しました(save_data)。"));
        QCOMPARE(snapshot(), before);
    }

    void subAccountSlots_data() {
        QTest::addColumn<QString>("kmcode");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("499") << "499" << true;
        QTest::newRow("500") << "500" << false;
        QTest::newRow("6 as text") << "6" << false;
        QTest::newRow("800") << "800" << false;
        QTest::newRow("801") << "801" << true;
        QTest::newRow("1000 as text") << "1000" << true;
    }
    void subAccountSlots() {
        QFETCH(QString, kmcode);
        QFETCH(bool, allowed);
        QCOMPARE(SubAccountsAllowed(kmcode), allowed);
        QVERIFY(exec("UPDATE T_KANJO SET KMCODE = ? WHERE KOCODE = 'A02'", {kmcode}));
        QVERIFY(exec("INSERT INTO T_HOJOKAMOKU VALUES ('51', 'A02', '05', 'X5', '五番', ?)", {yen(40)}));
        const auto e = LoadAccountEdit("A02");
        QVERIFY(e);
        QCOMPARE(e->bunName, QString("その他"));
        if (!allowed) {
            QVERIFY(e->hojo[0].hokocode.isEmpty() && e->hojo[4].honame.isEmpty());
            return;
        }
        QCOMPARE(e->hojo[0].hokocode, QString("01"));
        QCOMPARE(e->hojo[2].hocode, kmcode + "3");
        QCOMPARE(e->hojo[4].hocode, QString("X5"));
        QCOMPARE(e->hojo[4].honame, QString("五番"));
        QCOMPARE(e->hojo[4].kisyuzan, Currency::fromYen(40));
        QCOMPARE(e->hojo[8].hokocode, QString("09"));
    }

    void check_data() {
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("second");
        QTest::addColumn<bool>("switchOn");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("300 + 700") << qint64(300) << qint64(700) << true << "";
        QTest::newRow("300 + 600") << qint64(300) << qint64(600) << true
                                   << "百一 の期首残高が補助科目の期首残高と一致しません\r\n\r\n"
                                      "補助科目の期首残高の合計は ¥900 です";
        QTest::newRow("switch off") << qint64(300) << qint64(600) << false << "";
    }
    void check() {
        QFETCH(qint64, first);
        QFETCH(qint64, second);
        QFETCH(bool, switchOn);
        QFETCH(QString, refusal);
        QVERIFY(exec("UPDATE T_KANJO SET KISYUZAN = ? WHERE KOCODE = 'A02'", {yen(1000)}));
        auto e = LoadAccountEdit("A02");
        QVERIFY(e);
        e->hojoOn = switchOn;
        e->hojo[0].honame = "甲";
        e->hojo[0].kisyuzan = Currency::fromYen(first);
        e->hojo[1].honame = "乙";
        e->hojo[1].kisyuzan = Currency::fromYen(second);
        ScriptedMsgBox boxes;
        const EditRefusal r = CheckAccountEdit(*e);
        QCOMPARE(r.text, refusal);
        QCOMPARE(boxes.count(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty()) QCOMPARE(boxes.last().title, QString("会計ソフト"));
    }

    // Another row with the same number refuses; so does a check that cannot
    // read the chart.
    void duplicate() {
        QVERIFY(exec("UPDATE T_KANJO SET KMCODE = '101' WHERE KOCODE = 'A01'"));
        auto e = LoadAccountEdit("A02");
        QVERIFY(e);
        ScriptedMsgBox boxes;
        EditRefusal r = CheckAccountEdit(*e);
        QVERIFY(r.duplicate);
        QCOMPARE(r.text, QString("科目コードが重複しています"));
        QVERIFY(exec("UPDATE T_KANJO SET KMCODE = '11' WHERE KOCODE = 'A01'"));
        QVERIFY(CheckAccountEdit(*e).text.isEmpty());
        QVERIFY(exec("ALTER TABLE T_KANJO RENAME TO T_KANJO_GONE"));
        r = CheckAccountEdit(*e);
        QVERIFY(!r.text.isEmpty() && !r.duplicate);
        QCOMPARE(boxes.last().text, QString("勘定科目マスタのアクセス中にエラーが発生しました(check_input)。"));
    }

    // The save writes the row into both tables with SIYOU "Y", rewrites the
    // sub-accounts from the named slots and marks the opening month.
    void save() {
        QVERIFY(exec("INSERT INTO T_HOJOKAMOKU VALUES ('51', 'A02', '02', '1012', '旧', ?)", {yen(5)}));
        QVERIFY(exec("INSERT INTO T_HOJOKAMOKU VALUES ('52', 'A02', '02', '1012', '他社', ?)", {yen(5)}));
        auto e = LoadAccountEdit("A02");
        QVERIFY(e);
        e->kanName = "百一改";
        e->jun = 42;
        e->hojoOn = true;
        e->hojo[1].honame.clear();  // deleted slot
        e->hojo[2].honame = "新口座";
        e->hojo[2].kisyuzan = Currency::fromYen(1234);
        ScriptedMsgBox boxes;
        QVERIFY(SaveAccountEdit(*e));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(row("T_KANJO", "A02"), QString("101|百一改|42|Y|Y|0"));
        QCOMPARE(row("T_KISYUZAN", "A02"), QString("101|百一改|42|Y|Y|0"));
        QCOMPARE(subs("A02"), QString("03:1013:新口座:1234"));
        QCOMPARE(co_->cn->scalar("SELECT COUNT(*) FROM T_HOJOKAMOKU WHERE CID = '52'")->toInt(), 1);
        QCOMPARE(co_->cn->scalar("SELECT SYORIFLG FROM T_TUKISIME WHERE CID = '51' AND DATEYM = '2011/00'")
                     .value_or(QVariant())
                     .toString(),
                 QString("0"));
    }

    // The list's work table: each depth with its class columns, the counter
    // account's name (null when AICODE names no row), retired accounts left
    // out, a second fill replacing the first, a failed fill leaving it.
    void listWorkTable() {
        QVERIFY(exec("UPDATE T_KANJO SET AICODE = 'A01' WHERE KOCODE = 'A06'"));
        QVERIFY(exec("UPDATE T_KANJO SET AICODE = 'ZZZ' WHERE KOCODE = 'A07'"));
        ScriptedMsgBox boxes;
        QVERIFY(FillKanjoPrint());
        QVERIFY(FillKanjoPrint());
        QCOMPARE(boxes.count(), 0);
        const auto listed = [this] {
            QStringList t;
            for (const platform::Row& r :
                 co_->cn
                     ->query("SELECT DAICODE, TYUCODE, SYOCODE, KMCODE, KMNAME, AICODE, AINAME FROM WK_KANJO_PRINT"
                             " WHERE DAICODE LIKE '97%' ORDER BY KMCODE")
                     .value_or(platform::Rows())) {
                QStringList c;
                for (int i = 0; i < r.size(); ++i) c << (r.isNull(i) ? QStringLiteral("-") : r.text(i));
                t << c.join(',');
            }
            return t.join(' ');
        };
        const QString expected = "971,-,-,101,百一,-,- 971,-,-,11,十一,-,- 971,-,-,2,二,-,- "
                                 "972,973,-,901,雑益,A01,十一 974,975,976,902,売上,ZZZ,-";
        QCOMPARE(listed(), expected);
        QVERIFY(exec("CREATE TRIGGER r BEFORE INSERT ON WK_KANJO_PRINT WHEN NEW.KMCODE = '2'"
                     " BEGIN SELECT RAISE(ABORT, 'x'); END"));
        QVERIFY(!FillKanjoPrint());
        QCOMPARE(boxes.last().text, QString("データベースのアクセス中にエラーが発生しました(cmdInsatu_Click)。"));
        QCOMPARE(listed(), expected);
    }

    // A failure at any step leaves every table as it was.
    void saveFailure_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("working chart") << "CREATE TRIGGER r BEFORE UPDATE ON T_KANJO BEGIN SELECT RAISE(ABORT, 'x'); END";
        QTest::newRow("saved chart") << "CREATE TRIGGER r BEFORE UPDATE ON T_KISYUZAN BEGIN SELECT RAISE(ABORT, 'x'); END";
        QTest::newRow("sub-accounts")
            << "CREATE TRIGGER r BEFORE INSERT ON T_HOJOKAMOKU BEGIN SELECT RAISE(ABORT, 'x'); END";
        QTest::newRow("month marks") << "DROP TABLE T_TUKISIME";
    }
    void saveFailure() {
        QFETCH(QString, fault);
        QVERIFY(exec("INSERT INTO T_HOJOKAMOKU VALUES ('51', 'A02', '02', '1012', '旧', ?)", {yen(5)}));
        auto e = LoadAccountEdit("A02");
        QVERIFY(e);
        e->kanName = "変更";
        e->hojo[2].honame = "新口座";
        QVERIFY(exec(fault));
        const QString before = snapshot();
        ScriptedMsgBox boxes;
        QVERIFY(!SaveAccountEdit(*e));
        QCOMPARE(boxes.last().text, QString("補助科目マスタのアクセス中にエラーが発生しました(update_kanjo_data)。"));
        QCOMPARE(snapshot(), before);
        QVERIFY(!co_->cn->inTransaction());
    }
};

QTEST_GUILESS_MAIN(TestChartOfAccounts)
#include "tst_chartofaccounts.moc"
