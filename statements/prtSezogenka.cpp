#include "statements/prtSezogenka.h"

#include "ledger/seizogenka.h"

namespace {

StatementScreenText sezogenkaTexts() {
    StatementScreenText t;
    t.formName = QStringLiteral("prtSezogenka");
    t.caption = QStringLiteral("製造原価報告書");
    t.helpFirstLine = QStringLiteral("製造原価報告書を印字します。");
    t.paperLine = QStringLiteral("サイズはＡ４版(縦)で印刷されます。");
    t.tipHyouji = QStringLiteral("製造原価報告書を確認します。");
    t.tipInsatu = QStringLiteral("製造原価報告書を印刷します。");
    t.tipBack = QStringLiteral("前の画面にもどります。");
    t.reportName = QStringLiteral("R_SEIZOGENKA");
    return t;
}

}  // namespace

prtSezogenka::prtSezogenka(QWidget* parent) : StatementScreen(sezogenkaTexts(), parent) {
    setObjectName(QStringLiteral("prtSezogenka"));
}

bool prtSezogenka::build(const StatementMonth& month) {
    return BuildSeizoGenka(month);
}
