#include "statements/prtSezogenka.h"

prtSezogenka::prtSezogenka(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("prtSezogenka"), QStringLiteral("製造原価報告書"), parent) {}
