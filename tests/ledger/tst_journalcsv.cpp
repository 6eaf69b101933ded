// The journal CSV pair on copies of the shipped database: a round trip into
// an empty copy (commas, quotes, line ends, full-width text, fractions of a
// yen), two monthly batches imported in order, damaged or foreign pairs
// refused before anything changes, the journal table's indexes whole after
// an import or a failed one, and the line file read by Python's csv module
// with the cp932 codec.

#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/common/globals.h"
#include "ledger/journalcsv.h"
#include "ledger/period.h"
#include "ledger/records.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/hostilevalues.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

namespace {

const QString kApril = QStringLiteral("2003年 4月");
const QString kMay = QStringLiteral("2003年 5月");

JournalLine makeLine(const QString& code, const QString& no, const QString& day, const QString& amount,
                     const QString& tekiyo) {
    JournalLine line;
    line.denCode = code;
    line.denMeNo = no;
    line.cid = QStringLiteral("51");
    line.siDay = day;
    line.dateYm = day.left(7);
    line.sisyu = QStringLiteral("1");
    line.kr.kocode = QStringLiteral("004");
    line.ks.kocode = QStringLiteral("041");
    line.kr.aicode = line.ks.kocode;
    line.ks.aicode = line.kr.kocode;
    for (JournalSide* s : {&line.kr, &line.ks}) {
        s->bukbn = QStringLiteral("00");
        s->tkbn = QStringLiteral("5");
        s->tkocode = QStringLiteral("000");
        s->kin = s->tkinNo = Currency::fromText(amount);
    }
    line.kr.tritu = 1.5;
    line.tekiyo = tekiyo;
    return line;
}

QStringList dump(const QString& where = QString()) {
    QStringList rows;
    const auto all = gcnKaikei->query(QStringLiteral("SELECT * FROM T_SI_MEISAI ") + where +
                                      QStringLiteral(" ORDER BY CID, DENCODE, DENMENO"));
    if (!all) return {QStringLiteral("<query failed>")};
    for (const platform::Row& r : *all) {
        QStringList v;
        for (int i = 0; i < r.size(); ++i) v << r.text(i);
        rows << v.join(QLatin1Char('|'));
    }
    return rows;
}

// The journal table's indexes as the database defines them.
QStringList journalIndexes() {
    QStringList out;
    const auto rows = gcnKaikei->query(QStringLiteral(
        "SELECT name, IFNULL(sql, '') FROM sqlite_master WHERE type = 'index' AND tbl_name = 'T_SI_MEISAI' ORDER BY name"));
    if (!rows) return {QStringLiteral("<query failed>")};
    for (const platform::Row& r : *rows) out << r.text(0) + QLatin1Char(' ') + r.text(1);
    return out;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

}  // namespace

class TestJournalCsv : public QObject {
    Q_OBJECT

    // A fresh copy with company 51 (named name) current and no journal.
    void openCompany(const QString& name) {
        db_.reset();
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrCID = QStringLiteral("51");
        for (const char* t : {"T_SI_MEISAI", "T_SIWAKE", "T_COMP_MAIN", "WK_COMPANY", "T_SIMEISAI_FUKYU"})
            QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM ") + QLatin1String(t)));
        QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU) "
                                               "VALUES ('51', ?, '2003/04/01', '2004/03/31', '1', 1)"),
                                {name}));
        {
            platform::Transaction tx(*gcnKaikei);  // as its callers in the program run it
            QVERIFY(ResetCompanyData(gstrCID));
            QVERIFY(tx.commit());
        }
    }

    void addLines(const std::vector<JournalLine>& lines) {
        platform::Transaction tx(*gcnKaikei);
        for (const JournalLine& l : lines) QVERIFY(WriteSiMeisaiTable(l, QStringLiteral("T_SI_MEISAI")));
        QVERIFY(tx.commit());
    }

    // April and May lines with awkward descriptions and amounts, one line
    // without a day, and a line of another company.
    void addFixture() {
        addLines({makeLine("00001", "001", "2003/04/01", "1234.5678", QStringLiteral("売上, \"特価\"品")),
                  makeLine("00001", "002", "2003/04/01", "-320.5", QStringLiteral("読点、摘要，全角　ｶﾅ")),
                  makeLine("00002", "001", "2003/04/30", "0", QString()),
                  makeLine("00003", "001", "2003/05/02", "99999999.99", QStringLiteral("\"\"")),
                  makeLine("00004", "001", QString(), "10", QStringLiteral("日付なし"))});
        JournalLine other = makeLine("00001", "001", "2003/04/01", "5", QStringLiteral("他社"));
        other.cid = QStringLiteral("52");
        addLines({other});
    }

