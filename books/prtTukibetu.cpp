#include "books/prtTukibetu.h"

prtTukibetu::prtTukibetu(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("prtTukibetu"), QStringLiteral("月別収支内訳書"), parent) {}
