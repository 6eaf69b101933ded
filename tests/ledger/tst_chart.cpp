// The shipped chart of accounts and preset companies: every rule the program
// relies on when it reads the chart, checked on the built database. Codes and
// numbers, ranges, the roll-up into the balance-sheet totals, the accounts the
// program posts to by code, sides, the daily-entry grids, sub-accounts, the
// class tree, the numbers the tax-return and monthly statements select, the
// statement positions, and the preset companies with their own chart columns.

#include <QRegularExpression>
#include <QtTest>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/connection.h"
#include "platform/cp932.h"
#include "support/testenv.h"

using platform::Connection;

namespace {

struct Account {
    QString ko, km, knbun, name, kind, side, to, bun, nocng, bumonset, hojoset, hosetno, siyou, pcode1,
        pcode2, pcode3, kaipage, aicode, daibun, tyubun, syobun, kisyumkbn;
    qint64 kisyuzan = 0;
    qint64 jun = 0;

    bool posting() const { return kind == "0"; }
    bool total() const { return kind == "1"; }
    bool isClass() const { return kind == "2"; }
    bool creditNormal() const { return side != "0"; }
    // The rows the statement computes (nothing posts to them).
    bool computed() const { return posting() && km.isEmpty(); }
    // A numbered slot without a name, for the user to name.
    bool spare() const { return posting() && !km.isEmpty() && name.isEmpty(); }
    bool inGrid() const { return !daibun.isEmpty() && kisyumkbn != "1" && kisyumkbn != "2"; }
};

using Chart = std::map<QString, Account>;

Account accountFrom(const platform::Row& r) {
    Account a;
    a.ko = r.text("KOCODE");
    a.km = r.text("KMCODE");
    a.knbun = r.text("KNBUN");
    a.name = r.text("KANNAME");
    a.kind = r.text("SYORIKBN");
    a.side = r.text("TAIKBN");
    a.to = r.text("TOCODE");
    a.bun = r.text("BUNCODE");
    a.nocng = r.text("NOCNG");
    a.bumonset = r.text("BUMONSET");
    a.hojoset = r.text("HOJOSET");
    a.hosetno = r.text("HOSETNO");
    a.siyou = r.text("SIYOU");
    a.pcode1 = r.text("PCODE1");
    a.pcode2 = r.text("PCODE2");
    a.pcode3 = r.text("PCODE3");
    a.kaipage = r.text("KAIPAGE");
    a.aicode = r.text("AICODE");
    a.daibun = r.text("DAIBUN");
    a.tyubun = r.text("TYUBUN");
    a.syobun = r.text("SYOBUN");
    a.kisyumkbn = r.text("KISYUMKBN");
    a.kisyuzan = r.integer("KISYUZAN");
    a.jun = r.integer("JUN");
    return a;
}

Chart readChart(Connection& cn, const QString& table) {
    Chart chart;
    const auto rows = cn.query("SELECT * FROM " + table);
    if (!rows) return chart;
    for (const auto& r : *rows) {
        Account a = accountFrom(r);
        chart[a.ko] = a;
    }
    return chart;
}

// The chart a company sees once it is current: the template's structure with
// the company's own columns from T_KISYUZAN.
Chart companyChart(Connection& cn, const Chart& templ, const QString& cid) {
    Chart chart = templ;
    const auto rows = cn.query("SELECT * FROM T_KISYUZAN WHERE CID = ?", {cid});
    if (!rows) return {};
    for (const auto& r : *rows) {
        auto it = chart.find(r.text("KOCODE"));
        if (it == chart.end()) continue;
        Account& a = it->second;
        a.km = r.text("KMCODE");
        a.name = r.text("KANNAME");
        a.kisyuzan = r.integer("KISYUZAN");
        a.jun = r.integer("JUN");
        a.siyou = r.text("SIYOU");
        a.aicode = r.text("AICODE");
        a.hojoset = r.text("HOJOSET");
        a.kisyumkbn = r.text("KISYUMKBN");
    }
    return chart;
}

QString code3(int n) {
    return QString("%1").arg(n, 3, 10, QChar('0'));
}

// "101-102 111 121-123" -> the codes.
QStringList codes(const QString& layout) {
    QStringList out;
    for (const QString& part : layout.split(' ', Qt::SkipEmptyParts)) {
        const QStringList ends = part.split('-');
        const int from = ends.first().toInt();
        const int to = ends.last().toInt();
        for (int n = from; n <= to; ++n) out << code3(n);
    }
    return out;
}

bool between(const QString& code, const char* from, const char* to) {
    return code >= from && code <= to;
}

// The totals a posting account's amounts reach: its own total and, while a
// total names another total above "003", that one too (the two-level roll-up
// of the summation, which runs as deep as the codes rise).
QStringList rollUpChain(const Chart& chart, const Account& account) {
    QStringList chain;
    QString next = account.to;
    while (chain.size() < 10) {
        auto it = chart.find(next);
        if (it == chart.end() || !it->second.total()) break;
        chain << next;
        if (it->second.to <= "003") break;
        next = it->second.to;
    }
    return chain;
}

QString joined(const QStringList& list) {
    return list.isEmpty() ? QString() : list.join(", ");
}

// The daily entry's profit classification of an account number.
bool revenueNumber(const QString& km) {
    static const QStringList extra = codes("811-815 851 853 855 872 911 913 999");
    return between(km, "500", "549") || extra.contains(km);
}
bool expenseNumber(const QString& km) {
    static const QStringList extra = codes("821-824 862 864 871 873-876");
    return between(km, "550", "799") || extra.contains(km);
}

struct NumberGroup {
    const char* what;
    const char* numbers;
    const char* side;
    bool balanceSheet;
};

// The account numbers the statements select, by the side their balance has.
const std::vector<NumberGroup>& numberGroups() {
    static const std::vector<NumberGroup> groups = {
        {"assets",
         "101-102 111-113 121-123 131 135 141 151 155 164-169 171-175 181 182 184-187 910 912 211-216 221 "
         "222 224 "
         "232-235 241-249 251-254",
         "0", true},
        {"bad-debt allowance", "199", "1", true},
        {"liabilities", "311-317 320 323-325 327 328 352-354 911 913", "1", true},
        {"capital", "411-413 421 422 431 433 441", "1", true},
        {"revenue", "511-518 811-815 851 853 855 872", "1", false},
        {"sales deductions", "521-524", "0", false},
        {"purchases and opening stocks", "550-552 611 621 622 681", "0", false},
        {"cost deductions and closing stocks", "615-617 624 626 682", "1", false},
        {"manufacturing", "631-636 641 651-658 661-664 675-677 680", "0", false},
        {"expenses", "711-719 722 724-729 731-739 741-744 746 747 751-755 760", "0", false},
        {"non-operating expenses", "821-824", "0", false},
        {"extraordinary losses", "862 864", "0", false},
        {"appropriation", "871 873-876", "0", false},
    };
    return groups;
}

}  // namespace

