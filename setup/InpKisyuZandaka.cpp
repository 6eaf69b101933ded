#include "setup/InpKisyuZandaka.h"

InpKisyuZandaka::InpKisyuZandaka(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("InpKisyuZandaka"), QStringLiteral("期首残高入力"), parent) {}
