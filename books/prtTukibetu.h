#pragma once
// The monthly income and expense table (caption "月別収支内訳書"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class prtTukibetu : public platform::Form {
    Q_OBJECT
public:
    explicit prtTukibetu(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
