// The general and subsidiary ledger screens, the ledger line viewer and the
// ledger report, headless, on the sample year of the statement tests.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/common/companylist.h"
#include "reports/reportprinter.h"
#include "ledger/ledgerbooks.h"
#include "ledger/printwork.h"
#include "books/InpSoukanjoMotchoH.h"
#include "books/prtSoukanjoHojoMotocho.h"
#include "books/prtSoukanjoMotocho.h"
#include "entry/InpKantanSiwake.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "platform/spreadgrid.h"
#include "app/startup.h"
#include "statements/statementfixture.h"

namespace {

class FakeCompanyList : public CompanyList {
public:
    QString currentCompanyName() const override { return fixture::kCompanyName; }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

template <typename T>
T* topLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
    return nullptr;
}

// A key as the user types it: to the screen's focus widget.
void typeKey(QWidget* screen, Qt::Key key) {
    QTest::keyClick(screen->focusWidget() ? screen->focusWidget() : screen, key);
    settle();
}

int indexOfKm(QComboBox* box, const QString& km) {
    return box->findData(km);
}

}  // namespace

class TestLedgerScreens : public QObject {
    Q_OBJECT

    std::unique_ptr<fixture::Company> co_;
    FakeCompanyList companies_;
    std::unique_ptr<QWidget> menu_;

    template <typename S>
    QPointer<S> open() {
        QPointer<S> s = new S;
        s->showFrom(menu_.get());
        settle();
        return s;
    }

    static void closePreviews() {
        for (auto* p : platform::report::Preview::openPreviews()) p->close();
        settle();
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        SetTheCompanyList(&companies_);
    }

    void init() {
        co_ = std::make_unique<fixture::Company>();
        QVERIFY(co_->open());
        QVERIFY(co_->postSampleYear());
        menu_ = std::make_unique<QWidget>();
        menu_->show();
    }

