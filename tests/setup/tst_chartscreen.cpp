// The chart-of-accounts screen and the account editor, headless, opened from
// the settings menu on a company with the shipped chart: the cascade of the
// class lists, the grid, retiring, the editor's typing, refusals and save,
// and the chart-of-accounts list printed to PDF and read back.

#include <QComboBox>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/SyokiSetMenu.h"
#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "reports/reportprinter.h"
#include "app/startup.h"
#include "ledger/chartofaccounts.h"
#include "ledger/openingbalances.h"
#include "platform/imnumber.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"
#include "setup/InpKanjokamokuCh.h"
#include "setup/prtKanjoKamokuSet.h"
#include "support/openingfixture.h"

using openingfixture::kCid;
using platform::MsgIcon;
using platform::ScriptedMsgBox;
using Chart = prtKanjoKamokuSet;

namespace {

class OneCompany : public CompanyList {
public:
    QString currentCompanyName() const override { return QStringLiteral("テスト商店"); }
    void addCompany(const QString&, const QString&) override {}
    void renameCurrentCompany(const QString&) override {}
    void removeCurrentCompany() override {}
    int companyCount() const override { return 1; }
};

void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Text committed through the input method, as a user types Japanese.
void commit(QWidget* w, const QString& text) {
    w->setFocus();
    QInputMethodEvent e(QString(), {});
    e.setCommitString(text);
    QApplication::sendEvent(w, &e);
}

template <class T>
QPointer<T> topLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<T*>(w); s && !s->isHidden()) return s;
    return nullptr;
}

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

}  // namespace

class TestChartScreen : public QObject {
    Q_OBJECT

    std::unique_ptr<openingfixture::Company> co_;
    OneCompany companies_;
    QPointer<SyokiSetMenu> menu_;

    QPointer<Chart> open() {
        co_ = openingfixture::open();
        // A middle class not in use is not offered.
        if (!co_ || !co_->exec("UPDATE T_KANJO SET SIYOU = 'N' WHERE KOCODE = '913'")) return nullptr;
        menu_ = new SyokiSetMenu;
        menu_->show();
        settle();
        menu_->cmdKanjyoKamoku->click();
        settle();
        return topLevel<Chart>();
    }
    QString column(Chart* s, int col) {
        QStringList t;
        for (int r = 1; r <= s->spdSS->maxRows(); ++r) t << s->spdSS->text(r, col);
        while (!t.isEmpty() && t.last().isEmpty()) t.removeLast();
        return t.join(' ');
    }
    QString stored(const QString& table, const QString& kocode) {
        const QString where = table == "T_KANJO" ? QStringLiteral(" WHERE KOCODE = ?")
                                                 : QStringLiteral(" WHERE KOCODE = ? AND CID = '51'");
        const auto r = co_->cn->queryOne(QStringLiteral("SELECT KMCODE, KANNAME, JUN, HOJOSET, SIYOU FROM ") +
                                             table + where,
                                         {kocode});
        QStringList t;
        for (int i = 0; r && i < r->size(); ++i) t << r->text(i);
        return t.join('|');
    }
    static void key(QWidget* window, Qt::Key k) {
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, k);
        settle();
    }
    // Opens the editor on the grid's row with the E key.
    QPointer<InpKanjokamokuCh> edit(Chart* s, int row) {
        s->spdSS->setActiveCell(row, 1);
        key(s, Qt::Key_E);
        settle();
        return topLevel<InpKanjokamokuCh>();
    }

