#pragma once
// R_TUKISYUSI: the monthly income and expense table, printed from
// P_TUKISYUSI_HEAD and P_TUKISYUSI that the monthly table screen fills
// (ledger/tukisyusi.h).

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

// A4 landscape, one page: a ruled form with a column per month (the labels of
// the header row, from the fiscal start) and a total column. Rows: sales and
// other income (A), purchases (B) and manufacturing costs (C); the expense
// lines 01 to 24 with their side caption ("経", "費"), their sum "計" (line
// 25); and the difference A - B - C - 計. The period line is the era year of
// the fiscal start ("平成22年度").
bool BuildTukisyusiReport(platform::Connection& cn, platform::report::Document& doc);

}  // namespace reports
