// The manufacturing cost report: its build over posted journal lines and over
// given monthly totals, its agreement with the profit and loss statement's
// cost of manufactured goods, and its report R_SEIZOGENKA written to PDF.

#include <QTemporaryDir>
#include <QtTest>

#include "reports/reportregistry.h"
#include "platform/msgbox.h"
#include "reports/prepareengine.h"
#include "ledger/printwork.h"
#include "reports/r_seizogenka.h"
#include "statementfixture.h"
#include "ledger/seizogenka.h"

using fixture::Company;

namespace {

struct Line {
    QString id, name, seq;
    qint64 kin1 = 0, kin2 = 0, kin3 = 0, kin4 = 0, kin5 = 0;
};

}  // namespace

class TestSeizoGenka : public QObject {
    Q_OBJECT

    std::unique_ptr<Company> co_;

    std::vector<Line> lines() {
        std::vector<Line> out;
        const auto rows = co_->cn().query(QStringLiteral(
            "SELECT PRTIDNO, PRTNAME, PRTJUN, KIN1, KIN2, KIN3, KIN4, KIN5 FROM P_TUKISYUSI ORDER BY PRTIDNO"));
        if (!rows) return out;
        for (const auto& r : *rows) {
            out.push_back({r.text(0), r.text(1), r.text(2), r.currency(3).yen(), r.currency(4).yen(),
                           r.currency(5).yen(), r.currency(6).yen(), r.currency(7).yen()});
        }
        return out;
    }

    // "id seq amount [total]" per line, heads as "id title".
    QStringList summary() {
        QStringList out;
        for (const Line& l : lines()) {
            if (l.id.size() == 2) {
                out << l.id;
                continue;
            }
            QString s = QStringLiteral("%1 %2 %3").arg(l.id, l.seq).arg(l.kin1);
            if (l.kin3 == 1) s += QStringLiteral(" =%1").arg(l.kin2);
            if (l.kin4 != 0 || l.kin5 != 0) s += QStringLiteral(" wip %1/%2").arg(l.kin4).arg(l.kin5);
            out << s;
        }
        return out;
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareEngine();
    }

    void init() {
        co_ = std::make_unique<Company>();
        QVERIFY(co_->open());
    }

    void cleanup() { co_.reset(); }

    // The sections of May: the materials run with its subtotal line (202,
    // sequence "99", printed though no line posts to it), the section totals
    // on each section's last line, work in process on the overheads' total.
    void sectionsOfAMonth() {
        QVERIFY(co_->postMaking());
        platform::ScriptedMsgBox box;
        QVERIFY(BuildSeizoGenka(fixture::monthOf(QStringLiteral("2010/05"))));
        QCOMPARE(box.count(), 0);
        const QStringList expected = {
            "10",
            "10001 1 80000",          // 期首材料棚卸高
            "10002 2 500000",         // 材料仕入高
            "10003 3 20000",          // 材料仕入値引高
            "10004 99 560000",        // 材料費小計
            "10005 4 60000 =500000",  // 期末材料棚卸高, the materials cost
            "20",
            "20001 1 300000 =300000",
            "30",
            "30001 1 40000",
            "30002 2 70000 =110000 wip 15000/25000",
        };
        QCOMPARE(summary(), expected);
        const auto names = co_->cn().query(QStringLiteral(
            "SELECT PRTNAME FROM P_TUKISYUSI WHERE PRTIDNO IN ('10', '10004', '30002') ORDER BY PRTIDNO"));
        QVERIFY(names && names->size() == 3);
        QCOMPARE((*names)[0].text(0), QStringLiteral("Ⅰ 材    料    費"));
        QCOMPARE((*names)[1].text(0), QStringLiteral("材料費小計"));
        QCOMPARE((*names)[2].text(0), QStringLiteral("外注加工費"));
    }

    // The report's cost of manufactured goods equals the profit and loss
    // statement's line 245 of the same month, month after month.
    void agreesWithProfitAndLoss_data() {
        QTest::addColumn<QString>("ym");
        QTest::addColumn<qint64>("cost");
        QTest::newRow("April: opening materials only") << "2010/04" << qint64(80000);
        QTest::newRow("May") << "2010/05" << qint64(900000);
        QTest::newRow("closing month") << "2011/03" << qint64(1020000);
    }
    void agreesWithProfitAndLoss() {
        QFETCH(QString, ym);
        QFETCH(qint64, cost);
        QVERIFY(co_->postSampleYear());
        QVERIFY(co_->postMaking());
        platform::ScriptedMsgBox box;
        QVERIFY(BuildSeizoGenka(fixture::monthOf(ym)));
        const auto totals = reports::ReadSeizoGenkaTotals(co_->cn());
        QVERIFY(totals);
        QVERIFY(BuildSonekiKeisan(fixture::monthOf(ym)));
        QCOMPARE(box.count(), 0);
        QCOMPARE(co_->row(QStringLiteral("T_TOTAL1"), QStringLiteral("245")).zan, cost);
        QCOMPARE(totals->productCost().yen(), cost);
    }

