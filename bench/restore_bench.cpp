// Benchmark of the user's backup into a chosen folder and of the restore from
// that set, on a generated company-year.
//
//   restore_bench [N ...] [--repeat R]      (default: N = 100000, R = 5)
//
// For each N: a fresh copy of the shipped database and a company-year of N
// journal lines (bench/gen_company_year.h), then the median wall time and
// processor time of
//   - the backup into a chosen folder (23 files, flushed to disk, renamed over
//     the previous set);
//   - the restore of that set (read and check all 23 files, then in one
//     transaction replace the company's rows of every catalogued table, flag
//     the months and delete the month totals).
// After the runs the journal is checked to hold the N lines it held before.

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "bench/gen_company_year.h"
#include "ledger/restore.h"
#include "ledger/textbackup.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

using Clock = std::chrono::steady_clock;

class OneCompany : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("ベンチ商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

double cpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

struct Timing {
    double wall = 0;  // median wall time, ms
    double cpu = 0;   // median processor time, ms
};

Timing median(int repeat, const std::function<bool()>& work, bool* ok) {
    std::vector<double> walls, cpus;
    for (int i = 0; i < repeat; ++i) {
        const double cpuStart = cpuMilliseconds();
        const auto start = Clock::now();
        *ok = work() && *ok;
        walls.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        cpus.push_back(cpuMilliseconds() - cpuStart);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

qint64 journalLines(platform::Connection& cn) {
    const auto n = cn.scalar(QStringLiteral("SELECT count(*) FROM T_SI_MEISAI WHERE CID = ?"), {gstrCID});
    return n ? n->toLongLong() : -1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    gstrSoftName = QStringLiteral("Ralvek");
    platform::MsgBox::setResponder([](const platform::MsgRequest& m) {
        // The closing messages of a successful backup and restore are expected.
        if (m.icon != platform::MsgIcon::Information) std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(platform::vbOK);
    });
    OneCompany company;
    SetTheCompanyList(&company);

    std::vector<int> sizes;
    int repeat = 5;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i].toInt() > 0)
            sizes.push_back(args[i].toInt());
    }
    if (sizes.empty()) sizes = {100000};

    std::printf("backup into a chosen folder and restore, median of %d runs, times in ms\n", repeat);
    std::printf("%8s %9s %9s %9s %9s\n", "lines", "backup", "restore", "cpu bk", "cpu rst");
    bool ok = true;
    for (int n : sizes) {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Kaikei.mdb"));
        const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
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
        if (!bench::generateCompanyYear(*cn, options)) {
            std::fprintf(stderr, "generation failed\n");
            return 1;
        }
        gstrDataPath = dir.filePath(QStringLiteral("data/"));
        const QString set = dir.filePath(QStringLiteral("set/"));
        QDir().mkpath(gstrDataPath);
        QDir().mkpath(set);
        const qint64 before = journalLines(*cn);

        const Timing backup = median(
            repeat,
            [&] {
                return DataBackUp(BackupKind::Chosen, {}, [&] { return std::optional<QString>(set); }) ==
                       BackupResult::Written;
            },
            &ok);
        const Timing restore =
            median(repeat, [&] { return RestoreBackupSet(set) == RestoreResult::Restored; }, &ok);
        const qint64 after = journalLines(*cn);
        if (after != before) {
            std::fprintf(stderr, "journal lines: %lld before, %lld after\n", before, after);
            ok = false;
        }
        std::printf("%8d %9.1f %9.1f %9.1f %9.1f%s\n", n, backup.wall, restore.wall, backup.cpu, restore.cpu,
                    ok ? "" : "  FAILED");
        std::fflush(stdout);
        gcnKaikei = nullptr;
    }
    return ok ? 0 : 1;
}
