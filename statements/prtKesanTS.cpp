#include "statements/prtKesanTS.h"

prtKesanTS::prtKesanTS(QWidget* parent)
    : PlaceholderScreen(QStringLiteral("prtKesanTS"), QStringLiteral("確定申告用貸借対照表"), parent) {}
