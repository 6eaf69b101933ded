#pragma once
// The previous-year switch of the current company (gstrCID) and the
// initialisation of its journal data.
//
// Opening the previous year puts the current year aside as a text backup set
// (files 1 to 11 of the catalogue T_BACKUP) in the company's working folder
// <data folder>/Temp/<company folder>/ (the folder name follows the rule of
// ledger/companyfolder.h), then, in one transaction, replaces the company's
// working rows by its previous-year rows (BT_*), so that every screen works
// on the previous year. The return keeps the edited year as the previous
// year again (with fresh year-end figures), reloads the current year from the
// working folder, recomputes its opening balances from the edited year's
// closing balances and carries the cash chain of its day vouchers from the
// new opening cash; also in one transaction.
//
// That a previous year is open is stored in the database (the table
// T_PREVYEAR, one row: the company and its working folder's name, written in
// the opening's transaction, removed in the return's). The current year's
// year-end figures (T_KESANSYO), which no file of the working folder holds,
// are kept aside in the database meanwhile (T_PREVYEAR_KESANSYO). A run that ended while
// the previous year was open (a crash, a kill, a power loss) is thus noticed
// at the next start, which returns to the current year before anything else
// reads the company (ReturnLeftOpenPreviousYear). gblnNowYear mirrors the
// stored state. The restore of a text backup removes the row too
// (ClearPreviousYearOpen), since it loads the company's current year.
//
// Messages are the program's boxes titled gstrSoftName; the success
// information is shown after the commit. done, where a call takes it, runs
// once the work is over, before the closing message (a screen hides its
// progress label and gives the arrow pointer back there).

#include <QString>
#include <functional>
#include <optional>

#include "ledger/textbackup.h"

// The company whose previous year is open: its id, the empty text when the
// current year is loaded. nullopt when the state cannot be read.
std::optional<QString> PreviousYearOpenCompany();

enum class PreviousYearOpening {
    Opened,          // the previous year is loaded, gblnNowYear false
    NoPreviousYear,  // "前年度のデータはありません。" shown, nothing changed
    NotPutAside,     // the current year could not be written to the working
                     // folder, or its copy there does not read back whole
                     // (every file, the backup's format): nothing changed,
                     // a message says so
    Failed,          // a step failed: rolled back (message shown)
};

// Opens the previous year of the current company. It exists when the
// company has a previous-year row whose last day + 1 day is the current
// fiscal start. status follows the writing of the working folder.
PreviousYearOpening OpenPreviousYear(const BackupStatus& status = {}, const std::function<void()>& done = {});

// What a return to the current year did.
struct CurrentYearReturn {
    // The current year is loaded (also when no previous year was open).
    bool ok = false;
    // The company loaded afterwards, which the caller makes current (gstrCID),
    // also after a failure: the company whose previous year was open once the
    // return has switched to it, the current company otherwise.
    QString cid;
};

// Returns to the current year of the company whose previous year is open
// (loaded first, as a step of its own, when another company is loaded or
// current). ok when the current year is loaded (also when no previous year
// was open); gblnNowYear then true and "データが正しく復元されました。" shown
// after the commit. Not ok after the message of what failed: everything after
// the switch rolled back, the previous year stays open.
CurrentYearReturn ReturnToCurrentYear(const std::function<void()>& done = {});

// At start, once the database is open and before the company list is read:
// a previous year left open by the last run is returned (after an
// information saying so). gblnNowYear follows the stored state afterwards.
// Not ok when the state cannot be read or the return failed (message shown).
CurrentYearReturn ReturnLeftOpenPreviousYear();

// Removes the current company's stored "previous year open" row, inside the
// caller's transaction (the restore, which loads the company's current year),
// and puts the current year's year-end figures kept aside back into
// T_KESANSYO.
// False when the statement failed.
bool ClearPreviousYearOpen();

// Clears the journal data of the current company in one transaction: its
// vouchers, journal lines, day amounts and month totals are deleted, every
// opening balance (the working chart, the saved chart with its rate, the
// sub-accounts) set to zero and the month list of sym..eym ("yyyy/mm")
// rebuilt. "初期化を終了しました。" after the commit; on failure
// "マスタのアクセス中にエラーが発生しました(cmdSyokika_ClickErr)。" and nothing
// changed.
bool InitialiseCompanyData(const QString& sym, const QString& eym, const std::function<void()>& done = {});

// Test hook: the step of that name fails as if its statement had (empty:
// none). Steps of the switch: "delete", "copy", "company", "month flags",
// "totals", "state", "reload", "cash", "commit"; of the initialisation:
// "delete", "zero", "month list", "commit". The steps shared with the year
// close fail through SetYearCloseFailureForTest.
void SetPreviousYearFailureForTest(const QString& step);
