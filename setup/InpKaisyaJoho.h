#pragma once
// The company-information screen (caption "会社情報設定"). For now it only
// opens and returns to the screen that opened it; the company form itself
// comes with the company set-up.
//
// With gstrCallForm "MainMenu" it is the registration of a new company
// (title "会社情報新規登録"); with any other value it edits the current
// company gstrCID.

#include "platform/form.h"

class QLabel;
class QPushButton;

class InpKaisyaJoho : public platform::Form {
    Q_OBJECT
public:
    explicit InpKaisyaJoho(QWidget* parent = nullptr);

    QLabel* lblTital;
    QPushButton* cmdEnd;

protected:
    void Form_Load() override;
};
