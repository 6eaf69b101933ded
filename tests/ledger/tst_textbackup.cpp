// The text backup on a copy of the shipped database with a small fixture
// company: the 23 files and their bytes (read back through the system's
// iconv, not our own encoder), quotes inside values, the three situations,
// a failure part-way that leaves the previous set in place, a backup killed
// at every step, files of the same name in another letter case, and company
// names used as folder names.

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QtTest>
#include <memory>

#include <sys/wait.h>
#include <unistd.h>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "ledger/textbackup.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

const QString kFailure = QStringLiteral("T_BACKUPマスタのアクセス中にエラーが発生しました(DataBackUp)。");
const QString kLineFailure = QStringLiteral("ファイルアクセス中にエラーが発生しました(write_data_to_text)。");

// The company list as the backup sees it: just the current company's name.
class FixedCompanyList : public CompanyList {
public:
    QString name;
    QString currentCompanyName() const override { return name; }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

QStringList setNames() {
    QStringList names;
    for (int i = 1; i <= 23; ++i) names << QStringLiteral("T_%1.txt").arg(i, 3, 10, QLatin1Char('0'));
    return names;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The file decoded by the system's iconv from CP932.
QString iconvText(const QString& path) {
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"),
                                          QStringLiteral("UTF-8"), path});
    if (!iconv.waitForFinished(10000) || iconv.exitCode() != 0) return QStringLiteral("<iconv failed>");
    return QString::fromUtf8(iconv.readAllStandardOutput());
}

QMap<QString, QByteArray> hashes(const QString& folder) {
    QMap<QString, QByteArray> all;
    for (const QString& name : filesIn(folder)) {
        QFile f(QDir(folder).filePath(name));
        f.open(QIODevice::ReadOnly);
        all.insert(name, QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256));
    }
    return all;
}

// Reads the values of a backup line set back: quoted values separated by
// commas and line ends, a doubled quote standing for one quote.
QList<QStringList> parseLines(const QString& text) {
    QList<QStringList> lines;
    QStringList values;
    QString value;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                value += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                value += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            values << value;
            value.clear();
        } else if (c == QLatin1Char('\r')) {
        } else if (c == QLatin1Char('\n')) {
            values << value;
            value.clear();
            lines << values;
            values.clear();
        }
    }
    return lines;
}

bool exec(const QString& sql, const QVariantList& params = {}) {
    if (gcnKaikei->exec(sql, params)) return true;
    qWarning() << sql << gcnKaikei->lastError().text();
    return false;
}

}  // namespace

