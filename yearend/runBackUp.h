#pragma once
// The backup and restore screen (caption "バックアップ処理"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class runBackUp : public platform::Form {
    Q_OBJECT
public:
    explicit runBackUp(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
