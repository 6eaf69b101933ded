#include "ledger/payrollimport.h"

#include "app/common/globals.h"
#include "ledger/chartcodes.h"
#include "ledger/monthstatus.h"
#include "ledger/period.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace {

const QString kClearing = QString::fromLatin1(chart::kPayrollClearing);
const QString kCash = QString::fromLatin1(chart::kCash);

PayrollStep failingStep = PayrollStep::None;

bool injected(PayrollStep step) {
    return failingStep == step;
}

enum class Side { Debit, Credit };

struct Posting {
    Currency amount;
    QString text;     // after the month label
    QString account;
    Side side;        // the account's side for a positive amount
};

Currency absolute(Currency c) {
    return c.raw() < 0 ? -c : c;
}

ImportLine lineOf(const Posting& p, const PayrollChoice& choice) {
    // A negative figure is the reverse movement: the same amount, sides swapped.
    const bool onDebit = (p.side == Side::Debit) != (p.amount.raw() < 0);
    ImportLine line;
    line.date = choice.payDate;
    line.description = choice.monthLabel + p.text;
    line.amount = absolute(p.amount).toText();
    line.account = p.account;
    line.counter = kClearing;
    line.direction = onDebit ? QStringLiteral("0") : QStringLiteral("1");
    return line;
}

}  // namespace

std::optional<PayrollChoices> LoadPayrollChoices(QString* error) {
    auto fail = [&]() -> std::optional<PayrollChoices> {
        if (error) {
            const platform::DbError e = gcnKaikei ? gcnKaikei->lastError() : platform::DbError{};
            *error = QStringLiteral("%1 %2").arg(e.code).arg(e.message);
        }
        return std::nullopt;
    };
    if (!gcnKaikei) return fail();
    const PeriodRead period = CurrentPeriod();
    if (!period.period) return fail();
    const auto company = gcnKaikei->queryOne(QStringLiteral("SELECT SIINLDAY FROM WK_COMPANY"));
    if (!company || company->size() == 0) return fail();
    PayrollChoices c;
    c.kisyu = period.period->kisyu.trimmed();
    c.kimatu = period.period->kimatu.trimmed();
    c.siinlday = company->text("SIINLDAY").trimmed();

    // Months up to the closing one: INYM "yyyy/mm" against KIMATU
    // "yyyy/mm/dd" as text lets the closing month itself through.
    const auto months = gcnKaikei->query(
        QStringLiteral("SELECT INYM, OUTYM FROM T_DAY_INPUT WHERE CID = ? AND INYM <= ? ORDER BY INYM"),
        {gstrCID, c.kimatu});
    if (!months) return fail();
    for (const platform::Row& r : *months) {
        const QString inym = r.text(0).trimmed();
        c.months.push_back({r.text(1).trimmed(), inym.left(4) + inym.right(2)});
    }

    const auto banks = gcnKaikei->query(
        QStringLiteral("SELECT KANNAME, KOCODE FROM T_KANJO WHERE SYORIKBN = '0' AND KOCODE BETWEEN ? AND ?"
                       " AND TRIM(COALESCE(KMCODE, '')) <> '' AND SIYOU = 'Y' ORDER BY KMCODE"),
        {QString::fromLatin1(chart::kOrdinaryDeposits.first),
         QString::fromLatin1(chart::kOrdinaryDeposits.last)});
    if (!banks) return fail();
    for (const platform::Row& r : *banks) c.banks.push_back({r.text(0).trimmed(), r.text(1).trimmed()});
    return c;
}

bool PayrollSums::allZero() const {
    for (const Currency& c : {kyuyo, yhosyu, health, nenkin, koyohoken, tax, simizei, tukinteate, nentyomoney, skojyo})
        if (!c.isZero()) return false;
    return true;
}

Currency PayrollNetPay(const PayrollSums& s) {
    return s.kyuyo + s.yhosyu + s.tukinteate + s.nentyomoney - s.health - s.nenkin - s.koyohoken - s.tax -
           s.simizei - s.skojyo;
}

QString PayrollKindText(PayrollKind kind) {
    return kind == PayrollKind::Salary ? QStringLiteral("給与") : QStringLiteral("賞与");
}

