// The journal book's screen headless: the messages of an empty list, the
// default range, the names of the range boxes, and the daily entry opened on
// the range and returning to the journal book. (The book itself:
// tst_journalbook.)

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "app/common/companylist.h"
#include "journalfixture.h"
#include "books/prtSiwakeNikki.h"
#include "entry/InpKantanSiwake.h"
#include "platform/msgbox.h"
#include "platform/reportengine.h"
#include "app/startup.h"
#include "statements/statementfixture.h"

using namespace journalfixture;
using platform::ScriptedMsgBox;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace

class TestJournalBookScreen : public QObject {
    Q_OBJECT

    std::unique_ptr<fixture::Company> co_;
    FakeCompanyList companies_;
    std::unique_ptr<QWidget> menu_;

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
        QVERIFY(addSample(co_->cn()));
        menu_ = std::make_unique<QWidget>();
        menu_->show();
    }

    void cleanup() {
        closePreviews();
        menu_.reset();
        co_.reset();
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
        QCOMPARE(header(co_->cn()).mid(5), (QStringList{"2010/04/01", "2010/11/15", "1", "12"}));
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

QTEST_MAIN(TestJournalBookScreen)
#include "tst_journalbookscreen.moc"
