#include "statements/prtTaisyakuTaisyo.h"

namespace {

StatementScreenText taisyakuTexts() {
    StatementScreenText t;
    t.formName = QStringLiteral("prtTaisyakuTaisyo");
    t.caption = QStringLiteral("貸借対照表");
    t.helpFirstLine = QStringLiteral("貸借対照表を印字します。");
    t.paperLine = QStringLiteral("サイズはＡ４版(縦)で印刷されます。");
    t.tipHyouji = QStringLiteral("貸借対照表を表示します。");
    t.tipInsatu = QStringLiteral("貸借対照表を印刷します。");
    t.tipBack = QStringLiteral("前の画面へ戻ります。");
    t.reportName = QStringLiteral("R_TS");
    return t;
}

}  // namespace

prtTaisyakuTaisyo::prtTaisyakuTaisyo(QWidget* parent) : StatementScreen(taisyakuTexts(), parent) {
    setObjectName(QStringLiteral("prtTaisyakuTaisyo"));
}

bool prtTaisyakuTaisyo::build(const StatementMonth& month) {
    return BuildTaisyakuTaisyo(month);
}
