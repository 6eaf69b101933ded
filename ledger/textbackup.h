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
// The set is written as a whole: every file goes to a temporary name in the
// target folder first, and only when all of them were written are they
// renamed into place, replacing the files of the same names (also those that
// differ only in letter case, as a set copied from another system may name
// them). A failure leaves the folder's previous set as it was.

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

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
struct BackupStatus {
    std::function<void()> started;
    std::function<void()> finished;
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

// Appends one line of the format above to out: the row's columns 0 to
// count - 1 (with a count of 1 or less, the first column only). False after
// the message "ファイルアクセス中にエラーが発生しました(write_data_to_text)。"
// (followed by the offending character when a value has no CP932 form);
// out is then unchanged.
bool write_data_to_text(const platform::Row& row, QByteArray& out, int count);

// The text of one value as the backup writes it (before quoting).
QString BackupValueText(const QString& column, const QVariant& value);

// A company name made safe as one folder name: path separators and control
// characters become "_", and a name of only dots ("", ".", "..") has each dot
// replaced by "_" (an empty name gives "_").
QString BackupFolderName(const QString& companyName);

// <data folder>/Data/<company>/ and <data folder>/Temp/<company>/ for the
// current company (CurrentCompanyName()), ending in "/".
QString AutomaticBackupFolder();
QString YearEndWorkFolder();
