#pragma once
// The input/output menu (caption "入出力処理"): the daily entry, the books, the
// statements and the printer choice. The monthly income and expense table and
// the two tax-return statements are offered to sole proprietors only: for a
// corporation (GKBN "1") their buttons are hidden.
//
// A load that cannot read the company shows
// "会社情報マスタのアクセス中にエラーが発生した(Form_Load)。" and the menu closes
// itself at its first activation (the main menu is visible again).
//
// The printer choice leaves the menu visible but disabled until it closes.

#include "app/SubMenu.h"

class InOutMenu : public SubMenu {
    Q_OBJECT
public:
    explicit InOutMenu(QWidget* parent = nullptr);

    static QString ReadMeText();

    QPushButton* cmdInpKantan;
    QPushButton* cmdSiwakeNikki;
    QPushButton* cmdSoukanjo;
    QPushButton* cmdHojo;
    QPushButton* cmdTaisyakuTaisyo;
    QPushButton* cmdSonekiKeisan;
    QPushButton* cmdSezogenka;
    QPushButton* cmdTukibetu;
    QPushButton* cmdKesanTS;
    QPushButton* cmdKesanPS;
    QPushButton* cmdSetPrinter;

public slots:
    void cmdInpKantan_Click();
    void cmdSiwakeNikki_Click();
    void cmdSoukanjo_Click();
    void cmdHojo_Click();
    void cmdTaisyakuTaisyo_Click();
    void cmdSonekiKeisan_Click();
    void cmdSezogenka_Click();
    void cmdTukibetu_Click();
    void cmdKesanTS_Click();
    void cmdKesanPS_Click();
    void cmdSetPrinter_Click();

protected:
    void Form_Load() override;
};
