// The grid: user edits against code changes, keyboard flow between cells and
// out of the grid, cell types, locks and the signals the screens rely on.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include "platform/choicelists.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"
#include "support/inputmethod.h"
#include "support/testenv.h"

using platform::SpreadGrid;

namespace {

// A window with a box before and after the grid, so focus moves can be seen.
struct Screen {
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    SpreadGrid* grid = new SpreadGrid(&window);
    QLineEdit* after = new QLineEdit(&window);

    Screen(int rows, int cols) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(grid);
        layout->addWidget(after);
        grid->setMaxCols(cols);
        grid->setMaxRows(rows);
        window.resize(500, 300);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    QWidget* focus() const { return QApplication::focusWidget(); }
    // Sends a key to whatever has the focus (the view or an open cell editor).
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(focus(), k, m); }
    // One key at a time: the first key opens the cell editor, which takes the rest.
    void type(const QString& text) {
        for (QChar c : text) QTest::keyClick(focus(), c.toLatin1());
    }
    void commitJapanese(const QString& text) {
        QInputMethodEvent e(QString(), {});
        e.setCommitString(text);
        QApplication::sendEvent(focus(), &e);
    }
    void startAt(int row, int col) {
        grid->setActiveCell(row, col);
        grid->setFocus();
        QApplication::processEvents();
    }
    QPair<int, int> active() const { return {grid->activeRow(), grid->activeCol()}; }
};

using Cell = QPair<int, int>;

}  // namespace

class TestSpreadGrid : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testenv::isolate();
        // As the program's start-up does: open lists that take no Japanese keep the input method off.
        platform::KeepChoiceListsOutOfInputMethod();
    }

    void userEditRaisesOneChangeCodeRaisesNone();
    void japaneseTextThroughInputMethod();
    void typingOnACellReplacesItsText_data();
    void typingOnACellReplacesItsText();
    void typingRightAfterAClickOnTheActiveCell_data();
    void typingRightAfterAClickOnTheActiveCell();
    void clickOnTheActiveCellOpensItsEditorUnlessADoubleClickFollows();
    void tabSkipsHiddenAndLockedCellsAndAdvancesAtTheEnds();
    void focusEntersAndLeavesTheGrid();
    void keyDownCanTakeTheKeyOver();
    void leaveCellFollowsUserMovesOnlyAndCanCancel();
    void textCellsRefuseWhatCp932CannotHold();
    void numberCellsTellEmptyFromZero();
    void numberCellsReadTypedTextWholeOrRefuseIt_data();
    void numberCellsReadTypedTextWholeOrRefuseIt();
    void comboCellsOfferTabSeparatedItems();
    void choosingFromAListComboRaisesChange();
    void sizeChangesKeepContentsAndSettings();
    void clicksNameRowAndColumn();
    void inputMethodFollowsTheColumn();
    void inputMethodStaysOffWhenFocusEntersAnAmount();
    void inputMethodTextLandsWholeInAComboCell();
    void clickDuringACompositionKeepsItsTextInItsCell();
    void comboListOpensOnRequest_data();
    void comboListOpensOnRequest();
    void listOfACellWithoutInputMethodTakesDigitsAsTyped();
    void onlyTheFocusedGridHighlightsItsCell();
};

void TestSpreadGrid::userEditRaisesOneChangeCodeRaisesNone() {
    Screen s(3, 3);
    SpreadGrid& g = *s.grid;
    QSignalSpy changes(&g, &SpreadGrid::change);

    g.setText(1, 1, "code");
    g.setValue(1, 2, "value");
    g.clearBlock(1, 1, 3, 3);
    g.setComboCell(2, 1, "\ta\tb", false);
    g.setComboCurrentIndex(2, 1, 2);
    QCOMPARE(changes.count(), 0);

    s.startAt(1, 1);
    s.type("abc");
    QVERIFY(g.isEditing());
    QCOMPARE(changes.count(), 0);  // nothing until the edit is committed
    s.key(Qt::Key_Tab);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toInt(), 1);
    QCOMPARE(changes.at(0).at(1).toInt(), 1);
    QCOMPARE(g.text(1, 1), QString("abc"));
    QCOMPARE(s.active(), Cell(1, 2));

    // Typing the same text again is no change.
    s.startAt(1, 1);
    s.type("abc");
    s.key(Qt::Key_Return);
    QCOMPARE(changes.count(), 1);

    // Leaving an edited cell by the mouse commits it too, once.
    s.startAt(3, 3);
    s.type("x");
    QTest::mouseClick(g.view()->viewport(), Qt::LeftButton, {},
                      g.view()->visualRect(g.view()->model()->index(0, 0)).center());
    QCOMPARE(changes.count(), 2);
    QCOMPARE(g.text(3, 3), QString("x"));
}

