// The monthly income and expense table of a sole proprietor whose fiscal year
// starts in October: the table built from a generated year of journal lines
// against month figures worked out here from the lines themselves, the column
// labels, a range of one month, the report read back, and the screen headless.

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <array>
#include <map>

#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "app/common/reportprinter.h"
#include "books/prtTukibetu.h"
#include "ledger/tukisyusi.h"
#include "ledger/company.h"
#include "ledger/monthstatus.h"
#include "ledger/rowwriters.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "app/startup.h"
#include "statements/statementfixture.h"
#include "support/testenv.h"

using platform::ScriptedMsgBox;

namespace {

const QString kCid = QStringLiteral("52");
const QString kName = QStringLiteral("個人商店");
const QStringList kMonths = {"2010/10", "2010/11", "2010/12", "2011/01", "2011/02", "2011/03",
                             "2011/04", "2011/05", "2011/06", "2011/07", "2011/08", "2011/09"};

class FakeCompanyList : public CompanyList {
public:
    QString currentCompanyName() const override { return kName; }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// The account numbers of each line of the table, written out from its
// definition: rows A, B, C are keys -1, -2, -3; lines 1 to 24 their numbers.
const std::map<int, QStringList>& selections() {
    static const std::map<int, QStringList> all = {
        {-1, {"511", "512", "513", "514", "515", "516", "517", "518", "813", "521", "522", "523", "524"}},
        {-2, {"550", "551", "552", "553", "554", "555", "622", "615", "616", "626"}},
        {-3, {"631", "632", "633", "634", "635", "636", "641", "675", "676", "677", "680", "651", "652",
              "653", "654", "655", "656", "657", "658", "661", "662", "663", "664"}},
        {1, {"726"}},
        {2, {"719"}},
        {3, {"725", "741"}},
        {4, {"722"}},
        {5, {"724"}},
        {6, {"718"}},
        {7, {"727"}},
        {8, {"733"}},
        {9, {"732"}},
        {10, {"728"}},
        {11, {"717"}},
        {12, {"712", "713", "714", "715"}},
        {13, {"744"}},
        {14, {"821", "822"}},
        {15, {"747"}},
        {16, {"746"}},
        {17, {"711"}},
        {18, {"716"}},
        {19, {"729"}},
        {20, {"731"}},
        {21, {"734", "738"}},
        {22, {"743", "739"}},
        {23, {"735"}},
        {24, {"760", "742", "751", "752", "753", "754", "755"}},
    };
    return all;
}

using Row13 = std::array<qint64, 13>;  // raw Currency units: 12 months and the total

struct Account {
    QString km, ko, taikbn;
};

}  // namespace

class TestTukisyusi : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::ShippedDb> db_;
    FakeCompanyList companies_;
    std::unique_ptr<QWidget> menu_;
    std::map<QString, Row13> byNumber_;  // what the lines add up per account number

    // The expected figures of a line or summary row (a key of selections()).
    Row13 expected(int key, const QString& without = QString()) {
        Row13 out{};
        for (const QString& km : selections().at(key)) {
            if (km == without || !byNumber_.count(km)) continue;
            for (int i = 0; i < 13; ++i) out[i] += byNumber_[km][i];
        }
        return out;
    }

    platform::Connection& cn() { return db_->connection(); }

    bool openCompany() {
        db_ = testenv::ShippedDb::open();
        if (!db_) return false;
        gstrSoftName = QStringLiteral("Ralvek");
        gstrCallForm.clear();
        WriterRow v(WriteCompanyTable);
        v.set("CID", kCid);
        v.set("COMPANY", kName);
        v.set("NOMAL", QStringLiteral("0"));
        v.set("KISYU", QStringLiteral("2010/10/01"));
        v.set("KIMATU", QStringLiteral("2011/09/30"));
        v.set("GKBN", QStringLiteral("0"));  // an individual
        v.set("KANCNG", QStringLiteral("0"));
        v.set("NENDOSU", QStringLiteral("1"));
        v.set("PKISYU", QStringLiteral("2010年10月01日"));
        v.set("PKIMATU", QStringLiteral("2011年09月30日"));
        v.set("KISYUM", QStringLiteral("2010/10"));
        v.set("SIHON", QStringLiteral("0"));
        v.set("SIINLDAY", QStringLiteral("2011/12/31"));
        v.set("AICODE", QStringLiteral("004"));
        v.set("RATE", QStringLiteral("0"));
        platform::Transaction tx(*gcnKaikei);
        return WriteRow(v, QStringLiteral("T_COMP_MAIN")) && tx.commit() && SwitchCompany(kCid);
    }

