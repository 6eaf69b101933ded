#include "reports/r_siwake_nikki.h"

#include "app/common/values.h"
#include "platform/connection.h"
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

// The columns of the journal's work table as read here.
enum Col {
    SIDAY,
    DENNO,
    DENMENO,
    KRKMCODE,
    KRHOCODE,
    KRKMNAME,
    KRHONAME,
    KRKIN,
    KSKMCODE,
    KSHOCODE,
    KSKMNAME,
    KSHONAME,
    KSKIN,
    TEKIYO
};
// The columns of one side, debit (KR) or credit (KS).
struct Side {
    Col code, subCode, name, subName, amount;
};
constexpr Side kDebit{KRKMCODE, KRHOCODE, KRKMNAME, KRHONAME, KRKIN};
constexpr Side kCredit{KSKMCODE, KSHOCODE, KSKMNAME, KSHONAME, KSKIN};

// The work table's rows, one at a time and without QVariant: a year's
// journal runs to hundreds of thousands of lines.
class JournalRows {
public:
    explicit JournalRows(platform::Connection& cn)
        : st_(cn,
              QStringLiteral("SELECT SIDAY, DENNO, DENMENO, KRKMCODE, KRHOCODE, KRKMNAME, KRHONAME, KRKIN,"
                             " KSKMCODE, KSHOCODE, KSKMNAME, KSHONAME, KSKIN, TEKIYO FROM T_SIALL_OUT"
                             " ORDER BY rowid")) {}

    bool valid() const { return st_.isValid(); }
    bool next() { return st_.next(); }
    // The statement ran to its end.
    bool ok() const { return st_.isValid() && st_.error().ok(); }

    // The value as stored (null: empty).
    QString raw(Col c) const { return CellText(st_, c); }
    QString text(Col c) const { return TrimmedCellText(st_, c); }
    Currency amount(Col c) const { return CellAmount(st_, c); }

    // A side without an account (its number and name empty) prints nothing,
    // not even its amount.
    bool hasAccount(const Side& side) const {
        return !text(side.code).isEmpty() || !text(side.name).isEmpty();
    }
    Cell amountOf(const Side& side) const {
        if (!hasAccount(side)) return Cell();
        return amount(side.amount);
    }
    QString subAccountOf(const Side& side) const {
        const QString name = text(side.subName);
        return name.isEmpty() ? QString() : QStringLiteral("(") + name + QStringLiteral(")");
    }

private:
    platform::Statement st_;
};

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
    JournalRows r(cn);
    if (!r.valid()) return false;

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

    QString voucher;
    bool first = true;
    while (r.next()) {
        const QString day = r.raw(SIDAY), number = r.raw(DENNO);
        const QString key = day + QLatin1Char('/') + number;
        if (first || key != voucher) {
            doc.table.addGroup(QStringLiteral("%1　伝票番号 %2").arg(day, number));
            voucher = key;
            first = false;
        }
        doc.table.addRow(
            Row::detail({r.text(DENMENO), r.text(KRKMCODE), r.text(KRKMNAME), r.amountOf(kDebit),
                         r.text(KSKMCODE), r.text(KSKMNAME), r.amountOf(kCredit), r.text(TEKIYO)}));
        const QString debitSub = r.subAccountOf(kDebit), creditSub = r.subAccountOf(kCredit);
        if (!debitSub.isEmpty() || !creditSub.isEmpty()) {
            doc.table.addRow(Row::detail(
                {Cell(), r.text(KRHOCODE), debitSub, Cell(), r.text(KSHOCODE), creditSub, Cell(), Cell()}));
        }
    }
    return r.ok();
}

}  // namespace reports
