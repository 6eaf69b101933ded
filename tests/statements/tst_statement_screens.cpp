// The two monthly statement screens, headless: opened from a menu they show
// and return to it; their load, month list, captions, help, keys, and the
// show and print buttons on a sample year.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "app/common/companylist.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "app/startup.h"
#include "statementfixture.h"
#include "statements/prtSonekiKeisan.h"
#include "statements/prtTaisyakuTaisyo.h"

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

StatementScreen* newScreen(bool balanceSheet) {
    if (balanceSheet) return new prtTaisyakuTaisyo;
    return new prtSonekiKeisan;
}

const QString kNoPrinter = QStringLiteral(
    "プリンタドライバがインストールされていません。\rプリンタドライバをインストールして下さい。");

}  // namespace

class TestStatementScreens : public QObject {
    Q_OBJECT

    std::unique_ptr<fixture::Company> co_;
    FakeCompanyList companies_;
    std::unique_ptr<QWidget> menu_;

    // Opens a screen from the menu as the input/output menu does.
    QPointer<StatementScreen> open(bool balanceSheet) {
        QPointer<StatementScreen> s = newScreen(balanceSheet);
        s->showFrom(menu_.get());
        settle();
        return s;
    }

    QString komoku6() {
        const auto v = co_->cn().scalar(QStringLiteral("SELECT KOMOKU6 FROM T_PRINTKOMOKU"));
        return v ? v->toString() : QStringLiteral("(failed)");
    }

    static void closePreviews() {
        for (auto* p : platform::report::Preview::openPreviews()) p->close();
        settle();
    }

    static void screens_data() {
        QTest::addColumn<bool>("balanceSheet");
        QTest::newRow("損益計算書") << false;
        QTest::newRow("貸借対照表") << true;
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
        menu_.reset();
        co_.reset();
    }

    // The frame of each screen: caption, month list up to the closing month,
    // nothing chosen, its texts, the help box; back returns to the menu.
    void frame_data() {
        QTest::addColumn<bool>("balanceSheet");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("formName");
        QTest::addColumn<QStringList>("tips");
        QTest::addColumn<QString>("help");
        const QString rest = QStringLiteral(
            "\r\nサイズはＡ４版(縦)"
            "で印刷されます。\r\n対象となる年月のボタンを押下すると一覧が表示されます。");
        QTest::newRow("損益計算書") << false << "損益計算書"
                                    << "prtSonekiKeisan"
                                    << QStringList{"損益計算書を確認します。", "損益計算書を印刷します。",
                                                   "前の画面にもどります。"}
                                    << QStringLiteral("損益計算書を印字します。") + rest;
        QTest::newRow("貸借対照表") << true << "貸借対照表"
                                    << "prtTaisyakuTaisyo"
                                    << QStringList{"貸借対照表を表示します。", "貸借対照表を印刷します。",
                                                   "前の画面へ戻ります。"}
                                    << QStringLiteral("貸借対照表を印字します。") + rest;
    }
    void frame() {
        QFETCH(bool, balanceSheet);
        QFETCH(QString, caption);
        QFETCH(QString, formName);
        QFETCH(QStringList, tips);
        QFETCH(QString, help);
        // A month after the closing month ends the list.
        QVERIFY(co_->cn().exec(QStringLiteral(
            "INSERT INTO T_DAY_INPUT (CID, INYM, OUTYM) VALUES ('51', '2011/04', '2011年 4月')")));

        platform::ScriptedMsgBox box;
        QPointer<StatementScreen> s = open(balanceSheet);
        QVERIFY(s && s->isVisible() && s->isLoaded());
        QVERIFY(!menu_->isVisible());
        QCOMPARE(gstrNendo, QStringLiteral("第 5 期"));
        QCOMPARE(s->windowTitle(), caption + QStringLiteral(" - テスト商事株式会社 - 第 5 期"));
        QCOMPARE(s->lblTitle->text(), caption);
        QCOMPARE(gstrCallForm, formName);
        QCOMPARE(s->lblTaisyoNenTuki->text(), QStringLiteral("対象年月"));
        QCOMPARE(s->lblSetumei->text(), QStringLiteral("対象となる年月を指定して下さい。"));

        QComboBox* list = s->cmbTaisyoNenTuki;
        QCOMPARE(list->count(), 12);
        QCOMPARE(list->itemText(0), QStringLiteral("2010年 4月"));
        QCOMPARE(list->itemText(11), QStringLiteral("2011年 3月"));
        QCOMPARE(list->currentIndex(), -1);

        QCOMPARE(s->cmdHyouji->text(), QStringLiteral("表示(R)"));
        QCOMPARE(s->cmdInsatu->text(), QStringLiteral("印刷(P)"));
        QCOMPARE(s->cmdBack->text(), QStringLiteral("もどる(X)"));
        QVERIFY(s->cmdQuestion->text().isEmpty());
        QCOMPARE(QStringList({s->cmdHyouji->toolTip(), s->cmdInsatu->toolTip(), s->cmdBack->toolTip()}),
                 tips);
        QCOMPARE(s->cmdQuestion->toolTip(), QStringLiteral("ヘルプを表示します。"));

        s->cmdQuestion->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().title, QStringLiteral("会計ソフト"));
        QCOMPARE(box.last().text, help);
        QCOMPARE(box.last().icon, platform::MsgIcon::Information);
        QCOMPARE(box.last().buttons, platform::MsgButtons::Ok);

