#include "ledger/bankimport.h"

#include <QFileInfo>
#include <array>

#include "app/common/dberror.h"
#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/bankstatement.h"
#include "ledger/chartcodes.h"
#include "ledger/monthstatus.h"
#include "ledger/period.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

using platform::MsgBox;
using platform::MsgIcon;

namespace {

const QString kCash = QString::fromLatin1(chart::kCash);
const QString kImportError = QStringLiteral("銀行データの取込処理中にエラーが発生しました(cmdStr_Click)。");

struct ExpenseCode {
    const char16_t* code;
    chart::Code account;
};

// Codes that post a fixed account with direction "0".
constexpr std::array<ExpenseCode, 14> kExpenseCodes{{
    {u"01", chart::kVehicleExpenses},
    {u"02", chart::kRent},
    {u"03", chart::kOfficeSupplies},
    {u"04", chart::kCommunication},
    {u"05", chart::kUtilities},
    {u"06", chart::kFuel},
    {u"07", chart::kTravel},
    {u"08", chart::kFees},
    {u"09", chart::kSuppliesExpense},
    {u"10", chart::kInsurance},
    {u"11", chart::kRepairs},
    {u"12", chart::kTaxesAndDues},
    {u"13", chart::kManagementFees},
    {u"21", chart::kPurchases},
}};

// Full-width ASCII forms and the full-width blank as their half-width forms.
QString narrow(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E) c = QChar(u - 0xFF01 + 0x21);
        else if (u == 0x3000) c = u' ';
    }
    return out;
}

BankImportResult postLines(std::vector<ImportLine>& lines, const std::vector<int>& fileLines, const QString& path,
                           const QString& first, const QString& earliest, const QString& latest);

}  // namespace

std::optional<std::vector<BankAccount>> BankAccounts() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(
        QStringLiteral("SELECT KOCODE, KANNAME FROM T_KANJO WHERE SYORIKBN = '0' AND KOCODE BETWEEN ? AND ?"
                       " AND KMCODE IS NOT NULL AND KMCODE <> '' AND SIYOU = 'Y' ORDER BY KMCODE"),
        {QString::fromLatin1(chart::kOrdinaryDeposits.first),
         QString::fromLatin1(chart::kOrdinaryDeposits.last)});
    if (!rows) return std::nullopt;
    std::vector<BankAccount> accounts;
    for (const platform::Row& r : *rows) accounts.push_back({r.text(0), r.text(1)});
    return accounts;
}

bool ReadBankImportRange(QString& first, QString& last) {
    if (!gcnKaikei) return false;
    const PeriodRead period = CurrentPeriod();
    const auto row = gcnKaikei->queryOne(QStringLiteral("SELECT SIINLDAY FROM WK_COMPANY"));
    if (!period.ok || !row) return false;
    first = period.period ? period.period->kisyu : QString();
    last = row->size() > 0 ? row->text("SIINLDAY") : QString();
    return true;
}

void get_kamoku_code(QString& description, const QString& withdrawal, const QString& deposit,
                     const QString& bankAccount, ImportLine& line) {
    const QString trimmed = Trim(narrow(description));
    const QString code = trimmed.left(2);
    const bool out = !Trim(withdrawal).isEmpty();
    const bool in = !out && !Trim(deposit).isEmpty();
    line.counter = bankAccount;
    bool listed = true;
    if (code == u"30") {
        line.account = out || in ? kCash : QString();
        line.direction = out ? QStringLiteral("0") : QStringLiteral("1");
    } else if (code == u"31") {
        line.account = out  ? QString::fromLatin1(chart::kOwnerDrawings)
                       : in ? QString::fromLatin1(chart::kInterestReceived)
                            : QString();
        line.direction = out ? QStringLiteral("0") : QStringLiteral("1");
    } else {
        listed = false;
        for (const ExpenseCode& e : kExpenseCodes) {
            if (code == QStringView(e.code)) {
                line.account = QString::fromLatin1(e.account);
                line.direction = QStringLiteral("0");
                listed = true;
                break;
            }
        }
        if (!listed) {
            if (out || in) {
                line.account =
                    out ? QString::fromLatin1(chart::kMiscExpenses) : QString::fromLatin1(chart::kSales);
                line.direction = out ? QStringLiteral("0") : QStringLiteral("1");
            } else {
                line.account.clear();
                line.counter.clear();
                line.direction.clear();
            }
        }
    }
    // The code leaves the description; blanks before it go with it, so that
    // no character of the text after the code is lost.
    if (listed) description = LTrim(description).mid(2);
}

