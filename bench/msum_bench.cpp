// Benchmark of the monthly summation on a generated company-year.
//
//   msum_bench [N ...] [--repeat R]      (default: N = 10000 100000, R = 5)
//
// For each N: a fresh copy of the shipped database, a company-year of N
// journal lines (bench/gen_company_year.h), then the median wall time of
//   - a plain SQLite GROUP BY of the lines by month and account, both sides;
//   - a full summation (every month marked) for the last month of the year;
//   - the same with the sub-account running totals (the subsidiary ledger);
//   - the summation after one changed day (its month marked);
//   - a repeated call with nothing to do;
// and the process's peak resident memory (getrusage).

#include <sqlite3.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/common/globals.h"
#include "bench/gen_company_year.h"
#include "ledger/msum.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<bool()>& work, bool* ok) {
    const auto start = Clock::now();
    *ok = work() && *ok;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Median time of repeat runs of work, each after an untimed prepare.
double median(int repeat, const std::function<bool()>& prepare, const std::function<bool()>& work, bool* ok) {
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        *ok = prepare() && *ok;
        times.push_back(millisecondsOf(work, ok));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// With MSUM_TRACE set, every statement that takes a millisecond or more is
// printed with its time (for profiling).
int traceSlowStatements(unsigned, void*, void* stmt, void* nanoseconds) {
    const auto ns = *static_cast<sqlite3_int64*>(nanoseconds);
    if (ns >= 1000000) {
        char* sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(stmt));
        std::fprintf(stderr, "%8.2f ms  %.160s\n", ns / 1e6, sql ? sql : "");
        sqlite3_free(sql);
    }
    return 0;
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool readAll(platform::Connection& cn, const QString& sql, const QString& cid, qint64* rows) {
    platform::Statement st(cn, sql);
    st.bind(1, cid);
    while (st.next()) ++*rows;
    return st.error().ok();
}

struct Result {
    int lines = 0;
    double generate = 0, groupBy = 0, full = 0, fullWithSub = 0, oneDay = 0, nothing = 0;
    qint64 groupRows = 0, accountRows = 0, subRows = 0;
    double megabytes = 0;
    long peakAfterGenerate = 0, peakAfterSummation = 0;
    bool ok = true;
};

Result runFor(int lines, int repeat) {
    Result r;
    r.lines = lines;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kaikei.mdb"));
    const QString shipped =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
    if (!QFile::copy(shipped, path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(shipped));
        r.ok = false;
        return r;
    }
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    auto cn = platform::Connection::open(path);
    if (!cn) {
        r.ok = false;
        return r;
    }
    gcnKaikei = cn.get();
    if (qEnvironmentVariableIsSet("MSUM_TRACE"))
        sqlite3_trace_v2(cn->handle(), SQLITE_TRACE_PROFILE, traceSlowStatements, nullptr);
    bench::CompanyYearOptions options;
    options.lines = lines;
    gstrCID = options.cid;

    std::optional<bench::CompanyYear> year;
    r.generate =
        millisecondsOf([&] { return (year = bench::generateCompanyYear(*cn, options)).has_value(); }, &r.ok);
    if (!year) {
        std::fprintf(stderr, "generation failed: %s\n", qPrintable(cn->lastError().text()));
        r.ok = false;
        return r;
    }
    r.megabytes = QFileInfo(path).size() / 1048576.0;
    r.peakAfterGenerate = peakKilobytes();
    const QString opening = year->fromYM.left(4) + QStringLiteral("/00");
    const platform::Params company{gstrCID};

    auto nothing = [] { return true; };
    r.groupBy = median(
        repeat, nothing,
        [&] {
            r.groupRows = 0;
            return readAll(*cn,
                           QStringLiteral("SELECT DATEYM, KRKOCODE, SUM(KRKIN) FROM T_SI_MEISAI WHERE CID = ?"
                                          " GROUP BY DATEYM, KRKOCODE"),
                           gstrCID, &r.groupRows) &&
                   readAll(*cn,
                           QStringLiteral("SELECT DATEYM, KSKOCODE, SUM(KSKIN) FROM T_SI_MEISAI WHERE CID = ?"
                                          " GROUP BY DATEYM, KSKOCODE"),
                           gstrCID, &r.groupRows);
        },
        &r.ok);

    // A full summation starts from the state a company switch leaves.
    auto markEverything = [&] {
        return cn->exec(QStringLiteral("DELETE FROM T_TUKIKAN WHERE CID = ?"), company) &&
               cn->exec(QStringLiteral("DELETE FROM T_TUKIHOJO WHERE CID = ?"), company) &&
               cn->exec(QStringLiteral("UPDATE T_TUKISIME SET SYORIFLG = '0', SYORIFLGH = '0' WHERE CID = ?"),
                        company) &&
               cn->exec(QStringLiteral("UPDATE T_TUKISIMECHECK SET DATEYM = ? WHERE CID = ?"),
                        {opening, gstrCID});
    };
    auto summarize = [&](bool withSub) {
        return [&, withSub] { return msum_main(year->fromYM, year->toYM, withSub); };
    };
    r.full = median(repeat, markEverything, summarize(false), &r.ok);
    r.fullWithSub = median(repeat, markEverything, summarize(true), &r.ok);

    // One changed day in the middle of the year: its lines' amounts change and
    // its month is marked, as the daily entry's registration does.
    int round = 0;
    auto changeOneDay = [&] {
        ++round;
        const QString day = QStringLiteral("2009/10/15");
        return cn->exec(
                   QStringLiteral(
                       "UPDATE T_SI_MEISAI SET KRKIN = KRKIN + ?, KSKIN = KSKIN + ?, KRTKINNO = KRKIN + ?,"
                       " KSTKINNO = KSKIN + ? WHERE CID = ? AND SIDAY = ?"),
                   {round * 10000, round * 10000, round * 10000, round * 10000, gstrCID, day}) &&
               cn->exec(
                   QStringLiteral(
                       "UPDATE T_TUKISIME SET SYORIFLG = '0', SYORIFLGH = '0' WHERE CID = ? AND DATEYM = ?"),
                   {gstrCID, day.left(7)});
    };
    r.oneDay = median(repeat, changeOneDay, summarize(false), &r.ok);
    r.nothing = median(repeat, nothing, summarize(false), &r.ok);
    r.peakAfterSummation = peakKilobytes();

    r.accountRows =
        cn->scalar(QStringLiteral("SELECT COUNT(*) FROM T_TUKIKAN WHERE CID = ?"), company)->toLongLong();
    r.subRows =
        cn->scalar(QStringLiteral("SELECT COUNT(*) FROM T_TUKIHOJO WHERE CID = ?"), company)->toLongLong();
    gcnKaikei = nullptr;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    gstrSoftName = QStringLiteral("Ralvek");
    platform::MsgBox::setResponder([](const platform::MsgRequest& m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(platform::vbOK);
    });

    std::vector<int> sizes;
    int repeat = 5;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i].toInt() > 0)
            sizes.push_back(args[i].toInt());
    }
    if (sizes.empty()) sizes = {10000, 100000};

    std::printf("monthly summation, median of %d runs, times in ms\n", repeat);
    std::printf("%8s %9s %9s %9s %9s %9s %9s %9s %8s %8s %8s\n", "lines", "generate", "group-by", "full",
                "full+sub", "one-day", "nothing", "full/gb", "db MB", "rss MB", "T_TUKI*");
    bool ok = true;
    for (int n : sizes) {
        const Result r = runFor(n, repeat);
        ok = ok && r.ok;
        std::printf("%8d %9.1f %9.2f %9.2f %9.2f %9.2f %9.3f %9.1f %8.1f %8.1f %4lld/%lld%s\n", r.lines,
                    r.generate, r.groupBy, r.full, r.fullWithSub, r.oneDay, r.nothing,
                    r.groupBy > 0 ? r.full / r.groupBy : 0.0, r.megabytes, r.peakAfterSummation / 1024.0,
                    r.accountRows, r.subRows, r.ok ? "" : "  FAILED");
        std::printf("         peak RSS after generating %.1f MB, after the summations %.1f MB\n",
                    r.peakAfterGenerate / 1024.0, r.peakAfterSummation / 1024.0);
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
