// Grid helpers (block clear and lock, row deletion after asking) and the reset
// of a screen's input controls.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "app/common/gridhelpers.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"
#include "support/testenv.h"

using platform::SpreadGrid;

namespace {

// Rows of "r<row>c<col>" texts; column 3 is a number column holding the row number.
void fill(SpreadGrid& g, int rows, int cols) {
    g.setMaxCols(cols);
    g.setMaxRows(rows);
    g.setColumnType(3, SpreadGrid::ColumnType::Number);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            g.setText(r, c, c == 3 ? QString::number(r * 1000) : QStringLiteral("r%1c%2").arg(r).arg(c));
        }
    }
}

QStringList column(const SpreadGrid& g, int col) {
    QStringList texts;
    for (int r = 1; r <= g.maxRows(); ++r) texts << g.text(r, col);
    return texts;
}

}  // namespace

class TestGridHelpers : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testenv::isolate(); }

    void deleteSpreadRow_data();
    void deleteSpreadRow();
    void deleteSpreadRowKeepsCellSettings();
    void clearAndLockBlocks();
    void clearFormControls();
    void clearFormControlsWithoutBoxesChangesNothing();
};

void TestGridHelpers::deleteSpreadRow_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("firstColumn");
    QTest::addColumn<QStringList>("amounts");
    QTest::newRow("yes, middle row") << 2 << int(platform::vbYes) << 6
                                     << QStringList({"r1c1", "r3c1", "r4c1", ""})
                                     << QStringList({"1,000", "3,000", "4,000", ""});
    QTest::newRow("yes, last row") << 4 << int(platform::vbYes) << 6
                                   << QStringList({"r1c1", "r2c1", "r3c1", ""})
                                   << QStringList({"1,000", "2,000", "3,000", ""});
    QTest::newRow("yes, first row") << 1 << int(platform::vbYes) << 6
                                    << QStringList({"r2c1", "r3c1", "r4c1", ""})
                                    << QStringList({"2,000", "3,000", "4,000", ""});
    QTest::newRow("no") << 2 << int(platform::vbNo) << 7 << QStringList({"r1c1", "r2c1", "r3c1", "r4c1"})
                        << QStringList({"1,000", "2,000", "3,000", "4,000"});
}

void TestGridHelpers::deleteSpreadRow() {
    QFETCH(int, row);
    QFETCH(int, answer);
    QFETCH(int, result);
    QFETCH(QStringList, firstColumn);
    QFETCH(QStringList, amounts);
    SpreadGrid g;
    fill(g, 4, 3);
    g.setActiveCell(row, 2);
    QSignalSpy changes(&g, &SpreadGrid::change);
    platform::ScriptedMsgBox box;
    box.answer(answer);

    QCOMPARE(DeleteSpreadRow(g, row), result);
    QCOMPARE(box.count(), 1);
    QCOMPARE(box.last().title, QStringLiteral("確認"));
    QCOMPARE(box.last().text, QStringLiteral("選択された行を削除してもよろしいですか？"));
    QCOMPARE(box.last().icon, platform::MsgIcon::Question);
    QCOMPARE(box.last().buttons, platform::MsgButtons::YesNo);
    QCOMPARE(column(g, 1), firstColumn);
    QCOMPARE(column(g, 3), amounts);
    QCOMPARE(g.maxRows(), 4);  // the caller shrinks the grid
    QCOMPARE(g.activeRow(), row);
    QVERIFY(g.redraw());
    QCOMPARE(changes.count(), 0);
}

void TestGridHelpers::deleteSpreadRowKeepsCellSettings() {
    SpreadGrid g;
    fill(g, 3, 3);
    g.setLocked(2, 1, true);
    g.setComboCell(3, 2, "\tA\tB\t", false);
    g.setForeground(1, 1, Qt::red);
    platform::ScriptedMsgBox box;
    box.answer(platform::vbYes);
    QCOMPARE(DeleteSpreadRow(g, 1), 6);
    // Texts moved; locks, combo cells and colours stayed where they were.
    QCOMPARE(g.text(1, 1), QString("r2c1"));
    QVERIFY(g.isLocked(2, 1));
    QVERIFY(!g.isLocked(1, 1));
    QVERIFY(g.isComboCell(3, 2));
    QCOMPARE(g.comboItems(3, 2).size(), 3);
    QVERIFY(!g.isComboCell(2, 2));
    QCOMPARE(g.foreground(1, 1), QColor(Qt::red));

    // A row outside the grid (or an empty grid) asks nothing and changes nothing.
    box.clear();
    QCOMPARE(DeleteSpreadRow(g, 0), 7);
    QCOMPARE(DeleteSpreadRow(g, 4), 7);
    g.setMaxRows(0);
    QCOMPARE(DeleteSpreadRow(g, 1), 7);
    QCOMPARE(box.count(), 0);
}

