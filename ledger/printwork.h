#pragma once
// Helpers of the report work tables: the header row, and the figures and texts
// that the book and statement screens put into their work rows. The row writers
// themselves are in rowwriters.h.
//
// A report is built body first: the screen empties the work tables of its body,
// writes their rows, and writes the header row of T_PRINTKOMOKU last, right
// before it hands the report name to PrintAccessReport, and only when that
// header row was written.

#include <QString>

#include "platform/currency.h"

// Writes the one header row of T_PRINTKOMOKU (replacing the previous one): the
// items KOMOKU6 to KOMOKU9 as given, KOMOKU1 to KOMOKU5 empty. Returns the
// writer's result (it has shown its message on false).
bool WritePrintHeader(const QString& komoku6, const QString& komoku7 = QString(),
                      const QString& komoku8 = QString(), const QString& komoku9 = QString());

// The four amounts of a statement row (T_TOTAL_MEISAI, T_TOTAL1) from the
// account's monthly totals: debit and credit of the month and the running totals
// from the fiscal start. A debit-normal account (side "0") has
//   MAEKURI = (KRRUI - KRTOTAL) - (KSRUI - KSTOTAL),  ZAN = KRRUI - KSRUI;
// any other side the same with debit and credit exchanged. KRTOTAL and KSTOTAL
// are the month's totals unchanged.
struct StatementAmounts {
    Currency maekuri;
    Currency krtotal;
    Currency kstotal;
    Currency zan;
};
StatementAmounts StatementRowAmounts(const QString& taikbn, Currency krrui, Currency ksrui, Currency krtotal,
                                     Currency kstotal);

// A date "yyyy/mm/dd" as the books print it: "yy.mm.dd" (2010/04/05 gives
// 10.04.05). Any other text gives the empty text.
QString PrintDate(const QString& date);

// A voucher number without its leading zeros ("00012" gives "12", "00000" "0").
QString PrintVoucherNo(const QString& denno);

// The balance of an account at the start of a ledger range, from its monthly
// totals row of the first month of the range: in the opening pseudo-month
// ("yyyy/00") the running totals alone, in any other month the running totals
// less the month's totals. Debit-normal (side "0"): debit less credit; any other
// side: credit less debit.
Currency LedgerBroughtForward(const QString& taikbn, bool openingMonth, Currency krrui, Currency ksrui,
                              Currency krtotal, Currency kstotal);

// The running balance after a ledger line: a debit-normal account adds the debit
// and subtracts the credit, any other account the reverse.
Currency LedgerRunningBalance(const QString& taikbn, Currency balance, Currency debit, Currency credit);

// An amount on the account's side: debit less credit for a debit-normal account
// (side "0"), credit less debit otherwise (the monthly table and the tax-return
// statements).
Currency SideAmount(const QString& taikbn, Currency debit, Currency credit);

// A date "yyyy/mm/dd" as an era date with its era name, as the statements
// headers print it: era name, two-digit era year, "年", the month and the day
// each after one blank when they have one digit ("平成22年 4月 1日",
// "令和02年12月31日"). Empty for a text that is not such a date.
QString PrintEraDate(const QString& date);

// The month label of the monthly table's header: the month number without a
// leading zero and " 月" ("4 月", "12 月").
QString TukisyusiMonthLabel(int month);
