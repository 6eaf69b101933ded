#include "ledger/msum.h"

#include <sqlite3.h>

#include <QDate>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "app/common/globals.h"
#include "ledger/chartcodes.h"
#include "ledger/monthstatus.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

// Every statement below works on whole sets of rows: a month's totals come
// from one grouped query over the journal lines, the running totals from a
// window sum, the total accounts from one grouped insert per level. Rows are
// written with INSERT ... ON CONFLICT DO UPDATE where a row may already exist.
// Numbered parameters (?1, ?2 ...) let one statement use a value several times;
// ?1 is always the company id.

namespace {

using platform::MsgBox;
using platform::MsgIcon;
using platform::Params;

const QString kMainFailed = QStringLiteral("月次集計異常終了");

// ---- Small helpers

platform::Connection& db() {
    return *gcnKaikei;
}

void warn(const QString& text) {
    MsgBox::show(gstrSoftName, text, MsgIcon::Warning);
}

// "<table>テーブルのアクセス中にエラーが発生しました(<proc>)。"
void warnTable(const QString& table, const QString& proc) {
    warn(QStringLiteral("%1テーブルのアクセス中にエラーが発生しました(%2)。").arg(table, proc));
}

void failMain() {
    MsgBox::show(gstrSoftName, kMainFailed, MsgIcon::None);
}

bool run(const QString& sql, const Params& params) {
    return db().exec(sql, params);
}

bool isMonth(const QString& ym) {
    static const QRegularExpression re(QStringLiteral("^\\d{4}/(0[1-9]|1[0-2])$"));
    return re.match(ym).hasMatch();
}

// The opening pseudo-month of a month's fiscal year ("2009/04" -> "2009/00").
QString openingMonthOf(const QString& fromYM) {
    return fromYM.left(4) + QStringLiteral("/00");
}

bool isOpeningMonth(const QString& ym) {
    return ym.mid(5, 2) == QStringLiteral("00");
}

QString previousMonth(const QString& ym) {
    const QDate first(ym.left(4).toInt(), ym.mid(5, 2).toInt(), 1);
    return first.addMonths(-1).toString(QStringLiteral("yyyy/MM"));
}

// "?2, ?3, ..." for count values starting at parameter number first.
QString numberedParams(int first, int count) {
    QStringList marks;
    for (int i = 0; i < count; ++i) marks << QStringLiteral("?%1").arg(first + i);
    return marks.join(QStringLiteral(", "));
}

// ---- Month status

// The months to rebuild: the list that msum_check_tukisime filled, up to its
// first empty entry.
QStringList listedMonths(const QStringList& list) {
    QStringList months;
    for (const QString& m : list) {
        if (m.isEmpty()) break;
        months << m;
    }
    return months;
}

// ---- Rebuilding months

bool deleteMonthRows(const QString& cid, const QStringList& months) {
    Params params{cid};
    for (const QString& m : months) params << m;
    const QString in = numberedParams(2, int(months.size()));
    return run(QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?1 AND DATEYM IN (%1)").arg(in), params) &&
           run(QStringLiteral("DELETE FROM T_TUKIHOJO WHERE CID = ?1 AND DATEYM IN (%1)").arg(in), params);
}

// The opening rows of month O (its rows were deleted just before): posting
// accounts in use below 177 with an opening balance and 353 carry it on their
// side; every sub-account of the company carries its own; the total accounts
// are rolled up; accounts and sub-accounts that have rows elsewhere get a zero
// opening row.
bool msum_new_tukidata(const QString& cid, const QString& O) {
    const QString side = QStringLiteral(
        "CASE WHEN %1 = '0' THEN %2 ELSE 0 END AS D, CASE WHEN %1 = '0' THEN 0 ELSE %2 END AS C");
    auto failed = [] {
        warn(QStringLiteral("データベースのアクセス中にエラーが発生しました(msum_new_tukidata)。"));
        return false;
    };
    if (!run(
            QStringLiteral("INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                           " SELECT ?1, KOCODE, ?2, D, C, D, C FROM (SELECT KOCODE, %1 FROM T_KANJO"
                           " WHERE SIYOU = 'Y' AND ((KOCODE < %2 AND SYORIKBN = '0' AND KISYUZAN <> 0)"
                           " OR KOCODE = %3))")
                .arg(side.arg(QStringLiteral("TAIKBN"), QStringLiteral("KISYUZAN")),
                     chart::sqlCode(chart::kBalanceSheetBound), chart::sqlCode(chart::kUnappropriatedProfit)),
            {cid, O}))
        return failed();
    if (!run(QStringLiteral(
                 "INSERT INTO T_TUKIHOJO (CID, KANKOCODE, HOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                 " SELECT ?1, KANKOCODE, HOKOCODE, ?2, D, C, D, C FROM (SELECT H.KANKOCODE, H.HOKOCODE, %1"
                 " FROM T_HOJOKAMOKU H JOIN T_KANJO K ON H.KANKOCODE = K.KOCODE WHERE H.CID = ?1)")
                 .arg(side.arg(QStringLiteral("K.TAIKBN"), QStringLiteral("H.KISYUZAN"))),
             {cid, O}))
        return failed();
    if (!msum_syukei(cid, O, O)) return false;  // its message was shown
    if (!run(QStringLiteral("INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                            " SELECT DISTINCT ?1, T.KANKOCODE, ?2, 0, 0, 0, 0 FROM T_KANJO K"
                            " JOIN T_TUKIKAN T ON K.KOCODE = T.KANKOCODE WHERE T.CID = ?1 AND K.SIYOU = 'Y'"
                            " AND K.SYORIKBN = '0' AND K.KISYUZAN = 0 ON CONFLICT DO NOTHING"),
             {cid, O}))
        return failed();
    if (!run(QStringLiteral(
                 "INSERT INTO T_TUKIHOJO (CID, KANKOCODE, HOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                 " SELECT ?1, KANKOCODE, HOCODE, ?2, 0, 0, 0, 0 FROM T_TUKIHOJO WHERE CID = ?1"
                 " GROUP BY KANKOCODE, HOCODE ON CONFLICT DO NOTHING"),
             {cid, O}))
        return failed();
    return true;
}

// True when months (journal months, ascending) are every journal month of
// the company's month status from the first of them on.
std::optional<bool> monthsRunToTheEnd(const QString& cid, const QStringList& months) {
    const auto count =
        db().scalar(QStringLiteral("SELECT COUNT(*) FROM T_TUKISIME WHERE CID = ?1 AND DATEYM >= ?2"
                                   " AND substr(DATEYM, 6, 2) <> '00'"),
                    {cid, months.first()});
    if (!count) return std::nullopt;
    return count->toLongLong() == months.size();
}

// Groups of the lines as another connection read them: both sides' amounts
// of a month, account and sub-account (one of them 0).
struct LineGroup {
    QByteArray month, account, subAccount;
    qint64 debit = 0, credit = 0;
};

// Reads groups through a connection of its own to the company's file on a
// thread of its own, while this connection reads other months.
// The caller makes sure that both see the same lines: this connection holds
// its write lock (no other writer can change the file) and has no change of
// its own to the lines that the other connection could not see.
class GroupReader {
public:
    GroupReader(const QString& path, const QString& sql, const Params& params)
        : thread_([this, path, sql, params] { read(path, sql, params); }) {}
    ~GroupReader() {
        if (thread_.joinable()) thread_.join();
    }
    GroupReader(const GroupReader&) = delete;
    GroupReader& operator=(const GroupReader&) = delete;

    // Waits for the groups; nullopt when the read failed.
    std::optional<std::vector<LineGroup>> take() {
        thread_.join();
        if (!ok_) return std::nullopt;
        return std::move(groups_);
    }

private:
    void read(const QString& path, const QString& sql, const Params& params) {
        const auto cn = platform::Connection::open(path);
        if (!cn) return;
        // A lock in the way fails the read at once; this connection then
        // reads the months itself.
        sqlite3_busy_timeout(cn->handle(), 0);
        platform::Statement st(*cn, sql);
        st.bindAll(params);
        while (st.next()) {
            const platform::Statement::Cell debit = st.cell(3), credit = st.cell(4);
            if (debit.kind != platform::Statement::Kind::Integer ||
                credit.kind != platform::Statement::Kind::Integer)
                return;
            groups_.push_back({st.cell(0).bytes.toByteArray(), st.cell(1).bytes.toByteArray(),
                               st.cell(2).bytes.toByteArray(), debit.integer, credit.integer});
        }
        ok_ = st.error().ok();
    }

    std::vector<LineGroup> groups_;
    bool ok_ = false;
    std::thread thread_;  // last: starts once the members above exist
};

bool insertGroups(const std::vector<LineGroup>& groups) {
    platform::Statement st(db(), QStringLiteral("INSERT INTO temp.MSUM_SIDES (DATEYM, KOCODE, HOCODE, KR, KS)"
                                                " VALUES (?1, ?2, ?3, ?4, ?5)"));
    for (const LineGroup& g : groups) {
        st.bindUtf8(1, g.month)
            .bindUtf8(2, g.account)
            .bindUtf8(3, g.subAccount)
            .bindInteger(4, g.debit)
            .bindInteger(5, g.credit);
        if (!st.exec()) return false;
        st.reset();
    }
    return st.error().ok();
}

// Further connections cost a millisecond or two each to open, and they read
// the file cold: a month takes them about 1.7 times as long as this
// connection, whose cache is warm. They pay off on a large file only, where
// this connection reads the first half of the months and up to three others
// the rest in equal runs (measured on a year of 100,000 lines: 12 months as
// 6 + 2 + 2 + 2 beat every other split tried).
constexpr int kMonthsWorthReaders = 3;
constexpr int kMostReaders = 3;
qint64 readersFromBytes = 8 * 1024 * 1024;

// How many further connections read months, for count months of file.
int readersFor(const QString& file, int count) {
    if (file.isEmpty() || count < kMonthsWorthReaders || QFileInfo(file).size() < readersFromBytes) return 0;
    const int cores = int(std::thread::hardware_concurrency());
    return std::clamp(std::min(count / 2, cores - 1), 0, kMostReaders);
}

// The lengths of the runs of consecutive months: this connection's first
// (the larger half), then one per reader, as equal as they come.
std::vector<int> runLengths(int count, int readers) {
    const int rest = count / 2;
    std::vector<int> lengths{count - (readers > 0 ? rest : 0)};
    for (int i = 0; i < readers; ++i) lengths.push_back(rest / readers + (i < rest % readers ? 1 : 0));
    return lengths;
}

// Both sides of the journal lines of the given months, grouped by month,
// account and sub-account, into the work table temp.MSUM_SIDES: one pass over
// the lines serves the account and the sub-account totals alike. A side
// without an account counts under its code as it stands ("000" or empty).
//
// Each side is read from its month index (CID, DATEYM, account, sub-account,
// amount) in index order, so the groups need no sort. When the months run to
// the company's last month, a run of months is read as a range from its first
// month to the next run's (the last run without an end), and the groups of
// other months (lines outside the company's months, if any) are dropped
// afterwards: a line then costs no test of its month, which a seek per month
// pays on every line. Otherwise each month is sought on its own.
//
// Given readerFile and months enough, the later runs of months are read by
// further connections to that file on threads of their own while this one
// reads the first run (the caller makes sure all see the same lines, see
// GroupReader); should such a read fail, this connection reads its months
// after all.
bool collectSides(const QString& cid, const QStringList& months, const QString& readerFile) {
    if (!run(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS MSUM_SIDES"
                            " (DATEYM TEXT, KOCODE TEXT, HOCODE TEXT, KR INTEGER, KS INTEGER)"),
             {}) ||
        !run(QStringLiteral("DELETE FROM temp.MSUM_SIDES"), {}))
        return false;
    const std::optional<bool> toTheEnd = monthsRunToTheEnd(cid, months);
    if (!toTheEnd) return false;
    // The statement, and its parameters, that reads both sides of count
    // months from the first-th on.
    struct Run {
        QString sql;
        Params params;
    };
    const QString side = QStringLiteral(
        "SELECT DATEYM, COALESCE(%1KOCODE, ''), COALESCE(%1HOKOCODE, ''), %2 FROM T_SI_MEISAI"
        " WHERE %3 GROUP BY DATEYM, %1KOCODE, %1HOKOCODE");
    auto runOf = [&](int first, int count) {
        Run r{QString(), {cid}};
        QString lines;
        if (*toTheEnd) {
            r.params << months.at(first);
            lines = QStringLiteral("CID = ?1 AND DATEYM >= ?2");
            if (first + count < months.size()) {
                r.params << months.at(first + count);
                lines += QStringLiteral(" AND DATEYM < ?3");
            }
        } else {
            for (int i = first; i < first + count; ++i) r.params << months.at(i);
            lines = QStringLiteral("CID = ?1 AND DATEYM IN (%1)").arg(numberedParams(2, count));
        }
        r.sql = side.arg(QStringLiteral("KR"), QStringLiteral("SUM(KRKIN), 0"), lines) +
                QStringLiteral(" UNION ALL ") +
                side.arg(QStringLiteral("KS"), QStringLiteral("0, SUM(KSKIN)"), lines);
        return r;
    };
    const QString insert = QStringLiteral("INSERT INTO temp.MSUM_SIDES (DATEYM, KOCODE, HOCODE, KR, KS) ");

    const std::vector<int> lengths =
        runLengths(int(months.size()), readersFor(readerFile, int(months.size())));
    std::vector<Run> runs;
    for (int i = 0, first = 0; i < int(lengths.size()); first += lengths[i++])
        runs.push_back(runOf(first, lengths[i]));
    std::vector<std::unique_ptr<GroupReader>> others;
    for (size_t i = 1; i < runs.size(); ++i)
        others.push_back(std::make_unique<GroupReader>(readerFile, runs[i].sql, runs[i].params));
    if (!run(insert + runs[0].sql, runs[0].params)) return false;
    for (size_t i = 1; i < runs.size(); ++i) {
        const std::optional<std::vector<LineGroup>> groups = others[i - 1]->take();
        if (groups ? !insertGroups(*groups) : !run(insert + runs[i].sql, runs[i].params)) return false;
    }
    if (!*toTheEnd) return true;
    Params listed;
    for (const QString& m : months) listed << m;
    return run(QStringLiteral("DELETE FROM temp.MSUM_SIDES WHERE DATEYM NOT IN (%1)")
                   .arg(numberedParams(1, int(months.size()))),
               listed);
}

// The account rows of the collected months, and a zero opening row for every
// account that occurs in them and has none.
bool msum_to_tukikanjo(const QString& cid, const QString& O) {
    if (run(QStringLiteral("INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                           " SELECT ?1, KOCODE, DATEYM, SUM(KR), SUM(KS), 0, 0 FROM temp.MSUM_SIDES"
                           " GROUP BY DATEYM, KOCODE"),
            {cid}) &&
        run(QStringLiteral("INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                           " SELECT DISTINCT ?1, KOCODE, ?2, 0, 0, 0, 0 FROM temp.MSUM_SIDES WHERE true"
                           " ON CONFLICT DO NOTHING"),
            {cid, O}))
        return true;
    warnTable(QStringLiteral("T_TUKIKAN"), QStringLiteral("msum_to_tukikanjo"));
    return false;
}

// The sub-account rows of the collected months (sides with both an account
// and a sub-account), and their zero opening rows.
bool msum_to_tukihojo(const QString& cid, const QString& O) {
    if (run(QStringLiteral(
                "INSERT INTO T_TUKIHOJO (CID, KANKOCODE, HOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                " SELECT ?1, KOCODE, HOCODE, DATEYM, SUM(KR), SUM(KS), 0, 0 FROM temp.MSUM_SIDES"
                " WHERE KOCODE <> '' AND HOCODE <> '' GROUP BY DATEYM, KOCODE, HOCODE"),
            {cid}) &&
        run(QStringLiteral(
                "INSERT INTO T_TUKIHOJO (CID, KANKOCODE, HOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                " SELECT DISTINCT ?1, KOCODE, HOCODE, ?2, 0, 0, 0, 0 FROM temp.MSUM_SIDES"
                " WHERE KOCODE <> '' AND HOCODE <> '' ON CONFLICT DO NOTHING"),
            {cid, O}))
        return true;
    warnTable(QStringLiteral("T_TUKIHOJO"), QStringLiteral("msum_to_tukihojo"));
    return false;
}

// The journal months' lines are read first: only the month totals change
// below, so with a second reader no write of this connection is pending while
// the second connection reads.
bool rebuildMonths(const QString& cid, const QString& O, const QStringList& months,
                   const QString& readerFile) {
    QStringList journalMonths;
    for (const QString& m : months) {
        if (!isOpeningMonth(m)) journalMonths << m;
    }
    if (!journalMonths.isEmpty() && !collectSides(cid, journalMonths, readerFile)) {
        warnTable(QStringLiteral("T_TUKIKAN"), QStringLiteral("msum_to_tukikanjo"));
        return false;
    }
    if (!deleteMonthRows(cid, months)) {
        failMain();
        return false;
    }
    for (const QString& m : months) {
        if (isOpeningMonth(m) && !msum_new_tukidata(cid, m)) return false;
    }
    if (journalMonths.isEmpty()) return true;
    return msum_to_tukikanjo(cid, O) && msum_to_tukihojo(cid, O);
}

// Rows of the total accounts above the opening month are derived; they are
// written again for the month before the target and the target.
bool deleteTotalAccountRows(const QString& cid, const QString& O) {
    if (run(QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?1 AND DATEYM > ?2 AND KANKOCODE IN"
                           " (SELECT KOCODE FROM T_KANJO WHERE SYORIKBN = '1' AND SIYOU = 'Y')"),
            {cid, O}))
        return true;
    failMain();
    return false;
}

// ---- Running totals

// Running totals of every existing row of the months fromYM..toYM: the window
// sum of the month totals over the key's rows from the opening month on.
// keyColumns partitions the rows (an account, or an account and sub-account).
bool updateRunningTotals(const QString& cid, const QString& table, const QString& keyColumns,
                         const QString& fromYM, const QString& toYM) {
    QStringList joins;
    for (const QString& key : keyColumns.split(QStringLiteral(", ")))
        joins << QStringLiteral("%1.%2 = R.%2").arg(table, key);
    return run(QStringLiteral("UPDATE %1 SET KRRUI = R.KR, KSRUI = R.KS FROM (SELECT * FROM"
                              " (SELECT %2, DATEYM, SUM(KRTOTAL) OVER W AS KR, SUM(KSTOTAL) OVER W AS KS"
                              " FROM %1 WHERE CID = ?1 AND DATEYM <= ?3"
                              " WINDOW W AS (PARTITION BY %2 ORDER BY DATEYM ROWS UNBOUNDED PRECEDING))"
                              " WHERE DATEYM >= ?2) AS R"
                              " WHERE %1.CID = ?1 AND %3 AND %1.DATEYM = R.DATEYM")
                   .arg(table, keyColumns, joins.join(QStringLiteral(" AND "))),
               {cid, fromYM, toYM});
}

bool msum_update_tukikanjo0(const QString& cid, const QString& fromYM, const QString& toYM) {
    if (updateRunningTotals(cid, QStringLiteral("T_TUKIKAN"), QStringLiteral("KANKOCODE"), fromYM, toYM))
        return true;
    warnTable(QStringLiteral("T_TUKIKANJO"), QStringLiteral("msum_update_tukikanjo0"));
    return false;
}

bool msum_update_tukihojo0(const QString& cid, const QString& fromYM, const QString& toYM) {
    if (updateRunningTotals(cid, QStringLiteral("T_TUKIHOJO"), QStringLiteral("KANKOCODE, HOCODE"), fromYM,
                            toYM))
        return true;
    warnTable(QStringLiteral("T_TUKIHOJO"), QStringLiteral("msum_update_tukihojo0"));
    return false;
}

// Every account with any row up to T gets a row at T (month totals 0 when it
// had none) whose running totals are the sums over its rows up to T.
bool msum_update_tukikanjo(const QString& cid, const QString& T) {
    if (run(QStringLiteral("INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                           " SELECT ?1, KANKOCODE, ?2, 0, 0, SUM(KRTOTAL), SUM(KSTOTAL) FROM T_TUKIKAN"
                           " WHERE CID = ?1 AND DATEYM <= ?2 GROUP BY KANKOCODE"
                           " ON CONFLICT (CID, KANKOCODE, DATEYM) DO UPDATE SET KRRUI = excluded.KRRUI,"
                           " KSRUI = excluded.KSRUI"),
            {cid, T}))
        return true;
    warnTable(QStringLiteral("T_TUKIKAN"), QStringLiteral("msum_update_tukikanjo"));
    return false;
}

// The same for every sub-account with any row up to T.
bool msum_update_tukihojo(const QString& cid, const QString& T) {
    if (run(QStringLiteral(
                "INSERT INTO T_TUKIHOJO (CID, KANKOCODE, HOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                " SELECT ?1, KANKOCODE, HOCODE, ?2, 0, 0, SUM(KRTOTAL), SUM(KSTOTAL) FROM T_TUKIHOJO"
                " WHERE CID = ?1 AND DATEYM <= ?2 GROUP BY KANKOCODE, HOCODE"
                " ON CONFLICT (CID, KANKOCODE, HOCODE, DATEYM) DO UPDATE SET KRRUI = excluded.KRRUI,"
                " KSRUI = excluded.KSRUI"),
            {cid, T}))
        return true;
    warnTable(QStringLiteral("T_TUKIHOJO"), QStringLiteral("msum_update_tukihojo"));
    return false;
}

// ---- The summation

// Rows above the opening month whose four amounts are all zero say nothing and
// are removed; 152, 348 and 353 keep theirs. A row whose amounts merely add up
// to zero (an opening balance of -1,000 and a debit of 500) keeps its balance.
bool pruneZeroRows(const QString& cid, const QString& O) {
    return run(
        QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?1 AND DATEYM > ?2 AND KRTOTAL = 0 AND KSTOTAL = 0"
                       " AND KRRUI = 0 AND KSRUI = 0 AND KANKOCODE NOT IN (%1)")
            .arg(
                chart::sqlCodes({chart::kLiabilitiesTotal, chart::kNetProfit, chart::kUnappropriatedProfit})),
        {cid, O});
}

bool recordLastTarget(const QString& cid, const QString& T) {
    return run(QStringLiteral("UPDATE T_TUKISIMECHECK SET DATEYM = ?2 WHERE CID = ?1"), {cid, T});
}

bool subAccountTargetStep(const QString& cid, const QString& O, const QString& T, bool withSubAccountTotals) {
    if (!withSubAccountTotals)
        return UpdateTukiSimebi(cid, QStringLiteral("Hojo"), QStringLiteral("0"), O, T);
    return msum_update_tukihojo(cid, T) &&
           UpdateTukiSimebi(cid, QStringLiteral("Hojo"), QStringLiteral("1"), O, T);
}

bool summarize(const QString& cid, const QString& fromYM, const QString& toYM, bool withSubAccountTotals,
               const QString& readerFile) {
    const QString O = openingMonthOf(fromYM);
    const QString& T = toYM;
    QStringList list;
    const int work = msum_check_tukisime(cid, T, list, withSubAccountTotals);
    if (work < 0) return false;  // its message was shown
    if (work == 0) {
        // Nothing to rebuild; the subsidiary ledger may still need the
        // sub-account running totals at the target.
        if (list.value(0) != QStringLiteral("未処理") || !withSubAccountTotals) return true;
        return msum_update_tukihojo(cid, T) &&
               UpdateTukiSimebi(cid, QStringLiteral("Hojo"), QStringLiteral("1"), O, T);
    }

    const QStringList months = listedMonths(list);
    if (!months.isEmpty() && !rebuildMonths(cid, O, months, readerFile)) return false;
    if (!deleteTotalAccountRows(cid, O)) return false;
    // Every running total from the earliest rebuilt month on depends on it.
    // Rows between an earlier, lower target and this one may also be behind
    // (their months stay marked as summed), so every existing row up to the
    // target is brought up to date; there are at most thirteen months of them.
    if (!msum_update_tukikanjo0(cid, O, T) || !msum_update_tukihojo0(cid, O, T)) return false;
    if (T != fromYM && !msum_syukei(cid, fromYM, previousMonth(T))) return false;
    if (!msum_syukei(cid, T, T) || !msum_misyobunrieki(cid, O, T) || !msum_update_tukikanjo(cid, T))
        return false;
    if (!subAccountTargetStep(cid, O, T, withSubAccountTotals)) return false;
    if (!pruneZeroRows(cid, O) || !recordLastTarget(cid, T)) {
        failMain();
        return false;
    }
    return UpdateTukiSimebi(cid, QStringLiteral("Kanjo"), QStringLiteral("1"), O, T);
}

}  // namespace

