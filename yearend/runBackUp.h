#pragma once
// The backup and restore screen (caption "バックアップ処理"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class runBackUp : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit runBackUp(QWidget* parent = nullptr);
};
