#pragma once
// Creation of the missing day vouchers of the current company, run by the
// daily entry screen when the main menu or the input/output menu opens it.
//
// Every calendar day of a company has one day voucher (T_SIWAKE). The first
// voucher of a company, "00001", is dated on the fiscal start day and opens
// with the cash account's opening balance and opening rate (GetKisyuzan).
// Then every day after the company's last voucher up to the earlier of today
// (platform::Clock) and the end of the input range gets the next voucher, with
// the last voucher's closing balance as both balances, rate 0, KESSAN "0" and
// today as INDAY. Each new voucher at once receives a zero-amount journal line
// (SetSiwakeMeisaiData) for every scheduled pattern of the company: SETID "2"
// on every voucher, SETID "4" on the voucher whose day of month equals SETPT
// read as a number (a SETPT that is no number schedules nothing). SETID "1"
// patterns are chosen by hand and never added here.

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "ledger/vouchers.h"

// Creates the missing day vouchers and their scheduled pattern lines, then
// returns the company's voucher range (GetMinMaxSiwakeDenCode). kisyu is the company's fiscal start day
// (KISYU) and siinlday the last day that may be entered (SIINLDAY), "yyyy/mm/dd".
//
// Runs inside the caller's transaction (as a savepoint of its own): returns
// the range when everything was written and the range was read again; on
// nullopt it has shown its message and written nothing, and the caller rolls back and
// does not open the screen. The message is
// "仕訳伝票の新規登録中にエラーが発生しました(make_new_siwake_data)。", except where
// a service it called has shown its own (a failed first voucher, opening
// balance, numbering, pattern line or voucher range).
std::optional<VoucherRange> make_new_siwake_data(const QString& kisyu, const QString& siinlday);

// The same creation for an import: the missing day vouchers up to day
// ("yyyy/mm/dd", whatever today is), each later voucher carrying the last
// voucher's closing balance and rate, with its scheduled pattern lines dated
// by its own day and month; then the voucher range. A day that is no valid
// date creates nothing and fails. Same savepoint, messages and result as
// above.
std::optional<VoucherRange> CreateDayVouchersThrough(const QString& kisyu, const QString& day);

// The creation of CreateDayVouchersThrough repeated for the lines of one
// import, inside the import's transaction: the scheduled patterns and their
// accounts are read once, and the company's last voucher is kept between
// calls and read again only when a voucher of a higher code appeared
// meanwhile (a full day's further voucher), so that a new day costs its own
// inserts. No savepoint of its own and no voucher range: the import rolls
// everything back at its first failure.
class DayVoucherRun {
public:
    // kisyu: the fiscal start (KISYU), "yyyy/mm/dd". carryRate: each new
    // voucher takes the last voucher's rate (an import), else rate 0 (the
    // daily entry).
    explicit DayVoucherRun(const QString& kisyu, bool carryRate = true);
    ~DayVoucherRun();

    // Creates the missing day vouchers up to day, as CreateDayVouchersThrough
    // does. False after its message.
    bool through(const QString& day);

    // A voucher the last call created after the company's last voucher, with
    // the number of its scheduled lines (its lines are numbered 1 to lines).
    // The first voucher of a company that had none is not among them.
    struct Created {
        QString day;
        QString code;
        int lines = 0;
    };
    const std::vector<Created>& created() const;
    // DENDAY of the company's last voucher, once a call has succeeded.
    QString lastDay() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
