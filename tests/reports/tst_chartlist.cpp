// The chart-of-accounts list by name without widgets: written to PDF and read
// back, and an empty chart that still gives one page. (Printing and the
// preview by name: tests/app/tst_reportprinter.)

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/connection.h"
#include "platform/msgbox.h"
#include "platform/reportpaint.h"
#include "reports/prepareengine.h"
#include "reports/reportregistry.h"
#include "support/chartlistfixture.h"
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

}  // namespace

class TestChartList : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;
    platform::Connection* cn_ = nullptr;  // db_'s connection

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareEngine();
        QVERIFY(IsReportRegistered(QStringLiteral("R_KANJO_LISTH")));
    }

    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        cn_ = &db_->connection();
        chartlistfixture::fill(*cn_);
    }

    void cleanup() { db_.reset(); }

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

QTEST_MAIN(TestChartList)
#include "tst_chartlist.moc"
