#pragma once
// The tax-return balance sheet (caption "確定申告用貸借対照表"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class prtKesanTS : public platform::Form {
    Q_OBJECT
public:
    explicit prtKesanTS(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
