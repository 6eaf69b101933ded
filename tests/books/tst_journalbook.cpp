// The journal book: its voucher list, range check, work rows and header, the
// report read back from a PDF, and the screen headless (the messages of an
// empty list, the default range, and the daily entry opened on the range and
// returning to the journal book).

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "app/common/companylist.h"
#include "app/common/reportprinter.h"
#include "ledger/journalbook.h"
#include "books/prtSiwakeNikki.h"
#include "entry/InpKantanSiwake.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "app/startup.h"
#include "statements/statementfixture.h"

using platform::ScriptedMsgBox;

Q_DECLARE_METATYPE(JournalRange)

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

struct Voucher {
    const char* code;
    const char* day;
};
// Voucher 00002 has no line; 00013 lies after the closing day 2011/03/31.
const Voucher kVouchers[] = {
    {"00001", "2010/04/01"}, {"00002", "2010/04/02"}, {"00012", "2010/11/15"}, {"00013", "2011/04/10"}};

struct Line {
    const char* voucher;
    const char* line;
    const char* day;
    const char* debit;  // KOCODE
    const char* debitSub;
    qint64 debitYen;
    const char* credit;
    const char* creditSub;
    qint64 creditYen;
    const char* text;
};
// 012 普通預金 and 030 売掛金 both have a sub-account "01"; 9ZZ is no account of
// the chart; "000" is no account at all.
const Line kLines[] = {
    {"00001", "001", "2010/04/01", "012", "01", 10000, "180", "", 10000, "売上代金の振込東京中央支店普通口座入金分"},
    {"00001", "002", "2010/04/01", "030", "01", 5000, "180", "", 5000, "掛売上"},
    {"00001", "003", "2010/04/01", "004", "", 3000, "180", "", 3000, ""},
    {"00012", "001", "2010/11/15", "000", "", 0, "180", "", 7000, ""},
    {"00012", "002", "2010/11/15", "9ZZ", "", 800, "004", "", 800, ""},
    {"00012", "003", "2010/11/15", "286", "", 2500, "000", "", 0, ""},
    {"00013", "001", "2011/04/10", "004", "", 1, "180", "", 1, ""},
};

}  // namespace

class TestJournalBook : public QObject {
    Q_OBJECT

    std::unique_ptr<fixture::Company> co_;
    FakeCompanyList companies_;
    std::unique_ptr<QWidget> menu_;

    bool addSample() {
        auto& cn = co_->cn();
        for (const Voucher& v : kVouchers) {
            const QString code = QLatin1String(v.code);
            if (!cn.exec(QStringLiteral("INSERT INTO T_SIWAKE (CID, DENCODE, DENNO, DENDAY, INDAY, KESSAN)"
                                        " VALUES (?, ?, ?, ?, ?, '0')"),
                         {fixture::kCid, code, code, QString::fromUtf8(v.day), QString::fromUtf8(v.day)}))
                return false;
        }
        for (const Line& l : kLines) {
            const QString day = QString::fromUtf8(l.day);
            if (!cn.exec(QStringLiteral("INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU,"
                                        " KRKOCODE, KRHOKOCODE, KRKIN, KSKOCODE, KSHOKOCODE, KSKIN, TEKIYO)"
                                        " VALUES (?, ?, ?, ?, ?, '0', ?, ?, ?, ?, ?, ?, ?)"),
                         {QString::fromUtf8(l.voucher), QString::fromUtf8(l.line), fixture::kCid, day, day.left(7),
                          QString::fromUtf8(l.debit), QString::fromUtf8(l.debitSub), fixture::yen(l.debitYen),
                          QString::fromUtf8(l.credit), QString::fromUtf8(l.creditSub), fixture::yen(l.creditYen),
                          QString::fromUtf8(l.text)}))
                return false;
        }
        // The longest names a user can give: an account name and a sub-account
        // name of 15 full-width characters, a description of 20.
        if (!cn.exec(QStringLiteral("UPDATE T_KANJO SET KANNAME = '売掛金・未収入金・立替金等' WHERE KOCODE = '030'")))
            return false;
        return cn.exec(QStringLiteral("INSERT INTO T_HOJOKAMOKU VALUES (?, '012', '01', 'B1', 'みずほ銀行東京中央支店普通口座', 0),"
                                      " (?, '030', '01', 'T1', '甲商店', 0)"),
                       {fixture::kCid, fixture::kCid});
    }

