#pragma once
// The opening-balance screen (caption "期首残高入力"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class InpKisyuZandaka : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit InpKisyuZandaka(QWidget* parent = nullptr);
};
