#include "ledger/kesansyo.h"

#include <QStringList>

#include "app/common/globals.h"
#include "app/common/values.h"
#include "ledger/accountbalances.h"
#include "ledger/chartcodes.h"
#include "ledger/msum.h"
#include "ledger/period.h"
#include "ledger/printwork.h"
#include "ledger/rowwriters.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/msgbox.h"

namespace N = chart::number;

namespace {

using C = AccountCondition;

void showAccessError(const QString& proc) {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("データアクセス中にエラーが発生しました(%1)。").arg(proc),
                           platform::MsgIcon::Warning);
}

// The deduction's limits by the first calendar year of returns they apply
// to, latest first: electronic, paper, other.
struct DeductionLimits {
    int fromYear;
    qint64 electronic, paper, other;
};
const DeductionLimits kDeductionLimits[] = {
    {2020, 650000, 550000, 100000},
    {0, 650000, 650000, 100000},
};

// One term of a line of the profit and loss statement: the balances of the
// accounts meeting the condition, added or subtracted.
struct PlTerm {
    int line;
    int sign;
    AccountCondition condition;
};

const std::vector<PlTerm>& profitTerms() {
    static const std::vector<PlTerm> terms = [] {
        std::vector<PlTerm> t = {
            // Sales with the other income: miscellaneous income, the
            // correction of earlier years' profit and reserves taken back.
            {1, 1,
             C::between(N::kSales, N::kCommissionIncome)
                 .orIn({N::kOtherSales, N::kSalesSlot518, N::kMiscIncome, N::kPriorPeriodGain,
                        N::kReserveWithdrawal})},
            {1, -1, C::between(N::kSalesDiscounts, N::kSalesDeductionSlot524)},
            {2, 1, C::is(N::kOpeningGoods)},
            // Purchases and the cost of manufactured goods: the labour,
            // overhead and outside-work totals (by internal code), the
            // materials less their discounts, the change of work in process,
            // less purchase returns, discounts and the closing materials.
            {3, 1,
             C::between(N::kPurchases, N::kPurchaseCharges)
                 .orCodes({chart::kManufacturingOverhead, chart::kLabourCost, chart::kOutsideWorkTotal})},
            {3, 1, C::in({N::kOpeningMaterials, N::kMaterialPurchases})},
            {3, -1, C::is(N::kMaterialDiscounts)},
            {3, 1, C::is(N::kOpeningWorkInProcess)},
            {3, -1, C::is(N::kClosingWorkInProcess)},
            {3, -1, C::between(N::kPurchaseAllowances, N::kPurchaseReturns).orIn({N::kClosingMaterials})},
            {5, 1, C::is(N::kClosingGoods)},
            {20, 1, C::between(N::kSalaries, N::kCasualWages)},
            {22, 1, C::in({N::kInterestPaid, N::kBillDiscountLoss})},
            {23, 1, C::in({N::kRent, N::kLeases})},
            {26, 1, C::in({N::kVehicleExpenses, N::kGasoline})},
            // Miscellaneous: the form has no line for the other losses and
            // taxes, so they count here.
            {31, 1,
             C::between(N::kBooks, N::kManagementFees)
                 .orIn({N::kMiscExpenses, N::kMembershipFees, N::kMiscLosses, N::kExchangeLoss,
                        N::kDisposalLoss, N::kIncomeTaxes, N::kLegalReserve, N::kInterimDividend,
                        N::kOfficersBonuses})},
            {34, 1, C::is(N::kBadDebtReserveReversal)},
            {35, 1,
             C::in({N::kInterestReceived, N::kDividendsReceived, N::kNonOperatingIncomeSlot814,
                    N::kPurchaseDiscounts})},
            {38, 1, C::is(N::kFamilyEmployeeSalaries)},
            {39, 1, C::is(N::kBadDebtProvision)},
            {40, 1, C::is(N::kReserveTransfers)},
            {41, 1, C::is(N::kRetirementProvision)},
        };
        const std::pair<int, const char*> single[] = {{8, N::kTaxesAndDues},    {9, N::kPackingAndFreight},
                                                      {10, N::kUtilities},      {11, N::kTravel},
                                                      {12, N::kCommunication},  {13, N::kAdvertising},
                                                      {14, N::kEntertainment},  {15, N::kInsurance},
                                                      {16, N::kRepairs},        {17, N::kSuppliesExpense},
                                                      {18, N::kDepreciation},   {19, N::kWelfare},
                                                      {21, N::kOutsideLabour},  {24, N::kBadDebts},
                                                      {25, N::kOfficeSupplies}, {27, N::kFees},
                                                      {28, N::kFuel},           {29, N::kStatutoryWelfare},
                                                      {30, N::kMeetings}};
        for (const auto& [line, km] : single) t.push_back({line, 1, C::is(QString::fromLatin1(km))});
        return t;
    }();
    return terms;
}

