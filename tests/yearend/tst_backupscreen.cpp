// The backup screen: the backup into a chosen folder, the restore of that set
// through the folder chooser (cancelled, an incomplete folder, a complete
// set) with the captions following the restored company row, the compaction
// behind its question, the help box and the letter keys.

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "app/common/companylist.h"
#include "app/common/folderchooser.h"
#include "app/common/globals.h"
#include "app/common/kaikeidb.h"
#include "app/startup.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "support/testenv.h"
#include "yearend/runBackUp.h"

using platform::MsgButtons;
using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

class FixedCompanyList : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("テスト商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

bool exec(const QString& sql) {
    if (gcnKaikei->exec(sql)) return true;
    qWarning() << sql << gcnKaikei->lastError().text();
    return false;
}

int count(const QString& sql) {
    return gcnKaikei->scalar(sql)->toInt();
}

QByteArray hashOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

const QString kSaveMenu = QStringLiteral("保存・更新処理");

}  // namespace

class TestBackupScreen : public QObject {
    Q_OBJECT

    // The chooser answers ok (with the folder and the count of listed files)
    // or cancel, and remembers what it was asked to list.
    void chooser(bool ok, const QString& folder, int files) {
        SetFolderChooser([=, this](QWidget*, const FileListPattern& pattern) {
            ++chooserCalls_;
            listed_ = pattern.patterns;
            FolderChoice c;
            c.ok = ok;
            if (ok) {
                c.folder = folder;
                c.fileCount = files;
            }
            return c;
        });
    }

