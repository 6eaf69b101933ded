// Benchmark of the year-end update on a generated company-year against its
// floor (bench/ratio.h).
//
//   yearclose_bench [N] [--repeat R]      (default: N = 100000, R = 3)
//
// A company-year of N journal lines (bench/gen_company_year.h) is generated
// once into a base file; every run starts from a fresh copy of it (untimed).
//   year-end  CloseFiscalYear (the copy into the previous-year tables, the
//             summation, the carried balances, the next period, the removal
//             and the renumbering);
//   floor     the same writes as one plain SQL script in one transaction:
//             every INSERT, UPDATE and DELETE the update ran, with its values
//             filled in, recorded by a trace of an untimed run beforehand;
//             the journal's secondary indexes are dropped before the delete
//             of the closed year's lines and built again after it (as the
//             update itself does).

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <clocale>
#include <cstdio>

#include "app/common/globals.h"
#include "bench/gen_company_year.h"
#include "bench/ratio.h"
#include "ledger/yearclose.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

// The traced writes with the journal's secondary indexes dropped around the
// first delete from the journal; empty when there is no such delete. Drops
// the update ran itself are left out of the trace (it records no CREATE
// INDEX): the floor drops and builds the indexes here, once.
QStringList withIndexesRebuilt(QStringList statements, bench::PlainDb& base) {
    statements.removeIf([](const QString& s) { return s.startsWith(QLatin1String("DROP INDEX"), Qt::CaseInsensitive); });
    const auto at = std::find_if(statements.begin(), statements.end(), [](const QString& s) {
        return s.startsWith(QLatin1String("DELETE FROM T_SI_MEISAI"), Qt::CaseInsensitive);
    });
    if (at == statements.end()) return {};
    const qsizetype position = at - statements.begin();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(base.handle(),
                       "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'T_SI_MEISAI'"
                       " AND sql IS NOT NULL",
                       -1, &st, nullptr);
    QStringList drops, creates;
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        drops << QStringLiteral("DROP INDEX ") +
                     QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        creates << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    }
    sqlite3_finalize(st);
    for (const QString& c : creates) statements.insert(position + 1, c);
    for (const QString& d : drops) statements.insert(position, d);
    return statements;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    gstrSoftName = QStringLiteral("Ralvek");
    int n = 100000, repeat = 3;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i].toInt() > 0)
            n = args[i].toInt();
    }
    QTemporaryDir dir;
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
    const QString base = dir.filePath(QStringLiteral("base.mdb"));
    const QString db = dir.filePath(QStringLiteral("Kaikei.mdb"));
    const QString floorDb = dir.filePath(QStringLiteral("floor.mdb"));
    if (!bench::copyFile(shipped, base)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(shipped));
        return 1;
    }
    bench::CompanyYearOptions options;
    options.lines = n;
    gstrCID = options.cid;
    {
        auto cn = platform::Connection::open(base);
        if (!cn || !bench::generateCompanyYear(*cn, options) ||
            !cn->exec(QStringLiteral("DELETE FROM WK_COMPANY")) ||
            !cn->exec(QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"), {gstrCID})) {
            std::fprintf(stderr, "generation failed\n");
            return 1;
        }
    }

    std::unique_ptr<platform::Connection> cn;
    platform::ScriptedMsgBox box;
    const auto open = [&] {
        gcnKaikei = nullptr;
        cn.reset();
        if (!bench::copyFile(base, db)) return false;
        cn = platform::Connection::open(db);
        gcnKaikei = cn.get();
        return cn != nullptr;
    };
    const auto close = [] {
        const YearCloseResult r = CloseFiscalYear(0);
        if (!r.ok) std::fprintf(stderr, "year-end update failed at %s\n", qPrintable(r.failedStep));
        return r.ok;
    };

    // The writes of one untimed run.
    QStringList statements;
    {
        if (!open()) return 1;
        bench::WriteTrace trace(cn->handle());
        if (!close()) return 1;
        statements = trace.statements();
    }
    QString script;
    {
        bench::PlainDb plain(base);
        script = bench::scriptOf(withIndexesRebuilt(statements, plain));
    }
    if (statements.isEmpty() || script.count(QLatin1String("DROP INDEX")) == 0) {
        std::fprintf(stderr, "no delete of the journal traced\n");
        return 1;
    }

    bench::compare(QStringLiteral("year-end"), n, repeat, {open, close},
                   {[&] { return bench::copyFile(base, floorDb); },
                    [&] {
                        bench::PlainDb plain(floorDb);
                        return plain.exec(script);
                    }});
    gcnKaikei = nullptr;
    cn.reset();
    return bench::printRatios() ? 0 : 1;
}
