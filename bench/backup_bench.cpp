// Benchmark of the automatic text backup on a generated company-year, beside
// the same tables dumped by the sqlite3 shell piped through iconv.
//
//   backup_bench [N ...] [--repeat R]      (default: N = 100000, R = 5)
//
// For each N: a fresh copy of the shipped database and a company-year of N
// journal lines (bench/gen_company_year.h), then the median wall time of
//   - the automatic backup (23 files, each flushed to disk, swapped into
//     place as a set);
//   - the pipeline: for each table of the backup catalogue,
//     sqlite3 -csv <db> "SELECT * FROM <table> [WHERE CID = '<id>']" | iconv -f UTF-8 -t CP932
//     into a file, the 23 pipelines run one after another by one shell;
// with the processor time each took (user + system, summed over the
// processes of the pipeline; less sensitive to other load on the machine)
// and the lines and bytes each wrote. The pipeline needs the sqlite3 and
// iconv commands. Then the ratio line (bench/ratio.h) of the backup against
// the pipeline, run alternately.

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "bench/gen_company_year.h"
#include "bench/ratio.h"
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

// Processor time (user + system) in ms of this process or of its ended
// children.
double cpuMilliseconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

struct Timing {
    double wall = 0;  // median wall time, ms
    double cpu = 0;   // median processor time, ms
};

Timing median(int repeat, int who, const std::function<bool()>& work, bool* ok) {
    std::vector<double> walls, cpus;
    for (int i = 0; i < repeat; ++i) {
        const double cpuStart = cpuMilliseconds(who);
        const auto start = Clock::now();
        *ok = work() && *ok;
        walls.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        cpus.push_back(cpuMilliseconds(who) - cpuStart);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

// Lines and bytes of the files in folder.
std::pair<qint64, qint64> measure(const QString& folder) {
    qint64 lines = 0, bytes = 0;
    QDirIterator it(folder, {QStringLiteral("*.txt")}, QDir::Files);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray all = f.readAll();
        lines += all.count('\n');
        bytes += all.size();
    }
    return {lines, bytes};
}

QString shellQuote(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// The shell script of the 23 pipelines.
QString pipelineScript(platform::Connection& cn, const QString& db, const QString& cid, const QString& out) {
    QString script = QStringLiteral("set -e\n");
    const auto rows = cn.query(QStringLiteral("SELECT SEQNO, TEXTNAME, KEISIKI FROM T_BACKUP ORDER BY SEQNO"));
    for (const platform::Row& r : *rows) {
        QString sql = QStringLiteral("SELECT * FROM ") + r.text(2);
        if (r.integer(0) > 1) sql += QStringLiteral(" WHERE CID = '") + cid + QLatin1Char('\'');
        script += QStringLiteral("sqlite3 -csv %1 %2 | iconv -f UTF-8 -t CP932 > %3\n")
                      .arg(shellQuote(db), shellQuote(sql), shellQuote(out + QLatin1Char('/') + r.text(1) + ".txt"));
    }
    return script;
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

    std::printf("text backup, median of %d runs, times in ms\n", repeat);
    std::printf("%8s %8s %7s %9s %9s %9s %9s %8s %6s\n", "lines", "rows", "MB", "backup", "pipeline", "cpu bk",
                "cpu pipe", "pipe MB", "ratio");
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
        QDir().mkpath(gstrDataPath);

        const Timing backup = median(
            repeat, RUSAGE_SELF, [] { return DataBackUp(BackupKind::Automatic) == BackupResult::Written; }, &ok);
        const auto [lines, bytes] = measure(AutomaticBackupFolder());

        const QString out = dir.filePath(QStringLiteral("pipeline"));
        QDir().mkpath(out);
        const QString script = pipelineScript(*cn, db, gstrCID, out);
        const Timing pipeline = median(
            repeat, RUSAGE_CHILDREN,
            [&] {
                QProcess sh;
                sh.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
                return sh.waitForFinished(-1) && sh.exitStatus() == QProcess::NormalExit && sh.exitCode() == 0;
            },
            &ok);
        bench::compare(QStringLiteral("backup"), n, repeat,
                       {{}, [] { return DataBackUp(BackupKind::Automatic) == BackupResult::Written; }},
                       {{}, [&] { return bench::shellCommand(script); }});
        const auto pipeBytes = measure(out).second;
        std::printf("%8d %8lld %7.1f %9.1f %9.1f %9.1f %9.1f %8.1f %6.2f%s\n", n, lines, bytes / 1048576.0,
                    backup.wall, pipeline.wall, backup.cpu, pipeline.cpu, pipeBytes / 1048576.0,
                    pipeline.wall > 0 ? backup.wall / pipeline.wall : 0.0, ok ? "" : "  FAILED");
        std::fflush(stdout);
        gcnKaikei = nullptr;
    }
    return bench::printRatios() && ok ? 0 : 1;
}
