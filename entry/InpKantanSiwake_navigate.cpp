// Moving the daily entry screen to another day: the previous and next day
// buttons and a date typed into the date box. The screen never leaves the
// voucher range it was opened with, and asks before unsaved edits are dropped.

#include <QApplication>
#include <QDate>

#include "app/common/globals.h"
#include "entry/InpKantanSiwake.h"
#include "ledger/vouchers.h"
#include "platform/clock.h"
#include "platform/hourglass.h"
#include "platform/imdate.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"

namespace {

const QString kChangeDayQuestion =
    QStringLiteral("編集中のデータが未登録ですが、日付を変更しても宜しいですか？");
const QString kFuture = QStringLiteral("選択された日付は未来のデータです。入力データが存在しません。\r\n");
const QString kPast = QStringLiteral("選択された日付は過去のデータです。入力データが存在しません。\r\n");

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

QString dateText(const QDate& d) {
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}

QString today() {
    return dateText(platform::Clock::today());
}

}  // namespace

// Loads the day named by the date box. When its grids cannot be filled, the
// screen goes back to the day it showed before (after the failing step's
// message) and the result is false.
bool InpKantanSiwake::load_day_data() {
    if (!check_syori_nen()) return false;
    SiwakeData voucher;
    if (GetSiwakeData(QStringLiteral("DENDAY"), txtSyoriNen->text(), voucher) != 1) {
        warn(QStringLiteral("該当日付の伝票は存在しません。"));
        return false;
    }
    if (voucher.denCode < context_.range.minDenCode || voucher.denCode > context_.range.maxDenCode) {
        warn(
            QStringLiteral("選択された範囲内に入力データが存在しません。\r\n"
                           "一度終了して、再度データ入力を表示して下さい。"));
        return false;
    }
    platform::Hourglass busy;
    const SiwakeData previous = mvoucher;
    const bool previousLoaded = mblnDayLoaded;
    if (show_day(voucher)) return true;

    if (previousLoaded) {
        SiwakeData again;
        if (GetSiwakeData(QStringLiteral("DENCODE"), previous.denCode, again) == 1) show_day(again);
    }
    return false;
}

void InpKantanSiwake::restoreDateBox() {
    txtSyoriNen->setText(mstrDenpyo[2]);
}

void InpKantanSiwake::focusFirstIncome() {
    // A click on another control (a cell of the expense grid, say) names where
    // the user wants to type: it keeps the focus it took.
    QWidget* taken = QApplication::focusWidget();
    if (txtSyoriNen->lostFocusReason() == Qt::MouseFocusReason && taken && taken != txtSyoriNen &&
        isAncestorOf(taken))
        return;
    if (spdSS1->maxRows() > 0) spdSS1->setActiveCell(1, 2);
    spdSS1->setFocus(Qt::OtherFocusReason);
}

void InpKantanSiwake::cmdYokujitu_Click() {
    const std::optional<QDate> shown = txtSyoriNen->date();
    if (!shown) {
        check_syori_nen();
        restoreDateBox();
        return;
    }
    const QDate next = shown->addDays(1);
    if (dateText(next) > today()) {
        warn(kFuture);
        return;
    }
    if (hasUnsavedEdits() && !askDropEdits(kChangeDayQuestion)) return;
    txtSyoriNen->setDate(next);
    if (!load_day_data()) restoreDateBox();
}

void InpKantanSiwake::cmdZenjitu_Click() {
    if (hasUnsavedEdits() && !askDropEdits(kChangeDayQuestion)) return;
    const std::optional<QDate> shown = txtSyoriNen->date();
    if (!shown) {
        check_syori_nen();
        restoreDateBox();
        return;
    }
    const QString previousDay = dateText(shown->addDays(-1));
    txtSyoriNen->setText(previousDay);
    SiwakeData first;
    const int found = GetSiwakeData(QStringLiteral("DENNO"), QStringLiteral("00001"), first);
    if (found < 0) {
        warn(QStringLiteral("仕訳伝票マスタのアクセス中にエラーが発生した(cmdZenjitu_Click)。"));
        restoreDateBox();
        return;
    }
    // Without a first voucher there is no earlier day to go to.
    if (found == 0 || previousDay < first.denDay) {
        warn(kPast);
        restoreDateBox();
        return;
    }
    if (!load_day_data()) restoreDateBox();
}

void InpKantanSiwake::txtSyoriNen_LostFocus() {
    // Only a move of the focus within the screen counts: switching to another
    // window leaves the date box as it is until the user comes back.
    if (mblnSettingDate || !isLoaded() || !isActiveWindow()) return;
    // Message boxes below take the focus; the box must not react to that.
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(mblnSettingDate);

    const QString typed = txtSyoriNen->text();
    if (typed == mstrDenpyo[2]) {
        focusFirstIncome();
        return;
    }
    if (hasUnsavedEdits() && !askDropEdits(kChangeDayQuestion)) {
        restoreDateBox();
        return;
    }
    if (!txtSyoriNen->hasValidDate()) {
        check_syori_nen();
        restoreDateBox();
        return;
    }
    if (typed > today()) {
        warn(kFuture);
        restoreDateBox();
        return;
    }
    SiwakeData first;
    if (GetSiwakeData(QStringLiteral("DENNO"), QStringLiteral("00001"), first) != 1) {
        warn(QStringLiteral("仕訳伝票マスタのアクセス中にエラーが発生した(txtSyoriNen_LostFocus)。"));
        restoreDateBox();
        return;
    }
    if (typed < first.denDay) {
        warn(kPast);
        restoreDateBox();
        return;
    }
    if (!load_day_data()) restoreDateBox();
    focusFirstIncome();
}