    QStringList workRows() {
        const auto rows = co_->cn().query(QStringLiteral(
            "SELECT CID, SIDAY, DENNO, DENMENO, KRKMCODE, KRHOCODE, KRKMNAME, KRHONAME, KRKIN,"
            " KSKMCODE, KSHOCODE, KSKMNAME, KSHONAME, KSKIN, TEKIYO FROM T_SIALL_OUT ORDER BY rowid"));
        QStringList out;
        for (const auto& r : rows.value_or(platform::Rows())) {
            QStringList v;
            for (int i = 0; i < r.size(); ++i)
                v << (i == 8 || i == 13 ? QString::number(r.currency(i).yen()) : r.text(i));
            out << v.join(QLatin1Char('|'));
        }
        return out;
    }

    QStringList header() {
        const auto r = co_->cn().queryOne(QStringLiteral(
            "SELECT KOMOKU1, KOMOKU2, KOMOKU3, KOMOKU4, KOMOKU5, KOMOKU6, KOMOKU7, KOMOKU8, KOMOKU9"
            " FROM T_PRINTKOMOKU"));
        QStringList out;
        if (r && r->size() > 0)
            for (int i = 0; i < r->size(); ++i) out << r->text(i);
        return out;
    }

    static JournalRange range(const char* from, const char* to, const char* fromDay, const char* toDay) {
        return {QLatin1String(from), QLatin1String(to), QLatin1String(fromDay), QLatin1String(toDay)};
    }

    QPointer<prtSiwakeNikki> openScreen() {
        QPointer<prtSiwakeNikki> s = new prtSiwakeNikki;
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
        QVERIFY(addSample());
        menu_ = std::make_unique<QWidget>();
        menu_->show();
    }

    void cleanup() {
        closePreviews();
        menu_.reset();
        co_.reset();
    }

    void theListEndsWithTheClosingDay() {
        const auto list = ListJournalVouchers();
        QVERIFY(list);
        QStringList shown;
        for (const JournalVoucher& v : *list) shown << QStringLiteral("%1=%2").arg(v.denday).arg(v.denno);
        QCOMPARE(shown, (QStringList{"2010/04/01=1", "2010/04/02=2", "2010/11/15=12"}));
        QCOMPARE(JournalRangeOf((*list)[0], (*list)[2]).toVoucher, QStringLiteral("00012"));
    }

    // One work row per journal line: names resolved per side, each sub-account
    // from its own account, a side "000" empty, an unknown account by its code.
    void theWorkRowsOfARange() {
        ScriptedMsgBox box;
        QVERIFY(BuildSiwakeNikki(range("00001", "00012", "2010/04/01", "2010/11/15")));
        QCOMPARE(box.count(), 0);
        QCOMPARE(workRows(),
                 (QStringList{
                     "51|10.04.01|1|001|121|B1|普通預金|みずほ銀行東京中央支店普通口座|10000|511||売上高||10000|"
                     "売上代金の振込東京中央支店普通口座入金分",
                     "51|10.04.01|1|002|166|T1|売掛金・未収入金・立替金等|甲商店|5000|511||売上高||5000|掛売上",
                     "51|10.04.01|1|003|101||現金||3000|511||売上高||3000|",
                     "51|10.11.15|12|001|||||0|511||売上高||7000|",
                     "51|10.11.15|12|002|9ZZ||科目なし||800|101||現金||800|",
                     "51|10.11.15|12|003|726||租税公課||2500|||||0|",
                 }));
        QCOMPARE(header(), (QStringList{"", "", "", "", "", "2010/04/01", "2010/11/15", "1", "12"}));

        // A second build replaces both tables.
        QVERIFY(BuildSiwakeNikki(range("00012", "00012", "2010/11/15", "2010/11/15")));
        QCOMPARE(workRows().size(), 3);
        QCOMPARE(header().mid(5), (QStringList{"2010/11/15", "2010/11/15", "12", "12"}));
    }

