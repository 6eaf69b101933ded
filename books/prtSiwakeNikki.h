#pragma once
// The journal-book screen (caption "仕訳日記帳"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "platform/form.h"

class QLabel;
class QPushButton;

class prtSiwakeNikki : public platform::Form {
    Q_OBJECT
public:
    explicit prtSiwakeNikki(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QPushButton* cmdBack;

protected:
    void Form_Load() override;
};
