#pragma once
// Month status: which months of the current company (gstrCID) need the
// monthly summation run again.
//
//   T_TUKISIME       one row per month of the fiscal period plus the opening
//                    month ("yyyy/00"): SYORIFLG (account totals) and
//                    SYORIFLGH (sub-account totals), "0" = needs summation,
//                    "1" = summed; SYORIDAY = date of the last change.
//   T_TUKISIMECHECK  one row per company: the target month of the last
//                    completed summation (the opening month after a rebuild).
//
// Months are "yyyy/mm" text and compare as text; the opening month sorts
// before the months of its year. None of these services opens a transaction:
// callers that change data run them inside theirs and roll back on false.
// Each shows its own warning (title gstrSoftName) before returning false/-1.
// Each works on the company cid; the forms without it on gstrCID.

#include <QString>
#include <QStringList>
#include <optional>

// The month after a "yyyy/mm" month, or nullopt when the text is no month.
std::optional<QString> NextMonth(const QString& ym);

// Rebuilds both tables for a fiscal period: the opening month (the first four
// characters of startYM + "/00") and the months from startYM to endYM, at most
// twelve, each with both flags "0" and today's date; the start month is always
// written, also when endYM lies before it. T_TUKISIMECHECK gets the opening
// month. False (after a message) when any step or row write fails.
bool SetTukisimeData(const QString& cid, const QString& startYM, const QString& endYM);
bool SetTukisimeData(const QString& startYM, const QString& endYM);

// Sets one flag to flag for the months fromYM..toYM (inclusive) and stamps
// SYORIDAY with today. kind "Kanjo" (exactly) sets SYORIFLG; any other kind
// sets SYORIFLGH. Months without a row are not added.
bool UpdateTukiSimebi(const QString& cid, const QString& kind, const QString& flag, const QString& fromYM,
                      const QString& toYM);
bool UpdateTukiSimebi(const QString& kind, const QString& flag, const QString& fromYM, const QString& toYM);

// Which months the summation for target month targetYM must rebuild.
// Returns 1 when months are to be summed and writes them, ascending, into
// months[0], months[1], ... (the list is padded to 13 entries; entries not
// written keep their text); 0 when nothing is to be summed; -1 after a failure
// and its message (also when more than 13 months would enter the list).
//   * months up to T whose account flag is "0" -> 1 with those months;
//   * none, and T is not the last summed month -> 1 with every month up to T;
//   * none, and T is the last summed month -> 0; with subAccountLedger true,
//     months[0] becomes "未処理" when a sub-account flag up to T is "0".
int msum_check_tukisime(const QString& cid, const QString& targetYM, QStringList& months,
                        bool subAccountLedger);
int msum_check_tukisime(const QString& targetYM, QStringList& months, bool subAccountLedger);
