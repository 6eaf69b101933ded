#pragma once
// Posting of imported lines (bank statements, payroll) into the day vouchers
// of the current company gstrCID. Each line becomes one journal line of the
// voucher of its date; the missing day vouchers up to that date are created
// first; a line that moves the cash balance changes that day's closing
// balance and every later day's balances follow.

#include <QString>
#include <vector>

#include "ledger/vouchers.h"
#include "platform/currency.h"

struct ImportLine {
    QString date;         // the line's day, "yyyy/mm/dd"
    QString description;  // written trimmed to TEKIYO
    QString amount;       // decimal text; its absolute value is posted
    QString account;      // KOCODE of the account; empty: the line is not posted
    QString counter;      // KOCODE of the account on the other side
    QString direction;    // "0": account on the debit side; else on the credit side
    QString voucherCode;  // output: DENCODE of the voucher that received the line
    Currency cashChange;  // the change of the day's closing cash balance (0: none)
};

// The three steps of one line. None opens a transaction: the caller holds one
// and rolls it back at the first false. kisyu is the fiscal start (KISYU).

// Creates the missing day vouchers up to the line's date (see
// CreateDayVouchersThrough). False after its message.
bool make_new_siwake_data(ImportLine& line, const QString& kisyu);
// Writes the line's journal line into the voucher of its date and sets
// line.voucherCode. True without writing when the account is empty. False
// without a message when no voucher has that date; a malformed amount shows
// "仕訳データのアクセスにエラーが発生しました(write_Siwake_Meisai)。". A day whose
// voucher is full continues in its next voucher (see DayLineNumbers), or the
// line is refused with FullDayMessage. numbers keeps the days' line numbers
// between lines; the form without it reads them afresh.
bool write_Siwake_Meisai(ImportLine& line);
bool write_Siwake_Meisai(ImportLine& line, DayLineNumbers& numbers);
// Carries the closing cash balance of the line's day into every later day.
bool update_yokujitu_zandaka(ImportLine& line);

// Posts every line in order in one transaction: the three steps, and for a
// line with a cash change the change of DAYZAN of its day's vouchers before
// the carry. The cash changes are applied together (before new vouchers are
// created, which copy the last day's balance, and at the end), with the
// balances the line-by-line steps give; the missing day vouchers are created
// as make_new_siwake_data creates them (one DayVoucherRun for the import),
// skipped for a line whose day already has every voucher up to it. On the first failure everything of the import is rolled back and
// false is returned; failedIndex (when given) receives the failed line's
// index. The cash change also marks that day's vouchers registered (KESSAN
// '1'). noVoucher (when given) becomes true when the line failed because no
// voucher has its date: the one failure that shows no message, so that the
// caller can name the line.
bool PostImportLines(std::vector<ImportLine>& lines, const QString& kisyu, int* failedIndex = nullptr,
                     bool* noVoucher = nullptr);
