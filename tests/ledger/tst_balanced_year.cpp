// A small year of a shop kept on the shipped chart: a new company's chart is
// taken from the template, opening balances are entered on each account's side
// and a year of journal lines is posted into a fresh copy of the database. The
// chart's sides must make the opening balances agree, give every account a
// positive balance on its own side, make the debit-normal balances add up to
// the credit-normal ones, and give the same profit through the balance-sheet
// totals, through the profit and loss statement's steps and through the
// tax-return lines that select by account number.

#include <QtTest>
#include <functional>
#include <map>
#include <memory>

#include "platform/connection.h"
#include "platform/currency.h"
#include "support/testenv.h"

using platform::Connection;

namespace {

const QString kCid = "51";

struct Opening {
    const char* km;
    qint64 yen;
};
// Assets on the debit side; the bad-debt allowance, liabilities and capital
// on the credit side, each as a positive amount as the opening-balance screen
// takes them.
const Opening kOpening[] = {
    {"101", 300000},   // 現金
    {"121", 1500000},  // 普通預金
    {"166", 400000},   // 売掛金
    {"171", 250000},   // 商品
    {"216", 180000},   // 工具器具備品
    {"199", 20000},    // 貸倒引当金
    {"312", 330000},   // 買掛金
    {"313", 500000},   // 短期借入金
    {"412", 1780000},  // 元入金
};

struct Line {
    const char* debit;
    const char* credit;
    qint64 yen;
    int month;
};
const Line kYear[] = {
    {"101", "511", 1200000, 1},                              // cash sales
    {"166", "511", 2400000, 2},                              // sales on account
    {"121", "166", 2300000, 3},                              // receivables collected
    {"521", "166", 50000, 3},                                // allowance on a sale
    {"550", "312", 1500000, 4},                              // purchases on account
    {"312", "121", 1400000, 5},                              // payables paid
    {"312", "615", 30000, 5},                                // discount on purchases
    {"712", "101", 600000, 6},                               // wages paid
    {"712", "316", 40000, 6},                                // wages withheld
    {"316", "101", 40000, 7},                                // withholding paid over
    {"747", "121", 360000, 7},                               // rent
    {"725", "101", 96000, 8},                                // utilities
    {"724", "121", 72000, 8},                                // telephone
    {"728", "101", 45000, 9},                                // supplies
    {"722", "101", 38000, 9},                                // travel
    {"821", "121", 12000, 10},                               // interest paid
    {"121", "811", 300, 10},                                 // interest received
    {"101", "813", 15000, 10},                               // sundry income
    {"251", "121", 250000, 11},                              // proprietor's drawings
    {"121", "413", 50000, 11},                               // proprietor's contribution
    {"313", "121", 200000, 11},                              // loan repaid
    {"101", "121", 200000, 11},                              // cash drawn from the bank
    {"999", "101", 10000, 12},                               // a split through the sundry account
    {"728", "999", 10000, 12},  {"713", "399", 100000, 12},  // a bonus through the payroll clearing account
    {"399", "121", 100000, 12}, {"251", "514", 20000, 12},   // goods taken for the household
    {"735", "216", 60000, 12},                               // depreciation
    {"736", "199", 5000, 12},                                // provision for bad debts
    {"611", "171", 250000, 12},                              // opening stock to cost of sales
    {"171", "617", 280000, 12},                              // closing stock
};

struct Account {
    QString ko, km, to;
    bool creditNormal = false;
    bool posting = false;
    Currency opening, debit, credit;
    // Balance on the account's own side.
    Currency balance() const { return creditNormal ? opening + credit - debit : opening + debit - credit; }
    // Net debit, whatever the side.
    Currency netDebit() const { return creditNormal ? debit - credit - opening : opening + debit - credit; }
};

}  // namespace

