#pragma once
// The build of the monthly income and expense table of a sole proprietor
// (report R_TUKISYUSI), without widgets.
//
// The table has twelve month columns, column 1 being the month of the fiscal
// start KISYU and column n the (n-1)-th month after it, and a total column.
// For the chosen months it holds, from the months' account totals T_TUKIKAN:
//   P_TUKISYUSI_HEAD  one row: the two-digit era year of the fiscal start
//                     (KOMOKU1), the labels of the twelve columns ("10 月",
//                     "1 月", KOMOKU2-13), and four summary rows of twelve
//                     months and a total each:
//                       A (KOMOKU14-26) sales and other income,
//                       B (KOMOKU27-39) purchases and cost of sales,
//                       C (KOMOKU40-52) manufacturing costs,
//                       D (KOMOKU53-65) A - B - C - line 25;
//   P_TUKISYUSI       25 expense lines (PRTIDNO "01"-"25", the name, a suffix,
//                     KIN1-12 the months, KIN13 the total); line 25 "計" holds
//                     the sums of lines 01 to 24.
// A month's amount of a line is the sum over the posting accounts whose account
// number KMCODE the line selects of the month's debit less credit
// (debit-normal accounts) or credit less debit (the others). Total accounts
// never count, even when a chart edit gives one a number the table selects.
// Columns outside the chosen months hold 0.
//
// The build first brings the monthly totals up to the last chosen month
// (msum_main); it then fills both work tables in one transaction, so a build
// that stops after a message leaves them as the previous build left them.

#include <QString>
#include <optional>
#include <vector>

#include "platform/currency.h"

// One month of the fiscal year as the month lists offer it.
struct TukisyusiMonth {
    QString ym;     // "yyyy/mm"
    QString label;  // OUTYM, "2010年10月", "2011年 1月"
};

// What the screen needs when it opens: the months of the fiscal year up to the
// closing month KIMATU, and the caption's label of the fiscal start's era
// year ("平成22年度").
struct TukisyusiSetup {
    std::vector<TukisyusiMonth> months;
    QString eraLabel;
};

// nullopt when WK_COMPANY or T_DAY_INPUT cannot be read (no message).
std::optional<TukisyusiSetup> LoadTukisyusiSetup();

// The months a table is built for, all "yyyy/mm".
struct TukisyusiRange {
    QString firstYM;  // the fiscal year's first month, where the summation starts
    QString fromYM;
    QString toYM;
};

// Runs the summation and builds both work tables. False after a message: the
// summation's own, or "データアクセス中にエラーが発生しました(set_hyouji_table)。"
// (or of set_data_head, set_data_meisai), or a row writer's.
bool BuildTukibetu(const TukisyusiRange& range);
