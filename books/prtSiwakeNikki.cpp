#include "books/prtSiwakeNikki.h"

prtSiwakeNikki::prtSiwakeNikki(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("prtSiwakeNikki"), QStringLiteral("仕訳日記帳"), parent) {}