    // A build that fails leaves the tables of the previous build.
    void aFailedBuildKeepsThePreviousOne() {
        QVERIFY(BuildSiwakeNikki(range("00001", "00012", "2010/04/01", "2010/11/15")));
        QVERIFY(co_->cn().exec(QStringLiteral("DROP TABLE T_PRINTKOMOKU")));
        ScriptedMsgBox box;
        QVERIFY(!BuildSiwakeNikki(range("00012", "00012", "2010/11/15", "2010/11/15")));
        QVERIFY(box.count() >= 1);
        QCOMPARE(workRows().size(), 6);
    }

    void theRangeCheck_data() {
        QTest::addColumn<JournalRange>("range");
        QTest::addColumn<QString>("message");
        const QString wrong =
            QStringLiteral("伝票番号か伝票日付の指定が間違っています。\r\nもう一度選択しなおしてください。");
        QTest::newRow("whole") << range("00001", "00012", "2010/04/01", "2010/11/15") << QString();
        QTest::newRow("one voucher") << range("00012", "00012", "2010/11/15", "2010/11/15") << QString();
        QTest::newRow("dates reversed") << range("00001", "00012", "2010/11/15", "2010/04/01") << wrong;
        QTest::newRow("vouchers reversed") << range("00012", "00001", "2010/04/01", "2010/11/15") << wrong;
        QTest::newRow("no line") << range("00002", "00002", "2010/04/02", "2010/04/02")
                                 << QStringLiteral("該当データがありません。");
        QTest::newRow("after the closing day")
            << range("00013", "00013", "2011/04/10", "2011/04/10") << QString();
    }
    void theRangeCheck() {
        QFETCH(JournalRange, range);
        QFETCH(QString, message);
        ScriptedMsgBox box;
        QCOMPARE(CheckJournalRange(range), message.isEmpty());
        QCOMPARE(box.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(box.last().text, message);
            QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
        }
    }

