#pragma once
// A company's fiscal period and the checks of the company screen, as plain
// functions (no widgets): the screen hands them what its boxes hold and
// applies what they return.
//
// Dates are "yyyy/mm/dd" text, as the date boxes give them; an empty text is
// an empty box. A text that is not a valid date (a box left half typed)
// counts as "no date" for the period rules.
//
// The period rules:
//   E(S)      the period end for a start S: S plus one year minus one day; a
//             29 February start gives 27 February of the next year.
//   通常      the closing date is E(S).
//   期中      S <= closing date <= E(S) (one day up to one year).
//   12 months the months of the period (the month list, the month status and
//             every book) are at most twelve: the closing date may not lie in
//             the 13th calendar month counted from the start month. A start
//             that is not the first of a month therefore cannot be 通常.

#include <QString>
#include <QStringList>

#include "platform/currency.h"

// The messages of the period rules and the input check.
namespace CompanyMessages {
inline const QString StartRequired = QStringLiteral("期首日は、必ず入力してください");
inline const QString Linked = QStringLiteral("期末日と連動しています");
inline const QString ClosingBeforeStart =
    QStringLiteral("期末日が、期首日より過去の日付となるため、連動しません。");
inline const QString ClosingYearOrMore = QStringLiteral(
    "期末日が、期首日より１年以上先の日付を入力しましたので自動的に期末日を期首日の１年後に設定します。");
inline const QString CorporationNameMissing = QStringLiteral("会社名が入力されていません。");
inline const QString IndividualNameMissing = QStringLiteral("屋号又は氏名が入力されていません。");
inline const QString NendoMissing = QStringLiteral("会計年度が入力されていません。");
inline const QString StartMissing = QStringLiteral("期首日が入力されていません。");
inline const QString ClosingMissing = QStringLiteral("期末日が入力されていません。");
inline const QString StartInvalid = QStringLiteral("期首日が正しい日付ではありません。");
inline const QString ClosingInvalid = QStringLiteral("期末日が正しい日付ではありません。");
inline const QString FullYearLinked = QStringLiteral("通常の場合は、期首日は期末日と連動しています。");
inline const QString FullYearMidMonth = QStringLiteral(
    "会計期間は12か月以内です。期首日が月の途中の日付では13か月にわたるため、通常の場合は期首日を月の1日にし"
    "て"
    "ください。");
inline const QString ShortPeriodThirteenMonths = QStringLiteral(
    "会計期間は12か月以内です。期末日は、期首日の月から数えて12か月目の月末日までの日付にしてください。");
inline const QString RateMissing = QStringLiteral("為替レートが入力されていません。");
}  // namespace CompanyMessages

// E(S) as "yyyy/mm/dd"; empty when start is no date.
QString PeriodEnd(const QString& start);

// S plus one year (29 February gives 28 February); empty when start is no date.
QString OneYearLater(const QString& start);

// The end of the voucher input range: the closing date plus three months,
// keeping the day or taking the month's last day ("2004/11/30" gives
// "2005/02/28"); empty when closing is no date.
QString InputLimitDay(const QString& closing);

// "yyyy年mm月dd日" of a date; empty when date is no date.
QString KanjiDate(const QString& date);

// "yyyy/mm" of a date (its first seven characters).
QString PeriodStartMonth(const QString& date);

// Calendar months from the start month to the closing month, both counted
// ("2003/04/15".."2004/04/14" gives 13); 0 when either is no date.
int PeriodCalendarMonths(const QString& start, const QString& closing);

// The date link run when the start-date box is left.
struct ClosingDateLink {
    QString message;          // the warning to show, or empty
    QString closing;          // what the closing-date box holds afterwards
    bool enableSave = false;  // the start box held a date: save and cancel become usable
};
ClosingDateLink LinkClosingDate(bool fullYear, const QString& start, const QString& closing);

// The boxes that a failed check moves the focus to.
enum class CompanyField { None, Name, Nendo, Start, Closing, Rate };

// What the input check reads from the screen.
struct CompanyCheckInput {
    QString name;              // company name box, as typed
    QString nendo;             // period number box, as typed
    QString start;             // start-date box
    QString closing;           // closing-date box
    bool corporation = false;  // 法人 chosen
    bool fullYear = true;      // 通常 chosen (else 期中)
    bool rateOn = false;       // する chosen
    Currency rate;             // the rate box (0 when empty)
};

struct CompanyCheckResult {
    bool passed = false;
    QStringList messages;                     // warnings to show, in this order
    QString closing;                          // the closing-date box after the check's corrections
    CompanyField focus = CompanyField::None;  // where the focus goes after a failure
};

// The check the save button runs before anything is written. Steps in this
// order, the first failing one ending the check: name; period number; start
// date (present, a date); closing date (present, a date); under 通常 a closing
// date other than E(S) is corrected with a message and the check goes on;
// under 期中 a closing date before S (set to S) or on or after S plus one year
// (set to E(S)) fails; the 12-month rule; the rate when する is chosen.
CompanyCheckResult check_input_data(const CompanyCheckInput& input);