void TestSpreadGrid::japaneseTextThroughInputMethod() {
    Screen s(2, 3);
    SpreadGrid& g = *s.grid;
    QSignalSpy changes(&g, &SpreadGrid::change);
    s.startAt(1, 3);
    s.commitJapanese(QStringLiteral("交通費"));
    QVERIFY(g.isEditing());
    s.key(Qt::Key_Tab);
    QCOMPARE(g.text(1, 3), QStringLiteral("交通費"));
    QCOMPARE(changes.count(), 1);
}

// Typing on a cell that holds text replaces the text, in a text cell and in
// an editable combo cell alike, whether the first text comes as a key or
// through the input method.
void TestSpreadGrid::typingOnACellReplacesItsText_data() {
    QTest::addColumn<bool>("combo");
    QTest::addColumn<int>("how");  // 0 key, 1 input-method commit, 2 composition
    QTest::addColumn<QString>("expected");
    for (const bool combo : {false, true}) {
        const char* cell = combo ? "combo" : "text";
        QTest::addRow("%s, key", cell) << combo << 0 << QStringLiteral("x");
        QTest::addRow("%s, commit", cell) << combo << 1 << QStringLiteral("現金");
        QTest::addRow("%s, composition", cell) << combo << 2 << QStringLiteral("現金");
    }
}

void TestSpreadGrid::typingOnACellReplacesItsText() {
    QFETCH(bool, combo);
    QFETCH(int, how);
    QFETCH(QString, expected);
    Screen s(2, 3);
    SpreadGrid& g = *s.grid;
    if (combo) g.setComboCell(1, 3, QStringLiteral("\t銀行引き出し\t交通費\t"), true);
    g.setText(1, 3, QStringLiteral("銀行引き出し"));
    s.startAt(1, 3);
    switch (how) {
        case 0: s.type("x"); break;
        case 1: imtest::commit(QStringLiteral("現金")); break;
        case 2:
            imtest::compose({QStringLiteral("ｇ"), QStringLiteral("げ"), QStringLiteral("げｎ"),
                             QStringLiteral("げんｋ"), QStringLiteral("げんき")},
                            QStringLiteral("現金"));
            break;
    }
    QApplication::processEvents();
    s.key(Qt::Key_Tab);
    QCOMPARE(g.text(1, 3), expected);
}

// A fast typist clicks the cell that is already active and types at once:
// every key lands in the cell, whether it comes before, during or after the
// wait that tells a click from a double-click, and the editor the keys opened
// is not replaced by the click's own late edit start.
void TestSpreadGrid::typingRightAfterAClickOnTheActiveCell_data() {
    QTest::addColumn<int>("delay");  // ms between the click and the first key
    QTest::addColumn<bool>("number");
    QTest::addColumn<bool>("japanese");
    for (const int delay : {0, 100, 250, 500}) {
        QTest::addRow("amount, %d ms", delay) << delay << true << false;
        QTest::addRow("text, %d ms", delay) << delay << false << false;
        QTest::addRow("input method, %d ms", delay) << delay << false << true;
    }
}

void TestSpreadGrid::typingRightAfterAClickOnTheActiveCell() {
    QFETCH(int, delay);
    QFETCH(bool, number);
    QFETCH(bool, japanese);
    Screen s(2, 2);
    SpreadGrid& g = *s.grid;
    if (number) g.setColumnType(2, SpreadGrid::ColumnType::Number);
    g.setText(1, 2, number ? QStringLiteral("55000") : QStringLiteral("売上高"));
    s.startAt(1, 2);
    QSignalSpy changes(&g, &SpreadGrid::change);
    QTableView* v = g.view();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(0, 1)).center());
    if (delay) QTest::qWait(delay);
    if (japanese) {
        imtest::commit(QStringLiteral("仕入"));
        imtest::commit(QStringLiteral("高"));
    } else {
        s.type(number ? "310000" : "abcdef");
    }
    // Past the double-click interval: a late edit start would show here.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QVERIFY(g.isEditing());
    s.key(Qt::Key_Tab);
    const QString expected = number ? QStringLiteral("310,000") : japanese ? QStringLiteral("仕入高") : "abcdef";
    QCOMPARE(g.text(1, 2), expected);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(s.active(), Cell(2, 1));
}

