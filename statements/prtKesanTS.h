#pragma once
// The tax-return balance sheet (caption "確定申告用貸借対照表"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class prtKesanTS : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit prtKesanTS(QWidget* parent = nullptr);
};
