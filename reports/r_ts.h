#pragma once
// R_TS: the monthly balance sheet, printed from T_TOTAL_MEISAI, T_TOTAL1 and
// T_PRINTKOMOKU as the balance-sheet screen fills them: the assets (page code
// "1") on the first page, liabilities and capital (page code "2") on the
// next, in the layout of BuildMonthlyStatement (r_ps.h).

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

// 貸借対照表 at the end of the chosen month.
bool BuildRTs(platform::Connection& cn, platform::report::Document& doc);

}  // namespace reports
