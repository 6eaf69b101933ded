// Report printing by name: the refusals and their messages, the preview, and the
// chart-of-accounts list written to PDF and read back.

#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "platform/connection.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "app/startup.h"
#include "support/testenv.h"

namespace {

QString pdfText(const QString& path, int page) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
             QString::number(page), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

QString squeezed(QString s) {
    return s.remove(QRegularExpression(QStringLiteral("\\s")));
}

const QString kNoPrinter = QStringLiteral(
    "プリンタドライバがインストールされていません。\rプリンタドライバをインストールして下さい。");
const QString kNotFound = QStringLiteral(
    "ファイルが見つかりません。\rパス、ファイル名の確認、使用可能なファイルかを確認して下さい。");

}  // namespace

class TestReportPrinter : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;  // db_'s connection

    void addAccount(const char* dai, const char* daiName, const char* tyu, const char* tyuName,
                    const char* syo, const char* syoName, const char* code, const QString& name,
                    const char* side, const char* hojo, qint64 opening, const char* aicode,
                    const QVariant& ainame, int jun) {
        auto text = [](const char* s) { return s ? QVariant(QString::fromUtf8(s)) : QVariant(); };
        QVERIFY(cn_->exec(
            QStringLiteral(
                "INSERT INTO WK_KANJO_PRINT (DAICODE, DAINAME, TYUCODE, TYUNAME, SYOCODE, SYONAME, KMCODE,"
                " KMNAME, TAIKBN, HOJOSET, KISYUZAN, AICODE, AINAME, DAIBUN, TYUBUN, JUN, KISYUMKBN)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', '', ?, '')"),
            {text(dai), text(daiName), text(tyu), text(tyuName), text(syo), text(syoName), text(code), name,
             text(side), text(hojo), QVariant::fromValue(Currency::fromYen(opening)), text(aicode), ainame,
             jun}));
    }

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
        gstrCID = QStringLiteral("51");
        QVERIFY(cn_->exec(QStringLiteral("DELETE FROM WK_COMPANY")));
        QVERIFY(cn_->exec(
            QStringLiteral("INSERT INTO WK_COMPANY (CID, COMPANY, PKISYU, PKIMATU) VALUES (?, ?, ?, ?)"),
            {gstrCID, QStringLiteral("株式会社テスト商店"), QStringLiteral("2010年04月01日"),
             QStringLiteral("2011年03月31日")}));
        QVERIFY(cn_->exec(QStringLiteral("DELETE FROM WK_KANJO_PRINT")));
        addAccount("901", "資産", "911", "流動資産", "931", "現金預金", "101", QStringLiteral("現金"), "0",
                   "N", 1234567, "004", QVariant(), 1);
        addAccount("901", "資産", "911", "流動資産", "931", "現金預金", "102", QStringLiteral("普通預金"),
                   "0", "Y", 5000000, "004", QStringLiteral("現金"), 2);
        addAccount("901", "資産", "912", "固定資産", nullptr, nullptr, "201",
                   QStringLiteral("O'Brien商会 貸付金"), "0", "N", 0, "004", QStringLiteral("現金"), 3);
        addAccount("901", "資産", nullptr, nullptr, nullptr, nullptr, "190", QStringLiteral("仮払金"), "0",
                   "N", -2500, "", QVariant(), 4);
        addAccount("902", "負債", "914", "流動負債", nullptr, nullptr, "301", QStringLiteral("買掛金"), "1",
                   "Y", 80000, "004", QStringLiteral("現金"), 5);
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

    // The chart list: one page per large class, class headings, each account
    // with side, sub-account flag, opening balance, counter account and order.
    void chartListInPdf() {
        platform::ScriptedMsgBox box;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("kanjo.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_KANJO_LISTH"), pdf));
        QCOMPARE(box.count(), 0);

        const QString assets = pdfText(pdf, 1);
        const QString flat = squeezed(assets);
        QVERIFY2(flat.contains(QStringLiteral("勘定科目一覧表")), qPrintable(assets));
        QVERIFY(flat.contains(QStringLiteral("株式会社テスト商店")));
        QVERIFY(flat.contains(QStringLiteral("自2010年04月01日至2011年03月31日")));
        for (const char* caption : {"コード", "勘定科目", "貸借", "補助", "期首残高", "相手科目", "表示順"}) {
            QVERIFY2(assets.contains(QString::fromUtf8(caption)), caption);
        }
        QVERIFY(flat.contains(QStringLiteral("流動資産/現金預金")));  // NFKC folds the full-width solidus
        QVERIFY(assets.contains(
            QRegularExpression(QStringLiteral("101\\s+現金\\s+借方\\s+無\\s+1,234,567\\s+1\\n"))));
        QVERIFY(assets.contains(QRegularExpression(
            QStringLiteral("102\\s+普通預金\\s+借方\\s+有\\s+5,000,000\\s+現金\\s+2\\n"))));
        // A name with a quote prints as typed; a zero opening balance stays blank.
        QVERIFY(assets.contains(
            QRegularExpression(QStringLiteral("201\\s+O'Brien商会 貸付金\\s+借方\\s+無\\s+現金\\s+3\\n"))));
        QVERIFY(assets.contains(
            QRegularExpression(QStringLiteral("190\\s+仮払金\\s+借方\\s+無\\s+-2,500\\s+4\\n"))));
        // An account directly under the large class comes before the class headings.
        QVERIFY(assets.indexOf(QStringLiteral("仮払金")) < assets.indexOf(QStringLiteral("流動資産")));
        QVERIFY(!assets.contains(QStringLiteral("買掛金")));

        const QString liabilities = pdfText(pdf, 2);
        QVERIFY(liabilities.contains(QStringLiteral("負債")));
        QVERIFY(liabilities.contains(
            QRegularExpression(QStringLiteral("301\\s+買掛金\\s+貸方\\s+有\\s+80,000\\s+現金\\s+5\\n"))));
        QVERIFY(squeezed(liabilities).contains(QStringLiteral("-2/2-")));
    }

    void emptyChartStillPrintsTheList() {
        QVERIFY(cn_->exec(QStringLiteral("DELETE FROM WK_KANJO_PRINT")));
        const auto doc = BuildReport(QStringLiteral("R_KANJO_LISTH"));
        QVERIFY(doc);
        QCOMPARE(doc->table.rowCount(), 0);
        QCOMPARE(platform::report::pageCount(*doc), 1);
    }
};

QTEST_MAIN(TestReportPrinter)
#include "tst_reportprinter.moc"
