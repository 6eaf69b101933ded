#include "reports/kanjolisth.h"

#include "app/common/values.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

QString sideText(const QString& taikbn) {
    return taikbn == QStringLiteral("0") ? QStringLiteral("借方") : QStringLiteral("貸方");
}

QString subAccountText(const QString& hojoset) {
    return hojoset == QStringLiteral("Y") ? QStringLiteral("有") : QStringLiteral("無");
}

// "流動資産 ／ 現金・預金": the middle class and, when there is one, the small class.
QString classPath(const platform::Row& r) {
    const QString middle = Trim(r.text("TYUNAME"));
    const QString small = Trim(r.text("SYONAME"));
    return small.isEmpty() ? middle : middle + QStringLiteral(" ／ ") + small;
}

std::vector<Column> columns() {
    Column code{QStringLiteral("コード"), 1.1, Align::Center};
    Column name{QStringLiteral("勘定科目"), 3.4};
    Column side{QStringLiteral("貸借"), 0.9, Align::Center};
    Column sub{QStringLiteral("補助"), 0.9, Align::Center};
    Column opening{QStringLiteral("期首残高"), 2.2, Align::Right};
    opening.blankZero = true;
    Column counter{QStringLiteral("相手科目"), 2.6};
    Column order{QStringLiteral("表示順"), 1.0, Align::Right};
    return {code, name, side, sub, opening, counter, order};
}

}  // namespace

bool BuildKanjoListH(platform::Connection& cn, Document& doc) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto rows = cn.query(QStringLiteral(
        "SELECT DAICODE, DAINAME, TYUCODE, TYUNAME, SYOCODE, SYONAME, KMCODE, KMNAME, TAIKBN, HOJOSET,"
        " KISYUZAN, AICODE, AINAME, JUN"
        " FROM WK_KANJO_PRINT ORDER BY DAICODE, TYUCODE, SYOCODE, KMCODE"));
    if (!rows) return false;

    doc.title = QStringLiteral("勘定科目一覧表");
    doc.orientation = Orientation::Portrait;
    doc.companyName = company->name;
    doc.period = FiscalPeriodText(*company);
    doc.table.columns = columns();
    doc.table.pageBreakBetweenGroups = true;
    doc.table.captionColumn = 1;

    QString large, middle, small;
    bool first = true;
    for (const platform::Row& r : *rows) {
        if (first || r.text("DAICODE") != large) {
            doc.table.addGroup(Trim(r.text("DAINAME")));
            large = r.text("DAICODE");
            middle.clear();
            small.clear();
            first = false;
        }
        if (!r.isNull("TYUCODE") && (r.text("TYUCODE") != middle || r.text("SYOCODE") != small)) {
            Row heading = Row::detail({Cell(), classPath(r)});
            heading.bold = true;
            doc.table.addRow(heading);
        }
        middle = r.text("TYUCODE");
        small = r.text("SYOCODE");
        const int indent = r.isNull("TYUCODE") ? 0 : 1;
        doc.table.addRow(
            Row::detail({Trim(r.text("KMCODE")), Cell(Trim(r.text("KMNAME"))), sideText(r.text("TAIKBN")),
                         subAccountText(r.text("HOJOSET")), r.currency("KISYUZAN"), Trim(r.text("AINAME")),
                         QString::number(r.integer("JUN"))},
                        indent));
    }
    return true;
}

}  // namespace reports
