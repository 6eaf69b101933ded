#pragma once
// The restore of the current company from a text backup set (the format of
// ledger/textbackup.h) and write_data_to_table, which loads one file of such
// a set into one table.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Parses a file of a set in the backup's format (ledger/textbackup.h): each
// line count quoted values separated by commas, a doubled quote standing for
// one quote, ended by CR LF (a last line without its end is accepted), the
// text CP932. nullopt when the file cannot be read, is not valid CP932, not
// in that quoting or holds a line of another count; error then says so,
// headed by heading (default "バックアップデータが正しくありません。") and naming
// the file and the line.
std::optional<std::vector<QStringList>> ReadBackupFile(const QString& path, int count, QString& error,
                                                       const QString& heading = QString());

// Reads the text file rfile and inserts every fldCount values as one row into
// wtable through the row writer that number (the T_BACKUP SEQNO) selects; a
// number outside 1..23 selects none (the file is read, nothing written). For
// number 2 each company row written also refreshes WK_COMPANY with the row of
// the company cid.
// Deletes nothing and opens no transaction: the caller deletes the old rows
// and holds the transaction. A file that is missing, not valid CP932, not in
// the backup's quoting or holds a row of another count is refused with a
// message naming the file and line, before any row is written. False after a
// message.
bool write_data_to_table(const QString& cid, const QString& rfile, const QString& wtable, int number,
                         int fldCount);

enum class RestoreResult {
    Restored,  // every catalogued table of gstrCID holds the set's rows
    Refused,   // the set was refused before anything changed (message shown)
    Failed,    // a step failed: everything rolled back (message shown)
};

// Restores every table of the catalogue T_BACKUP for gstrCID from the set in
// folder, in one transaction: first RecoverBackupFolder(folder), then the
// whole set is read and checked (all files there, valid CP932, the backup's
// quoting, FLPNO values a line, every record's company id gstrCID, every
// value as its table's row writer checks it, ledger/valuecheck.h) before
// anything is deleted; then each table's company rows (the working chart
// T_KANJO whole) are replaced, the restored year's months are flagged for
// summation and the company's month totals are deleted; a previous year that
// was open is closed with it (the stored state is removed, gblnNowYear set),
// since the set holds the current year. On success shows
// "復旧処理が正しく終了しました。". WK_COMPANY follows the restored company row
// (the caller then shows its label, CurrentNendoLabel).
RestoreResult RestoreBackupSet(const QString& folder);
