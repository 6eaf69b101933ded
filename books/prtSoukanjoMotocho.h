#pragma once
// The general-ledger screen (caption "総勘定元帳"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class prtSoukanjoMotocho : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit prtSoukanjoMotocho(QWidget* parent = nullptr);
};
