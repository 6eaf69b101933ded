#include "books/prtSoukanjoHojoMotocho.h"

prtSoukanjoHojoMotocho::prtSoukanjoHojoMotocho(QWidget* parent)
    : LedgerScreen({QStringLiteral("prtSoukanjoHojoMotocho"), QStringLiteral("総勘定補助元帳"),
                    QStringLiteral("R_HOJOMOTOTYO"), true},
                   parent) {}
