// Randomized check of the monthly summation against a plain computation.
//
// Each iteration starts from a fresh database with a chart of its own, then
// runs a fixed-seed sequence of steps: post balanced journal lines, edit, move
// and delete lines, change opening balances (of accounts and sub-accounts) and
// summarize for a random target month, with or without the sub-account
// option. Every change marks the months it touches, as the screens do. After
// each summation every posting account's and sub-account's rows up to the
// target are compared with totals computed here from the test's own copy of
// the lines and opening balances, and the total accounts and profit rows at
// the target with sums over that copy. Nothing here shares code with the
// engine: the expected figures come from loops over the lines.

#include <QDate>
#include <QtTest>
#include <map>
#include <random>

#include "app/common/globals.h"
#include "ledger/msum.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

namespace {

const QString kCid = QStringLiteral("51");
const QString kFrom = QStringLiteral("2009/04");
const QString kOpening = QStringLiteral("2009/00");
constexpr int kIterations = 5;
constexpr int kSteps = 45;

struct Account {
    QString code;
    char kind;  // '0' posting, '1' total
    char side;  // '0' debit-normal
    QString total;
    bool inUse;
    qint64 opening;  // raw
    int subs;        // number of registered sub-accounts
};

// Receivers of the second level have lower codes than their own totals
// (060 < 113, 174 < 176), so each level is complete when it is added on.
const std::vector<Account> kChart = {
    {"010", '1', '0', "060", true, 0, 0},          {"060", '1', '0', "113", true, 0, 0},
    {"113", '1', '0', "000", true, 0, 0},          {"140", '1', '1', "176", true, 0, 0},
    {"165", '1', '1', "176", true, 0, 0},          {"171", '1', '1', "174", true, 0, 0},
    {"174", '1', '1', "176", true, 0, 0},          {"176", '1', '1', "000", true, 0, 0},
    {"190", '1', '1', "000", true, 0, 0},          {"260", '1', '0', "300", true, 0, 0},
    {"300", '1', '0', "000", true, 0, 0},          {"348", '1', '1', "000", true, 0, 0},
    {"353", '1', '1', "000", true, 0, 0},          {"004", '0', '0', "010", true, 500000000, 0},
    {"005", '0', '0', "010", true, 1200000000, 3}, {"030", '0', '0', "060", true, 0, 0},
    {"048", '0', '1', "060", true, 0, 0},          {"115", '0', '1', "140", true, 300000000, 2},
    {"119", '0', '1', "140", true, 0, 0},          {"153", '0', '1', "165", true, 1000000000, 0},
    {"172", '0', '1', "171", true, 400000000, 0},  {"180", '0', '1', "190", true, 77770000, 0},
    {"250", '0', '0', "260", true, 0, 0},          {"270", '0', '0', "300", true, 0, 0},
    {"280", '0', '0', "300", true, 0, 1},          {"290", '0', '0', "300", false, 55550000, 0},
};

struct Line {
    QString den;
    QString day;
    QString dr, drSub, cr, crSub;
    qint64 raw = 0;
    QString month() const { return day.left(7); }
};

struct Sums {
    qint64 dr = 0, cr = 0;
    Sums& operator+=(const Sums& o) {
        dr += o.dr;
        cr += o.cr;
        return *this;
    }
    bool zero() const { return dr == 0 && cr == 0; }
};

struct Amounts {
    qint64 kr = 0, ks = 0, krr = 0, ksr = 0;
    bool allZero() const { return kr == 0 && ks == 0 && krr == 0 && ksr == 0; }
    bool operator==(const Amounts&) const = default;
    QString text() const { return QStringLiteral("%1/%2/%3/%4").arg(kr).arg(ks).arg(krr).arg(ksr); }
};

QStringList fiscalMonths() {
    QStringList out;
    QDate m(2009, 4, 1);
    for (int i = 0; i < 12; ++i, m = m.addMonths(1)) out << m.toString(QStringLiteral("yyyy/MM"));
    return out;
}

QString subKey(const QString& code, const QString& sub) {
    return code + QLatin1Char('.') + sub;
}

}  // namespace

