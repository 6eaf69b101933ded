#include "reports/r_ledgers.h"

#include "app/common/values.h"
#include "reports/reportcommon.h"

namespace reports {

using namespace platform::report;

namespace {

bool isBroughtForward(const platform::Row& r) {
    return r.text("DENNO") == QStringLiteral("0") && r.text("DENMENO") == QStringLiteral("0");
}

// Title, months, company and fiscal period; the table's common columns.
bool startLedger(platform::Connection& cn, Document& doc, const QString& title, const QString& accountCaption) {
    const auto company = ReadCompanyHeader(cn);
    if (!company) return false;
    const auto items = ReadPrintKomoku(cn);
    if (!items) return false;
    doc.title = title;
    doc.orientation = Orientation::Portrait;
    doc.companyName = company->name;
    const QString from = Trim(items->value(5)), to = Trim(items->value(6));
    doc.period = from.isEmpty() ? QString() : from + QStringLiteral("度 ～ ") + to + QStringLiteral("度");
    const QString fiscal = FiscalPeriodText(*company);
    if (!fiscal.isEmpty()) doc.headerItems.push_back({QString(), fiscal});

    Column day{QStringLiteral("日付"), 1.25, Align::Center};
    Column voucher{QStringLiteral("伝票No."), 0.9, Align::Right};
    Column account{accountCaption, 2.6};
    Column text{QStringLiteral("摘要"), 3.0};
    Column debit{QStringLiteral("借方"), 1.7, Align::Right, true, true};
    Column credit{QStringLiteral("貸方"), 1.7, Align::Right, true, true};
    Column balance{QStringLiteral("残高"), 1.8, Align::Right};
    doc.table.columns = {day, voucher, account, text, debit, credit, balance};
    doc.table.captionColumn = 3;
    doc.table.pageBreakBetweenGroups = true;
    doc.table.subtotalCaption = QStringLiteral("合　計");
    return true;
}

Row lineRow(const platform::Row& r, const QString& account) {
    if (isBroughtForward(r))
        return Row::detail({QString(), QString(), QString(), QStringLiteral("繰越残高"), Cell(), Cell(),
                            r.currency("ZAN")});
    return Row::detail({Trim(r.text("SIDAY")), Trim(r.text("DENNO")), account, Trim(r.text("TEKIYO")),
                        r.currency("KRKIN"), r.currency("KSKIN"), r.currency("ZAN")});
}

QString joined(const QString& a, const QString& b, const QString& separator = QStringLiteral(" ")) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return a + separator + b;
}

}  // namespace

bool BuildRKanjyoMotoTyo(platform::Connection& cn, Document& doc) {
    if (!startLedger(cn, doc, QStringLiteral("総勘定元帳"), QStringLiteral("相手科目"))) return false;
    const auto rows = cn.query(QStringLiteral("SELECT * FROM T_SKANMT_OUT ORDER BY rowid"));
    if (!rows) return false;
    QString current;
    for (const platform::Row& r : *rows) {
        const QString account = r.text("KANKOCODE");
        if (doc.table.groups.empty() || account != current) {
            doc.table.addGroup(joined(Trim(r.text("KMCODE")), Trim(r.text("KMNAME"))));
            current = account;
        }
        const QString counter = joined(joined(Trim(r.text("AICODE")), Trim(r.text("AINAME"))),
                                       Trim(r.text("AIHONAME")), QStringLiteral("／"));
        doc.table.addRow(lineRow(r, counter));
    }
    return true;
}

bool BuildRHojoMotoTyo(platform::Connection& cn, Document& doc) {
    if (!startLedger(cn, doc, QStringLiteral("総勘定補助元帳"), QStringLiteral("勘定科目／相手科目")))
        return false;
    const auto rows = cn.query(QStringLiteral("SELECT * FROM T_SKANSUBMT_OUT ORDER BY rowid"));
    if (!rows) return false;
    // A sub-account's rows follow each other: a new one starts with its
    // brought-forward row, or where the sub-account or its account changes.
    QString current, currentAccount;
    bool previousBroughtForward = false;
    for (const platform::Row& r : *rows) {
        const bool bf = isBroughtForward(r);
        const QString sub = Trim(r.text("HOCODE")) + QLatin1Char('\t') + Trim(r.text("HONAME"));
        const QString ownAccount = Trim(r.text("AICODE"));
        const bool accountChanged = !bf && !previousBroughtForward && ownAccount != currentAccount;
        if (doc.table.groups.empty() || sub != current || bf || accountChanged) {
            doc.table.addGroup(joined(Trim(r.text("HOCODE")), Trim(r.text("HONAME"))));
            current = sub;
        }
        if (!bf) currentAccount = ownAccount;
        previousBroughtForward = bf;
        const QString account = joined(Trim(r.text("KMNAME")), joined(Trim(r.text("AINAME")),
                                                                      Trim(r.text("AIHONAME")), QStringLiteral(" ")),
                                       QStringLiteral("／"));
        doc.table.addRow(lineRow(r, account));
    }
    return true;
}

}  // namespace reports
