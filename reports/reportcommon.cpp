#include "reports/reportcommon.h"

#include "app/common/values.h"
#include "ledger/period.h"

namespace reports {

std::optional<CompanyHeader> ReadCompanyHeader(platform::Connection& cn) {
    const auto row = cn.queryOne(QStringLiteral("SELECT COMPANY FROM WK_COMPANY"));
    const PeriodRead period = CurrentPeriod(cn);
    if (!row || !period.ok) return std::nullopt;
    CompanyHeader h;
    if (row->size() > 0) h.name = Trim(row->text("COMPANY"));
    if (period.period) {
        h.periodFrom = Trim(period.period->pkisyu);
        h.periodTo = Trim(period.period->pkimatu);
    }
    return h;
}

QString FiscalPeriodText(const CompanyHeader& company) {
    if (company.periodFrom.isEmpty() || company.periodTo.isEmpty()) return QString();
    return QStringLiteral("自 %1　至 %2").arg(company.periodFrom, company.periodTo);
}

std::optional<PrintKomoku> ReadPrintKomoku(platform::Connection& cn) {
    const auto row =
        cn.queryOne(QStringLiteral("SELECT KOMOKU1, KOMOKU2, KOMOKU3, KOMOKU4, KOMOKU5, KOMOKU6, KOMOKU7, "
                                   "KOMOKU8, KOMOKU9 FROM T_PRINTKOMOKU"));
    if (!row) return std::nullopt;
    PrintKomoku items;
    if (row->size() == 0) return items;
    items.komoku1 = row->text("KOMOKU1");
    items.komoku2 = row->text("KOMOKU2");
    items.komoku3 = row->text("KOMOKU3");
    items.komoku4 = row->text("KOMOKU4");
    items.komoku5 = row->text("KOMOKU5");
    items.komoku6 = row->text("KOMOKU6");
    items.komoku7 = row->text("KOMOKU7");
    items.komoku8 = row->text("KOMOKU8");
    items.komoku9 = row->text("KOMOKU9");
    return items;
}

std::optional<QByteArrayView> TrimmedCellBytes(const platform::Statement::Cell& cell) {
    if (cell.kind == platform::Statement::Kind::Null) return QByteArrayView();
    if (cell.kind != platform::Statement::Kind::Text) return std::nullopt;
    QByteArrayView b = cell.bytes;
    while (!b.isEmpty() && b.front() == ' ') b = b.sliced(1);
    while (!b.isEmpty() && b.back() == ' ') b.chop(1);
    return b;
}

QString TrimmedCellText(const platform::Statement::Cell& cell) {
    if (cell.kind == platform::Statement::Kind::Null) return QString();
    if (const auto bytes = TrimmedCellBytes(cell)) return QString::fromUtf8(*bytes);
    return Trim(platform::Row(nullptr, {cell.value()}).text(0));
}

QString TrimmedCellText(const platform::Statement& st, int col) {
    return TrimmedCellText(st.cell(col));
}

QString CellText(const platform::Statement::Cell& cell) {
    switch (cell.kind) {
        case platform::Statement::Kind::Text:
            return QString::fromUtf8(cell.bytes);
        case platform::Statement::Kind::Null:
            return QString();
        default:
            return platform::Row(nullptr, {cell.value()}).text(0);
    }
}

QString CellText(const platform::Statement& st, int col) {
    return CellText(st.cell(col));
}

Currency CellAmount(const platform::Statement::Cell& cell) {
    if (cell.kind == platform::Statement::Kind::Integer) return Currency::fromRaw(cell.integer);
    return Currency::fromVariant(cell.value());
}

Currency CellAmount(const platform::Statement& st, int col) {
    return CellAmount(st.cell(col));
}

}  // namespace reports