class TestTextBackup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testenv::isolate();
        SetTheCompanyList(&companies_);
    }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        data_ = std::make_unique<QTemporaryDir>();
        gstrDataPath = data_->path() + QLatin1Char('/');
        gstrSoftName = QStringLiteral("Ralvek");
        gstrCID = QStringLiteral("51");
        companies_.name = QStringLiteral("テスト商店");
        addFixtureCompany();
    }

    void cleanup() {
        db_.reset();
        data_.reset();
    }

    // The automatic backup: the data folder's Data/<company>/ is made and
    // holds exactly the 23 files, CP932 with CR LF, in the format the
    // restore reads.
    void automaticBackupWritesTheSet() {
        ScriptedMsgBox box;
        int started = 0;
        int finished = 0;
        QList<int> progress;
        const BackupStatus status{[&] { ++started; }, [&] { ++finished; },
                                  [&](int done, int total) {
                                      QCOMPARE(total, 23);
                                      progress << done;
                                  }};
        QCOMPARE(DataBackUp(BackupKind::Automatic, status), BackupResult::Written);
        QCOMPARE(box.count(), 0);
        QCOMPARE(started, 1);
        QCOMPARE(finished, 1);
        QCOMPARE(progress.size(), 23);
        QCOMPARE(progress.last(), 23);

        const QString folder = gstrDataPath + QStringLiteral("Data/テスト商店/");
        QCOMPARE(AutomaticBackupFolder(), folder);
        QCOMPARE(filesIn(folder), setNames());

        const QString crlf = QStringLiteral("\r\n");
        QCOMPARE(iconvText(folder + QStringLiteral("T_002.txt")),
                 QStringLiteral("\"51\",\"テスト商店\",\"ﾃｽﾄｼｮｳﾃﾝ\",\"123-4567\",\"\",\"東京都千代田区\","
                                "\"1-2,3F\",\"03-1234-5678\",\"\",\"\",\"山田 太郎\",\"\",\"0\","
                                "\"2003/04/01\",\"2004/03/31\",\"1\",\"\",\"0\",\"12\",\"\",\"\",\"2003/04\","
                                "\"\",\"10000000\",\"2004/05/31\",\"004\",\"1.25\"") +
                     crlf);
        QCOMPARE(iconvText(folder + QStringLiteral("T_003.txt")),
                 QStringLiteral("\"51\",\"00001\",\"001\",\"2003/04/01\",\"2003/04/01\",\"\",\"-320.5\","
                                "\"1500\",\"0\"") +
                     crlf +
                     QStringLiteral("\"51\",\"00002\",\"002\",\"2003/04/02\",\"2003/04/02\",\"\",\"1500\","
                                    "\"0.0001\",\"108.3\"") +
                     crlf);
        QCOMPARE(iconvText(folder + QStringLiteral("T_010.txt")),
                 QStringLiteral("\"51\",\"001\",\"売上 \"\"特価\"\"\"") + crlf +
                     QStringLiteral("\"51\",\"002\",\"\"") + crlf);
        QCOMPARE(iconvText(folder + QStringLiteral("T_008.txt")),
                 QStringLiteral("\"51\",\"004\",\"1\",\"現金\",\"250000\",\"7\",\"\",\"\",\"\",\"\",\"0\"") +
                     crlf);

        QString kesansyo = QStringLiteral("\"51\",\"1.2345\"");
        for (int i = 2; i <= 64; ++i) kesansyo += QStringLiteral(",\"0\"");
        kesansyo += QStringLiteral(",\"2003/03/31\"") + crlf;
        QCOMPARE(iconvText(folder + QStringLiteral("T_023.txt")), kesansyo);

        // The working chart whole, with its 24 values a line.
        const QList<QStringList> chart = parseLines(iconvText(folder + QStringLiteral("T_001.txt")));
        QCOMPARE(chart.size(),
                 int(gcnKaikei->scalar(QStringLiteral("SELECT count(*) FROM T_KANJO"))->toInt()));
        for (const QStringList& line : chart) QCOMPARE(line.size(), 24);

        // Tables without rows of the company give empty files; no other
        // company's rows appear.
        for (const QString& name :
             {QStringLiteral("T_004.txt"), QStringLiteral("T_012.txt"), QStringLiteral("T_022.txt")})
            QCOMPARE(QFileInfo(folder + name).size(), 0);
        QFile raw(folder + QStringLiteral("T_010.txt"));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY(!bytes.contains("99"));
        QCOMPARE(bytes.count("\r\n"), 2);
        QCOMPARE(bytes.count('\n'), 2);
    }

    // A value holding quotes and commas reads back whole.
    void quotesSurvive() {
        ScriptedMsgBox box;
        const QString awkward = QStringLiteral("\"\"引用\", 句読, \"");
        QVERIFY(exec(QStringLiteral("UPDATE T_TEKIYO SET TENAME = ? WHERE CID = '51' AND TEKINO = '002'"),
                     {awkward}));
        QCOMPARE(DataBackUp(BackupKind::Automatic), BackupResult::Written);
        const QList<QStringList> lines =
            parseLines(iconvText(AutomaticBackupFolder() + QStringLiteral("T_010.txt")));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringList({"51", "001", QStringLiteral("売上 \"特価\"")}));
        QCOMPARE(lines[1], QStringList({"51", "002", awkward}));
    }

    // A failure while the set is written leaves the folder's previous set
    // exactly as it was, with no stray files, and says so; a stored value that
    // would not come back the same from CP932 is named with its table, line,
    // column and whole text, so that the user can correct it.
    void failureKeepsPreviousSet_data() {
        QTest::addColumn<QString>("sabotage");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("a value without a CP932 form")
            << QStringLiteral("INSERT INTO BT_KANJO (CID, KOCODE, KANNAME) VALUES ('51', '004', '現金😀')")
            << kLineFailure
            << QStringList{QStringLiteral("「😀」はShift-JIS(CP932)で表せない文字です。"),
                           QStringLiteral("BT_KANJO 1行目 列 KANNAME:「現金😀」")};
        QTest::newRow("a yen sign, which CP932 writes as a backslash")
            << QStringLiteral("UPDATE T_TEKIYO SET TENAME = '¥100' WHERE CID = '51' AND TEKINO = '002'")
            << kLineFailure
            << QStringList{QStringLiteral("「¥」はShift-JIS(CP932)で表せない文字です。"),
                           QStringLiteral("T_TEKIYO 2行目 列 TENAME:「¥100」")};
        QTest::newRow("the table cannot be read") << QStringLiteral("DROP TABLE BT_KANJO") << kFailure
                                                  << QStringList();
    }
    void failureKeepsPreviousSet() {
        QFETCH(QString, sabotage);
        QFETCH(QString, message);
        QFETCH(QStringList, named);
        ScriptedMsgBox box;
        QCOMPARE(DataBackUp(BackupKind::Automatic), BackupResult::Written);
        const QString folder = AutomaticBackupFolder();
        const auto before = hashes(folder);
        QCOMPARE(before.size(), 23);

        QVERIFY(exec(QStringLiteral("UPDATE T_TEKIYO SET TENAME = '変更後' WHERE CID = '51'")));
        QVERIFY(exec(sabotage));
        int finished = 0;
        QCOMPARE(DataBackUp(BackupKind::Automatic, {{}, [&] { ++finished; }}), BackupResult::Failed);
        QCOMPARE(finished, 1);
        QCOMPARE(box.count(), 1);
        QVERIFY2(box.last().text.startsWith(message), qPrintable(box.last().text));
        for (const QString& part : named) QVERIFY2(box.last().text.contains(part), qPrintable(box.last().text));
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(box.last().title, QStringLiteral("Ralvek"));
        QCOMPARE(hashes(folder), before);
    }

    // A backup killed before any step that changes the file system (every
    // file written, every rename and removal): the folder holds the complete
    // previous or the complete new set (a company folder may be missing only
    // between its two renames), and after the next start's recovery it holds
    // one complete set and nothing else is left over.
    void killedAtEveryStep_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("automatic") << int(BackupKind::Automatic);
        QTest::newRow("year-end work") << int(BackupKind::YearEndWork);
        QTest::newRow("chosen folder") << int(BackupKind::Chosen);
    }
    void killedAtEveryStep() {
        QFETCH(int, kind);
        const auto backupKind = BackupKind(kind);
        ScriptedMsgBox box;
        // In memory where the machine has it: the test is about the order of
        // the steps, and flushing to a disk at each of them is slow.
        const QString memory = QStringLiteral("/dev/shm");
        const QString base = QFileInfo(memory).isWritable() ? memory + QStringLiteral("/backup-XXXXXX")
                                                                  : QDir::tempPath() + QStringLiteral("/backup-XXXXXX");
        QTemporaryDir data(base), chosen(base);
        QVERIFY(data.isValid() && chosen.isValid());
        gstrDataPath = data.path() + QLatin1Char('/');
        const QString folder = backupKind == BackupKind::Chosen     ? chosen.path() + QLatin1Char('/')
                               : backupKind == BackupKind::Automatic ? AutomaticBackupFolder()
                                                                     : YearEndWorkFolder();
        auto backUp = [&] {
            return DataBackUp(backupKind, {}, [&] { return std::optional<QString>(chosen.path()); });
        };
        auto setData = [&](const QString& text) {
            return exec(QStringLiteral("UPDATE T_TEKIYO SET TENAME = ? WHERE CID = '51'"), {text});
        };
        // A file that is no part of the set stays through every backup.
        auto addOther = [&] {
            QVERIFY(QDir().mkpath(folder));
            QFile other(folder + QStringLiteral("memo.txt"));
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write("memo");
        };
        // The next start: also a set in flight into a chosen folder is
        // carried through there.
        auto recover = [&] { return RecoverInterruptedBackups(); };

        QVERIFY(setData(QStringLiteral("新")));
        addOther();
        QCOMPARE(backUp(), BackupResult::Written);
        const auto newSet = hashes(folder);
        QVERIFY(setData(QStringLiteral("旧")));
        QCOMPARE(backUp(), BackupResult::Written);
        const auto oldSet = hashes(folder);
        QCOMPARE(oldSet.size(), newSet.size());
        QCOMPARE(oldSet.size(), backupKind == BackupKind::YearEndWork ? 12 : 24);
        QVERIFY(oldSet != newSet);
        const QStringList dataBefore = QDir(gstrDataPath).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        // The steps of one uninterrupted backup.
        QVERIFY(setData(QStringLiteral("新")));
        QStringList steps;
        SetBackupStepHook([&](const QString& step) { steps << step; });
        QCOMPARE(backUp(), BackupResult::Written);
        SetBackupStepHook({});
        QCOMPARE(hashes(folder), newSet);
        QVERIFY2(steps.size() > (backupKind == BackupKind::YearEndWork ? 11 : 23), qPrintable(steps.join('\n')));

        // The previous set, put back before every kill.
        QVERIFY(setData(QStringLiteral("旧")));
        QCOMPARE(backUp(), BackupResult::Written);
        QTemporaryDir saved;
        for (const QString& name : filesIn(folder)) QVERIFY(QFile::copy(folder + name, saved.filePath(name)));
        QVERIFY(setData(QStringLiteral("新")));

        bool sawNew = false;
        for (int kill = 0; kill < steps.size(); ++kill) {
            for (const QString& name : filesIn(folder)) QVERIFY(QFile::remove(folder + name));
            for (const QString& name : filesIn(saved.path())) QVERIFY(QFile::copy(saved.filePath(name), folder + name));
            QCOMPARE(hashes(folder), oldSet);

            const pid_t child = ::fork();
            if (child == 0) {
                int step = 0;
                SetBackupStepHook([&](const QString&) {
                    if (step++ == kill) ::_exit(0);
                });
                backUp();
                ::_exit(3);
            }
            int wstatus = 0;
            QCOMPARE(::waitpid(child, &wstatus, 0), child);
            QVERIFY(WIFEXITED(wstatus));
            QCOMPARE(WEXITSTATUS(wstatus), 0);

            const QString at = QStringLiteral("killed before %1: %2").arg(kill).arg(steps[kill]);
            const auto afterKill = hashes(folder);
            const bool between = afterKill.isEmpty() && steps[kill].startsWith(QStringLiteral("rename")) &&
                                 backupKind != BackupKind::Chosen;
            if (backupKind != BackupKind::Chosen || !QDir(folder + QStringLiteral(".ralvek-backup-ready")).exists())
                QVERIFY2(afterKill == oldSet || afterKill == newSet || between, qPrintable(at));
            // Once the new set is in place, every later kill leaves it there.
            if (sawNew) QVERIFY2(afterKill == newSet || between, qPrintable(at));

            QVERIFY2(recover(), qPrintable(at));
            const auto recovered = hashes(folder);
            QVERIFY2(recovered == oldSet || recovered == newSet, qPrintable(at));
            sawNew = sawNew || (recovered == newSet && afterKill == newSet);
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
                     filesIn(folder));
            QCOMPARE(QDir(gstrDataPath).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     dataBefore);
        }
        // The last kill comes after the new set is complete.
        QCOMPARE(hashes(folder), newSet);
        for (const platform::MsgRequest& shown : box.shown()) QCOMPARE(shown.icon, MsgIcon::Information);
    }

    // Two companies of one name keep their automatic backups apart; the
    // folder name follows the rule of the company folders.
    void companiesOfOneName() {
        ScriptedMsgBox box;
        QVERIFY(exec(QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU) "
                                    "SELECT '52', COMPANY, KISYU, KIMATU FROM T_COMP_MAIN WHERE CID = '51'")));
        QCOMPARE(AutomaticBackupFolder(), gstrDataPath + QStringLiteral("Data/テスト商店_51/"));
        QCOMPARE(YearEndWorkFolder(), gstrDataPath + QStringLiteral("Temp/テスト商店_51/"));
        QCOMPARE(DataBackUp(BackupKind::Automatic), BackupResult::Written);
        gstrCID = QStringLiteral("52");
        QCOMPARE(DataBackUp(BackupKind::Automatic), BackupResult::Written);
        QCOMPARE(QDir(gstrDataPath + QStringLiteral("Data")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList({"テスト商店_51", "テスト商店_52"}));
        QCOMPARE(iconvText(gstrDataPath + QStringLiteral("Data/テスト商店_52/T_002.txt")).left(5),
                 QStringLiteral("\"52\",").left(5));
    }

    void folderNameRule_data() {
        QTest::addColumn<QString>("cid");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("others");  // id, name, id, name, ...
        QTest::addColumn<QString>("folder");
        QTest::newRow("alone") << "51" << "山田商店" << QStringList{"52", "佐藤商店"} << "山田商店";
        QTest::newRow("namesake") << "51" << "山田商店" << QStringList{"52", "山田商店"} << "山田商店_51";
        QTest::newRow("same after making safe") << "51" << "A/B" << QStringList{"52", "A\\B"} << "A_B_51";
        QTest::newRow("own entry ignored") << "51" << "山田商店" << QStringList{"51", "山田商店"} << "山田商店";
        QTest::newRow("letter case differs") << "51" << "abc" << QStringList{"52", "ABC"} << "abc";
        QTest::newRow("name of a name-and-id folder")
            << "53" << "X_51" << QStringList{"51", "X", "52", "X"} << "X_51_53";
        QTest::newRow("name like an unused name-and-id folder")
            << "53" << "X_51" << QStringList{"51", "X"} << "X_51";
    }
    void folderNameRule() {
        QFETCH(QString, cid);
        QFETCH(QString, name);
        QFETCH(QStringList, others);
        QFETCH(QString, folder);
        std::vector<CompanyNameEntry> companies{{cid, name}};
        for (int i = 0; i + 1 < others.size(); i += 2) companies.push_back({others[i], others[i + 1]});
        QCOMPARE(CompanyFolderName(cid, name, companies), folder);
    }

    // Lines are written on a fast path; they are the lines write_data_to_text
    // writes, also for the extreme amounts and awkward texts.
    void fastLinesMatchRowLines() {
        ScriptedMsgBox box;
        const QVariantList texts{QStringLiteral("\""), QStringLiteral("a\"\"b,c"), QString(), QStringLiteral("〜−￥\\")};
        const QList<qint64> amounts{0, -1, 1, 10000, -10000, 123456789, -5, std::numeric_limits<qint64>::max(),
                                    std::numeric_limits<qint64>::min()};
        QVERIFY(exec(QStringLiteral("DELETE FROM T_SIWAKE WHERE CID = '51'")));
        for (int i = 0; i < amounts.size(); ++i) {
            QVERIFY(exec(QStringLiteral("INSERT INTO T_SIWAKE VALUES ('51', ?, ?, '2003/04/01', ?, NULL, ?, ?, ?)"),
                         {QString::number(i), texts[i % texts.size()], texts[(i + 1) % texts.size()], amounts[i],
                          amounts[amounts.size() - 1 - i], double(float(0.1 * i))}));
        }
        QCOMPARE(DataBackUp(BackupKind::Automatic), BackupResult::Written);
        QFile file(AutomaticBackupFolder() + QStringLiteral("T_003.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        platform::Statement select(*gcnKaikei, QStringLiteral("SELECT * FROM T_SIWAKE WHERE CID = '51'"));
        QByteArray expected;
        while (select.next()) QVERIFY(write_data_to_text(select.row(), expected, 9));
        QCOMPARE(file.readAll(), expected);
        QVERIFY(expected.contains("\"-922337203685477.5808\""));
        QCOMPARE(box.count(), 0);
    }

    // The user's backup: a cancelled choice does nothing at all; a chosen
    // folder gets the set and the closing message.
    void chosenFolder() {
        ScriptedMsgBox box;
        int started = 0;
        const BackupStatus status{[&] { ++started; }, {}};
        QCOMPARE(DataBackUp(BackupKind::Chosen, status, [] { return std::optional<QString>(); }),
                 BackupResult::Cancelled);
        QCOMPARE(box.count(), 0);
        QCOMPARE(started, 0);

        QTemporaryDir target;
        QCOMPARE(
            DataBackUp(BackupKind::Chosen, status, [&] { return std::optional<QString>(target.path()); }),
            BackupResult::Written);
        QCOMPARE(started, 1);
        QCOMPARE(filesIn(target.path()), setNames());
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("バックアップ処理が正しく終了しました。"));
        QCOMPARE(box.last().icon, MsgIcon::Information);
        QVERIFY(!QDir(gstrDataPath + QStringLiteral("Data")).exists());

        // A folder that does not exist is a failure, not a new folder.
        QCOMPARE(DataBackUp(BackupKind::Chosen, status,
                            [&] { return std::optional<QString>(target.filePath(QStringLiteral("gone/"))); }),
                 BackupResult::Failed);
        QCOMPARE(box.last().text, kFailure);
    }

    // The year-end working copy: files 1 to 11 in Temp/<company>/, the
    // previous-year files of an earlier set there left alone.
    void yearEndWorkCopy() {
        ScriptedMsgBox box;
        const QString folder = YearEndWorkFolder();
        QCOMPARE(folder, gstrDataPath + QStringLiteral("Temp/テスト商店/"));
        QVERIFY(QDir().mkpath(folder));
        QFile old(folder + QStringLiteral("T_012.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();

        QCOMPARE(DataBackUp(BackupKind::YearEndWork), BackupResult::Written);
        QCOMPARE(box.count(), 0);
        QStringList expected = setNames().mid(0, 11);
        expected << QStringLiteral("T_012.txt");
        QCOMPARE(filesIn(folder), expected);
        QCOMPARE(QFileInfo(folder + QStringLiteral("T_012.txt")).size(), 3);
    }

    // Files of the same names in another letter case are replaced, so the
    // folder holds one set.
    void sameNamesInOtherCaseReplaced() {
        ScriptedMsgBox box;
        QTemporaryDir target;
        for (const QString& name : {QStringLiteral("T_001.TXT"), QStringLiteral("t_023.Txt")}) {
            QFile f(target.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        QFile other(target.filePath(QStringLiteral("readme.txt")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        QCOMPARE(DataBackUp(BackupKind::Chosen, {}, [&] { return std::optional<QString>(target.path()); }),
                 BackupResult::Written);
        QStringList expected = setNames();
        expected.prepend(QStringLiteral("readme.txt"));
        expected.sort();
        QStringList actual = filesIn(target.path());
        actual.sort();
        QCOMPARE(actual, expected);
    }

    // A company name becomes one plain folder below Data/.
    void companyNameAsFolder_data() {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("folder");
        QTest::newRow("separators") << "株式会社A/B\\C"
                                    << "株式会社A_B_C";
        QTest::newRow("parent") << ".."
                                << "__";
        QTest::newRow("current") << "."
                                 << "_";
        QTest::newRow("empty") << ""
                               << "_";
        QTest::newRow("climbing out") << "../../x"
                                      << ".._.._x";
        QTest::newRow("dots inside") << "A.B."
                                     << "A.B.";
    }
    void companyNameAsFolder() {
        QFETCH(QString, company);
        QFETCH(QString, folder);
        QCOMPARE(BackupFolderName(company), folder);
        ScriptedMsgBox box;
        companies_.name = company;
        QCOMPARE(DataBackUp(BackupKind::Automatic), BackupResult::Written);
        QCOMPARE(QDir(gstrDataPath + QStringLiteral("Data"))
                     .entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{folder});
        QCOMPARE(filesIn(gstrDataPath + QStringLiteral("Data/") + folder).size(), 23);
        QCOMPARE(QDir(gstrDataPath).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Data"});
    }

    void valueText_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("null") << "TENAME" << QVariant() << "";
        QTest::newRow("text") << "TENAME" << QVariant(QStringLiteral(" a ")) << " a ";
        QTest::newRow("amount") << "KISYUZAN" << QVariant(qint64(12000000)) << "1200";
        QTest::newRow("negative fraction") << "DAYZAN" << QVariant(qint64(-3205000)) << "-320.5";
        QTest::newRow("smallest fraction") << "KIN1" << QVariant(qint64(1)) << "0.0001";
        QTest::newRow("order") << "JUN" << QVariant(qint64(15)) << "15";
        QTest::newRow("count") << "NENDOSU" << QVariant(qint64(12)) << "12";
        QTest::newRow("rate") << "RATE" << QVariant(double(float(1.1))) << "1.1";
        QTest::newRow("zero rate") << "RATE" << QVariant(0.0) << "0";
    }
    void valueText() {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(BackupValueText(column, value), text);
    }

private:
    void addFixtureCompany() {
        QVERIFY(exec(QStringLiteral(
                         "INSERT INTO T_COMP_MAIN VALUES ('51', 'テスト商店', 'ﾃｽﾄｼｮｳﾃﾝ', '123-4567', NULL, "
                         "'東京都千代田区', '1-2,3F', '03-1234-5678', '', NULL, '山田 太郎', NULL, '0', "
                         "'2003/04/01', '2004/03/31', '1', NULL, '0', 12, NULL, NULL, '2003/04', NULL, ?, "
                         "'2004/05/31', '004', 1.25)"),
                     {qint64(100000000000)}));
        QVERIFY(
            exec(QStringLiteral("INSERT INTO T_SIWAKE VALUES ('51', '00001', '001', '2003/04/01', "
                                "'2003/04/01', NULL, -3205000, 15000000, 0)")));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_SIWAKE VALUES ('51', '00002', '002', '2003/04/02', "
                                    "'2003/04/02', NULL, 15000000, 1, ?)"),
                     {double(float(108.3))}));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_TEKIYO VALUES ('51', '001', '売上 \"特価\"')")));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_TEKIYO VALUES ('51', '002', NULL)")));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_TEKIYO VALUES ('99', '001', '他社99')")));
        QVERIFY(exec(QStringLiteral("DELETE FROM T_KISYUZAN WHERE CID = '51'")));
        QVERIFY(
            exec(QStringLiteral("INSERT INTO T_KISYUZAN VALUES ('51', '004', '1', '現金', 2500000000, 7, "
                                "NULL, NULL, NULL, NULL, 0)")));
        QVERIFY(
            exec(QStringLiteral("INSERT INTO BT_KESANSYO (CID, KOMOKU1, KESANDAY) "
                                "VALUES ('51', 12345, '2003/03/31')")));
        QVERIFY(
            exec(QStringLiteral("INSERT INTO BT_KESANSYO (CID, KOMOKU1, KESANDAY) "
                                "VALUES ('99', 1, '2003/03/31')")));
    }

    FixedCompanyList companies_;
    std::unique_ptr<testenv::ShippedDb> db_;
    std::unique_ptr<QTemporaryDir> data_;
};

QTEST_GUILESS_MAIN(TestTextBackup)
#include "tst_textbackup.moc"