private slots:
    void initTestCase() { testenv::isolate(); }
    void cleanup() { db_.reset(); }

    void roundTripIntoEmptyCopy() {
        QTemporaryDir dir;
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        addFixture();
        const QStringList dated = dump(QStringLiteral("WHERE CID = '51' AND SIDAY <> ''"));
        QCOMPARE(ExportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        const QString linePath = dir.filePath(QStringLiteral("Data51_00.CSV"));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Kaisha51_00.CSV"))));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no temporary left
        // Every dated line of the company is marked, and a second export writes them all again.
        QCOMPARE(dump(QStringLiteral("WHERE KRBUKBN = '01'")).size(), 4);
        const QByteArray first = readAll(linePath);
        QTemporaryDir again;
        QCOMPARE(ExportJournalCsv(again.path(), QString()), JournalCsvResult::Done);
        QCOMPARE(ReadCsvRecords(readAll(again.filePath(QStringLiteral("Data51_00.CSV"))), 31, nullptr)->size(), 4);
        QVERIFY(first.startsWith("\"00001\",\"001\",\"51\",\"2003/04/01\",\"2003/04\",\"1\",\"004\",\"\",\"00\",\"5\","
                                 "\"000\",\"1.5\",\"0\",\"1234.5678\",\"1234.5678\","));

        openCompany(QStringLiteral("受け側"));
        addLines({makeLine("00004", "001", QString(), "10", QStringLiteral("日付なし"))});
        boxes.clear();
        QCOMPARE(ImportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        QCOMPARE(boxes.last().text, QStringLiteral("取込処理が正しく終了しました"));
        QCOMPARE(dump(QStringLiteral("WHERE SIDAY <> ''")), dated);
        QCOMPARE(dump(QStringLiteral("WHERE IFNULL(SIDAY, '') = ''")).size(), 1);  // undated line stays
        // The company file's values never stay; the first voucher is dated by the first line.
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("SELECT COMPANY FROM WK_COMPANY"))->toString(),
                 QStringLiteral("受け側"));
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("SELECT DENDAY FROM T_SIWAKE WHERE CID = '51'"))->toString(),
                 QStringLiteral("2003/04/01"));
        // Importing the same pair again gives the same journal.
        QCOMPARE(ImportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        QCOMPARE(dump(QStringLiteral("WHERE SIDAY <> ''")), dated);
    }

    // A journal of several written blocks comes back from the pair exactly
    // as it was, and exporting the imported lines gives the same bytes.
    void manyBlocksRoundTrip() {
        QTemporaryDir dir, again;
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        QVERIFY(gcnKaikei->exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12000) "
            "INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE, KRTRITU, KRKIN, "
            "KSKOCODE, KSKIN, TEKIYO) "
            "SELECT printf('%05d', 10 + i / 100), printf('%03d', i % 100), '51', "
            "printf('2003/%02d/%02d', 4 + i % 9, 1 + i % 28), printf('2003/%02d', 4 + i % 9), "
            "CASE WHEN i % 7 = 0 THEN NULL ELSE '1' END, printf('%03d', i % 40), (i % 5) * 0.25, "
            "i * 12345 - 600000, '004', i * 10000, "
            "CASE i % 4 WHEN 0 THEN '売上 \"特価\", ' || i WHEN 1 THEN '' WHEN 2 THEN 'ｶﾅ ' || i "
            "ELSE '\"\"' END FROM n")));
        const QStringList dated = dump(QStringLiteral("WHERE CID = '51' AND SIDAY <> ''"));
        QCOMPARE(ExportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        const QByteArray first = readAll(dir.filePath(QStringLiteral("Data51_00.CSV")));
        QVERIFY(first.size() > (1 << 20));  // more than one block
        QCOMPARE(ReadCsvRecords(first, 31, nullptr)->size(), 12000);

        openCompany(QStringLiteral("受け側"));
        QCOMPARE(ImportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        QCOMPARE(dump(QStringLiteral("WHERE SIDAY <> ''")), dated);
        QCOMPARE(ExportJournalCsv(again.path(), QString()), JournalCsvResult::Done);
        QCOMPARE(readAll(again.filePath(QStringLiteral("Data51_00.CSV"))), first);
    }

    // An export killed before each of its changes of the folder (and once
    // after its end), into a folder with an earlier pair or none: the
    // folder's visible files are the old pair, the new pair or the new
    // company file beside the old line file (or none), never a line file
    // without its company file nor a part of a file; the next export leaves
    // the new pair and nothing else.
    void exportKilledAtEveryStep_data() {
        QTest::addColumn<bool>("earlierPair");
        QTest::newRow("over an earlier pair") << true;
        QTest::newRow("into an empty folder") << false;
    }
    void exportKilledAtEveryStep() {
        QFETCH(bool, earlierPair);
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("旧社名"));
        addFixture();
        const QString line = QStringLiteral("Data51_00.CSV"), company = QStringLiteral("Kaisha51_00.CSV");
        auto pairIn = [&](const QString& folder) {
            const QDir dir(folder);
            QMap<QString, QByteArray> files;
            for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
                files[name] = QCryptographicHash::hash(readAll(dir.filePath(name)), QCryptographicHash::Sha1);
            return files;
        };
        QTemporaryDir scratch, oldDir, newDir;
        // Exported once first, so that the lines' export mark is the same in every later file.
        QCOMPARE(ExportJournalCsv(scratch.path(), QString()), JournalCsvResult::Done);
        QCOMPARE(ExportJournalCsv(oldDir.path(), QString()), JournalCsvResult::Done);
        const auto oldPair = pairIn(oldDir.path());
        addLines({makeLine("00005", "001", "2003/04/15", "77", QStringLiteral("追加"))});
        QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE WK_COMPANY SET COMPANY = '新社名'")));
        QCOMPARE(ExportJournalCsv(scratch.path(), QString()), JournalCsvResult::Done);
        QStringList steps;
        SetJournalCsvExportStepHook([&](const QString& step) { steps << step; });
        QCOMPARE(ExportJournalCsv(newDir.path(), QString()), JournalCsvResult::Done);
        SetJournalCsvExportStepHook({});
        const auto newPair = pairIn(newDir.path());
        QCOMPARE(newPair.keys(), (QStringList{line, company}));
        QVERIFY(newPair[line] != oldPair[line] && newPair[company] != oldPair[company]);
        QVERIFY2(steps.size() >= 4, qPrintable(steps.join('\n')));

        for (int kill = 0; kill <= steps.size(); ++kill) {
            const QString at = kill < steps.size() ? QStringLiteral("killed before ") + steps[kill]
                                                   : QStringLiteral("killed after the end");
            QTemporaryDir target;
            if (earlierPair)
                for (const QString& name : oldPair.keys())
                    QVERIFY(QFile::copy(oldDir.filePath(name), target.filePath(name)));
            const pid_t child = ::fork();
            if (child == 0) {
                int step = 0;
                SetJournalCsvExportStepHook([&](const QString&) {
                    if (step++ == kill) ::_exit(0);
                });
                ExportJournalCsv(target.path(), QString());
                ::_exit(0);
            }
            int wstatus = 0;
            QCOMPARE(::waitpid(child, &wstatus, 0), child);
            QVERIFY(WIFEXITED(wstatus));

            QMap<QString, QByteArray> visible;
            for (const QString& name : QDir(target.path()).entryList(QDir::Files)) visible[name] = pairIn(target.path())[name];
            QMap<QString, QByteArray> mixed = earlierPair ? oldPair : QMap<QString, QByteArray>();
            mixed[company] = newPair[company];
            const QMap<QString, QByteArray> before = earlierPair ? oldPair : QMap<QString, QByteArray>();
            QVERIFY2(visible == before || visible == newPair || visible == mixed, qPrintable(at));

            // The next export over whatever the kill left.
            QCOMPARE(ExportJournalCsv(target.path(), QString()), JournalCsvResult::Done);
            QCOMPARE(pairIn(target.path()), newPair);
        }
    }

    // A link standing at a file's name in the chosen folder is replaced by
    // the file; what it points to, outside the folder, is never written.
    void exportNeverThroughALink() {
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        addFixture();
        QTemporaryDir dir, outside;
        for (const char* name : {"Data51_00.CSV", "Kaisha51_00.CSV"}) {
            const QString target = outside.filePath(QLatin1String(name));
            writeAll(target, "outside");
            QVERIFY(QFile::link(target, dir.filePath(QLatin1String(name))));
        }
        QCOMPARE(ExportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        for (const char* name : {"Data51_00.CSV", "Kaisha51_00.CSV"}) {
            QCOMPARE(readAll(outside.filePath(QLatin1String(name))), QByteArray("outside"));
            QVERIFY(!QFileInfo(dir.filePath(QLatin1String(name))).isSymLink());
            QVERIFY(readAll(dir.filePath(QLatin1String(name))).startsWith("\""));
        }
    }

    // An independent reader: Python's csv module with the cp932 codec.
    void lineFileReadByPython() {
        QTemporaryDir dir;
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        addFixture();
        QStringList expected = dump(QStringLiteral("WHERE CID = '51' AND SIDAY <> ''"));
        QCOMPARE(ExportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        QProcess py;
        py.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv,json,sys\n"
                                 "with open(sys.argv[1], encoding='cp932', newline='') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f)), ensure_ascii=True))"),
                  dir.filePath(QStringLiteral("Data51_00.CSV"))});
        QVERIFY(py.waitForFinished(20000));
        QCOMPARE(py.exitCode(), 0);
        const QJsonArray rows = QJsonDocument::fromJson(py.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), expected.size());
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList want = expected[r].split(QLatin1Char('|'));
            const QJsonArray got = rows[r].toArray();
            QCOMPARE(got.size(), 31);
            for (int i : {0, 1, 2, 3, 29}) QCOMPARE(got[i].toString(), want[i]);
            // Amounts as decimal text, the exact Currency stored.
            QCOMPARE(Currency::fromText(got[14].toString()).raw(), want[14].toLongLong());
        }
    }

    // Two monthly exports imported in order lose nothing.
    void twoBatchesInOrder() {
        QTemporaryDir dir;
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        addFixture();
        const QStringList dated = dump(QStringLiteral("WHERE CID = '51' AND SIDAY <> ''"));
        QCOMPARE(ExportJournalCsv(dir.path(), kApril), JournalCsvResult::Done);
        QCOMPARE(ExportJournalCsv(dir.path(), kMay), JournalCsvResult::Done);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Data51_2003年 4月.CSV"))));

        openCompany(QStringLiteral("受け側"));
        QCOMPARE(ImportJournalCsv(dir.path(), kApril), JournalCsvResult::Done);
        QCOMPARE(ImportJournalCsv(dir.path(), kMay), JournalCsvResult::Done);
        QCOMPARE(dump(QStringLiteral("WHERE SIDAY <> ''")), dated);
        // A month without a pair is refused.
        QCOMPARE(ImportJournalCsv(dir.path(), QStringLiteral("2003年 6月")), JournalCsvResult::Failed);
        QCOMPARE(boxes.last().text, QStringLiteral("データが見つかりませんので、取込処理を中止します。"));
    }

    // An import that replaces most of the journal builds the table's indexes
    // again, one that replaces a small part keeps them up to date; either way,
    // and when the import fails half way, the indexes are those defined
    // before and the page cache has its own size again.
    void journalIndexesWhole_data() {
        QTest::addColumn<QString>("month");
        QTest::addColumn<int>("otherLines");  // lines of another company beside
        QTest::addColumn<bool>("fails");
        QTest::newRow("all months, alone") << QString() << 0 << false;
        QTest::newRow("a month beside many lines") << kApril << 50 << false;
        QTest::newRow("all months, alone, copy fails") << QString() << 0 << true;
        QTest::newRow("a month beside many lines, copy fails") << kApril << 50 << true;
    }
    void journalIndexesWhole() {
        QFETCH(QString, month);
        QFETCH(int, otherLines);
        QFETCH(bool, fails);
        QTemporaryDir dir;
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        addFixture();
        QCOMPARE(ExportJournalCsv(dir.path(), month), JournalCsvResult::Done);
        for (int i = 0; i < otherLines; ++i) {
            JournalLine other = makeLine(QStringLiteral("%1").arg(i + 10, 5, 10, QLatin1Char('0')), "001", "2003/04/02",
                                         "7", QStringLiteral("他社"));
            other.cid = QStringLiteral("52");
            addLines({other});
        }
        const QStringList indexes = journalIndexes();
        QCOMPARE(indexes.size(), 5);
        // Unmarked again, as the file holds the lines: an import gives the same journal.
        QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_SI_MEISAI SET KRBUKBN = '00'")));
        const QStringList before = dump();
        const qint64 cacheSize = gcnKaikei->scalar(QStringLiteral("PRAGMA cache_size"))->toLongLong();
        if (fails) {
            QVERIFY(gcnKaikei->exec(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE INSERT ON main.T_SI_MEISAI "
                                                   "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        }
        QCOMPARE(ImportJournalCsv(dir.path(), month), fails ? JournalCsvResult::Failed : JournalCsvResult::Done);
        QCOMPARE(journalIndexes(), indexes);
        QCOMPARE(dump(), before);
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("PRAGMA integrity_check"))->toString(), QStringLiteral("ok"));
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("PRAGMA cache_size"))->toLongLong(), cacheSize);
    }

    // Faults of an earlier kind are reported first wherever they are in the
    // line file: a line that is no CP932, then the CSV syntax, then the
    // records' values; nothing changes.
    void faultsReportedByKind_data() {
        QTest::addColumn<QByteArray>("line1From");
        QTest::addColumn<QByteArray>("line1To");
        QTest::addColumn<QByteArray>("line3From");
        QTest::addColumn<QByteArray>("line3To");
        QTest::addColumn<QString>("message");
        QTest::newRow("syntax after a refused amount")
            << QByteArray("\"1234.5678\",") << QByteArray("\"1,234\",") << QByteArray("\"0\",") << QByteArray("")
            << "3行目: 値の数が";
        QTest::newRow("not CP932 after a syntax fault")
            << QByteArray("\"1234.5678\",") << QByteArray("") << QByteArray("\"00002\",") << QByteArray("\"\x81\x7f\",")
            << "3行目: Shift-JIS(CP932)として読めない";
    }
    void faultsReportedByKind() {
        QFETCH(QByteArray, line1From);
        QFETCH(QByteArray, line1To);
        QFETCH(QByteArray, line3From);
        QFETCH(QByteArray, line3To);
        QFETCH(QString, message);
        QTemporaryDir dir;
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        addFixture();
        QCOMPARE(ExportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        const QString path = dir.filePath(QStringLiteral("Data51_00.CSV"));
        QList<QByteArray> lines = readAll(path).split('\n');
        QVERIFY(lines.size() >= 4 && lines[0].contains(line1From) && lines[2].contains(line3From));
        lines[0].replace(line1From, line1To);
        lines[2].replace(line3From, line3To);
        writeAll(path, lines.join('\n'));
        const QStringList before = dump();
        boxes.clear();
        QCOMPARE(ImportJournalCsv(dir.path(), QString()), JournalCsvResult::Failed);
        QCOMPARE(boxes.count(), 1);
        QVERIFY2(boxes.last().text.contains(message), qPrintable(boxes.last().text));
        QCOMPARE(dump(), before);
    }

    void damagedOrForeignPairRefused_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("message");
        // Truncated within the last value, and after a complete value.
        QTest::newRow("truncated in a value") << "Data" << QByteArray("\"\"\"\"\"\",\"\"\r\n$") << QByteArray("\"\"\"\"\"\",\"") << "最後のレコードが途中で終わっています";
        QTest::newRow("truncated after a value") << "Data" << QByteArray(",\"\"\r\n$") << QByteArray(",\"\"") << "最後のレコードが途中で終わっています";
        QTest::newRow("value missing") << "Data" << QByteArray("\"1.5\",") << QByteArray("") << "1行目: 値の数が30個です";
        QTest::newRow("not CP932") << "Data" << QByteArray("\"00001\",\"002\"") << QByteArray("\"00001\",\"\x81\x7f\"") << "2行目: Shift-JIS(CP932)として読めない";
        QTest::newRow("amount no number") << "Data" << QByteArray("\"1234.5678\",") << QByteArray("\"1,234\",") << "数値ではありません";
        QTest::newRow("line of another company") << "Data" << QByteArray("\"2003/05/02\"") << QByteArray("\"2003/05/02\"") << "";
        QTest::newRow("company file of another company") << "Kaisha" << QByteArray("^\"51\"") << QByteArray("\"52\"") << "他の会社（会社コード 52）";
        QTest::newRow("empty company file") << "Kaisha" << QByteArray(".*") << QByteArray("") << "File is NULL";
    }

    // Refused pairs leave the journal, the staging table and WK_COMPANY as they were.
    void damagedOrForeignPairRefused() {
        QFETCH(QString, file);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, message);
        QTemporaryDir dir;
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        addFixture();
        QCOMPARE(ExportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        const QString path = dir.filePath(file + QStringLiteral("51_00.CSV"));
        QByteArray bytes = readAll(path);
        if (QTest::currentDataTag() == QLatin1String("line of another company")) {
            const qsizetype at = bytes.indexOf("\"00003\",\"001\",\"51\"");
            QVERIFY(at > 0);
            bytes.replace(at, 18, "\"00003\",\"001\",\"52\"");
            message = QStringLiteral("他の会社（会社コード 52）");
        } else if (from == ".*") {
            bytes.clear();
        } else if (from.endsWith('$')) {
            const QByteArray tail = from.chopped(1);
            QVERIFY(bytes.endsWith(tail));
            bytes.chop(tail.size());
            bytes += to;
        } else if (from.startsWith('^')) {
            bytes.replace(0, from.size() - 1, to);
        } else {
            const qsizetype at = bytes.indexOf(from);
            QVERIFY(at >= 0);
            bytes.replace(at, from.size(), to);
        }
        writeAll(path, bytes);
        QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO T_SIMEISAI_FUKYU (DENCODE, DENMENO, CID) VALUES ('9', '9', '99')")));
        const QStringList before = dump();
        const QString company = gcnKaikei->scalar(QStringLiteral("SELECT COMPANY FROM WK_COMPANY"))->toString();
        boxes.clear();
        QCOMPARE(ImportJournalCsv(dir.path(), QString()), JournalCsvResult::Failed);
        QVERIFY2(boxes.last().text.contains(message), qPrintable(boxes.last().text));
        QCOMPARE(dump(), before);
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("SELECT COUNT(*) FROM T_SIMEISAI_FUKYU"))->toInt(), 1);
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("SELECT COMPANY FROM WK_COMPANY"))->toString(), company);
    }

    // What comes in from the pair is held to the rules of what is typed:
    // every hostile value in a line is refused before anything changes,
    // naming the file, the line and the column.
    void hostileValuesRefused_data() { hostile::addRows(); }
    void hostileValuesRefused() {
        QFETCH(int, field);
        QFETCH(QByteArray, value);
        QTemporaryDir dir;
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        addFixture();
        QCOMPARE(ExportJournalCsv(dir.path(), QString()), JournalCsvResult::Done);
        const QString path = dir.filePath(QStringLiteral("Data51_00.CSV"));
        QByteArray bytes = readAll(path);
        QVERIFY(bytes.endsWith("\r\n"));
        const qsizetype lineNo = bytes.count('\n') + 1;

        QList<QByteArray> values;
        for (int i = 1; i <= 31; ++i) values << QByteArray();
        values[0] = "00009";
        values[1] = "001";
        values[2] = "51";
        values[3] = "2003/04/05";
        values[4] = "2003/04";
        values[14] = "1";
        values[25] = "1";
        values[29] = "x";
        const int position = field == hostile::Text ? 30 : field == hostile::Date ? 4 : field == hostile::Amount ? 15 : 3;
        values[position - 1] = value;
        for (QByteArray& v : values) v = '"' + v + '"';
        bytes += values.join(',') + "\r\n";
        writeAll(path, bytes);

        const QByteArray tag = QTest::currentDataTag();
        const QStringList columns{QString(), QStringLiteral("TEKIYO(30番目の値)"), QStringLiteral("SIDAY(4番目の値)"),
                                  QStringLiteral("KRKIN(15番目の値)")};
        QString column = field == hostile::Text     ? columns[1]
                         : field == hostile::Date   ? columns[2]
                         : field == hostile::Amount ? columns[3]
                                                    : QStringLiteral("他の会社（会社コード 99）");
        if (tag == "invalid CP932" || tag == "1 MB value") column.clear();

        const QStringList before = dump();
        const QString company = gcnKaikei->scalar(QStringLiteral("SELECT COMPANY FROM WK_COMPANY"))->toString();
        boxes.clear();
        QCOMPARE(ImportJournalCsv(dir.path(), QString()), JournalCsvResult::Failed);
        QCOMPARE(boxes.count(), 1);
        const QString text = boxes.last().text;
        QVERIFY2(text.contains(QStringLiteral("Data51_00.CSV %1行目").arg(lineNo)), qPrintable(text.left(300)));
        QVERIFY2(text.contains(column), qPrintable(text.left(300)));
        QVERIFY2(text.size() < 400, qPrintable(text.left(300)));
        QCOMPARE(dump(), before);
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("SELECT COMPANY FROM WK_COMPANY"))->toString(), company);
    }

    void unfitCharacterRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("not in CP932") << QStringLiteral("絵文字😀");
        QTest::newRow("yen sign turns into a backslash") << QStringLiteral("単価¥100");
    }

    // A description CP932 cannot carry back unchanged: no file, no mark.
    void unfitCharacterRefused() {
        QFETCH(QString, text);
        QTemporaryDir dir;
        ScriptedMsgBox boxes;
        openCompany(QStringLiteral("送り側"));
        addLines({makeLine("00001", "001", "2003/04/01", "1", QStringLiteral("普通")),
                  makeLine("00001", "002", "2003/04/01", "1", QStringLiteral("x"))});
        // Stored by an earlier version: the writers refuse such text now.
        QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_SI_MEISAI SET TEKIYO = ? WHERE DENMENO = '002'"), {text}));
        QCOMPARE(ExportJournalCsv(dir.path(), QString()), JournalCsvResult::Failed);
        QVERIFY2(boxes.last().text.contains(QStringLiteral("で表せない文字です")), qPrintable(boxes.last().text));
        QVERIFY(QDir(dir.path()).isEmpty());
        QCOMPARE(dump(QStringLiteral("WHERE KRBUKBN = '01'")).size(), 0);
    }

    // Records read per RFC 4180, independent of the files.
    void reader_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("result");
        QTest::newRow("quoted with comma, quote, line end") << QByteArray("\"a,b\",\"c\"\"d\",\"e\r\nf\"\r\n") << "a,b|c\"d|e\r\nf";
        QTest::newRow("unquoted and empty") << QByteArray("x,,\r\n") << "x||";
        QTest::newRow("lf only, two records") << QByteArray("\"1\",\"2\",\"3\"\n4,5,6\n") << "1|2|3;4|5|6";
        QTest::newRow("no final line end") << QByteArray("\"1\",\"2\",\"3\"") << "!1行目: 最後のレコード";
        QTest::newRow("open quote") << QByteArray("\"1\",\"2\",\"3\r\n") << "!1行目: 最後のレコード";
        QTest::newRow("junk after quote") << QByteArray("\"1\"x,\"2\",\"3\"\r\n") << "!1行目: 引用符の後";
        QTest::newRow("count on second line") << QByteArray("1,2,3\r\n1,2\r\n") << "!2行目: 値の数が2個";
    }

    void reader() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, result);
        QString error;
        const auto records = ReadCsvRecords(bytes, 3, &error);
        if (result.startsWith(QLatin1Char('!'))) {
            QVERIFY(!records);
            QVERIFY2(error.startsWith(result.mid(1)), qPrintable(error));
            return;
        }
        QVERIFY2(records, qPrintable(error));
        QStringList got;
        for (const QStringList& r : *records) got << r.join(QLatin1Char('|'));
        QCOMPARE(got.join(QLatin1Char(';')), result);
    }

private:
    std::unique_ptr<testenv::ShippedDb> db_;
};

QTEST_GUILESS_MAIN(TestJournalCsv)
#include "tst_journalcsv.moc"
