#pragma once
// The frame shared by the monthly statement screens: the title, the list of
// the fiscal year's months, 表示(R) (preview), 印刷(P) (print), もどる(X)
// (back) and the help button.
//
// The input/output menu opens a screen with showFrom(menu); closing it makes
// the menu visible again. Its load fills the month list from T_DAY_INPUT up to
// the closing month KIMATU of WK_COMPANY and names the screen in gstrCallForm;
// a load that cannot read them shows
// "日付入力用マスタのアクセス中にエラーが発生した(Form_Load)。" and the screen closes
// itself on activation. 表示(R) and 印刷(P) run the screen's build for the
// chosen month (the closing month when none is chosen) and, when the build
// succeeded, hand the report to PrintAccessReport with mode 0 or 1. The
// letters R, P and X without Shift, Ctrl or Alt press the buttons wherever
// the focus is.

#include <QString>

#include "platform/form.h"
#include "ledger/monthlystatements.h"

class QComboBox;
class QLabel;
class QPushButton;

// What differs between the monthly statement screens.
struct StatementScreenText {
    QString formName;       // the screen's own name ("prtSonekiKeisan"), written to gstrCallForm
    QString caption;        // window caption and title label ("損益計算書")
    QString helpFirstLine;  // first line of the help box
    QString paperLine;      // paper line of the help box
    QString tipHyouji;      // tooltip of 表示(R)
    QString tipInsatu;      // tooltip of 印刷(P)
    QString tipBack;        // tooltip of もどる(X)
    QString reportName;     // the report the build prepares ("R_PS")
};

class StatementScreen : public platform::Form {
    Q_OBJECT
public:
    ~StatementScreen() override;

    const StatementScreenText& texts() const { return text_; }

    // The help box's text: first line, paper line and the month-list sentence,
    // separated by CR LF.
    QString helpText() const;

    QLabel* lblTitle = nullptr;
    QLabel* lblTaisyoNenTuki = nullptr;
    QLabel* lblSetumei = nullptr;
    QComboBox* cmbTaisyoNenTuki = nullptr;
    QPushButton* cmdHyouji = nullptr;
    QPushButton* cmdInsatu = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdQuestion = nullptr;

public slots:
    void cmdHyouji_Click();
    void cmdInsatu_Click();
    void cmdBack_Click();
    void cmdQuestion_Click();

protected:
    explicit StatementScreen(StatementScreenText text, QWidget* parent = nullptr);

    void Form_Load() override;

    // The statement's build for the chosen month; false after its message.
    virtual bool build(const StatementMonth& month) = 0;

    // Resolves the month, runs the build and, when it succeeded, previews
    // (mode 0) or prints (mode 1) the report.
    void print_data(int mode);

private:
    bool fillMonthList();

    StatementScreenText text_;
};
