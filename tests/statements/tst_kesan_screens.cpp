// The manufacturing cost and tax-return screens, headless: opened from a menu
// on a sample year, 表示(R) fills the boxes and opens the report's preview,
// もどる(X) returns to the menu; the tax-return screens' texts and help.

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/common/companylist.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "app/startup.h"
#include "statementfixture.h"
#include "statements/prtKesanPS.h"
#include "statements/prtKesanTS.h"
#include "statements/prtSezogenka.h"

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

void closePreviews() {
    for (auto* p : platform::report::Preview::openPreviews()) p->close();
    settle();
}

}  // namespace

class TestKesanScreens : public QObject {
    Q_OBJECT

    std::unique_ptr<fixture::Company> co_;
    FakeCompanyList companies_;
    std::unique_ptr<QWidget> menu_;

    template <typename Screen>
    QPointer<Screen> open() {
        QPointer<Screen> s = new Screen;
        s->showFrom(menu_.get());
        settle();
        return s;
    }

    QString previewName() {
        const auto previews = platform::report::Preview::openPreviews();
        return previews.size() == 1 ? previews.first()->document().name : QStringLiteral("(none)");
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
        QVERIFY(co_->postMaking());
        menu_ = std::make_unique<QWidget>();
        menu_->show();
    }

    void cleanup() {
        closePreviews();
        menu_.reset();
        co_.reset();
    }

    void manufacturingCost() {
        platform::ScriptedMsgBox box;
        QPointer<prtSezogenka> s = open<prtSezogenka>();
        QVERIFY(s && s->isLoaded());
        QCOMPARE(s->windowTitle().section(QStringLiteral(" - "), 0, 0), QStringLiteral("製造原価報告書"));
        s->cmdHyouji->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(previewName(), QStringLiteral("R_SEIZOGENKA"));
        s->cmdBack->click();
        settle();
        QVERIFY(menu_->isVisible());
    }

    // The tax-return screens: caption, read-me note, help; 表示(R) with a
    // typed real-estate income fills ⑦ to ⑨ of the chosen case; the other
    // cases after switching the option.
    void taxReturn_data() {
        QTest::addColumn<bool>("balanceSheet");
        QTest::newRow("確定申告用損益計算書") << false;
        QTest::newRow("確定申告用貸借対照表") << true;
    }
    void taxReturn() {
        QFETCH(bool, balanceSheet);
        platform::ScriptedMsgBox box;
        QPointer<TaxReturnScreen> s;
        if (balanceSheet)
            s = open<prtKesanTS>();
        else
            s = open<prtKesanPS>();
        QVERIFY(s && s->isLoaded());
        QVERIFY(!menu_->isVisible());
        const QString caption = balanceSheet ? QStringLiteral("確定申告用貸借対照表") : QStringLiteral("確定申告用損益計算書");
        QCOMPARE(s->lblTitle->text(), caption);
        QCOMPARE(s->lblReadMe->text(), QStringLiteral("こちらは個人事業者の方のみを対象にした") + caption +
                                           QStringLiteral("です。\r\n\r\n一部の業種の方には対応していない場合があります。"));
        QVERIFY(s->opt1->isChecked());
        s->cmdQuestion->click();
        QCOMPARE(box.count(), 1);
        QVERIFY(box.last().text.contains(QStringLiteral("サイズはＡ４版(横)で印刷されます。")));
        box.clear();

        // Manufacturing turns the sample year's profit of 707,300 into a loss;
        // with a little more sales it is an income of 37,300.
        QVERIFY(co_->post(QStringLiteral("2011/03/30"), QStringLiteral("101"), QStringLiteral("511"), 350000));
        s->txtKingaku1->setValue(Currency::fromYen(600000));
        s->cmdHyouji->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(previewName(), balanceSheet ? QStringLiteral("R_TSKESAN") : QStringLiteral("R_PSKESAN1"));
        closePreviews();
        const auto yen = [](platform::ImNumber* b) { return b->valueOrZero().yen(); };
        QCOMPARE(yen(s->txtKingaku2), qint64(37300));
        QCOMPARE(yen(s->txtKingaku3), qint64(600000));
        QCOMPARE(yen(s->txtKingaku4), qint64(37300));
        QCOMPARE(yen(s->txtKingaku6), qint64(0));

        s->opt2->setChecked(true);
        s->cmdHyouji->click();
        QCOMPARE(yen(s->txtKingaku3), qint64(0));
        QCOMPARE(yen(s->txtKingaku5), qint64(100000));
        QCOMPARE(yen(s->txtKingaku6), qint64(0));
        closePreviews();

        // The paper case: a return of 2011 still has 650,000 yen for it.
        QVERIFY(s->opt3->text().contains(QStringLiteral("65万円")));
        QVERIFY(s->opt3->text().contains(QStringLiteral("書面")));
        s->opt3->setChecked(true);
        s->cmdHyouji->click();
        QCOMPARE(box.count(), 0);
        QCOMPARE(yen(s->txtKingaku5), qint64(0));
        QCOMPARE(yen(s->txtKingaku7), qint64(600000));
        QCOMPARE(yen(s->txtKingaku8), qint64(37300));
        closePreviews();

        s->cmdBack->click();
        settle();
        QVERIFY(menu_->isVisible());
    }
};

QTEST_MAIN(TestKesanScreens)
#include "tst_kesan_screens.moc"
