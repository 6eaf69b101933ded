#pragma once
// Shared set-up of the daily entry tests: the household book (entrybook.h),
// helpers that open the screen the way its openers do, and helpers that work
// its grids as a user.

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <memory>

#include "entrybook.h"
#include "app/common/companylist.h"
#include "app/common/globals.h"
#include "entry/InpKantanSiwake.h"
#include "ledger/company.h"
#include "ledger/vouchers.h"
#include "platform/connection.h"
#include "platform/spreadgrid.h"
#include "support/testenv.h"

namespace entrytest {

// Opens the daily entry as its opener does: the menus set the range to all
// vouchers first; the book screens hand over their own range.
inline QPointer<InpKantanSiwake> openEntry(QWidget* opener, const QString& caller,
                                           const QString& minCode = QString(),
                                           const QString& maxCode = QString()) {
    gstrCallForm = caller;
    DailyEntryContext context{caller, false, VoucherRange{minCode, maxCode}};
    if (caller == QLatin1String("MainMenu") || caller == QLatin1String("InOutMenu")) {
        context.fromMenu = true;
        context.range = GetMinMaxSiwakeDenCode().value_or(VoucherRange{});
    }
    QPointer<InpKantanSiwake> screen = new InpKantanSiwake(context);
    screen->showFrom(opener);
    QApplication::processEvents();  // the queued activation
    if (screen && screen->isVisible()) {
        screen->activateWindow();
        (void)QTest::qWaitForWindowActive(screen);
    }
    return screen;
}

// Closes the screen without being asked anything (tests that leave edits).
inline void closeQuietly(QPointer<InpKantanSiwake>& screen) {
    if (!screen) return;
    screen->setLoaded(false);
    screen->close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QWidget* focus() {
    return QApplication::focusWidget();
}

// Gives the grid the focus and puts the cursor on a cell (in this order: the
// date box losing the focus puts the cursor on the first income amount).
inline void startAt(platform::SpreadGrid* grid, int row, int col) {
    grid->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    if (!grid->view()->hasFocus()) {
        grid->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
    }
    grid->setActiveCell(row, col);
}

// Types ASCII text into a cell and commits it with Tab.
inline void typeInto(platform::SpreadGrid* grid, int row, int col, const QString& text) {
    startAt(grid, row, col);
    for (QChar c : text) QTest::keyClick(focus(), c.toLatin1());
    QTest::keyClick(focus(), Qt::Key_Tab);
}

// Commits Japanese text into a cell through the input method, then Tab.
inline void typeJapanese(platform::SpreadGrid* grid, int row, int col, const QString& text) {
    startAt(grid, row, col);
    QInputMethodEvent e(QString(), {});
    e.setCommitString(text);
    QApplication::sendEvent(focus(), &e);
    QTest::keyClick(focus(), Qt::Key_Tab);
}

// Chooses an item of a combo cell as the user does from its list: the
// cell's editor opens with its list shown, and the item is chosen there.
inline bool chooseItem(platform::SpreadGrid* grid, int row, int col, const QString& item) {
    startAt(grid, row, col);
    grid->view()->edit(grid->view()->model()->index(row - 1, col - 1));
    QApplication::processEvents();
    QComboBox* combo = nullptr;
    for (QComboBox* c : grid->view()->viewport()->findChildren<QComboBox*>()) {
        if (c->isVisible()) combo = c;
    }
    if (!combo) return false;
    const int index = combo->findText(item);
    combo->hidePopup();
    if (index < 0) {
        grid->window()->activateWindow();
        (void)QTest::qWaitForWindowActive(grid->window());
        return false;
    }
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    QApplication::processEvents();
    // The list took the activation; the screen gets it back.
    grid->window()->activateWindow();
    (void)QTest::qWaitForWindowActive(grid->window());
    return !grid->isEditing() && grid->text(row, col) == item;
}

// The row of a grid whose column holds text, 0 when none.
inline int rowOf(const platform::SpreadGrid* grid, int col, const QString& text) {
    for (int r = 1; r <= grid->maxRows(); ++r) {
        if (grid->text(r, col) == text) return r;
    }
    return 0;
}

}  // namespace entrytest