class TestChart : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::DbCopy> db_;
    std::unique_ptr<Connection> cn_;
    Chart chart_;  // the template

    const Account& at(const QString& ko) {
        static const Account none;
        auto it = chart_.find(ko);
        return it == chart_.end() ? none : it->second;
    }
    bool has(const QString& ko) const { return chart_.count(ko) > 0; }

    // Every account of the template, by a condition.
    QStringList where(const std::function<bool(const Account&)>& test) const {
        QStringList out;
        for (const auto& [ko, a] : chart_)
            if (test(a)) out << ko;
        return out;
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        db_ = testenv::copyShippedDatabase();
        cn_ = Connection::open(db_->path);
        QVERIFY(cn_);
        chart_ = readChart(*cn_, "MT_KANJO");
        QVERIFY(chart_.size() > 200);
    }

    // Text columns hold text (never null), flags one of their letters, and the
    // template carries no balances.
    void columnValues_data() {
        QTest::addColumn<QString>("table");
        QTest::newRow("MT_KANJO") << "MT_KANJO";
        QTest::newRow("T_KANJO") << "T_KANJO";
        QTest::newRow("T_KISYUZAN") << "T_KISYUZAN";
        QTest::newRow("T_COMP_MAIN") << "T_COMP_MAIN";
    }
    void columnValues() {
        QFETCH(QString, table);
        const auto columns = cn_->query("SELECT name FROM pragma_table_info(?)", {table});
        QVERIFY(columns && !columns->empty());
        QStringList nulls;
        for (const auto& c : *columns) {
            const QString col = c.text(0);
            const auto n = cn_->scalar("SELECT COUNT(*) FROM " + table + " WHERE " + col + " IS NULL");
            QVERIFY(n);
            if (n->toInt() > 0) nulls << col;
        }
        QVERIFY2(nulls.isEmpty(), qPrintable("null values in " + joined(nulls)));
    }

    void flagsAndFixedColumns() {
        QStringList bad;
        for (const auto& [ko, a] : chart_) {
            const bool ok =
                QStringList{"0", "1", "2"}.contains(a.kind) && QStringList{"0", "1"}.contains(a.side) &&
                QStringList{"Y", "N"}.contains(a.hosetno) && a.siyou == "Y" && a.hojoset == "N" &&
                a.kisyumkbn == "0" && a.kisyuzan == 0 && a.jun >= 0 && a.jun <= 9999 &&
                (a.posting() || a.jun == 0) && a.knbun.isEmpty() && a.nocng.isEmpty() &&
                a.bumonset.isEmpty() && a.tyubun.isEmpty() && a.syobun.isEmpty() && a.pcode3.isEmpty();
            if (!ok) bad << ko;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
        const auto cid = cn_->scalar("SELECT COUNT(DISTINCT CID) FROM MT_KANJO WHERE LENGTH(CID) = 2");
        QCOMPARE(cid->toInt(), 1);
    }

    // KOCODE: three digits, unique, never "000" (journal sides without an
    // account carry "000"). KMCODE: three digits not starting with 0, unique,
    // only on posting accounts, never 202 or 258, 999 only on the sundry account.
    void codesAndNumbers() {
        static const QRegularExpression koForm("^[0-9]{3}$"), kmForm("^[1-9][0-9]{2}$");
        QStringList bad;
        std::set<QString> numbers;
        for (const auto& [ko, a] : chart_) {
            if (!koForm.match(ko).hasMatch() || ko == "000") bad << "KOCODE " + ko;
            if (a.km.isEmpty()) {
                if (a.posting() && ko != "202" && ko != "258") bad << "unnumbered posting account " + ko;
                continue;
            }
            if (!kmForm.match(a.km).hasMatch()) bad << "KMCODE " + a.km;
            if (!a.posting()) bad << "numbered non-posting row " + ko;
            if (!numbers.insert(a.km).second) bad << "duplicate KMCODE " + a.km;
            if (a.km == "202" || a.km == "258") bad << "KMCODE " + a.km;
            if (a.km.startsWith("999") != (ko == "999")) bad << "sundry number on " + ko;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
        QVERIFY(at("202").computed());
        QVERIFY(at("258").computed());
    }

    // Balance-sheet postings in 004-173 (carried at year-end), nothing posts in
    // 174-179, profit-and-loss postings in 180-356, totals in 004-176 or
    // 178-353; above 356 only the payroll clearing account, the sundry account,
    // the holder of the appropriation accounts and the classes.
    void codeRanges() {
        QStringList bad;
        for (const auto& [ko, a] : chart_) {
            bool ok = true;
            if (a.posting())
                ok = between(ko, "004", "173") || between(ko, "180", "356") || ko == "363" || ko == "999";
            else if (a.total())
                ok = between(ko, "004", "176") || between(ko, "178", "353") || ko == "357";
            else
                ok = ko > "356" && ko != "363" && ko != "999";
            if (!ok) bad << ko;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
    }

    // Every posting account names a total in use; a total that rolls further
    // has a lower code than its target (the second level runs in TOCODE order),
    // the others stop at "000"; nothing rolls into the profit rows 348 and 353,
    // which the summation overwrites.
    void rollUpTargets() {
        QStringList bad;
        for (const auto& [ko, a] : chart_) {
            if (a.posting()) {
                const Account& t = at(a.to);
                if (!t.total() || t.siyou != "Y") bad << ko + " -> " + a.to;
            } else if (a.total()) {
                if (a.to > "003" && (!at(a.to).total() || ko >= a.to)) bad << ko + " -> " + a.to;
                if (a.to <= "003" && a.to != "000") bad << ko + " -> " + a.to;
            } else if (!a.to.isEmpty()) {
                bad << "class " + ko + " -> " + a.to;
            }
            if (a.to == "348" || a.to == "353") bad << ko + " -> " + a.to;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
        for (const char* top : {"113", "176", "348", "353", "192", "204", "214", "238", "240", "241", "245",
                                "260", "261", "310", "311", "321", "329", "330", "341", "345", "346", "357"})
            QVERIFY2(at(top).total() && at(top).to == "000", top);
    }

    // The summation's profit is the net credit of 176 less the net debit of
    // 113, which equals the profit of the statement only when every
    // balance-sheet account reaches 113 (assets) or 176 (liabilities and
    // capital, 171 included) and no profit-and-loss account reaches either. The
    // payroll clearing and sundry accounts stand on neither statement and go to
    // 152, so that a balance left in them is no profit.
    void profitIntegrity() {
        QStringList bad;
        for (const auto& [ko, a] : chart_) {
            if (!a.posting()) continue;
            const QStringList chain = rollUpChain(chart_, a);
            QString expected;
            if (ko <= "113")
                expected = "113";
            else if (ko <= "173" || ko == "363" || ko == "999")
                expected = "176";
            const bool reaches113 = chain.contains("113"), reaches176 = chain.contains("176");
            const bool ok = expected == "113"   ? reaches113 && !reaches176
                            : expected == "176" ? reaches176 && !reaches113
                                                : !reaches113 && !reaches176;
            if (!ok) bad << ko + " via " + chain.join('/');
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
        QVERIFY(rollUpChain(chart_, at("171")).contains("176"));
        QVERIFY(rollUpChain(chart_, at("363")).contains("152"));
        QVERIFY(rollUpChain(chart_, at("999")).contains("152"));
    }

    // The profit-and-loss statement derives its result lines by fixed steps
    // over code ranges and the totals it reads: an account outside them would
    // print but be missing from the profit.
    void profitAndLossCoverage() {
        static const QStringList stepCodes = codes("180-191 195-203 242-244 246-257 259 347 349-352 355 356")
                                             << "171";
        static const QStringList readTotals = codes("214 238 240 310 321 329 341 345");
        const QStringList bad = where([](const Account& a) {
            return a.posting() && !a.computed() && between(a.ko, "180", "356") && !stepCodes.contains(a.ko) &&
                   !readTotals.contains(a.to);
        });
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
        // The totals read by the steps have accounts under them.
        for (const QString& t : readTotals)
            QVERIFY2(!where([&](const Account& a) { return a.posting() && a.to == t; }).isEmpty(),
                     qPrintable(t));
    }

    // The rows the program names by code: kind, side, a number where lists or
    // imports need one.
    void namedRows_data() {
        QTest::addColumn<QString>("ko");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("side");  // empty: any
        QTest::addColumn<bool>("numbered");
        struct R {
            const char* codes;
            const char* kind;
            const char* side;
            bool numbered;
            const char* why;
        };
        const R rows[] = {
            {"004", "0", "0", true, "cash account"},
            {"012 013 014", "0", "0", true, "bank accounts of the imports"},
            {"107", "0", "0", true, "bank code 31 withdrawal"},
            {"134", "0", "1", true, "payroll withholdings"},
            {"171", "0", "1", true, "profit brought forward"},
            {"113", "1", "0", false, "assets total of the profit"},
            {"152 174 175 176", "1", "1", false, "liability and capital totals"},
            {"180", "0", "1", true, "sales; bank deposits of other codes"},
            {"192 261 311 321 330 341 346 348 353", "1", "1", false, "credit result lines"},
            {"204 214 238 240 241 245 260 310 329 345", "1", "0", false, "debit result lines"},
            {"202 258", "0", "", false, "rows the statement computes"},
            {"247", "0", "0", true, "purchases; bank code 21"},
            {"263 264 265 268 271", "0", "0", true, "payroll import"},
            {"272 275 276 279 280 281 282 283 285 286 287 292 309", "0", "0", true, "bank description codes"},
            {"314", "0", "1", true, "bank code 31 deposit"},
            {"347", "0", "0", true, "step 15 minus"},
            {"349", "0", "1", true, "step 17 plus"},
            {"351 352 355 356", "0", "0", true, "step 17 minus"},
            {"363", "0", "1", true, "payroll clearing"},
            {"999", "0", "1", true, "sundry account"},
            {"028 067 082 090 102 103", "1", "0", false, "balance-sheet layout totals"},
            {"068 178 193 312", "1", "", false, "headings"},
        };
        for (const R& r : rows)
            for (const QString& ko : QString(r.codes).split(' '))
                QTest::addRow("%s %s", qPrintable(ko), r.why) << ko << r.kind << r.side << r.numbered;
    }
    void namedRows() {
        QFETCH(QString, ko);
        QFETCH(QString, kind);
        QFETCH(QString, side);
        QFETCH(bool, numbered);
        QVERIFY2(has(ko), "missing");
        const Account& a = at(ko);
        QCOMPARE(a.kind, kind);
        if (!side.isEmpty()) QCOMPARE(a.side, side);
        QCOMPARE(!a.km.isEmpty(), numbered);
        if (numbered) QVERIFY(!a.name.isEmpty());
    }

    // Headings: no account rolls into them, they roll nowhere.
    void headings() {
        for (const char* h : {"068", "178", "193", "312"}) {
            QCOMPARE(at(h).to, QString("000"));
            QVERIFY2(where([&](const Account& a) { return a.to == h; }).isEmpty(), h);
        }
    }

    // Sides of the statement's minus groups are the opposite of their plus
    // groups, so that their balances are positive and subtract; the same sides
    // make the tax return's deductions and closing stocks positive.
    void sides_data() {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("side");
        QTest::newRow("sales") << "180-185 190 191"
                               << "1";
        QTest::newRow("sales deductions") << "186-189"
                                          << "0";
        QTest::newRow("materials") << "195-198"
                                   << "0";
        QTest::newRow("material deductions and closing stock") << "199-201 203"
                                                               << "1";
        QTest::newRow("work in process") << "242-243"
                                         << "0";
        QTest::newRow("closing work in process") << "244"
                                                 << "1";
        QTest::newRow("merchandise") << "246-253"
                                     << "0";
        QTest::newRow("purchase deductions and closing stock") << "254-257 259"
                                                               << "1";
        QTest::newRow("appropriation plus") << "171 349 350"
                                            << "1";
        QTest::newRow("appropriation minus") << "347 351 352 355 356"
                                             << "0";
        QTest::newRow("bad-debt allowance") << "048"
                                            << "1";
    }
    void sides() {
        QFETCH(QString, range);
        QFETCH(QString, side);
        QStringList bad;
        for (const QString& ko : codes(range))
            if (has(ko) && at(ko).posting() && at(ko).side != side) bad << ko;
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
    }

    // Grid 1 lists DAIBUN 1, grid 2 DAIBUN 2 and 3; one row too many makes the
    // screen fail, whatever the order column says (users change it). A grid row
    // is posted against its counter account as cash, on the side its TAIKBN
    // gives.
    void dailyEntryGrids() {
        int income = 0, expenses = 0;
        QStringList bad;
        for (const auto& [ko, a] : chart_) {
            if (a.daibun.isEmpty()) {
                if (!a.aicode.isEmpty()) bad << "counter account without grid " + ko;
                continue;
            }
            if (!a.posting() || a.km.isEmpty()) bad << "grid row without number " + ko;
            if (a.aicode != "004") bad << "counter account of " + ko;
            if (a.daibun == "1") {
                if (a.side != "1") bad << "income side " + ko;
                if (a.inGrid()) ++income;
            } else if (a.daibun == "2" || a.daibun == "3") {
                if (a.side != "0") bad << "expense side " + ko;
                if (a.inGrid()) ++expenses;
            } else {
                bad << "DAIBUN " + a.daibun + " on " + ko;
            }
            if (!revenueNumber(a.km) && !expenseNumber(a.km))
                bad << "grid row outside the day's profit " + ko;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
        QVERIFY(income > 0 && income <= 16);
        QVERIFY(expenses > 0 && expenses <= 64);
        // Amounts that never move cash stay off the cash screen.
        for (const QString& ko :
             codes("183 186-189 195 199 203 225 242 244 246 254 255 259 295-298 331 347 349-356 363 999"))
            if (has(ko)) QVERIFY2(at(ko).daibun.isEmpty(), qPrintable(ko));
    }

    // The daily entry offers sub-accounts when HOSETNO is N; accounts numbered
    // 500 to 800 never have any.
    void subAccounts() {
        const QStringList bad = where([](const Account& a) {
            const bool may = a.posting() && !a.km.isEmpty() && (a.km < "500" || a.km > "800");
            return a.hosetno != (may ? "N" : "Y");
        });
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
    }

    // The class tree the chart screen's legend describes: large classes under
    // "000", middle and small below; every posting account under a class that
    // has no classes below it (the screen cannot reach it otherwise); totals
    // outside the tree.
    void classTree() {
        std::map<QString, QStringList> children;
        QStringList bad;
        for (const auto& [ko, a] : chart_) {
            if (a.isClass()) {
                if (!a.km.isEmpty() || a.name.isEmpty() || !a.daibun.isEmpty()) bad << "class row " + ko;
                if (a.bun != "000" && !at(a.bun).isClass()) bad << "class parent " + ko;
                children[a.bun] << a.name;
            } else if (a.total() && !a.bun.isEmpty()) {
                bad << "total in the tree " + ko;
            }
        }
        for (const auto& [ko, a] : chart_) {
            if (!a.posting() || a.computed()) continue;
            const Account& parent = at(a.bun);
            if (!parent.isClass() || children.count(parent.ko)) bad << "placement " + ko;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));

        // Names by path, as the legend shows them.
        std::function<QString(const QString&)> path = [&](const QString& ko) -> QString {
            const Account& a = at(ko);
            return a.bun == "000" ? a.name : path(a.bun) + "/" + a.name;
        };
        QStringList tree;
        for (const auto& [ko, a] : chart_)
            if (a.isClass()) tree << path(ko);
        tree.sort();
        QStringList legend = {"資産",
                              "資産/流動資産",
                              "資産/固定資産",
                              "資産/繰延資産",
                              "負債",
                              "負債/流動負債",
                              "負債/固定負債",
                              "資本",
                              "資本/資本金",
                              "資本/法定準備金",
                              "資本/剰余金",
                              "経常損益",
                              "経常損益/営業損益",
                              "経常損益/営業損益/営業収益",
                              "経常損益/営業損益/営業費用",
                              "経常損益/営業損益/製造原価",
                              "経常損益/営業外損益",
                              "経常損益/営業外損益/営業外収益",
                              "経常損益/営業外損益/営業外費用",
                              "特別損益",
                              "特別損益/特別利益",
                              "特別損益/特別損失",
                              "その他"};
        legend.sort();
        QCOMPARE(tree, legend);
        // Every lowest class has numbered accounts to show.
        for (const auto& [ko, a] : chart_) {
            if (!a.isClass() || children.count(ko)) continue;
            QVERIFY2(!where([&](const Account& p) {
                          return p.posting() && p.bun == ko && !p.km.isEmpty();
                      }).isEmpty(),
                     qPrintable(ko));
        }
    }

    // Numbers the tax-return statements, the monthly table and the day's profit
    // select: each exists on a posting account of the right statement, with the
    // side that makes its balance positive. No other number exists, so every
    // account lands on a line (171's 451 and the payroll clearing's 399 stay off
    // the forms on purpose; 999 is the sundry account).
    void statementNumbers_data() {
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<QString>("side");
        QTest::addColumn<bool>("balanceSheet");
        for (const NumberGroup& g : numberGroups())
            QTest::newRow(g.what) << QString(g.numbers) << QString(g.side) << g.balanceSheet;
    }
    void statementNumbers() {
        QFETCH(QString, numbers);
        QFETCH(QString, side);
        QFETCH(bool, balanceSheet);
        std::map<QString, const Account*> byNumber;
        for (const auto& [ko, a] : chart_)
            if (!a.km.isEmpty()) byNumber[a.km] = &a;
        QStringList bad;
        for (const QString& km : codes(numbers)) {
            auto it = byNumber.find(km);
            if (it == byNumber.end()) {
                bad << km + " missing";
                continue;
            }
            const Account& a = *it->second;
            const bool bs = a.ko <= "173";
            if (a.side != side || bs != balanceSheet) bad << km + " on " + a.ko;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
    }
    void noStrayNumbers() {
        QStringList listed = codes("999 451 399");
        for (const NumberGroup& g : numberGroups()) listed << codes(g.numbers);
        const QStringList bad =
            where([&](const Account& a) { return !a.km.isEmpty() && !listed.contains(a.km); });
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
    }

    // The day's profit: every profit-and-loss number counts as revenue or
    // expense; revenue is credit-normal and expense debit-normal except the
    // deductions and closing stocks, whose side follows the statements (the
    // daily entry counts a cash line's amount itself). Balance-sheet numbers
    // count only when credit-normal (tax and sundry).
    void dayProfitClassification() {
        static const QStringList contras = codes("521-524 615-617 624 626 682");
        QStringList bad;
        for (const auto& [ko, a] : chart_) {
            if (!a.posting() || a.km.isEmpty()) continue;
            const bool rev = revenueNumber(a.km), exp = expenseNumber(a.km);
            if (between(ko, "180", "356")) {
                if (rev == exp)
                    bad << ko;
                else if (!contras.contains(a.km) && a.creditNormal() != rev)
                    bad << ko;
            } else if (exp || (rev && !a.creditNormal())) {
                bad << ko;
            }
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
    }

    // The tax return adds the totals 214, 238 and 240 by code: labour,
    // overheads and outside work go under them, and nothing the same line
    // selects by number (purchases, materials, work in process).
    void manufacturingTotals() {
        QStringList bad;
        for (const auto& [ko, a] : chart_) {
            if (!a.posting() || a.km.isEmpty()) continue;
            const QStringList chain = rollUpChain(chart_, a);
            const bool underTotals = chain.contains("214") || chain.contains("238") || chain.contains("240");
            const bool belongs = between(a.km, "631", "680");
            if (underTotals != belongs) bad << ko;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
    }

    // The manufacturing report lists, per section, the accounts sharing the
    // report group (PCODE2) of its total: 204 materials, 214 labour, 238 and
    // 240 overheads; at most nine accounts in each of the first two sections.
    void manufacturingReportGroups() {
        const QStringList heads = {"204", "214", "238", "240"};
        QStringList groups;
        for (const QString& h : heads) {
            QVERIFY(!at(h).pcode2.isEmpty() && at(h).pcode2.compare("dummy", Qt::CaseInsensitive) != 0);
            groups << at(h).pcode2;
        }
        QCOMPARE(QSet<QString>(groups.begin(), groups.end()).size(), 4);
        auto members = [&](const QString& group) {
            return where([&](const Account& a) { return a.pcode2 == group && !heads.contains(a.ko); });
        };
        QCOMPARE(members(groups[0]), codes("195 196 199 202 203"));
        QVERIFY(members(groups[1]).size() <= 9);
        QVERIFY(members(groups[2]).size() + members(groups[3]).size() <= 69);
        for (int i = 1; i < 4; ++i)
            for (const QString& ko : members(groups[i])) QVERIFY2(at(ko).to == heads[i], qPrintable(ko));
        for (const QString& ko : where([](const Account& a) {
                 return a.posting() && (a.to == "214" || a.to == "238" || a.to == "240");
             }))
            QVERIFY2(at(ko).pcode2 == at(at(ko).to).pcode2, qPrintable(ko));
    }

    // Statement pages and positions: 1 assets, 2 liabilities and capital, 3
    // profit and loss, 4 manufacturing cost. The balance sheet puts 353 and 348
    // at 171's place (page 2, 1480, 2171 and 2172); the profit and loss
    // statement puts 171 at 1975, between the profit and the appropriation.
    void statementPositions() {
        static const QRegularExpression posForm("^1[0-9]{3}$");
        QStringList bad;
        std::set<std::pair<QString, QString>> taken;
        for (const auto& [ko, a] : chart_) {
            QString page;
            if (a.isClass() || ko > "356")
                page = "";
            else if (ko <= "113")
                page = "1";
            else if (ko <= "176")
                page = "2";
            else if (between(ko, "195", "244"))
                page = "4";
            else
                page = "3";
            if (a.kaipage != page) bad << "page of " + ko;
            if (page.isEmpty()) {
                if (!a.pcode1.isEmpty() || !a.pcode2.isEmpty()) bad << "positions of " + ko;
                continue;
            }
            if (!posForm.match(a.pcode1).hasMatch() || !taken.insert({page, a.pcode1}).second)
                bad << "position of " + ko;
            if (page != "4" && ko != "245" && a.pcode2 != page + ko) bad << "PCODE2 of " + ko;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));

        QCOMPARE(at("171").kaipage, QString("2"));
        QCOMPARE(at("171").pcode1, QString("1480"));
        QCOMPARE(at("171").pcode2, QString("2171"));
        auto pos = [&](const char* ko) { return at(ko).pcode1.toInt(); };
        for (const QString& ko : where([](const Account& a) { return a.kaipage == "2" && a.ko != "171"; }))
            QVERIFY2((at(ko).pcode1.toInt() < 1480) == (ko < "171"), qPrintable(ko));
        QVERIFY(pos("346") < pos("347") && pos("347") < pos("348") && pos("348") < 1975);
        for (const char* ko : {"349", "351", "352", "355", "356"})
            QVERIFY(pos(ko) > 1975 && pos(ko) < pos("353"));
        for (const QString& ko : where([](const Account& a) { return a.kaipage == "3"; }))
            if (ko != "347" && ko != "348" && ko < "349")
                QVERIFY2(at(ko).pcode1.toInt() < pos("347"), qPrintable(ko));

        // Layout rows of the two statements carry positions.
        for (const QString& ko :
             codes("028 067 068 082 090 102 103 113 152 174-176 178 192 193 245 260 261 310-312 "
                   "321 329 330 341 345 346 348 353"))
            QVERIFY2(has(ko) && !at(ko).pcode1.isEmpty(), qPrintable(ko));
    }

    // The preset companies: "01" the household book and "02" to "50" industry
    // templates, each with the period that marks it as not set up; no current
    // company yet.
    void companies() {
        const auto rows = cn_->query("SELECT * FROM T_COMP_MAIN ORDER BY CID");
        QVERIFY(rows);
        QCOMPARE(int(rows->size()), 50);
        QSet<QString> names;
        for (int i = 0; i < 50; ++i) {
            const platform::Row& r = (*rows)[i];
            const QString cid = QString("%1").arg(i + 1, 2, 10, QChar('0'));
            QCOMPARE(r.text("CID"), cid);
            QVERIFY(!r.text("COMPANY").isEmpty() && !r.text("CFKN").isEmpty());
            names.insert(r.text("COMPANY"));
            QCOMPARE(r.text("NOMAL"), QString("0"));
            QCOMPARE(r.text("KISYU"), QString("2000/01/01"));
            QCOMPARE(r.text("KIMATU"), QString("2000/12/31"));
            QCOMPARE(r.text("KISYUM"), QString("2000/01"));
            QCOMPARE(r.text("PKISYU"), QString("2000年01月01日"));
            QCOMPARE(r.text("PKIMATU"), QString("2000年12月31日"));
            QCOMPARE(r.text("SIINLDAY"), QString("2001/03/31"));
            QCOMPARE(r.text("GKBN"), QString("0"));
            QCOMPARE(r.text("KANCNG"), QString("0"));
            QCOMPARE(r.text("STKBN"), QString());
            QCOMPARE(r.text("AICODE"), QString("004"));
            QCOMPARE(r.integer("NENDOSU"), qint64(1));
            QCOMPARE(r.integer("SIHON"), qint64(0));
            QCOMPARE(r.real("RATE"), 0.0);
        }
        QCOMPARE(names.size(), 50);
        QCOMPARE((*rows)[0].text("COMPANY"), QString("家計簿"));
        QCOMPARE(cn_->scalar("SELECT COUNT(*) FROM WK_COMPANY")->toInt(), 0);
        for (const char* t : {"T_HOJOKAMOKU", "BT_KANJO", "BT_KISYUZAN", "BT_COMP_MAIN"})
            QVERIFY2(cn_->scalar(QString("SELECT COUNT(*) FROM ") + t)->toInt() == 0, t);
    }

    // The working chart ships holding "01": the template's structure with the
    // household book's own columns, as making "01" current would leave it.
    // Every company with chart columns has a row for each account.
    void shippedWorkingChart() {
        const Chart working = readChart(*cn_, "T_KANJO");
        const Chart expected = companyChart(*cn_, chart_, "01");
        QCOMPARE(working.size(), chart_.size());
        QStringList bad;
        for (const auto& [ko, w] : working) {
            auto it = expected.find(ko);
            if (it == expected.end()) {
                bad << ko;
                continue;
            }
            const Account& e = it->second;
            const QStringList a = {w.km,     w.knbun,  w.name,     w.kind,    w.side,    w.to,
                                   w.bun,    w.nocng,  w.bumonset, w.hojoset, w.hosetno, w.siyou,
                                   w.pcode1, w.pcode2, w.pcode3,   w.kaipage, w.aicode,  w.daibun,
                                   w.tyubun, w.syobun, w.kisyumkbn};
            const QStringList b = {e.km,     e.knbun,  e.name,     e.kind,    e.side,    e.to,
                                   e.bun,    e.nocng,  e.bumonset, e.hojoset, e.hosetno, e.siyou,
                                   e.pcode1, e.pcode2, e.pcode3,   e.kaipage, e.aicode,  e.daibun,
                                   e.tyubun, e.syobun, e.kisyumkbn};
            if (a != b || w.jun != e.jun || w.kisyuzan != e.kisyuzan) bad << ko;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
        const auto incomplete = cn_->query(
            "SELECT CID FROM T_KISYUZAN GROUP BY CID HAVING COUNT(*) <> (SELECT COUNT(*) FROM MT_KANJO) "
            "OR COUNT(*) <> (SELECT COUNT(*) FROM T_KISYUZAN Z JOIN MT_KANJO M ON M.KOCODE = Z.KOCODE "
            "WHERE Z.CID = T_KISYUZAN.CID)");
        QVERIFY(incomplete);
        QVERIFY(incomplete->empty());
        QCOMPARE(cn_->scalar("SELECT COUNT(*) FROM T_KISYUZAN WHERE CID > '50' OR RATE <> 0")->toInt(), 0);
    }

    // Each chart a company can get: the template, the household book and the
    // presets that ship their own columns. Only the company columns differ;
    // numbers stay (the statements select by them); accounts the program posts
    // to by code, totals and classes holding them stay in use; names are
    // usable in every list.
    void companyCharts_data() {
        QTest::addColumn<QString>("cid");
        QTest::newRow("template") << QString();
        const auto cids = cn_->query("SELECT DISTINCT CID FROM T_KISYUZAN ORDER BY CID");
        QVERIFY(cids);
        QVERIFY(cids->size() >= 2);
        for (const auto& r : *cids) QTest::newRow(qPrintable("company " + r.text(0))) << r.text(0);
    }
    void companyCharts() {
        QFETCH(QString, cid);
        const Chart chart = cid.isEmpty() ? chart_ : companyChart(*cn_, chart_, cid);
        QCOMPARE(chart.size(), chart_.size());
        static const QStringList postedByCode =
            codes("004 107 134 171 180 247 263-265 268 271 272 275 276 279-283 285-287 292 309 314 363 999");
        QStringList bad;
        QSet<QString> namesInUse;
        bool bank = false;
        for (const auto& [ko, a] : chart) {
            const Account& t = chart_.at(ko);
            if (a.km != t.km || a.aicode != t.aicode || a.hojoset != "N" || a.kisyumkbn != "0" ||
                a.kisyuzan != 0)
                bad << "company column of " + ko;
            if (a.siyou != "Y" && a.siyou != "N") bad << "SIYOU of " + ko;
            if (a.siyou != "Y" && (!a.posting() || postedByCode.contains(ko) || a.computed()) && !a.isClass())
                bad << "not in use: " + ko;
            if (a.jun < 0 || a.jun > 9999 || (!a.posting() && a.jun != 0)) bad << "JUN of " + ko;
            // Names: set except on spare slots; no quote, no edge blanks, at
            // most 30 bytes in CP932 (the editor's limit).
            if (a.name.isEmpty() != a.spare()) bad << "name of " + ko;
            if (a.name.contains('\'') || a.name.trimmed() != a.name || a.name.contains(u'\u3000') ||
                !platform::cp932::canEncode(a.name) || platform::cp932::byteLength(a.name) > 30)
                bad << "name " + a.name;
            if (a.posting() && a.siyou == "Y" && !a.name.isEmpty() && !a.km.isEmpty()) {
                if (namesInUse.contains(a.name)) bad << "duplicate name " + a.name;
                namesInUse.insert(a.name);
            }
            if (QStringList{"012", "013", "014"}.contains(ko) && a.siyou == "Y" && !a.name.isEmpty())
                bank = true;
        }
        // A class in use whose every account is retired would show an empty
        // grid; a retired class must hold no account in use.
        for (const auto& [ko, a] : chart) {
            if (!a.posting() || a.computed()) continue;
            for (QString up = a.bun; up != "000" && chart.count(up); up = chart.at(up).bun)
                if (a.siyou == "Y" && chart.at(up).siyou != "Y")
                    bad << "account " + ko + " under retired class";
        }
        QVERIFY2(bad.isEmpty(), qPrintable(joined(bad)));
        QVERIFY(bank);
        // Both grids offer something.
        int income = 0, expenses = 0;
        for (const auto& [ko, a] : chart) {
            if (a.siyou != "Y" || a.name.isEmpty() || a.jun == 0 || !a.inGrid()) continue;
            (a.daibun == "1" ? income : expenses)++;
        }
        QVERIFY(income >= 3);
        QVERIFY(expenses >= 10);
    }
};

QTEST_GUILESS_MAIN(TestChart)
#include "tst_chart.moc"
