#pragma once
// The opening-balance screen (caption "期首残高入力"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class InpKisyuZandaka : public platform::Form {
    Q_OBJECT
public:
    explicit InpKisyuZandaka(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
