// Benchmark of the compaction of the database file against its floor
// (bench/ratio.h).
//
//   compaction_bench [N] [--repeat R]      (default: N = 100000, R = 3)
//
// A company-year of N journal lines (bench/gen_company_year.h) is generated
// once into a base file. Each run starts from a fresh copy of it (untimed):
//   compaction  CompactKaikeiDatabase on the program's connection (the
//               compacted copy written, checked, renamed over the file, the
//               connection opened again);
//   floor       a plain VACUUM INTO of another copy of the base.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <clocale>
#include <cstdio>

#include "app/common/globals.h"
#include "app/common/kaikeidb.h"
#include "bench/gen_company_year.h"
#include "bench/ratio.h"
#include "ledger/compaction.h"
#include "platform/connection.h"
#include "platform/datasource.h"
#include "platform/msgbox.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setlocale(LC_CTYPE, "C.UTF-8");
    gstrSoftName = QStringLiteral("Ralvek");
    platform::MsgBox::setResponder([](const platform::MsgRequest& m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return int(platform::vbOK);
    });

    int lines = 100000, repeat = 3;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--repeat") && i + 1 < args.size())
            repeat = std::max(1, args[++i].toInt());
        else if (args[i].toInt() > 0)
            lines = args[i].toInt();
    }

    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("base.mdb"));
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kaikei.mdb"));
    if (!bench::copyFile(shipped, base)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(shipped));
        return 1;
    }
    {
        auto cn = platform::Connection::open(base);
        bench::CompanyYearOptions options;
        options.lines = lines;
        if (!cn || !bench::generateCompanyYear(*cn, options)) {
            std::fprintf(stderr, "generation failed\n");
            return 1;
        }
    }
    gstrDataPath = dir.filePath(QStringLiteral("data/"));
    QDir().mkpath(gstrDataPath);
    if (!platform::DataSources::registerSource(KaikeiDataSource())) return 1;
    const QString floorDb = dir.filePath(QStringLiteral("floor.mdb"));
    const QString floorOut = dir.filePath(QStringLiteral("floor-compacted.mdb"));

    bench::compare(QStringLiteral("compaction"), lines, repeat,
                   {[&] {
                        CloseKaikeiConnection();
                        return bench::copyFile(base, gstrDataPath + DB_NAME) && OpenKaikeiConnection();
                    },
                    [] { return CompactKaikeiDatabase(); }},
                   {[&] { return bench::copyFile(base, floorDb) && (QFile::remove(floorOut), true); },
                    [&] {
                        bench::PlainDb plain(floorDb);
                        return plain.exec(QStringLiteral("VACUUM INTO '%1'").arg(floorOut));
                    }});
    CloseKaikeiConnection();
    return bench::printRatios() ? 0 : 1;
}
