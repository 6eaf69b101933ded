#include "statements/prtSonekiKeisan.h"

namespace {

StatementScreenText sonekiTexts() {
    StatementScreenText t;
    t.formName = QStringLiteral("prtSonekiKeisan");
    t.caption = QStringLiteral("損益計算書");
    t.helpFirstLine = QStringLiteral("損益計算書を印字します。");
    t.paperLine = QStringLiteral("サイズはＡ４版(縦)で印刷されます。");
    t.tipHyouji = QStringLiteral("損益計算書を確認します。");
    t.tipInsatu = QStringLiteral("損益計算書を印刷します。");
    t.tipBack = QStringLiteral("前の画面にもどります。");
    t.reportName = QStringLiteral("R_PS");
    return t;
}

}  // namespace

prtSonekiKeisan::prtSonekiKeisan(QWidget* parent) : StatementScreen(sonekiTexts(), parent) {
    setObjectName(QStringLiteral("prtSonekiKeisan"));
}

bool prtSonekiKeisan::build(const StatementMonth& month) {
    return BuildSonekiKeisan(month);
}
