#pragma once
// R_PSKESAN1 and R_TSKESAN: the tax-return profit and loss statement and the
// tax-return balance sheet with its manufacturing cost part, A4 landscape,
// each one page of ruled blocks after the blue-return statement form, printed
// from the one row of P_KESANSYO and the header row T_PRINTKOMOKU that their
// screens fill (ledger/kesansyo.h).
//
// R_PSKESAN1: lines 1 to 45 in three blocks (sales and cost of sales with
// the first expenses; the other expenses; reversals, provisions, the income
// before the deduction, the deduction and the income), each line with its
// number, its caption (the account's name on a free line) and its amount.
// The header: the period from the fiscal start (item 7) to the closing date,
// the company, and the date of writing (item 6).
//
// R_TSKESAN: the assets (lines 1-25) and the liabilities and capital (lines
// 26-50), each with its opening and closing amount, and the manufacturing
// cost lines (101-126). The header: the closing date (item 6) and the company.

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

bool BuildRPsKesan1(platform::Connection& cn, platform::report::Document& doc);
bool BuildRTsKesan(platform::Connection& cn, platform::report::Document& doc);

}  // namespace reports
