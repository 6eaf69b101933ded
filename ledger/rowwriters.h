#pragma once
// Row writers: one function per table that the program fills row by row. Each
// inserts one row, by position, into the table it is given (the table itself
// or a twin of the same layout: its previous-year copy BT_, its editing copy
// WK_ or a staging copy), on gcnKaikei and inside whatever transaction the
// caller holds. None opens a transaction of its own, except that
// WritePrintKomokuTable empties its table and inserts as one unit.
//
// The journal line, day voucher, day amounts, opening balances, sub-accounts
// and month totals have typed records in ledger/records.h; every other row is
// set by column name in a WriterRow (below) and written with WriteRow. The
// value lists by position are for rows read from files, whose records hold
// the table's columns in order (the restore, the conversion import).
//
// Values: values[i] is the value of the table's i-th column in physical
// order, i = 1..N; values[0] is not read (RowValues(N) gives such a list, all
// empty). Extra elements beyond N are ignored; a list without element N fails
// the writer like a failed statement.
//
// Each position has one of five rules:
//   quoted, trimmed   the text without leading and trailing half-width blanks;
//   quoted as is      the text unchanged;
//   date              the text normalised by FormatDateString ("20030401" and
//                     "2003/4/1"-style input become "yyyy/mm/dd"; fewer than
//                     five digits become the empty text);
//   number, empty as zero   an empty text stores 0, any other text must be a
//                     number;
//   number as is      the text must be a number; an empty text fails.
// Numbers are plain decimal text: an optional "-", digits and an optional "."
// with digits ("1500", "-320.5"); grouping commas, blanks, "+", currency signs
// and exponents fail the writer ("320,5" is no number). Amounts take up to
// four decimals (further decimals only as zeros). Amount columns store the exact
// Currency (raw count of 1/10,000 yen), order and counter columns a whole
// number, rate columns a real number. A text that is not a number at a number
// position fails the writer. Every value is bound as a parameter, so a single
// quote in a name or description is stored as typed.
//
// The table name must be one that the writer serves (listed per writer
// below, compared without regard to case); any other name fails the writer.
//
// The writers of the stored tables (those of the text backup: company, chart,
// opening balances, sub-accounts, vouchers, journal lines, day amounts,
// patterns, descriptions, months and the year-end figures) check every value
// before they write (ledger/valuecheck.h): text CP932 holds, without control
// characters, within valuecheck::kTextBytes; amounts within what the amount
// boxes accept; dates that are real days (a date is never moved to another
// day). A refused value fails the writer like a failed statement.
//
// Failures: the writer shows its message and returns false; nothing is
// inserted by that call. Reporting writers show a warning box titled
// gstrSoftName:
//   data name + "( " + table as passed + " )のアクセス中にエラーが発生しました(" + writer + ")。"
// WriteBKanjoTable and WriteBKesansyoTable
// show a plain box with the error number, CR LF, the description and
// "(" + writer + ")"; WriteSiallOutTable follows its warning with a plain box
// holding the error's description. The silent writers (WriteDayToranTable,
// WriteTukikanTable, WriteTukihojoTable) return false without a message when
// the row's key already exists, so that their callers update that row instead;
// any other failure of theirs is reported with
// "データベースのアクセス中にエラーが発生しました(" + writer + ")。".
//
// Data names of the warnings: WriteCompanyTable 会社情報マスタ,
// WriteKisyuzanTable 期首残高マスタ, WriteKanjoTable 勘定科目マスタ,
// WriteHojoKamokuTable 補助科目マスタ, WriteDayInputTable 日付入力用マスタ,
// WriteSiwakeTable 仕訳データ, WriteSiMeisaiTable 仕訳明細データ,
// WriteSiPatternTable 仕分パターンマスタ, WriteTekiyoTable 摘要マスタ,
// WriteTukisimeTable 月次締データ, WritePrintKomokuTable 印刷用項目データ,
// WriteTotalMeisaiTable 集計明細データ, WriteSiallOutTable 仕分一覧表出力データ,
// WriteSkanmtOutTable 総勘定元帳出力用データ,
// WriteSkansubmtOutTable 総勘定補助元帳出力用データ,
// WriteTukisyusiTable and WriteTukisyusiHeadTable 月別収支内訳表印刷用データ,
// WriteKesansyoTable 決算書印刷用データ.

