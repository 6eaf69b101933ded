#pragma once
// The chart-of-accounts screen (caption "勘定科目台帳入力"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class prtKanjoKamokuSet : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit prtKanjoKamokuSet(QWidget* parent = nullptr);
};
