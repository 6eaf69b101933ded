#pragma once
// Day vouchers (T_SIWAKE) and their journal lines (T_SI_MEISAI) of the current
// company gstrCID: lookup, numbering, the voucher range of the daily entry, the
// cash balance carried from day to day, the opening cash balance, and the
// zero-amount line that a scheduled pattern puts on a new day voucher.
//
// None of these opens a transaction: a caller that changes several rows holds
// one and rolls it back when a service returns false (or an empty optional).
// Every message is a warning box with an OK button titled gstrSoftName.
//
// Numbering: a voucher code DENCODE is five-digit text ("00001", the highest
// code of the company plus one); a line number DENMENO three-digit text within
// its voucher ("001", the voucher's highest number plus one). Codes are
// maximised as text; the fixed width makes text order numeric order.

#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "platform/currency.h"

namespace platform {
class Row;
}

// One day voucher as the lookup returns it. When no voucher matched, the texts
// are empty and the numbers 0.
struct SiwakeData {
    QString denCode;   // DENCODE
    QString denDay;    // DENDAY, "yyyy/mm/dd"
    QString denNo;     // DENNO
    Currency yDayZan;  // YDAYZAN, cash before the day
    Currency dayZan;   // DAYZAN, cash after the day
    double rate = 0;   // RATE, exchange rate of the day (as typed)
};

// Looks a voucher of the current company up by one key column: "DENDAY",
// "DENNO" or "DENCODE" (each names at most one voucher). Returns 1 and fills
// data when found, 0 with data cleared when none matched, -1 when the read
// failed (or the key column is none of the three); shows no message.
int GetSiwakeData(const QString& keyColumn, const QString& keyValue, SiwakeData& data);

// The highest voucher code of the current company as a number, 0 when it has
// none. On a failed read shows "仕訳データの検索中にエラーが発生しました(GetMaxSiwakeDenpyoNo)。"
// and returns nullopt, which the caller must treat as a failure (roll back),
// never as "no voucher yet".
std::optional<int> GetMaxSiwakeDenpyoNo();

// The highest line number of one voucher as a number, 0 when it has no line.
// On a failed read shows
// "仕訳明細データの検索中にエラーが発生しました(GetMaxSiwakeMeisaiDenpyoNo)。" and
// returns nullopt. Ask again before every line inserted, so that consecutive
// inserts within one transaction number consecutively.
std::optional<int> GetMaxSiwakeMeisaiDenpyoNo(const QString& denCode);

// A voucher code from its number: at least five digits ("0####"), 10 -> "00010".
QString FormatDenCode(int number);
// A line number from its number: at least three digits ("0##"), 4 -> "004".
QString FormatDenMeNo(int number);

// A range of day vouchers by their codes ("00001"), both ends included.
struct VoucherRange {
    QString minDenCode;
    QString maxDenCode;
};

// The current company's lowest and highest voucher codes (both empty when it
// has none). On a failed read shows
// "仕訳伝票のアクセス中にエラーが発生しました(GetMinMaxSiwakeDenCode)。" and returns nullopt.
std::optional<VoucherRange> GetMinMaxSiwakeDenCode();

// How UpdateSiwakeZandaka reads its amount.
enum class ZandakaMode {
    // The amount is the change to carry (every caller but one).
    Shift,
    // The amount is the new cash balance before the day; the change is that
    // balance less the YDAYZAN of the first voucher dated on or after the day
    // (the first day of a period often has no voucher). Only the
    // opening-balance screen passes this, with the fiscal start day and the
    // new opening cash.
    OpeningBalance,
};

// Carries a change of the cash balance into the day's voucher and every later
// voucher of the current company: both YDAYZAN and DAYZAN of every voucher
// dated on or after day ("yyyy/mm/dd") move by the same amount, in one
// statement. When no voucher is dated on day (in OpeningBalance mode: on or
// after day) nothing changes and the result is true. On a failure shows
// "T_SIWAKEのアクセス中にエラーが発生しました(UpdateSiwakeZandaka)。" and returns false; the failed statement
// changed nothing. The company is cid; the form without it works on gstrCID.
bool UpdateSiwakeZandaka(const QString& cid, const QString& day, Currency amount, ZandakaMode mode);
bool UpdateSiwakeZandaka(const QString& day, Currency amount, ZandakaMode mode = ZandakaMode::Shift);

