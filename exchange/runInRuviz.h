#pragma once
// The payroll import screen runInRuviz ("【Ralvek給与】データ取込処理"): the
// payroll company, the pay month, salary or bonus, bank transfer (with the
// bank account) or cash, and the pay date; Start sums the chosen pay lines of
// the payroll product's database and posts them into the day voucher of the
// pay date (ledger/payrollimport.h). The screen stays open after an import.

#include "ledger/payrollimport.h"
#include "platform/form.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace platform {
class ImDate;
}

class runInRuviz : public platform::Form {
    Q_OBJECT
public:
    explicit runInRuviz(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* lblReadMe = nullptr;
    QComboBox* cmbKaikeiData = nullptr;
    QComboBox* cmbTaisyoNenTuki = nullptr;
    QGroupBox* Frame5 = nullptr;
    QRadioButton* optRuviz = nullptr;
    QRadioButton* optSyoyo = nullptr;
    QGroupBox* Frame4 = nullptr;
    QRadioButton* optGinko = nullptr;
    QComboBox* cmbBank = nullptr;
    QRadioButton* optGenkin = nullptr;
    platform::ImDate* txtSiharaiDay = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdBack = nullptr;

public slots:
    void cmdStart_Click();
    void cmdBack_Click();
    void cmbTaisyoNenTuki_Click();

protected:
    void Form_Load() override;

private:
    bool check_ruviz_input();
    bool fillPayrollCompanies();
    void failImport(const QString& step);

    QString rangeStart_;
    QString rangeEnd_;
    QString kisyu_;
};
