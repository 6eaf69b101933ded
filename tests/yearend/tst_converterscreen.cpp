// The conversion screen: the export into a chosen folder, the import of that
// set through the folder chooser (cancelled, an incomplete folder, a complete
// set in the Japanese forms, the Chinese forms refused) with the captions
// following the imported company row, the help box and the letter keys.

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
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
#include "yearend/runConverter.h"

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

QString text(const QString& sql) {
    return gcnKaikei->scalar(sql)->toString();
}

const QString kSaveMenu = QStringLiteral("保存・更新処理");

}  // namespace

class TestConverterScreen : public QObject {
    Q_OBJECT

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

    std::unique_ptr<runConverter> openScreen() {
        auto screen = std::make_unique<runConverter>();
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
        const QString file = gstrDataPath + DB_NAME;
        QVERIFY(QFile::copy(testenv::shippedDatabase(), file));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(platform::DataSources::registerSource(KaikeiDataSource()));
        QVERIFY(OpenKaikeiConnection());
        gstrCID = QStringLiteral("51");
        QVERIFY(
            exec(QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU) "
                                "VALUES ('51', 'テスト商店', '2003/04/01', '2004/03/31', '1', 12)")));
        QVERIFY(exec(QStringLiteral("INSERT INTO T_TEKIYO VALUES ('51', '001', '売上計上')")));
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

    void exportAndImport_data() {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<int>("listed");
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QString>("message");      // empty: none
        QTest::addColumn<QString>("description");  // T_TEKIYO afterwards
        QTest::newRow("choice cancelled") << false << 0 << true << ""
                                          << "";
        QTest::newRow("files missing")
            << true << 22 << true << "データが見つかりませんので、インポート処理を中止します。"
            << "";
        QTest::newRow("complete set") << true << 23 << true << "インポート処理が正しく終了しました。"
                                      << "売上計上";
        QTest::newRow("Chinese forms CP932 lacks") << true << 23 << false << "「卖」"
                                                   << "";
    }
    void exportAndImport() {
        QFETCH(bool, chosen);
        QFETCH(int, listed);
        QFETCH(bool, japanese);
        QFETCH(QString, message);
        QFETCH(QString, description);
        auto screen = openScreen();
        QCOMPARE(screen->windowTitle(), QStringLiteral("データコンバーター処理 - テスト商店 - 第 12 期"));
        QVERIFY(screen->optYes->isChecked());
        QVERIFY(screen->lblMessage->isHidden());

        ScriptedMsgBox box;
        chooser(false, set_, 0);
        screen->cmdBackUp->click();
        QCOMPARE(box.count(), 0);
        QVERIFY(QDir(set_).isEmpty());
        chooser(true, set_, 0);
        screen->cmdBackUp->click();
        QCOMPARE(box.last().text, QStringLiteral("エクスポート処理が正しく終了しました。"));
        QCOMPARE(box.last().icon, MsgIcon::Information);
        QCOMPARE(QDir(set_).entryList(QDir::Files).size(), 23);
        QVERIFY(screen->lblMessage->isHidden());

        // The company moves on a year and loses its description after the export.
        QVERIFY(exec(QStringLiteral("UPDATE T_COMP_MAIN SET NENDOSU = 13 WHERE CID = '51'")));
        QVERIFY(exec(QStringLiteral("DELETE FROM T_TEKIYO WHERE CID = '51'")));
        gstrNendo = QStringLiteral("第 13 期");
        box.clear();
        screen->optNo->setChecked(!japanese);
        chooser(chosen, set_, listed);
        screen->cmdConverter->click();
        QCOMPARE(chooserCalls_, 3);
        QCOMPARE(listed_, BackupFilePattern().patterns);
        QCOMPARE(box.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) QVERIFY2(box.last().text.contains(message), qPrintable(box.last().text));
        const bool imported = !description.isEmpty();
        if (!message.isEmpty()) QCOMPARE(box.last().icon, imported ? MsgIcon::Information : MsgIcon::Warning);
        QCOMPARE(text(QStringLiteral("SELECT group_concat(TENAME) FROM T_TEKIYO WHERE CID = '51'")),
                 description);
        const QString nendo = imported ? QStringLiteral("第 12 期") : QStringLiteral("第 13 期");
        QCOMPARE(gstrNendo, nendo);
        if (imported) {
            QCOMPARE(screen->windowTitle(), QStringLiteral("データコンバーター処理 - テスト商店 - ") + nendo);
            QCOMPARE(menu_.windowTitle(), kSaveMenu + QStringLiteral(" - テスト商店 - ") + nendo);
        }
        QVERIFY(screen->lblMessage->isHidden());
    }

    // The letters run the buttons; the help box names the two buttons.
    void keysAndHelp() {
        auto screen = openScreen();
        ScriptedMsgBox box;
        chooser(false, set_, 0);
        QTest::keyClick(screen->cmdBackUp, Qt::Key_C);
        QTest::keyClick(screen->cmdBackUp, Qt::Key_J);
        QCOMPARE(chooserCalls_, 2);

        screen->cmdQuestion->click();
        QCOMPARE(box.last().title, QStringLiteral("会計ソフト"));
        QCOMPARE(box.last().icon, MsgIcon::Information);
        QCOMPARE(box.last().text.count(QStringLiteral("\r\n")), 2);
        QVERIFY(box.last().text.startsWith(QStringLiteral("中国語版へボタンを押下すると")));

        QTest::keyClick(screen->cmdBackUp, Qt::Key_X);
        QVERIFY(screen->isHidden());
        screen.release();  // the screen deletes itself when it closes
    }

private:
    FixedCompanyList companies_;
    QWidget menu_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString set_;
    int chooserCalls_ = 0;
    QString listed_;
};

QTEST_MAIN(TestConverterScreen)
#include "tst_converterscreen.moc"
