#pragma once
// The one check of values that come in from a file or another program (the
// restore, the conversion import, the journal CSV import, bank statements,
// the payroll figures) and that the row writers apply once more before they
// store a row. What comes in is held to the rules of what is typed:
//   - text: characters CP932 holds (platform/cp932rules.h), no control
//     character (CR, LF, tab, NUL and the rest), at most the column's bytes in
//     CP932 (kTextBytes for every stored text column);
//   - amounts: plain decimal text within what the amount boxes accept
//     (Currency::kMaxEnteredYen either way), at most four decimals;
//   - dates: real days, never moved to another one (2000/02/30 is refused, not
//     stored as 2000/02/29); era dates of era years that existed.
// Each check returns the reason of a refusal for the user, quoting at most
// kQuotedChars characters of the value, or the empty text when the value
// passes. A reader reports a refusal with RefusalText (file, line, column).

#include <QByteArray>
#include <QString>
#include <QStringView>

#include "platform/currency.h"

namespace valuecheck {

// Bytes in CP932 that every stored text column holds at most. The screens
// allow up to 60 bytes (company name, address); files of earlier versions and
// the conversion set may hold longer descriptions, so the limit is generous.
constexpr int kTextBytes = 256;
// Characters of a refused value that a message quotes.
constexpr int kQuotedChars = 40;

// At most kQuotedChars characters of the value, control characters shown as
// their pictures (␍ ␊ ␉ ␀), followed by "…" when it was cut.
QString Quote(QStringView value);

// Text: CP932, no control character, at most maxBytes bytes in CP932.
QString CheckText(QStringView text, int maxBytes = kTextBytes);
// An amount: plain decimal text ("-1500", "320.5") within the boxes' range;
// an empty text passes only when emptyAsZero.
QString CheckAmount(QStringView text, bool emptyAsZero);
// An amount already read: within the boxes' range; text is quoted.
QString CheckAmountValue(Currency value, QStringView text);
// A whole number (an order, a count) in plain decimal text, at most 12 digits;
// an empty text passes only when emptyAsZero.
QString CheckWholeNumber(QStringView text, bool emptyAsZero);
// A rate in plain decimal text; an empty text passes only when emptyAsZero.
QString CheckRate(QStringView text, bool emptyAsZero);
// A date as the row writers take it ("yyyy/mm/dd", "yyyymmdd", "yymmdd"): a
// text with fewer than five digits passes (it is stored empty); any other
// must name a real day, with month and day as written.
QString CheckDate(QStringView text);
// A date that must be "yyyy/mm/dd" and a real day; an empty text passes.
QString CheckDay(QStringView text);
// The Western day of an era date ("平成", 31, 4, 30 -> "2019/04/30"), or the
// empty text with reason set when the era year or the day never existed.
QString EraDay(const QString& eraName, int eraYear, int month, int day, QString* reason);

// "<heading>\r\n<file> <line>行目 <column>: <reason>"; line 0 and an empty
// column are left out.
QString RefusalText(const QString& heading, const QString& file, qint64 line, const QString& column,
                    const QString& reason);

// Reads the whole file into bytes unless one of its lines (up to a line feed)
// is longer than maxLineBytes: the reading then stops as soon as that is seen,
// without reading the line whole.
enum class BoundedRead { Read, CannotOpen, CannotRead, LineTooLong };
BoundedRead ReadFileBounded(const QString& path, qint64 maxLineBytes, QByteArray& bytes, qint64* badLine);
// The reason for a line that ReadFileBounded refused.
QString LineTooLongReason(qint64 maxLineBytes);
// The longest line a record of count values can take: every value at most
// kTextBytes bytes with each quote doubled, quoted, separated, ended by CR LF.
constexpr qint64 MaxRecordBytes(int count) { return qint64(count) * (2 * kTextBytes + 3) + 2; }

}  // namespace valuecheck
