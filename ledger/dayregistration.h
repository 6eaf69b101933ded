#pragma once
// Registration and deletion of one day of the daily entry, for the current
// company gstrCID, each in one transaction on gcnKaikei: a false from any
// step (after that step's message) rolls everything back, so the tables hold
// exactly what they held before.
//
// What one day is made of:
//   * the income and the purchases and expenses grids: one row per account,
//     with the day's amount and a description; each row's amount goes into the
//     day's column of the account's month row in T_DAY_TORAN (zero included),
//     and a row with an amount and a counter account becomes one journal line
//     (SISYU "0") against that counter account;
//   * the free journal lines (SISYU "1"): any debit account against any
//     credit account, with sub-accounts, an amount and a description.
//
// A grid row stands for the day's SISYU "0" lines that carry its account on
// the side its own line puts it: the debit side (KRKOCODE) for a debit-normal
// account (TAIKBN "0"), the credit side (KSKOCODE) otherwise. The screen shows
// the first such line's description in the row, and the registration replaces
// exactly these lines and the day's free lines; lines the screen does not show
// (other kinds, or lines of accounts that are not in the grids) stay as they
// are. The rebuilt lines are numbered on from the voucher's highest remaining
// line number: income rows, then purchase and expense rows, then free lines.
// A day of more than kMaxVoucherLines lines spans several vouchers of the
// same day: the lines shown are those of all of them, and the rebuilt lines
// fill them in code order (DayLineNumbers, ledger/vouchers.h), each voucher
// on from its highest remaining number; a day that cannot take them is
// refused with FullDayMessage and nothing is written.

#include <QString>
#include <optional>
#include <vector>

#include "platform/currency.h"

// One row of the income or the purchases and expenses grid.
struct GridLine {
    QString kocode;  // the account (hidden column 4)
    QString kmcode;  // its number (column 5)
    QString aicode;  // its counter account (column 7); empty: no journal line
    QString taikbn;  // its side (column 8), "0" debit-normal
    Currency amount;
    QString tekiyo;  // the description as shown
};

// The journal-line column that holds a grid row's account in the row's line
// and in the lines the row stands for: "KRKOCODE" for TAIKBN "0", else "KSKOCODE".
QString GridLineAccountColumn(const QString& taikbn);

// One free journal line as typed in the free-line grid.
struct FreeLine {
    QString pattern;                 // column 1: pattern code, a blank, its name; or empty
    QString debitAccount;            // column 2: "KMCODE KANNAME" or empty
    QString creditAccount;           // column 3
    QString debitSub;                // column 4: "HOCODE HONAME" or empty
    QString creditSub;               // column 5
    std::optional<Currency> amount;  // column 6, nullopt when empty
    QString tekiyo;                  // column 7
    QString debitKocode;             // hidden column 8
    QString creditKocode;            // hidden column 9
};

// The check of the free lines before a registration: the message of the
// first line that cannot be registered, or the empty text when all can.
//   a line with something typed but no debit account: "借方科目を選択してください";
//   ... no credit account: "貸方科目を選択してください";
//   ... no amount: "金額を入力してください";
//   sundry (諸口, account numbers beginning "999") debits and credits that do
//   not add up to the same amount: "諸口の貸借金額の差を０にするように入力してください".
// A line holding nothing but blanks and zeros passes.
QString CheckFreeLines(const std::vector<FreeLine>& lines);

struct DayRegistration {
    QString denCode;  // the day's voucher
    QString day;      // its date, "yyyy/mm/dd"
    std::vector<GridLine> income;
    std::vector<GridLine> expense;
    std::vector<FreeLine> freeLines;
    Currency closingBalance;  // the day's cash after the day (DAYZAN)
    double rate = 0;          // the day's exchange rate (RATE), as typed
};

// Registers the day in one transaction: the day amounts, the day's shown
// journal lines replaced by the grids' lines, the voucher's closing balance
// and rate with KESSAN "1", the change of the closing balance carried into
// every later voucher, and the month marked for summation. True when
// committed; false after a message, with everything rolled back.
bool RegisterDay(const DayRegistration& day);

// Whether the voucher's day has any journal line; nullopt after the error box of
// a failed read.
std::optional<bool> DayHasLines(const QString& denCode);

// Empties the day in one transaction: every journal line of the day's
// vouchers is deleted, each of them goes back to the cash before the day (DAYZAN =
// previousBalance, RATE 0, KESSAN "0"), the difference is carried into every
// later voucher, the day's column of every account's month row in T_DAY_TORAN
// becomes 0, and the month is marked for summation. The voucher rows stay.
// True when committed; false after a message, with everything rolled back.
bool DeleteDay(const QString& denCode, const QString& day, Currency previousBalance);

// Carries the closing balance of the voucher dated day into the following
// vouchers: every voucher from the next calendar day on moves by the
// difference between this day's DAYZAN and the next voucher's YDAYZAN. Also
// when day is today: later vouchers can exist. Runs inside the caller's
// transaction; false after a message (also when the day has no voucher).
bool update_yokujitu_zandaka(const QString& day);
