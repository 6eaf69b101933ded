#pragma once
// The tax-return profit and loss statement (caption "確定申告用損益計算書"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class prtKesanPS : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit prtKesanPS(QWidget* parent = nullptr);
};