    // The printed journal book: names and amounts of the sample; a side without
    // an account prints nothing, not even an amount.
    void theReportReadBack() {
        QVERIFY(BuildSiwakeNikki(range("00001", "00012", "2010/04/01", "2010/11/15")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("siwake.pdf"));
        QVERIFY(WriteReportPdf(QStringLiteral("R_SIWAKE_NIKKI"), pdf));
        const QString text = fixture::pdfText(pdf);
        for (const char* piece : {"仕訳日記帳", "テスト商事株式会社", "(みずほ銀行東京中央支店普通口座)", "(甲商店)",
                                  "売上代金の振込東京中央支店普通口座入金分", "売掛金・未収入金・立替金等", "科目なし"})
            QVERIFY2(text.contains(QString::fromUtf8(piece)), piece);
        QCOMPARE(fixture::linesWith(text, {"2010/04/01", "2010/11/15"}).size(), 1);
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("伝票番号\\s+1\\s+\\S\\s+12"))));
        const auto only = [&](const QString& pattern) {
            const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
            return text.contains(re);
        };
        QVERIFY2(only(QStringLiteral("^\\s*001\\s+511\\s+売上高\\s+7,000\\s*$")), qPrintable(text));
        QVERIFY2(only(QStringLiteral("^\\s*003\\s+726\\s+租税公課\\s+2,500\\s*$")), qPrintable(text));
        // Voucher totals and the grand total of both sides.
        QVERIFY(only(QStringLiteral("伝票計\\s+18,000\\s+18,000")));
        QVERIFY(only(QStringLiteral("合計\\s+21,300\\s+25,800")));
    }

    // Without vouchers each action says so and does nothing else.
    void noVouchers() {
        QVERIFY(co_->cn().exec(QStringLiteral("DELETE FROM T_SIWAKE")));
        QPointer<prtSiwakeNikki> s = openScreen();
        QVERIFY(s && s->isVisible());
        QCOMPARE(s->cmbTaisyoHizuke1->count(), 0);
        ScriptedMsgBox box;
        s->cmdHyouji->click();
        s->cmdInsatu->click();
        s->cmdSyusei->click();
        settle();
        QCOMPARE(box.count(), 3);
        for (const auto& m : box.shown()) QCOMPARE(m.text, QStringLiteral("仕訳伝票が存在しません"));
        QVERIFY(platform::report::Preview::openPreviews().isEmpty());
        QVERIFY(s->isVisible());
        s->cmdBack->click();
        settle();
        QVERIFY(!s);
        QVERIFY(menu_->isVisible());
    }

    // Nothing chosen: the first to the last voucher, shown as chosen.
    void theDefaultRange() {
        QPointer<prtSiwakeNikki> s = openScreen();
        QVERIFY(s);
        QCOMPARE(s->cmbTaisyoHizuke1->currentIndex(), -1);
        ScriptedMsgBox box;
        s->cmdHyouji->click();
        settle();
        QCOMPARE(box.count(), 0);
        QCOMPARE(header().mid(5), (QStringList{"2010/04/01", "2010/11/15", "1", "12"}));
        QCOMPARE(s->cmbTaisyoHizuke1->currentText(), QStringLiteral("2010/04/01"));
        QCOMPARE(s->cmbTaisyoHizuke2->currentText(), QStringLiteral("2010/11/15"));
        QCOMPARE(platform::report::Preview::openPreviews().size(), 1);
        s->cmdBack->click();
        settle();
    }

    // Assistive technology names each range box by its label, also once a
    // day is chosen (the day is its value); a box named only by a buddy label
    // takes the label's text.
    void theRangeBoxesKeepTheirNames() {
        QPointer<prtSiwakeNikki> s = openScreen();
        QVERIFY(s);
        QWidget other;
        QLabel label(QStringLiteral("対象年月"), &other);
        QComboBox labelled(&other);
        labelled.addItems({QStringLiteral("2010年 4月"), QStringLiteral("2010年 5月")});
        label.setBuddy(&labelled);
        const QList<QPair<QComboBox*, QString>> boxes{{s->cmbTaisyoHizuke1, QStringLiteral("処理日付（開始）")},
                                                      {s->cmbTaisyoHizuke2, QStringLiteral("処理日付（終了）")},
                                                      {&labelled, QStringLiteral("対象年月")}};
        for (const auto& [box, name] : boxes) {
            QVERIFY(box->count() > 1);
            box->setCurrentIndex(1);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
            QVERIFY(a);
            QCOMPARE(a->role(), QAccessible::ComboBox);
            QCOMPARE(a->text(QAccessible::Name), name);
            QCOMPARE(a->text(QAccessible::Value), box->itemText(1));
            QCOMPARE(a->childCount(), 1);
            QCOMPARE(a->child(0)->object(), box->view());
        }
        s->cmdBack->click();
        settle();
    }

    // 修正 opens the range in the daily entry; closing it shows the journal
    // book again with the range still chosen.
    void correctingOpensTheDailyEntry() {
        QPointer<prtSiwakeNikki> s = openScreen();
        QVERIFY(s);
        s->cmbTaisyoHizuke1->setCurrentIndex(0);
        s->cmbTaisyoHizuke2->setCurrentIndex(0);
        s->cmdSyusei->click();
        settle();
        QCOMPARE(gstrCallForm, QStringLiteral("prtSiwakeNikki"));
        QPointer<InpKantanSiwake> entry;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<InpKantanSiwake*>(w); e && e->isVisible()) entry = e;
        QVERIFY(entry);
        QCOMPARE(entry->context().callForm, QStringLiteral("prtSiwakeNikki"));
        QCOMPARE(entry->context().range.minDenCode, QStringLiteral("00001"));
        QCOMPARE(entry->context().range.maxDenCode, QStringLiteral("00001"));
        QCOMPARE(entry->denpyo()[0], QStringLiteral("00001"));
        QVERIFY(!s->isVisible());

        entry->setLoaded(false);  // no question about edits
        entry->close();
        settle();
        QVERIFY(s && s->isVisible());
        QCOMPARE(s->cmbTaisyoHizuke1->currentText(), QStringLiteral("2010/04/01"));
        QCOMPARE(s->cmbTaisyoHizuke1->count(), 3);
        s->cmdBack->click();
        settle();
        QVERIFY(menu_->isVisible());
    }

    void theHelpBox() {
        QPointer<prtSiwakeNikki> s = openScreen();
        ScriptedMsgBox box;
        s->cmdQuestion->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().title, QStringLiteral("会計ソフト"));
        QVERIFY(box.last().text.contains(QStringLiteral("Ａ４版(縦)")));
        QCOMPARE(s->windowTitle(), QStringLiteral("仕訳日記帳 - テスト商事株式会社 - ") + gstrNendo);
        s->cmdBack->click();
        settle();
    }
};

QTEST_MAIN(TestJournalBook)
#include "tst_journalbook.moc"
