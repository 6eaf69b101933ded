// The text, number and date boxes: byte limits, the furigana capture, numbers
// that tell empty from 0, date normalisation, and change() for user edits only.

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QAbstractItemView>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "platform/choicelists.h"
#include "platform/clock.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"
#include "platform/textguard.h"
#include "support/inputmethod.h"
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

// Types text as key presses carrying it (full-width text too, which
// QTest::keyClicks cannot send).
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
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
    void textRefusesWhatCp932CannotHold_data();
    void textRefusesWhatCp932CannotHold();
    void textShowsStoredTextWhole();
    void furiganaKeepsAPendingN_data();
    void furiganaKeepsAPendingN();
    void inputMethodOnlyWhereTheBoxTakesIt();
    void numberTellsEmptyFromZero();
    void numberTypingAndDisplay();
    void numberTypedTextReadWholeOrRefused_data();
    void numberTypedTextReadWholeOrRefused();
    void dateNormalisation_data();
    void dateNormalisation();
    void dateTypedAndChosenFromCalendar();
    void dateClickedIntoAnEmptyBox();
    void dateBoxesShareOneCalendarIcon();
    void choiceListTakesKeysAsTyped();
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

void TestInputs::textRefusesWhatCp932CannotHold_data() {
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("expected");  // the box's text after the insertion
    QTest::addColumn<QString>("named");     // what the message names ("" for no message)
    QTest::newRow("kanji beyond CP932") << QStringLiteral("𠮷野家") << "ab" << QStringLiteral("𠮷");
    QTest::newRow("emoji") << QStringLiteral("売上😀") << "ab" << QStringLiteral("😀");
    QTest::newRow("right-to-left mark") << QStringLiteral("\u200F") << "ab" << "U+200F";
    QTest::newRow("yen sign becomes a backslash") << QStringLiteral("¥100") << "ab" << QStringLiteral("￥");
    QTest::newRow("tab") << "a\tb" << "ab" << "U+0009";
    QTest::newRow("line break") << "1\n2" << "ab" << "U+000A";
    QTest::newRow("wave dash stored as CP932 holds it") << QStringLiteral("〜") << QStringLiteral("ab～") << "";
    QTest::newRow("minus sign stored as CP932 holds it") << QStringLiteral("−") << QStringLiteral("ab－") << "";
    QTest::newRow("full-width yen") << QStringLiteral("￥100") << QStringLiteral("ab￥100") << "";
    QTest::newRow("IBM extension kanji") << QStringLiteral("髙") << QStringLiteral("ab髙") << "";
}

// Whether typed, pasted or committed by the input method, an insertion with
// a character the backup could not write back is refused whole, with a
// message naming it; the box keeps its text and raises no change().
void TestInputs::textRefusesWhatCp932CannotHold() {
    QFETCH(QString, inserted);
    QFETCH(QString, expected);
    QFETCH(QString, named);
    enum Path { Typed, Pasted, Committed };
    for (Path path : {Typed, Pasted, Committed}) {
        platform::ScriptedMsgBox messages;
        Window w;
        ImText* box = w.add<ImText>();
        box->setMaxBytes(20);
        w.show();
        box->setText("ab");
        box->setFocus();
        box->end(false);
        QSignalSpy changes(box, &ImText::change);
        switch (path) {
            case Typed: {
                // One key press may carry several characters (a compose key,
                // an input method in direct mode); a key whose text starts
                // with a control character inserts nothing at all.
                if (!inserted.at(0).isPrint() && !inserted.at(0).isSurrogate()) continue;
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, inserted);
                QApplication::sendEvent(box, &key);
                break;
            }
            case Pasted:
                QGuiApplication::clipboard()->setText(inserted);
                box->paste();
                break;
            case Committed:
                commit(box, inserted);
                break;
        }
        QCoreApplication::processEvents();
        const QString context = QStringLiteral("path %1: ").arg(int(path));
        QVERIFY2(box->text() == expected, qPrintable(context + box->text()));
        if (named.isEmpty()) {
            QVERIFY2(messages.count() == 0, qPrintable(context));
            QVERIFY2(changes.count() == 1, qPrintable(context));
        } else {
            QVERIFY2(messages.count() == 1, qPrintable(context));
            QVERIFY2(messages.last().text.contains(named), qPrintable(context + messages.last().text));
            QVERIFY2(changes.count() == 0, qPrintable(context));
        }
    }
}

// Text stored before these rules (or by an import) is shown and kept whole;
// only what the user adds is checked.
void TestInputs::textShowsStoredTextWhole() {
    platform::ScriptedMsgBox messages;
    ImText box;
    box.setText(QStringLiteral("𠮷野家¥"));
    QCOMPARE(box.text(), QStringLiteral("𠮷野家¥"));
    box.end(false);
    commit(&box, QStringLiteral("本店"));
    QCOMPARE(box.text(), QStringLiteral("𠮷野家¥本店"));
    QCoreApplication::processEvents();
    QCOMPARE(messages.count(), 0);
}

