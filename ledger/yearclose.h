#pragma once
// Closing the current company's (gstrCID) fiscal year and opening the next one,
// all in one transaction on gcnKaikei:
// - the company's working rows are copied into the previous-year tables (BT_*),
// - the month totals are brought up to date and the closing balances of the
//   last month become the opening balances: balance-sheet accounts carry their
//   balance, income and expense accounts start at zero, and the year's result
//   (353) is carried once, into retained earnings brought forward (171), while
//   353 itself starts at zero (the summation adds 171's opening to 353),
// - sub-accounts of balance-sheet accounts carry their balance, the others
//   start at zero,
// - the company moves on by one year (new end = new start + 1 year - 1 day),
// - the closed year's vouchers and their lines, day amounts up to the closing
//   day and month totals are deleted, the month list and month status are
//   rebuilt for the new period and the remaining vouchers renumbered "00001"..
// Any failure rolls the whole update back and names the step that failed.

#include <QString>

struct YearCloseResult {
    bool ok = false;
    QString failedStep;  // the step that failed, empty on success
};

// rate: the opening exchange rate written to every opening-balance row.
YearCloseResult CloseFiscalYear(double rate);

// Test hook: when set, the step of that name fails as if its statement had.
void SetYearCloseFailureForTest(const QString& step);