void msum_readInParallelFrom(qint64 bytes) {
    readersFromBytes = bytes;
}

bool msum_main(const QString& cid, const QString& fromYM, const QString& toYM, bool withSubAccountTotals) {
    if (!gcnKaikei || !isMonth(fromYM) || !isMonth(toYM)) {
        failMain();
        return false;
    }
    // A second connection may read lines for this one only when no caller's
    // transaction holds changes that it could not see. It opens the file by
    // the full name the engine resolved for this connection (none for a
    // database in memory).
    QString readerFile;
    if (!db().inTransaction() && sqlite3_get_autocommit(db().handle()) != 0) {
        const char* file = sqlite3_db_filename(db().handle(), "main");
        if (file) readerFile = QString::fromUtf8(file);
    }
    platform::Transaction sp(db());
    if (!sp.started()) {
        failMain();
        return false;
    }
    if (!summarize(cid, fromYM, toYM, withSubAccountTotals, readerFile)) return false;  // rolled back by sp
    if (!sp.commit()) {
        failMain();
        return false;
    }
    return true;
}

// ---- Total accounts

namespace {

bool syukeiFailed() {
    warnTable(QStringLiteral("T_TUKIKAN"), QStringLiteral("msum_syukei"));
    return false;
}

// First level: the posting accounts in use with rows in the range, summed per
// total account. Returns the number of total-account rows written, or -1.
int rollUpPostingAccounts(const QString& cid, const QString& fromYM, const QString& toYM, bool opening) {
    if (!run(QStringLiteral(
                 "INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                 " SELECT ?1, K.TOCODE, ?3, SUM(T.KRTOTAL), SUM(T.KSTOTAL),"
                 " CASE WHEN ?4 THEN SUM(T.KRTOTAL) ELSE 0 END, CASE WHEN ?4 THEN SUM(T.KSTOTAL) ELSE 0 END"
                 " FROM T_KANJO K JOIN T_TUKIKAN T ON K.KOCODE = T.KANKOCODE"
                 " WHERE T.CID = ?1 AND T.DATEYM BETWEEN ?2 AND ?3 AND K.SIYOU = 'Y' AND K.SYORIKBN = '0'"
                 " GROUP BY K.TOCODE"
                 " ON CONFLICT (CID, KANKOCODE, DATEYM) DO UPDATE SET KRTOTAL = excluded.KRTOTAL,"
                 " KSTOTAL = excluded.KSTOTAL, KRRUI = excluded.KRRUI, KSRUI = excluded.KSRUI"),
             {cid, fromYM, toYM, opening}))
        return -1;
    return db().changes();
}

// Second level: total accounts in use whose own total account is above "003"
// add their sums into it. Targets are handled in ascending order, so a target
// that itself rolls up into a higher code carries what the lower levels added
// into it.
bool rollUpTotalAccounts(const QString& cid, const QString& fromYM, const QString& toYM, bool opening) {
    const auto targets = db().query(
        QStringLiteral(
            "SELECT DISTINCT TOCODE FROM T_KANJO WHERE SYORIKBN = '1' AND TOCODE > %1 AND SIYOU = 'Y'"
            " ORDER BY TOCODE")
            .arg(chart::sqlCode(chart::kRollUpFloor)));
    if (!targets) return false;
    for (const auto& target : *targets) {
        if (!run(
                QStringLiteral(
                    "INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI)"
                    " SELECT ?1, ?4, ?3, A, B, CASE WHEN ?5 THEN A ELSE 0 END, CASE WHEN ?5 THEN B ELSE 0 END"
                    " FROM (SELECT COALESCE(SUM(T.KRTOTAL), 0) AS A, COALESCE(SUM(T.KSTOTAL), 0) AS B"
                    " FROM T_KANJO K LEFT JOIN T_TUKIKAN T ON T.CID = ?1 AND T.KANKOCODE = K.KOCODE"
                    " AND T.DATEYM BETWEEN ?2 AND ?3"
                    " WHERE K.SYORIKBN = '1' AND K.SIYOU = 'Y' AND K.TOCODE = ?4) WHERE true"
                    " ON CONFLICT (CID, KANKOCODE, DATEYM) DO UPDATE SET"
                    " KRTOTAL = KRTOTAL + excluded.KRTOTAL, KSTOTAL = KSTOTAL + excluded.KSTOTAL,"
                    " KRRUI = CASE WHEN ?5 THEN KRTOTAL + excluded.KRTOTAL ELSE KRRUI END,"
                    " KSRUI = CASE WHEN ?5 THEN KSTOTAL + excluded.KSTOTAL ELSE KSRUI END"),
                {cid, fromYM, toYM, target.text(0), opening}))
            return false;
    }
    return true;
}

}  // namespace

