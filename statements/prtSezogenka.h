#pragma once
// The manufacturing cost report (caption "製造原価報告書"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class prtSezogenka : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit prtSezogenka(QWidget* parent = nullptr);
};
