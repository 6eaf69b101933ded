#include "setup/InpTekiyouTouroku.h"

InpTekiyouTouroku::InpTekiyouTouroku(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("InpTekiyouTouroku"), QStringLiteral("摘要入力"), parent) {}
