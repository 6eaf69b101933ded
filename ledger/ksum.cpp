#include "ledger/ksum.h"

#include <vector>

#include "app/common/globals.h"
#include "ledger/chartcodes.h"
#include "ledger/rowwriters.h"
#include "platform/msgbox.h"

namespace {

const QString kMeisai = QStringLiteral("T_TOTAL_MEISAI");
const QString kTotal1 = QStringLiteral("T_TOTAL1");
const QString kDummy = QStringLiteral("Dummy");

void showStepError(const QString& proc) {
    platform::MsgBox::show(gstrSoftName,
                           QStringLiteral("マスタのアクセス中にエラーが発生した(%1)。").arg(proc),
                           platform::MsgIcon::Warning);
}

bool isWorkTable(const QString& table) {
    return table == kMeisai || table == kTotal1;
}

bool isUsed(const QStringList& list) {
    return !list.isEmpty() && list.first() != kDummy;
}

// The four sums of a group of rows of the source table, as a one-row subquery
// named alias (columns M, KR, KS, Z). An unused list gives four zeros; a group
// without rows too. The codes are appended to params.
QString groupSums(const QString& source, bool isRange, const QStringList& list, const QString& alias,
                  QVariantList& params) {
    if (!isUsed(list)) return QStringLiteral("(SELECT 0 AS M, 0 AS KR, 0 AS KS, 0 AS Z) AS ") + alias;
    QString where;
    if (isRange) {
        where = QStringLiteral("KOCODE BETWEEN ? AND ?");
        params << list.value(0) << list.value(1);
    } else {
        QStringList marks;
        for (const QString& code : list) {
            if (code == kDummy) continue;
            marks << QStringLiteral("?");
            params << code;
        }
        where = QStringLiteral("KOCODE IN (%1)").arg(marks.join(QStringLiteral(", ")));
    }
    return QStringLiteral(
               "(SELECT COALESCE(SUM(MAEKURI), 0) AS M, COALESCE(SUM(KRTOTAL), 0) AS KR,"
               " COALESCE(SUM(KSTOTAL), 0) AS KS, COALESCE(SUM(ZAN), 0) AS Z FROM %1 WHERE %2) AS %3")
        .arg(source, where, alias);
}

enum class Found { Yes, No, Failed };

Found targetRowExists(platform::Connection& cn, const QString& table, const QString& code) {
    const auto v = cn.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE KOCODE = ?").arg(table), {code});
    if (!v) return Found::Failed;
    return v->toLongLong() > 0 ? Found::Yes : Found::No;
}

// Inserts the missing target row from the chart with zero amounts. An account
// that the chart lacks leaves every value empty, which the writer refuses with
// its own message.
enum class Created { Yes, WriterFailed, ReadFailed };

Created createTargetRow(platform::Connection& cn, const QString& table, const QString& code,
                        bool bracketed = false) {
    const auto chart = cn.queryOne(
        QStringLiteral("SELECT KOCODE, KMCODE, KANNAME, SYORIKBN, TAIKBN, PCODE1, PCODE2, PCODE3, KAIPAGE"
                       " FROM T_KANJO WHERE KOCODE = ?"),
        {code});
    if (!chart) return Created::ReadFailed;
    // An account the chart lacks leaves the row empty, which the writer refuses.
    WriterRow values(WriteTotalMeisaiTable);
    if (chart->size() > 0) {
        values.set("CID", gstrCID)
            .set("KOCODE", chart->text("KOCODE"))
            .set("KMCODE", chart->text("KMCODE"))
            .set("PCODE1", chart->text("PCODE1"))
            .set("PCODE2", chart->text("PCODE2"))
            .set("PCODE3", chart->text("PCODE3"))
            .set("KAIPAGE", chart->text("KAIPAGE"))
            .set("KMNAME", bracketed ? QStringLiteral("【") + chart->text("KANNAME") + QStringLiteral("】")
                                     : chart->text("KANNAME"));
        for (const char* amount : {"MAEKURI", "KRTOTAL", "KSTOTAL", "ZAN"}) values.set(amount, Currency());
    }
    return WriteRow(values, table) ? Created::Yes : Created::WriterFailed;
}

// Row 353 of T_TOTAL1 shows its month on one side only: the month's movement
// of the unappropriated profit, balance less brought forward. The profit is a
// credit balance, so a growth is a credit and a fall (a loss) a debit.
bool setSidesOf353(platform::Connection& cn) {
    return cn.exec(QStringLiteral("UPDATE T_TOTAL1 SET"
                                  " KRTOTAL = CASE WHEN ZAN < MAEKURI THEN MAEKURI - ZAN ELSE 0 END,"
                                  " KSTOTAL = CASE WHEN ZAN < MAEKURI THEN 0 ELSE ZAN - MAEKURI END"
                                  " WHERE KOCODE = ?"),
                   {QString::fromLatin1(chart::kUnappropriatedProfit)});
}

struct Step {
    const char* target;
    const char* code;
    const char* source;
    bool plusIsRange;
    QStringList plus;
    bool minusIsRange;
    QStringList minus;
    bool add;
};

QStringList codes(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* c : list) out << QString::fromLatin1(c);
    return out;
}

