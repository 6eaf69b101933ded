#include "app/InOutMenu.h"

#include <QPushButton>

#include "entry/DailyEntryOpener.h"
#include "app/SetUsePrinter.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "books/prtSiwakeNikki.h"
#include "books/prtSoukanjoHojoMotocho.h"
#include "books/prtSoukanjoMotocho.h"
#include "books/prtTukibetu.h"
#include "ledger/vouchers.h"
#include "platform/msgbox.h"
#include "statements/prtKesanPS.h"
#include "statements/prtKesanTS.h"
#include "statements/prtSezogenka.h"
#include "statements/prtSonekiKeisan.h"
#include "statements/prtTaisyakuTaisyo.h"

InOutMenu::InOutMenu(QWidget* parent)
    : SubMenu(QStringLiteral("InOutMenu"), QStringLiteral("入出力処理"), QStringLiteral("入出力処理"),
              parent) {
    setAutoEditionTitle(QStringLiteral("自動会計ソフト「Pennox」"));
    cmdInpKantan = addMenuButton(QStringLiteral("cmdInpKantan"), QStringLiteral("１）ミルト入力"),
                                 QStringLiteral("日々の入出金データを入力します。"));
    cmdSiwakeNikki = addMenuButton(QStringLiteral("cmdSiwakeNikki"), QStringLiteral("２）仕訳日記帳"),
                                   QStringLiteral("仕訳日記帳を表示します。"));
    cmdSoukanjo = addMenuButton(QStringLiteral("cmdSoukanjo"), QStringLiteral("３）総勘定元帳"),
                                QStringLiteral("総勘定元帳を表示します。"));
    cmdHojo = addMenuButton(QStringLiteral("cmdHojo"), QStringLiteral("４）補助元帳"),
                            QStringLiteral("補助元帳を表示します。"));
    cmdTaisyakuTaisyo = addMenuButton(QStringLiteral("cmdTaisyakuTaisyo"), QStringLiteral("５）貸借対照表"),
                                      QStringLiteral("貸借対照表を表示します。"));
    cmdSonekiKeisan = addMenuButton(QStringLiteral("cmdSonekiKeisan"), QStringLiteral("６）損益計算書"),
                                    QStringLiteral("損益計算書を表示します。"));
    cmdSezogenka = addMenuButton(QStringLiteral("cmdSezogenka"), QStringLiteral("７）製造原価報告書"),
                                 QStringLiteral("製造原価報告書を表示します。"));
    cmdTukibetu = addMenuButton(QStringLiteral("cmdTukibetu"), QStringLiteral("８）月別収支内訳書"),
                                QStringLiteral("月別収支内訳書を表示します。"));
    cmdKesanTS = addMenuButton(QStringLiteral("cmdKesanTS"), QStringLiteral("９）確定申告用貸借対照表"),
                               QStringLiteral("確定申告用貸借対照表を表示します。"));
    cmdKesanPS = addMenuButton(QStringLiteral("cmdKesanPS"), QStringLiteral("10）確定申告用損益計算書"),
                               QStringLiteral("確定申告用損益計算書を表示します。"));
    cmdSetPrinter = addMenuButton(QStringLiteral("cmdSetPrinter"), QStringLiteral("11）プリンター選択"),
                                  QStringLiteral("印刷用のプリンターを選択します。"));

    connect(cmdInpKantan, &QPushButton::clicked, this, &InOutMenu::cmdInpKantan_Click);
    connect(cmdSiwakeNikki, &QPushButton::clicked, this, &InOutMenu::cmdSiwakeNikki_Click);
    connect(cmdSoukanjo, &QPushButton::clicked, this, &InOutMenu::cmdSoukanjo_Click);
    connect(cmdHojo, &QPushButton::clicked, this, &InOutMenu::cmdHojo_Click);
    connect(cmdTaisyakuTaisyo, &QPushButton::clicked, this, &InOutMenu::cmdTaisyakuTaisyo_Click);
    connect(cmdSonekiKeisan, &QPushButton::clicked, this, &InOutMenu::cmdSonekiKeisan_Click);
    connect(cmdSezogenka, &QPushButton::clicked, this, &InOutMenu::cmdSezogenka_Click);
    connect(cmdTukibetu, &QPushButton::clicked, this, &InOutMenu::cmdTukibetu_Click);
    connect(cmdKesanTS, &QPushButton::clicked, this, &InOutMenu::cmdKesanTS_Click);
    connect(cmdKesanPS, &QPushButton::clicked, this, &InOutMenu::cmdKesanPS_Click);
    connect(cmdSetPrinter, &QPushButton::clicked, this, &InOutMenu::cmdSetPrinter_Click);
}

QString InOutMenu::ReadMeText() {
    return QStringLiteral(
        "ミルト入力で、毎日の収支を入力して下さい。\r\n"
        "日記帳等は必要な時に印字してください。");
}

void InOutMenu::Form_Load() {
    centre();
    setLoaded(false);
    // The company row decides which books and statements are offered.
    const auto company =
        gcnKaikei ? gcnKaikei->queryOne(QStringLiteral("SELECT GKBN FROM WK_COMPANY")) : std::nullopt;
    if (!company || company->size() == 0) {
        platform::MsgBox::show(gstrSoftName,
                               QStringLiteral("会社情報マスタのアクセス中にエラーが発生した(Form_Load)。"),
                               platform::MsgIcon::Warning);
        return;
    }
    if (Trim(company->text(0)) == QStringLiteral("1")) {
        cmdTukibetu->setVisible(false);
        cmdKesanTS->setVisible(false);
        cmdKesanPS->setVisible(false);
    }
    loadCommon();
    setReadMe(ReadMeText());
    setLoaded(true);
}

void InOutMenu::cmdInpKantan_Click() {
    const std::optional<VoucherRange> range = GetMinMaxSiwakeDenCode();
    if (!range) return;
    ShowDailyEntry(this, QStringLiteral("InOutMenu"), *range);
}

void InOutMenu::cmdSiwakeNikki_Click() {
    openScreen<prtSiwakeNikki>();
}

void InOutMenu::cmdSoukanjo_Click() {
    openScreen<prtSoukanjoMotocho>();
}

void InOutMenu::cmdHojo_Click() {
    openScreen<prtSoukanjoHojoMotocho>();
}

void InOutMenu::cmdTaisyakuTaisyo_Click() {
    openScreen<prtTaisyakuTaisyo>();
}

void InOutMenu::cmdSonekiKeisan_Click() {
    openScreen<prtSonekiKeisan>();
}

void InOutMenu::cmdSezogenka_Click() {
    openScreen<prtSezogenka>();
}

void InOutMenu::cmdTukibetu_Click() {
    openScreen<prtTukibetu>();
}

void InOutMenu::cmdKesanTS_Click() {
    openScreen<prtKesanTS>();
}

void InOutMenu::cmdKesanPS_Click() {
    openScreen<prtKesanPS>();
}

void InOutMenu::cmdSetPrinter_Click() {
    // The menu stays in view but takes no input until the printer choice closes.
    auto* choice = new SetUsePrinter(this);
    setEnabled(false);
    choice->show();
}