Currency sumOf(const std::array<Currency, 127>& a, int from, int to) {
    Currency s;
    for (int i = from; i <= to; ++i) s += a[i];
    return s;
}

// Fills a name slot with the chart's name of an account number.
bool nameSlot(KesansyoRow& row, int slot, const QString& kmcode) {
    const auto name = AccountNameOfNumber(kmcode);
    if (!name) {
        showAccessError(QStringLiteral("get_kamokuName"));
        return false;
    }
    row.names[slot] = *name;
    return true;
}

// The company's fiscal period from WK_COMPANY.
struct Period {
    QString kisyu;    // "yyyy/mm/dd"
    QString kimatu;   // "yyyy/mm/dd"
    QString firstYM;  // "yyyy/mm"
    QString closeYM;  // "yyyy/mm"
    QString openYM;   // "yyyy/00"
};

bool readPeriod(Period& p) {
    const PeriodRead read = CurrentPeriod();
    if (!read.period) return false;
    p.kisyu = read.period->kisyu;
    p.kimatu = read.period->kimatu;
    if (p.kisyu.size() < 7 || p.kimatu.size() < 7) return false;
    p.firstYM = p.kisyu.left(7);
    p.closeYM = p.kimatu.left(7);
    p.openYM = p.kisyu.left(4) + QStringLiteral("/00");
    return true;
}

// The steps both builds share: the period, the summation of the year.
bool prepare(Period& period) {
    if (!gcnKaikei || !readPeriod(period)) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    if (!msum_main(period.firstYM, period.closeYM, false)) {
        platform::MsgBox::show(gstrSoftName, QStringLiteral("月次集計異常終了"));
        return false;
    }
    return true;
}

// Writes the row and the header in one transaction.
bool writeRow(const KesansyoRow& row, const QString& komoku6, const QString& komoku7 = QString()) {
    // KOMOKU1..126 the amounts, KOMOKU127..156 the names, as the row numbers them.
    WriterRow values(WriteKesansyoTable);
    for (int i = 1; i <= 126; ++i) values.set(QStringLiteral("KOMOKU%1").arg(i), row.amounts[size_t(i)]);
    for (int i = 127; i <= 156; ++i) values.set(QStringLiteral("KOMOKU%1").arg(i), row.names[size_t(i)]);
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started() || !gcnKaikei->exec(QStringLiteral("DELETE FROM P_KESANSYO"))) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    if (!WriteRow(values, QStringLiteral("P_KESANSYO"))) return false;
    if (!WritePrintHeader(komoku6, komoku7)) return false;
    if (!tx.commit()) {
        showAccessError(QStringLiteral("print_data"));
        return false;
    }
    return true;
}

QString todayText() {
    return platform::Clock::today().toString(QStringLiteral("yyyy/MM/dd"));
}

}  // namespace

Currency DeductionLimit(DeductionCase which, int returnYear) {
    for (const DeductionLimits& l : kDeductionLimits) {
        if (returnYear < l.fromYear) continue;
        switch (which) {
            case DeductionCase::Electronic:
                return Currency::fromYen(l.electronic);
            case DeductionCase::Paper:
                return Currency::fromYen(l.paper);
            case DeductionCase::Other:
                return Currency::fromYen(l.other);
        }
    }
    return Currency();
}

DeductionBoxes BlueReturnDeduction(Currency realEstateIncome, Currency income, DeductionCase which,
                                   int returnYear) {
    DeductionBoxes b;
    b.k1 = realEstateIncome < Currency() ? Currency() : realEstateIncome;
    b.k2 = income < Currency() ? Currency() : income;
    const Currency limit = DeductionLimit(which, returnYear);
    const Currency realEstatePart = b.k1 < limit ? b.k1 : limit;
    const Currency rest = limit - realEstatePart;
    const Currency deduction = b.k2 < rest ? b.k2 : rest;
    switch (which) {
        case DeductionCase::Electronic:
            b.k3 = realEstatePart;
            b.k4 = deduction;
            break;
        case DeductionCase::Paper:
            b.k7 = realEstatePart;
            b.k8 = deduction;
            break;
        case DeductionCase::Other:
            b.k5 = realEstatePart;
            b.k6 = deduction;
            break;
    }
    return b;
}