// The chain of the profit and loss statement. Order matters: each step reads
// rows that earlier steps wrote (202 -> 204 -> 241 -> 245 -> 258 -> 260 -> 261 ->
// 311 -> 330 -> 346 -> 348 -> 353). Steps 1 to 9 serve every statement but the
// balance sheet; 10 to 17 only the profit and loss statement.
// Range ends of the steps that fall between accounts.
constexpr chart::Code kMaterialsPlusEnd = "198", kMaterialsMinusEnd = "201", kOpeningWipEnd = "243",
                      kGoodsPlusEnd = "253", kGoodsMinusEnd = "257", kAppropriationCode350 = "350";

const std::vector<Step>& chain() {
    using namespace chart;
    static const std::vector<Step> steps = {
        {"T_TOTAL1", kNetSales, "T_TOTAL_MEISAI", false,
         codes({kSales, kProductSales, kServiceRevenue, kOwnConsumption, kProcessingIncome, kCommissionIncome,
                kOtherSales, kSalesSlot518}),
         true, codes({kSalesDiscounts, kSalesDeductionSlot524}), false},
        {"T_TOTAL_MEISAI", kMaterialsSubtotal, "T_TOTAL_MEISAI", true,
         codes({kOpeningMaterials, kMaterialsPlusEnd}), true, codes({kMaterialDiscounts, kMaterialsMinusEnd}),
         false},
        {"T_TOTAL1", kMaterialsCost, "T_TOTAL_MEISAI", true, codes({kMaterialsSubtotal, kMaterialsSubtotal}),
         true, codes({kClosingMaterials, kClosingMaterials}), false},
        {"T_TOTAL1",
         kTotalManufacturingCost,
         "T_TOTAL1",
         false,
         codes({kMaterialsCost, kLabourCost, kManufacturingOverhead, kOutsideWorkTotal}),
         false,
         {},
         false},
        {"T_TOTAL1",
         kCostOfManufacturing,
         "T_TOTAL1",
         true,
         codes({kTotalManufacturingCost, kTotalManufacturingCost}),
         false,
         {},
         false},
        {"T_TOTAL1", kCostOfManufacturing, "T_TOTAL_MEISAI", true,
         codes({kOpeningWorkInProcess, kOpeningWipEnd}), true,
         codes({kClosingWorkInProcess, kClosingWorkInProcess}), true},
        {"T_TOTAL_MEISAI", kCostOfSalesSubtotal, "T_TOTAL_MEISAI", true,
         codes({kOpeningGoods, kGoodsPlusEnd}), true, codes({kPurchaseAllowances, kGoodsMinusEnd}), false},
        {"T_TOTAL_MEISAI",
         kCostOfSalesSubtotal,
         "T_TOTAL1",
         true,
         codes({kCostOfManufacturing, kCostOfManufacturing}),
         false,
         {},
         true},
        {"T_TOTAL1", kCostOfSales, "T_TOTAL_MEISAI", true,
         codes({kCostOfSalesSubtotal, kCostOfSalesSubtotal}), true, codes({kClosingGoods, kClosingGoods}),
         false},
        {"T_TOTAL1", kGrossProfit, "T_TOTAL1", true, codes({kNetSales, kNetSales}), true,
         codes({kCostOfSales, kCostOfSales}), false},
        {"T_TOTAL1", kOperatingProfit, "T_TOTAL1", true, codes({kGrossProfit, kGrossProfit}), true,
         codes({kSellingAndAdminTotal, kSellingAndAdminTotal}), false},
        {"T_TOTAL1", kOrdinaryProfit, "T_TOTAL1", false, codes({kOperatingProfit, kNonOperatingIncomeTotal}),
         true, codes({kNonOperatingExpensesTotal, kNonOperatingExpensesTotal}), false},
        {"T_TOTAL1", kProfitBeforeTax, "T_TOTAL1", false, codes({kOrdinaryProfit, kExtraordinaryGainsTotal}),
         true, codes({kExtraordinaryLossesTotal, kExtraordinaryLossesTotal}), false},
        {"T_TOTAL1",
         kNetProfit,
         "T_TOTAL1",
         true,
         codes({kProfitBeforeTax, kProfitBeforeTax}),
         false,
         {},
         false},
        {"T_TOTAL1",
         kNetProfit,
         "T_TOTAL_MEISAI",
         false,
         {},
         true,
         codes({kIncomeTaxes, kIncomeTaxes}),
         true},
        {"T_TOTAL1",
         kUnappropriatedProfit,
         "T_TOTAL1",
         true,
         codes({kNetProfit, kNetProfit}),
         false,
         {},
         false},
        {"T_TOTAL1", kUnappropriatedProfit, "T_TOTAL_MEISAI", false,
         codes({kProfitBroughtForward, kReserveWithdrawal, kAppropriationCode350}), false,
         codes({kReserveTransfers, kLegalReserve, kInterimDividend, kOfficersBonuses}), true},
    };
    return steps;
}