private slots:
    void initTestCase() {
        testenv::isolate();
        PrepareProgram();
        SetTheCompanyList(&companies_);
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<platform::Form*>(w); f && f != menu_) {
                f->setLoaded(false);
                f->close();
            }
        }
        settle();
        delete menu_.data();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        co_.reset();
    }

    // The first large class is chosen and the cascade runs down to the grid;
    // choosing a class refills the levels below it; a long class grows the
    // grid and a short one shrinks it back to 13 rows.
    void cascade() {
        QPointer<Chart> s = open();
        QVERIFY(s && s->isLoaded());
        QVERIFY(menu_->isHidden());
        QCOMPARE(s->windowTitle(), QString(" 勘定科目台帳入力 - テスト商店"));
        QCOMPARE(s->cmbDaiBunrui->currentText(), QString("資産"));
        QCOMPARE(s->cmbChuBunrui->currentText(), QString("流動資産"));
        QCOMPARE(s->cmbSyoBunrui->count(), 0);  // a middle class without small classes
        QCOMPARE(s->spdSS->text(1, Chart::colKmcode), QString("101"));
        QCOMPARE(s->spdSS->text(1, Chart::colKanname), QString("現金"));
        QCOMPARE(s->spdSS->text(1, Chart::colSide), QString("借方"));
        QCOMPARE(s->spdSS->text(1, Chart::colKocode), QString("004"));
        QCOMPARE(s->spdSS->maxRows(), 33);  // one row per account beyond 13
        QStringList classes;
        for (int i = 0; i < s->cmbChuBunrui->count(); ++i) classes << s->cmbChuBunrui->itemText(i);
        QCOMPARE(classes.join(' '), QString("流動資産 固定資産"));  // 繰延資産 is not in use

        s->cmbDaiBunrui->setCurrentIndex(s->cmbDaiBunrui->findText("経常損益"));
        QCOMPARE(s->currentDai() + ' ' + s->currentChu() + ' ' + s->currentSyo(), QString("904 919 931"));
        QCOMPARE(s->cmbSyoBunrui->currentText(), QString("営業収益"));
        QVERIFY(column(s, Chart::colKmcode).startsWith("511 512"));
        QCOMPARE(s->spdSS->text(1, Chart::colKanname), QString("売上高"));
        QCOMPARE(s->spdSS->text(1, Chart::colSide), QString("貸方"));
        QCOMPARE(s->spdSS->maxRows(), 13);  // 12 accounts
        s->cmbSyoBunrui->setCurrentIndex(1);
        QCOMPARE(s->cmbSyoBunrui->currentText(), QString("営業費用"));
        QCOMPARE(s->spdSS->maxRows(), 44);
        s->cmbDaiBunrui->setCurrentIndex(s->cmbDaiBunrui->findText("その他"));
        QCOMPARE(s->cmbChuBunrui->count(), 0);  // a large class without middle classes
        QCOMPARE(s->spdSS->maxRows(), 13);
        QVERIFY(column(s, Chart::colKmcode).startsWith("871 872"));
        QVERIFY(s->spdSS->text(8, Chart::colKmcode).isEmpty());
    }

    // L asks first; No changes nothing; Yes blanks the row and stores the
    // marks; a retire that fails keeps the row as stored; on an empty row Yes
    // is refused as a failed save.
    void retire() {
        QPointer<Chart> s = open();
        QVERIFY(s);
        QVERIFY(!s->cmdDelete->isEnabled());  // the key works before the grid had the focus
        s->spdSS->setActiveCell(2, 1);
        ScriptedMsgBox boxes;
        boxes.answer(platform::vbNo);
        key(s, Qt::Key_L);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("勘定科目の情報をクリアします。よろしいですか？"));
        QCOMPARE(boxes.last().icon, MsgIcon::Question);
        QCOMPARE(stored("T_KANJO", "005"), QString("102|小口現金|102|N|Y"));

        QVERIFY(co_->exec("CREATE TRIGGER r BEFORE UPDATE ON T_KISYUZAN BEGIN SELECT RAISE(ABORT, 'x'); END"));
        boxes.answer(platform::vbYes);
        key(s, Qt::Key_L);
        QCOMPARE(boxes.last().text, QString("勘定科目マスタのアクセス中にエラーが発生しました(save_data)。"));
        QCOMPARE(s->spdSS->text(2, Chart::colKanname), QString("小口現金"));
        QCOMPARE(stored("T_KANJO", "005"), QString("102|小口現金|102|N|Y"));

        QVERIFY(co_->exec("DROP TRIGGER r"));
        boxes.answer(platform::vbYes);
        s->cmdDelete->setEnabled(true);
        s->cmdDelete->click();
        QCOMPARE(s->spdSS->text(2, Chart::colKmcode), QString());
        QCOMPARE(s->spdSS->text(2, Chart::colKanname), QString());
        QCOMPARE(stored("T_KANJO", "005"), QString("||102|N|N"));
        QCOMPARE(stored("T_KISYUZAN", "005"), QString("||102|N|N"));

        // An empty row holds no account: Yes is refused as a failed save.
        const QString before = co_->snapshot();
        s->cmbDaiBunrui->setCurrentIndex(s->cmbDaiBunrui->findText("その他"));
        s->spdSS->setActiveCell(s->spdSS->maxRows(), 1);
        QVERIFY(s->spdSS->text(s->spdSS->maxRows(), Chart::colKocode).isEmpty());
        boxes.answer(platform::vbYes);
        key(s, Qt::Key_L);
        QCOMPARE(boxes.shown().at(boxes.count() - 2).text, QString("勘定科目の情報をクリアします。よろしいですか？"));
        QCOMPARE(boxes.last().text, QString("勘定科目マスタのアクセス中にエラーが発生しました(save_data)。"));
        QCOMPARE(co_->snapshot(), before);
        QVERIFY(!co_->cn->inTransaction());
    }

    // The editor: typed Japanese in the name, a character CP932 cannot hold
    // refused with its name, the 30-byte limit, the sub-account slots; closing
    // saves and the chart row shows what was stored.
    void editAndSave() {
        QPointer<Chart> s = open();
        QVERIFY(s);
        QPointer<InpKanjokamokuCh> e = edit(s, 3);
        QVERIFY(e && e->isLoaded());
        QVERIFY(s->isHidden());
        QCOMPARE(e->windowTitle(), QString("勘定科目台帳編集 - テスト商店"));
        QCOMPARE(e->txtKamokuCode->text(), QString("111"));
        QVERIFY(e->txtKamokuCode->isReadOnly());
        QCOMPARE(e->lblSiyou->text(), QString("使用中"));
        QCOMPARE(e->lblSyoriKbn->text(), QString("仕訳"));
        QCOMPARE(e->lblBunrui->text(), QString("流動資産"));
        QVERIFY(e->chkHojokamoku->isEnabled() && !e->chkHojokamoku->isChecked());
        QVERIFY(e->spdSS->isHidden());
        QCOMPARE(e->spdSS->text(3, InpKanjokamokuCh::colHocode), QString("1113"));

        ScriptedMsgBox boxes;
        e->txtKamokuName->clear();
        commit(e->txtKamokuName, "𠮷田");  // a character CP932 has no code for
        settle();
        QCOMPARE(e->txtKamokuName->text(), QString());
        QVERIFY(boxes.count() == 1 && boxes.last().text.contains("𠮷"));
        commit(e->txtKamokuName, "みずほ銀行本店営業部普通預金口座");  // 16 full-width: 32 bytes
        QCOMPARE(e->txtKamokuName->text(), QString("みずほ銀行本店営業部普通預金口"));

        // A slot edited through its boxes.
        e->chkHojokamoku->click();
        QVERIFY(e->spdSS->isVisible() && e->cmdDelete->isVisible());
        e->spdSS->setActiveCell(2, 1);
        e->spdSS_DblClick(2, 1);
        QVERIFY(e->txtHK_Name->isVisible() && e->cmdSyusei->isVisible() && !e->cmdBack->isEnabled());
        QCOMPARE(e->txtHK_Code->text(), QString("1112"));
        commit(e->txtHK_Name, "生活費");
        e->txtHK_Zandaka->setValue(Currency());
        e->cmdSyusei->click();
        QVERIFY(e->spdSS->isVisible() && e->cmdBack->isEnabled());
        QCOMPARE(e->spdSS->text(2, InpKanjokamokuCh::colHoname), QString("生活費"));

        const int before = boxes.count();
        e->cmdBack->click();
        settle();
        QCOMPARE(boxes.count(), before);
        QVERIFY(!topLevel<InpKanjokamokuCh>());
        QVERIFY(s->isVisible());
        QCOMPARE(stored("T_KANJO", "006"), QString("111|みずほ銀行本店営業部普通預金口|111|Y|Y"));
        QCOMPARE(co_->cn->scalar("SELECT HONAME FROM T_HOJOKAMOKU WHERE CID = '51' AND KANKOCODE = '006'")
                     ->toString(),
                 QString("生活費"));
        QCOMPARE(s->spdSS->text(3, Chart::colKanname), QString("みずほ銀行本店営業部普通預金口"));
        QCOMPARE(s->spdSS->text(3, Chart::colHojoset), QString("Y"));
    }

    // An account numbered from 500 to 800 has no sub-accounts: the switch and
    // its button are locked, the grid stays hidden and empty, and closing
    // removes any stored sub-account.
    void lockedForSubAccounts() {
        QPointer<Chart> s = open();
        QVERIFY(s);
        QVERIFY(co_->exec("INSERT INTO T_HOJOKAMOKU VALUES ('51', '247', '01', '5501', '旧', 0)"));
        s->cmbDaiBunrui->setCurrentIndex(s->cmbDaiBunrui->findText("経常損益"));
        s->cmbSyoBunrui->setCurrentIndex(s->cmbSyoBunrui->findText("営業費用"));
        QPointer<InpKanjokamokuCh> e = edit(s, 1);
        QVERIFY(e);
        QCOMPARE(e->txtKamokuCode->text(), QString("550"));
        QVERIFY(!e->chkHojokamoku->isEnabled() && !e->cmdHojokamoku->isEnabled());
        QVERIFY(e->spdSS->isHidden());
        QCOMPARE(e->spdSS->text(1, InpKanjokamokuCh::colHocode), QString());
        e->cmdBack->click();
        settle();
        QVERIFY(!topLevel<InpKanjokamokuCh>());
        QCOMPARE(stored("T_KANJO", "247"), QString("550|仕入高|550|N|Y"));
        QCOMPARE(co_->cn->scalar("SELECT COUNT(*) FROM T_HOJOKAMOKU WHERE KANKOCODE = '247'")->toInt(), 0);
    }

    // A refused check and a failed save keep the editor open with what the
    // user typed; nothing is stored.
    void refusalsKeepTheEditorOpen() {
        QPointer<Chart> s = open();
        QVERIFY(s);
        QVERIFY(co_->exec("UPDATE T_KANJO SET KISYUZAN = ? WHERE KOCODE = '006'", {openingfixture::yen(1000)}));
        QPointer<InpKanjokamokuCh> e = edit(s, 3);
        QVERIFY(e);
        QCOMPARE(e->txtKisyuZandaka->text(), QString("1,000"));
        e->txtKamokuName->clear();
        commit(e->txtKamokuName, "予備");
        e->chkHojokamoku->click();
        e->spdSS->setText(1, InpKanjokamokuCh::colHoname, "甲");
        e->spdSS->setAmount(1, InpKanjokamokuCh::colKisyuzan, Currency::fromYen(300));
        e->spdSS->setText(2, InpKanjokamokuCh::colHoname, "乙");
        e->spdSS->setAmount(2, InpKanjokamokuCh::colKisyuzan, Currency::fromYen(600));
        ScriptedMsgBox boxes;
        e->cmdBack->click();
        settle();
        QVERIFY(e && e->isVisible());
        QCOMPARE(boxes.last().title, QString("会計ソフト"));
        QVERIFY(boxes.last().text.endsWith("補助科目の期首残高の合計は ¥900 です"));

        e->spdSS->setAmount(2, InpKanjokamokuCh::colKisyuzan, Currency::fromYen(700));
        QVERIFY(co_->exec("CREATE TRIGGER r BEFORE INSERT ON T_HOJOKAMOKU BEGIN SELECT RAISE(ABORT, 'x'); END"));
        const QString before = co_->snapshot();
        // After the failed save the user is asked; No stays with what was typed.
        for (int ok = 0; ok < 2; ++ok) boxes.answer(platform::vbOK);  // the failure's messages
        boxes.answer(platform::vbNo);
        e->cmdBack->click();
        settle();
        QVERIFY(e && e->isVisible());
        QCOMPARE(boxes.shown().at(boxes.count() - 2).text,
                 QString("補助科目マスタのアクセス中にエラーが発生しました(update_kanjo_data)。"));
        QCOMPARE(boxes.last().text, QString("登録できませんでした。登録せずに閉じますか？"));
        QCOMPARE(boxes.last().icon, MsgIcon::Question);
        QCOMPARE(boxes.last().defaultButton, 2);
        QCOMPARE(e->txtKamokuName->text(), QString("予備"));
        QCOMPARE(e->spdSS->text(2, InpKanjokamokuCh::colHoname), QString("乙"));
        QCOMPARE(co_->snapshot(), before);

        // Yes closes without saving, the window's close box as well as もどる.
        for (int ok = 0; ok < 2; ++ok) boxes.answer(platform::vbOK);
        boxes.answer(platform::vbYes);
        e->close();
        settle();
        QVERIFY(!e);
        QVERIFY(s->isVisible());
        QCOMPARE(co_->snapshot(), before);
        QCOMPARE(stored("T_KANJO", "006"), QString("111|当座預金|111|N|Y"));
        QCOMPARE(s->spdSS->text(3, Chart::colKanname), QString("当座預金"));
    }

    // Sub-account balances left under a switch turned off are not kept
    // behind: closing asks; No stays, Yes stores the slots with balance 0.
    // The opening-balance check then lets its screen close.
    void switchedOffSubAccountBalances() {
        QPointer<Chart> s = open();
        QVERIFY(s);
        QPointer<InpKanjokamokuCh> e = edit(s, 1);
        QVERIFY(e && e->txtKamokuName->text() == QString("現金"));
        e->chkHojokamoku->click();
        QCOMPARE(e->spdSS->text(1, InpKanjokamokuCh::colHocode), QString("1011"));
        e->spdSS->setText(1, InpKanjokamokuCh::colHoname, "手許");
        e->spdSS->setAmount(1, InpKanjokamokuCh::colKisyuzan, Currency::fromYen(500));
        e->chkHojokamoku->click();
        QVERIFY(!e->chkHojokamoku->isChecked());
        const QString before = co_->snapshot();
        ScriptedMsgBox boxes;
        boxes.answer(platform::vbNo);
        e->cmdBack->click();
        settle();
        QVERIFY(e && e->isVisible());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().icon, MsgIcon::Question);
        QVERIFY(boxes.last().text.contains("補助科目の期首残高を０にして登録しますか？"));
        QCOMPARE(co_->snapshot(), before);

        boxes.answer(platform::vbYes);
        e->cmdBack->click();
        settle();
        QVERIFY(!e);
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(stored("T_KANJO", "004"), QString("101|現金|101|N|Y"));
        const auto sub = co_->cn->queryOne(
            "SELECT HOCODE, HONAME, KISYUZAN FROM T_HOJOKAMOKU WHERE CID = '51' AND KANKOCODE = '004'");
        QVERIFY(sub && sub->size() > 0);
        QCOMPARE(sub->text("HOCODE") + sub->text("HONAME"), QString("1011手許"));
        QCOMPARE(sub->currency("KISYUZAN"), Currency());
        const auto mismatch = FindSubAccountMismatch();
        QVERIFY(mismatch && !mismatch->has_value());
    }

    // A fast typist double-clicks the active slot of the sub-account grid and
    // types at once, then clicks the balance box and types at once: the name
    // and the whole balance are stored, whether the keys come with the clicks
    // or 0.1 s or 0.5 s after them (before and after the double-click interval).
    void subAccountTypedRightAfterTheClicks_data() {
        QTest::addColumn<int>("delay");  // ms between each click and the first key
        for (const int delay : {0, 100, 500}) QTest::addRow("%d ms", delay) << delay;
    }
    void subAccountTypedRightAfterTheClicks() {
        QFETCH(int, delay);
        QPointer<Chart> s = open();
        QVERIFY(s);
        QVERIFY(co_->exec("UPDATE T_KANJO SET KISYUZAN = ? WHERE KOCODE = '006'", {openingfixture::yen(310000)}));
        QPointer<InpKanjokamokuCh> e = edit(s, 3);
        QVERIFY(e);
        e->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(e));
        e->chkHojokamoku->click();
        settle();
        e->spdSS->setFocus(Qt::OtherFocusReason);
        e->spdSS->setActiveCell(1, InpKanjokamokuCh::colHoname);
        QTableView* v = e->spdSS->view();
        // A double-click as the window system delivers it.
        const QPoint slot = v->visualRect(v->model()->index(0, InpKanjokamokuCh::colHoname - 1)).center();
        QTest::mousePress(v->viewport(), Qt::LeftButton, {}, slot);
        QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, slot);
        QTest::mousePress(v->viewport(), Qt::LeftButton, {}, slot);
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, slot);
        QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, slot);
        if (delay) QTest::qWait(delay);
        QCOMPARE(QApplication::focusWidget(), e->txtHK_Name);
        commit(e->txtHK_Name, "甲");
        QTest::mouseClick(e->txtHK_Zandaka, Qt::LeftButton);
        if (delay) QTest::qWait(delay);
        for (const char c : {'3', '1', '0', '0', '0', '0'}) QTest::keyClick(QApplication::focusWidget(), c);
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        e->cmdSyusei->click();
        QCOMPARE(e->spdSS->amount(1, InpKanjokamokuCh::colKisyuzan), Currency::fromYen(310000));
        ScriptedMsgBox boxes;
        e->cmdBack->click();
        settle();
        QCOMPARE(boxes.count(), 0);
        const auto row = co_->cn->queryOne(
            "SELECT HONAME, KISYUZAN FROM T_HOJOKAMOKU WHERE CID = '51' AND KANKOCODE = '006' AND HOKOCODE = '01'");
        QVERIFY(row);
        QCOMPARE(row->text(0), QString("甲"));
        QCOMPARE(row->currency(1), Currency::fromYen(310000));
    }

    // The list: the work table filled from the chart at its three depths and
    // printed through the report engine; the PDF shows the class levels and
    // the accounts in order.
    void chartList() {
        QPointer<Chart> s = open();
        QVERIFY(s);
        ScriptedMsgBox boxes;
        s->cmdInsatu->click();  // no printer here: the list is built, the print refused
        QCOMPARE(boxes.count(), 1);
        QVERIFY(boxes.last().text.startsWith("プリンタドライバがインストールされていません。"));
        const auto depth = [this](const char* where) {
            return co_->cn->scalar(QStringLiteral("SELECT COUNT(*) FROM WK_KANJO_PRINT WHERE ") +
                                   QLatin1String(where))
                ->toInt();
        };
        QCOMPARE(depth("SYOCODE IS NOT NULL"), 94);  // under the five small classes
        QCOMPARE(depth("SYOCODE IS NULL AND TYUCODE IS NOT NULL"), 92);
        QCOMPARE(depth("TYUCODE IS NULL"), 7);  // directly under その他
        QCOMPARE(depth("KMCODE = '' OR KMCODE IS NULL"), 0);

        QTemporaryDir dir;
        const QString pdf = dir.filePath("chart.pdf");
        QVERIFY(WriteReportPdf("R_KANJO_LISTH", pdf));
        const QString text = pdfText(pdf);
        const QStringList inOrder{"勘定科目一覧表", "資産", "流動資産", "101", "現金", "小口現金", "固定資産",
                                  "経常損益", "営業収益", "売上高", "営業費用", "仕入高", "その他", "法人税等"};
        qsizetype at = 0;
        for (const QString& word : inOrder) {
            const qsizetype found = text.indexOf(word, at);
            QVERIFY2(found >= 0, qPrintable(word + "\n" + text.left(3000)));
            at = found + word.size();
        }
    }
};

QTEST_MAIN(TestChartScreen)
#include "tst_chartscreen.moc"
