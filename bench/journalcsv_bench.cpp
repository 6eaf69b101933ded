// Benchmark of the journal CSV pair on a generated company-year
// (bench/gen_company_year.h), each against its floor (bench/ratio.h):
//   csv-export  the export of all months; floor: the sqlite3 shell's CSV of
//               the same dated lines in voucher and line order, with their
//               mark as exported, through iconv into CP932;
//   csv-import  the import of the pair written; floor: the line file through
//               iconv into UTF-8 and the sqlite3 shell's .import of it in one
//               transaction that first deletes the company's dated lines.
// The floors work on a copy of the database made after the generation.
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
#include "bench/ratio.h"
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
    if (!bench::generateCompanyYear(*cn, options) || !ResetCompanyData(gstrCID)) {
        std::fprintf(stderr, "generation failed\n");
        return 1;
    }
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString floorOut = dir.filePath(QStringLiteral("floor"));
    QDir().mkpath(out);
    QDir().mkpath(floorOut);
    const QString floorDb = dir.filePath(QStringLiteral("floor.mdb"));
    if (!bench::copyFile(db, floorDb)) return 1;
    const QString lineFile = QDir(out).filePath(JournalCsvLineFileName(gstrCID, QString()));
    const QString floorCsv = QDir(floorOut).filePath(QStringLiteral("lines.csv"));
    const QString floorUtf8 = QDir(floorOut).filePath(QStringLiteral("lines-utf8.csv"));
    const QString where = QStringLiteral(" WHERE CID = '%1' AND IFNULL(SIDAY, '') <> ''").arg(gstrCID);

    bench::compare(QStringLiteral("csv-export"), n, repeat,
                   {{}, [&] { return ExportJournalCsv(out, QString()) == JournalCsvResult::Done; }},
                   {{}, [&] {
                        const QString sql = QStringLiteral("BEGIN; SELECT * FROM T_SI_MEISAI") + where +
                                            QStringLiteral(" ORDER BY DENCODE, DENMENO; UPDATE T_SI_MEISAI SET"
                                                           " KRBUKBN = '01'") +
                                            where + QStringLiteral("; COMMIT;");
                        return bench::shellCommand(QStringLiteral("sqlite3 -csv %1 %2 | iconv -f UTF-8 -t CP932 > %3")
                                                       .arg(bench::shellQuote(floorDb), bench::shellQuote(sql),
                                                            bench::shellQuote(floorCsv)));
                    }});
    bench::compare(QStringLiteral("csv-import"), n, repeat,
                   {{}, [&] { return ImportJournalCsv(out, QString()) == JournalCsvResult::Done; }},
                   {{}, [&] {
                        return bench::shellCommand(QStringLiteral("iconv -f CP932 -t UTF-8 %1 > %2")
                                                       .arg(bench::shellQuote(lineFile), bench::shellQuote(floorUtf8))) &&
                               bench::sqliteShell(floorDb, QStringLiteral("BEGIN;\nDELETE FROM T_SI_MEISAI") + where +
                                                               QStringLiteral(";\n.import --csv ") + floorUtf8 +
                                                               QStringLiteral(" T_SI_MEISAI\nCOMMIT;\n"));
                    }});
    gcnKaikei = nullptr;
    return bench::printRatios() ? 0 : 1;
}