    void cleanup() {
        closePreviews();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != menu_.get() && qobject_cast<platform::Form*>(w)) delete w;
        menu_.reset();
        co_.reset();
    }

    // The lists: months up to the closing month, the accounts a ledger
    // offers; 表示(R) with nothing chosen covers everything, writes the months
    // into the header and enables データ表示(D); back returns to the menu.
    void previewWithNothingChosen() {
        QVERIFY(co_->cn().exec(QStringLiteral(
            "INSERT INTO T_DAY_INPUT (CID, INYM, OUTYM) VALUES ('51', '2011/04', '2011年 4月')")));
        QVERIFY(co_->cn().exec(QStringLiteral("UPDATE T_KANJO SET SIYOU = 'N' WHERE KMCODE = '747'")));
        platform::ScriptedMsgBox box;
        auto s = open<prtSoukanjoMotocho>();
        QVERIFY(s && s->isLoaded() && s->isVisible());
        QCOMPARE(s->windowTitle(), QStringLiteral("総勘定元帳 - テスト商事株式会社 - 第 5 期"));
        QCOMPARE(gstrCallForm, QStringLiteral("prtSoukanjoMotocho"));
        QCOMPARE(s->cmbTaisyoNenTuki1->count(), 12);
        QCOMPARE(s->cmbTaisyoNenTuki2->itemText(11), QStringLiteral("2011年 3月"));
        QCOMPARE(s->cmbTaisyoNenTuki1->currentIndex(), -1);
        QCOMPARE(indexOfKm(s->cmbTaisyoKamoku1, QStringLiteral("747")), -1);
        QVERIFY(indexOfKm(s->cmbTaisyoKamoku1, QStringLiteral("101")) >= 0);
        QVERIFY(!s->cmdDataHyoji->isEnabled());

        s->cmdHyouji->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(s->cmbTaisyoNenTuki1->currentIndex(), 0);
        QCOMPARE(s->cmbTaisyoNenTuki2->currentIndex(), 11);
        QCOMPARE(s->cmbTaisyoKamoku2->currentIndex(), s->cmbTaisyoKamoku2->count() - 1);
        const auto header = co_->cn().queryOne(QStringLiteral("SELECT KOMOKU6, KOMOKU7 FROM T_PRINTKOMOKU"));
        QVERIFY(header);
        QCOMPARE(header->text(0), QStringLiteral("2010年 4月"));
        QCOMPARE(header->text(1), QStringLiteral("2011年 3月"));
        const auto previews = platform::report::Preview::openPreviews();
        QCOMPARE(previews.size(), 1);
        QCOMPARE(previews.first()->document().name, QStringLiteral("R_KANJYOMOTOTYO"));
        QVERIFY(s->cmdDataHyoji->isEnabled());
        closePreviews();

        s->cmdBack->click();
        QVERIFY(menu_->isVisible());
        QTRY_VERIFY(s.isNull());
    }

    // The range check: reversed months give the month warning (also when the
    // accounts are reversed too), reversed accounts the account warning;
    // nothing is built.
    void rangeWarnings_data() {
        QTest::addColumn<int>("month1");
        QTest::addColumn<int>("month2");
        QTest::addColumn<QString>("km1");
        QTest::addColumn<QString>("km2");
        QTest::addColumn<QString>("warning");
        const QString again = QStringLiteral("\r\nもう一度選択しなおしてください。");
        QTest::newRow("months reversed") << 5 << 2 << "101" << "999" << QStringLiteral("対象年月の指定が間違っています。") + again;
        QTest::newRow("accounts reversed") << 2 << 5 << "511" << "101" << QStringLiteral("勘定科目の指定が間違っています。") + again;
        QTest::newRow("both reversed") << 5 << 2 << "511" << "101" << QStringLiteral("対象年月の指定が間違っています。") + again;
        QTest::newRow("same month and account") << 3 << 3 << "101" << "101" << QString();
    }
    void rangeWarnings() {
        QFETCH(int, month1);
        QFETCH(int, month2);
        QFETCH(QString, km1);
        QFETCH(QString, km2);
        QFETCH(QString, warning);
        platform::ScriptedMsgBox box;
        auto s = open<prtSoukanjoMotocho>();
        s->cmbTaisyoNenTuki1->setCurrentIndex(month1);
        s->cmbTaisyoNenTuki2->setCurrentIndex(month2);
        s->cmbTaisyoKamoku1->setCurrentIndex(indexOfKm(s->cmbTaisyoKamoku1, km1));
        s->cmbTaisyoKamoku2->setCurrentIndex(std::max(0, indexOfKm(s->cmbTaisyoKamoku2, km2)));
        if (km2 == QStringLiteral("999")) s->cmbTaisyoKamoku2->setCurrentIndex(s->cmbTaisyoKamoku2->count() - 1);
        QCOMPARE(s->check_range(), warning.isEmpty());
        QCOMPARE(box.count(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty()) {
            QCOMPARE(box.last().text, warning);
            QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
        }
    }

    // D before any preview (the button still disabled) opens the viewer on the
    // first chosen account alone; the viewer lists its lines without the
    // brought-forward row, dates as yyyy/mm/dd; 修 正 on a line opens the
    // daily entry on that day, and closing the daily entry shows the viewer
    // again with gstrCallForm naming the ledger screen.
    void viewerAndCorrection() {
        platform::ScriptedMsgBox box;
        auto s = open<prtSoukanjoMotocho>();
        s->cmbTaisyoKamoku1->setCurrentIndex(indexOfKm(s->cmbTaisyoKamoku1, QStringLiteral("121")));
        QVERIFY(!s->cmdDataHyoji->isEnabled());
        typeKey(s.data(), Qt::Key_D);
        QCOMPARE(box.count(), 0);
        QCOMPARE(s->cmbTaisyoKamoku2->currentData().toString(), QStringLiteral("121"));
        QVERIFY(!s->isVisible());
        QPointer<InpSoukanjoMotchoH> v = topLevel<InpSoukanjoMotchoH>();
        QVERIFY(v);
        QCOMPARE(v->windowTitle(), QStringLiteral("総勘定元帳表示 - テスト商事株式会社 - 第 5 期"));
        QCOMPARE(v->lblKoumoku->text(), s->cmbTaisyoKamoku1->currentText());
        QCOMPARE(v->lblKikan->text(), QStringLiteral("2010年 4月度 ～ 2011年 3月度"));
        QCOMPARE(v->spdSS->text(0, 3), QStringLiteral("相手科目　／　補助"));

        // 普通預金 moves in fewer than 18 lines of the sample year: the grid
        // keeps its 18 rows, the rest empty.
        const int lines = int(co_->count(QStringLiteral(
            "SELECT COUNT(*) FROM T_SI_MEISAI WHERE KRKOCODE = '012' OR KSKOCODE = '012'")));
        QVERIFY(lines > 5 && lines < 18);
        QCOMPARE(v->spdSS->maxRows(), 18);
        QCOMPARE(v->spdSS->text(1, 1), QStringLiteral("2010/07/05"));
        QCOMPARE(v->spdSS->text(1, 3), QStringLiteral("166　売掛金"));
        QCOMPARE(v->spdSS->text(1, 5), QStringLiteral("2,300,000"));
        QVERIFY(!v->spdSS->text(lines, 1).isEmpty());
        QVERIFY(v->spdSS->text(lines + 1, 1).isEmpty());
        QVERIFY(v->spdSS->isLocked(1, 1));

        // An empty row.
        v->spdSS->setActiveCell(15, 1);
        v->cmdSyusei->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("選択された行にはデータがありません。"));

        // The line of 2010/08/31: E opens its day.
        int row = 0;
        for (int r = 1; r <= lines && !row; ++r)
            if (v->spdSS->text(r, 1) == QStringLiteral("2010/08/31")) row = r;
        QVERIFY(row > 0);
        v->spdSS->setActiveCell(row, 2);
        typeKey(v.data(), Qt::Key_E);
        QCOMPARE(box.count(), 1);
        QPointer<InpKantanSiwake> entry = topLevel<InpKantanSiwake>();
        QVERIFY(entry && entry->isLoaded());
        QCOMPARE(entry->denpyo()[2], QStringLiteral("2010/08/31"));
        QCOMPARE(entry->context().range.minDenCode, entry->denpyo()[0]);
        QCOMPARE(entry->context().range.maxDenCode, entry->denpyo()[0]);
        QCOMPARE(entry->context().callForm, QStringLiteral("InpSoukanjoMotchoH"));
        QVERIFY(!entry->context().fromMenu);
        QVERIFY(!v->isVisible());
        QCOMPARE(gstrCallForm, QStringLiteral("InpSoukanjoMotchoH"));

        QVERIFY(entry->unload());
        settle();
        QVERIFY(v->isVisible());
        QCOMPARE(gstrCallForm, QStringLiteral("prtSoukanjoMotocho"));
        QCOMPARE(v->spdSS->text(row, 1), QStringLiteral("2010/08/31"));

        // X returns to the ledger screen.
        typeKey(v.data(), Qt::Key_X);
        QTRY_VERIFY(v.isNull());
        QVERIFY(s->isVisible());
    }

    // The subsidiary viewer: rebuilt for the chosen account, its caption
    // alone, its column heading, and the sub-account of the row shown.
    void subsidiaryViewer() {
        QVERIFY(co_->cn().exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES ('51', '012', '01', 'B1',"
                                              " 'みずほ銀行', 0)")));
        QVERIFY(co_->cn().exec(QStringLiteral("UPDATE T_SI_MEISAI SET KSAIHOCODE = '01' WHERE KSAICODE = '012'")));
        QVERIFY(co_->cn().exec(QStringLiteral("UPDATE T_SI_MEISAI SET KRAIHOCODE = '01' WHERE KRAICODE = '012'")));
        QVERIFY(co_->cn().exec(QStringLiteral("DELETE FROM T_SKANSUBMT_OUT")));
        platform::ScriptedMsgBox box;
        auto s = open<prtSoukanjoHojoMotocho>();
        QCOMPARE(gstrCallForm, QStringLiteral("prtSoukanjoHojoMotocho"));
        s->cmbTaisyoKamoku1->setCurrentIndex(indexOfKm(s->cmbTaisyoKamoku1, QStringLiteral("166")));
        s->cmdDataHyoji->setEnabled(true);
        s->cmdDataHyoji->click();
        settle();
        QCOMPARE(box.count(), 0);
        QPointer<InpSoukanjoMotchoH> v = topLevel<InpSoukanjoMotchoH>();
        QVERIFY(v);
        QCOMPARE(v->windowTitle(), QStringLiteral("総勘定補助元帳表示"));
        QCOMPARE(v->spdSS->text(0, 3), QStringLiteral("勘定科目／相手科目"));
        // 166 was collected into the bank on 2010/07/05.
        QCOMPARE(v->spdSS->text(1, 1), QStringLiteral("2010/07/05"));
        QCOMPARE(v->spdSS->text(1, 3), QStringLiteral("売掛金／普通預金"));
        QCOMPARE(v->lblKoumoku->text(), QStringLiteral("B1 みずほ銀行"));
        QVERIFY(v->spdSS->text(2, 1).isEmpty());
        v->cmdBack->click();
        settle();
        QVERIFY(s->isVisible());
    }

    // The report of the sample year: for three accounts the brought-forward
    // row, the lines in date order and the closing balance equal to the
    // balance sheet's figure at the year's end.
    void reportPdf_data() {
        QTest::addColumn<QString>("km");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("opening");
        QTest::newRow("現金") << "101" << "現金" << "300,000";
        QTest::newRow("普通預金") << "121" << "普通預金" << "1,500,000";
        QTest::newRow("買掛金") << "312" << "買掛金" << "330,000";
    }
    void reportPdf() {
        QFETCH(QString, km);
        QFETCH(QString, name);
        QFETCH(QString, opening);
        platform::ScriptedMsgBox box;
        QVERIFY(BuildTaisyakuTaisyo(fixture::monthOf(QStringLiteral("2011/03"))));
        const qint64 closing = co_->row(QStringLiteral("T_TOTAL_MEISAI"), co_->ko(km)).zan;
        QVERIFY(PrintSokanjo({fixture::kFirstYM, fixture::kFirstYM, QStringLiteral("2011/03"), km, km}));
        QVERIFY(WritePrintHeader(QStringLiteral("2010年 4月"), QStringLiteral("2011年 3月")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("ledger.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_KANJYOMOTOTYO"), pdf));
        QCOMPARE(box.count(), 0);
        const QString text = fixture::pdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("総勘定元帳")));
        QVERIFY(text.contains(km + QStringLiteral(" ") + name));
        QVERIFY(text.contains(QStringLiteral("2010年 4月度")) && text.contains(QStringLiteral("2011年 3月度")));
        const QStringList broughtForward = fixture::linesWith(text, {QStringLiteral("繰越残高")});
        QCOMPARE(broughtForward.size(), 1);
        QVERIFY(broughtForward.first().contains(opening));

        // Date lines in order; the last one ends with the balance sheet's figure.
        QStringList dates;
        QString last;
        const QRegularExpression dated(QStringLiteral("^\\s*(\\d\\d\\.\\d\\d\\.\\d\\d)\\s"));
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            const auto m = dated.match(line);
            if (!m.hasMatch()) continue;
            dates << m.captured(1);
            last = line;
        }
        const qint64 lines = co_->count(
            QStringLiteral("SELECT COUNT(*) FROM T_SI_MEISAI WHERE KRKOCODE = ? OR KSKOCODE = ?"),
            {co_->ko(km), co_->ko(km)});
        QCOMPARE(dates.size(), int(lines));
        QStringList sorted = dates;
        sorted.sort();
        QCOMPARE(dates, sorted);
        QVERIFY2(last.trimmed().endsWith(QLocale(QLocale::English).toString(closing)), qPrintable(last));
    }

    // The whole book runs in the order of the account numbers (the build
    // writes the accounts from the highest internal code down). An account's
    // heading is the line before its brought-forward row.
    void reportInAccountOrder() {
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo({fixture::kFirstYM, fixture::kFirstYM, QStringLiteral("2011/03"), QStringLiteral("101"),
                              QStringLiteral("999")}));
        QVERIFY(WritePrintHeader(QStringLiteral("2010年 4月"), QStringLiteral("2011年 3月")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("ledger.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_KANJYOMOTOTYO"), pdf));
        const QStringList lines = fixture::pdfText(pdf).split(QLatin1Char('\n'));
        const QRegularExpression heading(QStringLiteral("^(\\d{3}) \\S"));
        QStringList accounts;
        for (int i = 0; i < lines.size(); ++i) {
            const auto m = heading.match(lines[i].trimmed());
            if (!m.hasMatch()) continue;
            int next = i + 1;
            while (next < lines.size() && lines[next].trimmed().isEmpty()) ++next;
            if (next < lines.size() && lines[next].trimmed().startsWith(QStringLiteral("繰越残高")))
                accounts << m.captured(1);
        }
        QVERIFY(accounts.size() > 3);
        QVERIFY(accounts.contains(QStringLiteral("101")));
        QStringList sorted = accounts;
        sorted.sort();
        QCOMPARE(accounts, sorted);
    }

    // The subsidiary ledger report keeps each sub-account together: its
    // heading once, its brought-forward row first (that row has no account
    // number of its own), then its lines in date order whatever the accounts
    // on their other side.
    void subsidiaryReportKeepsSubAccountsTogether() {
        QVERIFY(co_->cn().exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES ('51', '012', '01', 'B1',"
                                              " 'みずほ銀行', 0), ('51', '004', '01', 'G1', '本店金庫', 0)")));
        for (const char* side : {"KR", "KS"})
            QVERIFY(co_->cn().exec(QStringLiteral("UPDATE T_SI_MEISAI SET %1AIHOCODE = '01'"
                                                  " WHERE %1AICODE IN ('012', '004')")
                                       .arg(QLatin1String(side))));
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo({fixture::kFirstYM, fixture::kFirstYM, QStringLiteral("2011/03"), QStringLiteral("101"),
                              QStringLiteral("999")},
                             true));
        QVERIFY(PrintMotokanjo({fixture::kFirstYM, fixture::kFirstYM, QStringLiteral("2011/03"),
                                QStringLiteral("101"), QStringLiteral("999")}));
        QVERIFY(WritePrintHeader(QStringLiteral("2010年 4月"), QStringLiteral("2011年 3月")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("subsidiary.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_HOJOMOTOTYO"), pdf));
        QCOMPARE(box.count(), 0);
        const QStringList lines = fixture::pdfText(pdf).split(QLatin1Char('\n'));
        const QRegularExpression dated(QStringLiteral("^\\s*(\\d\\d\\.\\d\\d\\.\\d\\d)\\s"));
        for (const QString& heading : {QStringLiteral("B1 みずほ銀行"), QStringLiteral("G1 本店金庫")}) {
            int headings = 0;
            QStringList dates;
            bool inside = false;
            for (int i = 0; i < lines.size(); ++i) {
                const QString line = lines[i].trimmed();
                if (line == heading) {
                    ++headings;
                    inside = true;
                    int next = i + 1;
                    while (next < lines.size() && lines[next].trimmed().isEmpty()) ++next;
                    QVERIFY2(next < lines.size() && lines[next].trimmed().startsWith(QStringLiteral("繰越残高")),
                             qPrintable(heading));
                } else if (line.startsWith(QStringLiteral("合"))) {
                    inside = false;
                } else if (inside) {
                    const auto m = dated.match(lines[i]);
                    if (m.hasMatch()) dates << m.captured(1);
                }
            }
            QCOMPARE(headings, 1);
            QVERIFY2(dates.size() > 1, qPrintable(heading));
            QStringList sorted = dates;
            sorted.sort();
            QCOMPARE(dates, sorted);
        }
    }

    // The subsidiary ledger's account column shows long names whole: the
    // account, the account on the other side and its sub-account, each of
    // the longest a name can be (15 full-width characters).
    void subsidiaryReportShowsLongNamesWhole() {
        const QString bank = QStringLiteral("みずほ銀行東京中央支店普通預金");
        const QString cash = QStringLiteral("本店金庫手元現金小口現金管理用");
        const QString cashSub = QStringLiteral("東京本社経理部小口現金出納係甲");
        QVERIFY(co_->cn().exec(QStringLiteral("UPDATE T_KANJO SET KANNAME = ? WHERE KOCODE = '012'"), {bank}));
        QVERIFY(co_->cn().exec(QStringLiteral("UPDATE T_KANJO SET KANNAME = ? WHERE KOCODE = '004'"), {cash}));
        QVERIFY(co_->cn().exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES ('51', '012', '01', 'B1', 'みずほ', 0),"
                                              " ('51', '004', '01', 'G1', ?, 0)"),
                               {cashSub}));
        for (const char* side : {"KR", "KS"})
            QVERIFY(co_->cn().exec(QStringLiteral("UPDATE T_SI_MEISAI SET %1AIHOCODE = '01'"
                                                  " WHERE %1AICODE IN ('012', '004')")
                                       .arg(QLatin1String(side))));
        platform::ScriptedMsgBox box;
        QVERIFY(PrintSokanjo({fixture::kFirstYM, fixture::kFirstYM, QStringLiteral("2011/03"), QStringLiteral("101"),
                              QStringLiteral("999")},
                             true));
        QVERIFY(PrintMotokanjo({fixture::kFirstYM, fixture::kFirstYM, QStringLiteral("2011/03"),
                                QStringLiteral("101"), QStringLiteral("999")}));
        QVERIFY(WritePrintHeader(QStringLiteral("2010年 4月"), QStringLiteral("2011年 3月")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("subsidiary.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_HOJOMOTOTYO"), pdf));
        QCOMPARE(box.count(), 0);
        const QString text = fixture::pdfText(pdf).remove(QLatin1Char(' '));
        QVERIFY(text.contains(QStringLiteral("B1みずほ")));
        // The text comes back in compatibility form: "／" reads as "/", "…" as "...".
        // The line between the bank and the cash sub-account: the account,
        // then the bank and the sub-account on the other side.
        QVERIFY2(text.contains(cash + QLatin1Char('/') + bank + cashSub),
                 qPrintable(text.mid(text.indexOf(cashSub) - 100, 300)));
        QVERIFY(!text.contains(QStringLiteral("...")));
    }
};

QTEST_MAIN(TestLedgerScreens)
#include "tst_ledgerscreens.moc"
