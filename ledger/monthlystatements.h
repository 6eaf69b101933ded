#pragma once
// The builds of the monthly profit and loss statement (report R_PS) and the
// monthly balance sheet (report R_TS), without widgets.
//
// A build brings the monthly totals up to the chosen month (msum_main), fills
// the statement work tables from the month's rows of T_TUKIKAN and the chart
// T_KANJO, lets the roll-up (ksum_syukei) compute the derived lines, finishes
// the rows that the report prints and writes the report's header row last.
//
//   T_TOTAL_MEISAI  detail lines: one per posting account of the statement's
//                   code range that has a row for the month, plus layout lines
//                   (empty number and name, zero amounts) that give the report
//                   the place of a heading or of a total line;
//   T_TOTAL1        total lines: one per total account of the range, name
//                   between "【" and "】".
// Every line carries the chart's position codes (KAIPAGE the page, PCODE1 and
// PCODE2 the order on it) and four amounts: brought forward to the start of
// the month, the month's debit and credit, and the balance at its end, signed
// by the account's side (StatementRowAmounts).
//
// The summation stays done whatever happens later. The work tables are filled
// in one transaction: a build that stops after a message leaves them as the
// previous build left them.

#include <QString>

// The month a statement is built for.
struct StatementMonth {
    QString firstYM;   // first month of the fiscal year, "yyyy/mm"
    QString chosenYM;  // the chosen month, "yyyy/mm"
    QString label;     // the chosen month's label as the month list shows it ("2010年 4月")
};

// The profit and loss statement of the month: posting lines 180 to 356, the
// profit brought forward (171, moved to page 3 at 1975 when not all zero),
// the layout lines, the total lines 180 to 353 with the roll-up, the netted
// totals, without the manufacturing lines 195 to 244, the subtotals 202 and
// 258 and the posting lines whose four amounts are all zero. Header item 6 is
// the month's label followed by "度". True: the rows are ready for R_PS.
// False after a message (the summation's own, "該当データがありません。", or
// "データアクセス中にエラーが発生しました(<step>)。").
bool BuildSonekiKeisan(const StatementMonth& month);

// The balance sheet at the end of the month: posting lines 004 to 176, the
// unappropriated profit 353 and the profit of the period 348 (named
// "(うち" + name + ")") placed on page 2 at 1480 in place of the profit
// brought forward 171, which is removed; the layout lines; the total lines 004
// to 176, with 348 added into 174, 175 and 176. No line is removed for being
// zero. A failed summation is followed by "月次集計異常終了". True: the rows are
// ready for R_TS.
bool BuildTaisyakuTaisyo(const StatementMonth& month);

// The steps of the two builds, callable on their own (tests). They work on
// the current company gstrCID and the month chosenYM and show their own
// messages before they return false.
namespace sonekikeisan {

// Appends one work row per account of the month with KOCODE between fromCode
// and toCode (as text) and class SYORIKBN = kind to table; a total line
// (kind "1") is named "【" + name + "】". No row at all: true for the profit
// brought forward (fromCode "171"), otherwise "該当データがありません。" and false.
bool set_data_to_query1(const QString& table, const QString& fromCode, const QString& toCode,
                        const QString& kind, const QString& chosenYM);
// Appends the statement's layout lines (codes without a chart row are skipped).
bool set_data_to_query2();
// Nets the month's debit and credit of the totals 192, 245, 260, 261, 311,
// 330, 346, 348 and 353 to one side: with a = |debit| and b = |credit|, the
// line shows debit a - b when a >= b, otherwise credit b - a.
bool update_data();

}  // namespace sonekikeisan

namespace taisyakutaisyo {

// As on the profit and loss statement, with the balance sheet's names (a total
// line is bracketed unless it is 348 or 353; the row read for 348 becomes
// "(うち" + name + ")"); no row at all is always "該当データがありません。".
bool set_data_to_query1(const QString& table, const QString& fromCode, const QString& toCode,
                        const QString& kind, const QString& chosenYM);
bool set_data_to_query2();

}  // namespace taisyakutaisyo
