#pragma once
// The year-end screen runNenjiUpdate ("年次更新"), opened from the save/update
// menu. It shows the loaded period's next first day and, for a company that
// keeps an exchange rate, asks for the next year's opening rate. Its Execute
// button closes the fiscal year (ledger/yearclose.h) after two questions;
// afterwards, whether the update went through or was rolled back, the screen
// reads the stored period again and shows it in its caption, in the
// save/update menu's caption and in gstrNendo. The screen stays open.
//
// The data initialisation and the switches to the previous year and back are
// buttons of this screen too; they are enabled by gblnNowYear (Execute and
// "previous year" while the current year is loaded, "current year" while the
// previous one is).

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

    // Brings the current fiscal year back after the previous year was opened
    // for editing: kisyuMonth and kimatuMonth are the first and last month of
    // the current period ("yyyy/mm"), kimatu its last day ("yyyy/mm/dd").
    // Sets gblnNowYear to true when the current year is back. Until this
    // screen can open the previous year there is nothing to bring back.
    static void reset_now_year_data(const QString& kisyuMonth, const QString& kimatuMonth,
                                    const QString& kimatu);

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
    void cmdBack_Click();
    void cmdQuestion_Click();

protected:
    void Form_Load() override;

private:
    // Reads the stored period and shows it (fields, next first day, fiscal
    // label, captions). Clears the loaded flag when WK_COMPANY is unreadable.
    void form_init();

    QString mstrKisyu;    // first day of the loaded period, "yyyy/mm/dd"
    QString mstrKimatu;   // last day, "yyyy/mm/dd"
    QString mstrKisyuYM;  // first month, "yyyy/mm"
    QString mstrKimatuYM; // last month, "yyyy/mm"
    QString mstrCaption;  // the design caption
};
