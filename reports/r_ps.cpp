#include "reports/r_ps.h"

#include "app/common/values.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

std::vector<Column> statementColumns() {
    Column code{QStringLiteral("コード"), 1.0, Align::Center};
    Column name{QStringLiteral("勘定科目"), 3.6};
    Column broughtForward{QStringLiteral("前月繰越"), 2.0, Align::Right};
    Column debit{QStringLiteral("借方"), 2.0, Align::Right};
    Column credit{QStringLiteral("貸方"), 2.0, Align::Right};
    Column balance{QStringLiteral("残高"), 2.0, Align::Right};
    return {code, name, broughtForward, debit, credit, balance};
}

std::vector<Cell> amountCells(const platform::Row& r, const QString& code, const QString& name) {
    return {
        code, name, r.currency("MAEKURI"), r.currency("KRTOTAL"), r.currency("KSTOTAL"), r.currency("ZAN")};
}

// The detail and total lines in print order. A layout line knows whether a
// total line takes its place and whether the chart rolls accounts up into it.
std::optional<platform::Rows> statementLines(platform::Connection& cn) {
    return cn.query(QStringLiteral(
        "SELECT 0 AS SRC, M.KOCODE, M.KMCODE, M.KAIPAGE, M.PCODE1, M.PCODE2, M.KMNAME,"
        " M.MAEKURI, M.KRTOTAL, M.KSTOTAL, M.ZAN,"
        " COALESCE((SELECT K.KANNAME FROM T_KANJO K WHERE K.KOCODE = M.KOCODE), '') AS CHARTNAME,"
        " EXISTS (SELECT 1 FROM T_TOTAL1 T WHERE T.KOCODE = M.KOCODE) AS HASTOTAL,"
        " EXISTS (SELECT 1 FROM T_KANJO C WHERE C.TOCODE = M.KOCODE AND C.SIYOU = 'Y') AS ROLLSUP"
        " FROM T_TOTAL_MEISAI M"
        " UNION ALL"
        " SELECT 1, T.KOCODE, T.KMCODE, T.KAIPAGE, T.PCODE1, T.PCODE2, T.KMNAME,"
        " T.MAEKURI, T.KRTOTAL, T.KSTOTAL, T.ZAN, '', 0, 0"
        " FROM T_TOTAL1 T"
        " ORDER BY KAIPAGE, PCODE1, PCODE2, SRC, KOCODE"));
}

// The line of one row, or nullopt for a layout line whose total line prints
// in its place.
std::optional<Row> lineOf(const platform::Row& r) {
    const QString number = Trim(r.text("KMCODE"));
    const QString name = Trim(r.text("KMNAME"));
    if (r.integer("SRC") == 1) {
        Row total = Row::detail(amountCells(r, QString(), name));
        total.kind = RowKind::Subtotal;
        total.bold = true;
        return total;
    }
    if (!number.isEmpty() || !name.isEmpty()) {
        // The balance sheet's "(うち当期純利益)" reads as part of the line above.
        const int indent = name.startsWith(QStringLiteral("(うち")) ? 2 : 1;
        return Row::detail(amountCells(r, number, name), indent);
    }
    if (r.integer("HASTOTAL") != 0) return std::nullopt;
    const QString chartName = Trim(r.text("CHARTNAME"));
    if (r.integer("ROLLSUP") != 0) {
        Row total =
            Row::detail(amountCells(r, QString(), QStringLiteral("【") + chartName + QStringLiteral("】")));
        total.kind = RowKind::Subtotal;
        total.bold = true;
        return total;
    }
    return Row::heading(chartName);
}

}  // namespace

bool BuildMonthlyStatement(platform::Connection& cn, Document& doc, const QString& title,
                           const std::function<QString(const QString& kaipage)>& pageHeading) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto items = ReadPrintKomoku(cn);
    if (!items) return false;
    const auto lines = statementLines(cn);
    if (!lines) return false;

    doc.title = title;
    doc.orientation = Orientation::Portrait;
    doc.companyName = company->name;
    doc.period = Trim(items->komoku6);
    const QString fiscal = FiscalPeriodText(*company);
    if (!fiscal.isEmpty()) doc.headerItems.push_back({QString(), fiscal});
    doc.table.columns = statementColumns();
    doc.table.captionColumn = 1;
    doc.table.pageBreakBetweenGroups = true;

    bool first = true;
    QString page;
    for (const platform::Row& r : *lines) {
        const QString kaipage = r.text("KAIPAGE");
        if (first || kaipage != page) {
            const QString heading = pageHeading ? pageHeading(kaipage) : QString();
            if (!heading.isEmpty()) doc.table.addGroup(heading);
            page = kaipage;
            first = false;
        }
        if (auto line = lineOf(r)) doc.table.addRow(*line);
    }
    return true;
}

bool BuildRPs(platform::Connection& cn, Document& doc) {
    return BuildMonthlyStatement(cn, doc, QStringLiteral("損益計算書"), {});
}

}  // namespace reports
