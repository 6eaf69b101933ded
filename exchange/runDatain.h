#pragma once
// The journal import screen (caption "仕訳データ取込処理"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class runDatain : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit runDatain(QWidget* parent = nullptr);
};
