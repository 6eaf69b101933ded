#include "statements/prtKesanTS.h"

namespace {

TaxReturnScreenText kesanTsTexts() {
    TaxReturnScreenText t;
    t.formName = QStringLiteral("prtKesanTS");
    t.caption = QStringLiteral("確定申告用貸借対照表");
    t.readMeLead = QStringLiteral("こちらは個人事業者の方のみを対象にした確定申告用貸借対照表です。");
    t.helpFirstLine = QStringLiteral("貸借対照表を印字します。");
    t.tipHyouji = QStringLiteral("確定申告用貸借対照表を表示します。");
    t.tipInsatu = QStringLiteral("確定申告用貸借対照表を印刷します。");
    t.tipBack = QStringLiteral("前の画面へ戻ります。");
    t.incomeLabel = QStringLiteral(" 青色申告特別控除前の所得金額(1ﾍﾟｰｼﾞの｢損益計算書｣の43欄の金額を記入)");
    t.reportName = QStringLiteral("R_TSKESAN");
    return t;
}

}  // namespace

prtKesanTS::prtKesanTS(QWidget* parent) : TaxReturnScreen(kesanTsTexts(), parent) {
    setObjectName(QStringLiteral("prtKesanTS"));
}

bool prtKesanTS::build(DeductionBoxes& boxes, DeductionCase which) {
    return BuildKesanTS(boxes, which);
}
