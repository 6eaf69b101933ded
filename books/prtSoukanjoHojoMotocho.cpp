#include "books/prtSoukanjoHojoMotocho.h"

prtSoukanjoHojoMotocho::prtSoukanjoHojoMotocho(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("prtSoukanjoHojoMotocho"), QStringLiteral("総勘定補助元帳"), parent) {}
