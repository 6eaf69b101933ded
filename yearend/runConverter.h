#pragma once
// The conversion screen for the Chinese-language edition (caption "データコンバーター処理"). For now it only
// opens and returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class runConverter : public platform::Form {
    Q_OBJECT
public:
    explicit runConverter(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