class TestBalancedYear : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::DbCopy> db_;
    std::unique_ptr<Connection> cn_;
    std::map<QString, Account> byCode_;  // by KOCODE
    std::map<QString, QString> koOf_;    // KMCODE -> KOCODE

    bool post() {
        for (const Opening& o : kOpening)
            if (!cn_->exec("UPDATE T_KANJO SET KISYUZAN = ? WHERE KMCODE = ?",
                           {QVariant::fromValue(Currency::fromYen(o.yen).raw()), o.km}) ||
                cn_->changes() != 1)
                return false;
        int lineNo = 0;
        for (const Line& l : kYear) {
            const QString month = QString("2000/%1").arg(l.month, 2, 10, QChar('0'));
            const QString debit = koOf_.at(l.debit), credit = koOf_.at(l.credit);
            const qint64 raw = Currency::fromYen(l.yen).raw();
            ++lineNo;
            if (!cn_->exec(
                    "INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE, "
                    "KRHOKOCODE, KRBUKBN, KRTKBN, KRTKOCODE, KRKIN, KRAICODE, KRAIHOCODE, KSKOCODE, "
                    "KSHOKOCODE, KSBUKBN, KSTKBN, KSTKOCODE, KSKIN, KSAICODE, KSAIHOCODE, TECODE, TEKIYO, "
                    "ptcode) VALUES (?, ?, ?, ?, ?, '0', ?, '', '00', '', '000', ?, ?, '', ?, '', '00', '', "
                    "'000', ?, ?, '', '', '', '')",
                    {QString("%1").arg(l.month, 5, 10, QChar('0')),
                     QString("%1").arg(lineNo, 3, 10, QChar('0')), kCid, month + "/28", month, debit, raw,
                     credit, credit, raw, debit}))
                return false;
        }
        return true;
    }

    bool readBalances() {
        const auto rows = cn_->query(
            "SELECT K.KOCODE, K.KMCODE, K.TOCODE, K.TAIKBN, K.SYORIKBN, K.KISYUZAN, "
            "(SELECT SUM(KRKIN) FROM T_SI_MEISAI WHERE CID = ? AND KRKOCODE = K.KOCODE) AS KR, "
            "(SELECT SUM(KSKIN) FROM T_SI_MEISAI WHERE CID = ? AND KSKOCODE = K.KOCODE) AS KS "
            "FROM T_KANJO K",
            {kCid, kCid});
        if (!rows) return false;
        for (const auto& r : *rows) {
            Account a;
            a.ko = r.text("KOCODE");
            a.km = r.text("KMCODE");
            a.to = r.text("TOCODE");
            a.creditNormal = r.text("TAIKBN") != "0";
            a.posting = r.text("SYORIKBN") == "0";
            a.opening = r.currency("KISYUZAN");
            a.debit = r.currency("KR");
            a.credit = r.currency("KS");
            byCode_[a.ko] = a;
        }
        return true;
    }

    // Whether an account's amounts reach a total through the chart's roll-up.
    bool reaches(const Account& a, const QString& total) const {
        QString next = a.to;
        for (int depth = 0; depth < 10 && byCode_.count(next); ++depth) {
            if (next == total) return true;
            const Account& t = byCode_.at(next);
            if (t.to <= "003") break;
            next = t.to;
        }
        return false;
    }

    // Balance of the posting accounts of some codes, each on its own side.
    Currency balanceOf(const std::function<bool(const Account&)>& which) const {
        Currency sum;
        for (const auto& [ko, a] : byCode_)
            if (a.posting && which(a)) sum += a.balance();
        return sum;
    }
    Currency codes(const char* from, const char* to) const {
        return balanceOf([&](const Account& a) { return a.ko >= from && a.ko <= to; });
    }
    Currency code(const char* ko) const { return codes(ko, ko); }
    Currency numbers(const QStringList& kms) const {
        return balanceOf([&](const Account& a) { return kms.contains(a.km); });
    }
    // A total as the summation leaves it: the sums of the accounts rolled into
    // it, read on the total's own side.
    Currency total(const QString& ko) const {
        Currency net;
        for (const auto& [c, a] : byCode_)
            if (a.posting && reaches(a, ko)) net += a.netDebit();
        return byCode_.at(ko).creditNormal ? -net : net;
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        db_ = testenv::copyShippedDatabase();
        cn_ = Connection::open(db_->path);
        QVERIFY(cn_);
        // A company's first use: the working chart becomes the template.
        QVERIFY(cn_->exec("DELETE FROM T_KANJO"));
        QVERIFY(cn_->exec(
            "INSERT INTO T_KANJO (KOCODE, KMCODE, KNBUN, KANNAME, SYORIKBN, TAIKBN, TOCODE, BUNCODE, NOCNG, "
            "BUMONSET, HOJOSET, HOSETNO, SIYOU, PCODE1, PCODE2, PCODE3, KAIPAGE, KISYUZAN, AICODE, DAIBUN, "
            "TYUBUN, "
            "SYOBUN, JUN, KISYUMKBN) SELECT KOCODE, KMCODE, KNBUN, KANNAME, SYORIKBN, TAIKBN, TOCODE, "
            "BUNCODE, "
            "NOCNG, BUMONSET, HOJOSET, HOSETNO, SIYOU, PCODE1, PCODE2, PCODE3, KAIPAGE, KISYUZAN, AICODE, "
            "DAIBUN, "
            "TYUBUN, SYOBUN, JUN, KISYUMKBN FROM MT_KANJO"));
        const auto rows = cn_->query("SELECT KMCODE, KOCODE FROM T_KANJO WHERE KMCODE <> ''");
        QVERIFY(rows);
        for (const auto& r : *rows) koOf_[r.text(0)] = r.text(1);
        QVERIFY(post());
        QVERIFY(readBalances());
    }

    // The opening-balance screen's two totals agree when each balance was
    // entered on its account's side.
    void openingBalancesAgree() {
        auto side = [&](const char* taikbn) {
            const auto v = cn_->scalar(
                "SELECT SUM(KISYUZAN) FROM T_KANJO WHERE KMCODE <> '' AND KOCODE NOT IN('202', '258', '362') "
                "AND SYORIKBN = '0' AND TAIKBN = ? AND SIYOU = 'Y'",
                {taikbn});
            return v ? Currency::fromVariant(*v) : Currency::fromYen(-1);
        };
        QCOMPARE(side("0").toText(), QString("2630000"));
        QCOMPARE(side("1").toText(), QString("2630000"));
    }

    // Every account ends the year with the balance a bookkeeper expects, a
    // positive amount on its own side.
    void closingBalances_data() {
        QTest::addColumn<QString>("km");
        QTest::addColumn<qint64>("yen");
        const std::pair<const char*, qint64> expected[] = {
            {"101", 886000},  {"121", 1256300}, {"166", 450000},  {"171", 280000}, {"216", 120000},
            {"199", 25000},   {"251", 270000},  {"312", 400000},  {"313", 300000}, {"316", 0},
            {"412", 1780000}, {"413", 50000},   {"511", 3600000}, {"514", 20000},  {"521", 50000},
            {"550", 1500000}, {"611", 250000},  {"615", 30000},   {"617", 280000}, {"712", 640000},
            {"713", 100000},  {"722", 38000},   {"724", 72000},   {"725", 96000},  {"728", 55000},
            {"735", 60000},   {"736", 5000},    {"747", 360000},  {"811", 300},    {"813", 15000},
            {"821", 12000},   {"399", 0},       {"999", 0},
        };
        for (const auto& [km, yen] : expected) QTest::newRow(km) << QString(km) << yen;
    }
    void closingBalances() {
        QFETCH(QString, km);
        QFETCH(qint64, yen);
        QVERIFY(koOf_.count(km));
        QCOMPARE(byCode_.at(koOf_.at(km)).balance().toText(), Currency::fromYen(yen).toText());
    }

    // The balances on the debit side add up to those on the credit side, and
    // no account the year touched ends negative on its own side.
    void sidesBalance() {
        Currency debitNormal, creditNormal;
        QStringList negative;
        for (const auto& [ko, a] : byCode_) {
            if (!a.posting) continue;
            (a.creditNormal ? creditNormal : debitNormal) += a.balance();
            if (a.balance() < Currency()) negative << ko;
        }
        QVERIFY2(negative.isEmpty(), qPrintable(negative.join(", ")));
        QCOMPARE(debitNormal.toText(), QString("6500300"));
        QCOMPARE(creditNormal.toText(), debitNormal.toText());
    }

    // The profit three ways: the summation's (net debit of 113 less net credit
    // of 176), the profit and loss statement's chain of steps, and the
    // tax-return lines that select by account number.
    void profitAgrees() {
        const Currency expected = Currency::fromYen(707300);
        const Currency bySummation = total("113") - total("176");
        QCOMPARE(bySummation.toText(), expected.toText());

        const Currency sales = codes("180", "185") + codes("190", "191") - codes("186", "189").abs();
        QCOMPARE(sales.toText(), QString("3570000"));
        const Currency materials = codes("195", "198") - codes("199", "201").abs() - code("203").abs();
        const Currency manufactured =
            materials + total("214") + total("238") + total("240") + codes("242", "243") - code("244").abs();
        const Currency costOfSales =
            codes("246", "253") - codes("254", "257").abs() + manufactured - code("259").abs();
        QCOMPARE(costOfSales.toText(), QString("1440000"));
        const Currency operating = sales - costOfSales.abs() - total("310").abs();
        QCOMPARE(operating.toText(), QString("704000"));
        const Currency ordinary = operating + total("321") - total("329").abs();
        const Currency beforeTax = ordinary + total("341") - total("345").abs();
        const Currency profit = beforeTax - code("347").abs();
        QCOMPARE(profit.toText(), expected.toText());

        // Tax return: sales less deductions (line 1) and cost of sales (line 6).
        const QStringList salesNumbers = {"511", "512", "513", "514", "515", "516", "517", "518", "813"};
        const Currency line1 = numbers(salesNumbers) - numbers({"521", "522", "523", "524"});
        QCOMPARE(line1.toText(), QString("3585000"));
        const Currency line3 = numbers({"550", "551", "552", "621", "622"}) + total("214") + total("238") +
                               total("240") - numbers({"626"}) + numbers({"681"}) - numbers({"682"}) -
                               numbers({"615", "616", "624"});
        const Currency line6 = numbers({"611"}) + line3 - numbers({"617"});
        QCOMPARE(line6.toText(), QString("1440000"));
    }
};

QTEST_GUILESS_MAIN(TestBalancedYear)
#include "tst_balanced_year.moc"