BankImportResult ImportBankStatement(const QString& path, const QString& bankAccount, const QString& first,
                                     const QString& last) {
    const auto warn = [](const QString& text) { MsgBox::show(gstrSoftName, text, MsgIcon::Warning); };
    const auto noData = [&] {
        warn(QStringLiteral("処理可能なデータが見つかりませんので、取込処理が中止します。"));
        return BankImportResult::NoData;
    };
    if (Trim(QFileInfo(path).fileName()).isEmpty()) return noData();

    BankStatement statement;
    QString message;
    switch (ReadBankStatementFile(path, statement, &message)) {
        case StatementRead::Read:
            break;
        case StatementRead::NotRecognised:
            if (!message.isEmpty()) warn(message);
            return noData();
        case StatementRead::Refused:
            warn(message);
            return BankImportResult::Failed;
    }
    if (Trim(bankAccount).isEmpty()) {
        warn(QStringLiteral("取込先の普通預金が見つかりませんので、取込処理を中止します。"));
        return BankImportResult::Failed;
    }

    std::vector<ImportLine> lines;
    std::vector<int> fileLines;
    lines.reserve(statement.lines.size());
    QString earliest, latest;
    for (StatementLine& s : statement.lines) {
        if (s.date < first || s.date > last) continue;
        ImportLine line;
        line.date = s.date;
        line.amount = s.amount;
        get_kamoku_code(s.description, s.withdrawal, s.deposit, bankAccount, line);
        line.description = s.description;
        if (line.account == kCash || line.counter == kCash) {
            const Currency amount = Currency::fromText(s.amount);
            const Currency absolute = amount.raw() < 0 ? -amount : amount;
            line.cashChange = line.direction == u"0" ? absolute : -absolute;
        }
        const QString month = s.date.left(7);
        if (earliest.isEmpty() || month < earliest) earliest = month;
        if (latest.isEmpty() || month > latest) latest = month;
        lines.push_back(std::move(line));
        fileLines.push_back(s.fileLine);
    }

    // A statement with no line in the range posts nothing: said plainly,
    // never reported as a successful import.
    if (lines.empty()) {
        warn(QStringLiteral("取込期間(%1～%2)の明細がありませんので、仕訳は1件も取り込まれませんでした。")
                 .arg(first, last));
        return BankImportResult::NoData;
    }
    if (!gcnKaikei) return BankImportResult::Failed;
    try {
        return postLines(lines, fileLines, path, first, earliest, latest);
    } catch (const CurrencyOverflow&) {
        // The transaction has rolled back with the unwinding.
        warn(kImportError + QStringLiteral("\r\n") + CurrencyOverflow::message());
        return BankImportResult::Failed;
    }
}

namespace {

BankImportResult postLines(std::vector<ImportLine>& lines, const std::vector<int>& fileLines, const QString& path,
                           const QString& first, const QString& earliest, const QString& latest) {
    const auto warn = [](const QString& text) { MsgBox::show(gstrSoftName, text, MsgIcon::Warning); };
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) {
        ShowDbAccessError(QStringLiteral("cmdStr_Click"));
        return BankImportResult::Failed;
    }
    int failed = -1;
    bool noVoucher = false;
    if (!PostImportLines(lines, first, &failed, &noVoucher)) {
        if (noVoucher && failed >= 0)
            warn(kImportError + QStringLiteral("\r\n%1 %2行目: %3の仕訳伝票がありません。")
                                    .arg(QFileInfo(path).fileName())
                                    .arg(fileLines[size_t(failed)])
                                    .arg(lines[size_t(failed)].date));
        return BankImportResult::Failed;
    }
    if (!lines.empty() && (!UpdateTukiSimebi(QStringLiteral("Kanjo"), QStringLiteral("0"), earliest, latest) ||
                           !UpdateTukiSimebi(QStringLiteral("Hojo"), QStringLiteral("0"), earliest, latest)))
        return BankImportResult::Failed;
    if (!tx.commit()) {
        ShowDbAccessError(QStringLiteral("cmdStr_Click"));
        return BankImportResult::Failed;
    }
    MsgBox::show(gstrSoftName,
                 QStringLiteral("銀行データの取込処理が正しく終了しました。\r\n%1件の明細を仕訳として取り込みました。")
                     .arg(lines.size()),
                 MsgIcon::Information);
    return BankImportResult::Done;
}

}  // namespace