        s->cmdBack->click();
        QVERIFY(menu_->isVisible());
        QTRY_VERIFY(s.isNull());
    }

    // A load that cannot read the company's closing month leaves no screen
    // open and the menu visible.
    void loadFailure_data() { screens_data(); }
    void loadFailure() {
        QFETCH(bool, balanceSheet);
        QVERIFY(co_->cn().exec(QStringLiteral("DELETE FROM WK_COMPANY")));
        platform::ScriptedMsgBox box;
        QPointer<StatementScreen> s = open(balanceSheet);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("日付入力用マスタのアクセス中にエラーが発生した(Form_Load)。"));
        QCOMPARE(box.last().icon, platform::MsgIcon::Warning);
        QVERIFY(menu_->isVisible());
        QTRY_VERIFY(s.isNull());
    }

    // 表示(R) without a month shows the closing month, then shown as chosen;
    // 印刷(P) builds the chosen month and reports the missing printer.
    void showAndPrint_data() { screens_data(); }
    void showAndPrint() {
        QFETCH(bool, balanceSheet);
        platform::ScriptedMsgBox box;
        QPointer<StatementScreen> s = open(balanceSheet);
        s->cmdHyouji->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(s->cmbTaisyoNenTuki->currentIndex(), 11);
        QCOMPARE(s->cmbTaisyoNenTuki->currentText(), QStringLiteral("2011年 3月"));
        QCOMPARE(komoku6(), QStringLiteral("2011年 3月度"));
        const auto previews = platform::report::Preview::openPreviews();
        QCOMPARE(previews.size(), 1);
        QCOMPARE(previews.first()->document().name,
                 balanceSheet ? QStringLiteral("R_TS") : QStringLiteral("R_PS"));
        QVERIFY(previews.first()->document().table.rowCount() > 0);
        closePreviews();

        s->cmbTaisyoNenTuki->setCurrentIndex(2);
        s->cmdInsatu->click();
        QCOMPARE(komoku6(), QStringLiteral("2010年 6月度"));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, kNoPrinter);
        QVERIFY(s->isVisible());  // the screen stays open after a build
        QVERIFY(platform::report::Preview::openPreviews().isEmpty());
        s->unload();
    }

    // Keys in the month list: R, P and X act as their buttons, not with Shift,
    // Ctrl or Alt; Enter and Escape move the focus.
    void keys() {
        platform::ScriptedMsgBox box;
        QPointer<StatementScreen> s = open(false);
        QVERIFY(QTest::qWaitForWindowActive(s));
        QComboBox* list = s->cmbTaisyoNenTuki;
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), s->cmdHyouji);
        QTest::keyClick(s->cmdHyouji, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), list);
        list->setCurrentIndex(0);

        for (Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier})
            QTest::keyClick(list, Qt::Key_P, m);
        QCOMPARE(box.count(), 0);
        QCOMPARE(komoku6(), QString());

        QTest::keyClick(list, Qt::Key_P);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, kNoPrinter);
        QCOMPARE(komoku6(), QStringLiteral("2010年 4月度"));

        QTest::keyClick(list, Qt::Key_R);
        QCOMPARE(platform::report::Preview::openPreviews().size(), 1);
        closePreviews();

        QTest::keyClick(list, Qt::Key_X);
        QVERIFY(menu_->isVisible());
        QTRY_VERIFY(s.isNull());
    }
};

QTEST_MAIN(TestStatementScreens)
#include "tst_statement_screens.moc"
