#pragma once
// Payroll import: one month's pay results of one payroll company, summed into
// ten figures, become journal lines of the current company (gstrCID) against
// the payroll clearing account '363', all dated the pay date and written into
// its day voucher through the import posting (ledger/importposting.h):
//
//   gross pay ('264' salary, '265' bonus), officers' pay '263', commuting
//   allowance '271'             -> account on the debit side, '363' credit
//   employment insurance '268', health and pension insurance, income and
//   resident tax, other deductions '134'
//                               -> '363' debit, account on the credit side
//   year-end tax refund '134'   -> account on the debit side
//   net pay                     -> '363' debit, the bank account or cash '004'
//                                  on the credit side
//
// A zero figure writes no line. A negative figure is posted with its absolute
// amount on the opposite sides, so no line ever carries a negative amount and
// '363' still balances. The net pay paid in cash lowers the pay day's cash
// balance (a negative net pay raises it) and every later day follows.
//
// Reading the payroll product's database is not done here (see
// exchange/payrollsource.h); this part only turns the figures into lines and
// posts them.

#include <QString>
#include <optional>
#include <vector>

#include "ledger/importposting.h"
#include "platform/currency.h"

// What the import screen offers, read from the current company: its period
// (WK_COMPANY) and months (T_DAY_INPUT up to the closing month), and the
// bank accounts in use ('012' to '014' with a user number).
struct PayrollChoices {
    QString kisyu;     // fiscal start, the earliest pay date accepted
    QString kimatu;    // fiscal end
    QString siinlday;  // last input day, the latest pay date accepted
    struct Month {
        QString label;  // OUTYM, e.g. "2011年04月"
        QString ym;     // "yyyymm"
    };
    std::vector<Month> months;
    struct Bank {
        QString name;    // KANNAME
        QString kocode;  // "012"
    };
    std::vector<Bank> banks;
};
// nullopt after a read error; error (when given) receives "<code> <text>".
std::optional<PayrollChoices> LoadPayrollChoices(QString* error = nullptr);

// The ten figures of one import, each summed over the chosen pay lines.
struct PayrollSums {
    Currency kyuyo;        // gross pay less absence deductions
    Currency yhosyu;       // officers' pay
    Currency health;       // health insurance, employee's share
    Currency nenkin;       // pension insurance, employee's share
    Currency koyohoken;    // employment insurance, employee's share
    Currency tax;          // income tax withheld
    Currency simizei;      // resident tax withheld
    Currency tukinteate;   // commuting allowance
    Currency nentyomoney;  // year-end adjustment refund
    Currency skojyo;       // other deductions

    bool allZero() const;
};

// Gross additions less every deduction.
Currency PayrollNetPay(const PayrollSums& sums);

enum class PayrollKind { Salary, Bonus };
enum class PayrollMethod { Bank, Cash };

struct PayrollChoice {
    QString payDate;      // "yyyy/mm/dd": the lines' date and voucher
    QString monthLabel;   // the chosen month's label, put before every description
    PayrollKind kind = PayrollKind::Salary;
    PayrollMethod method = PayrollMethod::Bank;
    QString bankAccount;  // KOCODE of the bank account paid from (Bank only)
};

// "給与" or "賞与".
QString PayrollKindText(PayrollKind kind);

// The journal lines of one import in posting order; only non-zero figures
// give a line.
std::vector<ImportLine> PayrollImportLines(const PayrollSums& sums, const PayrollChoice& choice);

// Whether this month and kind seem imported already: a line of the pay date
// against '363' whose description starts with the month label and the kind
// text. nullopt after a read error (and its message).
std::optional<bool> PayrollAlreadyImported(const PayrollChoice& choice);

// The step of the import that failed.
enum class PayrollStep { None, Posting, CashVoucher, MonthMarks, Commit };

// Posts the lines in one transaction: the lines (with their day vouchers and
// the cash chain), the pay day's voucher marked registered when cash paid the
// net pay, the pay date's month marked for summation (accounts and
// sub-accounts). Any failure rolls all of it back. kisyu is the fiscal start.
PayrollStep PostPayrollImport(std::vector<ImportLine>& lines, const PayrollChoice& choice, const QString& kisyu);

// For tests: makes the named step fail (None: no failure).
void SetPayrollImportFailureForTest(PayrollStep step);
