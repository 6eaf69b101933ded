#pragma once
// The builds of a sole proprietor's tax-return statements, without widgets:
// the profit and loss statement (report R_PSKESAN1) and the balance sheet
// with its manufacturing cost part (report R_TSKESAN), each over the whole
// fiscal year of the current company.
//
// Both bring the monthly totals up to the closing month KIMATU, compute their
// lines from the year-to-date balances of the accounts selected by account
// number (KMCODE), and write the one row of P_KESANSYO (value n = slot n:
// amounts 1-126, names of the free lines 127-156) and the header row of
// T_PRINTKOMOKU in one transaction. A failed summation shows
// "月次集計異常終了" after the summation's own message.
//
// The blue-return special deduction: the user types the real-estate income
// (box ⑥, K1) and chooses one of three cases (e-filing or electronic books,
// double entry filed on paper, or any other return); the build writes the
// income before the deduction (⑦, K2) and the two amounts of the chosen case
// (⑧ and ⑨). A negative K1 or K2 counts as 0 in the boxes; the statements
// keep the income with its sign. The limit of each case depends on the year
// of the return, so that a closed year prints under its own rules.

#include <QString>
#include <array>
#include <vector>

#include "platform/currency.h"

class AccountBalances;

// The three cases of the deduction.
enum class DeductionCase {
    Electronic,  // e-filing or electronic books
    Paper,       // double entry with the balance sheet, filed on paper
    Other,       // any other blue return
};

// The limit of a case for the return of a calendar year: from the 2020
// returns 650,000, 550,000 and 100,000 yen; before them 650,000 for both
// double-entry cases and 100,000 otherwise.
Currency DeductionLimit(DeductionCase which, int returnYear);

// The amount boxes of the deduction area.
struct DeductionBoxes {
    Currency k1;  // ⑥ real-estate income before the deduction (typed)
    Currency k2;  // ⑦ income before the deduction
    Currency k3;  // ⑧ of the electronic case: the part taken by the real-estate income
    Currency k4;  // ⑨ of the electronic case: the deduction of this statement
    Currency k5;  // ⑧ of the other case
    Currency k6;  // ⑨ of the other case
    Currency k7;  // ⑧ of the paper case
    Currency k8;  // ⑨ of the paper case
};

// The deduction boxes for the typed real-estate income and the income before
// the deduction (line 43): K1 and K2 raised to 0 when negative; in the chosen
// case ⑧ = the smaller of K1 and the limit, ⑨ = the smaller of K2 and what
// is left of the limit; the other cases' boxes 0.
DeductionBoxes BlueReturnDeduction(Currency realEstateIncome, Currency income, DeductionCase which,
                                   int returnYear);

// The deduction the statement prints (line 44): ⑨ of the chosen case.
Currency DeductionOf(const DeductionBoxes& boxes, DeductionCase which);

// Lines 1 to 43 of the tax-return profit and loss statement (index 0 unused)
// from the balances at the closing month. Every income and expense account
// lands on one line with the sign of its balance (accounts the form has no
// line for go to the other income of line 1 or to miscellaneous expenses,
// line 31), except the gains and losses on selling fixed assets (853, 862):
// they are capital-gains income, shown on the balance sheet with the
// proprietor's accounts. Line 43, the income before the blue-return special
// deduction, is therefore the year's profit less 853 plus 862.
std::array<Currency, 44> TaxReturnProfitLines(const AccountBalances& closing);

// The line of the profit and loss statement an income or expense account
// adds to (by account number, or by internal code for the manufacturing
// totals of line 3); 0 for an account on no line. Line 3 and line 1 count
// some accounts with a minus sign, which this does not tell.
int TaxReturnLineOf(const QString& kmcode, const QString& kocode);

// The gains and losses on selling fixed assets, off the profit and loss form.
bool IsFixedAssetSaleAccount(const QString& kmcode);

// The one row of P_KESANSYO: amounts in slots 1-126, names in 127-156.
struct KesansyoRow {
    std::array<Currency, 127> amounts{};  // index 1..126
    std::array<QString, 157> names{};     // index 127..156
};

// The profit and loss statement of the year into P_KESANSYO: lines 1-45 in
// slots 1-45, the names of the free lines in 127-136; header item 6 today's
// date and item 7 the fiscal start, as era dates. boxes.k1 is the typed
// real-estate income; on success every box holds what the screen shows.
// False after a message.
bool BuildKesanPS(DeductionBoxes& boxes, DeductionCase which);

// The balance sheet of the year into P_KESANSYO: the opening column in slots
// 1-50, the closing column in 51-100, the manufacturing cost lines in
// 101-126, the names of the free lines in 127-155; header item 6 the closing
// date as an era date. The boxes as for BuildKesanPS (shown only).
bool BuildKesanTS(DeductionBoxes& boxes, DeductionCase which);

// The computations of the two builds, callable on their own (tests).
namespace kesansyo {

// The row of the profit and loss statement from the balances at the closing
// month; the names are looked up in the chart. False after a message.
bool ProfitAndLossRow(const AccountBalances& closing, const DeductionBoxes& boxes, DeductionCase which,
                      KesansyoRow& row);

// The row of the balance sheet from the balances at the opening pseudo-month
// and at the closing month. The proprietor's drawings (line 24) and
// contributions (line 47) are the year's own, each with the loss or the gain
// on selling fixed assets, which the income of line 49 leaves out; so both
// columns balance. False after a message.
bool BalanceSheetRow(const AccountBalances& opening, const AccountBalances& closing, KesansyoRow& row);

}  // namespace kesansyo