class TestMsumRandom : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;  // db_'s connection
    std::mt19937 rng_;
    QString where_;  // iteration and step, for failure messages

    // The test's own copy of the books.
    std::vector<Line> lines_;
    std::map<QString, qint64> opening_;     // account -> raw
    std::map<QString, qint64> subOpening_;  // "code.sub" -> raw
    int nextDen_ = 1;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }

    const Account& account(const QString& code) const {
        for (const Account& a : kChart)
            if (a.code == code) return a;
        qFatal("unknown account");
    }

    void exec(const QString& sql, const QVariantList& params = {}) {
        QVERIFY2(cn_->exec(sql, params), qPrintable(sql + QStringLiteral(": ") + cn_->lastError().text()));
    }

    void mark(const QString& month) {
        exec(QStringLiteral(
                 "UPDATE T_TUKISIME SET SYORIFLG = '0', SYORIFLGH = '0' WHERE CID = ? AND DATEYM = ?"),
             {kCid, month});
    }

    // ---- Setting up

    void setUp() {
        exec(QStringLiteral("DELETE FROM T_KANJO"));
        for (const char* t :
             {"T_SI_MEISAI", "T_TUKIKAN", "T_TUKIHOJO", "T_TUKISIME", "T_TUKISIMECHECK", "T_HOJOKAMOKU"})
            exec(QStringLiteral("DELETE FROM %1 WHERE CID = ?").arg(QString::fromLatin1(t)), {kCid});
        opening_.clear();
        subOpening_.clear();
        lines_.clear();
        for (const Account& a : kChart) {
            exec(QStringLiteral(
                     "INSERT INTO T_KANJO (KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, TOCODE, SIYOU,"
                     " KISYUZAN, HOJOSET) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 {a.code, a.code, QStringLiteral("科目") + a.code, QString(QLatin1Char(a.kind)),
                  QString(QLatin1Char(a.side)), a.total, a.inUse ? QStringLiteral("Y") : QStringLiteral("N"),
                  a.opening, a.subs ? QStringLiteral("Y") : QStringLiteral("N")});
            opening_[a.code] = a.opening;
            for (int s = 1; s <= a.subs; ++s) {
                const QString sub = QStringLiteral("0%1").arg(s);
                const qint64 raw = qint64(pick(2000) - 300) * 10000;
                exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES (?, ?, ?, ?, ?, ?)"),
                     {kCid, a.code, sub, a.code + sub, QStringLiteral("補助") + sub, raw});
                subOpening_[subKey(a.code, sub)] = raw;
            }
        }
        exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, ?, '0', '0', '2009/04/01')"),
             {kCid, kOpening});
        for (const QString& m : fiscalMonths())
            exec(QStringLiteral("INSERT INTO T_TUKISIME VALUES (?, ?, '0', '0', '2009/04/01')"), {kCid, m});
        exec(QStringLiteral("INSERT INTO T_TUKISIMECHECK VALUES (?, ?)"), {kCid, kOpening});
    }

    // ---- Random changes

    QStringList postingCodes() const {
        QStringList out;
        for (const Account& a : kChart)
            if (a.kind == '0') out << a.code;
        return out;
    }

    // An account for one side, and now and then one of its sub-accounts (or
    // a sub-account code that is not registered).
    std::pair<QString, QString> randomSide() {
        QStringList codes = postingCodes();
        QString code = codes[pick(int(codes.size()))];
        if (code == QStringLiteral("290") && !chance(20))
            code = QStringLiteral("270");  // rarely the unused one
        const Account& a = account(code);
        QString sub;
        if (a.subs && chance(80))
            sub = QStringLiteral("0%1").arg(1 + pick(a.subs));
        else if (chance(3))
            sub = QStringLiteral("09");
        return {code, sub};
    }

    qint64 randomAmount() {
        if (chance(5)) return 0;
        qint64 raw = qint64(1 + pick(200000)) * 10000;
        if (chance(20)) raw += pick(10000);  // fractions of a yen
        if (chance(3)) raw = -raw;
        return raw;
    }

    QString randomDay() {
        const QDate d = QDate(2009, 4, 1).addDays(pick(365));
        return d.toString(QStringLiteral("yyyy/MM/dd"));
    }

    void writeLine(const Line& l) {
        exec(QStringLiteral(
                 "INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE, KRHOKOCODE,"
                 " KRKIN, KSKOCODE, KSHOKOCODE, KSKIN, TEKIYO) VALUES (?, '001', ?, ?, ?, '1', ?, ?, ?, ?, ?,"
                 " ?, '売上代金')"),
             {l.den, kCid, l.day, l.month(), l.dr, l.drSub, l.raw, l.cr, l.crSub, l.raw});
    }

    void addLines() {
        const int n = 1 + pick(15);
        for (int i = 0; i < n; ++i) {
            Line l;
            l.den = QStringLiteral("%1").arg(nextDen_++, 5, 10, QLatin1Char('0'));
            l.day = randomDay();
            std::tie(l.dr, l.drSub) = randomSide();
            do {
                std::tie(l.cr, l.crSub) = randomSide();
            } while (l.cr == l.dr);
            l.raw = randomAmount();
            writeLine(l);
            lines_.push_back(l);
            mark(l.month());
        }
    }

    void editLine() {
        if (lines_.empty()) return;
        Line& l = lines_[pick(int(lines_.size()))];
        const QString oldMonth = l.month();
        switch (pick(4)) {
            case 0:
                l.raw = randomAmount();
                break;
            case 1:
                std::tie(l.dr, l.drSub) = randomSide();
                break;
            case 2:
                std::tie(l.cr, l.crSub) = randomSide();
                break;
            default:
                l.day = randomDay();  // moved to another day, maybe another month
                break;
        }
        exec(QStringLiteral(
                 "UPDATE T_SI_MEISAI SET SIDAY = ?, DATEYM = ?, KRKOCODE = ?, KRHOKOCODE = ?, KRKIN = ?,"
                 " KSKOCODE = ?, KSHOKOCODE = ?, KSKIN = ? WHERE CID = ? AND DENCODE = ?"),
             {l.day, l.month(), l.dr, l.drSub, l.raw, l.cr, l.crSub, l.raw, kCid, l.den});
        mark(oldMonth);
        mark(l.month());
    }

    void deleteLines() {
        if (lines_.empty()) return;
        // One line, or every line of its day.
        const Line chosen = lines_[pick(int(lines_.size()))];
        const bool wholeDay = chance(40);
        for (auto it = lines_.begin(); it != lines_.end();) {
            if (it->den == chosen.den || (wholeDay && it->day == chosen.day)) {
                exec(QStringLiteral("DELETE FROM T_SI_MEISAI WHERE CID = ? AND DENCODE = ?"),
                     {kCid, it->den});
                it = lines_.erase(it);
            } else {
                ++it;
            }
        }
        mark(chosen.month());
    }

    void changeOpening() {
        const qint64 raw = chance(15) ? 0 : qint64(pick(300000) - 50000) * 10000;
        if (chance(50)) {
            auto it = subOpening_.begin();
            std::advance(it, pick(int(subOpening_.size())));
            it->second = raw;
            exec(QStringLiteral(
                     "UPDATE T_HOJOKAMOKU SET KISYUZAN = ? WHERE CID = ? AND KANKOCODE = ? AND HOKOCODE = ?"),
                 {raw, kCid, it->first.section(QLatin1Char('.'), 0, 0),
                  it->first.section(QLatin1Char('.'), 1)});
        } else {
            const QStringList codes = postingCodes();
            const QString code = codes[pick(int(codes.size()))];
            opening_[code] = raw;
            exec(QStringLiteral("UPDATE T_KANJO SET KISYUZAN = ? WHERE KOCODE = ?"), {raw, code});
        }
        mark(kOpening);
    }

    // ---- The plain computation

    // Opening balance carried into the opening month: posting accounts in
    // use below 177.
    Sums carried(const QString& code) const {
        const Account& a = account(code);
        const qint64 v = opening_.at(code);
        if (a.kind != '0' || !a.inUse || code >= QStringLiteral("177") || v == 0) return {};
        return a.side == '0' ? Sums{v, 0} : Sums{0, v};
    }

    Sums subCarried(const QString& code, const QString& sub) const {
        const auto it = subOpening_.find(subKey(code, sub));
        if (it == subOpening_.end()) return {};
        return account(code).side == '0' ? Sums{it->second, 0} : Sums{0, it->second};
    }

    // Month totals per account and per "code.sub", by month.
    std::map<QString, std::map<QString, Sums>> monthTotals(bool bySub) const {
        std::map<QString, std::map<QString, Sums>> out;
        for (const Line& l : lines_) {
            if (!bySub) {
                out[l.dr][l.month()].dr += l.raw;
                out[l.cr][l.month()].cr += l.raw;
            } else {
                if (!l.drSub.isEmpty()) out[subKey(l.dr, l.drSub)][l.month()].dr += l.raw;
                if (!l.crSub.isEmpty()) out[subKey(l.cr, l.crSub)][l.month()].cr += l.raw;
            }
        }
        return out;
    }

    static Sums sumOver(const std::map<QString, Sums>& months, const QString& from, const QString& to) {
        Sums s;
        for (const auto& [m, v] : months)
            if (m >= from && m <= to) s += v;
        return s;
    }

    // ---- Reading the engine's rows

    std::map<QString, Amounts> readRows(const QString& table, const QString& key) {
        std::map<QString, Amounts> out;
        const auto rows =
            cn_->query(QStringLiteral("SELECT %1, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI FROM %2"
                                      " WHERE CID = ?")
                           .arg(key, table),
                       {kCid});
        if (!rows) return out;
        for (const auto& r : *rows)
            out[r.text(0) + QLatin1Char('@') + r.text(1)] =
                Amounts{r.integer(2), r.integer(3), r.integer(4), r.integer(5)};
        return out;
    }

    // One expected row: must exist when required, must not exist when all
    // four amounts are zero (unless kept), and must hold the amounts when it
    // exists.
    bool compareRow(const std::map<QString, Amounts>& rows, const QString& key, const Amounts& want,
                    bool required, bool zeroKept = false) {
        const auto it = rows.find(key);
        const bool present = it != rows.end();
        if (want.allZero() && !zeroKept && !required) {
            if (present) {
                qWarning("%s: %s should have been removed", qPrintable(where_), qPrintable(key));
                return false;
            }
            return true;
        }
        if (!present) {
            if (required)
                qWarning("%s: %s is missing, want %s", qPrintable(where_), qPrintable(key),
                         qPrintable(want.text()));
            return !required;
        }
        if (!(it->second == want)) {
            qWarning("%s: %s is %s, want %s", qPrintable(where_), qPrintable(key),
                     qPrintable(it->second.text()), qPrintable(want.text()));
            return false;
        }
        return true;
    }

    bool checkPostingAccounts(const QString& T, const std::map<QString, Amounts>& rows) {
        const auto totals = monthTotals(false);
        bool ok = true;
        for (const Account& a : kChart) {
            if (a.kind != '0') continue;
            static const std::map<QString, Sums> none;
            const auto found = totals.find(a.code);
            const auto& months = found == totals.end() ? none : found->second;
            const Sums open = carried(a.code);
            ok &= compareRow(rows, a.code + QStringLiteral("@") + kOpening,
                             {open.dr, open.cr, open.dr, open.cr}, !open.zero(), true);
            Sums cum = open;
            for (const QString& m : fiscalMonths()) {
                if (m > T) break;
                const auto mt = months.find(m);
                const Sums month = mt == months.end() ? Sums{} : mt->second;
                cum += month;
                const Amounts want{month.dr, month.cr, cum.dr, cum.cr};
                // Before the target a row is needed for activity; a month whose
                // lines add up to nothing may keep or lose its row.
                const bool required = !want.allZero() && (m == T || !month.zero());
                ok &= compareRow(rows, a.code + QStringLiteral("@") + m, want, required);
            }
        }
        return ok;
    }

    bool checkSubAccounts(const QString& T, bool withSub, const std::map<QString, Amounts>& rows) {
        auto totals = monthTotals(true);
        for (const auto& [key, v] : subOpening_) totals[key];  // registered sub-accounts without lines
        bool ok = true;
        for (const auto& [key, months] : totals) {
            const QString code = key.section(QLatin1Char('.'), 0, 0);
            const QString sub = key.section(QLatin1Char('.'), 1);
            const Sums open = subCarried(code, sub);
            // Registered sub-accounts have an opening row, and so has every
            // pair with lines in a summed month.
            const bool opened = subOpening_.count(key) || (!months.empty() && months.begin()->first <= T);
            ok &= compareRow(rows, key + QStringLiteral("@") + kOpening, {open.dr, open.cr, open.dr, open.cr},
                             opened, true);
            Sums cum = open;
            for (const QString& m : fiscalMonths()) {
                if (m > T) break;
                const auto mt = months.find(m);
                const Sums month = mt == months.end() ? Sums{} : mt->second;
                cum += month;
                const bool required = mt != months.end() || (m == T && withSub && opened);
                ok &= compareRow(rows, key + QStringLiteral("@") + m, {month.dr, month.cr, cum.dr, cum.cr},
                                 required, true);
            }
        }
        return ok;
    }

    // Month and cumulative sums of a total account over its tree: posting
    // accounts in use that roll into it, and total accounts in use that roll
    // into it (second level).
    // An empty range (from after to) gives the opening balances alone.
    Sums treeSum(const QString& total, const std::map<QString, std::map<QString, Sums>>& totals,
                 const QString& from, const QString& to, bool withOpening) const {
        Sums s;
        for (const Account& a : kChart) {
            if (a.total != total || !a.inUse) continue;
            if (a.kind == '1') {
                s += treeSum(a.code, totals, from, to, withOpening);
                continue;
            }
            if (withOpening) s += carried(a.code);
            const auto found = totals.find(a.code);
            if (found != totals.end()) s += sumOver(found->second, from, to);
        }
        return s;
    }

    static Sums profit(const Sums& assets, const Sums& claims) {
        const qint64 m = assets.dr - assets.cr;
        const qint64 v = claims.cr - claims.dr;
        return v >= m ? Sums{v - m, 0} : Sums{0, m - v};
    }

    bool checkTotalsAtTarget(const QString& T, const std::map<QString, Amounts>& rows) {
        const auto totals = monthTotals(false);
        bool ok = true;
        for (const Account& a : kChart) {
            if (a.kind != '1' || a.code == QStringLiteral("348") || a.code == QStringLiteral("353")) continue;
            const Sums month = treeSum(a.code, totals, T, T, false);
            const Sums cum = treeSum(a.code, totals, kFrom, T, true);
            const Amounts want{month.dr, month.cr, cum.dr, cum.cr};
            ok &= compareRow(rows, a.code + QStringLiteral("@") + T, want, !want.allZero());
        }
        // Profit rows: the opening month (with 171), the months before the
        // target together, the target.
        auto openingOf = [&](const char* code) {
            return treeSum(QString::fromLatin1(code), totals, QStringLiteral("9"), QStringLiteral("0"), true);
        };
        auto monthsOf = [&](const char* code, const QString& from, const QString& to) {
            return treeSum(QString::fromLatin1(code), totals, from, to, false);
        };
        const Sums atOpening = profit(openingOf("113"), openingOf("176"));
        const Sums retained = openingOf("171");
        Sums before;
        if (T != kFrom) {
            const QString P = fiscalMonths().at(fiscalMonths().indexOf(T) - 1);
            before = profit(monthsOf("113", kFrom, P), monthsOf("176", kFrom, P));
        }
        const Sums target = profit(monthsOf("113", T, T), monthsOf("176", T, T));
        Sums cum353 = atOpening;
        cum353 += retained;
        cum353 += before;
        cum353 += target;
        Sums cum348 = before;
        cum348 += target;
        const Amounts want353{target.dr, target.cr, cum353.dr, cum353.cr};
        const Amounts want348{target.dr, target.cr, cum348.dr, cum348.cr};
        ok &= compareRow(rows, QStringLiteral("353@") + T, want353, !want353.allZero(), true);
        ok &= compareRow(rows, QStringLiteral("348@") + T, want348, !want348.allZero(), true);
        return ok;
    }

    void summarizeAndCompare() {
        const QStringList months = fiscalMonths();
        const QString T = months[pick(int(months.size()))];
        const bool withSub = chance(40);
        where_ +=
            QStringLiteral(" target %1%2").arg(T, withSub ? QStringLiteral(" with sub-accounts") : QString());
        platform::ScriptedMsgBox box;
        QVERIFY2(msum_main(kFrom, T, withSub),
                 qPrintable(where_ + (box.count() ? box.last().text : QString())));
        QCOMPARE(box.count(), 0);

        const auto accounts = readRows(QStringLiteral("T_TUKIKAN"), QStringLiteral("KANKOCODE"));
        const auto subs =
            readRows(QStringLiteral("T_TUKIHOJO"), QStringLiteral("KANKOCODE || '.' || HOCODE"));
        QVERIFY2(checkPostingAccounts(T, accounts), qPrintable(where_));
        QVERIFY2(checkSubAccounts(T, withSub, subs), qPrintable(where_));
        QVERIFY2(checkTotalsAtTarget(T, accounts), qPrintable(where_));

        const auto unsummed = cn_->scalar(
            QStringLiteral(
                "SELECT COUNT(*) FROM T_TUKISIME WHERE CID = ? AND DATEYM <= ? AND SYORIFLG <> '1'"),
            {kCid, T});
        QVERIFY(unsummed);
        QCOMPARE(unsummed->toInt(), 0);
    }

