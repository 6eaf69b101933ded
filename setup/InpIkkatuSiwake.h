#pragma once
// The batch-journal pattern screen (caption "一括仕訳台帳入力"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class InpIkkatuSiwake : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit InpIkkatuSiwake(QWidget* parent = nullptr);
};
