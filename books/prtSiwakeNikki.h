#pragma once
// The journal-book screen (caption "仕訳日記帳"). For now it only opens and
// returns to the menu that opened it; the screen itself is not built yet.

#include "app/common/placeholderscreen.h"

class prtSiwakeNikki : public PlaceholderScreen {
    Q_OBJECT
public:
    explicit prtSiwakeNikki(QWidget* parent = nullptr);
};