    // A year of journal lines between random accounts of the table's
    // selections and a few others, and the figures each line adds to the
    // table: on an account of a selection, its debit adds the amount when the
    // account is debit-normal and subtracts it otherwise; its credit the
    // reverse.
    bool postGeneratedYear() {
        QStringList numbers = {"101", "121", "166", "312", "999", "811"};
        for (const auto& [key, list] : selections()) numbers += list;
        std::vector<Account> pool;
        for (const QString& km : numbers) {
            const auto r = cn().queryOne(
                QStringLiteral("SELECT KOCODE, TAIKBN FROM T_KANJO WHERE KMCODE = ? AND SYORIKBN = '0'"), {km});
            if (!r) return false;
            if (r->size() > 0) pool.push_back({km, r->text(0), r->text(1)});
        }
        if (pool.size() < 60) return false;  // the chart has most of them

        platform::Transaction tx(cn());
        QRandomGenerator random(20101001);
        int count = 0;
        const auto post = [&](int month, int day, const Account& debit, const Account& credit, qint64 raw) {
            const QString ym = kMonths[month];
            const QString den = QStringLiteral("%1").arg(++count, 5, 10, QLatin1Char('0'));
            const QVariant amount = QVariant::fromValue(Currency::fromRaw(raw));
            for (const auto& [account, sign] : {std::pair{debit, 1}, std::pair{credit, -1}}) {
                const qint64 add = account.taikbn == QLatin1String("0") ? sign * raw : -sign * raw;
                byNumber_[account.km][month] += add;
                byNumber_[account.km][12] += add;
            }
            return cn().exec(QStringLiteral("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU,"
                                            " KRKOCODE, KRHOKOCODE, KRKIN, KSKOCODE, KSHOKOCODE, KSKIN)"
                                            " VALUES (?, '001', ?, ?, ?, '0', ?, '', ?, ?, '', ?)"),
                             {den, kCid, ym + QStringLiteral("/%1").arg(day, 2, 10, QLatin1Char('0')), ym, debit.ko,
                              amount, credit.ko, amount});
        };
        for (int i = 0; i < 600; ++i) {
            // Whole yen mostly, now and then with a fraction.
            const qint64 raw = qint64(random.bounded(1, 900000)) * 10000 + (i % 7 == 0 ? random.bounded(10000) : 0);
            if (!post(random.bounded(12), 1 + random.bounded(28), pool[random.bounded(int(pool.size()))],
                      pool[random.bounded(int(pool.size()))], raw))
                return false;
        }
        // Petrol in February, for the chart that lacks account 734.
        const auto petrol = std::find_if(pool.begin(), pool.end(), [](const Account& a) { return a.km == "738"; });
        if (petrol == pool.end() || !post(4, 15, *petrol, pool.front(), 12345 * 10000)) return false;
        return tx.commit() && UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), QStringLiteral("2010/00"),
                                QStringLiteral("2011/09"));
    }

    Row13 line(const QString& number) {
        Row13 out{};
        const auto r = cn().queryOne(QStringLiteral("SELECT KIN1, KIN2, KIN3, KIN4, KIN5, KIN6, KIN7, KIN8, KIN9,"
                                                    " KIN10, KIN11, KIN12, KIN13 FROM P_TUKISYUSI WHERE PRTIDNO = ?"),
                                     {number});
        if (r && r->size() == 13)
            for (int i = 0; i < 13; ++i) out[i] = r->currency(i).raw();
        return out;
    }

    QStringList headTexts() {
        QStringList out;
        const auto r = cn().queryOne(QStringLiteral(
            "SELECT KOMOKU1, KOMOKU2, KOMOKU3, KOMOKU4, KOMOKU5, KOMOKU6, KOMOKU7, KOMOKU8, KOMOKU9, KOMOKU10,"
            " KOMOKU11, KOMOKU12, KOMOKU13 FROM P_TUKISYUSI_HEAD"));
        if (r)
            for (int i = 0; i < r->size(); ++i) out << r->text(i);
        return out;
    }

    // Summary row A, B, C or D of the header row.
    Row13 headRow(int row) {
        Row13 out{};
        const int first = 14 + 13 * row;
        QStringList cols;
        for (int i = 0; i < 13; ++i) cols << QStringLiteral("KOMOKU%1").arg(first + i);
        const auto r = cn().queryOne(QStringLiteral("SELECT %1 FROM P_TUKISYUSI_HEAD").arg(cols.join(',')));
        if (r && r->size() == 13)
            for (int i = 0; i < 13; ++i) out[i] = r->currency(i).raw();
        return out;
    }

    QString name(const QString& number) {
        const auto v = cn().scalar(QStringLiteral("SELECT PRTNAME FROM P_TUKISYUSI WHERE PRTIDNO = ?"), {number});
        return v ? v->toString() : QStringLiteral("(failed)");
    }

    static TukisyusiRange range(const QString& from, const QString& to) {
        return {QStringLiteral("2010/10"), from, to};
    }

    // Expected figures limited to the months from..to (indexes).
    static Row13 within(const Row13& all, int from, int to) {
        Row13 out{};
        for (int m = from; m <= to; ++m) {
            out[m] = all[m];
            out[12] += all[m];
        }
        return out;
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        SetTheCompanyList(&companies_);
    }

    void init() {
        byNumber_.clear();
        QVERIFY(openCompany());
        QVERIFY(postGeneratedYear());
        // A chart edit gives the total of the selling and administrative
        // expenses the number of 租税公課: it must not count a second time.
        QVERIFY(cn().exec(QStringLiteral("UPDATE T_KANJO SET KMCODE = '726' WHERE KOCODE = '310'")));
        menu_ = std::make_unique<QWidget>();
        menu_->show();
    }

    void cleanup() {
        for (auto* p : platform::report::Preview::openPreviews()) p->close();
        settle();
        menu_.reset();
        db_.reset();
    }

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
    }

    void theScreen() {
        QPointer<prtTukibetu> s = new prtTukibetu;
        s->showFrom(menu_.get());
        settle();
        QVERIFY(s && s->isVisible());
        QCOMPARE(s->windowTitle(), QStringLiteral("月別収支内訳書 - 個人商店 - 平成22年度"));
        QCOMPARE(gstrCallForm, QStringLiteral("prtTukibetu"));
        QCOMPARE(s->cmbTaisyoNenTuki1->count(), 12);
        QCOMPARE(s->cmbTaisyoNenTuki1->itemText(3), QStringLiteral("2011年 1月"));

        ScriptedMsgBox box;
        s->cmbTaisyoNenTuki1->setCurrentIndex(5);
        s->cmbTaisyoNenTuki2->setCurrentIndex(4);
        s->cmdHyouji->click();
        settle();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("対象年月の指定が間違っています。\r\nもう一度選択しなおしてください。"));
        QCOMPARE(co(QStringLiteral("SELECT COUNT(*) FROM P_TUKISYUSI")), 0);

        // Nothing chosen: the whole list.
        s->cmbTaisyoNenTuki1->setCurrentIndex(-1);
        s->cmbTaisyoNenTuki2->setCurrentIndex(-1);
        s->cmdHyouji->click();
        settle();
        QCOMPARE(box.count(), 1);
        QCOMPARE(s->cmbTaisyoNenTuki2->currentText(), QStringLiteral("2011年 9月"));
        QCOMPARE(line(QStringLiteral("01")), expected(1));
        QCOMPARE(platform::report::Preview::openPreviews().size(), 1);

        s->cmdQuestion->click();
        QCOMPARE(box.last().title, QStringLiteral("会計ソフト"));
        QVERIFY(box.last().text.contains(QStringLiteral("Ａ４版(横)")));
        s->cmdBack->click();
        settle();
        QVERIFY(!s);
        QVERIFY(menu_->isVisible());
    }

    // A company without months to choose from: the screen says there is
    // nothing to show (as the ledger screens do), reports no failure and
    // builds nothing.
    void anEmptyMonthListHasNoData() {
        QVERIFY(cn().exec(QStringLiteral("DELETE FROM T_DAY_INPUT WHERE CID = ?"), {gstrCID}));
        QVERIFY(cn().exec(QStringLiteral("DELETE FROM P_TUKISYUSI")));
        QPointer<prtTukibetu> s = new prtTukibetu;
        s->showFrom(menu_.get());
        settle();
        QVERIFY(s && s->isVisible());
        QCOMPARE(s->cmbTaisyoNenTuki1->count(), 0);
        ScriptedMsgBox box;
        for (QPushButton* b : {s->cmdHyouji, s->cmdInsatu}) {
            b->click();
            settle();
            QCOMPARE(box.last().text, QStringLiteral("該当データがありません。"));
        }
        QCOMPARE(box.count(), 2);
        QCOMPARE(co(QStringLiteral("SELECT COUNT(*) FROM P_TUKISYUSI")), 0);
        QVERIFY(platform::report::Preview::openPreviews().isEmpty());
        s->cmdBack->click();
        settle();
    }

private:
    qint64 co(const QString& sql) {
        const auto v = cn().scalar(sql);
        return v ? v->toLongLong() : -1;
    }
};

QTEST_MAIN(TestTukisyusi)
#include "tst_tukisyusi.moc"
