#pragma once
// The 64 year-end figures of a closed year (T_KESANSYO.KOMOKU1 to KOMOKU64),
// by the number of their column. The year-end computes them from the closing
// balances of the fiscal end month (ledger/yearclose.cpp); the comment says
// which accounts (by the template's names) or figures make each one. Figures
// the computation leaves unset are always zero; they keep their place in the
// row.

#include <array>

#include "platform/currency.h"

enum class YearEndFigure : int {
    Sales = 1,                  // 売上高: 売上高 to 手数料収入, その他の売上, 518, 雑収入
    Unused2 = 2,                // not computed
    Unused3 = 3,                // not computed
    SalesDeductions = 4,        // 売上値引高, 売上戻り高
    NetSales = 5,               // Sales - SalesDeductions
    Unset6 = 6,                 // subtracted in GrossAmount, not computed
    Unused7 = 7,                // not computed
    IncomeTaxes = 8,            // 法人税等
    Unset9 = 9,                 // subtracted in GrossAmount, not computed
    Unset10 = 10,               // subtracted in GrossAmount, not computed
    Unset11 = 11,               // added in GrossAmount, not computed
    Unset12 = 12,               // added in GrossAmount, not computed
    Unset13 = 13,               // added in GrossAmount, not computed
    GrossAmount = 14,           // NetSales - 6 - IncomeTaxes - 9 - 10 + 11 + 12 + 13
    Unset15 = 15,               // added in OperatingResult, not computed
    CostOfSales = 16,           // the manufacturing cost and cost-of-sales accounts
    SellingAndAdmin = 17,       // 販売費及び一般管理費 without 雑費
    MiscLessInterest = 18,      // 雑費 less 受取利息
    Unset19 = 19,               // subtracted in OperatingResult, not computed
    OperatingResult = 20,       // GrossAmount + 15 - CostOfSales - SellingAndAdmin - MiscLessInterest - 19
    Unset21 = 21,               // added in OrdinaryResult, not computed
    Unset22 = 22,               // added in OrdinaryResult, not computed
    Unset23 = 23,               // added in OrdinaryResult, not computed
    Unused24 = 24,              // not computed
    NonOperatingIncome = 25,    // PriorPeriodGain + Dividends + Slot814 + PurchaseDiscounts
    PriorPeriodGain = 26,       // 前期損益修正益
    Dividends = 27,             // 受取配当金
    Slot814 = 28,               // the unnamed non-operating income slot (number 814)
    PurchaseDiscounts = 29,     // 仕入割引
    OtherGains = 30,            // codes 334 and 340 (no account in the shipped chart)
    Unused31 = 31,              // not computed
    NonOperatingExpenses = 32,  // DisposalLoss + Code344 + MiscLosses + Code327
    DisposalLoss = 33,          // 固定資産除却損
    Code344 = 34,               // code 344 (no account in the shipped chart)
    MiscLosses = 35,            // 雑損失
    Code327 = 36,               // code 327 (no account in the shipped chart)
    OtherCharges = 37,          // 旅費交通費（製造） and code 328 (no account in the shipped chart)
    Unused38 = 38,              // not computed
    OrdinaryResult = 39,        // OperatingResult + 21 + 22 + 23 + NonOperatingIncome + OtherGains
                                //   - NonOperatingExpenses - OtherCharges
    Code301 = 40,               // code 301 (no account in the shipped chart)
    Unset41 = 41,               // subtracted in ResultBeforeCarry, not computed
    Unset42 = 42,               // added in ResultBeforeCarry, not computed
    ResultBeforeCarry = 43,     // OrdinaryResult - Code301 - 41 + 42
    ProfitBroughtForward = 44,  // 前期繰越利益
    Unset45 = 45,               // added in Unappropriated, not computed
    Unset46 = 46,               // added in Unappropriated, not computed
    Unappropriated = 47,        // ResultBeforeCarry + ProfitBroughtForward + 45 + 46
    InterimDividend = 48,       // 中間配当金
    OfficersBonuses = 49,       // 役員賞与金
    Unset50 = 50,               // subtracted in AfterAppropriation, not computed
    Unset51 = 51,               // subtracted in AfterAppropriation, not computed
    Unset52 = 52,               // subtracted in AfterAppropriation, not computed
    Unset53 = 53,               // subtracted in AfterAppropriation, not computed
    Unset54 = 54,               // subtracted in AfterAppropriation, not computed
    Unset55 = 55,               // subtracted in AfterAppropriation, not computed
    ReserveWithdrawal = 56,     // 任意積立金取崩額
    AfterAppropriation = 57,    // Unappropriated - InterimDividend - OfficersBonuses - 50 .. 55
                                //   - ReserveWithdrawal
    ReserveTransfers = 58,      // 準備金繰入額
    LegalReserve = 59,          // 利益準備金積立額
    Unset60 = 60,               // subtracted in CarriedForward, not computed
    Unset61 = 61,               // subtracted in CarriedForward, not computed
    Unset62 = 62,               // subtracted in CarriedForward, not computed
    CarriedForward = 63,        // AfterAppropriation - ReserveTransfers - LegalReserve - 60 .. 62
    Loss = 64,                  // -CarriedForward when that is negative, otherwise zero
};

inline constexpr int kYearEndFigureCount = 64;

// The year-end statement figures, figure n (KOMOKUn) at index n - 1.
struct YearEndFigures : std::array<Currency, kYearEndFigureCount> {
    using std::array<Currency, kYearEndFigureCount>::operator[];
    Currency& operator[](YearEndFigure f) { return (*this)[static_cast<int>(f) - 1]; }
    const Currency& operator[](YearEndFigure f) const { return (*this)[static_cast<int>(f) - 1]; }
};
