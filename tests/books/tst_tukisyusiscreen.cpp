// The monthly income and expense table's screen headless, on the generated
// year of tukisyusifixture.h: its title and months, a wrong range, the whole
// list shown, and a company without months. (The table itself: tst_tukisyusi.)

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "app/startup.h"
#include "books/prtTukibetu.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "tukisyusifixture.h"

using namespace tukisyusifixture;
using platform::ScriptedMsgBox;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace

class TestTukisyusiScreen : public QObject, protected Year {
    Q_OBJECT

    FakeCompanyList companies_;
    std::unique_ptr<QWidget> menu_;

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

};

QTEST_MAIN(TestTukisyusiScreen)
#include "tst_tukisyusiscreen.moc"
