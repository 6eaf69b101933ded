// Benchmark of the general ledger on a generated company-year.
//
//   ledger_bench [N] [--repeat R] [--pdf FILE] [--db FILE]   (default: N = 100000, R = 5)
//
// --pdf and --db keep the report and the database for a look afterwards.
//
// A fresh copy of the shipped database, a company-year of N journal lines
// (bench/gen_company_year.h), the monthly summation done once, then the
// median wall time of
//   - build:     PrintSokanjo over the whole year and every account (its
//                summation finds nothing to do), refilling T_SKANMT_OUT;
//   - document:  reading the work table into the report's document;
//   - pdf:       laying the document out and writing the PDF;
// and their sum, the rows and pages written and the process's peak memory.

#include <sys/resource.h>

#include <QApplication>
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
#include "ledger/ledgerbooks.h"
#include "ledger/msum.h"
#include "ledger/printwork.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "platform/reportpaint.h"
#include "reports/allreports.h"
#include "reports/reportregistry.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(int repeat, const std::function<bool()>& work, bool* ok) {
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        const auto start = Clock::now();
        *ok = work() && *ok;
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    gstrSoftName = QStringLiteral("Ralvek");
    platform::MsgBox::setResponder([](const platform::MsgRequest& m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(platform::vbOK);
    });
    reports::RegisterAllReports();

    int lines = 100000, repeat = 5;
    QString keepPdf, keepDb;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i] == QStringLiteral("--pdf") && i + 1 < args.size())
            keepPdf = args[++i];
        else if (args[i] == QStringLiteral("--db") && i + 1 < args.size())
            keepDb = args[++i];
        else if (args[i].toInt() > 0)
            lines = args[i].toInt();
    }

    QTemporaryDir dir;
    const QString path = keepDb.isEmpty() ? dir.filePath(QStringLiteral("Kaikei.mdb")) : keepDb;
    QFile::remove(path);
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
    if (!QFile::copy(shipped, path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(shipped));
        return 1;
    }
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    auto cn = platform::Connection::open(path);
    if (!cn) return 1;
    gcnKaikei = cn.get();
    bench::CompanyYearOptions options;
    options.lines = lines;
    gstrCID = options.cid;
    const auto year = bench::generateCompanyYear(*cn, options);
    if (!year || !cn->exec(QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"),
                           {gstrCID})) {
        std::fprintf(stderr, "generation failed: %s\n", qPrintable(cn->lastError().text()));
        return 1;
    }
    bool ok = msum_main(year->fromYM, year->toYM, false) &&
              WritePrintHeader(QStringLiteral("2009年 4月"), QStringLiteral("2010年 3月"));

    const LedgerRange range{year->fromYM, year->fromYM, year->toYM, QStringLiteral("000"), QStringLiteral("999")};
    const double build = median(repeat, [&] { return PrintSokanjo(range); }, &ok);
    const qint64 rows = LedgerWorkRowCount(QStringLiteral("T_SKANMT_OUT"));

    std::optional<platform::report::Document> doc;
    const double document =
        median(repeat, [&] { return (doc = BuildReport(QStringLiteral("R_KANJYOMOTOTYO"))).has_value(); }, &ok);
    const QString pdf = keepPdf.isEmpty() ? dir.filePath(QStringLiteral("ledger.pdf")) : keepPdf;
    const double writing = median(repeat, [&] { return doc && platform::report::writePdf(*doc, pdf); }, &ok);
    const int pages = doc ? platform::report::pageCount(*doc) : 0;

    std::printf("general ledger of %d journal lines, median of %d runs, times in ms\n", lines, repeat);
    std::printf("%9s %9s %9s %9s %9s %7s %8s %8s\n", "build", "document", "pdf", "total", "rows", "pages",
                "pdf MB", "rss MB");
    std::printf("%9.1f %9.1f %9.1f %9.1f %9lld %7d %8.1f %8.1f%s\n", build, document, writing,
                build + document + writing, rows, pages, QFileInfo(pdf).size() / 1048576.0,
                peakKilobytes() / 1024.0, ok ? "" : "  FAILED");
    gcnKaikei = nullptr;
    return ok ? 0 : 1;
}
