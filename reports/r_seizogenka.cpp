#include "reports/r_seizogenka.h"

#include "app/common/values.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

std::optional<SeizoGenkaTotals> ReadSeizoGenkaTotals(platform::Connection& cn) {
    const auto row = cn.queryOne(QStringLiteral(
        "SELECT COALESCE(SUM(KIN2), 0), COALESCE(SUM(KIN4), 0), COALESCE(SUM(KIN5), 0)"
        " FROM P_TUKISYUSI WHERE KIN3 <> 0"));
    if (!row || row->size() == 0) return std::nullopt;
    return SeizoGenkaTotals{row->currency(0), row->currency(1), row->currency(2)};
}

bool BuildRSeizoGenka(platform::Connection& cn, Document& doc) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto items = ReadPrintKomoku(cn);
    if (!items) return false;
    const auto lines = cn.query(QStringLiteral(
        "SELECT PRTIDNO, PRTNAME, PRTJUN, KIN1, KIN2, KIN3 FROM P_TUKISYUSI ORDER BY PRTIDNO"));
    if (!lines) return false;
    const auto totals = ReadSeizoGenkaTotals(cn);
    if (!totals) return false;

    doc.title = QStringLiteral("製造原価報告書");
    doc.orientation = Orientation::Portrait;
    doc.companyName = company->name;
    const QString from = Trim(items->komoku6), to = Trim(items->komoku7);
    if (!from.isEmpty() || !to.isEmpty()) doc.period = QStringLiteral("自 %1　至 %2").arg(from, to);

    Column number{QStringLiteral("番号"), 0.8, Align::Center};
    Column name{QStringLiteral("科目"), 4.0};
    Column amount{QStringLiteral("金額"), 2.2, Align::Right};
    Column total{QStringLiteral("合計"), 2.2, Align::Right};
    total.blankZero = true;
    doc.table.columns = {number, name, amount, total};
    doc.table.captionColumn = 1;

    for (const platform::Row& r : *lines) {
        const QString id = r.text("PRTIDNO");
        if (id.size() <= 2) {
            doc.table.addGroup(Trim(r.text("PRTNAME")));
            continue;
        }
        const QString seq = Trim(r.text("PRTJUN"));
        const bool subtotal = seq == QStringLiteral("99");
        const bool last = !r.currency("KIN3").isZero();
        Row line = Row::detail({subtotal ? QString() : seq, Trim(r.text("PRTNAME")), r.currency("KIN1"),
                                last ? Cell(r.currency("KIN2")) : Cell()},
                               subtotal ? 2 : 1);
        if (subtotal) line.kind = RowKind::Subtotal;
        doc.table.addRow(line);
    }

    doc.table.addGroup(QString());
    const auto sumRow = [&](const QString& caption, Currency value, RowKind kind) {
        Row r = Row::detail({QString(), caption, Cell(), value});
        r.kind = kind;
        r.bold = kind != RowKind::Detail;
        doc.table.addRow(r);
    };
    const Currency withOpening = totals->manufacturing + totals->wipOpening;
    sumRow(QStringLiteral("当期総製造費用"), totals->manufacturing, RowKind::Subtotal);
    sumRow(QStringLiteral("期首仕掛品棚卸高"), totals->wipOpening, RowKind::Detail);
    sumRow(QStringLiteral("計"), withOpening, RowKind::Subtotal);
    sumRow(QStringLiteral("期末仕掛品棚卸高"), totals->wipClosing, RowKind::Detail);
    sumRow(QStringLiteral("当期製品製造原価"), totals->productCost(), RowKind::Total);
    return true;
}

}  // namespace reports
