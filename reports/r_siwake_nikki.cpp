#include "reports/r_siwake_nikki.h"

#include "app/common/values.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

std::vector<Column> columns() {
    Column line{QStringLiteral("行"), 0.8, Align::Center};
    Column debitCode{QStringLiteral("借方"), 0.8, Align::Center};
    Column debitName{QStringLiteral("借方科目"), 3.4};
    Column debit{QStringLiteral("借方金額"), 1.8, Align::Right};
    debit.summed = true;
    Column creditCode{QStringLiteral("貸方"), 0.8, Align::Center};
    Column creditName{QStringLiteral("貸方科目"), 3.4};
    Column credit{QStringLiteral("貸方金額"), 1.8, Align::Right};
    credit.summed = true;
    Column text{QStringLiteral("摘要"), 4.2};
    return {line, debitCode, debitName, debit, creditCode, creditName, credit, text};
}

// A side without an account (its number and name empty) prints nothing, not
// even its amount.
bool hasAccount(const platform::Row& r, const QString& side) {
    return !Trim(r.text(side + QStringLiteral("KMCODE"))).isEmpty() ||
           !Trim(r.text(side + QStringLiteral("KMNAME"))).isEmpty();
}

Cell amountOf(const platform::Row& r, const QString& side) {
    if (!hasAccount(r, side)) return Cell();
    return r.currency(side + QStringLiteral("KIN"));
}

QString subAccountOf(const platform::Row& r, const QString& side) {
    const QString name = Trim(r.text(side + QStringLiteral("HONAME")));
    return name.isEmpty() ? QString() : QStringLiteral("(") + name + QStringLiteral(")");
}

QString rangeText(const QString& from, const QString& to) {
    if (from.isEmpty() && to.isEmpty()) return QString();
    return from + QStringLiteral(" ～ ") + to;
}

}  // namespace

bool BuildSiwakeNikkiReport(platform::Connection& cn, Document& doc) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto items = ReadPrintKomoku(cn);
    if (!items) return false;
    const auto rows = cn.query(QStringLiteral(
        "SELECT SIDAY, DENNO, DENMENO, KRKMCODE, KRHOCODE, KRKMNAME, KRHONAME, KRKIN,"
        " KSKMCODE, KSHOCODE, KSKMNAME, KSHONAME, KSKIN, TEKIYO FROM T_SIALL_OUT ORDER BY rowid"));
    if (!rows) return false;

    doc.title = QStringLiteral("仕訳日記帳");
    doc.orientation = Orientation::Portrait;
    doc.companyName = company->name;
    doc.period = rangeText(Trim(items->komoku6), Trim(items->komoku7));
    const QString numbers = rangeText(Trim(items->komoku8), Trim(items->komoku9));
    if (!numbers.isEmpty()) doc.headerItems.push_back({QStringLiteral("伝票番号"), numbers});
    doc.table.columns = columns();
    doc.table.captionColumn = 2;
    doc.table.subtotalCaption = QStringLiteral("伝票計");
    doc.table.totalCaption = QStringLiteral("合計");

    const QString kr = QStringLiteral("KR"), ks = QStringLiteral("KS");
    QString voucher;
    bool first = true;
    for (const platform::Row& r : *rows) {
        const QString key = r.text("SIDAY") + QLatin1Char('/') + r.text("DENNO");
        if (first || key != voucher) {
            doc.table.addGroup(QStringLiteral("%1　伝票番号 %2").arg(r.text("SIDAY"), r.text("DENNO")));
            voucher = key;
            first = false;
        }
        doc.table.addRow(Row::detail({Trim(r.text("DENMENO")), Trim(r.text("KRKMCODE")), Trim(r.text("KRKMNAME")),
                                      amountOf(r, kr), Trim(r.text("KSKMCODE")), Trim(r.text("KSKMNAME")),
                                      amountOf(r, ks), Trim(r.text("TEKIYO"))}));
        const QString debitSub = subAccountOf(r, kr), creditSub = subAccountOf(r, ks);
        if (!debitSub.isEmpty() || !creditSub.isEmpty()) {
            doc.table.addRow(Row::detail({Cell(), Trim(r.text("KRHOCODE")), debitSub, Cell(),
                                          Trim(r.text("KSHOCODE")), creditSub, Cell(), Cell()}));
        }
    }
    return true;
}

}  // namespace reports
