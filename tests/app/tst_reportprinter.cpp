// Report printing by name: the refusals and their messages, the preview and a
// database failure. (The chart-of-accounts list itself: tests/reports/tst_chartlist.)

#include <QPrinterInfo>
#include <QtTest>

#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "app/startup.h"
#include "support/chartlistfixture.h"
#include "support/testenv.h"

namespace {

const QString kNoPrinter = QStringLiteral(
    "プリンタドライバがインストールされていません。\rプリンタドライバをインストールして下さい。");
const QString kNotFound = QStringLiteral(
    "ファイルが見つかりません。\rパス、ファイル名の確認、使用可能なファイルかを確認して下さい。");

}  // namespace

class TestReportPrinter : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;  // db_'s connection

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        QVERIFY(IsReportRegistered(QStringLiteral("R_KANJO_LISTH")));
    }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        chartlistfixture::fill(*cn_);
    }

    void cleanup() {
        for (platform::report::Preview* p : platform::report::Preview::openPreviews()) delete p;
        db_.reset();
    }

    void refusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank name, preview") << "" << 0 << QStringLiteral("レポート名を指定して下さい。");
        QTest::newRow("blank name, print") << "   " << 1 << QStringLiteral("レポート名を指定して下さい。");
        QTest::newRow("mode 2") << "R_KANJO_LISTH" << 2 << QStringLiteral("モードが誤っています。");
        QTest::newRow("mode -1") << "R_KANJO_LISTH" << -1 << QStringLiteral("モードが誤っています。");
        QTest::newRow("unknown report, preview") << "R_NONE" << 0 << kNotFound;
        QTest::newRow("unknown report, print") << "R_NONE" << 1 << kNotFound;
        QTest::newRow("no printer") << "R_KANJO_LISTH" << 1 << kNoPrinter;
    }
    void refusals() {
        QFETCH(QString, name);
        QFETCH(int, mode);
        QFETCH(QString, message);
        if (message == kNoPrinter && !QPrinterInfo::availablePrinters().isEmpty()) {
            QSKIP("this machine has a printer");
        }
        platform::ScriptedMsgBox box;
        QVERIFY(!PrintAccessReport(name, mode));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, message);
        QCOMPARE(box.last().title, gstrSoftName);
        QCOMPARE(box.last().icon, platform::MsgIcon::None);
        QCOMPARE(box.last().buttons, platform::MsgButtons::Ok);
        QVERIFY(platform::report::Preview::openPreviews().isEmpty());
    }

    void previewOpensMaximisedAndNonModal() {
        platform::ScriptedMsgBox box;
        QVERIFY(PrintAccessReport(QStringLiteral(" R_KANJO_LISTH "), 0));
        QCOMPARE(box.count(), 0);
        const auto previews = platform::report::Preview::openPreviews();
        QCOMPARE(previews.size(), 1);
        platform::report::Preview* p = previews.first();
        QVERIFY(p->isVisible());
        QVERIFY(!p->isModal());
        QVERIFY(p->windowState() & Qt::WindowMaximized);
        QCOMPARE(p->document().name, QStringLiteral("R_KANJO_LISTH"));
        QTRY_COMPARE(p->previewPageCount(), 2);
    }

    void databaseFailureIsReported() {
        platform::ScriptedMsgBox box;
        QVERIFY(cn_->exec(QStringLiteral("DROP TABLE WK_KANJO_PRINT")));
        QVERIFY(!PrintAccessReport(QStringLiteral("R_KANJO_LISTH"), 0));
        QCOMPARE(box.count(), 1);
        QVERIFY2(box.last().text.startsWith(QStringLiteral("エラーNo:1\r")), qPrintable(box.last().text));
        QVERIFY(box.last().text.contains(QStringLiteral("WK_KANJO_PRINT")));
        QVERIFY(platform::report::Preview::openPreviews().isEmpty());

        gcnKaikei = nullptr;
        QVERIFY(!PrintAccessReport(QStringLiteral("R_KANJO_LISTH"), 0));
        QCOMPARE(box.last().text,
                 QStringLiteral("Accessファイルオープン中にエラーが発生しました(PrintAccessReport)。"));
        QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
    }
};

QTEST_MAIN(TestReportPrinter)
#include "tst_reportprinter.moc"
