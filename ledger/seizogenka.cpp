#include "ledger/seizogenka.h"

#include <QStringList>
#include <vector>

#include "app/common/dates.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/accountbalances.h"
#include "ledger/chartcodes.h"
#include "ledger/msum.h"
#include "ledger/period.h"
#include "ledger/printwork.h"
#include "ledger/rowwriters.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

void showAccessError(const QString& proc) {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("データアクセス中にエラーが発生しました(%1)。").arg(proc),
                           platform::MsgIcon::Warning);
}

const QString kSubtotalCode = QString::fromLatin1(chart::kMaterialsSubtotal);

// "yyyy/mm/dd" for the last day of the month "yyyy/mm".
QString lastDayOf(const QString& ym) {
    QString day = QStringLiteral("31");
    const QString year = ym.left(4), month = ym.mid(5, 2);
    FormatDay(year, month, day);
    return year + QLatin1Char('/') + month + QLatin1Char('/') + day;
}

// One section's account as the build reads it.
struct SectionAccount {
    QString code;
    QString name;
    QString taikbn;
    bool hasRow = false;
    Currency balance;
};

}  // namespace

namespace seizogenka {

bool set_hyouji_table(const QStringList& totalCodes, const QString& title, int id, const QString& chosenYM) {
    const QString proc = QStringLiteral("set_hyouji_table");
    if (!gcnKaikei || totalCodes.isEmpty()) {
        showAccessError(proc);
        return false;
    }
    // The report groups of the section's total accounts: the first two count,
    // a third is allowed, more is an error of the chart.
    QStringList marks;
    QVariantList codeParams;
    for (const QString& c : totalCodes) {
        marks << QStringLiteral("?");
        codeParams << c;
    }
    const QString inCodes = marks.join(QLatin1Char(','));
    const auto groupRows = gcnKaikei->query(
        QStringLiteral("SELECT PCODE2 FROM T_KANJO WHERE KOCODE IN (%1) ORDER BY KOCODE").arg(inCodes),
        codeParams);
    if (!groupRows || groupRows->size() > 3) {
        showAccessError(proc);
        return false;
    }
    QStringList groups{QStringLiteral("dummy"), QStringLiteral("dummy")};
    for (size_t i = 0; i < groupRows->size() && i < 2; ++i) groups[int(i)] = Trim((*groupRows)[i].text(0));

    // Every account of the two groups except the section's own totals, with
    // its balance at the month when it has a row then.
    QVariantList params{chosenYM, gstrCID, groups[0], groups[1]};
    params += codeParams;
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT K.KOCODE, K.KANNAME, K.TAIKBN, T.KANKOCODE IS NOT NULL AS HASROW,"
                       " COALESCE(T.KRRUI, 0) AS KRRUI, COALESCE(T.KSRUI, 0) AS KSRUI"
                       " FROM T_KANJO K LEFT JOIN T_TUKIKAN T"
                       "   ON T.KANKOCODE = K.KOCODE AND T.DATEYM = ? AND T.CID = ?"
                       " WHERE K.PCODE2 IN (?, ?) AND K.KOCODE NOT IN (%1)"
                       " ORDER BY K.KOCODE")
            .arg(inCodes),
        params);
    if (!rows) {
        showAccessError(proc);
        return false;
    }
    std::vector<SectionAccount> accounts;
    bool anyRow = false;
    for (const platform::Row& r : *rows) {
        SectionAccount a;
        a.code = Trim(r.text("KOCODE"));
        a.name = r.text("KANNAME");
        a.taikbn = r.text("TAIKBN");
        a.hasRow = r.integer("HASROW") != 0;
        a.balance = SideAmount(a.taikbn, r.currency("KRRUI"), r.currency("KSRUI"));
        anyRow = anyRow || a.hasRow;
        accounts.push_back(a);
    }
    // The accounts with a row at the month, and the materials subtotal, which
    // no journal line posts to and so has no row of its own, whenever any
    // account of the section has one.
    std::vector<SectionAccount> fetched;
    for (const SectionAccount& a : accounts) {
        if (a.hasRow || (anyRow && a.code == kSubtotalCode)) fetched.push_back(a);
    }

    WriterRow head(WriteTukisyusiTable);
    head.set("PRTIDNO", QString::number(id)).set("PRTNAME", title);
    for (int i = 1; i <= 13; ++i) head.set(QStringLiteral("KIN%1").arg(i), Currency());
    if (!WriteRow(head, QStringLiteral("P_TUKISYUSI"))) return false;

    Currency subtotal;
    int sequence = 0;
    QString lastWritten;
    for (size_t i = 0; i < fetched.size(); ++i) {
        const SectionAccount& a = fetched[i];
        WriterRow v(WriteTukisyusiTable);
        const QString lineId = QStringLiteral("%1%2").arg(id).arg(int(i) + 1, 3, 10, QLatin1Char('0'));
        v.set("PRTIDNO", lineId).set("PRTNAME", a.name);
        for (int k = 2; k <= 13; ++k) v.set(QStringLiteral("KIN%1").arg(k), Currency());
        const bool isSubtotal = a.code == kSubtotalCode;
        // The materials run: opening stock and purchases add, discounts and
        // the closing stock subtract; the subtotal line shows the run so far.
        subtotal += a.taikbn == QStringLiteral("0") ? a.balance : -a.balance;
        Currency amount = a.balance;
        if (isSubtotal) {
            v.set("PRTJUN", QStringLiteral("99"));
            amount = subtotal;
        } else {
            if (a.balance.isZero()) continue;  // its sequence number goes to the next printed line
            ++sequence;
            v.set("PRTJUN", QString::number(sequence));
        }
        v.set("KIN1", amount);
        if (!WriteRow(v, QStringLiteral("P_TUKISYUSI"))) return false;
        lastWritten = lineId;
    }
    if (lastWritten.isEmpty()) return true;

    // The section total on the last line printed.
    const QString section = QString::number(id);
    const QString next = QString::number(id + 10);
    Currency total;
    Currency wipOpening, wipClosing;
    if (id == 10) {
        total = subtotal;
    } else {
        const auto sum = gcnKaikei->scalar(
            QStringLiteral("SELECT COALESCE(SUM(KIN1), 0) FROM P_TUKISYUSI WHERE PRTIDNO > ? AND PRTIDNO < ?"),
            {section, next});
        if (!sum) {
            showAccessError(proc);
            return false;
        }
        total = Currency::fromVariant(*sum);
    }
    if (id == 30) {
        const auto balances = AccountBalances::read(chosenYM);
        if (!balances) {
            showAccessError(QStringLiteral("search_table"));
            return false;
        }
        wipOpening =
            balances->sum(AccountCondition::is(QString::fromLatin1(chart::number::kOpeningWorkInProcess)));
        wipClosing =
            balances->sum(AccountCondition::is(QString::fromLatin1(chart::number::kClosingWorkInProcess)));
    }
    if (!gcnKaikei->exec(QStringLiteral("UPDATE P_TUKISYUSI SET KIN2 = ?, KIN3 = ?, KIN4 = ?, KIN5 = ?"
                                        " WHERE PRTIDNO = ?"),
                         {QVariant::fromValue(total), QVariant::fromValue(Currency::fromYen(1)), QVariant::fromValue(wipOpening),
                          QVariant::fromValue(wipClosing), lastWritten})) {
        showAccessError(proc);
        return false;
    }
    return true;
}

}  // namespace seizogenka

