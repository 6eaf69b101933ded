#pragma once
// The ledger line viewer (caption "総勘定元帳表示"; "総勘定補助元帳表示" for the
// subsidiary ledger): the lines of the last ledger build, without its
// brought-forward rows, in a read-only grid, and 修 正 (E), which opens the
// chosen line's day in the daily entry and comes back here when the daily
// entry closes. もどる (X) returns to the ledger screen that opened it.
//
// The viewer builds nothing: it lists T_SKANMT_OUT (T_SKANSUBMT_OUT for the
// subsidiary ledger) as it finds them at its load. On its return from the
// daily entry it shows the same lines as before.

#include <QString>

#include "platform/form.h"

class QLabel;
class QPushButton;

namespace platform {
class SpreadGrid;
}

// What the opening ledger screen hands the viewer.
struct LedgerViewerContext {
    bool subsidiary = false;
    QString callForm;   // the ledger screen's name, put back into gstrCallForm on every activation
    QString account;    // the chosen first account as its list shows it
    QString fromMonth;  // month labels of the range
    QString toMonth;
};

class InpSoukanjoMotchoH : public platform::Form {
    Q_OBJECT
public:
    explicit InpSoukanjoMotchoH(LedgerViewerContext context, QWidget* parent = nullptr);
    ~InpSoukanjoMotchoH() override;

    static constexpr int kDesignRows = 18;

    QLabel* lbltitle = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblKikan = nullptr;
    QLabel* lblKoumoku = nullptr;
    platform::SpreadGrid* spdSS = nullptr;
    QPushButton* cmdSyusei = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdQuestion = nullptr;

public slots:
    void cmdSyusei_Click();
    void cmdBack_Click();
    void cmdQuestion_Click();

protected:
    void Form_Load() override;
    void Form_Activate() override;

private:
    void spdSS_LeaveCell(int row, int col, int newRow, int newCol, bool& cancel);

    LedgerViewerContext context_;
};
