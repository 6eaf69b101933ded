#pragma once
// The statement roll-up: the subtotals of the monthly profit and loss statement
// and balance sheet that the chart's own total accounts cannot express.
//
// The statement screen fills the work tables T_TOTAL_MEISAI (detail rows) and
// T_TOTAL1 (total rows) for the chosen month, then calls ksum_syukei. Each row
// carries four amounts: MAEKURI (brought forward), KRTOTAL (debit), KSTOTAL
// (credit) and ZAN (balance). A step computes one target row as the sums of a
// plus group of rows less the sums of a minus group, every amount with its
// sign (a minus group whose balances sum to -500 raises the target balance by
// 500), so that the statement's profit is the journal's. Rows are found by
// KOCODE alone: the tables hold only the current company's rows.
//
// The roll-up runs in one transaction of its own (a savepoint inside the
// caller's): a failing step leaves both work tables as they were before the call.

#include <QString>
#include <QStringList>

// Runs the roll-up of one statement:
//   "貸借対照表" (balance sheet): adds rows 348 and 999 of T_TOTAL_MEISAI to the
//       totals 174, 175 and 176 of T_TOTAL1 (ksum_taisyakutaisyohyo);
//   "損益計算書" (profit and loss): the chain of steps 1 to 17, ending with the
//       debit and credit sides of row 353 (the month's movement of its
//       balance, ZAN - MAEKURI: a growth on the credit side, a fall on the
//       debit side);
//   any other name: steps 1 to 9 (the manufacturing and sales subtotals).
// Returns false at the first failing step, after its message.
bool ksum_syukei(const QString& statementName);

// One step. targetTable and sourceTable are "T_TOTAL_MEISAI" or "T_TOTAL1".
// A list is not used when it is empty or its first entry is "Dummy". A list read
// as a range takes entries 1 and 2 as the first and last code (both included);
// otherwise every entry is a code. add = false replaces the target's amounts,
// add = true adds to them. A target row that is missing is first created from
// the chart (T_KANJO) with zero amounts; an account missing from the chart fails
// with the row writer's message.
// Failures show "マスタのアクセス中にエラーが発生した(ksum_sonekikesansyo)。".
bool ksum_sonekikesansyo(const QString& targetTable, const QString& sourceTable, const QString& targetCode,
                         bool plusIsRange, const QStringList& plus, bool minusIsRange,
                         const QStringList& minus, bool add);

// The balance sheet's step. The totals 174, 175 and 176 that T_TOTAL1 lacks
// (a month without liabilities or capital) are first created from the chart
// with zero amounts and the name between "【" and "】", then the sums of rows
// 348 and 999 are added to each.
// Without a row 348 or 999 in T_TOTAL_MEISAI there is nothing to add and it
// fails with "マスタのアクセス中にエラーが発生した(ksum_taisyakutaisyohyo)。".
bool ksum_taisyakutaisyohyo();
