#pragma once
// The description screen (caption "摘要入力"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class InpTekiyouTouroku : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit InpTekiyouTouroku(QWidget* parent = nullptr);
};
