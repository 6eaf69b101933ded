#pragma once
// The six totals of one day of the daily entry screen, computed from what the
// screen's three grids hold:
//   income       the amounts of the income grid;
//   purchases    the amounts of the purchases and expenses grid;
//   receipts     income plus every free line that debits the cash account;
//   payments     purchases plus every free line that credits the cash account;
//   profit       income - purchases, plus the free lines' effect on revenue
//                and expense accounts;
//   balance      previous balance + receipts - payments.
//
// Every amount of the two upper grids counts as cash, whatever the row's
// counter account. A free line counts as a receipt or a payment by which side
// the cash account stands on, so the sign of the cash movement never depends
// on how the other account is classified. Its effect on the profit follows the
// account numbers (KMCODE) of its two accounts:
//   revenue  "500".."549", 811, 812, 813, 814, 815, 851, 853, 855, 872, 911,
//            913, 999 (the sundry account counts as revenue);
//   expense  "550".."799", 821, 822, 823, 824, 862, 864, 871, 873, 874, 875, 876.
// A revenue or expense account on its own normal side (debit for TAIKBN "0",
// credit otherwise) raises its total; on the other side it lowers it.

#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "platform/currency.h"

enum class ProfitKind { None, Revenue, Expense };

// The profit class of an account number (compared as text).
ProfitKind ProfitKindOf(const QString& kmcode);

struct ProfitAccount {
    ProfitKind kind = ProfitKind::None;
    bool debitNormal = false;  // TAIKBN "0"
};

// The revenue and expense accounts of the working chart, by KOCODE.
using ProfitChart = std::map<QString, ProfitAccount>;

// Reads the working chart T_KANJO; nullopt when the read fails (no message).
std::optional<ProfitChart> LoadProfitChart();

// One free line as the totals see it: internal account codes and the amount.
struct TotalsLine {
    QString debit;   // KRKOCODE, empty when no account is chosen
    QString credit;  // KSKOCODE
    Currency amount;
};

struct DayTotals {
    Currency income;
    Currency purchases;
    Currency receipts;
    Currency payments;
    Currency profit;
    Currency balance;
};

DayTotals ComputeDayTotals(const std::vector<Currency>& incomeAmounts,
                           const std::vector<Currency>& expenseAmounts,
                           const std::vector<TotalsLine>& freeLines, Currency previousBalance,
                           const QString& cashAccount, const ProfitChart& chart);
