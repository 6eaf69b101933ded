// The bank statement import screen: the bank list and its default, the
// chosen account posted against, and a cancelled or empty file choice.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/common/folderchooser.h"
#include "app/common/globals.h"
#include "app/startup.h"
#include "exchange/runBankDatain.h"
#include "ledger/period.h"
#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

class TestBankScreen : public QObject {
    Q_OBJECT
    std::unique_ptr<testenv::ShippedDb> db_;
    QTemporaryDir dir_;

    void chooser(bool ok, const QString& file) {
        SetFolderChooser([=, this](QWidget*, const FileListPattern& pattern) {
            FolderChoice c;
            c.ok = ok;
            c.folder = dir_.path() + QLatin1Char('/');
            c.selectedFile = file;
            c.fileCount = pattern.patterns == CsvFilePattern().patterns ? 1 : -1;
            return c;
        });
    }
    QStringList rows(const QString& sql) {
        QStringList out;
        for (const platform::Row& r : gcnKaikei->query(sql).value_or(platform::Rows())) {
            QStringList cells;
            for (int i = 0; i < r.size(); ++i) cells << r.text(i);
            out << cells.join(u'|');
        }
        return out;
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        QFile f(dir_.filePath(QStringLiteral("bank.csv")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(platform::cp932::encode(QStringLiteral("日付,引出金額,預入金額,摘要,残高\r\n"
                                                       "2003/04/02,500,,01ガソリン,0\r\n"
                                                       "2003/04/03,,800,振込,0\r\n"))
                    .bytes);
    }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrCID = QStringLiteral("51");
        for (const char* t : {"T_SI_MEISAI", "T_SIWAKE", "T_COMP_MAIN", "T_SI_PATTERN"})
            QVERIFY(gcnKaikei->exec(QStringLiteral("DELETE FROM ") + QLatin1String(t)));
        QVERIFY(gcnKaikei->exec(
            QStringLiteral("INSERT INTO T_COMP_MAIN (CID, COMPANY, KISYU, KIMATU, GKBN, NENDOSU, SIINLDAY) "
                           "VALUES ('51', 'テスト商店', '2003/04/01', '2004/03/31', '1', 1, '2004/06/30')")));
        {
            platform::Transaction tx(*gcnKaikei);  // as its callers in the program run it
            QVERIFY(ResetCompanyData(gstrCID));
            QVERIFY(tx.commit());
        }
    }

    void cleanup() {
        SetFolderChooser({});
        db_.reset();
    }

    // The progress label shows in room of its own: nothing moves.
    void progressLabelMovesNothing() {
        platform::FixedClock clock(QDate(2003, 4, 1));
        ScriptedMsgBox boxes;
        runBankDatain screen;
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        const QList<QWidget*> others{screen.lblReadMe, screen.cmbBank, screen.cmdStr};
        QList<QRect> before;
        for (QWidget* w : others) before << w->geometry();
        screen.lblMessage->show();
        QApplication::processEvents();
        for (int i = 0; i < others.size(); ++i) {
            QCOMPARE(others[i]->geometry(), before[i]);
            QVERIFY(!others[i]->geometry().intersects(screen.lblMessage->geometry()));
        }
    }

    void importsAgainstTheChosenBank() {
        platform::FixedClock clock(QDate(2003, 4, 1));
        ScriptedMsgBox boxes;
        runBankDatain screen;
        screen.show();
        QVERIFY(screen.isLoaded());
        // (The company's name comes from the main menu's list, absent here.)
        QVERIFY(screen.windowTitle().startsWith(QStringLiteral("銀行データ取込処理 - ")));
        QCOMPARE(screen.cmbBank->count(), 3);
        QCOMPARE(screen.cmbBank->itemText(0), QStringLiteral("普通預金"));
        QCOMPARE(screen.cmbBank->currentIndex(), -1);
        // Without a choice: the last account listed.
        QCOMPARE(screen.bankAccount(), QStringLiteral("014"));
        QVERIFY(screen.lblMessage->isHidden());

        // A cancelled chooser ends after its prompt; no file chosen is no data.
        chooser(false, QString());
        screen.cmdStr->click();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("取込しようとするデータが入っているドライブとフォルダを選択して下さい。"));
        chooser(true, QString());
        screen.cmdStr->click();
        QCOMPARE(boxes.last().text, QStringLiteral("処理可能なデータが見つかりませんので、取込処理が中止します。"));
        QCOMPARE(rows("SELECT COUNT(*) FROM T_SIWAKE"), QStringList({"0"}));

        screen.cmbBank->setCurrentIndex(0);
        emit screen.cmbBank->activated(0);
        QCOMPARE(screen.bankAccount(), QStringLiteral("012"));
        boxes.clear();
        chooser(true, QStringLiteral("bank.csv"));
        QTest::keyClick(&screen, Qt::Key_S);
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.last().text, QStringLiteral("銀行データの取込処理が正しく終了しました。\r\n2件の明細を仕訳として取り込みました。"));
        QCOMPARE(rows("SELECT SIDAY, KRKOCODE, KSKOCODE, TEKIYO FROM T_SI_MEISAI WHERE SISYU = '1' ORDER BY SIDAY"),
                 QStringList({"2003/04/02|282|012|ガソリン", "2003/04/03|012|180|振込"}));
        QVERIFY(screen.lblMessage->isHidden());
    }
};

QTEST_MAIN(TestBankScreen)
#include "tst_bankscreen.moc"
