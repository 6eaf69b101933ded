#pragma once
// The monthly summation: the journal lines of the current company (gstrCID)
// turned into monthly totals per account (T_TUKIKAN) and per sub-account
// (T_TUKIHOJO), with the opening pseudo-month "yyyy/00", running totals, the
// total accounts of the chart and the profit rows 353, 348 and 171.
//
// The summation is incremental. The month status (T_TUKISIME) marks the months
// whose journal lines or opening balances changed (SYORIFLG '0'); only those
// are rebuilt from the journal. When none is marked but the target month
// differs from the last one summed (T_TUKISIMECHECK), every month up to the
// target is rebuilt. After a rebuild, everything that depends on the target
// month is brought up to date: the running totals of every existing row from
// the earliest rebuilt month up to the target, the total accounts, the profit
// rows and the rows at the target month. Rows above the opening month whose
// four amounts are all zero are removed (except 152, 348 and 353).
//
// All work is done by the database over whole sets of rows, inside one
// savepoint: a call either completes or leaves every table as it was (the
// months stay marked, so the next call repeats the work). Inside a caller's
// transaction the savepoint nests. Outside one, and on a large file, the
// journal lines of several months are read by several connections at once:
// the first half of the months by this one, the rest by up to three further
// connections to the same file, used only to read, each on a thread of its
// own.
//
// Amounts are the raw INTEGER counts of 1/10,000 yen; every sum stays exact.

#include <QString>
#include <QtGlobal>

// Brings the monthly totals up to date for the target month toYM ("yyyy/mm").
// fromYM is the first month of the fiscal period ("yyyy/mm"); its year followed
// by "/00" is the opening month.
//
// withSubAccountTotals: the subsidiary ledger passes true. Then every
// sub-account with any row up to toYM gets a row at toYM with its running
// totals, and the sub-account flags (SYORIFLGH) of the months up to toYM are
// set to '1'; otherwise they are set to '0'. With nothing to rebuild and toYM
// the last month summed, only this sub-account step runs (when a sub-account
// flag up to toYM is '0' and withSubAccountTotals is true).
//
// Returns true when the totals for toYM are complete (also when nothing had to
// be done). false after a message: the step's own, or "月次集計異常終了".
//
// The company is cid (the company made current in WK_COMPANY and T_KANJO); the
// form without it works on gstrCID.
bool msum_main(const QString& cid, const QString& fromYM, const QString& toYM, bool withSubAccountTotals);
bool msum_main(const QString& fromYM, const QString& toYM, bool withSubAccountTotals);

// The file size in bytes from which msum_main reads months through further
// connections (8 MiB). Tests lower it to take that path on small files.
void msum_readInParallelFrom(qint64 bytes);

// Steps of msum_main, callable on their own (each runs in its own savepoint).

// Rolls the month totals of the posting accounts in use over the months fromYM
// to toYM up into their total accounts (TOCODE) as rows at toYM, then the total
// accounts whose TOCODE is above "003" one more level. In the opening month
// (toYM "yyyy/00") the rows' running totals equal their totals, otherwise they
// are 0. Writes nothing when no posting account in use has a row in the range.
// A failure shows "T_TUKIKANテーブルのアクセス中にエラーが発生しました(msum_syukei)。".
bool msum_syukei(const QString& cid, const QString& fromYM, const QString& toYM);
bool msum_syukei(const QString& fromYM, const QString& toYM);

// For every month D from the opening month openingYM to toYM in which account
// 113 has a row: m = its debit less credit, v = the credit less debit of 176
// (0 without a row). v >= m gives 353 and 348 the debit v - m, otherwise the
// credit m - v. The opening month's 353 row adds the running totals of 171's
// opening row, whose four amounts are rewritten as those running totals; 348
// gets no opening row, and an existing 348 row keeps its running totals.
// A failure shows "T_TUKIKANテーブルのアクセス中にエラーが発生しました(msum_misyobunrieki)。".
bool msum_misyobunrieki(const QString& cid, const QString& openingYM, const QString& toYM);
bool msum_misyobunrieki(const QString& openingYM, const QString& toYM);