// The click alone still opens the active cell's editor once it is plainly no
// double-click; a double-click opens it at once, and a key or a move in
// between leaves no late editor behind.
void TestSpreadGrid::clickOnTheActiveCellOpensItsEditorUnlessADoubleClickFollows() {
    Screen s(2, 2);
    SpreadGrid& g = *s.grid;
    g.setText(1, 1, QStringLiteral("abc"));
    QTableView* v = g.view();
    const QPoint cell11 = v->visualRect(v->model()->index(0, 0)).center();
    s.startAt(1, 1);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell11);
    QVERIFY(!g.isEditing());
    QTRY_VERIFY(g.isEditing());
    s.key(Qt::Key_Tab);
    QCOMPARE(s.active(), Cell(1, 2));

    // Clicking a cell that was not active only moves to it.
    s.startAt(2, 2);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell11);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QVERIFY(!g.isEditing());
    QCOMPARE(s.active(), Cell(1, 1));

    // An arrow key right after the click moves on; no editor opens later.
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell11);
    s.key(Qt::Key_Down);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QVERIFY(!g.isEditing());
    QCOMPARE(s.active(), Cell(2, 1));

    // Leaving the grid right after the click: the box taken keeps the focus.
    s.startAt(1, 1);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell11);
    s.after->setFocus(Qt::MouseFocusReason);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QVERIFY(!g.isEditing());
    QCOMPARE(s.focus(), s.after);

    // A double-click as the window system delivers it.
    s.startAt(1, 1);
    QTest::mousePress(v->viewport(), Qt::LeftButton, {}, cell11);
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, cell11);
    QTest::mousePress(v->viewport(), Qt::LeftButton, {}, cell11);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cell11);
    QVERIFY(g.isEditing());
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, cell11);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QVERIFY(g.isEditing());
}

// Text cells and editable combo cells refuse, with a message naming it, a
// character that the CP932 backup could not write back; stored text is shown
// whole in the editor.
void TestSpreadGrid::textCellsRefuseWhatCp932CannotHold() {
    platform::ScriptedMsgBox messages;
    Screen s(2, 3);
    SpreadGrid& g = *s.grid;
    g.setComboCell(2, 3, QStringLiteral("\t交通費\t"), true);
    g.setText(1, 2, QStringLiteral("𠮷野家"));
    QSignalSpy changes(&g, &SpreadGrid::change);
    s.startAt(1, 2);
    s.key(Qt::Key_F2);
    s.key(Qt::Key_End);
    s.commitJapanese(QStringLiteral("家"));
    s.key(Qt::Key_Tab);
    QCOMPARE(g.text(1, 2), QStringLiteral("𠮷野家家"));

    for (const Cell cell : {Cell(1, 3), Cell(2, 3)}) {
        s.startAt(cell.first, cell.second);
        s.commitJapanese(QStringLiteral("売上"));
        s.commitJapanese(QStringLiteral("𠮷"));
        s.commitJapanese(QStringLiteral("\t"));
        s.key(Qt::Key_Tab);
        QCoreApplication::processEvents();
        QCOMPARE(g.text(cell.first, cell.second), QStringLiteral("売上"));
    }
    QCOMPARE(changes.count(), 3);
    QCOMPARE(messages.count(), 4);
    QVERIFY(messages.shown().at(0).text.contains(QStringLiteral("𠮷")));
}

void TestSpreadGrid::tabSkipsHiddenAndLockedCellsAndAdvancesAtTheEnds() {
    // Columns: 1 open, 2 hidden, 3 locked in row 1, 4 zero width.
    Screen s(2, 4);
    SpreadGrid& g = *s.grid;
    g.setColumnHidden(2, true);
    g.setLocked(1, 3, true);
    g.setColumnWidth(4, 0);
    QSignalSpy advances(&g, &SpreadGrid::advance);

    s.startAt(1, 1);
    s.key(Qt::Key_Tab);
    QCOMPARE(s.active(), Cell(2, 1));
    s.type("7");  // editing: Tab commits and moves on
    s.key(Qt::Key_Tab);
    QCOMPARE(s.active(), Cell(2, 3));
    QCOMPARE(g.text(2, 1), QString("7"));
    QCOMPARE(advances.count(), 0);

    s.key(Qt::Key_Return);  // past the last editable cell
    QCOMPARE(advances.count(), 1);
    QCOMPARE(advances.at(0).at(0).toBool(), true);
    QCOMPARE(s.active(), Cell(2, 3));
    QVERIFY(g.view()->hasFocus());

    s.key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(s.active(), Cell(2, 1));
    s.key(Qt::Key_Escape);  // Escape acts as Shift+Tab
    QCOMPARE(s.active(), Cell(1, 1));
    s.key(Qt::Key_Escape);
    QCOMPARE(advances.count(), 2);
    QCOMPARE(advances.at(1).at(0).toBool(), false);
    QCOMPARE(s.active(), Cell(1, 1));

    // A receiver that appends a row and tabs on lands in the new row.
    connect(&g, &SpreadGrid::advance, &g, [&g](bool forward) {
        if (!forward) return;
        g.setMaxRows(g.maxRows() + 1);
        g.moveToNextCell();
    });
    s.startAt(2, 3);
    s.key(Qt::Key_Tab);
    QCOMPARE(g.maxRows(), 3);
    QCOMPARE(s.active(), Cell(3, 1));
}

