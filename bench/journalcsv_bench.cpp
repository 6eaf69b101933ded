// Benchmark of the journal CSV pair on a generated company-year
// (bench/gen_company_year.h): the export of all months and the import of the
// pair written, each the median wall time of R runs.
//
//   journalcsv_bench [N] [--repeat R]      (default: N = 100000, R = 3)

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
#include "ledger/journalcsv.h"
#include "ledger/period.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

class OneCompany : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("ベンチ商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

double medianMs(int repeat, const std::function<bool()>& work, bool* ok) {
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        const auto start = std::chrono::steady_clock::now();
        *ok = work() && *ok;
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    gstrSoftName = QStringLiteral("Ralvek");
    platform::MsgBox::setResponder([](const platform::MsgRequest& m) {
        if (m.icon == platform::MsgIcon::Warning) std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(platform::vbOK);
    });
    OneCompany company;
    SetTheCompanyList(&company);

    int n = 100000;
    int repeat = 3;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i].toInt() > 0)
            n = args[i].toInt();
    }

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
    if (!bench::generateCompanyYear(*cn, options) || !ResetCompanyData()) {
        std::fprintf(stderr, "generation failed\n");
        return 1;
    }
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    bool ok = true;
    const double exportMs =
        medianMs(repeat, [&] { return ExportJournalCsv(out, QString()) == JournalCsvResult::Done; }, &ok);
    const double importMs =
        medianMs(repeat, [&] { return ImportJournalCsv(out, QString()) == JournalCsvResult::Done; }, &ok);
    const qint64 bytes = QFileInfo(QDir(out).filePath(JournalCsvLineFileName(gstrCID, QString()))).size();
    std::printf("journal CSV pair, %d lines (%.1f MB), median of %d runs: export %.1f ms, import %.1f ms%s\n", n,
                bytes / 1048576.0, repeat, exportMs, importMs, ok ? "" : "  FAILED");
    gcnKaikei = nullptr;
    return ok ? 0 : 1;
}
