#pragma once
// The frame shared by the two tax-return statement screens: the title, the
// read-me note, 表示(R) (preview), 印刷(P) (print), もどる(X) (back), the help
// button and the area of the blue-return special deduction: six amount boxes
// (⑥ the real-estate income the user types, ⑦ the income before the
// deduction, ⑧ and ⑨ of the 650,000 yen case and of the other case) and the
// two options choosing the case (the 650,000 yen case when the screen opens).
//
// 表示(R) and 印刷(P) run the screen's build over the whole fiscal year with
// the typed real-estate income and the chosen case, show what the build
// computed in the boxes and, when it succeeded, hand the report to
// PrintAccessReport with mode 0 or 1. The letters R, P and X without Shift,
// Ctrl or Alt press the buttons wherever the focus is.

#include <QString>

#include "platform/form.h"
#include "statements/kesansyo.h"

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
    QRadioButton* opt1 = nullptr;
    QRadioButton* opt2 = nullptr;

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
    virtual bool build(DeductionBoxes& boxes, bool case650000) = 0;

    void print_data(int mode);

private:
    TaxReturnScreenText text_;
};
