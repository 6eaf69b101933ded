#pragma once
// R_TEKIYO and R_SIWAKE: the description list and the batch-journal pattern
// list, printed from the editing copies WK_TEKIYO and WK_SI_PATTERN (what the
// screens hold at that moment, before their write-back).

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

// Number and text of each description, in number order. A4 portrait.
bool BuildRTekiyo(platform::Connection& cn, platform::report::Document& doc);

// Per pattern its name, the debit and credit account (number and name from
// T_KANJO) and its description, in debit then credit number order. A4 portrait.
bool BuildRSiwake(platform::Connection& cn, platform::report::Document& doc);

}  // namespace reports
