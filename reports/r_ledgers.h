#pragma once
// R_KANJYOMOTOTYO (総勘定元帳) and R_HOJOMOTOTYO (総勘定補助元帳): the ledgers,
// printed from the work tables T_SKANMT_OUT and T_SKANSUBMT_OUT that the
// ledger builds fill (ledger/ledgerbooks.h) and the header row T_PRINTKOMOKU
// (items 6 and 7: the first and last month's labels).
//
// A4 portrait. One group per account (per sub-account for the subsidiary
// ledger), each on its own page, in the order the build wrote the rows: the
// heading names the account, then the brought-forward row ("繰越残高" with its
// balance), the lines with their date "yy.mm.dd", voucher number, counter
// account, description, debit, credit and running balance, and a total line
// of the debits and credits. The page header shows the title, the months, the
// company and its fiscal period; the footer the page number.

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

bool BuildRKanjyoMotoTyo(platform::Connection& cn, platform::report::Document& doc);
bool BuildRHojoMotoTyo(platform::Connection& cn, platform::report::Document& doc);

}  // namespace reports