void TestInputs::furiganaKeepsAPendingN_data() {
    QTest::addColumn<QStringList>("preedits");  // as shown while typing, before the conversion
    QTest::addColumn<QString>("reading");
    QTest::newRow("final n pending") << QStringList{"て", "てｎ"} << QStringLiteral("テン");
    QTest::newRow("half-width n") << QStringList{"て", "てn"} << QStringLiteral("テン");
    QTest::newRow("capital N") << QStringList{"て", "てＮ"} << QStringLiteral("テン");
    QTest::newRow("n typed twice") << QStringList{"て", "てｎ", "てん"} << QStringLiteral("テン");
    QTest::newRow("pending n inside a word") << QStringList{"ｋ", "か", "かｎ", "かんｓ", "かんさ"}
                                             << QStringLiteral("カンサ");
}

// Converted right after a final romaji n, the reading keeps the ン the input
// method gives the converted word.
void TestInputs::furiganaKeepsAPendingN() {
    QFETCH(QStringList, preedits);
    QFETCH(QString, reading);
    Window w;
    ImText* name = w.add<ImText>();
    ImText* furigana = w.add<ImText>();
    name->setReadingBox(furigana);
    w.show();
    name->setFocus();
    imtest::compose(preedits, QStringLiteral("天"));
    QCOMPARE(name->text(), QStringLiteral("天"));
    QCOMPARE(furigana->text(), reading);
}

// Number and date boxes and half-width text boxes tell the input method that
// they take no input-method text (so keys reach them as typed); other text
// boxes take it.
void TestInputs::inputMethodOnlyWhereTheBoxTakesIt() {
    Window w;
    ImText* name = w.add<ImText>();
    ImText* postcode = w.add<ImText>();
    postcode->setInputMethodOn(false);
    ImNumber* amount = w.add<ImNumber>();
    ImDate* date = w.add<ImDate>();
    w.show();
    const QList<QPair<QWidget*, bool>> boxes{{name, true}, {postcode, false}, {amount, false}, {date, false}};
    for (const auto& [box, takes] : boxes) {
        box->setFocus();
        QCOMPARE(imtest::acceptsInputMethod(), takes);
    }
    // Made display-only and editable again, a box keeps its setting.
    postcode->setDisplayOnly(true);
    postcode->setDisplayOnly(false);
    amount->setDisplayOnly(true);
    amount->setDisplayOnly(false);
    for (QWidget* box : std::initializer_list<QWidget*>{postcode, amount}) {
        box->setFocus();
        QVERIFY(!imtest::acceptsInputMethod());
    }
    postcode->setInputMethodOn(true);
    postcode->setFocus();
    QVERIFY(imtest::acceptsInputMethod());
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

void TestInputs::numberTypedTextReadWholeOrRefused_data() {
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");  // the value's text, or "refused"
    const QString refused = QStringLiteral("refused");
    // Whole-yen box from -999,999,999 to 999,999,999.
    QTest::newRow("grouped") << 0 << "1,500" << "1500";
    QTest::newRow("grouped with zero decimals") << 0 << "1,500.00" << "1500";
    QTest::newRow("plain negative") << 0 << "-320" << "-320";
    QTest::newRow("full-width digits") << 0 << QStringLiteral("１５００") << "1500";
    QTest::newRow("full-width grouped") << 0 << QStringLiteral("１，５００") << "1500";
    QTest::newRow("emptied") << 0 << "" << "";
    QTest::newRow("fraction of a yen") << 0 << "1.5" << refused;
    QTest::newRow("exponent") << 0 << "1e3" << refused;
    QTest::newRow("grouping in the wrong place") << 0 << "12,34" << refused;
    QTest::newRow("grouping of four") << 0 << "1,5000" << refused;
    QTest::newRow("letters") << 0 << "12a5" << refused;
    QTest::newRow("beyond the range") << 0 << "1,000,000,000" << refused;
    // Rate box: four decimals, 0 to 99,999.9999.
    QTest::newRow("rate") << 4 << "110.1234" << "110.1234";
    QTest::newRow("rate with trailing zeros") << 4 << "110.123400" << "110.1234";
    QTest::newRow("rate with a fifth decimal") << 4 << "110.12345" << refused;
    QTest::newRow("negative rate") << 4 << "-1" << refused;
}

// Typed text is read whole when the user leaves the box, never cut or
// reinterpreted: what is no number of the box's format leaves the value as
// it was, with a message quoting the text.
void TestInputs::numberTypedTextReadWholeOrRefused() {
    QFETCH(int, decimals);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    platform::ScriptedMsgBox messages;
    Window w;
    ImNumber* box = w.add<ImNumber>();
    if (decimals == 0) {
        box->setFormat({Currency::fromYen(-999'999'999), Currency::fromYen(999'999'999), 0, true});
    } else {
        box->setFormat({Currency(), Currency::fromRaw(999'999'999), 4, true});
    }
    w.show();
    box->setValue(Currency::fromYen(2000));
    QSignalSpy changes(box, &ImNumber::change);
    box->setFocus(Qt::TabFocusReason);  // all selected: typing replaces it
    if (typed.isEmpty()) {
        QTest::keyClick(box, Qt::Key_Delete);
    } else {
        typeText(box, typed);
    }
    w.other->setFocus();
    QCoreApplication::processEvents();
    if (expected == QLatin1String("refused")) {
        QCOMPARE(box->value(), std::optional<Currency>(Currency::fromYen(2000)));
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.last().text.contains(typed));
    } else {
        QCOMPARE(box->value(), Currency::parse(expected));
        QCOMPARE(messages.count(), 0);
        QVERIFY(changes.count() > 0);
    }
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
    QTest::newRow("full-width digits") << QStringLiteral("２００３／０４／０１")
                                       << "2003/04/01" << true;
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

    // Full-width digits are typed as the digits they are.
    box->clear();
    box->setFocus();
    box->home(false);
    typeText(box, QStringLiteral("２００４０５０６"));
    w.other->setFocus();
    QCOMPARE(box->text(), QString("2004/05/06"));

    platform::FixedClock today(QDate(2004, 3, 10));
    changes.clear();
    box->clear();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F4);
    QVERIFY(box->isCalendarVisible());
    QCOMPARE(box->calendar()->selectedDate(), QDate(2004, 3, 10));  // an empty box opens on today
    QCOMPARE(left.count(), 2);                                      // opening the calendar is no leaving
    emit box->calendar()->clicked(QDate(2004, 3, 20));
    QVERIFY(!box->isCalendarVisible());
    QCOMPARE(box->text(), QString("2004/03/20"));
    QCOMPARE(changes.count(), 1);
}

