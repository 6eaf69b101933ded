#pragma once
// The frame shared by the two tax-return statement screens: the title, the
// read-me note, 表示(R) (preview), 印刷(P) (print), もどる(X) (back), the help
// button and the area of the blue-return special deduction: six amount boxes
// (⑥ the real-estate income the user types, ⑦ the income before the
// deduction, ⑧ and ⑨ of each case) and the three options choosing the case:
// e-filing or electronic books (chosen when the screen opens), double entry
// filed on paper, or any other return. The captions give the limits of the
// year of the return.
//
// 表示(R) and 印刷(P) run the screen's build over the whole fiscal year with
// the typed real-estate income and the chosen case, show what the build
// computed in the boxes and, when it succeeded, hand the report to
// PrintAccessReport with mode 0 or 1. The letters R, P and X without Shift,
// Ctrl or Alt press the buttons wherever the focus is.

#include <QString>

#include "platform/form.h"
#include "ledger/kesansyo.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace platform {
class ImNumber;
}

// What differs between the two screens.
struct TaxReturnScreenText {
    QString formName;    // written to gstrCallForm ("prtKesanPS")
    QString caption;     // window caption and title label
    QString readMeLead;  // first paragraph of the read-me note
    QString helpFirstLine;
    QString tipHyouji;
    QString tipInsatu;
    QString tipBack;
    QString incomeLabel;  // label of box ⑦
    QString reportName;   // "R_PSKESAN1"
};

class TaxReturnScreen : public platform::Form {
    Q_OBJECT
public:
    ~TaxReturnScreen() override;

    const TaxReturnScreenText& texts() const { return text_; }
    QString helpText() const;

    QLabel* lblTitle = nullptr;
    QLabel* lblReadMe = nullptr;
    QPushButton* cmdHyouji = nullptr;
    QPushButton* cmdInsatu = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdQuestion = nullptr;
    platform::ImNumber* txtKingaku1 = nullptr;
    platform::ImNumber* txtKingaku2 = nullptr;
    platform::ImNumber* txtKingaku3 = nullptr;
    platform::ImNumber* txtKingaku4 = nullptr;
    platform::ImNumber* txtKingaku5 = nullptr;
    platform::ImNumber* txtKingaku6 = nullptr;
    platform::ImNumber* txtKingaku7 = nullptr;  // ⑧ of the paper case
    platform::ImNumber* txtKingaku8 = nullptr;  // ⑨ of the paper case
    QRadioButton* opt1 = nullptr;  // e-filing or electronic books
    QRadioButton* opt2 = nullptr;  // any other return
    QRadioButton* opt3 = nullptr;  // double entry filed on paper

    // The case the options choose.
    DeductionCase chosenCase() const;

public slots:
    void cmdHyouji_Click();
    void cmdInsatu_Click();
    void cmdBack_Click();
    void cmdQuestion_Click();

protected:
    explicit TaxReturnScreen(TaxReturnScreenText text, QWidget* parent = nullptr);

    void Form_Load() override;

    // The statement's build; on success the boxes hold what it computed.
    // False after its message.
    virtual bool build(DeductionBoxes& boxes, DeductionCase which) = 0;

    void print_data(int mode);

private:
    // The captions of the three cases for the limits of a return year.
    void setCaseCaptions(int returnYear);

    TaxReturnScreenText text_;
    QLabel* lblLimit1_ = nullptr;
    QLabel* lblLimit2_ = nullptr;
    QLabel* lblLimit3_ = nullptr;
    QLabel* lblNote1_ = nullptr;
    QLabel* lblNote2_ = nullptr;
    QLabel* lblNote3_ = nullptr;
};
