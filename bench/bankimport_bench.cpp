// Benchmark of the bank statement import: a statement of S lines (a
// Shift-JIS comma layout, lines spread over the fiscal year in date order,
// one in ten a cash line that moves every later day's balance) imported
// into the generated company-year of bench/gen_company_year.h, from reading
// the file to the commit. Two cases: into the company's existing days, and
// into a company without any day voucher (every day of the year created with
// its scheduled lines). Each run starts from a fresh copy of the database;
// the median wall time of R runs is printed.
//
//   bankimport_bench [S] [--lines N] [--repeat R]   (default: S = 10000, N = 10000, R = 5)

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <random>
#include <vector>

#include "app/common/globals.h"
#include "bench/gen_company_year.h"
#include "ledger/bankimport.h"
#include "ledger/period.h"
#include "platform/connection.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"

namespace {

// The statement: MUFJ-style header, date, withdrawal, deposit, description, balance.
QByteArray statement(int lines, const QDate& first, int days) {
    std::mt19937 rng(20100401);
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const QStringList texts{QStringLiteral("01ガソリン代"), QStringLiteral("03電話料金"), QStringLiteral("05水道光熱費"),
                            QStringLiteral("振込 さくら商店"), QStringLiteral("30現金引出"), QStringLiteral("21固定資産税"),
                            QStringLiteral("振込手数料"), QStringLiteral("12会費")};
    QString text = QStringLiteral("日付,引出金額,預入金額,摘要,残高\r\n");
    for (int i = 0; i < lines; ++i) {
        const QDate day = first.addDays(qint64(i) * days / lines);
        const int kind = i % 10 == 0 ? 4 : uniform(0, int(texts.size()) - 1);
        const bool deposit = kind == 3;
        const QString amount = QString::number(uniform(1, 3000) * 100);
        text += day.toString(QStringLiteral("yyyy/MM/dd")) + u',' + (deposit ? QString() : u'"' + amount + u'"') +
                u',' + (deposit ? amount : QString()) + u',' + texts[kind] + QStringLiteral(",0\r\n");
    }
    return platform::cp932::encode(text).bytes;
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

    int statementLines = 10000;
    int companyLines = 10000;
    int repeat = 5;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i] == QStringLiteral("--lines") && i + 1 < args.size())
            companyLines = std::max(1, args[++i].toInt());
        else if (args[i].toInt() > 0)
            statementLines = args[i].toInt();
    }

    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("base.mdb"));
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
    if (!QFile::copy(shipped, base)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(shipped));
        return 1;
    }
    QFile(base).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    bench::CompanyYearOptions options;
    options.lines = companyLines;
    gstrCID = options.cid;
    std::optional<bench::CompanyYear> year;
    {
        auto cn = platform::Connection::open(base);
        if (!cn) return 1;
        gcnKaikei = cn.get();
        year = bench::generateCompanyYear(*cn, options);
        const bool ok = year && ResetCompanyData() &&
                        cn->exec(QStringLiteral("INSERT INTO T_SI_PATTERN VALUES (?, '511', '101', 'n', '毎日', '2', '')"),
                                 {gstrCID});
        gcnKaikei = nullptr;
        if (!ok) {
            std::fprintf(stderr, "generation failed\n");
            return 1;
        }
    }
    const QString file = dir.filePath(QStringLiteral("statement.csv"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(statement(statementLines, options.firstDay, year->days));
    }
    const QString first = options.firstDay.toString(QStringLiteral("yyyy/MM/dd"));
    const QString last = options.firstDay.addDays(year->days - 1).toString(QStringLiteral("yyyy/MM/dd"));

    bool ok = true;
    auto run = [&](bool withoutDays) {
        std::vector<double> times;
        for (int r = 0; r < repeat; ++r) {
            const QString db = dir.filePath(QStringLiteral("run.mdb"));
            QFile::remove(db);
            QFile::copy(base, db);
            auto cn = platform::Connection::open(db);
            if (!cn) {
                ok = false;
                return 0.0;
            }
            gcnKaikei = cn.get();
            if (withoutDays)
                ok = cn->exec(QStringLiteral("DELETE FROM T_SI_MEISAI WHERE CID = ?"), {gstrCID}) &&
                     cn->exec(QStringLiteral("DELETE FROM T_SIWAKE WHERE CID = ?"), {gstrCID}) && ok;
            const auto start = std::chrono::steady_clock::now();
            ok = ImportBankStatement(file, QStringLiteral("012"), first, last) == BankImportResult::Done && ok;
            times.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            gcnKaikei = nullptr;
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double existing = run(false);
    const double fresh = run(true);
    std::printf("bank statement of %d lines into a company-year of %d lines, median of %d runs: "
                "existing days %.1f ms, no days yet %.1f ms%s\n",
                statementLines, companyLines, repeat, existing, fresh, ok ? "" : "  FAILED");
    return ok ? 0 : 1;
}
