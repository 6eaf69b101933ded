#pragma once
// The subsidiary-ledger screen (caption "総勘定補助元帳"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class prtSoukanjoHojoMotocho : public platform::Form {
    Q_OBJECT
public:
    explicit prtSoukanjoHojoMotocho(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
