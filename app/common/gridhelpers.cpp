#include "app/common/gridhelpers.h"

#include <QComboBox>
#include <QWidget>

#include "app/common/values.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/imtext.h"
#include "platform/msgbox.h"

void ClearSpreadBlock(platform::SpreadGrid& grid, int row, int row2, int col, int col2) {
    grid.clearBlock(row, col, row2, col2);
}

void LockSpreadBlock(platform::SpreadGrid& grid, int row, int row2, int col, int col2, bool lock) {
    grid.setBlockLocked(row, col, row2, col2, lock);
}

int DeleteSpreadRow(platform::SpreadGrid& grid, int row) {
    const int rows = grid.maxRows();
    if (row < 1 || row > rows) return platform::vbNo;
    const int answer = platform::MsgBox::show(QStringLiteral("確認"),
                                              QStringLiteral("選択された行を削除してもよろしいですか？"),
                                              platform::MsgIcon::Question, platform::MsgButtons::YesNo);
    if (answer != platform::vbYes) return platform::vbNo;

    const int cols = grid.maxCols();
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    for (int r = row + 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) grid.setValue(r - 1, c, grid.value(r, c));
    }
    grid.clearBlock(rows, 1, rows, cols);
    grid.setRedraw(redraw);
    return platform::vbYes;
}

namespace {

// Controls that belong to another control (cell editors of a grid, the parts of
// a date box) are not the screen's own controls.
bool insideCompositeControl(QWidget* w, QWidget* form) {
    for (QWidget* p = w->parentWidget(); p && p != form; p = p->parentWidget()) {
        if (qobject_cast<platform::SpreadGrid*>(p) || qobject_cast<platform::ImDate*>(p)) return true;
    }
    return false;
}

void resetCombo(QComboBox* combo) {
    if (combo->count() == 0) return;
    const QString first = combo->itemText(0);
    if (Trim(first).isEmpty()) return;
    combo->setCurrentIndex(0);
    if (combo->isEditable()) combo->setEditText(first);
}

}  // namespace

void ClearFormControls(QWidget* form) {
    if (!form) return;
    const QList<QWidget*> controls = form->findChildren<QWidget*>();
    for (QWidget* w : controls) {
        if (w->window() != form->window() || insideCompositeControl(w, form)) continue;
        if (auto* text = qobject_cast<platform::ImText*>(w)) {
            text->setText(QString());
        } else if (auto* number = qobject_cast<platform::ImNumber*>(w)) {
            number->setValue(Currency());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            resetCombo(combo);
        }
    }
}
