#pragma once
// platform::SpreadGrid: the editable (or read-only) grid of the screens, built
// on QTableView.
//
// Addressing: rows and columns count from 1. Row 0 is the column-header row and
// column 0 the row-header column: text()/setText() and setForeground() accept
// them, so setText(0, 2, "金　額") names column 2 and setText(r, 0, "D") labels
// row r (row headers show the row number until a text is set).
//
//   spdSS1->setMaxCols(8);
//   spdSS1->setMaxRows(16);
//   spdSS1->setText(0, 1, "科　目");
//   spdSS1->setColumnType(2, platform::SpreadGrid::ColumnType::Number);
//   for (int c = 4; c <= 8; ++c) spdSS1->setColumnHidden(c, true);
//   spdSS1->setColumnLocked(1, true);
//   spdSS1->setColumnInputMethod(3, true);              // description: input method on
//   spdSS1->setComboCell(r, 3, descriptionList, true);  // Tab-separated items, typing allowed
//   spdSS1->setComboCurrentIndex(r, 3, 0);
//   connect(spdSS1, &platform::SpreadGrid::change, this, &InpKantanSiwake::spdSS1_Change);
//
// Cells
//   text(r, c)      what the cell shows. Number cells show the column's format
//                   ("1,500"); an empty number cell shows "".
//   value(r, c)     number cells: plain decimal text ("1500", "-320.5"), "" when
//                   empty; other cells: the same as text().
//   amount(r, c)    number cells as Currency: nullopt when empty (or not a number).
//   setText / setValue / setAmount set a cell from code: no change() follows.
//   Number cells tell an empty cell from 0. Setting text that is not a number
//   into a number cell empties it.
//   What the user types into a number cell is read by checkTypedNumber()
//   (imnumber.h): text that is no number of the column's format ("1.5" where
//   no decimals are allowed, "1e3", "12,34") is refused whole when the editor
//   closes; the cell keeps its value, no change() follows, and a message says
//   why. Text cells refuse what CP932 cannot hold, ¥ and control characters
//   (textguard.h).
// Cell types: each column is Text or Number (setColumnType, setNumberFormat);
// single cells can be made combo cells (setComboCell) with a Tab-separated item
// list, editable (typing allowed) or list-only. setComboCurrentIndex(r, c, i)
// shows item i; comboCurrentIndex() gives the index of the text shown (or -1).
// Cell types, lists, locks and colours stay with their cell when texts are
// cleared (clearBlock) or moved (DeleteSpreadRow).
//
// Locks: setColumnLocked() (also for rows added later), setLocked() per cell
// (overrides the column), setBlockLocked(). Locked cells can be the active cell
// (the user can move onto them with the mouse and the arrow keys) but cannot be
// edited.
//
// Keys and signals
//   Tab / Enter      move to the next unlocked cell of a visible column (row by
//                    row); Shift+Tab / Escape to the previous one. An open editor
//                    is committed first. Past the last such cell (or before the
//                    first) the grid raises advance(forward) and stays where it
//                    is; a grid without an advance() receiver (or without any
//                    editable cell) passes the focus to the next (previous)
//                    control instead.
//   keyDown(key, modifiers, handled)
//                    raised before the grid acts on a key (also while a cell is
//                    being edited: for Tab, Enter, Escape); set handled = true
//                    to take the key over.
//   change(r, c)     the user changed a cell (editor committed with a text
//                    different from the one before; choosing an item of a combo
//                    cell commits at once). Never raised by code.
//   leaveCell(r, c, newR, newC, cancel)
//                    the user moves the active cell (keys, mouse); cancel = true
//                    keeps the old cell. Not raised for setActiveCell().
//   click(r, c) / doubleClick(r, c)
//                    mouse clicks on cells; r = 0 for a column header, c = 0
//                    for a row header.
//   colWidthChange(c), topLeftChange(oldLeft, newLeft)
//                    a column was resized; the grid scrolled sideways (first
//                    visible column before and after). columnLeft(c) gives a
//                    column's left edge in grid coordinates for aligning labels.
//   moveToNextCell() / moveToPreviousCell() act as Tab / Shift+Tab from code
//   (with leaveCell and advance), at once.
//   Tabbing into a grid without an active cell starts on its first editable
//   cell (Shift+Tab: its last). Typing on a cell (also through the input
//   method: its first preedit) or F2, a double-click, a click on the active cell
//   or on a combo cell's arrow opens its editor. A combo cell's list opens with
//   the arrow, F4 or Alt+Down; a list-only cell also opens it when its edit
//   starts otherwise than by typing.
//
// Input method: setColumnInputMethod(c, on) switches the Japanese input method
// on or off for editing in that column (default: on for text columns, off for
// number columns); the grid and its cell editors answer the input method's
// Qt::ImEnabled query for the active cell's column, so keys reach a cell where
// it is off as they are typed. The candidate window is placed at the cell
// (Qt::ImCursorRectangle of the open editor, or of the active cell).
//
// Drawing: setRedraw(false) while filling many cells, setRedraw(true) after.
//
// Accessibility: the grid is a standard table view; setAccessibleName() names
// it (call it on the SpreadGrid), cell editors carry their column's header text
// as accessible name.