bool BuildSeizoGenka(const StatementMonth& month) {
    if (!gcnKaikei) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    const PeriodRead period = CurrentPeriod();
    if (!period.period) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    const QString fiscalStart = period.period->kisyu;
    // The summation shows its own message when it fails.
    if (!msum_main(month.firstYM, month.chosenYM, false)) return false;

    platform::Transaction tx(*gcnKaikei);
    if (!tx.started() || !gcnKaikei->exec(QStringLiteral("DELETE FROM P_TUKISYUSI"))) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    using seizogenka::set_hyouji_table;
    using namespace chart;
    if (!set_hyouji_table({kMaterialsCost}, QStringLiteral("Ⅰ 材    料    費"), 10, month.chosenYM) ||
        !set_hyouji_table({kLabourCost}, QStringLiteral("Ⅱ 労    務    費"), 20, month.chosenYM) ||
        !set_hyouji_table({kManufacturingOverhead, kOutsideWorkTotal}, QStringLiteral("Ⅲ 経          費"), 30,
                          month.chosenYM))
        return false;
    const auto lines = gcnKaikei->scalar(
        QStringLiteral("SELECT COUNT(*) FROM P_TUKISYUSI WHERE PRTIDNO NOT IN ('10', '20', '30')"));
    if (!lines) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    if (lines->toLongLong() == 0) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("該当データがありません。"),
                               platform::MsgIcon::Warning);
        return false;
    }
    if (!WritePrintHeader(PrintEraDate(fiscalStart),
                          PrintEraDate(lastDayOf(month.chosenYM))))
        return false;
    if (!tx.commit()) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    return true;
}
