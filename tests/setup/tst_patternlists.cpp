// The description list and the pattern list print what the editing copies
// hold, edits not yet written back included, in number and account order.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/common/globals.h"
#include "reports/reportregistry.h"
#include "reports/prepareengine.h"
#include "ledger/patternbook.h"
#include "support/testenv.h"

namespace {

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// True when every piece occurs in text, each after the one before.
bool inOrder(const QString& text, const QStringList& pieces) {
    qsizetype at = 0;
    for (const QString& piece : pieces) {
        at = text.indexOf(piece, at);
        if (at < 0) return false;
        at += piece.size();
    }
    return true;
}

}  // namespace

class TestPatternLists : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;

    QString printed(const QString& report) {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("list.pdf"));
        if (!WriteReportPdf(report, pdf)) return QString();
        return pdfText(pdf);
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareEngine();
    }
    void init() {
        db_ = testenv::ShippedDb::open();
        QVERIFY(db_);
        gstrCID = QStringLiteral("51");
        auto& cn = db_->connection();
        QVERIFY(cn.exec("DELETE FROM T_TEKIYO"));
        QVERIFY(cn.exec("DELETE FROM T_SI_PATTERN"));
        QVERIFY(cn.exec("INSERT INTO T_TEKIYO VALUES ('51', '001', '甲摘要'), ('51', '002', '乙摘要')"));
        QVERIFY(cn.exec("INSERT INTO T_SI_PATTERN VALUES ('51', '900', '100', '丙仕訳', '丙摘要', '1', ''),"
                        " ('51', '100', '900', '甲仕訳', '甲摘要', '1', '')"));
    }
    void cleanup() { db_.reset(); }

    void descriptionList() {
        TekiyoList list;
        QVERIFY(list.load());
        QVERIFY(list.apply(EditMode::Delete, "甲摘要", "甲摘要"));
        QVERIFY(list.apply(EditMode::Register, "丁摘要", QString()));  // takes 001 again
        QVERIFY(list.apply(EditMode::Register, "戊摘要", QString()));
        const QString text = printed(QStringLiteral("R_TEKIYO"));
        QVERIFY2(text.contains(QStringLiteral("摘要一覧表")), qPrintable(text));
        QVERIFY2(inOrder(text, {"001", "丁摘要", "002", "乙摘要", "003", "戊摘要"}), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("甲摘要")));
    }

    void patternList() {
        QVERIFY(LoadPatternCopy());
        QVERIFY(ApplyPattern(EditMode::Register, "500", "100", "乙仕訳", "乙摘要"));
        const QString text = printed(QStringLiteral("R_SIWAKE"));
        QVERIFY2(text.contains(QStringLiteral("一括仕訳一覧表")), qPrintable(text));
        QVERIFY2(inOrder(text, {"甲仕訳", "甲摘要", "乙仕訳", "乙摘要", "丙仕訳", "丙摘要"}), qPrintable(text));
    }
};

QTEST_MAIN(TestPatternLists)
#include "tst_patternlists.moc"
