#include "statements/prtKesanPS.h"

prtKesanPS::prtKesanPS(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("prtKesanPS"), QStringLiteral("確定申告用損益計算書"), parent) {}
