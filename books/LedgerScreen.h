#pragma once
// The frame shared by the general ledger screen (prtSoukanjoMotocho) and the
// subsidiary ledger screen (prtSoukanjoHojoMotocho): a range of months and a
// range of accounts, 表示(R) (preview), 印刷(P) (print), データ表示(D) (the
// ledger line viewer for the first chosen account), もどる(X) and two help
// buttons.
//
// The input/output menu opens a screen with showFrom(menu); closing it makes
// the menu visible again. The load names the screen in gstrCallForm and fills
// the month lists (the fiscal year's months up to its closing month) and the
// account lists (ledger/ledgerbooks.h). An empty choice becomes the first
// (from-lists) or last (to-lists) entry when a button is pressed. The letter
// D opens the viewer even while データ表示(D) is still disabled; it is enabled
// once a preview or print reached the report.

#include <QString>

#include "ledger/ledgerbooks.h"
#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;

struct LedgerScreenText {
    QString formName;    // "prtSoukanjoMotocho", written to gstrCallForm
    QString caption;     // window caption and title label
    QString reportName;  // "R_KANJYOMOTOTYO"
    bool subsidiary = false;
};

class LedgerScreen : public platform::Form {
    Q_OBJECT
public:
    ~LedgerScreen() override;

    const LedgerScreenText& texts() const { return text_; }

    // The range check run before every build; false after its warning.
    bool check_range();

    // The range the lists show now (after check_range).
    LedgerRange range() const;

    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* cmbTaisyoNenTuki1 = nullptr;
    QComboBox* cmbTaisyoNenTuki2 = nullptr;
    QComboBox* cmbTaisyoKamoku1 = nullptr;
    QComboBox* cmbTaisyoKamoku2 = nullptr;
    QPushButton* cmdHyouji = nullptr;
    QPushButton* cmdInsatu = nullptr;
    QPushButton* cmdDataHyoji = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdQuestion = nullptr;
    QPushButton* Command1 = nullptr;

public slots:
    void cmdHyouji_Click();
    void cmdInsatu_Click();
    void cmdDataHyoji_Click();
    void cmdBack_Click();
    void cmdQuestion_Click();
    void Command1_Click();

protected:
    explicit LedgerScreen(LedgerScreenText text, QWidget* parent = nullptr);

    void Form_Load() override;

    // Builds the ledger's work tables for the range; false after a message.
    bool build(const LedgerRange& range);
    // Previews (mode 0) or prints (mode 1) the range.
    void print_data(int mode);

private:
    LedgerScreenText text_;
    bool mblnDataHyoji = false;
};
