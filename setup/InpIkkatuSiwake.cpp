#include "setup/InpIkkatuSiwake.h"

InpIkkatuSiwake::InpIkkatuSiwake(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("InpIkkatuSiwake"), QStringLiteral("一括仕訳台帳入力"), parent) {}