void TestGridHelpers::clearAndLockBlocks() {
    SpreadGrid g;
    fill(g, 3, 4);
    QSignalSpy changes(&g, &SpreadGrid::change);
    ClearSpreadBlock(g, 2, 3, 2, 3);  // rows 2-3, columns 2-3
    QCOMPARE(column(g, 2), QStringList({"r1c2", "", ""}));
    QCOMPARE(column(g, 3), QStringList({"1,000", "", ""}));
    QCOMPARE(g.amount(3, 3), std::optional<Currency>());
    QCOMPARE(column(g, 4), QStringList({"r1c4", "r2c4", "r3c4"}));
    QCOMPARE(g.maxRows(), 3);
    QCOMPARE(g.maxCols(), 4);

    LockSpreadBlock(g, 1, 3, 1, 4, true);
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 4; ++c) QVERIFY(g.isLocked(r, c));
    }
    LockSpreadBlock(g, 2, 2, 3, 4, false);
    QVERIFY(!g.isLocked(2, 3));
    QVERIFY(!g.isLocked(2, 4));
    QVERIFY(g.isLocked(2, 2));

    // A grid without rows: rows 1 to 0 is an empty block.
    g.setMaxRows(0);
    ClearSpreadBlock(g, 1, g.maxRows(), 1, g.maxCols());
    LockSpreadBlock(g, 1, g.maxRows(), 1, g.maxCols(), true);
    QCOMPARE(g.text(0, 1), QString());
    QCOMPARE(changes.count(), 0);
}

void TestGridHelpers::clearFormControls() {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* name = new platform::ImText(&form);
    auto* frame = new QGroupBox(&form);  // controls inside frames count too
    auto* frameLayout = new QVBoxLayout(frame);
    auto* capital = new platform::ImNumber(frame);
    auto* kinds = new QComboBox(frame);
    auto* blankFirst = new QComboBox(&form);
    auto* editable = new QComboBox(&form);
    auto* founded = new platform::ImDate(&form);
    auto* plain = new QLineEdit(&form);
    auto* check = new QCheckBox(QStringLiteral("法人"), &form);
    auto* grid = new SpreadGrid(&form);
    for (QWidget* w :
         {static_cast<QWidget*>(name), static_cast<QWidget*>(frame), static_cast<QWidget*>(blankFirst),
          static_cast<QWidget*>(editable), static_cast<QWidget*>(founded), static_cast<QWidget*>(plain),
          static_cast<QWidget*>(check), static_cast<QWidget*>(grid)}) {
        layout->addWidget(w);
    }
    frameLayout->addWidget(capital);
    frameLayout->addWidget(kinds);

    name->setText(QStringLiteral("山田商店"));
    capital->setValue(Currency::fromYen(1000));
    kinds->addItems({QStringLiteral("資産"), QStringLiteral("負債")});
    kinds->setCurrentIndex(1);
    blankFirst->addItems({QStringLiteral(" "), QStringLiteral("現金")});
    blankFirst->setCurrentIndex(1);
    editable->setEditable(true);
    editable->addItems({QStringLiteral("101 現金"), QStringLiteral("102 預金")});
    editable->setEditText(QStringLiteral("typed"));
    founded->setText(QStringLiteral("2003/04/01"));
    plain->setText(QStringLiteral("stays"));
    check->setChecked(true);
    grid->setMaxCols(1);
    grid->setMaxRows(1);
    grid->setComboCell(1, 1, "A\tB", false);
    grid->setText(1, 1, "B");
    QSignalSpy nameChanges(name, &platform::ImText::change);
    QSignalSpy capitalChanges(capital, &platform::ImNumber::change);

    ClearFormControls(&form);
    QCOMPARE(name->text(), QString());
    QCOMPARE(capital->value(), std::optional<Currency>(Currency()));  // "0", not empty
    QCOMPARE(kinds->currentIndex(), 0);
    QCOMPARE(blankFirst->currentIndex(), 1);  // a blank first entry leaves the box alone
    QCOMPARE(editable->currentText(), QStringLiteral("101 現金"));
    QCOMPARE(founded->text(), QString("2003/04/01"));
    QCOMPARE(plain->text(), QString("stays"));
    QVERIFY(check->isChecked());
    QCOMPARE(grid->text(1, 1), QString("B"));
    QCOMPARE(nameChanges.count() + capitalChanges.count(), 0);
}

void TestGridHelpers::clearFormControlsWithoutBoxesChangesNothing() {
    QWidget form;
    auto* label = new QLabel(QStringLiteral("期"), &form);
    auto* check = new QCheckBox(&form);
    auto* empty = new QComboBox(&form);
    check->setChecked(true);
    ClearFormControls(&form);
    ClearFormControls(nullptr);
    QCOMPARE(label->text(), QStringLiteral("期"));
    QVERIFY(check->isChecked());
    QCOMPARE(empty->currentIndex(), -1);
}

QTEST_MAIN(TestGridHelpers)
#include "tst_gridhelpers.moc"
