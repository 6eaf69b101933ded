#pragma once
// The conversion screen for the Chinese-language edition (caption "データコンバーター処理"). For now it only
// opens and returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class runConverter : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit runConverter(QWidget* parent = nullptr);
};
