// The journal export and import screens: the month list, the confirmation,
// the folder choice and what a cancel leaves.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/common/companylist.h"
#include "app/common/folderchooser.h"
#include "app/common/globals.h"
#include "app/startup.h"
#include "exchange/JournalCsvScreen.h"
#include "ledger/period.h"
#include "ledger/records.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

class TestJournalCsvScreens : public QObject {
    Q_OBJECT

    void chooser(bool ok, const QString& folder, int count) {
        SetFolderChooser([=](QWidget*, const FileListPattern&) {
            FolderChoice c;
            c.ok = ok;
            c.folder = folder + QLatin1Char('/');
            c.fileCount = count;
            return c;
        });
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
    }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrCID = QStringLiteral("51");
        for (const char* t : {"T_SI_MEISAI", "T_SIWAKE", "T_COMP_MAIN"})
            QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM ") + QLatin1String(t)));
        QVERIFY(gcnKaikei->exec(QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU) "
                                               "VALUES ('51', 'テスト商店', '2003/04/01', '2004/03/31', '1', 1)")));
        {
            platform::Transaction tx(*gcnKaikei);  // as its callers in the program run it
            QVERIFY(ResetCompanyData(gstrCID));
            QVERIFY(tx.commit());
        }
        JournalLine line;
        line.denCode = QStringLiteral("00001");
        line.denMeNo = QStringLiteral("001");
        line.cid = gstrCID;
        line.siDay = QStringLiteral("2003/04/01");
        line.dateYm = QStringLiteral("2003/04");
        line.kr.kin = line.ks.kin = Currency::fromYen(1500);
        platform::Transaction tx(*gcnKaikei);
        QVERIFY(WriteSiMeisaiTable(line, QStringLiteral("T_SI_MEISAI")));
        QVERIFY(tx.commit());
    }

    void cleanup() {
        SetFolderChooser({});
        db_.reset();
    }

    void exportThenImportAMonth() {
        QTemporaryDir dir;
        ScriptedMsgBox boxes;
        runDataout out;
        out.show();
        QCOMPARE(out.cmbTuki->count(), 12);
        QCOMPARE(out.cmbTuki->itemText(0), QStringLiteral("2003年 4月"));
        QCOMPARE(out.cmbTuki->currentIndex(), -1);
        out.cmbTuki->setCurrentIndex(0);

        // No, then a cancelled chooser: nothing is written.
        boxes.answer(platform::vbNo);
        out.cmdStart->click();
        QVERIFY(boxes.last().text.endsWith(QStringLiteral("\u30002003年 4月度の抽出処理を開始します。よろしいですか?")));
        chooser(false, dir.path(), 0);
        boxes.answer(platform::vbYes);
        out.cmdStart->click();
        QVERIFY(QDir(dir.path()).isEmpty());

        chooser(true, dir.path(), 0);
        boxes.answer(platform::vbYes);
        out.cmdStart->click();
        QCOMPARE(boxes.last().text, QStringLiteral("抽出処理が正しく終了しました"));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Data51_2003年 4月.CSV"))));
        QVERIFY(out.lblMessage->isHidden());

        runDatain in;
        in.show();
        in.cmbTuki->setCurrentIndex(0);
        chooser(true, dir.path(), 1);
        in.cmdStart->click();
        QCOMPARE(boxes.last().text, QStringLiteral("データが見つかりませんので、取込処理を中止します。"));
        chooser(true, dir.path(), 2);
        in.cmdStart->click();
        QCOMPARE(boxes.last().text, QStringLiteral("取込処理が正しく終了しました"));
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("SELECT COUNT(*) FROM T_SI_MEISAI WHERE KRBUKBN = '01'"))->toInt(), 0);
    }

    // Nothing to export (a month without lines, or every line undated) is
    // said at once: no question, no folder chooser, no file.
    void nothingToExportIsSaidFirst() {
        QVERIFY(gcnKaikei->exec(QStringLiteral("UPDATE T_SI_MEISAI SET SIDAY = ''")));
        int chooserCalls = 0;
        SetFolderChooser([&](QWidget*, const FileListPattern&) {
            ++chooserCalls;
            return FolderChoice{};
        });
        ScriptedMsgBox boxes;
        runDataout out;
        out.show();
        for (const int month : {-1, 0, 1}) {
            out.cmbTuki->setCurrentIndex(month);
            const int before = boxes.count();
            out.cmdStart->click();
            QCOMPARE(boxes.count(), before + 1);
            QCOMPARE(boxes.last().text, QStringLiteral("抽出データが存在しません。"));
        }
        QCOMPARE(chooserCalls, 0);
        QCOMPARE(gcnKaikei->scalar(QStringLiteral("SELECT COUNT(*) FROM T_SI_MEISAI WHERE KRBUKBN = '01'"))->toInt(), 0);
    }

    // The "処理中" label shown during a run takes the room kept for it: the
    // texts, the month list and the buttons stay where they are.
    void progressLabelMovesNothing() {
        runDataout out;
        runDatain in;
        for (JournalCsvScreen* s : {static_cast<JournalCsvScreen*>(&out), static_cast<JournalCsvScreen*>(&in)}) {
            s->show();
            QVERIFY(QTest::qWaitForWindowExposed(s));
            const QList<QWidget*> others{s->lblReadMe, s->cmbTuki, s->cmdStart};
            QList<QRect> before;
            for (QWidget* w : others) before << w->geometry();
            s->lblMessage->show();
            QApplication::processEvents();
            for (int i = 0; i < others.size(); ++i) {
                QCOMPARE(others[i]->geometry(), before[i]);
                QVERIFY(!others[i]->geometry().intersects(s->lblMessage->geometry()));
            }
        }
    }

private:
    std::unique_ptr<testenv::ShippedDb> db_;
};

QTEST_MAIN(TestJournalCsvScreens)
#include "tst_journalcsvscreens.moc"
