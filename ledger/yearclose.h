#pragma once
// Closing the current company's (gstrCID) fiscal year and opening the next one,
// all in one transaction on gcnKaikei:
// - the company's working rows are copied into the previous-year tables (BT_*),
// - the month totals are brought up to date, the year's 64 statement figures
//   (below) replace the company's T_KESANSYO row (its old row is kept in
//   BT_KESANSYO), and the closing balances of the last month become the
//   opening balances: balance-sheet accounts carry their
//   balance, income and expense accounts start at zero, and the year's result
//   (353) is carried once: a corporation's into retained earnings brought
//   forward (171), a sole proprietor's with the drawings (107) and the
//   contributions (155) into the capital (154), those two starting at zero;
//   353 itself starts at zero (the summation adds 171's opening to 353),
// - sub-accounts of balance-sheet accounts carry their balance, the others
//   start at zero,
// - the company moves on by one year (new end = new start + 1 year - 1 day),
// - the closed year's vouchers and their lines, day amounts up to the closing
//   day and month totals are deleted, the month list and month status are
//   rebuilt for the new period and the remaining vouchers renumbered "00001"..
// Any failure rolls the whole update back and names the step that failed.

#include <QString>
#include <array>
#include <optional>

#include "ledger/yearendfigures.h"
#include "platform/currency.h"

struct YearCloseResult {
    bool ok = false;
    QString failedStep;  // the step that failed, empty on success
};

// rate: the opening exchange rate written to every opening-balance row.
YearCloseResult CloseFiscalYear(double rate);

// The steps of the year close that the return from the previous year
// (ledger/previousyear.h) runs too, each inside the caller's transaction on
// the company cid, which is the one loaded in WK_COMPANY and the working chart
// (the current company, or the one the return has just switched to). False when a statement failed, with the
// step's name in step (see YearCloseStepText); the caller rolls back.
//
// Keeps the loaded year, months sym..eym ("yyyy/mm") closing on kimatu
// ("yyyy/mm/dd"): the company's previous-year rows (BT_*) are replaced by its
// working rows, the month totals of the year are brought up to date
// (sub-account totals too) and T_KESANSYO receives the year's figures (its
// old row is kept in BT_KESANSYO).
bool save_now_data(const QString& cid, const QString& sym, const QString& eym, const QString& kimatu,
                   QString& step);
// The opening balances of the working chart and of T_KISYUZAN from the
// closing balances of month eym of the kept year (the chart BT_KANJO):
// balance-sheet accounts in use carry theirs, 171 receives the year's result
// (353), every other account starts at zero; for a sole proprietor (GKBN not
// "1") the capital 154 receives 353 + 155 - 107 instead, and 107, 155 and 171
// start at zero. With a rate, it is written on
// every T_KISYUZAN row of the company; without, RATE stays.
bool update_kisyuzan_data(const QString& cid, const QString& eym, std::optional<double> rate, QString& step);
// The sub-accounts' opening balances from their closing balances of month
// eym: sub-accounts of balance-sheet accounts carry theirs, the others start
// at zero, as do a sole proprietor's drawings and contributions.
bool update_kisyuzan_hojo(const QString& cid, const QString& eym, QString& step);

// Test hook: when set, the step of that name fails as if its statement had.
void SetYearCloseFailureForTest(const QString& step);

// Adds to the figures those of month "yyyy/mm" of the company cid (the
// caller starts from zeros; the form without cid: the current company). A figure is the sum of the month's
// closing balances (cumulative debit minus credit for debit-side accounts, the reverse for the others) over
// fixed account codes, total accounts included, or a sum or difference of such figures; figure 64 is the loss
// (-63) when figure 63 is negative. Accounts without a total in the month count zero. False when the month
// totals cannot be read.
bool set_hyouji_table(const QString& cid, YearEndFigures& figures, const QString& month);
bool set_hyouji_table(YearEndFigures& figures, const QString& month);

// The period of the current company as the year-end screen shows it, from
// WK_COMPANY. ok false: the table could not be read; found false: no row.
struct YearEndPeriod {
    bool ok = false;
    bool found = false;
    QString kisyu;   // first day, "yyyy/mm/dd"
    QString kimatu;  // last day, "yyyy/mm/dd"
    QString gkbn;    // "1" for a corporation
    qint64 nendosu = 0;
};
YearEndPeriod ReadYearEndPeriod();

// True when the current company keeps an exchange rate (KANCNG "1"), so the
// year-end asks for the next year's opening rate. False when it does not or
// when the company cannot be read.
bool YearEndAsksRate();

// The user's words for a step named in YearCloseResult::failedStep.
QString YearCloseStepText(const QString& step);
