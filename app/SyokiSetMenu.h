#pragma once
// The settings menu (caption "初期設定"): the company, its opening balances,
// the chart of accounts, the batch-journal patterns and the descriptions.

#include "app/SubMenu.h"

class SyokiSetMenu : public SubMenu {
    Q_OBJECT
public:
    explicit SyokiSetMenu(QWidget* parent = nullptr);

    // The guidance text, lines separated by CR LF.
    static QString ReadMeText();

    // True once the menu has been closed (it is deleted soon after).
    bool isClosed() const { return mClosed; }

    QPushButton* cmdKaisyaJoho;
    QPushButton* cmdKisyuZandaka;
    QPushButton* cmdKanjyoKamoku;
    QPushButton* cmdSiwake;
    QPushButton* cmdTekiyou;

public slots:
    void cmdKaisyaJoho_Click();
    void cmdKisyuZandaka_Click();
    void cmdKanjyoKamoku_Click();
    void cmdSiwake_Click();
    void cmdTekiyou_Click();

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    bool mClosed = false;
};