private slots:
    // Every summation of several months here reads through further
    // connections, as on a large company's file.
    void initTestCase() {
        testenv::isolate();
        msum_readInParallelFrom(0);
    }

    void cleanup() { db_.reset(); }

    void randomBooks_data() {
        QTest::addColumn<int>("seed");
        for (int i = 0; i < kIterations; ++i)
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(20090401 + i))) << 20090401 + i;
    }

    void randomBooks() {
        QFETCH(int, seed);
        rng_.seed(seed);
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        gstrCID = kCid;
        nextDen_ = 1;
        setUp();
        int summations = 0;
        for (int step = 1; step <= kSteps; ++step) {
            where_ = QStringLiteral("seed %1 step %2").arg(seed).arg(step);
            const int what = pick(100);
            if (what < 30 || lines_.empty())
                addLines();
            else if (what < 45)
                editLine();
            else if (what < 53)
                deleteLines();
            else if (what < 60)
                changeOpening();
            else {
                summarizeAndCompare();
                ++summations;
            }
            if (QTest::currentTestFailed()) return;
        }
        where_ = QStringLiteral("seed %1 final").arg(seed);
        summarizeAndCompare();
        QVERIFY(summations > 5);
    }
};

QTEST_GUILESS_MAIN(TestMsumRandom)
#include "tst_msum_random.moc"
