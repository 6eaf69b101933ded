#pragma once
// The text backup of the current company: one file per row of the catalogue
// T_BACKUP ("T_001.txt" .. "T_023.txt"), each line one table row.
//
// File format (what the restore reads back):
//   * a line holds the row's first FLPNO column values in the table's physical
//     column order, each enclosed in double quotes, separated by commas, and
//     ends with CR LF; a double quote inside a value is written twice ("");
//   * a null is the empty text; an amount its decimal yen text ("-320.5",
//     "1200"); a whole number (JUN, NENDOSU) its digits; a rate the shortest
//     decimal text that reads back as its value (RateText);
//   * the text is CP932;
//   * row 1 (T_KANJO, the working chart) holds every row of its table, every
//     other file the rows of the current company gstrCID only.
//
// The set is written as a whole: the files are written into a fresh folder
// and flushed to disk, and only a complete set replaces the previous one, so
// that after a failure, a crash or a power loss the target holds one complete
// set, the previous or the new one:
//   * a company folder (Data/<company>/, Temp/<company>/) is swapped as a
//     whole by renames; files in it that are no part of the set stay;
//   * in a chosen folder the complete set waits in a hidden subfolder and is
//     then renamed file by file over the files of the same names (also those
//     that differ only in letter case, as a set copied from another system
//     may name them); other files are left alone. The folder is remembered
//     in the data folder while the backup is in flight. A set interrupted
//     there is carried through by RecoverBackupFolder (the next start calls
//     it for every remembered folder, the next backup into the folder calls
//     it, a reader of the folder calls it first).
// An interrupted company-folder swap is finished or undone at the next start
// (RecoverInterruptedBackups). No temporary file or folder outlives a
// completed backup.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

#include "ledger/companyfolder.h"

namespace platform {
class Statement;
}

namespace platform {
class Row;
}

// The three situations of a backup.
enum class BackupKind {
    // The user's own backup from the backup screen: the folder comes from the
    // folder chooser; files 1 to 23; ends with "バックアップ処理が正しく終了しました。".
    Chosen,
    // The automatic backup at program end: <data folder>/Data/<company>/,
    // files 1 to 23, no closing message.
    Automatic,
    // The current year put aside while the previous year is opened:
    // <data folder>/Temp/<company>/, files 1 to 11 only, no closing message.
    YearEndWork,
};

enum class BackupResult {
    Written,    // every file of the set is in place
    Cancelled,  // the user cancelled the folder choice: nothing written, nothing shown
    Failed,     // a message has been shown; the folder holds its previous set
};

// What the calling screen shows while the backup runs: started() sets its
// hourglass, shows its message label and repaints; finished() hides the
// label, repaints and restores the pointer. Either may be empty.
// progress(done, total) follows each file written (done of total files), and
// is also called with the same figures every few thousand lines, so a screen
// can keep itself painted while a large table is written.
struct BackupStatus {
    std::function<void()> started;
    std::function<void()> finished;
    std::function<void(int done, int total)> progress;
};

// Asks the user for the target folder (Chosen only): the folder, or nullopt
// when the user cancelled.
using BackupFolderChooser = std::function<std::optional<QString>()>;

// Writes the backup set of the current company. The folder is created when
// missing (Automatic, YearEndWork). Failures show
// "T_BACKUPマスタのアクセス中にエラーが発生しました(DataBackUp)。" (a file or
// folder, the catalogue, a table) or the message of write_data_to_text; the
// status is reset on every way out except the cancelled choice.
BackupResult DataBackUp(BackupKind kind, const BackupStatus& status = {},
                        const BackupFolderChooser& chooseFolder = {});

// How a set is changed on its way out (the edition conversion's set): the
// order of a table's rows (an ORDER BY list of its columns, or the empty
// text) and its values, changed in place before the line is written (values
// of every column of the row, 0-based, as read). Both are given the catalogue
// SEQNO.
struct SetRowChange {
    std::function<QString(int seq)> orderBy;
    std::function<void(int seq, QVariantList& values)> change;
};

// Writes the whole set of the current company (catalogue rows 1 to 23) into
// the existing folder as DataBackUp does into a chosen folder (a complete set
// replaces the files of the same names, other files stay), each row changed
// by change first. Failures show the message failure (or write_data_to_text's
// message for a line that cannot be written); status is reset on every way
// out. No closing message.
bool WriteChangedSet(const QString& folder, const SetRowChange& change, const QString& failure,
                     const BackupStatus& status = {});

// Appends one line of the format above to out: the row's columns 0 to
// count - 1 (with a count of 1 or less, the first column only). False after
// the message "ファイルアクセス中にエラーが発生しました(write_data_to_text)。";
// out is then unchanged. When a value holds a character that would not come
// back the same from CP932 (one it cannot hold, or ¥ U+00A5 and ‾ U+203E,
// which it writes as "\" and "~"), the message goes on to name the character
// and where it is stored: the table (when given), the line of the table's file
// (when lineNumber > 0), the column and the whole value, e.g.
//   「𠮷」はShift-JIS(CP932)で表せない文字です。
//   T_TEKIYO 3行目 列 TENAME:「𠮷野家」
bool write_data_to_text(const platform::Row& row, QByteArray& out, int count, const QString& table = QString(),
                        qint64 lineNumber = 0);

// The text of one value as the backup writes it (before quoting).
QString BackupValueText(const QString& column, const QVariant& value);

// The same lines straight from a statement's current row, in UTF-8, for long
// runs of rows: appends the row's first n values (each as BackupValueText
// gives it, quoted, quotes doubled) and CR LF to line. The statement has at
// least n columns; whole is BackupWholeNumberColumns() of the statement.
std::vector<bool> BackupWholeNumberColumns(const platform::Statement& st);
void AppendBackupLineUtf8(const platform::Statement& st, const std::vector<bool>& whole, int n, QByteArray& line);

// <data folder>/Data/<company>/ and <data folder>/Temp/<company>/ for the
// current company, ending in "/"; <company> is CurrentCompanyFolderName().
// The empty text without a data folder or when the company table cannot be
// read.
QString AutomaticBackupFolder();
QString YearEndWorkFolder();

// Finishes or undoes the interrupted swaps of company folders below the data
// folder gstrDataPath and carries the interrupted backups into remembered
// chosen folders through (called once at start, under the single-instance
// lock).
// True when no leftover of a backup remains.
bool RecoverInterruptedBackups();

// Carries an interrupted backup into a chosen folder through to its end. True
// when no leftover of a backup remains there.
bool RecoverBackupFolder(const QString& folder);

// For tests that interrupt a backup: hook is called with a description before
// every change of the file system a backup makes (an empty hook removes it).
void SetBackupStepHook(std::function<void(const QString&)> hook);