Currency DeductionOf(const DeductionBoxes& boxes, DeductionCase which) {
    switch (which) {
        case DeductionCase::Electronic:
            return boxes.k4;
        case DeductionCase::Paper:
            return boxes.k8;
        case DeductionCase::Other:
            break;
    }
    return boxes.k6;
}

bool IsFixedAssetSaleAccount(const QString& kmcode) {
    return kmcode == QLatin1String(N::kGainOnSaleOfAssets) || kmcode == QLatin1String(N::kLossOnSaleOfAssets);
}

int TaxReturnLineOf(const QString& kmcode, const QString& kocode) {
    for (const PlTerm& t : profitTerms()) {
        if (t.condition.matches(kmcode, kocode)) return t.line;
    }
    return 0;
}

std::array<Currency, 44> TaxReturnProfitLines(const AccountBalances& b) {
    std::array<Currency, 44> l{};
    for (const PlTerm& t : profitTerms()) {
        const Currency sum = b.sum(t.condition);
        l[t.line] += t.sign > 0 ? sum : -sum;
    }
    l[4] = l[2] + l[3];
    l[6] = l[4] - l[5];
    l[7] = l[1] - l[6];
    for (int i = 8; i <= 31; ++i) l[32] += l[i];
    l[33] = l[7] - l[32];
    l[37] = l[34] + l[35] + l[36];
    l[42] = l[38] + l[39] + l[40] + l[41];
    l[43] = l[33] + l[37] - l[42];
    return l;
}