constexpr int kStepsOfEveryStatement = 9;

bool runStep(const Step& s) {
    return ksum_sonekikesansyo(QString::fromLatin1(s.target), QString::fromLatin1(s.source),
                               QString::fromLatin1(s.code), s.plusIsRange, s.plus, s.minusIsRange, s.minus,
                               s.add);
}

}  // namespace

bool ksum_sonekikesansyo(const QString& targetTable, const QString& sourceTable, const QString& targetCode,
                         bool plusIsRange, const QStringList& plus, bool minusIsRange,
                         const QStringList& minus, bool add) {
    const QString proc = QStringLiteral("ksum_sonekikesansyo");
    if (!gcnKaikei || !isWorkTable(targetTable) || !isWorkTable(sourceTable)) {
        showStepError(proc);
        return false;
    }
    platform::Connection& cn = *gcnKaikei;
    platform::Transaction tx(cn);
    if (!tx.started()) {
        showStepError(proc);
        return false;
    }

    switch (targetRowExists(cn, targetTable, targetCode)) {
        case Found::Failed:
            showStepError(proc);
            return false;
        case Found::Yes:
            break;
        case Found::No:
            switch (createTargetRow(cn, targetTable, targetCode)) {
                case Created::Yes:
                    break;
                case Created::WriterFailed:
                    return false;  // the writer has shown its message
                case Created::ReadFailed:
                    showStepError(proc);
                    return false;
            }
            break;
    }

    // Plus sums less minus sums, each amount with its sign (a minus group with a
    // negative balance, like a purchase return without purchases, raises the
    // target); set or added in one statement.
    QVariantList params;
    const QString p = groupSums(sourceTable, plusIsRange, plus, QStringLiteral("p"), params);
    const QString m = groupSums(sourceTable, minusIsRange, minus, QStringLiteral("m"), params);
    params << targetCode;
    auto assign = [&](const char* column, const char* value) {
        const QString c = QString::fromLatin1(column);
        return add ? QStringLiteral("%1 = %1 + (%2)").arg(c, QString::fromLatin1(value))
                   : QStringLiteral("%1 = %2").arg(c, QString::fromLatin1(value));
    };
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2, %3, %4, %5 FROM %6, %7 WHERE %1.KOCODE = ?")
            .arg(targetTable, assign("MAEKURI", "p.M - m.M"), assign("KRTOTAL", "p.KR - m.KR"),
                 assign("KSTOTAL", "p.KS - m.KS"), assign("ZAN", "p.Z - m.Z"), p, m);
    if (!cn.exec(sql, params)) {
        showStepError(proc);
        return false;
    }
    if (sourceTable == kMeisai && targetCode == QLatin1String(chart::kUnappropriatedProfit) &&
        !setSidesOf353(cn)) {
        showStepError(proc);
        return false;
    }
    if (!tx.commit()) {
        showStepError(proc);
        return false;
    }
    return true;
}

