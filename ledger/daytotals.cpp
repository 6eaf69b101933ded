#include "ledger/daytotals.h"

#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/chartcodes.h"
#include "platform/connection.h"

namespace {

bool between(const QString& code, const char* low, const char* high) {
    return code >= QLatin1String(low) && code <= QLatin1String(high);
}

bool oneOf(const QString& code, std::initializer_list<const char*> codes) {
    for (const char* c : codes) {
        if (code == QLatin1String(c)) return true;
    }
    return false;
}

// Adds a line's amount to the revenue or expense total of one of its
// accounts: raised on the account's normal side, lowered on the other.
void addProfitEffect(const ProfitChart& chart, const QString& kocode, bool debitSide, Currency amount,
                     Currency& revenue, Currency& expense) {
    if (kocode.isEmpty()) return;
    const auto it = chart.find(kocode);
    if (it == chart.end() || it->second.kind == ProfitKind::None) return;
    const bool normalSide = debitSide == it->second.debitNormal;
    const Currency effect = normalSide ? amount : -amount;
    if (it->second.kind == ProfitKind::Revenue) {
        revenue += effect;
    } else {
        expense += effect;
    }
}

}  // namespace

ProfitKind ProfitKindOf(const QString& kmcode) {
    using namespace chart::number;
    if (between(kmcode, kRevenueBand.first, kRevenueBand.last) ||
        oneOf(kmcode, {kInterestReceived, kDividendsReceived, kMiscIncome, kNonOperatingIncomeSlot814,
                       kPurchaseDiscounts, kBadDebtReserveReversal, kGainOnSaleOfAssets, kPriorPeriodGain,
                       kReserveWithdrawal, kConsumptionTaxReceived, kConsumptionTaxPayable, kSundry})) {
        return ProfitKind::Revenue;
    }
    if (between(kmcode, kExpenseBand.first, kExpenseBand.last) ||
        oneOf(kmcode, {kInterestPaid, kBillDiscountLoss, kMiscLosses, kExchangeLoss, kLossOnSaleOfAssets,
                       kDisposalLoss, kIncomeTaxes, kReserveTransfers, kLegalReserve, kInterimDividend,
                       kOfficersBonuses})) {
        return ProfitKind::Expense;
    }
    return ProfitKind::None;
}

std::optional<ProfitChart> LoadProfitChart() {
    if (!gcnKaikei) return std::nullopt;
    const auto rows = gcnKaikei->query(QStringLiteral("SELECT KOCODE, KMCODE, TAIKBN FROM T_KANJO"));
    if (!rows) return std::nullopt;
    ProfitChart chart;
    for (const platform::Row& r : *rows) {
        ProfitAccount account;
        account.kind = ProfitKindOf(r.text(1));
        account.debitNormal = r.text(2) == QLatin1String("0");
        chart[Trim(r.text(0))] = account;
    }
    return chart;
}

DayTotals ComputeDayTotals(const std::vector<Currency>& incomeAmounts,
                           const std::vector<Currency>& expenseAmounts,
                           const std::vector<TotalsLine>& freeLines, Currency previousBalance,
                           const QString& cashAccount, const ProfitChart& chart) {
    DayTotals t;
    for (Currency a : incomeAmounts) t.income += a;
    for (Currency a : expenseAmounts) t.purchases += a;
    t.receipts = t.income;
    t.payments = t.purchases;
    Currency revenue = t.income;
    Currency expense = t.purchases;
    const QString cash = Trim(cashAccount);
    for (const TotalsLine& line : freeLines) {
        const QString debit = Trim(line.debit);
        const QString credit = Trim(line.credit);
        if (!cash.isEmpty() && debit == cash) t.receipts += line.amount;
        if (!cash.isEmpty() && credit == cash) t.payments += line.amount;
        addProfitEffect(chart, debit, true, line.amount, revenue, expense);
        addProfitEffect(chart, credit, false, line.amount, revenue, expense);
    }
    t.profit = revenue - expense;
    t.balance = t.receipts + previousBalance - t.payments;
    return t;
}
