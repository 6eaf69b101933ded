#pragma once
// Bank statement files: recognising which of the eight layouts a file has and
// reading its statement lines. Nothing here writes to the database.
//
// Encodings, by the file's first bytes:
//   FF FE        UTF-16 little endian, lines split at tabs ("新生銀行");
//   FE FF        UTF-16 big endian, read the same way;
//   EF BB BF     UTF-8: refused, whatever it holds;
//   anything     CP932 (Shift-JIS), lines split at commas.
//
// The CP932 layouts are recognised by the first seven characters of a line
// (blanks at both ends removed), tested in this order:
//   "金銭出納帳"         年月日（西暦y
//   "ジャパンネット銀行"   "操作日(年)   or   操作日(年),
//   "イーバンク"         取引日,入出金
//   "三井住友銀行"       年月日（和暦）
//   "東京スター銀行"     "日付","お
//   "りそな銀行"         "日付","摘
//   "三菱東京UFJ銀行"    日付,引出金額
// and the UTF-16 layout by a line that starts with 取引日, a tab and 照会番
// (not trimmed). Lines before the header line are skipped; the header line is
// not a statement line; blank lines are skipped. A "りそな銀行" line whose
// first field is empty ends the statement.
//
// Comma splitting follows RFC 4180 field by field: a field that starts with a
// double quote runs to its closing quote (a doubled quote inside is one
// quote, commas inside belong to the field); any other field runs to the next
// comma, quotes inside it staying as they are. Only the first 20 fields count.
//
// A statement is read whole before anything is posted: a line that cannot be
// read (not CP932, an unclosed quote, longer than any statement line), a date
// that is no real day (an era date of a year its era never reached), an
// amount that is no number or beyond what the amount boxes accept, a
// description the value check refuses (ledger/valuecheck.h), or a line with
// neither a withdrawal nor a deposit
// refuses the whole file with a message naming the file and its line.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The layout name of a file that is not recognised.
QString UnrecognisedLayoutName();

// One statement line, converted.
struct StatementLine {
    int fileLine = 0;    // the line's number in the file, from 1
    QString date;        // "yyyy/mm/dd"
    QString description; // the description field as it stands
    QString amount;      // decimal text, negative for a withdrawal
    QString withdrawal;  // the withdrawal text as read (empty: none)
    QString deposit;     // the deposit text as read (empty: none)
};

struct BankStatement {
    QString layout;  // one of the eight layout names, or UnrecognisedLayoutName()
    std::vector<StatementLine> lines;
};

enum class StatementRead {
    Read,           // a layout was recognised and every line read
    NotRecognised,  // UTF-8, no known header, or the file cannot be opened
    Refused,        // a recognised file with a line that cannot be read
};

// "Unicode", "Unicode Big Endian", "UTF-8" or "ANSI", from the first bytes.
QString BankFileCharset(const QByteArray& head);

// Splits one CP932-layout line into its fields (at most 20). False when a
// quoted field is not closed.
bool SplitStatementCsvLine(const QString& line, QStringList& fields);

// Reads the statement in bytes; fileName names the file in messages. On
// NotRecognised and Refused, message (when given) receives what to tell the
// user (empty when there is nothing to add to "no usable data").
StatementRead ReadBankStatementBytes(const QByteArray& bytes, const QString& fileName, BankStatement& out,
                                     QString* message = nullptr);
// The same for a file.
StatementRead ReadBankStatementFile(const QString& path, BankStatement& out, QString* message = nullptr);