void TestSpreadGrid::focusEntersAndLeavesTheGrid() {
    Screen s(2, 2);
    SpreadGrid& g = *s.grid;
    g.setColumnLocked(1, true);
    s.before->setFocus();
    s.key(Qt::Key_Tab);  // into the grid: its first editable cell
    QCOMPARE(s.focus(), g.view());
    QCOMPARE(s.active(), Cell(1, 2));
    s.key(Qt::Key_Tab);
    QCOMPARE(s.active(), Cell(2, 2));
    s.key(Qt::Key_Tab);  // no advance() receiver: on to the next control
    QCOMPARE(s.focus(), s.after);
    s.key(Qt::Key_Tab, Qt::ShiftModifier);  // back: the active cell is kept
    QCOMPARE(s.active(), Cell(2, 2));

    // A grid that only shows data passes Tab and Shift+Tab straight on.
    g.setColumnLocked(2, true);
    s.startAt(1, 1);
    s.key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(s.focus(), s.before);
    QCOMPARE(s.active(), Cell(1, 1));
}

void TestSpreadGrid::keyDownCanTakeTheKeyOver() {
    Screen s(2, 2);
    SpreadGrid& g = *s.grid;
    QList<int> keys;
    connect(&g, &SpreadGrid::keyDown, &g, [&keys](int key, Qt::KeyboardModifiers, bool& handled) {
        keys << key;
        handled = key == Qt::Key_Escape;
    });
    s.startAt(1, 2);
    s.key(Qt::Key_Escape);
    QCOMPARE(s.active(), Cell(1, 2));  // taken over: no move
    s.type("5");                       // editing now
    s.key(Qt::Key_Return);
    QCOMPARE(s.active(), Cell(2, 1));
    QCOMPARE(keys, QList<int>({Qt::Key_Escape, Qt::Key_5, Qt::Key_Return}));
}

void TestSpreadGrid::leaveCellFollowsUserMovesOnlyAndCanCancel() {
    Screen s(3, 2);
    SpreadGrid& g = *s.grid;
    QList<QList<int>> leaves;
    bool refuse = false;
    connect(&g, &SpreadGrid::leaveCell, &g, [&](int r, int c, int nr, int nc, bool& cancel) {
        leaves.append({r, c, nr, nc});
        cancel = refuse;
    });
    s.startAt(1, 1);
    g.setActiveCell(2, 2);
    QCOMPARE(leaves.size(), 0);

    s.key(Qt::Key_Down);
    QCOMPARE(leaves, QList<QList<int>>({{2, 2, 3, 2}}));
    refuse = true;
    s.key(Qt::Key_Up);
    QCOMPARE(leaves.size(), 2);
    QCOMPARE(s.active(), Cell(3, 2));
    s.key(Qt::Key_Tab);
    QCOMPARE(s.active(), Cell(3, 2));
}

void TestSpreadGrid::numberCellsTellEmptyFromZero() {
    Screen s(3, 2);
    SpreadGrid& g = *s.grid;
    g.setColumnType(2, SpreadGrid::ColumnType::Number);

    g.setAmount(1, 2, Currency());
    QCOMPARE(g.text(1, 2), QString("0"));
    QCOMPARE(g.amount(1, 2), std::optional<Currency>(Currency()));
    QCOMPARE(g.text(2, 2), QString());
    QCOMPARE(g.amount(2, 2), std::optional<Currency>());
    g.setText(3, 2, "1234567");
    QCOMPARE(g.text(3, 2), QString("1,234,567"));
    QCOMPARE(g.value(3, 2), QString("1234567"));
    g.setText(3, 2, "abc");  // not a number: the cell is empty
    QCOMPARE(g.amount(3, 2), std::optional<Currency>());

    // Emptying a cell leaves it without a number.
    QSignalSpy changes(&g, &SpreadGrid::change);
    s.startAt(1, 2);
    s.key(Qt::Key_F2);
    s.key(Qt::Key_End);
    s.key(Qt::Key_Backspace);
    s.key(Qt::Key_Return);
    QCOMPARE(g.amount(1, 2), std::optional<Currency>());
    QCOMPARE(changes.count(), 1);
}