bool ksum_taisyakutaisyohyo() {
    const QString proc = QStringLiteral("ksum_taisyakutaisyohyo");
    if (!gcnKaikei) {
        showStepError(proc);
        return false;
    }
    platform::Connection& cn = *gcnKaikei;
    // Without the profit rows there is nothing to carry into the totals.
    const auto found =
        cn.scalar(QStringLiteral("SELECT COUNT(*) FROM T_TOTAL_MEISAI WHERE KOCODE IN (?, ?)"),
                  {QString::fromLatin1(chart::kNetProfit), QString::fromLatin1(chart::kSundry)});
    if (!found || found->toLongLong() == 0) {
        showStepError(proc);
        return false;
    }
    platform::Transaction tx(cn);
    if (!tx.started()) {
        showStepError(proc);
        return false;
    }
    // A month without liabilities or capital has no rows for these totals in
    // the monthly totals; they are made from the chart, named like the
    // balance sheet's other total lines, so that they hold the profit all the
    // same and the statement balances.
    for (chart::Code code :
         {chart::kRetainedEarningsTotal, chart::kCapitalTotal, chart::kLiabilitiesAndCapitalTotal}) {
        const QString target = QString::fromLatin1(code);
        const Found exists = targetRowExists(cn, kTotal1, target);
        if (exists == Found::Failed) {
            showStepError(proc);
            return false;
        }
        if (exists == Found::No) {
            switch (createTargetRow(cn, kTotal1, target, true)) {
                case Created::Yes:
                    break;
                case Created::WriterFailed:
                    return false;  // the writer has shown its message
                case Created::ReadFailed:
                    showStepError(proc);
                    return false;
            }
        }
    }
    const bool ok = cn.exec(
        QStringLiteral(
            "UPDATE T_TOTAL1 SET MAEKURI = MAEKURI + s.M, KRTOTAL = KRTOTAL + s.KR, KSTOTAL = KSTOTAL + s.KS,"
            " ZAN = ZAN + s.Z"
            " FROM (SELECT SUM(MAEKURI) AS M, SUM(KRTOTAL) AS KR, SUM(KSTOTAL) AS KS, SUM(ZAN) AS Z"
            "       FROM T_TOTAL_MEISAI WHERE KOCODE IN (?1, ?2)) AS s"
            " WHERE T_TOTAL1.KOCODE IN (?3, ?4, ?5)"),
        {QString::fromLatin1(chart::kNetProfit), QString::fromLatin1(chart::kSundry),
         QString::fromLatin1(chart::kRetainedEarningsTotal), QString::fromLatin1(chart::kCapitalTotal),
         QString::fromLatin1(chart::kLiabilitiesAndCapitalTotal)});
    if (!ok || !tx.commit()) {
        showStepError(proc);
        return false;
    }
    return true;
}

bool ksum_syukei(const QString& statementName) {
    if (statementName == QStringLiteral("貸借対照表")) return ksum_taisyakutaisyohyo();
    if (!gcnKaikei) {
        showStepError(QStringLiteral("ksum_sonekikesansyo"));
        return false;
    }
    platform::Transaction tx(*gcnKaikei);
    if (!tx.started()) {
        showStepError(QStringLiteral("ksum_sonekikesansyo"));
        return false;
    }
    const bool full = statementName == QStringLiteral("損益計算書");
    const std::vector<Step>& steps = chain();
    const size_t count = full ? steps.size() : kStepsOfEveryStatement;
    for (size_t i = 0; i < count; ++i) {
        if (!runStep(steps[i])) return false;  // rolled back with tx
    }
    if (!tx.commit()) {
        showStepError(QStringLiteral("ksum_sonekikesansyo"));
        return false;
    }
    return true;
}
