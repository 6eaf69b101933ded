#pragma once
// The monthly journal CSV pair: the current company's dated journal lines of
// one month (or of all months) in a line file, and its company row in a
// company file, carried from one installation to another.
//
// Names: "Data" / "Kaisha" + company id + "_" + month part + ".CSV", the month
// part being the month's label as the month list shows it ("2003年 4月") or
// "00" for all months.
//
// Record syntax (both files): CP932 text, no header, one record per line
// ended by CR LF, every value in double quotes (a quote inside a value
// doubled), values separated by one comma; values in the table's physical
// column order (31 for T_SI_MEISAI, 27 for WK_COMPANY); a null is the empty
// text, a number its plain decimal text ("1500", "-320.5").
//
// The export writes every dated line of the selection (not only those not yet
// exported, so that the receiving side, which replaces the month, loses
// nothing) and marks them exported (KRBUKBN "01"). Both files are written
// under hidden temporary names in the folder (as new files, never through a
// link) and renamed when both are complete, the line file last: a line file
// is never without its company file.
//
// The import reads and checks the pair whole before anything changes: every
// record's value count, an incomplete last record, text that is not CP932
// (the line is named), numbers at number positions, the company id (a pair
// of another company is refused) and every value as the row writers check it
// (ledger/valuecheck.h; file, line and column named). A line longer than any
// record is refused as soon as it is seen. It then replaces the company's dated
// lines of the month (or of all months) by the file's lines in one
// transaction. The company file's row is checked but never stored: WK_COMPANY
// stays the company master's row.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The month part of the names: the label, or "00" for all months.
QString JournalCsvMonthPart(const QString& monthLabel);
QString JournalCsvLineFileName(const QString& cid, const QString& monthLabel);
QString JournalCsvCompanyFileName(const QString& cid, const QString& monthLabel);

// "yyyy/mm" of a month label ("2003年 4月" -> "2003/04"); empty when the text
// is no month label.
QString JournalCsvMonthOfLabel(const QString& monthLabel);

// Reads RFC 4180 records of exactly count values each from CP932 bytes. On a
// fault, nullopt and error names the line ("3行目: ...").
std::optional<QList<QStringList>> ReadCsvRecords(const QByteArray& bytes, int count, QString* error);

enum class JournalCsvResult {
    Done,     // the pair is written (export) or the lines are replaced (import)
    NoLines,  // export: no dated line to write; "抽出データが存在しません。" shown
    Failed,   // a message has been shown; nothing changed in the database
};

// The check an export makes before it asks anything: NoLines, with
// "抽出データが存在しません。" shown, when no dated line of gstrCID meets the
// selection (monthLabel empty = all months); Failed, with a message shown,
// when the lines cannot be read; Done when there is something to write.
JournalCsvResult CheckJournalCsvExport(const QString& monthLabel);

// Writes the pair of gstrCID into folder; monthLabel empty = all months.
JournalCsvResult ExportJournalCsv(const QString& folder, const QString& monthLabel);

// For tests that interrupt an export: hook is called with a description
// before every change of the file system the export makes.
void SetJournalCsvExportStepHook(std::function<void(const QString&)> hook);

// Reads the pair of gstrCID from folder and replaces the lines.
JournalCsvResult ImportJournalCsv(const QString& folder, const QString& monthLabel);

// The month labels of gstrCID's month list (OUTYM of T_DAY_INPUT in INYM
// order); nullopt when the list cannot be read.
std::optional<QStringList> JournalCsvMonthLabels();
