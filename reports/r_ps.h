#pragma once
// R_PS: the monthly profit and loss statement, printed from T_TOTAL_MEISAI,
// T_TOTAL1 and the header row T_PRINTKOMOKU that the statement screen fills
// (ledger/monthlystatements.h). Also the layout both monthly statements
// share, which R_TS uses as well.

#include <QString>
#include <functional>

#include "platform/connection.h"
#include "platform/reportlayout.h"

namespace reports {

// The layout of a monthly statement of the work tables, A4 portrait. The
// detail lines (T_TOTAL_MEISAI) and total lines (T_TOTAL1) are printed
// together in the order of their position codes: page code KAIPAGE, then
// PCODE1, then PCODE2. Each line shows the account number, the name, the
// amount brought forward, the month's debit and credit and the balance.
//   - an account line prints as it stands;
//   - a total line prints bold under a rule, at the place that its layout
//     line marks;
//   - a layout line without a total line of its own is a heading (the chart's
//     name of the code, such as "経常損益の部"), or, when the chart rolls
//     accounts up into that code, a total of nothing: the name between "【"
//     and "】" with zero amounts.
// The header shows the title, the month ("2010年 4月度", header item 6), the
// company name and the fiscal period. pageHeading names the section of a page
// code; a page code with a heading starts a new page.
bool BuildMonthlyStatement(platform::Connection& cn, platform::report::Document& doc, const QString& title,
                           const std::function<QString(const QString& kaipage)>& pageHeading);

// 損益計算書 of the chosen month.
bool BuildRPs(platform::Connection& cn, platform::report::Document& doc);

}  // namespace reports
