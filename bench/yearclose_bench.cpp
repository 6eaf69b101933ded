// Benchmark of the year-end update on a generated company-year.
//
//   yearclose_bench [N] [--repeat R]      (default: N = 100000, R = 3)
//
// Each run: a fresh copy of the shipped database, a company-year of N journal
// lines (bench/gen_company_year.h), then the wall time of CloseFiscalYear (the
// copy into the previous-year tables, the summation, the carried balances, the
// next period, the removal and the renumbering). Prints the median.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/common/globals.h"
#include "bench/gen_company_year.h"
#include "ledger/yearclose.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int n = 100000, repeat = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size()) repeat = std::max(1, args[++i].toInt());
        else n = std::max(1, args[i].toInt());
    }
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
    std::vector<double> walls;
    for (int run = 0; run < repeat; ++run) {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Kaikei.mdb"));
        if (!QFile::copy(shipped, db)) {
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(shipped));
            return 1;
        }
        QFile(db).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        auto cn = platform::Connection::open(db);
        if (!cn) return 1;
        gcnKaikei = cn.get();
        bench::CompanyYearOptions options;
        options.lines = n;
        gstrCID = options.cid;
        if (!bench::generateCompanyYear(*cn, options) ||
            !cn->exec(QStringLiteral("DELETE FROM WK_COMPANY")) ||
            !cn->exec(QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"), {gstrCID})) {
            std::fprintf(stderr, "generation failed: %s\n", qPrintable(cn->lastError().text()));
            return 1;
        }
        platform::ScriptedMsgBox box;
        const auto start = std::chrono::steady_clock::now();
        const YearCloseResult r = CloseFiscalYear(0);
        walls.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        gcnKaikei = nullptr;
        if (!r.ok) {
            std::fprintf(stderr, "year-end update failed at %s\n", qPrintable(r.failedStep));
            return 1;
        }
    }
    std::sort(walls.begin(), walls.end());
    std::printf("year-end update of %d lines: median %.0f ms of %d runs\n", n, walls[walls.size() / 2], repeat);
    return 0;
}
