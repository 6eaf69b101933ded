// The compaction of the database file: a file with deleted rows shrinks and
// the program works on the reopened connection; a compaction that fails
// leaves the file unchanged and a connection open.

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
    }

    // The copy cannot be written (a folder stands at its name) or cannot
    // replace the file: the file unchanged, the connection open on it.
    void failedCompactionKeepsTheFile_data() {
        QTest::addColumn<bool>("folderInTheWay");
        QTest::addColumn<QString>("message");
        QTest::newRow("copy not written") << true << "DBの圧縮中にエラーが発生しました(CompactDB)。";
        QTest::newRow("rename fails") << false << "ファイル名の変更中にエラーが発生しました(RenameFile)。";
    }
    void failedCompactionKeepsTheFile() {
        QFETCH(bool, folderInTheWay);
        QFETCH(QString, message);
        const QString copy = gstrDataPath + QStringLiteral("bak_") + DB_NAME;
        if (folderInTheWay) QVERIFY(QDir().mkdir(copy));
        else SetCompactionStepHook([](const QString& step) { return step != QStringLiteral("rename"); });
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
