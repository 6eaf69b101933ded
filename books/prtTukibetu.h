#pragma once
// The monthly income and expense table (caption "月別収支内訳書"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class prtTukibetu : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit prtTukibetu(QWidget* parent = nullptr);
};