std::vector<ImportLine> PayrollImportLines(const PayrollSums& s, const PayrollChoice& choice) {
    const QString kind = PayrollKindText(choice.kind);
    const bool cash = choice.method == PayrollMethod::Cash;
    const QString deductions = QString::fromLatin1(chart::kWithholdings);
    const Posting table[] = {
        {s.kyuyo, kind,
         QString::fromLatin1(choice.kind == PayrollKind::Salary ? chart::kSalaries : chart::kBonuses),
         Side::Debit},
        {s.yhosyu, QStringLiteral("役員報酬"), QString::fromLatin1(chart::kOfficersPay), Side::Debit},
        {s.tukinteate, QStringLiteral("通勤費"), QString::fromLatin1(chart::kTravel), Side::Debit},
        {s.koyohoken, QStringLiteral("雇用保険料個人負担分"), QString::fromLatin1(chart::kStatutoryWelfare),
         Side::Credit},
        {s.health, QStringLiteral("健康保険料個人負担分"), deductions, Side::Credit},
        {s.nenkin, QStringLiteral("厚生年金保険料個人負担分"), deductions, Side::Credit},
        {s.tax, QStringLiteral("所得税"), deductions, Side::Credit},
        {s.simizei, QStringLiteral("県市民税"), deductions, Side::Credit},
        {s.skojyo, QStringLiteral("その他控除金額"), deductions, Side::Credit},
        {s.nentyomoney, QStringLiteral("所得税年末調整"), deductions, Side::Debit},
        {PayrollNetPay(s), kind + (cash ? QStringLiteral("現金支給") : QStringLiteral("振込み")),
         cash ? kCash : choice.bankAccount, Side::Credit},
    };
    std::vector<ImportLine> lines;
    for (const Posting& p : table) {
        if (p.amount.isZero()) continue;
        lines.push_back(lineOf(p, choice));
    }
    // The net pay paid in cash leaves (or, when negative, enters) the till.
    if (cash && !lines.empty() && lines.back().account == kCash) lines.back().cashChange = -PayrollNetPay(s);
    return lines;
}

std::optional<bool> PayrollAlreadyImported(const PayrollChoice& choice) {
    if (!gcnKaikei) return std::nullopt;
    const QString prefix = choice.monthLabel.trimmed() + PayrollKindText(choice.kind);
    const auto row = gcnKaikei->queryOne(
        QStringLiteral("SELECT COUNT(*) FROM T_SI_MEISAI WHERE CID = ? AND SIDAY = ?"
                       " AND (KRKOCODE = ? OR KSKOCODE = ?) AND substr(TEKIYO, 1, length(?)) = ?"),
        {gstrCID, choice.payDate, kClearing, kClearing, prefix, prefix});
    if (!row || row->size() == 0) {
        platform::MsgBox::show(gstrSoftName,
                               QStringLiteral("仕訳データのアクセスにエラーが発生しました(PayrollAlreadyImported)。"),
                               platform::MsgIcon::Warning);
        return std::nullopt;
    }
    return row->integer(0) > 0;
}

PayrollStep PostPayrollImport(std::vector<ImportLine>& lines, const PayrollChoice& choice, const QString& kisyu) {
    if (!gcnKaikei) return PayrollStep::Posting;
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) return PayrollStep::Posting;

    // The lines nest their own transaction as a savepoint inside this one. A
    // cash balance whose sum overflows refuses the posting (rolled back).
    try {
        if (injected(PayrollStep::Posting) || !PostImportLines(lines, kisyu)) return PayrollStep::Posting;
    } catch (const CurrencyOverflow&) {
        platform::MsgBox::show(gstrSoftName, CurrencyOverflow::message(), platform::MsgIcon::Warning);
        return PayrollStep::Posting;
    }

    const bool cashPaid = !lines.empty() && lines.back().account == kCash && !lines.back().cashChange.isZero();
    if (choice.method == PayrollMethod::Cash && cashPaid) {
        if (injected(PayrollStep::CashVoucher) ||
            !gcnKaikei->exec(QStringLiteral("UPDATE T_SIWAKE SET KESSAN = '1' WHERE CID = ? AND DENCODE = ?"),
                             {gstrCID, lines.back().voucherCode}))
            return PayrollStep::CashVoucher;
    }

    const QString month = choice.payDate.left(7);
    if (injected(PayrollStep::MonthMarks) || !UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), month, month) ||
        !UpdateTukiSimebi(QStringLiteral("Hojo"), QStringLiteral("0"), month, month))
        return PayrollStep::MonthMarks;

    if (injected(PayrollStep::Commit) || !tx.commit()) return PayrollStep::Commit;
    return PayrollStep::None;
}

void SetPayrollImportFailureForTest(PayrollStep step) {
    failingStep = step;
}
