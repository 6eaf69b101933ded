#pragma once
// R_KANJO_LISTH: the chart-of-accounts list, printed from WK_KANJO_PRINT.

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

// One group (and page) per large class, a heading line for each middle and small
// class, and per account its number, name, side, sub-account flag, opening
// balance, counter account and order. A4 portrait.
bool BuildKanjoListH(platform::Connection& cn, platform::report::Document& doc);

}  // namespace reports
