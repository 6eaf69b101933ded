#pragma once
// The general ledger screen (caption "総勘定元帳"): previews or prints the
// report R_KANJYOMOTOTYO for a range of months and accounts, or shows the
// ledger line viewer for the first chosen account (books/LedgerScreen.h).

#include "books/LedgerScreen.h"

class prtSoukanjoMotocho : public LedgerScreen {
    Q_OBJECT
public:
    explicit prtSoukanjoMotocho(QWidget* parent = nullptr);
};
