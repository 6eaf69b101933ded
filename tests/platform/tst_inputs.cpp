// The text, number and date boxes: byte limits, the furigana capture, numbers
// that tell empty from 0, date normalisation, and change() for user edits only.

#include <QApplication>
#include <QCalendarWidget>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "platform/clock.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/imtext.h"
#include "support/testenv.h"

using platform::ImDate;
using platform::ImNumber;
using platform::ImText;

namespace {

void commit(QWidget* w, const QString& text) {
    QInputMethodEvent e(QString(), {});
    e.setCommitString(text);
    QApplication::sendEvent(w, &e);
}

void preedit(QWidget* w, const QString& text) {
    QInputMethodEvent e(text, {});
    QApplication::sendEvent(w, &e);
}

// Types a word through the input method: the kana as typed, the conversion, the commit.
void convert(QWidget* w, const QString& kana, const QString& converted) {
    for (int n = 1; n <= kana.size(); ++n) preedit(w, kana.left(n));
    preedit(w, converted);
    commit(w, converted);
}

// A window with two boxes, so that focus can leave a box.
struct Window {
    QWidget window;
    QVBoxLayout* layout = new QVBoxLayout(&window);
    QLineEdit* other = new QLineEdit(&window);
    template <typename T>
    T* add() {
        auto* w = new T(&window);
        layout->insertWidget(0, w);
        return w;
    }
    void show() {
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
};

}  // namespace

class TestInputs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void textByteLimit_data();
    void textByteLimit();
    void textChangeOnUserEditsOnly();
    void furiganaCapture();
    void numberTellsEmptyFromZero();
    void numberTypingAndDisplay();
    void numberRangeAndDecimals();
    void dateNormalisation_data();
    void dateNormalisation();
    void dateTypedAndChosenFromCalendar();
};

void TestInputs::textByteLimit_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("expected");
    // Limit 6 bytes: half-width characters count 1, full-width 2.
    QTest::newRow("fits") << "ab" << QStringLiteral("日本") << QStringLiteral("ab日本");
    QTest::newRow("cut at the end of the insert")
        << "ab" << QStringLiteral("日本語") << QStringLiteral("ab日本");
    QTest::newRow("half a character never fits")
        << "abc" << QStringLiteral("日本") << QStringLiteral("abc日");
    QTest::newRow("full box takes nothing") << "abcdef" << QStringLiteral("日") << "abcdef";
    QTest::newRow("half-width kana count 1") << "" << QStringLiteral("ｱｲｳｴｵｶｷ") << QStringLiteral("ｱｲｳｴｵｶ");
}

void TestInputs::textByteLimit() {
    QFETCH(QString, start);
    QFETCH(QString, committed);
    QFETCH(QString, expected);
    ImText box;
    box.setMaxBytes(6);
    box.setText(start);
    box.setCursorPosition(int(start.size()));
    commit(&box, committed);
    QCOMPARE(box.text(), expected);
}

void TestInputs::textChangeOnUserEditsOnly() {
    ImText box;
    box.setMaxBytes(4);
    QSignalSpy changes(&box, &ImText::change);
    box.setText(QStringLiteral("長い会社名です"));  // stored text is shown whole
    QCOMPARE(box.text(), QStringLiteral("長い会社名です"));
    QCOMPARE(changes.count(), 0);

    box.clear();
    QTest::keyClicks(&box, "abc");
    QCOMPARE(changes.count(), 3);
    commit(&box, QStringLiteral("日"));  // 3 + 2 bytes: nothing fits, nothing changes
    QCOMPARE(box.text(), QString("abc"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), QString("ab"));
    QCOMPARE(changes.count(), 4);

    // An over-long stored text can still be shortened.
    box.setText(QStringLiteral("長い会社名"));
    box.setCursorPosition(5);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), QStringLiteral("長い会社"));
}

void TestInputs::furiganaCapture() {
    ImText name;
    ImText furigana;
    furigana.setMaxBytes(12);
    name.setReadingBox(&furigana);
    QSignalSpy readings(&name, &ImText::reading);
    QSignalSpy furiganaChanges(&furigana, &ImText::change);

    convert(&name, QStringLiteral("やまだ"), QStringLiteral("山田"));
    QCOMPARE(name.text(), QStringLiteral("山田"));
    QCOMPARE(furigana.text(), QStringLiteral("ヤマダ"));
    convert(&name, QStringLiteral("しょうてん"), QStringLiteral("商店"));  // a second conversion appends
    QCOMPARE(furigana.text(), QStringLiteral("ヤマダショウ"));  // up to the furigana box's 12 bytes
    QCOMPARE(readings.count(), 2);
    QCOMPARE(readings.at(1).at(0).toString(), QStringLiteral("ショウテン"));

    // Clearing the name and typing again starts the furigana afresh.
    name.setText(QStringLiteral("  "));
    convert(&name, QStringLiteral("かぶ"), QStringLiteral("株"));
    QCOMPARE(furigana.text(), QStringLiteral("カブ"));

    // Kana committed without conversion are their own reading; text typed
    // directly into the furigana box stays; a cancelled composition gives nothing.
    furigana.setText(QStringLiteral("ｶﾌﾞ"));
    commit(&name, QStringLiteral("や"));
    QCOMPARE(furigana.text(), QStringLiteral("ｶﾌﾞヤ"));
    preedit(&name, QStringLiteral("てすと"));
    preedit(&name, QString());
    commit(&name, QStringLiteral("ABC"));
    QCOMPARE(furigana.text(), QStringLiteral("ｶﾌﾞヤ"));
    QCOMPARE(furiganaChanges.count(), 0);  // the capture is no typing in the furigana box
}