namespace kesansyo {

bool ProfitAndLossRow(const AccountBalances& closing, const DeductionBoxes& boxes, DeductionCase which,
                      KesansyoRow& row) {
    row = KesansyoRow{};
    const auto lines = TaxReturnProfitLines(closing);
    for (int i = 1; i <= 43; ++i) row.amounts[i] = lines[i];
    row.amounts[44] = DeductionOf(boxes, which);
    row.amounts[45] = row.amounts[43] - row.amounts[44];
    const std::pair<int, const char*> names[] = {{127, N::kOfficeSupplies},
                                                 {128, N::kVehicleExpenses},
                                                 {129, N::kFees},
                                                 {130, N::kFuel},
                                                 {131, N::kStatutoryWelfare},
                                                 {132, N::kMeetings},
                                                 {133, N::kInterestReceived},
                                                 {135, N::kReserveTransfers},
                                                 {136, N::kRetirementProvision}};
    for (const auto& [slot, km] : names) {
        if (!nameSlot(row, slot, QString::fromLatin1(km))) return false;
    }
    return true;
}

bool BalanceSheetRow(const AccountBalances& opening, const AccountBalances& closing, KesansyoRow& row) {
    row = KesansyoRow{};
    auto& a = row.amounts;
    struct BsLine {
        int line;
        C condition;
        bool withOpening;
        int nameSlot;
        const char* nameOf;
    };
    // Accounts 317 (notes borrowed) and 320 (overdraft) are borrowings: they
    // count on line 28 only.
    const BsLine lines[] = {
        {1, C::between(N::kCash, N::kPettyCash), true, 0, nullptr},
        {2, C::between(N::kCurrentDeposit, N::kCurrentDeposit3), true, 0, nullptr},
        {3, C::in({N::kInstallmentSavings, N::kTimeDeposit, N::kReserveDeposit}), true, 0, nullptr},
        {4,
         C::in({N::kOrdinaryDeposit, N::kOrdinaryDeposit2, N::kOrdinaryDeposit3, N::kNoticeDeposit,
                N::kTaxReserveDeposit}),
         true, 0, nullptr},
        {5, C::is(N::kNotesReceivable), true, 0, nullptr},
        {6, C::in({N::kAccountsReceivable, N::kCreditReceivables, N::kOtherReceivables, N::kAccruedRevenue}),
         true, 0, nullptr},
        {7, C::is(N::kSecurities), true, 0, nullptr},
        {8, C::between(N::kMerchandise, N::kStores), true, 0, nullptr},
        {9,
         C::in({N::kAdvancesPaid, N::kPrepaidExpenses, N::kAdvancesForOthers, N::kCurrentAssetSlot187,
                N::kSuspensePayments, N::kConsumptionTaxPaid, N::kConsumptionTaxRefundable}),
         true, 0, nullptr},
        {10, C::is(N::kShortTermLoans), true, 0, nullptr},
        {11, C::is(N::kBuildings), true, 0, nullptr},
        {12, C::in({N::kBuildingFixtures, N::kStructures}), true, 0, nullptr},
        {13, C::is(N::kMachinery), true, 0, nullptr},
        {14, C::is(N::kVehicles), true, 0, nullptr},
        {15, C::is(N::kToolsAndEquipment), true, 0, nullptr},
        {16, C::is(N::kLand), true, 0, nullptr},
        {17, C::is(N::kConstructionInProgress), true, 127, N::kConstructionInProgress},
        {18, C::is(N::kLumpSumDepreciableAssets), true, 128, N::kLumpSumDepreciableAssets},
        {19, C::is(N::kOrganisationCosts), true, 129, N::kOrganisationCosts},
        {20, C::is(N::kStartUpCosts), true, 130, N::kStartUpCosts},
        {21, C::is(N::kDeferredAssetSlot254), true, 131, N::kDeferredAssetSlot254},
        {22, C::between(N::kTelephoneRights, N::kIntangibleSlot235), true, 132, N::kTelephoneRights},
        {23, C::between(N::kInvestmentSecurities, N::kOtherInvestments), true, 133, N::kCapitalContributions},
        {24, C::is(N::kOwnerDrawings), false, 0, nullptr},  // the year's own, below
        {26, C::is(N::kNotesPayable), true, 0, nullptr},
        {27, C::is(N::kAccountsPayable), true, 0, nullptr},
        {28, C::in({N::kShortTermBorrowings, N::kLongTermBorrowings, N::kBillBorrowings, N::kOverdraft}),
         true, 0, nullptr},
        {29, C::is(N::kOtherPayables), true, 0, nullptr},
        {30, C::is(N::kAdvancesReceived), true, 0, nullptr},
        {31, C::in({N::kWithholdings, N::kEmployeeDeposits}), true, 0, nullptr},
        {32, C::is(N::kAccruedExpenses), true, 134, N::kAccruedExpenses},
        {33, C::is(N::kCurrentLiabilitySlot324), true, 135, N::kCurrentLiabilitySlot324},
        {34, C::is(N::kBonusReserve), true, 136, N::kBonusReserve},
        {35, C::is(N::kLongTermPayables), true, 137, N::kLongTermPayables},
        {36, C::is(N::kSuspenseReceipts), true, 138, N::kSuspenseReceipts},
        {37, C::is(N::kIncomeTaxesPayable), true, 139, N::kIncomeTaxesPayable},
        {39, C::is(N::kBadDebtAllowance), true, 0, nullptr},
        {40, C::is(N::kConsumptionTaxReceived), true, 141, N::kConsumptionTaxReceived},
        {41, C::is(N::kConsumptionTaxPayable), true, 142, N::kConsumptionTaxPayable},
        {42, C::is(N::kCapitalStock), true, 143, N::kCapitalStock},
        {43, C::in({N::kCapitalReserve, N::kLegalRetainedReserve}), true, 144, N::kCapitalReserve},
        {44, C::in({N::kVoluntaryReserve, N::kSpecialReserve, N::kOtherRetainedEarnings}), true, 145,
         N::kVoluntaryReserve},
        {47, C::is(N::kOwnerContributions), false, 0, nullptr},  // the year's own, below
        {48, C::is(N::kOwnerCapital), false, 0, nullptr},
    };
    for (const BsLine& l : lines) {
        if (l.withOpening) a[l.line] = opening.sum(l.condition);
        a[l.line + 50] = closing.sum(l.condition);
        if (l.nameOf && !nameSlot(row, l.nameSlot, QString::fromLatin1(l.nameOf))) return false;
    }
    // The proprietor's drawings and contributions of the year: a balance the
    // accounts bring into the year belongs to the opening capital. The loss
    // and the gain on selling fixed assets, which line 43 leaves out, count
    // with them.
    a[74] -= opening.sum(C::is(N::kOwnerDrawings));
    a[74] += closing.sum(C::is(N::kLossOnSaleOfAssets));
    a[97] -= opening.sum(C::is(N::kOwnerContributions));
    a[97] += closing.sum(C::is(N::kGainOnSaleOfAssets));
    // The closing income: line 43 of the profit and loss statement, with its sign.
    a[99] = TaxReturnProfitLines(closing)[43];
    a[25] = sumOf(a, 1, 24);
    a[75] = sumOf(a, 51, 74);
    a[50] = sumOf(a, 26, 49);
    a[100] = sumOf(a, 76, 99);
    // The opening capital balances the opening column. The closing capital is
    // the opening capital moved by what the year added to the capital
    // account, so an opening balance of the account is not counted twice.
    a[48] = a[25] - a[50];
    const Currency capitalMoved = a[98] - opening.sum(C::is(N::kOwnerCapital));
    a[100] += a[48] - a[98] + capitalMoved;
    a[98] = a[48] + capitalMoved;
    a[50] += a[48];

    // The manufacturing cost lines at the closing month.
    const auto c = [&](const C& cond) { return closing.sum(cond); };
    a[101] = c(C::is(N::kOpeningMaterials));
    // Purchases of materials net of their discounts.
    a[102] = c(C::is(N::kMaterialPurchases)) - c(C::is(N::kMaterialDiscounts));
    a[103] = a[101] + a[102];
    a[104] = c(C::is(N::kClosingMaterials));
    a[105] = a[103] - a[104];
    a[106] = c(C::between(N::kWages, N::kManufacturingWelfare));
    const std::pair<int, const char*> single[] = {{107, N::kOutsideWork},
                                                  {108, N::kPower},
                                                  {109, N::kManufacturingUtilities},
                                                  {110, N::kManufacturingRepairs},
                                                  {111, N::kManufacturingDepreciation},
                                                  {112, N::kFactorySupplies},
                                                  {113, N::kManufacturingFreight},
                                                  {114, N::kManufacturingInsurance},
                                                  {115, N::kManufacturingRent},
                                                  {116, N::kManufacturingTaxes},
                                                  {117, N::kManufacturingTravel},
                                                  {118, N::kManufacturingCommunication},
                                                  {119, N::kResearch}};
    for (const auto& [slot, km] : single) {
        a[slot] = c(C::is(QString::fromLatin1(km)));
        if (slot >= 112 && !nameSlot(row, slot + 36, QString::fromLatin1(km))) return false;
    }
    a[120] = c(
        C::between(N::kManufacturingOfficeSupplies, N::kManufacturingSlot677).orIn({N::kManufacturingMisc}));
    a[121] = sumOf(a, 107, 120);
    a[122] = a[105] + a[106] + a[121];
    a[123] = c(C::is(N::kOpeningWorkInProcess));
    a[124] = a[122] + a[123];
    a[125] = c(C::is(N::kClosingWorkInProcess));
    a[126] = a[124] - a[125];
    return true;
}

}  // namespace kesansyo

