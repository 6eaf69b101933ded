#pragma once
// The payroll import screen (caption "【Ralvek給与】データ取込処理"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class runInRuviz : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit runInRuviz(QWidget* parent = nullptr);
};
