#pragma once
// The journal export screen (caption "仕訳データ抽出処理"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class runDataout : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit runDataout(QWidget* parent = nullptr);
};
