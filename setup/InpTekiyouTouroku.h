#pragma once
// The description screen (caption "摘要入力"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class InpTekiyouTouroku : public platform::Form {
    Q_OBJECT
public:
    explicit InpTekiyouTouroku(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
