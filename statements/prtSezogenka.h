#pragma once
// The manufacturing cost report (caption "製造原価報告書"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class prtSezogenka : public platform::Form {
    Q_OBJECT
public:
    explicit prtSezogenka(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
