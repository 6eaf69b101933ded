// Benchmark of the books and of a one-page statement on a generated
// company-year, each against its floor (bench/ratio.h).
//
//   ledger_bench [N] [--repeat R] [--keep FOLDER]   (default: N = 100000, R = 3)
//
// --keep leaves the database and the PDFs in FOLDER for a look afterwards.
//
// A fresh copy of the shipped database, a company-year of N journal lines
// (bench/gen_company_year.h) and the monthly summation done once; the floors
// read a copy of that database. Operations, each from the build of its work
// table to the written PDF:
//   general-ledger     PrintSokanjo over the whole year and every account,
//                      the report R_KANJYOMOTOTYO written as PDF; floor: the
//                      year's lines, both sides, with the account's number,
//                      the voucher's number and the counter account's
//                      number and name, in order of account, date, voucher,
//                      line and side;
//   subsidiary-ledger  PrintMotokanjo over the same range, R_HOJOMOTOTYO;
//                      floor: the sides whose counter account names a
//                      sub-account, with the voucher's number and the names
//                      of the line's accounts, in order of that sub-account
//                      and date;
//   journal-book       BuildSiwakeNikki over every voucher of the year,
//                      R_SIWAKE_NIKKI; floor: the year's lines with both
//                      sides' account and sub-account names and their
//                      voucher's number (the vouchers chosen by number and
//                      date), in voucher and line order;
//   *-build            the same three without the PDF: the build of the work
//                      table alone, against the same floors; a line
//                      "cpu <operation> <lines> <program s> <floor s>" on
//                      the standard error gives their processor times;
//   *-rows             the ledgers' report builders reading the work tables
//                      the builds left into report rows, handed to a sink
//                      that drops them (no pagination, no PDF): the reading
//                      alone, against the same floors, also in processor
//                      time;
//   statement-pdf      the balance sheet of the last month (built once,
//                      untimed), its report R_TS written as PDF: the fixed
//                      cost of a PDF, measured against the absolute target of
//                      30 ms (floor s is that target).
// The floors write their rows to a file, tab-separated.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/common/globals.h"
#include "bench/gen_company_year.h"
#include "bench/ratio.h"
#include "ledger/journalbook.h"
#include "ledger/ledgerbooks.h"
#include "ledger/monthlystatements.h"
#include "ledger/msum.h"
#include "ledger/printwork.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "platform/reportpaint.h"
#include "reports/allreports.h"
#include "reports/r_ledgers.h"
#include "reports/reportregistry.h"

