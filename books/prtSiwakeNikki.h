#pragma once
// The journal book screen (caption "仕訳日記帳"): the user chooses a range of day
// vouchers in two lists of their dates and previews (表示(R)) or prints
// (印刷(P)) the journal book of that range, or opens the range in the daily
// entry to correct it (修正(E)); もどる(X) closes the screen and the menu that
// opened it is visible again.
//
// The lists hold the current company's day vouchers up to the closing day, in
// date order; an entry shows the date and keeps the voucher number. Nothing is
// chosen at first: an unchosen start is the first voucher, an unchosen end the
// last one, and the entry used is shown as chosen from then on. Without any
// voucher every action shows "仕訳伝票が存在しません". The daily entry opened by
// 修正(E) returns here; the lists are not reloaded.

#include "ledger/journalbook.h"
#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;

class prtSiwakeNikki : public platform::Form {
    Q_OBJECT
public:
    explicit prtSiwakeNikki(QWidget* parent = nullptr);
    ~prtSiwakeNikki() override;

    // The help box's text.
    static QString helpText();

    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* cmbTaisyoHizuke1 = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* cmbTaisyoHizuke2 = nullptr;
    QPushButton* cmdHyouji = nullptr;
    QPushButton* cmdInsatu = nullptr;
    QPushButton* cmdSyusei = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdQuestion = nullptr;

public slots:
    void cmdHyouji_Click();
    void cmdInsatu_Click();
    void cmdSyusei_Click();
    void cmdBack_Click();
    void cmdQuestion_Click();

protected:
    void Form_Load() override;

private:
    // The chosen range after the range check, or false after its message.
    bool InputCheck(JournalRange& range);
    void PrintShiwakeDen(int mode);
};
