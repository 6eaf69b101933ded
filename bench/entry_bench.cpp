// Benchmark of the daily entry on a generated company-year.
//
//   entry_bench [N] [--repeat R]      (default: N = 100000, R = 5)
//
// A fresh copy of the shipped database, a company-year of N journal lines
// (bench/gen_company_year.h), the company made current as the menus make it,
// then the median wall time, the number of SQL statements run and the number
// compiled (the rest reuse a compiled statement) of
//   - load: opening the daily entry on the last day (the screen built, the
//     day's grids filled);
//   - register: registering the day shown, unchanged (every line of the day
//     written again);
//   - next day: moving to the following day and back (two day loads).
// The screen runs on the offscreen platform; messages other than the
// confirmation go to standard error and fail the run.

#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
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
#include "entry/InpKantanSiwake.h"
#include "ledger/company.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

using Clock = std::chrono::steady_clock;

class BenchCompanyList : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("ベンチ商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

long statementsRun = 0;

int countStatement(unsigned, void*, void*, void*) {
    ++statementsRun;
    return 0;
}

struct Measure {
    double ms = 0;
    long statements = 0;
    qint64 compiled = 0;
};

// Median time (and the statements of that run) of repeat runs of work.
Measure median(int repeat, const std::function<bool()>& work, bool* ok) {
    std::vector<Measure> runs;
    for (int i = 0; i < repeat; ++i) {
        statementsRun = 0;
        const qint64 compiledBefore = gcnKaikei->statementsCompiled();
        const auto start = Clock::now();
        *ok = work() && *ok;
        runs.push_back({std::chrono::duration<double, std::milli>(Clock::now() - start).count(), statementsRun,
                        gcnKaikei->statementsCompiled() - compiledBefore});
    }
    std::sort(runs.begin(), runs.end(), [](const Measure& a, const Measure& b) { return a.ms < b.ms; });
    return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    gstrSoftName = QStringLiteral("Ralvek");
    int messages = 0;
    platform::MsgBox::setResponder([&messages](const platform::MsgRequest& m) {
        if (m.text == QStringLiteral("データが正しく登録されました。")) return int(platform::vbOK);
        ++messages;
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(platform::vbYes);
    });
    BenchCompanyList companies;
    SetTheCompanyList(&companies);

    int lines = 100000;
    int repeat = 5;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--repeat") && i + 1 < args.size()) {
            repeat = std::max(1, args[++i].toInt());
        } else if (args[i].toInt() > 0) {
            lines = args[i].toInt();
        }
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kaikei.mdb"));
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
    const auto year = bench::generateCompanyYear(*cn, options);
    if (!year || !SwitchCompany(options.cid)) {
        std::fprintf(stderr, "generation failed: %s\n", qPrintable(cn->lastError().text()));
        return 1;
    }
    gstrCID = options.cid;
    sqlite3_trace_v2(cn->handle(), SQLITE_TRACE_PROFILE, countStatement, nullptr);

    bool ok = true;
    QPointer<InpKantanSiwake> screen;
    auto open = [&] {
        if (screen) delete screen;
        gstrCallForm = QStringLiteral("InOutMenu");
        const std::optional<VoucherRange> range = GetMinMaxSiwakeDenCode();
        if (!range) return false;
        screen = new InpKantanSiwake(DailyEntryContext{QStringLiteral("InOutMenu"), true, *range});
        screen->showFrom(nullptr);
        QApplication::processEvents();
        return screen && screen->isDayLoaded();
    };
    const Measure load = median(repeat, open, &ok);
    // Register the second-to-last day, so that next day has a day to go to.
    if (!screen) return 1;
    screen->cmdZenjitu->click();
    const QString shownDay = screen->denpyo()[2];
    const Measure registerDay = median(
        repeat,
        [&] {
            const int before = messages;
            screen->cmdTouroku->click();
            QApplication::processEvents();
            return messages == before && screen->denpyo()[2] == shownDay;
        },
        &ok);
    const Measure nextDay = median(
        repeat,
        [&] {
            screen->cmdYokujitu->click();
            screen->cmdZenjitu->click();
            QApplication::processEvents();
            return screen->isDayLoaded() && screen->denpyo()[2] == shownDay;
        },
        &ok);
    const long lineCount =
        cn->scalar(QStringLiteral("SELECT COUNT(*) FROM T_SI_MEISAI WHERE CID = ? AND SIDAY = ?"),
                   {options.cid, shownDay})
            ->toLongLong();
    delete screen;

    std::printf("daily entry on %d journal lines (%ld on the day registered), median of %d runs%s\n",
                year->lines, lineCount, repeat, ok ? "" : "  ** A RUN FAILED **");
    std::printf("| step | time | statements run | compiled |\n|---|---|---|---|\n");
    for (const auto& [name, m] : {std::pair{"load", load}, std::pair{"register", registerDay},
                                  std::pair{"next day and back", nextDay}}) {
        std::printf("| %s | %.0f ms | %ld | %lld |\n", name, m.ms, m.statements, (long long)m.compiled);
    }
    gcnKaikei = nullptr;
    SetTheCompanyList(nullptr);
    return ok ? 0 : 1;
}
