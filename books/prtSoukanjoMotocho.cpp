#include "books/prtSoukanjoMotocho.h"

prtSoukanjoMotocho::prtSoukanjoMotocho(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("prtSoukanjoMotocho"), QStringLiteral("総勘定元帳"), parent) {}
