#pragma once
// Grid and control helpers shared by the screens.
//
// Block arguments are given as the screens give them: first row, last row,
// first column, last column (all from 1).

#include "platform/spreadgrid.h"

class QWidget;

// Empties the text of every cell of the block. Cell types, lists and locks stay;
// the grid keeps its size. No change() is raised.
void ClearSpreadBlock(platform::SpreadGrid& grid, int row, int row2, int col, int col2);

// Locks (lock true) or unlocks every cell of the block.
void LockSpreadBlock(platform::SpreadGrid& grid, int row, int row2, int col, int col2, bool lock);

// Asks "選択された行を削除してもよろしいですか？" (title "確認", Yes/No, question
// icon). On Yes the texts of every row below `row` move up by one and the last
// row's texts are emptied; the grid keeps its number of rows (the caller
// shrinks it) and every cell keeps its type, list, lock and colour. Returns the
// answer: 6 (Yes) or 7 (No). A row outside 1..maxRows() asks nothing, changes
// nothing and returns 7.
int DeleteSpreadRow(platform::SpreadGrid& grid, int row);

// Resets the input controls of a screen (all its descendants, frames included):
// ImText boxes are emptied, ImNumber boxes set to 0, and a combo box shows its
// first entry when that entry, trimmed of half-width blanks, is not empty.
// Date boxes, option buttons, check boxes, labels, buttons and grids (with any
// cell editor open in them) stay as they are. No change() is raised.
void ClearFormControls(QWidget* form);
