#include "app/SyokiSetMenu.h"

#include <QPushButton>

#include "app/common/globals.h"
#include "setup/InpIkkatuSiwake.h"
#include "setup/InpKaisyaJoho.h"
#include "setup/InpKisyuZandaka.h"
#include "setup/InpTekiyouTouroku.h"
#include "setup/prtKanjoKamokuSet.h"

SyokiSetMenu::SyokiSetMenu(QWidget* parent)
    : SubMenu(QStringLiteral("SyokiSetMenu"), QStringLiteral("初期設定"), QStringLiteral("初期設定"),
              parent) {
    cmdKaisyaJoho = addMenuButton(QStringLiteral("cmdKaisyaJoho"), QStringLiteral("１) 会社情報設定"),
                                  QStringLiteral("会社情報の設定を行います。"));
    cmdKisyuZandaka = addMenuButton(QStringLiteral("cmdKisyuZandaka"), QStringLiteral("２) 期首残高登録"),
                                    QStringLiteral("期首残高の登録を行います。"));
    cmdKanjyoKamoku = addMenuButton(QStringLiteral("cmdKanjyoKamoku"), QStringLiteral("３）勘定科目設定"),
                                    QStringLiteral("補助科目の設定を行います。"));
    cmdSiwake = addMenuButton(QStringLiteral("cmdSiwake"), QStringLiteral("４）一括仕訳登録"),
                              QStringLiteral("一括仕訳項目の登録を行います。"));
    cmdTekiyou = addMenuButton(QStringLiteral("cmdTekiyou"), QStringLiteral("５）摘要登録"),
                               QStringLiteral("摘要項目の登録を行います。"));

    connect(cmdKaisyaJoho, &QPushButton::clicked, this, &SyokiSetMenu::cmdKaisyaJoho_Click);
    connect(cmdKisyuZandaka, &QPushButton::clicked, this, &SyokiSetMenu::cmdKisyuZandaka_Click);
    connect(cmdKanjyoKamoku, &QPushButton::clicked, this, &SyokiSetMenu::cmdKanjyoKamoku_Click);
    connect(cmdSiwake, &QPushButton::clicked, this, &SyokiSetMenu::cmdSiwake_Click);
    connect(cmdTekiyou, &QPushButton::clicked, this, &SyokiSetMenu::cmdTekiyou_Click);
}

QString SyokiSetMenu::ReadMeText() {
    return QStringLiteral(
        "最初は会社情報を設定してください。\r\n"
        "１）から順に５）へと進んでください。但し、１）の設定を行えば「ミルト入力」処理へと進めます。"
        "期首残高が無い場合は入力は不要です。\r\n"
        "補助項目・一括仕訳・摘要の登録は何時でも出来ます。");
}

void SyokiSetMenu::Form_Load() {
    loadCommon();
    setReadMe(ReadMeText());
    setLoaded(true);
}

void SyokiSetMenu::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    mClosed = true;
}

void SyokiSetMenu::cmdKaisyaJoho_Click() {
    // Edits the current company and returns here.
    gstrCallForm = QStringLiteral("SyokiSetMenu");
    openScreen<InpKaisyaJoho>();
}

void SyokiSetMenu::cmdKisyuZandaka_Click() {
    openScreen<InpKisyuZandaka>();
}

void SyokiSetMenu::cmdKanjyoKamoku_Click() {
    openScreen<prtKanjoKamokuSet>();
}

void SyokiSetMenu::cmdSiwake_Click() {
    openScreen<InpIkkatuSiwake>();
}

void SyokiSetMenu::cmdTekiyou_Click() {
    openScreen<InpTekiyouTouroku>();
}
