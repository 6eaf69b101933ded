// The codes ledger/chartcodes.h names, checked against the shipped chart: a
// named account is a row of the chart template (MT_KANJO) under the name its
// comment gives, and a row of the shipped working chart (T_KANJO); a named
// range runs from an account to a later account (or to the bound that ends
// its section); markers and bounds are no account at all, so that SQL built
// from them selects what it says. Named account numbers are numbers of the
// template under their names; number bands are in order.

#include <QtTest>
#include <map>
#include <memory>
#include <vector>

#include "ledger/chartcodes.h"
#include "ledger/yearendfigures.h"
#include "platform/connection.h"
#include "support/testenv.h"

namespace {

enum class Kind { Account, Range, RangeToBound, NotAccount, Number, NotNumber, Band };

struct Named {
    const char* what;
    Kind kind;
    chart::Code first;
    chart::Code last;  // ranges only
    const char* name;  // accounts and numbers: the template's account name ("" for an unnamed slot)
};

Named account(const char* what, chart::Code code, const char* name) {
    return {what, Kind::Account, code, nullptr, name};
}

const std::vector<Named>& named() {
    static const std::vector<Named> list = [] {
        struct A {
            const char* what;
            chart::Code code;
            const char* name;
        };
        const A accounts[] = {
            {"kCash", chart::kCash, "現金"},
            {"kOrdinaryDeposit1", chart::kOrdinaryDeposit1, "普通預金"},
            {"kOrdinaryDeposit3", chart::kOrdinaryDeposit3, "普通預金３"},
            {"kCashAndDepositsTotal", chart::kCashAndDepositsTotal, "現金及び預金合計"},
            {"kCurrentAssetsTotal", chart::kCurrentAssetsTotal, "流動資産合計"},
            {"kFixedAssetsHeading", chart::kFixedAssetsHeading, "固定資産"},
            {"kTangibleFixedAssetsTotal", chart::kTangibleFixedAssetsTotal, "有形固定資産合計"},
            {"kIntangibleFixedAssetsTotal", chart::kIntangibleFixedAssetsTotal, "無形固定資産合計"},
            {"kInvestmentsTotal", chart::kInvestmentsTotal, "投資その他の資産合計"},
            {"kFixedAssetsTotal", chart::kFixedAssetsTotal, "固定資産合計"},
            {"kOwnerDrawings", chart::kOwnerDrawings, "事業主貸"},
            {"kAssetsTotal", chart::kAssetsTotal, "資産合計"},
            {"kWithholdings", chart::kWithholdings, "預り金"},
            {"kLiabilitiesTotal", chart::kLiabilitiesTotal, "負債合計"},
            {"kOwnerCapital", chart::kOwnerCapital, "元入金"},
            {"kOwnerContributions", chart::kOwnerContributions, "事業主借"},
            {"kProfitBroughtForward", chart::kProfitBroughtForward, "前期繰越利益"},
            {"kRetainedEarningsTotal", chart::kRetainedEarningsTotal, "剰余金合計"},
            {"kCapitalTotal", chart::kCapitalTotal, "資本合計"},
            {"kLiabilitiesAndCapitalTotal", chart::kLiabilitiesAndCapitalTotal, "負債・資本合計"},
            {"kProfitAndLossHeading", chart::kProfitAndLossHeading, "経常損益の部"},
            {"kSales", chart::kSales, "売上高"},
            {"kCommissionIncome", chart::kCommissionIncome, "手数料収入"},
            {"kSalesDiscounts", chart::kSalesDiscounts, "売上値引高"},
            {"kSalesReturns", chart::kSalesReturns, "売上戻り高"},
            {"kOtherSales", chart::kOtherSales, "その他の売上"},
            {"kSalesSlot518", chart::kSalesSlot518, ""},
            {"kNetSales", chart::kNetSales, "純売上高"},
            {"kCostOfSalesHeading", chart::kCostOfSalesHeading, "売上原価の部"},
            {"kOpeningMaterials", chart::kOpeningMaterials, "期首材料棚卸高"},
            {"kMaterialPurchases", chart::kMaterialPurchases, "材料仕入高"},
            {"kMaterialDiscounts", chart::kMaterialDiscounts, "材料仕入値引高"},
            {"kMaterialsSubtotal", chart::kMaterialsSubtotal, "材料費小計"},
            {"kClosingMaterials", chart::kClosingMaterials, "期末材料棚卸高"},
            {"kMaterialsCost", chart::kMaterialsCost, "材料費"},
            {"kWages", chart::kWages, "賃金"},
            {"kManufacturingWelfare", chart::kManufacturingWelfare, "福利厚生費（製造）"},
            {"kLabourCost", chart::kLabourCost, "労務費"},
            {"kPower", chart::kPower, "電力費"},
            {"kManufacturingTravel", chart::kManufacturingTravel, "旅費交通費（製造）"},
            {"kResearch", chart::kResearch, "試験研究費"},
            {"kManufacturingSlot677", chart::kManufacturingSlot677, ""},
            {"kManufacturingMisc", chart::kManufacturingMisc, "雑費（製造）"},
            {"kManufacturingOverhead", chart::kManufacturingOverhead, "製造経費"},
            {"kOutsideWork", chart::kOutsideWork, "外注加工費"},
            {"kOutsideWorkTotal", chart::kOutsideWorkTotal, "外注加工費合計"},
            {"kTotalManufacturingCost", chart::kTotalManufacturingCost, "当期総製造費用"},
            {"kOpeningWorkInProcess", chart::kOpeningWorkInProcess, "期首仕掛品棚卸高"},
            {"kClosingWorkInProcess", chart::kClosingWorkInProcess, "期末仕掛品棚卸高"},
            {"kCostOfManufacturing", chart::kCostOfManufacturing, "当期製品製造原価"},
            {"kOpeningGoods", chart::kOpeningGoods, "期首商品棚卸高"},
            {"kPurchases", chart::kPurchases, "仕入高"},
            {"kPurchaseReturns", chart::kPurchaseReturns, "仕入戻し高"},
            {"kCostOfSalesSubtotal", chart::kCostOfSalesSubtotal, "売上原価小計"},
            {"kClosingGoods", chart::kClosingGoods, "期末商品棚卸高"},
            {"kCostOfSales", chart::kCostOfSales, "売上原価"},
            {"kGrossProfit", chart::kGrossProfit, "売上総利益"},
            {"kOfficersPay", chart::kOfficersPay, "役員報酬"},
            {"kSalaries", chart::kSalaries, "給料手当"},
            {"kBonuses", chart::kBonuses, "賞与"},
            {"kStatutoryWelfare", chart::kStatutoryWelfare, "法定福利費"},
            {"kTravel", chart::kTravel, "旅費交通費"},
            {"kCommunication", chart::kCommunication, "通信費"},
            {"kUtilities", chart::kUtilities, "水道光熱費"},
            {"kFuel", chart::kFuel, "燃料費"},
            {"kSuppliesExpense", chart::kSuppliesExpense, "消耗品費"},
            {"kOfficeSupplies", chart::kOfficeSupplies, "事務用品費"},
            {"kRepairs", chart::kRepairs, "修繕費"},
            {"kVehicleExpenses", chart::kVehicleExpenses, "車両費"},
            {"kMiscExpenses", chart::kMiscExpenses, "雑費"},
            {"kGasoline", chart::kGasoline, "ガソリン代"},
            {"kInsurance", chart::kInsurance, "損害保険料"},
            {"kTaxesAndDues", chart::kTaxesAndDues, "租税公課"},
            {"kFees", chart::kFees, "支払手数料"},
            {"kRent", chart::kRent, "地代家賃"},
            {"kManagementFees", chart::kManagementFees, "管理費"},
            {"kSellingAndAdminTotal", chart::kSellingAndAdminTotal, "販売費及び一般管理費計"},
            {"kOperatingProfit", chart::kOperatingProfit, "営業利益"},
            {"kNonOperatingHeading", chart::kNonOperatingHeading, "営業外損益の部"},
            {"kInterestReceived", chart::kInterestReceived, "受取利息"},
            {"kDividendsReceived", chart::kDividendsReceived, "受取配当金"},
            {"kNonOperatingIncomeSlot814", chart::kNonOperatingIncomeSlot814, ""},
            {"kPurchaseDiscounts", chart::kPurchaseDiscounts, "仕入割引"},
            {"kMiscIncome", chart::kMiscIncome, "雑収入"},
            {"kNonOperatingIncomeTotal", chart::kNonOperatingIncomeTotal, "営業外収益合計"},
            {"kMiscLosses", chart::kMiscLosses, "雑損失"},
            {"kNonOperatingExpensesTotal", chart::kNonOperatingExpensesTotal, "営業外費用合計"},
            {"kOrdinaryProfit", chart::kOrdinaryProfit, "経常利益"},
            {"kPriorPeriodGain", chart::kPriorPeriodGain, "前期損益修正益"},
            {"kExtraordinaryGainsTotal", chart::kExtraordinaryGainsTotal, "特別利益合計"},
            {"kDisposalLoss", chart::kDisposalLoss, "固定資産除却損"},
            {"kExtraordinaryLossesTotal", chart::kExtraordinaryLossesTotal, "特別損失合計"},
            {"kProfitBeforeTax", chart::kProfitBeforeTax, "税引前当期純利益"},
            {"kIncomeTaxes", chart::kIncomeTaxes, "法人税等"},
            {"kNetProfit", chart::kNetProfit, "当期純利益"},
            {"kReserveWithdrawal", chart::kReserveWithdrawal, "任意積立金取崩額"},
            {"kReserveTransfers", chart::kReserveTransfers, "準備金繰入額"},
            {"kLegalReserve", chart::kLegalReserve, "利益準備金積立額"},
            {"kUnappropriatedProfit", chart::kUnappropriatedProfit, "当期未処分利益"},
            {"kInterimDividend", chart::kInterimDividend, "中間配当金"},
            {"kOfficersBonuses", chart::kOfficersBonuses, "役員賞与金"},
            {"kAppropriationTotal", chart::kAppropriationTotal, "利益処分項目計"},
            {"kPayrollClearing", chart::kPayrollClearing, "給与仮勘定"},
            {"kSundry", chart::kSundry, "諸口"},
        };
        std::vector<Named> out;
        for (const A& a : accounts) out.push_back(account(a.what, a.code, a.name));
        const std::pair<const char*, chart::Range> ranges[] = {
            {"kOrdinaryDeposits", chart::kOrdinaryDeposits},
            {"kBalanceSheet", chart::kBalanceSheet},
            {"kProfitAndLoss", chart::kProfitAndLoss},
            {"kProfitAndLossResults", chart::kProfitAndLossResults},
            {"kManufacturing", chart::kManufacturing},
        };
        for (const auto& [what, r] : ranges) out.push_back({what, Kind::Range, r.first, r.last, nullptr});
        out.push_back({"kCarriedBalances", Kind::RangeToBound, chart::kCarriedBalances.first,
                       chart::kCarriedBalances.last, nullptr});
        out.push_back({"kAppropriationTail", Kind::RangeToBound, chart::kAppropriationTail.first,
                       chart::kAppropriationTail.last, nullptr});
        const A numbers[] = {
            {"number::kCash", chart::number::kCash, "現金"},
            {"number::kPettyCash", chart::number::kPettyCash, "小口現金"},
            {"number::kCurrentDeposit", chart::number::kCurrentDeposit, "当座預金"},
            {"number::kCurrentDeposit3", chart::number::kCurrentDeposit3, "当座預金３"},
            {"number::kOrdinaryDeposit", chart::number::kOrdinaryDeposit, "普通預金"},
            {"number::kOrdinaryDeposit2", chart::number::kOrdinaryDeposit2, "普通預金２"},
            {"number::kOrdinaryDeposit3", chart::number::kOrdinaryDeposit3, "普通預金３"},
            {"number::kNoticeDeposit", chart::number::kNoticeDeposit, "通知預金"},
            {"number::kTaxReserveDeposit", chart::number::kTaxReserveDeposit, "納税準備預金"},
            {"number::kTimeDeposit", chart::number::kTimeDeposit, "定期預金"},
            {"number::kInstallmentSavings", chart::number::kInstallmentSavings, "定期積金"},
            {"number::kReserveDeposit", chart::number::kReserveDeposit, "積立預金"},
            {"number::kCreditReceivables", chart::number::kCreditReceivables, "クレジット売掛金"},
            {"number::kNotesReceivable", chart::number::kNotesReceivable, "受取手形"},
            {"number::kAccountsReceivable", chart::number::kAccountsReceivable, "売掛金"},
            {"number::kSecurities", chart::number::kSecurities, "有価証券"},
            {"number::kOtherReceivables", chart::number::kOtherReceivables, "未収入金"},
            {"number::kAccruedRevenue", chart::number::kAccruedRevenue, "未収収益"},
            {"number::kMerchandise", chart::number::kMerchandise, "商品"},
            {"number::kStores", chart::number::kStores, "貯蔵品"},
            {"number::kAdvancesPaid", chart::number::kAdvancesPaid, "前払金"},
            {"number::kShortTermLoans", chart::number::kShortTermLoans, "短期貸付金"},
            {"number::kPrepaidExpenses", chart::number::kPrepaidExpenses, "前払費用"},
            {"number::kAdvancesForOthers", chart::number::kAdvancesForOthers, "立替金"},
            {"number::kSuspensePayments", chart::number::kSuspensePayments, "仮払金"},
            {"number::kCurrentAssetSlot187", chart::number::kCurrentAssetSlot187, ""},
            {"number::kBadDebtAllowance", chart::number::kBadDebtAllowance, "貸倒引当金"},
            {"number::kBuildings", chart::number::kBuildings, "建物"},
            {"number::kBuildingFixtures", chart::number::kBuildingFixtures, "建物附属設備"},
            {"number::kStructures", chart::number::kStructures, "構築物"},
            {"number::kMachinery", chart::number::kMachinery, "機械装置"},
            {"number::kVehicles", chart::number::kVehicles, "車両運搬具"},
            {"number::kToolsAndEquipment", chart::number::kToolsAndEquipment, "工具器具備品"},
            {"number::kLand", chart::number::kLand, "土地"},
            {"number::kConstructionInProgress", chart::number::kConstructionInProgress, "建設仮勘定"},
            {"number::kLumpSumDepreciableAssets", chart::number::kLumpSumDepreciableAssets, "一括償却資産"},
            {"number::kTelephoneRights", chart::number::kTelephoneRights, "電話加入権"},
            {"number::kIntangibleSlot235", chart::number::kIntangibleSlot235, ""},
            {"number::kInvestmentSecurities", chart::number::kInvestmentSecurities, "投資有価証券"},
            {"number::kCapitalContributions", chart::number::kCapitalContributions, "出資金"},
            {"number::kOtherInvestments", chart::number::kOtherInvestments, "その他の投資"},
            {"number::kOwnerDrawings", chart::number::kOwnerDrawings, "事業主貸"},
            {"number::kOrganisationCosts", chart::number::kOrganisationCosts, "創立費"},
            {"number::kStartUpCosts", chart::number::kStartUpCosts, "開業費"},
            {"number::kDeferredAssetSlot254", chart::number::kDeferredAssetSlot254, ""},
            {"number::kNotesPayable", chart::number::kNotesPayable, "支払手形"},
            {"number::kAccountsPayable", chart::number::kAccountsPayable, "買掛金"},
            {"number::kShortTermBorrowings", chart::number::kShortTermBorrowings, "短期借入金"},
            {"number::kOtherPayables", chart::number::kOtherPayables, "未払金"},
            {"number::kAdvancesReceived", chart::number::kAdvancesReceived, "前受金"},
            {"number::kWithholdings", chart::number::kWithholdings, "預り金"},
            {"number::kBillBorrowings", chart::number::kBillBorrowings, "手形借入金"},
            {"number::kOverdraft", chart::number::kOverdraft, "当座借越"},
            {"number::kAccruedExpenses", chart::number::kAccruedExpenses, "未払費用"},
            {"number::kCurrentLiabilitySlot324", chart::number::kCurrentLiabilitySlot324, ""},
            {"number::kSuspenseReceipts", chart::number::kSuspenseReceipts, "仮受金"},
            {"number::kIncomeTaxesPayable", chart::number::kIncomeTaxesPayable, "未払法人税等"},
            {"number::kBonusReserve", chart::number::kBonusReserve, "賞与引当金"},
            {"number::kLongTermBorrowings", chart::number::kLongTermBorrowings, "長期借入金"},
            {"number::kLongTermPayables", chart::number::kLongTermPayables, "長期未払金"},
            {"number::kEmployeeDeposits", chart::number::kEmployeeDeposits, "従業員預り金"},
            {"number::kCapitalStock", chart::number::kCapitalStock, "資本金"},
            {"number::kOwnerCapital", chart::number::kOwnerCapital, "元入金"},
            {"number::kOwnerContributions", chart::number::kOwnerContributions, "事業主借"},
            {"number::kCapitalReserve", chart::number::kCapitalReserve, "資本準備金"},
            {"number::kLegalRetainedReserve", chart::number::kLegalRetainedReserve, "利益準備金"},
            {"number::kVoluntaryReserve", chart::number::kVoluntaryReserve, "任意積立金"},
            {"number::kSpecialReserve", chart::number::kSpecialReserve, "別途積立金"},
            {"number::kOtherRetainedEarnings", chart::number::kOtherRetainedEarnings, "その他利益剰余金"},
            {"number::kSales", chart::number::kSales, "売上高"},
            {"number::kProductSales", chart::number::kProductSales, "製品売上高"},
            {"number::kServiceRevenue", chart::number::kServiceRevenue, "役務収益"},
            {"number::kOwnConsumption", chart::number::kOwnConsumption, "家事消費等"},
            {"number::kProcessingIncome", chart::number::kProcessingIncome, "加工賃収入"},
            {"number::kCommissionIncome", chart::number::kCommissionIncome, "手数料収入"},
            {"number::kOtherSales", chart::number::kOtherSales, "その他の売上"},
            {"number::kSalesSlot518", chart::number::kSalesSlot518, ""},
            {"number::kSalesDiscounts", chart::number::kSalesDiscounts, "売上値引高"},
            {"number::kSalesReturns", chart::number::kSalesReturns, "売上戻り高"},
            {"number::kSalesRebates", chart::number::kSalesRebates, "売上割戻し高"},
            {"number::kSalesDeductionSlot524", chart::number::kSalesDeductionSlot524, ""},
            {"number::kPurchases", chart::number::kPurchases, "仕入高"},
            {"number::kPurchasesSlot551", chart::number::kPurchasesSlot551, ""},
            {"number::kPurchaseCharges", chart::number::kPurchaseCharges, "仕入諸掛"},
            {"number::kOpeningGoods", chart::number::kOpeningGoods, "期首商品棚卸高"},
            {"number::kPurchaseAllowances", chart::number::kPurchaseAllowances, "仕入値引高"},
            {"number::kPurchaseReturns", chart::number::kPurchaseReturns, "仕入戻し高"},
            {"number::kClosingGoods", chart::number::kClosingGoods, "期末商品棚卸高"},
            {"number::kOpeningMaterials", chart::number::kOpeningMaterials, "期首材料棚卸高"},
            {"number::kMaterialPurchases", chart::number::kMaterialPurchases, "材料仕入高"},
            {"number::kClosingMaterials", chart::number::kClosingMaterials, "期末材料棚卸高"},
            {"number::kMaterialDiscounts", chart::number::kMaterialDiscounts, "材料仕入値引高"},
            {"number::kWages", chart::number::kWages, "賃金"},
            {"number::kManufacturingWelfare", chart::number::kManufacturingWelfare, "福利厚生費（製造）"},
            {"number::kOutsideWork", chart::number::kOutsideWork, "外注加工費"},
            {"number::kPower", chart::number::kPower, "電力費"},
            {"number::kManufacturingUtilities", chart::number::kManufacturingUtilities, "水道光熱費（製造）"},
            {"number::kFactorySupplies", chart::number::kFactorySupplies, "工場消耗品費"},
            {"number::kManufacturingRepairs", chart::number::kManufacturingRepairs, "修繕費（製造）"},
            {"number::kManufacturingFreight", chart::number::kManufacturingFreight, "荷造運賃（製造）"},
            {"number::kManufacturingInsurance", chart::number::kManufacturingInsurance, "保険料（製造）"},
            {"number::kManufacturingRent", chart::number::kManufacturingRent, "賃借料（製造）"},
            {"number::kManufacturingTaxes", chart::number::kManufacturingTaxes, "租税公課（製造）"},
            {"number::kManufacturingTravel", chart::number::kManufacturingTravel, "旅費交通費（製造）"},
            {"number::kManufacturingCommunication", chart::number::kManufacturingCommunication,
             "通信費（製造）"},
            {"number::kManufacturingDepreciation", chart::number::kManufacturingDepreciation,
             "減価償却費（製造）"},
            {"number::kResearch", chart::number::kResearch, "試験研究費"},
            {"number::kManufacturingOfficeSupplies", chart::number::kManufacturingOfficeSupplies,
             "事務用品費（製造）"},
            {"number::kManufacturingFees", chart::number::kManufacturingFees, "支払手数料（製造）"},
            {"number::kManufacturingSlot677", chart::number::kManufacturingSlot677, ""},
            {"number::kManufacturingMisc", chart::number::kManufacturingMisc, "雑費（製造）"},
            {"number::kOpeningWorkInProcess", chart::number::kOpeningWorkInProcess, "期首仕掛品棚卸高"},
            {"number::kClosingWorkInProcess", chart::number::kClosingWorkInProcess, "期末仕掛品棚卸高"},
            {"number::kFamilyEmployeeSalaries", chart::number::kFamilyEmployeeSalaries, "専従者給与"},
            {"number::kSalaries", chart::number::kSalaries, "給料手当"},
            {"number::kCasualWages", chart::number::kCasualWages, "雑給"},
            {"number::kStatutoryWelfare", chart::number::kStatutoryWelfare, "法定福利費"},
            {"number::kWelfare", chart::number::kWelfare, "福利厚生費"},
            {"number::kAdvertising", chart::number::kAdvertising, "広告宣伝費"},
            {"number::kPackingAndFreight", chart::number::kPackingAndFreight, "荷造運賃"},
            {"number::kTravel", chart::number::kTravel, "旅費交通費"},
            {"number::kCommunication", chart::number::kCommunication, "通信費"},
            {"number::kUtilities", chart::number::kUtilities, "水道光熱費"},
            {"number::kTaxesAndDues", chart::number::kTaxesAndDues, "租税公課"},
            {"number::kEntertainment", chart::number::kEntertainment, "接待交際費"},
            {"number::kSuppliesExpense", chart::number::kSuppliesExpense, "消耗品費"},
            {"number::kOfficeSupplies", chart::number::kOfficeSupplies, "事務用品費"},
            {"number::kLeases", chart::number::kLeases, "賃借料"},
            {"number::kRepairs", chart::number::kRepairs, "修繕費"},
            {"number::kInsurance", chart::number::kInsurance, "損害保険料"},
            {"number::kVehicleExpenses", chart::number::kVehicleExpenses, "車両費"},
            {"number::kDepreciation", chart::number::kDepreciation, "減価償却費"},
            {"number::kBadDebtProvision", chart::number::kBadDebtProvision, "貸倒引当金繰入額"},
            {"number::kRetirementProvision", chart::number::kRetirementProvision, "退職給与引当金繰入額"},
            {"number::kGasoline", chart::number::kGasoline, "ガソリン代"},
            {"number::kFees", chart::number::kFees, "支払手数料"},
            {"number::kFuel", chart::number::kFuel, "燃料費"},
            {"number::kMembershipFees", chart::number::kMembershipFees, "諸会費"},
            {"number::kMeetings", chart::number::kMeetings, "会議費"},
            {"number::kOutsideLabour", chart::number::kOutsideLabour, "外注工賃"},
            {"number::kBadDebts", chart::number::kBadDebts, "貸倒金"},
            {"number::kRent", chart::number::kRent, "地代家賃"},
            {"number::kBooks", chart::number::kBooks, "新聞図書費"},
            {"number::kTraining", chart::number::kTraining, "研修費"},
            {"number::kProfessionalFees", chart::number::kProfessionalFees, "支払報酬料"},
            {"number::kExpensesSlot754", chart::number::kExpensesSlot754, ""},
            {"number::kManagementFees", chart::number::kManagementFees, "管理費"},
            {"number::kMiscExpenses", chart::number::kMiscExpenses, "雑費"},
            {"number::kInterestReceived", chart::number::kInterestReceived, "受取利息"},
            {"number::kDividendsReceived", chart::number::kDividendsReceived, "受取配当金"},
            {"number::kMiscIncome", chart::number::kMiscIncome, "雑収入"},
            {"number::kNonOperatingIncomeSlot814", chart::number::kNonOperatingIncomeSlot814, ""},
            {"number::kPurchaseDiscounts", chart::number::kPurchaseDiscounts, "仕入割引"},
            {"number::kInterestPaid", chart::number::kInterestPaid, "支払利息"},
            {"number::kBillDiscountLoss", chart::number::kBillDiscountLoss, "手形売却損"},
            {"number::kMiscLosses", chart::number::kMiscLosses, "雑損失"},
            {"number::kExchangeLoss", chart::number::kExchangeLoss, "為替差損"},
            {"number::kBadDebtReserveReversal", chart::number::kBadDebtReserveReversal, "貸倒引当金戻入"},
            {"number::kGainOnSaleOfAssets", chart::number::kGainOnSaleOfAssets, "固定資産売却益"},
            {"number::kPriorPeriodGain", chart::number::kPriorPeriodGain, "前期損益修正益"},
            {"number::kLossOnSaleOfAssets", chart::number::kLossOnSaleOfAssets, "固定資産売却損"},
            {"number::kDisposalLoss", chart::number::kDisposalLoss, "固定資産除却損"},
            {"number::kIncomeTaxes", chart::number::kIncomeTaxes, "法人税等"},
            {"number::kReserveWithdrawal", chart::number::kReserveWithdrawal, "任意積立金取崩額"},
            {"number::kReserveTransfers", chart::number::kReserveTransfers, "準備金繰入額"},
            {"number::kLegalReserve", chart::number::kLegalReserve, "利益準備金積立額"},
            {"number::kInterimDividend", chart::number::kInterimDividend, "中間配当金"},
            {"number::kOfficersBonuses", chart::number::kOfficersBonuses, "役員賞与金"},
            {"number::kConsumptionTaxPaid", chart::number::kConsumptionTaxPaid, "仮払消費税"},
            {"number::kConsumptionTaxReceived", chart::number::kConsumptionTaxReceived, "仮受消費税"},
            {"number::kConsumptionTaxRefundable", chart::number::kConsumptionTaxRefundable, "未収消費税等"},
            {"number::kConsumptionTaxPayable", chart::number::kConsumptionTaxPayable, "未払消費税等"},
            {"number::kSundry", chart::number::kSundry, "諸口"},
        };
        for (const A& a : numbers) out.push_back({a.what, Kind::Number, a.code, nullptr, a.name});
        const std::pair<const char*, chart::Range> bands[] = {
            {"number::kRevenueBand", chart::number::kRevenueBand},
            {"number::kExpenseBand", chart::number::kExpenseBand},
            {"number::kNoSubAccountBand", chart::number::kNoSubAccountBand},
        };
        for (const auto& [what, r] : bands) out.push_back({what, Kind::Band, r.first, r.last, nullptr});
        for (const auto& [what, code] : std::initializer_list<std::pair<const char*, chart::Code>>{
                 {"number::kUnusedNumber553", chart::number::kUnusedNumber553},
                 {"number::kUnusedNumber554", chart::number::kUnusedNumber554},
                 {"number::kUnusedNumber555", chart::number::kUnusedNumber555}})
            out.push_back({what, Kind::NotNumber, code, nullptr, nullptr});
        for (const auto& [what, code] : std::initializer_list<std::pair<const char*, chart::Code>>{
                 {"kNoAccount", chart::kNoAccount},
                 {"kTopClass", chart::kTopClass},
                 {"kBalanceSheetBound", chart::kBalanceSheetBound},
                 {"kRollUpFloor", chart::kRollUpFloor},
                 {"kRetiredCode362", chart::kRetiredCode362}})
            out.push_back({what, Kind::NotAccount, code, nullptr, nullptr});
        return out;
    }();
    return list;
}

// Name by code, or by number (KMCODE) when key is "KMCODE".
std::map<QString, QString> chartOf(platform::Connection& cn, const char* table, const char* key = "KOCODE") {
    std::map<QString, QString> out;
    const auto rows =
        cn.query(QStringLiteral("SELECT %2, COALESCE(KANNAME, '') FROM %1 WHERE COALESCE(%2, '') <> ''")
                     .arg(QLatin1String(table), QLatin1String(key)));
    if (rows)
        for (const platform::Row& r : *rows) out[r.text(0)] = r.text(1);
    return out;
}

}  // namespace

