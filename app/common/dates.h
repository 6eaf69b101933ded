#pragma once
// Dates as the program keeps them: "yyyy/mm/dd" text, compared as text.
// These functions turn typed dates into that form, clamp months and days, and
// convert between Western dates and Japanese era dates. None shows a message.
//
// Era dates: the era is chosen by the full date, each era starting on its
// real first day (大正 1912/07/30, 昭和 1926/12/25, 平成 1989/01/08,
// 令和 2019/05/01; every earlier date is 明治). The era year is written with
// at least two digits ("01" for the first year).
//
// Output modes of the era conversions: 0 = the three parts run together,
// 1 = joined by "/", 2 = followed by "年", "月" and "日". Any other mode gives
// the empty text.

#include <QString>

// The typed text normalised to "yyyy/mm/dd", month and day clamped; only the
// half-width digits of the text count. 5 or 6 digits are yymmdd (71..99 in
// the 1900s, 00..70 in the century of today's date, from platform::Clock);
// 7 or more are yyyymmdd. Fewer than 5 digits give the empty text.
QString FormatDateString(const QString& text);

// The month clamped to "01".."12"; the empty text for a blank month.
QString FormatMonth(const QString& month);

// The day clamped to 1..the last day of the month, with two digits. When the
// day had to be clamped, the clamped value is also written back into day, so
// "31" yields the last day of any month.
QString FormatDay(const QString& year, const QString& month, QString& day);

// Gregorian rule: divisible by 400, or by 4 and not by 100.
bool IsLeapYear(int year);

// A Western date ("yymmdd", "yyyymmdd" or "yyyy/mm/dd"; a two-digit year above
// 90 is in the 1900s, otherwise in the 2000s) as an era date in the given
// mode; the era name is written into eraName. Month and day are taken as they
// stand. Blank text gives the empty text and leaves eraName alone; so does
// text of any other length.
QString SeirekiToWareki(const QString& date, QString& eraName, int mode);

// An era date ("YYMMDD", or "YY/MM/DD") of the named era as a Western date in
// the given mode. Blank text and "//" give the empty text. An era name the
// program does not know leaves the era year as the year.
QString WarekiToSeireki(const QString& date, const QString& eraName, int mode);

// The Western day "yyyy/mm/dd" of an era date, or the empty text when there is
// no such day: an era the program does not know, an era year before 1, a month
// or day that does not exist, or a day outside the era (明治 from 1868/01/01 to
// 1912/07/29, 大正 to 1926/12/24, 昭和 to 1989/01/07, 平成 to 2019/04/30, 令和
// from 2019/05/01 on). Nothing is clamped: H31.5.1 and H38.1.11 give the empty
// text.
QString EraDayToWestern(const QString& eraName, int eraYear, int month, int day);
