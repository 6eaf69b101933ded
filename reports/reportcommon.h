#pragma once
// Helpers shared by the report layouts of this folder: the parts of a page
// header that come from the current company and from the header row
// T_PRINTKOMOKU that book and statement screens write last, just before they
// ask for their report.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

struct CompanyHeader {
    QString name;        // COMPANY
    QString periodFrom;  // PKISYU, "2010年04月01日"
    QString periodTo;    // PKIMATU
};

// The current company's name and fiscal period from WK_COMPANY (empty texts when
// the table holds no row). nullopt on a database failure.
std::optional<CompanyHeader> ReadCompanyHeader(platform::Connection& cn);

// "自 2010年04月01日　至 2011年03月31日"; empty when either end is empty.
QString FiscalPeriodText(const CompanyHeader& company);

// The nine items KOMOKU1..KOMOKU9 of T_PRINTKOMOKU as texts (index 0 is
// KOMOKU1); nine empty texts when the table holds no row. nullopt on a database
// failure.
std::optional<QStringList> ReadPrintKomoku(platform::Connection& cn);

}  // namespace reports