    std::unique_ptr<runBackUp> openScreen() {
        auto screen = std::make_unique<runBackUp>();
        screen->setOpener(&menu_);
        screen->show();
        return screen;
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        SetTheCompanyList(&companies_);
    }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        gstrDataPath = dir_->path() + QLatin1Char('/');
        file_ = gstrDataPath + DB_NAME;
        QVERIFY(QFile::copy(testenv::shippedDatabase(), file_));
        QFile::setPermissions(file_, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(platform::DataSources::registerSource(KaikeiDataSource()));
        QVERIFY(OpenKaikeiConnection());
        gstrCID = QStringLiteral("51");
        QVERIFY(exec(QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU) "
                                    "VALUES ('51', 'テスト商店', '2003/04/01', '2004/03/31', '1', 12)")));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_TEKIYO VALUES ('51', '001', '売上 \"特価\", 返品')")));
        gstrNendo = QStringLiteral("第 12 期");
        gstrSaveMenuCaption = kSaveMenu;
        menu_.setWindowTitle(kSaveMenu);
        set_ = gstrDataPath + QStringLiteral("set/");
        QVERIFY(QDir().mkpath(set_));
        chooserCalls_ = 0;
    }

    void cleanup() {
        SetFolderChooser({});
        CloseKaikeiConnection();
        dir_.reset();
    }

    // The backup writes the set into the chosen folder; the restore reads it
    // back only from a folder whose listing holds the 23 files, and the
    // captions follow the restored company row. A cancelled choice changes
    // and shows nothing.
    void backupAndRestore_data() {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("message");  // empty: none
        QTest::newRow("choice cancelled") << false << 0 << "";
        QTest::newRow("files missing") << true << 22 << "データが見つかりませんので、取込処理を中止します。";
        QTest::newRow("complete set") << true << 23 << "復旧処理が正しく終了しました。";
    }
    void backupAndRestore() {
        QFETCH(bool, chosen);
        QFETCH(int, listed);
        QFETCH(QString, message);
        auto screen = openScreen();
        QCOMPARE(screen->windowTitle(), QStringLiteral("バックアップ処理 - テスト商店 - 第 12 期"));
        QVERIFY(screen->lblMessage->isHidden());

        ScriptedMsgBox box;
        chooser(false, set_, 0);
        screen->cmdBackUp->click();
        QCOMPARE(box.count(), 0);
        QVERIFY(QDir(set_).isEmpty());
        chooser(true, set_, 0);
        screen->cmdBackUp->click();
        QCOMPARE(box.last().text, QStringLiteral("バックアップ処理が正しく終了しました。"));
        QCOMPARE(QDir(set_).entryList(QDir::Files).size(), 23);
        QVERIFY(screen->lblMessage->isHidden());

        // The company moves on a year and loses its description after the backup.
        QVERIFY(exec(QStringLiteral("UPDATE T_COMP_MAIN SET NENDOSU = 13 WHERE CID = '51'")));
        QVERIFY(exec(QStringLiteral("DELETE FROM T_TEKIYO WHERE CID = '51'")));
        gstrNendo = QStringLiteral("第 13 期");
        box.clear();
        chooser(chosen, set_, listed);
        screen->cmdLoalBack->click();
        QCOMPARE(chooserCalls_, 3);
        QCOMPARE(listed_, BackupFilePattern().patterns);
        QCOMPARE(box.count(), message.isEmpty() ? 0 : 1);
        const bool restored = listed == 23;
        if (!message.isEmpty()) {
            QCOMPARE(box.last().text, message);
            QCOMPARE(box.last().icon, restored ? MsgIcon::Information : MsgIcon::Warning);
        }
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM T_TEKIYO WHERE CID = '51'")), restored ? 1 : 0);
        const QString nendo = restored ? QStringLiteral("第 12 期") : QStringLiteral("第 13 期");
        QCOMPARE(gstrNendo, nendo);
        if (restored) {
            QCOMPARE(screen->windowTitle(), QStringLiteral("バックアップ処理 - テスト商店 - ") + nendo);
            QCOMPARE(menu_.windowTitle(), kSaveMenu + QStringLiteral(" - テスト商店 - ") + nendo);
        } else {
            QCOMPARE(menu_.windowTitle(), kSaveMenu);
        }
        QVERIFY(screen->lblMessage->isHidden());
    }

    // The compaction runs only after Yes; it tells of its success, or of its
    // failure (a folder in place of the copy) with the file unchanged; the
    // program goes on working on the connection either way.
    void compaction_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("folderInTheWay");
        QTest::addColumn<QString>("message");  // after the question; empty: none
        QTest::newRow("no") << int(platform::vbNo) << false << "";
        QTest::newRow("yes") << int(platform::vbYes) << false << "DB最適化処理が正しく終了しました。";
        QTest::newRow("yes, copy not written")
            << int(platform::vbYes) << true << "DBの圧縮中にエラーが発生しました(CompactDB)。";
    }
    void compaction() {
        QFETCH(int, answer);
        QFETCH(bool, folderInTheWay);
        QFETCH(QString, message);
        // Rows written and deleted again leave free pages to compact away.
        QVERIFY(exec(QStringLiteral("CREATE TABLE SCRATCH (V TEXT)")));
        for (int i = 0; i < 300; ++i)
            QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO SCRATCH VALUES (?)"), {QString(2000, u'x')}));
        QVERIFY(exec(QStringLiteral("DELETE FROM SCRATCH")));
        if (folderInTheWay) QVERIFY(QDir().mkdir(gstrDataPath + QStringLiteral("bak_") + DB_NAME));
        const QByteArray before = hashOf(file_);
        const qint64 sizeBefore = QFileInfo(file_).size();

        auto screen = openScreen();
        ScriptedMsgBox box;
        box.answer(answer);
        screen->cmdCompact->click();
        const platform::MsgRequest& question = box.shown().front();
        QCOMPARE(question.text, QStringLiteral("DB最適化処理を行ないます。\r\n\r\nデータのバックアップは取りましたか？"));
        QCOMPARE(question.icon, MsgIcon::Question);
        QCOMPARE(question.buttons, MsgButtons::YesNo);
        QCOMPARE(question.defaultButton, 1);
        QCOMPARE(box.count(), message.isEmpty() ? 1 : 2);
        if (!message.isEmpty()) QCOMPARE(box.last().text, message);
        const bool compacted = answer == platform::vbYes && !folderInTheWay;
        if (compacted) QVERIFY(QFileInfo(file_).size() < sizeBefore);
        else QCOMPARE(hashOf(file_), before);
        QVERIFY(screen->lblMessage->isHidden());
        QVERIFY(gcnKaikei);
        QVERIFY(exec(QStringLiteral("INSERT INTO T_TEKIYO VALUES ('51', '002', 'after')")));
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM T_TEKIYO WHERE CID = '51'")), 2);
    }

    // The letters run the buttons; the help box names the three buttons.
    void keysAndHelp() {
        auto screen = openScreen();
        ScriptedMsgBox box;
        chooser(false, set_, 0);
        QTest::keyClick(screen->cmdBackUp, Qt::Key_S);
        QTest::keyClick(screen->cmdBackUp, Qt::Key_F);
        QCOMPARE(chooserCalls_, 2);
        box.answer(platform::vbNo);
        QTest::keyClick(screen->cmdBackUp, Qt::Key_C);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().icon, MsgIcon::Question);

        screen->cmdQuestion->click();
        QCOMPARE(box.last().title, QStringLiteral("会計ソフト"));
        QCOMPARE(box.last().icon, MsgIcon::Information);
        QCOMPARE(box.last().text.count(QStringLiteral("\r\n")), 3);
        QVERIFY(box.last().text.startsWith(QStringLiteral("バックアップ処理ボタンを押下すると")));

        QTest::keyClick(screen->cmdBackUp, Qt::Key_X);
        QVERIFY(screen->isHidden());
        screen.release();  // the screen deletes itself when it closes
    }

private:
    FixedCompanyList companies_;
    QWidget menu_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString file_;
    QString set_;
    int chooserCalls_ = 0;
    QString listed_;
};

QTEST_MAIN(TestBackupScreen)
#include "tst_backupscreen.moc"
