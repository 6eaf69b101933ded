#pragma once
// The batch-journal pattern screen (caption "一括仕訳台帳入力"): registers,
// corrects and deletes the current company's patterns (a named pair of a
// debit and a credit account with a description) in their editing copy and
// writes the copy back when it closes (ledger/patternbook.h). The account and
// description lists complete what is typed (TypeAhead). "表 示" previews and
// "印 刷" prints the list R_SIWAKE from the editing copy. Entering the credit
// combo checks the debit account, entering the description box or list checks
// both accounts and the pair, so a wrong pair is caught before the description
// is typed; "登 録" runs all checks again.

#include "ledger/patternbook.h"
#include "platform/form.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace platform {
class ImText;
}

class InpIkkatuSiwake : public platform::Form {
    Q_OBJECT
public:
    explicit InpIkkatuSiwake(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QRadioButton* optTouroku = nullptr;
    QRadioButton* optTeisei = nullptr;
    QRadioButton* optDelete = nullptr;
    platform::ImText* txtIkkatuSiwake = nullptr;
    QComboBox* cmbKarikata = nullptr;
    QComboBox* cmbKasikata = nullptr;
    platform::ImText* txtTekiyou = nullptr;
    QComboBox* cmbTekiyou = nullptr;
    QPushButton* cmdHyouji = nullptr;
    QPushButton* cmdTouroku = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdInsatu = nullptr;
    QPushButton* cmdBack = nullptr;
    QLabel* lblReadMe1 = nullptr;
    QLabel* lblReadMe2 = nullptr;

    EditMode mode() const;

public slots:
    void cmdTouroku_Click();
    void cmdHyouji_Click();
    void cmdInsatu_Click();
    void msClearForm();

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

private:
    void typed(QComboBox* box, TypeAhead& ahead, const QString& text);
    void msShowSub();
    bool mfKarikataChk();
    bool mfKasikataChk();
    bool accountChk(QComboBox* box, const QString& emptyMessage);
    bool mfCreSubChk();
    bool mfInputChk();
    void entered(QWidget* field);

    QStringList mAccounts;
    QStringList mDescriptions;
    TypeAhead mDebit, mCredit, mDescription;
};
