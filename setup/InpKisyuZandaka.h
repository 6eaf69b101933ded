#pragma once
// The opening-balance screen (caption "期首残高入力"): the current company's
// balance of each balance-sheet posting account on the first day of the
// fiscal period, one grid row per account.
//
// Each amount typed is stored at once in both charts (ledger/openingbalances.h)
// and the totals are read back; a failed save puts the stored amount back into
// the cell. "期首残高 クリア(L)" sets every opening balance to 0 unless the
// company has sub-accounts. Leaving ("もどる(X)", the key X, the close box) is
// refused while debit and credit differ, while a company that keeps a rate has
// none and a balance is not 0, or while an account disagrees with its
// sub-accounts; otherwise, after a change, the cash opening balance is carried
// into the day vouchers and the opening month marked for the summation, and
// the rate is written, all in one transaction.

#include <QString>
#include <vector>

#include "platform/currency.h"
#include "platform/form.h"

class QLabel;
class QPushButton;

namespace platform {
class ImNumber;
class SpreadGrid;
}  // namespace platform

class InpKisyuZandaka : public platform::Form {
    Q_OBJECT
public:
    explicit InpKisyuZandaka(QWidget* parent = nullptr);
    ~InpKisyuZandaka() override;

    // The guidance text, lines separated by CR LF.
    static QString ReadMeText();

    // Grid columns.
    enum Column { colKmcode = 1, colKanname = 2, colKisyuzan = 3, colKocode = 4, colTaikbn = 5 };

    QLabel* Label1 = nullptr;
    platform::SpreadGrid* spdSS = nullptr;
    QLabel* lblKarikei = nullptr;
    platform::ImNumber* txtKarikei = nullptr;
    QLabel* lblKasikei = nullptr;
    platform::ImNumber* txtKasikei = nullptr;
    QLabel* lblTaisyakuSai = nullptr;
    platform::ImNumber* txtTaisyakuSai = nullptr;
    QLabel* lblRate = nullptr;
    platform::ImNumber* txtRate = nullptr;
    QLabel* lblReadMe = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdBack = nullptr;

    // Whether an amount changed (or the balances were cleared) since the load.
    bool isChanged() const { return mChanged; }

public slots:
    void cmdClear_Click();
    void cmdBack_Click();
    void spdSS_Change(int row, int col);

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    // The checks and the stores of leaving; true when the screen may close.
    bool unload_form();
    // Reads both totals back into the three boxes; false after its message.
    bool showTotals();

    QString mKisyu;                // the fiscal start
    bool mChanged = false;
    std::vector<Currency> mStored;  // the stored amount of each grid row
};
