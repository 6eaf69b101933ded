// The monthly income and expense table of a sole proprietor whose fiscal year
// starts in October: the table built from a generated year of journal lines
// against month figures worked out here from the lines themselves, the column
// labels, a range of one month, and the report read back. (Its screen:
// tst_tukisyusiscreen.)

#include <QTemporaryDir>
#include <QtTest>

#include "ledger/tukisyusi.h"
#include "platform/msgbox.h"
#include "reports/prepareengine.h"
#include "reports/reportregistry.h"
#include "statements/statementfixture.h"
#include "tukisyusifixture.h"

using namespace tukisyusifixture;
using platform::ScriptedMsgBox;

class TestTukisyusi : public QObject, protected Year {
    Q_OBJECT

    FakeCompanyList companies_;

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareEngine();
        SetTheCompanyList(&companies_);
    }

    void init() {
        byNumber_.clear();
        QVERIFY(openCompany());
        QVERIFY(postGeneratedYear());
        // A chart edit gives the total of the selling and administrative
        // expenses the number of 租税公課: it must not count a second time.
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_KANJO SET KMCODE = '726' WHERE KOCODE = '310'")));
    }

    void cleanup() { db_.reset(); }

    // The whole year: every month of every line and summary row equals the
    // figures of the journal lines; line 25 is the column sums of lines 01 to
    // 24; row D is A - B - C - line 25.
    void theYearAgainstTheJournalLines() {
        ScriptedMsgBox box;
        QVERIFY(BuildTukibetu(range("2010/10", "2011/09")));
        QCOMPARE(box.count(), 0);
        QCOMPARE(headTexts(), (QStringList{"22", "10 月", "11 月", "12 月", "1 月", "2 月", "3 月", "4 月", "5 月",
                                           "6 月", "7 月", "8 月", "9 月"}));
        Row13 sums{};
        for (int n = 1; n <= 24; ++n) {
            const QString number = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
            QCOMPARE(line(number), expected(n));
            for (int i = 0; i < 13; ++i) sums[i] += line(number)[i];
        }
        QCOMPARE(line(QStringLiteral("25")), sums);
        QCOMPARE(name(QStringLiteral("25")), QStringLiteral("計"));
        QCOMPARE(headRow(0), expected(-1));
        QCOMPARE(headRow(1), expected(-2));
        QCOMPARE(headRow(2), expected(-3));
        Row13 difference{};
        for (int i = 0; i < 13; ++i) difference[i] = headRow(0)[i] - headRow(1)[i] - headRow(2)[i] - sums[i];
        QCOMPARE(headRow(3), difference);
        // Lines named after the chart's account of their first number.
        QCOMPARE(name(QStringLiteral("18")), QStringLiteral("法定福利費"));
        QCOMPARE(name(QStringLiteral("21")), QStringLiteral("車両費"));
        QCOMPARE(name(QStringLiteral("05")), QStringLiteral("通　信　費"));
    }
    // One month in the middle: only its column, whatever the labels say; a
    // chart without account 734 names line 21 nothing but still adds 738.
    void oneMonth() {
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_KANJO SET KMCODE = '' WHERE KMCODE = '734'")));
        QVERIFY(BuildTukibetu(range("2011/02", "2011/02")));
        QCOMPARE(headTexts().value(1), QStringLiteral("10 月"));
        for (int n = 1; n <= 24; ++n) {
            QCOMPARE(line(QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'))),
                     within(expected(n, QStringLiteral("734")), 4, 4));
        }
        QCOMPARE(name(QStringLiteral("21")), QString());
        QVERIFY(byNumber_[QStringLiteral("738")][4] != 0);
        const Row13 d = headRow(3);
        for (int i = 0; i < 12; ++i)
            if (i != 4) QCOMPARE(d[i], 0);
        QCOMPARE(d[12], d[4]);
        QCOMPARE(headRow(0), within(expected(-1), 4, 4));
    }
    // A build that fails leaves the tables of the previous build.
    void aFailedBuildKeepsThePreviousOne() {
        QVERIFY(BuildTukibetu(range("2010/10", "2011/09")));
        QVERIFY(cn().exec(QStringLiteral("DROP TABLE P_TUKISYUSI_HEAD")));
        ScriptedMsgBox box;
        QVERIFY(!BuildTukibetu(range("2011/02", "2011/02")));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("データアクセス中にエラーが発生しました(set_hyouji_table)。"));
        QCOMPARE(line(QStringLiteral("01")), expected(1));
    }
    void theReportReadBack() {
        QVERIFY(BuildTukibetu(range("2010/10", "2011/09")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("tukisyusi.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_TUKISYUSI"), pdf));
        const QString text = fixture::pdfText(pdf);
        QStringList labels = fixture::linesWith(text, {"10 月", "11 月", "12 月"});
        QCOMPARE(labels.size(), 1);
        QVERIFY(labels[0].remove(QLatin1Char(' ')).contains(QStringLiteral("1月2月3月4月5月6月7月8月9月合計")));
        const auto shown = [](qint64 raw) { return Currency::fromRaw(raw).toDisplay(); };
        for (const auto& [caption, value] :
             std::vector<std::pair<QString, qint64>>{{QStringLiteral("租税公課"), expected(1)[12]},
                                                     {QStringLiteral("売上(収入)金額"), expected(-1)[12]},
                                                     {QStringLiteral("差引金額"), headRow(3)[12]},
                                                     {QStringLiteral("計"), line(QStringLiteral("25"))[12]}}) {
            QVERIFY2(fixture::linesWith(text, {caption, shown(value)}).size() >= 1, qPrintable(caption));
        }
        QVERIFY(text.contains(QStringLiteral("平成22年度")));
        QVERIFY(QString(text).remove(QLatin1Char(' ')).contains(QStringLiteral("-1/1-")));  // one page
    }};

QTEST_MAIN(TestTukisyusi)
#include "tst_tukisyusi.moc"