#include <QAnyStringView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "platform/currency.h"

// A value list for a writer of count values: count + 1 empty texts, element 0
// unused.
QStringList RowValues(int count);

// One of the writers below.
using RowWriter = bool (*)(const QStringList& values, const QString& table);

// The column names of the tables a writer serves, in their order: position i
// of the writer's value list is column i - 1 of this list. The one column list
// of those tables, which WriterRow and the records of ledger/records.h use.
const QStringList& WriterColumns(RowWriter writer);

// The value of a column in a writer's value list whose position 1 is at index
// first (1 for a value list as the writers take it, 0 for a file's record), or
// the empty text when the list is shorter; a column the writer's tables lack
// is reported (platform::reportMissingColumn) and reads as the empty text.
QString ColumnValue(RowWriter writer, const QStringList& values, QAnyStringView column, int first = 1);

// A row for one writer, its values set by column name (as WriterColumns names
// them, compared without regard to case). A value is one of:
//   - a text: taken by the column's rule exactly as a value list's text is
//     (trimmed, a date normalised, a number read from its text);
//   - an amount (Currency) at an amount column: stored as its raw count of
//     1/10,000 yen, with no text in between;
//   - a whole number (qint64 or int) at an order or counter column;
//   - a rate (double) at a rate column: stored as the number its decimal text
//     (rateDecimalText) reads as, as a rate typed as that text would be.
// A column left unset is the empty text. The writer's checks and messages are
// those of the value list (an amount is checked as its text would be).
// Setting a column the tables do not have, or a value of a kind the column
// does not take (an amount at a text column), is reported as a read of a
// missing column is (platform::reportMissingColumn: the tests stop on it) and
// fails the writer.
class WriterRow {
public:
    using Value = std::variant<std::monostate, QString, Currency, qint64, double>;

    explicit WriterRow(RowWriter writer);

    WriterRow& set(QAnyStringView column, const QString& text);
    WriterRow& set(QAnyStringView column, const char* text) = delete;  // a text is a QString
    WriterRow& set(QAnyStringView column, Currency amount);
    WriterRow& set(QAnyStringView column, qint64 number);
    WriterRow& set(QAnyStringView column, int number) { return set(column, qint64(number)); }
    WriterRow& set(QAnyStringView column, double rate);

    RowWriter writer() const { return writer_; }
    // The value of position i (1..N); unset values are std::monostate.
    const Value& value(int position) const { return values_[size_t(position - 1)]; }
    int count() const { return int(values_.size()); }
    // The first column set that the tables do not have, or the empty text.
    const QString& unknownColumn() const { return unknown_; }

private:
    WriterRow& put(QAnyStringView column, Value&& value);

    RowWriter writer_;
    const void* layout_ = nullptr;  // the writer's layout
    std::vector<Value> values_;
    QString unknown_;
    int next_ = 0;  // the position after the last one set: the likely next one
};

// Writes the row into table through its writer: the same tables, checks,
// messages and result as the writer given a value list.
bool WriteRow(const WriterRow& row, const QString& table);

// Writes rows (each a value list as the writer takes it) into table: the same
// as calling writer(row, table) for each row in turn (the same conversions,
// checks and messages; it stops at the first row that fails and returns
// false), with one compiled statement for all of them. For loading many rows.
bool WriteRows(RowWriter writer, const std::vector<QStringList>& rows, const QString& table);

