#pragma once
// Makes a company current the way the program's callers do: the engine loads
// it (SwitchCompany), and only once that succeeded the caller's program-wide
// state names it (gstrCID). Header only, so that widget-free tests can use it.

#include <QString>

#include "app/common/globals.h"
#include "ledger/company.h"
#include "ledger/previousyear.h"

namespace testenv {

// SwitchCompany(cid), then gstrCID = cid. False (gstrCID unchanged) when the
// switch failed.
inline bool MakeCompanyCurrent(const QString& cid) {
    if (!SwitchCompany(cid)) return false;
    gstrCID = cid;
    return true;
}

// The result of a return to the current year, with its company made current as
// the program's callers make it.
inline CurrentYearReturn MadeCurrent(const CurrentYearReturn& result) {
    gstrCID = result.cid;
    return result;
}

}  // namespace testenv