class TestChartCodes : public QObject {
    Q_OBJECT

    std::unique_ptr<testenv::DbCopy> db_;
    std::map<QString, QString> template_, working_, numbers_;

private slots:
    void initTestCase() {
        testenv::isolate();
        db_ = testenv::copyShippedDatabase();
        QVERIFY(db_);
        auto cn = platform::Connection::open(db_->path);
        QVERIFY(cn);
        template_ = chartOf(*cn, "MT_KANJO");
        working_ = chartOf(*cn, "T_KANJO");
        numbers_ = chartOf(*cn, "MT_KANJO", "KMCODE");
        QVERIFY(template_.size() > 200);
        QCOMPARE(working_.size(), template_.size());
    }

    void namedCodes_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < static_cast<int>(named().size()); ++i) QTest::newRow(named()[i].what) << i;
    }
    void namedCodes() {
        QFETCH(int, index);
        const Named& n = named()[index];
        const QString first = QLatin1String(n.first);
        const auto inTemplate = [&](const QString& code) { return template_.count(code) > 0; };
        const auto inWorking = [&](const QString& code) { return working_.count(code) > 0; };
        switch (n.kind) {
            case Kind::Account:
                QVERIFY2(inTemplate(first) && inWorking(first), qPrintable(first));
                QCOMPARE(template_.at(first), QString::fromUtf8(n.name));
                break;
            case Kind::Range:
            case Kind::RangeToBound: {
                const QString last = QLatin1String(n.last);
                QVERIFY2(inTemplate(first) && inWorking(first), qPrintable(first));
                if (n.kind == Kind::Range)
                    QVERIFY2(inTemplate(last) && inWorking(last), qPrintable(last));
                else
                    QVERIFY2(!inTemplate(last) && !inWorking(last), qPrintable(last));
                QVERIFY2(first < last, qPrintable(first + QStringLiteral("..") + last));
                break;
            }
            case Kind::NotAccount:
                QVERIFY2(!inTemplate(first) && !inWorking(first), qPrintable(first));
                break;
            case Kind::Number:
                QVERIFY2(numbers_.count(first) > 0, qPrintable(first));
                QCOMPARE(numbers_.at(first), QString::fromUtf8(n.name));
                break;
            case Kind::NotNumber:
                QVERIFY2(numbers_.count(first) == 0, qPrintable(first));
                break;
            case Kind::Band:
                QVERIFY2(first < QLatin1String(n.last),
                         qPrintable(first + QStringLiteral("..") + QLatin1String(n.last)));
                break;
        }
    }
};

static_assert(static_cast<int>(YearEndFigure::Sales) == 1 &&
              static_cast<int>(YearEndFigure::Loss) == kYearEndFigureCount);

QTEST_GUILESS_MAIN(TestChartCodes)
#include "tst_chartcodes.moc"