void TestSpreadGrid::numberCellsReadTypedTextWholeOrRefuseIt_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");  // the cell's value afterwards
    QTest::addColumn<bool>("refused");
    QTest::newRow("grouped") << "1,500" << "1500" << false;
    QTest::newRow("grouped with zero decimals") << "1,500.00" << "1500" << false;
    QTest::newRow("full-width digits") << QStringLiteral("１５００") << "1500" << false;
    QTest::newRow("fraction of a yen") << "1.5" << "2000" << true;
    QTest::newRow("exponent") << "1e3" << "2000" << true;
    QTest::newRow("grouping in the wrong place") << "12,34" << "2000" << true;
    QTest::newRow("letters") << "12a5" << "2000" << true;
    QTest::newRow("beyond the range") << "-12345" << "2000" << true;
}

// A whole-yen cell (0 to 99,999): typed text is its number or is refused
// whole; the cell keeps its value and raises no change.
void TestSpreadGrid::numberCellsReadTypedTextWholeOrRefuseIt() {
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(bool, refused);
    // The edit ends by Tab, or by the focus going elsewhere.
    for (bool byTab : {true, false}) {
        platform::ScriptedMsgBox messages;
        Screen s(2, 2);
        SpreadGrid& g = *s.grid;
        g.setColumnType(2, SpreadGrid::ColumnType::Number);
        g.setNumberFormat(2, {Currency(), Currency::fromYen(99'999), 0, true});
        g.setAmount(1, 2, Currency::fromYen(2000));
        QSignalSpy changes(&g, &SpreadGrid::change);
        s.startAt(1, 2);
        for (QChar c : typed) {  // the first key opens the editor, which takes the rest
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(s.focus(), &key);
        }
        if (byTab) {
            s.key(Qt::Key_Tab);
        } else {
            s.after->setFocus();
        }
        QCoreApplication::processEvents();
        QCOMPARE(g.value(1, 2), expected);
        QCOMPARE(changes.count(), refused ? 0 : 1);
        QCOMPARE(messages.count(), refused ? 1 : 0);
        if (refused) QVERIFY(messages.last().text.contains(typed));
    }
}

void TestSpreadGrid::comboCellsOfferTabSeparatedItems() {
    Screen s(2, 2);
    SpreadGrid& g = *s.grid;
    g.setComboCell(1, 1, "\t101 現金\t102 預金\t", false);
    QCOMPARE(g.comboItems(1, 1), QStringList({"", "101 現金", "102 預金"}));
    g.setComboCurrentIndex(1, 1, 0);
    QCOMPARE(g.text(1, 1), QString());
    QCOMPARE(g.comboCurrentIndex(1, 1), 0);
    g.setComboCurrentIndex(1, 1, 2);
    QCOMPARE(g.text(1, 1), QStringLiteral("102 預金"));
    QCOMPARE(g.comboCurrentIndex(1, 1), 2);

    // A list without an empty first item (sub-accounts); an empty list.
    g.setComboCell(1, 2, "01 本店\t02 支店\t", false);
    QCOMPARE(g.comboItems(1, 2), QStringList({"01 本店", "02 支店"}));
    g.setComboCell(2, 2, "", false);
    QCOMPARE(g.comboItems(2, 2), QStringList());

    // Clearing empties the text but keeps the cell a combo with its list.
    g.clearBlock(1, 1, 2, 2);
    QVERIFY(g.isComboCell(1, 1));
    QCOMPARE(g.comboItems(1, 1).size(), 3);
    QCOMPARE(g.text(1, 1), QString());
    g.setPlainCell(1, 1);
    QVERIFY(!g.isComboCell(1, 1));
}

void TestSpreadGrid::choosingFromAListComboRaisesChange() {
    Screen s(2, 2);
    SpreadGrid& g = *s.grid;
    g.setComboCell(1, 1, "\tA\tB\t", false);
    g.setComboCell(1, 2, "\t交通費\t", true);
    QSignalSpy changes(&g, &SpreadGrid::change);

    s.startAt(1, 1);
    s.type("b");  // the list editor opens and finds the item; choosing ends the edit
    QTRY_VERIFY(!g.isEditing());
    QCOMPARE(g.text(1, 1), QString("B"));
    QCOMPARE(changes.count(), 1);

    // An editable combo takes typed text.
    s.startAt(1, 2);
    s.type("x");
    auto* combo = qobject_cast<QComboBox*>(s.focus());
    QVERIFY(combo && combo->isEditable());
    s.key(Qt::Key_Tab);
    QCOMPARE(g.text(1, 2), QString("x"));
    QCOMPARE(changes.count(), 2);
    QCOMPARE(s.active(), Cell(2, 1));
}

void TestSpreadGrid::sizeChangesKeepContentsAndSettings() {
    Screen s(2, 3);
    SpreadGrid& g = *s.grid;
    g.setColumnType(3, SpreadGrid::ColumnType::Number);
    g.setColumnLocked(1, true);
    g.setText(2, 1, "kept");
    g.setMaxRows(5);
    QCOMPARE(g.text(2, 1), QString("kept"));
    QVERIFY(g.isLocked(5, 1));  // a column lock holds for new rows
    QVERIFY(!g.isLocked(5, 2));
    QCOMPARE(g.amount(5, 3), std::optional<Currency>());
    g.setText(0, 2, "金　額");
    g.setMaxRows(1);
    QCOMPARE(g.maxRows(), 1);
    QCOMPARE(g.text(2, 1), QString());  // out of range reads as empty
    QCOMPARE(g.text(0, 2), QStringLiteral("金　額"));
    QCOMPARE(g.text(1, 0), QString("1"));  // row headers show numbers until set
    g.setText(1, 0, "D");
    g.setForeground(1, 0, Qt::red);
    QCOMPARE(g.text(1, 0), QString("D"));
    QCOMPARE(g.view()->model()->headerData(0, Qt::Vertical, Qt::ForegroundRole).value<QColor>(),
             QColor(Qt::red));
}

void TestSpreadGrid::clicksNameRowAndColumn() {
    Screen s(3, 2);
    SpreadGrid& g = *s.grid;
    QSignalSpy clicks(&g, &SpreadGrid::click);
    QHeaderView* rows = g.view()->verticalHeader();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                      QPoint(rows->width() / 2, rows->sectionViewportPosition(1) + rows->sectionSize(1) / 2));
    QTest::mouseClick(g.view()->viewport(), Qt::LeftButton, {},
                      g.view()->visualRect(g.view()->model()->index(2, 1)).center());
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(clicks.at(0), QList<QVariant>({2, 0}));
    QCOMPARE(clicks.at(1), QList<QVariant>({3, 2}));
}

void TestSpreadGrid::inputMethodFollowsTheColumn() {
    Screen s(1, 3);
    SpreadGrid& g = *s.grid;
    g.setColumnType(2, SpreadGrid::ColumnType::Number);
    g.setColumnInputMethod(1, false);
    QTableView* v = g.view();

    s.startAt(1, 3);  // text column: on by default
    QVERIFY(v->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(imtest::acceptsInputMethod());
    s.type("a");
    QVERIFY(s.focus()->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(imtest::acceptsInputMethod());
    s.key(Qt::Key_Tab, Qt::ShiftModifier);  // number column: off
    QCOMPARE(s.active(), Cell(1, 2));
    QVERIFY(!v->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(!imtest::acceptsInputMethod());
    // The amount's editor says no to the input method too, so the digits
    // reach it as typed even when the input method is in kana mode.
    s.type("15");
    QVERIFY(g.isEditing());
    QVERIFY(!imtest::acceptsInputMethod());
    s.type("00");
    s.key(Qt::Key_Tab);
    QCOMPARE(g.amount(1, 2), std::optional<Currency>(Currency::fromYen(1500)));
    s.key(Qt::Key_Tab, Qt::ShiftModifier);
    s.key(Qt::Key_Tab, Qt::ShiftModifier);  // switched off by the screen
    QCOMPARE(s.active(), Cell(1, 1));
    QVERIFY(!v->testAttribute(Qt::WA_InputMethodEnabled));
    s.type("a");
    QVERIFY(!s.focus()->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(!imtest::acceptsInputMethod());
}

// Qt's view switches the input method on for every editable cell it gets the
// focus on; an amount cell must keep it off however the focus arrives: the
// first entry into the grid, coming back from another box, from another window.
void TestSpreadGrid::inputMethodStaysOffWhenFocusEntersAnAmount() {
    Screen s(2, 2);
    SpreadGrid& g = *s.grid;
    g.setColumnType(1, SpreadGrid::ColumnType::Number);
    g.setColumnType(2, SpreadGrid::ColumnType::Number);
    s.before->setFocus();
    QApplication::processEvents();

    s.key(Qt::Key_Tab);  // first entry: the first cell becomes active
    QCOMPARE(s.focus(), g.view());
    QCOMPARE(s.active(), Cell(1, 1));
    QVERIFY(!imtest::acceptsInputMethod());

    s.key(Qt::Key_Tab);
    s.key(Qt::Key_Tab);
    s.key(Qt::Key_Tab);
    s.key(Qt::Key_Tab);  // past the last cell to the box after the grid
    QCOMPARE(s.focus(), s.after);
    s.key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(s.focus(), g.view());
    QVERIFY(!imtest::acceptsInputMethod());

    QWidget other;  // another window takes the focus and gives it back
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    s.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    QCOMPARE(s.focus(), g.view());
    QVERIFY(!imtest::acceptsInputMethod());
    s.type("7");
    s.key(Qt::Key_Return);
    QCOMPARE(g.amount(s.active().first, s.active().second).value_or(Currency()), Currency::fromYen(7));
}

// A description cell typed through the input method: the first preedit opens
// the cell's editor, the composition goes on in it, the commit lands whole;
// the candidate window is placed at the cell.
void TestSpreadGrid::inputMethodTextLandsWholeInAComboCell() {
    Screen s(2, 3);
    SpreadGrid& g = *s.grid;
    g.setComboCell(1, 3, "\t交通費\t通信費\t", true);
    QSignalSpy changes(&g, &SpreadGrid::change);
    s.startAt(1, 3);
    QTableView* v = g.view();
    const QRect cell(v->viewport()->mapTo(&s.window, v->visualRect(v->currentIndex()).topLeft()),
                     v->visualRect(v->currentIndex()).size());
    // Where the focused widget asks the candidate window to go, in the window.
    const auto cursorInWindow = [&s] {
        QWidget* w = s.focus();
        const QRect r = w->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        return QRect(w->mapTo(&s.window, r.topLeft()), r.size());
    };
    QVERIFY(cell.contains(cursorInWindow().center()));

    // The first preedit opens the editor; the focus stays where the input
    // method is composing until the commit, so the composition goes on whole.
    imtest::preedit(QStringLiteral("ｇ"));
    QApplication::processEvents();
    QVERIFY(g.isEditing());
    auto* combo = v->viewport()->findChild<QComboBox*>();
    QVERIFY(combo);
    QCOMPARE(s.focus(), v);
    QVERIFY(!combo->view()->isVisible());
    QVERIFY(imtest::acceptsInputMethod());
    imtest::preedit(QStringLiteral("げ"));
    QVERIFY(cell.contains(cursorInWindow().center()));
    imtest::compose({QStringLiteral("げｎ"), QStringLiteral("げんｋ"), QStringLiteral("げんき"),
                     QStringLiteral("げんきｎ")},
                    QStringLiteral("現金"));
    QApplication::processEvents();
    QCOMPARE(s.focus(), combo);
    QVERIFY(!combo->view()->isVisible());
    QCOMPARE(combo->currentText(), QStringLiteral("現金"));
    s.key(Qt::Key_Tab);
    QCOMPARE(g.text(1, 3), QStringLiteral("現金"));
    QCOMPARE(changes.count(), 1);

    // With the edit started first (F2), the cell takes the text the same way.
    s.startAt(1, 3);
    s.key(Qt::Key_F2);
    QApplication::processEvents();
    QVERIFY(g.isEditing());
    auto* started = qobject_cast<QComboBox*>(s.focus());
    QVERIFY(started && !started->view()->isVisible());
    imtest::compose({QStringLiteral("ｋ"), QStringLiteral("こ"), QStringLiteral("こう")}, QStringLiteral("交"));
    QApplication::processEvents();
    s.key(Qt::Key_Tab);
    QCOMPARE(g.text(1, 3), QStringLiteral("現金交"));
}

// A click on another cell while a word is still being composed: the word
// stays in the cell it was typed into, and the clicked cell gets nothing.
void TestSpreadGrid::clickDuringACompositionKeepsItsTextInItsCell() {
    for (const bool combo : {false, true}) {
        Screen s(3, 3);
        SpreadGrid& g = *s.grid;
        if (combo) {
            for (int r = 1; r <= 3; ++r) g.setComboCell(r, 3, "\t交通費\t", true);
        }
        s.startAt(1, 3);
        for (const char* p : {"ｇ", "げ", "げｎ", "げんｋ", "げんき"}) imtest::preedit(QString::fromUtf8(p));
        QTableView* v = g.view();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(2, 2)).center());
        QApplication::processEvents();
        QCOMPARE(s.active(), Cell(3, 3));
        QCOMPARE(g.text(1, 3), QStringLiteral("げんき"));
        // Some input methods send the word again once they are reset.
        imtest::commit(QStringLiteral("げんき"));
        QApplication::processEvents();
        QCOMPARE(g.text(3, 3), QString());
        // What is typed next goes into the clicked cell.
        imtest::compose({QStringLiteral("ｇ"), QStringLiteral("げ")}, QStringLiteral("げんき"));
        QApplication::processEvents();
        s.key(Qt::Key_Tab);
        QCOMPARE(g.text(3, 3), QStringLiteral("げんき"));
    }
}

void TestSpreadGrid::comboListOpensOnRequest_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("F4") << int(Qt::Key_F4) << int(Qt::NoModifier);
    QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier);
}

void TestSpreadGrid::comboListOpensOnRequest() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Screen s(1, 2);
    SpreadGrid& g = *s.grid;
    g.setComboCell(1, 2, "\t交通費\t", true);
    s.startAt(1, 2);
    s.key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    auto* combo = qobject_cast<QComboBox*>(g.view()->viewport()->findChild<QComboBox*>());
    QVERIFY(combo);
    QTRY_VERIFY(combo->view()->isVisible());
}

// An account cell's list, opened from the keyboard, is searched by the
// account number typed: with the input method in kana mode the digits must
// reach the list as typed, not start a composition there.
void TestSpreadGrid::listOfACellWithoutInputMethodTakesDigitsAsTyped() {
    Screen s(1, 3);
    SpreadGrid& g = *s.grid;
    g.setColumnInputMethod(2, false);
    const QString accounts = QStringLiteral("\t101 現金\t111 当座預金\t121 普通預金\t728 消耗品費\t");
    g.setComboCell(1, 2, accounts, false);
    g.setComboCell(1, 3, QStringLiteral("\t交通費\t"), true);
    s.startAt(1, 2);
    s.key(Qt::Key_Down, Qt::AltModifier);
    auto* combo = g.view()->viewport()->findChild<QComboBox*>();
    QVERIFY(combo);
    QTRY_VERIFY(combo->view()->isVisible());
    QTRY_COMPARE(s.focus(), combo->view());
    QVERIFY(!imtest::acceptsInputMethod());
    s.type("72");
    s.key(Qt::Key_Return);
    QTRY_VERIFY(!combo->view()->isVisible());
    s.key(Qt::Key_Tab);
    QCOMPARE(g.text(1, 2), QStringLiteral("728 消耗品費"));

    // A description's list keeps the input method: its words are typed in Japanese.
    s.startAt(1, 3);
    s.key(Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(qobject_cast<QAbstractItemView*>(s.focus()));
    QVERIFY(imtest::acceptsInputMethod());
}

// Two grids with a current cell each: only the focused one paints it in the
// highlight colour; the other shows a frame around it.
void TestSpreadGrid::onlyTheFocusedGridHighlightsItsCell() {
    Screen s(3, 3);
    auto* other = new SpreadGrid(&s.window);
    other->setMaxCols(3);
    other->setMaxRows(3);
    s.window.layout()->addWidget(other);
    QApplication::processEvents();
    other->setActiveCell(2, 2);
    s.startAt(2, 2);

    auto middleOfCurrent = [](SpreadGrid* g) {
        QTableView* v = g->view();
        const QRect cell = v->visualRect(v->currentIndex());
        QApplication::processEvents();
        return v->viewport()->grab().toImage().pixelColor(cell.left() + 4, cell.center().y());
    };
    const QColor highlight = s.grid->palette().color(QPalette::Active, QPalette::Highlight);
    auto highlighted = [&](SpreadGrid* g) {
        const QColor c = middleOfCurrent(g);
        return std::abs(c.red() - highlight.red()) + std::abs(c.green() - highlight.green()) +
                   std::abs(c.blue() - highlight.blue()) <
               12;
    };
    QVERIFY(highlighted(s.grid));
    QVERIFY(!highlighted(other));

    other->setFocus();
    QApplication::processEvents();
    QVERIFY(highlighted(other));
    QVERIFY(!highlighted(s.grid));
}

QTEST_MAIN(TestSpreadGrid)
#include "tst_spreadgrid.moc"
