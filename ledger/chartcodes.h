#pragma once
// The accounts of the chart that the program names by code. Every table names
// an account by its internal code KOCODE, fixed by the chart template
// (MT_KANJO) for every company; the user's account number KMCODE may change
// and is not named here. The names follow the template's (business) account
// names; the household book shows some of the same rows under other names.
// tests/ledger/tst_chartcodes.cpp checks every name against the shipped chart.

#include <QString>
#include <QStringList>
#include <initializer_list>

namespace chart {

using Code = const char*;

// The first and last code of a section of the chart (both included).
struct Range {
    Code first;
    Code last;
};

// Not an account: a side of a line without an account, and the parent of a
// top class (BUNCODE).
inline constexpr Code kNoAccount = "000";
inline constexpr Code kTopClass = "000";

// Balance sheet: assets.
inline constexpr Code kCash = "004";                        // 現金
inline constexpr Code kOrdinaryDeposit1 = "012";            // 普通預金
inline constexpr Code kOrdinaryDeposit3 = "014";            // 普通預金３
inline constexpr Code kCashAndDepositsTotal = "028";        // 現金及び預金合計
inline constexpr Code kCurrentAssetsTotal = "067";          // 流動資産合計
inline constexpr Code kFixedAssetsHeading = "068";          // 固定資産
inline constexpr Code kTangibleFixedAssetsTotal = "082";    // 有形固定資産合計
inline constexpr Code kIntangibleFixedAssetsTotal = "090";  // 無形固定資産合計
inline constexpr Code kInvestmentsTotal = "102";            // 投資その他の資産合計
inline constexpr Code kFixedAssetsTotal = "103";            // 固定資産合計
inline constexpr Code kOwnerDrawings = "107";               // 事業主貸
inline constexpr Code kAssetsTotal = "113";                 // 資産合計

// Balance sheet: liabilities and capital.
inline constexpr Code kWithholdings = "134";                // 預り金
inline constexpr Code kLiabilitiesTotal = "152";            // 負債合計
inline constexpr Code kOwnerCapital = "154";                // 元入金
inline constexpr Code kOwnerContributions = "155";          // 事業主借
inline constexpr Code kProfitBroughtForward = "171";        // 前期繰越利益
inline constexpr Code kRetainedEarningsTotal = "174";       // 剰余金合計
inline constexpr Code kCapitalTotal = "175";                // 資本合計
inline constexpr Code kLiabilitiesAndCapitalTotal = "176";  // 負債・資本合計

// Profit and loss.
inline constexpr Code kProfitAndLossHeading = "178";    // 経常損益の部
inline constexpr Code kSales = "180";                   // 売上高
inline constexpr Code kProductSales = "181";            // 製品売上高
inline constexpr Code kServiceRevenue = "182";          // 役務収益
inline constexpr Code kOwnConsumption = "183";          // 家事消費等
inline constexpr Code kProcessingIncome = "184";        // 加工賃収入
inline constexpr Code kCommissionIncome = "185";        // 手数料収入
inline constexpr Code kSalesDiscounts = "186";          // 売上値引高
inline constexpr Code kSalesReturns = "187";            // 売上戻り高
inline constexpr Code kSalesRebates = "188";            // 売上割戻し高
inline constexpr Code kSalesDeductionSlot524 = "189";   // the unnamed sales deduction slot (number 524)
inline constexpr Code kOtherSales = "190";              // その他の売上
inline constexpr Code kSalesSlot518 = "191";            // the unnamed sales slot (number 518)
inline constexpr Code kNetSales = "192";                // 純売上高
inline constexpr Code kCostOfSalesHeading = "193";      // 売上原価の部
inline constexpr Code kOpeningMaterials = "195";        // 期首材料棚卸高
inline constexpr Code kMaterialPurchases = "196";       // 材料仕入高
inline constexpr Code kMaterialDiscounts = "199";       // 材料仕入値引高
inline constexpr Code kMaterialsSubtotal = "202";       // 材料費小計 (computed by the statement)
inline constexpr Code kClosingMaterials = "203";        // 期末材料棚卸高
inline constexpr Code kMaterialsCost = "204";           // 材料費
inline constexpr Code kWages = "205";                   // 賃金
inline constexpr Code kManufacturingWelfare = "210";    // 福利厚生費（製造）
inline constexpr Code kLabourCost = "214";              // 労務費
inline constexpr Code kPower = "215";                   // 電力費
inline constexpr Code kManufacturingTravel = "223";     // 旅費交通費（製造）
inline constexpr Code kResearch = "226";                // 試験研究費
inline constexpr Code kManufacturingSlot677 = "229";    // the unnamed overhead slot (number 677)
inline constexpr Code kManufacturingMisc = "230";       // 雑費（製造）
inline constexpr Code kManufacturingOverhead = "238";   // 製造経費
inline constexpr Code kOutsideWork = "239";             // 外注加工費
inline constexpr Code kOutsideWorkTotal = "240";        // 外注加工費合計
inline constexpr Code kTotalManufacturingCost = "241";  // 当期総製造費用
inline constexpr Code kOpeningWorkInProcess = "242";    // 期首仕掛品棚卸高
inline constexpr Code kClosingWorkInProcess = "244";    // 期末仕掛品棚卸高
inline constexpr Code kCostOfManufacturing = "245";     // 当期製品製造原価
inline constexpr Code kOpeningGoods = "246";            // 期首商品棚卸高
inline constexpr Code kPurchases = "247";               // 仕入高
inline constexpr Code kPurchaseAllowances = "254";      // 仕入値引高
inline constexpr Code kPurchaseReturns = "255";         // 仕入戻し高
inline constexpr Code kCostOfSalesSubtotal = "258";     // 売上原価小計 (computed by the statement)
inline constexpr Code kClosingGoods = "259";            // 期末商品棚卸高
inline constexpr Code kCostOfSales = "260";             // 売上原価
inline constexpr Code kGrossProfit = "261";             // 売上総利益
inline constexpr Code kOfficersPay = "263";             // 役員報酬
inline constexpr Code kSalaries = "264";                // 給料手当
inline constexpr Code kBonuses = "265";                 // 賞与
inline constexpr Code kStatutoryWelfare = "268";        // 法定福利費
inline constexpr Code kTravel = "271";                  // 旅費交通費
inline constexpr Code kCommunication = "272";           // 通信費
inline constexpr Code kUtilities = "275";               // 水道光熱費
inline constexpr Code kFuel = "276";                    // 燃料費
inline constexpr Code kSuppliesExpense = "279";         // 消耗品費
inline constexpr Code kOfficeSupplies = "280";          // 事務用品費
inline constexpr Code kRepairs = "281";                 // 修繕費
inline constexpr Code kVehicleExpenses = "282";         // 車両費
inline constexpr Code kMiscExpenses = "283";            // 雑費
inline constexpr Code kGasoline = "284";                // ガソリン代
inline constexpr Code kInsurance = "285";               // 損害保険料
inline constexpr Code kTaxesAndDues = "286";            // 租税公課
inline constexpr Code kFees = "287";                    // 支払手数料
inline constexpr Code kRent = "292";                    // 地代家賃
inline constexpr Code kManagementFees = "309";          // 管理費
inline constexpr Code kSellingAndAdminTotal = "310";    // 販売費及び一般管理費計
inline constexpr Code kOperatingProfit = "311";         // 営業利益
inline constexpr Code kNonOperatingHeading = "312";     // 営業外損益の部
inline constexpr Code kInterestReceived = "314";        // 受取利息
inline constexpr Code kDividendsReceived = "315";       // 受取配当金
inline constexpr Code kNonOperatingIncomeSlot814 =
    "316";                                               // the unnamed non-operating income slot (number 814)
inline constexpr Code kPurchaseDiscounts = "317";        // 仕入割引
inline constexpr Code kMiscIncome = "320";               // 雑収入
inline constexpr Code kNonOperatingIncomeTotal = "321";  // 営業外収益合計
inline constexpr Code kMiscLosses = "324";               // 雑損失
inline constexpr Code kNonOperatingExpensesTotal = "329";  // 営業外費用合計
inline constexpr Code kOrdinaryProfit = "330";             // 経常利益
inline constexpr Code kPriorPeriodGain = "333";            // 前期損益修正益
inline constexpr Code kExtraordinaryGainsTotal = "341";    // 特別利益合計
inline constexpr Code kDisposalLoss = "343";               // 固定資産除却損
inline constexpr Code kExtraordinaryLossesTotal = "345";   // 特別損失合計
inline constexpr Code kProfitBeforeTax = "346";            // 税引前当期純利益
inline constexpr Code kIncomeTaxes = "347";                // 法人税等
inline constexpr Code kNetProfit = "348";                  // 当期純利益
inline constexpr Code kReserveWithdrawal = "349";          // 任意積立金取崩額
inline constexpr Code kReserveTransfers = "351";           // 準備金繰入額
inline constexpr Code kLegalReserve = "352";               // 利益準備金積立額
inline constexpr Code kUnappropriatedProfit = "353";       // 当期未処分利益
inline constexpr Code kInterimDividend = "355";            // 中間配当金
inline constexpr Code kOfficersBonuses = "356";            // 役員賞与金
inline constexpr Code kAppropriationTotal = "357";         // 利益処分項目計

// Outside both statements.
inline constexpr Code kPayrollClearing = "363";  // 給与仮勘定
inline constexpr Code kSundry = "999";           // 諸口

// Bounds between sections (no account has these codes).
// Codes below it are balance-sheet rows, from it on profit and loss.
inline constexpr Code kBalanceSheetBound = "177";
// A TOCODE above it names a total account; "000" (no roll-up) and the codes
// up to it do not.
inline constexpr Code kRollUpFloor = "003";
// A code with no account in the shipped chart that the account lists still
// leave out, and the end of the appropriation section (中間配当金 on) that the
// ledger's account list leaves out.
inline constexpr Code kRetiredCode362 = "362";

// Sections.
// The bank accounts the imports offer (普通預金 to 普通預金３).
inline constexpr Range kOrdinaryDeposits{kOrdinaryDeposit1, kOrdinaryDeposit3};
// The balance sheet: every row from cash to the liabilities-and-capital total.
inline constexpr Range kBalanceSheet{kCash, kLiabilitiesAndCapitalTotal};
// The profit-and-loss rows up to the appropriation accounts, and those up to
// the unappropriated profit (the last result line).
inline constexpr Range kProfitAndLoss{kSales, kOfficersBonuses};
inline constexpr Range kProfitAndLossResults{kSales, kUnappropriatedProfit};
// The manufacturing cost rows, from the opening materials to the closing work
// in process.
inline constexpr Range kManufacturing{kOpeningMaterials, kClosingWorkInProcess};
// The appropriation rows the ledger's account list leaves out (中間配当金 up
// to the retired code 362).
inline constexpr Range kAppropriationTail{kInterimDividend, kRetiredCode362};
// The balance-sheet posting accounts carried into the next year (現金 to
// 原材料's slot end; 前期繰越利益 is carried apart).
inline constexpr Range kCarriedBalances{kCash, "173"};

// Account numbers (KMCODE) that the program classifies or reads by number:
// the template's numbers, under the same English names as the codes above.
namespace number {

inline constexpr Code kCash = "101";                         // 現金
inline constexpr Code kPettyCash = "102";                    // 小口現金
inline constexpr Code kCurrentDeposit = "111";               // 当座預金
inline constexpr Code kCurrentDeposit3 = "113";              // 当座預金３
inline constexpr Code kOrdinaryDeposit = "121";              // 普通預金
inline constexpr Code kOrdinaryDeposit2 = "122";             // 普通預金２
inline constexpr Code kOrdinaryDeposit3 = "123";             // 普通預金３
inline constexpr Code kNoticeDeposit = "131";                // 通知預金
inline constexpr Code kTaxReserveDeposit = "135";            // 納税準備預金
inline constexpr Code kTimeDeposit = "141";                  // 定期預金
inline constexpr Code kInstallmentSavings = "151";           // 定期積金
inline constexpr Code kReserveDeposit = "155";               // 積立預金
inline constexpr Code kCreditReceivables = "164";            // クレジット売掛金
inline constexpr Code kNotesReceivable = "165";              // 受取手形
inline constexpr Code kAccountsReceivable = "166";           // 売掛金
inline constexpr Code kSecurities = "167";                   // 有価証券
inline constexpr Code kOtherReceivables = "168";             // 未収入金
inline constexpr Code kAccruedRevenue = "169";               // 未収収益
inline constexpr Code kMerchandise = "171";                  // 商品
inline constexpr Code kStores = "175";                       // 貯蔵品
inline constexpr Code kAdvancesPaid = "181";                 // 前払金
inline constexpr Code kShortTermLoans = "182";               // 短期貸付金
inline constexpr Code kPrepaidExpenses = "184";              // 前払費用
inline constexpr Code kAdvancesForOthers = "185";            // 立替金
inline constexpr Code kSuspensePayments = "186";             // 仮払金
inline constexpr Code kCurrentAssetSlot187 = "187";          // the unnamed slot
inline constexpr Code kBadDebtAllowance = "199";             // 貸倒引当金
inline constexpr Code kBuildings = "211";                    // 建物
inline constexpr Code kBuildingFixtures = "212";             // 建物附属設備
inline constexpr Code kStructures = "213";                   // 構築物
inline constexpr Code kMachinery = "214";                    // 機械装置
inline constexpr Code kVehicles = "215";                     // 車両運搬具
inline constexpr Code kToolsAndEquipment = "216";            // 工具器具備品
inline constexpr Code kLand = "221";                         // 土地
inline constexpr Code kConstructionInProgress = "222";       // 建設仮勘定
inline constexpr Code kLumpSumDepreciableAssets = "224";     // 一括償却資産
inline constexpr Code kTelephoneRights = "232";              // 電話加入権
inline constexpr Code kIntangibleSlot235 = "235";            // the unnamed slot
inline constexpr Code kInvestmentSecurities = "241";         // 投資有価証券
inline constexpr Code kCapitalContributions = "242";         // 出資金
inline constexpr Code kOtherInvestments = "249";             // その他の投資
inline constexpr Code kOwnerDrawings = "251";                // 事業主貸
inline constexpr Code kOrganisationCosts = "252";            // 創立費
inline constexpr Code kStartUpCosts = "253";                 // 開業費
inline constexpr Code kDeferredAssetSlot254 = "254";         // the unnamed slot
inline constexpr Code kNotesPayable = "311";                 // 支払手形
inline constexpr Code kAccountsPayable = "312";              // 買掛金
inline constexpr Code kShortTermBorrowings = "313";          // 短期借入金
inline constexpr Code kOtherPayables = "314";                // 未払金
inline constexpr Code kAdvancesReceived = "315";             // 前受金
inline constexpr Code kWithholdings = "316";                 // 預り金
inline constexpr Code kBillBorrowings = "317";               // 手形借入金
inline constexpr Code kOverdraft = "320";                    // 当座借越
inline constexpr Code kAccruedExpenses = "323";              // 未払費用
inline constexpr Code kCurrentLiabilitySlot324 = "324";      // the unnamed slot
inline constexpr Code kSuspenseReceipts = "325";             // 仮受金
inline constexpr Code kIncomeTaxesPayable = "327";           // 未払法人税等
inline constexpr Code kBonusReserve = "328";                 // 賞与引当金
inline constexpr Code kLongTermBorrowings = "352";           // 長期借入金
inline constexpr Code kLongTermPayables = "353";             // 長期未払金
inline constexpr Code kEmployeeDeposits = "354";             // 従業員預り金
inline constexpr Code kCapitalStock = "411";                 // 資本金
inline constexpr Code kOwnerCapital = "412";                 // 元入金
inline constexpr Code kOwnerContributions = "413";           // 事業主借
inline constexpr Code kCapitalReserve = "421";               // 資本準備金
inline constexpr Code kLegalRetainedReserve = "422";         // 利益準備金
inline constexpr Code kVoluntaryReserve = "431";             // 任意積立金
inline constexpr Code kSpecialReserve = "433";               // 別途積立金
inline constexpr Code kOtherRetainedEarnings = "441";        // その他利益剰余金
inline constexpr Code kOpeningGoods = "611";                 // 期首商品棚卸高
inline constexpr Code kClosingGoods = "617";                 // 期末商品棚卸高
inline constexpr Code kOpeningMaterials = "621";             // 期首材料棚卸高
inline constexpr Code kClosingMaterials = "624";             // 期末材料棚卸高
inline constexpr Code kManufacturingUtilities = "652";       // 水道光熱費（製造）
inline constexpr Code kFactorySupplies = "653";              // 工場消耗品費
inline constexpr Code kManufacturingRepairs = "654";         // 修繕費（製造）
inline constexpr Code kManufacturingFreight = "655";         // 荷造運賃（製造）
inline constexpr Code kManufacturingInsurance = "656";       // 保険料（製造）
inline constexpr Code kManufacturingRent = "657";            // 賃借料（製造）
inline constexpr Code kManufacturingCommunication = "662";   // 通信費（製造）
inline constexpr Code kManufacturingDepreciation = "663";    // 減価償却費（製造）
inline constexpr Code kBadDebtProvision = "736";             // 貸倒引当金繰入額
inline constexpr Code kRetirementProvision = "737";          // 退職給与引当金繰入額
inline constexpr Code kConsumptionTaxPaid = "910";           // 仮払消費税
inline constexpr Code kConsumptionTaxRefundable = "912";     // 未収消費税等
inline constexpr Code kSales = "511";                        // 売上高
inline constexpr Code kProductSales = "512";                 // 製品売上高
inline constexpr Code kServiceRevenue = "513";               // 役務収益
inline constexpr Code kOwnConsumption = "514";               // 家事消費等
inline constexpr Code kProcessingIncome = "515";             // 加工賃収入
inline constexpr Code kCommissionIncome = "516";             // 手数料収入
inline constexpr Code kOtherSales = "517";                   // その他の売上
inline constexpr Code kSalesSlot518 = "518";                 // the unnamed slot
inline constexpr Code kSalesDiscounts = "521";               // 売上値引高
inline constexpr Code kSalesReturns = "522";                 // 売上戻り高
inline constexpr Code kSalesRebates = "523";                 // 売上割戻し高
inline constexpr Code kSalesDeductionSlot524 = "524";        // the unnamed slot
inline constexpr Code kPurchases = "550";                    // 仕入高
inline constexpr Code kPurchasesSlot551 = "551";             // the unnamed slot
inline constexpr Code kPurchaseCharges = "552";              // 仕入諸掛
inline constexpr Code kPurchaseAllowances = "615";           // 仕入値引高
inline constexpr Code kPurchaseReturns = "616";              // 仕入戻し高
inline constexpr Code kMaterialPurchases = "622";            // 材料仕入高
inline constexpr Code kMaterialDiscounts = "626";            // 材料仕入値引高
inline constexpr Code kWages = "631";                        // 賃金
inline constexpr Code kManufacturingWelfare = "636";         // 福利厚生費（製造）
inline constexpr Code kOutsideWork = "641";                  // 外注加工費
inline constexpr Code kPower = "651";                        // 電力費
inline constexpr Code kManufacturingTaxes = "658";           // 租税公課（製造）
inline constexpr Code kManufacturingTravel = "661";          // 旅費交通費（製造）
inline constexpr Code kResearch = "664";                     // 試験研究費
inline constexpr Code kManufacturingOfficeSupplies = "675";  // 事務用品費（製造）
inline constexpr Code kManufacturingFees = "676";            // 支払手数料（製造）
inline constexpr Code kManufacturingSlot677 = "677";         // the unnamed slot
inline constexpr Code kManufacturingMisc = "680";            // 雑費（製造）
inline constexpr Code kFamilyEmployeeSalaries = "711";       // 専従者給与
inline constexpr Code kSalaries = "712";                     // 給料手当
inline constexpr Code kCasualWages = "715";                  // 雑給
inline constexpr Code kStatutoryWelfare = "716";             // 法定福利費
inline constexpr Code kWelfare = "717";                      // 福利厚生費
inline constexpr Code kAdvertising = "718";                  // 広告宣伝費
inline constexpr Code kPackingAndFreight = "719";            // 荷造運賃
inline constexpr Code kTravel = "722";                       // 旅費交通費
inline constexpr Code kCommunication = "724";                // 通信費
inline constexpr Code kUtilities = "725";                    // 水道光熱費
inline constexpr Code kTaxesAndDues = "726";                 // 租税公課
inline constexpr Code kEntertainment = "727";                // 接待交際費
inline constexpr Code kSuppliesExpense = "728";              // 消耗品費
inline constexpr Code kOfficeSupplies = "729";               // 事務用品費
inline constexpr Code kLeases = "731";                       // 賃借料
inline constexpr Code kRepairs = "732";                      // 修繕費
inline constexpr Code kInsurance = "733";                    // 損害保険料
inline constexpr Code kVehicleExpenses = "734";              // 車両費
inline constexpr Code kDepreciation = "735";                 // 減価償却費
inline constexpr Code kGasoline = "738";                     // ガソリン代
inline constexpr Code kFees = "739";                         // 支払手数料
inline constexpr Code kFuel = "741";                         // 燃料費
inline constexpr Code kMembershipFees = "742";               // 諸会費
inline constexpr Code kMeetings = "743";                     // 会議費
inline constexpr Code kOutsideLabour = "744";                // 外注工賃
inline constexpr Code kBadDebts = "746";                     // 貸倒金
inline constexpr Code kRent = "747";                         // 地代家賃
inline constexpr Code kBooks = "751";                        // 新聞図書費
inline constexpr Code kTraining = "752";                     // 研修費
inline constexpr Code kProfessionalFees = "753";             // 支払報酬料
inline constexpr Code kExpensesSlot754 = "754";              // the unnamed slot
inline constexpr Code kManagementFees = "755";               // 管理費
inline constexpr Code kMiscExpenses = "760";                 // 雑費
inline constexpr Code kOpeningWorkInProcess = "681";         // 期首仕掛品棚卸高
inline constexpr Code kClosingWorkInProcess = "682";         // 期末仕掛品棚卸高
inline constexpr Code kInterestReceived = "811";             // 受取利息
inline constexpr Code kDividendsReceived = "812";            // 受取配当金
inline constexpr Code kMiscIncome = "813";                   // 雑収入
inline constexpr Code kNonOperatingIncomeSlot814 = "814";    // the unnamed non-operating income slot
inline constexpr Code kPurchaseDiscounts = "815";            // 仕入割引
inline constexpr Code kInterestPaid = "821";                 // 支払利息
inline constexpr Code kBillDiscountLoss = "822";             // 手形売却損
inline constexpr Code kMiscLosses = "823";                   // 雑損失
inline constexpr Code kExchangeLoss = "824";                 // 為替差損
inline constexpr Code kBadDebtReserveReversal = "851";       // 貸倒引当金戻入
inline constexpr Code kGainOnSaleOfAssets = "853";           // 固定資産売却益
inline constexpr Code kPriorPeriodGain = "855";              // 前期損益修正益
inline constexpr Code kLossOnSaleOfAssets = "862";           // 固定資産売却損
inline constexpr Code kDisposalLoss = "864";                 // 固定資産除却損
inline constexpr Code kIncomeTaxes = "871";                  // 法人税等
inline constexpr Code kReserveWithdrawal = "872";            // 任意積立金取崩額
inline constexpr Code kReserveTransfers = "873";             // 準備金繰入額
inline constexpr Code kLegalReserve = "874";                 // 利益準備金積立額
inline constexpr Code kInterimDividend = "875";              // 中間配当金
inline constexpr Code kOfficersBonuses = "876";              // 役員賞与金
inline constexpr Code kConsumptionTaxReceived = "911";       // 仮受消費税
inline constexpr Code kConsumptionTaxPayable = "913";        // 未払消費税等
inline constexpr Code kSundry = "999";                       // 諸口

// Numbers the purchase summary of the income and expense table lists that no
// account of the template has.
inline constexpr Code kUnusedNumber553 = "553";
inline constexpr Code kUnusedNumber554 = "554";
inline constexpr Code kUnusedNumber555 = "555";

// Number bands (their ends need not be numbers in use).
// Sales and their deductions: revenue for the day's profit.
inline constexpr Range kRevenueBand{"500", "549"};
// Purchases, manufacturing and selling costs: expense for the day's profit.
inline constexpr Range kExpenseBand{"550", "799"};
// Accounts numbered within it never have sub-accounts.
inline constexpr Range kNoSubAccountBand{"500", "800"};

}  // namespace number

// The code quoted for SQL text: codes here are fixed digits, never user text.
inline QString sqlCode(Code code) {
    return QLatin1Char('\'') + QLatin1String(code) + QLatin1Char('\'');
}
// Codes quoted and joined for an SQL IN list: "'a', 'b'".
inline QString sqlCodes(std::initializer_list<Code> codes) {
    QStringList out;
    for (Code c : codes) out << sqlCode(c);
    return out.join(QStringLiteral(", "));
}

}  // namespace chart
