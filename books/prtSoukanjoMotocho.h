#pragma once
// The general-ledger screen (caption "総勘定元帳"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class prtSoukanjoMotocho : public platform::Form {
    Q_OBJECT
public:
    explicit prtSoukanjoMotocho(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
