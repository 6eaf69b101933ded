#include "books/prtSoukanjoMotocho.h"

prtSoukanjoMotocho::prtSoukanjoMotocho(QWidget* parent)
    : LedgerScreen({QStringLiteral("prtSoukanjoMotocho"), QStringLiteral("総勘定元帳"),
                    QStringLiteral("R_KANJYOMOTOTYO"), false},
                   parent) {}
