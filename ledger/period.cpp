#include "ledger/period.h"

#include "app/common/dates.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/rowwriters.h"
#include "platform/msgbox.h"

namespace {

constexpr int kMaxMonths = 12;

void warn(const QString& text) {
    platform::MsgBox::show(gstrSoftName, text, platform::MsgIcon::Warning);
}

bool failDayInput() {
    warn(QStringLiteral("日付入力用データのアクセス中にエラーが発生した(SetDayInputData)。"));
    return false;
}

bool failReset() {
    warn(QStringLiteral("データアクセス中にエラーが発生しました(ResetCompanyData)。"));
    return false;
}

}  // namespace

QString NendoLabel(const QString& gkbn, qint64 nendosu, const QString& kisyu) {
    if (gkbn == QStringLiteral("1")) return QStringLiteral("第 %1 期").arg(nendosu);
    QString era;
    const QString wareki = SeirekiToWareki(kisyu, era, 0);
    return era + wareki.left(2) + QStringLiteral("年度");
}

QString MonthLabel(const QString& ym) {
    if (ym.mid(5, 1) == QStringLiteral("0")) {
        return ym.left(4) + QStringLiteral("年 ") + ym.right(1) + QStringLiteral("月");
    }
    return ym.left(4) + QStringLiteral("年") + ym.right(2) + QStringLiteral("月");
}

bool SetDayInputData(const QString& firstYM, const QString& lastYM) {
    if (!gcnKaikei) return failDayInput();
    platform::Connection& cn = *gcnKaikei;

    const auto first =
        cn.queryOne(QStringLiteral("SELECT INYM FROM T_DAY_INPUT WHERE CID = ? ORDER BY INYM"), {gstrCID});
    if (!first) return failDayInput();
    // A list that starts with the same month is taken as current.
    if (first->size() > 0 && Trim(first->text(0)) == firstYM) return true;

    if (!cn.exec(QStringLiteral("DELETE FROM T_DAY_INPUT WHERE CID = ?"), {gstrCID})) return failDayInput();

    QString month = firstYM;
    for (int i = 0; i < kMaxMonths; ++i) {
        WriterRow v(WriteDayInputTable);
        v.set("CID", gstrCID).set("INYM", month).set("OUTYM", MonthLabel(month));
        // The writer has shown its message; the caller's rollback undoes the rest.
        if (!WriteRow(v, QStringLiteral("T_DAY_INPUT"))) return false;
        const std::optional<QString> next = NextMonth(month);
        if (!next) return failDayInput();
        month = *next;
        if (month > lastYM) break;
    }
    return true;
}

bool ResetCompanyData() {
    if (!gcnKaikei) return failReset();
    platform::Connection& cn = *gcnKaikei;

    if (!cn.exec(QStringLiteral("DELETE FROM WK_COMPANY"))) return failReset();
    if (!cn.exec(QStringLiteral("INSERT INTO WK_COMPANY SELECT * FROM T_COMP_MAIN WHERE CID = ?"),
                 {gstrCID})) {
        return failReset();
    }
    const auto row = cn.queryOne(QStringLiteral("SELECT KISYU, KIMATU, NENDOSU, GKBN FROM WK_COMPANY"));
    if (!row) return failReset();
    if (row->size() == 0) return true;  // no company with that id

    const QString kisyu = row->text(QStringLiteral("KISYU"));
    const QString kimatu = row->text(QStringLiteral("KIMATU"));
    gstrNendo = NendoLabel(row->text(QStringLiteral("GKBN")), row->integer(QStringLiteral("NENDOSU")), kisyu);

    return SetDayInputData(kisyu.left(7), kimatu.left(7)) && SetTukisimeData(kisyu.left(7), kimatu.left(7));
}