// The opening balance of the cash account (KOCODE "004") of the current
// company from T_KISYUZAN, and its opening exchange rate in rate; 0 and rate 0
// when the company has no such row. On a failed read shows
// "勘定科目マスタのアクセス中にエラーが発生しました(GetKisyuzan)。" and returns
// nullopt (rate 0), so that the caller stops instead of opening with 0.
std::optional<Currency> GetKisyuzan(double& rate);

// Writes the zero-amount journal line of one batch-journal pattern into
// T_SI_MEISAI under voucher denCode, dated day ("yyyy/mm/dd") with month key
// month ("yyyy/mm"), as the voucher's next line. pattern holds at least the
// columns KRCODE and KSCODE (account numbers, KMCODE) and TENAME (the line's
// description). Each side names its account's KOCODE and lowest sub-account,
// and the other side's account as its counter account; an account number that
// names no account leaves that side's codes empty. ptcode is KRCODE followed
// by KSCODE. A failed read shows
// "データベースのアクセス中にエラーが発生しました(SetSiwakeMeisaiData)。" and returns
// false with nothing inserted; a failed insert returns false after the row
// writer's message.
bool SetSiwakeMeisaiData(const platform::Row& pattern, const QString& denCode, const QString& day,
                         const QString& month);

// The accounts of a pattern's line as SetSiwakeMeisaiData names them, looked
// up once where one pattern writes many lines. A failed read shows
// "データベースのアクセス中にエラーが発生しました(SetSiwakeMeisaiData)。".
struct PatternAccounts {
    QString debit, debitSub, credit, creditSub;  // KOCODE and lowest HOKOCODE of each side
};
std::optional<PatternAccounts> GetPatternAccounts(const platform::Row& pattern);
// SetSiwakeMeisaiData with the pattern's accounts already looked up.
bool SetSiwakeMeisaiData(const platform::Row& pattern, const PatternAccounts& accounts, const QString& denCode,
                         const QString& day, const QString& month);

// The most lines one voucher holds: DENMENO has three digits.
constexpr int kMaxVoucherLines = 999;

// The message shown when a day has no room left for another line:
// "仕訳明細は1伝票999行までです。<day>の伝票に空きがないため、これ以上の仕訳を登録できません。"
QString FullDayMessage(const QString& day);

// Numbers the journal lines written into the days of the current company
// within one transaction. A day may hold several vouchers (T_SIWAKE rows with
// the same DENDAY, consecutive codes), each of at most kMaxVoucherLines lines.
// A day's next line goes into the first of its vouchers (in code order) that
// still has room, numbered on from that voucher's highest number; the highest
// number of a voucher is read once and then counted on in memory, which gives
// every line what reading it again before each insert would give, provided
// nothing else writes lines into the same days meanwhile.
//
// When every voucher of the day is full and the day is the company's latest
// (the day of its highest voucher code), a further voucher of the same day is
// written: the highest code plus one (also its DENNO), today as INDAY, and the
// day's balances, rate and KESSAN, so that every voucher of a day carries the
// same cash before and after the day. An earlier day cannot take one without
// breaking the order of codes and days: the line is refused with
// FullDayMessage instead. The caller's transaction rolls back what was written.
class DayLineNumbers {
public:
    struct Slot {
        QString denCode;  // the voucher that takes the line
        QString denMeNo;  // its number there, "001".."999"
    };
    enum class Failure {
        None,
        NoVoucher,  // the day has no voucher; nothing shown
        Shown,      // a message has been shown (a failed read or write, or a full day)
    };

    // The place of the next line of day ("yyyy/mm/dd"); nullopt with failure()
    // telling why.
    std::optional<Slot> next(const QString& day);
    Failure failure() const { return failure_; }
    // Records the voucher just created for a day that had none, holding lines
    // 1 to lines, so that the day's first line needs no read.
    void addNewDay(const QString& day, const QString& code, int lines);

private:
    struct Day {
        std::vector<QString> codes;  // the day's vouchers in code order
        size_t current = 0;          // the voucher being filled
        std::optional<int> last;     // its highest line number, once read
    };
    bool addVoucher(const QString& day, Day& d);

    std::map<QString, Day> days_;
    Failure failure_ = Failure::None;
};

// The decimal text of a rate, the shortest that reads back as the same value
// ("1.23", "110.1234", "0"); see rateDecimalText (platform/currency.h).
QString RateText(double rate);
