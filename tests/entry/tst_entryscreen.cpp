// The daily entry screen driven headless: the load as each opener opens it,
// the three grids as loaded, the keyboard flow between the grids, a load
// that fails, and closing with and without unsaved edits.

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "entryfixture.h"
#include "ledger/dayvouchers.h"
#include "platform/clock.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"
#include "support/inputmethod.h"

using entrytest::Book;
using entrytest::openEntry;
using platform::FixedClock;
using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

const QString kLoadFailure =
    QStringLiteral("ワークテーブルの更新中にエラーが発生しました(set_spread_sheet12)。");
const QString kCloseQuestion = QStringLiteral("編集中のデータが未登録ですが、終了しても宜しいですか？\r\n");

Currency yenOf(const platform::ImNumber* box) {
    return box->valueOrZero();
}

}  // namespace

class TestEntryScreen : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Book> book_;
    QWidget* opener_ = nullptr;
    QPointer<InpKantanSiwake> screen_;

    int voucherCount() { return book_->text("SELECT count(*) FROM T_SIWAKE WHERE CID = '01'").toInt(); }

    // The vouchers up to `day`, made as the menus' opening makes them.
    void makeVouchersUpTo(const QDate& day) {
        FixedClock clock(day);
        QVERIFY(make_new_siwake_data(QStringLiteral("2000/01/01"), QStringLiteral("2001/03/31")));
    }

    void addLine(const QString& denCode, const QString& lineNo, const QString& sisyu, const QString& debit,
                 const QString& debitSub, const QString& credit, qint64 amount, const QString& tekiyo,
                 const QString& tecode = QString(), const QString& ptcode = QString()) {
        const QString day =
            book_->text("SELECT DENDAY FROM T_SIWAKE WHERE CID = '01' AND DENCODE = ?", {denCode});
        QVERIFY(book_->cn().exec(
            "INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE, KRHOKOCODE, "
            "KRKIN,"
            " KSKOCODE, KSKIN, TEKIYO, TECODE, ptcode) VALUES (?, ?, '01', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {denCode, lineNo, day, day.left(7), sisyu, debit, debitSub, entrytest::yen(amount), credit,
             entrytest::yen(amount), tekiyo, tecode, ptcode}));
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        book_ = std::make_unique<Book>();
        QVERIFY(book_->open());
        opener_ = new QWidget;
        opener_->setWindowTitle(QStringLiteral("stand-in opener"));
        opener_->show();
    }

    void cleanup() {
        entrytest::closeQuietly(screen_);
        delete opener_;
        opener_ = nullptr;
        book_.reset();
    }

    void openedFromTheMenuShowsTheNewestDay() {
        FixedClock clock(QDate(2000, 1, 10));
        ScriptedMsgBox box;
        screen_ = openEntry(opener_, QStringLiteral("MainMenu"));
        QVERIFY(screen_ && screen_->isVisible());
        QCOMPARE(box.count(), 0);
        QVERIFY(!opener_->isVisible());
        QCOMPARE(voucherCount(), 10);
        QCOMPARE(screen_->context().range.maxDenCode, QStringLiteral("00010"));
        QCOMPARE(screen_->windowTitle(), QStringLiteral("簡易仕訳入力 - 家計簿 - 平成12年度"));
        QCOMPARE(screen_->Label1->text(), QStringLiteral("ミルト入力"));
        QCOMPARE(screen_->txtSyoriNen->text(), QStringLiteral("2000/01/10"));
        QCOMPARE(screen_->denpyo()[0], QStringLiteral("00010"));
        QCOMPARE(screen_->denpyo()[2], QStringLiteral("2000/01/10"));
        QCOMPARE(yenOf(screen_->txtZenjituZandaka), Currency::fromYen(50000));
        QCOMPARE(yenOf(screen_->txtHonjituZandaka), Currency::fromYen(50000));
        QVERIFY(screen_->txtRate->isHidden());
        QVERIFY(!gcnKaikei->inTransaction());
        QVERIFY(screen_->isDayLoaded());
        // On a screen lower than its preferred height (the test screen is
        // 800 x 800) the window, its buttons at the bottom included, stays on
        // the screen.
        const QRect area = screen_->screen()->availableGeometry();
        const QRect frame = screen_->frameGeometry();
        QVERIFY2(frame.top() >= area.top() && frame.bottom() <= area.bottom(),
                 qPrintable(QStringLiteral("%1 to %2").arg(frame.top()).arg(frame.bottom())));
    }

    void openedWithAVoucherRangeCreatesNoVoucher() {
        makeVouchersUpTo(QDate(2000, 1, 5));
        FixedClock clock(QDate(2000, 1, 10));
        screen_ = openEntry(opener_, QStringLiteral("prtSiwakeNikki"), QStringLiteral("00002"),
                            QStringLiteral("00004"));
        QVERIFY(screen_ && screen_->isVisible());
        QCOMPARE(voucherCount(), 5);
        QCOMPARE(screen_->txtSyoriNen->text(), QStringLiteral("2000/01/04"));
        QCOMPARE(screen_->denpyo()[0], QStringLiteral("00004"));
        // Nothing edited: closing asks nothing and shows the opener again.
        ScriptedMsgBox box;
        screen_->cmdBack->click();
        QTRY_VERIFY(!screen_);
        QCOMPARE(box.count(), 0);
        QVERIFY(opener_->isVisible());
    }

    void aMissingVoucherClosesWithAMessage() {
        makeVouchersUpTo(QDate(2000, 1, 5));
        ScriptedMsgBox box;
        screen_ = openEntry(opener_, QStringLiteral("InpSoukanjoMotchoH"), QStringLiteral("00099"),
                            QStringLiteral("00099"));
        QTRY_VERIFY(!screen_);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("この伝票は存在しません"));
        QVERIFY(opener_->isVisible());
    }

    // The grids of a day with amounts, descriptions and free lines; the
    // screenshot of this day is left in /tmp for a look.
    void gridsShowTheDay() {
        makeVouchersUpTo(QDate(2000, 1, 5));
        auto& cn = book_->cn();
        QVERIFY(
            cn.exec("INSERT INTO T_DAY_TORAN (CID, KOCODE, DATEYM, KMCODE, KIN4, KIN5) VALUES"
                    " ('01', '180', '2000/01', '511', ?, ?), ('01', '263', '2000/01', '714', 0, ?)",
                    {entrytest::yen(999), entrytest::yen(123456), entrytest::yen(3000)}));
        QVERIFY(cn.exec("INSERT INTO T_TEKIYO VALUES ('01', '001', '一月分'), ('01', '002', '預け入れ')"));
        QVERIFY(cn.exec(
            "INSERT INTO T_SI_PATTERN VALUES ('01', '121', '101', '預金預け入れ', '預け入れ', '1', '')"));
        QVERIFY(cn.exec("UPDATE T_KANJO SET HOJOSET = 'Y', HOSETNO = 'N' WHERE KOCODE = '012'"));
        QVERIFY(
            cn.exec("INSERT INTO T_HOJOKAMOKU VALUES ('01', '012', '01', '01', 'みずほ', 0),"
                    " ('01', '012', '02', '02', 'ゆうちょ', 0)"));
        addLine("00005", "001", "0", "004", "", "180", 123456, "一月分", "001");
        addLine("00005", "002", "1", "012", "02", "004", 10000, "預け入れ", "002", "121101");
        addLine("00005", "003", "1", "012", "", "004", 2000, "小銭");
        addLine("00005", "004", "1", "263", "", "012", 800, "スーパー");
        addLine("00004", "001", "1", "263", "", "004", 1, "前日の行");  // another day's line

        FixedClock clock(QDate(2000, 1, 5));
        screen_ = openEntry(opener_, QStringLiteral("MainMenu"));
        QVERIFY(screen_);
        platform::SpreadGrid* g1 = screen_->spdSS1;
        platform::SpreadGrid* g2 = screen_->spdSS2;
        platform::SpreadGrid* g3 = screen_->spdSS3;

        // Grid 1: the income accounts in order, day 5 read from KIN5.
        QStringList names;
        for (int r = 1; r <= g1->maxRows(); ++r) names << g1->text(r, 1);
        QCOMPARE(names,
                 QStringList({"給料", "賞与", "年金", "副収入", "児童手当", "臨時収入", "その他の収入"}));
        QCOMPARE(g1->value(1, 2), QStringLiteral("123456"));
        QCOMPARE(g1->text(1, 2), QStringLiteral("123,456"));
        QCOMPARE(g1->value(2, 2), QStringLiteral("0"));
        QCOMPARE(g1->text(1, 3), QStringLiteral("一月分"));
        QCOMPARE(g1->comboItems(1, 3), QStringList({"", "一月分", "預け入れ"}));
        QCOMPARE(g1->text(2, 3), QString());
        QCOMPARE(
            QStringList({g1->text(1, 4), g1->text(1, 5), g1->text(1, 6), g1->text(1, 7), g1->text(1, 8)}),
            QStringList({"180", "511", "001", "004", "1"}));
        QVERIFY(g1->isColumnHidden(4) && g1->isColumnHidden(8) && !g1->isColumnHidden(3));
        QVERIFY(g1->isLocked(1, 1) && !g1->isLocked(1, 2));

        // Grid 2: the purchase and expense accounts.
        QCOMPARE(g2->maxRows(), 30);
        const int food = entrytest::rowOf(g2, 1, QStringLiteral("食費"));
        QVERIFY(food > 0);
        QCOMPARE(g2->value(food, 2), QStringLiteral("3000"));
        QCOMPARE(g2->text(food, 8), QStringLiteral("0"));

        // Grid 3: the day's three free lines in line order.
        QCOMPARE(g3->maxRows(), 3);
        QCOMPARE(g3->text(1, 0), QStringLiteral("D"));
        QCOMPARE(g3->foreground(1, 0), QColor(255, 0, 0));
        QCOMPARE(g3->text(1, 1), QStringLiteral("121101 預金預け入れ"));
        QCOMPARE(g3->text(1, 2), QStringLiteral("121 普通預金"));
        QCOMPARE(g3->text(1, 3), QStringLiteral("101 現金"));
        QCOMPARE(g3->text(1, 4), QStringLiteral("02 ゆうちょ"));
        QCOMPARE(g3->comboItems(1, 4), QStringList({"01 みずほ", "02 ゆうちょ"}));
        QCOMPARE(g3->text(1, 5), QString());
        QCOMPARE(g3->value(1, 6), QStringLiteral("10000"));
        QCOMPARE(g3->text(1, 7), QStringLiteral("預け入れ"));
        QCOMPARE(g3->text(1, 8), QStringLiteral("012"));
        QCOMPARE(g3->text(1, 9), QStringLiteral("004"));
        QCOMPARE(g3->text(2, 4), QStringLiteral("01 みずほ"));  // none stored: the first one shows
        QCOMPARE(g3->text(2, 1), QString());
        QCOMPARE(g3->text(3, 2), QStringLiteral("714 食費"));
        QCOMPARE(g3->text(3, 7), QStringLiteral("スーパー"));

        // Totals: grid amounts as cash, then the free lines.
        QCOMPARE(yenOf(screen_->txtSyunyuGokei), Currency::fromYen(123456));
        QCOMPARE(yenOf(screen_->txtSiireGokei), Currency::fromYen(3000));
        QCOMPARE(yenOf(screen_->txtNyukinGokei), Currency::fromYen(123456));
        QCOMPARE(yenOf(screen_->txtSyukkinGokei), Currency::fromYen(3000 + 10000 + 2000));
        QCOMPARE(yenOf(screen_->txtHonjituRieki), Currency::fromYen(123456 - 3000 - 800));
        QCOMPARE(yenOf(screen_->txtHonjituZandaka), Currency::fromYen(50000 + 123456 - 15000));
        QVERIFY(!screen_->hasUnsavedEdits());

        const QString shot = QStringLiteral("/tmp/entry_screen.png");
        QVERIFY(screen_->grab().save(shot));
    }

    void aDayWithoutFreeLinesShowsTwoBlankRows() {
        FixedClock clock(QDate(2000, 1, 3));
        screen_ = openEntry(opener_, QStringLiteral("InOutMenu"));
        QVERIFY(screen_);
        platform::SpreadGrid* g3 = screen_->spdSS3;
        QCOMPARE(g3->maxRows(), 2);
        QCOMPARE(g3->value(1, 6), QStringLiteral("0"));
        QCOMPARE(g3->value(2, 6), QString());
        for (int r = 1; r <= 2; ++r) {
            QCOMPARE(g3->text(r, 0), QStringLiteral("D"));
            QCOMPARE(g3->foreground(r, 0), QColor(255, 0, 0));
            for (int c : {1, 2, 3, 7}) {
                QVERIFY(g3->isComboCell(r, c));
                QCOMPARE(g3->comboItems(r, c).value(0), QString());
                QCOMPARE(g3->text(r, c), QString());
            }
            QVERIFY(g3->isComboCell(r, 4));
            QVERIFY(g3->comboItems(r, 4).isEmpty());
        }
        QVERIFY(g3->comboItems(1, 2).contains(QStringLiteral("101 現金")));
        QCOMPARE(
            g3->comboItems(1, 2).size(),
            book_->text("SELECT count(*) FROM T_KANJO WHERE SYORIKBN = '0' AND SIYOU = 'Y' AND KMCODE <> ''"
                        " AND KANNAME <> ''")
                    .toInt() +
                1);
        QVERIFY(g3->isColumnHidden(8) && g3->isColumnHidden(9));
        QVERIFY(screen_->lblKanjokamoku->isVisible());
        QCOMPARE(screen_->lblKanjokamoku->text(), QStringLiteral("勘　定　科　目"));
    }

    void enterAndEscapeMoveBetweenTheGrids() {
        FixedClock clock(QDate(2000, 1, 3));
        screen_ = openEntry(opener_, QStringLiteral("MainMenu"));
        QVERIFY(screen_);
        platform::SpreadGrid* g1 = screen_->spdSS1;
        platform::SpreadGrid* g2 = screen_->spdSS2;
        platform::SpreadGrid* g3 = screen_->spdSS3;

        entrytest::startAt(g1, g1->maxRows(), 3);
        QTest::keyClick(entrytest::focus(), Qt::Key_Return);
        QVERIFY(g2->view()->hasFocus());
        QCOMPARE(g2->activeRow(), 1);
        QCOMPARE(g2->activeCol(), 2);

        entrytest::startAt(g2, g2->maxRows(), 3);
        QTest::keyClick(entrytest::focus(), Qt::Key_Return);
        QVERIFY(g3->view()->hasFocus());
        QCOMPARE(g3->activeRow(), 1);
        QCOMPARE(g3->activeCol(), 1);

        // Enter elsewhere moves on within the grid; Escape one cell back.
        entrytest::startAt(g1, 2, 2);
        QTest::keyClick(entrytest::focus(), Qt::Key_Return);
        QCOMPARE(g1->activeCol(), 3);
        QTest::keyClick(entrytest::focus(), Qt::Key_Escape);
        QTest::keyClick(entrytest::focus(), Qt::Key_Escape);
        QCOMPARE(g1->activeRow(), 1);
        QCOMPARE(g1->activeCol(), 3);

        // The description columns open the input method, the others not.
        QVERIFY(g1->columnInputMethod(3) && !g1->columnInputMethod(2));
        QVERIFY(g3->columnInputMethod(7) && !g3->columnInputMethod(6) && !g3->columnInputMethod(2));
        // The widget that has the focus tells the input method so: the date
        // box and an amount cell (its editor too) take digits as typed.
        entrytest::startAt(g1, 1, 3);
        QVERIFY(imtest::acceptsInputMethod());
        entrytest::startAt(g1, 1, 2);
        QVERIFY(!imtest::acceptsInputMethod());
        QTest::keyClick(entrytest::focus(), Qt::Key_1);
        QVERIFY(g1->isEditing());
        QVERIFY(!imtest::acceptsInputMethod());
        QTest::keyClick(entrytest::focus(), Qt::Key_Escape);
        screen_->txtSyoriNen->setFocus();
        QVERIFY(!imtest::acceptsInputMethod());
    }

    void aSeventeenthIncomeAccountFailsTheLoad() {
        for (int i = 0; i < 10; ++i) {
            QVERIFY(
                book_->cn().exec("INSERT INTO T_KANJO (KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, SIYOU, "
                                 "DAIBUN, JUN, KISYUMKBN,"
                                 " AICODE) VALUES (?, ?, ?, '0', '1', 'Y', '1', 1, '0', '004')",
                                 {QStringLiteral("6%1").arg(i, 2, 10, QLatin1Char('0')),
                                  QStringLiteral("53%1").arg(i), QStringLiteral("収入%1").arg(i)}));
        }
        FixedClock clock(QDate(2000, 1, 10));
        ScriptedMsgBox box;
        screen_ = openEntry(opener_, QStringLiteral("MainMenu"));
        QTRY_VERIFY(!screen_);
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, kLoadFailure);
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(box.last().title, QStringLiteral("Ralvek"));
        QVERIFY(opener_->isVisible());
        QCOMPARE(voucherCount(), 0);  // the vouchers of the failed load were rolled back
        QVERIFY(!gcnKaikei->inTransaction());
    }

    void theRateBoxShowsForACompanyWithARate() {
        QVERIFY(book_->cn().exec("UPDATE WK_COMPANY SET KANCNG = '1'"));
        makeVouchersUpTo(QDate(2000, 1, 3));
        QVERIFY(book_->cn().exec("UPDATE T_SIWAKE SET RATE = 1.25 WHERE CID = '01' AND DENCODE = '00003'"));
        FixedClock clock(QDate(2000, 1, 3));
        screen_ = openEntry(opener_, QStringLiteral("MainMenu"));
        QVERIFY(screen_);
        QVERIFY(screen_->txtRate->isVisible());
        QCOMPARE(screen_->txtRate->valueOrZero(), Currency::parse(QStringLiteral("1.25")).value());
    }

    // Closing asks only when a cell differs from the day as loaded; No keeps
    // the screen; the window's close box asks the same question.
    void closingAsksAboutUnsavedEdits() {
        FixedClock clock(QDate(2000, 1, 3));
        screen_ = openEntry(opener_, QStringLiteral("MainMenu"));
        QVERIFY(screen_);
        ScriptedMsgBox box;
        entrytest::typeInto(screen_->spdSS1, 1, 2, QStringLiteral("500"));
        QCOMPARE(yenOf(screen_->txtSyunyuGokei), Currency::fromYen(500));
        QCOMPARE(yenOf(screen_->txtHonjituZandaka), Currency::fromYen(50500));

        box.answer(platform::vbNo);
        screen_->cmdBack->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, kCloseQuestion);
        QCOMPARE(box.last().icon, MsgIcon::Question);
        QCOMPARE(box.last().buttons, platform::MsgButtons::YesNo);
        QApplication::processEvents();
        QVERIFY(screen_ && screen_->isVisible());
        QCOMPARE(screen_->spdSS1->value(1, 2), QStringLiteral("500"));

        box.answer(platform::vbNo);
        screen_->close();
        QApplication::processEvents();
        QCOMPARE(box.count(), 2);
        QVERIFY(screen_ && screen_->isVisible());

        // Typing back the loaded value leaves nothing unsaved.
        entrytest::typeInto(screen_->spdSS1, 1, 2, QStringLiteral("0"));
        screen_->cmdBack->click();
        QTRY_VERIFY(!screen_);
        QCOMPARE(box.count(), 2);
        QVERIFY(opener_->isVisible());
    }
};

QTEST_MAIN(TestEntryScreen)
#include "tst_entryscreen.moc"
