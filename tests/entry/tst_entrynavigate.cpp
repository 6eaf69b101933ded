// Moving the daily entry between days: the previous and next day buttons,
// a typed date, the limits of today, the input range and the voucher range,
// a day that cannot be loaded, and the unsaved-edits question.

#include <QPushButton>
#include <QtTest>

#include "entryfixture.h"
#include "ledger/dayvouchers.h"
#include "platform/clock.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"

using entrytest::Book;
using entrytest::openEntry;
using entrytest::typeInto;
using platform::FixedClock;
using platform::MsgIcon;
using platform::ScriptedMsgBox;

namespace {

const QString kFuture = QStringLiteral("選択された日付は未来のデータです。入力データが存在しません。\r\n");
const QString kPast = QStringLiteral("選択された日付は過去のデータです。入力データが存在しません。\r\n");
const QString kOutOfRange = QStringLiteral(
    "選択された範囲内に入力データが存在しません。\r\n"
    "一度終了して、再度データ入力を表示して下さい。");
const QString kQuestion = QStringLiteral("編集中のデータが未登録ですが、日付を変更しても宜しいですか？\r\n");

}  // namespace

class TestEntryNavigate : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Book> book_;
    QWidget* opener_ = nullptr;
    QPointer<InpKantanSiwake> screen_;

    QString shownDay() const { return screen_->denpyo()[2]; }
    QString dateBox() const { return screen_->txtSyoriNen->text(); }

    // The user types a date into the date box and leaves it.
    void typeDate(const QString& date) {
        screen_->txtSyoriNen->setText(date);
        emit screen_->txtSyoriNen->lostFocus();
    }

    void openFromMenu(const QDate& today) {
        FixedClock clock(today);
        screen_ = openEntry(opener_, QStringLiteral("MainMenu"));
        QVERIFY(screen_ && screen_->isVisible());
    }

    void addFreeLine(const QString& denCode, const QString& lineNo, const QString& debit, qint64 amount) {
        const QString day =
            book_->text("SELECT DENDAY FROM T_SIWAKE WHERE CID = '01' AND DENCODE = ?", {denCode});
        QVERIFY(book_->cn().exec(
            "INSERT INTO T_SI_MEISAI (DENCODE, DENMENO, CID, SIDAY, DATEYM, SISYU, KRKOCODE,"
            " KRKIN, KSKOCODE, KSKIN) VALUES (?, ?, '01', ?, ?, '1', ?, ?, '004', ?)",
            {denCode, lineNo, day, day.left(7), debit, entrytest::yen(amount), entrytest::yen(amount)}));
    }

