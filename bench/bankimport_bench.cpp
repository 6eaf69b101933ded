// Benchmark of the bank statement import: a statement of S lines (a
// Shift-JIS comma layout, lines spread over the fiscal year in date order,
// one in ten a cash line that moves every later day's balance) imported
// into the generated company-year of bench/gen_company_year.h, from reading
// the file to the commit. Two cases: into the company's existing days, and
// into a company without any day voucher (every day of the year created with
// its scheduled lines). Each run starts from a fresh copy of the database.
// Each case against its floor (bench/ratio.h): the same inserts as plain SQL,
// every INSERT the import ran with its values filled in (recorded by a trace
// of an untimed run beforehand), replayed as one script in one transaction on
// a fresh copy. The lines of the ratio lines are the company-year's.
//
//   bankimport_bench [S] [--lines N] [--repeat R]   (default: S = 10000, N = 100000, R = 3)

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
#include "bench/ratio.h"
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
    int companyLines = 100000;
    int repeat = 3;
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
        const bool ok =
            year && ResetCompanyData(gstrCID) &&
            cn->exec(
                QStringLiteral("INSERT INTO T_SI_PATTERN VALUES (?, '511', '101', 'n', '毎日', '2', '')"),
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

    const QString db = dir.filePath(QStringLiteral("run.mdb"));
    const QString floorDb = dir.filePath(QStringLiteral("floor.mdb"));
    std::unique_ptr<platform::Connection> cn;
    const auto removeDays = [](platform::Connection& c) {
        return c.exec(QStringLiteral("DELETE FROM T_SI_MEISAI WHERE CID = ?"), {gstrCID}) &&
               c.exec(QStringLiteral("DELETE FROM T_SIWAKE WHERE CID = ?"), {gstrCID});
    };
    const auto fresh = [&](bool withoutDays) {
        gcnKaikei = nullptr;
        cn.reset();
        if (!bench::copyFile(base, db)) return false;
        cn = platform::Connection::open(db);
        gcnKaikei = cn.get();
        return cn && (!withoutDays || removeDays(*cn));
    };
    const auto import = [&] {
        return ImportBankStatement(file, QStringLiteral("012"), first, last) == BankImportResult::Done;
    };
    bool ok = true;
    for (const bool withoutDays : {false, true}) {
        // The inserts of one untimed run.
        QStringList inserts;
        {
            if (!fresh(withoutDays)) return 1;
            bench::WriteTrace trace(cn->handle());
            if (!import()) {
                std::fprintf(stderr, "the import failed\n");
                ok = false;
                bench::collected().push_back({withoutDays ? QStringLiteral("bank-import-new-days")
                                                          : QStringLiteral("bank-import"),
                                              companyLines, 0, 0, 0, true, false});
                continue;
            }
            for (const QString& s : trace.statements()) {
                if (s.startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive)) inserts << s;
            }
        }
        const QString script = bench::scriptOf(inserts);
        bench::compare(withoutDays ? QStringLiteral("bank-import-new-days") : QStringLiteral("bank-import"),
                       companyLines, repeat, {[&] { return fresh(withoutDays); }, import},
                       {[&] {
                            if (!bench::copyFile(base, floorDb)) return false;
                            if (!withoutDays) return true;
                            auto c = platform::Connection::open(floorDb);
                            return c && removeDays(*c);
                        },
                        [&] {
                            bench::PlainDb plain(floorDb);
                            return plain.exec(script);
                        }});
    }
    gcnKaikei = nullptr;
    cn.reset();
    std::printf("bank statement of %d lines into a company-year of %d lines\n", statementLines, companyLines);
    return bench::printRatios() && ok ? 0 : 1;
}