// The first value of a row that writer would refuse by the checks above: its
// position (from 1), its column ("TEKIYO(30番目の値)") and the reason. values
// hold the row's values from position 1 on (count of them); table names the
// table for the column's name. nullopt when every value passes (or the writer
// checks none). Dates are held to the form files hold them in: "yyyy/mm/dd"
// of a real day, or empty.
struct RowRefusal {
    int position = 0;
    QString column;
    QString reason;
};
std::optional<RowRefusal> FirstRefusedValue(RowWriter writer, const QStringView* values, int count,
                                         const QString& table);
// The same for a value list whose position 1 is at index first.
std::optional<RowRefusal> FirstRefusedValue(RowWriter writer, const QStringList& values, int first,
                                         const QString& table);

// Inserts rows read from a file into table through one compiled statement,
// each value converted by its position's rule as writer converts it (texts
// trimmed, dates normalised, amounts exact), for rows whose values
// FirstRefusedValue has passed already: they are not checked again, and no
// heap string is made per value. A failure is kept and shown by
// reportFailure() with the writer's own message, so that a reader can go on
// to look for a refusal that is to be reported first. A writer or table
// outside the stored tables takes the writer's own road row by row (its
// message then shown at once).
class CheckedRowInserter {
public:
    CheckedRowInserter(RowWriter writer, const QString& table);
    ~CheckedRowInserter();
    CheckedRowInserter(const CheckedRowInserter&) = delete;
    CheckedRowInserter& operator=(const CheckedRowInserter&) = delete;
    // values hold positions 1..N of the writer at values[0..N-1]. False on
    // a failure (from then on every call fails).
    bool insert(const QStringView* values);
    // Shows the writer's message for the failure kept (nothing when there is
    // none or it has been shown already).
    void reportFailure();

private:
    struct State;
    std::unique_ptr<State> d_;
};

// ---- Company and chart tables

// 27 values: T_COMP_MAIN, WK_COMPANY, BT_COMP_MAIN.
// 1-13 quoted, trimmed; 14, 15 date; 16-18 quoted, trimmed; 19 NENDOSU number,
// empty as zero; 20-22 quoted, trimmed; 23 date; 24 SIHON amount, empty as
// zero; 25 date; 26 quoted, trimmed; 27 RATE rate, empty as zero.
bool WriteCompanyTable(const QStringList& values, const QString& table);

// 11 values: T_KISYUZAN, BT_KISYUZAN.
// 1-4 quoted, trimmed; 5 KISYUZAN amount and 6 JUN number, empty as zero; 7-10
// quoted, trimmed; 11 RATE rate, empty as zero.
bool WriteKisyuzanTable(const QStringList& values, const QString& table);

// 24 values: T_KANJO.
// 1-17 quoted, trimmed; 18 KISYUZAN amount, empty as zero; 19-22 quoted,
// trimmed; 23 JUN number, empty as zero; 24 quoted, trimmed.
bool WriteKanjoTable(const QStringList& values, const QString& table);

// 25 values: BT_KANJO (CID, then the 24 columns of T_KANJO).
// 1-18 quoted, trimmed; 19 KISYUZAN amount, empty as zero; 20-23 quoted,
// trimmed; 24 JUN number, empty as zero; 25 quoted, trimmed. Plain error box.
bool WriteBKanjoTable(const QStringList& values, const QString& table);

// 6 values: T_HOJOKAMOKU, BT_HOJOKAMOKU.
// 1-5 quoted, trimmed; 6 KISYUZAN amount as is (empty fails).
bool WriteHojoKamokuTable(const QStringList& values, const QString& table);

// ---- Journal tables

// 9 values: T_SIWAKE, BT_SIWAKE.
// 1-3 quoted, trimmed; 4 DENDAY, 5 INDAY date; 6 quoted, trimmed; 7 YDAYZAN,
// 8 DAYZAN amounts and 9 RATE rate, empty as zero.
bool WriteSiwakeTable(const QStringList& values, const QString& table);

