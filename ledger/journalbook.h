#pragma once
// The build of the journal book (report R_SIWAKE_NIKKI), without widgets.
//
// The journal book lists every journal line of the current company for a range
// of day vouchers, in voucher and line order, with account and sub-account
// names resolved. A range is bounded twice: by voucher number and by date, as
// the two chosen entries of the voucher list give them.
//
// The build fills the work table T_SIALL_OUT (one row per journal line) and
// writes the header row T_PRINTKOMOKU (items 6 and 7 the dates of the range,
// 8 and 9 its voucher numbers without leading zeros), all in one transaction:
// a build that stops after a message leaves the tables as the previous build
// left them.

#include <QString>
#include <optional>
#include <vector>

// One entry of the voucher list: a day voucher and its date.
struct JournalVoucher {
    QString denday;  // "yyyy/mm/dd"
    int denno = 0;   // the voucher number as a whole number (00012 is 12)
};

// The day vouchers of the current company dated on or before the closing day
// KIMATU of WK_COMPANY, in date order. nullopt when they cannot be read.
std::optional<std::vector<JournalVoucher>> ListJournalVouchers();

// A range of day vouchers: both ends as five-digit voucher codes and as dates.
struct JournalRange {
    QString fromVoucher;  // "00001"
    QString toVoucher;
    QString fromDate;  // "yyyy/mm/dd"
    QString toDate;
};

// The range between two entries of the voucher list.
JournalRange JournalRangeOf(const JournalVoucher& from, const JournalVoucher& to);

// The range check: an end before its start (by date or by voucher) shows
// "伝票番号か伝票日付の指定が間違っています。" CR LF "もう一度選択しなおしてください。";
// a range without any journal line "該当データがありません。"; a database failure
// "T_SIWAKEテーブルのアクセス中にエラーが発生しました(InputCheck)。". True when the
// range holds at least one journal line.
bool CheckJournalRange(const JournalRange& range);

// Fills T_SIALL_OUT with the journal lines of the range and writes the header
// row. Per side of a line (debit KR, credit KS):
//   - account "000" (no account on that side): code and name empty;
//   - an account of the chart T_KANJO: its number KMCODE and name KANNAME;
//   - an account the chart does not have: the code itself and "科目なし";
//   - the sub-account, when the line names one: HOCODE and HONAME of that
//     sub-account of the side's own account, empty when there is none.
// Dates print as "yy.mm.dd" and voucher numbers without leading zeros.
// False after "仕訳一覧出力中にエラーが発生しました(PrintShiwakeDen)。".
bool BuildSiwakeNikki(const JournalRange& range);
