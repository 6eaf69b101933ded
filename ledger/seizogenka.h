#pragma once
// The build of the manufacturing cost report (report R_SEIZOGENKA), without
// widgets.
//
// The report has three sections, each listing the accounts that share the
// report group (PCODE2) of the section's total account(s), with their
// year-to-date balances at the chosen month:
//   10 "Ⅰ 材    料    費"  groups of 204;
//   20 "Ⅱ 労    務    費"  groups of 214;
//   30 "Ⅲ 経          費"  groups of 238 and 240.
// P_TUKISYUSI gets one head line per section (PRTIDNO the section id, PRTNAME
// its title) and one line per account with a non-zero balance (PRTIDNO the
// section id followed by the account's position among the section's accounts
// in three digits, "10001"; PRTJUN its printed sequence number; KIN1 the
// balance). The line of the materials subtotal 202 is printed whatever its
// amount, with PRTJUN "99" and the running subtotal of the materials:
// debit-normal accounts add their balance, credit-normal ones (discounts,
// closing stock) subtract it. The last line printed in a section carries the
// section total in KIN2 and 1 in KIN3: the running subtotal in section 10,
// the sum of the lines in 20 and 30; section 30's also carries the opening
// and closing work in process (accounts 681 and 682) in KIN4 and KIN5.
//
// Header items 6 and 7: the fiscal start and the last day of the chosen month
// as era dates with their era name ("平成22年 4月 1日").
//
// The summation stays done whatever happens later; the work tables are filled
// in one transaction.

#include <QString>

#include "ledger/monthlystatements.h"

// Builds the report for the month. fiscalStart is KISYU ("yyyy/mm/dd") of
// WK_COMPANY. True: the rows are ready for R_SEIZOGENKA. False after a message
// (the summation's own, "該当データがありません。", or
// "データアクセス中にエラーが発生しました(<step>)。").
bool BuildSeizoGenka(const StatementMonth& month);

namespace seizogenka {

// Writes one section (head, account lines, total) into P_TUKISYUSI.
bool set_hyouji_table(const QStringList& totalCodes, const QString& title, int id, const QString& chosenYM);

}  // namespace seizogenka