namespace {

// Both sides of the year's lines, each under its account's number, with the
// voucher's number and the counter account's number and name as printed.
const char* kGeneralLedgerFloor =
    "SELECT K.KMCODE, M.SIDAY, SI.DENNO, M.DENMENO, 0 AS JUN, M.KRKIN + M.KRTKIN, C.KMCODE, C.KANNAME,"
    " M.KRAIHOCODE, M.TEKIYO FROM T_SI_MEISAI M JOIN T_KANJO K ON K.KOCODE = M.KRKOCODE"
    " JOIN T_SIWAKE SI ON SI.CID = M.CID AND SI.DENCODE = M.DENCODE"
    " LEFT JOIN T_KANJO C ON C.KOCODE = M.KRAICODE"
    " WHERE M.CID = ?1 AND M.DATEYM BETWEEN ?2 AND ?3"
    " UNION ALL "
    "SELECT K.KMCODE, M.SIDAY, SI.DENNO, M.DENMENO, 1, M.KSKIN + M.KSTKIN, C.KMCODE, C.KANNAME,"
    " M.KSAIHOCODE, M.TEKIYO FROM T_SI_MEISAI M JOIN T_KANJO K ON K.KOCODE = M.KSKOCODE"
    " JOIN T_SIWAKE SI ON SI.CID = M.CID AND SI.DENCODE = M.DENCODE"
    " LEFT JOIN T_KANJO C ON C.KOCODE = M.KSAICODE"
    " WHERE M.CID = ?1 AND M.DATEYM BETWEEN ?2 AND ?3"
    " ORDER BY 1, 2, 3, 4, 5";

// The sides whose counter account names a sub-account, seen from that
// sub-account, with its names, the voucher's number and the names of the
// line's two accounts as printed.
const char* kSubsidiaryLedgerFloor =
    "SELECT K.KMCODE, H.HOCODE, H.HONAME, M.SIDAY, SI.DENNO, M.DENMENO, 0 AS JUN, M.KRKIN, DA.KANNAME,"
    " CA.KANNAME, M.TEKIYO FROM T_SI_MEISAI M JOIN T_KANJO K ON K.KOCODE = M.KRAICODE"
    " JOIN T_HOJOKAMOKU H ON H.CID = M.CID AND H.KANKOCODE = M.KRAICODE AND H.HOKOCODE = M.KRAIHOCODE"
    " JOIN T_SIWAKE SI ON SI.CID = M.CID AND SI.DENCODE = M.DENCODE"
    " LEFT JOIN T_KANJO DA ON DA.KOCODE = M.KRKOCODE LEFT JOIN T_KANJO CA ON CA.KOCODE = M.KSKOCODE"
    " WHERE M.CID = ?1 AND M.DATEYM BETWEEN ?2 AND ?3 AND M.KRAIHOCODE <> ''"
    " UNION ALL "
    "SELECT K.KMCODE, H.HOCODE, H.HONAME, M.SIDAY, SI.DENNO, M.DENMENO, 1, M.KSKIN, DA.KANNAME,"
    " CA.KANNAME, M.TEKIYO FROM T_SI_MEISAI M JOIN T_KANJO K ON K.KOCODE = M.KSAICODE"
    " JOIN T_HOJOKAMOKU H ON H.CID = M.CID AND H.KANKOCODE = M.KSAICODE AND H.HOKOCODE = M.KSAIHOCODE"
    " JOIN T_SIWAKE SI ON SI.CID = M.CID AND SI.DENCODE = M.DENCODE"
    " LEFT JOIN T_KANJO DA ON DA.KOCODE = M.KRKOCODE LEFT JOIN T_KANJO CA ON CA.KOCODE = M.KSKOCODE"
    " WHERE M.CID = ?1 AND M.DATEYM BETWEEN ?2 AND ?3 AND M.KSAIHOCODE <> ''"
    " ORDER BY 1, 2, 4, 5, 6, 7";

// The year's lines with both sides' names and their voucher's number, in
// voucher and line order: the vouchers chosen by number and date as the
// program chooses them.
const char* kJournalBookFloor =
    "SELECT M.SIDAY, SI.DENNO, M.DENMENO, M.SISYU, KR.KMCODE, KR.KANNAME, HR.HOCODE, HR.HONAME, M.KRKIN,"
    " KS.KMCODE, KS.KANNAME, HS.HOCODE, HS.HONAME, M.KSKIN, M.TEKIYO"
    " FROM T_SI_MEISAI M JOIN T_SIWAKE SI ON SI.CID = M.CID AND SI.DENCODE = M.DENCODE"
    " LEFT JOIN T_KANJO KR ON KR.KOCODE = M.KRKOCODE LEFT JOIN T_KANJO KS ON KS.KOCODE = M.KSKOCODE"
    " LEFT JOIN T_HOJOKAMOKU HR ON HR.CID = M.CID AND HR.KANKOCODE = M.KRKOCODE AND HR.HOKOCODE = M.KRHOKOCODE"
    " LEFT JOIN T_HOJOKAMOKU HS ON HS.CID = M.CID AND HS.KANKOCODE = M.KSKOCODE AND HS.HOKOCODE = M.KSHOKOCODE"
    " WHERE M.CID = ?1 AND SI.CID = ?1 AND SI.DENNO BETWEEN ?2 AND ?3 AND SI.DENDAY BETWEEN ?4 AND ?5"
    " ORDER BY M.DENCODE, M.DENMENO";

// Processor seconds of this process: on a shared machine they show what a
// step costs better than wall time.
double processorSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Runs bench::compare with both sides' processor seconds recorded, and
// prints their medians: "cpu <operation> <program s> <floor s>".
void compareWithProcessorTime(const QString& operation, long long lines, int repeat, const bench::Side& program,
                              const bench::Side& floor) {
    std::vector<double> programCpu, floorCpu;
    const auto counted = [](const bench::Side& side, std::vector<double>& times) {
        return bench::Side{side.prepare, [&side, &times] {
                               const double start = processorSeconds();
                               const bool ok = side.work();
                               times.push_back(processorSeconds() - start);
                               return ok;
                           }};
    };
    bench::compare(operation, lines, repeat, counted(program, programCpu), counted(floor, floorCpu));
    std::fprintf(stderr, "cpu %s %lld %.3f %.3f\n", qPrintable(operation), lines, bench::medianOf(programCpu),
                 bench::medianOf(floorCpu));
}

// Takes a report's rows and drops them, counting them.
class DroppingSink : public platform::report::TableSink {
public:
    void group(const QString&) override { ++groups; }
    void row(platform::report::Row&&) override { ++rows; }
    long long groups = 0, rows = 0;
};

// Runs a report builder into a document whose table drops its rows.
bool readRows(bool (*builder)(platform::Connection&, platform::report::Document&)) {
    platform::report::Document doc;
    DroppingSink sink;
    doc.table.sink = &sink;
    return builder(*gcnKaikei, doc) && sink.rows > 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    gstrSoftName = QStringLiteral("Ralvek");
    platform::MsgBox::setResponder([](const platform::MsgRequest& m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(platform::vbOK);
    });
    reports::RegisterAllReports();

    int lines = 100000, repeat = 3;
    QString keep;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i] == QStringLiteral("--keep") && i + 1 < args.size())
            keep = args[++i];
        else if (args[i].toInt() > 0)
            lines = args[i].toInt();
    }

    QTemporaryDir tmp;
    const QDir dir(keep.isEmpty() ? tmp.path() : keep);
    if (!keep.isEmpty()) QDir().mkpath(keep);
    const QString path = dir.filePath(QStringLiteral("Kaikei.mdb"));
    const QString floorDb = dir.filePath(QStringLiteral("floor.mdb"));
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
    if (!bench::copyFile(shipped, path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(shipped));
        return 1;
    }
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
    const auto vouchers = ListJournalVouchers();
    if (!msum_main(year->fromYM, year->toYM, false) || !msum_main(year->fromYM, year->toYM, true) || !vouchers ||
        vouchers->empty() || !bench::copyFile(path, floorDb)) {
        std::fprintf(stderr, "preparation failed\n");
        return 1;
    }
    bench::PlainDb plain(floorDb);
    const QString rowsFile = dir.filePath(QStringLiteral("floor.txt"));
    const QStringList yearParams{gstrCID, year->fromYM, year->toYM};
    const auto floorQuery = [&](const char* sql, const QStringList& params) {
        return bench::Side{{}, [&, sql, params] { return plain.queryToFile(QString::fromUtf8(sql), params, rowsFile); }};
    };
    const auto pdf = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    const QString header1 = QStringLiteral("2009年 4月"), header2 = QStringLiteral("2010年 3月");

    const LedgerRange range{year->fromYM, year->fromYM, year->toYM, QStringLiteral("000"), QStringLiteral("999")};
    bench::compare(QStringLiteral("general-ledger"), lines, repeat,
                   {{},
                    [&] {
                        return PrintSokanjo(range) && WritePrintHeader(header1, header2) &&
                               WriteReportPdf(QStringLiteral("R_KANJYOMOTOTYO"), pdf("general-ledger.pdf"));
                    }},
                   floorQuery(kGeneralLedgerFloor, yearParams));
    bench::compare(QStringLiteral("subsidiary-ledger"), lines, repeat,
                   {{},
                    [&] {
                        return PrintMotokanjo(range) && WritePrintHeader(header1, header2) &&
                               WriteReportPdf(QStringLiteral("R_HOJOMOTOTYO"), pdf("subsidiary-ledger.pdf"));
                    }},
                   floorQuery(kSubsidiaryLedgerFloor, yearParams));
    const JournalRange journal = JournalRangeOf(vouchers->front(), vouchers->back());
    const QStringList journalParams{gstrCID, journal.fromVoucher, journal.toVoucher, journal.fromDate, journal.toDate};
    bench::compare(QStringLiteral("journal-book"), lines, repeat,
                   {{},
                    [&] {
                        return BuildSiwakeNikki(journal) &&
                               WriteReportPdf(QStringLiteral("R_SIWAKE_NIKKI"), pdf("journal-book.pdf"));
                    }},
                   floorQuery(kJournalBookFloor, journalParams));

    // The builds alone, without their PDFs, also in processor time.
    compareWithProcessorTime(QStringLiteral("general-ledger-build"), lines, repeat,
                             {{}, [&] { return PrintSokanjo(range); }}, floorQuery(kGeneralLedgerFloor, yearParams));
    compareWithProcessorTime(QStringLiteral("subsidiary-ledger-build"), lines, repeat,
                             {{}, [&] { return PrintMotokanjo(range); }},
                             floorQuery(kSubsidiaryLedgerFloor, yearParams));
    compareWithProcessorTime(QStringLiteral("journal-book-build"), lines, repeat,
                             {{}, [&] { return BuildSiwakeNikki(journal); }},
                             floorQuery(kJournalBookFloor, journalParams));

    // The reading of the work tables into report rows alone: the last builds
    // above left both tables filled, and the header row is written once.
    if (!PrintSokanjo(range) || !PrintMotokanjo(range) || !WritePrintHeader(header1, header2)) {
        std::fprintf(stderr, "ledger builds failed\n");
        return 1;
    }
    compareWithProcessorTime(QStringLiteral("general-ledger-rows"), lines, repeat,
                             {{}, [] { return readRows(&reports::BuildRKanjyoMotoTyo); }},
                             floorQuery(kGeneralLedgerFloor, yearParams));
    compareWithProcessorTime(QStringLiteral("subsidiary-ledger-rows"), lines, repeat,
                             {{}, [] { return readRows(&reports::BuildRHojoMotoTyo); }},
                             floorQuery(kSubsidiaryLedgerFloor, yearParams));

    const StatementMonth month{year->fromYM, year->toYM, QStringLiteral("2010年 3月")};
    if (!BuildTaisyakuTaisyo(month)) {
        std::fprintf(stderr, "balance sheet failed\n");
        return 1;
    }
    bench::againstTarget(QStringLiteral("statement-pdf"), lines, repeat,
                         {{}, [&] { return WriteReportPdf(QStringLiteral("R_TS"), pdf("statement.pdf")); }}, 0.030);

    gcnKaikei = nullptr;
    return bench::printRatios() ? 0 : 1;
}
