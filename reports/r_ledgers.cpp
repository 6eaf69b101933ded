#include "reports/r_ledgers.h"

#include "app/common/values.h"
#include "platform/connection.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

// The columns both work tables are read by.
enum Col { KANKOCODE, SIDAY, DENNO, DENMENO, KMCODE, KMNAME, AICODE, AINAME, AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN,
           HOCODE, HONAME };

// A work table's rows, one at a time and without QVariant: a book of a year
// runs to hundreds of thousands of rows. Both builds write their rows in the
// book's order, so they are read as written, without a sort: the general
// ledger by account number (trimmed, as stored in KMCODE; accounts sharing a
// number in descending internal code), each account's rows in date order;
// the subsidiary ledger by sub-account, each starting with its
// brought-forward row, which has no account number, then its lines by date.
class WorkRows {
public:
    WorkRows(platform::Connection& cn, const QString& table, bool subAccounts)
        : st_(cn, QStringLiteral("SELECT KANKOCODE, SIDAY, DENNO, DENMENO, KMCODE, KMNAME, AICODE, AINAME, "
                                 "AIHONAME, TEKIYO, KRKIN, KSKIN, ZAN, ") +
                      (subAccounts ? QStringLiteral("HOCODE, HONAME") : QStringLiteral("'', ''")) +
                      QStringLiteral(" FROM ") + table + QStringLiteral(" ORDER BY rowid")) {}

    bool next() { return st_.next(); }
    // The statement ran to its end.
    bool ok() const { return st_.isValid() && st_.error().ok(); }

    // The value as stored (null: empty).
    QString raw(Col c) const { return CellText(st_, c); }
    QString text(Col c) const { return TrimmedCellText(st_, c); }
    Currency amount(Col c) const { return CellAmount(st_, c); }
    // Both numbers "0" (the columns hold texts or nothing).
    bool broughtForward() const { return isZeroText(DENNO) && isZeroText(DENMENO); }

private:
    bool isZeroText(Col c) const {
        const platform::Statement::Cell cell = st_.cell(c);
        return cell.kind == platform::Statement::Kind::Text && cell.bytes == QByteArrayView("0");
    }

    platform::Statement st_;
};

// Title, months, company and fiscal period; the table's common columns.
// The subsidiary ledger's account column names the account, the opponent and
// its sub-account (up to 15 full-width characters each): the page lies on its
// side and the column takes the room, so that long names stay whole and
// readable.
bool startLedger(platform::Connection& cn, Document& doc, const QString& title, const QString& accountCaption,
                 bool wideAccounts = false) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto items = ReadPrintKomoku(cn);
    if (!items) return false;
    doc.title = title;
    doc.orientation = wideAccounts ? Orientation::Landscape : Orientation::Portrait;
    doc.companyName = company->name;
    const QString from = Trim(items->komoku6), to = Trim(items->komoku7);
    doc.period = from.isEmpty() ? QString() : from + QStringLiteral("度 ～ ") + to + QStringLiteral("度");
    const QString fiscal = FiscalPeriodText(*company);
    if (!fiscal.isEmpty()) doc.headerItems.push_back({QString(), fiscal});

    Column day{QStringLiteral("日付"), 1.25, Align::Center};
    Column voucher{QStringLiteral("伝票No."), 0.9, Align::Right};
    Column account{accountCaption, wideAccounts ? 6.0 : 2.6};
    Column text{QStringLiteral("摘要"), wideAccounts ? 4.0 : 3.0};
    Column debit{QStringLiteral("借方"), 1.7, Align::Right, true, true};
    Column credit{QStringLiteral("貸方"), 1.7, Align::Right, true, true};
    Column balance{QStringLiteral("残高"), 1.8, Align::Right};
    doc.table.columns = {day, voucher, account, text, debit, credit, balance};
    doc.table.captionColumn = 3;
    doc.table.pageBreakBetweenGroups = true;
    doc.table.subtotalCaption = QStringLiteral("合　計");
    return true;
}

Row lineRow(const WorkRows& r, const QString& account) {
    if (r.broughtForward())
        return Row::detail({QString(), QString(), QString(), QStringLiteral("繰越残高"), Cell(), Cell(),
                            r.amount(ZAN)});
    return Row::detail({r.text(SIDAY), r.text(DENNO), account, r.text(TEKIYO), r.amount(KRKIN), r.amount(KSKIN),
                        r.amount(ZAN)});
}

QString joined(const QString& a, const QString& b, const QString& separator = QStringLiteral(" ")) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return a + separator + b;
}

}  // namespace

bool BuildRKanjyoMotoTyo(platform::Connection& cn, Document& doc) {
    if (!startLedger(cn, doc, QStringLiteral("総勘定元帳"), QStringLiteral("相手科目"))) return false;
    WorkRows r(cn, QStringLiteral("T_SKANMT_OUT"), false);
    QString current;
    bool first = true;
    while (r.next()) {
        const QString account = r.raw(KANKOCODE);
        if (first || account != current) {
            doc.table.addGroup(joined(r.text(KMCODE), r.text(KMNAME)));
            current = account;
            first = false;
        }
        const QString counter =
            joined(joined(r.text(AICODE), r.text(AINAME)), r.text(AIHONAME), QStringLiteral("／"));
        doc.table.addRow(lineRow(r, counter));
    }
    return r.ok();
}

bool BuildRHojoMotoTyo(platform::Connection& cn, Document& doc) {
    if (!startLedger(cn, doc, QStringLiteral("総勘定補助元帳"), QStringLiteral("勘定科目／相手科目"), true))
        return false;
    WorkRows r(cn, QStringLiteral("T_SKANSUBMT_OUT"), true);
    // A sub-account's rows follow each other: a new one starts with its
    // brought-forward row, or where the sub-account or its account changes.
    QString current, currentAccount;
    bool previousBroughtForward = false, first = true;
    while (r.next()) {
        const bool bf = r.broughtForward();
        const QString sub = r.text(HOCODE) + QLatin1Char('\t') + r.text(HONAME);
        const QString ownAccount = r.text(AICODE);
        const bool accountChanged = !bf && !previousBroughtForward && ownAccount != currentAccount;
        if (first || sub != current || bf || accountChanged) {
            doc.table.addGroup(joined(r.text(HOCODE), r.text(HONAME)));
            current = sub;
            first = false;
        }
        if (!bf) currentAccount = ownAccount;
        previousBroughtForward = bf;
        const QString account = joined(r.text(KMNAME), joined(r.text(AINAME), r.text(AIHONAME), QStringLiteral(" ")),
                                       QStringLiteral("／"));
        doc.table.addRow(lineRow(r, account));
    }
    return r.ok();
}

}  // namespace reports
