#pragma once
// Company period: the current company's row in WK_COMPANY, its fiscal label
// gstrNendo and its month list T_DAY_INPUT (with the month status of
// ledger/monthstatus.h).
//
// None of these services opens a transaction: the callers (start-up, company
// switch, company screen, year-end, journal import) begin one, commit on true
// and roll back on false. Each shows its own warning (title gstrSoftName)
// before returning false.

#include <QString>

#include "ledger/monthstatus.h"

// The fiscal label: "第 " + nendosu + " 期" for a corporation (gkbn "1"),
// otherwise the era name and two-digit era year of kisyu ("yyyy/mm/dd")
// followed by "年度", e.g. "平成15年度", "令和07年度".
QString NendoLabel(const QString& gkbn, qint64 nendosu, const QString& kisyu);

// The label of a month "yyyy/mm" in the month list: "2003年 4月", "2003年10月".
QString MonthLabel(const QString& ym);

// The month list of gstrCID in T_DAY_INPUT: left as it is when its first month
// already equals firstYM; otherwise rebuilt with the months firstYM..lastYM,
// at most twelve (the first month is always written). False (after a message)
// when a step or a row write fails, so that the caller rolls back.
bool SetDayInputData(const QString& firstYM, const QString& lastYM);

// Makes gstrCID current: WK_COMPANY = its T_COMP_MAIN row, gstrNendo its
// fiscal label, and its month list and month status rebuilt for its period.
// A gstrCID without a company row leaves WK_COMPANY empty and the rest
// unchanged, and is no failure.
bool ResetCompanyData();
