// The opening-balance screen, headless, opened from the settings menu on a
// company with opening balances and a year of day vouchers: what it shows,
// an amount typed into the grid, a failed save, the clearing, the checks
// that keep the screen open, the carry on leaving, and its size and keys.

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QtTest>

#include "app/SyokiSetMenu.h"
#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "app/startup.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"
#include "setup/InpKisyuZandaka.h"
#include "support/openingfixture.h"

using openingfixture::kCid;
using openingfixture::yen;
using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

class OneCompany : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("テスト商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

// A key pressed on a screen reaches the control that has the focus first.
void typeKey(QWidget* window, Qt::Key key) {
    QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, key);
}

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Types digits into an amount cell and commits them with Enter, as the user does.
void typeAmount(platform::SpreadGrid* grid, int row, const QString& text) {
    grid->setFocus(Qt::OtherFocusReason);
    settle();
    grid->setActiveCell(row, InpKisyuZandaka::colKisyuzan);
    for (QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
}

}  // namespace

class TestKisyuZandaka : public QObject {
    Q_OBJECT

    std::unique_ptr<openingfixture::Company> co_;
    OneCompany companies_;
    QPointer<SyokiSetMenu> menu_;

    // Opens the screen with the settings menu's button.
    QPointer<InpKisyuZandaka> open(bool voucherOnStart = true, const QString& kancng = QStringLiteral("0")) {
        co_ = openingfixture::open(voucherOnStart, kancng);
        if (!co_) return nullptr;
        menu_ = new SyokiSetMenu;
        menu_->show();
        settle();
        menu_->cmdKisyuZandaka->click();
        settle();
        QPointer<InpKisyuZandaka> s = menu_->findChild<InpKisyuZandaka*>();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* screen = qobject_cast<InpKisyuZandaka*>(w)) s = screen;
        return s;
    }
    int rowOf(InpKisyuZandaka* s, const QString& kocode) {
        for (int r = 1; r <= s->spdSS->maxRows(); ++r)
            if (s->spdSS->text(r, InpKisyuZandaka::colKocode) == kocode) return r;
        return 0;
    }
    qint64 stored(const QString& table, const QString& kocode) {
        const QString sql = table == "T_KANJO"
                                ? QStringLiteral("SELECT KISYUZAN FROM T_KANJO WHERE KOCODE = ?")
                                : QStringLiteral("SELECT KISYUZAN FROM T_KISYUZAN WHERE KOCODE = ? AND CID = '51'");
        return Currency::fromVariant(co_->cn->scalar(sql, {kocode}).value_or(QVariant())).yen();
    }
    void verifyWarning(const ScriptedMsgBox& boxes, const QString& text) {
        QVERIFY(boxes.count() >= 1);
        QCOMPARE(boxes.last().text, text);
        QCOMPARE(boxes.last().title, gstrSoftName);
        QCOMPARE(boxes.last().icon, MsgIcon::Warning);
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        SetTheCompanyList(&companies_);
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* s = qobject_cast<InpKisyuZandaka*>(w)) {
                s->setLoaded(false);
                s->close();
            }
        }
        settle();
        delete menu_.data();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        co_.reset();
    }

    void shows() {
        QPointer<InpKisyuZandaka> s = open();
        QVERIFY(s);
        QVERIFY(s->isLoaded() && s->isVisible());
        QVERIFY(menu_->isHidden());
        QCOMPARE(gstrCallForm, "InpKisyuZandaka");
        QCOMPARE(s->windowTitle(), "期首残高入力 - テスト商店 - " + gstrNendo);
        QCOMPARE(s->Label1->text(), "期首残高登録");
        QCOMPARE(s->spdSS->text(0, 1), "ｺｰﾄﾞ");
        QCOMPARE(s->spdSS->text(0, 3), "期首残高");
        QVERIFY(s->spdSS->isColumnHidden(4) && s->spdSS->isColumnHidden(5));
        QCOMPARE(s->spdSS->text(1, 1), "101");
        QCOMPARE(s->spdSS->text(1, 2), "現金");
        QCOMPARE(s->spdSS->text(1, 3), "100,000");
        QVERIFY(s->spdSS->isLocked(1, 2) && !s->spdSS->isLocked(1, 3));
        QCOMPARE(s->txtKarikei->valueOrZero(), Currency::fromYen(150000));
        QCOMPARE(s->txtKasikei->valueOrZero(), Currency::fromYen(150000));
        QCOMPARE(s->txtTaisyakuSai->valueOrZero(), Currency());
        QVERIFY(s->txtRate->isHidden());
        QCOMPARE(s->lblReadMe->text(), InpKisyuZandaka::ReadMeText());
        QCOMPARE(s->cmdClear->text(), "  期首残高   クリア(L)");
        QCOMPARE(s->cmdBack->toolTip(), "前の画面に戻ります。");
    }

    // The whole screen fits a 1366x768 screen, and Tab reaches the grid's
    // amounts, the rate and both buttons but none of the totals.
    void fitsAndKeys() {
        QPointer<InpKisyuZandaka> s = open(true, "1");
        QVERIFY(s);
        QVERIFY(!s->txtRate->isHidden());
        QVERIFY(s->frameGeometry().width() <= 1366 && s->frameGeometry().height() <= 768 - 40);
        s->activateWindow();
        s->cmdBack->setFocus();
        QSet<QWidget*> reached;
        for (int i = 0; i < 200 && reached.size() < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* f = QApplication::focusWidget();
            if (f == s->spdSS->view()) f = s->spdSS;
            reached.insert(f);
        }
        for (QWidget* w : std::initializer_list<QWidget*>{s->spdSS, s->txtRate, s->cmdClear, s->cmdBack})
            QVERIFY2(reached.contains(w), qPrintable(w->objectName()));
        for (QWidget* w : std::initializer_list<QWidget*>{s->txtKarikei, s->txtKasikei, s->txtTaisyakuSai})
            QVERIFY(!reached.contains(w));
        QCOMPARE(s->lblRate->buddy(), s->txtRate);
    }

    // An amount typed into a cell is stored in both charts and the totals
    // follow; an emptied cell or a refused save puts the stored amount back.
    void typing() {
        QPointer<InpKisyuZandaka> s = open();
        QVERIFY(s);
        const int bank = rowOf(s, "012");
        QVERIFY(bank > 0);
        typeAmount(s->spdSS, bank, "80000");
        QCOMPARE(stored("T_KANJO", "012"), 80000);
        QCOMPARE(stored("T_KISYUZAN", "012"), 80000);
        QCOMPARE(s->txtKarikei->valueOrZero(), Currency::fromYen(180000));
        QCOMPARE(s->txtTaisyakuSai->valueOrZero(), Currency::fromYen(30000));
        QVERIFY(s->isChanged());

        QVERIFY(co_->exec("CREATE TRIGGER refuse BEFORE UPDATE ON T_KANJO BEGIN SELECT RAISE(ABORT, 'x'); END"));
        {
            ScriptedMsgBox boxes;
            typeAmount(s->spdSS, bank, "90000");
            verifyWarning(boxes, "勘定科目テーブルのアクセス中にエラーが発生しました(spdSS_Change)。");
        }
        QCOMPARE(s->spdSS->amount(bank, 3), Currency::fromYen(80000));
        QCOMPARE(stored("T_KISYUZAN", "012"), 80000);
        QCOMPARE(s->txtKarikei->valueOrZero(), Currency::fromYen(180000));
        {
            ScriptedMsgBox boxes;
            s->spdSS->setText(bank, 3, QString());
            s->spdSS_Change(bank, 3);
            verifyWarning(boxes, "勘定科目テーブルのアクセス中にエラーが発生しました(spdSS_Change)。");
        }
        QCOMPARE(s->spdSS->amount(bank, 3), Currency::fromYen(80000));
    }

    // A fast typist clicks the amount cell that is already active and types
    // at once: the whole amount is stored, whether the keys come with the
    // click or 0.1 s or 0.5 s after it (before and after the double-click
    // interval).
    void typingRightAfterAClickOnTheActiveCell_data() {
        QTest::addColumn<int>("delay");  // ms between the click and the first key
        for (const int delay : {0, 100, 500}) QTest::addRow("%d ms", delay) << delay;
    }
    void typingRightAfterAClickOnTheActiveCell() {
        QFETCH(int, delay);
        QPointer<InpKisyuZandaka> s = open();
        QVERIFY(s);
        const int bank = rowOf(s, "012");
        s->spdSS->setFocus(Qt::OtherFocusReason);
        settle();
        s->spdSS->setActiveCell(bank, InpKisyuZandaka::colKisyuzan);
        QTableView* v = s->spdSS->view();
        const QPoint cell = v->visualRect(v->model()->index(bank - 1, InpKisyuZandaka::colKisyuzan - 1)).center();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell);
        if (delay) QTest::qWait(delay);
        for (const char c : {'3', '1', '0', '0', '0', '0'}) QTest::keyClick(QApplication::focusWidget(), c);
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        settle();
        QCOMPARE(stored("T_KANJO", "012"), 310000);
        QCOMPARE(stored("T_KISYUZAN", "012"), 310000);
    }

    // Leaving is refused while debit and credit differ, while a company with
    // a rate has none, and while an account disagrees with its sub-accounts.
    void leavingRefused_data() {
        QTest::addColumn<QString>("kancng");
        QTest::addColumn<QString>("typed");  // an amount typed for payables 115 first
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("message");
        QTest::newRow("difference") << "0" << "1" << ""
                                    << "貸借差異が\"0\"にならなければ終了できません。\"0\"になるように訂正してください。";
        QTest::newRow("no rate") << "1" << "" << "" << "為替レートが入力されていません。";
        QTest::newRow("sub-accounts")
            << "0" << ""
            << "UPDATE T_KANJO SET HOJOSET = 'Y' WHERE KOCODE = '012';"
               "INSERT INTO T_HOJOKAMOKU VALUES ('51', '012', '01', '01', '本店', 10000)"
            << "普通預金 の期首残高が補助科目の期首残高と一致しません\r\n\r\n補助科目の期首残高の合計は 1 です。";
    }
    void leavingRefused() {
        QFETCH(QString, kancng);
        QFETCH(QString, typed);
        QFETCH(QString, setUp);
        QFETCH(QString, message);
        QPointer<InpKisyuZandaka> s = open(true, kancng);
        QVERIFY(s);
        if (!typed.isEmpty()) typeAmount(s->spdSS, rowOf(s, "115"), typed);
        for (const QString& sql : setUp.split(';', Qt::SkipEmptyParts)) QVERIFY(co_->exec(sql));
        const QString before = co_->snapshot();
        ScriptedMsgBox boxes;
        QVERIFY(!s->unload());
        verifyWarning(boxes, message);
        QCOMPARE(boxes.count(), 1);
        QVERIFY(s->isVisible());
        QVERIFY(menu_->isHidden());
        QCOMPARE(co_->snapshot(), before);
        if (kancng == "1") QCOMPARE(s->focusWidget(), s->txtRate);
    }

    // Sub-account balances under an account whose switch is off do not hold
    // the screen: the account editor that keeps them is out of reach while it
    // is open.
    void leavingWithSubAccountsSwitchedOff() {
        QPointer<InpKisyuZandaka> s = open();
        QVERIFY(s);
        QVERIFY(co_->exec("INSERT INTO T_HOJOKAMOKU VALUES ('51', '004', '01', '1011', '手許', 500)"));
        ScriptedMsgBox boxes;
        QVERIFY(s->unload());
        QCOMPARE(boxes.count(), 0);
        settle();
        QVERIFY(menu_->isVisible());
    }

    // The clearing: refused with sub-accounts (even at 0), asked otherwise,
    // and then every balance is 0 in both charts and on the screen.
    void clearing() {
        QPointer<InpKisyuZandaka> s = open();
        QVERIFY(s);
        QVERIFY(co_->exec("UPDATE T_KANJO SET HOJOSET = 'Y' WHERE KOCODE = '012'"));
        QVERIFY(co_->exec("INSERT INTO T_HOJOKAMOKU VALUES ('51', '012', '01', '01', '本店', 0)"));
        {
            ScriptedMsgBox boxes;
            typeKey(s, Qt::Key_L);
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().text, "普通預金の補助科目に期首残高が設定されていますのでクリアできません");
        }
        QCOMPARE(stored("T_KANJO", "004"), 100000);
        QVERIFY(co_->exec("DELETE FROM T_HOJOKAMOKU"));
        {
            ScriptedMsgBox boxes;
            boxes.answer(platform::vbCancel);
            s->cmdClear->click();
            QCOMPARE(boxes.last().text, "期首残高を０クリアします");
            QCOMPARE(boxes.last().buttons, platform::MsgButtons::OkCancel);
            QCOMPARE(boxes.last().defaultButton, 2);
        }
        QCOMPARE(stored("T_KANJO", "004"), 100000);
        QVERIFY(!s->isChanged());
        {
            ScriptedMsgBox boxes;
            boxes.answer(platform::vbOK);
            s->cmdClear->click();
        }
        QCOMPARE(stored("T_KANJO", "004"), 0);
        QCOMPARE(stored("T_KISYUZAN", "004"), 0);
        QCOMPARE(s->spdSS->amount(1, 3), Currency());
        QCOMPARE(s->txtKarikei->valueOrZero(), Currency());
        QVERIFY(s->isChanged());
    }

    // Leaving after the cash opening balance went from 100,000 to 150,000
    // moves every day from the first voucher on by 50,000 and returns to the
    // menu; with the first voucher after the fiscal start as well.
    void leavingCarries_data() {
        QTest::addColumn<bool>("voucherOnStart");
        QTest::newRow("voucher on the fiscal start") << true;
        QTest::newRow("first voucher later") << false;
    }
    void leavingCarries() {
        QFETCH(bool, voucherOnStart);
        QPointer<InpKisyuZandaka> s = open(voucherOnStart);
        QVERIFY(s);
        const auto before = co_->balances();
        typeAmount(s->spdSS, 1, "150000");
        typeAmount(s->spdSS, rowOf(s, "154"), "170000");
        QCOMPARE(s->txtTaisyakuSai->valueOrZero(), Currency());
        ScriptedMsgBox boxes;
        typeKey(s, Qt::Key_X);
        settle();
        QCOMPARE(boxes.count(), 0);
        QVERIFY(!s || !s->isVisible());
        QVERIFY(menu_->isVisible());
        const auto after = co_->balances();
        QCOMPARE(after.front().first, 150000);
        for (int i = 0; i < after.size(); ++i) {
            QCOMPARE(after[i].first, before[i].first + 50000);
            QCOMPARE(after[i].second, before[i].second + 50000);
        }
    }
};

QTEST_MAIN(TestKisyuZandaka)
#include "tst_kisyuzandaka.moc"
