#pragma once
// The subsidiary ledger screen (caption "総勘定補助元帳"): previews or prints
// the report R_HOJOMOTOTYO for a range of months and accounts, or shows the
// ledger line viewer on the subsidiary lines of the first chosen account
// (books/LedgerScreen.h). Both of its buttons rebuild the general ledger
// and then the subsidiary ledger.

#include "books/LedgerScreen.h"

class prtSoukanjoHojoMotocho : public LedgerScreen {
    Q_OBJECT
public:
    explicit prtSoukanjoHojoMotocho(QWidget* parent = nullptr);
};