bool msum_syukei(const QString& cid, const QString& fromYM, const QString& toYM) {
    if (!gcnKaikei) return syukeiFailed();
    platform::Transaction sp(db());
    if (!sp.started()) return syukeiFailed();
    const bool opening = isOpeningMonth(toYM);
    const int written = rollUpPostingAccounts(cid, fromYM, toYM, opening);
    if (written < 0) return syukeiFailed();
    if (written > 0 && !rollUpTotalAccounts(cid, fromYM, toYM, opening)) return syukeiFailed();
    return sp.commit() || syukeiFailed();
}

// ---- Profit carry

bool msum_misyobunrieki(const QString& cid, const QString& openingYM, const QString& toYM) {
    auto failed = [] {
        warnTable(QStringLiteral("T_TUKIKAN"), QStringLiteral("msum_misyobunrieki"));
        return false;
    };
    if (!gcnKaikei) return failed();
    platform::Transaction sp(db());
    if (!sp.started()) return failed();

    // Per month of 113: m (net debit of 113), v (net credit of 176), u and w
    // (running totals of 171), and the month's profit amounts DA (debit, when
    // v >= m) and CB (credit).
    const QString months =
        QStringLiteral(
            "WITH P AS (SELECT A.DATEYM AS D, A.KRTOTAL - A.KSTOTAL AS M,"
            " COALESCE((SELECT V.KSTOTAL - V.KRTOTAL FROM T_TUKIKAN V"
            " WHERE V.CID = ?1 AND V.KANKOCODE = %1 AND V.DATEYM = A.DATEYM), 0) AS V,"
            " COALESCE((SELECT U.KRRUI FROM T_TUKIKAN U"
            " WHERE U.CID = ?1 AND U.KANKOCODE = %2 AND U.DATEYM = A.DATEYM), 0) AS U,"
            " COALESCE((SELECT U.KSRUI FROM T_TUKIKAN U"
            " WHERE U.CID = ?1 AND U.KANKOCODE = %2 AND U.DATEYM = A.DATEYM), 0) AS W"
            " FROM T_TUKIKAN A WHERE A.CID = ?1 AND A.KANKOCODE = %3 AND A.DATEYM BETWEEN ?2 AND ?3),"
            " Q AS (SELECT D, CASE WHEN V >= M THEN V - M ELSE 0 END AS DA, CASE WHEN V >= M THEN 0 ELSE M - "
            "V "
            "END AS CB,"
            " U, W, substr(D, 6, 2) = '00' AS OPENING FROM P) ")
            .arg(chart::sqlCode(chart::kLiabilitiesAndCapitalTotal),
                 chart::sqlCode(chart::kProfitBroughtForward), chart::sqlCode(chart::kAssetsTotal));
    const QString insert =
        QStringLiteral("INSERT INTO T_TUKIKAN (CID, KANKOCODE, DATEYM, KRTOTAL, KSTOTAL, KRRUI, KSRUI) ");
    const Params params{cid, openingYM, toYM};

    // 353: the month's profit; in the opening month with 171's running totals.
    const bool ok =
        run(months + insert +
                QStringLiteral(
                    "SELECT ?1, %1, D, DD, CC, DD, CC FROM (SELECT D,"
                    " DA + CASE WHEN OPENING THEN U ELSE 0 END AS DD,"
                    " CB + CASE WHEN OPENING THEN W ELSE 0 END AS CC FROM Q) WHERE true"
                    " ON CONFLICT (CID, KANKOCODE, DATEYM) DO UPDATE SET KRTOTAL = excluded.KRTOTAL,"
                    " KSTOTAL = excluded.KSTOTAL, KRRUI = excluded.KRRUI, KSRUI = excluded.KSRUI")
                    .arg(chart::sqlCode(chart::kUnappropriatedProfit)),
            params) &&
        // 171's opening row: its running totals in all four amounts.
        run(months + insert +
                QStringLiteral(
                    "SELECT ?1, %1, D, U, W, U, W FROM Q WHERE OPENING"
                    " ON CONFLICT (CID, KANKOCODE, DATEYM) DO UPDATE SET KRTOTAL = excluded.KRTOTAL,"
                    " KSTOTAL = excluded.KSTOTAL, KRRUI = excluded.KRRUI, KSRUI = excluded.KSRUI")
                    .arg(chart::sqlCode(chart::kProfitBroughtForward)),
            params) &&
        // 348: the month's profit; an existing row keeps its running totals.
        run(months + insert +
                QStringLiteral(
                    "SELECT ?1, %1, D, DA, CB, 0, 0 FROM Q WHERE NOT OPENING"
                    " ON CONFLICT (CID, KANKOCODE, DATEYM) DO UPDATE SET KRTOTAL = excluded.KRTOTAL,"
                    " KSTOTAL = excluded.KSTOTAL")
                    .arg(chart::sqlCode(chart::kNetProfit)),
            params);
    if (!ok) return failed();
    return sp.commit() || failed();
}

bool msum_main(const QString& fromYM, const QString& toYM, bool withSubAccountTotals) {
    return msum_main(gstrCID, fromYM, toYM, withSubAccountTotals);
}

bool msum_syukei(const QString& fromYM, const QString& toYM) {
    return msum_syukei(gstrCID, fromYM, toYM);
}

bool msum_misyobunrieki(const QString& openingYM, const QString& toYM) {
    return msum_misyobunrieki(gstrCID, openingYM, toYM);
}
