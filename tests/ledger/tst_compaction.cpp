// The compaction of the database file: a file with deleted rows shrinks and
// the program works on the reopened connection; a compaction that fails
// leaves the file unchanged and a connection open.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtTest>

#include "app/common/globals.h"
#include "app/common/kaikeidb.h"
#include "ledger/compaction.h"
#include "platform/connection.h"
#include "platform/datasource.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

namespace {

QByteArray hashOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : mode_t(-1);
}

QStringList leftovers() {
    return QDir(gstrDataPath).entryList({QStringLiteral("bak_*")}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

int tekiyoCount() {
    return gcnKaikei->scalar(QStringLiteral("SELECT count(*) FROM T_TEKIYO WHERE CID = '51'"))->toInt();
}

}  // namespace

class TestCompaction : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        gstrDataPath = dir_->path() + QLatin1Char('/');
        gstrSoftName = QStringLiteral("Ralvek");
        file_ = gstrDataPath + DB_NAME;
        QVERIFY(QFile::copy(testenv::shippedDatabase(), file_));
        QFile::setPermissions(file_, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(platform::DataSources::registerSource(KaikeiDataSource()));
        QVERIFY(OpenKaikeiConnection());
        // Many rows written and most deleted again leave free pages behind.
        platform::Transaction tx(*gcnKaikei);
        for (int i = 0; i < 4000; ++i)
            QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO T_TEKIYO VALUES ('51', ?, ?)"),
                                    {QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')), QString(200, u'摘')}));
        QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM T_TEKIYO WHERE CID = '51' AND TEKINO >= '0010'")));
        QVERIFY(tx.commit());
    }

    void cleanup() {
        SetCompactionStepHook({});
        CloseKaikeiConnection();
        dir_.reset();
    }

    void compactionShrinksTheFile() {
        const qint64 before = QFileInfo(file_).size();
        ScriptedMsgBox box;
        QVERIFY(CompactKaikeiDatabase());
        QCOMPARE(box.count(), 0);
        QVERIFY(QFileInfo(file_).size() < before / 2);
        QCOMPARE(QDir(gstrDataPath).entryList({QStringLiteral("*.mdb")}, QDir::Files), QStringList{DB_NAME});
        QVERIFY(gcnKaikei);
        QCOMPARE(gcnKaikei->path(), file_);
        QCOMPARE(tekiyoCount(), 10);
        QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO T_TEKIYO VALUES ('51', 'X', 'after')")));
        QCOMPARE(tekiyoCount(), 11);
        // The books stay readable by their owner only.
        QCOMPARE(modeOf(file_), mode_t(0600));
    }

    // What a killed compaction leaves beside the file (a half-written copy,
    // its journal, a link) no longer blocks the next compaction, which
    // removes it; a link there is removed, never followed.
    void leftoversOfAKilledCompaction_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("link");
        QTest::newRow("half-written copy") << QStringList{QStringLiteral("bak_") + DB_NAME} << false;
        QTest::newRow("copy and its journal")
            << QStringList{QStringLiteral("bak_") + DB_NAME, QStringLiteral("bak_") + DB_NAME + QStringLiteral("-journal")}
            << false;
        QTest::newRow("a link at the copy's name") << QStringList() << true;
    }
    void leftoversOfAKilledCompaction() {
        QFETCH(QStringList, files);
        QFETCH(bool, link);
        for (const QString& name : files) {
            QFile f(gstrDataPath + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("SQLite format 3\0 half written");
        }
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside"));
        if (link) {
            QFile f(outside);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not ours");
            f.close();
            QVERIFY(QFile::link(outside, gstrDataPath + QStringLiteral("bak_") + DB_NAME));
        }
        ScriptedMsgBox box;
        QVERIFY(CompactKaikeiDatabase());
        QCOMPARE(box.count(), 0);
        QCOMPARE(leftovers(), QStringList());
        QCOMPARE(tekiyoCount(), 10);
        if (link) QCOMPARE(hashOf(outside), QCryptographicHash::hash("not ours", QCryptographicHash::Sha256));
    }

    // A compaction killed before each of its steps, and once after its end:
    // after a restart the file holds the rows whole, with its mode, nothing
    // is left beside it, and the next compaction succeeds.
    void killedAtEveryStep() {
        QStringList steps;
        SetCompactionStepHook([&](const QString& step) {
            steps << step;
            return true;
        });
        {
            ScriptedMsgBox box;
            QVERIFY(CompactKaikeiDatabase());
        }
        SetCompactionStepHook({});
        QCOMPARE(steps, QStringList({"copy", "mode", "rename", "reopen"}));
        for (int kill = 0; kill <= steps.size(); ++kill) {
            const QString at = kill < steps.size() ? QStringLiteral("killed before ") + steps[kill]
                                                   : QStringLiteral("killed after the end");
            // Rows deleted again, so that every round has something to compact.
            QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO T_TEKIYO VALUES ('51', 'Y', 'gone')")));
            QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM T_TEKIYO WHERE CID = '51' AND TEKINO = 'Y'")));
            const pid_t child = ::fork();
            if (child == 0) {
                ScriptedMsgBox childBox;
                int step = 0;
                SetCompactionStepHook([&](const QString&) {
                    if (step++ == kill) ::_exit(0);
                    return true;
                });
                CompactKaikeiDatabase();
                ::_exit(0);
            }
            int wstatus = 0;
            QCOMPARE(::waitpid(child, &wstatus, 0), child);
            QVERIFY(WIFEXITED(wstatus));
            CloseKaikeiConnection();

            // The restart.
            QVERIFY2(RemoveCompactionLeftovers(file_), qPrintable(at));
            QVERIFY2(OpenKaikeiConnection(), qPrintable(at));
            QCOMPARE(leftovers(), QStringList());
            QCOMPARE(gcnKaikei->scalar(QStringLiteral("PRAGMA integrity_check"))->toString(), QStringLiteral("ok"));
            QCOMPARE(tekiyoCount(), 10);
            QCOMPARE(modeOf(file_), mode_t(0600));
            ScriptedMsgBox box;
            QVERIFY2(CompactKaikeiDatabase(), qPrintable(at));
            QCOMPARE(box.count(), 0);
        }
    }

    // The copy cannot be written (a folder stands at its name), is damaged
    // after its writing, or cannot replace the file: the file unchanged, the
    // connection open on it.
    void failedCompactionKeepsTheFile_data() {
        QTest::addColumn<bool>("folderInTheWay");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("message");
        QTest::newRow("copy not written") << true << false << "DBの圧縮中にエラーが発生しました(CompactDB)。";
        QTest::newRow("copy damaged") << false << true << "DBの圧縮中にエラーが発生しました(CompactDB)。";
        QTest::newRow("rename fails") << false << false << "ファイル名の変更中にエラーが発生しました(RenameFile)。";
    }
    void failedCompactionKeepsTheFile() {
        QFETCH(bool, folderInTheWay);
        QFETCH(bool, damaged);
        QFETCH(QString, message);
        const QString copy = gstrDataPath + QStringLiteral("bak_") + DB_NAME;
        if (folderInTheWay) {
            QVERIFY(QDir().mkdir(copy));
        } else if (damaged) {
            // Once written, the copy's last page (a b-tree page) is overwritten
            // with bytes no page holds.
            SetCompactionStepHook([copy](const QString& step) {
                if (step != QStringLiteral("mode")) return true;
                QFile f(copy);
                if (!f.open(QIODevice::ReadWrite) || !f.seek(f.size() - 4096)) return true;
                f.write(QByteArray(4096, '\x7f'));
                return true;
            });
        } else {
            SetCompactionStepHook([](const QString& step) { return step != QStringLiteral("rename"); });
        }
        const QByteArray before = hashOf(file_);
        ScriptedMsgBox box;
        QVERIFY(!CompactKaikeiDatabase());
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, message);
        QCOMPARE(hashOf(file_), before);
        QCOMPARE(QFileInfo(copy).isDir(), folderInTheWay);
        QVERIFY(folderInTheWay || !QFileInfo::exists(copy));
        QVERIFY(gcnKaikei);
        QCOMPARE(tekiyoCount(), 10);
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString file_;
};

QTEST_GUILESS_MAIN(TestCompaction)
#include "tst_compaction.moc"
