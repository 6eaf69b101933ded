#pragma once
// The batch-journal pattern screen (caption "一括仕訳台帳入力"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class InpIkkatuSiwake : public platform::Form {
    Q_OBJECT
public:
    explicit InpIkkatuSiwake(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
