#pragma once
// The bank statement import: every line of a statement file (ledger/
// bankstatement.h) becomes one journal line of the current company between
// the chosen bank account and an account chosen by the two-digit code at the
// head of the line's description; a line with the cash code also moves that
// day's cash balance. The lines are posted through the import posting
// (ledger/importposting.h); the months they fall in are marked for summation.
// One import is one transaction: a failure leaves the journal as it was.

#include <QString>
#include <optional>
#include <vector>

#include "ledger/importposting.h"

// One bank account the import can post against.
struct BankAccount {
    QString kocode;  // "012", "013" or "014"
    QString name;    // KANNAME
};

// The current chart's ordinary-deposit accounts in use with a user number,
// in KMCODE order; nullopt when the chart cannot be read.
std::optional<std::vector<BankAccount>> BankAccounts();

// KISYU and SIINLDAY of WK_COMPANY: the range of days the import posts.
// False when they cannot be read.
bool ReadBankImportRange(QString& first, QString& last);

// Classification by description code. The code is the first two characters
// of the description with blanks at both ends removed, full-width characters
// read as half-width. Sets line.account, line.counter (the bank account) and
// line.direction from the code and from which of withdrawal and deposit is
// not blank (the withdrawal tested first); for the codes of the table the
// code is taken off the description.
//   01 282  02 292  03 280  04 272  05 275  06 276  07 271  08 287  09 279
//   10 285  11 281  12 286  13 309  21 247        (direction "0")
//   30 cash 004: "0" for a withdrawal, "1" for a deposit
//   31 107 "0" for a withdrawal, 314 "1" for a deposit
//   other: 283 "0" for a withdrawal, 180 "1" for a deposit
// Without either amount, codes 30 and 31 and other codes leave the account
// (and for other codes the counter account and direction) empty.
void get_kamoku_code(QString& description, const QString& withdrawal, const QString& deposit,
                     const QString& bankAccount, ImportLine& line);

enum class BankImportResult {
    Done,    // committed; "銀行データの取込処理が正しく終了しました。" shown with the count of lines posted
    NoData,  // no usable data in the file, or no line in the range (said so); nothing written
    Failed,  // a message has been shown; nothing written
};

// Imports the statement file at path against bankAccount. Lines dated before
// first or after last (the range of ReadBankImportRange) are skipped; first
// is also the fiscal start the voucher creation needs. Every message is
// shown here.
BankImportResult ImportBankStatement(const QString& path, const QString& bankAccount, const QString& first,
                                     const QString& last);
