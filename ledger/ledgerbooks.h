#pragma once
// The builds of the general ledger (総勘定元帳, work table T_SKANMT_OUT) and the
// subsidiary ledger (総勘定補助元帳, work table T_SKANSUBMT_OUT), without widgets.
//
// Both work on the current company gstrCID for a range of months and a range
// of account numbers (KMCODE, compared as text). Each first brings the monthly
// totals up to the last month of the range (msum_main) and then refills its
// work table inside one transaction: a build that fails leaves the previous
// rows and shows why.
//
// General ledger, per posting account of the range (never 202 or 258), by
// account number (trimmed), accounts sharing a number in descending internal
// code KOCODE, which is the order the book prints them in:
//   - a brought-forward row ("繰越残高", date "00.01.01", voucher and line "0")
//     with the account's balance at the end of the month before the first
//     month: its latest T_TUKIKAN row before that month (the opening row
//     "yyyy/00" when there is none in the year), 0 when it has none;
//   - one row per side of a journal line of the range that posts to the
//     account (matched by KOCODE), in order of date, voucher, line and side
//     (debit first), carrying that side's amount plus its tax and the running
//     balance after it. A line that reaches the account only as a tax account
//     gives no row.
// An account is listed when its brought-forward balance is not 0 or it has a
// row in the range. Debit-normal accounts (TAIKBN "0") add debits, the others
// add credits.
//
// Subsidiary ledger: the general-ledger rows whose counter account carries a
// named sub-account, seen from that sub-account (it moves the other way). The
// rows of one sub-account (its account and internal code HOKOCODE) follow each
// other in date order; the sub-accounts follow each other by code, account and
// internal code, and the rows are written in that order (the book reads them
// as written). When the sub-account's own account lies in the range it
// gets a brought-forward row (its latest T_TUKIHOJO row before the first month,
// listed like an account's) and each line its running balance; otherwise its
// lines carry 0. Where the other side of the same journal line (same voucher
// and line number) also has a row, each row names the other's sub-account as
// its counter sub-account.

#include <QString>
#include <optional>
#include <vector>

#include "platform/currency.h"

// A ledger's selection, all as text.
struct LedgerRange {
    QString firstYM;  // first month of the fiscal year, "yyyy/mm"
    QString fromYM;   // first month of the range
    QString toYM;     // last month of the range
    QString fromKm;   // lowest account number KMCODE
    QString toKm;     // highest account number
};

// Refills T_SKANMT_OUT. subsidiaryTotals: the subsidiary ledger runs it and
// needs the sub-account totals brought up to date by the summation. True when
// the table holds the ledger of the range (possibly no row); false after a
// message (the summation's own, or the error number, a line break, the
// description and "(PrintSokanjo)" in a plain box).
bool PrintSokanjo(const LedgerRange& range, bool subsidiaryTotals = false);

// Refills T_SKANSUBMT_OUT for the same range, after bringing the monthly
// totals with the sub-accounts' up to date (msum_main); T_SKANMT_OUT is left
// as it was. False after a message (the summation's own, or the plain box
// with "(PrintMotokanjo)").
bool PrintMotokanjo(const LedgerRange& range);

// Rows of the work table T_SKANMT_OUT or T_SKANSUBMT_OUT; -1 for any other
// name or on a database failure.
qint64 LedgerWorkRowCount(const QString& table);

// The entries of a ledger screen's lists.
struct LedgerMonth {
    QString ym;     // INYM, "yyyy/mm"
    QString label;  // OUTYM, "2010年 4月"
};
struct LedgerAccount {
    QString kmcode;
    QString name;
};

// The current company's months of T_DAY_INPUT in order, up to the month of
// the fiscal year's last day KIMATU (later months are left out). nullopt on a
// database failure.
std::optional<std::vector<LedgerMonth>> LedgerMonths();

// The accounts a ledger offers, by account number: posting accounts in use
// with a number, never 202, 258 or 355 to 362. nullopt on a database failure.
std::optional<std::vector<LedgerAccount>> LedgerAccounts();

// One line of the ledger line viewer, from the work table of the last build.
struct LedgerViewRow {
    QString date;        // "yyyy/mm/dd"
    QString denno;       // voucher number as stored (no leading zeros)
    QString account;     // general: counter code, "　", counter name; subsidiary: name "／" counter name
    QString tekiyo;
    Currency debit, credit;
    QString subAccount;  // general: the counter sub-account; subsidiary: the line's own, "code name"
};

// The lines of T_SKANMT_OUT (subsidiary: T_SKANSUBMT_OUT) without the
// brought-forward rows, by date and line number. nullopt on a database failure.
std::optional<std::vector<LedgerViewRow>> LedgerViewRows(bool subsidiary);

// The voucher code DENCODE of the current company's voucher with the number
// denno (padded to five digits) on the day date. Empty when there is none;
// nullopt on a database failure.
std::optional<QString> LedgerVoucherCode(const QString& date, const QString& denno);
