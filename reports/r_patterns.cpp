#include "reports/r_patterns.h"

#include "app/common/values.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

bool header(platform::Connection& cn, Document& doc, const QString& title) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    doc.title = title;
    doc.orientation = Orientation::Portrait;
    doc.companyName = company->name;
    doc.period = FiscalPeriodText(*company);
    return true;
}

}  // namespace

bool BuildRTekiyo(platform::Connection& cn, Document& doc) {
    if (!header(cn, doc, QStringLiteral("摘要一覧表"))) return false;
    const auto rows = cn.query(QStringLiteral("SELECT TEKINO, TENAME FROM WK_TEKIYO ORDER BY TEKINO"));
    if (!rows) return false;
    doc.table.columns = {Column{QStringLiteral("番号"), 1.2, Align::Center}, Column{QStringLiteral("摘要"), 8.0}};
    for (const platform::Row& r : *rows)
        doc.table.addRow(Row::detail({Trim(r.text("TEKINO")), Trim(r.text("TENAME"))}));
    return true;
}

bool BuildRSiwake(platform::Connection& cn, Document& doc) {
    if (!header(cn, doc, QStringLiteral("一括仕訳一覧表"))) return false;
    // The account names come from the working chart by account number; a
    // number no account carries any more prints without a name.
    const auto rows = cn.query(QStringLiteral(
        "SELECT P.SINAME, P.KRCODE, (SELECT KANNAME FROM T_KANJO WHERE KMCODE = P.KRCODE LIMIT 1) AS KRNAME,"
        " P.KSCODE, (SELECT KANNAME FROM T_KANJO WHERE KMCODE = P.KSCODE LIMIT 1) AS KSNAME, P.TENAME"
        " FROM WK_SI_PATTERN P ORDER BY P.KRCODE, P.KSCODE"));
    if (!rows) return false;
    doc.table.columns = {Column{QStringLiteral("一括仕訳名称"), 4.2}, Column{QStringLiteral("借方"), 0.9, Align::Center},
                         Column{QStringLiteral("借方科目名"), 2.8}, Column{QStringLiteral("貸方"), 0.9, Align::Center},
                         Column{QStringLiteral("貸方科目名"), 2.8}, Column{QStringLiteral("摘要"), 4.2}};
    for (const platform::Row& r : *rows)
        doc.table.addRow(Row::detail({Trim(r.text("SINAME")), Trim(r.text("KRCODE")), Trim(r.text("KRNAME")),
                                      Trim(r.text("KSCODE")), Trim(r.text("KSNAME")), Trim(r.text("TENAME"))}));
    return true;
}

}  // namespace reports