private slots:
    void initTestCase() { testenv::isolate(); }

    void init() {
        book_ = std::make_unique<Book>();
        QVERIFY(book_->open());
        opener_ = new QWidget;
        opener_->show();
    }

    void cleanup() {
        entrytest::closeQuietly(screen_);
        delete opener_;
        opener_ = nullptr;
        book_.reset();
    }

    void buttonsStopAtTodayAndAtTheFirstDay() {
        openFromMenu(QDate(2000, 1, 3));
        FixedClock clock(QDate(2000, 1, 3));
        ScriptedMsgBox box;
        screen_->cmdZenjitu->click();
        QCOMPARE(shownDay(), QStringLiteral("2000/01/02"));
        screen_->cmdYokujitu->click();  // yesterday -> today
        QCOMPARE(shownDay(), QStringLiteral("2000/01/03"));
        QCOMPARE(box.count(), 0);

        screen_->cmdYokujitu->click();  // today: the next day lies in the future
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, kFuture);
        QCOMPARE(box.last().icon, MsgIcon::Warning);
        QCOMPARE(dateBox(), QStringLiteral("2000/01/03"));
        QCOMPARE(shownDay(), QStringLiteral("2000/01/03"));

        typeDate(QStringLiteral("2000/01/01"));  // the first voucher's day
        QCOMPARE(shownDay(), QStringLiteral("2000/01/01"));
        screen_->cmdZenjitu->click();
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.last().text, kPast);
        QCOMPARE(dateBox(), QStringLiteral("2000/01/01"));
        QCOMPARE(shownDay(), QStringLiteral("2000/01/01"));
    }

    void typedDates_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("future") << "2000/01/11" << kFuture;
        QTest::newRow("before the first voucher") << "1999/12/31" << kPast;
        QTest::newRow("no such date") << "2000/02/30" << QStringLiteral("処理年月日を正しく入力して下さい。");
        QTest::newRow("empty") << "" << QStringLiteral("処理年月日を入力して下さい。");
    }

    void typedDates() {
        QFETCH(QString, typed);
        openFromMenu(QDate(2000, 1, 10));
        FixedClock clock(QDate(2000, 1, 10));
        ScriptedMsgBox box;
        typeDate(typed);
        QCOMPARE(box.count(), 1);
        QTEST(box.last().text, "message");
        QCOMPARE(dateBox(), QStringLiteral("2000/01/10"));
        QCOMPARE(shownDay(), QStringLiteral("2000/01/10"));

        // A valid earlier date loads that day and puts the cursor on the
        // first income amount; the day shown again loads nothing.
        typeDate(QStringLiteral("2000/01/04"));
        QCOMPARE(shownDay(), QStringLiteral("2000/01/04"));
        QCOMPARE(screen_->txtZenjituZandaka->valueOrZero(), Currency::fromYen(50000));
        typeInto(screen_->spdSS1, 3, 2, QStringLiteral("10"));
        typeDate(QStringLiteral("2000/01/04"));
        QCOMPARE(box.count(), 1);
        QCOMPARE(screen_->spdSS1->value(3, 2), QStringLiteral("10"));
        QVERIFY(screen_->spdSS1->view()->hasFocus());
        QCOMPARE(screen_->spdSS1->activeRow(), 1);
        QCOMPARE(screen_->spdSS1->activeCol(), 2);
    }

    // A date after the end of the input range that is not in the future.
    // Deleting the open screen while a changed date sits in its date box:
    // closing the window takes the focus from the box, and its signal must no
    // longer reach the screen being destroyed (which would load the day or
    // warn about it from half a screen).
    void deletedWithTheFocusInTheDateBox() {
        openFromMenu(QDate(2000, 1, 10));
        FixedClock clock(QDate(2000, 1, 10));
        ScriptedMsgBox box;
        screen_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen_));
        screen_->txtSyoriNen->setFocus();
        QVERIFY(screen_->txtSyoriNen->hasFocus());
        screen_->txtSyoriNen->setText(QStringLiteral("2000/01/11"));
        delete screen_.data();
        QVERIFY(!screen_);
        QCOMPARE(box.count(), 0);
    }

    void aDateAfterTheInputRange() {
        openFromMenu(QDate(2001, 4, 10));
        FixedClock clock(QDate(2001, 4, 10));
        QCOMPARE(shownDay(), QStringLiteral("2001/03/31"));  // vouchers end with the input range
        ScriptedMsgBox box;
        typeDate(QStringLiteral("2001/04/05"));
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, QStringLiteral("処理年月日が伝票日付の入力範囲を超えています。"));
        QCOMPARE(dateBox(), QStringLiteral("2001/03/31"));
    }

    void theVoucherRangeIsKept() {
        {
            FixedClock clock(QDate(2000, 1, 10));
            QVERIFY(make_new_siwake_data(QStringLiteral("2000/01/01"), QStringLiteral("2001/03/31")));
        }
        FixedClock clock(QDate(2000, 1, 20));
        screen_ = openEntry(opener_, QStringLiteral("prtSiwakeNikki"), QStringLiteral("00003"),
                            QStringLiteral("00005"));
        QVERIFY(screen_);
        ScriptedMsgBox box;
        typeDate(QStringLiteral("2000/01/08"));
        QCOMPARE(box.last().text, kOutOfRange);
        QCOMPARE(shownDay(), QStringLiteral("2000/01/05"));
        QCOMPARE(dateBox(), QStringLiteral("2000/01/05"));
        screen_->cmdYokujitu->click();
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.last().text, kOutOfRange);
        QCOMPARE(dateBox(), QStringLiteral("2000/01/05"));

        // A day in the period that has no voucher yet (nothing was created).
        typeDate(QStringLiteral("2000/01/15"));
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.last().text, QStringLiteral("該当日付の伝票は存在しません。"));
        QCOMPARE(shownDay(), QStringLiteral("2000/01/05"));

        typeDate(QStringLiteral("2000/01/03"));
        QCOMPARE(shownDay(), QStringLiteral("2000/01/03"));
        QCOMPARE(voucherCount(), 10);
    }

    // The question comes only when a cell differs; No keeps everything.
    void unsavedEditsAreAskedAbout() {
        openFromMenu(QDate(2000, 1, 10));
        FixedClock clock(QDate(2000, 1, 10));
        ScriptedMsgBox box;
        typeInto(screen_->spdSS1, 1, 2, QStringLiteral("1200"));
        box.answer(platform::vbNo);
        screen_->cmdZenjitu->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text, kQuestion);
        QCOMPARE(box.last().buttons, platform::MsgButtons::YesNo);
        QCOMPARE(shownDay(), QStringLiteral("2000/01/10"));
        QCOMPARE(dateBox(), QStringLiteral("2000/01/10"));
        QCOMPARE(screen_->spdSS1->value(1, 2), QStringLiteral("1200"));

        box.answer(platform::vbNo);
        typeDate(QStringLiteral("2000/01/02"));
        QCOMPARE(box.count(), 2);
        QCOMPARE(dateBox(), QStringLiteral("2000/01/10"));
        QCOMPARE(screen_->spdSS1->value(1, 2), QStringLiteral("1200"));

        // Typed back as loaded: no question.
        typeInto(screen_->spdSS1, 1, 2, QStringLiteral("0"));
        screen_->cmdZenjitu->click();
        QCOMPARE(box.count(), 2);
        QCOMPARE(shownDay(), QStringLiteral("2000/01/09"));

        // Yes drops the edits and moves.
        typeInto(screen_->spdSS1, 1, 2, QStringLiteral("5"));
        box.answer(platform::vbYes);
        screen_->cmdYokujitu->click();
        QCOMPARE(box.count(), 3);
        QCOMPARE(shownDay(), QStringLiteral("2000/01/10"));
        QCOMPARE(screen_->spdSS1->value(1, 2), QStringLiteral("0"));
        QVERIFY(!screen_->hasUnsavedEdits());
    }

    // The free-line grid follows the day: three lines, then two blank rows.
    void theFreeLineGridFollowsTheDay() {
        {
            FixedClock clock(QDate(2000, 1, 10));
            QVERIFY(make_new_siwake_data(QStringLiteral("2000/01/01"), QStringLiteral("2001/03/31")));
        }
        addFreeLine("00009", "002", "012", 300);
        addFreeLine("00009", "001", "012", 100);
        addFreeLine("00009", "003", "263", 200);
        openFromMenu(QDate(2000, 1, 10));
        FixedClock clock(QDate(2000, 1, 10));
        screen_->cmdZenjitu->click();
        QCOMPARE(screen_->spdSS3->maxRows(), 3);
        QCOMPARE(screen_->spdSS3->value(1, 6), QStringLiteral("100"));
        QCOMPARE(screen_->spdSS3->value(2, 6), QStringLiteral("300"));
        QCOMPARE(screen_->spdSS3->text(3, 2), QStringLiteral("714 食費"));
        QCOMPARE(screen_->txtHonjituZandaka->valueOrZero(), Currency::fromYen(50000 - 600));
        screen_->cmdYokujitu->click();
        QCOMPARE(screen_->spdSS3->maxRows(), 2);
        QCOMPARE(screen_->spdSS3->text(1, 2), QString());
    }

    // A day whose free line names an account no longer offered cannot be
    // loaded: the screen stays on the day it showed, which can still be
    // registered.
    void aDayThatCannotBeLoaded() {
        {
            FixedClock clock(QDate(2000, 1, 10));
            QVERIFY(make_new_siwake_data(QStringLiteral("2000/01/01"), QStringLiteral("2001/03/31")));
        }
        addFreeLine("00009", "001", "012", 100);
        QVERIFY(book_->cn().exec("UPDATE T_KANJO SET SIYOU = 'N' WHERE KOCODE = '012'"));
        openFromMenu(QDate(2000, 1, 10));
        FixedClock clock(QDate(2000, 1, 10));
        typeInto(screen_->spdSS1, 1, 2, QStringLiteral("1"));
        typeInto(screen_->spdSS1, 1, 2, QStringLiteral("0"));
        ScriptedMsgBox box;
        screen_->cmdZenjitu->click();
        QCOMPARE(box.count(), 1);
        QCOMPARE(box.last().text,
                 QStringLiteral("スプレッドシートの設定中にエラーが発生しました(set_start_spread)。"));
        QCOMPARE(shownDay(), QStringLiteral("2000/01/10"));
        QCOMPARE(dateBox(), QStringLiteral("2000/01/10"));
        QVERIFY(screen_->isDayLoaded());
        QCOMPARE(screen_->spdSS3->maxRows(), 2);
        screen_->cmdTouroku->click();
        QCOMPARE(box.last().text, QStringLiteral("データが正しく登録されました。"));
    }

private:
    int voucherCount() { return book_->text("SELECT count(*) FROM T_SIWAKE WHERE CID = '01'").toInt(); }
};

QTEST_MAIN(TestEntryNavigate)
#include "tst_entrynavigate.moc"