    // Given totals: a section of more than nine accounts (labour grown to
    // twelve) keeps every line in its own section with its own id; a zero
    // line is left out and passes its sequence number on; when the last
    // account is zero the total goes onto the last printed line; a section
    // without amounts keeps its head alone.
    void givenTotals() {
        Company& c = *co_;
        const QString ym = QStringLiteral("2010/06");
        QVERIFY(c.markSummedThrough(ym));
        // Six overhead accounts moved into the labour group.
        QVERIFY(c.cn().exec(QStringLiteral("UPDATE T_KANJO SET PCODE2 = '4214' WHERE KOCODE BETWEEN '215' AND '220'")));
        const QStringList labour = {"631", "632", "633", "634", "635", "636", "651", "652", "653", "654", "655"};
        for (int i = 0; i < labour.size(); ++i)
            QVERIFY(c.monthRow(c.ko(labour[i]), ym, 0, 0, 1000 * (i + 1), 0));
        QVERIFY(c.monthRow(c.ko("656"), ym, 0, 0, 500, 500));  // zero, last of the labour group
        platform::ScriptedMsgBox box;
        QVERIFY(BuildSeizoGenka(fixture::monthOf(ym)));
        QCOMPARE(box.count(), 0);
        QStringList expected = {"10", "20"};
        for (int i = 0; i < labour.size(); ++i)
            expected << QStringLiteral("20%1 %2 %3").arg(i + 1, 3, 10, QLatin1Char('0')).arg(i + 1).arg(1000 * (i + 1));
        expected.last() += QStringLiteral(" =66000");
        expected << "30";
        QCOMPARE(summary(), expected);
    }

    void noFigures() {
        Company& c = *co_;
        QVERIFY(c.markSummedThrough(QStringLiteral("2010/04")));
        QVERIFY(c.monthRow(c.ko("511"), QStringLiteral("2010/04"), 0, 100, 0, 100));
        platform::ScriptedMsgBox box;
        QVERIFY(!BuildSeizoGenka(fixture::monthOf(QStringLiteral("2010/04"))));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("該当データがありません。"));
    }

    // Era dates of the header, the era's name included.
    void eraDates_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("expected");
        QTest::newRow("平成") << "2010/04/01" << "平成22年 4月 1日";
        QTest::newRow("last day of 平成") << "2019/04/30" << "平成31年 4月30日";
        QTest::newRow("first day of 令和") << "2019/05/01" << "令和01年 5月 1日";
        QTest::newRow("令和") << "2020/12/31" << "令和02年12月31日";
        QTest::newRow("昭和") << "1988/02/29" << "昭和63年 2月29日";
        QTest::newRow("not a date") << "" << "";
    }
    void eraDates() {
        QFETCH(QString, date);
        QFETCH(QString, expected);
        QCOMPARE(PrintEraDate(date), expected);
    }

    // R_SEIZOGENKA in PDF: the period from the fiscal start to the month's
    // last day, the section titles, the lines and the closing figures.
    void reportPdf() {
        QVERIFY(co_->postMaking());
        platform::ScriptedMsgBox box;
        QVERIFY(BuildSeizoGenka(fixture::monthOf(QStringLiteral("2011/02"))));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("r_seizogenka.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_SEIZOGENKA"), pdf));
        QCOMPARE(box.count(), 0);
        const QString text = fixture::pdfText(pdf);
        const QString flat = text.simplified();
        QVERIFY2(flat.contains(QStringLiteral("製造原価報告書")), qPrintable(text));
        QVERIFY(flat.contains(QStringLiteral("自 平成22年 4月 1日 至 平成23年 2月28日")));
        QVERIFY(text.contains(fixture::kCompanyName));
        QVERIFY(flat.contains(QStringLiteral("材 料 費")));
        QVERIFY(flat.contains(QStringLiteral("経 費")));
        QCOMPARE(fixture::linesWith(text, {QStringLiteral("材料仕入高"), QStringLiteral("620,000")}).size(), 1);
        QCOMPARE(fixture::linesWith(text, {QStringLiteral("材料費小計"), QStringLiteral("680,000")}).size(), 1);
        const QStringList closing = fixture::linesWith(text, {QStringLiteral("期末材料棚卸高")});
        QCOMPARE(closing.size(), 1);
        QVERIFY2(closing.first().simplified().endsWith(QStringLiteral("60,000 620,000")), qPrintable(closing.first()));
        const QStringList cost = fixture::linesWith(text, {QStringLiteral("当期製品製造原価")});
        QCOMPARE(cost.size(), 1);
        QVERIFY2(cost.first().simplified().endsWith(QStringLiteral("1,020,000")), qPrintable(cost.first()));
        QVERIFY(!text.contains(QStringLiteral("…")));
    }
};

QTEST_MAIN(TestSeizoGenka)
#include "tst_seizogenka.moc"
