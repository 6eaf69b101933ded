#pragma once
// The subsidiary-ledger screen (caption "総勘定補助元帳"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class prtSoukanjoHojoMotocho : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit prtSoukanjoHojoMotocho(QWidget* parent = nullptr);
};
