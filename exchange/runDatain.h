#pragma once
// The journal import screen (caption "仕訳データ取込処理"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class runDatain : public platform::Form {
    Q_OBJECT
public:
    explicit runDatain(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
