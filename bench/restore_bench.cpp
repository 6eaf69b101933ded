// Benchmark of the restore from a backup set in a chosen folder, on a
// generated company-year, against its floor (bench/ratio.h).
//
//   restore_bench [N ...] [--repeat R]      (default: N = 100000, R = 3)
//
// For each N: a fresh copy of the shipped database and a company-year of N
// journal lines (bench/gen_company_year.h), the backup into a chosen folder
// written once (23 files), a copy of the database for the floor, then
//   restore  the restore of that set (in one transaction: each of the 23
//            files read in chunks, every line checked and written in place
//            of the company's rows of its table, then the months flagged
//            and the month totals deleted);
//   floor    the 23 files through iconv into UTF-8 and, in one transaction
//            of the sqlite3 shell, each table's rows of the company (the
//            whole chart for the first file) deleted and the file loaded by
//            .import.
// After the runs the journal is checked to hold the N lines it held before,
// in the program's database and in the floor's.

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
#include "bench/ratio.h"
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
    int repeat = 3;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i].toInt() > 0)
            sizes.push_back(args[i].toInt());
    }
    if (sizes.empty()) sizes = {100000};

    bool ok = true;
    for (int n : sizes) {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Kaikei.mdb"));
        const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
        if (!bench::copyFile(shipped, db)) {
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(shipped));
            return 1;
        }
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
        const QString utf8 = dir.filePath(QStringLiteral("utf8/"));
        QDir().mkpath(gstrDataPath);
        QDir().mkpath(set);
        QDir().mkpath(utf8);
        const qint64 before = journalLines(*cn);
        if (DataBackUp(BackupKind::Chosen, {}, [&] { return std::optional<QString>(set); }) != BackupResult::Written) {
            std::fprintf(stderr, "backup failed\n");
            return 1;
        }
        const QString floorDb = dir.filePath(QStringLiteral("floor.mdb"));
        if (!bench::copyFile(db, floorDb)) return 1;

        // The floor's conversion and its script.
        QString convert = QStringLiteral("set -e\n");
        QString script = QStringLiteral("BEGIN;\n");
        const auto catalogue =
            cn->query(QStringLiteral("SELECT SEQNO, TEXTNAME, KEISIKI FROM T_BACKUP ORDER BY SEQNO"));
        if (!catalogue) return 1;
        for (const platform::Row& r : *catalogue) {
            const QString from = set + r.text(1) + QStringLiteral(".txt");
            const QString to = utf8 + r.text(1) + QStringLiteral(".csv");
            convert += QStringLiteral("iconv -f CP932 -t UTF-8 %1 > %2\n")
                           .arg(bench::shellQuote(from), bench::shellQuote(to));
            script += QStringLiteral("DELETE FROM ") + r.text(2) +
                      (r.integer(0) > 1 ? QStringLiteral(" WHERE CID = '") + gstrCID + QStringLiteral("'")
                                        : QString()) +
                      QStringLiteral(";\n.import --csv ") + to + QLatin1Char(' ') + r.text(2) + QLatin1Char('\n');
        }
        script += QStringLiteral("COMMIT;\n");

        bench::compare(QStringLiteral("restore"), n, repeat,
                       {{}, [&] { return RestoreBackupSet(set) == RestoreResult::Restored; }},
                       {{}, [&] { return bench::shellCommand(convert) && bench::sqliteShell(floorDb, script); }});
        const qint64 after = journalLines(*cn);
        gcnKaikei = nullptr;
        const auto floorCn = platform::Connection::open(floorDb);
        const qint64 floorAfter = floorCn ? journalLines(*floorCn) : -1;
        if (after != before || floorAfter != before) {
            std::fprintf(stderr, "journal lines: %lld before, %lld after, %lld in the floor's copy\n", before, after,
                         floorAfter);
            ok = false;
        }
    }
    return bench::printRatios() && ok ? 0 : 1;
}