// 31 values: T_SI_MEISAI, T_SIMEISAI_FUKYU, BT_SI_MEISAI.
// 1-3 quoted, trimmed; 4 SIDAY date; 5-11 quoted, trimmed; 12 KRTRITU rate,
// 13-15 KRTKIN, KRTKINNO, KRKIN amounts, empty as zero; 16-22 quoted, trimmed;
// 23 KSTRITU rate, 24-26 KSTKIN, KSTKINNO, KSKIN amounts, empty as zero; 27-31
// quoted, trimmed.
bool WriteSiMeisaiTable(const QStringList& values, const QString& table);

// 35 values: T_DAY_TORAN, BT_DAY_TORAN. Silent.
// 1-4 quoted, trimmed; 5-35 KIN1..KIN31 amounts as is.
bool WriteDayToranTable(const QStringList& values, const QString& table);

// 7 values, all quoted, trimmed: WK_SI_PATTERN, T_SI_PATTERN, BT_SI_PATTERN.
bool WriteSiPatternTable(const QStringList& values, const QString& table);

// 3 values, all quoted, trimmed: WK_TEKIYO, T_TEKIYO, BT_TEKIYO.
bool WriteTekiyoTable(const QStringList& values, const QString& table);

// ---- Period and monthly-total tables

// 3 values, all quoted, trimmed: T_DAY_INPUT, BT_DAY_INPUT.
bool WriteDayInputTable(const QStringList& values, const QString& table);

// 5 values, all quoted, trimmed: T_TUKISIME, BT_TUKISIME.
bool WriteTukisimeTable(const QStringList& values, const QString& table);

// 7 values: T_TUKIKAN. Silent.
// 1-3 quoted, trimmed; 4-7 amounts as is.
bool WriteTukikanTable(const QStringList& values, const QString& table);

// 8 values: T_TUKIHOJO. Silent.
// 1-4 quoted, trimmed; 5-8 amounts as is.
bool WriteTukihojoTable(const QStringList& values, const QString& table);

// ---- Report work tables

// 9 values, all quoted, trimmed: T_PRINTKOMOKU. Empties the table first, so it
// holds only the new row; a failure leaves the table as it was.
bool WritePrintKomokuTable(const QStringList& values, const QString& table);

// 12 values: T_TOTAL_MEISAI, T_TOTAL1.
// 1-8 quoted, trimmed; 9-12 amounts as is.
bool WriteTotalMeisaiTable(const QStringList& values, const QString& table);

// 24 values: T_SIALL_OUT.
// 1-12 quoted, trimmed; 13, 14 amounts as is; 15-21 quoted, trimmed; 22, 23
// amounts as is; 24 quoted, trimmed. A failure shows a second, plain box.
bool WriteSiallOutTable(const QStringList& values, const QString& table);

// 15 values: T_SKANMT_OUT.
// 1-4 quoted, trimmed; 5 JUN number as is; 6-12 quoted, trimmed; 13-15 amounts
// as is.
bool WriteSkanmtOutTable(const QStringList& values, const QString& table);

// 17 values: T_SKANSUBMT_OUT.
// 1-4 quoted, trimmed; 5 JUN number as is; 6-14 quoted, trimmed; 15-17 amounts
// as is.
bool WriteSkansubmtOutTable(const QStringList& values, const QString& table);

// 16 values: P_TUKISYUSI.
// 1-3 quoted, trimmed; 4-16 KIN1..KIN13 amounts as is.
bool WriteTukisyusiTable(const QStringList& values, const QString& table);

// 65 values: P_TUKISYUSI_HEAD.
// 1-13 quoted, trimmed; 14-65 amounts as is.
bool WriteTukisyusiHeadTable(const QStringList& values, const QString& table);

// 156 values: P_KESANSYO.
// 1-126 amounts as is; 127-156 quoted as is.
bool WriteKesansyoTable(const QStringList& values, const QString& table);

// 66 values: T_KESANSYO, BT_KESANSYO.
// 1 CID quoted as is; 2-65 amounts as is; 66 KESANDAY quoted as is. Plain
// error box.
bool WriteBKesansyoTable(const QStringList& values, const QString& table);
