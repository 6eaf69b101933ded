#pragma once
// The conversion set exchanged with the Chinese-language edition: the text
// backup's files, table list and line format (ledger/textbackup.h), with the
// text columns that carry language written as transfer codes and the account
// names left empty.
//
// A transfer code is four decimal digits per character: the character's
// SEQNO in the character table T_MOJICHG, which both editions ship with the
// same rows in the same order ("0000" for a character the table lacks).
//
// Coded columns, by catalogue SEQNO (value positions from 1):
//   2, 13   2-12 (name, reading, address, telephone, representative), 20, 21
//   4, 15   30 TEKIYO          5, 16   3 OUTYM
//   6, 17   4 SINAME, 5 TENAME, 7 SETPT
//   9, 20   5 HONAME           10, 21  3 TENAME
// Emptied: 1 KNBUN and KANNAME; 8, 19 KANNAME; 12 KANNAME.

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

#include "ledger/restore.h"
#include "ledger/textbackup.h"

namespace platform {
class Connection;
}

// The character table, read in SEQNO order.
class CharacterTable {
public:
    // nullopt when the table cannot be read or holds a row that is not one
    // character in each column, or more than 9,999 rows.
    static std::optional<CharacterTable> load(platform::Connection& cn);

    int size() const { return int(japanese_.size()); }

    // Four digits per character of text: its position (the first one when a
    // character stands twice), "0000" when the table lacks it.
    QString moji_to_code(const QString& text) const;

    // The text of a transfer code, in the Japanese forms or in the Chinese
    // forms. nullopt when codes is not a run of four-digit groups, or a group
    // lies beyond the table; "0000" stands for nothing.
    std::optional<QString> code_to_moji(const QString& codes, bool japaneseForms) const;

private:
    QStringList japanese_;
    QStringList chinese_;
    QHash<QString, int> position_;
};

// Writes the current company's conversion set into the existing folder
// (files "T_001.txt" .. "T_023.txt"; a complete set replaces the files of the
// same names, other files stay). Amounts, rates and dates are written as
// stored. False after a message:
// "T_BACKUPマスタのアクセス中にエラーが発生しました(cmdBackUp_Click)。" (the
// character table, the catalogue, a table or a file), or
// write_data_to_text's message for a value that cannot be written. No closing
// message.
bool ExportConversionSet(const QString& folder, const BackupStatus& status = {});

enum class ConversionImport {
    Imported,  // every table of the set replaced or updated for gstrCID
    Refused,   // the set was refused before anything changed (message shown)
    Failed,    // a step failed and everything was rolled back (message shown)
};

// Replaces the current company's data with the conversion set in folder.
//
// The whole set is read and checked before anything changes: every file
// there, valid CP932, the line format, the catalogue's count of values a
// line, exactly one company line of gstrCID, every line of gstrCID, every
// transfer code one of the table, numbers where numbers are converted,
// voucher codes within 0 to 1024, and every value, decoded and converted, as
// its table's row writer checks it (ledger/valuecheck.h). With japaneseForms false, a decoded text
// that would hold a Chinese form CP932 cannot hold is refused, naming the
// character, file and line (stored, it would stop every text backup).
//
// Then, in one transaction: the chart (T_KANJO, BT_KANJO) and the opening
// balances (T_KISYUZAN, BT_KISYUZAN) are updated in place for the accounts
// the database holds (their names stay); every other table's company rows are
// replaced through the row writers. The rate of a set's line is R, and 100 / R
// is the rate this program stores (0 when R is empty or 0). When the
// company's KANCNG is "1", amounts are converted: the amount × 100 / R,
// computed in double and rounded half away from zero to 1/10,000 yen (the
// capital is divided by 100 once more). Day amounts of days outside the
// voucher-rate table (before the fiscal start) keep their amounts. The
// imported year's months are then flagged for summation and the company's
// month totals deleted. WK_COMPANY follows the imported company row (the
// caller shows its label once the import succeeded, CurrentNendoLabel). A previous year of the company left
// open ends with the import (its stored flag is removed in the transaction),
// since the imported rows are the company's current year.
//
// Shows "インポート処理が正しく終了しました。" on success.
ConversionImport ImportConversionSet(const QString& folder, bool japaneseForms);