// The calendar year of the return: the year the fiscal period ends in.
static int returnYearOf(const QString& kimatu) {
    return kimatu.left(4).toInt();
}

bool BuildKesanPS(DeductionBoxes& boxes, DeductionCase which) {
    Period period;
    if (!prepare(period)) return false;
    const auto closing = AccountBalances::read(period.closeYM);
    if (!closing) {
        showAccessError(QStringLiteral("search_table"));
        return false;
    }
    const Currency income = TaxReturnProfitLines(*closing)[43];
    const DeductionBoxes computed = BlueReturnDeduction(boxes.k1, income, which, returnYearOf(period.kimatu));
    KesansyoRow row;
    if (!kesansyo::ProfitAndLossRow(*closing, computed, which, row)) return false;
    if (!writeRow(row, PrintEraDate(todayText()), PrintEraDate(period.kisyu)))
        return false;
    boxes = computed;
    return true;
}

bool BuildKesanTS(DeductionBoxes& boxes, DeductionCase which) {
    Period period;
    if (!prepare(period)) return false;
    const auto opening = AccountBalances::read(period.openYM);
    const auto closing = AccountBalances::read(period.closeYM);
    if (!opening || !closing) {
        showAccessError(QStringLiteral("set_hyouji_table"));
        return false;
    }
    KesansyoRow row;
    if (!kesansyo::BalanceSheetRow(*opening, *closing, row)) return false;
    const DeductionBoxes computed =
        BlueReturnDeduction(boxes.k1, row.amounts[99], which, returnYearOf(period.kimatu));
    if (!writeRow(row, PrintEraDate(period.kimatu))) return false;
    boxes = computed;
    return true;
}
