#include "statements/prtKesanPS.h"

namespace {

TaxReturnScreenText kesanPsTexts() {
    TaxReturnScreenText t;
    t.formName = QStringLiteral("prtKesanPS");
    t.caption = QStringLiteral("確定申告用損益計算書");
    t.readMeLead = QStringLiteral("こちらは個人事業者の方のみを対象にした確定申告用損益計算書です。");
    t.helpFirstLine = QStringLiteral("損益計算書を印字します。");
    t.tipHyouji = QStringLiteral("確定申告用損益計算書を確認します。");
    t.tipInsatu = QStringLiteral("確定申告用損益計算書を印刷します。");
    t.tipBack = QStringLiteral("前の画面にもどります。");
    t.incomeLabel = QStringLiteral(" 青色申告特別控除前の所得金額");
    t.reportName = QStringLiteral("R_PSKESAN1");
    return t;
}

}  // namespace

prtKesanPS::prtKesanPS(QWidget* parent) : TaxReturnScreen(kesanPsTexts(), parent) {
    setObjectName(QStringLiteral("prtKesanPS"));
}

bool prtKesanPS::build(DeductionBoxes& boxes, DeductionCase which) {
    return BuildKesanPS(boxes, which);
}