// Every date box shows the one calendar icon drawn for the program: a screen
// opened again adds no icon (and no cached pixmaps) of its own.
void TestInputs::dateBoxesShareOneCalendarIcon() {
    Window w;
    ImDate* first = w.add<ImDate>();
    ImDate* second = w.add<ImDate>();
    QCOMPARE(first->actions().size(), 1);
    QCOMPARE(second->actions().size(), 1);
    QVERIFY(!first->actions().first()->icon().isNull());
    QCOMPARE(second->actions().first()->icon().cacheKey(), first->actions().first()->icon().cacheKey());
}

// A click that lands in the month or day of an empty box still starts the
// typing at the year; a click into a filled box keeps its place.
void TestInputs::dateClickedIntoAnEmptyBox() {
    Window w;
    ImDate* box = w.add<ImDate>();
    w.show();
    const QPoint right(box->width() - box->height() - 4, box->height() / 2);
    QTest::mouseClick(box, Qt::LeftButton, {}, right);
    QCOMPARE(box->cursorPosition(), 0);
    QTest::keyClicks(box, "20040506");
    QCOMPARE(box->text(), QString("2004/05/06"));

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, box->height() / 2));
    QCOMPARE(box->cursorPosition(), 0);
    QTest::mouseClick(box, Qt::LeftButton, {}, right);
    QVERIFY(box->cursorPosition() > 0);
}

// The open list of a plain combo box keeps the input method off after its
// current item moves, so that "728" typed in kana mode searches the list; an
// editable combo box keeps taking Japanese.
void TestInputs::choiceListTakesKeysAsTyped() {
    platform::KeepChoiceListsOutOfInputMethod();
    Window w;
    const QStringList items{QStringLiteral("101 現金"), QStringLiteral("121 普通預金"), QStringLiteral("728 消耗品費")};
    auto* accounts = w.add<QComboBox>();
    accounts->addItems(items);
    // An account box typed in digits: editable, the input method switched off.
    auto* typedAccounts = w.add<QComboBox>();
    typedAccounts->setEditable(true);
    typedAccounts->setAttribute(Qt::WA_InputMethodEnabled, false);
    typedAccounts->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    typedAccounts->addItems(items);
    auto* words = w.add<QComboBox>();
    words->setEditable(true);
    words->addItems({QStringLiteral("交通費"), QStringLiteral("通信費")});
    w.show();

    for (QComboBox* list : {accounts, typedAccounts}) {
        list->setFocus();
        list->showPopup();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list->view()));
        QTest::keyClick(list->view(), Qt::Key_Down);
        QCOMPARE(list->view()->currentIndex().row(), 1);
        QVERIFY(!imtest::acceptsInputMethod());
        QTest::keyClicks(list->view(), "72");
        QCOMPARE(list->view()->currentIndex().row(), 2);
        list->hidePopup();
    }

    words->setFocus();
    QVERIFY(imtest::acceptsInputMethod());
}

QTEST_MAIN(TestInputs)
#include "tst_inputs.moc"