#include <QColor>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>

#include "platform/currency.h"
#include "platform/imnumber.h"

class QTableView;

namespace platform {

class SpreadGrid : public QWidget {
    Q_OBJECT
public:
    enum class ColumnType { Text, Number };

    explicit SpreadGrid(QWidget* parent = nullptr);
    ~SpreadGrid() override;

    // Size (rows and columns kept keep their contents and settings).
    int maxRows() const;
    void setMaxRows(int rows);
    int maxCols() const;
    void setMaxCols(int cols);

    // Contents.
    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    QString value(int row, int col) const;
    void setValue(int row, int col, const QString& value);
    std::optional<Currency> amount(int row, int col) const;
    void setAmount(int row, int col, const std::optional<Currency>& amount);
    // Empties the texts of the block (rows row..row2, columns col..col2; clipped
    // to the grid, nothing for an empty range).
    void clearBlock(int row, int col, int row2, int col2);

    // Columns.
    void setColumnType(int col, ColumnType type);
    ColumnType columnType(int col) const;
    void setNumberFormat(int col, const NumberFormat& format);
    NumberFormat numberFormat(int col) const;
    void setColumnWidth(int col, int pixels);
    int columnWidth(int col) const;
    void setColumnHidden(int col, bool hidden);
    bool isColumnHidden(int col) const;  // also true for a zero-width column
    void setColumnInputMethod(int col, bool on);
    bool columnInputMethod(int col) const;
    void setColumnLocked(int col, bool locked);
    int columnLeft(int col) const;
    void setRowHeadersVisible(bool visible);
    void setColumnHeadersVisible(bool visible);

    // Locks.
    void setLocked(int row, int col, bool locked);
    bool isLocked(int row, int col) const;
    void setBlockLocked(int row, int col, int row2, int col2, bool locked);

    // Combo cells.
    void setComboCell(int row, int col, const QString& tabSeparatedItems, bool editable);
    void setPlainCell(int row, int col);  // back to the column's type
    bool isComboCell(int row, int col) const;
    QStringList comboItems(int row, int col) const;
    void setComboCurrentIndex(int row, int col, int index);
    int comboCurrentIndex(int row, int col) const;

    // Colours (row 0 / column 0 for headers).
    void setForeground(int row, int col, const QColor& color);
    QColor foreground(int row, int col) const;

    // Active cell (0, 0 when there is none).
    int activeRow() const;
    int activeCol() const;
    void setActiveCell(int row, int col);
    void moveToNextCell();
    void moveToPreviousCell();
    bool isEditing() const;

    void setRedraw(bool on);
    bool redraw() const;

    // Names the grid for assistive technology (the grid and its table view).
    void setAccessibleName(const QString& name);

    // The table view inside (tests, focus and accessibility; use the methods
    // above for cells).
    QTableView* view() const;

signals:
    void change(int row, int col);
    void advance(bool forward);
    void click(int row, int col);
    void doubleClick(int row, int col);
    void keyDown(int key, Qt::KeyboardModifiers modifiers, bool& handled);
    void leaveCell(int row, int col, int newRow, int newCol, bool& cancel);
    void colWidthChange(int col);
    void topLeftChange(int oldLeft, int newLeft);

public:
    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

}  // namespace platform