void TestInputs::numberTellsEmptyFromZero() {
    ImNumber box;
    QSignalSpy changes(&box, &ImNumber::change);
    QVERIFY(box.isEmpty());
    QCOMPARE(box.value(), std::optional<Currency>());
    QCOMPARE(box.valueOrZero(), Currency());
    box.setText("0");
    QCOMPARE(box.value(), std::optional<Currency>(Currency()));
    QCOMPARE(box.QLineEdit::text(), QString("0"));
    box.setValue(Currency::fromYen(-1500));
    QCOMPARE(box.QLineEdit::text(), QString("-1,500"));
    box.clear();
    QVERIFY(box.isEmpty());
    QCOMPARE(box.QLineEdit::text(), QString());
    box.setText("abc");
    QVERIFY(box.isEmpty());
    QCOMPARE(changes.count(), 0);
}

void TestInputs::numberTypingAndDisplay() {
    Window w;
    ImNumber* box = w.add<ImNumber>();
    w.show();
    QSignalSpy changes(box, &ImNumber::change);
    QSignalSpy left(box, &ImNumber::lostFocus);
    box->setValue(Currency::fromYen(2000));
    box->setFocus(Qt::TabFocusReason);
    QCOMPARE(box->QLineEdit::text(), QString("2000"));  // plain while editing, all selected
    QTest::keyClicks(box, "1234567");
    QCOMPARE(box->value(), std::optional<Currency>(Currency::fromYen(1234567)));
    QCOMPARE(changes.count(), 7);
    w.other->setFocus();
    QCOMPARE(box->QLineEdit::text(), QString("1,234,567"));
    QCOMPARE(left.count(), 1);

    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Delete);
    QVERIFY(box->isEmpty());  // emptied by the user: no value, not 0
    w.other->setFocus();
    QCOMPARE(box->QLineEdit::text(), QString());
}

void TestInputs::numberRangeAndDecimals() {
    ImNumber rate;
    rate.setFormat({Currency(), Currency::fromRaw(99'999'999), 4, true});  // "#,###.0000", 0 to 9999.9999
    rate.setValue(Currency::fromYen(1));
    QCOMPARE(rate.QLineEdit::text(), QString("1.0000"));
    rate.clear();
    QTest::keyClicks(&rate, "-12345.123456");  // no sign, no fifth integer digit, four decimals
    QCOMPARE(rate.value(), std::optional<Currency>(Currency::fromRaw(12'341'234)));

    ImNumber capital;
    capital.setFormat({Currency::fromYen(-999'999'999), Currency::fromYen(999'999'999), 0, true});
    QTest::keyClicks(&capital, "-12.5");
    QCOMPARE(capital.value(), std::optional<Currency>(Currency::fromYen(-125)));
}

void TestInputs::dateNormalisation_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("slashes") << "2003/04/01"
                             << "2003/04/01" << true;
    QTest::newRow("short month and day") << "2003/4/1"
                                         << "2003/04/01" << true;
    QTest::newRow("digits only") << "20031231"
                                 << "2003/12/31" << true;
    QTest::newRow("leap day") << "2004/02/29"
                              << "2004/02/29" << true;
    QTest::newRow("no such day stays as typed") << "2003/02/29"
                                                << "2003/02/29" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
}

void TestInputs::dateNormalisation() {
    QFETCH(QString, given);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    ImDate box;
    box.setText(given);
    QCOMPARE(box.text(), text);
    QCOMPARE(box.hasValidDate(), valid);
    QCOMPARE(box.isEmpty(), text.isEmpty());
    if (valid) QCOMPARE(box.date()->toString("yyyy/MM/dd"), text);
}

void TestInputs::dateTypedAndChosenFromCalendar() {
    Window w;
    ImDate* box = w.add<ImDate>();
    w.show();
    QSignalSpy changes(box, &ImDate::change);
    QSignalSpy left(box, &ImDate::lostFocus);
    box->setDate(QDate(2003, 11, 15));
    box->setDate(QDate());
    QVERIFY(box->isEmpty());
    QCOMPARE(changes.count(), 0);

    box->setFocus();
    box->home(false);
    QTest::keyClicks(box, "2003");
    QTest::keyClicks(box, "4");
    QTest::keyClick(box, Qt::Key_Right);  // leave the month's second place blank
    QTest::keyClick(box, Qt::Key_Right);  // over the separator
    QTest::keyClicks(box, "1");
    QVERIFY(changes.count() > 0);
    w.other->setFocus();
    QCOMPARE(box->text(), QString("2003/04/01"));
    QCOMPARE(left.count(), 1);

    platform::FixedClock today(QDate(2004, 3, 10));
    changes.clear();
    box->clear();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F4);
    QVERIFY(box->isCalendarVisible());
    QCOMPARE(box->calendar()->selectedDate(), QDate(2004, 3, 10));  // an empty box opens on today
    QCOMPARE(left.count(), 1);                                      // opening the calendar is no leaving
    emit box->calendar()->clicked(QDate(2004, 3, 20));
    QVERIFY(!box->isCalendarVisible());
    QCOMPARE(box->text(), QString("2004/03/20"));
    QCOMPARE(changes.count(), 1);
}

QTEST_MAIN(TestInputs)
#include "tst_inputs.moc"
