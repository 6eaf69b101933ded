#pragma once
// Company period: the current company's row in WK_COMPANY, its fiscal period
// (CurrentPeriod) and label, and its month list T_DAY_INPUT (with the month
// status of ledger/monthstatus.h).
//
// The engine sets no program-wide label: a procedure that changes the row in
// WK_COMPANY leaves it there, and its caller, once it succeeded, shows the new
// label with SetNendoLabel(CurrentNendoLabel()) (app/common/globals.h).
//
// None of these services opens a transaction: the callers (start-up, company
// switch, company screen, year-end, journal import) begin one, commit on true
// and roll back on false. Each shows its own warning (title gstrSoftName)
// before returning false.

#include <QString>
#include <optional>

#include "ledger/monthstatus.h"

namespace platform {
class Connection;
}

// The fiscal label: "第 " + nendosu + " 期" for a corporation (gkbn "1"),
// otherwise the era name and two-digit era year of kisyu ("yyyy/mm/dd")
// followed by "年度", e.g. "平成15年度", "令和07年度".
QString NendoLabel(const QString& gkbn, qint64 nendosu, const QString& kisyu);

// The fiscal period of the company in WK_COMPANY, as the row holds it.
struct FiscalPeriod {
    QString cid;
    QString kisyu;   // the first day, "yyyy/mm/dd"
    QString kimatu;  // the last day, "yyyy/mm/dd"
    QString gkbn;    // "1" for a corporation
    qint64 nendosu = 0;
    QString pkisyu;  // the period as printed on reports
    QString pkimatu;

    // Both days are calendar days written yyyy/mm/dd and the first is not
    // after the last.
    bool valid() const;
    QString firstYM() const { return kisyu.left(7); }   // "yyyy/mm"
    QString closeYM() const { return kimatu.left(7); }  // "yyyy/mm"
    QString openingYM() const { return kisyu.left(4) + QStringLiteral("/00"); }
    QString label() const;  // NendoLabel(gkbn, nendosu, kisyu)
};

// What reading the period found.
struct PeriodRead {
    bool ok = false;                     // false: WK_COMPANY could not be read
    std::optional<FiscalPeriod> period;  // nullopt: WK_COMPANY has no row
    // The period when the table was read, holds a row and the row is valid().
    const FiscalPeriod* validPeriod() const { return ok && period && period->valid() ? &*period : nullptr; }
};

// The one read of the fiscal period: WK_COMPANY's KISYU, KIMATU (trimmed),
// GKBN, NENDOSU, PKISYU, PKIMATU and CID, through gcnKaikei or cn. Shows no
// message.
PeriodRead CurrentPeriod();
PeriodRead CurrentPeriod(platform::Connection& cn);
// The same, when WK_COMPANY holds the company cid: period is nullopt when it
// holds no row or another company's.
PeriodRead CurrentPeriodOf(const QString& cid);

// The fiscal label of the company in WK_COMPANY; nullopt when the table
// cannot be read or holds no row.
std::optional<QString> CurrentNendoLabel();

// The label of a month "yyyy/mm" in the month list: "2003年 4月", "2003年10月".
QString MonthLabel(const QString& ym);

// The month list of the company cid (the form without it: gstrCID) in T_DAY_INPUT: left as it is when its
// first month already equals firstYM; otherwise rebuilt with the months firstYM..lastYM, at most twelve (the
// first month is always written). False (after a message) when a step or a row write fails, so that the
// caller rolls back.
bool SetDayInputData(const QString& cid, const QString& firstYM, const QString& lastYM);
bool SetDayInputData(const QString& firstYM, const QString& lastYM);

// Loads the company cid: WK_COMPANY = its T_COMP_MAIN row, and its month list
// and month status rebuilt for its period. The caller then makes cid current
// (gstrCID) and shows its label (CurrentNendoLabel). A cid without a company
// row leaves WK_COMPANY empty and the rest unchanged, and is no failure.
bool ResetCompanyData(const QString& cid);
