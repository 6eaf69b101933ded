#pragma once
// The year-end screen runNenjiUpdate ("年次更新"), opened from the save/update
// menu. It shows the loaded period's next first day and, for a company that
// keeps an exchange rate, asks for the next year's opening rate. Its Execute
// button closes the fiscal year (ledger/yearclose.h) after two questions;
// afterwards, whether the update went through or was rolled back, the screen
// reads the stored period again and shows it in its caption, in the
// save/update menu's caption and in gstrNendo. The screen stays open.
//
// The data initialisation and the switches to the previous year and back
// (ledger/previousyear.h) are buttons of this screen too; they are enabled by
// gblnNowYear (Execute and "previous year" while the current year is loaded,
// "current year" while the previous one is). After a switch, or a failed one,
// the screen shows the period that is loaded.

#include "platform/form.h"

class QLabel;
class QPushButton;

namespace platform {
class ImNumber;
}

class runNenjiUpdate : public platform::Form {
    Q_OBJECT
public:
    explicit runNenjiUpdate(QWidget* parent = nullptr);

    // The instructions: the backup reminder, and the rate line when asked.
    static QString ReadMeText(bool asksRate);

    QLabel* Label1 = nullptr;
    QLabel* lblReadMe = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* lblKisyubi = nullptr;
    QLabel* lblRate = nullptr;
    platform::ImNumber* txtRate = nullptr;
    QLabel* lblMessage = nullptr;
    QPushButton* cmdJikkou = nullptr;
    QPushButton* cmdSyokika = nullptr;
    QPushButton* cmdPerYear = nullptr;
    QPushButton* cmdNowYear = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdQuestion = nullptr;

public slots:
    void cmdJikkou_Click();
    void cmdSyokika_Click();
    void cmdPerYear_Click();
    void cmdNowYear_Click();
    void cmdBack_Click();
    void cmdQuestion_Click();

protected:
    void Form_Load() override;

private:
    // Reads the stored period and shows it (fields, next first day, fiscal
    // label, captions). Clears the loaded flag when WK_COMPANY is unreadable.
    void form_init();
    // Execute and "previous year" enabled while the current year is loaded,
    // "current year" while the previous one is; the focus on cmdBack.
    void setYearButtons();

    QString mstrKisyu;    // first day of the loaded period, "yyyy/mm/dd"
    QString mstrKimatu;   // last day, "yyyy/mm/dd"
    QString mstrKisyuYM;  // first month, "yyyy/mm"
    QString mstrKimatuYM; // last month, "yyyy/mm"
    QString mstrCaption;  // the design caption
};
