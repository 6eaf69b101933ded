#pragma once
// The bank statement import screen runBankDatain ("銀行データ取込処理"),
// opened from the save/update menu in the automatic-accounting edition: the
// bank account the statement posts against (the last one listed unless the
// user chooses), a start button that asks for the statement file and imports
// it (ledger/bankimport.h), and a back button.

#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;

class runBankDatain : public platform::Form {
    Q_OBJECT
public:
    explicit runBankDatain(QWidget* parent = nullptr);

    QLabel* lbl1 = nullptr;
    QLabel* lblReadMe = nullptr;
    QLabel* lbl4 = nullptr;
    QComboBox* cmbBank = nullptr;
    QLabel* lblMessage = nullptr;
    QPushButton* cmdStr = nullptr;
    QPushButton* cmdBack = nullptr;

    // The KOCODE the import posts against (empty while no account is listed).
    const QString& bankAccount() const { return mBankAccount; }

public slots:
    void cmbBank_Click(int index);
    void cmdStr_Click();
    void cmdBack_Click();

protected:
    void Form_Load() override;

private:
    QString mFirstDay;  // KISYU
    QString mLastDay;   // SIINLDAY
    QString mBankAccount;
};
