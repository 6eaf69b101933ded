#pragma once
// R_SIWAKE_NIKKI: the journal book, printed from T_SIALL_OUT and the header row
// T_PRINTKOMOKU that the journal book screen fills (ledger/journalbook.h).

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

// A4 portrait. One group per day voucher, headed by its date and number, with
// one line per journal line: line number, debit account (number and name) and
// amount, credit account and amount, description; a sub-account prints on a
// second line under its account. A side without an account prints empty. Each
// voucher ends with its debit and credit totals, the book with the grand
// totals. The header shows the range of dates and of voucher numbers and the
// company name.
bool BuildSiwakeNikkiReport(platform::Connection& cn, platform::report::Document& doc);

}  // namespace reports
