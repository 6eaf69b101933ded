#include "reports/reportcommon.h"

#include "app/common/values.h"

namespace reports {

std::optional<CompanyHeader> ReadCompanyHeader(platform::Connection& cn) {
    const auto row = cn.queryOne(QStringLiteral("SELECT COMPANY, PKISYU, PKIMATU FROM WK_COMPANY"));
    if (!row) return std::nullopt;
    CompanyHeader h;
    if (row->size() > 0) {
        h.name = Trim(row->text(0));
        h.periodFrom = Trim(row->text(1));
        h.periodTo = Trim(row->text(2));
    }
    return h;
}

QString FiscalPeriodText(const CompanyHeader& company) {
    if (company.periodFrom.isEmpty() || company.periodTo.isEmpty()) return QString();
    return QStringLiteral("自 %1　至 %2").arg(company.periodFrom, company.periodTo);
}

std::optional<QStringList> ReadPrintKomoku(platform::Connection& cn) {
    const auto row =
        cn.queryOne(QStringLiteral("SELECT KOMOKU1, KOMOKU2, KOMOKU3, KOMOKU4, KOMOKU5, KOMOKU6, KOMOKU7, "
                                   "KOMOKU8, KOMOKU9 FROM T_PRINTKOMOKU"));
    if (!row) return std::nullopt;
    QStringList items;
    for (int i = 0; i < 9; ++i) items << (row->size() > 0 ? row->text(i) : QString());
    return items;
}

}  // namespace reports
