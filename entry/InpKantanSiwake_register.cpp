// Registration and deletion of the day shown, with the checks before them.

#include "app/common/globals.h"
#include "app/common/values.h"
#include "entry/InpKantanSiwake.h"
#include "ledger/dayregistration.h"
#include "platform/hourglass.h"
#include "ledger/vouchers.h"
#include "platform/imdate.h"
#include "platform/imnumber.h"
#include "platform/msgbox.h"
#include "platform/spreadgrid.h"

namespace {

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

// The rate as typed: the double whose shortest text is the box's decimal text
// (110.1234 stays 110.1234, never its single-precision neighbour).
double rateValue(Currency rate) {
    return rate.toText().toDouble();
}

}  // namespace

// The date box: filled, a date, and within the input range KISYU..SIINLDAY.
bool InpKantanSiwake::check_syori_nen() {
    if (txtSyoriNen->isEmpty()) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("処理年月日を入力して下さい。"));
        return false;
    }
    if (!txtSyoriNen->hasValidDate()) {
        warn(QStringLiteral("処理年月日を正しく入力して下さい。"));
        return false;
    }
    const QString day = txtSyoriNen->text();
    if (day < mstrCompany[0] || day > mstrCompany[2]) {
        warn(QStringLiteral("処理年月日が伝票日付の入力範囲を超えています。"));
        return false;
    }
    return true;
}

// The day to register or delete is the one completely loaded and named by
// the date box.
bool InpKantanSiwake::checkShownDay() {
    if (!mblnDayLoaded) {
        warn(QStringLiteral("この日のデータを正しく読み込めなかったため、登録・削除はできません。"));
        return false;
    }
    if (txtSyoriNen->text() != mstrDenpyo[2]) {
        warn(QStringLiteral("処理年月日が表示中の伝票の日付と異なります。日付を確認して下さい。"));
        return false;
    }
    return true;
}

bool InpKantanSiwake::check_siwake_meisai_data3() {
    const QString message = CheckFreeLines(freeLines());
    if (message.isEmpty()) return true;
    warn(message);
    return false;
}

void InpKantanSiwake::cmdTouroku_Click() {
    if (!check_syori_nen()) {
        txtSyoriNen->setFocus();
        return;
    }
    if (!checkShownDay()) return;
    if (mblnRateShown && txtRate->valueOrZero().isZero()) {
        warn(QStringLiteral("為替レートが入力されていません。"));
        txtRate->setFocus();
        return;
    }
    if (!check_siwake_meisai_data3()) return;

    gokei_keisan();
    DayRegistration day;
    day.denCode = mstrDenpyo[0];
    day.day = mstrDenpyo[2];
    day.income = gridLines(spdSS1);
    day.expense = gridLines(spdSS2);
    day.freeLines = freeLines();
    day.closingBalance = txtHonjituZandaka->valueOrZero();
    // A hidden rate box writes the stored rate back unchanged.
    day.rate = mblnRateShown ? rateValue(txtRate->valueOrZero()) : mvoucher.rate;
    bool registered = false;
    {
        platform::Hourglass busy;
        registered = RegisterDay(day);
    }
    if (!registered) return;

    mvoucher.dayZan = day.closingBalance;
    mvoucher.rate = day.rate;
    warn(QStringLiteral("データが正しく登録されました。"));
    txtSyoriNen->setFocus();
    mblnChange = false;
    take_load_snapshot();
}

void InpKantanSiwake::cmdDelete_Click() {
    if (!checkShownDay()) return;
    const std::optional<bool> hasLines = DayHasLines(mstrDenpyo[0]);
    if (!hasLines) return;
    if (!*hasLines) {
        warn(QStringLiteral("この伝票は存在しません"));
        return;
    }
    const QString question = QStringLiteral(
        "「OK」 ボタンを押すと、この日のデータが全て消えてしまいます！\r\n"
        "仕訳データを消すには、該当仕訳の一番左の 「D」 を押して下さい。\r\n\r\n"
        "この日のデータを削除しますか？");
    if (platform::MsgBox::show(gstrSoftName, question, platform::MsgIcon::Question,
                               platform::MsgButtons::OkCancel, 2) != platform::vbOK) {
        return;
    }
    bool deleted = false;
    {
        platform::Hourglass busy;
        deleted = DeleteDay(mstrDenpyo[0], mstrDenpyo[2], mvoucher.yDayZan);
    }
    // The screen shows what the database holds now, deleted or not.
    SiwakeData voucher;
    if (GetSiwakeData(QStringLiteral("DENCODE"), mstrDenpyo[0], voucher) == 1) {
        txtSyoriNen->setText(voucher.denDay);
        show_day(voucher);
    } else {
        mblnDayLoaded = false;
        warn(QStringLiteral("該当日付の伝票は存在しません。"));
    }
    if (deleted) mblnChange = false;
}
